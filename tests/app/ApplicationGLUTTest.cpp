// The GLUT shell driven the way the toolkit drives it: its callbacks are called directly
// with a pinned clock, on a real window in the X display.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ApplicationGLUT.h"
#include "RecordingApplet.h"
#include "fTime.h"

// Reaches the shell's private callbacks and state, as the toolkit would
class ApplicationGLUTTestAccess {
public:
    static ApplicationGLUT* Shell() {
        static ApplicationGLUT* shell =
            static_cast<ApplicationGLUT*>(Application::GetApplicationShell());
        return shell;
    }
    static void Press(int x, int y, int button = GLUT_LEFT_BUTTON) {
        ApplicationGLUT::mouseCB(button, GLUT_DOWN, x, y);
    }
    static void Release(int x, int y, int button = GLUT_LEFT_BUTTON) {
        ApplicationGLUT::mouseCB(button, GLUT_UP, x, y);
    }
    static void Move(int x, int y) { ApplicationGLUT::mouseMotionCB(x, y); }
    static void Special(int key) { ApplicationGLUT::specialCB(key, 10, 10); }
    static void Keyboard(unsigned char key) { ApplicationGLUT::keyCB(key, 10, 10); }
    static void Reshape(int w, int h) { ApplicationGLUT::reshapeCB(w, h); }
    // Lets the toolkit apply pending window changes until the window has the size
    static bool WaitForSize(int w, int h) {
        for (int i = 0; i < 200; i++) {
            if (glutGet(GLUT_WINDOW_WIDTH) == w && glutGet(GLUT_WINDOW_HEIGHT) == h) return true;
            glutMainLoopEvent();
            usleep(2000);
        }
        return false;
    }
    static fPoint2 ScreenToWorld(fPoint2 p) { return Shell()->ScreenToWorld(p); }
    static void ResetMouse() {
        Shell()->wasLastMouseDownADoubleClick = false;
        Shell()->isTheMouseDown = false;
        Shell()->lastMouseDownWhen = GetSeconds() - 10;
    }
};

namespace {

using T = ApplicationGLUTTestAccess;

class GLUTShell : public ::testing::Test {
protected:
    void SetUp() override {
        if (!getenv("DISPLAY")) GTEST_SKIP() << "no display";
        SetTestSeconds(50);
        shell = T::Shell();
        ASSERT_NE(shell, nullptr);
        applet.reset(new RecordingApplet(shell));
        shell->Application::EnterEventLoop(applet.get());
        shell->RequestNewBoundsSize(800, 480);
        ASSERT_TRUE(T::WaitForSize(800, 480));
        shell->SetCameraZoom(1);
        T::ResetMouse();
    }
    void TearDown() override { ClearTestSeconds(); }

    ApplicationGLUT* shell = nullptr;
    std::unique_ptr<RecordingApplet> applet;
};

TEST_F(GLUTShell, QuickPressesOnOnePixelAlternateSingleAndDouble) {
    bool seen[4];
    for (int i = 0; i < 4; i++) {
        SetTestSeconds(50 + 0.3f * i);
        T::Press(100, 100);
        seen[i] = shell->GetWasDoubleClick();
        T::Release(100, 100);
    }
    EXPECT_FALSE(seen[0]);
    EXPECT_TRUE(seen[1]);
    EXPECT_FALSE(seen[2]);
    EXPECT_TRUE(seen[3]);
}

TEST_F(GLUTShell, APressElsewhereOrTooLateIsNotADoubleClick) {
    T::Press(100, 100);
    T::Release(100, 100);
    SetTestSeconds(50.1f);
    T::Press(101, 100);
    EXPECT_FALSE(shell->GetWasDoubleClick());
    T::Release(101, 100);
    SetTestSeconds(50.6f);
    T::Press(101, 100);
    EXPECT_FALSE(shell->GetWasDoubleClick());
    T::Release(101, 100);
    SetTestSeconds(50.9f);
    T::Press(101, 100);
    EXPECT_TRUE(shell->GetWasDoubleClick());
}

TEST_F(GLUTShell, ReleaseOnThePressPixelIsAClickInPlace) {
    T::Press(200, 150);
    T::Release(200, 150);
    EXPECT_TRUE(shell->GetWasClickInPlace());
    SetTestSeconds(52);
    T::Press(200, 150);
    T::Release(201, 150);
    EXPECT_FALSE(shell->GetWasClickInPlace());
}

TEST_F(GLUTShell, AnyMoveOffThePressPixelWithTheButtonHeldCouldBeADrag) {
    T::Move(300, 300);
    EXPECT_FALSE(shell->GetCouldBeDrag());
    T::Press(300, 300);
    EXPECT_FALSE(shell->GetCouldBeDrag());
    T::Move(300, 301);
    EXPECT_TRUE(shell->GetCouldBeDrag());
    T::Release(300, 301);
    EXPECT_FALSE(shell->GetCouldBeDrag());
}

TEST_F(GLUTShell, OnlyTheLeftButtonReachesTheApplet) {
    T::Press(40, 50, GLUT_RIGHT_BUTTON);
    T::Release(40, 50, GLUT_RIGHT_BUTTON);
    T::Press(41, 51, GLUT_MIDDLE_BUTTON);
    EXPECT_TRUE(applet->events.empty());
    EXPECT_FALSE(shell->GetIsMouseDown());
    // The pointer pixel still follows
    EXPECT_EQ(shell->GetMouseLoc(), fPoint2(41, 51));
    T::Press(40, 50);
    T::Release(42, 50);
    std::vector<std::string> want = {"down 40,50", "up 42,50"};
    EXPECT_EQ(applet->events, want);
}

TEST_F(GLUTShell, ArrowKeysArriveAsNamedCodesAndOtherKeysUnchanged) {
    T::Special(GLUT_KEY_LEFT);
    T::Special(GLUT_KEY_RIGHT);
    T::Special(GLUT_KEY_UP);
    T::Special(GLUT_KEY_DOWN);
    T::Special(GLUT_KEY_F1);
    T::Keyboard(8);
    T::Keyboard('+');
    std::vector<std::string> want = {
        "key 1000", "key 1001", "key 1002", "key 1003", "key " + std::to_string(GLUT_KEY_F1),
        "key 8",    "key 43"};
    EXPECT_EQ(applet->events, want);
}

TEST_F(GLUTShell, PixelsAreWorldUnitsAtZoomOneAndHalvedAtZoomTwo) {
    EXPECT_EQ(T::ScreenToWorld(fPoint2(123, 456)), fPoint2(123, 456));
    shell->SetCameraZoom(2);
    EXPECT_EQ(T::ScreenToWorld(fPoint2(400, 240)), fPoint2(400, 240));
    EXPECT_EQ(T::ScreenToWorld(fPoint2(500, 240)), fPoint2(450, 240));
    EXPECT_EQ(T::ScreenToWorld(fPoint2(400, 140)), fPoint2(400, 190));
    shell->SetCameraZoom(1);
}

TEST_F(GLUTShell, OffersNoMenuAndIgnoresQuitAndBeep) {
    EXPECT_EQ(shell->GetMenu(), nullptr);
    shell->Beep();
    shell->SetQuit(true);
    // The event loop goes on: the shell still answers
    EXPECT_EQ(shell->GetBounds().right, 800);
}

TEST_F(GLUTShell, CameraLocationRoundTrips) {
    shell->SetCameraLoc(fPoint2(100, 30));
    EXPECT_EQ(shell->GetCameraLoc(), fPoint2(100, 30));
    // The world point set is what the window centre now shows
    EXPECT_EQ(T::ScreenToWorld(fPoint2(400, 240)), fPoint2(100, 30));
    shell->SetCameraLoc(fPoint2(400, 240));
    EXPECT_EQ(T::ScreenToWorld(fPoint2(10, 20)), fPoint2(10, 20));
}

TEST_F(GLUTShell, NewBoundsResizeTheWindowAndCentreTheCamera) {
    EXPECT_TRUE(shell->RequestNewBoundsSize(640, 360));
    fRect b = shell->GetBounds();
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.right, 640);
    EXPECT_EQ(b.bottom, 360);
    EXPECT_EQ(shell->GetCameraLoc(), fPoint2(320, 180));
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[2], 640);
    EXPECT_EQ(vp[3], 360);
    EXPECT_TRUE(T::WaitForSize(640, 360));
}

TEST_F(GLUTShell, AResizeByTheUserSnapsBackToTheRequestedSize) {
    // A resize from outside the program reaches the reshape callback, which undoes it
    glutReshapeWindow(500, 300);
    T::WaitForSize(500, 300);
    T::Reshape(500, 300);
    EXPECT_TRUE(T::WaitForSize(800, 480));
    EXPECT_EQ(shell->GetBounds().right, 800);
}

TEST_F(GLUTShell, AFrameClearsToWhite) {
    // The GL driver picks up a new window size at the next buffer swap
    shell->StartFrame();
    shell->EndFrame();
    shell->StartFrame();
    glColor3f(1, 0, 0);
    glBegin(GL_QUADS);
    glVertex2f(10, 10);
    glVertex2f(20, 10);
    glVertex2f(20, 20);
    glVertex2f(10, 20);
    glEnd();
    glFinish();
    unsigned char px[3];
    glReadBuffer(GL_BACK);
    glReadPixels(700, 479 - 400, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0] + px[1] + px[2], 3 * 255);
    // World (15, 15) is window pixel (15, 15), counted from the top
    glReadPixels(15, 479 - 15, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    shell->EndFrame();
}

TEST_F(GLUTShell, CursorsOutsideTheTableAndASecondShellStopTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    shell->SetMouseCursor(App::pencilCursor);
    EXPECT_DEATH(shell->SetMouseCursor((App::AppCursor)7), "c >= 0 & c < kNumAppCursors");
    EXPECT_DEATH(Application::GetApplicationShell(), "!theGLUTApp");
}

}  // namespace

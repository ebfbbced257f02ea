// The GLUT shell driven the way the toolkit drives it: its callbacks are called directly
// with a pinned clock, on a real window in the X display.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ApplicationGLUT.h"
#include "RecordingApplet.h"
#include "SplashScreen.h"
#include "fTime.h"

// Last: the X headers define names (None, Bool) that the test framework's headers use
#include <GL/glx.h>
#include <X11/XKBlib.h>

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
    // With modifiers, which the toolkit only reports inside its own callbacks
    static void Chord(unsigned char key, int modifiers) { Shell()->KeyboardKey(key, modifiers); }
    static void SpecialChord(int key, int modifiers) { Shell()->SpecialKey(key, modifiers); }
    static int Window() { return Shell()->main_window; }
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
    void TearDown() override {
        ClearTestSeconds();
        // The toolkit may still call the shell (closing its window at exit) after the applet
        if (shell) shell->Application::EnterEventLoop(nullptr);
    }

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

TEST_F(GLUTShell, ArrowKeysArriveAsNamedCodesAndOtherSpecialKeysOutsideTheCharacters) {
    T::Special(GLUT_KEY_LEFT);
    T::Special(GLUT_KEY_RIGHT);
    T::Special(GLUT_KEY_UP);
    T::Special(GLUT_KEY_DOWN);
    T::Special(GLUT_KEY_F1);
    // F8 and F9 share their codes with Backspace and Tab
    T::Special(GLUT_KEY_F8);
    T::SpecialChord(GLUT_KEY_F9, 2);
    T::Keyboard(8);
    T::Keyboard('+');
    std::vector<std::string> want = {"key 1000",
                                     "key 1001",
                                     "key 1002",
                                     "key 1003",
                                     "key " + std::to_string(kOtherSpecialKeyBase + 1),
                                     "key " + std::to_string(kOtherSpecialKeyBase + 8),
                                     "key " + std::to_string(kOtherSpecialKeyBase + 9),
                                     "key 8",
                                     "key 43"};
    EXPECT_EQ(applet->events, want);
}

TEST_F(GLUTShell, CtrlChordsNeverReachTheAppletAsControlCharacters) {
    // No menu item has these: Ctrl+H (8), Ctrl+I (9), Ctrl+M (13), Ctrl+Shift+H
    T::Chord(8, 2);
    T::Chord(9, 2);
    T::Chord(13, 2);
    T::Chord(8, 3);
    EXPECT_TRUE(applet->events.empty());
    T::Chord('+', 2);  // a printable chord is the applet's
    T::Chord(8, 0);    // and so is a plain Backspace
    std::vector<std::string> want = {"key 43", "key 8"};
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

TEST_F(GLUTShell, TheRightButtonOpensTheMenuInTheWindowOnceTheSplashIsOver) {
    AppMenu* menu = shell->GetMenu();
    ASSERT_NE(menu, nullptr);
    menu->Clear();
    menu->BeginSubmenu("File");
    menu->AddItem("Home Position", 3, 'H', nullptr);
    menu->AddSeparator();
    menu->AddItem("Quit", 5, 'Q', nullptr);
    menu->EndSubmenu();
    shell->SetSplashScreen(new SplashScreen("Velko", "", shell));
    T::Press(300, 200, GLUT_RIGHT_BUTTON);
    T::Release(300, 200, GLUT_RIGHT_BUTTON);
    EXPECT_FALSE(shell->GetIsMenuOpen()) << "no menu during the splash";
    T::Chord(8, 2);  // nor shortcuts: Ctrl+H is dropped
    EXPECT_TRUE(applet->events.empty());

    shell->SetSplashScreen(nullptr);
    T::Press(300, 200, GLUT_RIGHT_BUTTON);
    T::Release(300, 200, GLUT_RIGHT_BUTTON);
    ASSERT_TRUE(shell->GetIsMenuOpen());
    // "File" alone is shown as the whole menu: its three rows just below the pointer
    const PopupMenu::Level& top = shell->GetPopupMenu()->GetLevels().at(0);
    ASSERT_EQ(top.rows.size(), 3u);
    EXPECT_GT(top.box.left, 300);
    EXPECT_GT(top.box.top, 200);
    fPoint2 quit = top.rows[2].rect.GetCenter();
    T::Chord(8, 2);  // an open menu takes the keys, shortcuts too
    T::Keyboard(27);
    EXPECT_FALSE(shell->GetIsMenuOpen()) << "Escape closes it";
    // Press, move onto "Quit" and release there
    T::Press(300, 200, GLUT_RIGHT_BUTTON);
    T::Release((int)quit.x, (int)quit.y, GLUT_RIGHT_BUTTON);
    EXPECT_FALSE(shell->GetIsMenuOpen());
    T::Chord(8, 2);
    std::vector<std::string> want = {"menu 5", "menu 3"};
    EXPECT_EQ(applet->events, want);
    menu->Clear();
}

// The applet quits on its third tick, or when the window is closed if it wants to
class QuittingApplet : public RecordingApplet {
public:
    using RecordingApplet::RecordingApplet;
    void Idle() override {
        RecordingApplet::Idle();
        if (++ticks == 3) SetQuit(true);
    }
    int ticks = 0;
};

TEST_F(GLUTShell, QuitEndsTheEventLoopAndAClosedWindowComesBackUnlessTheAppletQuits) {
    ClearTestSeconds();  // the loop waits for ticks on the real clock
    shell->SetFPS(30);   // counted from now, not from the pinned time the last tick had
    QuittingApplet quitter(shell);
    quitter.quitOnClose = false;
    int before = T::Window();
    shell->SetWindowTitle("doll.velko \u2022 - Velko");
    glutDestroyWindow(before);  // what the toolkit does when the person closes the window
    shell->EnterEventLoop(&quitter);
    EXPECT_EQ(quitter.ticks, 3);
    ASSERT_FALSE(quitter.events.empty());
    EXPECT_EQ(quitter.events.front(), "close");
    EXPECT_NE(T::Window(), before);
    EXPECT_EQ(glutGetWindow(), T::Window());
    EXPECT_TRUE(T::WaitForSize(800, 480));
    shell->SetQuit(false);
    shell->Application::EnterEventLoop(applet.get());
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

int xErrors = 0;
int CountXError(Display*, XErrorEvent*) {
    xErrors++;
    return 0;
}

const unsigned long kShownWhite = 0xffffff, kShownBlack = 0;

// Shows an empty (white) frame through the shell
void ShowFrame(ApplicationGLUT* shell) {
    shell->StartFrame();
    shell->EndFrame();
    glFinish();
    XSync(glXGetCurrentDisplay(), False);
}

// The window pixel (x, y), top-left origin, as the X server shows it (0xRRGGBB)
unsigned long Shown(int x, int y) {
    XImage* image =
        XGetImage(glXGetCurrentDisplay(), glXGetCurrentDrawable(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    unsigned long p = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return p;
}

TEST_F(GLUTShell, ABeepRingsTheBellAndFlashesTheWindowEdgesForAMomentOnly) {
    // A second connection hears the bell as a desktop would
    Display* listener = XOpenDisplay(nullptr);
    ASSERT_NE(listener, nullptr);
    int opcode, bellEvent, error, major = XkbMajorVersion, minor = XkbMinorVersion;
    ASSERT_TRUE(XkbQueryExtension(listener, &opcode, &bellEvent, &error, &major, &minor));
    XkbSelectEvents(listener, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(listener, False);
    // The window must be on the screen before the screen can be read (a window a test before
    // this one opened anew may not be mapped yet); the GL driver picks up its size at a swap
    bool showing = false;
    for (int i = 0; i < 500 && !showing; i++) {
        ShowFrame(shell);
        glutMainLoopEvent();
        showing = Shown(400, 240) == kShownWhite && Shown(2, 2) == kShownWhite;
        if (!showing) usleep(4000);
    }
    ASSERT_TRUE(showing) << "the window never showed a frame";

    xErrors = 0;
    XErrorHandler old = XSetErrorHandler(CountXError);
    shell->Beep();
    XSync(glXGetCurrentDisplay(), False);
    XSetErrorHandler(old);
    EXPECT_EQ(xErrors, 0);
    bool rang = false;
    for (int i = 0; i < 200 && !rang; i++) {
        while (XPending(listener)) {
            XEvent e;
            XNextEvent(listener, &e);
            rang |= e.type == bellEvent && ((XkbEvent*)&e)->any.xkb_type == XkbBellNotify;
        }
        if (!rang) usleep(2000);
    }
    XCloseDisplay(listener);
    EXPECT_TRUE(rang) << "no bell on the display";

    // The edges of the next frames are inverted, the inside is the applet's
    ShowFrame(shell);
    EXPECT_EQ(Shown(2, 2), kShownBlack);
    EXPECT_EQ(Shown(400, 477), kShownBlack);
    EXPECT_EQ(Shown(797, 240), kShownBlack);
    EXPECT_EQ(Shown(400, 240), kShownWhite);
    EXPECT_EQ(Shown(20, 20), kShownWhite);
    SetTestSeconds(50.1);
    ShowFrame(shell);
    EXPECT_EQ(Shown(2, 2), kShownBlack);
    // Past the flash time the frame is the applet's alone
    SetTestSeconds(50.2);
    ShowFrame(shell);
    EXPECT_EQ(Shown(2, 2), kShownWhite);
    EXPECT_EQ(Shown(400, 477), kShownWhite);
    EXPECT_EQ(Shown(797, 240), kShownWhite);
}

TEST_F(GLUTShell, CursorsOutsideTheTableAndASecondShellStopTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    shell->SetMouseCursor(App::pencilCursor);
    EXPECT_DEATH(shell->SetMouseCursor((App::AppCursor)7), "c >= 0 & c < kNumAppCursors");
    EXPECT_DEATH(Application::GetApplicationShell(), "!theGLUTApp");
}

}  // namespace

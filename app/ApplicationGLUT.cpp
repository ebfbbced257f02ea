#include "ApplicationGLUT.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <chrono>
#include <thread>

#include "VelkoAssert.h"
#include "fTime.h"
#include "utils.h"

namespace {

// The single shell; the toolkit callbacks reach it only through this
ApplicationGLUT* theGLUTApp = nullptr;

// AppCursor to GLUT cursor
const int gc[App::kNumAppCursors] = {
    GLUT_CURSOR_NONE,       // invisibleCursor
    GLUT_CURSOR_INHERIT,    // normalCursor
    GLUT_CURSOR_CROSSHAIR,  // pencilCursor
    GLUT_CURSOR_INHERIT,    // openHandCursor
    GLUT_CURSOR_INHERIT,    // closedHandCursor
    GLUT_CURSOR_INFO,       // pointHandCursor
    GLUT_CURSOR_TEXT,       // textEditCursor
};

}  // namespace

Application* Application::GetApplicationShell() {
    VELKO_ASSERT_TEXT(!theGLUTApp, "!theGLUTApp");
    theGLUTApp = new ApplicationGLUT();
    if (!theGLUTApp->Init()) {
        delete theGLUTApp;
        theGLUTApp = nullptr;
    }
    return theGLUTApp;
}

ApplicationGLUT::ApplicationGLUT()
    : screenScale(1),
      cameraZoom(1),
      cameraLoc(0, 0),
      wasLastMouseDownADoubleClick(false),
      wasClickInPlace(false),
      drawSplashText(false),
      splashStart(0),
      splashText(nullptr),
      windowWidth(640),
      windowHeight(480),
      bounds(),
      main_window(0),
      mousex(0),
      mousey(0),
      GLUTModifiers(0),
      lastMouseDownX(0),
      lastMouseDownY(0) {}

ApplicationGLUT::~ApplicationGLUT() {
    delete[] splashText;
    if (theGLUTApp == this) theGLUTApp = nullptr;
}

bool ApplicationGLUT::Init() {
    Application::Init();
    splashStart = GetSeconds();
    // The toolkit sees only this argument list; the program's command line is never read
    static char arg0[] = "ApplicationGLUT";
    static char* argv[] = {arg0, nullptr};
    int argc = 1;
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize((int)GetMainWindowWidth(), (int)GetMainWindowHeight());
    glutInit(&argc, argv);
    main_window = glutCreateWindow("");
    glutDisplayFunc(displayCB);
    glutPassiveMotionFunc(mouseMotionCB);
    glutMotionFunc(mouseMotionCB);
    glutMouseFunc(mouseCB);
    glutReshapeFunc(reshapeCB);
    glutSpecialFunc(specialCB);
    glutKeyboardFunc(keyCB);
    glutIdleFunc(idleCB);
    bounds.Set(0, 0, (float)windowWidth, (float)windowHeight);
    screenScale = 1;
    cameraZoom = 1;
    cameraLoc = fPoint2(bounds.GetCenterX(), bounds.GetCenterY());
    return true;
}

void ApplicationGLUT::EnterEventLoop(Applet* _applet) {
    Application::EnterEventLoop(_applet);
    glutMainLoop();
}

fPoint2 ApplicationGLUT::GetMouseLoc() const {
    return ScreenToWorld(fPoint2((float)mousex, (float)mousey));
}

bool ApplicationGLUT::GetCouldBeDrag() const {
    if (!GetIsMouseDown()) return false;
    // Any move off the press pixel counts; there is no larger threshold
    return mousex != lastMouseDownX || mousey != lastMouseDownY;
}

bool ApplicationGLUT::RequestNewBoundsSize(float w, float h) {
    windowWidth = (int)w;
    windowHeight = (int)h;
    glutReshapeWindow(windowWidth, windowHeight);
    glViewport(0, 0, (int)w, (int)h);
    bounds.Set(0, 0, w, h);
    cameraLoc = fPoint2(w / 2, h / 2);
    return true;
}

void ApplicationGLUT::SetMouseCursor(AppCursor c) {
    VELKO_ASSERT_TEXT(c >= 0 && c < kNumAppCursors, "c >= 0 & c < kNumAppCursors");
    glutSetCursor(gc[c]);
}

void ApplicationGLUT::SetWindowTitle(const char* s) { glutSetWindowTitle(s); }

void ApplicationGLUT::SetSplashText(const char* s) {
    delete[] splashText;
    splashText = dupstring(s);
    drawSplashText = splashText != nullptr;
}

void ApplicationGLUT::SetCameraLoc(fPoint2 loc) {
    fPoint2 c(bounds.GetWidth() / 2, bounds.GetHeight() / 2);
    cameraLoc = c * 2 - loc;
}

fPoint2 ApplicationGLUT::GetCameraLoc() const {
    fPoint2 c(bounds.GetWidth() / 2, bounds.GetHeight() / 2);
    return c * 2 - cameraLoc;
}

void ApplicationGLUT::StartFrame() {
    glClearColor(1, 1, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    PositionCamera();
}

void ApplicationGLUT::EndFrame() { glutSwapBuffers(); }

void ApplicationGLUT::PositionCamera() {
    float w = (float)glutGet(GLUT_WINDOW_WIDTH);
    float h = (float)glutGet(GLUT_WINDOW_HEIGHT);
    // y down, origin top left, zoom about the window centre
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glTranslatef(w / 2, h / 2, 0);
    glScalef(cameraZoom, cameraZoom, 1);
    glTranslatef(-w / 2, -h / 2, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(cameraLoc.x, cameraLoc.y, 0);
    glTranslatef(-w / 2, -h / 2, 0);
}

fPoint2 ApplicationGLUT::ScreenToWorld(fPoint2 p) const {
    int kgrWidth = (int)bounds.GetWidth();
    int kgrHeight = (int)bounds.GetHeight();
    // Integer halves, truncating, as the world is laid out on whole pixels
    fPoint2 half((float)(kgrWidth / 2), (float)(kgrHeight / 2));
    p.Scale(screenScale);
    p.Minus(half);
    p.Scale(1 / cameraZoom);
    p.Add(half);
    p.Minus(cameraLoc);
    p.Add(half);
    return p;
}

void ApplicationGLUT::WaitForTick() {
    // Sleeps until the millisecond the tick falls due; waking a little late costs nothing
    // but that delay, waking early just means one more short sleep
    double wait = fpsRegulator.GetSecondsUntilTick();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
}

void ApplicationGLUT::displayCB() {
    if (theGLUTApp->fpsRegulator.GetTick()) theGLUTApp->Idle();
}

void ApplicationGLUT::idleCB() {
    if (theGLUTApp->fpsRegulator.GetTick()) {
        glutSetWindow(theGLUTApp->main_window);
        theGLUTApp->Idle();
    } else {
        theGLUTApp->WaitForTick();
    }
}

void ApplicationGLUT::mouseMotionCB(int x, int y) {
    // Movement reaches the applet as a delta in the next tick
    theGLUTApp->mousex = x;
    theGLUTApp->mousey = y;
}

void ApplicationGLUT::mouseCB(int b, int s, int x, int y) {
    ApplicationGLUT* app = theGLUTApp;
    app->GLUTModifiers = glutGetModifiers();
    float now = GetSeconds();
    app->mousex = x;
    app->mousey = y;
    if (b == GLUT_LEFT_BUTTON && s == GLUT_DOWN) {
        // Same pixel, quick, and the previous press was not itself a double click: so quick
        // clicks on one pixel alternate single, double, single, double
        bool isDouble = !app->wasLastMouseDownADoubleClick && x == app->lastMouseDownX &&
                        y == app->lastMouseDownY &&
                        now - app->GetLastMouseDownWhen() < app->GetDoubleClickDelta();
        app->wasLastMouseDownADoubleClick = isDouble;
        app->lastMouseDownX = x;
        app->lastMouseDownY = y;
        app->MouseDown(app->GetMouseLoc());
    } else if (b == GLUT_LEFT_BUTTON && s == GLUT_UP) {
        app->wasClickInPlace = x == app->lastMouseDownX && y == app->lastMouseDownY;
        app->MouseUp(app->GetMouseLoc());
    }
}

void ApplicationGLUT::reshapeCB(int width, int height) {
    // The window is locked to the size the applet asked for
    static bool dontRecurse = false;
    ApplicationGLUT* app = theGLUTApp;
    if ((width != app->windowWidth || height != app->windowHeight) && !dontRecurse) {
        dontRecurse = true;
        glutReshapeWindow(app->windowWidth, app->windowHeight);
        dontRecurse = false;
    }
}

void ApplicationGLUT::specialCB(int key, int x, int y) {
    ApplicationGLUT* app = theGLUTApp;
    app->GLUTModifiers = glutGetModifiers();
    int code = key;
    switch (key) {
        case GLUT_KEY_LEFT:
            code = kLeftArrowKey;
            break;
        case GLUT_KEY_RIGHT:
            code = kRightArrowKey;
            break;
        case GLUT_KEY_UP:
            code = kUpArrowKey;
            break;
        case GLUT_KEY_DOWN:
            code = kDownArrowKey;
            break;
        default:
            break;
    }
    app->mousex = x;
    app->mousey = y;
    app->Key(code);
}

void ApplicationGLUT::keyCB(unsigned char key, int x, int y) {
    ApplicationGLUT* app = theGLUTApp;
    app->GLUTModifiers = glutGetModifiers();
    app->mousex = x;
    app->mousey = y;
    app->Key(key);
}

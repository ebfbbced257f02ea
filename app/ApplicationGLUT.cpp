#include "ApplicationGLUT.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "PopupMenuView.h"
#include "VelkoAssert.h"
#include "graphicsUtilsGL.h"
#include "fTime.h"
#include "utils.h"

namespace {

// How long a beep's flash lasts (seconds of program time) and its width (window pixels)
const double kBeepFlashSeconds = 0.15;
const float kBeepFlashBorder = 8;

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
      beepFlashUntil(-1),
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
      lastMouseDownY(0),
      menu(this),
      quitRequested(false),
      windowClosed(false),
      toolkitStarted(false) {
    OfferMenu(&menu);
    // Laid out with the widths the menu's font really has
    popup->SetTextMeasure(
        [](const std::string& s) { return fTextWidth(kPopupMenuType, s.c_str()); });
}

ApplicationGLUT::~ApplicationGLUT() {
    delete[] splashText;
    if (theGLUTApp != this) return;
    // No callback may reach this shell, or its applet, from here on: closing the toolkit
    // below closes the window
    theGLUTApp = nullptr;
    if (toolkitStarted) {
        // Finish the GL work and close the display now, while every library is still
        // there; left to the toolkit's exit handler, drawing still queued is compiled after
        // the GL driver's own data has been destroyed, which can crash the process at exit
        glFinish();
        glutExit();
    }
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
    toolkitStarted = true;
    // Closing the window reaches closeCB and the loop goes on, so the applet can ask about
    // unsaved work; the process does not just end
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    CreateMainWindow();
    glutIdleFunc(idleCB);
    bounds.Set(0, 0, (float)windowWidth, (float)windowHeight);
    screenScale = 1;
    cameraZoom = 1;
    cameraLoc = fPoint2(bounds.GetCenterX(), bounds.GetCenterY());
    return true;
}

void ApplicationGLUT::CreateMainWindow() {
    glutInitWindowSize(windowWidth, windowHeight);
    main_window = glutCreateWindow(title.c_str());
    glutDisplayFunc(displayCB);
    glutPassiveMotionFunc(mouseMotionCB);
    glutMotionFunc(mouseMotionCB);
    glutMouseFunc(mouseCB);
    glutReshapeFunc(reshapeCB);
    glutSpecialFunc(specialCB);
    glutKeyboardFunc(keyCB);
    glutCloseFunc(closeCB);
    glViewport(0, 0, windowWidth, windowHeight);
    ApplyWindowIdentity();
}

void ApplicationGLUT::SetWindowIdentity(const std::string& instance, const std::string& className,
                                        const std::vector<unsigned long>& icon) {
    windowInstance = instance;
    windowClass = className;
    windowIcon = icon;
    if (main_window) ApplyWindowIdentity();
}

void ApplicationGLUT::ApplyWindowIdentity() {
    if (windowInstance.empty()) return;
    glutSetWindow(main_window);
    Display* display = glXGetCurrentDisplay();
    Window window = (Window)glXGetCurrentDrawable();
    if (!display || !window) return;
    XClassHint hint;
    hint.res_name = const_cast<char*>(windowInstance.c_str());
    hint.res_class = const_cast<char*>(windowClass.c_str());
    XSetClassHint(display, window, &hint);
    // _NET_WM_PID counts only beside the machine's name
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) == 0) {
        char* hosts[] = {host};
        XTextProperty machine;
        if (XStringListToTextProperty(hosts, 1, &machine)) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
    }
    // Format 32 properties are passed as longs, whatever their size
    long pid = (long)getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, (const unsigned char*)&pid, 1);
    if (!windowIcon.empty())
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL,
                        32, PropModeReplace, (const unsigned char*)windowIcon.data(),
                        (int)windowIcon.size());
    XFlush(display);
}

void ApplicationGLUT::EnterEventLoop(Applet* _applet) {
    Application::EnterEventLoop(_applet);
    // The toolkit's own loop ends the process or tears itself down when the window goes;
    // this loop keeps both in hand
    while (!quitRequested) {
        glutMainLoopEvent();
        if (windowClosed) {
            windowClosed = false;
            if (quitRequested) break;
            CreateMainWindow();
        }
        if (quitRequested) break;
        RunIdleStep();
    }
}

void ApplicationGLUT::RunIdleStep() {
    if (fpsRegulator.GetTick()) {
        glutSetWindow(main_window);
        Idle();
    } else {
        WaitForTick();
    }
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

void ApplicationGLUT::SetWindowTitle(const char* s) {
    title = s ? s : "";
    glutSetWindow(main_window);
    glutSetWindowTitle(ShellMenu::AsciiText(title).c_str());
    // Desktops show the UTF-8 name when there is one; the toolkit sets only the Latin-1 one
    Display* display = glXGetCurrentDisplay();
    Window window = (Window)glXGetCurrentDrawable();
    if (!display || !window) return;
    Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, netWmName, utf8String, 8, PropModeReplace,
                    (const unsigned char*)title.data(), (int)title.size());
    XFlush(display);
}

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

void ApplicationGLUT::EndFrame() {
    DrawBeepFlash();
    glutSwapBuffers();
}

void ApplicationGLUT::Beep() {
    beepFlashUntil = GetPreciseSeconds() + kBeepFlashSeconds;
    Display* display = glXGetCurrentDisplay();
    if (!display) return;
    XBell(display, 0);  // the keyboard's base volume
    XFlush(display);
}

void ApplicationGLUT::DrawBeepFlash() {
    if (GetPreciseSeconds() >= beepFlashUntil) return;
    float w = (float)glutGet(GLUT_WINDOW_WIDTH);
    float h = (float)glutGet(GLUT_WINDOW_HEIGHT);
    float b = kBeepFlashBorder;
    // Window pixels, y down, whatever the camera; inverting shows on any drawing
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, h, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_INVERT);
    glRectf(0, 0, w, b);          // top
    glRectf(0, h - b, w, h);      // bottom
    glRectf(0, b, b, h - b);      // left
    glRectf(w - b, b, w, h - b);  // right
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

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
    // Sleeps until the tick falls due on the double clock; waking a little late costs
    // nothing but that delay, waking early just means one more short sleep
    double wait = fpsRegulator.GetSecondsUntilTick();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
}

void ApplicationGLUT::displayCB() {
    if (theGLUTApp->fpsRegulator.GetTick()) theGLUTApp->Idle();
}

void ApplicationGLUT::idleCB() { theGLUTApp->RunIdleStep(); }

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
    } else if (b == GLUT_RIGHT_BUTTON) {
        if (s == GLUT_DOWN)
            app->SecondaryDown(app->GetMouseLoc());
        else
            app->SecondaryUp(app->GetMouseLoc());
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
    theGLUTApp->mousex = x;
    theGLUTApp->mousey = y;
    theGLUTApp->SpecialKey(key, glutGetModifiers());
}

void ApplicationGLUT::keyCB(unsigned char key, int x, int y) {
    theGLUTApp->mousex = x;
    theGLUTApp->mousey = y;
    theGLUTApp->KeyboardKey(key, glutGetModifiers());
}

void ApplicationGLUT::SpecialKey(int key, int modifiers) {
    GLUTModifiers = modifiers;
    // Special keys other than the arrows move out of the character range, so that F8 (8)
    // and F9 (9) never act as Backspace and Tab
    int code = kOtherSpecialKeyBase + key;
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
    Key(code);
}

void ApplicationGLUT::KeyboardKey(unsigned char key, int modifiers) {
    GLUTModifiers = modifiers;
    // Any key ends the splash; an open menu takes every key
    if (splashScreen || GetIsMenuOpen()) {
        Key(key);
        return;
    }
    // Menu shortcuts come first; a Ctrl chord that arrives as a control character is never
    // passed on as one
    if (menu.HandleKey(key, modifiers)) return;
    if ((modifiers & 2) && (key < 32 || key == 127)) return;
    Key(key);
}

void ApplicationGLUT::closeCB() {
    // The toolkit destroys the window when this returns, whatever the applet decides; the
    // event loop opens a new one unless the applet quit
    ApplicationGLUT* app = theGLUTApp;
    if (!app) return;  // the toolkit tearing down its windows at exit
    app->windowClosed = true;
    if (app->popup) app->popup->Close();
    app->CloseRequested();
}

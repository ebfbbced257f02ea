#include "Application.h"

#include "Applet.h"
#include "SplashScreen.h"
#include "fTime.h"

Application::Application()
    : lastMouseDownWhen(0),
      lastMouseDownWhere(0, 0),
      mouseLastSeenAt(0, 0),
      isTheMouseDown(false),
      applet(nullptr),
      splashScreen(nullptr) {
    fTimeInit();
    // One second in the past, so the first press cannot be a double click
    lastMouseDownWhen = GetSeconds() - 2 * GetDoubleClickDelta();
    fpsRegulator.Set(30);
}

Application::~Application() { delete splashScreen; }

void Application::EnterEventLoop(Applet* _applet) { applet = _applet; }

void Application::SetFPS(int fps) { fpsRegulator.Set((float)fps); }

void Application::SetSplashScreen(SplashScreen* s) {
    delete splashScreen;
    splashScreen = s;
}

void Application::MouseDown(fPoint2 loc) {
    float now = GetSeconds();
    // A press without a release: the applet sees a release here before the new press
    if (isTheMouseDown) MouseUp(loc);
    lastMouseDownWhen = now;
    lastMouseDownWhere = loc;
    isTheMouseDown = true;
    if (splashScreen)
        splashScreen->Skip();
    else
        applet->MouseDown(loc);
}

void Application::MouseUp(fPoint2 loc) {
    isTheMouseDown = false;
    if (!splashScreen) applet->MouseUp(loc);
}

void Application::Idle() {
    fPoint2 mouseAt = GetMouseLoc();
    fPoint2 delta = mouseAt - mouseLastSeenAt;
    if (!delta.GetIsZero()) MouseMoved(delta);
    mouseLastSeenAt = mouseAt;

    if (splashScreen) {
        if (splashScreen->GetIsDone()) {
            // No frame in this tick; the applet's ticks start with the next one
            delete splashScreen;
            splashScreen = nullptr;
            return;
        }
        splashScreen->Update();
        StartFrame();
        splashScreen->Render();
        EndFrame();
        return;
    }
    // The applet draws its own frame from here through PleaseRender
    applet->Idle();
}

void Application::MouseMoved(fPoint2 d) { applet->MouseMoved(d); }
void Application::Key(int c) { applet->Key(c); }
void Application::MenuInvoked(int id) { applet->MenuInvoked(id); }
void Application::Render() { applet->Render(); }
void Application::CloseRequested() {
    // Before an applet is hosted (or after it has gone) there is nothing to ask
    if (applet)
        applet->CloseRequested();
    else
        SetQuit(true);
}
App::AppCursor Application::PickMouseCursor(fPoint2 p) { return applet->PickMouseCursor(p); }

void Application::PleaseRender() {
    StartFrame();
    applet->Render();
    EndFrame();
}

void Application::IdleButRenderOnly() {
    if (splashScreen) {
        StartFrame();
        splashScreen->Render();
        EndFrame();
    } else {
        PleaseRender();
    }
}

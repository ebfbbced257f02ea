#include "Application.h"

#include "Applet.h"
#include "PopupMenuView.h"
#include "SplashScreen.h"
#include "fTime.h"

Application::Application()
    : lastMouseDownWhen(0),
      lastMouseDownWhere(0, 0),
      mouseLastSeenAt(0, 0),
      isTheMouseDown(false),
      applet(nullptr),
      splashScreen(nullptr),
      pressTaken(false) {
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

void Application::OfferMenu(ShellMenu* menu) { popup.reset(menu ? new PopupMenu(menu) : nullptr); }

void Application::MouseDown(fPoint2 loc) {
    float now = GetSeconds();
    // A press without a release: the applet sees a release here before the new press
    if (isTheMouseDown) MouseUp(loc);
    lastMouseDownWhen = now;
    lastMouseDownWhere = loc;
    isTheMouseDown = true;
    pressTaken = true;
    if (splashScreen) {
        splashScreen->Skip();
    } else if (GetIsMenuOpen()) {
        popup->Press(loc);
    } else {
        applet->MouseDown(loc);
        // A press that opened the menu (on the applet's menu button) is the menu's from now
        pressTaken = GetIsMenuOpen();
    }
}

void Application::MouseUp(fPoint2 loc) {
    isTheMouseDown = false;
    if (pressTaken) {
        pressTaken = false;
        if (GetIsMenuOpen()) popup->Release(loc);
        return;
    }
    if (!splashScreen) applet->MouseUp(loc);
}

void Application::SecondaryDown(fPoint2 loc) {
    if (splashScreen) {
        splashScreen->Skip();
    } else if (GetIsMenuOpen()) {
        popup->Close();
    } else if (popup && !isTheMouseDown) {
        // Not in the middle of a drag with the primary button
        popup->OpenAt(loc, GetBounds(), true);
    }
}

void Application::SecondaryUp(fPoint2 loc) {
    if (GetIsMenuOpen()) popup->Release(loc);
}

bool Application::ShowMenuAt(fPoint2 p) {
    if (!popup || splashScreen) return false;
    popup->OpenAt(p, GetBounds(), false);
    return popup->GetIsOpen();
}

void Application::Idle() {
    fPoint2 mouseAt = GetMouseLoc();
    fPoint2 delta = mouseAt - mouseLastSeenAt;
    if (!delta.GetIsZero()) MouseMoved(delta);
    mouseLastSeenAt = mouseAt;

    if (GetIsMenuOpen()) {
        popup->Refresh();
        popup->PointerAt(mouseAt);
    }

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

void Application::Key(int c) {
    if (splashScreen)
        splashScreen->Skip();
    else if (GetIsMenuOpen())
        popup->Key(c);
    else
        applet->Key(c);
}

void Application::MenuInvoked(int id) { applet->MenuInvoked(id); }
void Application::MenuShortcutRefused(int id) { applet->MenuShortcutRefused(id); }

void Application::Render() {
    applet->Render();
    if (GetIsMenuOpen()) DrawPopupMenu(*popup);
}
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
    Render();
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

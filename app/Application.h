// Application: the platform-neutral shell. Routes events to the hosted applet, keeps the
// mouse state, regulates ticks to 30 per second, lets a splash screen take the window until
// it is done (the first press or key ends it), and shows the menu the concrete shell offers
// in the window itself (PopupMenu), drawn over the applet's frame. While that menu is open
// it takes the presses, the releases and the keys. The concrete toolkit shell derives from
// it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "App.h"
#include "PopupMenu.h"
#include "tickRegulator.h"

class Applet;
class SplashScreen;

class Application : public App {
public:
    void MenuInvoked(int id) override;
    void MenuShortcutRefused(int id) override;
    void MouseDown(fPoint2 loc) override;
    void MouseUp(fPoint2 loc) override;
    // The secondary (right) button: a press opens the menu at loc, or closes an open one; a
    // release over an item, after the pointer moved, chooses it
    void SecondaryDown(fPoint2 loc);
    void SecondaryUp(fPoint2 loc);
    bool ShowMenuAt(fPoint2 p) override;
    bool GetIsMenuOpen() const override { return popup && popup->GetIsOpen(); }
    void Key(int c) override;
    // One tick of the frame loop
    void Idle() override;
    void Render() override;
    void MouseMoved(fPoint2 delta) override;
    AppCursor PickMouseCursor(fPoint2 p) override;
    // Passed to the applet, also while a splash screen shows
    void CloseRequested() override;
    bool GetIsMouseDown() const override { return isTheMouseDown; }
    fPoint2 GetMouseDownLoc() const override { return lastMouseDownWhere; }

protected:
    void PleaseRender() override;

public:
    virtual ~Application();
    // Stores the applet; the concrete shell then runs its event loop
    virtual void EnterEventLoop(Applet* applet);
    void SetWindowTitle(const char* s) override = 0;
    virtual void SetSplashText(const char* s) = 0;
    // How the desktop ties the window to the program's launcher, given before the event loop
    // starts: WM_CLASS's instance and class names, and the window's icon in the layout of
    // _NET_WM_ICON (see WindowIconData). Shells without a window keep nothing.
    virtual void SetWindowIdentity(const std::string& instance, const std::string& className,
                                   const std::vector<unsigned long>& icon) {
        (void)instance, (void)className, (void)icon;
    }
    // Program time (seconds) of the last press
    virtual float GetLastMouseDownWhen() const { return lastMouseDownWhen; }
    virtual void SetFPS(int fps);
    virtual void SetCameraLoc(fPoint2 loc) = 0;
    virtual fPoint2 GetCameraLoc() const = 0;
    virtual void SetCameraZoom(float z) = 0;
    virtual float GetCameraZoom() const = 0;
    virtual void IdleButRenderOnly();
    virtual void StartFrame() = 0;
    virtual void EndFrame() = 0;

protected:
    virtual bool Init() { return true; }

public:
    // Takes ownership of s, deleting any splash screen held so far
    void SetSplashScreen(SplashScreen* s);
    // The in-window menu, when the shell offers one (for the toolkit shell and tests)
    PopupMenu* GetPopupMenu() const { return popup.get(); }
    // Creates and initialises the one concrete shell; null when its Init fails
    static Application* GetApplicationShell();

    // The hosted applet, for the toolkit shell and tests; not owned
    Applet* GetApplet() const { return applet; }
    SplashScreen* GetSplashScreen() const { return splashScreen; }

protected:
    Application();
    // Longest gap (seconds) between two presses of a double click
    float GetDoubleClickDelta() { return 0.5f; }
    // Shows menu (not owned; it outlives the shell's use of it) in the window
    void OfferMenu(ShellMenu* menu);

    tickRegulator fpsRegulator;
    float lastMouseDownWhen;
    fPoint2 lastMouseDownWhere;
    fPoint2 mouseLastSeenAt;
    bool isTheMouseDown;
    Applet* applet;
    SplashScreen* splashScreen;
    std::unique_ptr<PopupMenu> popup;
    // The primary button's press went to the splash or the menu, and so does its release
    bool pressTaken;
};

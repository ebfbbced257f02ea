// AppServerProxy: an App that forwards every query and command to a server App (the shell).
// Applet and SplashScreen reach the shell through it. Event handlers are not forwarded.
#pragma once

#include "App.h"

class AppServerProxy : public virtual App {
public:
    fRect GetBounds() const override;
    AppMenu* GetMenu() override;
    fPoint2 GetMouseLoc() const override;
    bool GetIsMouseDown() const override;
    fPoint2 GetMouseDownLoc() const override;
    bool GetWasDoubleClick() const override;
    bool GetWasClickInPlace() const override;
    bool GetCouldBeDrag() const override;
    bool GetWasShiftKeyDown() const override;
    bool GetWasControlKeyDown() const override;
    bool GetWasOptionKeyDown() const override;
    void SetMouseCursor(AppCursor c) override;
    void Beep() override;
    void SetQuit(bool v) override;
    void SetWindowTitle(const char* s) override;
    bool ShowMenuAt(fPoint2 p) override;
    bool GetIsMenuOpen() const override;

protected:
    // The server; must not be null while the proxy is used
    virtual App* GetAppProxyServer() const = 0;
    void PleaseRender() override;
    bool RequestNewBoundsSize(float w, float h) override;
};

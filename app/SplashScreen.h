// SplashScreen: the timed title sequence the shell plays before the applet's first tick.
// The shell owns it, calls Update and Render once per tick until GetIsDone, then deletes it.
// A plain SplashScreen is done at once.
#pragma once

#include "AppProxy.h"

class SplashScreen : public AppServerProxy {
public:
    SplashScreen(const char* app, const char* author, App* shell);
    virtual ~SplashScreen() {}

    void SetCopyrightString(const char* str);

    virtual void Update() {}
    // Draws one frame; also the splash's App::Render
    void Render() override {}
    // A press or a key: the person wants the program now
    virtual void Skip() {}
    virtual bool GetIsDone() { return true; }

protected:
    const char* GetAuthorString() const { return authorString; }
    const char* GetAppString() const { return appString; }
    const char* GetCopyrightString() const { return copyrightString; }
    App* GetAppProxyServer() const override { return shell; }

private:
    char authorString[64];
    char appString[64];
    char copyrightString[64];
    // Not owned
    App* shell;
};

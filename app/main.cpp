// Program entry: obtains the shell, gives it the title splash, builds the editor applet and
// runs the event loop. The shell owns the splash screen; main owns the shell and the applet.

#include <new>

#include "Application.h"
#include "SplashScreenJitter.h"
#include "Velko.h"

namespace {
const char* const kAppName = "Velko";
const char* const kAuthorLine = "hand-drawn dolls, posed by hand";
const char* const kCopyrightLine = "Copyright (c) the Velko authors";
}  // namespace

int main() {
    Application* shell = Application::GetApplicationShell();
    if (!shell) return 0;
    shell->SetSplashText(kCopyrightLine);
    SplashScreenJitter* splash =
        new (std::nothrow) SplashScreenJitter(kAppName, kAuthorLine, shell);
    if (splash) {
        splash->SetCopyrightString(kCopyrightLine);
        shell->SetSplashScreen(splash);
    }
    {
        Velko myApp(shell);
        shell->EnterEventLoop(&myApp);
    }
    delete shell;
    return 0;
}

// Program entry: obtains the shell, gives it the title splash, installs the desktop's file
// services, builds the editor applet and runs the event loop until the person quits. The
// shell owns the splash screen; main owns the shell, the file services and the applet.
//
// Usage: velko [DOCUMENT]

#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "AppFiles.h"
#include "Application.h"
#include "RecoveryFile.h"
#include "SplashScreenJitter.h"
#include "Velko.h"
#include "ZenityFiles.h"

namespace {
const char* const kAppName = "Velko";
const char* const kAuthorLine = "hand-drawn dolls, posed by hand";
const char* const kCopyrightLine = "Copyright (c) the Velko authors";
}  // namespace

int main(int argc, char** argv) {
    // A launcher may leave SIGCHLD ignored, and then the dialogs' exit status is lost (the
    // children are reaped by the kernel) and every answer would read as Cancel
    signal(SIGCHLD, SIG_DFL);
    if (argc > 2 || (argc == 2 && (!strcmp(argv[1], "--help") || !strcmp(argv[1], "-h")))) {
        fprintf(argc > 2 ? stderr : stdout, "Usage: velko [DOCUMENT]\n");
        return argc > 2 ? 2 : 0;
    }
    Application* shell = Application::GetApplicationShell();
    if (!shell) return 0;
    shell->SetSplashText(kCopyrightLine);
    SplashScreenJitter* splash =
        new (std::nothrow) SplashScreenJitter(kAppName, kAuthorLine, shell);
    if (splash) {
        splash->SetCopyrightString(kCopyrightLine);
        shell->SetSplashScreen(splash);
    }
    ZenityFiles files;
    if (ZenityFiles::IsAvailable())
        AppFiles::Install(&files);
    else
        fprintf(stderr,
                "velko: zenity was not found, so Open and Save As are unavailable "
                "(install the zenity package)\n");
    {
        Velko myApp(shell);
        if (argc == 2) myApp.SetStartDocument(argv[1]);
        myApp.EnableRecovery(RecoveryFile::DefaultFolder());
        shell->EnterEventLoop(&myApp);
    }
    AppFiles::Install(nullptr);
    delete shell;
    return 0;
}

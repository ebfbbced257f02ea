// Program entry: obtains the shell, gives it the title splash (short when a document is
// named or a recovery copy waits), installs the desktop's file services, builds the editor
// applet and runs the event loop until the person quits. The shell owns the splash screen;
// main owns the shell, the file services and the applet.
//
// Usage: velko [DOCUMENT]

#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "AppFiles.h"
#include "Application.h"
#include "DesktopIcon.h"
#include "RecoveryFile.h"
#include "SplashScreenJitter.h"
#include "Velko.h"
#include "VelkoIcons.h"
#include "ZenityFiles.h"

namespace {
const char* const kAppName = "Velko";
const char* const kAuthorLine = "hand-drawn dolls, posed by hand";
const char* const kCopyrightLine = "Copyright (c) the Velko authors";
// The title sequence's length when a document or the question about a recovery copy waits
const float kShortSplashSeconds = 2;

// A program that ended without saving left a copy here that the editor will offer
bool RecoveryCopyWaits(const std::string& folder) {
    std::vector<RecoveryFile::Orphan> orphans = RecoveryFile::FindOrphans(folder);
    for (RecoveryFile::Orphan& o : orphans) RecoveryFile::Release(&o);
    return !orphans.empty();
}
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
    // The launcher's StartupWMClass, and the installed icon's drawing at the sizes docks
    // and window switchers pick from
    shell->SetWindowIdentity("velko", "Velko", WindowIconData(heart, {16, 32, 48, 64, 128}));
    shell->SetSplashText(kCopyrightLine);
    SplashScreenJitter* splash =
        new (std::nothrow) SplashScreenJitter(kAppName, kAuthorLine, shell);
    std::string recoveryFolder = RecoveryFile::DefaultFolder();
    if (splash) {
        splash->SetCopyrightString(kCopyrightLine);
        if (argc == 2 || (!recoveryFolder.empty() && RecoveryCopyWaits(recoveryFolder)))
            splash->LimitDuration(kShortSplashSeconds);
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
        myApp.EnableRecovery(recoveryFolder);
        shell->EnterEventLoop(&myApp);
    }
    AppFiles::Install(nullptr);
    delete shell;
    return 0;
}

// Program entry: obtains the shell, hands it the applet and runs the event loop.

#include "Application.h"
#include "PlaceholderApplet.h"

int main() {
    Application* shell = Application::GetApplicationShell();
    if (!shell) return 0;
    PlaceholderApplet myApp(shell);
    shell->EnterEventLoop(&myApp);
    delete shell;
    return 0;
}

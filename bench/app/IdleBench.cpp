// Idle cost of the running program: the real GLUT shell hosting the editor applet for a
// fixed time on the X display. Prints ticks per second and the CPU the process used.
// The program clock can start at a given uptime, to measure a program that has been
// running for hours.
//
// Usage: velko_idle_bench [seconds [uptime-hours]]   (defaults 10 and 0)
#include <GL/freeglut.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "Application.h"
#include "Velko.h"
#include "fTime.h"

namespace {

double CpuSeconds() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Counts the applet's ticks and ends the event loop after the measuring time
class CountingApplet : public Velko {
public:
    CountingApplet(App* shell, float seconds) : Velko(shell), duration(seconds) {}

    void Idle() override {
        Velko::Idle();
        double now = GetPreciseSeconds();
        if (ticks == 0) {
            // Measure from the first tick, after start-up costs
            startWall = now;
            startCpu = CpuSeconds();
        }
        ticks++;
        if (now - startWall >= duration) {
            wall = now - startWall;
            cpu = CpuSeconds() - startCpu;
            SetQuit(true);
        }
    }

    float duration;
    long ticks = 0;
    double startWall = 0, wall = 0;
    double startCpu = 0, cpu = 0;
};

}  // namespace

int main(int argc, char** argv) {
    float seconds = argc > 1 ? (float)atof(argv[1]) : 10;
    double uptimeHours = argc > 2 ? atof(argv[2]) : 0;
    // Before the shell exists, so every reading of the clock includes it
    SetClockOffset(uptimeHours * 3600);
    Application* shell = Application::GetApplicationShell();
    if (!shell) return 1;
    CountingApplet applet(shell, seconds);
    shell->EnterEventLoop(&applet);
    if (applet.wall <= 0) return 1;
    printf("ticks: %ld in %.2f s = %.2f ticks/s\n", applet.ticks - 1, applet.wall,
           (applet.ticks - 1) / applet.wall);
    printf("cpu: %.3f s = %.1f%% of one core\n", applet.cpu, 100 * applet.cpu / applet.wall);
    return 0;
}

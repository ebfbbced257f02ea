// velko-render: draws a doll document into a PNG picture, a PNG sheet of its poses or a
// looping GIF without a display (see RenderCommand.h for the command line).

#include <csignal>

#include "RenderCommand.h"

int main(int argc, char** argv) {
    // Children's exit status must reach this program whatever its launcher ignored
    signal(SIGCHLD, SIG_DFL);
    return RunRenderCommand(argc, argv);
}

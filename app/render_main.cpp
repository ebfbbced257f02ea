// velko-render: draws a doll document into a PNG picture, a PNG sheet of its poses or a
// looping GIF without a display (see RenderCommand.h for the command line).

#include "RenderCommand.h"

int main(int argc, char** argv) { return RunRenderCommand(argc, argv); }

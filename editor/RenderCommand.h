// The command line of velko-render, which turns a doll document into a PNG picture, a PNG
// sheet of its poses or a looping GIF without a display:
//
//   velko-render DOC [--pose N] -o out.png
//   velko-render DOC --sheet -o sheet.png
//   velko-render DOC --gif [--poses 1,2,3,4] [--fps N] [--loop forever|once|pingpong] -o anim.gif
//   velko-render DOC --info (the document as JSON on standard output)
//   options: --size WxH (default 800x480), --icon, --transparent (PNG only), --fit
//
// Poses are numbered 1 to 8 here, as the editor shows them; the request holds slots 0 to 7.
//
// Parsing is apart from running so it can be checked without drawing.
#pragma once

#include <string>

#include "DollPictures.h"

struct RenderCommandLine {
    std::string document;
    std::string output;
    RenderRequest request;
    bool help = false;  // --help or -h: print the usage and do nothing else
    bool info = false;  // --info: describe the document on standard output, draw nothing
};

// The usage text, ending in a line end
const char* RenderUsage();
// Reads argv[1 ..]; false with *error (one line, no program name) for anything it does not
// take: unknown options, missing or doubled values, poses outside 1 to 8, options that do
// not fit the kind of output, an output name with another format's extension than .png
// (.gif for --gif); a name without an extension is taken as it is
bool ParseRenderCommandLine(int argc, const char* const* argv, RenderCommandLine* out,
                            std::string* error);
// Runs velko-render: 0 when the file was written, 2 (with a message on stderr and no file
// written) on any failure, the output being the document itself, a pipe or read-only
// among them
int RunRenderCommand(int argc, const char* const* argv);

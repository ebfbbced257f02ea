// The command line of velko-render, which turns a doll document into a picture, a sheet of
// its poses, an animation or a sprite sheet without a display; the output's extension picks
// the format:
//
//   velko-render DOC [--pose N] -o out.png|out.svg
//   velko-render DOC --sheet -o sheet.png
//   velko-render DOC --animation [--poses 1,2,3,4] [--fps N] [--loop forever|once|pingpong]
//                -o anim.gif|.webp|.apng|.mp4|.webm
//   velko-render DOC --gif [...] -o anim.gif (the same, a GIF only)
//   velko-render DOC --sprites [--poses 1,2,3,4] [--fps N] [--loop ...] -o sheet.png
//                (and sheet.json)
//   velko-render DOC --info (the document as JSON on standard output)
//   options: --size WxH (default 800x480), --fit, --icon, --transparent (formats with alpha)
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
// not fit the kind of output or its format, an output name whose extension names no format
// of its kind; a name without an extension is taken as it is, in the kind's first format
// (PNG, or GIF)
bool ParseRenderCommandLine(int argc, const char* const* argv, RenderCommandLine* out,
                            std::string* error);
// Runs velko-render: 0 when the file was written, 2 (with a message on stderr and no file
// written) on any failure, the output being the document itself, a pipe or read-only
// among them
int RunRenderCommand(int argc, const char* const* argv);

#include "RenderCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DocumentFile.h"
#include "DollInfo.h"

namespace {

const int kExitFailure = 2;
const int kNumPoseSlots = 8;

// A whole decimal number 0 .. max, nothing else
bool ParseCount(const std::string& s, int max, int* value) {
    if (s.empty() || s.size() > 6) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > max) return false;
    *value = v;
    return true;
}

bool ParseSize(const std::string& s, int* w, int* h) {
    size_t x = s.find_first_of("xX");
    if (x == std::string::npos) return false;
    return ParseCount(s.substr(0, x), 16384, w) && ParseCount(s.substr(x + 1), 16384, h) &&
           *w > 0 && *h > 0;
}

// A pose as people number them, 1 to 8, to the slot it names (0 to 7); "" or the reason
std::string PoseSlot(int number, int* slot) {
    if (number < 1 || number > kNumPoseSlots)
        return "pose " + std::to_string(number) + " does not exist (poses are 1 to " +
               std::to_string(kNumPoseSlots) + ")";
    *slot = number - 1;
    return "";
}

// Pose numbers separated by commas, as slots; false when an entry is not a number. *problem
// gets why the first number that names no pose is refused ("" when every one names a pose).
bool ParsePoseList(const std::string& s, std::vector<int>* poses, std::string* problem) {
    poses->clear();
    size_t start = 0;
    for (;;) {
        size_t comma = s.find(',', start);
        int p = 0;
        if (!ParseCount(
                s.substr(start, comma == std::string::npos ? std::string::npos : comma - start),
                999, &p))
            return false;
        int slot = 0;
        if (problem->empty()) *problem = PoseSlot(p, &slot);
        poses->push_back(slot);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// The extension of the format the request writes
const char* OutputExtension(const RenderRequest& r) {
    return r.kind == RenderRequest::animation ? ".gif" : ".png";
}

bool Fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

}  // namespace

const char* RenderUsage() {
    return "Usage: velko-render DOCUMENT [--pose N] -o PICTURE.png\n"
           "       velko-render DOCUMENT --sheet -o SHEET.png\n"
           "       velko-render DOCUMENT --gif [--poses N,N,...] [--fps N]\n"
           "                    [--loop forever|once|pingpong] -o ANIMATION.gif\n"
           "       velko-render DOCUMENT --info\n"
           "Draws a Velko doll without a display, as the editor's Play mode shows it.\n"
           "  --pose N       the doll settled in pose N (1 to 8); without it, the document's\n"
           "                 own posture\n"
           "  --sheet        every filled pose in a grid, each labelled with its number\n"
           "  --gif          the doll's animation, as its sequence times it\n"
           "  --poses LIST   a quick sequence instead: these poses in this order, each\n"
           "                 moved into in 1 s and held for 0.5 s\n"
           "  --fps N        frames a second of the animation (1 to 50; default: the\n"
           "                 document's, 25 unless changed)\n"
           "  --loop MODE    forever, once or pingpong (default: the document's)\n"
           "  --info         print the document's contents and sequence as JSON\n"
           "  --size WxH     pixels of one picture, sheet cell or frame (default 800x480)\n"
           "  --icon         draw the doll's emotion icon too\n"
           "  --transparent  a transparent background (PNG only)\n"
           "  --fit          frame the doll's drawing with a small margin instead of the whole\n"
           "                 800x480 stage (an animation: the same frame for all its frames)\n"
           "  -o FILE        the file to write; its name ends in .png (.gif with --gif)\n"
           "                 or has no extension at all\n"
           "Exit status: 0 when the file was written, 2 on any error (nothing is written).\n";
}

bool ParseRenderCommandLine(int argc, const char* const* argv, RenderCommandLine* out,
                            std::string* error) {
    RenderCommandLine c;
    bool sawPose = false, sawPoses = false, sawSheet = false, sawGif = false, sawSize = false,
         sawOutput = false, sawFps = false, sawLoop = false;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        // The options that take a value accept it as the next argument or after '='
        std::string name = arg, value;
        bool inlineValue = false;
        if (arg.size() > 2 && arg[0] == '-' && arg[1] == '-') {
            size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                inlineValue = true;
            }
        }
        bool takesValue = name == "--pose" || name == "--poses" || name == "--size" ||
                          name == "-o" || name == "--output" || name == "--fps" || name == "--loop";
        if (takesValue && !inlineValue) {
            if (i + 1 >= argc) return Fail(error, name + " needs a value");
            value = argv[++i];
        } else if (!takesValue && inlineValue) {
            return Fail(error, name + " takes no value");
        }

        if (name == "--help" || name == "-h") {
            c.help = true;
        } else if (name == "--pose") {
            if (sawPose) return Fail(error, "--pose is given twice");
            sawPose = true;
            int number = 0;
            if (!ParseCount(value, 999, &number))
                return Fail(error, "--pose needs a pose number, not \"" + value + "\"");
            std::string problem = PoseSlot(number, &c.request.pose);
            if (!problem.empty()) return Fail(error, "--pose " + value + ": " + problem);
        } else if (name == "--poses") {
            if (sawPoses) return Fail(error, "--poses is given twice");
            sawPoses = true;
            std::string problem;
            if (!ParsePoseList(value, &c.request.poses, &problem))
                return Fail(
                    error, "--poses needs pose numbers separated by commas, not \"" + value + "\"");
            if (!problem.empty()) return Fail(error, "--poses " + value + ": " + problem);
        } else if (name == "--fps") {
            if (sawFps) return Fail(error, "--fps is given twice");
            sawFps = true;
            if (!ParseCount(value, DollSequence::kMaxFps, &c.request.fps) ||
                c.request.fps < DollSequence::kMinFps)
                return Fail(error, "--fps needs a number of frames a second from 1 to 50, not \"" +
                                       value + "\"");
        } else if (name == "--loop") {
            if (sawLoop) return Fail(error, "--loop is given twice");
            sawLoop = true;
            if (!DollSequence::ParseLoop(value.c_str(), &c.request.loop))
                return Fail(error, "--loop needs forever, once or pingpong, not \"" + value + "\"");
            c.request.loopGiven = true;
        } else if (name == "--info") {
            c.info = true;
        } else if (name == "--sheet") {
            sawSheet = true;
        } else if (name == "--gif") {
            sawGif = true;
        } else if (name == "--size") {
            if (sawSize) return Fail(error, "--size is given twice");
            sawSize = true;
            if (!ParseSize(value, &c.request.options.width, &c.request.options.height))
                return Fail(error, "--size needs WIDTHxHEIGHT in pixels (1 to 16384), not \"" +
                                       value + "\"");
        } else if (name == "--icon") {
            c.request.options.icon = true;
        } else if (name == "--transparent") {
            c.request.options.transparent = true;
        } else if (name == "--fit") {
            c.request.options.fit = true;
        } else if (name == "-o" || name == "--output") {
            if (sawOutput) return Fail(error, "-o is given twice");
            sawOutput = true;
            if (value.empty()) return Fail(error, "-o needs a file name");
            c.output = value;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Fail(error, "unknown option " + arg);
        } else {
            if (!c.document.empty()) return Fail(error, "more than one document: " + arg);
            c.document = arg;
        }
    }
    if (c.help) {
        *out = c;
        return true;
    }
    if (c.info) {
        if (sawSheet || sawGif || sawPose || sawPoses || sawSize || sawOutput || sawFps ||
            sawLoop || c.request.options.icon || c.request.options.transparent ||
            c.request.options.fit)
            return Fail(error, "--info takes no other option");
        if (c.document.empty()) return Fail(error, "no document given");
        *out = c;
        return true;
    }
    if (sawSheet && sawGif) return Fail(error, "--sheet and --gif cannot be combined");
    c.request.kind = sawGif     ? RenderRequest::animation
                     : sawSheet ? RenderRequest::sheet
                                : RenderRequest::still;
    if (sawPose && c.request.kind != RenderRequest::still)
        return Fail(error, "--pose is for a single picture; use --poses with --gif");
    if (sawPoses && c.request.kind != RenderRequest::animation)
        return Fail(error, "--poses is for --gif");
    if ((sawFps || sawLoop) && c.request.kind != RenderRequest::animation)
        return Fail(error, std::string(sawFps ? "--fps" : "--loop") + " is for --gif");
    if (c.request.options.transparent && c.request.kind == RenderRequest::animation)
        return Fail(error, "--transparent works for PNG pictures only, not with --gif");
    if (c.document.empty()) return Fail(error, "no document given");
    if (c.output.empty()) return Fail(error, "no output file given (-o FILE)");
    const std::string why = WhyNotAnExportName(c.output, OutputExtension(c.request));
    if (!why.empty()) return Fail(error, "-o " + c.output + ": " + why);
    *out = c;
    return true;
}

int RunRenderCommand(int argc, const char* const* argv) {
    RenderCommandLine c;
    std::string error;
    if (!ParseRenderCommandLine(argc, argv, &c, &error)) {
        fprintf(stderr, "velko-render: %s\n%s", error.c_str(), RenderUsage());
        return kExitFailure;
    }
    if (c.help) {
        fputs(RenderUsage(), stdout);
        return 0;
    }
    std::string document;
    if (c.info) {
        // Nothing is written but standard output
        std::string json;
        if (!ReadWholeFile(c.document, &document, &error) ||
            !DescribeDollDocument(document, &json, &error)) {
            fprintf(stderr, "velko-render: could not read \"%s\": %s\n", c.document.c_str(),
                    error.c_str());
            return kExitFailure;
        }
        fputs(json.c_str(), stdout);
        return fflush(stdout) == 0 && !ferror(stdout) ? 0 : kExitFailure;
    }
    // Before anything is read or drawn: the document itself, a pipe or a read-only file
    // is never the output
    if (!CheckExportTarget(c.output, OutputExtension(c.request), c.document, &error)) {
        fprintf(stderr, "velko-render: %s\n", error.c_str());
        return kExitFailure;
    }
    if (!ReadWholeFile(c.document, &document, &error)) {
        fprintf(stderr, "velko-render: %s\n", error.c_str());
        return kExitFailure;
    }
    std::string bytes;
    if (!RenderDollDocument(document, c.request, &bytes, &error)) {
        fprintf(stderr, "velko-render: could not draw \"%s\": %s\n", c.document.c_str(),
                error.c_str());
        return kExitFailure;
    }
    if (!WriteFileAtomically(c.output, bytes, &error)) {
        fprintf(stderr, "velko-render: %s\n", error.c_str());
        return kExitFailure;
    }
    return 0;
}

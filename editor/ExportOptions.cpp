#include "ExportOptions.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kYes = "Yes";
const char* const kNo = "No";
const char* const kForever = "Forever";
const char* const kOnce = "Once";
const char* const kPingPong = "Ping-Pong";
const char* const kShown = "Shown";
const char* const kHidden = "Hidden";
const char* const kWhite = "White";
const char* const kTransparent = "Transparent";

// A whole number from lo to hi, nothing else
bool ParseWhole(const std::string& s, int lo, int hi, int* v) {
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    int n = atoi(s.c_str());
    if (n < lo || n > hi) return false;
    *v = n;
    return true;
}

const char* LoopName(SequenceLoop m) {
    return m == SequenceLoop::once ? kOnce : m == SequenceLoop::pingPong ? kPingPong : kForever;
}

}  // namespace

void ExportOptions::ApplyTo(RenderRequest* r) const {
    r->options.width = width;
    r->options.height = height;
    r->options.fit = fit;
    r->options.icon = icon;
    r->options.transparent = transparent;
    r->fps = fps;
    r->loopGiven = loop.has_value();
    r->loop = loop.value_or(SequenceLoop::forever);
}

std::string ExportOptionsText(const ExportOptions& o) {
    std::string fps = o.fps > 0 ? std::to_string(o.fps) + " frames a second" : "its own frame rate";
    std::string loop = o.loop ? std::string("loops ") + LoopName(*o.loop) : "its own loop";
    return "Pictures and frames are " + std::to_string(o.width) + "x" + std::to_string(o.height) +
           (o.fit ? ", fitted to the doll" : ", the whole stage") +
           (o.icon ? ", with" : ", without") + " the emotion icon, on a " +
           (o.transparent ? "transparent" : "white") + " background. Animations: " + fps + ", " +
           loop + ".\nLeave a field empty to keep what it is.";
}

std::vector<AppFiles::FormField> ExportOptionsFields() {
    return {
        {"Size (width x height)", {}},       {"Fit to the doll", {kYes, kNo}},
        {"Frame rate (1 to 50)", {}},        {"Loop", {kForever, kOnce, kPingPong}},
        {"Emotion icon", {kShown, kHidden}}, {"Background", {kWhite, kTransparent}},
    };
}

bool ApplyExportOptionsAnswers(const std::vector<std::string>& answers, ExportOptions* o,
                               std::string* error) {
    if (answers.size() != ExportOptionsFields().size()) {
        *error = "the Export Options form gave no answer to some of its fields";
        return false;
    }
    ExportOptions n = *o;
    const std::string &size = answers[0], &fit = answers[1], &fps = answers[2], &loop = answers[3],
                      &icon = answers[4], &background = answers[5];
    if (!size.empty()) {
        size_t x = size.find_first_of("xX");
        if (x == std::string::npos || !ParseWhole(size.substr(0, x), 1, 16384, &n.width) ||
            !ParseWhole(size.substr(x + 1), 1, 16384, &n.height)) {
            *error = "The size \"" + size + "\" is not WIDTHxHEIGHT in pixels (1 to 16384)";
            return false;
        }
    }
    if (!fps.empty() && !ParseWhole(fps, 1, 50, &n.fps)) {
        *error = "The frame rate \"" + fps + "\" is not a whole number from 1 to 50";
        return false;
    }
    if (!fit.empty()) n.fit = fit == kYes;
    if (!loop.empty())
        n.loop = loop == kOnce       ? SequenceLoop::once
                 : loop == kPingPong ? SequenceLoop::pingPong
                                     : SequenceLoop::forever;
    if (!icon.empty()) n.icon = icon == kShown;
    if (!background.empty()) n.transparent = background == kTransparent;
    *o = n;
    return true;
}

bool AskExportOptions(ExportOptions* o) {
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    std::vector<std::string> answers;
    if (!files->AskForm("Export Options", ExportOptionsText(*o), ExportOptionsFields(), &answers))
        return false;
    std::string error;
    if (ApplyExportOptionsAnswers(answers, o, &error)) return true;
    fprintf(stderr, "velko: %s\n", error.c_str());
    files->ShowError("Export Options", error);
    return false;
}

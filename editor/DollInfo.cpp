#include "DollInfo.h"

#include <cstdio>

#include "DollPictures.h"
#include "DollTimeline.h"

namespace {

void Append(std::string* s, const char* format, int value) {
    char text[64];
    snprintf(text, sizeof text, format, value);
    *s += text;
}

}  // namespace

bool DescribeDollDocument(const std::string& document, std::string* json, std::string* error) {
    DollStage stage;
    if (!stage.Load(document, error)) return false;
    const SketchDoll& d = *stage.GetDoll();
    int lines = 0, masks = 0;
    for (const SketchDollLine* l = d.GetFirstLine(); l;
         l = static_cast<const SketchDollLine*>(l->GetNext()))
        (l->GetIsMask() ? masks : lines)++;

    std::string s;
    Append(&s, "{\"joints\": %d", d.GetNumJoints());
    Append(&s, ", \"bones\": %d", d.CountBones());
    Append(&s, ", \"lines\": %d", lines);
    Append(&s, ", \"masks\": %d", masks);
    s += ", \"poses\": [";
    const char* separator = "";
    for (int p = 0; p < d.GetNumPoses(); p++) {
        if (!d.GetIsPoseFilled(p)) continue;
        s += separator;
        Append(&s, "%d", p + 1);
        separator = ", ";
    }
    s += "], \"sequence\": {\"steps\": [";
    const std::vector<SequenceStep> steps = d.sequence.GetSteps(d);
    separator = "";
    for (const SequenceStep& step : steps) {
        s += separator;
        Append(&s, "{\"pose\": %d", step.pose + 1);
        Append(&s, ", \"hold_ms\": %d", step.holdMs);
        Append(&s, ", \"move_ms\": %d", step.moveMs);
        s += ", \"ease\": \"";
        s += DollSequence::EaseName(step.ease);
        s += "\"}";
        separator = ", ";
    }
    s += "], \"loop\": \"";
    s += DollSequence::LoopName(d.sequence.loop);
    Append(&s, "\", \"fps\": %d", d.sequence.fps);
    // What plays: steps whose pose is empty are passed over
    Append(&s, ", \"duration_ms\": %d}}\n", DollTimeline(d).GetLengthMs());
    *json = s;
    return true;
}

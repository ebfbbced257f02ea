#include "DollSequence.h"

#include <algorithm>
#include <cstring>

#include "Doll.h"
#include "tbfReader.h"
#include "tbfWriter.h"

namespace {

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

struct Named {
    const char* name;
    int value;
};
const Named kEases[] = {{"in-out", (int)SequenceEase::inOut},
                        {"linear", (int)SequenceEase::linear},
                        {"in", (int)SequenceEase::in},
                        {"out", (int)SequenceEase::out}};
const Named kLoops[] = {{"forever", (int)SequenceLoop::forever},
                        {"once", (int)SequenceLoop::once},
                        {"pingpong", (int)SequenceLoop::pingPong}};

template <size_t N>
const char* NameOf(const Named (&table)[N], int value) {
    for (const Named& n : table)
        if (n.value == value) return n.name;
    return table[0].name;
}

template <size_t N>
bool ValueOf(const Named (&table)[N], const char* name, int* value) {
    if (!name) return false;
    for (const Named& n : table) {
        if (strcmp(n.name, name) == 0) {
            *value = n.value;
            return true;
        }
    }
    return false;
}

}  // namespace

void DollSequence::Reset() {
    custom = false;
    steps.clear();
    loop = SequenceLoop::forever;
    fps = kDefaultFps;
}

std::vector<SequenceStep> DollSequence::GetSteps(const Doll& d) const {
    if (custom) return steps;
    std::vector<SequenceStep> automatic;
    for (int p = 0; p < d.GetNumPoses(); p++) {
        if (!d.GetIsPoseFilled(p)) continue;
        SequenceStep s;
        s.pose = p;
        automatic.push_back(s);
    }
    return automatic;
}

void DollSequence::MakeCustom(const Doll& d) {
    if (custom) return;
    steps = GetSteps(d);
    custom = true;
}

void DollSequence::Write(tbfWriter* f) const {
    f->WriteAndOpenNode("sequence");
    f->Write("loop %s", LoopName(loop));
    f->Write("fps %d", fps);
    if (custom) {
        f->WriteAndOpenNode("steps %d", (int)steps.size());
        for (const SequenceStep& s : steps)
            f->Write("%d %d %d %s", s.pose + 1, s.holdMs, s.moveMs, EaseName(s.ease));
        f->CloseNode();
    }
    f->CloseNode();
}

void DollSequence::ReadNode(tbfReader* f) {
    // A later node replaces an earlier one
    Reset();
    if (!f->CompareItem(0, "sequence") || !f->OpenNode()) return;
    while (f->Read()) {
        int v = 0;
        if (f->CompareItem(0, "loop")) {
            SequenceLoop l;
            if (ParseLoop(f->GetItemAsString(1), &l)) loop = l;
        } else if (f->CompareItem(0, "fps")) {
            if (f->ParseItem(1, &v)) fps = Clamp(v, kMinFps, kMaxFps);
        } else if (f->CompareItem(0, "steps") && f->OpenNode()) {
            custom = true;
            steps.clear();
            while (f->Read()) {
                SequenceStep s;
                int pose = 0;
                if (!f->ParseItem(0, &pose) || !f->ParseItem(1, &s.holdMs) ||
                    !f->ParseItem(2, &s.moveMs) || !ParseEase(f->GetItemAsString(3), &s.ease))
                    continue;
                if (pose < 1 || pose > Doll::kNumPoses || (int)steps.size() >= kMaxSteps) continue;
                s.pose = pose - 1;
                s.holdMs = Clamp(s.holdMs, 0, kMaxStepMs);
                s.moveMs = Clamp(s.moveMs, 0, kMaxStepMs);
                steps.push_back(s);
            }
            f->CloseNode();
        }
    }
    f->CloseNode();
}

const char* DollSequence::EaseName(SequenceEase e) { return NameOf(kEases, (int)e); }

bool DollSequence::ParseEase(const char* name, SequenceEase* e) {
    int v = 0;
    if (!ValueOf(kEases, name, &v)) return false;
    *e = (SequenceEase)v;
    return true;
}

const char* DollSequence::LoopName(SequenceLoop l) { return NameOf(kLoops, (int)l); }

bool DollSequence::ParseLoop(const char* name, SequenceLoop* l) {
    int v = 0;
    if (!ValueOf(kLoops, name, &v)) return false;
    *l = (SequenceLoop)v;
    return true;
}

double DollSequence::Eased(SequenceEase e, double u) {
    if (!(u > 0)) return 0;
    if (u >= 1) return 1;
    switch (e) {
        case SequenceEase::linear:
            return u;
        case SequenceEase::in:
            return u * u;
        case SequenceEase::out:
            return 1 - (1 - u) * (1 - u);
        case SequenceEase::inOut:
            break;
    }
    // Smoothstep: its slope is 6u(1 - u) >= 0, and it stays between its ends
    return u * u * (3 - 2 * u);
}

// Timing

double SequenceSpan::Progress(double u) const {
    if (hold) return 0;
    return DollSequence::Eased(ease, backwards ? 1 - u : u);
}

std::vector<SequenceSpan> SequenceSpans(const std::vector<SequenceStep>& steps, SequenceLoop loop) {
    std::vector<SequenceSpan> spans;
    int t = 0;
    // Spans that take no time are left out: the pose they would show is shown by the next
    auto add = [&](int a, int b, bool hold, bool backwards, const SequenceStep& timing) {
        const int length = hold ? timing.holdMs : timing.moveMs;
        if (length <= 0) return;
        spans.push_back({t, length, a, b, hold, backwards, timing.ease});
        t += length;
    };
    const int n = (int)steps.size();
    if (n == 0) return spans;
    add(0, 0, true, false, steps[0]);
    for (int i = 1; i < n; i++) {
        add(i - 1, i, false, false, steps[i]);
        add(i, i, true, false, steps[i]);
    }
    switch (loop) {
        case SequenceLoop::forever:
            add(n - 1, 0, false, false, steps[0]);
            break;
        case SequenceLoop::once:
            break;
        case SequenceLoop::pingPong:
            for (int i = n - 1; i >= 1; i--) {
                add(i - 1, i, false, true, steps[i]);
                if (i - 1 > 0) add(i - 1, i - 1, true, false, steps[i - 1]);
            }
            break;
    }
    return spans;
}

int SequencePassMs(const std::vector<SequenceStep>& steps, SequenceLoop loop) {
    std::vector<SequenceSpan> spans = SequenceSpans(steps, loop);
    return spans.empty() ? 0 : spans.back().startMs + spans.back().lengthMs;
}

AnimationFrames MakeAnimationFrames(int lengthMs, int fps, SequenceLoop loop) {
    AnimationFrames out;
    fps = Clamp(fps, DollSequence::kMinFps, DollSequence::kMaxFps);
    lengthMs = std::max(lengthMs, 0);
    out.loop = loop;
    out.fps = fps;
    out.lengthMs = lengthMs;
    // Whole frame times in the pass, rounded half up: (L * fps / 1000) in integers
    long long n = ((long long)lengthMs * fps * 2 + 1000) / 2000;
    if (n < 1) n = 1;
    // Frame k starts at k * 1000 / fps ms, in hundredths k * 100 / fps, rounded half up
    auto startCs = [fps](long long k) { return (int)((200 * k + fps) / (2 * fps)); };
    const int endCs = (lengthMs + 5) / 10;
    out.frames.reserve((size_t)n);
    for (long long k = 0; k < n; k++) {
        AnimationFrame f;
        f.startMs = (double)k * 1000.0 / fps;
        const bool last = k + 1 == n;
        const double end = last ? (double)lengthMs : (double)(k + 1) * 1000.0 / fps;
        f.durationMs = end - f.startMs;
        f.delayCs = (last ? endCs : startCs(k + 1)) - startCs(k);
        f.postureMs = last && loop == SequenceLoop::once ? (double)lengthMs : f.startMs;
        out.frames.push_back(f);
    }
    return out;
}

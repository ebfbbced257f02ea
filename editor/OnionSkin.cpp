#include "OnionSkin.h"

#include "graphicsUtilsGL.h"

namespace OnionSkin {

namespace {
// Every second recorded point: a ghost needs the shape, not every wiggle, and the heavy
// doll's ghosts then cost about half a drawing of the doll each
const int kGhostPointStep = 4;
const int kGhostThickness = 1;
}  // namespace

fColor PreviousTint() { return fColor(1.0f, 0.72f, 0.55f); }
fColor NextTint() { return fColor(0.58f, 0.74f, 1.0f); }

void Neighbours(const Doll& d, const std::vector<SequenceStep>& steps, SequenceLoop loop, int i,
                int* previous, int* next) {
    *previous = *next = -1;
    std::vector<int> playing;
    int at = -1;
    for (size_t k = 0; k < steps.size(); k++) {
        if (!d.GetIsPoseFilled(steps[k].pose)) continue;
        if ((int)k == i) at = (int)playing.size();
        playing.push_back((int)k);
    }
    const int n = (int)playing.size();
    if (at < 0 || n < 2) return;
    int p = at - 1, q = at + 1;
    switch (loop) {
        case SequenceLoop::forever:
            p = (p + n) % n;
            q %= n;
            break;
        case SequenceLoop::pingPong:
            if (p < 0) p = 1;
            if (q >= n) q = n - 2;
            break;
        case SequenceLoop::once:
            break;
    }
    if (p >= 0 && p < n) *previous = playing[(size_t)p];
    if (q >= 0 && q < n) *next = playing[(size_t)q];
}

void RenderGhost(const SketchDoll& d, int pose, fColor tint, const AuthorMode& m) {
    if (!d.GetIsPoseFilled(pose)) return;
    const fPoint2* at = d.poses[pose].joints;
    if (m.artVisible) d.RenderLinesAt(at, tint, kGhostThickness, kGhostPointStep);
    if (!m.skeletonVisible) return;
    tint.SetColor();
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!d.GetIsValidJoint(i)) continue;
        int cookie = 0, c = -1;
        while (d.GetNextEdge(i, &cookie, &c) > 0)
            if (c < i) Line(at[i], at[c]);  // each bone once
    }
    fColor::DefaultColor();
}

}  // namespace OnionSkin

#include "DollTimeline.h"

#include <algorithm>
#include <cmath>

#include "Doll.h"

namespace {
const double kPi = 3.14159265358979323846;
// Below this length (world units) a bone has no direction to turn: its joint is moved in a
// straight line instead
const double kNoDirection = 1e-4;
}  // namespace

DollTimeline::DollTimeline(const Doll& d) { Build(d, d.sequence.GetSteps(d), d.sequence.loop); }

DollTimeline::DollTimeline(const Doll& d, const std::vector<SequenceStep>& steps,
                           SequenceLoop loop) {
    Build(d, steps, loop);
}

void DollTimeline::Build(const Doll& d, const std::vector<SequenceStep>& steps,
                         SequenceLoop loopMode) {
    loop = loopMode;
    for (size_t i = 0; i < steps.size(); i++) {
        if (!d.GetIsPoseFilled(steps[i].pose)) continue;
        Posture p;
        const DollPose& pose = d.poses[steps[i].pose];
        for (int j = 0; j < kMaxJoints; j++)
            p.joints[j] = pose.PeekAtJointAlloc(j) ? pose.joints[j] : fPoint2(0, 0);
        poses.push_back(p);
        stepOf.push_back((int)i);
        playing.push_back(steps[i]);
    }
    spans = SequenceSpans(playing, loop);
    lengthMs = spans.empty() ? 0 : spans.back().startMs + spans.back().lengthMs;
    BuildTree(d);
}

void DollTimeline::BuildTree(const Doll& d) {
    // Bones per slot, to root each part at its busiest joint (the lowest slot on a tie):
    // the trunk rather than a hand, so limbs swing from the body
    int bones[kMaxJoints];
    for (int i = 0; i < kMaxJoints; i++) {
        bones[i] = 0;
        int cookie = 0, c = -1;
        while (d.GetIsValidJoint(i) && d.GetNextEdge(i, &cookie, &c) > 0) bones[i]++;
    }
    bool placed[kMaxJoints] = {};
    njoints = 0;
    for (;;) {
        int root = -1;
        for (int i = 0; i < kMaxJoints; i++)
            if (d.GetIsValidJoint(i) && !placed[i] && (root == -1 || bones[i] > bones[root]))
                root = i;
        if (root == -1) break;
        // Breadth first: each joint comes after its parent
        int head = njoints;
        order[njoints] = root;
        parent[njoints++] = -1;
        placed[root] = true;
        while (head < njoints) {
            const int j = order[head++];
            int cookie = 0, c = -1;
            while (d.GetNextEdge(j, &cookie, &c) > 0) {
                if (placed[c]) continue;
                placed[c] = true;
                order[njoints] = c;
                parent[njoints++] = j;
            }
        }
    }
}

void DollTimeline::Interpolate(const fPoint2* a, const fPoint2* b, double s, fPoint2* out) const {
    if (s <= 0 || s >= 1) {
        const fPoint2* end = s <= 0 ? a : b;
        for (int k = 0; k < njoints; k++) out[order[k]] = end[order[k]];
        return;
    }
    for (int k = 0; k < njoints; k++) {
        const int j = order[k], p = parent[k];
        if (p < 0) {
            out[j] = fPoint2((float)(a[j].x + (b[j].x - a[j].x) * s),
                             (float)(a[j].y + (b[j].y - a[j].y) * s));
            continue;
        }
        const double ax = (double)a[j].x - a[p].x, ay = (double)a[j].y - a[p].y;
        const double bx = (double)b[j].x - b[p].x, by = (double)b[j].y - b[p].y;
        const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
        double dx, dy;
        if (la < kNoDirection || lb < kNoDirection) {
            dx = ax + (bx - ax) * s;
            dy = ay + (by - ay) * s;
        } else {
            const double from = std::atan2(ay, ax);
            double turn = std::atan2(by, bx) - from;
            // The shorter way round; half a turn goes the positive way
            if (turn > kPi) turn -= 2 * kPi;
            if (turn <= -kPi) turn += 2 * kPi;
            const double angle = from + turn * s, length = la + (lb - la) * s;
            dx = length * std::cos(angle);
            dy = length * std::sin(angle);
        }
        out[j] = fPoint2((float)(out[p].x + dx), (float)(out[p].y + dy));
    }
}

namespace {
// Index of the span that holds time t of a pass (0 <= t < length)
size_t SpanAt(const std::vector<SequenceSpan>& spans, double t) {
    size_t lo = 0, hi = spans.size();
    while (hi - lo > 1) {
        size_t mid = (lo + hi) / 2;
        if (spans[mid].startMs <= t)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}
}  // namespace

void DollTimeline::PostureAt(double ms, fPoint2* out) const {
    if (poses.empty()) return;
    if (spans.empty()) {  // a pass that takes no time: the first pose
        Interpolate(poses[0].joints, poses[0].joints, 0, out);
        return;
    }
    double t = ms;
    if (loop == SequenceLoop::once) {
        if (!(t < lengthMs)) {
            Interpolate(poses.back().joints, poses.back().joints, 0, out);
            return;
        }
        if (!(t > 0)) t = 0;
    } else {
        t = std::fmod(ms, (double)lengthMs);
        if (!(t >= 0)) t = t < 0 ? t + lengthMs : 0;  // a negative time, or not a number
        if (t >= lengthMs) t = 0;
    }
    const SequenceSpan& s = spans[SpanAt(spans, t)];
    const double u = (t - s.startMs) / s.lengthMs;
    Interpolate(poses[(size_t)s.a].joints, poses[(size_t)s.b].joints, s.Progress(u), out);
}

int DollTimeline::StepAt(double ms, float* fraction) const {
    *fraction = 0;
    if (poses.empty()) return -1;
    if (spans.empty()) return stepOf[0];
    double t = loop == SequenceLoop::once ? std::min(std::max(ms, 0.0), (double)lengthMs)
                                          : std::fmod(ms, (double)lengthMs);
    if (!(t >= 0)) t = t < 0 ? t + lengthMs : 0;
    if (t >= lengthMs) {
        if (loop == SequenceLoop::once) {
            *fraction = 1;
            return stepOf.back();
        }
        t = 0;
    }
    const SequenceSpan& s = spans[SpanAt(spans, t)];
    const int dest = s.Destination();
    const SequenceStep& step = playing[(size_t)dest];
    // Through the move first, then the hold, in the destination's own proportions
    const double total = (double)step.moveMs + step.holdMs;
    const double u = (t - s.startMs) / s.lengthMs;
    double f = 0;
    if (total > 0) f = s.hold ? (step.moveMs + u * step.holdMs) / total : u * step.moveMs / total;
    *fraction = (float)std::min(std::max(f, 0.0), 1.0);
    return stepOf[(size_t)dest];
}

double DollTimeline::ArrivalMs(int step) const {
    // The pass starts on arrival in the first playing step, then moves and holds in order
    double t = 0;
    for (size_t i = 0; i < playing.size(); i++) {
        if (i > 0) t += playing[i].moveMs;
        if (stepOf[i] >= step) return t;
        t += playing[i].holdMs;
    }
    return 0;
}

#include "DollInvariants.h"

#include <cmath>
#include <cstdio>

#include "Doll.h"

namespace {

bool Finite(fPoint2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::string Say(const char* format, int a = 0, int b = 0) {
    char text[160];
    snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string PoseViolation(const Doll& d, const DollPose& pose, const char* name, bool stored) {
    if (pose.njoints < 0 || pose.njoints > DollPose::kMaxJoints)
        return std::string(name) + ": joint count out of range";
    int marked = 0;
    for (int i = 0; i < DollPose::kMaxJoints; i++) {
        if (!pose.jointAllocTable[i]) continue;
        marked++;
        if (!Finite(pose.joints[i])) return std::string(name) + Say(": slot %d not finite", i);
    }
    if (marked != pose.njoints) return std::string(name) + ": marks differ from its count";
    if (stored && pose.njoints != 0) {
        for (int i = 0; i < kDollMaxJoints; i++)
            if (pose.jointAllocTable[i] != d.jointAllocTable[i])
                return std::string(name) + Say(": slot %d does not match the doll", i);
    }
    return "";
}

}  // namespace

std::string DollInvariantViolation(const Doll& d) {
    int allocated = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!d.jointAllocTable[i]) continue;
        allocated++;
        const DollJoint& j = d.joints[i];
        if (!Finite(j.loc) || !Finite(j.inertia)) return Say("joint %d not finite", i);
        if (j.locked < 0) return Say("joint %d has a negative lock count", i);
        if (j.rotateRelativeTo < -1 || j.rotateRelativeTo >= kDollMaxJoints)
            return Say("joint %d rotates relative to no slot", i);
    }
    if (d.njoints != allocated)
        return Say("njoints %d but %d slots allocated", d.njoints, allocated);

    int bones = 0, positiveBones = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!d.jointAllocTable[i]) continue;
        if (d.edges[i][i] != Doll::kNoEdge) return Say("joint %d has a bone to itself", i);
        for (int j = i + 1; j < kDollMaxJoints; j++) {
            if (!d.jointAllocTable[j]) continue;
            const float e = d.edges[i][j];
            if (!(e == d.edges[j][i])) return Say("bone %d-%d not symmetric", i, j);
            if (!(e == Doll::kNoEdge || (e >= 0 && std::isfinite(e))))
                return Say("bone %d-%d has no usable rest length", i, j);
            if (e >= 0) bones++;
            if (e > 0) {
                positiveBones++;
                if (!d.dollEdgeDrawList.allocFailure && !d.dollEdgeDrawList.GetEdge(i, j))
                    return Say("bone %d-%d missing from the draw list", i, j);
            }
        }
    }
    if (d.nedges != bones) return Say("nedges %d but %d bones", d.nedges, bones);
    if (d.CountBones() != positiveBones) return "CountBones disagrees with the matrix";

    const int kMaxListed = kDollMaxJoints * (kDollMaxJoints + 1) / 2;
    int listed = 0;
    DollEdge* const* link = &d.dollEdgeDrawList.edges;
    for (DollEdge* e = *link; e; link = &e->next, e = e->next) {
        if (++listed > kMaxListed) return "draw list longer than the pairs of slots";
        if (e->prev != link) return "draw list node with a wrong back link";
        if (e->a < 0 || e->b >= kDollMaxJoints || e->a > e->b)
            return Say("draw list names %d-%d", e->a, e->b);
        for (DollEdge* f = e->next; f; f = f->next)
            if (f->a == e->a && f->b == e->b) return Say("draw list repeats %d-%d", e->a, e->b);
    }

    char name[16];
    for (int k = 0; k < Doll::kNumPoses; k++) {
        snprintf(name, sizeof name, "pose %d", k);
        const std::string why = PoseViolation(d, d.poses[k], name, true);
        if (!why.empty()) return why;
    }
    const std::string why = PoseViolation(d, d.homePose, "home pose", false);
    if (!why.empty()) return why;

    auto ownPose = [&d](const DollPose* p) {
        if (!p || p == &d.homePose) return true;
        for (int k = 0; k < Doll::kNumPoses; k++)
            if (p == &d.poses[k]) return true;
        return false;
    };
    if (!ownPose(d.seekPose) || !ownPose(d.editPose) || !ownPose(d.editPoseAfterSeek))
        return "a pose pointer leads outside the doll";

    const fRect& r = d.icon.bounds;
    if (!Finite(r.GetTopLeft()) || !Finite(fPoint2(r.right, r.bottom)))
        return "icon bounds not finite";
    if (!(r.GetWidth() >= 0 && r.GetWidth() <= Doll::kMaxIconExtent && r.GetHeight() >= 0 &&
          r.GetHeight() <= Doll::kMaxIconExtent))
        return "icon bounds inverted or too large";
    return "";
}

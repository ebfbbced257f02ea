// Doll motion (per-tick relaxation, seeking a pose, user drags), skeleton drawing and bounds.
// All constants are per call of Update() and in world units.
#include <algorithm>
#include <cmath>

#include "Doll.h"
#include "graphicsUtilsGL.h"

namespace {
const float kSeekPull = 0.21f;     // fraction of the distance to a pose target pulled per tick
const float kArrival = 3.0f;       // nearer than this to its target a joint has arrived
const float kUserDragStep = 2.0f;  // longest step of a user drag between relaxations
}  // namespace

void Doll::Update() {
    DollBoneLists bones;
    GetBoneLists(&bones);
    UpdateIK(bones);
    if (seekPose && (SeekPose(seekPose, bones) || GetIsSeekStalled()) && !lockSeek) {
        seekPose = nullptr;
        if (editPoseAfterSeek) editPose = editPoseAfterSeek;
    }
    if (editPose) editPose->DollToPose(this);
}

bool Doll::GetIsSeekStalled() {
    if (seekPose != stallPose) {
        stallPose = seekPose;
        stallBest = INFINITY;
        stallTicks = 0;
    }
    if (!seekPose || seekPose->GetNumJoints() != njoints) return false;
    float farthest = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!jointAllocTable[i] || !seekPose->PeekAtJointAlloc(i)) continue;
        if (joints[i].GetLock()) return false;
        farthest = std::max(farthest, joints[i].loc.Dist(seekPose->joints[i]));
    }
    if (farthest < stallBest - kSeekStallProgress) {
        stallBest = farthest;
        stallTicks = 0;
        return false;
    }
    return ++stallTicks >= kSeekStallTicks;
}

fPoint2 Doll::ClampToDocument(fPoint2 p) {
    auto clamp = [](float v) {
        if (std::isnan(v)) return 0.0f;
        return std::min(std::max(v, -kMaxDocumentCoordinate), kMaxDocumentCoordinate);
    };
    return fPoint2(clamp(p.x), clamp(p.y));
}

void Doll::GetBoneLists(DollBoneLists* bones) const {
    for (int i = 0; i < kDollMaxJoints; i++) {
        int n = 0;
        if (jointAllocTable[i]) {
            // The order GetNextEdge walks them in, so the pulls add up in the same order
            const float* row = edges[i];
            for (int c = 0; c < kDollMaxJoints; c++) {
                if (row[c] > 0 && jointAllocTable[c]) {
                    bones->neighbour[i][n] = (unsigned char)c;
                    bones->length[i][n] = row[c];
                    n++;
                }
            }
        }
        bones->count[i] = n;
    }
    for (int i = 0; i < kDollMaxJoints; i++) {
        bones->capped[i] = false;
        bones->pullScale[i] = 1;
        const int n = bones->count[i];
        if (n <= DollJoint::kMaxPairPullBones / 2) continue;
        const float cap = DollJoint::PullCap(i, this, bones->count);
        if (n > cap) {
            bones->capped[i] = true;
            bones->pullScale[i] = cap / n;
        }
    }
}

void Doll::UpdateIK() {
    DollBoneLists bones;
    GetBoneLists(&bones);
    UpdateIK(bones);
}

void Doll::UpdateIK(const DollBoneLists& bones) {
    // Ascending order: each joint sees where its lower-indexed neighbours went this pass
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i]) joints[i].Update(i, this, bones);
}

bool Doll::SeekPose(DollPose* pose) {
    DollBoneLists bones;
    GetBoneLists(&bones);
    return SeekPose(pose, bones);
}

bool Doll::SeekPose(DollPose* pose, const DollBoneLists& bones) {
    if (!pose || pose->GetNumJoints() != njoints) return true;
    // A pose of the right count that misses one of the doll's slots (a document's pose of
    // another skeleton) does not fit either: nothing to move into
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i] && !pose->PeekAtJointAlloc(i)) return true;
    int arrived = 0;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i] && JointSeekLoc(&joints[i], pose->GetJointLoc(i), bones)) arrived++;
    return arrived == njoints;
}

bool Doll::JointSeekLoc(DollJoint* j, fPoint2 moveTo) {
    DollBoneLists bones;
    GetBoneLists(&bones);
    return JointSeekLoc(j, moveTo, bones);
}

bool Doll::JointSeekLoc(DollJoint* j, fPoint2 moveTo, const DollBoneLists& bones) {
    if (j->loc.Dist(moveTo) < kArrival) return true;
    if (j->GetLock()) return false;
    j->AddInertia((moveTo - j->loc) * kSeekPull);
    UpdateIK(bones);
    return false;
}

void Doll::UserMoveJoint(DollJoint* j, fPoint2 delta) {
    if (!std::isfinite(delta.x) || !std::isfinite(delta.y)) return;
    // No drag inside the document goes farther than across it: this keeps the length finite
    const float kAcross = 2 * kMaxDocumentCoordinate;
    delta = fPoint2(std::min(std::max(delta.x, -kAcross), kAcross),
                    std::min(std::max(delta.y, -kAcross), kAcross));
    const float length = delta.GetLength();
    if (!(length > 0)) return;
    // The steps are counted before moving: the length of each step and what remains are
    // floats, and at a few million units taking 2.0 away no longer changes what remains
    int steps;
    float stepLength = kUserDragStep;
    if (length > kUserDragStep * kMaxDragSteps) {
        steps = kMaxDragSteps;
        stepLength = length / kMaxDragSteps;
    } else {
        steps = (int)std::ceil(length / kUserDragStep);  // length / 2 is exact
    }
    // The skeleton does not change during the drag: its bones are listed once
    DollBoneLists bones;
    GetBoneLists(&bones);
    float remaining = length;
    for (int k = 0; k < steps && remaining > 0; k++) {
        fPoint2 step = delta;
        step.SetLength(std::min(remaining, stepLength));
        j->loc = ClampToDocument(j->loc + step);
        UpdateIK(bones);
        remaining -= stepLength;
        if (remaining > 0) delta.SetLength(remaining);
    }
}

void Doll::UserDeformJoint(DollJoint* j, fPoint2 delta) {
    if (delta.GetIsZero() || !std::isfinite(delta.x) || !std::isfinite(delta.y)) return;
    int id = GetIndexOfJoint(j);
    j->SetLoc(ClampToDocument(j->loc + delta));
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (jointAllocTable[i] && edges[id][i] > 0) {
            float length = j->loc.Dist(joints[i].loc);
            edges[id][i] = length;
            edges[i][id] = length;
        }
    }
    NoteSkeletonChanged();
}

void Doll::RenderDecorations(bool renderSchematics) { icon.Render(renderSchematics); }

void Doll::RenderSkeleton(bool emphasizeNodes, bool thickBones) {
    dollEdgeDrawList.RenderEdges(this);
    if (!renderSkeleton) return;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!jointAllocTable[i]) continue;
        joints[i].Render(emphasizeNodes);
        if (thickBones) {
            PenWidth(2);
            fColor::gray()->SetColor();
        } else {
            fColor::lightGray()->SetColor();
        }
        int cookie = 0, c = -1;
        while (GetNextEdge(i, &cookie, &c) > 0)
            if (c < i) Line(joints[i].loc, joints[c].loc);  // each bone once
        if (thickBones) PenWidth(1);
    }
}

void Doll::RenderEdgeHilited(int jointa, int jointb) const {
    // A caller's remembered bone may name a joint deleted or renumbered since
    if (!GetIsValidJoint(jointa) || !GetIsValidJoint(jointb)) return;
    fColor::green()->SetColor();
    PenWidth(2);
    Line(GetJoint(jointa)->loc, GetJoint(jointb)->loc);
    PenWidth(1);
}

bool Doll::GetBounds(fRect* r) const {
    bool any = false;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!jointAllocTable[i]) continue;
        if (!any)
            r->Set(joints[i].loc);
        else
            r->GrowToInclude(joints[i].loc);
        any = true;
    }
    return any;
}

fPoint2 Doll::GetCenter() const {
    fPoint2 sum(0, 0);
    if (njoints == 0) return sum;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i]) sum.Add(joints[i].loc);
    return sum * (1.0f / njoints);
}

bool Doll::GetAreAllJointsOutOfRect(fRect r) const {
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i] && r.DoesContain(joints[i].loc)) return true;
    return false;
}

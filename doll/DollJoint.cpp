#include "DollJoint.h"

#include <algorithm>
#include <cmath>

#include "Doll.h"
#include "graphicsUtilsGL.h"

namespace {
// Below this distance (world units) between two joints the pull is computed direction first
const float kTinyDistance = 1e-20f;
}  // namespace

DollJoint::DollJoint() : loc(0, 0), inertia(0, 0) { Clear(); }

void DollJoint::Clear() {
    locked = 0;
    inertia = fPoint2(0, 0);
    rotate = 0;
    rotateRelativeTo = -1;
    nodeName = -1;
}

void DollJoint::AddInertia(fPoint2 e) { inertia.Add(e * 0.3f); }

fPoint2 DollJoint::ImpulseTo(fPoint2 to, float edgeLength) const {
    fPoint2 v = to - loc;
    if (v.GetIsZero()) return fPoint2(0, 0);
    // v's length becomes the length error; a bone longer than the distance gives a negative
    // length, pushing the pair apart. (SetLength with the length measured once.)
    float len = v.GetLength();
    if (len < kTinyDistance) {
        // Scaling v by error / len would overflow: the unit direction first
        fPoint2 unit(v.x / len, v.y / len);
        return unit * ((len - edgeLength) * 0.7f);
    }
    v.Scale((len - edgeLength) / len);
    return v * 0.7f;
}

float DollJoint::PullCap(int myid, const Doll* doll, const int* boneCounts) {
    const float half = kMaxPairPullBones * 0.5f;
    float heaviestNeighbour = 0;
    bool starCentre = true;
    int cookie = 0, c = -1;
    while (doll->GetNextEdge(myid, &cookie, &c) > 0) {
        if (boneCounts[c] > 1) starCentre = false;
        heaviestNeighbour = std::max(heaviestNeighbour, std::min((float)boneCounts[c], half));
    }
    if (starCentre) return (float)kMaxFullPullBones;
    return std::min((float)kMaxFullPullBones, kMaxPairPullBones - heaviestNeighbour);
}

void DollJoint::Update(int myid, Doll* doll) {
    DollBoneLists bones;
    doll->GetBoneLists(&bones);
    Update(myid, doll, bones);
}

void DollJoint::Update(int myid, Doll* doll, const DollBoneLists& bones) {
    if (!inertia.GetIsZero()) {
        loc = Doll::ClampToDocument(loc + inertia);
        inertia.Scale(0.5f);
    }
    if (locked == 0) {
        fPoint2 impulse(0, 0);
        const int n = bones.count[myid];
        const unsigned char* neighbour = bones.neighbour[myid];
        const float* length = bones.length[myid];
        for (int k = 0; k < n; k++)
            impulse.Add(ImpulseTo(doll->joints[neighbour[k]].loc, length[k]));
        // A joint within its cap keeps the pulls exactly as summed
        if (bones.capped[myid]) impulse.Scale(bones.pullScale[myid]);
        AddInertia(impulse);
    }
    if (rotateRelativeTo != -1 && doll->GetIsValidJoint(rotateRelativeTo))
        rotate = loc.Angle(doll->joints[rotateRelativeTo].loc);
}

void DollJoint::Render(bool emphasizeNodes) const {
    (emphasizeNodes ? fColor::gray() : fColor::lightGray())->SetColor();
    bool thick = GetLock();
    if (thick) {
        fColor::black()->SetColor();
        PenWidth(2);
    }
    FrameCircle(loc, GetRadius());
    if (thick) PenWidth(1);
}

void DollJoint::RenderHilited() const {
    fColor::yellow()->SetColor();
    FrameCircle(loc, GetRadius());
}

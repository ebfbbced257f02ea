#include "DollJoint.h"

#include <cmath>

#include "Doll.h"
#include "graphicsUtilsGL.h"

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
    v.Scale((len - edgeLength) / len);
    return v * 0.7f;
}

void DollJoint::Update(int myid, Doll* doll) {
    if (!inertia.GetIsZero()) {
        loc.Add(inertia);
        inertia.Scale(0.5f);
    }
    if (locked == 0) {
        fPoint2 impulse(0, 0);
        int cookie = 0, c = -1;
        float len;
        int nbones = 0;
        while ((len = doll->GetNextEdge(myid, &cookie, &c)) > 0) {
            impulse.Add(ImpulseTo(doll->joints[c].loc, len));
            nbones++;
        }
        if (nbones > kMaxFullPullBones) impulse.Scale((float)kMaxFullPullBones / nbones);
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

// The pose filters without state: torso over hips, balance, feet on the ground.
#include "DollFilter.h"

#include <initializer_list>

#include "Doll.h"
#include "graphicsUtilsGL.h"

namespace {
// Role numbers of the default skeleton's joints
const int kHead = 0, kBreast = 1, kHips = 2, kLeftFoot = 3, kRightFoot = 4, kLeftHand = 5,
          kRightHand = 6;
}  // namespace

void TorsoOverHipsFilter::Run(Doll* d) { (void)d; }

void BalanceFilter::Run(Doll* doll) {
    fRect bounds;
    if (!doll->GetBounds(&bounds)) return;
    fPoint2 c = doll->GetCenter();
    // Positive when the centre of the joints lies right of the middle of their bounds
    float dx = (c.x - bounds.left) - (bounds.right - c.x);

    int correctWith, opposite;
    if (dx > 0) {
        correctWith = GetLeftmostJoint(doll, kLeftHand, kRightHand);
        opposite = GetRightmostJoint(doll, kLeftHand, kRightHand);
    } else {
        correctWith = GetRightmostJoint(doll, kLeftHand, kRightHand);
        opposite = GetLeftmostJoint(doll, kLeftHand, kRightHand);
    }
    for (int role : {correctWith, opposite}) {
        DollJoint* j = doll->GetJointByName(role);
        if (j) doll->JointSeekLoc(j, j->loc + fPoint2(dx, 0));
    }
    AlignSpine(doll, dx / 2);
}

void BalanceFilter::AlignSpine(Doll* doll, float dx) {
    DollJoint* head = doll->GetJointByName(kHead);
    DollJoint* torso = doll->GetJointByName(kBreast);
    DollJoint* hips = doll->GetJointByName(kHips);
    if (!torso || !hips) return;

    fPoint2 target = torso->loc;
    if (torso->loc.x != hips->loc.x) target.x = hips->loc.x + dx;
    doll->JointSeekLoc(torso, target);

    if (head) {
        fPoint2 headTarget = head->loc;
        if (head->loc.x != torso->loc.x) headTarget.x = torso->loc.x;
        doll->JointSeekLoc(head, headTarget);
    }
}

int BalanceFilter::GetLeftmostJoint(Doll* doll, int jnl, int jnr) {
    DollJoint* l = doll->GetJointByName(jnl);
    DollJoint* r = doll->GetJointByName(jnr);
    if (!l) return jnr;
    if (!r) return jnl;
    return l->loc.x < r->loc.x ? jnl : jnr;
}

int BalanceFilter::GetRightmostJoint(Doll* doll, int jnl, int jnr) {
    return GetLeftmostJoint(doll, jnl, jnr) == jnl ? jnr : jnl;
}

void BalanceFilter::Render(Doll* doll) {
    fRect b;
    if (!doll->GetBounds(&b)) return;
    fPoint2 c = doll->GetCenter();
    fColor::SetToBlend(fColor::white(), fColor::blue(), 0.15f);
    b.Frame();
    Line(fPoint2(b.left, c.y), fPoint2(b.right, c.y));
    Line(fPoint2(c.x, b.top), fPoint2(c.x, b.bottom));
}

void FeetOnGroundFilter::Run(Doll* doll) {
    for (int role : {kLeftFoot, kRightFoot}) {
        DollJoint* foot = doll->GetJointByName(role);
        if (foot) doll->JointSeekLoc(foot, fPoint2(foot->loc.x, kGroundY));
    }
}

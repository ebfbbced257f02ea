#include "LookAtFilter.h"

#include <cmath>

#include "Doll.h"
#include "graphicsUtilsGL.h"

namespace {
const int kHead = 0, kBreast = 1;              // role numbers
const float kQuarterTurn = 1.57079632679f;     // radians turned per unit of interest
const float kCircleRadiusPerInterest = 16.0f;  // world units
}  // namespace

void LookAtFilter::Run(Doll* d) {
    DollJoint* head = d->GetJointByName(kHead);
    DollJoint* breast = d->GetJointByName(kBreast);
    if (!head || !breast) return;
    float neckLength = head->loc.Dist(breast->loc);
    float theta = breast->loc.Angle(where);
    // Too close to the breast to look at
    if (breast->loc.Dist(where) < neckLength) return;
    float lookAngle = theta - interest * kQuarterTurn;
    // The neck points along lookAngle (y down: positive angles turn clockwise on screen)
    fPoint2 target = breast->loc + fPoint2(cosf(lookAngle), sinf(lookAngle)) * neckLength;
    d->JointSeekLoc(head, target);
}

void LookAtFilter::Render(Doll* d) {
    (void)d;
    if (!(interest > 0)) return;
    fColor::SetToBlend(fColor::white(), fColor::red(), 0.4f);
    FrameCircle(where, interest * kCircleRadiusPerInterest);
}

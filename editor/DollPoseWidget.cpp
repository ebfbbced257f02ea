#include "DollPoseWidget.h"

#include "Doll.h"
#include "DollPose.h"
#include "VelkoAssert.h"
#include "graphicsUtilsGL.h"

namespace {
const float kScaleMargin = 0.8f;        // the figure fills 80% of the square
const float kFrameGrayWithPose = 0.5f;  // white-to-black fraction
const float kFrameGrayEmpty = 0.25f;
const float kBodyGray = 0.25f;
// The slot number: Helvetica 10 digits, this far in from the top-left corner
const float kNumberInset = 3;
const float kNumberHeight = 8;
}  // namespace

DollPoseWidget::DollPoseWidget()
    : doll(nullptr), pose(nullptr), dragReceiveHilight(false), scale(1), number(0) {}

void DollPoseWidget::Set(Doll* d, DollPose* p, fRect b) {
    doll = d;
    pose = p;
    bounds = b;
}

void DollPoseWidget::DeriveMapping() {
    fRect box = pose->GetBoundingBox();
    float bw = box.GetWidth(), bh = box.GetHeight();
    // A zero extent would give an unbounded ratio on that axis: leave that axis out
    float s = 1;
    if (bw > 0 && bh > 0) {
        float ws = bounds.GetWidth() / bw;
        float hs = bounds.GetHeight() / bh;
        s = ws > hs ? hs : ws;
    } else if (bw > 0) {
        s = bounds.GetWidth() / bw;
    } else if (bh > 0) {
        s = bounds.GetHeight() / bh;
    } else {
        s = 1 / kScaleMargin;  // all joints on one point: they land on the centre
    }
    scale = kScaleMargin * s;
    poseCenter = box.GetCenter();
    translate = bounds.GetCenter() - poseCenter;
}

fPoint2 DollPoseWidget::PoseToWidget(fPoint2 p) const {
    return (p - poseCenter) * scale + poseCenter + translate;
}

void DollPoseWidget::Render() {
    bool canDrawPose = pose && doll && pose->GetNumJoints() > 0;
    if (dragReceiveHilight) {
        fColor::lightGray()->SetColor();
        bounds.Paint();
    }
    fColor::SetToBlend(fColor::white(), fColor::black(),
                       canDrawPose ? kFrameGrayWithPose : kFrameGrayEmpty);
    bounds.Frame();
    if (number > 0) {
        // Small, in the corner the figure (80% of the square, centred) leaves free
        SetType(2);
        fDrawString(bounds.left + kNumberInset, bounds.top + kNumberInset + kNumberHeight, "%d",
                    number);
    }
    if (!canDrawPose) return;

    if (dragReceiveHilight)
        fColor::white()->SetColor();
    else
        fColor::SetToBlend(fColor::white(), fColor::black(), kBodyGray);
    DeriveMapping();

    // Bones come from the doll's skeleton, positions from the pose; each bone once, from
    // its higher-numbered end
    int cookie = 0;
    for (int j = pose->GetNextJoint(&cookie); j != -1; j = pose->GetNextJoint(&cookie)) {
        if (!doll->GetIsValidJoint(j)) continue;  // a freed slot's bone row is stale
        fPoint2 p = PoseToWidget(pose->GetJointLoc(j));
        int edgeCookie = 0, k = -1;
        while (doll->GetNextEdge(j, &edgeCookie, &k) > 0) {
            if (j > k && pose->PeekAtJointAlloc(k)) Line(p, PoseToWidget(pose->GetJointLoc(k)));
        }
    }
}

void DollPoseWidget::RenderHilight(const fColor* c) const {
    c->SetColor();
    PenWidth(2);
    bounds.Frame();
    PenWidth(1);
}

bool DollPoseWidget::WillReceiveDrag(DragObject* o) const {
    DollPoseWidget* w = dynamic_cast<DollPoseWidget*>(o);
    return w && w != this && w->doll == doll;
}

void DollPoseWidget::RenderForDrag(fPoint2 t) {
    SetGraphicsTranslate(t);
    fColor::white()->SetColor();
    bounds.Paint();
    Render();
    UnsetGraphicsTranslate();
}

void DollPoseWidget::ReceiveDrag(DragObject* o) {
    DollPoseWidget* w = dynamic_cast<DollPoseWidget*>(o);
    if (!w) return;
    VELKO_ASSERT_TEXT(pose, "pose");
    // A widget without a pose slot has nothing to copy
    if (w->pose && w->pose != pose) pose->CopyPose(w->pose);
}

// DollPoseWidget: one thumbnail of the editor's pose grid. It draws one of a doll's stored
// pose slots as a small stick figure in its square and takes part in drag and drop both as
// the thing dragged (a ghost of the thumbnail) and as a drop target (a dropped thumbnail's
// pose is copied into this slot).
//
// The editor owns the widgets by value; a widget points at, but owns neither, the doll
// and the pose slot it shows. All geometry is in world units.
#pragma once

#include "Drag.h"
#include "fColor.h"
#include "fPoint2.h"
#include "fRect.h"

class Doll;
class DollPose;

class DollPoseWidget : public DragObject, public DragReceptacle {
public:
    fRect bounds;             // the widget's square on screen
    Doll* doll;               // not owned; whose skeleton (bones) is drawn
    DollPose* pose;           // not owned; the pose slot shown and filled by drops
    bool dragReceiveHilight;  // the widget is the receptacle currently offered
    fPoint2 poseCenter;       // centre of the pose's bounding box (derived per render)
    fPoint2 translate;        // widget centre minus poseCenter (derived per render)
    float scale;              // pose units to widget units (derived per render)
    int number;               // the slot's number as people count (1 to 8), drawn in the
                              // top-left corner; 0 draws none

    DollPoseWidget();

    // Shows pose (a slot of doll) in bounds
    void Set(Doll* doll, DollPose* pose, fRect bounds);
    // Frame, number, and the pose's stick figure when the pose holds joints
    void Render();
    // Frames the square in c at pen width 2
    void RenderHilight(const fColor* c) const;
    // Edges count as inside
    bool Pick(fPoint2 p) const { return bounds.DoesContain(p); }
    // True for another widget of the same doll
    bool WillReceiveDrag(DragObject* o) const;

    // Drag object: the ghost, shifted by t
    void RenderForDrag(fPoint2 t) override;
    // Drag receptacle: a dropped widget's pose is copied into this slot
    void ReceiveDrag(DragObject* o) override;
    using DragReceptacle::ReceiveDrag;
    void SetDragReceiveHilight(bool v) override { dragReceiveHilight = v; }

    // Where a pose location is drawn, after DeriveMapping (public for tests)
    fPoint2 PoseToWidget(fPoint2 p) const;
    // Fits the pose's bounding box into the square at 0.8 of the tighter axis. A box that
    // is flat on one axis is fitted by the other; a box collapsed to a point keeps scale 1,
    // so its joints land on the widget centre. Never produces an infinite scale.
    void DeriveMapping();
};

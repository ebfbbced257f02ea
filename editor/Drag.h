// The drag-and-drop protocol: anything the user can drag is a DragObject, anything that can
// take a drop is a DragReceptacle, and one Drag record (owned by the editor) carries an
// object from pick-up to drop and remembers which receptacle is currently offered.
//
// Drag owns neither the object nor the receptacle; both must outlive the drag. All
// distances are world units.
#pragma once

#include "fPoint2.h"

class DragReceptacle;
class Drag;

// Something that can be picked up. Every operation does nothing unless overridden.
class DragObject {
public:
    virtual void BeginDrag() {}
    // Draw a ghost of the object displaced by translate (world units)
    virtual void RenderForDrag(fPoint2 translate) { (void)translate; }
    // Move the object itself by delta (world units)
    virtual void TranslateForDrag(fPoint2 delta) { (void)delta; }
    // r is null when the object is dropped on nothing
    virtual void NotifyAboutToBeReceivedBy(DragReceptacle* r) { (void)r; }
    virtual void CancelDrag() {}
    // The drop is complete; r may be null
    virtual void EndDrag(DragReceptacle* r) { (void)r; }

    virtual ~DragObject() = default;
};

// Something that can take a drop. Every operation does nothing unless overridden.
class DragReceptacle {
public:
    // Show or hide the sign that this receptacle will take the drop
    virtual void SetDragReceiveHilight(bool v) { (void)v; }
    virtual void ReceiveDrag(DragObject* o) { (void)o; }
    // Called right after ReceiveDrag(o), with the drag's details
    virtual void ReceiveDrag(DragObject* o, Drag* d) {
        (void)o;
        (void)d;
    }

    virtual ~DragReceptacle() = default;
};

class Drag {
public:
    enum dragStyle : unsigned char {
        live = 0,                 // the object itself moves during the drag
        ghostDontMoveObject = 1,  // a ghost follows; the object never moves
        ghost = 2                 // a ghost follows; dropped on nothing the object moves
    };

    DragObject* object;            // not owned; null when no drag is in progress
    fPoint2 translate;             // movement accumulated for the ghost styles
    fPoint2 totalDistanceDragged;  // all movement since Begin
    DragReceptacle* receptacle;    // not owned; the receptacle currently offered, or null
    dragStyle style;

    Drag();

    // A null object leaves no drag in progress
    void Begin(DragObject* object, Drag::dragStyle style);
    // delta in world units; nothing happens without a drag in progress
    void TranslateDragObject(fPoint2 delta);
    // Offers the drop to r (null: to nothing), moving the highlight to it
    void ChooseReceptacle(DragReceptacle* r);
    // The drop: delivers the object to the offered receptacle, or to nothing
    void End();
    // Draws the ghost of the ghost styles
    void Render() const;

    bool GetIsInDrag() const { return object != nullptr; }
    DragObject* GetObject() const { return object; }
};

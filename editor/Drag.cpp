#include "Drag.h"

Drag::Drag() : object(nullptr), receptacle(nullptr), style(live) {}

void Drag::Begin(DragObject* o, Drag::dragStyle s) {
    object = o;
    style = s;
    if (object) object->BeginDrag();
    receptacle = nullptr;
    translate = fPoint2(0, 0);
    totalDistanceDragged = fPoint2(0, 0);
}

void Drag::TranslateDragObject(fPoint2 delta) {
    if (!object) return;
    totalDistanceDragged.Add(delta);
    if (style == live)
        object->TranslateForDrag(delta);
    else
        translate.Add(delta);
}

void Drag::ChooseReceptacle(DragReceptacle* r) {
    if (receptacle && receptacle != r) receptacle->SetDragReceiveHilight(false);
    receptacle = r;
    // Re-asserted on every offer, even to the same receptacle
    if (r) r->SetDragReceiveHilight(true);
}

void Drag::End() {
    if (!object) return;
    object->NotifyAboutToBeReceivedBy(receptacle);
    if (receptacle) {
        receptacle->ReceiveDrag(object);
        receptacle->ReceiveDrag(object, this);
    } else if (style != ghostDontMoveObject) {
        // A live object has moved already and its translate is still (0, 0)
        object->TranslateForDrag(translate);
    }
    object->EndDrag(receptacle);
    ChooseReceptacle(nullptr);
    object = nullptr;
}

void Drag::Render() const {
    if (object && style != live) object->RenderForDrag(translate);
}

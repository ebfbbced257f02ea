// DollIcon: a doll's emotion icon, a named vector icon from the global icon table drawn into
// a rectangle beside the doll. It breathes, pops when changed and can be dragged. The doll
// owns it by value; the icon table owns the icon art. Times are program seconds.
#pragma once

#include "Drag.h"
#include "fPoint2.h"
#include "fRect.h"

class DollIcon : public DragObject {
public:
    fRect bounds;           // rectangle the icon is drawn into, world coordinates
    int icon;               // icon id in the global icon table, -1 for none
    float iconChangedWhen;  // GetSeconds() of the last change of icon

    DollIcon();

    // Restarts the pop only when i differs from the current icon
    void SetIcon(int i);
    int GetIcon() const { return icon; }
    void SetBounds(fRect r) { bounds = r; }
    fRect GetBounds() const { return bounds; }

    // Edges count as inside
    bool Pick(fPoint2 p) const { return bounds.DoesContain(p); }
    // The rectangle the icon is drawn into now: bounds grown by breathing and scaled about
    // its centre by the pop of a recent change
    fRect GetAnimatedBounds() const;
    // Draws the icon animated; renderFrame adds the unanimated bounds in light gray
    void Render(bool renderFrame);
    void Frame();

    // Ghost of the icon in bounds shifted by t, without animation
    void RenderForDrag(fPoint2 t) override;
    // A drag moves the icon for good
    void TranslateForDrag(fPoint2 d) override { bounds.Shift(d); }
};

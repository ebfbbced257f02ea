// MenuButton: the small button under the mode panel that opens the program's menu, so the
// menu can be found without knowing about the right button. It is drawn in the panel's
// style and looks chosen while the menu is open. The editor owns it by value and asks the
// shell to open its menu when it is pressed. World units.
#pragma once

#include "fPoint2.h"
#include "fRect.h"

class MenuButton {
public:
    fRect bounds;

    explicit MenuButton(fRect b) : bounds(b) {}
    // Edges included
    bool Pick(fPoint2 p) const { return bounds.DoesContain(p); }
    // Where the menu opens: just below the button's left end
    fPoint2 GetMenuCorner() const { return fPoint2(bounds.left, bounds.bottom + 1); }
    // open: the menu is showing, and the button looks chosen
    void Render(bool open) const;
};

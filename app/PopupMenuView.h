// PopupMenuView: draws an open PopupMenu with the program's drawing utilities, over whatever
// the frame holds: each level a white box with a gray frame and a soft shadow, the
// highlighted row filled gray with white text (the mode panel's chosen look), check marks
// in the left gutter, shortcuts right-aligned, a triangle on a submenu's row, and disabled
// items in light gray. World units, inside a frame.
#pragma once

#include "PopupMenu.h"

// Helvetica 12, the type every row's text is drawn and measured in
const int kPopupMenuType = 1;

void DrawPopupMenu(const PopupMenu& menu);

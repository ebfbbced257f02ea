// VelkoIcons: the program's 22 built-in icons as constant point streams (on a 448 grid,
// divided into icon space), their registration in the icon table, and the icon menu from
// which the user picks an emotion icon. The streams are constant data owned by the module.
#pragma once

#include "fPoint2.h"
#include "fRect.h"

const int kNumVelkoIcons = 22;

// One built-in icon; id is filled by LoadStaticIcons (-1 when registration failed)
struct VelkoIconEntry {
    const float* data;
    const char* name;
    int id;
};

extern VelkoIconEntry icons[kNumVelkoIcons];

extern const float exclamation_mark[];
extern const float question_mark[];
extern const float ellipses[];
extern const float droplet[];
extern const float flies[];
extern const float broken_heart[];
extern const float heart[];
extern const float skull[];
extern const float dark_cloud[];
extern const float speech_balloon[];
extern const float speechless_balloon[];
extern const float thought_balloon[];
extern const float sigh[];
extern const float gasp[];
extern const float notes[];
extern const float turn_left[];
extern const float turn_right[];
extern const float zzz[];
extern const float bubbles[];
extern const float gears[];
extern const float lightbulb[];
extern const float none[];

// Registers the 22 icons in table order; into an empty table they get ids 0 .. 21
void LoadStaticIcons();

// A window with room on every side, for a menu that may grow right and down without limit
const fRect kIconMenuAnywhere(-1e30f, -1e30f, 1e30f, 1e30f);

// The icon menu is a grid four cells wide and six high, cells the size of r and gap apart
// (world units). r, the current icon's rectangle, is one of its cells and is not drawn;
// the 22 icons take the others in table order, row by row, and the cell left over (the
// last, or the one before r when r takes the last) stays empty.
// The grid lies right of and below r where the window holds it there, and is moved left
// and up by whole cells as far as needed to fit, so with r inside a window large enough for
// the grid every cell is inside too. A grid the window cannot hold that way is moved into
// the window (to its left or top edge when it is larger). cells[i] receives the cell of
// icons[i]; drawing and picking both lay the menu out here.
void LayoutIconMenu(fRect r, float gap, fRect window, fRect cells[kNumVelkoIcons]);
void RenderIconMenu(fRect r, float gap, fRect window = kIconMenuAnywhere);
// The id of the menu cell containing p, or current when p is on no cell (as on r)
int PickIconMenu(fRect r, float gap, int current, fPoint2 p, fRect window = kIconMenuAnywhere);

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
// Draws the menu cells to the right of and below r (the current icon's cell, not drawn);
// gap separates cells, in world units
void RenderIconMenu(fRect r, float gap);
// The id of the menu cell containing p, or current when p is on r or on no cell
int PickIconMenu(fRect r, float gap, int current, fPoint2 p);

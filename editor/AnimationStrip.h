// AnimationStrip: the row of cells along the bottom of the editor window, one per step of
// the doll's sequence, left to right: its geometry, what a point falls on, and its drawing.
// A cell shows its pose slot's number (1 to 8) with a small curve of its easing, then its
// move and its hold in seconds. The strip holds no state of its own; the animation editor
// tells it what to highlight.
//
// World units: the strip lies between the icon's corner and the thumbnails (x 70 to 588,
// y 414 to 456). Cells are 58 wide with gaps of 4 and grow narrower when more steps must fit;
// narrow cells drop the words "move" and "hold", the narrowest show only the number.
#pragma once

#include <string>
#include <vector>

#include "DollSequence.h"
#include "fPoint2.h"
#include "fRect.h"

class Doll;

namespace AnimationStrip {

const float kLeft = 70, kTop = 414, kRight = 588, kBottom = 456;
const float kCellWidth = 58, kGap = 4;

inline fRect Bounds() { return fRect(kLeft, kTop, kRight, kBottom); }

// What a press on a cell is on: the number (and the cell's free space), the easing curve,
// the move or the hold
enum Part { nowhere = 0, body, ease, move, hold };

struct Layout {
    int n = 0;            // cells
    float cellWidth = 0;  // world units
};
Layout LayoutFor(int steps);
fRect CellRect(const Layout& l, int i);
// The cell under p (its part into *part), or -1 with *part nowhere
int CellAt(const Layout& l, fPoint2 p, Part* part);
// Where a step dropped at p would go: 0 .. n, by the gap nearest p
int InsertionAt(const Layout& l, fPoint2 p);
// x of the gap before cell index (the strip's left edge for 0)
float InsertionX(const Layout& l, int index);

// A time for a cell: "1.0s", "0.25s", "0.505s"
std::string TimeText(int ms);

// What to draw
struct View {
    const Doll* doll = nullptr;
    const std::vector<SequenceStep>* steps = nullptr;
    int selected = -1;  // cell framed as selected
    int playing = -1;   // cell being played, with its playhead at playingFraction
    float playingFraction = 0;
    int insertion = -1;  // a drop here would insert at this index (marker), or -1
    int lifted = -1;     // cell being dragged away (drawn hollow), or -1
};
void Render(const View& v);
// One cell, also for the one being dragged (drawn at the pointer)
void RenderCell(fRect r, const SequenceStep& s, bool filled, bool selected, bool playing,
                float playingFraction);

}  // namespace AnimationStrip

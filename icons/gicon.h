// The icon kinds held by the icon table. Icons are drawn in icon space, the unit square
// (x right, y down, like world coordinates), through a Transform2d into world units.
//
// giconSuper: the abstract icon. giconStatic: an icon drawn straight from a constant point
// stream it does not own. gicon: an icon read from a .gicon file, owning its strokes
// (giconLine) in an intrusive list. A point stream is (x, y) float pairs where (-1, -1)
// starts a stroke and (-2, -2) ends the icon.
#pragma once

#include <cstdio>

#include "Transform2d.h"
#include "gesture.h"

class giconSuper {
public:
    virtual ~giconSuper() {}
    // Draws the icon with icon-space points mapped through t (non-null)
    virtual void Render(Transform2d* t) = 0;
};

class giconStatic : public giconSuper {
public:
    const float* data;  // the point stream; not owned, lives as long as the program

    explicit giconStatic(const float* d) : data(d) {}
    // Black polylines, pen width 2; draws nothing for a null stream
    void Render(Transform2d* t) override;
};

class gicon;

// One stroke of a file icon; points in icon space. Picks on its recorded points.
class giconLine : public gesture {
public:
    Transform2d* transform;  // set only while Render runs

    // Inserts itself into i's lines (i non-null); i owns it from then on
    explicit giconLine(gicon* i);
    void Render(Transform2d* m);
    // The default filter step, then the render transform
    void FilterPoints(fPoint2* pts, int npts) override;
};

class gicon : public giconSuper {
public:
    gesture* lines;  // head of the owned giconLine list; the reverse of file order

    gicon() : lines(nullptr) {}
    ~gicon() override;

    gicon(const gicon&) = delete;
    gicon& operator=(const gicon&) = delete;

    // A new line of thickness 2 at the head of lines; null when out of memory
    giconLine* NewLine();
    // Links l (non-null, in no list) at the head of lines
    void InsertLine(giconLine* l);
    void Render(Transform2d* t) override;
    // Reads the .gicon text: "x, y," pairs; stops at the end, at (-2, -2) or at the first
    // text that is not a pair of finite numbers, keeping what was read. f may be null.
    void ReadFromFile(FILE* f);
};

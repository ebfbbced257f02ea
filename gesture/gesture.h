// gesture: one hand-drawn stroke, and the filter objects that can reshape it while drawn.
//
// A stroke records points (world or icon units, depending on the owner) into a growable
// heap buffer it owns. Every draw copies them into a second owned buffer, the draw buffer,
// and runs the filter step on that copy, so drawing never changes the recorded points.
// Picking uses the draw buffer, so a stroke is hit where it was last seen on screen.
// Strokes are nodes of intrusive doubly linked lists: `prev` holds the address of the
// link that points at the stroke; a stroke unlinks itself when destroyed. A stroke owns
// the filters attached to it and deletes them with itself.
#pragma once

#include "fColor.h"
#include "fPoint2.h"
#include "fRect.h"

class gesture;

// A per-stroke filter: reshapes the draw buffer in place. Owned by the stroke it is
// attached to; deleting an attached filter detaches it first.
class gestureFilter {
public:
    gesture* myGesture;    // the stroke it is attached to, or null
    gestureFilter* next;   // next filter of the stroke's list
    gestureFilter** prev;  // address of the link pointing here; null when unattached

    gestureFilter() : myGesture(nullptr), next(nullptr), prev(nullptr) {}
    virtual ~gestureFilter();
    // Transforms npts points in place
    virtual void Filter(fPoint2* pts, int npts) = 0;

    gestureFilter(const gestureFilter&) = delete;
    gestureFilter& operator=(const gestureFilter&) = delete;
};

// Process-wide last filter step, run on every stroke using the default filter step; null
// by default and set by nothing in the program.
typedef void (*gesturePtFilterProc)(fPoint2* pts, int npts);
extern gesturePtFilterProc finalPtFilter;

class gesture {
public:
    bool dontAnalyzeFilters;  // pick on recorded points instead of the draw buffer
    int npts;                 // recorded points
    int nptsTotal;            // capacity of pts, in points
    int drawBufSize;          // points in drawBuf
    fPoint2* pts;             // recorded points (owned, realloc-grown)
    fPoint2* drawBuf;         // filtered copy used for drawing and picking (owned)
    fPoint2 translate;        // offset added by the default filter step
    int id;                   // free for owners; -1 by default
    int flags;                // free for owners; 0 by default
    gestureFilter* filters;   // head of the attached filters, run head first
    float createdAt;          // GetSeconds() at construction
    fRect bounds;             // zero; not maintained by the stroke
    fColor color;             // stroke colour
    fColor drawColor;         // colour of the draw in progress, copied from color
    int thickness;            // pen width in pixels
    bool drawFilled;          // filled polygon instead of polyline
    bool closed;              // polyline repeats its first point at the end
    gesture* next;            // next stroke in the list
    gesture** prev;           // address of the link pointing here; null when in no list

    gesture();
    // Frees both buffers, deletes the filters and unlinks the stroke from its list
    virtual ~gesture();

    gesture(const gesture&) = delete;
    gesture& operator=(const gesture&) = delete;

    // Index of the pick-buffer point nearest p, or -1 when there is no buffer; *dist (if
    // given) gets that point's distance, +infinity for an empty buffer, untouched for none
    virtual int PickPoint2(fPoint2 p, float* dist);
    // Filters the recorded points into the draw buffer and draws them; nothing when empty
    virtual void Draw();
    // The filter step, run in place on the draw buffer: translate, filters, finalPtFilter
    virtual void FilterPoints(fPoint2* pts, int npts);

    // Links at the front of the list *head; the stroke must be in no list ("!prev")
    void Insert(gesture** head);
    // Unlinks from its list; the stroke must be in one
    void Remove();
    gesture* GetNext() const { return next; }

    int GetNPoints() const { return npts; }
    // i in 0 .. npts-1, unchecked
    fPoint2* GetPoint(int i) const { return &pts[i]; }
    // Appends tp; false (stroke unchanged) only when the buffer cannot grow
    bool AddPoint(fPoint2 tp);
    // Appends p when the stroke is empty or p is further than minPtDistance from the last point
    void TrackGesture(fPoint2 p, float minPtDistance);

    // Refreshes the draw buffer from the recorded points and filters it; false when the
    // buffer cannot be allocated
    bool RunFilter();

    void SetColor(fColor r) { color = r; }
    void SetThickness(int t) { thickness = t; }
    void SetDrawFilled(bool v) { drawFilled = v; }
    bool GetDrawFilled() const { return drawFilled; }
    void SetDontAnalyzeFilters(bool v) { dontAnalyzeFilters = v; }

    // Draws once in another colour and pen width (pixels), keeping the stroke's own
    void DrawWith(fColor col, int lineThickness);
    // Draws once as a filled polygon in colour c, keeping the stroke's own style
    void DrawFilled(fColor c);

    // Stroke of the list from start whose nearest point is nearest p, if at most
    // maxdistance away (world units); *vertex (if given) gets that point's index
    static gesture* PickPointFromList(gesture* start, fPoint2 p, float maxdistance, int* vertex);
    // Distance from p to the stroke as drawn: to the nearest of the pick buffer's segments
    // (the closing one too when the stroke is closed or filled), or to its one point;
    // +infinity when there is nothing to pick
    float DistanceToSegments(fPoint2 p) const;
    // Stroke of the list from start whose drawn segments pass nearest p, if at most
    // maxdistance away (world units); among equally near strokes the one nearer the head
    static gesture* PickStrokeFromList(gesture* start, fPoint2 p, float maxdistance);

    // Attaches f (in no other stroke) at the end of the list; the stroke takes ownership
    void AddFilter(gestureFilter* f);
    // Unlinks f from its list without deleting it
    void RemoveFilter(gestureFilter* f);
    // Unlinks and deletes every attached filter
    void DropFilters();
};

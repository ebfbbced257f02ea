#include "gesture.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "VelkoAssert.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"
#include "utils.h"

gesturePtFilterProc finalPtFilter = nullptr;

gestureFilter::~gestureFilter() {
    // Deleted while still attached: leave the stroke's filter list intact
    if (prev) {
        *prev = next;
        if (next) next->prev = prev;
    }
}

gesture::gesture()
    : dontAnalyzeFilters(false),
      npts(0),
      nptsTotal(0),
      drawBufSize(0),
      pts(nullptr),
      drawBuf(nullptr),
      translate(0, 0),
      id(-1),
      flags(0),
      filters(nullptr),
      createdAt(0),
      bounds(),
      color(0, 0, 0),
      drawColor(0, 0, 0),
      thickness(1),
      drawFilled(false),
      closed(false),
      next(nullptr),
      prev(nullptr) {
    createdAt = GetSeconds();
}

gesture::~gesture() {
    free(pts);
    free(drawBuf);
    pts = nullptr;
    drawBuf = nullptr;
    DropFilters();
    if (prev) Remove();
}

void gesture::Insert(gesture** head) {
    VELKO_ASSERT(!prev);
    next = *head;
    *head = this;
    prev = head;
    if (next) next->prev = &next;
}

void gesture::Remove() {
    VELKO_ASSERT_TEXT(prev != nullptr, "0 &&\"gesture not in list; can't remove it\"");
    *prev = next;
    if (next) next->prev = prev;
    next = nullptr;
    prev = nullptr;
}

bool gesture::AddPoint(fPoint2 tp) {
    VELKO_ASSERT(npts <= nptsTotal);
    if (npts == nptsTotal) {
        // Doubling past INT_MAX points cannot be counted: treat it as out of memory
        if (nptsTotal > INT_MAX / 2) {
            FlagLowMem();
            return false;
        }
        int newTotal = nptsTotal == 0 ? 10 : nptsTotal * 2;
        void* grown = realloc(pts, (size_t)newTotal * sizeof(fPoint2));
        if (!grown) {
            FlagLowMem();
            return false;
        }
        pts = (fPoint2*)grown;
        nptsTotal = newTotal;
    }
    if (npts < nptsTotal) pts[npts++] = tp;
    return true;
}

void gesture::TrackGesture(fPoint2 p, float minPtDistance) {
    if (npts == 0) {
        AddPoint(p);
        return;
    }
    const fPoint2& last = pts[npts - 1];
    if (hypotf(p.x - last.x, p.y - last.y) > minPtDistance) AddPoint(p);
}

bool gesture::RunFilter() {
    if (drawBuf && drawBufSize != npts) {
        free(drawBuf);
        drawBuf = nullptr;
    }
    if (!drawBuf) {
        // At least one slot, so an empty stroke does not read as an allocation failure
        drawBuf = (fPoint2*)malloc((size_t)(npts > 0 ? npts : 1) * sizeof(fPoint2));
        if (!drawBuf) return false;
    }
    drawBufSize = npts;
    if (npts > 0) memcpy(drawBuf, pts, (size_t)npts * sizeof(fPoint2));
    FilterPoints(drawBuf, drawBufSize);
    return true;
}

void gesture::FilterPoints(fPoint2* p, int n) {
    fPoint2::OffsetArray(p, n, translate.x, translate.y);
    for (gestureFilter* f = filters; f; f = f->next) f->Filter(p, n);
    if (finalPtFilter) finalPtFilter(p, n);
}

void gesture::Draw() {
    if (npts == 0) return;
    drawColor = color;
    if (!RunFilter()) {
        FlagLowMem();
        return;
    }
    drawColor.SetColor();
    PenWidth(thickness);
    if (drawFilled) {
        BeginPolygon();
        Vertices(drawBuf, drawBufSize);
        EndPolygon();
    } else {
        BeginLineStrip();
        Vertices(drawBuf, drawBufSize);
        if (closed) Vertex(drawBuf[0]);
        EndLineStrip();
    }
    PenWidth(1);
    fColor::DefaultColor();
}

void gesture::DrawWith(fColor col, int lineThickness) {
    int oldThickness = thickness;
    fColor oldColor = color;
    color = col;
    thickness = lineThickness;
    Draw();
    color = oldColor;
    thickness = oldThickness;
}

void gesture::DrawFilled(fColor c) {
    bool oldFilled = drawFilled;
    fColor oldColor = color;
    color = c;
    drawFilled = true;
    Draw();
    color = oldColor;
    drawFilled = oldFilled;
}

int gesture::PickPoint2(fPoint2 p, float* dist) {
    const fPoint2* buf;
    int n;
    if (drawBuf && !dontAnalyzeFilters) {
        // Points added since the last draw are not on screen yet
        buf = drawBuf;
        n = drawBufSize;
    } else {
        buf = pts;
        n = npts;
    }
    if (!buf) return -1;
    int best = -1;
    float bestDist = INFINITY;
    for (int i = 0; i < n; i++) {
        float d = hypotf(buf[i].x - p.x, buf[i].y - p.y);
        if (best == -1 || d < bestDist) {
            best = i;
            bestDist = d;
        }
    }
    if (dist) *dist = bestDist;
    return best;
}

gesture* gesture::PickPointFromList(gesture* start, fPoint2 p, float maxdistance, int* vertex) {
    gesture* closest = nullptr;
    int closestVertex = -1;
    float mind = 0;
    for (gesture* g = start; g; g = g->next) {
        float d;
        int v = g->PickPoint2(p, &d);
        if (v == -1) continue;
        if (closest ? d < mind : d <= maxdistance) {
            closest = g;
            closestVertex = v;
            mind = d;
        }
    }
    if (closest && vertex) *vertex = closestVertex;
    return closest;
}

float gesture::DistanceToSegments(fPoint2 p) const {
    // The same buffer PickPoint2 reads
    const fPoint2* buf = drawBuf && !dontAnalyzeFilters ? drawBuf : pts;
    int n = drawBuf && !dontAnalyzeFilters ? drawBufSize : npts;
    if (!buf || n == 0) return INFINITY;
    // Squared distances until the end: one square root per stroke, not per segment
    auto segment = [&p](fPoint2 a, fPoint2 b) {
        float dx = b.x - a.x, dy = b.y - a.y;
        float len2 = dx * dx + dy * dy;
        float t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
        if (t < 0) t = 0;
        if (t > 1) t = 1;
        float ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
        return ex * ex + ey * ey;
    };
    float best = segment(buf[0], buf[0]);
    for (int i = 1; i < n; i++) {
        float d = segment(buf[i - 1], buf[i]);
        if (d < best) best = d;
    }
    if ((closed || drawFilled) && n > 2) {
        float d = segment(buf[n - 1], buf[0]);
        if (d < best) best = d;
    }
    return sqrtf(best);
}

gesture* gesture::PickStrokeFromList(gesture* start, fPoint2 p, float maxdistance) {
    gesture* closest = nullptr;
    float mind = 0;
    for (gesture* g = start; g; g = g->next) {
        float d = g->DistanceToSegments(p);
        if (closest ? d < mind : d <= maxdistance) {
            closest = g;
            mind = d;
        }
    }
    return closest;
}

void gesture::AddFilter(gestureFilter* f) {
    VELKO_ASSERT(f);
    VELKO_ASSERT(!f->prev);
    gestureFilter** link = &filters;
    while (*link) link = &(*link)->next;
    *link = f;
    f->prev = link;
    f->next = nullptr;
    f->myGesture = this;
}

void gesture::RemoveFilter(gestureFilter* f) {
    VELKO_ASSERT(f);
    if (f->prev) {
        *f->prev = f->next;
        if (f->next) f->next->prev = f->prev;
    }
    f->next = nullptr;
    f->prev = nullptr;
    f->myGesture = nullptr;
}

void gesture::DropFilters() {
    while (filters) {
        gestureFilter* f = filters;
        RemoveFilter(f);
        delete f;
    }
}

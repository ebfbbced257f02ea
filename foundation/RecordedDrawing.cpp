#include "RecordedDrawing.h"

#include <algorithm>

void RecordedDrawing::Include(const fPoint2* pts, int n, float reach) {
    for (int i = 0; i < n; i++) {
        fRect r(pts[i].x - reach, pts[i].y - reach, pts[i].x + reach, pts[i].y + reach);
        if (empty) {
            bounds = r;
            empty = false;
        } else {
            bounds.left = std::min(bounds.left, r.left);
            bounds.top = std::min(bounds.top, r.top);
            bounds.right = std::max(bounds.right, r.right);
            bounds.bottom = std::max(bounds.bottom, r.bottom);
        }
    }
}

void RecordedDrawing::Stroke(const fPoint2* pts, int n, bool closed, fColor colour, float width) {
    if (n <= 0) return;
    Include(pts, n, width / 2);
    if (!keepPaths) return;
    Path p;
    p.points.assign(pts, pts + n);
    p.colour = colour;
    p.width = width;
    p.closed = closed;
    paths.push_back(std::move(p));
}

void RecordedDrawing::Fill(const fPoint2* pts, int n, fColor colour) {
    if (n <= 0) return;
    Include(pts, n, 0);
    if (!keepPaths) return;
    Path p;
    p.points.assign(pts, pts + n);
    p.colour = colour;
    p.filled = true;
    paths.push_back(std::move(p));
}

bool RecordedDrawing::GetBounds(fRect* r) const {
    if (empty) return false;
    *r = bounds;
    return true;
}

void RecordedDrawing::Clear() {
    paths.clear();
    empty = true;
}

#include "AnimationStrip.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Doll.h"
#include "graphicsUtilsGL.h"

namespace AnimationStrip {

namespace {
// Rows of a cell, from its top (world units): the number and easing, the move, the hold
const float kNumberRow = 15;
const float kMoveRow = 28;
const float kEaseWidth = 20;
// Narrower cells show less
const float kWordsWidth = 50;
const float kTimesWidth = 28;
// The drop marker's width
const float kMarkerWidth = 3;
}  // namespace

Layout LayoutFor(int steps) {
    Layout l;
    l.n = steps;
    if (steps <= 0) return l;
    const float fit = (kRight - kLeft - kGap * (steps - 1)) / steps;
    l.cellWidth = std::min(kCellWidth, std::max(fit, 2.0f));
    return l;
}

fRect CellRect(const Layout& l, int i) {
    const float left = kLeft + i * (l.cellWidth + kGap);
    return fRect(left, kTop, left + l.cellWidth, kBottom);
}

int CellAt(const Layout& l, fPoint2 p, Part* part) {
    *part = nowhere;
    if (l.n <= 0 || p.y < kTop || p.y > kBottom || p.x < kLeft) return -1;
    const int i = (int)((p.x - kLeft) / (l.cellWidth + kGap));
    if (i >= l.n) return -1;
    const fRect r = CellRect(l, i);
    if (p.x > r.right) return -1;  // the gap after it
    if (l.cellWidth < kTimesWidth)
        *part = body;
    else if (p.y < kTop + kNumberRow)
        *part = p.x >= r.right - kEaseWidth ? ease : body;
    else
        *part = p.y < kTop + kMoveRow ? move : hold;
    return i;
}

int InsertionAt(const Layout& l, fPoint2 p) {
    if (l.n <= 0) return 0;
    const int i = (int)std::floor((p.x - kLeft + kGap / 2) / (l.cellWidth + kGap) + 0.5f);
    return std::min(std::max(i, 0), l.n);
}

float InsertionX(const Layout& l, int index) {
    return index <= 0 ? kLeft : kLeft + index * (l.cellWidth + kGap) - kGap / 2;
}

std::string TimeText(int ms) {
    char text[32];
    if (ms % 100 == 0)
        snprintf(text, sizeof text, "%.1fs", ms / 1000.0);
    else if (ms % 10 == 0)
        snprintf(text, sizeof text, "%.2fs", ms / 1000.0);
    else
        snprintf(text, sizeof text, "%.3fs", ms / 1000.0);
    return text;
}

void RenderCell(fRect r, const SequenceStep& s, bool filled, bool selected, bool playing,
                float playingFraction) {
    const fColor paper = selected  ? fColor(1, 1, 0.8f)
                         : playing ? fColor(0.86f, 0.92f, 1)
                                   : fColor(0.95f, 0.95f, 0.95f);
    paper.SetColor();
    r.Paint();
    // A step whose pose is empty does not play: its writing is faint
    const fColor ink = filled ? *fColor::gray() : *fColor::lightGray();
    if (playing) {
        fColor::red()->SetColor();
        PenWidth(2);
        const float x = r.left + 1 + (r.GetWidth() - 2) * playingFraction;
        Line(fPoint2(x, r.top + 1), fPoint2(x, r.bottom - 1));
        PenWidth(1);
    }
    if (selected) {
        fColor(0.85f, 0.7f, 0).SetColor();
        PenWidth(2);
        fRect f = r;
        f.Inset(1, 1);
        f.Frame();
        PenWidth(1);
    } else {
        fColor::lightGray()->SetColor();
        r.Frame();
    }

    ink.SetColor();
    SetType(1);  // Helvetica 12 for the number
    fDrawString(r.left + 4, r.top + kNumberRow - 2, "%d", s.pose + 1);
    const float w = r.GetWidth();
    if (w < kTimesWidth) return;
    // The easing as its curve: progress up, time to the right
    BeginLineStrip();
    for (int k = 0; k <= 8; k++) {
        const double u = k / 8.0;
        const float y = (float)DollSequence::Eased(s.ease, u);
        Vertex(fPoint2(r.right - kEaseWidth + 3 + (kEaseWidth - 7) * (float)u,
                       r.top + kNumberRow - 3 - 9 * y));
    }
    EndLineStrip();
    SetType(2);  // Helvetica 10 for the times
    const bool words = w >= kWordsWidth;
    fDrawString(r.left + 4, r.top + kMoveRow - 2, "%s%s", words ? "move " : "",
                TimeText(s.moveMs).c_str());
    fDrawString(r.left + 4, r.bottom - 4, "%s%s", words ? "hold " : "", TimeText(s.holdMs).c_str());
    fColor::DefaultColor();
}

void Render(const View& v) {
    const std::vector<SequenceStep>& steps = *v.steps;
    const Layout l = LayoutFor((int)steps.size());
    if (steps.empty()) {
        fColor::lightGray()->SetColor();
        SetType(2);
        fDrawString(kLeft + 6, kTop + 25, "Drag thumbnails here to animate");
    }
    for (int i = 0; i < l.n; i++) {
        const fRect r = CellRect(l, i);
        if (i == v.lifted) {
            fColor::lightGray()->SetColor();
            r.Frame();
            continue;
        }
        const SequenceStep& s = steps[(size_t)i];
        RenderCell(r, s, v.doll->GetIsPoseFilled(s.pose), i == v.selected, i == v.playing,
                   v.playingFraction);
    }
    if (v.insertion >= 0) {
        // A bar where the step will go
        fColor(0.2f, 0.45f, 1).SetColor();
        const float x = InsertionX(l, v.insertion);
        fRect bar(x - kMarkerWidth / 2, kTop - 2, x + kMarkerWidth / 2, kBottom + 2);
        bar.Paint();
    }
    fColor::DefaultColor();
}

}  // namespace AnimationStrip

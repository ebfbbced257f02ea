#include "gicon.h"

#include <cmath>
#include <new>

#include "VelkoAssert.h"
#include "graphicsUtilsGL.h"

namespace {

// Stream markers; they match only when both coordinates are equal to them
bool IsMarker(float x, float y, float m) { return x == m && y == m; }

}  // namespace

void giconStatic::Render(Transform2d* t) {
    if (!data) return;
    fColor::black()->SetColor();
    PenWidth(2);
    bool inStrip = false;
    for (const float* d = data;; d += 2) {
        float x = d[0], y = d[1];
        if (IsMarker(x, y, -1)) {
            if (inStrip) EndLineStrip();
            inStrip = false;
        } else if (IsMarker(x, y, -2)) {
            if (inStrip) EndLineStrip();
            break;
        } else {
            if (!inStrip) BeginLineStrip();
            inStrip = true;
            Vertex(t->Map(fPoint2(x, y)));
        }
    }
    PenWidth(1);
}

giconLine::giconLine(gicon* i) : transform(nullptr) {
    VELKO_ASSERT(i);
    i->InsertLine(this);
    dontAnalyzeFilters = true;
}

void giconLine::Render(Transform2d* m) {
    transform = m;
    Draw();
    transform = nullptr;
}

void giconLine::FilterPoints(fPoint2* p, int n) {
    gesture::FilterPoints(p, n);
    if (transform) transform->Map(p, n);
}

gicon::~gicon() {
    // Each line unlinks itself from lines as it is deleted
    while (lines) delete lines;
}

giconLine* gicon::NewLine() {
    giconLine* l = new (std::nothrow) giconLine(this);
    if (!l) return nullptr;
    l->SetThickness(2);
    return l;
}

void gicon::InsertLine(giconLine* l) {
    VELKO_ASSERT(l);
    l->Insert(&lines);
}

void gicon::Render(Transform2d* t) {
    for (gesture* g = lines; g; g = g->GetNext()) static_cast<giconLine*>(g)->Render(t);
}

void gicon::ReadFromFile(FILE* f) {
    if (!f) return;
    giconLine* current = nullptr;
    float x, y;
    while (fscanf(f, "%f, %f,", &x, &y) == 2) {
        // nan, inf and out-of-range numbers (1e39) end the icon like any other bad text
        if (!std::isfinite(x) || !std::isfinite(y)) break;
        if (IsMarker(x, y, -1)) {
            current = NewLine();
        } else if (IsMarker(x, y, -2)) {
            break;
        } else if (current) {
            // A line that cannot grow keeps the points it has
            current->AddPoint(fPoint2(x, y));
        }
    }
}

#include "VelkoIcons.h"

#include <cmath>

#include "GIconTable.h"
#include "graphicsUtilsGL.h"

VelkoIconEntry icons[kNumVelkoIcons] = {
    {exclamation_mark, "exclamation-mark", 0},
    {question_mark, "question-mark", 0},
    {ellipses, "ellipses", 0},
    {droplet, "droplet", 0},
    {flies, "flies", 0},
    {broken_heart, "broken-heart", 0},
    {heart, "heart", 0},
    {skull, "skull", 0},
    {dark_cloud, "dark-cloud", 0},
    {speech_balloon, "speech-balloon", 0},
    {speechless_balloon, "speechless-balloon", 0},
    {thought_balloon, "thought-balloon", 0},
    {sigh, "sigh", 0},
    {gasp, "gasp", 0},
    {notes, "notes", 0},
    {turn_left, "turn-left", 0},
    {turn_right, "turn-right", 0},
    {zzz, "zzz", 0},
    {bubbles, "bubbles", 0},
    {gears, "gears", 0},
    {lightbulb, "lightbulb", 0},
    {none, "none", 0},
};

namespace {

const int kMenuColumns = 4;
// The icons and r's own cell
const int kMenuRows = (kNumVelkoIcons + 1 + kMenuColumns - 1) / kMenuColumns;
// Fraction of a cell step ignored when counting whole steps, so that a grid that fits
// exactly is not moved a step further by rounding
const float kStepSlack = 1e-3f;

// Where along one axis a row (or column) of n cells, each size long and step apart, begins
// when the cell at [lo, lo + size] is one of them: the cell is the first of the row unless
// the row would end past max, then the row is moved back by whole steps (*slot is the
// cell's place in the row). A row still outside [min, max] (the cell is, or the row is
// longer) is moved into it, to start at min when it is longer.
float PlaceRow(float lo, float size, float step, int n, float min, float max, int* slot) {
    float length = (n - 1) * step + size;
    float over = lo + length - max;
    int k = over > 0 && step > 0 ? (int)ceilf(over / step - kStepSlack) : 0;
    if (k > n - 1) k = n - 1;
    *slot = k;
    float start = lo - k * step;
    if (start + length > max) start = max - length;
    if (start < min) start = min;
    return start;
}

}  // namespace

void LoadStaticIcons() {
    for (int i = 0; i < kNumVelkoIcons; i++)
        icons[i].id = GIconTable::AddStaticIcon(icons[i].data, icons[i].name);
}

void LayoutIconMenu(fRect r, float gap, fRect window, fRect cells[kNumVelkoIcons]) {
    float w = r.GetWidth(), h = r.GetHeight();
    float stepX = w + gap, stepY = h + gap;
    int column = 0, row = 0;
    float left = PlaceRow(r.left, w, stepX, kMenuColumns, window.left, window.right, &column);
    float top = PlaceRow(r.top, h, stepY, kMenuRows, window.top, window.bottom, &row);
    int own = row * kMenuColumns + column;
    for (int i = 0, slot = 0; i < kNumVelkoIcons; i++, slot++) {
        if (slot == own) slot++;
        fPoint2 topLeft(left + (slot % kMenuColumns) * stepX, top + (slot / kMenuColumns) * stepY);
        cells[i].SetFromTopLeft(topLeft, w, h);
    }
}

void RenderIconMenu(fRect r, float gap, fRect window) {
    fRect cells[kNumVelkoIcons];
    LayoutIconMenu(r, gap, window, cells);
    for (int i = 0; i < kNumVelkoIcons; i++) {
        fColor::white()->SetColor();
        cells[i].Paint();
        GIconTable::PlotIcon(icons[i].id, cells[i], true);
    }
}

int PickIconMenu(fRect r, float gap, int current, fPoint2 p, fRect window) {
    fRect cells[kNumVelkoIcons];
    LayoutIconMenu(r, gap, window, cells);
    for (int i = 0; i < kNumVelkoIcons; i++)
        if (cells[i].DoesContain(p)) return icons[i].id;
    return current;
}

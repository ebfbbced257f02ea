#include "DollIcon.h"

#include "GIconTable.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"

namespace {
const float kBreatheWidth = 0.08f;  // of the width, over kBreatheWidthPeriod
const float kBreatheWidthPeriod = 4.0f;
const float kBreatheHeight = 0.06f;  // of the height, over kBreatheHeightPeriod
const float kBreatheHeightPeriod = 6.0f;
const float kPopDuration = 0.5f;  // seconds from a change to full size
const float kPopPeakAt = 0.8f;    // eased progress where the pop peaks at 120 %
}  // namespace

DollIcon::DollIcon() : bounds(0, 0, 50, 50), icon(-1), iconChangedWhen(GetSeconds()) {}

void DollIcon::SetIcon(int i) {
    if (i == icon) return;
    iconChangedWhen = GetSeconds();
    icon = i;
}

fRect DollIcon::GetAnimatedBounds() const {
    fRect b = bounds;
    float dx = b.GetWidth() * kBreatheWidth * fTime::Cycle(0, kBreatheWidthPeriod);
    float dy = b.GetHeight() * kBreatheHeight * fTime::Cycle(0, kBreatheHeightPeriod);
    b.Inset(-dx, -dy);

    float f = fTime::Since(iconChangedWhen, kPopDuration);
    if (f < 1) {
        float m = 1 - (1 - f) * (1 - f);  // ease-out
        // 0 up to 1.2 until the peak, then back down to 1.0
        float scale = m < kPopPeakAt ? m * 1.25f * 1.2f : 1.2f - 0.2f * (m - kPopPeakAt) * 5.0f;
        float w = b.GetWidth(), h = b.GetHeight();
        b.SetWidth(w * scale);
        b.SetHeight(h * scale);
    }
    return b;
}

void DollIcon::Render(bool renderFrame) {
    fRect b = GetAnimatedBounds();
    if (renderFrame) Frame();
    GIconTable::PlotIcon(icon, b, false);
}

void DollIcon::Frame() {
    fColor::lightGray()->SetColor();
    bounds.Frame();
}

void DollIcon::RenderForDrag(fPoint2 t) {
    fRect r = bounds;
    r.Shift(t);
    GIconTable::PlotIcon(icon, r, true);
}

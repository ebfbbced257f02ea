#include "AuthorModePanel.h"

#include "VelkoAssert.h"
#include "fColor.h"
#include "graphicsUtilsGL.h"

namespace {

// Height of one item in world units
const float kItemHeight = 20;

}  // namespace

// Constant-initialised, so ready before any editor is constructed
const AuthorMode AuthorModePanel::play(true, false, false, AuthorMode::pose, AuthorMode::pose,
                                       AuthorMode::null);
const AuthorMode AuthorModePanel::draw(true, true, true, AuthorMode::draw, AuthorMode::draw,
                                       AuthorMode::null);
const AuthorMode AuthorModePanel::drawAndPose(true, true, true, AuthorMode::draw, AuthorMode::pose,
                                              AuthorMode::eraseLine);
const AuthorMode AuthorModePanel::pose(true, true, true, AuthorMode::pose, AuthorMode::pose,
                                       AuthorMode::eraseLine);
const AuthorMode AuthorModePanel::editSkeleton(false, true, true, AuthorMode::makeNode,
                                               AuthorMode::moveOrLink, AuthorMode::eraseEdgeOrNode);

const AuthorMode* const AuthorModePanel::modes[kNumModes] = {&play, &draw, &drawAndPose, &pose,
                                                             &editSkeleton};
const char* const AuthorModePanel::modeNames[kNumModes] = {"Play", "Draw", "Draw and Pose", "Pose",
                                                           "Edit Skeleton"};
const char* const AuthorModePanel::modeHints[kNumModes] = {
    "Play: drag any part of the doll to move it; only its lines are shown",
    "Draw: drag to sketch a line on the nearest bone; click a line to select it",
    "Draw and Pose: drag a joint to pose; drag elsewhere to sketch a line; click a line to "
    "select it",
    "Pose: drag a joint to pose the doll; double-click a joint to lock it in place",
    "Edit Skeleton: click to add a joint; drag a joint to move it, or onto another to link or "
    "unlink",
};

AuthorModePanel::AuthorModePanel(fPoint2 topleft) : level(2) {
    bounds.Set(topleft);
    bounds.bottom = bounds.top + kItemHeight * kNumModes;
}

AuthorMode AuthorModePanel::GetMode() const {
    VELKO_ASSERT(level >= 0 && level < kNumModes);
    return *modes[level];
}

bool AuthorModePanel::MouseDown(fPoint2 loc) {
    if (!bounds.DoesContain(loc)) return false;
    // The bottom edge belongs to the panel, so clamp rather than pick a sixth item
    int i = (int)((loc.y - bounds.top) / kItemHeight);
    if (i < 0) i = 0;
    if (i > kNumModes - 1) i = kNumModes - 1;
    level = i;
    return true;
}

void AuthorModePanel::Render(bool opaque) {
    SetType(1);
    float width = 0;
    for (int i = 0; i < kNumModes; i++) {
        float w = fMeasureString("%s", modeNames[i]) + 10;
        if (w > width) width = w;
    }
    bounds.right = bounds.left + width;

    for (int i = 0; i < kNumModes; i++) {
        bool chosen = i == level;
        const fColor* fore = chosen ? fColor::white() : fColor::gray();
        const fColor* back = chosen ? fColor::gray() : fColor::white();
        fRect item = bounds;
        item.top = bounds.top + kItemHeight * i;
        item.bottom = item.top + kItemHeight;
        item.Inset(1, 1);
        if (opaque || chosen) {
            back->SetColor();
            item.Paint();
        }
        fColor::lightGray()->SetColor();
        item.Frame();
        fore->SetColor();
        fDrawString(item.left + 5, item.bottom - 4, "%s", modeNames[i]);
    }
}

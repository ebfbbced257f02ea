// The author mode records and the mode panel: choosing by press, clamping and drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "AuthorModePanel.h"
#include "GLTestContext.h"
#include "fColor.h"
#include "graphicsUtilsGL.h"

namespace {

using Option = AuthorMode::option;

struct ExpectedMode {
    const char* name;
    bool art, skeleton, iconFrames;
    Option nowhere, node, deleteKey;
};

const ExpectedMode kExpected[AuthorModePanel::kNumModes] = {
    {"Play", true, false, false, AuthorMode::pose, AuthorMode::pose, AuthorMode::null},
    {"Draw", true, true, true, AuthorMode::draw, AuthorMode::draw, AuthorMode::null},
    {"Draw and Pose", true, true, true, AuthorMode::draw, AuthorMode::pose, AuthorMode::eraseLine},
    {"Pose", true, true, true, AuthorMode::pose, AuthorMode::pose, AuthorMode::eraseLine},
    {"Edit Skeleton", false, true, true, AuthorMode::makeNode, AuthorMode::moveOrLink,
     AuthorMode::eraseEdgeOrNode},
};

// The panel as the editor places it: top-left (10, 10), bottom 110
AuthorModePanel EditorPanel() { return AuthorModePanel(fPoint2(10, 10)); }

TEST(AuthorModeRecords, EachModeHasItsNameLayersAndActionsInPanelOrder) {
    const AuthorMode* byName[] = {&AuthorModePanel::play, &AuthorModePanel::draw,
                                  &AuthorModePanel::drawAndPose, &AuthorModePanel::pose,
                                  &AuthorModePanel::editSkeleton};
    for (int i = 0; i < AuthorModePanel::kNumModes; i++) {
        SCOPED_TRACE(kExpected[i].name);
        const AuthorMode* m = AuthorModePanel::modes[i];
        EXPECT_EQ(m, byName[i]);
        EXPECT_STREQ(AuthorModePanel::modeNames[i], kExpected[i].name);
        EXPECT_EQ(m->artVisible, kExpected[i].art);
        EXPECT_EQ(m->skeletonVisible, kExpected[i].skeleton);
        EXPECT_EQ(m->iconFramesVisible, kExpected[i].iconFrames);
        EXPECT_EQ(m->clickNowhere, kExpected[i].nowhere);
        EXPECT_EQ(m->clickNode, kExpected[i].node);
        EXPECT_EQ(m->deleteRollover, kExpected[i].deleteKey);
    }
}

TEST(AuthorModeRecords, AreSixBytesWithOptionsKeepingTheirStoredValues) {
    EXPECT_EQ(sizeof(AuthorMode::option), 1u);
    EXPECT_EQ(sizeof(AuthorMode), 6u);
    const int values[] = {AuthorMode::null,
                          AuthorMode::pose,
                          AuthorMode::draw,
                          AuthorMode::makeNode,
                          AuthorMode::moveOrLink,
                          AuthorMode::eraseLine,
                          AuthorMode::eraseEdgeOrNode,
                          AuthorMode::manipulateIcon,
                          AuthorMode::manipulatePose,
                          AuthorMode::pickAuthorMode,
                          AuthorMode::selectLine};
    for (int i = 0; i < 11; i++) EXPECT_EQ(values[i], i);
}

TEST(AuthorModeRecords, NeverStoreAClassificationOnlyOption) {
    for (const AuthorMode* m : AuthorModePanel::modes)
        for (Option o : {m->clickNowhere, m->clickNode, m->deleteRollover})
            EXPECT_LE(o, AuthorMode::eraseEdgeOrNode);
}

TEST(AuthorModePanel, StartsOnDrawAndPoseFiveItemsTallAndZeroWide) {
    AuthorModePanel panel = EditorPanel();
    EXPECT_EQ(panel.level, 2);
    EXPECT_EQ(panel.bounds.left, 10);
    EXPECT_EQ(panel.bounds.top, 10);
    EXPECT_EQ(panel.bounds.right, 10);
    EXPECT_EQ(panel.bounds.bottom, 110);
    AuthorMode m = panel.GetMode();
    EXPECT_EQ(m.clickNowhere, AuthorMode::draw);
    EXPECT_EQ(m.clickNode, AuthorMode::pose);
    EXPECT_EQ(m.deleteRollover, AuthorMode::eraseLine);
}

TEST(AuthorModePanel, BeforeItsFirstFrameOnlyTheLeftEdgeIsHit) {
    AuthorModePanel panel = EditorPanel();
    EXPECT_TRUE(panel.Pick(fPoint2(10, 10)));
    EXPECT_TRUE(panel.Pick(fPoint2(10, 60)));
    EXPECT_TRUE(panel.Pick(fPoint2(10, 110)));
    EXPECT_FALSE(panel.Pick(fPoint2(10.5f, 60)));
    EXPECT_FALSE(panel.Pick(fPoint2(9.5f, 60)));
    EXPECT_FALSE(panel.Pick(fPoint2(10, 110.5f)));
    EXPECT_FALSE(panel.MouseDown(fPoint2(20, 15)));
    EXPECT_EQ(panel.level, 2);
}

TEST(AuthorModePanel, APressPicksTheItemTwentyUnitsTallUnderIt) {
    AuthorModePanel panel = EditorPanel();
    panel.bounds.right = 124;
    struct {
        float dy;
        int level;
    } cases[] = {{0, 0}, {19.9f, 0}, {20, 1}, {45, 2}, {60, 3}, {79.9f, 3}, {80, 4}, {99.9f, 4}};
    for (auto c : cases) {
        panel.level = -7;
        EXPECT_TRUE(panel.MouseDown(fPoint2(50, 10 + c.dy))) << c.dy;
        EXPECT_EQ(panel.level, c.level) << "press " << c.dy << " below the top";
    }
}

TEST(AuthorModePanel, APressOnTheBottomEdgePicksTheLastItemNotASixth) {
    AuthorModePanel panel = EditorPanel();
    panel.bounds.right = 124;
    EXPECT_TRUE(panel.MouseDown(fPoint2(124, 110)));
    EXPECT_EQ(panel.level, 4);
    EXPECT_EQ(panel.GetMode().clickNowhere, AuthorMode::makeNode);
}

TEST(AuthorModePanel, APressOutsideMissesAndKeepsTheChoice) {
    AuthorModePanel panel = EditorPanel();
    panel.bounds.right = 124;
    panel.level = 3;
    for (fPoint2 p :
         {fPoint2(50, 9.9f), fPoint2(50, 110.1f), fPoint2(9.9f, 50), fPoint2(124.1f, 50)}) {
        EXPECT_FALSE(panel.Pick(p));
        EXPECT_FALSE(panel.MouseDown(p));
    }
    EXPECT_EQ(panel.level, 3);
}

TEST(AuthorModePanel, DefaultModeReturnsToDrawAndPose) {
    AuthorModePanel panel = EditorPanel();
    panel.bounds.right = 124;
    panel.MouseDown(fPoint2(20, 105));
    ASSERT_EQ(panel.level, 4);
    panel.DefaultMode();
    EXPECT_EQ(panel.level, 2);
    EXPECT_EQ(panel.GetMode().clickNowhere, AuthorMode::draw);
}

TEST(AuthorModePanelDeathTest, GetModeStopsOnALevelOutOfRange) {
    AuthorModePanel panel = EditorPanel();
    panel.level = AuthorModePanel::kNumModes;
    EXPECT_DEATH(panel.GetMode(), "level >= 0 && level < kNumModes");
    panel.level = -1;
    EXPECT_DEATH(panel.GetMode(), "level >= 0 && level < kNumModes");
}

// Drawing, in a real GL context

const RGB8 kWhite{255, 255, 255};
const RGB8 kYellow{255, 255, 0};

// The named gray is half way between two 8-bit levels; the rasteriser may dither it to
// either, pixel by pixel
bool IsGray(RGB8 p) { return p == RGB8{127, 127, 127} || p == RGB8{128, 128, 128}; }

int CountGray(const fRect& r) {
    auto& gl = GLTestContext::Get();
    int x0 = (int)r.left, y0 = (int)r.top, x1 = (int)r.right, y1 = (int)r.bottom;
    return gl.CountPixels(x0, y0, x1, y1, RGB8{127, 127, 127}) +
           gl.CountPixels(x0, y0, x1, y1, RGB8{128, 128, 128});
}

// Light gray likewise sits between 191 and 192
int CountLightGray(int x0, int y0, int x1, int y1) {
    auto& gl = GLTestContext::Get();
    return gl.CountPixels(x0, y0, x1, y1, RGB8{191, 191, 191}) +
           gl.CountPixels(x0, y0, x1, y1, RGB8{192, 192, 192});
}

// Item i's rectangle as drawn: a 20-unit band inset by 1
fRect ItemRect(const AuthorModePanel& panel, int i) {
    fRect r = panel.bounds;
    r.top = panel.bounds.top + 20 * i;
    r.bottom = r.top + 20;
    r.Inset(1, 1);
    return r;
}

TEST(AuthorModePanelDrawing, AFrameSizesThePanelToTheWidestNamePlusTen) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    AuthorModePanel panel = EditorPanel();
    panel.Render(true);
    // "Draw and Pose": 13 characters at 8 units each, plus 10
    EXPECT_EQ(panel.bounds.right, 10 + 13 * 8 + 10);
    EXPECT_TRUE(panel.MouseDown(fPoint2(124, 50)));
    EXPECT_FALSE(panel.MouseDown(fPoint2(124.5f, 50)));
    EXPECT_EQ(panel.level, 2);
}

TEST(AuthorModePanelDrawing, OutlinesEveryItemAndWritesItsNameAtTheBaseline) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    AuthorModePanel panel = EditorPanel();
    panel.Render(true);  // first frame fixes the width
    std::vector<FeedbackPrimitive> prims = gl.Capture([&] { panel.Render(true); });

    std::vector<fPoint2> textStarts;
    std::vector<fPoint2> lineEnds;
    size_t glyphs = 0;
    bool prevWasGlyph = false;
    for (const FeedbackPrimitive& p : prims) {
        bool glyph = p.kind == FeedbackPrimitive::bitmap;
        // A name starts at the raster position of its first glyph
        if (glyph && !prevWasGlyph) textStarts.push_back(p.vertices[0]);
        if (glyph) glyphs++;
        if (p.kind == FeedbackPrimitive::line)
            for (fPoint2 v : p.vertices) lineEnds.push_back(v);
        prevWasGlyph = glyph;
    }
    size_t letters = 0;
    for (const char* name : AuthorModePanel::modeNames) letters += strlen(name);
    EXPECT_EQ(glyphs, letters);
    ASSERT_EQ(textStarts.size(), 5u);
    for (int i = 0; i < 5; i++) {
        fRect item = ItemRect(panel, i);
        EXPECT_NEAR(textStarts[i].x, item.left + 5, 0.01f) << i;
        EXPECT_NEAR(textStarts[i].y, item.bottom - 4, 0.01f) << i;
        // Each outline's corners are among the line ends
        int corners = 0;
        for (fPoint2 c : {fPoint2(item.left, item.top), fPoint2(item.right, item.bottom)})
            for (fPoint2 v : lineEnds)
                if (fabsf(v.x - c.x) < 0.6f && fabsf(v.y - c.y) < 0.6f) {
                    corners++;
                    break;
                }
        EXPECT_EQ(corners, 2) << "outline of item " << i;
    }
}

TEST(AuthorModePanelDrawing, OpaqueFillsTheChosenItemGrayAndTheOthersWhite) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    fColor::yellow()->SetColor();
    fRect(0, 0, 200, 200).Paint();
    AuthorModePanel panel = EditorPanel();
    panel.level = 1;
    panel.Render(true);
    for (int i = 0; i < 5; i++) {
        fRect item = ItemRect(panel, i);
        // Near the right end of the item: clear of the name and of the outline
        RGB8 inside = gl.Pixel((int)item.right - 4, (int)item.GetCenterY());
        if (i == 1)
            EXPECT_TRUE(IsGray(inside)) << "chosen item";
        else
            EXPECT_EQ(inside, kWhite) << "item " << i;
    }
    // Chosen name white on gray, the others gray on white
    fRect chosen = ItemRect(panel, 1);
    EXPECT_GT(gl.CountPixels(chosen.left + 2, chosen.top + 2, chosen.right - 2, chosen.bottom - 2,
                             kWhite),
              10);
    fRect other = ItemRect(panel, 3);
    other.Inset(2, 2);
    EXPECT_GT(CountGray(other), 10);
    fRect fourth = ItemRect(panel, 3);
    EXPECT_EQ(gl.Pixel((int)fourth.right - 4, (int)fourth.top - 1), kYellow)
        << "the one-unit gap between items is not filled";
    gl.Save("author_mode_panel_opaque.png");
}

TEST(AuthorModePanelDrawing, SeeThroughFillsOnlyTheChosenItem) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    fColor::yellow()->SetColor();
    fRect(0, 0, 200, 200).Paint();
    AuthorModePanel panel = EditorPanel();
    panel.level = 4;
    panel.Render(false);
    for (int i = 0; i < 5; i++) {
        fRect item = ItemRect(panel, i);
        RGB8 inside = gl.Pixel((int)item.right - 4, (int)item.GetCenterY());
        if (i == 4)
            EXPECT_TRUE(IsGray(inside)) << "chosen item";
        else
            EXPECT_EQ(inside, kYellow) << "item " << i;
        // Outlined in light gray even when unfilled
        EXPECT_GT(CountLightGray((int)item.left - 1, (int)item.top - 1, (int)item.right + 2,
                                 (int)item.top + 2),
                  50)
            << "top edge of item " << i;
    }
    fRect other = ItemRect(panel, 0);
    other.Inset(2, 2);
    EXPECT_GT(CountGray(other), 10) << "names of unchosen items stay gray";
    gl.Save("author_mode_panel_see_through.png");
}

}  // namespace

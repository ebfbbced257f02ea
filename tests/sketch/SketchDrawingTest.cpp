// Drawing the sketch doll in a real GL context: masks and outlines layered by bone order,
// masks only when opaque, and the selection highlights.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "GLTestContext.h"
#include "SketchDoll.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"

namespace {

const RGB8 kWhite{255, 255, 255}, kGray{128, 128, 128}, kYellow{255, 255, 0};

bool Near(RGB8 c, RGB8 want) {
    return std::abs(c.r - want.r) <= 2 && std::abs(c.g - want.g) <= 2 &&
           std::abs(c.b - want.b) <= 2;
}

int CountNear(GLTestContext& gl, int x0, int y0, int x1, int y1, RGB8 want) {
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) n += Near(gl.Pixel(x, y), want);
    return n;
}

// The colours met going down one pixel column, as runs: colour and length
std::vector<std::pair<RGB8, int>> ColumnRuns(GLTestContext& gl, int x, int y0, int y1) {
    std::vector<std::pair<RGB8, int>> runs;
    for (int y = y0; y < y1; y++) {
        RGB8 c = gl.Pixel(x, y);
        if (!runs.empty() && runs.back().first == c)
            runs.back().second++;
        else
            runs.push_back({c, 1});
    }
    return runs;
}

// Default skeleton: the torso bone 1-4 is drawn first of all bones, the thigh 4-5 later
const int kBreast = 1, kHips = 4, kKnee = 5;

class SketchDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        GLTestContext::Get().BeginFrame();
        SetTestSeconds(10);
        doll.SetRenderSkeleton(false);  // lines only
    }
    void TearDown() override { ClearTestSeconds(); }

    SketchDollLine* Line(int a, int b, std::vector<fPoint2> pts, bool mask = false) {
        SketchDollLine* l = doll.NewLine(a, b);
        for (fPoint2 p : pts) l->AddPoint(p);
        l->SetIsMask(mask);
        return l;
    }
    // A square mask, as the editor records one: a closed round of points
    SketchDollLine* SquareMask(int a, int b, float x0, float y0, float x1, float y1) {
        return Line(a, b, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true);
    }
    // Frame drawn mid-swing, where lines sit exactly where they were recorded
    void DrawDoll() {
        SetTestSeconds(11);
        doll.RenderSkeleton(false, false);
    }

    SketchDoll doll;
};

}  // namespace

TEST_F(SketchDrawing, AMaskOnABoneDrawnLaterHidesAnOutlineOfABoneDrawnEarlier) {
    auto& gl = GLTestContext::Get();
    Line(kBreast, kHips, {{260, 200.5f}, {380, 200.5f}});  // across the torso
    SquareMask(kHips, kKnee, 300, 190, 340, 215);          // over the hips, on the thigh
    DrawDoll();
    gl.Save("sketch_mask_hides_outline.png");
    EXPECT_GE(CountNear(gl, 265, 198, 295, 203, kGray), 30);
    EXPECT_EQ(CountNear(gl, 302, 192, 338, 213, kGray), 0);
    EXPECT_GE(CountNear(gl, 345, 198, 375, 203, kGray), 30);

    // Drawn the other way round, the outline lies over the mask
    doll.MoveEdgeForwards(kBreast, kHips);
    for (int i = 0; i < 10; i++) doll.MoveEdgeForwards(kBreast, kHips);
    gl.BeginFrame();
    DrawDoll();
    EXPECT_GE(CountNear(gl, 302, 198, 338, 203, kGray), 60);
}

TEST_F(SketchDrawing, OnOneBoneTheMasksArePaintedFirstAndTheOutlinesOnTop) {
    auto& gl = GLTestContext::Get();
    // The outline is the older line, so it is later in the list than the mask
    Line(kHips, kKnee, {{260, 200.5f}, {380, 200.5f}});
    SquareMask(kHips, kKnee, 300, 190, 340, 215);
    SetfColor(0, 0, 1);
    fRect backdrop(250, 180, 390, 230);
    PaintfRect(&backdrop);
    DrawDoll();
    gl.Save("sketch_outline_over_mask.png");
    EXPECT_GE(CountNear(gl, 302, 198, 338, 203, kGray), 60);
    EXPECT_GE(CountNear(gl, 302, 205, 338, 213, kWhite), 250);
}

TEST_F(SketchDrawing, MasksAreInvisibleWhenTheDollIsNotOpaque) {
    auto& gl = GLTestContext::Get();
    SquareMask(kHips, kKnee, 300, 190, 340, 215);
    fRect backdrop(250, 180, 390, 230);
    auto paintBackdrop = [&] {
        SetfColor(0, 0, 1);
        PaintfRect(&backdrop);
    };
    paintBackdrop();
    DrawDoll();
    EXPECT_GE(CountNear(gl, 302, 192, 338, 213, kWhite), 36 * 21);

    doll.SetRenderOpaque(false);
    gl.BeginFrame();
    paintBackdrop();
    DrawDoll();
    gl.Save("sketch_mask_not_opaque.png");
    EXPECT_EQ(CountNear(gl, 290, 180, 350, 225, kWhite), 0);
    EXPECT_TRUE(gl.Capture([&] { doll.RenderSkeleton(false, false); }).empty());

    // Nor are any lines drawn when sketches are switched off
    doll.SetRenderOpaque(true);
    Line(kBreast, kHips, {{260, 200.5f}, {380, 200.5f}});
    doll.SetRenderSketches(false);
    EXPECT_TRUE(gl.Capture([&] { doll.RenderSkeleton(false, false); }).empty());
}

TEST_F(SketchDrawing, ASelectedMaskShowsAThreePixelYellowOutline) {
    auto& gl = GLTestContext::Get();
    SketchDollLine* mask = SquareMask(kHips, kKnee, 300, 190.5f, 340, 215.5f);
    SetTestSeconds(11);
    mask->RenderSelected();
    gl.Save("sketch_selected_mask.png");
    // Down a column through the top edge: white, 3 yellow, white inside the open outline
    auto runs = ColumnRuns(gl, 320, 180, 200);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[1].first, kYellow);
    EXPECT_EQ(runs[1].second, 3);
    EXPECT_EQ(runs[2].first, kWhite);
    // Not filled, and the mask keeps its own style afterwards
    EXPECT_EQ(CountNear(gl, 305, 196, 335, 210, kYellow), 0);
    EXPECT_EQ(mask->thickness, 2);
    EXPECT_FALSE(mask->drawFilled);
}

TEST_F(SketchDrawing, ASelectedOutlineShowsAFivePixelYellowHaloUnderItsGrayLine) {
    auto& gl = GLTestContext::Get();
    SketchDollLine* l = Line(kHips, kKnee, {{260, 200.5f}, {380, 200.5f}});
    SetTestSeconds(11);
    l->RenderSelected();
    gl.Save("sketch_selected_outline.png");
    auto runs = ColumnRuns(gl, 320, 190, 212);
    // white, yellow, gray x2, yellow, white: five pixels in all, the gray inside
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[1].first, kYellow);
    EXPECT_TRUE(Near(runs[2].first, kGray));
    EXPECT_EQ(runs[2].second, 2);
    EXPECT_EQ(runs[3].first, kYellow);
    EXPECT_EQ(runs[1].second + runs[2].second + runs[3].second, 5);
    EXPECT_EQ(l->thickness, 2);
    EXPECT_FLOAT_EQ(l->color.r, 0.5f);
}

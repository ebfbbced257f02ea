// Drawing in a real GL context: the skeleton, highlights, filter schematics and the icon.
#include <gtest/gtest.h>

#include <algorithm>

#include "GIconTable.h"
#include "GLTestContext.h"
#include "TestDolls.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"

namespace {
const RGB8 kWhite{255, 255, 255}, kBlack{0, 0, 0}, kGray{128, 128, 128}, kLightGray{191, 191, 191},
    kYellow{255, 255, 0}, kGreen{0, 255, 0};

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

size_t CountKind(const std::vector<FeedbackPrimitive>& prims, FeedbackPrimitive::Kind k) {
    return std::count_if(prims.begin(), prims.end(),
                         [k](const FeedbackPrimitive& p) { return p.kind == k; });
}

// Bounding box of every vertex drawn
fRect Extent(const std::vector<FeedbackPrimitive>& prims) {
    fRect r;
    bool first = true;
    for (const auto& p : prims)
        for (fPoint2 v : p.vertices) {
            if (first)
                r.Set(v);
            else
                r.GrowToInclude(v);
            first = false;
        }
    return r;
}

// A unit square outline in icon space
const float kSquareIcon[] = {-1, -1, 0, 0, 1, 0, 1, 1, 0, 1, 0, 0, -2, -2};

class DollDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        GLTestContext::Get().BeginFrame();
    }
    void TearDown() override { ClearTestSeconds(); }
};
}  // namespace

TEST_F(DollDrawing, TheSkeletonDrawsACircleForEveryJointAndEveryBoneOnce) {
    auto& gl = GLTestContext::Get();
    Doll d;
    auto prims = gl.Capture([&] { d.RenderSkeleton(true, true); });
    // Each joint circle is a loop of 10 segments, radius 16
    EXPECT_EQ(CountKind(prims, FeedbackPrimitive::line), 11u * 10 + 10);
    fRect all = Extent(prims);
    EXPECT_NEAR(all.left, 220 - 16, 1);
    EXPECT_NEAR(all.right, 420 + 16, 1);
    EXPECT_NEAR(all.bottom, 432 + 16, 1);

    d.RenderSkeleton(true, true);
    gl.Save("doll_skeleton.png");
    // Thick gray bones: the breast-hips bone at its middle, two pixels wide
    EXPECT_TRUE(Near(gl.Pixel(320, 182), kGray));
    EXPECT_GE(CountNear(gl, 318, 180, 323, 185, kGray), 8);
}

TEST_F(DollDrawing, ThinBonesAndPlainJointsAreLightGrayAndALockedJointIsBlack) {
    auto& gl = GLTestContext::Get();
    Doll d;
    d.GetJoint(4)->SetLock(true);
    d.RenderSkeleton(false, false);
    // One pixel wide: one column of the breast-hips bone
    EXPECT_EQ(CountNear(gl, 318, 180, 323, 185, kLightGray), 5);
    EXPECT_EQ(gl.CountPixels(318, 180, 323, 185, kWhite), 20);
    // Circles: the head's light gray, the locked hips' black
    EXPECT_GT(CountNear(gl, 300, 45, 341, 86, kLightGray), 40);
    EXPECT_EQ(gl.CountPixels(300, 45, 341, 86, kBlack), 0);
    EXPECT_GT(gl.CountPixels(300, 212, 341, 253, kBlack), 80);
}

TEST_F(DollDrawing, WithoutTheSkeletonOnlyTheBonesDrawingsAreAsked) {
    auto& gl = GLTestContext::Get();
    RecordingDoll d;
    d.SetRenderSkeleton(false);
    auto prims = gl.Capture([&] { d.RenderSkeleton(true, true); });
    EXPECT_TRUE(prims.empty());
    EXPECT_EQ(d.renderedEdges.size(), 10u);
}

TEST_F(DollDrawing, HighlightsAreAYellowCircleAndAGreenBone) {
    auto& gl = GLTestContext::Get();
    Doll d;
    d.GetJoint(0)->RenderHilited();
    d.RenderEdgeHilited(1, 4);
    gl.Save("doll_highlights.png");
    EXPECT_GT(gl.CountPixels(300, 45, 341, 86, kYellow), 40);
    EXPECT_EQ(gl.CountPixels(318, 180, 323, 185, kGreen), 10);
    // A remembered bone whose joint has gone draws nothing
    d.DeleteJoint(4);
    EXPECT_TRUE(gl.Capture([&] { d.RenderEdgeHilited(1, 4); }).empty());
    EXPECT_TRUE(gl.Capture([&] { d.RenderEdgeHilited(-1, 40); }).empty());
    // The highlight puts the pen back to one pixel
    gl.BeginFrame();
    Line(fPoint2(10, 10), fPoint2(20, 10));
    EXPECT_EQ(gl.CountPixels(9, 8, 22, 13, kBlack), 10);
}

TEST_F(DollDrawing, TheLookAtSchematicIsAPinkCircleScaledByInterest) {
    auto& gl = GLTestContext::Get();
    Doll d;
    d.GetLookAt()->LookAt(fPoint2(500, 300), 0.5f);
    auto prims = gl.Capture([&] { d.lfilter.Render(&d); });
    ASSERT_FALSE(prims.empty());
    for (const auto& p : prims)
        for (fPoint2 v : p.vertices) EXPECT_NEAR(v.Dist(fPoint2(500, 300)), 8, 0.01);
    d.lfilter.Render(&d);
    EXPECT_GT(CountNear(gl, 490, 290, 511, 311, RGB8{255, 153, 153}), 20);

    d.GetLookAt()->LookAt(fPoint2(500, 300), 0);
    EXPECT_TRUE(gl.Capture([&] { d.lfilter.Render(&d); }).empty());
}

TEST_F(DollDrawing, TheBalanceSchematicFramesTheJointsAndCrossesTheirCentre) {
    auto& gl = GLTestContext::Get();
    Doll d;
    auto prims = gl.Capture([&] { d.bfilter.Render(&d); });
    fRect all = Extent(prims);
    EXPECT_NEAR(all.left, 220, 0.01);
    EXPECT_NEAR(all.right, 420, 0.01);
    EXPECT_NEAR(all.top, 65.333, 0.01);
    EXPECT_NEAR(all.bottom, 432, 0.01);
    fPoint2 c = d.GetCenter();
    bool horizontal = false, vertical = false;
    for (const auto& p : prims) {
        if (p.kind != FeedbackPrimitive::line || p.vertices.size() != 2) continue;
        fPoint2 a = p.vertices[0], b = p.vertices[1];
        horizontal |= std::abs(a.y - c.y) < 0.01 && std::abs(b.y - c.y) < 0.01 &&
                      std::abs(std::abs(a.x - b.x) - 200) < 0.01;
        vertical |= std::abs(a.x - c.x) < 0.01 && std::abs(b.x - c.x) < 0.01;
    }
    EXPECT_TRUE(horizontal);
    EXPECT_TRUE(vertical);
    d.bfilter.Render(&d);
    EXPECT_TRUE(Near(gl.Pixel(300, (int)c.y), RGB8{217, 217, 255}));

    EmptyDoll none;
    EXPECT_TRUE(gl.Capture([&] { none.bfilter.Render(&none); }).empty());
    EXPECT_TRUE(gl.Capture([&] { none.tfilter.Render(&none); }).empty());
    EXPECT_TRUE(gl.Capture([&] { d.gfilter.Render(&d); }).empty());
}

TEST_F(DollDrawing, TheIconIsPlottedIntoItsAnimatedRectangle) {
    auto& gl = GLTestContext::Get();
    static int square = GIconTable::AddStaticIcon(kSquareIcon, "doll-test-square");
    ASSERT_NE(square, -1);
    Doll d;
    d.GetIcon()->SetBounds(fRect(100, 100, 200, 200));
    SetTestSeconds(11.75f);
    d.GetIcon()->SetIcon(square);
    // Half way through the pop, no breathing at 12 s: 112.5 units about the centre
    SetTestSeconds(12.0f);
    fRect r = Extent(gl.Capture([&] { d.RenderDecorations(false); }));
    EXPECT_NEAR(r.left, 150 - 56.25, 0.01);
    EXPECT_NEAR(r.right, 150 + 56.25, 0.01);
    EXPECT_NEAR(r.top, 150 - 56.25, 0.01);

    // Settled: with schematics the unanimated frame is drawn too, light gray
    SetTestSeconds(24.0f);
    auto prims = gl.Capture([&] { d.RenderDecorations(true); });
    r = Extent(prims);
    EXPECT_NEAR(r.left, 100, 0.01);
    EXPECT_NEAR(r.bottom, 200, 0.01);
    // The square's four sides, then the frame's
    EXPECT_EQ(gl.Capture([&] { d.RenderDecorations(false); }).size(), 4u);
    EXPECT_EQ(prims.size(), 8u);
    d.RenderDecorations(true);
    gl.Save("doll_icon.png");
    EXPECT_FALSE(Near(gl.Pixel(150, 150), kBlack));
    EXPECT_GT(gl.CountPixels(95, 95, 205, 205, kBlack), 300);
}

TEST_F(DollDrawing, TheIconsGhostIsDrawnShiftedAndUnanimated) {
    auto& gl = GLTestContext::Get();
    static int square = GIconTable::AddStaticIcon(kSquareIcon, "doll-test-square");
    DollIcon icon;
    icon.SetBounds(fRect(100, 100, 150, 150));
    SetTestSeconds(5.0f);
    icon.SetIcon(square);  // popping: the animated icon would have no size now
    fRect r = Extent(gl.Capture([&] { icon.RenderForDrag(fPoint2(30, -20)); }));
    EXPECT_NEAR(r.left, 130, 0.01);
    EXPECT_NEAR(r.right, 180, 0.01);
    EXPECT_NEAR(r.top, 80, 0.01);
    EXPECT_NEAR(r.bottom, 130, 0.01);
    EXPECT_EQ(icon.GetBounds().left, 100);
}

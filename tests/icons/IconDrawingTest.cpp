// Icons drawn into a real GL context: where plotted points land, what a static stream
// emits, and the whole icon menu as a picture (icon_menu.png) for people to look at.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "GIconTable.h"
#include "GLTestContext.h"
#include "IconTestSupport.h"
#include "VelkoIcons.h"
#include "fRectMap.h"

namespace {

const RGB8 kBlack{0, 0, 0};
const RGB8 kWhite{255, 255, 255};
const RGB8 kLightGray{191, 191, 191};

std::vector<FeedbackPrimitive> LinePrimitives(const std::vector<FeedbackPrimitive>& prims) {
    std::vector<FeedbackPrimitive> out;
    for (const auto& p : prims)
        if (p.kind == FeedbackPrimitive::line) out.push_back(p);
    return out;
}

// Polyline vertices of each strip, rebuilt from GL's line segments (a reset token starts
// a new strip, which the context reports as a separate line primitive; consecutive
// segments share their joint)
std::vector<std::vector<fPoint2>> Strips(const std::vector<FeedbackPrimitive>& prims) {
    std::vector<std::vector<fPoint2>> strips;
    for (const auto& p : LinePrimitives(prims)) {
        if (strips.empty() || !(strips.back().back() == p.vertices[0]))
            strips.push_back({p.vertices[0]});
        strips.back().push_back(p.vertices[1]);
    }
    return strips;
}

// A one-pixel line on a whole coordinate may land on the pixel either side of it
bool HasLightGrayNear(GLTestContext& gl, int x, int y) {
    return gl.CountPixels(x - 1, y - 1, x + 2, y + 2, kLightGray) > 0;
}

void ExpectNear(fPoint2 got, fPoint2 want) {
    EXPECT_NEAR(got.x, want.x, 0.01f);
    EXPECT_NEAR(got.y, want.y, 0.01f);
}

class IconDrawing : public ::testing::Test {
protected:
    void SetUp() override { EnsureBuiltInIcons(); }
};

}  // namespace

TEST_F(IconDrawing, PlottingPutsIconSpaceOntoTheTargetRectangle) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    static const float stream[] = {-1, -1, 0, 0, 0.5f, 0.5f, 1, 1, -2, -2};
    int id = GIconTable::AddStaticIcon(stream, "diagonal");
    ASSERT_NE(id, -1);
    auto strips =
        Strips(gl.Capture([&] { GIconTable::PlotIcon(id, fRect(10, 20, 110, 70), false); }));
    ASSERT_EQ(strips.size(), 1u);
    ASSERT_EQ(strips[0].size(), 3u);
    ExpectNear(strips[0][0], fPoint2(10, 20));
    ExpectNear(strips[0][1], fPoint2(60, 45));
    ExpectNear(strips[0][2], fPoint2(110, 70));
}

TEST_F(IconDrawing, StaticStreamsSkipEmptyStripsAndKeepALeadingPoint) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    // A point before any marker, then two markers in a row, then a two-point stroke
    static const float stream[] = {0, 0, 1, 0, -1, -1, -1, -1, 0, 1, 1, 1, -2, -2};
    giconStatic icon(stream);
    fRectMap map(fRect(0, 0, 1, 1), fRect(0, 0, 100, 100));
    auto strips = Strips(gl.Capture([&] { icon.Render(&map); }));
    ASSERT_EQ(strips.size(), 2u);
    ExpectNear(strips[0][0], fPoint2(0, 0));
    ExpectNear(strips[0][1], fPoint2(100, 0));
    ExpectNear(strips[1][0], fPoint2(0, 100));
    ExpectNear(strips[1][1], fPoint2(100, 100));
}

TEST_F(IconDrawing, AnEmptyIconDrawsOnlyItsFrame) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    int noneId = GIconTable::ResolveIcon("none");
    auto prims = gl.Capture([&] { GIconTable::PlotIcon(noneId, fRect(10, 10, 60, 60), true); });
    // The frame is one closed loop of four sides
    EXPECT_EQ(LinePrimitives(prims).size(), 4u);
    auto unknown = gl.Capture([&] { GIconTable::PlotIcon(999, fRect(10, 10, 60, 60), true); });
    EXPECT_EQ(LinePrimitives(unknown).size(), 4u);
    auto unframed = gl.Capture([&] { GIconTable::PlotIcon(-5, fRect(10, 10, 60, 60), false); });
    EXPECT_TRUE(unframed.empty());
}

TEST_F(IconDrawing, StaticIconsDrawBlackTwoPixelLinesAndResetThePen) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    static const float bar[] = {-1, -1, 0.1f, 0.5f, 0.9f, 0.5f, -2, -2};
    giconStatic icon(bar);
    fRectMap map(fRect(0, 0, 1, 1), fRect(100, 100, 200, 200));
    glColor3f(1, 0, 0);
    icon.Render(&map);
    // Two pixel rows of black across the middle, nothing above or below them
    EXPECT_GT(gl.CountPixels(115, 148, 185, 152, kBlack), 2 * 60);
    EXPECT_EQ(gl.CountPixels(100, 100, 200, 146, kBlack), 0);
    EXPECT_EQ(gl.CountPixels(100, 154, 200, 200, kBlack), 0);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
}

TEST_F(IconDrawing, AFileIconDrawsItsLinesThroughTheRectangle) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    gicon icon;
    giconLine* l = icon.NewLine();
    ASSERT_NE(l, nullptr);
    l->AddPoint(fPoint2(0.25f, 0.5f));
    l->AddPoint(fPoint2(0.75f, 0.5f));
    fRectMap map(fRect(0, 0, 1, 1), fRect(0, 0, 200, 100));
    auto strips = Strips(gl.Capture([&] { icon.Render(&map); }));
    ASSERT_EQ(strips.size(), 1u);
    ExpectNear(strips[0][0], fPoint2(50, 50));
    ExpectNear(strips[0][1], fPoint2(150, 50));
    // The recorded points stay in icon space and the transform is let go after drawing
    EXPECT_EQ(*l->GetPoint(0), fPoint2(0.25f, 0.5f));
    EXPECT_EQ(l->transform, nullptr);
    gl.BeginFrame();
    icon.Render(&map);
    EXPECT_GT(gl.CountPixels(60, 48, 140, 52, kBlack), 2 * 70);
}

TEST_F(IconDrawing, TheHeartIsDrawnInsideItsCellAndFillsMostOfIt) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    int heartId = GIconTable::ResolveIcon("heart");
    ASSERT_EQ(heartId, 6);
    GIconTable::PlotIcon(heartId, fRect(100, 100, 200, 200), true);
    EXPECT_TRUE(HasLightGrayNear(gl, 100, 150));  // the frame's left edge
    int inside = gl.CountPixels(102, 102, 199, 199, kBlack);
    EXPECT_GT(inside, 200);
    // Nothing spills outside the cell
    EXPECT_EQ(gl.CountPixels(0, 0, 800, 98, kBlack), 0);
    EXPECT_EQ(gl.CountPixels(0, 202, 800, 480, kBlack), 0);
    // Both lobes are there, the middle of the heart is hollow
    EXPECT_GT(gl.CountPixels(102, 102, 150, 150, kBlack), 20);
    EXPECT_GT(gl.CountPixels(150, 102, 199, 150, kBlack), 20);
    EXPECT_EQ(gl.CountPixels(140, 140, 160, 160, kBlack), 0);
}

TEST_F(IconDrawing, TheMenuShowsEveryIconInItsOwnFramedCell) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    fRect r(20, 20, 70, 70);  // 50 x 50 cells, as the doll shows its icon
    RenderIconMenu(r, 10);
    EXPECT_TRUE(gl.Save("icon_menu.png"));
    // Cell 0 (the current icon's place) is not drawn
    EXPECT_EQ(gl.CountPixels(0, 0, 79, 79, kWhite), 79 * 79);
    for (int i = 0; i < kNumVelkoIcons; i++) {
        int col = (i + 1) % 4, row = (i + 1) / 4;
        int left = 20 + col * 60, top = 20 + row * 60;
        SCOPED_TRACE(icons[i].name);
        EXPECT_TRUE(HasLightGrayNear(gl, left, top + 25));
        EXPECT_TRUE(HasLightGrayNear(gl, left + 50, top + 25));
        EXPECT_TRUE(HasLightGrayNear(gl, left + 25, top + 50));
        int ink = gl.CountPixels(left + 1, top + 1, left + 49, top + 49, kBlack);
        if (strcmp(icons[i].name, "none") == 0)
            EXPECT_EQ(ink, 0);
        else
            EXPECT_GT(ink, 60);
    }
}

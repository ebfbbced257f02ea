// Strokes drawn into a real GL context: what they send to GL, and that a draw leaves the
// stroke and the pen as it found them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "GLTestContext.h"
#include "gesture.h"

namespace {

const RGB8 kBlack{0, 0, 0};
const RGB8 kRed{255, 0, 0};
const RGB8 kBlue{0, 0, 255};

std::vector<fPoint2> LineVertices(const std::vector<FeedbackPrimitive>& prims) {
    // Consecutive line segments of one strip share a vertex: keep each joint once
    std::vector<fPoint2> out;
    for (const auto& p : prims) {
        if (p.kind != FeedbackPrimitive::line) continue;
        if (out.empty()) out.push_back(p.vertices[0]);
        out.push_back(p.vertices[1]);
    }
    return out;
}

// Feedback coordinates go through the viewport transform and may be off by a rounding step
void ExpectNear(fPoint2 got, fPoint2 want) {
    EXPECT_NEAR(got.x, want.x, 0.01f);
    EXPECT_NEAR(got.y, want.y, 0.01f);
}

void ExpectPenReset() {
    GLfloat c[4], w;
    glGetFloatv(GL_CURRENT_COLOR, c);
    glGetFloatv(GL_LINE_WIDTH, &w);
    EXPECT_EQ(c[0] + c[1] + c[2], 0.0f);
    EXPECT_EQ(w, 1.0f);
}

class StrokeDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) return;
        GLTestContext::Get().BeginFrame();
        for (fPoint2 p : {fPoint2(100, 100), fPoint2(200, 100), fPoint2(200, 200)}) g.AddPoint(p);
    }
    gesture g;
};

}  // namespace

TEST_F(StrokeDrawing, AnEmptyStrokeSendsNothingToGL) {
    REQUIRE_GL();
    gesture empty;
    glColor3f(0, 1, 0);
    glLineWidth(5);
    EXPECT_TRUE(GLTestContext::Get().Capture([&] { empty.Draw(); }).empty());
    GLfloat c[4], w;
    glGetFloatv(GL_CURRENT_COLOR, c);
    glGetFloatv(GL_LINE_WIDTH, &w);
    EXPECT_EQ(c[1], 1.0f);
    EXPECT_EQ(w, 5.0f);
    EXPECT_EQ(empty.drawBuf, nullptr);
    glLineWidth(1);
}

TEST_F(StrokeDrawing, AnOpenStrokeIsOnePolylineThroughItsFilteredPoints) {
    REQUIRE_GL();
    g.translate = fPoint2(10, 5);
    auto v = LineVertices(GLTestContext::Get().Capture([&] { g.Draw(); }));
    ASSERT_EQ(v.size(), 3u);
    ExpectNear(v[0], fPoint2(110, 105));
    ExpectNear(v[1], fPoint2(210, 105));
    ExpectNear(v[2], fPoint2(210, 205));
    ExpectPenReset();
}

TEST_F(StrokeDrawing, AClosedStrokeReturnsToItsFirstPoint) {
    REQUIRE_GL();
    g.closed = true;
    auto v = LineVertices(GLTestContext::Get().Capture([&] { g.Draw(); }));
    ASSERT_EQ(v.size(), 4u);
    ExpectNear(v[3], v[0]);
}

TEST_F(StrokeDrawing, AFilledStrokeIsOnePolygonWhetherClosedOrNot) {
    REQUIRE_GL();
    g.closed = true;
    g.SetDrawFilled(true);
    auto prims = GLTestContext::Get().Capture([&] { g.Draw(); });
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_EQ(prims[0].kind, FeedbackPrimitive::polygon);
    EXPECT_EQ(prims[0].vertices.size(), 3u);
}

TEST_F(StrokeDrawing, TheStrokeIsDrawnInItsColourAndWidth) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    g.SetColor(fColor(1, 0, 0));
    g.SetThickness(4);
    g.Draw();
    // The horizontal leg at y = 100 is four pixels thick
    EXPECT_EQ(gl.CountPixels(150, 96, 151, 105, kRed), 4);
    EXPECT_EQ(gl.CountPixels(0, 0, 800, 480, kBlack), 0);
    ExpectPenReset();
}

TEST_F(StrokeDrawing, DrawingWithAnotherPenKeepsTheStrokesOwn) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    g.SetColor(fColor(1, 0, 0));
    g.SetThickness(3);
    g.DrawWith(fColor(0, 0, 1), 6);
    EXPECT_EQ(gl.CountPixels(150, 90, 151, 110, kBlue), 6);
    EXPECT_EQ(gl.CountPixels(0, 0, 800, 480, kRed), 0);
    EXPECT_EQ(g.color.r, 1.0f);
    EXPECT_EQ(g.color.b, 0.0f);
    EXPECT_EQ(g.thickness, 3);
    ExpectPenReset();
}

TEST_F(StrokeDrawing, DrawingFilledOnceKeepsTheStrokeOutlined) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    g.SetColor(fColor(1, 0, 0));
    g.DrawFilled(fColor(0, 0, 1));
    // The triangle's inside (below the top leg, right of the diagonal) is blue
    EXPECT_EQ(gl.Pixel(180, 130), kBlue);
    EXPECT_FALSE(g.GetDrawFilled());
    EXPECT_EQ(g.color.r, 1.0f);
    gl.BeginFrame();
    g.Draw();
    EXPECT_EQ(gl.Pixel(180, 130), (RGB8{255, 255, 255}));
    ExpectPenReset();
}

TEST_F(StrokeDrawing, RedrawingWithTheSameCountReusesTheDrawBuffer) {
    REQUIRE_GL();
    g.Draw();
    fPoint2* buf = g.drawBuf;
    g.DrawWith(fColor(0, 0, 1), 2);
    g.DrawFilled(fColor(0, 0, 1));
    g.Draw();
    EXPECT_EQ(g.drawBuf, buf);
}

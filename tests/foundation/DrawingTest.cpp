// The drawing vocabulary checked against a real OpenGL context (pixels and GL feedback).
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "GLTestContext.h"
#include "graphicsUtilsGL.h"

namespace {

const RGB8 kWhite{255, 255, 255};
const RGB8 kRed{255, 0, 0};

int CountKind(const std::vector<FeedbackPrimitive>& prims, FeedbackPrimitive::Kind k) {
    int n = 0;
    for (const auto& p : prims) n += p.kind == k;
    return n;
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL();
        GLTestContext::Get().BeginFrame();
    }
};

TEST_F(Drawing, CircleSegmentCountGrowsWithRadiusPastTen) {
    auto& gl = GLTestContext::Get();
    struct {
        float r;
        int segments;
    } cases[] = {{30, 10}, {62.5f, 10}, {68.75f, 11}, {150, 24}};
    for (auto c : cases) {
        auto prims = gl.Capture([&] { FrameCircle(fPoint2(400, 240), c.r); });
        EXPECT_EQ(CountKind(prims, FeedbackPrimitive::line), c.segments) << "radius " << c.r;
        // Every vertex lies on the circle
        for (const auto& p : prims)
            for (fPoint2 v : p.vertices) EXPECT_NEAR(v.Dist(fPoint2(400, 240)), c.r, 0.05f);
    }
    // The first vertex sits one step round from +x (clockwise on screen)
    auto prims = gl.Capture([&] { FrameCircle(fPoint2(400, 240), 30); });
    ASSERT_FALSE(prims.empty());
    float step = 6.2831853f / 10;
    EXPECT_NEAR(prims[0].vertices[0].x, 400 + 30 * cosf(step), 0.05f);
    EXPECT_NEAR(prims[0].vertices[0].y, 240 + 30 * sinf(step), 0.05f);
}

TEST_F(Drawing, RectanglesFillInEitherWindingAndFrameAsALoop) {
    auto& gl = GLTestContext::Get();
    SetfColor(1, 0, 0);
    fRect flipped(100, 150, 200, 100);  // top below bottom
    PaintfRect(&flipped);
    EXPECT_EQ(gl.Pixel(150, 125), kRed);
    EXPECT_EQ(gl.Pixel(99, 125), kWhite);
    EXPECT_EQ(gl.CountPixels(90, 90, 210, 160, kRed), 100 * 50);

    gl.BeginFrame();
    fColor::red()->SetColor();
    fRect r(300, 100, 320, 140);
    r.Paint();
    EXPECT_EQ(gl.CountPixels(290, 90, 330, 150, kRed), 20 * 40);

    auto prims = gl.Capture([&] { r.Frame(); });
    ASSERT_EQ(CountKind(prims, FeedbackPrimitive::line), 4);
    EXPECT_POINT_NEAR(prims[0].vertices[0], fPoint2(300, 100), 0.01f);
    EXPECT_POINT_NEAR(prims[3].vertices[1], fPoint2(300, 100), 0.01f);
}

TEST_F(Drawing, LinesStripsAndEmptyVertexRunsEmitWhatTheyAreGiven) {
    auto& gl = GLTestContext::Get();
    fPoint2 v[3] = {fPoint2(10, 10), fPoint2(50, 10), fPoint2(50, 60)};
    auto prims = gl.Capture([&] {
        BeginLineStrip();
        Vertices(v, 3);
        EndLineStrip();
    });
    ASSERT_EQ(prims.size(), 2u);
    EXPECT_POINT_NEAR(prims[1].vertices[1], fPoint2(50, 60), 0.01f);

    prims = gl.Capture([&] {
        BeginLineStrip();
        Vertices(v, 0);
        EndLineStrip();
    });
    EXPECT_TRUE(prims.empty());

    prims = gl.Capture([&] { Line(fPoint2(1, 2), fPoint2(30, 40)); });
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_POINT_NEAR(prims[0].vertices[0], fPoint2(1, 2), 0.01f);

    prims = gl.Capture([&] {
        BeginPolygon();
        Vertex(fPoint2(100, 100));
        Vertex(fPoint2(200, 100));
        Vertex(fPoint2(150, 200));
        EndPolygon();
    });
    ASSERT_EQ(CountKind(prims, FeedbackPrimitive::polygon), 1);
    EXPECT_EQ(prims[0].vertices.size(), 3u);
}

TEST_F(Drawing, PenWidthSetsLineWidthAndPointSize) {
    PenWidth(5);
    GLfloat w = 0, s = 0;
    glGetFloatv(GL_LINE_WIDTH, &w);
    glGetFloatv(GL_POINT_SIZE, &s);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(s, 5);
    auto& gl = GLTestContext::Get();
    SetfColor(1, 0, 0);
    Line(fPoint2(100, 300), fPoint2(200, 300));
    // A five-pixel-wide horizontal line covers five rows
    int rows = 0;
    for (int y = 290; y < 310; y++) rows += gl.Pixel(150, y) == kRed;
    EXPECT_EQ(rows, 5);
    PenWidth(1);
}

TEST_F(Drawing, TranslationBracketsNest) {
    auto& gl = GLTestContext::Get();
    auto firstVertex = [&] {
        auto prims = gl.Capture([] { Line(fPoint2(10, 10), fPoint2(20, 10)); });
        return prims.empty() ? fPoint2(-1, -1) : prims[0].vertices[0];
    };
    SetGraphicsTranslate(fPoint2(100, 50));
    SetGraphicsTranslate(fPoint2(5, 7));
    EXPECT_POINT_NEAR(firstVertex(), fPoint2(115, 67), 0.01f);
    UnsetGraphicsTranslate();
    EXPECT_POINT_NEAR(firstVertex(), fPoint2(110, 60), 0.01f);
    UnsetGraphicsTranslate();
    EXPECT_POINT_NEAR(firstVertex(), fPoint2(10, 10), 0.01f);
}

TEST_F(Drawing, TextIsMeasuredAtEightUnitsPerCharacterWhateverTheFont) {
    SetType(3);
    EXPECT_EQ(fMeasureString("abc"), 24);
    SetType(2);
    EXPECT_EQ(fMeasureString("abc"), 24);
    EXPECT_EQ(fMeasureString("%d", 12345), 40);
    std::string longText(300, 'x');
    EXPECT_EQ(fMeasureString("%s", longText.c_str()), 8 * 254);
    SetType(1);
}

TEST_F(Drawing, TextDrawsOneBitmapPerCharacterFromTheBaselineStart) {
    auto& gl = GLTestContext::Get();
    auto prims = gl.Capture([] { fDrawString(fPoint2(20, 40), "%s-%d", "ab", 7); });
    ASSERT_EQ(CountKind(prims, FeedbackPrimitive::bitmap), 4);
    EXPECT_POINT_NEAR(prims[0].vertices[0], fPoint2(20, 40), 0.01f);
    // Each character advances the raster position by its own width
    EXPECT_GT(prims[1].vertices[0].x, 20);

    std::string longText(300, 'x');
    prims = gl.Capture([&] { fDrawString(5, 40, "%s", longText.c_str()); });
    EXPECT_EQ(CountKind(prims, FeedbackPrimitive::bitmap), 254);

    // Text starting outside the window is dropped whole
    prims = gl.Capture([] { fDrawString(-50, 40, "abc"); });
    EXPECT_EQ(CountKind(prims, FeedbackPrimitive::bitmap), 0);

    SetfColor(0, 0, 0);
    fDrawString(fPoint2(100, 200), "Velko");
    EXPECT_GT(gl.CountPixels(100, 185, 160, 203, RGB8{0, 0, 0}), 20);
    EXPECT_EQ(gl.CountPixels(100, 201, 160, 215, RGB8{0, 0, 0}), 0);  // nothing below baseline
}

TEST_F(Drawing, FontSelectionPersistsUntilChanged) {
    SetType(2);
    EXPECT_EQ(GetSelectedType(), GLUT_BITMAP_HELVETICA_10);
    GLTestContext::Get().BeginFrame();  // a new frame keeps the font
    EXPECT_EQ(GetSelectedType(), GLUT_BITMAP_HELVETICA_10);
    SetType(3);
    EXPECT_EQ(GetSelectedType(), GLUT_BITMAP_TIMES_ROMAN_24);
    for (int t : {0, 1, 7}) {
        SetType(3);
        SetType(t);
        EXPECT_EQ(GetSelectedType(), GLUT_BITMAP_HELVETICA_12) << t;
    }
    // Wider font, wider text on screen; measuring stays fixed
    auto& gl = GLTestContext::Get();
    auto width = [&](int type) {
        SetType(type);
        auto prims = gl.Capture([] { fDrawString(10, 50, "MMMMMM"); });
        return prims.back().vertices[0].x - prims.front().vertices[0].x;
    };
    EXPECT_LT(width(2), width(3));
    SetType(1);
}

TEST_F(Drawing, ColourBlendsAreSetWithoutBeingStored) {
    fColor::SetToBlend(fColor::white(), fColor::black(), 0.25f);
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 0.75f);
    EXPECT_FLOAT_EQ(c[2], 0.75f);
    EXPECT_EQ(fColor::white()->r, 1);
    fColor::DefaultColor();
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_EQ(c[0] + c[1] + c[2], 0);
}

}  // namespace

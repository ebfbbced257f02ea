// Pose thumbnails: fitting a pose into the square, drawing bones from the doll's skeleton
// at the pose's positions, degenerate poses, and taking part in drag and drop.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "Doll.h"
#include "DollIcon.h"
#include "DollPoseWidget.h"
#include "GLTestContext.h"
#include "graphicsUtilsGL.h"

namespace {

// A doll with joints at the given points, no roles and no bones yet
struct PlainDoll : Doll {
    explicit PlainDoll(std::initializer_list<fPoint2> pts) {
        Clear();
        for (fPoint2 p : pts) AddJoint(p);
    }
    // Captures the current joints into pose slot i
    DollPose* Capture(int i) {
        GetPose(i)->DollToPose(this);
        return GetPose(i);
    }
};

const fRect kSquare(100, 100, 190, 190);  // centre (145, 145)

// Feedback vertices come back through the projection, a hair off
fRect Grown(fRect r) {
    r.Inset(-0.01f, -0.01f);
    return r;
}

// Pixels of grey level v (0-255) along the square's top edge
int TopEdgeOfShade(int v) {
    unsigned char c = (unsigned char)v;
    return GLTestContext::Get().CountPixels(110, 98, 180, 102, RGB8{c, c, c});
}

bool IsFinite(fPoint2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

std::vector<FeedbackPrimitive> Lines(const std::vector<FeedbackPrimitive>& prims) {
    std::vector<FeedbackPrimitive> v;
    for (auto& p : prims)
        if (p.kind == FeedbackPrimitive::line) v.push_back(p);
    return v;
}

// Mapping

TEST(PoseThumbnailMapping, FitsTheBoxAtEightyPercentOfTheTighterAxisAboutTheCentre) {
    PlainDoll d({{0, 0}, {100, 0}, {100, 50}});
    DollPoseWidget w;
    w.Set(&d, d.Capture(0), kSquare);
    w.DeriveMapping();
    EXPECT_FLOAT_EQ(w.scale, 0.8f * 90 / 100);  // width is the tighter axis
    EXPECT_EQ(w.poseCenter, fPoint2(50, 25));
    EXPECT_EQ(w.PoseToWidget(fPoint2(50, 25)), fPoint2(145, 145));
    EXPECT_POINT_NEAR(w.PoseToWidget(fPoint2(0, 0)), fPoint2(145 - 36, 145 - 18), 1e-4);

    PlainDoll tall({{0, 0}, {10, 300}});
    w.Set(&tall, tall.Capture(0), kSquare);
    w.DeriveMapping();
    EXPECT_FLOAT_EQ(w.scale, 0.8f * 90 / 300);
}

TEST(PoseThumbnailMapping, APoseOnOneLineIsScaledByItsLengthAlone) {
    PlainDoll flat({{0, 20}, {200, 20}, {50, 20}});
    DollPoseWidget w;
    w.Set(&flat, flat.Capture(0), kSquare);
    w.DeriveMapping();
    EXPECT_FLOAT_EQ(w.scale, 0.8f * 90 / 200);
    EXPECT_POINT_NEAR(w.PoseToWidget(fPoint2(200, 20)), fPoint2(145 + 36, 145), 1e-4);

    PlainDoll upright({{7, 0}, {7, 45}});
    w.Set(&upright, upright.Capture(0), kSquare);
    w.DeriveMapping();
    EXPECT_FLOAT_EQ(w.scale, 0.8f * 90 / 45);
}

TEST(PoseThumbnailMapping, APoseOnOnePointLandsOnTheCentreWithFiniteNumbers) {
    PlainDoll d({{30, 40}, {30, 40}, {30, 40}});
    d.MakeEdge(0, 1);
    DollPoseWidget w;
    w.Set(&d, d.Capture(0), kSquare);
    w.DeriveMapping();
    EXPECT_TRUE(std::isfinite(w.scale));
    EXPECT_GT(w.scale, 0);
    EXPECT_EQ(w.PoseToWidget(fPoint2(30, 40)), fPoint2(145, 145));
    EXPECT_TRUE(IsFinite(w.PoseToWidget(fPoint2(1000, -1000))));
}

// Drawing

class PoseThumbnailDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        GLTestContext::Get().BeginFrame();
    }
};

TEST_F(PoseThumbnailDrawing, DrawsTheDollsBonesAtThePosesPositions) {
    PlainDoll d({{0, 0}, {0, 100}, {50, 100}, {400, 400}});
    d.MakeEdge(0, 1);
    d.MakeEdge(1, 2);
    DollPose* pose = d.Capture(0);
    // The doll moves on and grows a bone: positions come from the pose, bones from the doll
    d.joints[2].SetLoc(fPoint2(-500, -500));
    d.MakeEdge(2, 3);
    DollPoseWidget w;
    w.Set(&d, pose, kSquare);
    auto lines = Lines(GLTestContext::Get().Capture([&] { w.Render(); }));
    // The frame's four sides, then the three bones, each once
    ASSERT_EQ(lines.size(), 4u + 3u);
    w.DeriveMapping();
    fPoint2 a = w.PoseToWidget(fPoint2(0, 100)), b = w.PoseToWidget(fPoint2(50, 100));
    bool found = false;
    for (auto& l : lines) {
        if ((l.vertices[0].Dist(a) < 0.6f && l.vertices[1].Dist(b) < 0.6f) ||
            (l.vertices[0].Dist(b) < 0.6f && l.vertices[1].Dist(a) < 0.6f))
            found = true;
        for (auto& v : l.vertices) EXPECT_TRUE(Grown(kSquare).DoesContain(v)) << v.x << "," << v.y;
    }
    EXPECT_TRUE(found) << "bone 1-2 at the pose's positions";
}

TEST_F(PoseThumbnailDrawing, APoseWithoutBonesOrJointsDrawsOnlyItsFrame) {
    PlainDoll d({{0, 0}, {40, 70}});
    DollPoseWidget w;
    w.Set(&d, d.Capture(0), kSquare);
    EXPECT_EQ(Lines(GLTestContext::Get().Capture([&] { w.Render(); })).size(), 4u);

    // Empty pose: a lighter frame
    GLTestContext& gl = GLTestContext::Get();
    DollPoseWidget empty;
    empty.Set(&d, d.GetPose(5), kSquare);
    gl.BeginFrame();
    empty.Render();
    EXPECT_GE(TopEdgeOfShade(191), 70);  // 0.25 of the way to black
    gl.BeginFrame();
    w.Render();
    EXPECT_GE(TopEdgeOfShade(127) + TopEdgeOfShade(128), 70);  // 0.5 of the way
    // Without a doll or pose at all, the lighter frame too
    DollPoseWidget unset;
    unset.bounds = kSquare;
    gl.BeginFrame();
    unset.Render();
    EXPECT_GE(TopEdgeOfShade(191), 70);
}

TEST_F(PoseThumbnailDrawing, DegeneratePosesDrawFiniteVerticesInsideTheSquare) {
    PlainDoll point({{30, 40}, {30, 40}, {30, 40}});
    point.MakeEdge(0, 1);
    point.MakeEdge(1, 2);
    PlainDoll line({{0, 5}, {100, 5}, {300, 5}});
    line.MakeEdge(0, 1);
    line.MakeEdge(1, 2);
    for (PlainDoll* d : {&point, &line}) {
        DollPoseWidget w;
        w.Set(d, d->Capture(0), kSquare);
        auto prims = GLTestContext::Get().Capture([&] { w.Render(); });
        EXPECT_GE(Lines(prims).size(), 4u);
        for (auto& p : prims)
            for (auto& v : p.vertices) {
                ASSERT_TRUE(IsFinite(v));
                EXPECT_TRUE(Grown(kSquare).DoesContain(v)) << v.x << "," << v.y;
            }
    }
}

TEST_F(PoseThumbnailDrawing, AHighlightedReceptacleIsFilledLightGrayWithAWhiteFigure) {
    GLTestContext& gl = GLTestContext::Get();
    PlainDoll d({{0, 0}, {100, 0}});
    d.MakeEdge(0, 1);
    DollPoseWidget w;
    w.Set(&d, d.Capture(0), kSquare);
    w.SetDragReceiveHilight(true);
    gl.BeginFrame();
    w.Render();
    EXPECT_EQ(gl.Pixel(120, 120), (RGB8{191, 191, 191}));
    EXPECT_EQ(gl.Pixel(145, 145), (RGB8{255, 255, 255}));  // the bone, in white
    w.SetDragReceiveHilight(false);
    gl.BeginFrame();
    w.Render();
    EXPECT_EQ(gl.Pixel(120, 120), (RGB8{255, 255, 255}));
    EXPECT_NEAR(gl.Pixel(145, 145).r, 191, 1);
}

TEST_F(PoseThumbnailDrawing, TheDragGhostIsTheThumbnailShiftedOnAWhiteFace) {
    GLTestContext& gl = GLTestContext::Get();
    PlainDoll d({{0, 0}, {100, 0}});
    d.MakeEdge(0, 1);
    DollPoseWidget w;
    w.Set(&d, d.Capture(0), kSquare);
    gl.BeginFrame();
    fColor::red()->SetColor();
    fRect(0, 0, 400, 400).Paint();
    w.RenderForDrag(fPoint2(200, 50));
    EXPECT_EQ(gl.Pixel(320, 170), (RGB8{255, 255, 255}));  // face, shifted
    EXPECT_NEAR(gl.Pixel(345, 195).r, 191, 1);             // the bone at the shifted centre
    EXPECT_EQ(gl.Pixel(120, 120), (RGB8{255, 0, 0}));      // nothing where it stays
    // The translation bracket is closed again
    auto prims = gl.Capture([] { Line(fPoint2(10, 10), fPoint2(20, 10)); });
    ASSERT_EQ(prims.size(), 1u);
    EXPECT_POINT_NEAR(prims[0].vertices[0], fPoint2(10, 10), 0.6);
}

// Drag and drop

TEST(PoseThumbnailDrops, ADroppedThumbnailCopiesItsPoseAndKeepsItsOwn) {
    PlainDoll d({{0, 0}, {100, 0}, {5, 9}});
    DollPoseWidget one, six;
    one.Set(&d, d.Capture(1), kSquare);
    d.joints[2].SetLoc(fPoint2(77, 88));
    six.Set(&d, d.Capture(6), fRect(0, 0, 90, 90));
    d.poses[6].joints[0] = fPoint2(-1, -1);

    ASSERT_TRUE(six.WillReceiveDrag(&one));
    six.ReceiveDrag(&one);
    for (int j = 0; j < 3; j++) EXPECT_EQ(d.poses[6].GetJointLoc(j), d.poses[1].GetJointLoc(j));
    EXPECT_EQ(d.poses[6].GetJointLoc(2), fPoint2(5, 9));
    EXPECT_EQ(d.poses[6].GetNumJoints(), 3);
    EXPECT_EQ(d.poses[1].GetJointLoc(2), fPoint2(5, 9));
    fRect box = d.poses[6].GetBoundingBox();
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 9);
}

TEST(PoseThumbnailDrops, OnlyAnotherThumbnailOfTheSameDollIsTaken) {
    PlainDoll d({{0, 0}}), other({{3, 3}});
    DollPoseWidget a, b, foreign;
    a.Set(&d, d.Capture(0), kSquare);
    b.Set(&d, d.GetPose(1), kSquare);
    foreign.Set(&other, other.Capture(0), kSquare);
    DollIcon icon;
    EXPECT_FALSE(a.WillReceiveDrag(&a));
    EXPECT_TRUE(b.WillReceiveDrag(&a));
    EXPECT_FALSE(b.WillReceiveDrag(&foreign));
    EXPECT_FALSE(b.WillReceiveDrag(&icon));
    EXPECT_FALSE(b.WillReceiveDrag(nullptr));

    // Something else dropped on a thumbnail changes nothing
    b.ReceiveDrag(&icon);
    EXPECT_EQ(d.poses[1].GetNumJoints(), 0);
}

}  // namespace

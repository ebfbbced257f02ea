// Sketched lines on the doll: binding, mapping onto the moving bone, breathing, and the
// bookkeeping that keeps lines bound to live joints.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "SketchDoll.h"
#include "fTime.h"

namespace {

// Default skeleton joints used below: 4 hips (320, 232), 5 left knee (270, 332),
// 1 breast (320, 132), 2 left elbow (220, 182), 6 left foot (270, 432)
const int kHips = 4, kKnee = 5, kBreast = 1, kElbow = 2, kFoot = 6, kHead = 0;

class SketchLines : public ::testing::Test {
protected:
    void SetUp() override { SetTestSeconds(10); }
    void TearDown() override { ClearTestSeconds(); }

    // A line on the bone a-b holding pts, drawn in the doll's current pose
    SketchDollLine2* Line(SketchDoll& d, int a, int b, std::vector<fPoint2> pts) {
        SketchDollLine2* l = static_cast<SketchDollLine2*>(d.NewLine(a, b));
        EXPECT_NE(l, nullptr);
        for (fPoint2 p : pts) l->AddPoint(p);
        return l;
    }

    // Where the line is drawn now
    std::vector<fPoint2> Mapped(SketchDollLine* l) {
        EXPECT_TRUE(l->RunFilter());
        return std::vector<fPoint2>(l->drawBuf, l->drawBuf + l->drawBufSize);
    }
};

std::vector<SketchDollLine*> LinesOf(const SketchDoll& d) {
    std::vector<SketchDollLine*> v;
    for (gesture* g = d.lines; g; g = g->GetNext()) v.push_back(static_cast<SketchDollLine*>(g));
    return v;
}

const std::vector<fPoint2> kThighPts = {{300, 250}, {296.5f, 258.25f}, {291, 270}};

}  // namespace

TEST_F(SketchLines, ANewLineIsAGrayTwoPixelOutlineBoundToItsBoneInTheCurrentPose) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, {});
    EXPECT_EQ(d.lines, l);
    EXPECT_EQ(l->doll, &d);
    EXPECT_FALSE(l->GetIsMask());
    EXPECT_EQ(l->thickness, 2);
    EXPECT_FLOAT_EQ(l->color.r, 0.5f);
    EXPECT_FLOAT_EQ(l->color.g, 0.5f);
    EXPECT_FLOAT_EQ(l->color.b, 0.5f);
    EXPECT_FLOAT_EQ(l->createTime, 10);
    EXPECT_EQ(l->joint[0], kHips);
    EXPECT_EQ(l->joint[1], kKnee);
    EXPECT_EQ(l->jointLoc[0], fPoint2(320, 232));
    EXPECT_EQ(l->jointLoc[1], fPoint2(270, 332));
    EXPECT_FLOAT_EQ(l->jointRotate, atan2f(100, -50));

    // Newer lines go to the head
    SketchDollLine* second = d.NewLine(kBreast, kElbow);
    EXPECT_EQ(LinesOf(d), (std::vector<SketchDollLine*>{second, l}));
    EXPECT_EQ(d.GetNumLines(), 2);
}

TEST_F(SketchLines, ALineDrawnInItsOwnPoseWithBreathingAtOneLandsExactlyWhereItWasRecorded) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, kThighPts);
    // The stroke's own offset is no part of a sketched line's mapping
    l->translate = fPoint2(100, 100);
    SetTestSeconds(11);  // a quarter period after creation: mid-swing
    EXPECT_EQ(SketchDollLine2::BreathingScale(l->createTime), 1.0f);
    EXPECT_EQ(Mapped(l), kThighPts);
    // Recorded points are never touched by drawing
    EXPECT_EQ(*l->GetPoint(1), kThighPts[1]);
}

TEST_F(SketchLines, RotatingTheBoneAboutItsFirstJointRotatesTheDrawingAboutThatJoint) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, kThighPts);
    fPoint2 j0 = d.GetJoint(kHips)->loc, j1 = d.GetJoint(kKnee)->loc;
    // A quarter turn with y down: (x, y) -> (-y, x)
    auto quarter = [&](fPoint2 p) { return j0 + fPoint2(-(p - j0).y, (p - j0).x); };
    d.GetJoint(kKnee)->SetLoc(quarter(j1));
    SetTestSeconds(13);
    std::vector<fPoint2> drawn = Mapped(l);
    ASSERT_EQ(drawn.size(), kThighPts.size());
    for (size_t i = 0; i < drawn.size(); i++) {
        EXPECT_NEAR(drawn[i].x, quarter(kThighPts[i]).x, 1e-3) << i;
        EXPECT_NEAR(drawn[i].y, quarter(kThighPts[i]).y, 1e-3) << i;
    }
}

TEST_F(SketchLines, ALongerBoneDoesNotStretchTheLineAndAMovedBoneCarriesIt) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, kThighPts);
    SetTestSeconds(11);
    // Only the second joint, twice as far along the same direction
    d.GetJoint(kKnee)->SetLoc(fPoint2(220, 432));
    std::vector<fPoint2> drawn = Mapped(l);
    for (size_t i = 0; i < drawn.size(); i++) {
        EXPECT_NEAR(drawn[i].x, kThighPts[i].x, 1e-3) << i;
        EXPECT_NEAR(drawn[i].y, kThighPts[i].y, 1e-3) << i;
    }
    // Both joints shifted: the line follows its first joint
    d.GetJoint(kHips)->SetLoc(fPoint2(340, 202));
    d.GetJoint(kKnee)->SetLoc(fPoint2(290, 302));
    drawn = Mapped(l);
    for (size_t i = 0; i < drawn.size(); i++) {
        EXPECT_NEAR(drawn[i].x, kThighPts[i].x + 20, 1e-3) << i;
        EXPECT_NEAR(drawn[i].y, kThighPts[i].y - 30, 1e-3) << i;
    }
}

TEST_F(SketchLines, ALineBreathesAboutItsFirstJointBetweenNinetyEightAndOneHundredTwoPercent) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, {{320, 332}});  // 100 below the hips
    struct {
        float t, scale;
    } swing[] = {{10, 0.98f}, {11, 1.0f}, {12, 1.02f}, {13, 1.0f}, {14, 0.98f}, {16, 1.02f}};
    for (auto s : swing) {
        SetTestSeconds(s.t);
        fPoint2 p = Mapped(l)[0];
        EXPECT_NEAR(p.x, 320, 1e-3) << "at " << s.t;
        EXPECT_NEAR(p.y, 232 + 100 * s.scale, 1e-3) << "at " << s.t;
    }
}

TEST_F(SketchLines, TwoLinesCreatedTwoSecondsApartBreatheInOppositePhase) {
    SketchDoll d;
    SketchDollLine2* early = Line(d, kHips, kKnee, {{320, 332}});
    SetTestSeconds(12);
    SketchDollLine2* late = Line(d, kHips, kKnee, {{320, 332}});
    for (float t = 12; t <= 20; t += 0.25f) {
        SetTestSeconds(t);
        float a = SketchDollLine2::BreathingScale(early->createTime);
        float b = SketchDollLine2::BreathingScale(late->createTime);
        EXPECT_NEAR(a + b, 2.0f, 1e-6) << "at " << t;
        // The drawn offsets from the hips mirror each other about 100
        EXPECT_NEAR((Mapped(early)[0].y - 232) + (Mapped(late)[0].y - 232), 200, 1e-3);
    }
    SetTestSeconds(12);
    EXPECT_FLOAT_EQ(SketchDollLine2::BreathingScale(early->createTime), 1.02f);
    EXPECT_FLOAT_EQ(SketchDollLine2::BreathingScale(late->createTime), 0.98f);
}

TEST_F(SketchLines, TheOnePassMappingAgreesWithTheStepwisePolarRotation) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-500, 1500), turn(-7, 7), scale(0.98f, 1.02f);
    float worst = 0;
    for (int round = 0; round < 200; round++) {
        std::vector<fPoint2> a(64);
        for (fPoint2& p : a) p = fPoint2(coord(rng), coord(rng));
        fPoint2 from(coord(rng), coord(rng)), to(coord(rng), coord(rng));
        float t = turn(rng), s = scale(rng);
        std::vector<fPoint2> b = a;
        SketchDollLine2::MapPoints(a.data(), (int)a.size(), from, to, t, s);
        SketchDollLine2::MapPointsPolar(b.data(), (int)b.size(), from, to, t, s);
        for (size_t i = 0; i < a.size(); i++) worst = std::max(worst, a[i].Dist(b[i]));
    }
    // Coordinates up to ~2000 carry float steps of 1.2e-4; the two differ by a few steps
    EXPECT_LT(worst, 2e-3f);
    // A zero turn and unit scale is an exact translation in the one-pass mapping
    fPoint2 p(296.5f, 258.25f);
    SketchDollLine2::MapPoints(&p, 1, fPoint2(320, 232), fPoint2(340, 202), 0, 1);
    EXPECT_EQ(p, fPoint2(316.5f, 228.25f));
}

TEST_F(SketchLines, ALineIsOnItsBoneInEitherOrderAndReferencesOnlyItsTwoJoints) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, {});
    EXPECT_TRUE(l->GetIsOnEdge(kHips, kKnee));
    EXPECT_TRUE(l->GetIsOnEdge(kKnee, kHips));
    EXPECT_FALSE(l->GetIsOnEdge(kHips, kHips));
    EXPECT_FALSE(l->GetIsOnEdge(kKnee, kFoot));
    EXPECT_TRUE(l->GetDoesReferenceJoint(kHips));
    EXPECT_TRUE(l->GetDoesReferenceJoint(kKnee));
    EXPECT_FALSE(l->GetDoesReferenceJoint(kFoot));
    EXPECT_FALSE(l->GetDoesReferenceJoint(-1));
}

TEST_F(SketchLines, DeletingAJointDeletesExactlyTheLinesBoundToIt) {
    SketchDoll d;
    SketchDollLine* breast = Line(d, kBreast, kElbow, {{300, 140}});
    Line(d, kHips, kKnee, {{300, 250}});
    SketchDollLine* torso = Line(d, kBreast, kHips, {{320, 180}});
    Line(d, kKnee, kFoot, {{270, 380}});
    d.DeleteJoint(kKnee);
    EXPECT_EQ(LinesOf(d), (std::vector<SketchDollLine*>{torso, breast}));
    // The list stays well linked: the survivors still unlink cleanly
    delete torso;
    EXPECT_EQ(LinesOf(d), (std::vector<SketchDollLine*>{breast}));
    EXPECT_EQ(breast->prev, &d.lines);
}

TEST_F(SketchLines, CompactingJointIndicesKeepsLinesOnTheSameJoints) {
    SketchDoll d;
    Line(d, kHead, kBreast, {{320, 100}});
    SketchDollLine2* thigh = Line(d, kHips, kKnee, kThighPts);
    SetTestSeconds(11);
    std::vector<fPoint2> before = Mapped(thigh);
    d.DeleteJoint(kHead);
    EXPECT_EQ(LinesOf(d), (std::vector<SketchDollLine*>{thigh}));
    d.CompactJointIndices();
    EXPECT_EQ(thigh->joint[0], kHips - 1);
    EXPECT_EQ(thigh->joint[1], kKnee - 1);
    EXPECT_EQ(Mapped(thigh), before);
}

TEST_F(SketchLines, ResetAndClearLeaveTheDollWithoutLines) {
    SketchDoll d;
    Line(d, kHips, kKnee, kThighPts);
    Line(d, kBreast, kElbow, kThighPts)->SetIsMask(true);
    d.Reset();
    EXPECT_EQ(d.lines, nullptr);
    EXPECT_EQ(d.GetNumJoints(), 11);
    Line(d, kHips, kKnee, kThighPts);
    d.Clear();
    EXPECT_EQ(d.lines, nullptr);
    EXPECT_EQ(d.GetNumJoints(), 0);
    // Lines left in a doll are freed with it (the leak checker watches this one)
    SketchDoll* other = new SketchDoll;
    Line(*other, kHips, kKnee, kThighPts);
    delete other;
}

TEST_F(SketchLines, LinesArePickedWhereTheyWereLastDrawn) {
    SketchDoll d;
    SketchDollLine2* l = Line(d, kHips, kKnee, kThighPts);
    SketchDollLine2* other = Line(d, kBreast, kElbow, {{300, 140}, {250, 170}});
    // Never drawn: picked on its recorded points, radius inclusive
    EXPECT_EQ(d.PickLine(fPoint2(304, 250), 4.0f), l);
    EXPECT_EQ(d.PickLine(fPoint2(304.01f, 250), 4.0f), nullptr);
    EXPECT_EQ(d.PickLine(fPoint2(251, 170), 4.0f), other);
    // Between two points 58 apart, on the segment that joins them
    EXPECT_EQ(d.PickLine(fPoint2(275, 155), 4.0f), other);
    // Translate the doll and draw: the old place no longer hits
    SetTestSeconds(11);
    d.Translate(fPoint2(0, 50));
    Mapped(l);
    EXPECT_EQ(d.PickLine(fPoint2(300, 250), 4.0f), nullptr);
    EXPECT_EQ(d.PickLine(fPoint2(300, 300), 4.0f), l);
}

TEST(SketchLineDeathTest, ALineNeedsADollAndAllocatedJoints) {
    SketchDoll d;
    EXPECT_DEATH(SketchDollLine2(nullptr, kHips, kKnee), "Assertion failed: d, file .*SketchDoll");
    d.DeleteJoint(kKnee);
    EXPECT_DEATH(d.NewLine(kHips, kKnee), "Assertion failed: jointAllocTable\\[i\\], file .*Doll");
}

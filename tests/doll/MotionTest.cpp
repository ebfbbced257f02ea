// Motion: relaxation and inertia, seeking a pose and its end, user drag and deform, bounds.
#include <gtest/gtest.h>

#include <cmath>

#include "TestDolls.h"

namespace {
// Every joint location of d, slot by slot
std::vector<fPoint2> Locations(const Doll& d) {
    std::vector<fPoint2> v;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (d.GetIsValidJoint(i)) v.push_back(d.GetJoint(i)->loc);
    return v;
}
}  // namespace

TEST(Relaxation, InertiaIsSpentAndHalvedEveryTick) {
    EmptyDoll d({{0, 0}});
    d.GetJoint(0)->inertia = fPoint2(4, 0);
    d.Update();
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(4, 0));
    d.Update();
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(6, 0));
    d.Update();
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(7, 0));
    EXPECT_EQ(d.GetJoint(0)->inertia, fPoint2(0.5f, 0));
}

TEST(Relaxation, AShortBonePushesItsJointsApartByPointFortyTwo) {
    EmptyDoll d({{0, 0}, {12, 0}});
    d.MakeEdge(0, 1);
    d.GetJoint(1)->SetLoc(fPoint2(10, 0));
    d.UpdateIK();
    EXPECT_NEAR(d.GetJoint(0)->inertia.x, -0.42f, 1e-6);
    EXPECT_NEAR(d.GetJoint(1)->inertia.x, 0.42f, 1e-6);
    EXPECT_EQ(d.GetJoint(0)->inertia.y, 0);
    d.UpdateIK();
    EXPECT_NEAR(d.GetJoint(0)->loc.x, -0.42f, 1e-6);
    EXPECT_NEAR(d.GetJoint(1)->loc.x, 10.42f, 1e-6);
}

TEST(Relaxation, AJointWithManyBonesTakesTheirPullsScaledToEightBonesWorth) {
    // A hub with twelve spokes, all stretched by 10: each pulls the hub by 0.3 * 0.7 * 10
    EmptyDoll d;
    for (int k = 0; k <= 12; k++) d.AddJoint(fPoint2(0, 0));
    for (int k = 1; k <= 12; k++) {
        d.GetJoint(k)->SetLoc(fPoint2(10, 0));
        d.MakeEdge(0, k);  // rest length 10
        d.GetJoint(k)->SetLoc(fPoint2(20, 0));
    }
    d.GetJoint(0)->Update(0, &d);
    EXPECT_NEAR(d.GetJoint(0)->inertia.x, 0.21f * 10 * 8, 1e-4);
}

TEST(Relaxation, AFullyLinkedSkeletonSettlesInsteadOfFlyingApart) {
    // Every one of 32 joints linked to every other, then dragged: without the cap on pulls
    // the locations overflow to infinity within thirty ticks
    EmptyDoll d;
    for (int i = 0; i < kDollMaxJoints; i++)
        d.AddJoint(fPoint2(100 + (i * 37) % 600, 50 + (i * 53) % 380));
    for (int i = 0; i < kDollMaxJoints; i++)
        for (int j = i + 1; j < kDollMaxJoints; j++) d.MakeEdge(i, j);
    d.UserMoveJoint(d.GetJoint(0), fPoint2(60, 0));
    for (int t = 0; t < 300; t++) d.Update();
    for (fPoint2 p : Locations(d)) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        EXPECT_LT(std::fabs(p.x), 2000);
    }
    for (int i = 0; i < kDollMaxJoints; i++) EXPECT_LT(d.GetJoint(i)->inertia.GetLength(), 0.01f);
}

TEST(Relaxation, DenseSkeletonsDraggedSlowlyFollowTheHand) {
    // Skeletons a person can link in the editor, on a line (where the bones' pulls add up
    // most) or gathered at one point, dragged by joint 0 a little further every tick. Before
    // each bone's two ends shared a bounded pull, the fully linked eight flew millions of
    // units away within thirty ticks and the next drag never returned.
    const struct {
        const char* name;
        int joints;
        float spacing;  // along x, world units
        bool twoRows;   // link only joints of different parity (each to half the others)
        bool gathered;  // every joint moved to one point once the bones are measured
    } cases[] = {
        {"eight on a line, all linked", 8, 30, false, false},
        {"thirty-two on a line, all linked", 32, 12, false, false},
        {"eight on a line, four linked to four", 8, 30, true, false},
        {"thirty-two half a unit apart, all linked", 32, 0.5f, false, false},
        {"thirty-two gathered at one point, all linked", 32, 20, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EmptyDoll d;
        for (int i = 0; i < c.joints; i++) d.AddJoint(fPoint2(300 + c.spacing * i, 240));
        for (int i = 0; i < c.joints; i++)
            for (int j = i + 1; j < c.joints; j++)
                if (!c.twoRows || (i + j) % 2 == 1) d.MakeEdge(i, j);
        if (c.gathered)
            for (int i = 0; i < c.joints; i++) d.GetJoint(i)->SetLoc(fPoint2(300, 240));
        const std::vector<fPoint2> start = Locations(d);
        fPoint2 hand = d.GetJoint(0)->loc;
        for (int t = 0; t < 300; t++) {
            hand = hand + fPoint2(0.3f, 1.0f);  // 313 units in all
            d.UserMoveJointTowards(d.GetJoint(0), hand);
            d.Update();
            const std::vector<fPoint2> now = Locations(d);
            for (size_t i = 0; i < now.size(); i++)
                ASSERT_LT(now[i].Dist(start[i]), 2000) << "tick " << t << ", joint " << i;
        }
        EXPECT_LT(d.GetJoint(0)->loc.Dist(hand), 100);
    }
}

TEST(UserDrag, AnyDeltaEndsInACountedNumberOfStepsWithinTheDocument) {
    // Past 2^26 units a step of 2.0 no longer shortens what remains of a float distance
    Doll d;
    d.UserMoveJoint(d.GetJoint(3), fPoint2(1e30f, -3e38f));
    const float kMax = Doll::kMaxDocumentCoordinate;
    EXPECT_GT(d.GetJoint(3)->loc.x, 1e5f);  // far along the delta, the skeleton trailing
    EXPECT_LT(d.GetJoint(3)->loc.y, -1e5f);
    for (int t = 0; t < 100; t++) d.Update();
    for (fPoint2 p : Locations(d)) {
        EXPECT_LE(std::fabs(p.x), kMax);
        EXPECT_LE(std::fabs(p.y), kMax);
    }
    // Deltas that are not numbers or not finite move nothing
    const std::vector<fPoint2> before = Locations(d);
    d.UserMoveJoint(d.GetJoint(3), fPoint2(NAN, 0));
    d.UserMoveJoint(d.GetJoint(3), fPoint2(INFINITY, 0));
    d.UserDeformJoint(d.GetJoint(3), fPoint2(0, -INFINITY));
    EXPECT_EQ(Locations(d), before);
}

TEST(Relaxation, JointsAreUpdatedInSlotOrderSeeingTheirLowerNeighboursMoved) {
    // Joint 0 carries inertia: joint 1 already pulls towards where joint 0 went
    EmptyDoll d({{0, 0}, {10, 0}});
    d.MakeEdge(0, 1);
    d.GetJoint(0)->inertia = fPoint2(-2, 0);
    d.UpdateIK();
    // Joint 0 moves before it measures; joint 1 then measures 12 against its rest 10 (had it
    // seen joint 0's old place it would have felt no force)
    EXPECT_NEAR(d.GetJoint(1)->inertia.x, 0.3f * 0.7f * -2, 1e-6);
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(-2, 0));
}

TEST(Relaxation, ImpulseIsZeroForCoincidentJoints) {
    DollJoint j;
    j.SetLoc(fPoint2(3, 3));
    EXPECT_EQ(j.ImpulseTo(fPoint2(3, 3), 10), fPoint2(0, 0));
    fPoint2 i = j.ImpulseTo(fPoint2(3, 13), 4);
    EXPECT_NEAR(i.y, 0.7f * 6, 1e-5);
    j.AddInertia(fPoint2(10, -10));
    EXPECT_EQ(j.inertia, fPoint2(3, -3));
}

TEST(Relaxation, ALockedJointKeepsItsInertiaMoveButTakesNoBoneForce) {
    EmptyDoll d({{0, 0}, {10, 0}});
    d.MakeEdge(0, 1);
    d.GetJoint(1)->SetLoc(fPoint2(20, 0));
    d.GetJoint(0)->SetLock(true);
    d.GetJoint(0)->inertia = fPoint2(0, 2);
    d.UpdateIK();
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(0, 2));
    EXPECT_EQ(d.GetJoint(0)->inertia, fPoint2(0, 1));
    EXPECT_LT(d.GetJoint(1)->inertia.x, 0);  // its neighbour is still pulled
}

TEST(Relaxation, RotationFollowsTheJointItIsMeasuredAgainst) {
    EmptyDoll d({{0, 0}, {0, 10}});
    d.GetJoint(0)->SetRotateRelativeToJoint(1);
    d.UpdateIK();
    EXPECT_FLOAT_EQ(d.GetJoint(0)->rotate, 1.5707964f);
    d.DeleteJoint(1);
    EXPECT_EQ(d.GetJoint(0)->GetRotateRelativeToJoint(), -1);
}

TEST(Seeking, ADollMovesIntoAPoseAndTheSeekEnds) {
    Doll d;
    d.Translate(fPoint2(-80, 30));
    d.poses[1].DollToPose(&d);
    d.Translate(fPoint2(80, -30));
    d.GoToPose(1, false);
    for (int t = 0; t < 400 && d.seekPose; t++) d.Update();
    EXPECT_EQ(d.seekPose, nullptr);
    for (int i = 0; i < 11; i++)
        EXPECT_LT(d.GetJoint(i)->loc.Dist(d.poses[1].GetJointLoc(i)), 3.0f);
}

TEST(Seeking, OneJointPullRunsARelaxationPassUnlessArrivedOrLocked) {
    EmptyDoll d({{0, 0}, {50, 0}});
    d.GetJoint(1)->inertia = fPoint2(0, 4);
    // Arrived: nothing changes, not even the other joint
    EXPECT_TRUE(d.JointSeekLoc(d.GetJoint(0), fPoint2(2.9f, 0)));
    EXPECT_EQ(d.GetJoint(1)->loc, fPoint2(50, 0));
    // Locked and away: no pull, no pass
    d.GetJoint(0)->SetLock(true);
    EXPECT_FALSE(d.JointSeekLoc(d.GetJoint(0), fPoint2(100, 0)));
    EXPECT_EQ(d.GetJoint(0)->inertia, fPoint2(0, 0));
    EXPECT_EQ(d.GetJoint(1)->loc, fPoint2(50, 0));
    // Free and away: 0.21 of the distance becomes impulse, then one pass
    d.GetJoint(0)->SetLock(false);
    EXPECT_FALSE(d.JointSeekLoc(d.GetJoint(0), fPoint2(100, 0)));
    EXPECT_NEAR(d.GetJoint(0)->loc.x, 0.3f * 0.21f * 100, 1e-4);
    EXPECT_EQ(d.GetJoint(1)->loc, fPoint2(50, 4));
}

TEST(Seeking, ALockedSeekHoldsTheDollInThePose) {
    Doll d;
    d.Translate(fPoint2(40, 0));
    d.poses[0].DollToPose(&d);
    d.Translate(fPoint2(-40, 0));
    d.GoToPose(0, true);
    for (int t = 0; t < 300; t++) d.Update();
    EXPECT_EQ(d.GetSeekPose(), 0);
    d.UserMoveJoint(d.GetJoint(6), fPoint2(0, -60));
    for (int t = 0; t < 300; t++) d.Update();
    EXPECT_LT(d.GetJoint(6)->loc.Dist(d.poses[0].GetJointLoc(6)), 3.0f);
    EXPECT_EQ(d.GetSeekPose(), 0);
}

TEST(Seeking, APoseOfAnotherJointCountEndsTheSeekWithoutMovingTheDoll) {
    Doll d;
    d.Translate(fPoint2(100, 0));
    d.poses[3].DollToPose(&d);
    d.Translate(fPoint2(-100, 0));
    d.poses[3].njoints = 5;
    std::vector<fPoint2> before = Locations(d);
    EXPECT_TRUE(d.SeekPose(&d.poses[3]));
    EXPECT_TRUE(d.SeekPose(nullptr));
    d.SetEditPose(3);
    d.Update();
    EXPECT_EQ(d.seekPose, nullptr);
    EXPECT_EQ(d.GetEditPose(), 3);
    EXPECT_EQ(Locations(d), before);
}

TEST(Seeking, APoseMissingOneOfTheDollsSlotsDoesNotFitEither) {
    EmptyDoll d({{0, 0}, {10, 0}, {20, 0}});
    DollPose p;
    p.joints[0] = fPoint2(100, 0);
    p.joints[1] = fPoint2(100, 10);
    p.joints[5] = fPoint2(100, 20);
    p.jointAllocTable[0] = p.jointAllocTable[1] = p.jointAllocTable[5] = true;
    p.njoints = 3;
    EXPECT_TRUE(d.SeekPose(&p));
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(0, 0));
}

TEST(Seeking, ALockedJointAwayFromItsTargetKeepsTheSeekGoing) {
    Doll d;
    d.Translate(fPoint2(50, 0));
    d.poses[2].DollToPose(&d);
    d.Translate(fPoint2(-50, 0));
    d.GetJoint(3)->SetLock(true);
    fPoint2 hand = d.GetJoint(3)->loc;
    d.GoToPose(2, false);
    for (int t = 0; t < 300; t++) d.Update();
    EXPECT_EQ(d.GetSeekPose(), 2);
    EXPECT_EQ(d.GetJoint(3)->loc, hand);
}

TEST(Seeking, ALockedJointAlreadyNearItsTargetCountsAsArrived) {
    EmptyDoll d({{0, 0}, {10, 0}});
    d.poses[0].DollToPose(&d);
    d.poses[0].joints[0] = fPoint2(2, 0);
    d.poses[0].joints[1] = fPoint2(30, 0);
    d.GetJoint(0)->SetLock(true);
    d.GoToPose(0, false);
    for (int t = 0; t < 100 && d.seekPose; t++) d.Update();
    EXPECT_EQ(d.seekPose, nullptr);
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(0, 0));
}

TEST(UserDrag, MovesTheJointExactlyByDeltaInStepsOfTwoTwoAndOne) {
    EmptyDoll lone({{0, 0}});
    lone.UserMoveJoint(lone.GetJoint(0), fPoint2(5, 0));
    EXPECT_EQ(lone.GetJoint(0)->loc, fPoint2(5, 0));

    // The same drag done by hand with a relaxation pass after each step
    Doll dragged, byHand;
    dragged.UserMoveJoint(dragged.GetJoint(3), fPoint2(5, 0));
    for (float step : {2.0f, 2.0f, 1.0f}) {
        byHand.GetJoint(3)->Move(fPoint2(step, 0));
        byHand.UpdateIK();
    }
    EXPECT_EQ(Locations(dragged), Locations(byHand));
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(dragged.GetJoint(i)->inertia, byHand.GetJoint(i)->inertia);

    // Not the same as one big step
    Doll oneStep;
    oneStep.GetJoint(3)->Move(fPoint2(5, 0));
    oneStep.UpdateIK();
    EXPECT_NE(Locations(dragged), Locations(oneStep));
}

TEST(UserDrag, TheSkeletonFollowsButKeepsItsRestLengthsAndPoses) {
    Doll d;
    d.poses[7].DollToPose(&d);
    fPoint2 elbow = d.GetJoint(2)->loc;
    float rest = d.edges[2][3];
    d.UserMoveJointTowards(d.GetJoint(3), d.GetJoint(3)->loc + fPoint2(-40, 0));
    fPoint2 hand = d.GetJoint(3)->loc;
    EXPECT_LT(hand.x, 190);
    // The elbow has followed the hand
    EXPECT_LT(d.GetJoint(2)->loc.Dist(hand), elbow.Dist(hand));
    EXPECT_EQ(d.edges[2][3], rest);
    EXPECT_EQ(d.poses[7].GetNumJoints(), 11);
    d.UserMoveJoint(d.GetJoint(3), fPoint2(0, 0));  // nothing to do
}

TEST(UserDeform, MovesOneJointAndRemeasuresItsBones) {
    Doll d;
    d.poses[7].DollToPose(&d);
    fPoint2 elbow = d.GetJoint(2)->loc;
    d.GetJoint(3)->inertia = fPoint2(1, 1);
    d.UserDeformJoint(d.GetJoint(3), fPoint2(-30, 40));
    EXPECT_EQ(d.GetJoint(3)->loc, fPoint2(190, 322));
    EXPECT_EQ(d.GetJoint(3)->inertia, fPoint2(0, 0));
    EXPECT_EQ(d.GetJoint(2)->loc, elbow);
    EXPECT_FLOAT_EQ(d.edges[2][3], elbow.Dist(fPoint2(190, 322)));
    EXPECT_EQ(d.edges[3][2], d.edges[2][3]);
    EXPECT_EQ(d.poses[7].GetNumJoints(), 11);  // kept, as posed before
    EXPECT_EQ(d.poses[7].GetJointLoc(3), fPoint2(220, 282));
    EXPECT_EQ(d.homePose.GetJointLoc(3), fPoint2(190, 322));
    // At its new rest length the skeleton stays put
    std::vector<fPoint2> before = Locations(d);
    d.Update();
    EXPECT_EQ(Locations(d), before);
}

TEST(UserDeform, AZeroDeltaChangesNothing) {
    Doll d;
    d.poses[7].DollToPose(&d);
    d.UserDeformJoint(d.GetJoint(3), fPoint2(0, 0));
    EXPECT_EQ(d.poses[7].GetNumJoints(), 11);
}

TEST(Bounds, SpanTheJointsAndTheCentreIsTheirMean) {
    Doll d;
    fRect r;
    ASSERT_TRUE(d.GetBounds(&r));
    EXPECT_EQ(r.left, 220);
    EXPECT_EQ(r.right, 420);
    EXPECT_FLOAT_EQ(r.top, 65.333333f);
    EXPECT_EQ(r.bottom, 432);
    EmptyDoll three({{0, 0}, {30, 0}, {0, 60}});
    EXPECT_EQ(three.GetCenter(), fPoint2(10, 20));
}

TEST(Bounds, ARectangleHoldingAnyJointKeepsTheDollFromGoingHome) {
    EmptyDoll d({{100, 100}, {900, 100}});
    EXPECT_TRUE(d.GetAreAllJointsOutOfRect(fRect(0, 0, 800, 480)));
    EXPECT_TRUE(d.GetAreAllJointsOutOfRect(fRect(0, 0, 100, 100)));  // edges count
    EXPECT_FALSE(d.GetAreAllJointsOutOfRect(fRect(200, 200, 800, 480)));
    EmptyDoll none;
    EXPECT_FALSE(none.GetAreAllJointsOutOfRect(fRect(0, 0, 800, 480)));
}

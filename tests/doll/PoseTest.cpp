// Poses: capture, copy, bounding boxes, renumbering, and the doll's pose slots.
#include <gtest/gtest.h>

#include "TestDolls.h"

TEST(PoseCapture, MarksExactlyTheAllocatedSlotsAcrossAGap) {
    EmptyDoll d({{10, 10}, {20, 5}, {1000, 1000}, {30, 40}});
    d.DeleteJoint(2);
    DollPose p;
    p.joints[2] = fPoint2(-500, -500);  // an old location in the gap
    p.DollToPose(&d);
    EXPECT_TRUE(p.PeekAtJointAlloc(0));
    EXPECT_TRUE(p.PeekAtJointAlloc(1));
    EXPECT_FALSE(p.PeekAtJointAlloc(2));
    EXPECT_TRUE(p.PeekAtJointAlloc(3));
    EXPECT_FALSE(p.PeekAtJointAlloc(4));
    EXPECT_EQ(p.GetNumJoints(), 3);
    EXPECT_EQ(p.joints[2], fPoint2(-500, -500));
    EXPECT_EQ(p.GetJointLoc(3), fPoint2(30, 40));
    fRect b = p.GetBoundingBox();
    EXPECT_FALSE(p.boundingBoxEmpty);
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.top, 5);
    EXPECT_EQ(b.right, 30);
    EXPECT_EQ(b.bottom, 40);

    int i = 0;
    std::vector<int> slots;
    for (int s; (s = p.GetNextJoint(&i)) != -1;) slots.push_back(s);
    EXPECT_EQ(slots, (std::vector<int>{0, 1, 3}));
}

TEST(PoseCapture, TheBoxIgnoresTheLocationOfAnUnmarkedSlot) {
    DollPose p;
    p.joints[0] = fPoint2(-100, -100);
    p.joints[1] = fPoint2(5, 6);
    p.joints[2] = fPoint2(7, 9);
    p.jointAllocTable[1] = p.jointAllocTable[2] = true;
    p.njoints = 2;
    EXPECT_TRUE(p.DeriveBoundingBox());
    EXPECT_EQ(p.GetBoundingBox().left, 5);
    EXPECT_EQ(p.GetBoundingBox().top, 6);
    EXPECT_EQ(p.GetBoundingBox().right, 7);
    EXPECT_EQ(p.GetBoundingBox().bottom, 9);
}

TEST(PoseCapture, AnEmptyPoseHasNoBoxAndKeepsTheOldOne) {
    DollPose p;
    EXPECT_EQ(p.GetNumJoints(), 0);
    EXPECT_FALSE(p.DeriveBoundingBox());
    EXPECT_TRUE(p.boundingBoxEmpty);

    Doll d;
    p.DollToPose(&d);
    fRect before = p.GetBoundingBox();
    p.Clear();
    EXPECT_EQ(p.GetNumJoints(), 0);
    EXPECT_FALSE(p.PeekAtJointAlloc(0));
    EXPECT_FALSE(p.DeriveBoundingBox());
    EXPECT_TRUE(p.boundingBoxEmpty);
    EXPECT_EQ(p.GetBoundingBox().left, before.left);
    EXPECT_EQ(p.GetBoundingBox().bottom, before.bottom);
}

TEST(PoseCopy, CopiesLocationsMarksAndCountAndDerivesTheBox) {
    Doll d;
    DollPose a, b;
    a.DollToPose(&d);
    b.joints[20] = fPoint2(1, 1);
    b.jointAllocTable[20] = true;
    b.CopyPose(&a);
    EXPECT_EQ(b.GetNumJoints(), 11);
    EXPECT_FALSE(b.PeekAtJointAlloc(20));
    for (int i = 0; i < 11; i++) EXPECT_EQ(b.GetJointLoc(i), d.GetJoint(i)->loc);
    EXPECT_EQ(b.GetBoundingBox().left, 220);
    EXPECT_EQ(b.GetBoundingBox().right, 420);
    EXPECT_FLOAT_EQ(b.GetBoundingBox().top, 65.333333f);
    EXPECT_EQ(b.GetBoundingBox().bottom, 432);
}

TEST(PoseRenumbering, MovesASlotsLocationAndMark) {
    DollPose p;
    p.joints[5] = fPoint2(50, 55);
    p.jointAllocTable[5] = true;
    p.njoints = 1;
    p.NotifyJointIndexChanged(5, 3);
    EXPECT_TRUE(p.PeekAtJointAlloc(3));
    EXPECT_EQ(p.GetJointLoc(3), fPoint2(50, 55));
    EXPECT_FALSE(p.PeekAtJointAlloc(5));
    EXPECT_EQ(p.GetNumJoints(), 1);
    p.NotifyJointIndexChanged(3, 3);
    EXPECT_TRUE(p.PeekAtJointAlloc(3));
}

TEST(PoseRenumberingDeathTest, IndicesOutOfRangeStop) {
    DollPose p;
    EXPECT_DEATH(p.NotifyJointIndexChanged(32, 0), "from >= 0 && from < kMaxJoints");
    EXPECT_DEATH(p.NotifyJointIndexChanged(0, -1), "to >= 0 && to < kMaxJoints");
    EXPECT_DEATH(p.GetJointLoc(4), "jointAllocTable\\[i\\]");
}

TEST(PoseSlots, GoToPoseSeeksWithoutTouchingTheEditPose) {
    Doll d;
    d.editPose = &d.poses[1];
    d.GoToPose(6, true);
    EXPECT_EQ(d.GetSeekPose(), 6);
    EXPECT_TRUE(d.lockSeek);
    EXPECT_EQ(d.editPoseAfterSeek, nullptr);
    EXPECT_EQ(d.GetEditPose(), 1);
}

TEST(PoseSlots, GoingHomeIsNotAStoredPose) {
    Doll d;
    d.GoToPose(2, true);
    d.GoToHomePose();
    EXPECT_EQ(d.seekPose, &d.homePose);
    EXPECT_EQ(d.GetSeekPose(), -1);
    EXPECT_FALSE(d.lockSeek);
}

TEST(PoseSlots, EditingAPoseFirstMovesIntoItThenRecords) {
    Doll d;
    // Pose 2: the doll 60 units to the right
    d.Translate(fPoint2(60, 0));
    d.poses[2].DollToPose(&d);
    d.Translate(fPoint2(-60, 0));

    d.SetEditPose(2);
    EXPECT_EQ(d.GetSeekPose(), 2);
    EXPECT_EQ(d.GetEditPose(), -1);
    EXPECT_FALSE(d.lockSeek);
    int ticks = 0;
    while (d.GetEditPose() == -1 && ticks < 500) {
        d.Update();
        ticks++;
    }
    EXPECT_GT(ticks, 1);
    EXPECT_LT(ticks, 500);
    EXPECT_EQ(d.GetEditPose(), 2);
    EXPECT_EQ(d.GetSeekPose(), -1);
    EXPECT_EQ(d.editPoseAfterSeek, &d.poses[2]);
    for (int i = 0; i < 11; i++) EXPECT_EQ(d.poses[2].GetJointLoc(i), d.GetJoint(i)->loc);

    // Recording: the pose follows what the user does to the doll
    d.UserMoveJoint(d.GetJoint(3), fPoint2(0, -40));
    d.Update();
    EXPECT_EQ(d.poses[2].GetJointLoc(3), d.GetJoint(3)->loc);

    // Stopping leaves a running move alone
    d.GoToHomePose();
    d.SetEditPose(-1);
    EXPECT_EQ(d.GetEditPose(), -1);
    EXPECT_EQ(d.editPoseAfterSeek, nullptr);
    EXPECT_EQ(d.seekPose, &d.homePose);
}

TEST(PoseSlots, SkeletonChangesKeepThePosesAndRecaptureEditAndHome) {
    Doll d;
    d.poses[0].DollToPose(&d);
    d.poses[4].DollToPose(&d);
    d.editPose = &d.poses[4];
    const fPoint2 head = d.GetJoint(0)->loc;
    d.UserDeformJoint(d.GetJoint(0), fPoint2(0, -10));
    EXPECT_EQ(d.poses[0].GetNumJoints(), 11);
    EXPECT_EQ(d.poses[0].GetJointLoc(0), head);
    EXPECT_EQ(d.poses[4].GetNumJoints(), 11);
    EXPECT_EQ(d.poses[4].GetJointLoc(0), d.GetJoint(0)->loc);
    EXPECT_EQ(d.homePose.GetJointLoc(0), d.GetJoint(0)->loc);
}

TEST(PoseSlots, AnAddedJointGoesHomeToWhereItWasAdded) {
    Doll d;
    d.editPose = &d.poses[3];
    ASSERT_TRUE(d.AddJoint(fPoint2(500, 300)));  // slot 11, unused until now: (0, 0)
    DollJoint* j = d.GetJoint(11);
    EXPECT_EQ(d.homePose.GetJointLoc(11), fPoint2(500, 300));
    EXPECT_EQ(d.poses[3].GetJointLoc(11), fPoint2(500, 300));  // recorded as placed
    d.editPose = nullptr;

    d.UserMoveJoint(j, fPoint2(-150, 90));
    ASSERT_GT(j->loc.Dist(fPoint2(500, 300)), 100);
    d.GoToHomePose();
    for (int t = 0; t < 400 && d.seekPose; t++) d.Update();
    EXPECT_EQ(d.seekPose, nullptr);
    EXPECT_LT(j->loc.Dist(fPoint2(500, 300)), 3.0f);  // the arrival distance
}

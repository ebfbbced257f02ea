// The skeleton: the default doll, joint slots, bones, the draw list, compaction, picking
// and the checked entry points callers use for indices from outside.
#include <gtest/gtest.h>

#include "TestDolls.h"

namespace {
// Default skeleton after the shift, slot by slot: location and role
struct Expected {
    float x, y;
    int role;
};
const Expected kDefault[11] = {
    {320, 65.333333f, 0}, {320, 132, 1},  {220, 182, 9}, {220, 282, 5},
    {320, 232, 2},        {270, 332, 7},  {270, 432, 3}, {370, 332, 8},
    {370, 432, 4},        {420, 182, 10}, {420, 282, 6},
};
}  // namespace

TEST(DefaultSkeleton, HasElevenJointsWithTheirRolesAtTheShiftedLocations) {
    Doll d;
    EXPECT_EQ(d.GetNumJoints(), 11);
    for (int i = 0; i < 11; i++) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(d.GetIsValidJoint(i));
        EXPECT_FLOAT_EQ(d.GetJoint(i)->loc.x, kDefault[i].x);
        EXPECT_FLOAT_EQ(d.GetJoint(i)->loc.y, kDefault[i].y);
        EXPECT_EQ(d.GetJoint(i)->GetName(), kDefault[i].role);
        EXPECT_EQ(d.GetJoint(i)->inertia, fPoint2(0, 0));
        EXPECT_EQ(d.GetJoint(i)->GetRotateRelativeToJoint(), -1);
    }
    for (int i = 11; i < kDollMaxJoints; i++) EXPECT_FALSE(d.PeekAtJointAlloc(i));
    EXPECT_EQ(d.GetJointByName(6), d.GetJoint(10));
    EXPECT_EQ(d.GetJointByName(11), nullptr);
}

TEST(DefaultSkeleton, HasTenBonesAtRestLengthDrawnNewestFirst) {
    Doll d;
    EXPECT_EQ(d.nedges, 10);
    EXPECT_EQ(d.CountBones(), 10);
    EXPECT_FLOAT_EQ(d.edges[0][1], 66.666667f);
    EXPECT_FLOAT_EQ(d.edges[1][4], 100);
    EXPECT_EQ(d.edges[4][1], d.edges[1][4]);
    EXPECT_EQ(d.edges[0][2], -1.0f);
    EXPECT_EQ(
        DrawOrder(d),
        (Bones{{1, 4}, {7, 8}, {5, 6}, {4, 7}, {4, 5}, {1, 9}, {1, 2}, {0, 1}, {9, 10}, {2, 3}}));
    // Neighbours come in slot order and only over bones
    int cookie = 0, c = -1;
    std::vector<int> neighbours;
    while (d.GetNextEdge(1, &cookie, &c) > 0) neighbours.push_back(c);
    EXPECT_EQ(neighbours, (std::vector<int>{0, 2, 4, 9}));
}

TEST(DefaultSkeleton, StartsAtRestWithItsHomePoseTakenAndNoPoseSought) {
    Doll d;
    EXPECT_EQ(d.homePose.GetNumJoints(), 11);
    EXPECT_EQ(d.homePose.GetJointLoc(6), d.GetJoint(6)->loc);
    for (int p = 0; p < d.GetNumPoses(); p++) EXPECT_EQ(d.GetPose(p)->GetNumJoints(), 0);
    EXPECT_EQ(d.GetSeekPose(), -1);
    EXPECT_EQ(d.GetEditPose(), -1);
    EXPECT_TRUE(d.renderSkeleton);
    EXPECT_TRUE(d.GetRenderOpaque());
    d.Update();
    for (int i = 0; i < 11; i++) EXPECT_EQ(d.GetJoint(i)->loc, d.homePose.GetJointLoc(i));
}

TEST(DefaultSkeleton, ResetRebuildsItFromAnyState) {
    Doll d;
    d.DeleteJoint(4);
    d.AddJoint(fPoint2(5, 5));
    d.AddJoint(fPoint2(6, 6));
    d.UserMoveJoint(d.GetJoint(0), fPoint2(50, 0));
    d.Reset();
    EXPECT_EQ(d.GetNumJoints(), 11);
    EXPECT_EQ(d.CountBones(), 10);
    for (int i = 0; i < 11; i++) EXPECT_FLOAT_EQ(d.GetJoint(i)->loc.y, kDefault[i].y);
}

TEST(JointSlots, ClearLeavesNoJointsBonesOrPoses) {
    Doll d;
    d.GoToHomePose();
    d.Clear();
    EXPECT_EQ(d.GetNumJoints(), 0);
    EXPECT_EQ(d.nedges, 0);
    EXPECT_EQ(d.seekPose, nullptr);
    int cookie = 0;
    EXPECT_EQ(d.GetNextJoint(&cookie), nullptr);
    EXPECT_GE(cookie, kDollMaxJoints);
    fRect r(1, 2, 3, 4);
    EXPECT_FALSE(d.GetBounds(&r));
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 4);
    EXPECT_EQ(d.GetCenter(), fPoint2(0, 0));
}

TEST(JointSlots, ADeletedSlotIsReusedFirstWithACleanMatrixRow) {
    RecordingDoll d;
    d.DeleteJoint(3);
    EXPECT_EQ(d.deleted, (std::vector<int>{3}));
    EXPECT_EQ(d.GetNumJoints(), 10);
    EXPECT_FALSE(d.GetIsValidJoint(3));
    // The bone to the free slot is skipped by every walk
    int cookie = 0, c = -1;
    while (d.GetNextEdge(2, &cookie, &c) > 0) EXPECT_NE(c, 3);

    ASSERT_EQ(d.NewJoint(), 3);
    EXPECT_EQ(d.GetNumJoints(), 11);
    for (int k = 0; k < kDollMaxJoints; k++) {
        EXPECT_EQ(d.edges[3][k], -1.0f);
        EXPECT_EQ(d.edges[k][3], -1.0f);
    }
    EXPECT_FALSE(d.EdgeExists(d.GetJoint(2), d.GetJoint(3)));
    EXPECT_EQ(d.GetJoint(3)->GetName(), -1);
    EXPECT_EQ(d.NewJoint(), 11);
}

TEST(JointSlots, WhenAllAreUsedNewJointFailsAndChangesNothing) {
    RecordingDoll d;
    for (int i = 11; i < kDollMaxJoints; i++) ASSERT_TRUE(d.AddJoint(fPoint2(i, i)));
    d.poses[0].DollToPose(&d);
    int changes = d.skeletonChanges;
    EXPECT_EQ(d.NewJoint(), -1);
    EXPECT_FALSE(d.AddJoint(fPoint2(1, 1)));
    EXPECT_EQ(d.skeletonChanges, changes);
    EXPECT_EQ(d.GetNumJoints(), kDollMaxJoints);
    EXPECT_EQ(d.poses[0].GetNumJoints(), kDollMaxJoints);
}

TEST(JointSlots, AddingAJointPlacesItInTheFilledPosesAndMakesThePostureHome) {
    Doll d;
    d.poses[1].DollToPose(&d);
    ASSERT_TRUE(d.AddJoint(fPoint2(7, 8)));
    EXPECT_EQ(d.GetJoint(11)->loc, fPoint2(7, 8));
    EXPECT_EQ(d.poses[1].GetNumJoints(), 12);
    EXPECT_EQ(d.poses[1].GetJointLoc(11), fPoint2(7, 8));
    EXPECT_EQ(d.poses[2].GetNumJoints(), 0);  // an empty pose stays empty
    EXPECT_EQ(d.homePose.GetNumJoints(), 12);
}

TEST(JointSlots, JointsAreWalkedInSlotOrderAcrossGaps) {
    EmptyDoll d({{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    d.DeleteJoint(1);
    std::vector<float> xs;
    int cookie = 0;
    while (DollJoint* j = d.GetNextJoint(&cookie)) xs.push_back(j->loc.x);
    EXPECT_EQ(xs, (std::vector<float>{0, 2, 3}));
    EXPECT_GE(cookie, kDollMaxJoints);
}

TEST(JointSlots, LocksNestAndClearDropsEverythingButTheLocation) {
    DollJoint j;
    j.SetLoc(fPoint2(3, 4));
    j.SetLock(true);
    j.SetLock(true);
    j.SetLock(false);
    EXPECT_TRUE(j.GetLock());
    j.SetLock(false);
    EXPECT_FALSE(j.GetLock());
    j.inertia = fPoint2(1, 1);
    j.SetName(4);
    j.SetRotateRelativeToJoint(2);
    j.SetLock(true);
    j.Clear();
    EXPECT_EQ(j.loc, fPoint2(3, 4));
    EXPECT_EQ(j.inertia, fPoint2(0, 0));
    EXPECT_FALSE(j.GetLock());
    EXPECT_EQ(j.GetName(), -1);
    EXPECT_EQ(j.GetRotateRelativeToJoint(), -1);
}

TEST(Bones, ToggleMakesABoneAtTheCurrentDistanceThenBreaksIt) {
    Doll d;
    DollJoint* head = d.GetJoint(0);
    DollJoint* hand = d.GetJoint(3);
    float dist = head->loc.Dist(hand->loc);
    EXPECT_TRUE(d.ToggleEdge(head, hand));
    EXPECT_TRUE(d.EdgeExists(hand, head));
    EXPECT_FLOAT_EQ(d.edges[0][3], dist);
    EXPECT_EQ(d.nedges, 11);
    EXPECT_EQ(DrawOrder(d).front(), (std::pair<int, int>{0, 3}));

    head->SetRotateRelativeToJoint(3);
    EXPECT_FALSE(d.ToggleEdge(head, hand));
    EXPECT_FALSE(d.EdgeExists(head, hand));
    EXPECT_EQ(head->GetRotateRelativeToJoint(), -1);
    EXPECT_EQ(d.nedges, 10);
    EXPECT_EQ(DrawOrder(d).size(), 10u);
}

TEST(Bones, TogglingAJointWithItselfChangesNothing) {
    RecordingDoll d;
    d.poses[2].DollToPose(&d);
    int changes = d.skeletonChanges;
    EXPECT_FALSE(d.ToggleEdge(d.GetJoint(1), d.GetJoint(1)));
    EXPECT_EQ(d.skeletonChanges, changes);
    EXPECT_EQ(d.nedges, 10);
    EXPECT_EQ(d.poses[2].GetNumJoints(), 11);
}

TEST(Bones, AZeroLengthBoneExistsButEveryWalkSkipsIt) {
    EmptyDoll d({{10, 10}, {10, 10}});
    EXPECT_TRUE(d.ToggleEdge(d.GetJoint(0), d.GetJoint(1)));
    EXPECT_TRUE(d.EdgeExists(d.GetJoint(0), d.GetJoint(1)));
    EXPECT_EQ(d.edges[0][1], 0.0f);
    int cookie = 0, c = -1;
    EXPECT_LT(d.GetNextEdge(0, &cookie, &c), 0);
    int a = 77, b = 88;
    EXPECT_EQ(d.PickEdge(fPoint2(10, 10), &a, &b), -1.0f);
    EXPECT_EQ(a, 77);
    EXPECT_EQ(b, 88);
    EXPECT_EQ(d.CountBones(), 0);
    // It is still a bone for toggling: a second toggle breaks it
    EXPECT_FALSE(d.ToggleEdge(d.GetJoint(1), d.GetJoint(0)));
    EXPECT_FALSE(d.EdgeExists(d.GetJoint(0), d.GetJoint(1)));
}

TEST(Bones, DeletingAJointTakesItsBonesOutOfTheCount) {
    Doll d;
    d.DeleteJoint(1);  // the breast: head, left elbow, hips and right elbow hang on it
    EXPECT_EQ(d.nedges, 6);
    EXPECT_EQ(d.nedges, d.CountBones());
    d.AddJoint(fPoint2(0, 0));  // reuses slot 1 without bones
    EXPECT_EQ(d.nedges, d.CountBones());
    d.ToggleEdge(d.GetJoint(1), d.GetJoint(4));
    EXPECT_EQ(d.nedges, 7);
    EXPECT_EQ(d.nedges, d.CountBones());
}

TEST(Bones, PickEdgeFindsTheNearestBoneWithItsEndsInOrder) {
    Doll d;
    int a = -1, b = -1;
    EXPECT_NEAR(d.PickEdge(fPoint2(325, 182), &a, &b), 5, 1e-3);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 4);
    // Beyond the end of a bone the distance is to that end
    EXPECT_NEAR(d.PickEdge(fPoint2(470, 282), &a, &b), 50, 1e-3);
    EXPECT_EQ(a, 9);
    EXPECT_EQ(b, 10);
}

TEST(Bones, PickEdgeOnADollWithoutBonesLeavesTheOutputsAlone) {
    EmptyDoll d({{0, 0}, {50, 0}});
    int a = 5, b = 6;
    EXPECT_EQ(d.PickEdge(fPoint2(25, 0), &a, &b), -1.0f);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, 6);
}

TEST(Picking, PickPrefersTheLowestIndexAndExcludesTheCircleEdge) {
    EmptyDoll d({{0, 0}, {10, 0}});
    EXPECT_EQ(d.Pick(fPoint2(5, 0)), d.GetJoint(0));
    EXPECT_EQ(d.Pick(fPoint2(25, 0)), d.GetJoint(1));
    EXPECT_EQ(d.Pick(fPoint2(-16, 0)), nullptr);
    EXPECT_EQ(d.Pick(fPoint2(-15.9f, 0)), d.GetJoint(0));
    EXPECT_FLOAT_EQ(DollJoint::GetGlobalRadius(), 16.0f);
}

TEST(Picking, FindClosestJointBreaksTiesByIndexAndReportsTheDistance) {
    EmptyDoll d({{0, 0}, {10, 0}, {100, 100}});
    float dist = -1;
    EXPECT_EQ(d.FindClosestJoint(fPoint2(5, 0), &dist), d.GetJoint(0));
    EXPECT_FLOAT_EQ(dist, 5);
    EXPECT_EQ(d.FindClosestJoint(fPoint2(90, 100), nullptr), d.GetJoint(2));
    EmptyDoll none;
    dist = -1;
    EXPECT_EQ(none.FindClosestJoint(fPoint2(0, 0), &dist), nullptr);
    EXPECT_EQ(dist, -1);
}

TEST(DrawList, MovingForwardAndBackStepsOnePlaceAndStopsAtTheEnds) {
    Doll d;
    // Head first: (1,4) (7,8) (5,6) ... (9,10) (2,3)
    d.MoveEdgeBackwards(4, 1);  // already the head
    d.MoveEdgeForwards(3, 2);   // already the last
    EXPECT_EQ(DrawOrder(d).front(), (std::pair<int, int>{1, 4}));
    EXPECT_EQ(DrawOrder(d).back(), (std::pair<int, int>{2, 3}));

    d.MoveEdgeBackwards(7, 8);  // the second becomes the head
    EXPECT_EQ(
        DrawOrder(d),
        (Bones{{7, 8}, {1, 4}, {5, 6}, {4, 7}, {4, 5}, {1, 9}, {1, 2}, {0, 1}, {9, 10}, {2, 3}}));
    d.MoveEdgeForwards(7, 8);
    d.MoveEdgeForwards(7, 8);
    EXPECT_EQ(
        DrawOrder(d),
        (Bones{{1, 4}, {5, 6}, {7, 8}, {4, 7}, {4, 5}, {1, 9}, {1, 2}, {0, 1}, {9, 10}, {2, 3}}));
    d.MoveEdgeForwards(9, 10);
    EXPECT_EQ(DrawOrder(d).back(), (std::pair<int, int>{9, 10}));
    d.MoveEdgeForwards(0, 5);  // not a listed bone
    EXPECT_EQ(DrawOrder(d).size(), 10u);
}

TEST(DrawList, AddingAListedBoneKeepsItsPlaceAndNodesUnlinkThemselves) {
    DollEdgeList list;
    list.AddEdge(3, 1);
    list.AddEdge(2, 5);
    list.AddEdge(1, 3);
    ASSERT_NE(list.GetEdge(1, 3), nullptr);
    EXPECT_EQ(list.edges->a, 2);
    int a, b;
    list.GetEdge(3, 1)->GetNodes(&a, &b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 3);
    EXPECT_TRUE(list.GetEdge(1, 3)->GetIsEdge(1, 3));
    EXPECT_FALSE(list.GetEdge(1, 3)->GetIsEdge(3, 1));
    delete list.GetEdge(2, 5);
    EXPECT_EQ(list.edges, list.GetEdge(1, 3));
    EXPECT_EQ(list.edges->prev, &list.edges);
    list.RemoveEdge(1, 3);
    EXPECT_EQ(list.edges, nullptr);
    EXPECT_FALSE(list.allocFailure);
}

TEST(DrawList, RenderingCallsEveryBoneHeadFirstAndSkipsEntriesWithoutABone) {
    RecordingDoll d;
    d.RenderSkeleton(false, false);
    EXPECT_EQ(d.renderedEdges, DrawOrder(d));

    // The entry (2,3) goes with joint 3; the reused slot brings no bone back
    d.DeleteJoint(3);
    EXPECT_EQ(d.dollEdgeDrawList.GetEdge(2, 3), nullptr);
    d.AddJoint(fPoint2(0, 0));
    d.renderedEdges.clear();
    d.RenderSkeleton(false, false);
    EXPECT_EQ(d.renderedEdges.size(), 9u);
    // Linking the pair again draws the bone first, as any new bone
    d.ToggleEdge(d.GetJoint(2), d.GetJoint(3));
    d.renderedEdges.clear();
    d.RenderSkeleton(false, false);
    EXPECT_EQ(d.renderedEdges.size(), 10u);
    EXPECT_EQ(d.renderedEdges.front(), (std::pair<int, int>{2, 3}));
}

TEST(Compaction, DeletingJointZeroRenumbersEveryObserverInOrder) {
    RecordingDoll d;
    d.DeleteJoint(0);
    d.poses[3].DollToPose(&d);
    d.GetJoint(4)->SetRotateRelativeToJoint(5);
    fPoint2 hips = d.GetJoint(4)->loc;
    float breastElbow = d.edges[1][2];

    d.CompactJointIndices();
    EXPECT_EQ(
        d.renamed,
        (Bones{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 7}, {9, 8}, {10, 9}}));
    EXPECT_EQ(d.GetNumJoints(), 10);
    for (int i = 0; i < 10; i++) EXPECT_TRUE(d.GetIsValidJoint(i));
    EXPECT_FALSE(d.GetIsValidJoint(10));
    EXPECT_EQ(d.GetJoint(3)->loc, hips);
    EXPECT_EQ(d.GetJoint(3)->GetName(), 2);
    EXPECT_EQ(d.GetJoint(3)->GetRotateRelativeToJoint(), 4);
    EXPECT_EQ(d.edges[0][1], breastElbow);
    EXPECT_EQ(d.edges[1][0], breastElbow);
    EXPECT_EQ(d.CountBones(), 9);
    // The head-breast entry went with the head; the rest are renumbered, order kept
    EXPECT_EQ(DrawOrder(d),
              (Bones{{0, 3}, {6, 7}, {4, 5}, {3, 6}, {3, 4}, {0, 8}, {0, 1}, {8, 9}, {1, 2}}));
    for (int i = 0; i < 10; i++) {
        EXPECT_TRUE(d.homePose.PeekAtJointAlloc(i));
        EXPECT_TRUE(d.poses[3].PeekAtJointAlloc(i));
        EXPECT_EQ(d.homePose.GetJointLoc(i), d.GetJoint(i)->loc);
        EXPECT_EQ(d.poses[3].GetJointLoc(i), d.GetJoint(i)->loc);
    }
    EXPECT_FALSE(d.poses[3].PeekAtJointAlloc(10));
}

TEST(Compaction, AStaleEntryNeverDuplicatesARenumberedBone) {
    Doll d;
    d.DeleteJoint(3);  // leaves the entry (2,3)
    d.ToggleEdge(d.GetJoint(2), d.GetJoint(4));
    d.CompactJointIndices();  // joint 4 becomes 3, so (2,4) becomes (2,3)
    int listed = 0;
    for (auto e : DrawOrder(d)) listed += e == std::pair<int, int>{2, 3};
    EXPECT_EQ(listed, 1);
    d.ToggleEdge(d.GetJoint(2), d.GetJoint(3));  // breaks it
    EXPECT_EQ(d.dollEdgeDrawList.GetEdge(2, 3), nullptr);
}

TEST(Compaction, ABoneOfADeletedJointNeverComesBackReversedOrTwice) {
    RecordingDoll d;
    // Joints 11 and 12 linked; 11 goes while its bone to 12 is listed, and 0 goes too, so
    // slot 11 stays free after compaction while 12 moves below it (to 10)
    ASSERT_TRUE(d.AddJoint(fPoint2(500, 300)));
    ASSERT_TRUE(d.AddJoint(fPoint2(560, 300)));
    d.ToggleEdge(d.GetJoint(11), d.GetJoint(12));
    d.DeleteJoint(11);
    d.DeleteJoint(0);
    d.CompactJointIndices();
    ASSERT_TRUE(d.AddJoint(fPoint2(520, 340)));  // slot 11 again
    d.ToggleEdge(d.GetJoint(10), d.GetJoint(11));

    Bones order = DrawOrder(d);
    for (size_t k = 0; k < order.size(); k++) {
        const auto e = order[k];
        EXPECT_LE(e.first, e.second) << k;
        EXPECT_TRUE(d.GetIsValidJoint(e.first) && d.GetIsValidJoint(e.second)) << k;
        for (size_t m = k + 1; m < order.size(); m++) EXPECT_NE(order[m], e) << k;
    }
    d.RenderSkeleton(false, false);
    EXPECT_EQ(d.renderedEdges, order);
    EXPECT_EQ(order.front(), (std::pair<int, int>{10, 11}));
    // One entry moves and breaking the bone leaves none behind
    d.MoveEdgeForwards(11, 10);
    EXPECT_EQ(DrawOrder(d)[1], (std::pair<int, int>{10, 11}));
    d.ToggleEdge(d.GetJoint(11), d.GetJoint(10));
    EXPECT_EQ(DrawOrder(d).size(), order.size() - 1);
    for (auto e : DrawOrder(d)) EXPECT_TRUE(e.first != 11 && e.second != 11);
}

TEST(CheckedEntryPoints, AnswerForAnyIndexOrPointerWithoutAsserting) {
    Doll d;
    Doll other;
    EXPECT_FALSE(d.GetIsValidJoint(-1));
    EXPECT_FALSE(d.GetIsValidJoint(kDollMaxJoints));
    EXPECT_FALSE(d.GetIsValidJoint(11));
    EXPECT_FALSE(d.PeekAtJointAlloc(1000));
    EXPECT_TRUE(d.GetIsJointOf(d.GetJoint(10)));
    EXPECT_FALSE(d.GetIsJointOf(other.GetJoint(10)));
    EXPECT_FALSE(d.GetIsJointOf(&d.joints[20]));
    EXPECT_FALSE(d.GetIsJointOf(nullptr));
    int cookie = 0, c = 0;
    EXPECT_LT(d.GetNextEdge(-3, &cookie, &c), 0);
    EXPECT_EQ(d.GetPose(8), nullptr);
    EXPECT_EQ(d.GetPose(-1), nullptr);
    d.GoToPose(8, true);
    EXPECT_EQ(d.seekPose, nullptr);
    d.MoveEdgeForwards(-1, 40);
}

TEST(CheckedEntryPointsDeathTest, UncheckedIndicesStopWithTheirConditionTexts) {
    Doll d;
    EXPECT_DEATH(d.GetJoint(20), "jointAllocTable\\[i\\]");
    EXPECT_DEATH(d.GetJoint(-1), "jointAllocTable\\[i\\]");
    EXPECT_DEATH(d.DeleteJoint(20), "jointAllocTable\\[j\\]");
    EXPECT_DEATH(d.SetEdgeInMatrix(0, 20, 1), "jointAllocTable\\[jointB\\]");
    EXPECT_DEATH(d.MakeEdge(0, 32), "jointB");
    Doll other;
    EXPECT_DEATH(d.GetIndexOfJoint(other.GetJoint(0)), "jointAllocTable\\[i\\]");
}

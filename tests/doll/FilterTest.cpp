// Pose filters: the look-at target, and what each filter's Run does to a default doll and
// to a doll whose joints have no roles.
#include <gtest/gtest.h>

#include "TestDolls.h"

namespace {
std::vector<fPoint2> Locations(const Doll& d) {
    std::vector<fPoint2> v;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (d.GetIsValidJoint(i)) v.push_back(d.GetJoint(i)->loc);
    return v;
}

// The default doll's joints at their places, without roles: as a document loads them
struct LoadedDoll : EmptyDoll {
    LoadedDoll() {
        Doll model;
        for (int i = 0; i < model.GetNumJoints(); i++) AddJoint(model.GetJoint(i)->loc);
    }
};

const int kHead = 0, kBreast = 1, kHips = 2, kLeftHand = 5, kRightHand = 6;
}  // namespace

TEST(LookAt, ANewDollLooksAtTheOriginWithNoInterest) {
    Doll d;
    EXPECT_EQ(d.GetLookAt(), &d.lfilter);
    EXPECT_EQ(d.GetLookAt()->where, fPoint2(0, 0));
    EXPECT_EQ(d.GetLookAt()->interest, 0);
}

TEST(LookAt, SettingTheTargetMovesNothing) {
    Doll d;
    std::vector<fPoint2> before = Locations(d);
    d.GetLookAt()->LookAt(fPoint2(600, 100), 0.5f);
    EXPECT_EQ(d.GetLookAt()->where, fPoint2(600, 100));
    EXPECT_EQ(d.GetLookAt()->interest, 0.5f);
    d.Update();
    EXPECT_EQ(Locations(d), before);
}

TEST(LookAt, RunTurnsTheHeadTowardsTheTarget) {
    Doll d;
    DollJoint* head = d.GetJointByName(kHead);
    fPoint2 breast = d.GetJointByName(kBreast)->loc;
    d.GetLookAt()->LookAt(fPoint2(700, breast.y), 0);
    d.GetLookAt()->Run(&d);
    EXPECT_GT(head->loc.x, 320);
    EXPECT_GT(head->loc.y, 65.34f);
}

TEST(LookAt, InterestTurnsTheLookBackAQuarterTurnPerUnit) {
    // Target straight right of the breast, interest 1: the neck points straight up, which is
    // where the head already is
    Doll d;
    fPoint2 breast = d.GetJointByName(kBreast)->loc;
    std::vector<fPoint2> before = Locations(d);
    d.GetLookAt()->LookAt(fPoint2(700, breast.y), 1);
    d.GetLookAt()->Run(&d);
    EXPECT_EQ(Locations(d), before);
}

TEST(LookAt, ATargetNearerThanTheNeckIsIgnored) {
    Doll d;
    std::vector<fPoint2> before = Locations(d);
    fPoint2 breast = d.GetJointByName(kBreast)->loc;
    d.GetLookAt()->LookAt(breast + fPoint2(30, 30), 1);
    d.GetLookAt()->Run(&d);
    EXPECT_EQ(Locations(d), before);
}

TEST(Balance, LeftmostAndRightmostHandsByRole) {
    EmptyDoll d({{50, 0}, {50, 0}});
    BalanceFilter f;
    d.GetJoint(0)->SetName(kLeftHand);
    d.GetJoint(1)->SetName(kRightHand);
    EXPECT_EQ(f.GetLeftmostJoint(&d, kLeftHand, kRightHand), kRightHand);  // tie
    EXPECT_EQ(f.GetRightmostJoint(&d, kLeftHand, kRightHand), kLeftHand);
    d.GetJoint(0)->loc.x = 10;
    EXPECT_EQ(f.GetLeftmostJoint(&d, kLeftHand, kRightHand), kLeftHand);
    EXPECT_EQ(f.GetRightmostJoint(&d, kLeftHand, kRightHand), kRightHand);
    d.GetJoint(1)->SetName(-1);
    EXPECT_EQ(f.GetLeftmostJoint(&d, kLeftHand, kRightHand), kLeftHand);
    d.GetJoint(1)->SetName(kRightHand);
    d.GetJoint(0)->SetName(-1);
    EXPECT_EQ(f.GetLeftmostJoint(&d, kLeftHand, kRightHand), kRightHand);
}

TEST(Balance, ACentredDollKeepsItsHandsAndStraightensItsSpine) {
    // Mean x 100 in bounds 0 .. 200: dx = 0
    EmptyDoll d({{0, 150}, {200, 150}, {100, 200}, {90, 100}, {110, 50}});
    const int roles[] = {kLeftHand, kRightHand, kHips, kBreast, kHead};
    for (int i = 0; i < 5; i++) d.GetJoint(i)->SetName(roles[i]);
    d.bfilter.Run(&d);
    EXPECT_EQ(d.GetJoint(0)->loc, fPoint2(0, 150));
    EXPECT_EQ(d.GetJoint(1)->loc, fPoint2(200, 150));
    EXPECT_GT(d.GetJoint(3)->loc.x, 90);   // torso towards the hips' x
    EXPECT_LT(d.GetJoint(4)->loc.x, 110);  // head towards the torso's x
    EXPECT_EQ(d.GetJoint(3)->loc.y, 100);
    EXPECT_EQ(d.GetJoint(4)->loc.y, 50);
}

TEST(Balance, ADollLeaningRightShiftsItsHandsRight) {
    // Mean x 130 in bounds 0 .. 200: dx = 130 - 70 = 60
    EmptyDoll d({{0, 150}, {200, 150}, {150, 200}, {150, 100}, {150, 50}});
    const int roles[] = {kLeftHand, kRightHand, kHips, kBreast, kHead};
    for (int i = 0; i < 5; i++) d.GetJoint(i)->SetName(roles[i]);
    d.bfilter.Run(&d);
    EXPECT_GT(d.GetJoint(0)->loc.x, 0);
    EXPECT_GT(d.GetJoint(1)->loc.x, 200);
    // The spine was straight already: torso and head stay over the hips
    EXPECT_EQ(d.GetJoint(3)->loc, fPoint2(150, 100));
}

TEST(Balance, AnEmptyDollIsLeftAlone) {
    EmptyDoll d;
    d.bfilter.Run(&d);
    EXPECT_EQ(d.GetNumJoints(), 0);
}

TEST(FeetOnGround, PullsBothFeetOfADefaultDollDownTowardsTheGround) {
    Doll d;
    d.gfilter.Run(&d);
    EXPECT_GT(d.GetJointByName(3)->loc.y, 432);
    EXPECT_GT(d.GetJointByName(4)->loc.y, 432);
    EXPECT_LT(d.GetJointByName(3)->loc.y, FeetOnGroundFilter::kGroundY);
    for (int t = 0; t < 200; t++) {
        d.Update();
        d.gfilter.Run(&d);
    }
    EXPECT_NEAR(d.GetJointByName(3)->loc.y, 460, 3.5);
}

TEST(TorsoOverHips, DoesNothing) {
    Doll d;
    d.UserMoveJoint(d.GetJoint(1), fPoint2(30, 0));
    std::vector<fPoint2> before = Locations(d);
    d.tfilter.Run(&d);
    EXPECT_EQ(Locations(d), before);
}

TEST(EveryFilter, LeavesADollWithoutRolesUntouched) {
    LoadedDoll d;
    d.UserDeformJoint(d.GetJoint(1), fPoint2(40, 0));  // lean the torso: balance would act
    ASSERT_EQ(d.GetJointByName(kHips), nullptr);
    std::vector<fPoint2> before = Locations(d);
    d.GetLookAt()->LookAt(fPoint2(700, 100), 1);
    DollFilter* filters[] = {&d.lfilter, &d.tfilter, &d.bfilter, &d.gfilter};
    for (DollFilter* f : filters) f->Run(&d);
    EXPECT_EQ(Locations(d), before);
}

// The emotion icon: bounds, picking, breathing and the pop at exact times, and dragging.
#include <gtest/gtest.h>

#include <cmath>

#include "Doll.h"
#include "fTime.h"

namespace {
class IconAnimation : public ::testing::Test {
protected:
    void TearDown() override { ClearTestSeconds(); }
};

// 12 s is a whole number of both breathing periods (4 s and 6 s): no breathing then
const float kStill = 12.0f;
}  // namespace

TEST_F(IconAnimation, ANewIconIsAnEmptyFiftyUnitSquareChangedNow) {
    SetTestSeconds(7.0f);
    DollIcon icon;
    EXPECT_EQ(icon.GetIcon(), -1);
    EXPECT_EQ(icon.GetBounds().left, 0);
    EXPECT_EQ(icon.GetBounds().top, 0);
    EXPECT_EQ(icon.GetBounds().right, 50);
    EXPECT_EQ(icon.GetBounds().bottom, 50);
    EXPECT_EQ(icon.iconChangedWhen, 7.0f);
}

TEST_F(IconAnimation, ANewIconPopsFromNothingToFullSizeInHalfASecond) {
    DollIcon icon;
    SetTestSeconds(kStill - 0.5f);
    icon.SetIcon(6);
    fRect r = icon.GetAnimatedBounds();
    EXPECT_EQ(r.GetWidth(), 0);
    EXPECT_EQ(r.GetHeight(), 0);
    EXPECT_EQ(r.GetCenter(), fPoint2(25, 25));

    // Half way: eased 0.75, scale 0.75 * 1.25 * 1.2 = 1.125
    SetTestSeconds(kStill - 0.25f);
    r = icon.GetAnimatedBounds();
    // Breathing at 11.75 s: 0.125 of the width cycle and 0.0833 of the height cycle
    float bw = 50 + 2 * 50 * 0.08f * 0.125f, bh = 50 + 2 * 50 * 0.06f * (0.25f / 3);
    EXPECT_NEAR(r.GetWidth(), bw * 1.125f, 1e-3);
    EXPECT_NEAR(r.GetHeight(), bh * 1.125f, 1e-3);
    EXPECT_NEAR(r.GetCenterX(), 25, 1e-4);

    SetTestSeconds(kStill);
    r = icon.GetAnimatedBounds();
    EXPECT_FLOAT_EQ(r.left, 0);
    EXPECT_FLOAT_EQ(r.right, 50);
    EXPECT_FLOAT_EQ(r.top, 0);
    EXPECT_FLOAT_EQ(r.bottom, 50);
}

TEST_F(IconAnimation, ThePopPeaksAtOneHundredTwentyPercent) {
    DollIcon icon;
    icon.SetBounds(fRect(100, 100, 200, 150));
    // Eased progress 0.8 is reached at 1 - sqrt(0.2) of the half second
    float atPeak = 0.5f * (1 - sqrtf(0.2f));
    SetTestSeconds(24.0f - atPeak);
    icon.SetIcon(2);
    SetTestSeconds(24.0f);
    fRect r = icon.GetAnimatedBounds();
    EXPECT_NEAR(r.GetWidth(), 120, 0.01);
    EXPECT_NEAR(r.GetHeight(), 60, 0.01);
    EXPECT_NEAR(r.GetCenterX(), 150, 1e-3);
    EXPECT_NEAR(r.GetCenterY(), 125, 1e-3);
}

TEST_F(IconAnimation, SettingTheSameIconAgainDoesNotRestartThePop) {
    DollIcon icon;
    SetTestSeconds(20.0f);
    icon.SetIcon(4);
    SetTestSeconds(30.0f);
    icon.SetIcon(4);
    EXPECT_EQ(icon.iconChangedWhen, 20.0f);
    EXPECT_EQ(icon.GetAnimatedBounds().GetWidth(), 50 + 2 * 50 * 0.08f);  // fully breathed out
    icon.SetIcon(5);
    EXPECT_EQ(icon.iconChangedWhen, 30.0f);
    EXPECT_EQ(icon.GetAnimatedBounds().GetWidth(), 0);
}

TEST_F(IconAnimation, BreathingGrowsTheRectangleAboutItsCentre) {
    DollIcon icon;
    SetTestSeconds(0.0f);
    icon.SetIcon(1);
    // 3 s: three quarters into the 4 s width cycle (0.5), half way into the 6 s one (1)
    SetTestSeconds(3.0f);
    fRect r = icon.GetAnimatedBounds();
    EXPECT_FLOAT_EQ(r.left, -2);
    EXPECT_FLOAT_EQ(r.right, 52);
    EXPECT_FLOAT_EQ(r.top, -3);
    EXPECT_FLOAT_EQ(r.bottom, 53);
    // The stored bounds are never animated
    EXPECT_EQ(icon.GetBounds().right, 50);
}

TEST(IconPicking, TheEdgesOfTheRectangleCount) {
    Doll d;
    d.GetIcon()->SetBounds(fRect(10, 420, 60, 470));
    EXPECT_EQ(d.PickIcon(fPoint2(10, 470)), d.GetIcon());
    EXPECT_EQ(d.PickIcon(fPoint2(60, 420)), d.GetIcon());
    EXPECT_EQ(d.PickIcon(fPoint2(60.01f, 420)), nullptr);
    EXPECT_EQ(d.PickIcon(fPoint2(35, 419.9f)), nullptr);
}

TEST(IconDragging, ALiveDragMovesTheIconForGood) {
    Doll d;
    DollIcon* icon = d.GetIcon();
    icon->SetBounds(fRect(10, 420, 60, 470));
    Drag drag;
    drag.Begin(icon, Drag::live);
    drag.TranslateDragObject(fPoint2(30, -20));
    drag.End();
    EXPECT_EQ(icon->GetBounds().left, 40);
    EXPECT_EQ(icon->GetBounds().top, 400);
    EXPECT_EQ(icon->GetBounds().right, 90);
    EXPECT_EQ(icon->GetBounds().bottom, 450);
    // Clearing the doll leaves its icon where it is
    d.Clear();
    EXPECT_EQ(icon->GetBounds().left, 40);
}

// Points, rectangles and colours: the formulas every other subsystem relies on.
#include <gtest/gtest.h>

#include <cmath>

#include "fColor.h"
#include "fPoint2.h"
#include "fRect.h"

namespace {

const float kPi = 3.14159265f;
const float kTol = 1e-5f;

float Deg(float d) { return d * kPi / 180; }
fPoint2 Dir(float deg) { return fPoint2(cosf(Deg(deg)), sinf(Deg(deg))); }

TEST(Point, RotatingAQuarterTurnTurnsPlusXTowardsPlusY) {
    fPoint2 p(1, 0);
    p.Rotate(kPi / 2);
    EXPECT_NEAR(p.x, 0, kTol);
    EXPECT_NEAR(p.y, 1, kTol);

    fPoint2 zero;
    zero.Rotate(1.3f);
    EXPECT_TRUE(zero.GetIsZero());

    fPoint2 arr[2] = {fPoint2(2, 0), fPoint2(0, 3)};
    fPoint2::RotateArray(arr, 2, kPi);
    EXPECT_NEAR(arr[0].x, -2, kTol);
    EXPECT_NEAR(arr[1].y, -3, kTol);
}

TEST(Point, BetweenInterpolatesAndExtrapolates) {
    fPoint2 p;
    p.SetToBetween(fPoint2(0, 10), fPoint2(10, 20), 0.25f);
    EXPECT_FLOAT_EQ(p.x, 2.5f);
    EXPECT_FLOAT_EQ(p.y, 12.5f);
    p.SetToBetween(fPoint2(0, 0), fPoint2(10, 0), 1.5f);
    EXPECT_FLOAT_EQ(p.x, 15);
}

TEST(Point, LengthScalingAndArraysWorkInPlace) {
    fPoint2 p(3, 4);
    EXPECT_FLOAT_EQ(p.GetLength(), 5);
    p.SetLength(10);
    EXPECT_NEAR(p.x, 6, kTol);
    EXPECT_NEAR(p.y, 8, kTol);
    p.Scale(fPoint2(0.5f, 2));
    EXPECT_NEAR(p.x, 3, kTol);
    EXPECT_NEAR(p.y, 16, kTol);

    fPoint2 arr[3] = {fPoint2(1, 1), fPoint2(2, 2), fPoint2(3, 3)};
    fPoint2::OffsetArray(arr, 3, 1, -1);
    fPoint2::ScaleArray(arr, 3, 2, 3);
    EXPECT_EQ(arr[2], fPoint2(8, 6));
    EXPECT_EQ(arr[0], fPoint2(4, 0));
}

TEST(Point, AngleIsTheDirectionTowardsTheTarget) {
    EXPECT_NEAR(fPoint2(0, 0).Angle(fPoint2(0, 5)), kPi / 2, kTol);
    EXPECT_NEAR(fPoint2(1, 1).Angle(fPoint2(0, 1)), kPi, kTol);
    EXPECT_FLOAT_EQ(fPoint2(1, 1).Dist(fPoint2(4, 5)), 5);
    fPoint2 t(4, 5);
    EXPECT_FLOAT_EQ(fPoint2(1, 1).Dist(&t), 5);
}

TEST(Point, AngleBetweenDirectionsIsTheSmallerUnsignedAngle) {
    EXPECT_NEAR(fPoint2::AngleBetweenPoints(Dir(179), Dir(-179)), Deg(2), 1e-4f);
    EXPECT_NEAR(fPoint2::AngleBetweenPoints(Dir(-179), Dir(179)), Deg(2), 1e-4f);
    EXPECT_NEAR(fPoint2::AngleBetweenPoints(Dir(30), Dir(30)), 0, kTol);
    EXPECT_NEAR(fPoint2::AngleBetweenPoints(fPoint2(1, 0), fPoint2(-1, 0)), kPi, kTol);
    EXPECT_NEAR(fPoint2::AngleBetweenPoints(Dir(-90), Dir(90)), kPi, 1e-4f);
    EXPECT_NEAR(fPoint2::AngleBetweenPoints(Dir(10), Dir(-20)), Deg(30), 1e-4f);
}

TEST(Point, DistanceToSegmentUsesTheNearerEndBeyondTheSegment) {
    fPoint2 a(0, 0), b(10, 0);
    EXPECT_NEAR(fPoint2(-3, 4).DistToLineSegment(a, b), 5, kTol);  // beyond a
    EXPECT_NEAR(fPoint2(13, 4).DistToLineSegment(a, b), 5, kTol);  // beyond b
    EXPECT_NEAR(fPoint2(5, -7).DistToLineSegment(a, b), 7, kTol);  // foot inside
    EXPECT_NEAR(fPoint2(4, 0).DistToLineSegment(a, b), 0, kTol);   // on it
    // A slanted segment: perpendicular distance from (0, 10) to the diagonal
    EXPECT_NEAR(fPoint2(0, 10).DistToLineSegment(fPoint2(0, 0), fPoint2(10, 10)), 10 / sqrtf(2),
                1e-4f);
}

TEST(Rect, ConstructorTakesLeftTopRightBottom) {
    fRect r(1, 2, 3, 4);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 4);
    r.Set(10, 20, 40, 80);
    EXPECT_EQ(r.GetWidth(), 30);
    EXPECT_EQ(r.GetHeight(), 60);
    EXPECT_EQ(r.GetCenter(), fPoint2(25, 50));
    EXPECT_EQ(r.GetTopLeft(), fPoint2(10, 20));
    EXPECT_EQ(r.GetBottomLeft(), fPoint2(10, 80));
}

TEST(Rect, ContainsPointsOnEveryEdgeAndCorner) {
    fRect r(0, 0, 10, 20);
    EXPECT_TRUE(r.DoesContain(0, 5));
    EXPECT_TRUE(r.DoesContain(10, 5));
    EXPECT_TRUE(r.DoesContain(5, 0));
    EXPECT_TRUE(r.DoesContain(5, 20));
    EXPECT_TRUE(r.DoesContain(fPoint2(0, 0)));
    EXPECT_TRUE(r.DoesContain(fPoint2(10, 20)));
    EXPECT_FALSE(r.DoesContain(10.001f, 5));
    EXPECT_FALSE(r.DoesContain(5, -0.001f));
}

TEST(Rect, SettingFromACornerGrowsAwayFromIt) {
    fRect r;
    r.SetFromBottomLeft(fPoint2(5, 100), 20, 30);
    EXPECT_EQ(r.top, 70);
    EXPECT_EQ(r.GetHeight(), 30);
    EXPECT_EQ(r.right, 25);
    r.SetFromTopLeft(fPoint2(5, 100), 20, 30);
    EXPECT_EQ(r.bottom, 130);
    r.SetTopLeft(fPoint2(0, 0));
    EXPECT_EQ(r.right, 20);
    EXPECT_EQ(r.bottom, 30);
    r.SetBottomLeft(fPoint2(1, 50));
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.GetWidth(), 20);
}

TEST(Rect, ResizingKeepsTheCentre) {
    fRect r(10, 10, 30, 50);
    fPoint2 c = r.GetCenter();
    r.SetWidth(7);
    r.SetHeight(100);
    EXPECT_EQ(r.GetCenter(), c);
    EXPECT_FLOAT_EQ(r.GetWidth(), 7);
    EXPECT_FLOAT_EQ(r.GetHeight(), 100);
    r.Inset(-1, -2);
    EXPECT_FLOAT_EQ(r.GetWidth(), 9);
    EXPECT_FLOAT_EQ(r.GetHeight(), 104);
    r.Shift(fPoint2(1, 1));
    EXPECT_EQ(r.GetCenter(), c + fPoint2(1, 1));
}

TEST(Rect, GrowingFromAPointGivesTheBoundingBox) {
    fPoint2 pts[] = {fPoint2(3, 4), fPoint2(-2, 8), fPoint2(7, -1), fPoint2(0, 0)};
    fRect r;
    r.Set(pts[0]);
    for (fPoint2 p : pts) r.GrowToInclude(p);
    EXPECT_EQ(r.left, -2);
    EXPECT_EQ(r.right, 7);
    EXPECT_EQ(r.top, -1);
    EXPECT_EQ(r.bottom, 8);

    // A default rectangle keeps the origin inside
    fRect d;
    d.GrowToInclude(5, 6);
    EXPECT_TRUE(d.DoesContain(0, 0));
    EXPECT_TRUE(d.DoesContain(5, 6));
}

TEST(Color, NamedColoursAreStableAndHaveTheirValues) {
    EXPECT_EQ(fColor::gray(), fColor::gray());
    EXPECT_FLOAT_EQ(fColor::gray()->r, 0.5f);
    EXPECT_FLOAT_EQ(fColor::lightGray()->g, 0.75f);
    const fColor* y = fColor::yellow();
    EXPECT_EQ(y->r + y->g + y->b, 2);
    EXPECT_EQ(fColor::white()->b, 1);
    EXPECT_EQ(fColor::blue()->r, 0);

    fColor c;
    EXPECT_EQ(c.r + c.g + c.b, 0);
    c.SetToBetween(fColor::black(), fColor::white(), 0.25f);
    EXPECT_FLOAT_EQ(c.g, 0.25f);
}

}  // namespace

// Mapping one rectangle onto another, single points and arrays alike.
#include <gtest/gtest.h>

#include <cstdlib>

#include "fRectMap.h"

namespace {

// Implements only the array forms, doubling x, to show the single-point forms use them
class DoubleX : public Transform2d {
public:
    void Map(fPoint2* pts, int npts) const override { fPoint2::ScaleArray(pts, npts, 2, 1); }
    void Unmap(fPoint2* pts, int npts) const override { fPoint2::ScaleArray(pts, npts, 0.5f, 1); }
};

}  // namespace

TEST(RectMap, TheUnitSquareLandsOnTheTargetRectangle) {
    fRectMap m(fRect(0, 0, 1, 1), fRect(10, 20, 110, 70));
    EXPECT_EQ(m.Map(fPoint2(0.5f, 0.5f)), fPoint2(60, 45));
    EXPECT_EQ(m.Map(fPoint2(0, 0)), fPoint2(10, 20));
    EXPECT_EQ(m.Map(fPoint2(1, 1)), fPoint2(110, 70));
    // Stretched, not letterboxed: x and y scale independently
    EXPECT_EQ(m.scale, fPoint2(100, 50));
    EXPECT_EQ(m.srcCenter, fPoint2(0.5f, 0.5f));
    EXPECT_EQ(m.translate, fPoint2(60, 45));
}

TEST(RectMap, ArraysMapLikeSinglePoints) {
    fRectMap m(fRect(-3, 2, 5, 9), fRect(100, -40, 130, 400));
    fPoint2 pts[] = {fPoint2(-3, 2), fPoint2(0.25f, 7), fPoint2(40, -12)};
    fPoint2 mapped[3];
    for (int i = 0; i < 3; i++) mapped[i] = m.Map(pts[i]);
    m.Map(pts, 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_NEAR(pts[i].x, mapped[i].x, 1e-3f);
        EXPECT_NEAR(pts[i].y, mapped[i].y, 1e-3f);
    }
    m.Unmap(pts, 3);
    EXPECT_NEAR(pts[1].x, 0.25f, 1e-4f);
    EXPECT_NEAR(pts[2].y, -12, 1e-3f);
}

TEST(RectMap, UnmappingUndoesMappingForAnyPoint) {
    srand(7);
    auto rnd = [](float lo, float hi) { return lo + (hi - lo) * (float)rand() / RAND_MAX; };
    for (int k = 0; k < 200; k++) {
        fRect src(rnd(-50, 50), rnd(-50, 50), 0, 0), dst(rnd(-500, 500), rnd(-500, 500), 0, 0);
        src.right = src.left + rnd(0.5f, 80);
        src.bottom = src.top + rnd(0.5f, 80);
        dst.right = dst.left + rnd(1, 900);
        dst.bottom = dst.top + rnd(1, 900);
        fRectMap m(src, dst);
        fPoint2 p(rnd(-100, 100), rnd(-100, 100));
        fPoint2 back = m.Unmap(m.Map(p));
        EXPECT_NEAR(back.x, p.x, 1e-3f);
        EXPECT_NEAR(back.y, p.y, 1e-3f);
    }
}

TEST(RectMap, ADefaultMapLeavesPointsWhereTheyAre) {
    fRectMap m;
    EXPECT_EQ(m.Map(fPoint2(0.3f, 0.7f)), fPoint2(0.3f, 0.7f));
}

TEST(RectMap, SinglePointFormsOfATransformUseItsArrayForms) {
    DoubleX t;
    const Transform2d& base = t;
    EXPECT_EQ(base.Map(fPoint2(3, 4)), fPoint2(6, 4));
    EXPECT_EQ(base.Unmap(fPoint2(6, 4)), fPoint2(3, 4));
}

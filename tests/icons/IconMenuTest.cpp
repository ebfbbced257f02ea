// Where the icon menu's cells lie and what a click on them picks.
#include <gtest/gtest.h>

#include "IconTestSupport.h"
#include "VelkoIcons.h"

namespace {

const fRect kCurrent(0, 0, 40, 40);
const float kGap = 10;
const int kCurrentId = 99;

int Pick(float x, float y) { return PickIconMenu(kCurrent, kGap, kCurrentId, fPoint2(x, y)); }

class IconMenu : public ::testing::Test {
protected:
    void SetUp() override { EnsureBuiltInIcons(); }
};

}  // namespace

TEST_F(IconMenu, CellsRunFourWideFromTheCurrentIconsCell) {
    // Every corner of a cell, edges included, picks that cell
    struct Cell {
        int id;
        float left, top;
    } cells[] = {{0, 50, 0}, {2, 150, 0}, {3, 0, 50}, {6, 150, 50}, {21, 100, 250}};
    for (const Cell& c : cells) {
        SCOPED_TRACE(icons[c.id].name);
        EXPECT_EQ(Pick(c.left, c.top), c.id);
        EXPECT_EQ(Pick(c.left + 40, c.top), c.id);
        EXPECT_EQ(Pick(c.left, c.top + 40), c.id);
        EXPECT_EQ(Pick(c.left + 40, c.top + 40), c.id);
    }
}

TEST_F(IconMenu, EveryIconIsPickedAtTheMiddleOfItsCell) {
    for (int i = 0; i < kNumVelkoIcons; i++) {
        float left = ((i + 1) % 4) * 50.0f, top = ((i + 1) / 4) * 50.0f;
        EXPECT_EQ(Pick(left + 20, top + 20), icons[i].id) << icons[i].name;
    }
}

TEST_F(IconMenu, TheCurrentCellGapsAndOutsideKeepTheCurrentIcon) {
    EXPECT_EQ(Pick(20, 20), kCurrentId);
    EXPECT_EQ(Pick(40, 40), kCurrentId);
    EXPECT_EQ(Pick(45, 20), kCurrentId);    // between r and the first icon
    EXPECT_EQ(Pick(70, 45), kCurrentId);    // between two rows
    EXPECT_EQ(Pick(170, 270), kCurrentId);  // where a 23rd icon would be
    EXPECT_EQ(Pick(-5, 20), kCurrentId);
    EXPECT_EQ(Pick(20, 400), kCurrentId);
}

TEST_F(IconMenu, CellsTakeTheSizeOfTheCurrentIconsRectangle) {
    fRect wide(100, 100, 160, 120);  // 60 x 20 with a gap of 4
    EXPECT_EQ(PickIconMenu(wide, 4, -3, fPoint2(164, 100)), 0);
    EXPECT_EQ(PickIconMenu(wide, 4, -3, fPoint2(162, 110)), -3);
    EXPECT_EQ(PickIconMenu(wide, 4, -3, fPoint2(100, 124)), 3);
    EXPECT_EQ(PickIconMenu(wide, 4, -3, fPoint2(228 + 60, 5 * 24 + 100 + 20)), 21);
}

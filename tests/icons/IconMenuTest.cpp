// Where the icon menu's cells lie and what a click on them picks.
#include <gtest/gtest.h>

#include <cmath>

#include "IconTestSupport.h"
#include "VelkoIcons.h"

namespace {

const fRect kCurrent(0, 0, 40, 40);
const float kGap = 10;
const int kCurrentId = 99;
const fRect kWindow(0, 0, 800, 480);

int Pick(float x, float y) {
    return PickIconMenu(kCurrent, kGap, kCurrentId, fPoint2(x, y), kWindow);
}

bool Inside(const fRect& inner, const fRect& outer) {
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const fRect& a, const fRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

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

TEST_F(IconMenu, WhereItDoesNotFitTheMenuGrowsUpOrLeftByWholeCells) {
    fRect cells[kNumVelkoIcons];
    // The doll's starting corner: six rows upward, r first in the bottom row
    LayoutIconMenu(fRect(10, 420, 60, 470), 10, kWindow, cells);
    EXPECT_EQ(cells[0].GetTopLeft(), fPoint2(10, 120));
    EXPECT_EQ(cells[19].GetTopLeft(), fPoint2(190, 360));
    EXPECT_EQ(cells[20].GetTopLeft(), fPoint2(70, 420));
    // The bottom-right corner: r is the grid's last cell, the empty one just left of it
    LayoutIconMenu(fRect(740, 420, 790, 470), 10, kWindow, cells);
    EXPECT_EQ(cells[0].GetTopLeft(), fPoint2(560, 120));
    EXPECT_EQ(cells[21].GetTopLeft(), fPoint2(620, 420));
    // Half way down, neither below nor above fits: r lands in the third row
    LayoutIconMenu(fRect(300, 200, 350, 250), 10, kWindow, cells);
    EXPECT_EQ(cells[0].GetTopLeft(), fPoint2(300, 80));
    EXPECT_EQ(cells[8].GetTopLeft(), fPoint2(360, 200));
}

TEST_F(IconMenu, FromAnyPlaceEveryCellIsInsideAndPicksItsOwnIcon) {
    // r swept over the window in 5-unit steps, both edges of each axis included, and on to
    // places partly outside it, where a drag in progress can take the icon
    const float w = 50, gap = 10;
    int checked = 0;
    for (float x = -45; x <= 795; x += 5) {
        for (float y = -45; y <= 475; y += 5) {
            fRect r(x, y, x + w, y + w);
            bool rInside = Inside(r, kWindow);
            fRect cells[kNumVelkoIcons];
            LayoutIconMenu(r, gap, kWindow, cells);
            for (int i = 0; i < kNumVelkoIcons; i++) {
                const fRect& c = cells[i];
                bool ok = Inside(c, kWindow) && c.GetWidth() == w && c.GetHeight() == w &&
                          PickIconMenu(r, gap, kCurrentId, c.GetCenter(), kWindow) == icons[i].id;
                if (rInside) {
                    // On r's own lattice, one whole cell step from the next, never over r
                    float cols = (c.left - x) / (w + gap), rows = (c.top - y) / (w + gap);
                    ok = ok && cols == roundf(cols) && rows == roundf(rows) && !Overlap(c, r);
                    // Right of and below r wherever that fits
                    if (x + 230 <= 800 && y + 350 <= 480) ok = ok && c.left >= x && c.top >= y;
                }
                if (!ok) {
                    ADD_FAILURE() << "r at " << x << ", " << y << ": " << icons[i].name;
                }
                checked += ok;
            }
            if (rInside) {
                EXPECT_EQ(PickIconMenu(r, gap, kCurrentId, r.GetCenter(), kWindow), kCurrentId);
            }
            if (HasFailure()) return;
        }
    }
    EXPECT_EQ(checked, 169 * 105 * kNumVelkoIcons);
}

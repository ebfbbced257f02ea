// A full icon table: what still works when all 256 slots are taken. A program of its own,
// since the table lives as long as the process.
#include <gtest/gtest.h>

#include "GIconTable.h"
#include "GLTestContext.h"
#include "IconTestSupport.h"
#include "VelkoIcons.h"

namespace {

const float kDot[] = {-1, -1, 0.5f, 0.5f, 0.6f, 0.5f, -2, -2};

int FillTable() {
    int added = 0;
    while (GIconTable::AddStaticIcon(kDot, "filler") != -1) added++;
    return added;
}

}  // namespace

TEST(FullIconTable, TakesExactly256IconsThenRefusesMoreButStillResolvesKnownNames) {
    EnsureBuiltInIcons();
    EXPECT_EQ(FillTable(), 256 - kNumVelkoIcons);
    EXPECT_EQ(GIconTable::entryCount, 256);
    EXPECT_NE(GIconTable::GetIcon(255), nullptr);
    EXPECT_EQ(GIconTable::AddStaticIcon(kDot, "one-too-many"), -1);
    EXPECT_EQ(GIconTable::ResolveIcon("heart"), 6);
    EXPECT_EQ(GIconTable::ResolveIcon("filler"), kNumVelkoIcons);
    ScratchDir dir;
    dir.Write("late.gicon", "-1, -1, 0.5, 0.5, -2, -2,");
    EXPECT_EQ(GIconTable::ResolveIcon("late"), -1);
    EXPECT_EQ(GIconTable::entryCount, 256);
}

TEST(FullIconTable, BuiltInsThatFindNoSlotShowEmptyCellsThatPickNothing) {
    EnsureBuiltInIcons();
    FillTable();
    LoadStaticIcons();  // a second registration finds the table full
    for (int i = 0; i < kNumVelkoIcons; i++) EXPECT_EQ(icons[i].id, -1);
    fRect r(0, 0, 40, 40);
    EXPECT_EQ(PickIconMenu(r, 10, 6, fPoint2(70, 20)), -1);
    EXPECT_EQ(PickIconMenu(r, 10, 6, fPoint2(20, 20)), 6);
    if (!GLTestContext::Available()) return;
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    auto prims = gl.Capture([&] { RenderIconMenu(r, 10); });
    // Each cell is a white face (two triangles or one quad) and a four-sided frame
    int lines = 0, faces = 0;
    for (const auto& p : prims) {
        lines += p.kind == FeedbackPrimitive::line;
        faces += p.kind == FeedbackPrimitive::polygon;
    }
    EXPECT_EQ(lines, 4 * kNumVelkoIcons);
    EXPECT_GE(faces, kNumVelkoIcons);
}

TEST(FullIconTableDeathTest, ACountThatDisagreesWithTheSlotsStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            FillTable();
            GIconTable::entryCount--;
            GIconTable::AddStaticIcon(kDot, "x");
        },
        "Assertion failed: 0, file .*GIconTable");
}

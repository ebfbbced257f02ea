// Reading .gicon text into a file icon: the stroke layout, and text that is cut short,
// malformed or huge.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "IconTestSupport.h"
#include "gicon.h"

namespace {

// Reads text as if it were a .gicon file
void Read(gicon& icon, const std::string& text) {
    FILE* f = fmemopen((void*)text.data(), text.size(), "r");
    ASSERT_NE(f, nullptr);
    icon.ReadFromFile(f);
    fclose(f);
}

}  // namespace

TEST(IconFile, OneStrokeOfTwoPointsBecomesOneThickIconSpaceLine) {
    gicon icon;
    Read(icon, "-1, -1,\n0.25, 0.5,\n0.75, 0.5,\n-2, -2,\n");
    auto lines = LinesOf(icon);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 2u);
    EXPECT_EQ(lines[0][0], fPoint2(0.25f, 0.5f));
    EXPECT_EQ(lines[0][1], fPoint2(0.75f, 0.5f));
    EXPECT_EQ(icon.lines->thickness, 2);
    EXPECT_TRUE(icon.lines->dontAnalyzeFilters);
}

TEST(IconFile, LinesListInReverseFileOrderAndPickInIconSpace) {
    gicon icon;
    Read(icon, "-1,-1, 0.1,0.1, 0.2,0.2, -1,-1, 0.9,0.9, -2,-2,");
    auto lines = LinesOf(icon);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::vector<fPoint2>{fPoint2(0.9f, 0.9f)});
    EXPECT_EQ(lines[1].size(), 2u);
    float d;
    EXPECT_EQ(icon.lines->GetNext()->PickPoint2(fPoint2(0.2f, 0.21f), &d), 1);
    EXPECT_NEAR(d, 0.01f, 1e-6f);
}

TEST(IconFile, PointsBeforeTheFirstStrokeAreDroppedAndRepeatedMarkersMakeEmptyLines) {
    gicon icon;
    Read(icon, "0.5, 0.5, -1, -1, -1, -1, 0.3, 0.3, -2, -2,");
    auto lines = LinesOf(icon);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::vector<fPoint2>{fPoint2(0.3f, 0.3f)});
    EXPECT_TRUE(lines[1].empty());
}

TEST(IconFile, ReadingEndsAtTheEndMarkerOrAtTheEndOfTheText) {
    gicon afterEnd;
    Read(afterEnd, "-1, -1, 0.1, 0.1, -2, -2, -1, -1, 0.2, 0.2,");
    EXPECT_EQ(LinesOf(afterEnd).size(), 1u);
    // No end marker and no comma after the last number
    gicon unterminated;
    Read(unterminated, "  -1,\n\t-1,\n 0.1,\n  0.2");
    auto lines = LinesOf(unterminated);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::vector<fPoint2>{fPoint2(0.1f, 0.2f)});
}

TEST(IconFile, MarkersMustMatchInBothCoordinates) {
    gicon icon;
    Read(icon, "-1, -1, -1, 0.5, 0.5, -2, -2, -2,");
    auto lines = LinesOf(icon);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (std::vector<fPoint2>{fPoint2(-1, 0.5f), fPoint2(0.5f, -2)}));
}

TEST(IconFile, MalformedTextKeepsTheStrokesReadBeforeIt) {
    struct Case {
        const char* tail;
        const char* why;
    } cases[] = {
        {"0.7,", "text ends mid-pair"},
        {"0.7 , 0.8, 0.5, 0.6,", "space between a number and its comma"},
        {"0.7; 0.8, 0.5, 0.6,", "wrong separator"},
        {"zebra, 0.5, 0.6,", "not a number"},
        {"nan, 0.8, 0.5, 0.6,", "not a number that scanf accepts"},
        {"0.7, inf, 0.5, 0.6,", "infinite"},
        {"1e39, 0.8, 0.5, 0.6,", "beyond float range"},
        {"0.7, -1e39, 0.5, 0.6,", "beyond float range, negative"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        gicon icon;
        Read(icon, std::string("-1, -1, 0.1, 0.2, -1, -1, 0.3, 0.4, ") + c.tail);
        auto lines = LinesOf(icon);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], std::vector<fPoint2>{fPoint2(0.3f, 0.4f)});
        EXPECT_EQ(lines[1], std::vector<fPoint2>{fPoint2(0.1f, 0.2f)});
    }
}

TEST(IconFile, EmptyTextOrNoFileGivesNoLines) {
    gicon empty;
    Read(empty, "");
    EXPECT_EQ(empty.lines, nullptr);
    gicon none;
    none.ReadFromFile(nullptr);
    EXPECT_EQ(none.lines, nullptr);
}

TEST(IconFile, AMillionPointStrokeIsReadWhole) {
    const int n = 1000000;
    std::string text = "-1, -1,\n";
    text.reserve((size_t)n * 12);
    for (int i = 0; i < n; i++) text += (i % 2) ? "0.5, 0.25,\n" : "0.25, 0.5,\n";
    text += "-2, -2,\n";
    gicon icon;
    Read(icon, text);
    ASSERT_NE(icon.lines, nullptr);
    EXPECT_EQ(icon.lines->GetNPoints(), n);
    EXPECT_EQ(*icon.lines->GetPoint(n - 1), fPoint2(0.5f, 0.25f));
}

TEST(IconFileDeathTest, ALineNeedsAnIconAndAnIconNeedsARealLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(giconLine line(nullptr), "Assertion failed: i, file .*gicon");
    EXPECT_DEATH(
        {
            gicon icon;
            icon.InsertLine(nullptr);
        },
        "Assertion failed: l, file .*gicon");
}

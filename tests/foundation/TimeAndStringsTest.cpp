// The clock, the time curves and the string helpers.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

#include "DisplayText.h"
#include "MissingUnixFunctions.h"
#include "fTime.h"
#include "utils.h"

namespace {

TEST(Clock, IsMonotonicAndCanBePinnedByTests) {
    float a = GetSeconds();
    float b = GetSeconds();
    EXPECT_GE(b, a);
    SetTestSeconds(123.5f);
    EXPECT_EQ(GetSeconds(), 123.5f);
    EXPECT_EQ(fTime::GetSeconds(), 123.5f);
    ClearTestSeconds();
    EXPECT_LT(GetSeconds(), 123.5f);
}

TEST(Clock, AnOffsetStartsItAtAGivenUptimeWhereThePreciseReadingKeepsMilliseconds) {
    const double uptime = 80 * 3600.0;
    SetClockOffset(uptime);
    double a = GetPreciseSeconds();
    float coarse = GetSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    double b = GetPreciseSeconds();
    SetClockOffset(0);
    EXPECT_GE(a, uptime);
    EXPECT_LT(a, uptime + 600);
    EXPECT_NEAR(coarse, a, 1.0 / 32);  // the float's step at this uptime
    EXPECT_GE(b - a, 0.003);
    EXPECT_LT(b - a, 1.0);
    EXPECT_LT(GetPreciseSeconds(), uptime);
}

TEST(TimeCurves, SinceRampsFromZeroToOne) {
    EXPECT_EQ(TimeSinceAsClamp_base(0.5f, 1, 2), 0);
    EXPECT_EQ(TimeSinceAsClamp_base(1, 1, 2), 0);
    EXPECT_FLOAT_EQ(TimeSinceAsClamp_base(2, 1, 2), 0.5f);
    EXPECT_EQ(TimeSinceAsClamp_base(3, 1, 2), 1);
    EXPECT_EQ(TimeSinceAsClamp_base(30, 1, 2), 1);
}

TEST(TimeCurves, SinceWithZeroUnitIsAStepWithoutDividing) {
    EXPECT_EQ(TimeSinceAsClamp_base(1, 1, 0), 0);
    EXPECT_EQ(TimeSinceAsClamp_base(0.5f, 1, 0), 0);
    EXPECT_EQ(TimeSinceAsClamp_base(1.001f, 1, 0), 1);
}

TEST(TimeCurves, CycleIsATriangleOverEachPeriod) {
    EXPECT_EQ(TimePeriodCycleAsClamp_base(10, 10, 2), 0);
    EXPECT_FLOAT_EQ(TimePeriodCycleAsClamp_base(11, 10, 2), 1);
    EXPECT_FLOAT_EQ(TimePeriodCycleAsClamp_base(10.5f, 10, 2), 0.5f);
    EXPECT_EQ(TimePeriodCycleAsClamp_base(12, 10, 2), 0);
    EXPECT_FLOAT_EQ(TimePeriodCycleAsClamp_base(13, 10, 2), 1);
    // Before start the triangle continues backwards
    EXPECT_FLOAT_EQ(TimePeriodCycleAsClamp_base(9, 10, 2), 1);
    EXPECT_FLOAT_EQ(TimePeriodCycleAsClamp_base(9.5f, 10, 2), 0.5f);
}

TEST(TimeCurves, RiseIsASawToothThatWrapsAtEveryLength) {
    EXPECT_EQ(TimePeriodRiseAsClamp_base(4, 4, 1), 0);
    EXPECT_GT(TimePeriodRiseAsClamp_base(4.999f, 4, 1), 0.99f);
    EXPECT_EQ(TimePeriodRiseAsClamp_base(5, 4, 1), 0);
    EXPECT_FLOAT_EQ(TimePeriodRiseAsClamp_base(6.25f, 4, 1), 0.25f);
    EXPECT_FLOAT_EQ(TimePeriodRiseAsClamp_base(3.25f, 4, 1), 0.25f);
    EXPECT_GT(TimePeriodRiseAsClamp_base(2.999f, 4, 1), 0.99f);
}

TEST(TimeCurves, ClockedVariantsReadThePinnedClock) {
    SetTestSeconds(7);
    EXPECT_FLOAT_EQ(fTime::Since(6, 4), 0.25f);
    EXPECT_FLOAT_EQ(fTime::Cycle(6, 4), 0.5f);
    ClearTestSeconds();
}

TEST(Strings, CopyWithMaxCutsAndReportsWhetherAllFit) {
    char buf[8];
    EXPECT_FALSE(strcpymax(buf, "abcdef", 4));
    EXPECT_STREQ(buf, "abc");
    EXPECT_TRUE(strcpymax(buf, "abcdef", 7));
    EXPECT_STREQ(buf, "abcdef");
    EXPECT_TRUE(strcpymax(buf, "", 1));
    EXPECT_STREQ(buf, "");
    EXPECT_FALSE(strcpymax(buf, "x", 1));
    EXPECT_STREQ(buf, "");

    strcpy(buf, "keep");
    EXPECT_TRUE(strcpymax(buf, nullptr, 8));
    EXPECT_STREQ(buf, "keep");
    EXPECT_TRUE(strcpymax(nullptr, "abc", 8));
}

TEST(Strings, DuplicateOwnsACopy) {
    EXPECT_EQ(dupstring(nullptr), nullptr);
    char* e = dupstring("");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e[0], 0);
    delete[] e;
    const char* src = "hello";
    char* d = dupstring(src);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(d, src);
    EXPECT_STREQ(d, src);
    delete[] d;
}

TEST(Strings, IndexFindsTheFirstMatchingCharacter) {
    const char* s = "abcb";
    EXPECT_EQ(index(s, 'b'), s + 1);
    EXPECT_EQ(index(s, 'z'), nullptr);
}

// Each byte outside a well-formed sequence (Latin-1, stray, overlong, surrogate, past
// U+10FFFF, cut short) becomes U+FFFD, written R; valid text stays
TEST(Strings, TextForDisplayIsValidUtf8WithEachBadByteReplaced) {
    const std::string R = "\xEF\xBF\xBD",
                      valid = "\xC3\xA9\xE2\x80\xA2\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    EXPECT_EQ(
        ValidUtf8ForDisplay(valid + "caf\xE9\x80\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80!\xE2\x82"),
        valid + "caf" + R + R + R + R + R + R + R + R + R + R + R + "!" + R + R);
}

}  // namespace

// The process-wide icon table: registration, lookup by name, loading .gicon files from
// the working directory, and the built-in set's place in it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "DesktopIcon.h"
#include "GIconTable.h"
#include "IconTestSupport.h"
#include "VelkoIcons.h"

namespace {

const float kEmptyStream[] = {-2, -2};

class IconTable : public ::testing::Test {
protected:
    void SetUp() override { EnsureBuiltInIcons(); }
};

}  // namespace

TEST_F(IconTable, TheBuiltInSetTakesTheFirstTwentyTwoSlotsInOrder) {
    for (int i = 0; i < kNumVelkoIcons; i++) {
        EXPECT_EQ(icons[i].id, i) << icons[i].name;
        EXPECT_STREQ(GIconTable::table[i].name, icons[i].name);
    }
    EXPECT_STREQ(icons[6].name, "heart");
    EXPECT_STREQ(icons[21].name, "none");
}

TEST_F(IconTable, BuiltInNamesResolveWithoutTouchingTheDisk) {
    ScratchDir dir;
    dir.Write("heart.gicon", "-1, -1, 0.5, 0.5, -2, -2,");
    int before = GIconTable::entryCount;
    EXPECT_EQ(GIconTable::ResolveIcon("heart"), 6);
    EXPECT_EQ(GIconTable::ResolveIcon("none"), 21);
    EXPECT_EQ(GIconTable::entryCount, before);
    EXPECT_NE(dynamic_cast<giconStatic*>(GIconTable::GetIcon(6)), nullptr);
}

TEST_F(IconTable, IdsOutsideTheTableOrOnFreeSlotsHaveNoIcon) {
    EXPECT_EQ(GIconTable::GetIcon(-1), nullptr);
    EXPECT_EQ(GIconTable::GetIcon(256), nullptr);
    EXPECT_EQ(GIconTable::GetIcon(255), nullptr);  // far beyond what these tests register
    EXPECT_NE(GIconTable::GetIcon(0), nullptr);
}

TEST_F(IconTable, RegisteringTakesTheLowestFreeSlotEvenForADuplicateName) {
    int a = GIconTable::AddStaticIcon(kEmptyStream, "twice");
    int b = GIconTable::AddStaticIcon(kEmptyStream, "twice");
    ASSERT_NE(a, -1);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(GIconTable::ResolveIcon("twice"), a);
    EXPECT_EQ(static_cast<giconStatic*>(GIconTable::GetIcon(a))->data, kEmptyStream);
}

TEST_F(IconTable, ALongNameIsCutToItsSlotWhenRegistered) {
    std::string longName(80, 'q');
    int id = GIconTable::AddStaticIcon(kEmptyStream, longName.c_str());
    ASSERT_NE(id, -1);
    EXPECT_EQ(strlen(GIconTable::table[id].name), 63u);
    EXPECT_EQ(GIconTable::ResolveIcon(std::string(63, 'q').c_str()), id);
}

TEST_F(IconTable, AMissingFileResolvesToNothingAndRegistersNothing) {
    ScratchDir dir;
    int before = GIconTable::entryCount;
    EXPECT_EQ(GIconTable::ResolveIcon("no-such-icon"), -1);
    EXPECT_EQ(GIconTable::ResolveIcon(nullptr), -1);
    // A pipe is refused without waiting for a writer, and a folder is no icon either
    ASSERT_EQ(mkfifo("pipe.gicon", 0600), 0);
    ASSERT_EQ(mkdir("folder.gicon", 0700), 0);
    EXPECT_EQ(GIconTable::ResolveIcon("pipe"), -1);
    EXPECT_EQ(GIconTable::ResolveIcon("folder"), -1);
    unlink("pipe.gicon");
    rmdir("folder.gicon");
    EXPECT_EQ(GIconTable::entryCount, before);
}

TEST_F(IconTable, AFileIsLoadedOnceAndFoundInTheTableAfterwards) {
    ScratchDir dir;
    dir.Write("star.gicon", "-1, -1,\n0.5, 0,\n0.6, 0.4,\n-2, -2,\n");
    int before = GIconTable::entryCount;
    int id = GIconTable::ResolveIcon("star");
    ASSERT_NE(id, -1);
    EXPECT_EQ(GIconTable::entryCount, before + 1);
    auto* icon = dynamic_cast<gicon*>(GIconTable::GetIcon(id));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LinesOf(*icon).at(0).size(), 2u);
    dir.Remove("star.gicon");
    EXPECT_EQ(GIconTable::ResolveIcon("star"), id);
    EXPECT_EQ(GIconTable::entryCount, before + 1);
}

TEST_F(IconTable, AnEmptyOrBrokenFileStillGivesAnIcon) {
    ScratchDir dir;
    dir.Write("blank.gicon", "");
    dir.Write("torn.gicon", "-1, -1, 0.1, 0.1, 0.2,");
    int blank = GIconTable::ResolveIcon("blank");
    ASSERT_NE(blank, -1);
    EXPECT_EQ(static_cast<gicon*>(GIconTable::GetIcon(blank))->lines, nullptr);
    int torn = GIconTable::ResolveIcon("torn");
    ASSERT_NE(torn, -1);
    EXPECT_EQ(LinesOf(*static_cast<gicon*>(GIconTable::GetIcon(torn))).at(0).size(), 1u);
}

TEST_F(IconTable, ANameTooLongForItsSlotIsNotLoaded) {
    // Cut to 63 characters it could never be found again, and each lookup would load it
    // into another slot
    ScratchDir dir;
    std::string longName(64, 'n');
    dir.Write(longName + ".gicon", "-1, -1, 0.5, 0.5, -2, -2,");
    int before = GIconTable::entryCount;
    EXPECT_EQ(GIconTable::ResolveIcon(longName.c_str()), -1);
    EXPECT_EQ(GIconTable::entryCount, before);
    // The longest name that fits loads and is found again
    std::string fits(63, 'n');
    dir.Write(fits + ".gicon", "-1, -1, 0.5, 0.5, -2, -2,");
    int id = GIconTable::ResolveIcon(fits.c_str());
    ASSERT_NE(id, -1);
    EXPECT_EQ(GIconTable::ResolveIcon(fits.c_str()), id);
    EXPECT_EQ(GIconTable::entryCount, before + 1);
}

// The desktop's icon of the program: the built-in heart's strokes on a white tile
TEST(DesktopIcon, TheSvgAndThePictureDrawTheSameStrokesOnAWhiteTile) {
    const int size = 64;
    RgbaImage im;
    DrawDesktopIcon(heart, size, &im);
    ASSERT_EQ(im.width, size);
    EXPECT_EQ(im.Pixel(0, 0)[3], 0) << "outside the rounded corner";
    const unsigned char* inside = im.Pixel(size / 2, size / 2);  // within the heart
    EXPECT_TRUE(inside[0] == 255 && inside[3] == 255);
    int points = 0;
    for (const float* d = heart; !(d[0] == -2 && d[1] == -2); d += 2) {
        if (d[0] == -1) continue;
        points++;
        int x = (int)((0.15f + 0.7f * d[0]) * size), y = (int)((0.15f + 0.7f * d[1]) * size);
        EXPECT_LT(im.Pixel(x, y)[0], 100) << "stroke point " << points << " at " << x << "," << y;
    }
    // The window's icon: the same picture, as 0xAARRGGBB after its width and height
    std::vector<unsigned long> window = WindowIconData(heart, {size});
    ASSERT_EQ(window.size(), 2 + (size_t)size * size);
    const unsigned long* big = &window[2];
    for (int at : {0, size * size / 2 + size / 2, (int)(0.6f * size) * size + size / 3}) {
        const unsigned char* p = &im.pixels[(size_t)at * 4];
        EXPECT_EQ(big[at], (unsigned long)p[3] << 24 | p[0] << 16 | p[1] << 8 | p[2]) << at;
    }
    std::string svg = DesktopIconSvg(heart, size);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    size_t at = svg.find("<polyline points=\"");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(svg.find("<polyline", at + 1), std::string::npos) << "the heart is one stroke";
    std::string list = svg.substr(at, svg.find('"', at + 18) - at);
    EXPECT_EQ(std::count(list.begin(), list.end(), ','), points);
}

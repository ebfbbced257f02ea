// The splash screens: the plain one that is done at once, and the title sequence checked at
// exact clock times, both as computed layout and as drawn in a real GL context.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "GLTestContext.h"
#include "SplashScreenJitter.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"

namespace {

// A shell that only knows its content rectangle, which is all a splash asks of it
class BoundsOnlyApp : public App {
public:
    explicit BoundsOnlyApp(fRect b = fRect(0, 0, 800, 480)) : bounds(b) {}
    fRect bounds;

    fRect GetBounds() const override { return bounds; }
    fPoint2 GetMouseLoc() const override { return fPoint2(); }
    bool GetIsMouseDown() const override { return false; }
    fPoint2 GetMouseDownLoc() const override { return fPoint2(); }
    bool GetWasDoubleClick() const override { return false; }
    bool GetWasClickInPlace() const override { return false; }
    bool GetCouldBeDrag() const override { return false; }
    bool GetWasShiftKeyDown() const override { return false; }
    bool GetWasControlKeyDown() const override { return false; }
    bool GetWasOptionKeyDown() const override { return false; }
    void SetMouseCursor(AppCursor) override {}
    void Beep() override {}
    void SetQuit(bool) override {}

protected:
    void PleaseRender() override {}
};

// Opens up the stored strings
class ReadableSplash : public SplashScreen {
public:
    using SplashScreen::GetAppString;
    using SplashScreen::GetAuthorString;
    using SplashScreen::GetCopyrightString;
    using SplashScreen::SplashScreen;
};

const char* kApp = "Velko";
const char* kAuthor = "by Wren Castellan";
// Program clock time at which every sequence in these tests starts
const float kStart = 100;

// Pins the clock for one test and lets it go afterwards
class PinnedClock : public ::testing::Test {
protected:
    void SetUp() override { SetTestSeconds(kStart); }
    void TearDown() override { ClearTestSeconds(); }
    static void At(float secondsAfterStart) { SetTestSeconds(kStart + secondsAfterStart); }
};

fPoint2 Entry(int k) {
    return fPoint2(SplashScreenJitter::motionLine[2 * k],
                   SplashScreenJitter::motionLine[2 * k + 1]);
}

// Entry k placed in an 800 x 480 window
fPoint2 EntryInWindow(int k) { return fPoint2(Entry(k).x * 800, Entry(k).y * 480); }

void ExpectNear(fPoint2 got, fPoint2 want, float tol = 0.01f) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
}

std::string Repeat(char c, int n) { return std::string((size_t)n, c); }

TEST(PlainSplashScreen, IsDoneAtOnceAndDrawsNothing) {
    BoundsOnlyApp shell;
    SplashScreen s(kApp, kAuthor, &shell);
    EXPECT_TRUE(s.GetIsDone());
    s.Skip();
    s.Update();
    EXPECT_TRUE(s.GetIsDone());
    EXPECT_EQ(s.GetBounds().right, 800) << "reaches the shell through its proxy";
    if (!GLTestContext::Available()) return;
    auto& gl = GLTestContext::Get();
    gl.BeginFrame();
    EXPECT_TRUE(gl.Capture([&] { s.Render(); }).empty());
}

TEST(PlainSplashScreen, KeepsTheFirst63CharactersOfLongStrings) {
    BoundsOnlyApp shell;
    std::string app = Repeat('a', 40) + Repeat('A', 30);
    std::string author = Repeat('b', 63) + Repeat('B', 7);
    ReadableSplash s(app.c_str(), author.c_str(), &shell);
    EXPECT_EQ(std::string(s.GetAppString()), app.substr(0, 63));
    EXPECT_EQ(std::string(s.GetAuthorString()), Repeat('b', 63));
    EXPECT_STREQ(s.GetCopyrightString(), "") << "empty until set";
    s.SetCopyrightString((Repeat('c', 63) + "CCCCCCC").c_str());
    EXPECT_EQ(std::string(s.GetCopyrightString()), Repeat('c', 63));
    s.SetCopyrightString("(c) Marrow Lane");
    EXPECT_STREQ(s.GetCopyrightString(), "(c) Marrow Lane");
}

TEST(SplashMotionLine, HoldsTheMarkersAndTheGivenPointsOfTheCurve) {
    ExpectNear(Entry(0), fPoint2(-1, -1), 0);
    ExpectNear(Entry(100), fPoint2(-2, -2), 0);
    ExpectNear(Entry(1), fPoint2(0.453125f, 0.200893f), 0);
    ExpectNear(Entry(20), fPoint2(0.256696f, 0.441964f), 0);
    ExpectNear(Entry(43), fPoint2(0.493304f, 0.745536f), 0);
    ExpectNear(Entry(60), fPoint2(0.787946f, 0.435268f), 0);
    ExpectNear(Entry(78), fPoint2(0.513393f, 0.191964f), 0);
    ExpectNear(Entry(99), fPoint2(0.377232f, 0.435268f), 0);
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    EXPECT_EQ(SplashScreenJitter::motionLineNumPoints, 99);
}

TEST(SplashMotionLine, IsAnUnbrokenPenStrokeInsideTheUnitSquare) {
    for (int k = 1; k <= 99; k++) {
        fPoint2 p = Entry(k);
        EXPECT_TRUE(p.x > 0 && p.x < 1 && p.y > 0 && p.y < 1) << "entry " << k;
        if (k > 1) {
            float step = p.Dist(Entry(k - 1));
            EXPECT_GT(step, 0.f) << "entry " << k;
            EXPECT_LT(step, 0.06f) << "no jump into entry " << k;
        }
    }
}

TEST(SplashMotionLine, SweepsLeftDownRoundUpTheRightAcrossTheTopAndCurlsInward) {
    int left = 1, bottom = 1, right = 1;
    for (int k = 1; k <= 99; k++) {
        if (Entry(k).x < Entry(left).x) left = k;
        if (Entry(k).y > Entry(bottom).y) bottom = k;
        if (Entry(k).x > Entry(right).x) right = k;
    }
    EXPECT_LT(left, bottom);
    EXPECT_LT(bottom, right);
    EXPECT_GT(left, 5);
    EXPECT_LT(right, 75);
    EXPECT_LT(Entry(right).y, 0.6f) << "the right side is reached at mid height";
    // Back across the top: above the start line somewhere after the right side
    float topAfterRight = 1;
    for (int k = right; k <= 99; k++) topAfterRight = fminf(topAfterRight, Entry(k).y);
    EXPECT_LT(topAfterRight, 0.25f);
    // Curling inward: the stroke ends much nearer the middle than its loop runs
    fPoint2 middle(0.52f, 0.47f);
    EXPECT_LT(Entry(99).Dist(middle), 0.6f * Entry(43).Dist(middle));
    EXPECT_LT(Entry(99).x, 0.5f) << "ends left of centre";
}

using SplashTitle = PinnedClock;

TEST_F(SplashTitle, StartsWhiteAtTheSecondEntryOfTheCurve) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    EXPECT_EQ(s.GetStart(), kStart);
    EXPECT_EQ(s.GetTitleFade(), 0);
    ExpectNear(s.GetTitleLoc(shell.bounds), EntryInWindow(2));
    EXPECT_EQ(s.GetTitleShade(), 0);
}

TEST_F(SplashTitle, IsBlackAtFourPointEightSeconds) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    At(2.4f);
    EXPECT_NEAR(s.GetTitleShade(), 0.5f, 1e-4f) << "half way in";
    At(4.8f);
    EXPECT_NEAR(s.GetTitleShade(), 1, 1e-4f);
    At(5.4f);
    EXPECT_NEAR(s.GetTitleShade(), 0.5f, 1e-4f) << "half way out";
}

TEST_F(SplashTitle, GlidesBetweenNeighbouringEntriesAndStopsWhiteOnEntry98) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    At(3);  // 97 steps at half way: between entries 50 and 51
    fPoint2 half;
    half.SetToBetween(EntryInWindow(50), EntryInWindow(51), 0.5f);
    ExpectNear(s.GetTitleLoc(shell.bounds), half, 0.05f);
    At(6);
    ExpectNear(s.GetTitleLoc(shell.bounds), EntryInWindow(98));
    EXPECT_NEAR(s.GetTitleShade(), 0, 1e-4f);
    At(60);
    ExpectNear(s.GetTitleLoc(shell.bounds), EntryInWindow(98));
}

TEST_F(SplashTitle, FollowsTheShellsContentRectangle) {
    BoundsOnlyApp shell(fRect(20, 30, 420, 330));
    SplashScreenJitter s(kApp, kAuthor, &shell);
    ExpectNear(s.GetTitleLoc(shell.bounds), fPoint2(20 + Entry(2).x * 400, 30 + Entry(2).y * 300));
}

using SplashAuthor = PinnedClock;

TEST_F(SplashAuthor, WaitsUntilHalfASecondBeforeTheTitleEnds) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    for (float t : {0.f, 3.f, 5.4f, 5.5f}) {
        At(t);
        EXPECT_EQ(s.GetAuthorProgress(), 0) << t;
    }
    At(7.5f);
    EXPECT_NEAR(s.GetAuthorProgress(), 0.5f, 1e-4f);
}

TEST_F(SplashAuthor, DropsFromTheTopEdgeToTheCentreInTheFirstSixth) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    float left = 400 - 8 * (float)strlen(kAuthor) / 2;
    At(5.501f);
    EXPECT_LT(s.GetAuthorLoc(shell.bounds).y, 2);
    At(5.5f + 1 / 3.f);  // half the drop time: eased out to three quarters of the way
    EXPECT_NEAR(s.GetAuthorLoc(shell.bounds).y, 240 * 0.75f, 0.05f);
    At(5.5f + 4 / 6.f);
    ExpectNear(s.GetAuthorLoc(shell.bounds), fPoint2(left, 240), 0.01f);
    At(8.6f);
    ExpectNear(s.GetAuthorLoc(shell.bounds), fPoint2(left, 240), 0.01f);
}

TEST_F(SplashAuthor, ShakesUpToFiftyUnitsEitherWayFrom8Point7Seconds) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    float left = 400 - 8 * (float)strlen(kAuthor) / 2;
    At(8.69f);
    EXPECT_EQ(s.GetAuthorLoc(shell.bounds).x, left) << "still before the shake";
    float lo = 1e9f, hi = -1e9f;
    for (int i = 1; i <= 40; i++) {
        At(8.7f + 0.005f * (float)i);
        float dx = s.GetAuthorLoc(shell.bounds).x - left;
        EXPECT_LE(fabsf(dx), 50.01f);
        lo = fminf(lo, dx);
        hi = fmaxf(hi, dx);
    }
    EXPECT_LT(lo, -40);
    EXPECT_GT(hi, 40);
}

using SplashEnd = PinnedClock;

TEST_F(SplashEnd, APressOrAKeyEndsItAtOnce) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    At(1);
    EXPECT_FALSE(s.GetIsDone());
    s.Skip();
    EXPECT_TRUE(s.GetIsDone()) << "the shell removes it at its next tick";
}

TEST_F(SplashEnd, ALimitShortensBothPhasesAlikeAndNeverLengthensThem) {
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    s.LimitDuration(2);
    EXPECT_NEAR(s.GetTitleDuration(), 1.2f, 1e-5f);
    EXPECT_NEAR(s.GetAuthorDuration(), 0.8f, 1e-5f);
    At(0.6f);
    EXPECT_NEAR(s.GetTitleFade(), 0.5f, 1e-4f);
    s.LimitDuration(30);
    EXPECT_NEAR(s.GetTitleDuration() + s.GetAuthorDuration(), 2, 1e-5f);
}

// Drawing, in a real GL context

const RGB8 kWhite{255, 255, 255};
const RGB8 kBlack{0, 0, 0};

// Raster positions of the glyphs drawn, grouped into strings: a glyph off the baseline of the
// one before, or left of it, starts a new string (the splash's lines never share a baseline)
std::vector<std::vector<fPoint2>> DrawnStrings(const std::function<void()>& draw) {
    std::vector<std::vector<fPoint2>> strings;
    for (const FeedbackPrimitive& p : GLTestContext::Get().Capture(draw)) {
        if (p.kind != FeedbackPrimitive::bitmap) continue;
        fPoint2 at = p.vertices[0];
        if (strings.empty() || strings.back().back().y != at.y || strings.back().back().x > at.x)
            strings.emplace_back();
        strings.back().push_back(at);
    }
    return strings;
}

int NonWhitePixels(int x0, int y0, int x1, int y1) {
    return (x1 - x0) * (y1 - y0) - GLTestContext::Get().CountPixels(x0, y0, x1, y1, kWhite);
}

using SplashDrawing = PinnedClock;

TEST_F(SplashDrawing, TheTitleIsInvisibleAtTheStartAndBlackAt4Point8Seconds) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    gl.BeginFrame();
    auto strings = DrawnStrings([&] { s.Render(); });
    ASSERT_EQ(strings.size(), 1u) << "only the title; no copyright line was set";
    EXPECT_EQ(strings[0].size(), strlen(kApp));
    ExpectNear(strings[0][0], EntryInWindow(2));
    s.Render();
    EXPECT_EQ(NonWhitePixels(0, 0, 800, 480), 0);

    At(4.8f);
    gl.BeginFrame();
    s.Render();
    fPoint2 t = s.GetTitleLoc(shell.bounds);
    // Times Roman 24 letters stand above the baseline
    EXPECT_GT(gl.CountPixels((int)t.x, (int)t.y - 24, (int)t.x + 80, (int)t.y + 6, kBlack), 40);
    EXPECT_EQ(NonWhitePixels(0, 0, 800, 480),
              NonWhitePixels((int)t.x, (int)t.y - 24, (int)t.x + 80, (int)t.y + 6))
        << "nothing but the title is drawn before the author phase";
}

TEST_F(SplashDrawing, At6SecondsTheTitleIsWhiteOnEntry98AndTheAuthorLineIsFalling) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    // The falling author line crosses the title's box at 6 s: a second splash without it
    // shows the title alone
    SplashScreenJitter titleOnly(kApp, "", &shell);
    At(6);
    gl.BeginFrame();
    auto strings = DrawnStrings([&] { s.Render(); });
    ASSERT_EQ(strings.size(), 2u);
    ExpectNear(strings[0][0], EntryInWindow(98));
    EXPECT_EQ(strings[1].size(), strlen(kAuthor));
    ExpectNear(strings[1][0], s.GetAuthorLoc(shell.bounds));
    titleOnly.Render();
    ASSERT_FALSE(DrawnStrings([&] { titleOnly.Render(); }).empty());
    EXPECT_EQ(NonWhitePixels(0, 0, 800, 480), 0);
}

TEST_F(SplashDrawing, NoAuthorLineIsDrawnBefore5Point5Seconds) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    gl.BeginFrame();
    for (float t : {1.f, 4.f, 5.49f}) {
        At(t);
        EXPECT_EQ(DrawnStrings([&] { s.Render(); }).size(), 1u) << t;
    }
    At(5.6f);
    EXPECT_EQ(DrawnStrings([&] { s.Render(); }).size(), 2u);
}

TEST_F(SplashDrawing, TheCopyrightLineSitsSixUnitsInFromTheBottomLeftCorner) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    s.SetCopyrightString("(c) Marrow Lane");
    gl.BeginFrame();
    auto strings = DrawnStrings([&] { s.Render(); });
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0].size(), strlen("(c) Marrow Lane"));
    ExpectNear(strings[0][0], fPoint2(6, 474));
    s.Render();
    // Light gray lies between two 8-bit levels; the rasteriser may dither it to either
    EXPECT_GT(gl.CountPixels(0, 440, 200, 480, RGB8{191, 191, 191}) +
                  gl.CountPixels(0, 440, 200, 480, RGB8{192, 192, 192}),
              30);
}

TEST_F(SplashDrawing, SeventyCharacterStringsAreDrawnAsTheirFirst63) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    std::string longText = Repeat('i', 70);
    SplashScreenJitter s(longText.c_str(), longText.c_str(), &shell);
    At(7);
    gl.BeginFrame();
    auto strings = DrawnStrings([&] { s.Render(); });
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0].size(), 63u);
    EXPECT_EQ(strings[1].size(), 63u);
    EXPECT_NEAR(strings[1][0].x, 400 - 63 * 8 / 2, 0.01f) << "centred on the stored text";
}

TEST_F(SplashDrawing, PercentSignsInTheTextsAreDrawnLiterally) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    const char* app = "100% Velko";
    const char* author = "%s%n%d by %x";
    SplashScreenJitter s(app, author, &shell);
    s.SetCopyrightString("%s%s%s");
    At(7);
    gl.BeginFrame();
    auto strings = DrawnStrings([&] { s.Render(); });
    ASSERT_EQ(strings.size(), 3u);
    EXPECT_EQ(strings[0].size(), strlen("%s%s%s"));
    EXPECT_EQ(strings[1].size(), strlen(app));
    EXPECT_EQ(strings[2].size(), strlen(author));
}

TEST_F(SplashDrawing, IsDoneOnlyAfterARenderPast10Seconds) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    gl.BeginFrame();
    for (float t : {0.f, 5.f, 9.99f, 10.f}) {
        At(t);
        s.Render();
        EXPECT_FALSE(s.GetIsDone()) << t;
    }
    At(10.1f);
    EXPECT_FALSE(s.GetIsDone()) << "only a frame decides";
    s.Render();
    EXPECT_TRUE(s.GetIsDone());
}

TEST_F(SplashDrawing, AShortenedSequenceEndsAfterTwoSeconds) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    s.LimitDuration(2);
    gl.BeginFrame();
    At(0.8f);  // the author phase now starts at 0.7 s
    EXPECT_EQ(DrawnStrings([&] { s.Render(); }).size(), 2u);
    At(2);
    s.Render();
    EXPECT_FALSE(s.GetIsDone());
    At(2.01f);
    s.Render();
    EXPECT_TRUE(s.GetIsDone());
}

TEST_F(SplashDrawing, AMidSequenceFrameShowsTheFadingTitleAndTheFallingAuthor) {
    REQUIRE_GL();
    auto& gl = GLTestContext::Get();
    BoundsOnlyApp shell;
    SplashScreenJitter s(kApp, kAuthor, &shell);
    s.SetCopyrightString("(c) Marrow Lane");
    At(5.8f);
    gl.BeginFrame();
    // The path the title travels, for the picture
    SetfColor(0.85f, 0.85f, 1);
    BeginLineStrip();
    for (int k = 1; k <= 99; k++) Vertex(EntryInWindow(k));
    EndLineStrip();
    s.Render();
    fPoint2 a = s.GetAuthorLoc(shell.bounds);
    EXPECT_GT(a.y, 120);
    EXPECT_LT(a.y, 240);
    // The author line is nearly black early in its phase; the title has faded to light
    float w = 8 * (float)strlen(kAuthor);
    EXPECT_GT(NonWhitePixels((int)a.x, (int)a.y - 24, (int)(a.x + w * 1.5f), (int)a.y + 6), 60);
    RGB8 darkest = kWhite;
    for (int y = (int)a.y - 24; y < (int)a.y + 6; y++)
        for (int x = (int)a.x; x < (int)(a.x + w); x++) {
            RGB8 p = gl.Pixel(x, y);
            if (p.r < darkest.r) darkest = p;
        }
    EXPECT_LT(darkest.r, 40);
    gl.Save("splash_mid_sequence.png");
}

}  // namespace

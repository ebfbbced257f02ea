// The platform-neutral shell: event routing, mouse state, splash hand-off, tick regulation.
#include <gtest/gtest.h>

#include <algorithm>

#include "Application.h"
#include "RecordingApplet.h"
#include "SplashScreen.h"
#include "fTime.h"

namespace {

// A shell without a toolkit: the pointer is a settable field and frames are counted
class TestShell : public Application {
public:
    fPoint2 mouse;
    int frames = 0;
    int framesStarted = 0;
    bool quit = false;

    fRect GetBounds() const override { return fRect(0, 0, 800, 480); }
    fPoint2 GetMouseLoc() const override { return mouse; }
    bool GetWasDoubleClick() const override { return false; }
    bool GetWasClickInPlace() const override { return false; }
    bool GetCouldBeDrag() const override { return false; }
    bool GetWasShiftKeyDown() const override { return false; }
    bool GetWasControlKeyDown() const override { return false; }
    bool GetWasOptionKeyDown() const override { return false; }
    void SetMouseCursor(AppCursor) override {}
    void Beep() override {}
    void SetQuit(bool v) override { quit = v; }
    void SetWindowTitle(const char*) override {}
    void SetSplashText(const char*) override {}
    void SetCameraLoc(fPoint2) override {}
    fPoint2 GetCameraLoc() const override { return fPoint2(); }
    void SetCameraZoom(float) override {}
    float GetCameraZoom() const override { return 1; }
    void StartFrame() override { framesStarted++; }
    void EndFrame() override { frames++; }

    tickRegulator& Regulator() { return fpsRegulator; }
};

// A splash that counts what the shell asks of it and is done when told
class TestSplash : public SplashScreen {
public:
    TestSplash(App* shell, int* destroyed)
        : SplashScreen("app", "author", shell), gone(destroyed) {}
    ~TestSplash() override { (*gone)++; }
    void Update() override { updates++; }
    void Render() override { renders++; }
    void Skip() override { skips++; }
    bool GetIsDone() override { return done; }

    int updates = 0, renders = 0, skips = 0;
    bool done = false;
    int* gone;
};

// Pins the clock before the shell reads it in its constructor
struct PinnedClock {
    PinnedClock() { SetTestSeconds(100); }
    ~PinnedClock() { ClearTestSeconds(); }
};

class ApplicationRouting : public ::testing::Test {
protected:
    PinnedClock clock;
    TestShell shell;
    RecordingApplet applet{&shell};
    void Start() { shell.EnterEventLoop(&applet); }
};

TEST_F(ApplicationRouting, APressWithoutReleaseIsPrecededByASyntheticRelease) {
    Start();
    shell.MouseDown(fPoint2(1, 2));
    shell.MouseDown(fPoint2(5, 6));
    ASSERT_EQ(applet.events.size(), 3u);
    EXPECT_EQ(applet.events[0], "down 1,2");
    EXPECT_EQ(applet.events[1], "up 5,6");
    EXPECT_EQ(applet.events[2], "down 5,6");
    EXPECT_TRUE(shell.GetIsMouseDown());
    EXPECT_EQ(shell.GetMouseDownLoc(), fPoint2(5, 6));
    shell.MouseUp(fPoint2(5, 6));
    EXPECT_FALSE(shell.GetIsMouseDown());
}

TEST_F(ApplicationRouting, TheLastPressStartsOneSecondInThePast) {
    EXPECT_FLOAT_EQ(shell.GetLastMouseDownWhen(), 99);
    Start();
    SetTestSeconds(101.5f);
    shell.MouseDown(fPoint2());
    EXPECT_FLOAT_EQ(shell.GetLastMouseDownWhen(), 101.5f);
}

TEST_F(ApplicationRouting, EachTickPassesPointerMovementThenIdlesTheApplet) {
    Start();
    shell.mouse = fPoint2(10, 5);
    shell.Idle();
    shell.Idle();  // no movement: no MouseMoved
    shell.mouse = fPoint2(7, 5);
    shell.Idle();
    std::vector<std::string> want = {"moved 10,5", "idle", "idle", "moved -3,0", "idle"};
    EXPECT_EQ(applet.events, want);
    // The applet draws its own frames through its proxy
    EXPECT_EQ(shell.frames, 3);
    EXPECT_EQ(applet.renders, 3);
}

TEST_F(ApplicationRouting, KeysMenusAndCursorPicksReachTheApplet) {
    Start();
    shell.Key(1002);
    shell.MenuInvoked(4);
    EXPECT_EQ(shell.PickMouseCursor(fPoint2()), App::normalCursor);
    std::vector<std::string> want = {"key 1002", "menu 4"};
    EXPECT_EQ(applet.events, want);
}

TEST_F(ApplicationRouting, ASplashTakesPressesAndTicksUntilItIsDone) {
    int destroyed = 0;
    auto* splash = new TestSplash(&shell, &destroyed);
    shell.SetSplashScreen(splash);
    Start();

    shell.MouseDown(fPoint2(3, 3));
    shell.MouseUp(fPoint2(3, 3));
    shell.Key('a');
    shell.SecondaryDown(fPoint2(3, 3));
    shell.mouse = fPoint2(1, 1);
    shell.Idle();
    EXPECT_EQ(splash->skips, 3) << "a press, a key or the other button ends it";
    EXPECT_EQ(splash->updates, 1);
    EXPECT_EQ(splash->renders, 1);
    EXPECT_EQ(shell.frames, 1);
    // Movement reaches the applet; presses, releases, keys and ticks do not
    std::vector<std::string> want = {"moved 1,1"};
    EXPECT_EQ(applet.events, want);

    // The tick that finds it done deletes it and draws nothing
    splash->done = true;
    shell.Idle();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(shell.GetSplashScreen(), nullptr);
    EXPECT_EQ(shell.frames, 1);
    EXPECT_EQ(applet.events.size(), 1u);
    shell.Idle();
    EXPECT_EQ(applet.events.back(), "idle");
}

TEST_F(ApplicationRouting, ThePressThatEndsTheSplashKeepsItsReleaseFromTheApplet) {
    int destroyed = 0;
    auto* splash = new TestSplash(&shell, &destroyed);
    shell.SetSplashScreen(splash);
    Start();
    shell.MouseDown(fPoint2(2, 2));
    splash->done = true;
    shell.Idle();
    shell.MouseUp(fPoint2(4, 4));
    shell.MouseDown(fPoint2(5, 5));
    std::vector<std::string> want = {"down 5,5"};
    EXPECT_EQ(applet.events, want);
}

TEST_F(ApplicationRouting, APlainSplashIsDeletedAtTheFirstTickWithoutAFrame) {
    auto* plain = new SplashScreen("a", "b", &shell);
    EXPECT_TRUE(plain->GetIsDone());
    shell.SetSplashScreen(plain);
    Start();
    shell.Idle();
    EXPECT_EQ(shell.GetSplashScreen(), nullptr);
    EXPECT_EQ(shell.frames, 0);
    EXPECT_TRUE(applet.events.empty());
}

TEST_F(ApplicationRouting, ReplacingASplashDeletesTheOldOneAndRenderOnlyDrawsWhatShows) {
    int destroyed = 0;
    shell.SetSplashScreen(new TestSplash(&shell, &destroyed));
    shell.SetSplashScreen(new TestSplash(&shell, &destroyed));
    EXPECT_EQ(destroyed, 1);
    Start();
    shell.IdleButRenderOnly();
    EXPECT_EQ(shell.frames, 1);
    EXPECT_EQ(applet.renders, 0);
    shell.SetSplashScreen(nullptr);
    EXPECT_EQ(destroyed, 2);
    shell.IdleButRenderOnly();
    EXPECT_EQ(applet.renders, 1);
}

TEST_F(ApplicationRouting, AnAppThatDoesNotHandleMenusAsksToQuit) {
    // The shell itself routes to the applet; App's own default asks the host to quit
    struct Bare : public Applet {
        using Applet::Applet;
    } bare(&shell);
    bare.MenuInvoked(3);
    EXPECT_TRUE(shell.quit);
}

TEST(TickRegulator, LetsOneTickThroughPerPeriodAndNeverMakesUpMissedOnes) {
    SetTestSeconds(10);
    tickRegulator r;
    r.Set(30);
    EXPECT_FLOAT_EQ(r.tickDelta, 1.0f / 30);
    EXPECT_FALSE(r.GetTick());
    SetTestSeconds(10.02f);
    EXPECT_FALSE(r.GetTick());
    SetTestSeconds(10.034f);
    EXPECT_TRUE(r.GetTick());
    EXPECT_FALSE(r.GetTick());
    EXPECT_FLOAT_EQ(r.lastTickAt, 10.034f);
    // A long stall yields one tick, then the period restarts from now
    SetTestSeconds(15);
    EXPECT_TRUE(r.GetTick());
    EXPECT_FALSE(r.GetTick());
    EXPECT_NEAR(r.GetSecondsUntilTick(), 1.0 / 30, 1e-6);
    SetTestSeconds(15.02);
    EXPECT_NEAR(r.GetSecondsUntilTick(), 1.0 / 30 - 0.02, 1e-6);
    SetTestSeconds(15.034);
    EXPECT_EQ(r.GetSecondsUntilTick(), 0);
    EXPECT_TRUE(r.GetTick());
    ClearTestSeconds();
}

TEST(TickRegulator, AfterEightyHoursUpTheLoopStillSleepsBetweenThirtyTicksASecond) {
    // The shell's loop over one second: a tick when one is due, else a sleep of the wait.
    // A wait of 0 with no tick due would make the loop spin.
    const double start = 80 * 3600.0;
    SetTestSeconds(start);
    tickRegulator r;
    r.Set(30);
    int ticks = 0, spins = 0;
    double lastTick = 0, shortestGap = 1;
    for (double t = start; t < start + 1;) {
        SetTestSeconds(t);
        if (r.GetTick()) {
            if (ticks++ > 0) shortestGap = std::min(shortestGap, t - lastTick);
            lastTick = t;
            EXPECT_NEAR(r.GetSecondsUntilTick(), 1.0 / 30, 1e-6);
            continue;
        }
        double wait = r.GetSecondsUntilTick();
        if (wait <= 0) {
            spins++;
            wait = 1e-4;  // the time one spin round takes
        }
        t += wait;
    }
    ClearTestSeconds();
    EXPECT_EQ(spins, 0);
    EXPECT_GE(ticks, 29);
    EXPECT_LE(ticks, 30);
    EXPECT_GE(shortestGap, 1.0 / 30 - 1e-9);
}

TEST(TickRegulator, SetFpsChangesTheTickPeriod) {
    SetTestSeconds(1);
    TestShell shell;
    EXPECT_FLOAT_EQ(shell.Regulator().tickDelta, 1.0f / 30);
    shell.SetFPS(10);
    EXPECT_FLOAT_EQ(shell.Regulator().tickDelta, 0.1f);
    ClearTestSeconds();
}

}  // namespace

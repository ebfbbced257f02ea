// The editor's animation on the test shell: the strip, playback that leaves no trace, the
// onion skin and typed step times.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "AnimationStrip.h"
#include "DollTimeline.h"
#include "EditorSession.h"

namespace {

class Animation : public ::testing::Test {
protected:
    std::unique_ptr<EditorSession> s;
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        s.reset(new EditorSession());
        Settle();
    }
    void TearDown() override { s.reset(); }

    void Settle() {
        for (int i = 0; i < 600 && s->in.GetIsStepPending(); i++) s->shell.Tick();
        ASSERT_FALSE(s->in.GetIsStepPending()) << "the doll never came to rest";
        s->shell.Wait(1);
    }
    std::vector<int> StepPoses() const {
        std::vector<int> poses;
        for (const SequenceStep& step : s->in.Animation().Steps()) poses.push_back(step.pose);
        return poses;
    }
    // A click on the number of strip cell i
    void ClickCell(int i) {
        const fRect r =
            AnimationStrip::CellRect(AnimationStrip::LayoutFor((int)StepPoses().size()), i);
        s->shell.Click((int)r.left + 12, (int)r.top + 7);
    }
    // Fills pose p by clicking its thumbnail and posing the left hand by (dx, dy)
    void RecordPose(int p, int dx, int dy) {
        const fPoint2 w = s->WidgetCentre(p);
        s->shell.Click((int)w.x, (int)w.y);
        Settle();
        const int x = s->JointX(kLeftHand), y = s->JointY(kLeftHand);
        s->shell.DragFromTo(x, y, x + dx, y + dy, 10);
        Settle();
    }
    std::vector<fPoint2> Posture() const {
        std::vector<fPoint2> p;
        for (int i = 0; i < kDollMaxJoints; i++) p.push_back(s->Doll().joints[i].loc);
        return p;
    }
    // Warm (red well above blue) and cool pixels of the doll's area: the onion skin's ghosts
    std::pair<int, int> Tints() {
        s->shell.Tick();
        std::pair<int, int> n(0, 0);
        for (int y = 20; y < 400; y++)
            for (int x = 130; x < 580; x++) {
                const RGB8 p = GLTestContext::Get().Pixel(x, y);
                n.first += p.r - p.b > 60;
                n.second += p.b - p.r > 60;
            }
        return n;
    }
};

TEST_F(Animation, TheStripShowsTheFilledPosesUntilStepsAreArrangedAndAClickSelectsAStep) {
    // At start pose 5 (slot 4) records the doll: one automatic step
    EXPECT_EQ(StepPoses(), (std::vector<int>{4}));
    RecordPose(0, -40, -60);
    EXPECT_EQ(StepPoses(), (std::vector<int>{0, 4}));
    EXPECT_FALSE(s->Doll().sequence.custom);
    const size_t steps = s->in.History().GetNumSteps();

    // Clicking the second cell selects it and sends the doll into pose 5, which then records
    ClickCell(1);
    EXPECT_EQ(s->in.Animation().GetSelectedStep(), 1);
    EXPECT_EQ(s->Doll().GetSeekPose(), 4);
    Settle();
    s->shell.Tick(60);
    EXPECT_EQ(s->Doll().GetEditPose(), 4);
    EXPECT_LT(s->JointAt(kLeftHand).Dist(s->Doll().poses[4].joints[kLeftHand]), 3.0f);
    EXPECT_EQ(s->in.History().GetNumSteps(), steps);  // choosing is not an edit
    // A thumbnail click selects the first step of its pose
    const fPoint2 w = s->WidgetCentre(0);
    s->shell.Click((int)w.x, (int)w.y);
    EXPECT_EQ(s->in.Animation().GetSelectedStep(), 0);
}

TEST_F(Animation, PlayingFollowsTheTimelineFromTheSelectedStepAndStoppingLeavesNoTrace) {
    RecordPose(0, -40, -60);
    RecordPose(1, 60, 40);
    ClickCell(1);
    Settle();
    s->shell.Tick(60);
    Settle();
    const std::vector<fPoint2> before = Posture();
    const std::string document = s->in.History().GetCurrent();
    const size_t undoSteps = s->in.History().GetNumUndoSteps();
    const std::string title = s->shell.title;
    const DollPose pose1 = s->Doll().poses[1];
    DollTimeline timeline(s->Doll());

    // Not in the middle of a joint drag, which holds the doll
    s->shell.Press(s->JointX(kRightHand), s->JointY(kRightHand));
    s->shell.Tick();
    s->shell.KeyPress(' ');
    EXPECT_FALSE(s->in.Animation().GetIsPlaying());
    s->shell.Release(s->JointX(kRightHand), s->JointY(kRightHand));
    s->shell.Tick();
    s->shell.Wait(1);
    ASSERT_EQ(Posture(), before);

    // Each way of stopping: Space, Escape, a click (which does nothing else)
    for (int stop : {(int)' ', 27, -1}) {
        SCOPED_TRACE(stop);
        s->shell.KeyPress(' ');
        ASSERT_TRUE(s->in.Animation().GetIsPlaying());
        for (int tick = 1; tick <= 40; tick++) {
            s->shell.Tick();
            // From the arrival in step 2, in real time
            fPoint2 want[kDollMaxJoints];
            timeline.PostureAt(timeline.ArrivalMs(1) + tick * 1000.0 * EditorTestShell::kTick,
                               want);
            for (int j = 0; j < 11; j++)
                ASSERT_LT(s->JointAt(j).Dist(want[j]), 0.01f) << "tick " << tick << " joint " << j;
        }
        // Steps 1, 2, 5: 1.33 s after arriving in 2 it is on its way into 5
        EXPECT_EQ(s->in.Animation().GetPlayingPose(), 4);
        EXPECT_EQ(s->Doll().GetEditPose(), -1);  // nothing records meanwhile
        if (stop < 0) {
            const fPoint2 thumb = s->WidgetCentre(3);
            s->shell.Click((int)thumb.x, (int)thumb.y);
        } else {
            s->shell.KeyPress(stop);
            s->shell.Tick();
        }
        EXPECT_FALSE(s->in.Animation().GetIsPlaying());
        EXPECT_EQ(Posture(), before);
        EXPECT_EQ(s->Doll().GetEditPose(), 1);
        s->shell.Tick(5);
        EXPECT_FALSE(s->in.GetIsStepPending());
        EXPECT_EQ(s->in.History().GetCurrent(), document);
        EXPECT_EQ(s->in.History().GetNumUndoSteps(), undoSteps);
        EXPECT_EQ(s->shell.title, title);
        for (int j = 0; j < 11; j++) EXPECT_EQ(s->Doll().poses[1].joints[j], pose1.joints[j]);
        s->shell.Wait(1);
    }

    // Played once, it stops by itself at the end of the pass
    s->in.DollForSetup().sequence.MakeCustom(s->Doll());
    s->in.DollForSetup().sequence.loop = SequenceLoop::once;
    ClickCell(0);
    Settle();
    s->shell.KeyPress(' ');
    const int passTicks = (int)(DollTimeline(s->Doll()).GetLengthMs() / 1000.0 * 30) + 2;
    s->shell.Tick(passTicks - 5);
    EXPECT_TRUE(s->in.Animation().GetIsPlaying());
    s->shell.Tick(6);
    EXPECT_FALSE(s->in.Animation().GetIsPlaying());
}

TEST_F(Animation, OnionSkinShowsTheNeighbouringPosesInWarmAndCoolTintsWhileStopped) {
    RecordPose(0, -60, -90);
    RecordPose(1, 90, 30);
    // Steps 1, 2, 5 with 2 selected: 1 is its previous (warm), 5 its next (cool)
    s->in.DollForSetup().sequence.MakeCustom(s->Doll());
    ClickCell(1);
    Settle();
    s->shell.MoveTo(590, 5);
    s->shell.Tick();
    EXPECT_EQ(Tints(), std::make_pair(0, 0));
    s->shell.KeyPress('o');
    const std::pair<int, int> on = Tints();
    EXPECT_GT(on.first, 40);
    EXPECT_GT(on.second, 40);
    GLTestContext::Get().Save("onion_skin.png");
    // The previous step's raised hand is where the warm ghost's arm ends, in a colour
    // lighter than the doll's gray lines (every channel above 128)
    const fPoint2 hand0 = s->Doll().poses[0].joints[kLeftHand];
    bool found = false;
    for (int dy = -3; dy <= 3 && !found; dy++)
        for (int dx = -3; dx <= 3 && !found; dx++) {
            const RGB8 p = GLTestContext::Get().Pixel((int)hand0.x + dx, (int)hand0.y + dy);
            found = p.r - p.b > 60 && std::min(p.r, std::min(p.g, p.b)) > 128;
        }
    EXPECT_TRUE(found);

    // Not while playing; off again with O
    s->shell.KeyPress(' ');
    EXPECT_EQ(Tints(), std::make_pair(0, 0));
    s->shell.KeyPress(' ');
    s->shell.KeyPress('O');
    EXPECT_EQ(Tints(), std::make_pair(0, 0));
}

TEST(AnimationStepTimes, TypedTimesAreReadInMillisecondsOrSecondsWithTheirEasing) {
    // The step starts as move 1000, hold 500, in-out; "-" for text that is refused
    const std::pair<const char*, const char*> cases[] = {
        {"800 250 linear", "800 250 linear"},
        {"1.5s, 0.25s", "1500 250 in-out"},
        {"  300ms  ", "300 500 in-out"},
        {"out", "1000 500 out"},
        {"60s 0", "60000 0 in-out"},
        {"61s", "-"},  // longer than a step may be
        {"-5 10", "-"},
        {"1 2 3", "-"},
        {"in 500", "-"},
        {"5 minutes", "-"},
    };
    for (const auto& c : cases) {
        SequenceStep s{2, 500, 1000, SequenceEase::inOut};
        std::string got = "-";
        if (AnimationEditor::ParseStepTimes(c.first, &s))
            got = std::to_string(s.moveMs) + " " + std::to_string(s.holdMs) + " " +
                  DollSequence::EaseName(s.ease);
        EXPECT_EQ(got, c.second) << c.first;
    }
}

}  // namespace

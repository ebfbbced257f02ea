// A doll's animation: timing arithmetic, the document node, the timeline's postures and
// poses that survive skeleton edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "DollDocuments.h"
#include "DollInvariants.h"
#include "DollTimeline.h"
#include "HeavyDoll.h"
#include "TestDolls.h"

namespace {

using Ease = SequenceEase;
using Loop = SequenceLoop;

std::string ReadExample(const char* name) {
    std::ifstream file(std::string(VELKO_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Timing

TEST(SequenceTiming, EasingsStartAndEndExactlyAndNeverOvershoot) {
    for (Ease e : {Ease::inOut, Ease::linear, Ease::in, Ease::out}) {
        SCOPED_TRACE(DollSequence::EaseName(e));
        EXPECT_EQ(DollSequence::Eased(e, 0), 0);
        EXPECT_EQ(DollSequence::Eased(e, 1), 1);
        EXPECT_EQ(DollSequence::Eased(e, -0.5) + DollSequence::Eased(e, 1.5), 1);
        double last = 0;
        for (int k = 1; k <= 1000; k++) {
            const double v = DollSequence::Eased(e, k / 1000.0);
            ASSERT_TRUE(v >= last && v <= 1) << k;
            last = v;
        }
    }
    // Halfway through the time: in-out halfway, in behind, out ahead
    EXPECT_EQ(DollSequence::Eased(Ease::inOut, 0.5), 0.5);
    EXPECT_LT(DollSequence::Eased(Ease::in, 0.5), 0.5);
    EXPECT_GT(DollSequence::Eased(Ease::out, 0.5), 0.5);
}

// "start+length a-b" for a move, "start+length hold a" for a hold, a move backwards "a<b"
std::string Spans(const std::vector<SequenceStep>& steps, Loop loop) {
    std::string s;
    for (const SequenceSpan& p : SequenceSpans(steps, loop)) {
        s += std::to_string(p.startMs) + "+" + std::to_string(p.lengthMs) + " ";
        s += p.hold ? "hold " + std::to_string(p.a)
                    : std::to_string(p.a) + (p.backwards ? "<" : "-") + std::to_string(p.b);
        s += ", ";
    }
    return s;
}

TEST(SequenceTiming, APassHoldsAndMovesInOrderAndComesBackAsTheLoopSays) {
    // Step 2 has no hold; each move is the destination's; going back plays moves backwards
    const std::vector<SequenceStep> steps = {
        {0, 300, 700, Ease::inOut}, {3, 0, 400, Ease::inOut}, {5, 200, 900, Ease::linear}};
    const std::string there = "0+300 hold 0, 300+400 0-1, 700+900 1-2, 1600+200 hold 2, ";
    EXPECT_EQ(Spans(steps, Loop::forever), there + "1800+700 2-0, ");
    EXPECT_EQ(Spans(steps, Loop::once), there);
    EXPECT_EQ(Spans(steps, Loop::pingPong), there + "1800+900 1<2, 2700+400 0<1, ");
    EXPECT_EQ(SequencePassMs(steps, Loop::pingPong), 3100);
    // One step: its hold, and looping forever its move back into itself
    EXPECT_EQ(SequencePassMs({{2, 500, 1000, Ease::in}}, Loop::forever), 1500);
    EXPECT_EQ(SequencePassMs({{2, 500, 1000, Ease::in}}, Loop::pingPong), 500);
    EXPECT_EQ(SequencePassMs({}, Loop::forever), 0);
}

TEST(SequenceTiming, FramesComeAtTheFrameRateAndTheirDelaysAddUpToThePassExactly) {
    const struct {
        int lengthMs, fps;
        Loop loop;
        int frames;
    } cases[] = {
        {6000, 25, Loop::forever, 150}, {1000, 30, Loop::forever, 30},   // delays 3, 3, 4 ...
        {2000, 30, Loop::once, 60},     {1010, 30, Loop::pingPong, 30},  // last frame longer
        {1020, 30, Loop::forever, 31},  {7, 50, Loop::forever, 1},       // last shorter; one
        {3333, 7, Loop::forever, 23},   {60000 * 64, 50, Loop::forever, 192000},
        {5005, 1, Loop::forever, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lengthMs << " ms at " << c.fps << " fps");
        const AnimationFrames f = MakeAnimationFrames(c.lengthMs, c.fps, c.loop);
        ASSERT_EQ((int)f.frames.size(), c.frames);
        long long total = 0;
        double shown = 0;
        for (int k = 0; k < c.frames; k++) {
            const AnimationFrame& a = f.frames[(size_t)k];
            ASSERT_DOUBLE_EQ(a.startMs, k * 1000.0 / c.fps) << k;
            ASSERT_DOUBLE_EQ(a.startMs, shown) << k;
            shown += a.durationMs;
            total += a.delayCs;
            // Each frame ends at its end time rounded to the hundredth: nothing gathers
            ASSERT_EQ(total, (long long)std::floor(shown / 10 + 0.5)) << k;
            if (k + 1 < c.frames) {
                ASSERT_GE(a.delayCs, 100 / c.fps) << k;
                ASSERT_LE(a.delayCs, (100 + c.fps - 1) / c.fps) << k;
                ASSERT_EQ(a.postureMs, a.startMs) << k;
            }
        }
        EXPECT_NEAR(shown, c.lengthMs, 1e-6 * c.lengthMs);
        EXPECT_EQ(total, (c.lengthMs + 5) / 10);
        // Played once, the last frame shows where the pass ends
        EXPECT_EQ(f.frames.back().postureMs,
                  c.loop == Loop::once ? c.lengthMs : f.frames.back().startMs);
    }
}

// The document node

TEST(SequenceNode, OnlyASequenceOtherThanTheDefaultIsWrittenAndItComesBackTheSame) {
    Doll d;
    d.poses[2].DollToPose(&d);
    EXPECT_EQ(SaveDoll(d).find("sequence"), std::string::npos);
    d.sequence.custom = true;
    d.sequence.steps = {{2, 250, 800, Ease::linear}, {7, 0, 0, Ease::out}};
    d.sequence.loop = Loop::pingPong;
    d.sequence.fps = 12;
    const std::string doc = SaveDoll(d);
    const std::string node =
        "\tsequence {\n\t\tloop pingpong\n\t\tfps 12\n\t\tsteps 2 {\n\t\t\t3 250 800 linear\n"
        "\t\t\t8 0 0 out\n\t\t}\n\t}\n}\n";
    ASSERT_GE(doc.size(), node.size());
    EXPECT_EQ(doc.substr(doc.size() - node.size()), node);  // last in the chunk
    Doll loaded;
    ASSERT_TRUE(LoadDoll(loaded, doc));
    EXPECT_TRUE(loaded.sequence == d.sequence);
    EXPECT_EQ(SaveDoll(loaded), doc);
    // No steps of its own at all is kept as such; the loop alone is kept too
    d.sequence.steps.clear();
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    EXPECT_TRUE(loaded.sequence.custom && loaded.sequence.steps.empty());
    d.sequence.Reset();
    d.sequence.loop = Loop::once;
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    EXPECT_FALSE(loaded.sequence.custom);
    EXPECT_EQ(loaded.sequence.loop, Loop::once);
    EXPECT_EQ(loaded.sequence.GetSteps(loaded).size(), 1u);  // the filled pose
}

TEST(SequenceNode, WhateverTheLinesSayTheSequenceStaysWithinItsLimitsAndSavesStably) {
    std::string steps;
    for (int i = 0; i < 70; i++) steps += "\t\t\t1 10 10 in\n";  // more than 64
    const std::string doc =
        "tbff .1\n\nchunk velko 1.0 anonymous {\n\tjoints 1 {\n\t\t5 5\n\t}\n"
        "\tsequence {\n\t\tloop sometimes\n\t\tfps 900\n\t\tsteps {\n"
        "\t\t\t0 100 100 in\n\t\t\t9 100 100 in\n\t\t\t2 -40 99999999 out\n"
        "\t\t\t2 100 100 bouncy\n\t\t\t2 100\n\t\t\tx 1 2 in\n\t\t\t8 7 8 linear\n" +
        steps + "\t\t}\n\t}\n}\n";
    Doll d;
    ASSERT_TRUE(LoadDoll(d, doc));
    EXPECT_EQ(DollInvariantViolation(d), "");
    EXPECT_EQ(d.sequence.loop, Loop::forever);  // an unknown loop is not taken
    EXPECT_EQ(d.sequence.fps, DollSequence::kMaxFps);
    ASSERT_EQ((int)d.sequence.steps.size(), DollSequence::kMaxSteps);
    EXPECT_TRUE(d.sequence.steps[0] == (SequenceStep{1, 0, DollSequence::kMaxStepMs, Ease::out}));
    EXPECT_TRUE(d.sequence.steps[1] == (SequenceStep{7, 7, 8, Ease::linear}));
    const std::string saved = SaveDoll(d);
    Doll again;
    ASSERT_TRUE(LoadDoll(again, saved));
    EXPECT_EQ(SaveDoll(again), saved);
}

TEST(SequenceNode, TheCommittedExamplesLoadAndSaveByteForByte) {
    BuiltInIcon("heart");  // the examples name their icons
    for (const char* name : {"juggler.velko", "walk.velko"}) {
        const std::string bytes = ReadExample(name);
        SketchDoll d;
        ASSERT_TRUE(!bytes.empty() && LoadDoll(d, bytes)) << name;
        EXPECT_TRUE(SaveDoll(d) == bytes) << name;
    }
}

// The timeline

// Poses 0 at rest, 1 with the left arm (breast 1, elbow 2, hand 3) swung 170 degrees over
// the head, 2 with the legs apart; the steps as the doll's own
void PoseDefaultDoll(Doll& d, const std::vector<SequenceStep>& steps) {
    d.sequence.custom = true;
    d.sequence.steps = steps;
    for (int p : {0, 1, 2}) d.poses[p].DollToPose(&d);
    const fPoint2 breast = d.poses[1].joints[1];
    const float c = cosf(170 * 3.14159265f / 180), s = sinf(170 * 3.14159265f / 180);
    for (int j : {2, 3}) {
        const fPoint2 v = d.poses[1].joints[j] - breast;
        d.poses[1].joints[j] = breast + fPoint2(c * v.x - s * v.y, s * v.x + c * v.y);
    }
    d.poses[2].joints[6] = d.poses[2].joints[6] + fPoint2(-40, -10);
    d.poses[2].joints[5] = d.poses[2].joints[5] + fPoint2(-20, 0);
}

TEST(Timeline, TheDollArrivesInEachPoseExactlyAndRestsThereForTheHold) {
    Doll d;  // pose 5 is empty: its step does not play
    PoseDefaultDoll(d, {{0, 300, 700, Ease::inOut},
                        {1, 400, 600, Ease::linear},
                        {2, 0, 500, Ease::in},
                        {5, 100, 100, Ease::inOut}});
    // Time and pose, in every loop mode and then in each
    const std::vector<std::pair<double, int>> common = {
        {0, 0}, {299.9, 0}, {900, 1}, {1299, 1}, {1800, 2}};
    const struct {
        Loop loop;
        int length;
        std::vector<std::pair<double, int>> at;
    } cases[] = {
        {Loop::once, 1800, {{5000, 2}, {-5, 0}}},                   // rests at its ends
        {Loop::forever, 2500, {{3400, 1}, {-1600, 1}}},             // back into 0 in 0.7 s
        {Loop::pingPong, 3300, {{2300, 1}, {2700, 1}, {3300, 0}}},  // back, holding 1 again
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DollSequence::LoopName(c.loop));
        d.sequence.loop = c.loop;
        DollTimeline t(d);
        EXPECT_EQ(t.GetPlayingSteps(), (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(t.GetLengthMs(), c.length);
        fPoint2 at[kDollMaxJoints];
        auto timeAndPose = common;
        timeAndPose.insert(timeAndPose.end(), c.at.begin(), c.at.end());
        for (auto [ms, pose] : timeAndPose) {
            t.PostureAt(ms, at);
            for (int j = 0; j < 11; j++) ASSERT_EQ(at[j], d.poses[pose].joints[j]) << ms << " ms";
        }
        EXPECT_EQ(t.ArrivalMs(1), 300 + 600);
        EXPECT_EQ(t.ArrivalMs(2), 900 + 400 + 500);
        float fraction = 0;
        EXPECT_EQ(t.StepAt(1550, &fraction), 2);  // halfway through step 3's move
        EXPECT_FLOAT_EQ(fraction, 0.5f);
    }
    // Ping-pong's way back passes through the way there, mirrored in time
    fPoint2 there[kDollMaxJoints], back[kDollMaxJoints];
    DollTimeline(d).PostureAt(300 + 150, there);
    DollTimeline(d).PostureAt(3300 - 150, back);
    for (int j = 0; j < 11; j++) EXPECT_EQ(back[j], there[j]) << j;
}

// Over every bone and every 1/50 of each move of d's pass: the worst change of a bone's
// length from the length it has between the move's two poses (interpolated by progress),
// and the worst turn of a bone back against the way it turns (an overshoot)
void CheckTimeline(const Doll& d, double* worstError, double* worstBacktrack) {
    DollTimeline t(d);
    const std::vector<SequenceStep> steps = d.sequence.GetSteps(d);
    auto poseOf = [&](int playing) {
        return d.poses[steps[(size_t)t.GetPlayingSteps()[(size_t)playing]].pose].joints;
    };
    auto turn = [](fPoint2 p, fPoint2 q) {
        return std::atan2(p.x * q.y - p.y * q.x, p.x * q.x + p.y * q.y);
    };
    fPoint2 at[kDollMaxJoints], before[kDollMaxJoints];
    for (const SequenceSpan& span : t.GetSpans()) {
        if (span.hold) continue;
        const fPoint2 *a = poseOf(span.a), *b = poseOf(span.b);
        for (int k = 0; k <= 50; k++) {
            t.PostureAt(span.startMs + k / 50.0 * span.lengthMs, at);
            const double s = span.Progress(k / 50.0);
            for (int i = 0; i < kDollMaxJoints; i++) {
                int cookie = 0, c = -1;
                while (d.GetIsValidJoint(i) && d.GetNextEdge(i, &cookie, &c) > 0) {
                    const double la = a[i].Dist(a[c]), want = la + (b[i].Dist(b[c]) - la) * s;
                    *worstError = std::max(*worstError, std::fabs(at[i].Dist(at[c]) - want) / want);
                    const double total = span.backwards ? turn(b[c] - b[i], a[c] - a[i])
                                                        : turn(a[c] - a[i], b[c] - b[i]);
                    const double step = turn(before[c] - before[i], at[c] - at[i]);
                    if (k > 0 && std::fabs(total) > 1e-3)
                        *worstBacktrack = std::max(*worstBacktrack, total > 0 ? -step : step);
                }
            }
            std::copy(at, at + kDollMaxJoints, before);
        }
    }
}

TEST(Timeline, BonesKeepTheirLengthsAndTurnOneWayInTheExamplesAndTheHeavyDoll) {
    SketchDoll heavy;
    MakeHeavy(heavy);
    MakeHeavyPoses(heavy);
    for (const std::string& bytes :
         {ReadExample("juggler.velko"), ReadExample("walk.velko"), SaveDoll(heavy)}) {
        SketchDoll d;
        ASSERT_TRUE(LoadDoll(d, bytes));
        for (Loop loop : {Loop::forever, Loop::pingPong}) {
            d.sequence.loop = loop;
            double error = 0, backtrack = 0;
            CheckTimeline(d, &error, &backtrack);
            EXPECT_LT(error, 0.05);
            EXPECT_LT(backtrack, 1e-4);
        }
    }
    // The arm swung over the head keeps its bones whole, where joints moved in straight lines
    // would shrink it through its pivot
    Doll d;
    PoseDefaultDoll(d, {{0, 100, 1000, Ease::inOut}, {1, 100, 1000, Ease::in}});
    double error = 0, backtrack = 0;
    CheckTimeline(d, &error, &backtrack);
    EXPECT_LT(error, 1e-5);
    EXPECT_LT(backtrack, 1e-4);
}

// Skeleton edits

TEST(PosesSurviveSkeletonEdits, JointsAddedLinkedUnlinkedMovedAndDeletedKeepEveryPoseAndStep) {
    Doll d;
    PoseDefaultDoll(d, {{0, 100, 500, Ease::in}, {1, 100, 500, Ease::in}, {2, 100, 500, Ease::in}});
    const DollPose before1 = d.poses[1];
    // Added while unlinked: every filled pose holds it where it was added
    const fPoint2 added(230, 320);
    ASSERT_TRUE(d.AddJoint(added));
    for (int p : {0, 1, 2})
        ASSERT_TRUE(d.GetIsPoseFilled(p) && d.poses[p].joints[11] == added) << p;
    EXPECT_FALSE(d.GetIsPoseFilled(3));
    // Linked to the left hand: in each pose it goes along with the hand, at the same offset
    const fPoint2 offset = added - d.GetJoint(3)->loc;
    d.ToggleEdge(d.GetJoint(11), d.GetJoint(3));
    for (int p : {0, 1, 2}) EXPECT_EQ(d.poses[p].joints[11], d.poses[p].joints[3] + offset) << p;
    const fPoint2 placed = d.poses[1].joints[11];
    // Unlinking, linking joints that have bones and moving a joint keep every pose
    d.ToggleEdge(d.GetJoint(11), d.GetJoint(3));
    d.ToggleEdge(d.GetJoint(0), d.GetJoint(10));
    d.UserDeformJoint(d.GetJoint(0), fPoint2(5, -5));
    EXPECT_EQ(d.poses[1].joints[11], placed);
    for (int j = 0; j < 11; j++) EXPECT_EQ(d.poses[1].joints[j], before1.joints[j]) << j;
    // Deleted (the hips): it leaves every pose, which still fits the doll
    d.DeleteJoint(4);
    for (int p : {0, 1, 2}) EXPECT_TRUE(d.GetIsPoseFilled(p) && !d.poses[p].PeekAtJointAlloc(4));
    EXPECT_EQ(DollInvariantViolation(d), "");
    // The steps keep their slots and all three play; saved and loaded, all comes back
    EXPECT_EQ(DollTimeline(d).GetPlayingSteps(), (std::vector<int>{0, 1, 2}));
    Doll loaded;
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    for (int p : {0, 1, 2}) EXPECT_TRUE(loaded.GetIsPoseFilled(p)) << p;
    EXPECT_TRUE(loaded.sequence == d.sequence);
}

TEST(PosesSurviveSkeletonEdits, APoseTheSkeletonCanNoLongerReachIsSoughtUntilNoHeadwayIsLeft) {
    // Pose 4 with the right hand up; then the left foot is moved in the skeleton: its bones'
    // rest lengths no longer fit the pose, and the doll gets stuck a little short of it
    Doll d;
    d.UserMoveJoint(d.GetJoint(10), fPoint2(60, -80));
    for (int t = 0; t < 100; t++) d.Update();
    d.poses[4].DollToPose(&d);
    d.GoToHomePose();
    for (int t = 0; t < 100; t++) d.Update();
    d.UserDeformJoint(d.GetJoint(6), fPoint2(30, 20));
    d.SetEditPose(4);
    int t = 0;
    for (; d.seekPose && t < 1000; t++) d.Update();
    EXPECT_LT(t, 300);
    EXPECT_EQ(d.GetEditPose(), 4);  // and it records from then on
    // Held there with a double click, the doll keeps being pulled into it
    d.GoToPose(4, true);
    for (int k = 0; k < 300; k++) d.Update();
    EXPECT_EQ(d.GetSeekPose(), 4);
}

TEST(PosesSurviveSkeletonEdits, ADocumentStillLoadsExactlyTheStoredPosesOfItsFinalSkeleton) {
    // A joints node after the poses (hand-made) empties them, as it always did; in their
    // usual place the poses are read as stored
    const std::string head =
        "tbff .1\n\nchunk velko 1.0 anonymous {\n\tjoints 2 {\n\t\t0 0\n"
        "\t\t10 0\n\t}\n";
    const std::string poses =
        "\tposes 8 {\n\t\tpose {\n\t\t\tjoints 2 {\n\t\t\t\t1 1\n\t\t\t\t9 "
        "1\n\t\t\t}\n\t\t}\n\t}\n";
    Doll d;
    ASSERT_TRUE(LoadDoll(d, head + poses + "\tjoints 1 {\n\t\t5 5\n\t}\n}\n"));
    EXPECT_EQ(d.GetNumJoints(), 3);
    EXPECT_EQ(d.poses[0].GetNumJoints(), 0);
    ASSERT_TRUE(LoadDoll(d, head + "\tedges 1 {\n\t\t0 1\n\t}\n" + poses + "}\n"));
    ASSERT_EQ(d.poses[0].GetNumJoints(), 2);
    EXPECT_EQ(d.poses[0].GetJointLoc(1), fPoint2(9, 1));
}

}  // namespace

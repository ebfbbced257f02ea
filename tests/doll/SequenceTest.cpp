// A doll's animation: the timing arithmetic of a sequence, its document node, the timeline's
// postures (exact arrivals, no overshoot, bones kept whole) over the example dolls and the
// heavy benchmark doll, poses that survive skeleton edits, and the listed bones of a drag.
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

SequenceStep Step(int pose, int hold, int move, SequenceEase e = SequenceEase::inOut) {
    SequenceStep s;
    s.pose = pose;
    s.holdMs = hold;
    s.moveMs = move;
    s.ease = e;
    return s;
}

std::string ReadExample(const char* name) {
    std::ifstream file(std::string(VELKO_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Timing

TEST(SequenceTiming, EasingsStartAndEndExactlyAndNeverOvershoot) {
    for (SequenceEase e :
         {SequenceEase::inOut, SequenceEase::linear, SequenceEase::in, SequenceEase::out}) {
        SCOPED_TRACE(DollSequence::EaseName(e));
        EXPECT_EQ(DollSequence::Eased(e, 0), 0);
        EXPECT_EQ(DollSequence::Eased(e, 1), 1);
        EXPECT_EQ(DollSequence::Eased(e, -0.5), 0);
        EXPECT_EQ(DollSequence::Eased(e, 1.5), 1);
        double last = 0;
        for (int k = 1; k <= 1000; k++) {
            const double v = DollSequence::Eased(e, k / 1000.0);
            ASSERT_GE(v, last) << k;
            ASSERT_LE(v, 1) << k;
            last = v;
        }
    }
    // Each has its own shape: halfway through its time, in is behind, out ahead
    EXPECT_EQ(DollSequence::Eased(SequenceEase::inOut, 0.5), 0.5);
    EXPECT_LT(DollSequence::Eased(SequenceEase::in, 0.5), 0.5);
    EXPECT_GT(DollSequence::Eased(SequenceEase::out, 0.5), 0.5);
}

TEST(SequenceTiming, APassHoldsAndMovesInOrderAndComesBackAsTheLoopSays) {
    const std::vector<SequenceStep> steps = {Step(0, 300, 700), Step(3, 0, 400),
                                             Step(5, 200, 900, SequenceEase::linear)};
    struct Span {
        int start, length, a, b;
        bool hold, backwards;
    };
    const struct {
        SequenceLoop loop;
        std::vector<Span> spans;
    } cases[] = {
        // Forever: hold 1, move 2 (no hold), move 3, hold 3, move back into 1 along 1's move
        {SequenceLoop::forever,
         {{0, 300, 0, 0, true, false},
          {300, 400, 0, 1, false, false},
          {700, 900, 1, 2, false, false},
          {1600, 200, 2, 2, true, false},
          {1800, 700, 2, 0, false, false}}},
        // Once: ends with the last hold
        {SequenceLoop::once,
         {{0, 300, 0, 0, true, false},
          {300, 400, 0, 1, false, false},
          {700, 900, 1, 2, false, false},
          {1600, 200, 2, 2, true, false}}},
        // Ping-pong: back along the same moves, ends arriving in the first pose
        {SequenceLoop::pingPong,
         {{0, 300, 0, 0, true, false},
          {300, 400, 0, 1, false, false},
          {700, 900, 1, 2, false, false},
          {1600, 200, 2, 2, true, false},
          {1800, 900, 1, 2, false, true},
          {2700, 400, 0, 1, false, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DollSequence::LoopName(c.loop));
        const std::vector<SequenceSpan> spans = SequenceSpans(steps, c.loop);
        ASSERT_EQ(spans.size(), c.spans.size());
        for (size_t i = 0; i < spans.size(); i++) {
            EXPECT_EQ(spans[i].startMs, c.spans[i].start) << i;
            EXPECT_EQ(spans[i].lengthMs, c.spans[i].length) << i;
            EXPECT_EQ(spans[i].a, c.spans[i].a) << i;
            EXPECT_EQ(spans[i].b, c.spans[i].b) << i;
            EXPECT_EQ(spans[i].hold, c.spans[i].hold) << i;
            EXPECT_EQ(spans[i].backwards, c.spans[i].backwards) << i;
        }
        EXPECT_EQ(SequencePassMs(steps, c.loop), c.spans.back().start + c.spans.back().length);
    }
    // A single step: its hold, and looping forever its move back into itself
    EXPECT_EQ(SequencePassMs({Step(2, 500, 1000)}, SequenceLoop::forever), 1500);
    EXPECT_EQ(SequencePassMs({Step(2, 500, 1000)}, SequenceLoop::pingPong), 500);
    EXPECT_EQ(SequencePassMs({}, SequenceLoop::forever), 0);
}

TEST(SequenceTiming, FramesComeAtTheFrameRateAndTheirDelaysAddUpToThePassExactly) {
    const struct {
        int lengthMs, fps;
        SequenceLoop loop;
        int frames;
    } cases[] = {
        {6000, 25, SequenceLoop::forever, 150},  // 4 hundredths each
        {1000, 30, SequenceLoop::forever, 30},   // 3, 3, 4, ...
        {2000, 30, SequenceLoop::once, 60},
        {1010, 30, SequenceLoop::pingPong, 30},  // 30.3 frame times: the last shows longer
        {1020, 30, SequenceLoop::forever, 31},   // 30.6: rounded up, the last shorter
        {7, 50, SequenceLoop::forever, 1},       // less than a frame is still one frame
        {3333, 7, SequenceLoop::forever, 23},
        {60000 * 64, 50, SequenceLoop::forever, 192000},
        {5005, 1, SequenceLoop::forever, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lengthMs << " ms at " << c.fps << " fps");
        const AnimationFrames f = MakeAnimationFrames(c.lengthMs, c.fps, c.loop);
        ASSERT_EQ((int)f.frames.size(), c.frames);
        EXPECT_EQ(f.fps, c.fps);
        EXPECT_EQ(f.loop, c.loop);
        long long total = 0;
        double shown = 0;
        const int shortest = 100 / c.fps, longest = (100 + c.fps - 1) / c.fps;
        for (int k = 0; k < c.frames; k++) {
            const AnimationFrame& a = f.frames[(size_t)k];
            ASSERT_DOUBLE_EQ(a.startMs, k * 1000.0 / c.fps) << k;
            ASSERT_DOUBLE_EQ(a.startMs, shown) << k;
            shown += a.durationMs;
            total += a.delayCs;
            // The frame ends at its end time rounded to the hundredth
            ASSERT_EQ(total, (long long)std::floor((a.startMs + a.durationMs) / 10 + 0.5)) << k;
            if (k + 1 < c.frames) {
                ASSERT_GE(a.delayCs, shortest) << k;
                ASSERT_LE(a.delayCs, longest) << k;
                ASSERT_EQ(a.postureMs, a.startMs) << k;
            }
        }
        EXPECT_NEAR(shown, c.lengthMs, 1e-6 * c.lengthMs);
        EXPECT_EQ(total, (c.lengthMs + 5) / 10);  // the pass to the hundredth, never lost
        // Played once, the last frame shows where the pass ends
        EXPECT_EQ(f.frames.back().postureMs,
                  c.loop == SequenceLoop::once ? c.lengthMs : f.frames.back().startMs);
    }
}

// The document node

TEST(SequenceNode, OnlyASequenceOtherThanTheDefaultIsWrittenAndItComesBackTheSame) {
    Doll d;
    d.poses[2].DollToPose(&d);
    const std::string plain = SaveDoll(d);
    EXPECT_EQ(plain.find("sequence"), std::string::npos);

    d.sequence.custom = true;
    d.sequence.steps = {Step(2, 250, 800, SequenceEase::linear), Step(7, 0, 0, SequenceEase::out)};
    d.sequence.loop = SequenceLoop::pingPong;
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

    // Steps of its own that are none at all are kept as such; the loop alone is kept too
    d.sequence.steps.clear();
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    EXPECT_TRUE(loaded.sequence.custom);
    EXPECT_TRUE(loaded.sequence.steps.empty());
    d.sequence.Reset();
    d.sequence.loop = SequenceLoop::once;
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    EXPECT_FALSE(loaded.sequence.custom);
    EXPECT_EQ(loaded.sequence.loop, SequenceLoop::once);
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
    EXPECT_EQ(d.sequence.loop, SequenceLoop::forever);  // an unknown loop is not taken
    EXPECT_EQ(d.sequence.fps, DollSequence::kMaxFps);
    ASSERT_EQ((int)d.sequence.steps.size(), DollSequence::kMaxSteps);
    EXPECT_EQ(d.sequence.steps[0], Step(1, 0, DollSequence::kMaxStepMs, SequenceEase::out));
    EXPECT_EQ(d.sequence.steps[1], Step(7, 7, 8, SequenceEase::linear));
    const std::string saved = SaveDoll(d);
    Doll again;
    ASSERT_TRUE(LoadDoll(again, saved));
    EXPECT_EQ(SaveDoll(again), saved);
}

TEST(SequenceNode, TheCommittedExamplesLoadAndSaveByteForByte) {
    BuiltInIcon("heart");  // the examples name their icons
    for (const char* name : {"juggler.velko", "walk.velko"}) {
        SCOPED_TRACE(name);
        const std::string bytes = ReadExample(name);
        ASSERT_FALSE(bytes.empty());
        SketchDoll d;
        ASSERT_TRUE(LoadDoll(d, bytes));
        EXPECT_TRUE(SaveDoll(d) == bytes);
    }
}

// The timeline

// The poses of a doll: 0 at rest, 1 with the left arm swung up over the head (170 degrees
// about the shoulder), 2 with the legs apart
void PoseDefaultDoll(Doll& d) {
    d.poses[0].DollToPose(&d);
    d.poses[1].DollToPose(&d);
    d.poses[2].DollToPose(&d);
    // Arm (breast 1 - elbow 2 - hand 3) turned about the breast
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
    Doll d;
    PoseDefaultDoll(d);
    d.sequence.custom = true;
    d.sequence.steps = {Step(0, 300, 700), Step(1, 400, 600, SequenceEase::linear),
                        Step(2, 0, 500, SequenceEase::in), Step(5, 100, 100)};  // 5 is empty
    for (SequenceLoop loop : {SequenceLoop::forever, SequenceLoop::once, SequenceLoop::pingPong}) {
        SCOPED_TRACE(DollSequence::LoopName(loop));
        d.sequence.loop = loop;
        DollTimeline t(d);
        EXPECT_EQ(t.GetPlayingSteps(), (std::vector<int>{0, 1, 2}));
        fPoint2 at[kDollMaxJoints];
        auto expectPose = [&](double ms, int pose) {
            t.PostureAt(ms, at);
            for (int j = 0; j < 11; j++)
                ASSERT_EQ(at[j], d.poses[pose].joints[j]) << ms << " ms, joint " << j;
        };
        // Arrivals (end of each move) and holds
        expectPose(0, 0);
        expectPose(299.9, 0);
        EXPECT_EQ(t.ArrivalMs(1), 300 + 600);
        expectPose(900, 1);
        expectPose(1299, 1);
        EXPECT_EQ(t.ArrivalMs(2), 1300 + 500);
        EXPECT_EQ(t.ArrivalMs(3), 0);  // does not play
        expectPose(1800, 2);
        float fraction = 0;
        EXPECT_EQ(t.StepAt(1550, &fraction), 2);  // halfway through step 3's move
        EXPECT_FLOAT_EQ(fraction, 0.5f);
        if (loop == SequenceLoop::once) {
            EXPECT_EQ(t.GetLengthMs(), 1800);
            expectPose(5000, 2);  // rests at the end
            expectPose(-5, 0);
        } else if (loop == SequenceLoop::forever) {
            EXPECT_EQ(t.GetLengthMs(), 2500);  // and back into pose 0 in 0.7 s
            expectPose(2500 + 900, 1);         // the next pass
            expectPose(-1600, 1);
        } else {
            EXPECT_EQ(t.GetLengthMs(), 1800 + 500 + 400 + 600);  // back, holding pose 1 again
            expectPose(2300, 1);
            expectPose(2700, 1);
            expectPose(3300, 0);
            // The way back passes through the way there, mirrored in time
            fPoint2 there[kDollMaxJoints];
            t.PostureAt(300 + 150, there);
            t.PostureAt(3300 - 150, at);
            for (int j = 0; j < 11; j++) EXPECT_EQ(at[j], there[j]) << j;
        }
    }
}

// Worst relative change of a bone's length from the length it has between the two poses of
// the stretch (interpolated by progress), over every bone of d
double WorstBoneError(const Doll& d, const fPoint2* a, const fPoint2* b, double s,
                      const fPoint2* at) {
    double worst = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        int cookie = 0, c = -1;
        while (d.GetIsValidJoint(i) && d.GetNextEdge(i, &cookie, &c) > 0) {
            const double la = a[i].Dist(a[c]), lb = b[i].Dist(b[c]);
            const double want = la + (lb - la) * s;
            if (want > 1) worst = std::max(worst, std::fabs(at[i].Dist(at[c]) - want) / want);
        }
    }
    return worst;
}

// Over every frame of a pass at 50 frames a second and every bone: the worst error, and the
// worst turn of a bone against its direction of travel (no overshoot: it never turns back)
void CheckTimeline(const Doll& d, double* worstError, double* worstBacktrack) {
    DollTimeline t(d);
    ASSERT_FALSE(t.GetIsEmpty());
    std::vector<fPoint2> posture(kDollMaxJoints), previous(kDollMaxJoints);
    const std::vector<SequenceStep> steps = d.sequence.GetSteps(d);
    for (const SequenceSpan& span : t.GetSpans()) {
        if (span.hold) continue;
        const fPoint2* a = d.poses[steps[(size_t)t.GetPlayingSteps()[(size_t)span.a]].pose].joints;
        const fPoint2* b = d.poses[steps[(size_t)t.GetPlayingSteps()[(size_t)span.b]].pose].joints;
        for (int k = 0; k <= 50; k++) {
            const double u = k / 50.0;
            t.PostureAt(span.startMs + u * span.lengthMs, posture.data());
            const double s = span.Progress(std::min(u, 1.0));
            *worstError = std::max(*worstError, WorstBoneError(d, a, b, s, posture.data()));
            if (k > 0) {
                // Each bone's angle moves on towards its angle in the pose of arrival
                for (int i = 0; i < kDollMaxJoints; i++) {
                    int cookie = 0, c = -1;
                    while (d.GetIsValidJoint(i) && d.GetNextEdge(i, &cookie, &c) > 0) {
                        const fPoint2 from = span.backwards ? b[c] - b[i] : a[c] - a[i];
                        const fPoint2 to = span.backwards ? a[c] - a[i] : b[c] - b[i];
                        auto turn = [](fPoint2 p, fPoint2 q) {
                            return std::atan2(p.x * q.y - p.y * q.x, p.x * q.x + p.y * q.y);
                        };
                        const double total = turn(from, to);
                        const double step = turn(previous[(size_t)c] - previous[(size_t)i],
                                                 posture[(size_t)c] - posture[(size_t)i]);
                        // A turn against the way the bone goes is turning back
                        if (std::fabs(total) > 1e-3)
                            *worstBacktrack = std::max(*worstBacktrack, total > 0 ? -step : step);
                    }
                }
            }
            previous = posture;
        }
    }
}

TEST(Timeline, BonesKeepTheirLengthsAndTurnOneWayInTheExamplesAndTheHeavyDoll) {
    struct Doc {
        const char* name;
        std::string bytes;
    };
    std::vector<Doc> docs = {{"juggler", ReadExample("juggler.velko")},
                             {"walk", ReadExample("walk.velko")}};
    {
        SketchDoll heavy;
        MakeHeavy(heavy);
        MakeHeavyPoses(heavy);
        docs.push_back({"heavy", SaveDoll(heavy)});
    }
    double overall = 0;
    for (const Doc& doc : docs) {
        SCOPED_TRACE(doc.name);
        SketchDoll d;
        ASSERT_TRUE(LoadDoll(d, doc.bytes));
        for (SequenceLoop loop : {SequenceLoop::forever, SequenceLoop::pingPong}) {
            d.sequence.loop = loop;
            double error = 0, backtrack = 0;
            CheckTimeline(d, &error, &backtrack);
            EXPECT_LT(error, 0.05);
            EXPECT_LT(backtrack, 1e-4);
            overall = std::max(overall, error);
        }
    }
    RecordProperty("worst_bone_error", std::to_string(overall));
    printf("worst bone length error over the examples and the heavy doll: %.3g%%\n", overall * 100);

    // Plain interpolation of the joints would shrink the arm swung over the head through its
    // pivot: the check above would catch it
    Doll d;
    PoseDefaultDoll(d);
    fPoint2 straight[kDollMaxJoints];
    for (int j = 0; j < kDollMaxJoints; j++)
        straight[j] = d.poses[0].joints[j] + (d.poses[1].joints[j] - d.poses[0].joints[j]) * 0.5f;
    EXPECT_GT(WorstBoneError(d, d.poses[0].joints, d.poses[1].joints, 0.5, straight), 0.5);
    d.sequence.custom = true;
    d.sequence.steps = {Step(0, 100, 1000), Step(1, 100, 1000), Step(2, 100, 1000)};
    double error = 0, backtrack = 0;
    CheckTimeline(d, &error, &backtrack);
    EXPECT_LT(error, 1e-5);
    EXPECT_LT(backtrack, 1e-4);
}

// Skeleton edits

TEST(PosesSurviveSkeletonEdits, JointsAddedLinkedUnlinkedMovedAndDeletedKeepEveryPoseAndStep) {
    Doll d;
    PoseDefaultDoll(d);
    d.sequence.custom = true;
    d.sequence.steps = {Step(0, 100, 500), Step(1, 100, 500), Step(2, 100, 500)};
    const DollPose before1 = d.poses[1];

    // Added beside the left hand (slot 3), while unlinked: every filled pose holds it where
    // it was added
    const fPoint2 added(230, 320);
    ASSERT_TRUE(d.AddJoint(added));
    for (int p : {0, 1, 2}) {
        ASSERT_TRUE(d.GetIsPoseFilled(p)) << p;
        EXPECT_EQ(d.poses[p].GetJointLoc(11), added) << p;
    }
    EXPECT_FALSE(d.GetIsPoseFilled(3));
    // Linked to the hand: in each pose it goes along with the hand, at the same offset
    const fPoint2 offset = added - d.GetJoint(3)->loc;
    d.ToggleEdge(d.GetJoint(11), d.GetJoint(3));
    for (int p : {0, 1, 2})
        EXPECT_EQ(d.poses[p].GetJointLoc(11), d.poses[p].GetJointLoc(3) + offset) << p;
    const fPoint2 placed = d.poses[1].GetJointLoc(11);
    // Unlinking, linking joints that have bones, and moving a joint keep every pose
    d.ToggleEdge(d.GetJoint(11), d.GetJoint(3));
    d.ToggleEdge(d.GetJoint(0), d.GetJoint(10));
    d.UserDeformJoint(d.GetJoint(0), fPoint2(5, -5));
    EXPECT_EQ(d.poses[1].GetJointLoc(11), placed);
    for (int j = 0; j < 11; j++) EXPECT_EQ(d.poses[1].GetJointLoc(j), before1.joints[j]) << j;
    // Deleted: it leaves every pose, which fits the doll again
    d.DeleteJoint(4);  // the hips
    for (int p : {0, 1, 2}) {
        EXPECT_TRUE(d.GetIsPoseFilled(p)) << p;
        EXPECT_FALSE(d.poses[p].PeekAtJointAlloc(4)) << p;
    }
    EXPECT_EQ(DollInvariantViolation(d), "");
    // The steps still name their slots and the animation plays through all three
    EXPECT_EQ(d.sequence.steps.size(), 3u);
    EXPECT_EQ(DollTimeline(d).GetPlayingSteps(), (std::vector<int>{0, 1, 2}));
    // Saved with its indices compacted, every pose and the sequence come back
    Doll loaded;
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    for (int p : {0, 1, 2}) EXPECT_TRUE(loaded.GetIsPoseFilled(p)) << p;
    EXPECT_TRUE(loaded.sequence == d.sequence);
}

TEST(PosesSurviveSkeletonEdits, APoseTheSkeletonCanNoLongerReachIsSoughtUntilNoHeadwayIsLeft) {
    // Pose 4 taken with the right hand up; then the left foot is moved in the skeleton, so
    // its bones' rest lengths no longer fit the pose: the doll gets stuck a little short
    Doll d;
    d.UserMoveJoint(d.GetJoint(10), fPoint2(60, -80));
    for (int t = 0; t < 100; t++) d.Update();
    d.poses[4].DollToPose(&d);
    d.GoToHomePose();
    for (int t = 0; t < 100; t++) d.Update();
    d.UserDeformJoint(d.GetJoint(6), fPoint2(30, 20));
    d.SetEditPose(4);
    int t = 0;
    while (d.seekPose && t < 1000) {
        d.Update();
        t++;
    }
    EXPECT_LT(t, 300);
    EXPECT_EQ(d.GetEditPose(), 4);  // and it records from then on
    // Held there with a double click, the doll keeps being pulled into it
    d.GoToPose(4, true);
    for (int k = 0; k < 300; k++) d.Update();
    EXPECT_EQ(d.GetSeekPose(), 4);
}

TEST(PosesSurviveSkeletonEdits, ADocumentStillLoadsExactlyTheStoredPosesOfItsFinalSkeleton) {
    // Poses are stored for the skeleton as the document ends: a joints node after the poses
    // (hand-made) empties them as it always did, instead of growing them
    const std::string early =
        "tbff .1\n\nchunk velko 1.0 anonymous {\n\tjoints 2 {\n\t\t0 0\n\t\t10 0\n\t}\n"
        "\tposes 8 {\n\t\tpose {\n\t\t\tjoints 2 {\n\t\t\t\t1 1\n\t\t\t\t9 1\n\t\t\t}\n\t\t}\n"
        "\t}\n\tjoints 1 {\n\t\t5 5\n\t}\n}\n";
    Doll d;
    ASSERT_TRUE(LoadDoll(d, early));
    EXPECT_EQ(d.GetNumJoints(), 3);
    EXPECT_EQ(d.poses[0].GetNumJoints(), 0);
    // In their usual place they are read as stored
    const std::string usual =
        "tbff .1\n\nchunk velko 1.0 anonymous {\n\tjoints 2 {\n\t\t0 0\n\t\t10 0\n\t}\n"
        "\tedges 1 {\n\t\t0 1\n\t}\n\tposes 8 {\n\t\tpose {\n\t\t\tjoints 2 {\n\t\t\t\t1 1\n"
        "\t\t\t\t9 1\n\t\t\t}\n\t\t}\n\t}\n}\n";
    ASSERT_TRUE(LoadDoll(d, usual));
    ASSERT_EQ(d.poses[0].GetNumJoints(), 2);
    EXPECT_EQ(d.poses[0].GetJointLoc(1), fPoint2(9, 1));
}

// Motion

// One relaxation pass as the doll made it before its bones were listed once per drag:
// every joint's bones found by scanning all slots, pulls summed in slot order and capped
void ReferencePass(Doll& d) {
    int counts[kDollMaxJoints];
    for (int i = 0; i < kDollMaxJoints; i++) {
        counts[i] = 0;
        int cookie = 0, c = -1;
        while (d.GetNextEdge(i, &cookie, &c) > 0) counts[i]++;
    }
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!d.jointAllocTable[i]) continue;
        DollJoint& j = d.joints[i];
        if (!j.inertia.GetIsZero()) {
            j.loc = Doll::ClampToDocument(j.loc + j.inertia);
            j.inertia.Scale(0.5f);
        }
        if (j.locked) continue;
        fPoint2 impulse(0, 0);
        int cookie = 0, c = -1;
        float len;
        while ((len = d.GetNextEdge(i, &cookie, &c)) > 0)
            impulse.Add(j.ImpulseTo(d.joints[c].loc, len));
        if (counts[i] > DollJoint::kMaxPairPullBones / 2) {
            const float cap = DollJoint::PullCap(i, &d, counts);
            if (counts[i] > cap) impulse.Scale(cap / counts[i]);
        }
        j.AddInertia(impulse);
    }
}

TEST(ListedBones, ADragMovesEveryJointExactlyAsScanningForBonesDid) {
    // The default doll, and a dense one whose busy joints have their pulls capped
    Doll sparse;
    EmptyDoll dense;
    for (int i = 0; i < kDollMaxJoints; i++)
        dense.AddJoint(fPoint2(400 + 150 * cosf(i * 0.196f), 240 + 150 * sinf(i * 0.196f)));
    for (int i = 0; i < kDollMaxJoints; i++)
        for (int k = 1; k <= 4; k++) dense.MakeEdge(i, (i + k) % kDollMaxJoints);
    for (Doll* d : {(Doll*)&sparse, (Doll*)&dense}) {
        fPoint2 loc[kDollMaxJoints], inertia[kDollMaxJoints];
        for (int i = 0; i < kDollMaxJoints; i++) {
            loc[i] = d->joints[i].loc;
            inertia[i] = d->joints[i].inertia;
        }
        d->UserMoveJoint(d->GetJoint(3), fPoint2(0, 61));
        std::vector<fPoint2> dragged;
        for (int i = 0; i < kDollMaxJoints; i++) dragged.push_back(d->joints[i].loc);
        // The same drag by hand from the same start: 2-unit steps, a scanning pass after each
        for (int i = 0; i < kDollMaxJoints; i++) {
            d->joints[i].loc = loc[i];
            d->joints[i].inertia = inertia[i];
        }
        fPoint2 delta(0, 61);
        for (float remaining = 61; remaining > 0;) {
            fPoint2 step = delta;
            step.SetLength(std::min(remaining, 2.0f));
            d->joints[3].loc = d->joints[3].loc + step;
            ReferencePass(*d);
            remaining -= 2;
            if (remaining > 0) delta.SetLength(remaining);
        }
        for (int i = 0; i < kDollMaxJoints; i++) {
            if (!d->jointAllocTable[i]) continue;
            EXPECT_EQ(d->joints[i].loc, dragged[(size_t)i]) << i;
        }
    }
}

}  // namespace

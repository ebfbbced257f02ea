// DollSequence: a doll's animation as data, the timed list of pose steps its document keeps,
// and the arithmetic of time that the editor's playback and every exporter share. Nothing
// here draws.
//
// A step names one of the doll's eight pose slots (0 .. 7 in code; people, documents and
// velko-render count them 1 .. 8), how long the doll takes to get into that pose from the
// step before (the move, with its easing) and how long it rests there once it has arrived
// (the hold). The sequence loops forever, plays once, or goes there and back (ping-pong),
// and is exported at a frame rate of its own. Times are whole milliseconds.
//
// Until a person arranges steps of their own, a doll animates through every filled pose in
// slot order with the default timing (the automatic steps), and its document holds no
// sequence node unless the loop or the frame rate was changed.
//
// One pass starts when the doll arrives in the first step's pose: it holds that pose, moves
// into the second and holds it, and so on. Looping forever, it ends with the move from the
// last pose back into the first; played once, with the last hold; in ping-pong it comes back
// the way it went (each move played backwards) and ends as it arrives in the first pose.
#pragma once

#include <vector>

class Doll;
class tbfWriter;
class tbfReader;

enum class SequenceEase : unsigned char { inOut = 0, linear = 1, in = 2, out = 3 };
enum class SequenceLoop : unsigned char { forever = 0, once = 1, pingPong = 2 };

struct SequenceStep {
    int pose = 0;  // pose slot 0 .. 7
    int holdMs = 500;
    int moveMs = 1000;
    SequenceEase ease = SequenceEase::inOut;

    bool operator==(const SequenceStep& o) const {
        return pose == o.pose && holdMs == o.holdMs && moveMs == o.moveMs && ease == o.ease;
    }
    bool operator!=(const SequenceStep& o) const { return !(*this == o); }
};

class DollSequence {
public:
    static constexpr int kDefaultHoldMs = 500;
    static constexpr int kDefaultMoveMs = 1000;
    static constexpr int kDefaultFps = 25;
    static constexpr int kMinFps = 1;
    static constexpr int kMaxFps = 50;
    // Longest hold or move (ms), and the most steps a sequence holds: what a document may
    // give is brought within these
    static constexpr int kMaxStepMs = 60000;
    static constexpr int kMaxSteps = 64;

    // The steps are the person's own (possibly none); otherwise the automatic ones play
    bool custom = false;
    std::vector<SequenceStep> steps;  // the person's steps, when custom
    SequenceLoop loop = SequenceLoop::forever;
    int fps = kDefaultFps;  // frames a second of an export, kMinFps .. kMaxFps

    // Automatic steps, looping forever at the default frame rate
    void Reset();
    // What a document without a sequence node gives
    bool GetIsDefault() const {
        return !custom && loop == SequenceLoop::forever && fps == kDefaultFps;
    }
    bool operator==(const DollSequence& o) const {
        return custom == o.custom && steps == o.steps && loop == o.loop && fps == o.fps;
    }

    // The steps that make d's animation: the person's, or one per filled pose in slot order
    // with the default timing. Steps may name a pose d has not filled.
    std::vector<SequenceStep> GetSteps(const Doll& d) const;
    // Makes the steps d animates with the person's own, before they are changed
    void MakeCustom(const Doll& d);

    // The "sequence" node: "loop", "fps" and, for the person's steps, a "steps" node of
    // "POSE HOLD MOVE EASE" lines (pose 1 .. 8)
    void Write(tbfWriter* f) const;
    // Reads the "sequence" node at f's current item. Unusable lines are skipped and values
    // are brought within the limits, so any bytes give a sequence that writes back the same.
    void ReadNode(tbfReader* f);

    // "in-out", "linear", "in", "out"
    static const char* EaseName(SequenceEase e);
    static bool ParseEase(const char* name, SequenceEase* e);
    // "forever", "once", "pingpong"
    static const char* LoopName(SequenceLoop l);
    static bool ParseLoop(const char* name, SequenceLoop* l);
    // Progress 0 .. 1 along a move for the fraction u (0 .. 1) of its time: never outside
    // 0 .. 1 and never decreasing, so the doll never overshoots a pose; exactly 0 and 1 at
    // the ends
    static double Eased(SequenceEase e, double u);
};

// One stretch of a pass: the doll resting in a step's pose (a == b) or moving from step a's
// pose to step b's along b's move; backwards plays that move the other way round, from b to
// a (ping-pong's way back). a and b index the steps the pass was made from.
struct SequenceSpan {
    int startMs, lengthMs;
    int a, b;
    bool hold;       // resting in a's pose (a == b)
    bool backwards;  // moving from b's pose back to a's
    SequenceEase ease;

    // How far from a's pose towards b's the doll is at fraction u of the span (0 .. 1)
    double Progress(double u) const;
    // The step the doll rests in, or is on its way into
    int Destination() const { return backwards ? a : b; }
};

// The stretches of one pass through steps (at least one), in time order from 0
std::vector<SequenceSpan> SequenceSpans(const std::vector<SequenceStep>& steps, SequenceLoop loop);
// Length of one pass in ms; 0 without steps
int SequencePassMs(const std::vector<SequenceStep>& steps, SequenceLoop loop);

// Frames of an exported animation: one every 1/fps s from the start of the pass, the last
// one shown until the pass ends. Any encoder can take these.
struct AnimationFrame {
    double postureMs;   // time of the pass whose posture the frame shows
    double startMs;     // when the frame is shown, from the start of the pass
    double durationMs;  // how long it is shown
    // durationMs in hundredths of a second (a GIF's unit): each frame ends at its end time
    // rounded to the hundredth, so the delays add up to the pass's length to the hundredth
    // with the rounding spread over the frames, never gathered or lost
    int delayCs;
};
struct AnimationFrames {
    std::vector<AnimationFrame> frames;
    SequenceLoop loop;
    int fps;
    int lengthMs;  // one pass; the frames' durations add up to it
};
// The frames of a pass of lengthMs at fps (kMinFps .. kMaxFps): as many as the pass holds
// whole frame times, rounded (at least one); played once, the last frame shows the
// posture at the end of the pass, so the doll is seen arriving in its last pose
AnimationFrames MakeAnimationFrames(int lengthMs, int fps, SequenceLoop loop);

// DollTimeline: a doll's sequence turned into postures at any time of a pass, for the
// editor's playback and for exports. Nothing here draws or reads the clock.
//
// The doll arrives in each step's pose exactly at the end of its move and rests there for
// the hold. On the way, limbs turn about their pivots instead of moving their joints along
// straight lines (which would shrink a turning limb through its pivot): the skeleton is
// walked as a tree from one root joint per connected part, the root moves in a straight
// line, and every other joint is placed from its parent at the bone's angle and length
// taken between the two poses' (the shorter way round). A bone of that tree keeps its
// length exactly; a bone that closes a loop in the skeleton is the only kind that can
// stretch. Progress along a move follows the step's easing, which never overshoots, so
// every bone's angle moves monotonically from one pose to the next.
//
// The timeline copies what it needs from the doll when it is made (skeleton, poses, steps);
// later changes to the doll are not seen. Locations are world units, times milliseconds.
#pragma once

#include <vector>

#include "DollSequence.h"
#include "fPoint2.h"

class Doll;

class DollTimeline {
public:
    static constexpr int kMaxJoints = 32;  // the doll's joint slots

    // d's own sequence
    explicit DollTimeline(const Doll& d);
    // The steps given (pose slots of d; steps whose pose d has not filled are passed over)
    DollTimeline(const Doll& d, const std::vector<SequenceStep>& steps, SequenceLoop loop);

    // No step names a filled pose: there is nothing to play
    bool GetIsEmpty() const { return poses.empty(); }
    // One pass (ms)
    int GetLengthMs() const { return lengthMs; }
    SequenceLoop GetLoop() const { return loop; }
    const std::vector<SequenceSpan>& GetSpans() const { return spans; }
    // Index, among the steps the timeline was made from, of each step that plays
    const std::vector<int>& GetPlayingSteps() const { return stepOf; }

    // The joint locations at time ms of a pass (looping sequences wrap any time into the
    // pass; one played once rests in its last pose afterwards and in its first before) into
    // out[0 .. 31]; slots the doll does not hold are left alone. Nothing without steps.
    void PostureAt(double ms, fPoint2* out) const;
    // The step (an index among the steps the timeline was made from) the doll rests in or
    // is on its way into at time ms, and how far it is through that step's move and hold
    // together (0 .. 1); -1 without steps
    int StepAt(double ms, float* fraction) const;
    // When the doll first arrives in the given step (an index among the steps given): the
    // start of its hold. A step that does not play gives the next one that does, or 0.
    double ArrivalMs(int step) const;

    // The in-between of two postures of joint slots: progress 0 gives a exactly, 1 gives b
    // exactly (public for the tests that check bone lengths)
    void Interpolate(const fPoint2* a, const fPoint2* b, double progress, fPoint2* out) const;

private:
    void Build(const Doll& d, const std::vector<SequenceStep>& steps, SequenceLoop loop);
    // The skeleton as trees: every joint slot the doll holds in the order the tree is walked,
    // roots first in their part, each with its parent (-1 for a root)
    void BuildTree(const Doll& d);

    struct Posture {
        fPoint2 joints[kMaxJoints];
    };
    std::vector<Posture> poses;  // the pose of each playing step
    std::vector<int> stepOf;     // each playing step's index among the steps given
    std::vector<SequenceStep> playing;
    std::vector<SequenceSpan> spans;
    SequenceLoop loop = SequenceLoop::forever;
    int lengthMs = 0;
    int njoints = 0;
    int order[kMaxJoints];
    int parent[kMaxJoints];
};

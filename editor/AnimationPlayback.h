// AnimationPlayback: the editor playing a doll's sequence in real time. While it plays, the
// doll's joints are set from the doll's timeline every tick and nothing else moves them;
// the doll's own motion, its pose seeking and its recording into a pose slot are set aside
// and put back exactly as they were when playback stops, so playing never changes the
// document. The player does not own the doll.
#pragma once

#include <memory>

#include "DollTimeline.h"
#include "SketchDoll.h"

class AnimationPlayback {
public:
    explicit AnimationPlayback(SketchDoll* doll) : doll(doll) {}

    bool GetIsPlaying() const { return timeline != nullptr; }
    // Plays the doll's sequence from its step (an index among the sequence's steps), as
    // the doll arrives in that step's pose, starting at program time nowSeconds; false (and
    // nothing happens) when no step names a filled pose
    bool Start(int step, double nowSeconds);
    // Sets the doll's posture for program time nowSeconds; a sequence played once stops by
    // itself at its end (false then, as after Stop)
    bool Tick(double nowSeconds);
    // Puts the doll back as it was when playback started; nothing when not playing
    void Stop();
    // The step shown now (an index among the sequence's steps) and how far through its move
    // and hold the doll is (0 .. 1); -1 when not playing
    int GetStep(float* fraction) const;
    // The pose slot of that step, or -1
    int GetPose() const;

private:
    SketchDoll* doll;
    std::unique_ptr<DollTimeline> timeline;
    double startSeconds = 0;  // program time playback started
    double startMs = 0;       // time of the pass it started at
    double nowMs = 0;         // time of the pass shown now
    // The doll as it was before playing
    struct Saved {
        fPoint2 loc[kDollMaxJoints], inertia[kDollMaxJoints];
        DollPose *seekPose, *editPose, *editPoseAfterSeek;
        bool lockSeek;
    } saved;
};

#include "AnimationPlayback.h"

bool AnimationPlayback::Start(int step, double nowSeconds) {
    Stop();
    std::unique_ptr<DollTimeline> t(new DollTimeline(*doll));
    if (t->GetIsEmpty()) return false;
    for (int i = 0; i < kDollMaxJoints; i++) {
        saved.loc[i] = doll->joints[i].loc;
        saved.inertia[i] = doll->joints[i].inertia;
    }
    saved.seekPose = doll->seekPose;
    saved.editPose = doll->editPose;
    saved.editPoseAfterSeek = doll->editPoseAfterSeek;
    saved.lockSeek = doll->lockSeek;
    // Playing records into no pose and seeks none
    doll->seekPose = doll->editPose = doll->editPoseAfterSeek = nullptr;
    timeline = std::move(t);
    startSeconds = nowSeconds;
    startMs = timeline->ArrivalMs(step);
    Tick(nowSeconds);
    return true;
}

bool AnimationPlayback::Tick(double nowSeconds) {
    if (!timeline) return false;
    nowMs = startMs + (nowSeconds - startSeconds) * 1000;
    if (timeline->GetLoop() == SequenceLoop::once && nowMs >= timeline->GetLengthMs()) {
        Stop();
        return false;
    }
    fPoint2 posture[kDollMaxJoints];
    for (int i = 0; i < kDollMaxJoints; i++) posture[i] = doll->joints[i].loc;
    timeline->PostureAt(nowMs, posture);
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!doll->jointAllocTable[i]) continue;
        doll->joints[i].loc = posture[i];
        doll->joints[i].inertia = fPoint2(0, 0);
    }
    return true;
}

void AnimationPlayback::Stop() {
    if (!timeline) return;
    for (int i = 0; i < kDollMaxJoints; i++) {
        doll->joints[i].loc = saved.loc[i];
        doll->joints[i].inertia = saved.inertia[i];
    }
    doll->seekPose = saved.seekPose;
    doll->editPose = saved.editPose;
    doll->editPoseAfterSeek = saved.editPoseAfterSeek;
    doll->lockSeek = saved.lockSeek;
    timeline.reset();
}

int AnimationPlayback::GetStep(float* fraction) const {
    *fraction = 0;
    if (!timeline) return -1;
    return timeline->StepAt(nowMs, fraction);
}

int AnimationPlayback::GetPose() const {
    float fraction = 0;
    const int step = GetStep(&fraction);
    if (step < 0) return -1;
    const std::vector<SequenceStep> steps = doll->sequence.GetSteps(*doll);
    return step < (int)steps.size() ? steps[(size_t)step].pose : -1;
}

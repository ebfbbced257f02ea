// Per-tick cost of doll motion: one Update() of dolls of different sizes, one Update() while
// every joint is still seeking, and one long user drag. The editor runs one Update() per
// 1/30 s tick, and a drag step at most once per tick.
#include <benchmark/benchmark.h>

#include <cmath>

#include "Doll.h"

namespace {

// 32 joints on a circle with 60 bones (each joint to its next and next-but-one neighbour,
// less two), displaced from rest so the bones keep working
void BuildFullDoll(Doll* d) {
    d->Clear();
    for (int i = 0; i < kDollMaxJoints; i++) {
        float a = i * 6.2831853f / kDollMaxJoints;
        d->AddJoint(fPoint2(400 + 150 * cosf(a), 240 + 150 * sinf(a)));
    }
    int made = 0;
    for (int i = 0; i < kDollMaxJoints && made < 60; i++) {
        d->MakeEdge(i, (i + 1) % kDollMaxJoints);
        made++;
        if (made < 60) {
            d->MakeEdge(i, (i + 2) % kDollMaxJoints);
            made++;
        }
    }
    for (int i = 0; i < kDollMaxJoints; i += 3) d->GetJoint(i)->Move(fPoint2(7, -5));
}

void BM_UpdateDefaultDoll(benchmark::State& state) {
    Doll d;
    d.UserMoveJoint(d.GetJoint(3), fPoint2(40, -30));
    for (auto _ : state) {
        d.Update();
        benchmark::DoNotOptimize(d.joints[0].loc);
    }
}
BENCHMARK(BM_UpdateDefaultDoll)->Unit(benchmark::kMicrosecond);

void BM_UpdateFullDoll(benchmark::State& state) {
    Doll d;
    BuildFullDoll(&d);
    state.counters["bones"] = d.CountBones();
    for (auto _ : state) {
        d.Update();
        benchmark::DoNotOptimize(d.joints[0].loc);
    }
}
BENCHMARK(BM_UpdateFullDoll)->Unit(benchmark::kMicrosecond);

// Two poses 1000 units apart, sought in turn: every joint is always far from its target,
// so every tick runs one relaxation pass per joint besides its own
void BM_UpdateFullDollSeekingAFarPose(benchmark::State& state) {
    Doll d;
    BuildFullDoll(&d);
    DollPose near, far;
    near.DollToPose(&d);
    d.Translate(fPoint2(1000, 0));
    far.DollToPose(&d);
    d.Translate(fPoint2(-1000, 0));
    d.lockSeek = true;
    bool toFar = true;
    for (auto _ : state) {
        d.seekPose = toFar ? &far : &near;
        toFar = !toFar;
        d.Update();
        benchmark::DoNotOptimize(d.joints[0].loc);
    }
}
BENCHMARK(BM_UpdateFullDollSeekingAFarPose)->Unit(benchmark::kMicrosecond);

// 800 units is 400 steps of 2.0, each followed by a relaxation pass
void BM_UserMoveJointBy800(benchmark::State& state) {
    Doll d;
    float dir = 1;
    for (auto _ : state) {
        d.UserMoveJoint(d.GetJoint(3), fPoint2(800 * dir, 0));
        dir = -dir;
        benchmark::DoNotOptimize(d.joints[3].loc);
    }
}
BENCHMARK(BM_UserMoveJointBy800)->Unit(benchmark::kMicrosecond);

}  // namespace

// Per-frame cost of the sketched lines: every line is re-mapped from its recorded points
// onto its bone at every draw. A heavy doll carries 200 lines of 250 points (50,000 points)
// spread over the bones of the default skeleton, posed away from the pose they were drawn
// in. Each figure is one whole frame's worth; items are points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "SketchDoll.h"

namespace {

const int kLines = 200, kPointsPerLine = 250;

// Bones of the default skeleton
const int kBones[][2] = {{2, 3}, {9, 10}, {0, 1}, {1, 2}, {1, 9},
                         {4, 5}, {4, 7},  {5, 6}, {7, 8}, {1, 4}};

void BuildHeavyDoll(SketchDoll* d) {
    for (int i = 0; i < kLines; i++) {
        const int* bone = kBones[i % 10];
        SketchDollLine* l = d->NewLine(bone[0], bone[1]);
        fPoint2 a = d->GetJoint(bone[0])->loc;
        for (int k = 0; k < kPointsPerLine; k++) {
            float t = k / float(kPointsPerLine);
            l->AddPoint(a + fPoint2(30 * cosf(7 * t + i), 80 * t + 5 * sinf(13 * t)));
        }
    }
    // Pose it: the lines turn and move with their bones
    d->UserMoveJoint(d->GetJoint(6), fPoint2(60, -80));
    d->UserMoveJoint(d->GetJoint(3), fPoint2(-40, -90));
}

void BM_MapHeavyDoll(benchmark::State& state) {
    SketchDoll d;
    BuildHeavyDoll(&d);
    for (auto _ : state) {
        for (gesture* g = d.lines; g; g = g->GetNext()) g->RunFilter();
        benchmark::DoNotOptimize(d.lines->drawBuf[0]);
    }
    state.SetItemsProcessed(state.iterations() * kLines * kPointsPerLine);
}
BENCHMARK(BM_MapHeavyDoll)->Unit(benchmark::kMicrosecond);

// The floor: copying the same points into the same draw buffers, nothing mapped
void BM_CopyHeavyDoll(benchmark::State& state) {
    SketchDoll d;
    BuildHeavyDoll(&d);
    for (gesture* g = d.lines; g; g = g->GetNext()) g->RunFilter();  // buffers allocated
    for (auto _ : state) {
        for (gesture* g = d.lines; g; g = g->GetNext())
            memcpy(g->drawBuf, g->pts, sizeof(fPoint2) * g->npts);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kLines * kPointsPerLine);
}
BENCHMARK(BM_CopyHeavyDoll)->Unit(benchmark::kMicrosecond);

// The same frame with the per-point polar rotation (hypot, atan2, cos, sin per point)
void BM_MapHeavyDollPolar(benchmark::State& state) {
    SketchDoll d;
    BuildHeavyDoll(&d);
    for (gesture* g = d.lines; g; g = g->GetNext()) g->RunFilter();
    for (auto _ : state) {
        for (gesture* g = d.lines; g; g = g->GetNext()) {
            SketchDollLine2* l = static_cast<SketchDollLine2*>(g);
            memcpy(l->drawBuf, l->pts, sizeof(fPoint2) * l->npts);
            fPoint2 j0 = d.GetJoint(l->joint[0])->loc, j1 = d.GetJoint(l->joint[1])->loc;
            SketchDollLine2::MapPointsPolar(l->drawBuf, l->npts, l->jointLoc[0], j0,
                                            j0.Angle(j1) - l->jointRotate,
                                            SketchDollLine2::BreathingScale(l->createTime));
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kLines * kPointsPerLine);
}
BENCHMARK(BM_MapHeavyDollPolar)->Unit(benchmark::kMicrosecond);

}  // namespace

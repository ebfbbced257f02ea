// Per-frame stroke work: refreshing and filtering the draw buffer, picking over a sketch's
// worth of strokes, and recording points. Figures are reported per point handled.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "gesture.h"

namespace {

gesture* MakeStroke(int npts, float dy) {
    gesture* g = new gesture();
    for (int i = 0; i < npts; i++) g->AddPoint(fPoint2((float)i, dy + 20 * sinf(i * 0.05f)));
    return g;
}

void PerPoint(benchmark::State& state, double pointsPerIteration) {
    // Seconds per point, shown with an SI prefix (n = nanoseconds)
    state.counters["per_point"] =
        benchmark::Counter(pointsPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
    state.SetItemsProcessed((int64_t)(state.iterations() * pointsPerIteration));
}

void BM_RunFilter(benchmark::State& state) {
    const int n = (int)state.range(0);
    gesture* g = MakeStroke(n, 0);
    g->translate = fPoint2(3, 4);
    g->RunFilter();
    fPoint2* buf = g->drawBuf;
    for (auto _ : state) {
        g->RunFilter();
        benchmark::DoNotOptimize(g->drawBuf);
        benchmark::ClobberMemory();
    }
    if (g->drawBuf != buf) state.SkipWithError("draw buffer was reallocated");
    PerPoint(state, n);
    delete g;
}
BENCHMARK(BM_RunFilter)->Arg(500);

void BM_PickPointFromList(benchmark::State& state) {
    const int strokes = (int)state.range(0), n = (int)state.range(1);
    gesture* head = nullptr;
    for (int s = 0; s < strokes; s++) {
        gesture* g = MakeStroke(n, s * 3.0f);
        g->RunFilter();  // picked where drawn, as in the editor
        g->Insert(&head);
    }
    float y = 0;
    for (auto _ : state) {
        int v;
        benchmark::DoNotOptimize(gesture::PickPointFromList(head, fPoint2(250, y), 8, &v));
        y = y > 600 ? 0 : y + 7;
    }
    PerPoint(state, (double)strokes * n);
    while (head) delete head;
}
BENCHMARK(BM_PickPointFromList)->Args({200, 500});

// What the editor's line picking costs: the distance to every drawn segment
void BM_PickStrokeFromList(benchmark::State& state) {
    const int strokes = (int)state.range(0), n = (int)state.range(1);
    gesture* head = nullptr;
    for (int s = 0; s < strokes; s++) {
        gesture* g = MakeStroke(n, s * 3.0f);
        g->RunFilter();
        g->Insert(&head);
    }
    float y = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gesture::PickStrokeFromList(head, fPoint2(250, y), 8));
        y = y > 600 ? 0 : y + 7;
    }
    PerPoint(state, (double)strokes * n);
    while (head) delete head;
}
BENCHMARK(BM_PickStrokeFromList)->Args({200, 500});

void BM_AddPoint(benchmark::State& state) {
    const int n = (int)state.range(0);
    for (auto _ : state) {
        gesture g;
        for (int i = 0; i < n; i++) g.AddPoint(fPoint2((float)i, 1));
        benchmark::DoNotOptimize(g.pts);
    }
    PerPoint(state, n);
}
BENCHMARK(BM_AddPoint)->Arg(500)->Arg(100000);

}  // namespace

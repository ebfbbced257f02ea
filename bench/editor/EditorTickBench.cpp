// Cost of one editor tick (Velko::Idle: draw the frame, update the doll, follow the pointer,
// set the cursor) through the real GLUT shell in a real GL window on the X display, with the
// default doll and with a heavy one (32 joints, 200 lines of 250 points). Target: median
// tick under 10 ms for the heavy doll, and at most 16 ms with the onion skin showing two
// ghosts. The parts of the tick are measured apart to show where the time goes. Every
// measured frame ends in glFinish, so drawing is counted.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include <unistd.h>

#include <string>

#include "Application.h"
#include "HeavyDoll.h"
#include "Velko.h"
#include "VelkoTestAccess.h"

namespace {

Application* Shell() {
    static Application* shell = Application::GetApplicationShell();
    return shell;
}

struct Editor {
    Velko velko;
    // steps: the heavy doll's four poses as steps with the second selected, and its
    // neighbours shown as ghosts when onion
    explicit Editor(bool heavy, bool steps = false, bool onion = false) : velko(Shell()) {
        VelkoTestAccess in(velko);
        if (heavy) MakeHeavy(in.DollForSetup());
        if (steps) {
            MakeHeavyPoses(in.DollForSetup());
            in.AnimationForSetup().SetOnionSkin(onion);
            in.AnimationForSetup().PoseChosen(1);
        }
        Shell()->Application::EnterEventLoop(&velko);  // host it without entering the loop
        for (int i = 0; i < 10; i++) glutMainLoopEvent();
        for (int i = 0; i < 5; i++) Shell()->Idle();  // draw every line once
        glFinish();
    }
    // The shell outlives the editor: it must not reach it once it has gone
    ~Editor() { Shell()->Application::EnterEventLoop(nullptr); }
};

// Times each iteration of what and reports the median in milliseconds
template <class F>
void Measure(benchmark::State& state, F what) {
    std::vector<double> ms;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        what();
        glFinish();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
}

void BM_EditorTick(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    Measure(state, [] { Shell()->Idle(); });
}

// The heavy doll's tick with steps on the strip, the onion skin off (argument 0) and on (1):
// the previous and the next step's poses drawn as ghosts behind the doll. Target: 16 ms.
void BM_EditorTickOnionSkin(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(true, true, state.range(0));
    if (VelkoTestAccess(e.velko).Animation().GetSelectedStep() != 1)
        return state.SkipWithError("no step selected");
    Measure(state, [] { Shell()->Idle(); });
}

// The frame alone: clear, every layer of the editor, swap
void BM_EditorFrameOnly(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    Measure(state, [] { Shell()->IdleButRenderOnly(); });
}

// The doll's motion alone
void BM_DollUpdateOnly(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    SketchDoll& d = VelkoTestAccess(e.velko).DollForSetup();
    Measure(state, [&] { d.Update(); });
}

// What the rollover asks of the doll every tick away from joints in "Draw and Pose"
void BM_RolloverPicksOnly(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    SketchDoll& d = VelkoTestAccess(e.velko).DollForSetup();
    Measure(state, [&] {
        fPoint2 p(5, 5);
        int a, b;
        benchmark::DoNotOptimize(d.Pick(p));
        benchmark::DoNotOptimize(d.PickLine(p, 4.0f));
        benchmark::DoNotOptimize(d.FindClosestJoint(p, nullptr));
        benchmark::DoNotOptimize(d.PickEdge(p, &a, &b));
    });
}

// Writing the whole document into memory, as the editor does once an action has come to
// rest to see whether there are unsaved changes (and as Save does before writing the file)
void BM_DocumentWrite(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    std::string bytes;
    Measure(state,
            [&] { benchmark::DoNotOptimize(VelkoTestAccess(e.velko).WriteDocument(&bytes)); });
    state.counters["document_bytes"] = (double)bytes.size();
}

// A step of the history as an action that has come to rest records it: the whole document
// written, compared with the current one and the difference kept. The doll is nudged each
// time so every snapshot is a new step. Target: 5 ms for the heavy doll.
void BM_Snapshot(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    VelkoTestAccess in(e.velko);
    DollJoint* j = in.DollForSetup().GetJoint(0);
    float dx = 1;
    Measure(state, [&] {
        j->SetLoc(j->GetLoc() + fPoint2(dx, 0));
        dx = -dx;
        in.TakeSnapshot("Pose");
    });
    state.counters["history_steps"] = (double)in.History().GetNumSteps();
    state.counters["history_MB"] = in.History().GetBytes() / 1e6;
}

// What keeping the recovery copy costs the tick it falls on: the current document handed
// to the recovery file's thread (tick_ms); and what that thread then spends writing it
// atomically to the state folder (write_ms, off the tick)
void BM_RecoveryCopy(benchmark::State& state) {
    if (!Shell()) return state.SkipWithError("no display");
    Editor e(state.range(0));
    VelkoTestAccess in(e.velko);
    char folder[] = "/tmp/velko-bench-state-XXXXXX";
    if (!mkdtemp(folder)) return state.SkipWithError("no temporary folder");
    in.EnableRecovery(folder);
    in.TakeSnapshot("Pose");
    std::vector<double> tick, write;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        in.KeepRecoveryCopyNow();
        auto t1 = std::chrono::steady_clock::now();
        in.Recovery()->Flush();
        auto t2 = std::chrono::steady_clock::now();
        tick.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        write.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    std::nth_element(tick.begin(), tick.begin() + tick.size() / 2, tick.end());
    std::nth_element(write.begin(), write.begin() + write.size() / 2, write.end());
    state.counters["tick_ms"] = tick[tick.size() / 2];
    state.counters["write_ms"] = write[write.size() / 2];
    in.EnableRecovery("");  // a clean exit: the copy goes
    rmdir((std::string(folder) + "/velko").c_str());
    rmdir(folder);
}

// Argument: 0 = the default doll, 1 = the heavy doll
BENCHMARK(BM_EditorTick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_EditorTickOnionSkin)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_EditorFrameOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_DollUpdateOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RolloverPicksOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocumentWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Snapshot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

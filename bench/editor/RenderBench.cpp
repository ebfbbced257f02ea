// Cost of velko-render's animation of the heavy doll (32 joints, 200 lines of 250 points)
// moving through 4 poses at 800 x 480, no display needed. Target: the whole GIF in under
// 3 s. The parts are measured apart too: the motion, the drawing with its read-back, and
// the GIF encoding; and the timeline's posture of one frame alone (target: 0.2 ms).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "DollPictures.h"
#include "HeavyDoll.h"
#include "ImageCodec.h"
#include "OffscreenGL.h"
#include "AuthorModePanel.h"
#include "fTime.h"
#include "tbfWriter.h"

namespace {

// The heavy doll's document with four poses: each one swings a different limb's end out
std::string HeavyDocument() {
    FixedClock clock(0);
    SketchDoll d;
    MakeHeavy(d);
    MakeHeavyPoses(d);
    std::string bytes;
    tbfWriterAsciiString writer(&bytes);
    d.WriteToFile(&writer);
    writer.Close();
    return bytes;
}

const std::string& Document() {
    static std::string doc = HeavyDocument();
    return doc;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The whole command: read, move, draw, read back, encode
void BM_HeavyDollGif(benchmark::State& state) {
    RenderRequest r;
    r.kind = RenderRequest::animation;
    std::string gif, error;
    double wall = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        if (!RenderDollDocument(Document(), r, &gif, &error))
            return state.SkipWithError(error.c_str());
        wall += Seconds(t0);
    }
    AnimationPlan plan;
    PlanAnimation(Document(), r, &plan, &error);
    double frames = (double)plan.frames.frames.size();
    state.counters["frames"] = frames;
    state.counters["frames_per_s"] = frames * (double)state.iterations() / wall;
    state.counters["gif_kB"] = (double)gif.size() / 1024;
}

// The same work in its three parts, each timed on its own (seconds per animation)
void BM_HeavyDollGifParts(benchmark::State& state) {
    std::string error;
    double motion = 0, drawing = 0, encoding = 0;
    RenderRequest r;
    r.kind = RenderRequest::animation;
    for (auto _ : state) {
        FixedClock clock(0);
        AnimationPlan plan;
        if (!PlanAnimation(Document(), r, &plan, &error)) return state.SkipWithError(error.c_str());
        OffscreenGL gl;
        if (!gl.Create(800, 480, &error)) return state.SkipWithError(error.c_str());
        GifAnimationEncoder gif;
        gif.Begin(800, 480, &error);
        RgbaImage frame;
        frame.Resize(800, 480);
        int n = (int)plan.frames.frames.size();
        for (int k = 0; k < n; k++) {
            auto t0 = std::chrono::steady_clock::now();
            plan.Pose(k, &clock);
            motion += Seconds(t0);
            auto t1 = std::chrono::steady_clock::now();
            gl.Clear(false);
            gl.StartFrame(fRect(0, 0, kStageWidth, kStageHeight), 0, 0, 800, 480);
            RenderDollInMode(plan.stage.GetDoll(), AuthorModePanel::play, true, false);
            gl.EndFrame();
            gl.ReadPixels(frame.pixels.data());
            drawing += Seconds(t1);
            auto t2 = std::chrono::steady_clock::now();
            gif.AddFrame(frame, plan.frames.frames[(size_t)k].delayCs, &error);
            encoding += Seconds(t2);
        }
        std::string bytes;
        auto t3 = std::chrono::steady_clock::now();
        gif.Finish(&bytes, &error);
        encoding += Seconds(t3);
    }
    double runs = (double)state.iterations();
    state.counters["motion_s"] = motion / runs;
    state.counters["draw_and_read_s"] = drawing / runs;
    state.counters["encode_s"] = encoding / runs;
}

// The timeline's posture of one frame of the heavy doll's sequence (the whole motion cost
// of a frame, in playback and in export): target 0.2 ms
void BM_HeavyDollTimelineFrame(benchmark::State& state) {
    std::string error;
    DollStage stage;
    if (!stage.Load(Document(), &error)) return state.SkipWithError(error.c_str());
    DollTimeline timeline(*stage.GetDoll());
    DollStage::Posture p = stage.GetPosture();
    double t = 0;
    for (auto _ : state) {
        timeline.PostureAt(t, p.joints);
        t += 40;  // one frame at 25 frames a second
        benchmark::DoNotOptimize(p.joints[0]);
    }
    state.counters["pass_ms"] = timeline.GetLengthMs();
}

BENCHMARK(BM_HeavyDollGif)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HeavyDollGifParts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HeavyDollTimelineFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

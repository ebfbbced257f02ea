// Cost of velko-render's animation of the heavy doll (32 joints, 200 lines of 250 points)
// moving through 4 poses at 800 x 480, smoothed, no display needed. Target: the whole GIF in
// under 3 s. The parts are measured apart too: the motion, the drawing with its read-back,
// and the GIF encoding.
//
// And every export format of the examples at 400 x 240, fitted: bytes and seconds of each
// (targets: each under 1 s, the videos under 3 s; the GIF under 300 KB, the WebP and the
// videos smaller than the GIF).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

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
    DollStage::Posture rest;
    for (int i = 0; i < kDollMaxJoints; i++) rest.joints[i] = d.joints[i].loc;
    const int ends[4] = {10, 3, 6, 8};  // hands and feet of the default skeleton
    const fPoint2 swings[4] = {{60, -120}, {-60, -120}, {-50, -40}, {50, -40}};
    for (int p = 0; p < 4; p++) {
        d.UserMoveJoint(d.GetJoint(ends[p]), swings[p]);
        for (int t = 0; t < 60; t++) d.UpdateIK();
        d.poses[p].DollToPose(&d);
        for (int i = 0; i < kDollMaxJoints; i++) d.joints[i].SetLoc(rest.joints[i]);
    }
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
    DollStage stage;
    stage.Load(Document(), &error);
    double frames = (double)stage.Animate(stage.FilledPoses()).size();
    state.counters["frames"] = frames;
    state.counters["frames_per_s"] = frames * (double)state.iterations() / wall;
    state.counters["gif_kB"] = (double)gif.size() / 1024;
}

// The same work in its three parts, each timed on its own (seconds per animation)
void BM_HeavyDollGifParts(benchmark::State& state) {
    std::string error;
    double motion = 0, drawing = 0, encoding = 0;
    for (auto _ : state) {
        FixedClock clock(0);
        DollStage stage;
        stage.Load(Document(), &error);
        auto t0 = std::chrono::steady_clock::now();
        std::vector<DollStage::Posture> postures = stage.Animate(stage.FilledPoses());
        motion += Seconds(t0);
        OffscreenGL gl;
        if (!gl.Create(800, 480, &error)) return state.SkipWithError(error.c_str());
        std::unique_ptr<AnimationEncoder> gif = NewGifEncoder();
        AnimationHeader header;
        header.width = 800;
        header.height = 480;
        header.frames = (int)postures.size();
        gif->Begin(header, &error);
        RgbaImage frame;
        frame.Resize(800, 480);
        int n = (int)postures.size();
        for (int k = 0; k < n; k++) {
            auto t1 = std::chrono::steady_clock::now();
            stage.SetPosture(postures[(size_t)k]);
            clock.Set(AnimationFrameSeconds(k, n));
            gl.Clear(false);
            gl.StartFrame(fRect(0, 0, kStageWidth, kStageHeight), 0, 0, 800, 480);
            RenderDollInMode(stage.GetDoll(), AuthorModePanel::play, true, false);
            gl.EndFrame();
            gl.ReadPixels(frame.pixels.data());
            drawing += Seconds(t1);
            auto t2 = std::chrono::steady_clock::now();
            gif->AddFrame(frame, AnimationFrameMs(k), &error);
            encoding += Seconds(t2);
        }
        EncodedOutput bytes;
        auto t3 = std::chrono::steady_clock::now();
        gif->Finish(&bytes, &error);
        encoding += Seconds(t3);
    }
    double runs = (double)state.iterations();
    state.counters["motion_s"] = motion / runs;
    state.counters["draw_and_read_s"] = drawing / runs;
    state.counters["encode_s"] = encoding / runs;
}

BENCHMARK(BM_HeavyDollGif)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_HeavyDollGifParts)->Unit(benchmark::kMillisecond)->Iterations(3);

// One example exported as extension (".png" for a still, ".sprites" for a sprite sheet)
void BM_Export(benchmark::State& state, const char* example, const char* extension) {
    std::string document, error;
    std::ifstream in(std::string(VELKO_EXAMPLES) + "/" + example + ".velko", std::ios::binary);
    document.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    RenderRequest r;
    r.options.width = 400;
    r.options.height = 240;
    r.options.fit = true;
    if (strcmp(extension, ".sprites") == 0) {
        r.kind = RenderRequest::sprites;
    } else {
        r.format = &ExportFormatOf(extension);
        r.kind = r.format->animated ? RenderRequest::animation : RenderRequest::still;
    }
    EncodedOutput out;
    for (auto _ : state)
        if (!RenderDollDocument(document, r, &out, &error))
            return state.SkipWithError(error.c_str());
    state.counters["kB"] = (double)(out.bytes.size() + out.companionBytes.size()) / 1000;
}

// Every format of every example; walk joins the juggler once it exists
const bool exportCases = [] {
    for (const char* example : {"juggler"})
        for (const char* extension :
             {".png", ".svg", ".gif", ".webp", ".apng", ".mp4", ".webm", ".sprites"})
            benchmark::RegisterBenchmark(
                (std::string("BM_Export/") + example + "/" + (extension + 1)).c_str(), BM_Export,
                example, extension)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(2);
    return true;
}();

}  // namespace

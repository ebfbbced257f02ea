// Saving and opening a full doll's document: 32 joints, 60 bones and all eight poses filled,
// in bytes per second, next to a plain fgets scan of the same bytes in the same run (the
// practical limit of any line reader on the stream). Reading aims at no less than a quarter
// of the scan's rate.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Doll.h"
#include "tbfReader.h"
#include "tbfWriter.h"

namespace {

// 32 joints on a circle, each bound to its next and next-but-one neighbour (60 bones), and
// eight poses recorded in eight postures
void BuildFullDoll(Doll* d) {
    d->Clear();
    for (int i = 0; i < kDollMaxJoints; i++) {
        float a = i * 6.2831853f / kDollMaxJoints;
        d->AddJoint(fPoint2(400 + 150 * cosf(a), 240 + 150 * sinf(a)));
    }
    for (int i = 0, made = 0; i < kDollMaxJoints && made < 60; i++) {
        d->ToggleEdge(d->GetJoint(i), d->GetJoint((i + 1) % kDollMaxJoints));
        if (++made < 60) d->ToggleEdge(d->GetJoint(i), d->GetJoint((i + 2) % kDollMaxJoints));
        ++made;
    }
    for (int k = 0; k < Doll::kNumPoses; k++) {
        for (int i = 0; i < kDollMaxJoints; i++)
            d->GetJoint(i)->Move(fPoint2(0.37f * k - 0.11f * i, 0.23f * i - 0.7f * k));
        d->GetPose(k)->DollToPose(d);
    }
}

const std::string& FullDollDocument() {
    static const std::string text = [] {
        static Doll d;
        BuildFullDoll(&d);
        char* bytes = nullptr;
        size_t size = 0;
        {
            tbfWriterAsciiFILE writer(open_memstream(&bytes, &size));
            d.WriteToFile(&writer);
        }
        std::string result(bytes, size);
        free(bytes);
        return result;
    }();
    return text;
}

FILE* OpenForReading(const std::string& text) {
    return fmemopen(const_cast<char*>(text.data()), text.size(), "r");
}

void BM_FgetsScanOfFullDollDocument(benchmark::State& state) {
    const std::string& text = FullDollDocument();
    for (auto _ : state) {
        FILE* f = OpenForReading(text);
        char line[tbfReaderAsciiFILE::kBufSize];
        size_t lines = 0;
        while (fgets(line, sizeof line, f)) ++lines;
        benchmark::DoNotOptimize(lines);
        fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_FgetsScanOfFullDollDocument);

// The reader's share of Open: every item of the document visited and its first two
// elements converted, nothing built
float WalkItems(tbfReader& r) {
    float sum = 0;
    while (r.Read()) {
        float x = 0, y = 0;
        if (r.ParseItem(0, &x) && r.ParseItem(1, &y)) sum += x + y;
        if (r.OpenNode()) {
            sum += WalkItems(r);
            r.CloseNode();
        }
    }
    return sum;
}

void BM_ReaderWalkOfFullDollDocument(benchmark::State& state) {
    const std::string& text = FullDollDocument();
    for (auto _ : state) {
        tbfReaderAsciiFILE reader(OpenForReading(text));
        benchmark::DoNotOptimize(WalkItems(reader));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_ReaderWalkOfFullDollDocument);

// Open: the reader on the stream, then the doll rebuilt from it
void BM_OpenFullDollDocument(benchmark::State& state) {
    const std::string& text = FullDollDocument();
    static Doll d;
    for (auto _ : state) {
        tbfReaderAsciiFILE reader(OpenForReading(text));
        d.ReadFromFile(&reader);
        benchmark::DoNotOptimize(d.njoints);
    }
    if (d.GetNumJoints() != kDollMaxJoints || d.GetPose(7)->GetNumJoints() != kDollMaxJoints)
        state.SkipWithError("the document did not load as written");
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_OpenFullDollDocument);

// Save As: the writer on a stream, then the doll's chunk
void BM_SaveFullDollDocument(benchmark::State& state) {
    static Doll d;
    BuildFullDoll(&d);
    const size_t size = FullDollDocument().size();
    std::vector<char> out(size + 1);
    for (auto _ : state) {
        tbfWriterAsciiFILE writer(fmemopen(out.data(), out.size(), "w"));
        d.WriteToFile(&writer);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * size);
    state.counters["document_bytes"] = double(size);
}
BENCHMARK(BM_SaveFullDollDocument);

}  // namespace

// Throughput of writing and reading a document shaped like a full doll (32 joints, 60 bones,
// eight poses of 32 locations), next to a plain fgets scan of the same bytes, the practical
// limit of any line reader on the same stream.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tbfReader.h"
#include "tbfWriter.h"

namespace {

constexpr int kJoints = 32;
constexpr int kPoses = 8;

void WriteDollDocument(tbfWriter& w) {
    w.WriteAndOpenChunkNode("velko", 1, 0, "anonymous");
    w.WriteAndOpenNode("joints %d", kJoints);
    for (int i = 0; i < kJoints; ++i) w.Write("%f %f", 320.0 + 7.25 * i, 65.333328 + 13.5 * i);
    w.CloseNode();
    w.WriteAndOpenNode("edges %d", 2 * kJoints - 4);
    for (int i = 0; i + 1 < kJoints; ++i) {
        w.Write("%d %d", i, i + 1);
        if (i + 2 < kJoints && i % 16 != 15) w.Write("%d %d", i, i + 2);
    }
    w.CloseNode();
    w.WriteAndOpenNode("poses %d", kPoses);
    for (int k = 0; k < kPoses; ++k) {
        w.WriteAndOpenNode("pose");
        w.WriteAndOpenNode("joints %d", kJoints);
        for (int i = 0; i < kJoints; ++i)
            w.Write("%f %f", 300.5 + k * 3.75 + i, 100.125 + i * 11.0);
        w.CloseNode();
        w.CloseNode();
    }
    w.CloseNode();
    w.CloseNode();
}

const std::string& DollDocument() {
    static const std::string text = [] {
        char* bytes = nullptr;
        size_t size = 0;
        {
            tbfWriterAsciiFILE writer(open_memstream(&bytes, &size));
            WriteDollDocument(writer);
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

// Sums what a doll reader would take from the document, walking it the same way
float ReadDollDocument(tbfReader& r) {
    float sum = 0;
    if (!r.GetIsFileReadable() || !r.Read() || !r.GetIsChunkType("velko") || !r.OpenNode())
        return sum;
    while (r.Read()) {
        if (!r.GetIsStartOfNode()) continue;
        if (r.CompareItem(0, "joints") && r.OpenNode()) {
            float x = 0, y = 0;
            while (r.Read())
                if (r.Parse("%f %f", &x, &y)) sum += x + y;
            r.CloseNode();
        } else if (r.CompareItem(0, "edges") && r.OpenNode()) {
            int a = 0, b = 0;
            while (r.Read())
                if (r.Parse("%d %d", &a, &b)) sum += a + b;
            r.CloseNode();
        } else if (r.CompareItem(0, "poses") && r.OpenNode()) {
            while (r.Read()) {
                if (!r.CompareItem(0, "pose") || !r.OpenNode()) continue;
                while (r.Read()) {
                    int n = 0;
                    if (!r.CompareItem(0, "joints") || !r.ParseItem(1, &n) || !r.OpenNode())
                        continue;
                    float x = 0, y = 0;
                    while (r.Read() && r.Parse("%f %f", &x, &y)) sum += x + y;
                    r.CloseNode();
                }
                r.CloseNode();
            }
            r.CloseNode();
        }
    }
    r.CloseNode();
    return sum;
}

void BM_FgetsScanOfDollDocument(benchmark::State& state) {
    const std::string& text = DollDocument();
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
BENCHMARK(BM_FgetsScanOfDollDocument);

void BM_ReadDollDocument(benchmark::State& state) {
    const std::string& text = DollDocument();
    for (auto _ : state) {
        tbfReaderAsciiFILE reader(OpenForReading(text));
        benchmark::DoNotOptimize(ReadDollDocument(reader));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_ReadDollDocument);

// Reading the chunk but passing over its three nodes unopened
void BM_SkipDollDocumentNodes(benchmark::State& state) {
    const std::string& text = DollDocument();
    for (auto _ : state) {
        tbfReaderAsciiFILE reader(OpenForReading(text));
        int items = 0;
        if (reader.Read() && reader.OpenNode()) {
            while (reader.Read()) ++items;
            reader.CloseNode();
        }
        benchmark::DoNotOptimize(items);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}
BENCHMARK(BM_SkipDollDocumentNodes);

void BM_WriteDollDocument(benchmark::State& state) {
    const size_t size = DollDocument().size();
    std::vector<char> out(size + 1);
    for (auto _ : state) {
        tbfWriterAsciiFILE writer(fmemopen(out.data(), out.size(), "w"));
        WriteDollDocument(writer);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * size);
    state.counters["document_bytes"] = double(size);
}
BENCHMARK(BM_WriteDollDocument);

}  // namespace

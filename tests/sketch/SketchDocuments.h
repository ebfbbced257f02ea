// Documents for the sketch doll tests: text fed to a reader, bytes caught from a writer.
// Readers and writers own the streams they are given and close them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SketchDoll.h"
#include "tbfReader.h"
#include "tbfWriter.h"

// A temporary stream holding text, positioned at its start
inline FILE* StreamOf(const std::string& text) {
    FILE* f = tmpfile();
    if (f) {
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
    }
    return f;
}

// The bytes a writer produces for write(writer), header included; the writer is closed
// before they are taken
template <typename WriteCalls>
std::string WrittenBy(WriteCalls write) {
    char* bytes = nullptr;
    size_t size = 0;
    {
        tbfWriterAsciiFILE writer(open_memstream(&bytes, &size));
        write(writer);
    }
    std::string text(bytes, size);
    free(bytes);
    return text;
}

// A whole saved document of d
inline std::string Saved(SketchDoll& d) {
    return WrittenBy([&](tbfWriter& w) { d.WriteToFile(&w); });
}

// Reads the body nodes of text (header "tbff .1" prepended) into d, one node at a time,
// as the doll's chunk reader hands them over
inline void ReadBodyNodes(SketchDoll& d, const std::string& body) {
    tbfReaderAsciiFILE r(StreamOf("tbff .1\n" + body));
    while (r.Read())
        if (r.GetIsStartOfNode()) d.ReadNodeFromFile(&r);
}

inline std::vector<SketchDollLine2*> Lines2Of(const SketchDoll& d) {
    std::vector<SketchDollLine2*> v;
    for (gesture* g = d.lines; g; g = g->GetNext()) v.push_back(static_cast<SketchDollLine2*>(g));
    return v;
}

inline std::vector<fPoint2> RecordedPoints(const SketchDollLine* l) {
    std::vector<fPoint2> v;
    for (int i = 0; i < l->GetNPoints(); i++) v.push_back(*l->GetPoint(i));
    return v;
}

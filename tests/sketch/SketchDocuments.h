// Documents for the sketch doll tests: text fed to a reader, bytes caught from a writer.
// Readers and writers own the streams they are given and close them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DocumentStreams.h"
#include "SketchDoll.h"
#include "tbfReader.h"
#include "tbfWriter.h"

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

// The sketch doll as a consumer of untrusted documents: any bytes go through the doll's
// reader with the "lines" node read by the sketch doll, which must come out consistent with
// every line drawable, and it is saved again.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SketchDoll.h"
#include "SketchInvariants.h"
#include "tbfDocumentWalk.h"
#include "tbfReader.h"
#include "tbfWriter.h"

namespace {

bool Consistent(SketchDoll& d, const char* when) {
    std::string why = SketchDollInvariantViolation(d);
    if (why.empty()) return true;
    ReportWalkFailure(when, why.c_str());
    return false;
}

}  // namespace

void ReadSketchDollAndSave(tbfReader* in, tbfWriter* out) {
    SketchDoll first;
    first.ReadFromFile(in);
    if (!Consistent(first, "sketch doll consistent after loading")) return;

    // What is saved is the doll loaded twice: the first load drops whatever the document
    // held that a doll cannot keep, so saving what was saved must then give the same bytes
    char* bytes = nullptr;
    size_t size = 0;
    FILE* mid = open_memstream(&bytes, &size);
    if (!mid) return;
    {
        tbfWriterAsciiFILE w(mid);
        first.WriteToFile(&w);
    }
    if (!Consistent(first, "sketch doll consistent after saving")) {
        free(bytes);
        return;
    }
    SketchDoll second;
    if (FILE* back = fmemopen(bytes, size, "r")) {
        tbfReaderAsciiFILE r(back);
        second.ReadFromFile(&r);
    }
    free(bytes);
    if (second.GetNumLines() != first.GetNumLines())
        ReportWalkFailure("a saved sketch doll loads back with all its lines", "lines");
    if (!Consistent(second, "sketch doll consistent after loading what it saved")) return;
    second.WriteToFile(out);
}

// The sketch doll as a consumer of untrusted documents: any bytes go through the doll's
// reader with the "lines" node read by the sketch doll, which must come out consistent with
// every line drawable, and it is saved again. The walk then loads what was saved and checks
// that it saves to the same bytes, lines included.
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
    SketchDoll doll;
    doll.ReadFromFile(in);
    if (!Consistent(doll, "sketch doll consistent after loading")) return;
    doll.WriteToFile(out);  // compacts the joints first
    Consistent(doll, "sketch doll consistent after saving");
}

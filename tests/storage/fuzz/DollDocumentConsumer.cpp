// The doll as a consumer of untrusted documents: any bytes go through Doll::ReadFromFile
// (whatever the header says), the doll must come out consistent, and it is saved again.
#include <string>

#include "Doll.h"
#include "DollInvariants.h"
#include "tbfDocumentWalk.h"
#include "tbfReader.h"
#include "tbfWriter.h"

void ReadDollAndSave(tbfReader* in, tbfWriter* out) {
    Doll doll;
    doll.ReadFromFile(in);
    std::string why = DollInvariantViolation(doll);
    if (!why.empty()) ReportWalkFailure("doll consistent after loading", why.c_str());

    doll.WriteToFile(out);  // compacts the joints first
    why = DollInvariantViolation(doll);
    if (!why.empty()) ReportWalkFailure("doll consistent after saving", why.c_str());
}

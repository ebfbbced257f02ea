// libFuzzer entry: every input is an untrusted document handed to one document consumer,
// the one whose reader VELKO_FUZZ_CONSUMER names (a function of tbfDocumentWalk.h). Each
// consumer is a target of its own so that an execution pays for one reader only.
#include <cstdio>
#include <cstdlib>

#include "tbfDocumentWalk.h"

#ifndef VELKO_FUZZ_CONSUMER
#error "VELKO_FUZZ_CONSUMER must name the consumer's reader, e.g. ReadDollAndSave"
#endif

namespace {

const DocumentConsumer* gConsumer = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (int i = 0; i < kNumDocumentConsumers; ++i)
        if (kDocumentConsumers[i].readAndSave == VELKO_FUZZ_CONSUMER)
            gConsumer = &kDocumentConsumers[i];
    if (!gConsumer) {
        fprintf(stderr, "the fuzz target's consumer is not in the document walk\n");
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DocumentWalkReport report = WalkDocumentWith(*gConsumer, data, size);
    if (!report.failure.empty()) {
        fprintf(stderr, "document walk check failed (%s): %s\n", gConsumer->name,
                report.failure.c_str());
        abort();
    }
    return 0;
}

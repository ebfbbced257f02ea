// libFuzzer entry: every input is an untrusted document handed to every document consumer.
#include <cstdio>
#include <cstdlib>

#include "tbfDocumentWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DocumentWalkReport report = WalkDocument(data, size);
    if (!report.failure.empty()) {
        fprintf(stderr, "document walk check failed: %s\n", report.failure.c_str());
        abort();
    }
    return 0;
}

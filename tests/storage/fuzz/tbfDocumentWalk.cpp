#include "tbfDocumentWalk.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tbfReader.h"
#include "tbfWriter.h"

const DocumentConsumer kDocumentConsumers[] = {
    {"tree copy", CopyDocumentTree, true},
    {"doll", ReadDollAndSave, true},
    {"sketch doll", ReadSketchDollAndSave, true},
};
const int kNumDocumentConsumers = sizeof kDocumentConsumers / sizeof kDocumentConsumers[0];

namespace {

constexpr int kLineBufSize = tbfReaderAsciiFILE::kBufSize;
constexpr int kProbedElements = 8;  // elements probed at each end of an item

DocumentWalkReport* gReport = nullptr;  // the walk in progress

void Fail(const char* check, const char* item) {
    if (gReport && gReport->failure.empty())
        gReport->failure = std::string(check) + " (item \"" + item + "\")";
}

#define WALK_CHECK(cond, item)            \
    do {                                  \
        if (!(cond)) Fail(#cond, (item)); \
    } while (0)

// Calls every getter on the current item and checks that their answers agree.
// Returns the number of elements.
int ProbeItem(tbfReader* in) {
    if (gReport) gReport->itemsRead += 1;
    const char* first = in->GetItemAsString(0);

    // Elements exist exactly below the count, so it can be found by bisection
    int n = 0, beyond = kLineBufSize;
    while (beyond - n > 1) {
        const int mid = (n + beyond) / 2;
        (in->GetItemAsString(mid - 1)[0] ? n : beyond) = mid;
    }
    WALK_CHECK(n <= kLineBufSize / 2, first);
    WALK_CHECK(!in->GetItemAsString(-1)[0] && !in->CompareItem(-1, ""), first);

    // Element lookups rescan the line, so a long item is probed at its ends only
    for (int i = 0; i <= n; ++i) {
        if (i == kProbedElements && n > 2 * kProbedElements) i = n - kProbedElements;
        const char* s = in->GetItemAsString(i);
        const bool exists = i < n;
        WALK_CHECK(strlen(s) < (size_t)kLineBufSize, first);
        WALK_CHECK(!strpbrk(s, " \t\n"), first);
        WALK_CHECK(in->CompareItem(i, s) == exists, first);

        float x = 0.25f;
        const bool gotFloat = in->ParseItem(i, &x);
        WALK_CHECK(gotFloat ? std::isfinite(x) : x == 0.25f, first);
        WALK_CHECK(!gotFloat || exists, first);
        int d = 7;
        const bool gotInt = in->ParseItem(i, &d);
        WALK_CHECK(gotInt || d == 7, first);
        WALK_CHECK(!gotInt || exists, first);
        unsigned u = 7;
        const bool gotUnsigned = in->ParseItem(i, &u);
        WALK_CHECK(gotUnsigned == gotInt, first);
        char c = '?';
        WALK_CHECK(in->ParseItem(i, &c) == exists && (!exists || c == s[0]), first);
    }

    float a = 0, b = 0;
    int k = 0;
    unsigned u = 0;
    char c = 0;
    WALK_CHECK(in->Parse("%f %f", &a, &b) == (n >= 2), first);
    WALK_CHECK(std::isfinite(a) && std::isfinite(b), first);
    WALK_CHECK(in->Parse("%0 %d %f %f", &k, &a, &b) == (n >= 4), first);
    WALK_CHECK(in->Parse("%u %c %s", &u, &c) == (n >= 3), first);
    WALK_CHECK(in->Parse("%s") == (n >= 1) && in->Parse(""), first);

    WALK_CHECK(in->GetIsChunk() == in->CompareItem(0, "chunk"), first);
    WALK_CHECK(in->GetIsChunkType(in->GetChunkType()) == (n >= 2), first);
    WALK_CHECK(in->GetIsChunkName(in->GetChunkName()) == (n >= 4), first);
    int major = INT_MIN, minor = INT_MIN;
    in->GetChunkVersion(&major, &minor);
    WALK_CHECK(in->GetIsChunkVersion(major, minor), first);
    WALK_CHECK(n >= 3 || (major == -1 && minor == -1), first);
    return n;
}

// The item's elements joined by single spaces; characters an item may not hold become "?"
void ItemText(tbfReader* in, int n, char* text) {
    text[0] = 0;
    size_t len = 0;
    for (int i = 0; i < n; ++i) {
        const char* s = in->GetItemAsString(i);
        const size_t slen = strlen(s);
        if (len + (i > 0) + slen >= (size_t)kLineBufSize) break;
        if (i > 0) text[len++] = ' ';
        memcpy(text + len, s, slen + 1);
        len += slen;
    }
    for (char* p = text; *p; ++p)
        if (*p == '\b' || *p == '\r') *p = '?';
}

size_t LongestLine(const std::string& text) {
    size_t longest = 0, start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            if (i - start > longest) longest = i - start;
            start = i + 1;
        }
    }
    return longest;
}

std::string ReadAndSave(const DocumentConsumer& consumer, const uint8_t* data, size_t size) {
    static char emptyDocument[1];
    FILE* in = fmemopen(size ? (void*)data : emptyDocument, size, "r");
    if (!in) {
        Fail("could not open a memory stream", consumer.name);
        return std::string();
    }
    std::string saved;
    {
        tbfReaderAsciiFILE reader(in);
        tbfWriterAsciiString writer(&saved);
        consumer.readAndSave(&reader, &writer);
    }  // the writer closes the nodes left open
    return saved;
}

}  // namespace

void ReportWalkFailure(const char* check, const char* item) { Fail(check, item); }

void CopyDocumentTree(tbfReader* in, tbfWriter* out) {
    int depth = 0;  // nodes entered in the reader and opened in the writer
    char text[kLineBufSize];
    for (;;) {
        if (!in->Read()) {
            if (depth == 0) return;
            in->CloseNode();
            out->CloseNode();
            depth -= 1;
            continue;
        }
        const int n = ProbeItem(in);
        ItemText(in, n, text);
        const char* first = in->GetItemAsString(0);
        if (!in->GetIsStartOfNode()) {
            out->Write("%s", text);
            if (depth > 0 && strcmp(first, "stop") == 0) {
                in->CloseNode();
                out->CloseNode();
                depth -= 1;
            }
        } else if (first[0] == 'x') {
            // Left for the next Read() to skip; "xstop" also abandons the parent, which
            // then has a pending unentered child when it is closed
            if (depth > 0 && strcmp(first, "xstop") == 0) {
                in->CloseNode();
                out->CloseNode();
                depth -= 1;
            }
        } else {
            WALK_CHECK(in->OpenNode() && !in->GetIsStartOfNode() && !in->OpenNode(), first);
            out->WriteAndOpenNode("%s", text);
            depth += 1;
        }
    }
}

namespace {

void WalkOne(const DocumentConsumer& consumer, const uint8_t* data, size_t size) {
    const std::string saved = ReadAndSave(consumer, data, size);
    WALK_CHECK(saved.compare(0, 9, "tbff .1\n\n") == 0, consumer.name);

    // Lines near the buffer size would be split differently on the second reading
    if (!consumer.savesStably || LongestLine(saved) >= (size_t)kLineBufSize - 1) return;
    const std::string savedAgain =
        ReadAndSave(consumer, (const uint8_t*)saved.data(), saved.size());
    WALK_CHECK(savedAgain == saved, consumer.name);
}

}  // namespace

DocumentWalkReport WalkDocument(const uint8_t* data, size_t size) {
    DocumentWalkReport report;
    gReport = &report;
    for (int i = 0; i < kNumDocumentConsumers; ++i) WalkOne(kDocumentConsumers[i], data, size);
    gReport = nullptr;
    return report;
}

DocumentWalkReport WalkDocumentWith(const DocumentConsumer& consumer, const uint8_t* data,
                                    size_t size) {
    DocumentWalkReport report;
    gReport = &report;
    WalkOne(consumer, data, size);
    gReport = nullptr;
    return report;
}

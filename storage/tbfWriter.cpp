#include "tbfWriter.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "VelkoAssert.h"

namespace {
constexpr int kItemBufSize = 1024;  // item text, terminator included
constexpr int kMaxLineDepth = 64;   // tabs a line is assembled with in one buffer

// One number as "%f" writes it (fixed notation, six decimals, the exact binary value
// rounded to nearest, ties to even) for the magnitudes a document holds, in integers:
// x = m * 2^-s exactly, so x * 10^6 = m * 10^6 / 2^s, rounded by hand. Returns the end of
// the text, or nullptr when x is not a number or too large for 64 bits of millionths.
char* FormatMillionths(char* text, char* end, double x) {
    uint64_t bits;
    memcpy(&bits, &x, sizeof bits);
    const bool negative = bits >> 63;
    const int exponentField = (int)((bits >> 52) & 0x7ff);
    uint64_t mantissa = bits & ((1ull << 52) - 1);
    if (exponentField == 0x7ff) return nullptr;  // infinite or not a number
    int shift = 1075;                            // x = mantissa * 2^-shift
    if (exponentField == 0) {
        shift = 1074;  // subnormal
    } else {
        mantissa |= 1ull << 52;
        shift -= exponentField;
    }
    // mantissa * 10^6 < 2^73: a shift of 75 or more leaves less than a quarter of a millionth
    // and shifts of less than 10 could overflow 64 bits of millionths
    if (shift < 10) return nullptr;
    uint64_t millionths = 0;
    if (mantissa != 0 && shift < 75) {
        // A float widened to double has 29 zero bits at the bottom: without them the product
        // fits 64 bits and the rounding needs no 128-bit arithmetic
        const int zeros = __builtin_ctzll(mantissa);
        const int drop = zeros < shift ? zeros : shift - 1;
        mantissa >>= drop;
        shift -= drop;
        if (mantissa < (1ull << 44) && shift < 64) {
            const uint64_t scaled = mantissa * 1000000u;
            millionths = scaled >> shift;
            const uint64_t rest = scaled & ((1ull << shift) - 1);
            const uint64_t half = 1ull << (shift - 1);
            if (rest > half || (rest == half && (millionths & 1))) millionths++;
        } else {
            const unsigned __int128 scaled = (unsigned __int128)mantissa * 1000000u;
            millionths = (uint64_t)(scaled >> shift);
            const unsigned __int128 rest = scaled & (((unsigned __int128)1 << shift) - 1);
            const unsigned __int128 half = (unsigned __int128)1 << (shift - 1);
            if (rest > half || (rest == half && (millionths & 1))) millionths++;
        }
    }
    if (end - text < 28) return nullptr;  // sign, 20 digits, point, 6 digits
    if (negative) *text++ = '-';          // printf keeps the sign of a negative zero too
    text = std::to_chars(text, end, millionths / 1000000).ptr;
    *text++ = '.';
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    uint32_t fraction = (uint32_t)(millionths % 1000000);
    for (int i = 4; i >= 0; i -= 2) {
        memcpy(text + i, kPairs + 2 * (fraction % 100), 2);
        fraction /= 100;
    }
    return text + 6;
}

// The item "%f %f" (a location: most lines of a document) formatted without printf, which
// parses the format and goes through the locale for every number. Gives exactly the bytes
// "%f" gives. Returns the length, or -1 when the numbers do not fit, and printf is left to
// deal with them.
int FormatLocation(char* text, size_t size, double x, double y) {
    char* end = text + size - 1;
    char* p = FormatMillionths(text, end, x);
    if (!p) return -1;
    *p++ = ' ';
    p = FormatMillionths(p, end, y);
    if (!p) return -1;
    *p = 0;
    return (int)(p - text);
}
}  // namespace

tbfWriterAscii::tbfWriterAscii() : nodeDepth(0), justClosedNode(false), closed(false) {}

void tbfWriterAscii::WriteHeader() {
    Write("tbff .1");
    Emit("\n", 1);
}

void tbfWriterAscii::CloseOpenNodes() {
    while (nodeDepth > 0) CloseNode();
}

void tbfWriterAscii::Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    _Write(false, format, args);
    va_end(args);
}

void tbfWriterAscii::WriteAndOpenNode(const char* format, ...) {
    va_list args;
    va_start(args, format);
    _Write(true, format, args);
    va_end(args);
    // The opening line sits at the parent's depth, the content one tab deeper
    nodeDepth += 1;
}

void tbfWriterAscii::CloseNode() {
    VELKO_ASSERT_TEXT(!closed && nodeDepth > 0, "0");
    nodeDepth -= 1;
    for (int i = 0; i < nodeDepth; ++i) Emit("\t", 1);
    Emit("}\n", 2);
    justClosedNode = true;
}

void tbfWriterAscii::WriteAndOpenChunkNode(const char* type, int majorVer, int minorVer,
                                           const char* name) {
    VELKO_ASSERT(type);
    if (!name) name = "anonymous";
    WriteAndOpenNode("chunk %s %d.%d %s", type, majorVer, minorVer, name);
    Emit("\n", 1);
}

void tbfWriterAscii::_Write(bool openNode, const char* format, va_list args) {
    VELKO_ASSERT_TEXT(!closed, "0");
    if (justClosedNode) Emit("\n", 1);
    justClosedNode = false;

    char text[kItemBufSize];
    bool formatted = false;
    if (strcmp(format, "%f %f") == 0) {
        va_list copy;
        va_copy(copy, args);
        double x = va_arg(copy, double);
        double y = va_arg(copy, double);
        va_end(copy);
        formatted = FormatLocation(text, sizeof text, x, y) >= 0;
    }
    if (!formatted && vsnprintf(text, sizeof text, format, args) < 0) text[0] = 0;

    // A reader splits at line ends and strips tabs, so an item must be one tab-free line
    size_t len = 0;
    for (const char* p = text; *p; ++p, ++len) {
        const char c = *p;
        VELKO_ASSERT_TEXT(c != '\b' && c != '\t' && c != '\n' && c != '\r', "0");
    }

    // The whole line goes to the stream in one call: most lines are short locations, and a
    // call per character cost more than formatting the numbers
    char line[kMaxLineDepth + kItemBufSize + 3];
    size_t depth = (size_t)nodeDepth;
    while (depth > (size_t)kMaxLineDepth) {  // deeper than any document nests
        Emit("\t", 1);
        depth--;
    }
    memset(line, '\t', depth);
    memcpy(line + depth, text, len);
    size_t n = depth + len;
    if (openNode) {
        line[n++] = ' ';
        line[n++] = '{';
    }
    line[n++] = '\n';
    Emit(line, n);
}

tbfWriterAsciiFILE::tbfWriterAsciiFILE(FILE* f) : f(f), dontCloseFile(false), hasFailed(false) {
    VELKO_ASSERT(f);
    WriteHeader();
}

tbfWriterAsciiFILE::~tbfWriterAsciiFILE() {
    if (closed) return;
    CloseOpenNodes();
    if (!dontCloseFile) fclose(f);
}

bool tbfWriterAsciiFILE::GetHasFailed() const {
    // After Close() the stream may be gone; its errors were folded into hasFailed then
    return hasFailed || (!closed && ferror(f));
}

bool tbfWriterAsciiFILE::Close() {
    VELKO_ASSERT_TEXT(!closed, "0");
    CloseOpenNodes();
    // A fully buffered stream (a file) reports a full disk only here, when the buffer goes
    if (fflush(f) != 0 || ferror(f)) hasFailed = true;
    if (!dontCloseFile && fclose(f) != 0) hasFailed = true;
    closed = true;
    return !hasFailed;
}

void tbfWriterAsciiFILE::Emit(const char* bytes, size_t n) {
    if (fwrite(bytes, 1, n, f) != n) hasFailed = true;
}

tbfWriterAsciiString::tbfWriterAsciiString(std::string* out) : out(out) {
    VELKO_ASSERT(out);
    out->clear();
    WriteHeader();
}

tbfWriterAsciiString::~tbfWriterAsciiString() {
    if (!closed) CloseOpenNodes();
}

void tbfWriterAsciiString::Close() {
    VELKO_ASSERT_TEXT(!closed, "0");
    CloseOpenNodes();
    closed = true;
}

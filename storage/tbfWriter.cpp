#include "tbfWriter.h"

#include <charconv>
#include <cstring>

#include "VelkoAssert.h"

namespace {
constexpr int kItemBufSize = 1024;  // item text, terminator included

// The item "%f %f" (a location: most lines of a document) formatted without printf, which
// parses the format and goes through the locale for every number. Fixed notation with six
// decimals gives exactly the bytes "%f" gives, both being correctly rounded. Returns the
// length, or -1 when the numbers do not fit, and printf is left to deal with them.
int FormatLocation(char* text, size_t size, double x, double y) {
    char* end = text + size - 1;
    std::to_chars_result r = std::to_chars(text, end, x, std::chars_format::fixed, 6);
    if (r.ec != std::errc() || r.ptr >= end) return -1;
    *r.ptr = ' ';
    r = std::to_chars(r.ptr + 1, end, y, std::chars_format::fixed, 6);
    if (r.ec != std::errc()) return -1;
    *r.ptr = 0;
    return (int)(r.ptr - text);
}
}  // namespace

tbfWriterAsciiFILE::tbfWriterAsciiFILE(FILE* f)
    : f(f),
      nodeDepth(0),
      justClosedNode(false),
      dontCloseFile(false),
      hasFailed(false),
      closed(false) {
    VELKO_ASSERT(f);
    Write("tbff .1");
    BlankLine();
}

tbfWriterAsciiFILE::~tbfWriterAsciiFILE() {
    if (closed) return;
    while (nodeDepth > 0) CloseNode();
    if (!dontCloseFile) fclose(f);
}

bool tbfWriterAsciiFILE::GetHasFailed() const {
    // After Close() the stream may be gone; its errors were folded into hasFailed then
    return hasFailed || (!closed && ferror(f));
}

bool tbfWriterAsciiFILE::Close() {
    VELKO_ASSERT_TEXT(!closed, "0");
    while (nodeDepth > 0) CloseNode();
    // A fully buffered stream (a file) reports a full disk only here, when the buffer goes
    if (fflush(f) != 0 || ferror(f)) hasFailed = true;
    if (!dontCloseFile && fclose(f) != 0) hasFailed = true;
    closed = true;
    return !hasFailed;
}

void tbfWriterAsciiFILE::Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    _Write(false, format, args);
    va_end(args);
}

void tbfWriterAsciiFILE::WriteAndOpenNode(const char* format, ...) {
    va_list args;
    va_start(args, format);
    _Write(true, format, args);
    va_end(args);
    // The opening line sits at the parent's depth, the content one tab deeper
    nodeDepth += 1;
}

void tbfWriterAsciiFILE::CloseNode() {
    VELKO_ASSERT_TEXT(!closed && nodeDepth > 0, "0");
    nodeDepth -= 1;
    TabToDepth();
    Put("}\n");
    justClosedNode = true;
}

void tbfWriterAsciiFILE::WriteAndOpenChunkNode(const char* type, int majorVer, int minorVer,
                                               const char* name) {
    VELKO_ASSERT(type);
    if (!name) name = "anonymous";
    WriteAndOpenNode("chunk %s %d.%d %s", type, majorVer, minorVer, name);
    BlankLine();
}

void tbfWriterAsciiFILE::_Write(bool openNode, const char* format, va_list args) {
    VELKO_ASSERT_TEXT(!closed, "0");
    if (justClosedNode) PutChar('\n');
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
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        VELKO_ASSERT_TEXT(c != '\b' && c != '\t' && c != '\n' && c != '\r', "0");
    }

    TabToDepth();
    Put(text);
    if (openNode) Put(" {");
    PutChar('\n');
}

void tbfWriterAsciiFILE::TabToDepth() {
    for (int i = 0; i < nodeDepth; ++i) PutChar('\t');
}

void tbfWriterAsciiFILE::BlankLine() { PutChar('\n'); }

void tbfWriterAsciiFILE::Put(const char* text) {
    if (fputs(text, f) == EOF) hasFailed = true;
}

void tbfWriterAsciiFILE::PutChar(char c) {
    if (fputc(c, f) == EOF) hasFailed = true;
}

#include "tbfReader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "VelkoAssert.h"

const char tbfReaderAsciiFILE::emptyString[1] = "";

namespace {

bool IsScanfSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading digits of s after optional white space and sign, as scanf's %d and %u read them.
// The magnitude saturates at `limit`; false when no digit follows.
bool ScanInteger(const char* s, unsigned long long limit, bool* negative,
                 unsigned long long* magnitude) {
    while (IsScanfSpace(*s)) ++s;
    *negative = *s == '-';
    if (*s == '-' || *s == '+') ++s;
    if (*s < '0' || *s > '9') return false;
    unsigned long long m = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        const unsigned digit = (unsigned)(*s - '0');
        m = m > (limit - digit) / 10 ? limit : m * 10 + digit;
    }
    *magnitude = m;
    return true;
}

bool ConvertInt(const char* s, int* out) {
    bool negative;
    unsigned long long m;
    if (!ScanInteger(s, (unsigned long long)INT_MAX + 1, &negative, &m)) return false;
    if (negative)
        *out = m > (unsigned long long)INT_MAX ? INT_MIN : -(int)m;
    else
        *out = m > (unsigned long long)INT_MAX ? INT_MAX : (int)m;
    return true;
}

// As %u: a minus sign wraps the magnitude ("-1" is UINT_MAX)
bool ConvertUnsigned(const char* s, unsigned int* out) {
    bool negative;
    unsigned long long m;
    if (!ScanInteger(s, UINT_MAX, &negative, &m)) return false;
    *out = negative ? 0u - (unsigned int)m : (unsigned int)m;
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtof, without its cost for the plain decimals documents hold. A decimal of at most 15
// digits and no exponent is exact in a double, and so is the power of ten dividing it, so
// the division rounds the true value once; rounding that double to float gives what strtof
// gives unless the double landed exactly halfway between two floats, which strtof decides.
bool ConvertFloat(const char* s, float* out) {
    static const double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = s;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    unsigned long long mantissa = 0;
    int digits = 0, fraction = 0;
    for (; IsDigit(*p) && digits <= 15; ++p, ++digits) mantissa = mantissa * 10 + (*p - '0');
    if (*p == '.') {
        for (++p; IsDigit(*p) && digits <= 15; ++p, ++digits, ++fraction)
            mantissa = mantissa * 10 + (*p - '0');
    }
    const bool plain = digits > 0 && digits <= 15 && !IsDigit(*p) && *p != 'e' && *p != 'E' &&
                       *p != 'x' && *p != 'X';
    if (plain) {
        double d = (double)mantissa / kPow10[fraction];
        unsigned long long bits;
        memcpy(&bits, &d, sizeof bits);
        const unsigned long long belowFloat = (1ull << 29) - 1;  // double bits under a float's
        if ((bits & belowFloat) != 1ull << 28) {
            *out = (float)(negative ? -d : d);
            return true;
        }
    }

    char* end;
    const int savedErrno = errno;
    const float v = strtof(s, &end);
    errno = savedErrno;
    if (end == s || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

}  // namespace

void GetAsMajorMinorVersion(const char* s, int* major, int* minor) {
    if (!s) {
        *major = *minor = -1;
        return;
    }
    const char* dot = strchr(s, '.');
    if (dot == s)
        *major = 0;
    else if (!ConvertInt(s, major))
        *major = -1;
    if (!dot || !dot[1])
        *minor = 0;
    else if (!ConvertInt(dot + 1, minor))
        *minor = -1;
}

tbfReaderAsciiFILE::tbfReaderAsciiFILE(FILE* f)
    : tbffMinorVer(-1),
      tbffMajorVer(-1),
      tbffMagicCookie(false),
      endOfFile(false),
      endOfNode(false),
      startOfNode(false),
      depth(0),
      f(f),
      lineLoaded(false),
      nelements(0),
      buf(),
      bufstrlen(0),
      elementStart(),
      dontCloseFile(false) {
    VELKO_ASSERT(f);
    // The header is the first non-blank line, and it stays the current line
    Read();
    tbffMagicCookie = CompareItem(0, "tbff");
    GetAsMajorMinorVersion(GetNthElement(1), &tbffMajorVer, &tbffMinorVer);
}

tbfReaderAsciiFILE::~tbfReaderAsciiFILE() {
    if (!dontCloseFile) fclose(f);
}

bool tbfReaderAsciiFILE::GetIsFileReadable() {
    return tbffMagicCookie && tbffMajorVer == 0 && tbffMinorVer == 1;
}

bool tbfReaderAsciiFILE::GetIsEndOfFile() { return endOfFile && depth == 0; }

bool tbfReaderAsciiFILE::GetIsEndOfNode() { return endOfNode && depth > 0; }

bool tbfReaderAsciiFILE::GetIsStartOfNode() { return startOfNode; }

bool tbfReaderAsciiFILE::Read() {
    if (endOfFile || endOfNode) return false;
    lineLoaded = false;

    // A node the consumer did not enter is passed over whole
    if (startOfNode) {
        if (!SkipThisNode()) return false;
        startOfNode = false;
    }
    endOfNode = false;

    do {
        if (!fgets(buf, sizeof buf, f)) {
            endOfFile = true;
            nelements = 0;
            bufstrlen = 0;
            buf[0] = 0;
            return false;
        }
        ChopBuf();
    } while (nelements == 0);
    lineLoaded = true;

    if (strcmp(GetNthElementSlowly(0), "}") == 0) {
        endOfNode = true;
        return false;
    }
    // The last element, found from the end of the line: the separators after it are NULs
    int last = bufstrlen - 1;
    while (!buf[last]) --last;
    if (buf[last] == '{' && (last == 0 || !buf[last - 1])) {
        startOfNode = true;
        nelements -= 1;
    }
    return true;
}

bool tbfReaderAsciiFILE::Parse(const char* format, ...) {
    VELKO_ASSERT(format);
    va_list args;
    va_start(args, format);
    bool result = true;
    int ei = 0;
    for (const char* p = format; *p && result; ++p) {
        const char* element;
        switch (*p) {
            case 'f':
            case 'd':
            case 'u':
            case 'c':
                element = GetNthElement(ei++);
                if (!element) {
                    result = false;
                    break;
                }
                // A failed conversion leaves the target alone and parsing goes on
                if (*p == 'f')
                    ConvertFloat(element, va_arg(args, float*));
                else if (*p == 'd')
                    ConvertInt(element, va_arg(args, int*));
                else if (*p == 'u')
                    ConvertUnsigned(element, va_arg(args, unsigned int*));
                else
                    *va_arg(args, char*) = element[0];
                break;
            case '0':
                ei++;
                break;
            case 's':
                va_end(args);
                return GetNthElement(ei) != nullptr;
            default:
                break;
        }
    }
    va_end(args);
    return result;
}

bool tbfReaderAsciiFILE::ParseItem(int item, float* f) {
    const char* element = GetNthElement(item);
    return element && ConvertFloat(element, f);
}

bool tbfReaderAsciiFILE::ParseItem(int item, char* c) {
    const char* element = GetNthElement(item);
    if (!element) return false;
    *c = element[0];
    return true;
}

bool tbfReaderAsciiFILE::ParseItem(int item, int* i) {
    const char* element = GetNthElement(item);
    return element && ConvertInt(element, i);
}

bool tbfReaderAsciiFILE::ParseItem(int item, unsigned int* i) {
    const char* element = GetNthElement(item);
    return element && ConvertUnsigned(element, i);
}

bool tbfReaderAsciiFILE::CompareItem(int item, const char* value) {
    const char* element = GetNthElement(item);
    return element && value && strcmp(element, value) == 0;
}

const char* tbfReaderAsciiFILE::GetItemAsString(int item) {
    const char* element = GetNthElement(item);
    return element ? element : emptyString;
}

bool tbfReaderAsciiFILE::OpenNode() {
    if (!startOfNode) return false;
    depth += 1;
    startOfNode = false;
    lineLoaded = false;
    return true;
}

void tbfReaderAsciiFILE::CloseNode() {
    VELKO_ASSERT(depth > 0);
    // When the stream ends inside the node, depth stays: every later Read() is false anyway
    if (endOfNode || SkipThisNode()) depth -= 1;
    // With an unentered child pending, the skip above ended at that child's closing brace;
    // startOfNode stays set, so the next Read() skips what is left of this node
    nelements = 0;
    endOfNode = false;
    lineLoaded = false;
}

bool tbfReaderAsciiFILE::GetIsChunk() { return CompareItem(0, "chunk"); }

const char* tbfReaderAsciiFILE::GetChunkType() { return GetItemAsString(1); }

void tbfReaderAsciiFILE::GetChunkVersion(int* major, int* minor) {
    GetAsMajorMinorVersion(GetNthElement(2), major, minor);
}

const char* tbfReaderAsciiFILE::GetChunkName() { return GetItemAsString(3); }

bool tbfReaderAsciiFILE::GetIsChunkType(const char* s) { return CompareItem(1, s); }

bool tbfReaderAsciiFILE::GetIsChunkVersion(int major, int minor) {
    int fileMajor, fileMinor;
    GetChunkVersion(&fileMajor, &fileMinor);
    return fileMajor == major && fileMinor == minor;
}

bool tbfReaderAsciiFILE::GetIsChunkName(const char* s) { return CompareItem(3, s); }

const char* tbfReaderAsciiFILE::GetNthElement(int ei) {
    if (!lineLoaded || endOfFile || ei < 0 || ei >= nelements) return nullptr;
    return GetNthElementSlowly(ei);
}

const char* tbfReaderAsciiFILE::GetNthElementSlowly(int ei) {
    VELKO_ASSERT_TEXT(lineLoaded && ei >= 0 && ei < nelements,
                      "lineLoaded && ei>=0 && ei<nelements");
    return buf + elementStart[ei];
}

void tbfReaderAsciiFILE::ChopBuf() {
    nelements = 0;
    // A NUL byte inside the line ends it: whatever follows on that line is ignored
    bufstrlen = (int)strlen(buf);
    if (bufstrlen > 0 && buf[bufstrlen - 1] == '\n') buf[--bufstrlen] = 0;
    // A carriage return before the line feed belongs to the line end (documents edited on
    // systems that end lines with CR LF), so "{" still ends the line
    if (bufstrlen > 0 && buf[bufstrlen - 1] == '\r') buf[--bufstrlen] = 0;
    bool inElement = false;
    for (int i = 0; i < bufstrlen; ++i) {
        if (buf[i] == ' ' || buf[i] == '\t') {
            buf[i] = 0;
            inElement = false;
        } else if (!inElement) {
            inElement = true;
            elementStart[nelements++] = (short)i;
        }
    }
}

bool tbfReaderAsciiFILE::SkipThisNode() {
    // Counts braces anywhere in the text, so a brace glued to a word counts too; wide so
    // that no stream length can overflow it
    long long open = 1;
    for (;;) {
        const int c = getc_unlocked(f);  // one thread reads a stream
        if (c == EOF) {
            endOfFile = true;
            return false;
        }
        if (c == '{')
            open += 1;
        else if (c == '}' && --open == 0)
            return true;
    }
}

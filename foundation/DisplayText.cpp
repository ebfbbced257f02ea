#include "DisplayText.h"

namespace {
const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the well-formed UTF-8 sequence that starts at s[0] (n bytes available), or 0.
// The second byte's range excludes overlong forms, surrogates and code points past
// U+10FFFF; later bytes are plain continuation bytes.
size_t SequenceLength(const unsigned char* s, size_t n) {
    const unsigned char c = s[0];
    size_t length;
    unsigned char low = 0x80, high = 0xBF;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (n < length || s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < length; i++)
        if (s[i] < 0x80 || s[i] > 0xBF) return 0;
    return length;
}
}  // namespace

std::string ValidUtf8ForDisplay(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const size_t length = SequenceLength(s + i, n - i);
        if (length == 0) {
            shown += kReplacement;
            i++;
        } else {
            shown.append(text, i, length);
            i += length;
        }
    }
    return shown;
}

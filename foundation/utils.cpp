#include "utils.h"

#include <cstring>
#include <new>

#include "VelkoAssert.h"

char* dupstring(const char* s) {
    if (!s) return nullptr;
    size_t n = strlen(s) + 1;
    char* copy = new (std::nothrow) char[n];
    if (!copy) {
        FlagLowMem();
        return nullptr;
    }
    memcpy(copy, s, n);
    return copy;
}

bool strcpymax(char* dst, const char* src, int max) {
    if (!dst || !src) return true;
    VELKO_ASSERT(max >= 1);
    size_t len = strlen(src);
    size_t n = len < (size_t)(max - 1) ? len : (size_t)(max - 1);
    memcpy(dst, src, n);
    dst[n] = 0;
    return n == len;
}

void FlagLowMem() {}

// Portability: the BSD index() on platforms whose C library lacks it. glibc has it in
// <strings.h>, so there this header only includes that.
#pragma once

#if defined(__GLIBC__) || defined(__APPLE__) || defined(__unix__)
#include <strings.h>
#else
char* index(const char* s, int c);
#define VELKO_SUPPLIES_INDEX 1
#endif

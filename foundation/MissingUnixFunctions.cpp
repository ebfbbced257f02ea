#include "MissingUnixFunctions.h"

#ifdef VELKO_SUPPLIES_INDEX
// First char of s equal to c, scanning up to but not including the terminator
char* index(const char* s, int c) {
    if (!s) return nullptr;
    for (; *s; s++)
        if ((signed char)*s == c) return const_cast<char*>(s);
    return nullptr;
}
#endif

// The program's own assertion: prints the failed condition, the source file and the line,
// then stops the program. It stays on in every build type (it does not depend on NDEBUG).
#pragma once

[[noreturn]] void VelkoAssertFailed(const char* condition, const char* file, int line);

// The condition text printed is the one given, so callers can keep historic texts
// ("jointAllocTable[i]", "!theGLUTApp") independent of the expression's spelling.
#define VELKO_ASSERT_TEXT(cond, text) \
    ((cond) ? (void)0 : VelkoAssertFailed(text, __FILE__, __LINE__))

#define VELKO_ASSERT(cond) VELKO_ASSERT_TEXT(cond, #cond)

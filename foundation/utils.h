// String helpers and the low-memory hook.
#pragma once

// Owned copy of s made with new[]; null for null s, or (after FlagLowMem) when out of memory
char* dupstring(const char* s);
// Copies at most max-1 chars and a terminator; true when all of src fit. max counts the
// terminator and must be at least 1. A null dst or src copies nothing and returns true.
bool strcpymax(char* dst, const char* src, int max);
// Called when an allocation fails; callers carry on with their own failure path
void FlagLowMem();

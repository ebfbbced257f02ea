// Text for display: a file name, or a message that quotes one, made valid UTF-8 for
// dialogs and window titles. A file name on Linux is any bytes but '/' and NUL, while
// toolkits refuse or mangle text that is not UTF-8, so each byte that is not part of a
// well-formed UTF-8 sequence is shown as U+FFFD, as desktop file managers show such names.
//
// NOTE: only for what is shown; a path handed to the file system stays the bytes it is.
#pragma once

#include <string>

// text with every byte outside a well-formed UTF-8 sequence (a stray continuation byte, a
// truncated or overlong sequence, a surrogate, a code point above U+10FFFF) replaced by
// U+FFFD; valid text comes back unchanged
std::string ValidUtf8ForDisplay(const std::string& text);

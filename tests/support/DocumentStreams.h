// Documents held in memory for tests: text fed to a reader as a stream, bytes caught from a
// writer. Readers and writers own the streams they are given and close them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tbfWriter.h"

// A temporary stream holding text (any bytes, NULs included), positioned at its start
inline FILE* StreamOf(const std::string& text) {
    FILE* f = tmpfile();
    if (f) {
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
    }
    return f;
}

// The bytes a writer produces for the calls made by write(writer), header included; the
// writer is destroyed (closing its stream) before the bytes are taken
template <typename WriteCalls>
std::string WrittenBy(WriteCalls write) {
    char* bytes = nullptr;
    size_t size = 0;
    {
        tbfWriterAsciiFILE writer(open_memstream(&bytes, &size));
        write(writer);
    }
    std::string text(bytes, size);
    free(bytes);
    return text;
}

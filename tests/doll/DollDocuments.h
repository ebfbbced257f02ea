// Saving dolls to and loading them from document text in memory, as the editor's Save As
// and Open do with a file.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Doll.h"
#include "tbfReader.h"
#include "tbfWriter.h"

// The whole document Save As would write for d
inline std::string SaveDoll(Doll& d) {
    char* bytes = nullptr;
    size_t size = 0;
    {
        tbfWriterAsciiFILE writer(open_memstream(&bytes, &size));
        d.WriteToFile(&writer);
    }  // the writer closes the stream, which fixes bytes and size
    std::string text(bytes, size);
    free(bytes);
    return text;
}

// A read stream over the bytes (any bytes, NULs and the empty text included)
inline FILE* StreamOf(const std::string& text) {
    FILE* f = tmpfile();
    if (f) {
        fwrite(text.data(), 1, text.size(), f);
        rewind(f);
    }
    return f;
}

// Open: reads the document into d when its header is readable; returns that verdict
inline bool LoadDoll(Doll& d, const std::string& text) {
    tbfReaderAsciiFILE reader(StreamOf(text));
    if (!reader.GetIsFileReadable()) return false;
    d.ReadFromFile(&reader);
    return true;
}

// Reads the document into d whatever its header says, as a careless caller would
inline void ForceLoadDoll(Doll& d, const std::string& text) {
    tbfReaderAsciiFILE reader(StreamOf(text));
    d.ReadFromFile(&reader);
}

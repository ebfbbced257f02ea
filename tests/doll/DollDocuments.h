// Saving dolls to and loading them from document text in memory, as the editor's Save As
// and Open do with a file.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "DocumentStreams.h"
#include "Doll.h"
#include "GIconTable.h"
#include "VelkoIcons.h"
#include "tbfReader.h"
#include "tbfWriter.h"

// The whole document Save As would write for d
inline std::string SaveDoll(Doll& d) {
    return WrittenBy([&](tbfWriterAsciiFILE& writer) { d.WriteToFile(&writer); });
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

// The id of a built-in icon; the built-in icons are registered once per process, as the
// editor does at start-up
inline int BuiltInIcon(const char* name) {
    static const bool registered = (LoadStaticIcons(), true);
    (void)registered;
    return GIconTable::ResolveIcon(name);
}

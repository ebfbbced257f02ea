// Writing an export: the file the person named and, for a sprite sheet, its atlas beside it
// (the same name with the atlas's extension). Each is written atomically; when the second
// cannot be written, the first is put back as it was, so a failed export leaves no trace.
#pragma once

#include <string>

#include "ExportFormat.h"

// The companion's path: path with its extension replaced by extension ("a/sheet.png",
// ".json" gives "a/sheet.json")
std::string CompanionPath(const std::string& path, const std::string& extension);
// Writes out to path (and its companion); false with *error when either could not be written
bool WriteEncodedOutput(const std::string& path, const EncodedOutput& out, std::string* error);

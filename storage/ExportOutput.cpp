#include "ExportOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include "DocumentFile.h"

std::string CompanionPath(const std::string& path, const std::string& extension) {
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? path.substr(0, dot) : path) + extension;
}

bool WriteEncodedOutput(const std::string& path, const EncodedOutput& out, std::string* error) {
    if (out.companionExtension.empty()) return WriteFileAtomically(path, out.bytes, error);
    std::string companion = CompanionPath(path, out.companionExtension);
    if (companion == path) {
        *error = "\"" + path + "\" would be written twice";
        return false;
    }
    // What the companion's name held before, to put back if the output cannot be written
    struct stat info;
    bool existed = lstat(companion.c_str(), &info) == 0;
    std::string before, ignored;
    if (existed && !ReadWholeFile(companion, &before, &ignored)) existed = false;
    if (!WriteFileAtomically(companion, out.companionBytes, error)) return false;
    if (WriteFileAtomically(path, out.bytes, error)) return true;
    if (existed)
        WriteFileAtomically(companion, before, &ignored);
    else
        unlink(companion.c_str());
    return false;
}

// Helpers for icon tests: a scratch working directory for .gicon files, and the built-in
// set registered first so its ids are those the program sees.
#pragma once

#include <string>
#include <vector>

#include "fPoint2.h"
#include "gicon.h"

// Makes a fresh temporary directory the working directory; restores the old one and
// removes the directory (and the files written into it) when destroyed
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    // Writes text to name in the scratch directory
    void Write(const std::string& name, const std::string& text);
    void Remove(const std::string& name);

private:
    std::string oldDir, dir;
    std::vector<std::string> files;
};

// Registers the 22 built-in icons once per process, before anything else
void EnsureBuiltInIcons();

// The points of each line of a file icon, head of the list first
std::vector<std::vector<fPoint2>> LinesOf(const gicon& icon);

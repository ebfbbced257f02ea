// GIconTable: the process-wide table of named icons. An icon's id is its slot, 0 .. 255.
// Slots fill from the lowest free one and are never emptied; the table owns every icon
// registered in it for the life of the process. Single-threaded.
#pragma once

#include "fRect.h"
#include "gicon.h"

class GIconTable {
public:
    static const int kMaxIcons = 256;
    static const int kMaxNameLength = 63;  // characters, excluding the terminator

    struct entry {
        giconSuper* icon;               // owned; null when the slot is free
        char name[kMaxNameLength + 1];  // registered name, NUL-terminated
    };

    static entry table[kMaxIcons];
    static int entryCount;  // occupied slots

    // Registers a static icon over a constant stream (not copied); longer names are cut
    // to 63 characters. The id, or -1 when the table is full or out of memory.
    static int AddStaticIcon(const float* staticIconData, const char* name);
    // The id registered under name, or -1; never looks for a file
    static int FindIcon(const char* name);
    // The id registered under name, else loads "<name>.gicon" from the working directory
    // and registers it; -1 when the file cannot be opened or is not a plain file (a pipe
    // is never waited on), the table is full, or the name is null or longer than 63
    // characters
    static int ResolveIcon(const char* name);
    // The icon in slot i, or null for a free slot or i outside 0 .. 255
    static giconSuper* GetIcon(int i);
    // Draws icon i stretched into r (world units), optionally with a light gray frame
    static void PlotIcon(int i, fRect r, bool renderFrame);

private:
    static int FindInTable(const char* n);
    static int FindEmptyTableEntry();
};

#include "GIconTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>

#include "VelkoAssert.h"
#include "fRectMap.h"
#include "graphicsUtilsGL.h"
#include "utils.h"

GIconTable::entry GIconTable::table[GIconTable::kMaxIcons];
int GIconTable::entryCount = 0;

namespace {

// "<name>.gicon" for a name of at most 63 characters, and the terminator
const int kFileNameSize = GIconTable::kMaxNameLength + 6 + 1;

}  // namespace

int GIconTable::FindInTable(const char* n) {
    for (int i = 0; i < kMaxIcons; i++)
        if (table[i].icon && strcmp(table[i].name, n) == 0) return i;
    return -1;
}

int GIconTable::FindEmptyTableEntry() {
    if (entryCount >= kMaxIcons) return -1;
    for (int i = 0; i < kMaxIcons; i++)
        if (!table[i].icon) return i;
    VELKO_ASSERT(0);  // fewer icons counted than slots taken: the table is corrupt
    return -1;
}

int GIconTable::AddStaticIcon(const float* staticIconData, const char* name) {
    int id = FindEmptyTableEntry();
    if (id == -1) return -1;
    giconStatic* icon = new (std::nothrow) giconStatic(staticIconData);
    if (!icon) {
        FlagLowMem();
        return -1;
    }
    table[id].icon = icon;
    entryCount++;
    strcpymax(table[id].name, name ? name : "", kMaxNameLength + 1);
    return id;
}

int GIconTable::FindIcon(const char* name) { return name ? FindInTable(name) : -1; }

int GIconTable::ResolveIcon(const char* name) {
    // A name that does not fit its slot could never be found again: every call would
    // load the file into a new slot, and its file name would be cut short
    if (!name || strlen(name) > (size_t)kMaxNameLength) return -1;
    int found = FindInTable(name);
    if (found != -1) return found;
    int id = FindEmptyTableEntry();
    if (id == -1) return -1;
    char fileName[kFileNameSize];
    snprintf(fileName, sizeof fileName, "%s.gicon", name);
    // Without blocking: a pipe of that name would hold the program forever. Only a plain
    // file (or a link to one) is read.
    int fd = open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info;
    FILE* f = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "r") : nullptr;
    if (!f) {
        close(fd);
        return -1;
    }
    gicon* icon = new (std::nothrow) gicon();
    if (!icon) {
        FlagLowMem();
        fclose(f);
        return -1;
    }
    icon->ReadFromFile(f);
    table[id].icon = icon;
    strcpymax(table[id].name, name, kMaxNameLength + 1);
    entryCount++;
    fclose(f);
    return id;
}

giconSuper* GIconTable::GetIcon(int i) {
    if (i < 0 || i >= kMaxIcons) return nullptr;
    return table[i].icon;
}

void GIconTable::PlotIcon(int i, fRect r, bool renderFrame) {
    if (renderFrame) {
        fColor::lightGray()->SetColor();
        r.Frame();
    }
    fRectMap map(fRect(0, 0, 1, 1), r);
    giconSuper* icon = GetIcon(i);
    if (icon) icon->Render(&map);
}

#include "AppFiles.h"

namespace {
AppFiles* installedFiles = nullptr;
}

AppFiles* AppFiles::Get() { return installedFiles; }

void AppFiles::Install(AppFiles* files) { installedFiles = files; }

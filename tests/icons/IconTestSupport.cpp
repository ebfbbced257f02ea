#include "IconTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "VelkoIcons.h"

ScratchDir::ScratchDir() {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) oldDir = cwd;
    char tmpl[] = "/tmp/velko-icons-XXXXXX";
    if (mkdtemp(tmpl)) dir = tmpl;
    if (dir.empty() || chdir(dir.c_str()) != 0) ADD_FAILURE() << "no scratch directory";
}

ScratchDir::~ScratchDir() {
    for (const auto& f : files) unlink((dir + "/" + f).c_str());
    if (!oldDir.empty() && chdir(oldDir.c_str()) != 0) ADD_FAILURE() << "cannot go back";
    if (!dir.empty()) rmdir(dir.c_str());
}

void ScratchDir::Write(const std::string& name, const std::string& text) {
    FILE* f = fopen(name.c_str(), "w");
    ASSERT_NE(f, nullptr) << name;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    files.push_back(name);
}

void ScratchDir::Remove(const std::string& name) { unlink(name.c_str()); }

void EnsureBuiltInIcons() {
    static bool loaded = false;
    if (!loaded) LoadStaticIcons();
    loaded = true;
}

std::vector<std::vector<fPoint2>> LinesOf(const gicon& icon) {
    std::vector<std::vector<fPoint2>> out;
    for (gesture* g = icon.lines; g; g = g->GetNext()) {
        out.emplace_back();
        for (int i = 0; i < g->GetNPoints(); i++) out.back().push_back(*g->GetPoint(i));
    }
    return out;
}

// The recovery copy on real files in a temporary state folder. A program that ends without
// removing its copy (a kill) is played by a child process that writes one and exits at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "DocumentFile.h"
#include "RecoveryFile.h"

namespace fs = std::filesystem;

namespace {

struct StateFolder {
    fs::path dir;
    StateFolder() {
        char tmpl[] = "/tmp/velko-state-XXXXXX";
        dir = fs::path(mkdtemp(tmpl)) / "velko";  // made by the first write
    }
    ~StateFolder() { fs::remove_all(dir.parent_path()); }
    int Count(const char* extension) const {
        int n = 0;
        if (fs::exists(dir))
            for (auto& e : fs::directory_iterator(dir)) n += e.path().extension() == extension;
        return n;
    }
};

// A program that writes its copy and is killed before it can remove it
void WriteAndDie(const std::string& folder, const std::string& path, const std::string& bytes) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecoveryFile* r = new RecoveryFile(folder);  // never destroyed: no clean exit
        r->Write(path, bytes);
        r->Flush();
        _exit(r->GetLastError().empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(RecoveryFile, ACleanExitOrARemoveLeavesNothingAndARunningProgramsCopyIsNotOffered) {
    StateFolder state;
    {
        RecoveryFile mine(state.dir.string());
        RecoveryFile other(state.dir.string());  // a second program at the same time
        mine.Write("/docs/a.velko", "first");
        mine.Write("/docs/a.velko", "tbff .1\n\nmine");
        other.Write("", "tbff .1\n\nother");
        mine.Flush();
        other.Flush();
        EXPECT_NE(mine.GetPath(), other.GetPath());
        std::string text, error;
        ASSERT_TRUE(ReadWholeFile(mine.GetPath(), &text, &error)) << error;
        EXPECT_EQ(text, "velko recovery 1\n/docs/a.velko\ntbff .1\n\nmine");
        EXPECT_EQ(state.Count(".recovery"), 2);
        // Both programs are running: neither copy belongs to nobody
        EXPECT_TRUE(RecoveryFile::FindOrphans(state.dir.string()).empty());

        mine.Remove();
        mine.Flush();
        EXPECT_FALSE(fs::exists(mine.GetPath()));
        EXPECT_TRUE(fs::exists(other.GetPath()));
    }
    EXPECT_EQ(state.Count(".recovery") + state.Count(".lock"), 0);
}

TEST(RecoveryFile, AKilledProgramsCopyIsOfferedOnceNewestFirstAndDeletedWhenDone) {
    StateFolder state;
    const std::string folder = state.dir.string();
    WriteAndDie(folder, "/docs/old.velko", "tbff .1\n\nold");
    usleep(20000);  // a later modification time
    WriteAndDie(folder, "", "tbff .1\n\nuntitled\n");
    // Not a copy, and a lock whose copy is gone: looking leaves no lock without its copy
    std::ofstream(state.dir / "junk.recovery") << "not a copy";
    std::ofstream(state.dir / "lonely.lock") << "";
    // Temporaries of copies whose write a kill cut short: a day old, a fresh one (a write in
    // progress), and a day-old one not of a copy's name
    const char* temps[] = {".4242-1700000000000000000.recovery.AbCdEf", ".4243-17.recovery.XyZ123",
                           ".notes.recovery.AbCdEf"};
    for (const char* name : temps) std::ofstream(state.dir / name) << "part";
    for (const char* name : {temps[0], temps[2]})
        fs::last_write_time(state.dir / name,
                            fs::last_write_time(state.dir / name) - std::chrono::hours(25));

    std::vector<RecoveryFile::Orphan> orphans = RecoveryFile::FindOrphans(folder);
    EXPECT_FALSE(fs::exists(state.dir / "junk.lock") || fs::exists(state.dir / "lonely.lock"));
    EXPECT_FALSE(fs::exists(state.dir / temps[0]));
    EXPECT_TRUE(fs::exists(state.dir / temps[1]) && fs::exists(state.dir / temps[2]));
    ASSERT_EQ(orphans.size(), 2u);
    EXPECT_EQ(orphans[0].documentPath, "");
    EXPECT_EQ(orphans[0].bytes, "tbff .1\n\nuntitled\n");
    EXPECT_EQ(orphans[1].documentPath, "/docs/old.velko");
    EXPECT_EQ(orphans[1].bytes, "tbff .1\n\nold");
    // While this program holds them, another one starting now is not offered them
    EXPECT_TRUE(RecoveryFile::FindOrphans(folder).empty());

    RecoveryFile::Delete(&orphans[0]);
    RecoveryFile::Release(&orphans[1]);  // kept for a later start
    orphans = RecoveryFile::FindOrphans(folder);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_EQ(orphans[0].documentPath, "/docs/old.velko");
    RecoveryFile::Delete(&orphans[0]);
    EXPECT_EQ(state.Count(".recovery") + state.Count(".lock"), 1);  // junk.recovery
}

// The copy is the person's alone: private whatever the umask, in a folder that is theirs and
// closed to others, and never written or locked through a link placed in it
TEST(RecoveryFile, TheStateFolderIsUsedOnlyWhenItIsTheUsersOwnAndNoLinkInItIsFollowed) {
    StateFolder state;
    const std::string folder = state.dir.string();
    const fs::path outside = state.dir.parent_path();
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms(0777));
    const mode_t oldMask = umask(0);
    {
        RecoveryFile r(folder);
        const std::string lock = r.GetPath().substr(0, r.GetPath().rfind('.')) + ".lock";
        fs::create_symlink(outside / "victim", r.GetPath());
        fs::create_symlink(outside / "victim-lock", lock);
        r.Write("/d.velko", "tbff .1\n\n");
        r.Flush();
        EXPECT_FALSE(fs::exists(outside / "victim") || fs::exists(outside / "victim-lock"));
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700));
        fs::remove(lock);
        r.Write("/d.velko", "tbff .1\n\n");  // the link at the copy's own name is replaced
        r.Flush();
        EXPECT_EQ(fs::symlink_status(r.GetPath()).permissions(), fs::perms(0600));
    }
    umask(oldMask);

    // A folder that is a link, or (as root) someone else's: no copy kept, none offered
    fs::create_directory_symlink(folder, outside / "linked");
    std::vector<std::string> unsafe = {(outside / "linked").string()};
    WriteAndDie(folder, "/d.velko", "tbff .1\n\nleft");
    if (getuid() == 0) {
        ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
        unsafe.push_back(folder);
    }
    for (const std::string& f : unsafe) {
        EXPECT_TRUE(RecoveryFile::FindOrphans(f).empty()) << f;
        RecoveryFile r(f);
        r.Write("", "tbff .1\n\n");
        r.Flush();
        EXPECT_NE(r.GetLastError(), "") << f;
        EXPECT_EQ(state.Count(".recovery"), 1) << f;
    }
}

TEST(RecoveryFile, AFolderThatCannotBeMadeIsReportedAndTheStateFolderFollowsXdg) {
    RecoveryFile r("/proc/velko-cannot-be-here");
    r.Write("", "tbff .1\n\n");
    r.Flush();
    EXPECT_NE(r.GetLastError().find("/proc/velko-cannot-be-here"), std::string::npos);

    std::string home = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_STATE_HOME", "/xdg/state", 1);
    EXPECT_EQ(RecoveryFile::DefaultFolder(), "/xdg/state/velko");
    setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored
    setenv("HOME", "/home/person", 1);
    EXPECT_EQ(RecoveryFile::DefaultFolder(), "/home/person/.local/state/velko");
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", home.c_str(), 1);
}

}  // namespace

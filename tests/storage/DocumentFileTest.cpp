// Saving documents whole or not at all, reading them back, and the parts of their paths.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "DocumentFile.h"

// Every umask() call in this program, the library's included, is counted: a save that set
// the process's umask to read it would hand a wrong one to other threads creating files
std::atomic<int> umaskCalls{0};
extern "C" mode_t umask(mode_t mask) noexcept {
    umaskCalls++;
    return static_cast<mode_t>(syscall(SYS_umask, mask));
}

namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

// Each test works in a fresh folder of its own
class DocumentFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "velkoDocXXXXXX").string();
        ASSERT_NE(mkdtemp(&name[0]), nullptr);
        dir = name;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return dir + "/" + name; }
    Names Entries() const {
        Names names;
        for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
        return names;
    }
    std::string Contents(const std::string& name) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Path(name), &bytes, &error)) << error;
        return bytes;
    }

    std::string dir, error;
};

TEST_F(DocumentFile, SavedBytesReadBackExactlyAndReplaceTheOldFileWhole) {
    std::string all;
    for (int i = 0; i < 3 * 256; ++i) all += static_cast<char>(i);
    ASSERT_TRUE(WriteFileAtomically(Path("doc"), all, &error)) << error;
    EXPECT_EQ(Contents("doc"), all);
    ASSERT_TRUE(WriteFileAtomically(Path("doc"), "short", &error)) << error;
    EXPECT_EQ(Contents("doc"), "short");
    EXPECT_EQ(Entries(), Names{"doc"});  // no temporary file left
}

TEST_F(DocumentFile, ASaveThatCannotBeMadeSaysWhyAndLeavesTheFolderAlone) {
    EXPECT_FALSE(WriteFileAtomically(Path("missing/doc"), "x", &error));
    EXPECT_EQ(error, "Could not save \"" + Path("missing/doc") + "\": No such file or directory");
    EXPECT_FALSE(WriteFileAtomically(dir, "x", &error));
    EXPECT_EQ(error, "Could not save \"" + dir + "\": Is a directory");
    EXPECT_EQ(Entries(), Names{});
    error.clear();
    EXPECT_FALSE(WriteFileAtomically("", "x", &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(DocumentFile, ASaveOntoAFullDiskKeepsTheOldDocumentByteForByte) {
    if (getuid() != 0) GTEST_SKIP() << "making a small full file system needs root";
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs: " << std::strerror(errno);
    const std::string old(8000, 'o');
    const bool savedOld = WriteFileAtomically(Path("doc"), old, &error);
    const bool savedBig = WriteFileAtomically(Path("doc"), std::string(1 << 20, 'n'), &error);
    const std::string failure = error;
    const std::string kept = Contents("doc");
    const Names entries = Entries();
    umount2(dir.c_str(), MNT_DETACH);

    EXPECT_TRUE(savedOld);
    EXPECT_FALSE(savedBig);
    EXPECT_EQ(failure, "Could not save \"" + Path("doc") + "\": No space left on device");
    EXPECT_EQ(kept, old);
    EXPECT_EQ(entries, Names{"doc"});
}

TEST_F(DocumentFile, ASaveKeepsPermissionBitsAndLinksAndNeverSetsTheUmask) {
    const mode_t oldMask = umask(027);
    const int calls = umaskCalls;
    const bool created = WriteFileAtomically(Path("doc"), "new", &error);
    EXPECT_EQ(umaskCalls, calls) << "the umask was set, for every thread, to read it";
    umask(oldMask);
    ASSERT_TRUE(created) << error;
    EXPECT_EQ(fs::status(Path("doc")).permissions(), fs::perms(0640));  // as fopen makes it
    fs::permissions(Path("doc"), fs::perms(0604));
    ASSERT_TRUE(WriteFileAtomically(Path("doc"), "again", &error)) << error;
    EXPECT_EQ(fs::status(Path("doc")).permissions(), fs::perms(0604));

    // A link, and a dangling link naming the file to create, are written through
    fs::create_symlink("doc", Path("link"));
    fs::create_symlink("later", Path("dangling"));
    ASSERT_TRUE(WriteFileAtomically(Path("link"), "via link", &error)) << error;
    ASSERT_TRUE(WriteFileAtomically(Path("dangling"), "made", &error)) << error;
    EXPECT_TRUE(fs::is_symlink(Path("link")) && fs::is_symlink(Path("dangling")));
    EXPECT_EQ(Contents("doc"), "via link");
    EXPECT_EQ(Contents("later"), "made");
    EXPECT_EQ(Entries(), (Names{"dangling", "doc", "later", "link"}));

    // A file the person may not write is not replaced, nor through a link (root included)
    fs::permissions(Path("doc"), fs::perms(0444));
    for (const char* name : {"doc", "link"}) {
        EXPECT_FALSE(WriteFileAtomically(Path(name), "new", &error));
        EXPECT_EQ(error, "Could not save \"" + Path(name) + "\": the file is read-only");
    }
    EXPECT_EQ(Contents("doc"), "via link");
}

// An interrupted save leaves its hidden temporary file; a later save of the same document
// removes those of exactly its pattern that are a day old and held by no save in progress
TEST_F(DocumentFile, ASaveRemovesItsOwnDayOldTemporaryFilesThatNoSaveHolds) {
    const Names kept = {".doc.fresh1", ".doc.held22", ".doc.long777", "doc.stale1", ".x.stale1"};
    for (const std::string& name : kept) ASSERT_TRUE(WriteFileAtomically(Path(name), "", &error));
    for (const char* name : {".doc.stale1", ".doc.Stale2"})
        WriteFileAtomically(Path(name), "", &error);
    for (const std::string& name : Entries())
        if (name != ".doc.fresh1")
            fs::last_write_time(Path(name),
                                fs::file_time_type::clock::now() - std::chrono::hours(48));
    const int held = open(Path(".doc.held22").c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    ASSERT_TRUE(WriteFileAtomically(Path("doc"), "saved", &error)) << error;
    close(held);
    Names expected = kept;
    expected.insert("doc");
    EXPECT_EQ(Entries(), expected);
}

TEST_F(DocumentFile, ReadingAMissingFileAFolderAPipeOrAHugeFileFailsAndLeavesTheBytes) {
    std::string bytes = "untouched";
    // A pipe or a device is refused at once: reading would wait for a writer, or never end
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
    for (const std::string& path : {Path("pipe"), std::string("/dev/zero")}) {
        EXPECT_FALSE(ReadWholeFile(path, &bytes, &error));
        EXPECT_EQ(error, "Could not open \"" + path + "\": It is not a plain file");
    }
    EXPECT_FALSE(ReadWholeFile(Path("none"), &bytes, &error));
    EXPECT_EQ(error, "Could not open \"" + Path("none") + "\": No such file or directory");
    EXPECT_FALSE(ReadWholeFile(dir, &bytes, &error));
    EXPECT_EQ(error, "Could not open \"" + dir + "\": Is a directory");
    ASSERT_TRUE(WriteFileAtomically(Path("huge"), "", &error));
    fs::resize_file(Path("huge"), 256 * 1024 * 1024 + 1);  // sparse: takes no disk
    EXPECT_FALSE(ReadWholeFile(Path("huge"), &bytes, &error));
    EXPECT_NE(error.find("too large to be a document"), std::string::npos) << error;
    EXPECT_EQ(bytes, "untouched");
}

TEST(DocumentPath, SplitsIntoFolderAndFileName) {
    const char* cases[][3] = {{"/x/y.velko", "/x", "y.velko"},
                              {"y.velko", "", "y.velko"},
                              {"/y.velko", "/", "y.velko"},
                              {"a//b", "a", "b"},
                              {"/x/", "/x", ""},
                              {"", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOfPath(c[0]), c[1]) << c[0];
        EXPECT_EQ(FileNameOfPath(c[0]), c[2]) << c[0];
    }
}

}  // namespace

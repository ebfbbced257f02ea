// Saving documents whole or not at all, reading them back, and the parts of their paths.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "DocumentFile.h"

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

TEST_F(DocumentFile, ASaveKeepsPermissionBitsAndLinks) {
    const mode_t oldMask = umask(027);
    const bool created = WriteFileAtomically(Path("doc"), "new", &error);
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
}

TEST_F(DocumentFile, ReadingAMissingFileAFolderOrAHugeFileFailsAndLeavesTheBytes) {
    std::string bytes = "untouched";
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

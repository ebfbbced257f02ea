// The document services through zenity, run against a fake zenity first on PATH
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ZenityFiles.h"

namespace {

// Stands in for zenity: writes the arguments of its Nth run one per line to args.N beside
// itself, prints $FAKE_ZENITY_OUT_N and a newline when that is set (as zenity prints a
// path or a button label) and exits with $FAKE_ZENITY_EXIT_N (0 when unset)
const char* const kFakeZenity =
    "#!/bin/sh\n"
    "dir=${0%/*}\n"
    "n=$(( $(cat \"$dir/runs\" 2>/dev/null || echo 0) + 1 ))\n"
    "echo $n > \"$dir/runs\"\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$dir/args.$n\"\n"
    "printenv \"FAKE_ZENITY_OUT_$n\"\n"
    "exit \"$(printenv \"FAKE_ZENITY_EXIT_$n\" || echo 0)\"\n";

const int kMaxRuns = 7;

// Everything a shell would act on, in one file name
const std::string kAwkwardName = "it's \"my\" doll $(touch pwned); `touch pwned` & <b>";

class ZenityFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/velko-zenity-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        dir = folder;
        std::ofstream(dir + "/zenity") << kFakeZenity;
        ASSERT_EQ(chmod((dir + "/zenity").c_str(), 0755), 0);
        const char* path = getenv("PATH");
        savedPath = path ? path : "";
        // The fake's own tools come after it
        setenv("PATH", (dir + ":/usr/bin:/bin").c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        for (int run = 1; run <= kMaxRuns; run++) {
            unsetenv(("FAKE_ZENITY_OUT_" + std::to_string(run)).c_str());
            unsetenv(("FAKE_ZENITY_EXIT_" + std::to_string(run)).c_str());
        }
        std::filesystem::remove_all(dir);
    }

    // The fake's Nth run prints output (none when null) and exits with exitCode
    void Reply(int run, int exitCode, const char* output = nullptr) {
        ASSERT_LE(run, kMaxRuns);
        setenv(("FAKE_ZENITY_EXIT_" + std::to_string(run)).c_str(),
               std::to_string(exitCode).c_str(), 1);
        if (output) setenv(("FAKE_ZENITY_OUT_" + std::to_string(run)).c_str(), output, 1);
    }
    std::vector<std::string> Args(int run) const {
        std::vector<std::string> args;
        std::ifstream in(dir + "/args." + std::to_string(run));
        for (std::string line; std::getline(in, line);) args.push_back(line);
        return args;
    }
    int Runs() const {
        int runs = 0;
        std::ifstream(dir + "/runs") >> runs;
        return runs;
    }
    static bool Has(const std::vector<std::string>& args, const std::string& arg) {
        return std::find(args.begin(), args.end(), arg) != args.end();
    }
    static bool HasFilters(const std::vector<std::string>& args) {
        return Has(args, "--file-filter=Velko documents | *.velko") &&
               Has(args, "--file-filter=All files | *");
    }

    std::string dir, savedPath;
    ZenityFiles files;
};

TEST_F(ZenityFilesTest, OpenChooserPassesAndReturnsNamesUnparsed) {
    std::string folder = dir + "/" + kAwkwardName;
    std::string chosen = folder + "/" + kAwkwardName + ".velko";
    Reply(1, 0, chosen.c_str());
    EXPECT_EQ(files.ChooseDocumentToOpen("Open", folder), chosen);
    std::vector<std::string> args = Args(1);
    EXPECT_EQ(args[0], "--file-selection");
    EXPECT_TRUE(Has(args, "--title=Open"));
    EXPECT_FALSE(Has(args, "--save"));
    EXPECT_TRUE(Has(args, "--filename=" + folder + "/"));
    EXPECT_TRUE(HasFilters(args));
    EXPECT_NE(access((dir + "/pwned").c_str(), F_OK), 0);
    EXPECT_NE(access("pwned", F_OK), 0);

    // Cancel; zenity starts only in an absolute folder, so an empty (working) or relative
    // folder is made absolute
    Reply(2, 1);
    EXPECT_EQ(files.ChooseDocumentToOpen("Open", ""), "");
    files.ChooseDocumentToOpen("Open", "sub");
    std::string cwd = std::filesystem::current_path().string();
    EXPECT_TRUE(Has(Args(2), "--filename=" + cwd + "/"));
    EXPECT_TRUE(Has(Args(3), "--filename=" + cwd + "/sub/"));
}

TEST_F(ZenityFilesTest, SaveChooserAddsTheExtensionOnlyWhenNoneWasTyped) {
    struct {
        std::string typed, expected;
    } cases[] = {
        {"/x/my.folder/doc", "/x/my.folder/doc.velko"},
        {"/x/doc.velko", "/x/doc.velko"},
        {"/x/doc.txt", "/x/doc.txt"},
        {"/x/" + kAwkwardName, "/x/" + kAwkwardName + ".velko"},
    };
    int run = 0;
    for (const auto& c : cases) {
        Reply(++run, 0, c.typed.c_str());
        EXPECT_EQ(files.ChooseDocumentToSave("Save As", dir, kAwkwardName + ".velko"), c.expected);
    }
    EXPECT_EQ(Runs(), run);  // no file existed, so nothing was asked
    std::vector<std::string> args = Args(1);
    EXPECT_EQ(args[0], "--file-selection");
    EXPECT_TRUE(Has(args, "--save"));
    EXPECT_TRUE(Has(args, "--filename=" + dir + "/" + kAwkwardName + ".velko"));
    EXPECT_TRUE(HasFilters(args));

    Reply(++run, 1);
    EXPECT_EQ(files.ChooseDocumentToSave("Save As", dir, "doc.velko"), "");
}

TEST_F(ZenityFilesTest, ExportChooserOffersEachKindAndAFormKeepsEmptyAnswersApart) {
    Reply(1, 0, "/x/walk");
    EXPECT_EQ(files.ChooseExportFile("Export Animation", "/x", "walk.gif",
                                     {{"GIF animations", ".gif"}, {"WebP animations", ".webp"}}),
              "/x/walk.gif");
    std::vector<std::string> args = Args(1);
    EXPECT_TRUE(Has(args, "--file-filter=GIF animations | *.gif"));
    EXPECT_TRUE(Has(args, "--file-filter=WebP animations | *.webp"));
    EXPECT_TRUE(Has(args, "--title=Export Animation"));

    // zenity prints the answers on one line; an unchosen combo box answers a space
    Reply(2, 0, "320x200\x1f \x1f\x1fOnce");
    std::vector<std::string> answers;
    ASSERT_TRUE(files.AskForm(
        "Export Options", "Now: <b>800x480</b>",
        {{"Size", {}}, {"Fit", {"Yes", "No"}}, {"Rate", {}}, {"Loop", {"Forever", "Once"}}},
        &answers));
    EXPECT_EQ(answers, (std::vector<std::string>{"320x200", "", "", "Once"}));
    args = Args(2);
    EXPECT_EQ(args[0], "--forms");
    EXPECT_TRUE(Has(args, "--text=Now: &lt;b&gt;800x480&lt;/b&gt;"));
    EXPECT_TRUE(Has(args, "--add-entry=Size"));
    auto combo = std::find(args.begin(), args.end(), "--add-combo=Loop");
    ASSERT_NE(combo, args.end());
    EXPECT_EQ(*(combo + 1), "--combo-values=Forever|Once");
    Reply(3, 1);
    EXPECT_FALSE(files.AskForm("Export Options", "", {{"Size", {}}}, &answers));
}

TEST_F(ZenityFilesTest, SaveChooserAsksBeforeReplacingTheFileTheExtensionNames) {
    std::ofstream(dir + "/doc.velko") << "x";
    std::string typed = dir + "/doc";
    Reply(1, 0, typed.c_str());
    Reply(2, 1);  // do not replace: choose again
    Reply(3, 0, typed.c_str());
    Reply(4, 0);  // replace
    EXPECT_EQ(files.ChooseDocumentToSave("Save As", dir, "a.velko"), dir + "/doc.velko");
    EXPECT_EQ(Runs(), 4);
    EXPECT_EQ(Args(2)[0], "--question");
    EXPECT_TRUE(Has(Args(3), "--filename=" + dir + "/doc.velko"));
}

TEST_F(ZenityFilesTest, SaveChangesQuestionMapsEveryWayItEnds) {
    Reply(1, 0);
    Reply(2, 1, "Don't Save");
    Reply(3, 1);  // Cancel, Escape or the window closed
    Reply(4, 5);  // timed out
    Reply(5, 1, "Something else");
    Reply(6, 0, "Don't Save");
    Reply(7, 255);  // zenity's error: the question was never shown
    EXPECT_EQ(files.AskSaveChanges("Quit", "a & <b> C:\\new"), AppFiles::saveChanges);
    EXPECT_EQ(files.AskSaveChanges("New", "doc"), AppFiles::discardChanges);
    for (int run = 3; run <= 6; run++)
        EXPECT_EQ(files.AskSaveChanges("Open", "doc"), AppFiles::cancelCommand) << "run " << run;
    EXPECT_EQ(files.AskSaveChanges("Close", "doc"), AppFiles::cannotAsk);

    // The text is markup in which zenity also expands C escapes such as \n
    std::vector<std::string> args = Args(1);
    EXPECT_EQ(args[0], "--question");
    EXPECT_TRUE(Has(args, "--title=Quit"));
    EXPECT_TRUE(Has(Args(2), "--title=New"));
    EXPECT_TRUE(Has(args, "--text=Save changes to a &amp; &lt;b&gt; C:\\\\new?"));
    EXPECT_TRUE(Has(args, "--ok-label=Save"));
    EXPECT_TRUE(Has(args, "--cancel-label=Cancel"));
    EXPECT_TRUE(Has(args, "--extra-button=Don't Save"));
}

// zenity refuses text that is not UTF-8, so a file name in another encoding is shown with
// its bad bytes replaced, as file managers show it, also as the name a save chooser
// proposes; folders and the path chosen pass unchanged
TEST_F(ZenityFilesTest, TextAndProposedNamesAreValidUtf8AndPathsPassUnchanged) {
    const std::string name = "\xc3\xa9t\xe9 \xff.velko";  // UTF-8, then two Latin-1 bytes
    const std::string shown = "\xc3\xa9t\xef\xbf\xbd \xef\xbf\xbd.velko";
    const std::string folder = dir + "/\xe9";
    files.AskRestore(name);
    Reply(2, 0, (folder + "/" + name).c_str());
    EXPECT_EQ(files.ChooseDocumentToSave("Save As", folder, name), folder + "/" + name);
    // What zenity prints for a file chosen in a folder whose name is not UTF-8: refused
    Reply(3, 0, "(null)");
    EXPECT_EQ(files.ChooseExportFile("Export Picture", folder, name, "PNG pictures", ".png"), "");
    EXPECT_TRUE(Has(Args(1), "--text=Velko closed without saving " + shown + ". Restore it?"));
    EXPECT_TRUE(Has(Args(2), "--filename=" + folder + "/" + shown));
    EXPECT_TRUE(Has(Args(3), "--filename=" + folder + "/" + shown));
    EXPECT_EQ(Args(4)[0], "--error");
    EXPECT_TRUE(Has(Args(4), "--title=Export Picture"));
}

TEST_F(ZenityFilesTest, ErrorShowsTheMessageLiterally) {
    files.ShowError("Export Picture", "Could not open \"<x>\": R&D");
    std::vector<std::string> args = Args(1);
    EXPECT_EQ(args[0], "--error");
    EXPECT_TRUE(Has(args, "--title=Export Picture"));
    EXPECT_TRUE(Has(args, "--no-wrap"));
    EXPECT_TRUE(Has(args, "--text=Could not open \"&lt;x&gt;\": R&amp;D"));
}

TEST_F(ZenityFilesTest, TextEntryStartsFromTheGivenTextAndCancelIsNoAnswer) {
    Reply(1, 0, "800 250 linear");
    Reply(2, 1);
    std::string answer = "kept";
    EXPECT_TRUE(files.AskText("Step 2", "Move & hold <ms>", "1000 500 in-out", &answer));
    EXPECT_EQ(answer, "800 250 linear");
    std::vector<std::string> args = Args(1);
    EXPECT_EQ(args[0], "--entry");
    EXPECT_TRUE(Has(args, "--title=Step 2"));
    EXPECT_TRUE(Has(args, "--text=Move &amp; hold &lt;ms&gt;"));
    EXPECT_TRUE(Has(args, "--entry-text=1000 500 in-out"));
    answer = "kept";
    EXPECT_FALSE(files.AskText("Frame Rate", "Frames", "25", &answer));
    EXPECT_EQ(answer, "kept");
}

TEST_F(ZenityFilesTest, WithoutZenityOnPathEveryChoiceIsCancelledAndNoQuestionAsked) {
    EXPECT_TRUE(ZenityFiles::IsAvailable());
    // A folder and a file without execute permission named zenity are not the program
    std::filesystem::create_directories(dir + "/empty/zenity");
    std::filesystem::create_directories(dir + "/plain");
    std::ofstream(dir + "/plain/zenity") << kFakeZenity;
    setenv("PATH", (dir + "/empty:" + dir + "/plain").c_str(), 1);
    EXPECT_FALSE(ZenityFiles::IsAvailable());
    EXPECT_EQ(files.ChooseDocumentToOpen("Open", dir), "");
    EXPECT_EQ(files.ChooseDocumentToSave("Save As", dir, "doc.velko"), "");
    EXPECT_EQ(files.AskSaveChanges("Quit", "doc"), AppFiles::cannotAsk);
    EXPECT_EQ(files.AskRestore("doc"), AppFiles::cannotAskRecovery);
    files.ShowError("Open", "gone");
    EXPECT_EQ(Runs(), 0);
}

}  // namespace

// The File menu and its commands, through a test shell that offers a menu (which records
// every call and flips check flags before it delivers an item, like a real one) and file
// services over real files in a temporary folder.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "AppFiles.h"
#include "AuthorModePanel.h"
#include "DollPictures.h"
#include "ExportOptions.h"
#include "EditorTestShell.h"
#include "GIconTable.h"
#include "GLTestContext.h"
#include "Velko.h"
#include "VelkoTestAccess.h"

namespace fs = std::filesystem;

namespace {

// A menu that remembers what it was told, one line per call, and delivers a chosen item to
// its listener the way a menu bar would: a disabled item cannot be chosen, and an item with
// a check flag has it flipped first
class RecordingMenu : public AppMenu {
public:
    struct Item {
        std::string label;
        int id;
        int shortcut;
        bool* check;
        bool enabled;
    };
    std::vector<std::string> calls;
    std::vector<Item> items;

    void Clear() override {
        calls.push_back("Clear");
        items.clear();
    }
    void BeginSubmenu(const char* title) override {
        calls.push_back(std::string("Begin ") + title);
    }
    void AddItem(const char* label, int id, int shortcut, bool* checkFlag) override {
        std::ostringstream s;
        s << "Item " << id << " " << label << " " << (int)shortcut << (checkFlag ? " checked" : "");
        calls.push_back(s.str());
        items.push_back({label, id, shortcut, checkFlag, true});
    }
    void AddSeparator() override { calls.push_back("Separator"); }
    void EndSubmenu() override { calls.push_back("End"); }
    void EnableItem(int id, bool enabled) override {
        calls.push_back("Enable " + std::to_string(id) + (enabled ? " on" : " off"));
        for (Item& i : items)
            if (i.id == id) i.enabled = enabled;
    }
    void AddShortcut(int id, int shortcut) override {
        calls.push_back("Shortcut " + std::to_string(id) + " " + std::to_string(shortcut));
    }
    void SetItemLabel(int id, const char* label) override {
        if (Item* i = Find(id)) i->label = label;
    }

    Item* Find(int id) {
        for (Item& i : items)
            if (i.id == id) return &i;
        return nullptr;
    }
    // What a person choosing the item gets; false when the menu would not offer it
    bool Choose(int id) {
        Item* i = Find(id);
        if (!i || !i->enabled) return false;
        if (i->check) *i->check = !*i->check;
        explicitListener->MenuInvoked(id);
        return true;
    }
};

// File services over a temporary folder: the next file "chosen" is set by the test, and an
// empty name is a cancelled choice. Questions get the answer set by the test; errors shown
// are kept.
class FolderFiles : public AppFiles {
public:
    fs::path dir;
    std::string next;
    // "open FOLDER", "save FOLDER NAME", "question TITLE: NAME"
    std::vector<std::string> asked;
    std::vector<std::string> errors, errorTitles;
    std::vector<std::string> titles;  // of the choosers, in order
    SaveChangesAnswer answer = discardChanges;

    FolderFiles() {
        char tmpl[] = "/tmp/velko-menu-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    ~FolderFiles() override { fs::remove_all(dir); }

    std::string ChooseDocumentToOpen(const std::string& title, const std::string& folder) override {
        titles.push_back(title);
        asked.push_back("open " + folder);
        return Chosen();
    }
    std::string ChooseDocumentToSave(const std::string& title, const std::string& folder,
                                     const std::string& name) override {
        titles.push_back(title);
        asked.push_back("save " + folder + " " + name);
        return Chosen();
    }
    std::string ChooseExportFile(const std::string& title, const std::string& folder,
                                 const std::string& name, const std::string& kind,
                                 const std::string& extension) override {
        titles.push_back(title);
        asked.push_back("export " + folder + " " + name + " " + kind + " " + extension);
        return Chosen();
    }
    // The export chooser's filters: their extensions
    std::string ChooseExportFile(const std::string& title, const std::string& folder,
                                 const std::string& name,
                                 const std::vector<FileKind>& kinds) override {
        titles.push_back(title);
        std::string offered;
        for (const FileKind& k : kinds) offered += " " + k.extension;
        asked.push_back("export " + folder + " " + name + offered);
        return Chosen();
    }
    // The form is answered with formAnswers; none cancels it
    std::vector<std::string> formAnswers;
    bool AskForm(const std::string& title, const std::string& text,
                 const std::vector<FormField>& fields, std::vector<std::string>* answers) override {
        asked.push_back("form " + title + " " + std::to_string(fields.size()) + ": " + text);
        *answers = formAnswers;
        return !formAnswers.empty();
    }
    SaveChangesAnswer AskSaveChanges(const std::string& title, const std::string& name) override {
        asked.push_back("question " + title + ": " + name);
        return answer;
    }
    void ShowError(const std::string& title, const std::string& message) override {
        errorTitles.push_back(title);
        errors.push_back(message);
    }
    // Typed text: the answer the test set, or cancelled when it set none
    const char* textAnswer = nullptr;
    bool AskText(const std::string& title, const std::string& prompt, const std::string& initial,
                 std::string* answer) override {
        (void)prompt;
        asked.push_back("text " + title + ": " + initial);
        if (!textAnswer) return false;
        *answer = textAnswer;
        return true;
    }
    RecoveryAnswer recoveryAnswer = keepRecovery;
    RecoveryAnswer AskRestore(const std::string& name) override {
        asked.push_back("restore " + name);
        return recoveryAnswer;
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Contents(const std::string& name) const {
        std::ifstream in(Path(name));
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Put(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name)) << text;
    }

private:
    std::string Chosen() const { return next.empty() ? "" : Path(next); }
};

class MenuShell : public EditorTestShell {
public:
    AppMenu* menu = nullptr;
    int menuRequests = 0;
    AppMenu* GetMenu() override {
        menuRequests++;
        return menu;
    }
};

// Open streams of this process
int OpenFiles() {
    int n = 0;
    for (auto it = fs::directory_iterator("/proc/self/fd"); it != fs::directory_iterator(); ++it)
        n++;
    return n;
}

// One editor whose shell offers the recording menu (unless withMenu is false) and, when
// withFiles, the folder's file services
struct MenuSession {
    RecordingMenu menu;
    FolderFiles files;
    MenuShell shell;
    std::unique_ptr<Velko> editor;
    std::unique_ptr<VelkoTestAccess> in;

    // startDocument, when given, is the path named on the command line
    // recoveryFolder, when given, is where recovery copies are kept; recovery answers the
    // restore question asked when the editor first shows
    explicit MenuSession(bool withFiles = true, bool withMenu = true,
                         const char* startDocument = nullptr, const char* recoveryFolder = nullptr,
                         AppFiles::RecoveryAnswer recovery = AppFiles::keepRecovery) {
        if (withMenu) shell.menu = &menu;
        menu.explicitListener = &shell;
        files.recoveryAnswer = recovery;
        AppFiles::Install(withFiles ? &files : nullptr);
        editor.reset(new Velko(&shell));
        if (startDocument) editor->SetStartDocument(startDocument);
        if (recoveryFolder) editor->EnableRecovery(recoveryFolder);
        in.reset(new VelkoTestAccess(*editor));
        shell.Host(editor.get());
        shell.Tick();  // the first frame gives the mode panel its width
    }
    ~MenuSession() { AppFiles::Install(nullptr); }

    const SketchDoll& Doll() const { return in->Doll(); }
    fPoint2 JointAt(int i) const { return Doll().joints[i].loc; }
    void Choose(int id) {
        ASSERT_TRUE(menu.Choose(id)) << "item " << id << " not offered";
        shell.Tick();
    }
    void ChooseMode(int item) {
        shell.Click(40, 20 + 20 * item);
        shell.Wait(1);
    }
    // A stroke from (x0, y0) to (x1, y1) in the current mode
    void Sketch(int x0, int y0, int x1, int y1) {
        shell.DragFromTo(x0, y0, x1, y1, 12);
        shell.Wait(1);
    }
};

// Author mode panel items and joints of the default doll
const int kDrawItem = 1, kEditSkeletonItem = 4;
const int kHead = 0, kLeftHand = 3, kRightElbow = 9, kRightHand = 10;

// Everything a document keeps of a doll, in a form that compares
struct DollContent {
    struct Line {
        int a, b;
        fPoint2 locA, locB;
        bool mask;
        std::vector<fPoint2> points;
    };
    std::vector<fPoint2> joints;  // slots 0 .. n-1
    std::set<std::pair<int, int>> bones;
    std::vector<std::vector<fPoint2>> poses;
    std::vector<Line> lines;  // head first

    explicit DollContent(const SketchDoll& d) {
        for (int i = 0; i < kDollMaxJoints; i++)
            if (d.jointAllocTable[i]) joints.push_back(d.joints[i].loc);
        for (int i = 0; i < kDollMaxJoints; i++)
            for (int j = i + 1; j < kDollMaxJoints; j++)
                if (d.jointAllocTable[i] && d.jointAllocTable[j] && d.edges[i][j] > 0)
                    bones.insert({i, j});
        for (int p = 0; p < Doll::kNumPoses; p++) {
            std::vector<fPoint2> locs;
            for (int i = 0; i < d.poses[p].njoints; i++) locs.push_back(d.poses[p].joints[i]);
            poses.push_back(locs);
        }
        for (SketchDollLine* l = d.GetFirstLine(); l;
             l = static_cast<SketchDollLine*>(l->GetNext())) {
            auto* l2 = static_cast<SketchDollLine2*>(l);
            lines.push_back({l2->joint[0], l2->joint[1], l2->jointLoc[0], l2->jointLoc[1],
                             l2->GetIsMask(), std::vector<fPoint2>(l2->pts, l2->pts + l2->npts)});
        }
    }
};

// Documents keep six decimals
void ExpectSameLocations(const std::vector<fPoint2>& got, const std::vector<fPoint2>& want,
                         const char* what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); i++) {
        EXPECT_NEAR(got[i].x, want[i].x, 1e-3) << what << " " << i;
        EXPECT_NEAR(got[i].y, want[i].y, 1e-3) << what << " " << i;
    }
}

class MenuCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
    }
};

// Describing the menu

TEST_F(MenuCommands, TheFileAndEditMenusHoldTheirItemsWithTheirShortcutsAndSeparators) {
    MenuSession s;
    std::vector<std::string> want = {
        "Clear",
        "Begin File",
        "Item 0 New 78",
        "Item 1 Open\xE2\x80\xA6 79",
        "Item 6 Save 83",
        "Item 2 Save As\xE2\x80\xA6 " + std::to_string('S' | kShortcutShift),
        "Separator",
        "Item 7 Export Picture\xE2\x80\xA6 69",
        "Item 8 Export Pose Sheet\xE2\x80\xA6 0",
        "Item 9 Export Animation\xE2\x80\xA6 " + std::to_string('E' | kShortcutShift),
        "Item 40 Export Options\xE2\x80\xA6 0",
        "Separator",
        "Item 3 Home Position 72",
        "Item 4 Edit Mask 77 checked",
        "Separator",
        "Item 5 Quit 81",
        "End",
        "Begin Edit",
        "Item 10 Undo 90",
        "Item 11 Redo " + std::to_string('Z' | kShortcutShift),
        "Shortcut 11 89",
        "End",
        "Enable 10 off",
        "Enable 11 off",
        "Begin Animation",
        "Item 20 Play (Space) 0",
        "Item 21 Onion Skin (O) 0 checked",
        "Separator",
        "Begin Loop",
        "Item 22 Forever 0 checked",
        "Item 23 Once 0 checked",
        "Item 24 Ping-Pong 0 checked",
        "End",
        "Begin Frame Rate",
    };
    const int rates[] = {10, 12, 15, 20, 24, 25, 30, 50};
    for (int k = 0; k < 8; k++)
        want.push_back("Item " + std::to_string(25 + k) + " " + std::to_string(rates[k]) +
                       " fps 0 checked");
    for (const char* item : {"Item 33 Other\xE2\x80\xA6 0", "End", "Separator",
                             "Item 34 Edit Step\xE2\x80\xA6 0", "End"})
        want.push_back(item);
    EXPECT_EQ(s.menu.calls, want);
    EXPECT_EQ(s.shell.menuRequests, 1);
    // One ellipsis character, not three full stops
    EXPECT_EQ(strlen(s.menu.Find(Velko::kMenuOpen)->label.c_str()), strlen("Open") + 3);
    EXPECT_EQ(s.menu.Find(Velko::kMenuSaveAs)->label.find("..."), std::string::npos);
    // The check mark shows the editor's own mask flag
    bool* check = s.menu.Find(Velko::kMenuEditMask)->check;
    EXPECT_FALSE(*check);
    s.Choose(Velko::kMenuEditMask);
    EXPECT_TRUE(*check);
    EXPECT_TRUE(s.in->EditingMask());
}

TEST_F(MenuCommands, WithoutFileServicesOpenSaveAsAndExportsAreAddedThenDisabled) {
    MenuSession s(false);
    auto end = std::find(s.menu.calls.begin(), s.menu.calls.end(), "End");
    ASSERT_LE(end + 7, s.menu.calls.end());
    std::vector<std::string> afterFile(end, end + 7);
    std::vector<std::string> want = {"End",          "Enable 1 off", "Enable 2 off", "Enable 7 off",
                                     "Enable 8 off", "Enable 9 off", "Enable 40 off"};
    EXPECT_EQ(afterFile, want);
    EXPECT_NE(s.menu.Find(Velko::kMenuOpen), nullptr);
    EXPECT_FALSE(s.menu.Choose(Velko::kMenuOpen));
    EXPECT_FALSE(s.menu.Choose(Velko::kMenuSaveAs));
    EXPECT_TRUE(s.menu.Choose(Velko::kMenuNew));

    // Delivered anyway (a shell that ignores the disabling), they do nothing
    s.Sketch(400, 200, 400, 260);
    s.editor->MenuInvoked(Velko::kMenuOpen);
    s.editor->MenuInvoked(Velko::kMenuSaveAs);
    EXPECT_EQ(s.Doll().GetNumLines(), 1);
    EXPECT_EQ(s.Doll().GetNumJoints(), 11);
}

TEST_F(MenuCommands, WithNoMenuTheEditorCallsNoMenuOperationAndStillWorks) {
    MenuSession s(true, false);
    EXPECT_EQ(s.shell.menuRequests, 1);
    EXPECT_TRUE(s.menu.calls.empty());
    s.Sketch(400, 200, 400, 260);
    EXPECT_EQ(s.Doll().GetNumLines(), 1);
}

TEST_F(MenuCommands, QuitAsksTheShellToQuitAndUnknownItemsDoNothing) {
    MenuSession s;
    s.editor->MenuInvoked(99);
    s.editor->MenuInvoked(-1);
    s.shell.Tick();
    EXPECT_FALSE(s.shell.quit);
    EXPECT_EQ(s.Doll().GetNumJoints(), 11);
    s.Choose(Velko::kMenuQuit);
    EXPECT_TRUE(s.shell.quit);
}

// Save As, New, Open

TEST_F(MenuCommands, ADollSavedThenOpenedAfterNewComesBackWhole) {
    MenuSession s;
    // Lines on three bones: beside the right forearm, the left upper arm and the hips
    s.Sketch(400, 200, 400, 262);
    s.Sketch(240, 200, 240, 260);
    s.Sketch(300, 240, 340, 250);
    // A mask on the chest
    s.Choose(Velko::kMenuEditMask);
    s.Sketch(300, 150, 340, 170);
    s.Choose(Velko::kMenuEditMask);
    ASSERT_EQ(s.Doll().GetNumLines(), 4);
    EXPECT_TRUE(s.Doll().GetFirstLine()->GetIsMask());
    // Pose 4 records a posture with the right hand raised; pose 5 the one after
    fPoint2 hand = s.JointAt(kRightHand);
    s.shell.DragFromTo((int)hand.x, (int)hand.y, (int)hand.x + 60, (int)hand.y - 80, 10);
    s.shell.Wait(1);
    s.shell.KeyPress(9);
    s.shell.Tick(60);
    ASSERT_EQ(s.Doll().GetEditPose(), 5);
    hand = s.JointAt(kRightHand);
    s.shell.DragFromTo((int)hand.x, (int)hand.y, (int)hand.x - 30, (int)hand.y + 40, 10);
    s.shell.Tick(5);
    ASSERT_EQ(s.Doll().poses[4].njoints, 11);
    ASSERT_EQ(s.Doll().poses[5].njoints, 11);
    // And the icon moved up out of its corner
    s.shell.DragFromTo(35, 445, 135, 245, 10);
    s.shell.Wait(1);
    fRect iconAt = s.Doll().icon.GetBounds();
    ASSERT_EQ(iconAt.left, 110);

    int fds = OpenFiles();
    s.files.next = "doll.tbf";
    ASSERT_TRUE(s.menu.Choose(Velko::kMenuSaveAs));
    DollContent saved(s.Doll());  // before the next tick records into pose 5 again
    EXPECT_EQ(OpenFiles(), fds) << "the saved file is left open";
    EXPECT_EQ(s.files.asked.back(), "save  Untitled.velko");
    std::string text = s.files.Contents("doll.tbf");
    EXPECT_EQ(text.rfind("tbff .1\n\nchunk velko 1.0 anonymous {\n", 0), 0u) << text.substr(0, 60);
    EXPECT_NE(text.find("\n\tlines {\n"), std::string::npos);
    EXPECT_EQ(text.back(), '\n');

    s.Choose(Velko::kMenuNew);
    EXPECT_EQ(s.Doll().GetNumLines(), 0);
    EXPECT_EQ(s.Doll().GetNumJoints(), 11);
    EXPECT_EQ(s.Doll().poses[4].njoints, 0);

    s.files.next = "doll.tbf";
    s.Choose(Velko::kMenuOpen);
    EXPECT_EQ(OpenFiles(), fds) << "the opened file is left open";
    EXPECT_EQ(s.files.asked.back(), "open " + s.files.dir.string()) << "where it was saved";
    DollContent opened(s.Doll());
    ExpectSameLocations(opened.joints, saved.joints, "joint");
    EXPECT_EQ(opened.bones, saved.bones);
    ASSERT_EQ(opened.poses.size(), 8u);
    for (int p = 0; p < 8; p++) ExpectSameLocations(opened.poses[p], saved.poses[p], "pose");
    // The lines come back in their order, which sets which one is drawn over which
    ASSERT_EQ(opened.lines.size(), saved.lines.size());
    for (size_t i = 0; i < saved.lines.size(); i++) {
        const DollContent::Line& o = opened.lines[i];
        const DollContent::Line& w = saved.lines[i];
        EXPECT_EQ(o.a, w.a) << i;
        EXPECT_EQ(o.b, w.b) << i;
        EXPECT_EQ(o.mask, w.mask) << i;
        ExpectSameLocations({o.locA, o.locB}, {w.locA, w.locB}, "binding");
        ExpectSameLocations(o.points, w.points, "point");
    }
    // The icon comes back where it was moved
    EXPECT_EQ(s.Doll().icon.GetBounds().left, 110);

    // The opened doll is a working doll: posing it moves the lines' bone
    s.shell.Tick(30);
    fPoint2 h = s.JointAt(kRightHand);
    s.shell.DragFromTo((int)h.x, (int)h.y, (int)h.x + 40, (int)h.y, 10);
    EXPECT_GT(s.JointAt(kRightHand).Dist(h), 10);
}

TEST_F(MenuCommands, ADocumentWithAnotherHeaderLeavesTheDollAsItWas) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    DollContent before(s.Doll());
    // A one-joint doll behind a header of another format version, then not a document
    s.files.Put("v2.tbf",
                "tbff .2\n\nchunk velko 1.0 anonymous {\n\tjoints 1 {\n\t\t1.0 2.0\n\t}\n}\n");
    s.files.Put("notes.txt", "chunk velko 1.0 anonymous {\n}\n");
    s.files.Put("empty.tbf", "");
    s.files.Put("other.tbf", "tbff .1\n\nchunk other 1.0 anonymous {\n}\n");
    s.files.Put("binary.velko", std::string("\0\x01\xff tbff", 8));
    fs::create_directory(s.files.Path("folder.velko"));
    // A doll chunk without a body, and one whose body holds no joint
    s.files.Put("bodiless.velko", "tbff .1\n\nchunk velko 1.0 anonymous\n");
    s.files.Put("hollow.velko", "tbff .1\n\nchunk velko 1.0 anonymous {\n\tlines {\n\t}\n}\n");
    s.files.answer = AppFiles::discardChanges;
    int fds = OpenFiles();
    for (const char* name : {"v2.tbf", "notes.txt", "empty.tbf", "other.tbf", "binary.velko",
                             "folder.velko", "missing.velko", "bodiless.velko", "hollow.velko"}) {
        size_t errors = s.files.errors.size();
        s.files.next = name;
        s.Choose(Velko::kMenuOpen);
        DollContent after(s.Doll());
        ExpectSameLocations(after.joints, before.joints, name);
        EXPECT_EQ(after.bones, before.bones) << name;
        EXPECT_EQ(after.lines.size(), 1u) << name;
        EXPECT_EQ(OpenFiles(), fds) << name << " left open";
        // The person is told, with the file's name
        ASSERT_EQ(s.files.errors.size(), errors + 1) << name;
        EXPECT_NE(s.files.errors.back().find(s.files.Path(name)), std::string::npos)
            << s.files.errors.back();
        EXPECT_EQ(s.shell.title, "Untitled \u2022 - Velko") << name;
    }
    for (int i : {3, 7, 8})
        EXPECT_NE(s.files.errors[i].find("holds no doll"), std::string::npos) << s.files.errors[i];
}

// A file that ends inside its chunk would pass for the whole doll, and Save would write
// the part over it: it comes up untitled and unsaved, and the file stays as it was
TEST_F(MenuCommands, ADocumentCutShortOpensAsAnUntitledDollAndItsFileIsLeftAlone) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.Sketch(240, 200, 240, 262);
    s.files.next = "whole.velko";
    s.Choose(Velko::kMenuSaveAs);
    const std::string whole = s.files.Contents("whole.velko");
    // Cut inside the second line's points, after the last line, and before the last "}";
    // the whole document, also without its last line end, is whole
    const size_t n = whole.size();
    for (size_t size : {whole.rfind("line {") + 60, whole.rfind("\t}\n") + 1, n - 2, n - 1, n}) {
        s.files.Put("cut.velko", whole.substr(0, size));
        s.files.next = "cut.velko";
        size_t errors = s.files.errors.size();
        s.Choose(Velko::kMenuOpen);
        SCOPED_TRACE(size);
        EXPECT_GT(s.Doll().GetNumJoints(), 0);
        if (size + 1 >= n) {
            EXPECT_EQ(s.shell.title, "cut.velko - Velko");
            EXPECT_EQ(s.files.errors.size(), errors);
            continue;
        }
        EXPECT_EQ(s.shell.title, "Untitled \u2022 - Velko");
        ASSERT_EQ(s.files.errors.size(), errors + 1);
        EXPECT_EQ(s.files.errors.back(),
                  "cut.velko is cut short: what could be read is shown as an untitled doll; the "
                  "file is left as it is");
        EXPECT_EQ(s.in->StatusText(), s.files.errors.back());
        // Save asks for a name; cancelled, nothing is written
        s.files.next = "";
        s.Choose(Velko::kMenuSave);
        EXPECT_EQ(s.files.asked.back(), "save " + s.files.dir.string() + " Untitled.velko");
        EXPECT_EQ(s.files.Contents("cut.velko"), whole.substr(0, size));
    }
}

TEST_F(MenuCommands, ACancelledChoiceOpensAndWritesNothing) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.files.next = "";
    s.Choose(Velko::kMenuSaveAs);
    s.Choose(Velko::kMenuOpen);
    std::vector<std::string> asked = {"save  Untitled.velko", "question Open: Untitled", "open "};
    EXPECT_EQ(s.files.asked, asked) << "Open asks about the unsaved line first";
    EXPECT_TRUE(fs::is_empty(s.files.dir));
    EXPECT_EQ(s.Doll().GetNumLines(), 1);
    EXPECT_EQ(s.Doll().GetNumJoints(), 11);
}

// Writing a document packs the joints into the lowest slots. The editor writes one whenever
// it looks for unsaved changes, so the rollover must follow its joint to the new slot.
TEST_F(MenuCommands, WritingTheDocumentRenumbersJointsAndTheRolloverStaysOnTheSameJoint) {
    MenuSession s;
    s.ChooseMode(kEditSkeletonItem);
    // The head goes: every other joint moves down one slot when the doll is written
    fPoint2 head = s.JointAt(kHead);
    s.shell.MoveTo((int)head.x, (int)head.y);
    s.shell.Tick();
    s.shell.KeyPress(8);
    ASSERT_EQ(s.Doll().GetNumJoints(), 10);
    ASSERT_FALSE(s.Doll().jointAllocTable[kHead]);
    fPoint2 hand = s.JointAt(kRightHand);
    s.shell.MoveTo((int)hand.x, (int)hand.y);
    s.shell.Tick(3);  // finds the hand under the pointer; at rest, the document is written
    EXPECT_TRUE(s.Doll().jointAllocTable[kHead]);
    EXPECT_FALSE(s.Doll().jointAllocTable[kRightHand]);
    EXPECT_EQ(s.in->ActiveJoint(), &s.Doll().joints[kRightHand - 1]);

    // Saved, then backspace before the next tick: the hand goes, not its new neighbour
    s.files.next = "doll.velko";
    ASSERT_TRUE(s.menu.Choose(Velko::kMenuSaveAs));
    EXPECT_EQ(s.in->ActiveJoint(), &s.Doll().joints[kRightHand - 1]);
    s.shell.KeyPress(8);
    s.shell.Tick();
    ASSERT_EQ(s.Doll().GetNumJoints(), 9);
    // The hand is gone and the elbow (now slot 8) stays
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!s.Doll().jointAllocTable[i]) continue;
        EXPECT_GT(s.JointAt(i).Dist(hand), 1) << i;
    }
    EXPECT_TRUE(s.Doll().jointAllocTable[kRightElbow - 1]);
}

TEST_F(MenuCommands, WritingTheDocumentCarriesTheBoneUnderThePointerToItsNewIndices) {
    MenuSession s;
    s.ChooseMode(kEditSkeletonItem);
    fPoint2 head = s.JointAt(kHead);
    s.shell.MoveTo((int)head.x, (int)head.y);
    s.shell.Tick();
    s.shell.KeyPress(8);
    s.ChooseMode(kDrawItem);
    // Between the right elbow and hand (slots 8 and 9 once written), away from both joints
    fPoint2 mid = (s.JointAt(kRightElbow - 1) + s.JointAt(kRightHand - 1)) * 0.5f;
    s.shell.MoveTo((int)mid.x + 3, (int)mid.y);
    s.shell.Tick();
    ASSERT_EQ(s.in->ActiveEdgeA(), kRightElbow - 1);
    ASSERT_EQ(s.in->ActiveEdgeB(), kRightHand - 1);
    s.files.next = "doll.velko";
    ASSERT_TRUE(s.menu.Choose(Velko::kMenuSaveAs));
    EXPECT_EQ(s.in->ActiveEdgeA(), kRightElbow - 1);
    EXPECT_EQ(s.in->ActiveEdgeB(), kRightHand - 1);
    EXPECT_NE(s.Doll().dollEdgeDrawList.GetEdge(kRightElbow - 1, kRightHand - 1), nullptr);
}

TEST_F(MenuCommands, NewDuringAStrokeOrAJointDragEndsItAndDropsTheSelection) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.shell.Click(400, 230);
    ASSERT_NE(s.in->SelectedLine(), nullptr);

    // A stroke under way: its line goes with the old doll
    s.shell.MoveTo(240, 200);
    s.shell.Tick();
    s.shell.Press(240, 200);
    s.shell.MoveTo(240, 220);
    s.shell.Tick(2);
    ASSERT_EQ(s.in->GetMode(), VelkoTestAccess::draw);
    ASSERT_TRUE(s.menu.Choose(Velko::kMenuNew));
    EXPECT_EQ(s.in->GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s.in->ActiveLine(), nullptr);
    EXPECT_EQ(s.in->SelectedLine(), nullptr);
    s.shell.MoveTo(240, 240);
    s.shell.Tick(2);
    s.shell.Release(240, 240);
    s.shell.Tick();
    EXPECT_EQ(s.Doll().GetNumLines(), 0);

    // A posing drag: the new doll's hand is not pulled along
    s.shell.Wait(1);
    fPoint2 hand = s.JointAt(kRightHand);
    s.shell.MoveTo((int)hand.x, (int)hand.y);
    s.shell.Tick();
    s.shell.Press((int)hand.x, (int)hand.y);
    s.shell.MoveTo((int)hand.x + 40, (int)hand.y);
    s.shell.Tick(3);
    ASSERT_EQ(s.in->GetMode(), VelkoTestAccess::drag);
    ASSERT_TRUE(s.menu.Choose(Velko::kMenuNew));
    EXPECT_EQ(s.in->ActiveJoint(), nullptr);
    s.shell.MoveTo((int)hand.x + 120, (int)hand.y);
    s.shell.Tick(10);
    s.shell.Release((int)hand.x + 120, (int)hand.y);
    s.shell.Tick();
    EXPECT_LT(s.JointAt(kRightHand).Dist(hand), 1);
}

TEST_F(MenuCommands, OpenDuringAStrokeEndsItAndTheDocumentsLinesStay) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.files.next = "one-line.tbf";
    s.Choose(Velko::kMenuSaveAs);

    s.shell.MoveTo(240, 200);
    s.shell.Tick();
    s.shell.Press(240, 200);
    s.shell.MoveTo(240, 220);
    s.shell.Tick(2);
    ASSERT_EQ(s.Doll().GetNumLines(), 2);
    ASSERT_TRUE(s.menu.Choose(Velko::kMenuOpen));
    EXPECT_EQ(s.in->GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s.in->ActiveLine(), nullptr);
    s.shell.MoveTo(240, 250);
    s.shell.Tick(3);
    s.shell.Release(240, 250);
    s.shell.Tick();
    EXPECT_EQ(s.Doll().GetNumLines(), 1);
}

TEST_F(MenuCommands, NewPutsTheHeartBackInTheCornerAndDrawAndPoseBackInCharge) {
    MenuSession s;
    // The icon dragged up, its menu opened and the skull chosen; "Edit Skeleton" chosen
    s.shell.DragFromTo(35, 445, 185, 45, 10);
    s.shell.Wait(1);
    s.shell.Click(185, 45);
    ASSERT_EQ(s.in->GetMode(), VelkoTestAccess::pickIcon);
    s.shell.Click(185, 165);
    ASSERT_EQ(s.Doll().icon.GetIcon(), GIconTable::ResolveIcon("skull"));
    s.ChooseMode(kEditSkeletonItem);

    s.Choose(Velko::kMenuNew);
    EXPECT_EQ(s.Doll().icon.GetIcon(), GIconTable::ResolveIcon("heart"));
    fRect r = s.Doll().icon.GetBounds();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 470);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 50);
    EXPECT_EQ(s.in->Panel().level, 2);  // "Draw and Pose"
}

TEST_F(MenuCommands, NewWithTheIconMenuOpenClosesIt) {
    MenuSession s;
    s.shell.DragFromTo(35, 445, 185, 45, 10);
    s.shell.Wait(1);
    s.shell.Click(185, 45);
    ASSERT_EQ(s.in->GetMode(), VelkoTestAccess::pickIcon);
    s.Choose(Velko::kMenuNew);
    EXPECT_EQ(s.in->GetMode(), VelkoTestAccess::idle);
    s.shell.Click(185, 165);  // where the skull's cell was: now empty space
    EXPECT_EQ(s.Doll().icon.GetIcon(), GIconTable::ResolveIcon("heart"));
}

// Edit Mask and Home Position

TEST_F(MenuCommands, EditMaskDropsASelectionOfTheOtherKindAndTogglingBackLeavesNone) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.shell.Click(400, 230);
    const SketchDollLine* plain = s.in->SelectedLine();
    ASSERT_NE(plain, nullptr);
    s.Choose(Velko::kMenuEditMask);
    EXPECT_TRUE(s.in->EditingMask());
    EXPECT_EQ(s.in->SelectedLine(), nullptr);
    // The ordinary line cannot be picked while the mask is edited; new lines are masks
    s.shell.Click(400, 230);
    EXPECT_EQ(s.in->SelectedLine(), nullptr);
    s.shell.Wait(1);
    s.Sketch(240, 200, 240, 260);
    s.shell.Click(240, 230);
    ASSERT_NE(s.in->SelectedLine(), nullptr);
    EXPECT_TRUE(s.in->SelectedLine()->GetIsMask());

    s.Choose(Velko::kMenuEditMask);
    EXPECT_FALSE(s.in->EditingMask());
    EXPECT_EQ(s.in->SelectedLine(), nullptr);
    s.Choose(Velko::kMenuEditMask);
    EXPECT_EQ(s.in->SelectedLine(), nullptr);
}

TEST_F(MenuCommands, HomePositionInterruptsAPoseChangeAndSendsTheDollHome) {
    MenuSession s;
    fPoint2 home = s.JointAt(kRightHand);
    // Pose 4 records the right hand raised, then pose 5 takes the doll back down
    s.shell.DragFromTo((int)home.x, (int)home.y, (int)home.x + 60, (int)home.y - 100, 10);
    s.shell.Wait(1);
    s.shell.KeyPress(9);
    s.shell.Tick(5);
    fPoint2 raised = s.Doll().poses[4].joints[kRightHand];
    ASSERT_GT(raised.Dist(home), 50);
    s.Choose(Velko::kMenuHomePosition);
    s.shell.Tick(200);
    ASSERT_LT(s.JointAt(kRightHand).Dist(home), 5);

    // On the way into pose 4, Home Position turns the doll round
    fPoint2 w = s.in->PoseWidget(4).bounds.GetCenter();
    s.shell.Click((int)w.x, (int)w.y);
    s.shell.Tick(3);
    ASSERT_EQ(s.Doll().GetSeekPose(), 4);
    s.Choose(Velko::kMenuHomePosition);
    EXPECT_EQ(s.Doll().seekPose, &s.Doll().homePose);
    EXPECT_EQ(s.Doll().GetSeekPose(), -1);
    s.shell.Tick(200);
    EXPECT_LT(s.JointAt(kRightHand).Dist(home), 5);
    // Pose 4 never became the edit pose, so it still holds the raised hand
    EXPECT_EQ(s.Doll().GetEditPose(), -1);
    EXPECT_LT(s.Doll().poses[4].joints[kRightHand].Dist(raised), 0.01);
}

// The document: its title, unsaved changes, failures and the command line

TEST_F(MenuCommands, TheTitleNamesTheDocumentAndMarksUnsavedChangesUntilTheyAreSaved) {
    MenuSession s;
    EXPECT_EQ(s.shell.title, "Untitled - Velko");
    s.Sketch(400, 200, 400, 262);
    EXPECT_EQ(s.shell.title, "Untitled \u2022 - Velko");
    s.files.next = "dancer.velko";
    s.Choose(Velko::kMenuSaveAs);
    EXPECT_EQ(s.shell.title, "dancer.velko - Velko");
    std::string saved = s.files.Contents("dancer.velko");
    // Save writes the same file again without asking
    s.Sketch(240, 200, 240, 260);
    EXPECT_EQ(s.shell.title, "dancer.velko \u2022 - Velko");
    s.files.next = "";
    s.Choose(Velko::kMenuSave);
    EXPECT_EQ(s.files.asked.size(), 1u);
    EXPECT_EQ(s.shell.title, "dancer.velko - Velko");
    EXPECT_GT(s.files.Contents("dancer.velko").size(), saved.size());

    // An opened doll is not changed by being looked at, nor by settling into its pose
    s.Choose(Velko::kMenuNew);
    s.files.next = "dancer.velko";
    s.Choose(Velko::kMenuOpen);
    EXPECT_EQ(s.files.asked.back(), "open " + s.files.dir.string());
    EXPECT_EQ(s.in->StatusText(), "Opened dancer.velko");
    s.shell.Tick(300);
    EXPECT_EQ(s.shell.title, "dancer.velko - Velko");
    // Each chooser is titled by its command
    EXPECT_EQ(s.files.titles, (std::vector<std::string>{"Save As", "Open"}));
}

TEST_F(MenuCommands, TheStatusLineSaysWhatACommandDidOrWhyNotThenHintsAtTheMode) {
    MenuSession s;
    EXPECT_EQ(s.in->StatusText(), AuthorModePanel::modeHints[2]);  // Draw and Pose
    s.editor->MenuShortcutRefused(Velko::kMenuUndo);
    EXPECT_EQ(s.in->StatusText(), "Nothing to undo");
    s.Sketch(400, 200, 400, 262);
    s.editor->Key(8);
    EXPECT_EQ(s.in->StatusText(), "Nothing is selected: click a line, then Backspace deletes it");
    s.files.next = "walk.velko";
    s.Choose(Velko::kMenuSave);
    EXPECT_EQ(s.in->StatusText(), "Saved walk.velko");
    // A failure is said there as well as in its dialog
    s.files.next = "no-such-folder/x.velko";
    s.Choose(Velko::kMenuSaveAs);
    ASSERT_EQ(s.files.errors.size(), 1u);
    EXPECT_EQ(s.in->StatusText(), s.files.errors[0]);
    EXPECT_EQ(s.files.titles, (std::vector<std::string>{"Save", "Save As"}));
    // A few seconds later the line shows the mode's hint again
    s.shell.Wait(StatusLine::kMessageSeconds);
    s.ChooseMode(kEditSkeletonItem);
    EXPECT_EQ(s.in->StatusText(), AuthorModePanel::modeHints[kEditSkeletonItem]);
}

TEST_F(MenuCommands, NewOpenAndQuitAskAboutUnsavedChangesAndObeyTheAnswer) {
    MenuSession s;
    // Nothing to lose: no question
    s.Choose(Velko::kMenuNew);
    s.Choose(Velko::kMenuQuit);
    EXPECT_TRUE(s.shell.quit);
    EXPECT_TRUE(s.files.asked.empty());
    s.shell.quit = false;

    s.Sketch(400, 200, 400, 262);
    s.files.answer = AppFiles::cancelCommand;
    s.Choose(Velko::kMenuNew);
    s.Choose(Velko::kMenuOpen);
    s.editor->CloseRequested();  // the window's close button
    EXPECT_FALSE(s.shell.quit);
    EXPECT_EQ(s.Doll().GetNumLines(), 1);
    EXPECT_EQ(s.files.asked,
              (std::vector<std::string>{"question New: Untitled", "question Open: Untitled",
                                        "question Close: Untitled"}));

    // Save: the untitled doll is named first; cancelling that cancels the quit too
    s.files.answer = AppFiles::saveChanges;
    s.Choose(Velko::kMenuQuit);
    EXPECT_FALSE(s.shell.quit);
    s.files.next = "kept.velko";
    s.Choose(Velko::kMenuQuit);
    EXPECT_TRUE(s.shell.quit);
    EXPECT_NE(s.files.Contents("kept.velko").find("\tlines {\n\t\tline {"), std::string::npos);
    s.shell.quit = false;

    // Don't Save
    s.Sketch(240, 200, 240, 260);
    s.files.answer = AppFiles::discardChanges;
    s.Choose(Velko::kMenuNew);
    EXPECT_EQ(s.Doll().GetNumLines(), 0);
    EXPECT_EQ(s.shell.title, "Untitled - Velko");

    // No question can be shown: nothing is thrown away, and with no recovery copy to keep
    // the work in, Quit does not end the program either (the end-to-end test quits with one)
    s.Sketch(240, 200, 240, 260);
    s.files.answer = AppFiles::cannotAsk;
    s.Choose(Velko::kMenuNew);
    s.Choose(Velko::kMenuQuit);
    EXPECT_EQ(s.Doll().GetNumLines(), 1);
    EXPECT_FALSE(s.shell.quit);
}

TEST_F(MenuCommands, AFailedSaveSaysSoAndKeepsTheChangesUnsaved) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.files.next = "no-such-folder/doll.velko";
    s.Choose(Velko::kMenuSaveAs);
    ASSERT_EQ(s.files.errors.size(), 1u);
    EXPECT_NE(s.files.errors[0].find(s.files.Path("no-such-folder/doll.velko")), std::string::npos);
    EXPECT_EQ(s.shell.title, "Untitled \u2022 - Velko");
    // Quitting still asks, and a save that fails again keeps the program running
    s.files.answer = AppFiles::saveChanges;
    s.Choose(Velko::kMenuQuit);
    EXPECT_FALSE(s.shell.quit);
    EXPECT_EQ(s.files.errorTitles, (std::vector<std::string>{"Save As", "Quit"}));
}

TEST_F(MenuCommands, TheCommandLineOpensADocumentOrNamesANewOne) {
    MenuSession first;
    first.Sketch(400, 200, 400, 262);
    first.files.next = "drawn.velko";
    first.Choose(Velko::kMenuSaveAs);
    first.files.Put("notes.txt", "not a doll\n");

    MenuSession opened(true, true, first.files.Path("drawn.velko").c_str());
    EXPECT_EQ(opened.Doll().GetNumLines(), 1);
    EXPECT_EQ(opened.shell.title, "drawn.velko - Velko");

    // Not there yet: the first Save writes it without asking
    std::string fresh = first.files.Path("fresh.velko");
    MenuSession named(true, true, fresh.c_str());
    EXPECT_EQ(named.shell.title, "fresh.velko - Velko");
    named.Sketch(400, 200, 400, 262);
    named.Choose(Velko::kMenuSave);
    EXPECT_TRUE(named.files.asked.empty());
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_EQ(named.shell.title, "fresh.velko - Velko");

    // Not a document: said so, and the default doll under no name
    MenuSession refused(true, true, first.files.Path("notes.txt").c_str());
    ASSERT_EQ(refused.files.errors.size(), 1u);
    EXPECT_NE(refused.files.errors[0].find("notes.txt\": it is not a Velko document"),
              std::string::npos)
        << refused.files.errors[0];
    EXPECT_EQ(refused.Doll().GetNumJoints(), 11);
    EXPECT_EQ(refused.shell.title, "Untitled - Velko");
    EXPECT_EQ(first.files.Contents("notes.txt"), "not a doll\n");
}

// Exporting

TEST_F(MenuCommands, EachExportWritesWhatTheRendererMakesOfTheSavedDollAndTheEditorDrawsOn) {
    MenuSession s;
    s.Sketch(400, 200, 400, 262);
    s.shell.Wait(30);  // at rest, so the posture saved is the one exported
    // An animation of its own, which the exported GIF follows
    s.in->DollForSetup().sequence.MakeCustom(s.Doll());
    s.in->DollForSetup().sequence.steps[0].holdMs = 250;
    s.in->DollForSetup().sequence.fps = 10;
    s.files.next = "doll.velko";
    s.Choose(Velko::kMenuSaveAs);
    const std::string document = s.files.Contents("doll.velko");
    ASSERT_NE(document.find("\tsequence {"), std::string::npos);
    // Fitted to the doll unless the options say otherwise; the name's extension picks the
    // format, and an animation named .png is a sprite sheet with its atlas. Each command's
    // chooser: its title, the name it offers and its filters.
    const std::map<int, std::pair<std::string, std::string>> choosers = {
        {Velko::kMenuExportPicture, {"Export Picture", "doll.png .png .svg"}},
        {Velko::kMenuExportPoseSheet, {"Export Pose Sheet", "doll-poses.png .png"}},
        {Velko::kMenuExportAnimation,
         {"Export Animation", "doll.gif .gif .webp .apng .mp4 .webm .png"}}};
    ExportOptions small;
    small.width = 200;
    small.height = 120;
    struct {
        int item;
        const char* file;
        RenderRequest::Kind kind;
        const char* format;
        bool small;  // 200x120 typed into Export Options first
    } exports[] = {
        {Velko::kMenuExportPicture, "still.png", RenderRequest::still, ".png", false},
        {Velko::kMenuExportPicture, "still.svg", RenderRequest::still, ".svg", false},
        {Velko::kMenuExportPoseSheet, "sheet.png", RenderRequest::sheet, nullptr, false},
        {Velko::kMenuExportAnimation, "loop.gif", RenderRequest::animation, ".gif", false},
        {Velko::kMenuExportAnimation, "loop.webp", RenderRequest::animation, ".webp", true},
        {Velko::kMenuExportAnimation, "frames.png", RenderRequest::sprites, nullptr, true},
    };
    for (const auto& e : exports) {
        s.files.formAnswers = {e.small ? "200x120" : "", "", "", "", "", ""};
        s.Choose(Velko::kMenuExportOptions);
        s.files.next = e.file;
        s.Choose(e.item);
        EXPECT_EQ(s.files.titles.back(), choosers.at(e.item).first);
        EXPECT_EQ(s.files.asked.back(),
                  "export " + s.files.dir.string() + " " + choosers.at(e.item).second);
        RenderRequest r;
        (e.small ? small : ExportOptions()).ApplyTo(&r);
        r.kind = e.kind;
        r.format = e.format ? &ExportFormatOf(e.format) : nullptr;
        EncodedOutput want;
        std::string error;
        ASSERT_TRUE(RenderDollDocument(document, r, &want, &error)) << error;
        EXPECT_TRUE(s.files.Contents(e.file) == want.bytes) << e.file << " differs";
        EXPECT_TRUE(s.files.Contents("frames.json") == want.companionBytes);
    }
    EXPECT_TRUE(s.files.errors.empty());
    // The last, the sprite sheet, said on the status line what it wrote
    int frames = 0,
        kilobytes = 0;  // "Exported frames.png and frames.json: 149 frames, 8 KB, 5.0 s"
    float seconds = 0;
    ASSERT_EQ(sscanf(s.in->StatusText().c_str(),
                     "Exported frames.png and frames.json: %d frames, %d KB, %f s", &frames,
                     &kilobytes, &seconds),
              3)
        << s.in->StatusText();
    // The doll's own animation: one step, held 0.25 s and moved into again in 1 s, at 10
    // frames a second
    EXPECT_EQ(frames, 13);
    EXPECT_NEAR(seconds, 1.25, 0.051);
    EXPECT_NE(s.files.Contents("frames.json").find("\"fps\": 10"), std::string::npos);
    EXPECT_EQ(kilobytes, (int)((s.files.Contents("frames.png").size() +
                                s.files.Contents("frames.json").size() + 512) /
                               1024));

    // The window's context is current again: the editor's frame still shows the stroke
    s.shell.Tick();
    EXPECT_GT(GLTestContext::Get().CountPixels(390, 205, 411, 258, RGB8{128, 128, 128}), 20);

    // A cancelled choice writes nothing; a folder that does not exist, a name of no format
    // of the kind and what a format cannot keep are reported
    s.files.next = "";
    s.Choose(Velko::kMenuExportPicture);
    for (const char* name : {"missing/still.png", "still.gif", "sheet.svg"}) {
        s.files.next = name;
        s.Choose(name[1] == 'h' ? Velko::kMenuExportPoseSheet : Velko::kMenuExportPicture);
    }
    s.files.formAnswers = {"", "", "", "", "", "Transparent"};
    s.Choose(Velko::kMenuExportOptions);
    s.files.next = "clear.gif";
    s.Choose(Velko::kMenuExportAnimation);
    ASSERT_EQ(s.files.errors.size(), 4u);
    EXPECT_NE(s.files.errors[0].find("missing/still.png"), std::string::npos);
    EXPECT_NE(s.files.errors[1].find("must end in .png, .svg"), std::string::npos);
    EXPECT_NE(s.files.errors[2].find("must end in .png"), std::string::npos);
    EXPECT_NE(s.files.errors[3].find("transparent"), std::string::npos);
    for (const char* name : {"still.gif", "sheet.svg", "clear.gif"})
        EXPECT_FALSE(fs::exists(s.files.Path(name))) << name;
    s.files.errors.resize(1);

    // Never over the open document or another one, never the wrong bytes for the name, never
    // over a file the person may not write; each refusal names the file. Saving too.
    s.files.Put("old.png", "old");
    fs::permissions(s.files.Path("old.png"), fs::perms(0444));
    fs::create_symlink("doll.velko", s.files.Path("link.png"));
    const struct {
        int item;
        const char* file;
        const char* reason;
    } refused[] = {
        {Velko::kMenuExportPicture, "doll.velko", "document"},
        {Velko::kMenuExportPicture, "link.png", "document"},
        {Velko::kMenuExportPicture, "pic.gif", ".png"},
        {Velko::kMenuExportAnimation, "anim.jpg", ".gif"},
        {Velko::kMenuExportPicture, "old.png", "is read-only"},
        {Velko::kMenuSaveAs, "old.png", "is read-only"},
    };
    for (const auto& r : refused) {
        s.files.next = r.file;
        s.Choose(r.item);
        ASSERT_EQ(s.files.errors.size(), 2u) << r.file;
        EXPECT_NE(s.files.errors[1].find(r.file + std::string("\": ")), std::string::npos);
        EXPECT_NE(s.files.errors[1].find(r.reason), std::string::npos) << s.files.errors[1];
        // The message's dialog is titled by the command refused, as its chooser was
        EXPECT_EQ(s.files.errorTitles.back(), s.files.titles.back()) << r.file;
        s.files.errors.pop_back();
    }
    EXPECT_EQ(s.files.Contents("doll.velko"), document);
    EXPECT_EQ(s.files.Contents("old.png"), "old");
    EXPECT_FALSE(fs::exists(s.files.Path("pic.gif")) || fs::exists(s.files.Path("anim.jpg")));
    EXPECT_EQ(s.shell.title, "doll.velko - Velko");
}

TEST(ExportOptionsForm, TakesWhatIsTypedOrChosenKeepsWhatIsLeftEmptyAndRefusesTheRest) {
    ExportOptions o;
    std::string error;
    ASSERT_TRUE(ApplyExportOptionsAnswers(
        {"400X240", "No", "12", "Ping-Pong", "Shown", "Transparent"}, &o, &error))
        << error;
    const std::string said =
        "400x240, the whole stage, with the emotion icon, on a transparent "
        "background. Animations: 12 frames a second, loops Ping-Pong.";
    EXPECT_NE(ExportOptionsText(o).find(said), std::string::npos) << ExportOptionsText(o);
    // Empty answers keep every option; a refused one changes none
    for (auto answers : std::vector<std::vector<std::string>>{{"", "", "", "", "", ""},
                                                              {"400", "", "", "", "", ""},
                                                              {"0x10", "", "", "", "", ""},
                                                              {"", "Yes", "51", "", "", ""},
                                                              {"", "", "1.5", "", "", ""},
                                                              {"", "", ""}}) {
        error.clear();
        EXPECT_EQ(ApplyExportOptionsAnswers(answers, &o, &error),
                  answers[0].empty() && answers.size() == 6 && answers[2].empty());
        EXPECT_NE(ExportOptionsText(o).find(said), std::string::npos) << answers[0];
    }
}

TEST_F(MenuCommands, ExportOptionsLastUntilNewOrOpenAndNeverTouchTheDocument) {
    MenuSession s;
    s.files.formAnswers = {"320x200", "", "", "Once", "", ""};
    s.Choose(Velko::kMenuExportOptions);
    EXPECT_NE(s.files.asked.back().find("form Export Options 6: Pictures and frames are "
                                        "800x480, fitted to the doll"),
              std::string::npos)
        << s.files.asked.back();
    EXPECT_EQ(s.shell.title, "Untitled - Velko");  // no unsaved change
    s.files.formAnswers = {};                      // cancelled: nothing changes
    s.Choose(Velko::kMenuExportOptions);
    EXPECT_NE(s.files.asked.back().find("320x200"), std::string::npos);
    s.Choose(Velko::kMenuNew);
    s.Choose(Velko::kMenuExportOptions);
    EXPECT_NE(s.files.asked.back().find("800x480"), std::string::npos);
}

// The Animation menu

TEST_F(MenuCommands, TheAnimationMenuSetsTheLoopAndTheFrameRateAndTakesTypedTimes) {
    MenuSession s;
    const SequenceLoop loops[] = {SequenceLoop::forever, SequenceLoop::once,
                                  SequenceLoop::pingPong};
    auto marks = [&] {
        std::string m;
        for (int id = AnimationEditor::kMenuLoopForever; id <= AnimationEditor::kMenuLoopPingPong;
             id++)
            m += *s.menu.Find(id)->check ? "x" : "-";
        return m;
    };
    EXPECT_EQ(marks(), "x--");
    for (int i : {1, 2, 2, 0}) {  // choosing the marked one again keeps it marked
        s.Choose(AnimationEditor::kMenuLoopForever + i);
        EXPECT_EQ(s.Doll().sequence.loop, loops[i]);
        std::string want = "---";
        want[(size_t)i] = 'x';
        EXPECT_EQ(marks(), want);
    }
    EXPECT_EQ(s.in->History().GetNumUndoSteps(), 3u);  // the repeated choice changed nothing
    EXPECT_EQ(s.in->History().GetUndoLabel(), "Loop Forever");

    s.Choose(AnimationEditor::kMenuFrameRateFirst + 1);
    EXPECT_EQ(s.Doll().sequence.fps, 12);
    EXPECT_TRUE(*s.menu.Find(AnimationEditor::kMenuFrameRateFirst + 1)->check);
    EXPECT_FALSE(*s.menu.Find(AnimationEditor::kMenuFrameRateFirst + 5)->check);  // 25
    EXPECT_EQ(s.in->History().GetUndoLabel(), "Frame Rate");
    for (const char* typed : {"40", "0", "51", "12 fps"}) {  // only the first is taken
        s.files.textAnswer = typed;
        s.Choose(AnimationEditor::kMenuFrameRateOther);
        EXPECT_EQ(s.Doll().sequence.fps, 40) << typed;
    }
    EXPECT_EQ(s.files.asked[s.files.asked.size() - 4], "text Frame Rate: 12");
    EXPECT_EQ(s.in->StatusText(), "The frame rate is a whole number from 1 to 50, not \"12 fps\"");

    // Edit Step wants a selected step; then its times are typed, as a double click asks too
    const int beeps = s.shell.beeps;
    s.Choose(AnimationEditor::kMenuEditStep);
    EXPECT_EQ(s.shell.beeps, beeps + 1);
    EXPECT_EQ(s.in->StatusText(), "Click a step on the strip first, then Edit Step");
    s.shell.Click(80, 420);  // the first cell: pose 5, recording since the start
    s.files.textAnswer = "800 250 linear";
    s.Choose(AnimationEditor::kMenuEditStep);
    EXPECT_EQ(s.files.asked.back(), "text Step 1: 1000 500 in-out");
    ASSERT_EQ(s.Doll().sequence.steps.size(), 1u);
    EXPECT_TRUE(s.Doll().sequence.steps[0] == (SequenceStep{4, 250, 800, SequenceEase::linear}));
    EXPECT_EQ(s.in->History().GetUndoLabel(), "Change Step");
    s.shell.Wait(1);
    s.files.textAnswer = "1.5s 0 out";
    s.shell.DoubleClick(80, 420);
    EXPECT_TRUE(s.Doll().sequence.steps[0] == (SequenceStep{4, 0, 1500, SequenceEase::out}));

    // The Play item says what it would do
    s.Choose(AnimationEditor::kMenuPlay);
    EXPECT_TRUE(s.in->Animation().GetIsPlaying());
    EXPECT_EQ(s.menu.Find(AnimationEditor::kMenuPlay)->label, "Stop (Space)");
    s.Choose(AnimationEditor::kMenuPlay);
    EXPECT_FALSE(s.in->Animation().GetIsPlaying());
    EXPECT_EQ(s.menu.Find(AnimationEditor::kMenuPlay)->label, "Play (Space)");
}

// What the commands show

class MenuFrames : public MenuCommands {
protected:
    GLTestContext& Frame(MenuSession& s, const char* saveAs) {
        s.shell.Tick();
        GLTestContext& gl = GLTestContext::Get();
        gl.Save(saveAs);
        return gl;
    }
    // Every pixel of the frame drawn so far (RGB, bottom row first), also saved as png
    static std::vector<unsigned char> WholeFrame(const std::string& png) {
        GLTestContext& gl = GLTestContext::Get();
        gl.Save(png);
        std::vector<unsigned char> rgb((size_t)gl.width * gl.height * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, gl.width, gl.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }
};

TEST_F(MenuFrames, TheMaskTintLiesUnderTheIconMenuTint) {
    MenuSession s;
    s.shell.MoveTo(500, 450);
    s.Choose(Velko::kMenuEditMask);
    GLTestContext& gl = Frame(s, "menu-mask-tint.png");
    RGB8 mask = gl.Pixel(560, 450);
    EXPECT_EQ(mask.r, 255);
    EXPECT_NEAR(mask.g, 230, 1);
    EXPECT_NEAR(mask.b, 230, 1);
    EXPECT_NEAR(gl.Pixel(300, 20).g, 230, 1);  // the whole window

    s.shell.DragFromTo(35, 445, 185, 45, 10);
    s.shell.Wait(1);
    s.shell.Click(185, 45);
    ASSERT_EQ(s.in->GetMode(), VelkoTestAccess::pickIcon);
    s.shell.MoveTo(700, 460);
    Frame(s, "menu-mask-and-icon-menu.png");
    RGB8 both = gl.Pixel(560, 450);
    EXPECT_NEAR(both.r, 217, 1);
    EXPECT_NEAR(both.g, 217, 1);
    EXPECT_EQ(both.b, 255);
    EXPECT_EQ(gl.CountPixels(400, 300, 600, 470, RGB8{255, 230, 230}), 0);
    EXPECT_EQ(gl.CountPixels(400, 300, 600, 470, RGB8{255, 229, 229}), 0);

    s.Choose(Velko::kMenuEditMask);  // menu still open, mask off: the same blue
    EXPECT_NEAR(Frame(s, "menu-icon-menu.png").Pixel(560, 450).r, 217, 1);
}

TEST_F(MenuFrames, AThumbnailBothSoughtAndEditedIsFramedOnlyYellow) {
    MenuSession s;
    s.shell.MoveTo(500, 450);
    SketchDoll& d = s.in->DollForSetup();
    d.GoToPose(3, true);
    d.editPose = &d.poses[3];
    s.shell.Tick();
    ASSERT_EQ(d.GetSeekPose(), 3);
    ASSERT_EQ(d.GetEditPose(), 3);
    GLTestContext& gl = Frame(s, "menu-seek-is-edit.png");
    // Widget 3: right column, fourth row (700..790 x 310..400), its top edge at pen width 2
    EXPECT_GT(gl.CountPixels(710, 308, 780, 313, RGB8{255, 255, 0}), 100);
    EXPECT_EQ(gl.CountPixels(695, 305, 795, 405, RGB8{255, 0, 0}), 0);
}

TEST_F(MenuFrames, AReopenedDollDrawsInEveryModeExactlyAsTheSavedOne) {
    MenuSession s;
    // Lines breathe over 4 s from their creation, and an opened document's lines are all made
    // at the instant of Open; the icon breathes over 4 s and 6 s of program time. So every
    // press that starts a line, and the Open, fall on multiples of 4 s, and each frame comes a
    // multiple of 12 s after the one it is compared with. Waiting from at least t / 2 to t
    // lands on t exactly, and floats from 128 s to 256 s share one spacing: phases agree to
    // the bit.
    auto waitUntil = [&](float t) {
        ASSERT_LE(s.shell.now, t);
        s.shell.Wait(t - s.shell.now);
    };
    auto stroke = [&](std::vector<std::pair<int, int>> at) {
        s.shell.MoveTo(at[0].first, at[0].second);
        s.shell.Tick();
        waitUntil(4 * std::ceil(s.shell.now / 4));
        s.shell.Press(at[0].first, at[0].second);
        for (auto p : at) s.shell.MoveTo(p.first, p.second), s.shell.Tick();
        s.shell.Release(at.back().first, at.back().second);
        s.shell.Tick();
    };
    waitUntil(128);
    stroke({{380, 160}, {350, 160}, {320, 160}, {285, 160}});  // across the chest, right arm
    stroke({{205, 200}, {205, 230}, {205, 265}});              // left forearm
    stroke({{355, 290}, {385, 300}});                          // right thigh
    stroke({{335, 80}, {335, 120}});                           // neck
    s.Choose(Velko::kMenuEditMask);
    stroke({{310, 195}, {310, 145}, {335, 145}, {335, 195}});  // a mask on the spine
    s.Choose(Velko::kMenuEditMask);
    // The spine three bones later and the right upper arm two earlier: the mask now hides
    // the chest line where they cross; either change alone would leave it drawn over the mask
    s.shell.MoveTo(322, 185);
    s.shell.Tick();
    for (int key : {'+', '+', '+'}) s.shell.KeyPress(key);
    s.shell.MoveTo(370, 154);
    s.shell.Tick();
    for (int key : {'-', '-'}) s.shell.KeyPress(key);
    // The icon up by the head, the skull chosen from its menu
    s.shell.DragFromTo(35, 445, 185, 45, 10);
    s.shell.Wait(1);
    s.shell.Click(185, 45);
    s.shell.Click(185, 165);
    ASSERT_EQ(s.Doll().icon.GetIcon(), GIconTable::ResolveIcon("skull"));
    // Pose 4 (the first edit pose) with the right hand raised, Tab to pose 5 for the left
    // hand, a click on thumbnail 6 for the right hand lowered again
    auto moveJoint = [&](int j, int dx, int dy) {
        fPoint2 p = s.JointAt(j);
        s.shell.DragFromTo((int)p.x, (int)p.y, (int)p.x + dx, (int)p.y + dy, 10);
        s.shell.Tick(90);
    };
    moveJoint(kRightHand, 60, -80);
    s.shell.KeyPress(9);
    s.shell.Tick(30);
    moveJoint(kLeftHand, -60, -80);
    s.shell.Click(645, 255);
    s.shell.Tick(30);
    moveJoint(kRightHand, -20, 60);
    for (int p = 4; p <= 6; p++) ASSERT_EQ(s.Doll().poses[p].njoints, 11) << p;
    // Which pose records is the editor's, like the selection, and a document opens with none:
    // a double click on the thumbnail ends the recording, Home Position the seek it locks
    s.shell.DoubleClick(645, 255);
    s.Choose(Velko::kMenuHomePosition);
    s.shell.Tick(90);
    ASSERT_EQ(s.Doll().GetEditPose(), -1);

    // Mode m is drawn at base + 4 m (plus a tick) with the pointer at rest in an empty spot
    auto modeFrame = [&](int m, float base, const char* when) {
        s.ChooseMode(m);
        s.shell.MoveTo(560, 460);
        s.shell.Tick(30);
        waitUntil(base + 4 * m);
        s.shell.Tick();
        return WholeFrame("menu-reopened-mode" + std::to_string(m) + "-" + when + ".png");
    };
    const float before = 12 * std::ceil((s.shell.now + 3) / 12);
    std::vector<std::vector<unsigned char>> saved;
    for (int m = 0; m < 5; m++) {
        saved.push_back(modeFrame(m, before, "saved"));
        if (m != 1) continue;
        // Drawn in Draw: the chest line beside the mask, and not where they overlap
        GLTestContext& gl = GLTestContext::Get();
        EXPECT_GT(gl.CountPixels(345, 150, 355, 170, RGB8{128, 128, 128}), 5);
        EXPECT_EQ(gl.CountPixels(323, 150, 333, 170, RGB8{128, 128, 128}), 0);
    }
    ASSERT_EQ(s.Doll().GetSeekPose(), -1);
    ASSERT_EQ(s.in->SelectedLine(), nullptr);
    s.files.next = "doll.velko";
    s.Choose(Velko::kMenuSaveAs);
    s.Choose(Velko::kMenuNew);
    waitUntil(4 * std::ceil(s.shell.now / 4));
    s.Choose(Velko::kMenuOpen);
    ASSERT_EQ(s.Doll().GetNumLines(), 5);
    const float after = before + 12 * std::ceil((s.shell.now + 3 - before) / 12);
    ASSERT_LT(after + 20, 256);
    for (int m = 0; m < 5; m++) {
        std::vector<unsigned char> opened = modeFrame(m, after, "opened");
        int differ = 0;
        for (size_t i = 0; i < opened.size(); i += 3)
            differ += memcmp(&opened[i], &saved[m][i], 3) != 0;
        EXPECT_EQ(differ, 0) << "pixels differ in mode " << m;
    }
}

// The name Save writes to, the bytes last saved and the title always belong to the doll on
// screen: New, Open and a restored copy begin a history of their own (there is nothing to
// undo into another document's doll), and a document's path is kept absolute, so changing
// the working folder never points it at another file
TEST_F(MenuCommands, SaveNeverWritesOneDocumentsDollIntoAnotherDocumentsFile) {
    FolderFiles state;
    const std::string folder = state.Path("velko");
    const fs::path cwd = fs::current_path();
    MenuSession s(true, true, nullptr, folder.c_str());
    s.ChooseMode(kDrawItem);
    s.Sketch(400, 200, 400, 260);
    s.files.next = "b.velko";
    s.Choose(Velko::kMenuSaveAs);
    const std::string b = s.files.Contents("b.velko");
    s.files.answer = AppFiles::discardChanges;
    s.Choose(Velko::kMenuNew);
    s.Sketch(240, 200, 240, 260);
    s.shell.Tick(5);
    s.Choose(Velko::kMenuOpen);  // b.velko, the drawn line discarded
    s.shell.Tick(5);
    EXPECT_FALSE(s.in->History().CanUndo()) << s.in->History().GetUndoLabel();
    s.editor->MenuInvoked(Velko::kMenuUndo);  // as if the disabled item were delivered
    s.shell.Tick(5);
    s.Choose(Velko::kMenuSave);
    EXPECT_TRUE(s.files.Contents("b.velko") == b) << "another doll saved over b.velko";
    EXPECT_EQ(s.shell.title, "b.velko - Velko");

    // Copies left by killed programs: one of c.velko, one naming a relative path, which
    // could be any file; that one comes back untitled
    s.files.Put("c.velko", b);
    const std::string leftBehind = "velko recovery 1\n" + s.files.Path("c.velko") + "\n";
    fs::create_directories(folder);
    std::ofstream(fs::path(folder) / "1.recovery") << leftBehind << b;
    MenuSession restored(true, true, nullptr, folder.c_str(), AppFiles::restoreRecovery);
    restored.shell.Tick(5);
    EXPECT_EQ(restored.shell.title, "c.velko \u2022 - Velko");
    restored.editor->MenuInvoked(Velko::kMenuUndo);
    restored.shell.Tick(5);
    restored.Choose(Velko::kMenuSave);
    EXPECT_TRUE(s.files.Contents("c.velko") == b) << "another doll saved over c.velko";
    std::ofstream(fs::path(folder) / "2.recovery") << "velko recovery 1\nrel.velko\n" << b;
    MenuSession relative(true, true, nullptr, folder.c_str(), AppFiles::restoreRecovery);
    relative.Choose(Velko::kMenuSave);
    EXPECT_EQ(relative.files.asked.back(), "save  Untitled.velko");

    // A name given relative to the folder the program started in stays in that folder
    fs::create_directories(s.files.dir / "A");
    fs::create_directories(s.files.dir / "B");
    s.files.Put("B/doll.velko", b);
    fs::current_path(s.files.dir / "A");
    MenuSession named(true, true, "doll.velko");
    fs::current_path(s.files.dir / "B");
    named.Sketch(240, 200, 240, 260);
    named.Choose(Velko::kMenuSave);
    fs::current_path(cwd);
    EXPECT_EQ(named.files.asked.size(), 0u);
    EXPECT_TRUE(s.files.Contents("B/doll.velko") == b) << "saved in the folder of the moment";
    EXPECT_NE(s.files.Contents("A/doll.velko").find("\tlines {\n\t\tline {"), std::string::npos);
}

// Unsaved work is copied to the state folder (at once, then never more than 5 s behind) and
// the copy goes when the work is saved. A copy that no running editor holds is offered at
// start: Restore brings the doll back as unsaved work on its document, Discard deletes the
// copy, and closing the question keeps it for a later start.
TEST_F(MenuCommands, UnsavedWorkIsCopiedUntilSavedAndACopyLeftBehindIsOfferedAtStart) {
    FolderFiles state;
    const std::string folder = state.Path("velko");
    auto copies = [&] {
        std::vector<fs::path> found;
        if (fs::exists(folder))
            for (auto& e : fs::directory_iterator(folder))
                if (e.path().extension() == ".recovery") found.push_back(e.path());
        return found;
    };
    std::string leftBehind;
    {
        MenuSession s(true, true, nullptr, folder.c_str());
        s.ChooseMode(kDrawItem);
        s.Sketch(400, 200, 400, 260);
        s.shell.Tick(5);
        s.in->Recovery()->Flush();
        ASSERT_EQ(copies().size(), 1u);

        s.files.next = "doll.velko";
        s.Choose(Velko::kMenuSaveAs);
        s.shell.Tick(5);
        s.in->Recovery()->Flush();
        EXPECT_TRUE(copies().empty()) << "saved: nothing to recover";

        // A change soon after a copy is copied within 5 s (Sketch waits 1 s of them)
        s.Sketch(240, 200, 240, 260);
        s.shell.Tick(5);
        s.Sketch(300, 240, 340, 250);
        s.shell.Tick(4 * 30 - 5);
        s.in->Recovery()->Flush();
        ASSERT_EQ(copies().size(), 1u);
        std::ifstream copy(copies()[0]);
        std::string text((std::istreambuf_iterator<char>(copy)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("\t340.000000 250.000000\n"), std::string::npos);  // its last point
        // Three copies that no running program holds, as a kill would leave them
        for (const char* name : {"a", "b", "c"})
            fs::copy_file(copies()[0], fs::path(folder) / (std::string(name) + ".recovery"));
        std::ifstream in(copies()[0]);
        leftBehind.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(copies().size(), 3u) << "a clean exit takes its own copy away";

    MenuSession later(true, true, nullptr, folder.c_str(), AppFiles::keepRecovery);
    EXPECT_EQ(later.files.asked, std::vector<std::string>{"restore doll.velko"});
    EXPECT_EQ(later.Doll().GetNumLines(), 0);
    EXPECT_EQ(copies().size(), 3u);

    MenuSession discarded(true, true, nullptr, folder.c_str(), AppFiles::discardRecovery);
    EXPECT_EQ(discarded.files.asked.size(), 3u) << "each copy in turn";
    EXPECT_TRUE(copies().empty());
    EXPECT_EQ(discarded.Doll().GetNumLines(), 0);

    for (const char* name : {"a", "b"})
        std::ofstream(fs::path(folder) / (std::string(name) + ".recovery")) << leftBehind;
    MenuSession restored(true, true, nullptr, folder.c_str(), AppFiles::restoreRecovery);
    EXPECT_EQ(restored.files.asked.size(), 1u) << "one doll at a time";
    EXPECT_EQ(restored.Doll().GetNumLines(), 3);
    restored.shell.Tick(5);
    EXPECT_EQ(restored.shell.title, "doll.velko \u2022 - Velko");
    EXPECT_FALSE(restored.in->History().CanUndo()) << "a restored doll begins its history";
    restored.in->Recovery()->Flush();
    EXPECT_EQ(copies().size(), 2u) << "the other left behind, and the restored work's own";

    // With no dialog to ask, the newest copy left behind comes back by itself, unsaved, and
    // the status line says so; the older one waits
    std::string newer = leftBehind;
    newer.replace(newer.find('\n') + 1, newer.find(".velko") + 6 - newer.find('\n') - 1,
                  "/elsewhere/new.velko");
    std::ofstream(fs::path(folder) / "n.recovery") << newer;
    for (auto& c : copies())
        if (c.filename() != "n.recovery")
            fs::last_write_time(c, fs::last_write_time(c) - std::chrono::hours(1));
    MenuSession blind(false, true, nullptr, folder.c_str());
    EXPECT_EQ(blind.Doll().GetNumLines(), 3);
    EXPECT_EQ(blind.shell.title, "new.velko \u2022 - Velko");
    EXPECT_EQ(blind.in->StatusText(),
              "Restored new.velko, unsaved work kept when Velko last ended");
    EXPECT_FALSE(fs::exists(fs::path(folder) / "n.recovery"));
}

}  // namespace

// The shell's menu apart from any toolkit: what its entries show and how Ctrl chords
// become items before a key can reach the applet.
#include <gtest/gtest.h>

#include "PopupMenu.h"
#include "RecordingApplet.h"
#include "ShellMenu.h"

namespace {

// Just enough of a shell for the menu to deliver items to
class MenuOwner : public RecordingApplet {
public:
    MenuOwner() : RecordingApplet(nullptr) {}
};

struct FileMenu {
    MenuOwner owner;
    ShellMenu menu{&owner};
    bool mask = false;

    FileMenu() {
        menu.BeginSubmenu("File");
        menu.AddItem("Open\u2026", 1, 'O', nullptr);
        menu.AddItem("Save", 6, 'S', nullptr);
        menu.AddItem("Save As\u2026", 2, 'S' | kShortcutShift, nullptr);
        menu.AddSeparator();
        menu.AddItem("Home Position", 3, 'H', nullptr);
        menu.AddItem("Edit Mask", 4, 'M', &mask);
        menu.AddItem("Tab Test", 7, 'I', nullptr);
        menu.EndSubmenu();
    }
    const ShellMenu::Entry& Item(int id) const {
        for (const ShellMenu::Entry& e : menu.GetEntries())
            if (e.kind == ShellMenu::Entry::item && e.id == id) return e;
        ADD_FAILURE() << "no item " << id;
        static const ShellMenu::Entry none{ShellMenu::Entry::separator, "", -1, 0, nullptr, true};
        return none;
    }
};

const int kShift = 1, kControl = 2;

TEST(ShellMenu, TextsAreAsciiAndShortcutsReadAsChordsAndAvailabilityIsNoNewStructure) {
    FileMenu m;
    EXPECT_EQ(ShellMenu::AsciiText(m.Item(1).label + " \u2022"), "Open... *");
    // What the status line draws: Latin-1 kept, a bad byte shown as the title shows it
    EXPECT_EQ(ShellMenu::Latin1Text("caf\u00e9 \u00a0\u00ff caf\xe9 \u2026\u2022 \u4e2d\U0001F600"),
              "caf\xe9 \xa0\xff caf? ...* ??");
    EXPECT_EQ(ShellMenu::ShortcutText(m.Item(2).shortcut), "Ctrl+Shift+S");
    unsigned structure = m.menu.GetStructureVersion();
    m.menu.EnableItem(1, false);
    EXPECT_EQ(m.menu.GetStructureVersion(), structure);
}

TEST(ShellMenu, CtrlChordsChooseTheirItemsAndFlipTheCheckFirst) {
    FileMenu m;
    EXPECT_TRUE(m.menu.HandleKey(19, kControl));           // Ctrl+S
    EXPECT_TRUE(m.menu.HandleKey(19, kControl | kShift));  // Ctrl+Shift+S
    EXPECT_TRUE(m.menu.HandleKey(8, kControl));            // Ctrl+H arrives as Backspace
    EXPECT_TRUE(m.menu.HandleKey(13, kControl));           // Ctrl+M arrives as Return
    EXPECT_TRUE(m.mask);
    std::vector<std::string> want = {"menu 6", "menu 2", "menu 3", "menu 4"};
    EXPECT_EQ(m.owner.events, want);
}

// Redo is both Ctrl+Shift+Z and Ctrl+Y, and its label names the step it would take
TEST(ShellMenu, AnItemTakesASecondShortcutAndANewLabelUntilTheMenuIsCleared) {
    FileMenu m;
    m.menu.AddItem("Redo", 11, 'Z' | kShortcutShift, nullptr);
    m.menu.AddShortcut(11, 'Y');
    unsigned structure = m.menu.GetStructureVersion();
    m.menu.SetItemLabel(11, "Redo Draw Line");
    EXPECT_EQ(m.Item(11).label, "Redo Draw Line");
    EXPECT_EQ(m.menu.GetStructureVersion(), structure);
    EXPECT_TRUE(m.menu.HandleKey(25, kControl));           // Ctrl+Y
    EXPECT_TRUE(m.menu.HandleKey(26, kControl | kShift));  // Ctrl+Shift+Z
    std::vector<std::string> want = {"menu 11", "menu 11"};
    EXPECT_EQ(m.owner.events, want);
    m.menu.Clear();
    EXPECT_EQ(m.menu.FindShortcut('Y'), -1);
}

TEST(ShellMenu, ControlCharactersNeverPassAndPlainKeysAlwaysDo) {
    FileMenu m;
    m.menu.EnableItem(7, false);
    // A disabled item's chord is taken and chooses nothing, but the applet hears of it; a
    // chord no item has is taken silently
    EXPECT_TRUE(m.menu.HandleKey(9, kControl));
    EXPECT_TRUE(m.menu.HandleKey(10, kControl));  // Ctrl+J
    EXPECT_EQ(m.owner.events, std::vector<std::string>{"refused 7"});
    m.owner.events.clear();
    // Printable chords and unmodified keys are the applet's
    EXPECT_FALSE(m.menu.HandleKey('+', kControl));
    EXPECT_FALSE(m.menu.HandleKey(8, 0));
    EXPECT_FALSE(m.menu.HandleKey(19, kShift));
    EXPECT_FALSE(m.menu.HandleKey(1000, kControl));
    EXPECT_TRUE(m.owner.events.empty());
    // Choosing by id obeys the same rules
    EXPECT_FALSE(m.menu.Choose(7));
    EXPECT_FALSE(m.menu.Choose(-1));
    EXPECT_TRUE(m.menu.Choose(4));
    EXPECT_TRUE(m.mask);
}

// ---- the menu shown in the window ----------------------------------------------------------

// The editor's shape: "File" and "Edit", a disabled item, a separator and a check flag
struct EditorMenu {
    MenuOwner owner;
    ShellMenu menu{&owner};
    bool mask = false;
    PopupMenu popup{&menu};
    const fRect window{0, 0, 800, 480};

    EditorMenu() {
        menu.BeginSubmenu("File");
        menu.AddItem("New", 0, 'N', nullptr);
        menu.AddItem("Open\u2026", 1, 'O', nullptr);
        menu.AddItem("Save As\u2026", 2, 'S' | kShortcutShift, nullptr);
        menu.AddSeparator();
        menu.AddItem("Edit Mask", 4, 'M', &mask);
        menu.EndSubmenu();
        menu.BeginSubmenu("Edit");
        menu.AddItem("Undo", 10, 'Z', nullptr);
        menu.EndSubmenu();
        menu.EnableItem(1, false);
    }
    const PopupMenu::Level& Level(size_t i) const { return popup.GetLevels().at(i); }
    fPoint2 Row(size_t level, size_t row) const {
        return Level(level).rows.at(row).rect.GetCenter();
    }
    void Click(fPoint2 p) {
        popup.Press(p);
        popup.Release(p);
    }
};

TEST(PopupMenu, OpensBesideThePointerInsideTheWindowAndSubmenusBesideTheirRow) {
    EditorMenu m;
    m.popup.OpenAt(fPoint2(100, 100), m.window, true);
    ASSERT_EQ(m.Level(0).rows.size(), 2u);  // File, Edit
    EXPECT_EQ(m.Level(0).box.GetTopLeft(), fPoint2(101, 101));
    m.popup.PointerAt(m.Row(0, 0));
    ASSERT_EQ(m.popup.GetLevels().size(), 2u) << "hovering File opens its items";
    EXPECT_EQ(m.Level(1).box.left, m.Level(0).box.right - 2);
    EXPECT_EQ(m.Level(1).rows[0].rect.top, m.Level(0).rows[0].rect.top);
    // Wide enough for the longest label (7 units a character) with its shortcut beside it
    EXPECT_GE(m.Level(1).box.GetWidth(), 22 + 7 * 10 + 28 + 7 * 12 + 18);
    // By the window's far corner: on the pointer's other side, the submenu on the left
    m.popup.OpenAt(fPoint2(790, 470), m.window, false);
    m.popup.PointerAt(m.Row(0, 0));
    EXPECT_EQ(m.Level(0).box.right, 789);
    EXPECT_EQ(m.Level(0).box.bottom, 469);
    EXPECT_EQ(m.Level(1).box.right, m.Level(0).box.left + 2);
    EXPECT_LE(m.Level(1).box.bottom, 480);
}

TEST(PopupMenu, TheRowUnderThePointerIsLitAndAClickChoosesOnlyAnEnabledItem) {
    EditorMenu m;
    m.popup.OpenAt(fPoint2(100, 100), m.window, true);
    m.popup.Release(fPoint2(100, 100));  // the click that opened it chooses nothing
    EXPECT_TRUE(m.popup.GetIsOpen());
    m.popup.PointerAt(m.Row(0, 1));  // Edit, then File: each shows its own items
    m.popup.PointerAt(m.Row(0, 0));
    ASSERT_EQ(m.Level(1).rows.size(), 5u);
    m.popup.PointerAt(m.Row(1, 1));  // "Open...", disabled: not lit, not chosen
    EXPECT_EQ(m.Level(1).highlight, -1);
    m.Click(m.Row(1, 1));
    m.Click(m.Row(1, 3));  // the separator
    EXPECT_TRUE(m.popup.GetIsOpen());
    m.popup.PointerAt(m.Row(1, 4));
    EXPECT_EQ(m.Level(1).highlight, 4);
    m.Click(m.Row(1, 4));  // "Edit Mask": flipped before it is delivered
    EXPECT_FALSE(m.popup.GetIsOpen());
    EXPECT_TRUE(m.mask);
    // A press off the menu closes it without choosing
    m.popup.OpenAt(fPoint2(100, 100), m.window, false);
    m.popup.Press(fPoint2(600, 400));
    EXPECT_FALSE(m.popup.GetIsOpen());
    EXPECT_EQ(m.owner.events, std::vector<std::string>{"menu 4"});
}

TEST(PopupMenu, KeysMoveThroughRowsAndSubmenusSkippingWhatCannotBeChosen) {
    EditorMenu m;
    m.popup.OpenAt(fPoint2(100, 100), m.window, false);
    struct {
        int key;
        size_t levels;
        int highlight;  // of the innermost level
    } steps[] = {
        {kDownArrowKey, 1, 0},   // File
        {kRightArrowKey, 2, 0},  // its items open on New
        {kDownArrowKey, 2, 2},   // past the disabled Open... to Save As...
        {kDownArrowKey, 2, 4},   // past the separator to Edit Mask
        {kDownArrowKey, 2, 0},   // round to New
        {kUpArrowKey, 2, 4},     // and back
        {kLeftArrowKey, 1, 0},   // File's items close
        {kDownArrowKey, 1, 1},   // Edit
        {13, 2, 0},              // Return opens it on Undo
    };
    for (const auto& s : steps) {
        m.popup.Key(s.key);
        ASSERT_EQ(m.popup.GetLevels().size(), s.levels) << "key " << s.key;
        EXPECT_EQ(m.popup.GetLevels().back().highlight, s.highlight) << "key " << s.key;
    }
    m.popup.Key(13);
    EXPECT_FALSE(m.popup.GetIsOpen());
    m.popup.OpenAt(fPoint2(100, 100), m.window, false);
    m.popup.Key(27);
    EXPECT_FALSE(m.popup.GetIsOpen()) << "Escape";
    EXPECT_EQ(m.owner.events, std::vector<std::string>{"menu 10"});
}

TEST(PopupMenu, FollowsNewLabelsAndClosesWhenTheMenuIsRebuilt) {
    EditorMenu m;
    m.popup.OpenAt(fPoint2(100, 100), m.window, false);
    m.popup.PointerAt(m.Row(0, 1));  // Edit's items
    float width = m.Level(1).box.GetWidth();
    m.menu.SetItemLabel(10, "Undo Draw Line With A Long Name");
    m.popup.Refresh();
    EXPECT_GT(m.Level(1).box.GetWidth(), width);
    m.menu.AddSeparator();
    m.popup.Refresh();
    EXPECT_FALSE(m.popup.GetIsOpen());
}

}  // namespace

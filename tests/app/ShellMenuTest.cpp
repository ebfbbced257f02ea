// The shell's menu apart from any toolkit: what its entries show and how Ctrl chords
// become items before a key can reach the applet.
#include <gtest/gtest.h>

#include "ShellMenu.h"
#include "RecordingApplet.h"

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
    std::string Label(int id) const { return ShellMenu::DisplayLabel(Item(id)); }
};

const int kShift = 1, kControl = 2;

TEST(ShellMenu, LabelsShowTheShortcutTheCheckStateAndUnavailableItemsInAscii) {
    FileMenu m;
    EXPECT_EQ(m.Label(1), "Open...   Ctrl+O");
    EXPECT_EQ(m.Label(2), "Save As...   Ctrl+Shift+S");
    EXPECT_EQ(m.Label(4), "Edit Mask: Off   Ctrl+M");
    m.mask = true;
    EXPECT_EQ(m.Label(4), "Edit Mask: On   Ctrl+M");
    unsigned structure = m.menu.GetStructureVersion();
    m.menu.EnableItem(1, false);
    EXPECT_EQ(m.Label(1), "Open... (unavailable)   Ctrl+O");
    EXPECT_EQ(m.menu.GetStructureVersion(), structure) << "a label change is not a new menu";
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
    EXPECT_EQ(m.Label(11), "Redo Draw Line   Ctrl+Shift+Z");
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
    // A disabled item's chord is taken and does nothing; so is a chord no item has
    EXPECT_TRUE(m.menu.HandleKey(9, kControl));
    EXPECT_TRUE(m.menu.HandleKey(10, kControl));  // Ctrl+J
    EXPECT_TRUE(m.owner.events.empty());
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

}  // namespace

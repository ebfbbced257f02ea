// PopupMenu: the shell's menu as the program shows it inside its own window. It lays out the
// levels of a ShellMenu (the top level and each submenu opened beside its row) as boxes of
// rows, follows the pointer and the keys, and chooses items through ShellMenu::Choose, so
// the applet's ids, labels, shortcuts, check flags and disabled items mean what they always
// meant. It draws nothing (PopupMenuView draws it), so all of it runs without a window.
//
// World units: window pixels at zoom 1, origin top left, y down. The ShellMenu is not owned.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ShellMenu.h"
#include "fRect.h"

class PopupMenu {
public:
    // Row heights, the box's padding and the room beside the texts (units)
    static constexpr float kRowHeight = 20;
    static constexpr float kSeparatorHeight = 9;
    static constexpr float kPadding = 3;
    static constexpr float kCheckGutter = 22;  // left of a label, where a check mark goes
    static constexpr float kShortcutGap = 28;  // between a label and its shortcut
    static constexpr float kRightGutter = 18;  // right of the texts, where a submenu arrow goes
    static constexpr float kMinWidth = 120;

    struct Row {
        size_t entry;  // index of the item, separator or submenu start in the menu's entries
        fRect rect;
    };
    struct Level {
        size_t first;   // entry index of its first row
        int parentRow;  // the row of the level before that opened it; -1 for the top level
        fRect box;
        std::vector<Row> rows;
        int highlight = -1;  // index into rows, or -1
    };

    explicit PopupMenu(ShellMenu* menu);

    // How wide a text is drawn (units); until set, 7 units a character
    void SetTextMeasure(std::function<float(const std::string&)> measure);

    bool GetIsOpen() const { return !levels.empty(); }
    const std::vector<Level>& GetLevels() const { return levels; }
    const ShellMenu& GetMenu() const { return *menu; }
    // What a row shows: its label in the fonts' ASCII, and its shortcut ("Ctrl+Shift+S")
    std::string GetLabel(const Row& row) const;
    std::string GetShortcut(const Row& row) const;

    // Opens the top level just below and right of p, moved left or up as needed to lie inside
    // window; nothing when the menu is empty. byPress: a button held at p opened it, so its
    // release there does not choose.
    void OpenAt(fPoint2 p, fRect window, bool byPress);
    void Close();

    // The pointer moved to p: the row under it is highlighted, a submenu row opens its
    // submenu and closes any deeper one. A pointer off the menu changes nothing.
    void PointerAt(fPoint2 p);
    // A button went down at p: off the menu it closes the menu
    void Press(fPoint2 p);
    // A button came up at p: the enabled item under it is chosen
    void Release(fPoint2 p);
    // Escape closes; Up and Down move through the innermost level's rows, Right opens the
    // highlighted submenu and Left closes it; Return chooses. Every key is taken while open.
    void Key(int key);
    // Follows changed labels and availability; a menu whose structure changed is closed
    void Refresh();

    // The level and row at p, innermost level first; false when p is on no row
    bool FindRow(fPoint2 p, size_t* level, int* row) const;

private:
    const ShellMenu::Entry& EntryOf(const Row& row) const;
    bool IsSelectable(const Row& row) const;
    // Lays out level i (its rows and box) from its anchor
    void Layout(size_t i);
    void OpenSubmenu(size_t level, int row);
    // Highlights the row at p and opens its submenu
    void Hover(fPoint2 p);
    void MoveHighlight(int step);
    // Closes the menu and delivers the item of row
    void ChooseRow(const Row& row);

    ShellMenu* menu;
    std::function<float(const std::string&)> measure;
    std::vector<Level> levels;
    fRect window;
    fPoint2 anchor;  // where the top level opened
    unsigned structure = 0;
    bool pressAtAnchorPending = false;
    fPoint2 lastPointer;
};

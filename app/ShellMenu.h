// ShellMenu: the menu a shell offers its applet, kept apart from any toolkit. The applet
// describes its items through AppMenu; the shell shows them (GetEntries, in the window by
// PopupMenu), delivers a chosen item with Choose, and turns Ctrl chords into items with
// HandleKey before a key reaches the applet.
#pragma once

#include <string>
#include <vector>

#include "App.h"

class ShellMenu : public AppMenu {
public:
    struct Entry {
        enum Kind { item, separator, beginSubmenu, endSubmenu } kind;
        std::string label;  // item label or submenu title, as the applet gave it
        int id;             // item id; -1 for the other kinds
        int shortcut;       // kShortcutShift and a letter, or 0
        bool* check;        // check flag, or null
        bool enabled;
    };

    // The App that receives chosen items when no explicitListener is set; not owned
    explicit ShellMenu(App* owner) : owner(owner) {}

    // AppMenu
    void Clear() override;
    void BeginSubmenu(const char* title) override;
    void AddItem(const char* label, int id, int shortcut, bool* checkFlag) override;
    void AddSeparator() override;
    void EndSubmenu() override;
    void EnableItem(int id, bool enabled) override;
    void AddShortcut(int id, int shortcut) override;
    void SetItemLabel(int id, const char* label) override;

    const std::vector<Entry>& GetEntries() const { return entries; }
    bool GetIsEmpty() const { return entries.empty(); }
    // When the whole menu is one submenu, the index of its end; 0 otherwise
    size_t GetSoleSubmenuEnd() const;
    // Changes whenever the menu's structure changes (not its labels), so what shows the menu
    // knows to lay it out again
    unsigned GetStructureVersion() const { return structureVersion; }

    // What a person chooses: flips the item's check flag, then delivers the item to the
    // listener. False, and nothing happens, for an unknown or disabled item.
    bool Choose(int id);
    // A key with the modifiers captured with it (1 shift, 2 control, 4 alt). A Ctrl chord
    // that is an item's shortcut chooses that item. Any Ctrl chord that arrives as a control
    // character (Ctrl+H as 8, Ctrl+I as 9, Ctrl+M as 13) is taken too, so it never reaches
    // the applet as Backspace, Tab or Return. A disabled item's chord chooses nothing; the
    // listener's MenuShortcutRefused hears of it. True when the key was taken.
    bool HandleKey(int key, int modifiers);
    // Id of the item with this shortcut, or -1
    int FindShortcut(int shortcut) const;

    // UTF-8 text in the ASCII the toolkit's fonts and window names hold: the ellipsis as
    // three stops, the bullet as '*', any other non-ASCII character as '?'
    static std::string AsciiText(const std::string& utf8);
    // Any text (a message naming a file may hold any bytes) in the Latin-1 the toolkit's
    // bitmap fonts draw: characters up to U+00FF as they are, the ellipsis and the bullet as
    // above, and anything else, a byte that is not UTF-8 too, as '?'
    static std::string Latin1Text(const std::string& text);
    // "Ctrl+S", "Ctrl+Shift+S"; "" for none
    static std::string ShortcutText(int shortcut);

private:
    Entry* FindItem(int id);

    App* owner;
    std::vector<Entry> entries;
    std::vector<std::pair<int, int>> extraShortcuts;  // shortcut, item id
    unsigned structureVersion = 0;
};

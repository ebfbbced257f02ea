#include "ShellMenu.h"

#include <cctype>

#include "DisplayText.h"

namespace {
const int kModShift = 1;
const int kModControl = 2;
const int kDeleteChar = 127;
}  // namespace

void ShellMenu::Clear() {
    entries.clear();
    extraShortcuts.clear();
    structureVersion++;
}

void ShellMenu::BeginSubmenu(const char* title) {
    entries.push_back({Entry::beginSubmenu, title ? title : "", -1, 0, nullptr, true});
    structureVersion++;
}

void ShellMenu::AddItem(const char* label, int id, int shortcut, bool* checkFlag) {
    entries.push_back({Entry::item, label ? label : "", id, shortcut, checkFlag, true});
    structureVersion++;
}

void ShellMenu::AddSeparator() {
    entries.push_back({Entry::separator, "", -1, 0, nullptr, true});
    structureVersion++;
}

void ShellMenu::EndSubmenu() {
    entries.push_back({Entry::endSubmenu, "", -1, 0, nullptr, true});
    structureVersion++;
}

void ShellMenu::EnableItem(int id, bool enabled) {
    // Shown in the label only, so the structure stays
    if (Entry* e = FindItem(id)) e->enabled = enabled;
}

ShellMenu::Entry* ShellMenu::FindItem(int id) {
    for (Entry& e : entries)
        if (e.kind == Entry::item && e.id == id) return &e;
    return nullptr;
}

size_t ShellMenu::GetSoleSubmenuEnd() const {
    if (entries.empty() || entries.front().kind != Entry::beginSubmenu) return 0;
    int depth = 0;
    for (size_t i = 0; i < entries.size(); i++) {
        if (entries[i].kind == Entry::beginSubmenu) depth++;
        if (entries[i].kind == Entry::endSubmenu && --depth == 0)
            return i + 1 == entries.size() ? i : 0;
    }
    return 0;
}

bool ShellMenu::Choose(int id) {
    Entry* e = FindItem(id);
    if (!e || !e->enabled) return false;
    if (e->check) *e->check = !*e->check;
    App* listener = explicitListener ? explicitListener : owner;
    if (listener) listener->MenuInvoked(id);
    return true;
}

int ShellMenu::FindShortcut(int shortcut) const {
    if (shortcut == 0) return -1;
    for (const Entry& e : entries)
        if (e.kind == Entry::item && e.shortcut == shortcut) return e.id;
    for (const auto& extra : extraShortcuts)
        if (extra.first == shortcut) return extra.second;
    return -1;
}

void ShellMenu::AddShortcut(int id, int shortcut) {
    if (shortcut != 0) extraShortcuts.push_back({shortcut, id});
}

void ShellMenu::SetItemLabel(int id, const char* label) {
    // Shown in the label only, so the structure stays
    if (Entry* e = FindItem(id)) e->label = label ? label : "";
}

bool ShellMenu::HandleKey(int key, int modifiers) {
    if (!(modifiers & kModControl)) return false;
    if (key < 0 || key > 255) return false;  // arrows and other special keys pass
    // Ctrl+letter arrives as the control character 1-26
    int letter = key >= 1 && key <= 26 ? 'A' + key - 1 : std::toupper(key);
    int shortcut = letter | ((modifiers & kModShift) ? kShortcutShift : 0);
    int id = FindShortcut(shortcut);
    if (id >= 0) {
        // A disabled item's chord is still taken: nothing is chosen, and the listener hears
        // of it
        if (!Choose(id)) {
            App* listener = explicitListener ? explicitListener : owner;
            if (listener) listener->MenuShortcutRefused(id);
        }
        return true;
    }
    return key < 32 || key == kDeleteChar;
}

std::string ShellMenu::ShortcutText(int shortcut) {
    if (shortcut == 0) return "";
    std::string s = "Ctrl+";
    if (shortcut & kShortcutShift) s += "Shift+";
    s += (char)(shortcut & 0xff);
    return s;
}

std::string ShellMenu::Latin1Text(const std::string& text) {
    // Valid first, so that every sequence below is well formed (bad bytes are U+FFFD)
    const std::string utf8 = ValidUtf8ForDisplay(text);
    std::string s;
    for (size_t i = 0; i < utf8.size(); i++) {
        unsigned char c = (unsigned char)utf8[i];
        if (c < 0x80) {
            s += (char)c;
        } else if (c == 0xC2 || c == 0xC3) {  // U+0080 .. U+00FF
            s += (char)(((c & 0x03) << 6) | ((unsigned char)utf8[++i] & 0x3F));
        } else if ((c & 0xC0) != 0x80) {
            s += AsciiText(utf8.substr(i, c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2));
        }
    }
    return s;
}

std::string ShellMenu::AsciiText(const std::string& utf8) {
    std::string s;
    for (size_t i = 0; i < utf8.size(); i++) {
        unsigned char c = (unsigned char)utf8[i];
        if (c < 0x80) {
            s += (char)c;
        } else if (utf8.compare(i, 3, "\xE2\x80\xA6") == 0) {  // ellipsis U+2026
            s += "...";
            i += 2;
        } else if (utf8.compare(i, 3, "\xE2\x80\xA2") == 0) {  // bullet U+2022
            s += '*';
            i += 2;
        } else if ((c & 0xC0) != 0x80) {
            s += '?';  // one mark per character, not per byte
        }
    }
    return s;
}

#include "PopupMenu.h"

#include <algorithm>

#include "App.h"

namespace {

const int kEscapeKey = 27;
const int kReturnKey = 13;
const int kLineFeedKey = 10;
const float kDefaultCharWidth = 7;
// A submenu overlaps its parent's box by this much, so the two read as one piece
const float kSubmenuOverlap = 2;

// Index just past the entries of the level that starts at first: its end entry, or the
// end of the list for the top level
size_t LevelEnd(const std::vector<ShellMenu::Entry>& entries, size_t first) {
    int depth = 0;
    for (size_t i = first; i < entries.size(); i++) {
        if (entries[i].kind == ShellMenu::Entry::beginSubmenu) depth++;
        if (entries[i].kind == ShellMenu::Entry::endSubmenu && depth-- == 0) return i;
    }
    return entries.size();
}

// Moves the span [*lo, *lo + size) inside [min, max], keeping *lo at min when it is larger
void KeepInside(float* lo, float size, float min, float max) {
    if (*lo + size > max) *lo = max - size;
    if (*lo < min) *lo = min;
}

}  // namespace

PopupMenu::PopupMenu(ShellMenu* menu) : menu(menu) {
    measure = [](const std::string& s) { return kDefaultCharWidth * (float)s.size(); };
}

void PopupMenu::SetTextMeasure(std::function<float(const std::string&)> m) {
    measure = std::move(m);
    if (GetIsOpen()) Refresh();
}

const ShellMenu::Entry& PopupMenu::EntryOf(const Row& row) const {
    return menu->GetEntries()[row.entry];
}

std::string PopupMenu::GetLabel(const Row& row) const {
    return ShellMenu::AsciiText(EntryOf(row).label);
}

std::string PopupMenu::GetShortcut(const Row& row) const {
    return ShellMenu::ShortcutText(EntryOf(row).shortcut);
}

bool PopupMenu::IsSelectable(const Row& row) const {
    const ShellMenu::Entry& e = EntryOf(row);
    return e.kind == ShellMenu::Entry::beginSubmenu ||
           (e.kind == ShellMenu::Entry::item && e.enabled);
}

void PopupMenu::OpenAt(fPoint2 p, fRect w, bool byPress) {
    levels.clear();
    if (menu->GetIsEmpty()) return;
    window = w;
    anchor = p;
    lastPointer = p;
    pressAtAnchorPending = byPress;
    structure = menu->GetStructureVersion();
    // A menu that is one submenu (a lone "File") shows its items at once
    Level top;
    top.first = menu->GetSoleSubmenuEnd() > 0 ? 1 : 0;
    top.parentRow = -1;
    levels.push_back(top);
    Layout(0);
}

void PopupMenu::Close() {
    levels.clear();
    pressAtAnchorPending = false;
}

void PopupMenu::Layout(size_t i) {
    const std::vector<ShellMenu::Entry>& entries = menu->GetEntries();
    Level& level = levels[i];
    level.rows.clear();
    size_t end = LevelEnd(entries, level.first);
    // Rows from y 0 first, moved into the box below
    float width = kMinWidth, y = 0;
    for (size_t e = level.first; e < end; e++) {
        Row row{e, fRect()};
        const ShellMenu::Entry& entry = entries[e];
        bool separator = entry.kind == ShellMenu::Entry::separator;
        float h = separator ? kSeparatorHeight : kRowHeight;
        row.rect = fRect(0, y, 0, y + h);
        y += h;
        if (!separator) {
            float w = kCheckGutter + measure(GetLabel(row)) + kRightGutter;
            std::string keys = GetShortcut(row);
            if (!keys.empty()) w += kShortcutGap + measure(keys);
            width = std::max(width, w);
        }
        level.rows.push_back(row);
        // A submenu is one row here; its entries belong to its own level
        if (entry.kind == ShellMenu::Entry::beginSubmenu) e = LevelEnd(entries, e + 1);
    }

    float height = y + 2 * kPadding;
    float left, top;
    if (level.parentRow < 0) {
        // Just off the pointer, so the press that opened it is not on a row; flipped to the
        // pointer's other side where the window ends
        left = anchor.x + 1;
        top = anchor.y + 1;
        if (left + width > window.right) left = anchor.x - 1 - width;
        if (top + height > window.bottom) top = anchor.y - 1 - height;
    } else {
        // Beside its row, on the right where it fits, else on the left
        const Level& parent = levels[i - 1];
        const fRect& r = parent.rows[(size_t)level.parentRow].rect;
        left = parent.box.right - kSubmenuOverlap;
        top = r.top - kPadding;
        if (left + width > window.right) left = parent.box.left + kSubmenuOverlap - width;
    }
    KeepInside(&left, width, window.left, window.right);
    KeepInside(&top, height, window.top, window.bottom);
    level.box = fRect(left, top, left + width, top + height);
    for (Row& row : level.rows) {
        row.rect.Shift(0, top + kPadding);
        row.rect.left = left;
        row.rect.right = left + width;
    }
}

void PopupMenu::Refresh() {
    if (!GetIsOpen()) return;
    if (menu->GetStructureVersion() != structure) {
        Close();
        return;
    }
    for (size_t i = 0; i < levels.size(); i++) Layout(i);
    // A row that became unavailable loses its highlight
    for (Level& level : levels)
        if (level.highlight >= 0 && !IsSelectable(level.rows[(size_t)level.highlight]))
            level.highlight = -1;
}

bool PopupMenu::FindRow(fPoint2 p, size_t* levelOut, int* rowOut) const {
    for (size_t i = levels.size(); i-- > 0;) {
        const Level& level = levels[i];
        if (!level.box.DoesContain(p)) continue;
        for (size_t r = 0; r < level.rows.size(); r++) {
            // Rows meet on a shared edge: the lower one takes it
            const fRect& rect = level.rows[r].rect;
            if (p.y >= rect.top && p.y < rect.bottom) {
                *levelOut = i;
                *rowOut = (int)r;
                return true;
            }
        }
        return false;  // on the box's padding
    }
    return false;
}

void PopupMenu::OpenSubmenu(size_t level, int row) {
    levels.resize(level + 1);
    Level sub;
    sub.first = levels[level].rows[(size_t)row].entry + 1;
    sub.parentRow = row;
    levels.push_back(sub);
    Layout(levels.size() - 1);
}

void PopupMenu::PointerAt(fPoint2 p) {
    // Only a move counts: a pointer resting on the menu leaves the keys' highlight alone
    if (!GetIsOpen() || (p.x == lastPointer.x && p.y == lastPointer.y)) return;
    lastPointer = p;
    Hover(p);
}

void PopupMenu::Hover(fPoint2 p) {
    size_t level = 0;
    int row = -1;
    if (!FindRow(p, &level, &row)) return;
    Level& l = levels[level];
    if (l.highlight == row && levels.size() > level + 1) return;  // its submenu stays
    levels.resize(level + 1);
    Level& here = levels[level];
    const Row& r = here.rows[(size_t)row];
    here.highlight = IsSelectable(r) ? row : -1;
    if (EntryOf(r).kind == ShellMenu::Entry::beginSubmenu) OpenSubmenu(level, row);
}

void PopupMenu::Press(fPoint2 p) {
    if (!GetIsOpen()) return;
    pressAtAnchorPending = false;
    size_t level = 0;
    int row = -1;
    if (!FindRow(p, &level, &row)) {
        // Off every row: off the menu it closes; on a box's padding nothing happens
        bool onABox = false;
        for (const Level& l : levels) onABox = onABox || l.box.DoesContain(p);
        if (!onABox) Close();
        return;
    }
    lastPointer = p;
    Hover(p);
}

void PopupMenu::Release(fPoint2 p) {
    if (!GetIsOpen()) return;
    if (pressAtAnchorPending) {
        pressAtAnchorPending = false;
        if (p.x == anchor.x && p.y == anchor.y) return;  // the click that opened the menu
    }
    size_t level = 0;
    int row = -1;
    if (!FindRow(p, &level, &row)) return;
    const Row r = levels[level].rows[(size_t)row];
    if (EntryOf(r).kind == ShellMenu::Entry::item && EntryOf(r).enabled) ChooseRow(r);
}

void PopupMenu::ChooseRow(const Row& row) {
    int id = EntryOf(row).id;
    // Closed first: what the item does (a dialog, a new document) happens without the menu
    Close();
    menu->Choose(id);
}

void PopupMenu::MoveHighlight(int step) {
    Level& level = levels.back();
    int n = (int)level.rows.size();
    int at = level.highlight;
    for (int tries = 0; tries < n; tries++) {
        if (at < 0)
            at = step > 0 ? 0 : n - 1;
        else
            at = ((at + step) % n + n) % n;
        if (IsSelectable(level.rows[(size_t)at])) {
            level.highlight = at;
            return;
        }
    }
}

void PopupMenu::Key(int key) {
    if (!GetIsOpen()) return;
    pressAtAnchorPending = false;
    Level& level = levels.back();
    const Row* highlighted = level.highlight >= 0 ? &level.rows[(size_t)level.highlight] : nullptr;
    bool onSubmenu = highlighted && EntryOf(*highlighted).kind == ShellMenu::Entry::beginSubmenu;
    switch (key) {
        case kEscapeKey:
            Close();
            break;
        case kDownArrowKey:
            MoveHighlight(1);
            break;
        case kUpArrowKey:
            MoveHighlight(-1);
            break;
        case kLeftArrowKey:
            if (levels.size() > 1) levels.pop_back();
            break;
        case kRightArrowKey:
        case kReturnKey:
        case kLineFeedKey:
            if (onSubmenu) {
                OpenSubmenu(levels.size() - 1, level.highlight);
                MoveHighlight(1);
            } else if (highlighted && key != kRightArrowKey && IsSelectable(*highlighted)) {
                ChooseRow(*highlighted);
            }
            break;
        default:
            break;
    }
}

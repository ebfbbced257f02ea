#include "PopupMenuView.h"

#include "fColor.h"
#include "graphicsUtilsGL.h"

namespace {

const float kShadowOffset = 3;
const float kTextBaselineUp = 6;  // from a row's bottom edge
const fColor kShadow(0.82f, 0.82f, 0.82f);
const fColor kText(0.1f, 0.1f, 0.1f);
const fColor kShortcutText(0.45f, 0.45f, 0.45f);
const fColor kDisabledText(0.7f, 0.7f, 0.7f);

void DrawCheckMark(const fRect& row, const fColor& c) {
    float x = row.left + 7, y = row.GetCenterY();
    c.SetColor();
    PenWidth(2);
    BeginLineStrip();
    Vertex(fPoint2(x, y));
    Vertex(fPoint2(x + 4, y + 4));
    Vertex(fPoint2(x + 11, y - 5));
    EndLineStrip();
    PenWidth(1);
}

void DrawSubmenuArrow(const fRect& row, const fColor& c) {
    float x = row.right - PopupMenu::kRightGutter + 6, y = row.GetCenterY();
    c.SetColor();
    BeginPolygon();
    Vertex(fPoint2(x, y - 4));
    Vertex(fPoint2(x + 5, y));
    Vertex(fPoint2(x, y + 4));
    EndPolygon();
}

}  // namespace

void DrawPopupMenu(const PopupMenu& menu) {
    SetType(kPopupMenuType);
    for (const PopupMenu::Level& level : menu.GetLevels()) {
        fRect shadow = level.box;
        shadow.Shift(kShadowOffset, kShadowOffset);
        kShadow.SetColor();
        shadow.Paint();
        fColor::white()->SetColor();
        level.box.Paint();
        fColor::gray()->SetColor();
        level.box.Frame();

        for (size_t r = 0; r < level.rows.size(); r++) {
            const PopupMenu::Row& row = level.rows[r];
            const ShellMenu::Entry& e = menu.GetMenu().GetEntries()[row.entry];
            if (e.kind == ShellMenu::Entry::separator) {
                fColor::lightGray()->SetColor();
                float y = row.rect.GetCenterY();
                Line(fPoint2(row.rect.left + 6, y), fPoint2(row.rect.right - 6, y));
                continue;
            }
            bool lit = (int)r == level.highlight;
            bool enabled = e.kind != ShellMenu::Entry::item || e.enabled;
            if (lit) {
                fRect band = row.rect;
                band.Inset(1, 0);
                fColor::gray()->SetColor();
                band.Paint();
            }
            const fColor& text = lit ? *fColor::white() : enabled ? kText : kDisabledText;
            float baseline = row.rect.bottom - kTextBaselineUp;
            if (e.check && *e.check) DrawCheckMark(row.rect, text);
            text.SetColor();
            fDrawString(row.rect.left + PopupMenu::kCheckGutter, baseline, "%s",
                        menu.GetLabel(row).c_str());
            std::string keys = menu.GetShortcut(row);
            if (!keys.empty()) {
                const fColor& keyColour = lit       ? *fColor::white()
                                          : enabled ? kShortcutText
                                                    : kDisabledText;
                keyColour.SetColor();
                float w = fTextWidth(kPopupMenuType, keys.c_str());
                fDrawString(row.rect.right - PopupMenu::kRightGutter - w, baseline, "%s",
                            keys.c_str());
            }
            if (e.kind == ShellMenu::Entry::beginSubmenu) DrawSubmenuArrow(row.rect, text);
        }
    }
}

#include "MenuButton.h"

#include <initializer_list>

#include "fColor.h"
#include "graphicsUtilsGL.h"

void MenuButton::Render(bool open) const {
    // The mode panel's item look: inset by 1, light gray frame, the chosen one filled gray
    fRect item = bounds;
    item.Inset(1, 1);
    (open ? fColor::gray() : fColor::white())->SetColor();
    item.Paint();
    fColor::lightGray()->SetColor();
    item.Frame();
    const fColor* fore = open ? fColor::white() : fColor::gray();
    fore->SetColor();
    // Three short bars, the sign desktops use for a menu, then its name
    float x = item.left + 5, y = item.GetCenterY();
    for (float dy : {-4.0f, 0.0f, 4.0f}) Line(fPoint2(x, y + dy), fPoint2(x + 10, y + dy));
    SetType(1);
    fDrawString(item.left + 21, item.bottom - 4, "Menu");
}

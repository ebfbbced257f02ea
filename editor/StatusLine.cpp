#include "StatusLine.h"

#include "ShellMenu.h"
#include "fColor.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"

namespace {
// Helvetica 10
const int kStatusType = 2;
const float kHintGray = 0.45f;  // white-to-black fraction
}  // namespace

void StatusLine::Show(const std::string& text) {
    message = text;
    messageUntil = GetPreciseSeconds() + kMessageSeconds;
}

bool StatusLine::GetIsShowingMessage() const { return GetPreciseSeconds() < messageUntil; }

const std::string& StatusLine::GetText() const { return GetIsShowingMessage() ? message : hint; }

void StatusLine::Render(fPoint2 p, float width) const {
    bool isMessage = GetIsShowingMessage();
    // The toolkit's fonts hold Latin-1; names may hold anything
    std::string text = ShellMenu::Latin1Text(isMessage ? message : hint);
    if (text.empty()) return;
    SetType(kStatusType);
    if (fTextWidth(kStatusType, text.c_str()) > width) {
        while (!text.empty() && fTextWidth(kStatusType, (text + "...").c_str()) > width)
            text.pop_back();
        text += "...";
    }
    if (isMessage)
        fColor::black()->SetColor();
    else
        fColor::SetToBlend(fColor::white(), fColor::black(), kHintGray);
    fDrawString(p, "%s", text.c_str());
}

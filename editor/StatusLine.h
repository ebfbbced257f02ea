// StatusLine: the one line of small text along the bottom of the editor window. After a
// command it shows a message for a few seconds ("Saved walk.velko", "Nothing to undo");
// while no message shows it carries a short hint for what the current mode does. The editor
// owns it by value and tells it the hint every tick. Times are program seconds.
#pragma once

#include <string>

#include "fPoint2.h"

class StatusLine {
public:
    // How long a message stays (seconds)
    static constexpr float kMessageSeconds = 4;

    // Shows text from now on for kMessageSeconds, in place of any message before it
    void Show(const std::string& text);
    // The text shown while no message is
    void SetHint(const std::string& text) { hint = text; }
    // A message is showing now
    bool GetIsShowingMessage() const;
    // What the line shows now: the message while it lasts, else the hint
    const std::string& GetText() const;

    // Draws the text in Helvetica 10 with the left end of its baseline at p, a message in
    // black and a hint in gray, cut short with "..." where it would pass width (units)
    void Render(fPoint2 p, float width) const;

private:
    std::string message, hint;
    double messageUntil = -1;  // program time the message goes
};

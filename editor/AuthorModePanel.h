// AuthorModePanel: the vertical list of the five author modes in the top-left corner of the
// editor window, and which of them is chosen. It owns the static mode records and their
// names; the editor owns the panel by value and asks it for the chosen mode on every click,
// rollover and frame.
#pragma once

#include "AuthorMode.h"
#include "fPoint2.h"
#include "fRect.h"

class AuthorModePanel {
public:
    static constexpr int kNumModes = 5;

    // The records, in panel order; their index is the panel's level
    static const AuthorMode play;
    static const AuthorMode draw;
    static const AuthorMode drawAndPose;
    static const AuthorMode pose;
    static const AuthorMode editSkeleton;
    static const AuthorMode* const modes[kNumModes];
    static const char* const modeNames[kNumModes];
    // One line each on what a press does in the mode, for the status line
    static const char* const modeHints[kNumModes];

    // Index of the chosen mode, 0 to kNumModes - 1
    int level;
    // World units; the right edge is set by each Render from the widest name, so the panel is
    // zero wide until first drawn
    fRect bounds;

    // topleft in world units; the panel starts on "Draw and Pose"
    explicit AuthorModePanel(fPoint2 topleft);

    // Back to "Draw and Pose"
    void DefaultMode() { level = 2; }
    AuthorMode GetMode() const;
    // Edges included
    bool Pick(fPoint2 loc) const { return bounds.DoesContain(loc); }
    // Chooses the item under loc; false when loc is outside the panel
    bool MouseDown(fPoint2 loc);
    // opaque false fills only the chosen item, leaving the others as outlines
    void Render(bool opaque);
};

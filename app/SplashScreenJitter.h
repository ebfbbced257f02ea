// SplashScreenJitter: the program's title sequence. The application name glides along a
// hand-drawn curve while fading in and out, then the author line drops in from the top edge,
// fades and shakes sideways; the copyright line stays in the bottom-left corner. It plays
// 10 s, and ends at the first press or key. Owned by the shell like any splash screen; it
// holds nothing beyond its own storage.
#pragma once

#include "SplashScreen.h"
#include "fPoint2.h"
#include "fRect.h"

class SplashScreenJitter : public SplashScreen {
public:
    // 101 (x, y) entries: the start marker (-1, -1), the curve's points in a unit square
    // (x right, y down), and the end marker (-2, -2)
    static const float motionLine[202];
    // Number of curve points between the markers, found from the end marker
    static int motionLineNumPoints;

    // The sequence starts at construction (program clock)
    SplashScreenJitter(const char* app, const char* author, App* shell);

    // Draws the frame for the current clock time; sets done once the sequence is over
    void Render() override;
    // Ends the sequence at once: the shell removes it at its next tick
    void Skip() override;
    // Plays the whole sequence in at most seconds, both phases shortened alike (for a start
    // where a document or a question waits)
    void LimitDuration(float seconds);
    bool GetIsDone() override { return isDone; }

    // The frame's layout at the current clock time, in the world units of b (the content
    // rectangle); Render draws exactly these.
    // Title progress: 0 at the start, 1 once the title time is over
    float GetTitleFade() const;
    // Left end of the title's baseline
    fPoint2 GetTitleLoc(const fRect& b) const;
    // 0 draws the title white (unseen), 1 black
    float GetTitleShade() const;
    // Author progress: 0 until the author phase begins, then up to 1 at its end
    float GetAuthorProgress() const;
    // Left end of the author line's baseline, shake included
    fPoint2 GetAuthorLoc(const fRect& b) const;

    float GetStart() const { return start; }
    // Seconds
    float GetTitleDuration() const { return titleDuration; }
    float GetAuthorDuration() const { return authorDuration; }

private:
    bool isDone;
    // Program clock time at construction
    float start;
    // Seconds
    float titleDuration;
    float authorDuration;
};

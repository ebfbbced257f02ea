// AnimationEditor: the editor's animation capability. It keeps the doll's sequence (the steps
// on the strip, the loop mode and the frame rate) in step with what the person does on the
// strip and in the Animation submenu, plays the sequence (AnimationPlayback) and draws the
// onion skin (OnionSkin) and the strip (AnimationStrip). The editor routes input here and
// records an undo step for every change the host is told of.
//
// On the strip a person clicks a cell to select its step (the doll moves into its pose, and
// posing records into that slot, as a thumbnail click does), drags a thumbnail onto the
// strip to insert a step, drags a cell by its number to move it, drags a cell's move or hold
// left or right to change it (50 ms every 4 pixels), clicks its easing curve for the next
// easing, double-clicks a cell to type its times, and removes a step with Delete or
// Backspace over its cell. Space plays and stops; O turns the onion skin on and off.
//
// The editor owns this object and the doll; the object points at the doll, not owning it.
#pragma once

#include <string>
#include <vector>

#include "App.h"
#include "AnimationPlayback.h"
#include "AnimationStrip.h"
#include "AuthorMode.h"
#include "Drag.h"
#include "SketchDoll.h"

// What the animation needs of the editor that hosts it
class AnimationHost {
public:
    // The document changed: one undo step named label ("Add Step")
    virtual void AnimationEdited(const char* label) = 0;
    virtual void AnimationBeep() = 0;
    // Tells the person something for a few seconds (the editor's status line)
    virtual void AnimationMessage(const std::string& text) = 0;

protected:
    ~AnimationHost() = default;
};

class AnimationEditor : public DragReceptacle {
public:
    // Ids of the Animation submenu's items, as MenuInvoked receives them
    enum MenuItem {
        kMenuFirst = 20,
        kMenuPlay = 20,
        kMenuOnionSkin = 21,
        kMenuLoopForever = 22,
        kMenuLoopOnce = 23,
        kMenuLoopPingPong = 24,
        kMenuFrameRateFirst = 25,  // one item per kFrameRates entry
        kMenuFrameRateOther = 33,
        kMenuEditStep = 34,
        kMenuLast = 39,
    };
    static constexpr int kNumFrameRates = 8;
    static constexpr int kFrameRates[kNumFrameRates] = {10, 12, 15, 20, 24, 25, 30, 50};
    // A drag of a cell's move or hold changes it by kScrubMs every kScrubPixels
    static constexpr int kScrubMs = 50;
    static constexpr float kScrubPixels = 4;

    AnimationEditor(SketchDoll* doll, AnimationHost* host);

    static bool IsMenuItem(int id) { return id >= kMenuFirst && id <= kMenuLast; }
    // Adds the Animation submenu
    void BuildMenu(AppMenu* menu);
    void MenuInvoked(int id);
    // Keeps the menu's marks with the doll (every tick; the menu reads them when it shows)
    void SyncMarks();
    // The Play item's label does not say what the item would do now
    bool GetIsPlayLabelStale() const { return shownPlaying != GetIsPlaying(); }
    // Renames the Play item after its use ("Play" or "Stop"); menu may be null
    void SyncPlayLabel(AppMenu* menu);

    // Playback
    bool GetIsPlaying() const { return player.GetIsPlaying(); }
    // Plays from the selected step (else the first); a beep when nothing would play
    void Play();
    // Stops playing, the doll back as it was before; true when it was playing
    bool StopPlaying();
    // Moves the doll for the current program time; called every tick while playing
    void TickPlayback();

    // Input. A press is taken when it is on a cell; the host then passes the pointer while
    // the button is held, and the release.
    bool MouseDown(fPoint2 loc, bool doubleClick);
    bool GetIsPressed() const { return pressed; }
    void Track(fPoint2 mouse);
    void MouseUp(fPoint2 loc);
    // Space, Escape (while playing), O, and Delete or Backspace over a cell; true when taken.
    // Any other key stops playback and is not taken.
    bool Key(int c, fPoint2 mouse);
    // The cursor over a cell, or during a press taken here; false elsewhere
    bool CursorAt(fPoint2 p, App::AppCursor* cursor) const;
    // What the status line says while playing or with the pointer on the strip; "" else
    std::string Hint(fPoint2 p) const;
    // A cell lies under p
    bool GetIsOverCell(fPoint2 p) const;

    // A thumbnail dragged over the strip: this receptacle when p lies in the strip and o
    // is a thumbnail of the doll, else null. Remembers where a drop would insert the step.
    DragReceptacle* OfferDrop(fPoint2 p, DragObject* o);
    void SetDragReceiveHilight(bool v) override { dropHilight = v; }
    // Inserts a step of the dropped thumbnail's pose where it was offered
    void ReceiveDrag(DragObject* o) override;
    using DragReceptacle::ReceiveDrag;

    // The person chose pose slot p with a thumbnail or a key: the first step of that pose is
    // selected, unless the selected one has it already (none when no step has it, or for
    // p = -1: the doll goes home)
    void PoseChosen(int p);
    // The doll was replaced (New, Open, undo): forgets the press and the selected step
    void DollReplaced();

    // The strip and, when on and not playing, the onion skin: drawn under the doll
    void RenderBehindDoll(const AuthorMode& m);
    // A cell being dragged, at the pointer: drawn over everything
    void RenderOnTop();

    bool GetOnionSkin() const { return onionSkin; }
    void SetOnionSkin(bool v) { onionSkin = v; }
    int GetSelectedStep() const { return selected; }
    // The pose slot shown now while playing, else -1
    int GetPlayingPose() const { return player.GetPose(); }
    // The steps shown on the strip (the doll's sequence as it plays)
    std::vector<SequenceStep> Steps() const { return doll->sequence.GetSteps(*doll); }

    // "1000 500 in-out", or "1.2s 0.25s linear": the move and the hold (ms, or seconds with
    // "s"), then the easing; a value left out keeps the step's. False for anything else.
    static bool ParseStepTimes(const std::string& text, SequenceStep* step);

private:
    // The steps as the person's own, ready to change
    std::vector<SequenceStep>& EditSteps();
    void Edited(const char* label);
    void SelectStep(int i);
    void RemoveStep(int i);
    void AskStepTimes(int i);
    void AskFrameRate();
    void SetLoop(SequenceLoop loop);
    void SetFrameRate(int fps);

    SketchDoll* doll;
    AnimationHost* host;
    AnimationPlayback player;
    bool onionSkin = false;
    int selected = -1;  // the selected step, an index among the strip's steps

    // A press taken on a cell
    bool pressed = false;
    int pressStep = -1;
    AnimationStrip::Part pressPart = AnimationStrip::nowhere;
    fPoint2 pressAt;
    bool pressDouble = false;
    bool pressMoved = false;  // the pointer has left the press by more than a few units
    bool lifting = false;     // the cell is being dragged to another place
    int scrubbedFrom = 0;     // the value a scrub started from
    bool scrubbed = false;    // the scrub has changed the value
    fPoint2 mouseAt;

    // A thumbnail offered to the strip
    bool dropHilight = false;
    int dropIndex = -1;

    // Menu marks, read by the menu when it shows them
    bool loopMarks[3] = {true, false, false};
    bool frameRateMarks[kNumFrameRates] = {};
    bool shownPlaying = false;
};

#include "AnimationEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "AppFiles.h"
#include "DollPoseWidget.h"
#include "OnionSkin.h"
#include "fTime.h"

namespace {
// A press that travels no farther than this (world units) is a click
const float kClickSlop = 3;

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

const char* const kLoopLabels[] = {"Loop Forever", "Play Once", "Loop Ping-Pong"};
}  // namespace

AnimationEditor::AnimationEditor(SketchDoll* doll, AnimationHost* host)
    : doll(doll), host(host), player(doll) {}

// Menu

void AnimationEditor::BuildMenu(AppMenu* menu) {
    menu->BeginSubmenu("Animation");
    menu->AddItem("Play (Space)", kMenuPlay, 0, nullptr);
    menu->AddItem("Onion Skin (O)", kMenuOnionSkin, 0, &onionSkin);
    menu->AddSeparator();
    menu->BeginSubmenu("Loop");
    menu->AddItem("Forever", kMenuLoopForever, 0, &loopMarks[0]);
    menu->AddItem("Once", kMenuLoopOnce, 0, &loopMarks[1]);
    menu->AddItem("Ping-Pong", kMenuLoopPingPong, 0, &loopMarks[2]);
    menu->EndSubmenu();
    menu->BeginSubmenu("Frame Rate");
    for (int k = 0; k < kNumFrameRates; k++) {
        char label[32];
        snprintf(label, sizeof label, "%d fps", kFrameRates[k]);
        menu->AddItem(label, kMenuFrameRateFirst + k, 0, &frameRateMarks[k]);
    }
    menu->AddItem("Other\u2026", kMenuFrameRateOther, 0, nullptr);
    menu->EndSubmenu();
    menu->AddSeparator();
    menu->AddItem("Edit Step\u2026", kMenuEditStep, 0, nullptr);
    menu->EndSubmenu();
    if (!AppFiles::Get()) {
        menu->EnableItem(kMenuFrameRateOther, false);
        menu->EnableItem(kMenuEditStep, false);
    }
    SyncMarks();
}

void AnimationEditor::SyncMarks() {
    // Radio marks: the menu flips a mark before it delivers the item, so they are set from
    // the doll again, whatever was chosen
    for (int i = 0; i < 3; i++) loopMarks[i] = (int)doll->sequence.loop == i;
    for (int k = 0; k < kNumFrameRates; k++)
        frameRateMarks[k] = doll->sequence.fps == kFrameRates[k];
}

void AnimationEditor::SyncPlayLabel(AppMenu* menu) {
    shownPlaying = GetIsPlaying();
    if (menu) menu->SetItemLabel(kMenuPlay, shownPlaying ? "Stop (Space)" : "Play (Space)");
}

void AnimationEditor::MenuInvoked(int id) {
    if (id == kMenuPlay) {
        if (!StopPlaying()) Play();
        return;
    }
    StopPlaying();
    if (id >= kMenuLoopForever && id <= kMenuLoopPingPong) {
        SetLoop((SequenceLoop)(id - kMenuLoopForever));
    } else if (id >= kMenuFrameRateFirst && id < kMenuFrameRateFirst + kNumFrameRates) {
        SetFrameRate(kFrameRates[id - kMenuFrameRateFirst]);
    } else if (id == kMenuFrameRateOther) {
        AskFrameRate();
    } else if (id == kMenuEditStep) {
        if (selected >= 0 && selected < (int)Steps().size()) {
            AskStepTimes(selected);
        } else {
            host->AnimationBeep();
            host->AnimationMessage("Click a step on the strip first, then Edit Step");
        }
    }
    // The onion skin's mark is its own flag, flipped by the menu
    SyncMarks();
}

void AnimationEditor::SetLoop(SequenceLoop loop) {
    if (doll->sequence.loop == loop) return;
    doll->sequence.loop = loop;
    Edited(kLoopLabels[(int)loop]);
}

void AnimationEditor::SetFrameRate(int fps) {
    fps = Clamp(fps, DollSequence::kMinFps, DollSequence::kMaxFps);
    if (doll->sequence.fps == fps) return;
    doll->sequence.fps = fps;
    Edited("Frame Rate");
}

void AnimationEditor::AskFrameRate() {
    AppFiles* files = AppFiles::Get();
    if (!files) return;
    char initial[16];
    snprintf(initial, sizeof initial, "%d", doll->sequence.fps);
    std::string answer;
    if (!files->AskText("Frame Rate",
                        "Frames a second of an exported animation (1 to 50):", initial, &answer))
        return;
    char* end = nullptr;
    const long fps = strtol(answer.c_str(), &end, 10);
    while (end && *end == ' ') end++;
    if (end == answer.c_str() || (end && *end) || fps < DollSequence::kMinFps ||
        fps > DollSequence::kMaxFps) {
        host->AnimationBeep();
        host->AnimationMessage("The frame rate is a whole number from 1 to 50, not \"" + answer +
                               "\"");
        return;
    }
    SetFrameRate((int)fps);
}

bool AnimationEditor::ParseStepTimes(const std::string& text, SequenceStep* step) {
    SequenceStep s = *step;
    int numbers = 0;
    bool eased = false;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == ',' || text[i] == '\t') {
            i++;
            continue;
        }
        size_t end = text.find_first_of(" ,\t", i);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(i, end - i);
        i = end;
        SequenceEase e;
        if (DollSequence::ParseEase(word.c_str(), &e)) {
            if (eased) return false;
            s.ease = e;
            eased = true;
            continue;
        }
        // A number of milliseconds, or of seconds with "s"
        char* rest = nullptr;
        const double v = strtod(word.c_str(), &rest);
        if (rest == word.c_str() || !(v >= 0) || eased || numbers == 2) return false;
        const std::string unit = rest;
        double ms;
        if (unit.empty() || unit == "ms")
            ms = v;
        else if (unit == "s")
            ms = v * 1000;
        else
            return false;
        if (!(ms <= DollSequence::kMaxStepMs)) return false;
        (numbers == 0 ? s.moveMs : s.holdMs) = (int)std::lround(ms);
        numbers++;
    }
    *step = s;
    return true;
}

void AnimationEditor::AskStepTimes(int i) {
    AppFiles* files = AppFiles::Get();
    if (!files) return;
    SequenceStep s = Steps()[(size_t)i];
    char title[32], initial[64];
    snprintf(title, sizeof title, "Step %d", i + 1);
    snprintf(initial, sizeof initial, "%d %d %s", s.moveMs, s.holdMs,
             DollSequence::EaseName(s.ease));
    std::string answer;
    if (!files->AskText(title,
                        "Move and hold in milliseconds (or seconds with \"s\"), then the easing: "
                        "in-out, linear, in or out",
                        initial, &answer))
        return;
    if (!ParseStepTimes(answer, &s)) {
        host->AnimationBeep();
        host->AnimationMessage(
            "\"" + answer + "\" is not a move and a hold, then an easing: say \"1000 500 in-out\"");
        return;
    }
    std::vector<SequenceStep>& steps = EditSteps();
    if (steps[(size_t)i] == s) return;
    steps[(size_t)i] = s;
    Edited("Change Step");
}

// Changes

std::vector<SequenceStep>& AnimationEditor::EditSteps() {
    doll->sequence.MakeCustom(*doll);
    return doll->sequence.steps;
}

void AnimationEditor::Edited(const char* label) { host->AnimationEdited(label); }

void AnimationEditor::SelectStep(int i) {
    selected = i;
    const std::vector<SequenceStep> steps = Steps();
    // Into the pose, then record into it, as a thumbnail click does
    if (i >= 0 && i < (int)steps.size()) doll->SetEditPose(steps[(size_t)i].pose);
}

void AnimationEditor::RemoveStep(int i) {
    std::vector<SequenceStep>& steps = EditSteps();
    if (i < 0 || i >= (int)steps.size()) return;
    steps.erase(steps.begin() + i);
    if (selected == i)
        selected = -1;
    else if (selected > i)
        selected--;
    Edited("Remove Step");
}

void AnimationEditor::PoseChosen(int p) {
    const std::vector<SequenceStep> steps = Steps();
    if (selected >= 0 && selected < (int)steps.size() && steps[(size_t)selected].pose == p) return;
    selected = -1;
    for (size_t i = 0; i < steps.size(); i++) {
        if (steps[i].pose == p) {
            selected = (int)i;
            break;
        }
    }
}

void AnimationEditor::DollReplaced() {
    // Playback is stopped before anything replaces the doll; what it kept belongs to the old
    StopPlaying();
    pressed = false;
    lifting = false;
    dropHilight = false;
    // Like the selected line, the selected step belonged to the old doll
    selected = -1;
    SyncMarks();
}

// Playback

void AnimationEditor::Play() {
    const int from = selected >= 0 ? selected : 0;
    if (player.Start(from, GetPreciseSeconds())) return;
    host->AnimationBeep();
    host->AnimationMessage(Steps().empty()
                               ? "Nothing to play: click a thumbnail to fill a pose, or drag one "
                                 "onto the strip"
                               : "Nothing to play: the steps' poses are empty");
}

bool AnimationEditor::StopPlaying() {
    if (!player.GetIsPlaying()) return false;
    player.Stop();
    return true;
}

void AnimationEditor::TickPlayback() { player.Tick(GetPreciseSeconds()); }

// Input

bool AnimationEditor::MouseDown(fPoint2 loc, bool doubleClick) {
    const AnimationStrip::Layout l = AnimationStrip::LayoutFor((int)Steps().size());
    AnimationStrip::Part part;
    const int i = AnimationStrip::CellAt(l, loc, &part);
    if (i < 0) return false;
    pressed = true;
    pressStep = i;
    pressPart = part;
    pressAt = mouseAt = loc;
    pressDouble = doubleClick;
    pressMoved = lifting = scrubbed = false;
    return true;
}

void AnimationEditor::Track(fPoint2 mouse) {
    if (!pressed) return;
    mouseAt = mouse;
    if (!pressMoved) {
        if (mouse.Dist(pressAt) <= kClickSlop) return;
        pressMoved = true;
        lifting = pressPart != AnimationStrip::move && pressPart != AnimationStrip::hold;
        if (!lifting) {
            const SequenceStep s = Steps()[(size_t)pressStep];
            scrubbedFrom = pressPart == AnimationStrip::move ? s.moveMs : s.holdMs;
        }
    }
    if (lifting) return;
    // Left shortens, right lengthens, from where the press began
    const int k = (int)std::lround((mouse.x - pressAt.x) / kScrubPixels);
    const int value = Clamp(scrubbedFrom + k * kScrubMs, 0, DollSequence::kMaxStepMs);
    const std::vector<SequenceStep> now = Steps();
    const SequenceStep& s = now[(size_t)pressStep];
    if ((pressPart == AnimationStrip::move ? s.moveMs : s.holdMs) == value) return;
    SequenceStep& edited = EditSteps()[(size_t)pressStep];
    (pressPart == AnimationStrip::move ? edited.moveMs : edited.holdMs) = value;
    scrubbed = true;
}

void AnimationEditor::MouseUp(fPoint2 loc) {
    if (!pressed) return;
    Track(loc);
    pressed = false;
    if (lifting) {
        lifting = false;
        if (!AnimationStrip::Bounds().DoesContain(loc)) return;  // put back
        const int n = (int)Steps().size();
        int to = AnimationStrip::InsertionAt(AnimationStrip::LayoutFor(n), loc);
        if (to > pressStep) to--;  // the gap counted with the cell still in place
        if (to == pressStep) return;
        std::vector<SequenceStep>& steps = EditSteps();
        const SequenceStep moved = steps[(size_t)pressStep];
        steps.erase(steps.begin() + pressStep);
        steps.insert(steps.begin() + to, moved);
        if (selected == pressStep)
            selected = to;
        else if (selected > pressStep && selected <= to)
            selected--;
        else if (selected < pressStep && selected >= to)
            selected++;
        Edited("Move Step");
        return;
    }
    if (scrubbed) {
        Edited(pressPart == AnimationStrip::move ? "Change Move" : "Change Hold");
        return;
    }
    if (pressMoved) return;  // a scrub that came back to where it started
    // A click
    SelectStep(pressStep);
    if (pressDouble) {
        AskStepTimes(pressStep);
    } else if (pressPart == AnimationStrip::ease) {
        SequenceStep& s = EditSteps()[(size_t)pressStep];
        s.ease = (SequenceEase)(((int)s.ease + 1) % 4);
        Edited("Change Easing");
    }
}

bool AnimationEditor::Key(int c, fPoint2 mouse) {
    switch (c) {
        case ' ':
            if (!StopPlaying()) Play();
            return true;
        case 27:  // Escape
            return StopPlaying();
        case 'o':
        case 'O':
            onionSkin = !onionSkin;
            return true;
        case 8:  // Backspace
        case 127: {
            AnimationStrip::Part part;
            const int i = AnimationStrip::CellAt(AnimationStrip::LayoutFor((int)Steps().size()),
                                                 mouse, &part);
            if (i < 0 || pressed) break;
            StopPlaying();
            RemoveStep(i);
            return true;
        }
        default:
            break;
    }
    StopPlaying();
    return false;
}

bool AnimationEditor::GetIsOverCell(fPoint2 p) const {
    AnimationStrip::Part part;
    return AnimationStrip::CellAt(AnimationStrip::LayoutFor((int)Steps().size()), p, &part) >= 0;
}

bool AnimationEditor::CursorAt(fPoint2 p, App::AppCursor* cursor) const {
    if (pressed) {
        *cursor = lifting || !pressMoved ? App::closedHandCursor : App::pointHandCursor;
        return true;
    }
    AnimationStrip::Part part;
    if (AnimationStrip::CellAt(AnimationStrip::LayoutFor((int)Steps().size()), p, &part) < 0)
        return false;
    *cursor = part == AnimationStrip::body ? App::openHandCursor : App::pointHandCursor;
    return true;
}

std::string AnimationEditor::Hint(fPoint2 p) const {
    if (GetIsPlaying()) return "Playing: Space, Escape or a click stops, and the doll is back";
    const std::vector<SequenceStep> steps = Steps();
    AnimationStrip::Part part;
    const int i = AnimationStrip::CellAt(AnimationStrip::LayoutFor((int)steps.size()), p, &part);
    if (i >= 0)
        return "Step " + std::to_string(i + 1) + ", pose " +
               std::to_string(steps[(size_t)i].pose + 1) +
               ": click to pose it; drag its number to move it, its move or hold sideways to "
               "change them; double-click to type; Delete removes it";
    if (steps.empty() && AnimationStrip::Bounds().DoesContain(p))
        return "Drag a thumbnail here to add a step to the animation";
    return "";
}

// Thumbnail drops

DragReceptacle* AnimationEditor::OfferDrop(fPoint2 p, DragObject* o) {
    DollPoseWidget* w = dynamic_cast<DollPoseWidget*>(o);
    if (!w || w->doll != doll || !AnimationStrip::Bounds().DoesContain(p)) {
        dropIndex = -1;
        return nullptr;
    }
    dropIndex = AnimationStrip::InsertionAt(AnimationStrip::LayoutFor((int)Steps().size()), p);
    return this;
}

void AnimationEditor::ReceiveDrag(DragObject* o) {
    DollPoseWidget* w = dynamic_cast<DollPoseWidget*>(o);
    if (!w || w->doll != doll || dropIndex < 0) return;
    const int pose = (int)(w->pose - doll->poses);
    if (pose < 0 || pose >= Doll::kNumPoses) return;
    std::vector<SequenceStep>& steps = EditSteps();
    if ((int)steps.size() >= DollSequence::kMaxSteps) {
        host->AnimationBeep();
        return;
    }
    const int at = std::min(dropIndex, (int)steps.size());
    SequenceStep s;
    s.pose = pose;
    steps.insert(steps.begin() + at, s);
    // The new step is the one being worked on
    selected = at;
    dropIndex = -1;
}

// Drawing

void AnimationEditor::RenderBehindDoll(const AuthorMode& m) {
    const std::vector<SequenceStep> steps = Steps();
    if (onionSkin && !GetIsPlaying() && !lifting) {
        int reference = selected;
        if (reference < 0 || reference >= (int)steps.size()) {
            // The step of the pose being posed, when none is selected
            const int pose = doll->GetEditPose() >= 0 ? doll->GetEditPose() : doll->GetSeekPose();
            reference = -1;
            for (size_t i = 0; i < steps.size() && reference < 0; i++)
                if (steps[i].pose == pose) reference = (int)i;
        }
        int previous = -1, next = -1;
        OnionSkin::Neighbours(*doll, steps, doll->sequence.loop, reference, &previous, &next);
        // The next one first, so the previous lies over it where they cross
        if (next >= 0)
            OnionSkin::RenderGhost(*doll, steps[(size_t)next].pose, OnionSkin::NextTint(), m);
        if (previous >= 0)
            OnionSkin::RenderGhost(*doll, steps[(size_t)previous].pose, OnionSkin::PreviousTint(),
                                   m);
    }
    AnimationStrip::View v;
    v.doll = doll;
    v.steps = &steps;
    v.selected = selected;
    v.playing = player.GetStep(&v.playingFraction);
    if (v.playing >= 0) v.selected = -1;
    v.insertion = dropHilight ? dropIndex : -1;
    if (lifting) {
        v.lifted = pressStep;
        if (AnimationStrip::Bounds().DoesContain(mouseAt))
            v.insertion =
                AnimationStrip::InsertionAt(AnimationStrip::LayoutFor((int)steps.size()), mouseAt);
    }
    AnimationStrip::Render(v);
}

void AnimationEditor::RenderOnTop() {
    if (!lifting) return;
    const std::vector<SequenceStep> steps = Steps();
    if (pressStep >= (int)steps.size()) return;
    const AnimationStrip::Layout l = AnimationStrip::LayoutFor((int)steps.size());
    fRect r = AnimationStrip::CellRect(l, pressStep);
    r.Shift(mouseAt - pressAt);
    const SequenceStep& s = steps[(size_t)pressStep];
    AnimationStrip::RenderCell(r, s, doll->GetIsPoseFilled(s.pose), pressStep == selected, false,
                               0);
}

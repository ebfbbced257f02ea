// Velko: the editor applet the program hosts. It owns one SketchDoll (the doll with its
// sketched lines) by value, the author-mode panel, the eight pose thumbnails and the drag in
// progress, and turns the shell's mouse, key and idle events into sketching, posing and
// skeleton editing. Every idle tick it draws a frame, drives the doll's motion, advances
// the action in progress and sets the cursor.
//
// Every pointer the editor keeps (joints, lines, the icon) points into its own doll and is
// not owned. World coordinates are window pixels, origin top left, y down.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "AnimationEditor.h"
#include "Applet.h"
#include "AuthorModePanel.h"
#include "DollPoseWidget.h"
#include "Drag.h"
#include "EditHistory.h"
#include "ExportOptions.h"
#include "MenuButton.h"
#include "RecoveryFile.h"
#include "SketchDoll.h"
#include "StatusLine.h"
#include "VelkoDocument.h"

class Velko : public Applet, private VelkoDocumentHost, private AnimationHost {
public:
    static const int kMaxPoseWidgets = 8;
    // Ids of the File menu's items, as MenuInvoked receives them
    enum MenuItem {
        kMenuNew = 0,
        kMenuOpen = 1,
        kMenuSaveAs = 2,
        kMenuHomePosition = 3,
        kMenuEditMask = 4,
        kMenuQuit = 5,
        kMenuSave = 6,
        kMenuExportPicture = 7,
        kMenuExportPoseSheet = 8,
        kMenuExportAnimation = 9,
        kMenuUndo = 10,
        kMenuRedo = 11,
        kMenuExportOptions = 40,
    };

    explicit Velko(App* shell);
    ~Velko() override = default;
    Velko(const Velko&) = delete;
    Velko& operator=(const Velko&) = delete;

    // Shell events, in the applet's slot order
    void Key(int c) override;
    void MenuInvoked(int id) override;
    // Ctrl+Z with nothing to undo and the like: says why nothing happened
    void MenuShortcutRefused(int id) override;
    void MouseDown(fPoint2 loc) override;
    void MouseUp(fPoint2 loc) override;
    // Pointer travel since the shell last reported one (world units)
    void MouseMoved(fPoint2 delta) override;
    void Idle() override;
    void Render() override;
    // Closing the window is Quit: unsaved changes are asked about first
    void CloseRequested() override;

    // Shows text on the status line for a few seconds: what a command did ("Saved
    // walk.velko") or why it did nothing ("Nothing to undo")
    void ShowStatus(const std::string& text) override;

    // The document named on the command line, opened when the editor first shows
    void SetStartDocument(const char* path) { startDocument = path ? path : ""; }
    // Keeps a recovery copy of unsaved work in folder and, when the editor first shows,
    // offers to restore what a program that ended without saving left there
    void EnableRecovery(const std::string& folder);

private:
    // The doll mask is being edited: new lines are masks and only masks can be selected
    bool testOnBackground;
    SketchDoll theDoll;
    Drag theDrag;
    // Interaction state: a joint drag, the icon menu open, or a line being drawn
    enum : unsigned char { idle = 0, drag = 1, pickIcon = 2, draw = 3 } mode;
    // In drag mode: skeleton editing (deform or link) rather than posing
    bool deformDrag;
    bool mouseDownWasOnIcon;
    DollJoint* activeJoint;      // under the pointer, or being dragged
    SketchDollLine* activeLine;  // being drawn (draw mode)
    DollIcon* activeIcon;        // under the pointer, or its menu is open
    SketchDollLine* selectedLine;
    struct {
        int a, b;  // joint indices of the bone under the pointer; a = -1 for none
    } activeEdge;
    // Grabbed joint's location minus the press location, fixed when a joint drag starts
    fPoint2 dragTargetDelta;
    int nPoseWidgets;
    // Widgets per column of the grid, or -1 when all fit in one column
    int nPoseWidgetsInColumn;
    DollPoseWidget poseWidgets[kMaxPoseWidgets];
    AuthorModePanel authorMode;
    MenuButton menuButton;
    StatusLine statusLine;
    // The sequence on the strip, playback and the onion skin
    AnimationEditor animation;
    VelkoDocument document;
    // How the Export commands draw, for this document only: New and Open start afresh
    ExportOptions exportOptions;
    std::string startDocument;
    bool documentBegun;
    // Something may have changed the document since the title last looked
    bool documentTouched;
    uint64_t lastDollFingerprint;
    int ticksAtRest;  // ticks the fingerprint has stayed the same, up to a few

    // Undo and redo (VelkoHistory.cpp). The history's current document is the doll as it
    // was when an action last completed and came to rest.
    EditHistory history;
    std::string pendingStep;      // label of a completed action not yet recorded; "" none
    uint64_t historyFingerprint;  // DollFingerprint() when the current document was taken
    // The recovery copy of unsaved work, when enabled
    std::unique_ptr<RecoveryFile> recovery;
    std::string recoveryFolder;
    std::string recoveryWritten;   // the document last handed to the recovery file
    bool recoveryStale;            // unsaved work newer than the recovery copy
    bool recoveryKept;             // a recovery copy may be on disk
    double lastRecoveryWriteTime;  // GetPreciseSeconds() of the last copy handed over

    void ClearActiveElements();
    // The icon to the bottom-left corner (inset 10), showing "heart"
    void InitDollIcon();
    // Moves the icon wholly into the window, where a drag may have left it partly or wholly
    // outside; the icon menu opens around it and needs it inside to fit
    void KeepIconInWindow();
    // Steps the edit pose by delta slots, wrapping; with no seek or edit pose, pose 0
    void ChangePose(int delta);
    // Empties pose slot i (one step), so it no longer takes part in animations; the doll
    // stops moving into it or recording into it
    void ClearPose(int i);
    // Backspace (8) or Delete (127): empties the thumbnail under the pointer; elsewhere
    // Backspace deletes the selected line, or in "Edit Skeleton" the joint under the pointer
    void DeleteKey(int c);
    // The status line's text while no message shows: what the thing under the pointer or
    // the current mode does
    std::string CurrentHint();
    bool GetIsEditingDollMask() const { return testOnBackground; }
    void InitiateNodeDrag(fPoint2 mouseDownWhere, DollJoint* joint, bool deformation);
    // What a press at loc would do; *oJoint is written for the joint actions only
    AuthorMode::option GetClickAction(fPoint2 loc, DollJoint** oJoint);
    DollPoseWidget* PickPoseWidget(fPoint2 p);
    int IndexOfPoseWidget(const DollPoseWidget* w) const;
    void SetupPoseWidgets();
    // Describes the File menu to a shell that offers one
    void BuildMenu();
    // After New or Open replaced the doll's joints and lines: ends the action in progress
    // and forgets the selection and every rollover, which pointed into the old content
    void ForgetDollContent();
    // Writes the doll's document as it stands and hands it to the Export command of kind
    void Export(int kind);

    // VelkoDocumentHost. Writing renumbers the joints, so the rollover joint and bone are
    // carried over to their new indices.
    bool WriteDocument(std::string* bytes) override;
    void LoadDocument(tbfReader* reader) override;
    void NewDocument() override;
    void DocumentReplaced() override;
    void ShowTitle(const char* title) override { SetWindowTitle(title); }
    // Changes whenever the posture, a pose or the icon changes
    uint64_t DollFingerprint() const;

    // AnimationHost
    void AnimationEdited(const char* label) override { EndAction(label); }
    void AnimationBeep() override { Beep(); }
    void AnimationMessage(const std::string& text) override { ShowStatus(text); }

    // Undo, redo and recovery (VelkoHistory.cpp)
    void BuildEditMenu(AppMenu* menu);
    // Before an input is handled: records the action that completed before it, or takes
    // in what the doll did by itself since, so the step about to start begins from the doll
    // as it is
    void BeginAction();
    // An action that may have changed the document completed; it becomes a step named
    // label once the doll comes to rest or the next action begins
    void EndAction(const char* label);
    // Writes the document and records it in the history; every tick-time writing of the
    // document goes through here (it renumbers the joints)
    void TakeSnapshot();
    void UndoStep();
    void RedoStep();
    // Replaces the doll with a document of the history, as Open loads a file
    void RestoreSnapshot(const std::string& bytes);
    // Forgets every step: the history begins with the doll as it stands
    void BeginHistory();
    // The title, the Edit menu and the recovery copy after the current document changed
    void DocumentStateChanged();
    // Writes the recovery copy when it is due (every tick, cheap when it is not)
    void KeepRecoveryCopy();
    // Quit and closing the window: asks about unsaved changes first; when no question can
    // be shown, the work is kept as a recovery copy for the next start instead. command
    // ("Quit", "Close") titles the dialogs.
    void Quit(const char* command = "Quit");
    // Offers what programs that ended without saving left behind (once, at start); when no
    // question can be shown, the newest copy is restored as unsaved work and the person told
    void OfferRecovery();

    void RenderDoll();
    void RenderRollovers();
    void RenderPoseWidgets();
    void RenderDrag();

    friend class VelkoTestAccess;
};

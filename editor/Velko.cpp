#include "Velko.h"

#include <cstdio>
#include <cstdlib>

#include "AppFiles.h"
#include "DocumentFile.h"
#include "DollExport.h"
#include "DollPictures.h"
#include "GIconTable.h"
#include "VelkoAssert.h"
#include "VelkoIcons.h"
#include "graphicsUtilsGL.h"
#include "tbfReader.h"
#include "tbfWriter.h"

namespace {
// The window is the stage exported pictures show
const float kBoundsWidth = kStageWidth;
const float kBoundsHeight = kStageHeight;
const fPoint2 kModePanelTopLeft(10, 10);
// Just below the mode panel, as wide as it
const fRect kMenuButtonBounds(10, 116, 122, 134);
// The status line: one line of small text below everything else, between the icon's corner
// and the thumbnails' column
const fPoint2 kStatusBaselineLeft(70, 473);
const float kStatusWidth = 518;
const float kLinePickDistance = 4.0f;
const float kStrokePointSpacing = 2.5f;
const float kLookAtInterestDown = 1.0f;
const float kLookAtInterestUp = 0.5f;
const float kIconMenuGutter = 10;
// Pose grid: 100-unit cells holding 90-unit squares
const float kPoseCell = 100;
const float kPoseGutter = 10;
const float kMaskTint = 0.1f;       // white towards red while the mask is edited
const float kIconMenuTint = 0.15f;  // white towards blue while the icon menu is open
// Ticks the doll must have stood still before the title looks for unsaved changes: writing
// the whole document to compare it costs more than a tick for a heavy doll, so it is done
// once an action has come to rest, not while the doll moves into a pose
const int kDocumentRestTicks = 2;

// The icon table is process-wide and never emptied: register the built-in set once, however
// many editors a process builds
void LoadStaticIconsOnce() {
    static bool loaded = false;
    if (loaded) return;
    LoadStaticIcons();
    loaded = true;
}
}  // namespace

Velko::Velko(App* shell)
    : Applet(shell),
      testOnBackground(false),
      mode(idle),
      deformDrag(false),
      mouseDownWasOnIcon(false),
      activeJoint(nullptr),
      activeLine(nullptr),
      activeIcon(nullptr),
      selectedLine(nullptr),
      activeEdge{-1, -1},
      dragTargetDelta(0, 0),
      nPoseWidgets(0),
      nPoseWidgetsInColumn(-1),
      authorMode(kModePanelTopLeft),
      menuButton(kMenuButtonBounds),
      animation(&theDoll, this),
      document(this),
      documentBegun(false),
      documentTouched(false),
      lastDollFingerprint(0),
      ticksAtRest(0),
      historyFingerprint(0),
      recoveryStale(false),
      recoveryKept(false),
      lastRecoveryWriteTime(-1e9) {
    mode = idle;
    selectedLine = nullptr;
    mouseDownWasOnIcon = false;
    testOnBackground = false;
    ClearActiveElements();
    RequestNewBoundsSize(kBoundsWidth, kBoundsHeight);
    SetupPoseWidgets();
    BuildMenu();
    LoadStaticIconsOnce();
    InitDollIcon();
    theDoll.SetEditPose(nPoseWidgetsInColumn);
    document.Begin();
}

void Velko::ClearActiveElements() {
    activeJoint = nullptr;
    activeLine = nullptr;
    activeIcon = nullptr;
    activeEdge.a = activeEdge.b = -1;
}

void Velko::InitDollIcon() { PlaceDefaultDollIcon(&theDoll, GetBounds()); }

void Velko::KeepIconInWindow() {
    DollIcon* icon = theDoll.GetIcon();
    fRect r = icon->GetBounds();
    fRect b = GetBounds();
    // Right and bottom first, so an icon larger than the window keeps its top left inside
    float dx = r.right > b.right ? b.right - r.right : 0;
    float dy = r.bottom > b.bottom ? b.bottom - r.bottom : 0;
    if (r.left + dx < b.left) dx = b.left - r.left;
    if (r.top + dy < b.top) dy = b.top - r.top;
    r.Shift(dx, dy);
    icon->SetBounds(r);
}

void Velko::BuildMenu() {
    AppMenu* menu = GetMenu();
    if (!menu) return;
    menu->Clear();
    menu->BeginSubmenu("File");
    // Labels of the file commands end in one ellipsis character (UTF-8), not three stops
    menu->AddItem("New", kMenuNew, 'N', nullptr);
    menu->AddItem("Open\u2026", kMenuOpen, 'O', nullptr);
    menu->AddItem("Save", kMenuSave, 'S', nullptr);
    menu->AddItem("Save As\u2026", kMenuSaveAs, 'S' | kShortcutShift, nullptr);
    menu->AddSeparator();
    menu->AddItem("Export Picture\u2026", kMenuExportPicture, 'E', nullptr);
    menu->AddItem("Export Pose Sheet\u2026", kMenuExportPoseSheet, 0, nullptr);
    menu->AddItem("Export Animation\u2026", kMenuExportAnimation, 'E' | kShortcutShift, nullptr);
    menu->AddItem("Export Options\u2026", kMenuExportOptions, 0, nullptr);
    menu->AddSeparator();
    menu->AddItem("Home Position", kMenuHomePosition, 'H', nullptr);
    // The menu flips testOnBackground itself before it delivers the item
    menu->AddItem("Edit Mask", kMenuEditMask, 'M', &testOnBackground);
    menu->AddSeparator();
    menu->AddItem("Quit", kMenuQuit, 'Q', nullptr);
    menu->EndSubmenu();
    if (!AppFiles::Get()) {
        menu->EnableItem(kMenuOpen, false);
        menu->EnableItem(kMenuSaveAs, false);
        menu->EnableItem(kMenuExportPicture, false);
        menu->EnableItem(kMenuExportPoseSheet, false);
        menu->EnableItem(kMenuExportAnimation, false);
        menu->EnableItem(kMenuExportOptions, false);
    }
    BuildEditMenu(menu);
    animation.BuildMenu(menu);
}

void Velko::MenuInvoked(int id) {
    if (AnimationEditor::IsMenuItem(id)) {
        // Playing takes the doll over: not while an action holds it
        if (id == AnimationEditor::kMenuPlay && !animation.GetIsPlaying() &&
            (mode != idle || GetIsMouseDown() || theDrag.GetIsInDrag()))
            return;
        BeginAction();
        animation.MenuInvoked(id);
        return;
    }
    // Every other command works on the doll as it stands, not as it is played
    animation.StopPlaying();
    // Unlike App's default, an unknown item never quits the editor
    if (id != kMenuUndo && id != kMenuRedo) BeginAction();
    switch (id) {
        case kMenuNew:
            // The export options belong to the document: a new one starts afresh
            if (document.New()) exportOptions = ExportOptions();
            break;
        case kMenuOpen:
            if (document.Open()) exportOptions = ExportOptions();
            break;
        case kMenuSave:
            document.Save();
            break;
        case kMenuSaveAs:
            document.SaveAs();
            break;
        case kMenuExportPicture:
            Export((int)DollExportKind::picture);
            break;
        case kMenuExportPoseSheet:
            Export((int)DollExportKind::poseSheet);
            break;
        case kMenuExportAnimation:
            Export((int)DollExportKind::animation);
            break;
        case kMenuExportOptions:
            AskExportOptions(&exportOptions);
            return;  // changes nothing of the document
        case kMenuHomePosition:
            theDoll.GoToHomePose();
            animation.PoseChosen(-1);
            EndAction("Home Position");
            break;
        case kMenuEditMask:
            // A selected line is always of the kind being edited
            if (selectedLine && selectedLine->GetIsMask() != GetIsEditingDollMask())
                selectedLine = nullptr;
            break;
        case kMenuQuit:
            Quit();
            break;
        case kMenuUndo:
            UndoStep();
            return;
        case kMenuRedo:
            RedoStep();
            return;
        default:
            break;
    }
    documentTouched = true;
}

void Velko::Export(int kind) {
    // MenuInvoked's BeginAction has just brought the history's document up to date with the
    // doll, so it is not written a second time; before the first tick there is none yet
    std::string bytes = history.GetCurrent();
    if (bytes.empty()) WriteDocument(&bytes);
    std::string message;
    ExportDoll((DollExportKind)kind, bytes, document.GetPath(), document.GetName(), exportOptions,
               &message);
    if (!message.empty()) ShowStatus(message);
}

void Velko::ShowStatus(const std::string& text) { statusLine.Show(text); }

void Velko::MenuShortcutRefused(int id) {
    switch (id) {
        case kMenuUndo:
            ShowStatus("Nothing to undo");
            break;
        case kMenuRedo:
            ShowStatus("Nothing to redo");
            break;
        case kMenuOpen:
        case kMenuSaveAs:
        case kMenuExportPicture:
        case kMenuExportPoseSheet:
        case kMenuExportAnimation:
            // The only reason these are ever unavailable
            ShowStatus("File dialogs need zenity, which is not installed");
            break;
        default:
            break;
    }
}

void Velko::CloseRequested() {
    // Quit, but its dialogs are titled by what the person did
    BeginAction();
    Quit("Close");
    documentTouched = true;
}

void Velko::NewDocument() {
    theDoll.Reset();
    ForgetDollContent();
    authorMode.DefaultMode();
    InitDollIcon();
}

void Velko::LoadDocument(tbfReader* reader) {
    theDoll.ReadFromFile(reader);
    ForgetDollContent();
}

void Velko::ForgetDollContent() {
    // A joint drag or a line being drawn belonged to the old doll; the icon menu closes too,
    // since the icon has been put back in its corner. A thumbnail or icon drag may go on:
    // the widgets and the icon are the same objects.
    mode = idle;
    deformDrag = false;
    selectedLine = nullptr;
    ClearActiveElements();
    animation.DollReplaced();
}

namespace {
// Slot joint j takes when the doll compacts its indices: compaction keeps the joints' order
// and packs them from slot 0, so j moves down by the free slots below it
int SlotAfterCompaction(const Doll& d, int j) {
    if (!d.GetIsValidJoint(j)) return -1;
    int slot = 0;
    for (int i = 0; i < j; i++)
        if (d.GetIsValidJoint(i)) slot++;
    return slot;
}
}  // namespace

bool Velko::WriteDocument(std::string* bytes) {
    int joint = activeJoint && theDoll.GetIsJointOf(activeJoint)
                    ? SlotAfterCompaction(theDoll, theDoll.GetIndexOfJoint(activeJoint))
                    : -1;
    int edgeA = SlotAfterCompaction(theDoll, activeEdge.a);
    int edgeB = SlotAfterCompaction(theDoll, activeEdge.b);
    {
        tbfWriterAsciiString writer(bytes);  // writes the header
        theDoll.WriteToFile(&writer);
        writer.Close();
    }
    activeJoint = joint >= 0 ? theDoll.GetJoint(joint) : nullptr;
    if (edgeA >= 0 && edgeB >= 0) {
        activeEdge.a = edgeA;
        activeEdge.b = edgeB;
    } else {
        activeEdge.a = activeEdge.b = -1;
    }
    return true;
}

void Velko::SetupPoseWidgets() {
    nPoseWidgets = theDoll.GetNumPoses();
    if (nPoseWidgets > kMaxPoseWidgets) nPoseWidgets = kMaxPoseWidgets;
    nPoseWidgetsInColumn = -1;
    fRect b = GetBounds();
    // Columns fill top to bottom, from the right edge leftwards
    fRect cell(b.right - kPoseCell, kPoseGutter, b.right - kPoseGutter, b.top + kPoseCell);
    for (int i = 0; i < nPoseWidgets; i++) {
        poseWidgets[i].Set(&theDoll, theDoll.GetPose(i), cell);
        poseWidgets[i].number = i + 1;  // as people count them
        cell.Shift(0, kPoseCell);
        if (cell.bottom + kPoseGutter > b.bottom) {
            cell.Shift(-kPoseCell, kPoseGutter - cell.top);
            if (nPoseWidgetsInColumn == -1) nPoseWidgetsInColumn = i + 1;
        }
    }
}

DollPoseWidget* Velko::PickPoseWidget(fPoint2 p) {
    for (int i = 0; i < nPoseWidgets; i++)
        if (poseWidgets[i].Pick(p)) return &poseWidgets[i];
    return nullptr;
}

int Velko::IndexOfPoseWidget(const DollPoseWidget* w) const { return (int)(w - poseWidgets); }

AuthorMode::option Velko::GetClickAction(fPoint2 loc, DollJoint** oJoint) {
    // The icon can be left over the thumbnails or the panel and must stay reachable there
    if (mode == pickIcon || theDoll.PickIcon(loc)) return AuthorMode::manipulateIcon;
    if (PickPoseWidget(loc)) return AuthorMode::manipulatePose;
    if (authorMode.Pick(loc)) return AuthorMode::pickAuthorMode;
    if (menuButton.Pick(loc)) return AuthorMode::null;
    AuthorMode m = authorMode.GetMode();
    if (DollJoint* j = theDoll.Pick(loc)) {
        *oJoint = j;
        return m.clickNode;
    }
    if (m.clickNowhere == AuthorMode::draw) {
        SketchDollLine* l = theDoll.PickLine(loc, kLinePickDistance);
        if (l && l->GetIsMask() == GetIsEditingDollMask()) return AuthorMode::selectLine;
    }
    *oJoint = theDoll.FindClosestJoint(loc, nullptr);
    return m.clickNowhere;
}

void Velko::InitiateNodeDrag(fPoint2 mouseDownWhere, DollJoint* joint, bool deformation) {
    mode = drag;
    deformDrag = deformation;
    activeJoint = joint;
    dragTargetDelta = joint->GetLoc() - mouseDownWhere;
}

void Velko::MouseDown(fPoint2 loc) {
    BeginAction();
    // A click while playing only stops it
    if (animation.StopPlaying()) return;
    mouseDownWasOnIcon = false;
    if (mode == pickIcon) return;  // the icon menu answers on release

    // The icon comes first: it may have been dropped over the panel or a thumbnail, and
    // anywhere else it could never be picked up again
    activeIcon = theDoll.PickIcon(loc);
    if (activeIcon) {
        // A click opens the icon menu on release; a drag moves the icon
        mouseDownWasOnIcon = true;
        return;
    }

    if (authorMode.MouseDown(loc)) {
        if (authorMode.GetMode().clickNowhere != AuthorMode::draw) selectedLine = nullptr;
        return;
    }

    if (menuButton.Pick(loc)) {
        // The shell's menu takes this press's release and everything else until it closes
        ShowMenuAt(menuButton.GetMenuCorner());
        return;
    }

    if (DollPoseWidget* w = PickPoseWidget(loc)) {
        int i = IndexOfPoseWidget(w);
        if (GetWasDoubleClick()) {
            theDoll.SetEditPose(-1);
            theDoll.GoToPose(i, true);
        } else {
            theDoll.SetEditPose(i);
        }
        animation.PoseChosen(i);
        return;
    }

    // A strip cell, unless a joint is drawn over it
    if (!theDoll.Pick(loc) && animation.MouseDown(loc, GetWasDoubleClick())) return;

    DollJoint* joint = nullptr;
    switch (GetClickAction(loc, &joint)) {
        case AuthorMode::pose:
            if (!joint) break;
            if (GetWasDoubleClick())
                joint->SetLock(!joint->GetLock());
            else
                InitiateNodeDrag(loc, joint, false);
            break;
        case AuthorMode::draw:
            selectedLine = nullptr;
            if (theDoll.PickEdge(loc, &activeEdge.a, &activeEdge.b) < 0) activeEdge.a = -1;
            activeLine = activeEdge.a == -1 ? nullptr : theDoll.NewLine(activeEdge.a, activeEdge.b);
            if (activeLine) activeLine->SetIsMask(GetIsEditingDollMask());
            mode = activeLine ? draw : idle;
            break;
        case AuthorMode::makeNode:
            if (theDoll.AddJoint(loc)) {
                EndAction("Add Joint");
            } else {
                Beep();
                ShowStatus("A doll has at most 32 joints");
            }
            break;
        case AuthorMode::moveOrLink:
            if (joint) InitiateNodeDrag(loc, joint, true);
            break;
        case AuthorMode::selectLine: {
            SketchDollLine* l = theDoll.PickLine(loc, kLinePickDistance);
            // A second click on the selected line deselects it
            selectedLine = l != selectedLine ? l : nullptr;
            break;
        }
        default:
            break;
    }
}

void Velko::MouseMoved(fPoint2 delta) {
    if (mode == drag && deformDrag) {
        // The deform preview is drawn from the pointer location, nothing accumulates
        VELKO_ASSERT_TEXT(activeJoint, "activeJoint");
        return;
    }
    if (theDrag.GetIsInDrag()) theDrag.TranslateDragObject(delta);
}

void Velko::Idle() {
    PleaseRender();
    theDoll.GetLookAt()->LookAt(GetMouseLoc(),
                                GetIsMouseDown() ? kLookAtInterestDown : kLookAtInterestUp);
    // While playing, the sequence alone moves the doll
    if (animation.GetIsPlaying())
        animation.TickPlayback();
    else
        theDoll.Update();
    animation.SyncMarks();
    if (animation.GetIsPlayLabelStale()) animation.SyncPlayLabel(GetMenu());
    if (!documentBegun) {
        // After the first update, in which the edit pose takes the new doll's posture, so
        // that an untouched doll has no unsaved changes; and here rather than at
        // construction, so that a message about the document shows over the editor, not
        // over the title splash
        documentBegun = true;
        document.BeginWithPath(startDocument);
        BeginHistory();  // whether a document was opened or not
        OfferRecovery();
    }

    fPoint2 mouseAt = GetMouseLoc();
    fPoint2 downAt = GetMouseDownLoc();
    DollPoseWidget* rolloverWidget = PickPoseWidget(mouseAt);
    DollPoseWidget* pressWidget = PickPoseWidget(downAt);
    DollIcon* pressIcon = theDoll.PickIcon(downAt);
    if (mode == idle) activeIcon = theDoll.PickIcon(mouseAt);
    AppCursor cursor = normalCursor;

    if (theDrag.GetIsInDrag()) {
        DragReceptacle* receptacle = nullptr;
        if (rolloverWidget && rolloverWidget->WillReceiveDrag(theDrag.GetObject()))
            receptacle = rolloverWidget;
        else
            receptacle = animation.OfferDrop(mouseAt, theDrag.GetObject());
        theDrag.ChooseReceptacle(receptacle);
        cursor = closedHandCursor;
    } else if (animation.GetIsPressed()) {
        animation.Track(mouseAt);
        animation.CursorAt(mouseAt, &cursor);
    } else if (mode == drag) {
        if (!deformDrag) theDoll.UserMoveJointTowards(activeJoint, mouseAt + dragTargetDelta);
        cursor = closedHandCursor;
    } else if (mode == draw) {
        VELKO_ASSERT_TEXT(activeLine, "activeLine");
        activeLine->TrackGesture(mouseAt, kStrokePointSpacing);
        cursor = pencilCursor;
    } else if (GetCouldBeDrag() && (pressWidget || pressIcon)) {
        // The icon before a thumbnail under it, as the press chose; with the menu open only
        // the icon can be dragged
        if (pressIcon)
            theDrag.Begin(pressIcon, Drag::live);
        else if (mode == idle)
            theDrag.Begin(pressWidget, Drag::ghostDontMoveObject);
        // Catch up with the travel made before the drag was recognised
        theDrag.TranslateDragObject(mouseAt - downAt);
    }

    if (GetIsMenuOpen()) {
        // The menu lies over the doll and takes the pointer: nothing under it is lit
        activeJoint = nullptr;
        activeEdge.a = -1;
    } else if (!GetIsMouseDown() && !theDoll.Pick(mouseAt) &&
               animation.CursorAt(mouseAt, &cursor)) {
        // Over a strip cell: the strip's cursor, and no rollover on the doll
        activeJoint = nullptr;
        activeEdge.a = -1;
    } else if (!GetIsMouseDown()) {
        DollJoint* joint = nullptr;
        switch (GetClickAction(mouseAt, &joint)) {
            case AuthorMode::pose:
            case AuthorMode::moveOrLink:
                activeJoint = joint;
                activeEdge.a = -1;
                cursor = openHandCursor;
                break;
            case AuthorMode::draw:
                cursor = pencilCursor;
                activeJoint = nullptr;
                if (theDoll.PickEdge(mouseAt, &activeEdge.a, &activeEdge.b) < 0) activeEdge.a = -1;
                break;
            case AuthorMode::makeNode:
                ClearActiveElements();
                break;
            default:
                activeJoint = nullptr;
                activeEdge.a = -1;
                break;
        }
    }
    SetMouseCursor(GetIsMenuOpen() ? normalCursor : cursor);
    statusLine.SetHint(CurrentHint());

    // Playing is never an edit: what it does to the posture is undone when it stops
    if (animation.GetIsPlaying()) {
        KeepRecoveryCopy();
        return;
    }
    // Writing the document renumbers joints, so it waits until no action holds one
    uint64_t fingerprint = DollFingerprint();
    if (fingerprint != lastDollFingerprint) {
        lastDollFingerprint = fingerprint;
        documentTouched = true;
        ticksAtRest = 0;
    } else if (ticksAtRest < kDocumentRestTicks) {
        ticksAtRest++;
    }
    if (documentTouched && ticksAtRest >= kDocumentRestTicks && mode == idle && !GetIsMouseDown() &&
        !theDrag.GetIsInDrag()) {
        TakeSnapshot();
    }
    KeepRecoveryCopy();
}

uint64_t Velko::DollFingerprint() const {
    // FNV-1a over what can change without a person's input: the posture, the poses being
    // recorded into, and the icon (a drag moves it). Lines change only through input.
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* p, size_t n) {
        const unsigned char* b = (const unsigned char*)p;
        for (size_t i = 0; i < n; i++) h = (h ^ b[i]) * 1099511628211ull;
    };
    for (int i = 0; i < kDollMaxJoints; i++)
        if (theDoll.jointAllocTable[i]) mix(&theDoll.joints[i].loc, sizeof(fPoint2));
    for (int p = 0; p < Doll::kNumPoses; p++) {
        const DollPose& pose = theDoll.poses[p];
        mix(&pose.njoints, sizeof pose.njoints);
        for (int i = 0; i < kDollMaxJoints; i++)
            if (pose.PeekAtJointAlloc(i)) mix(&pose.joints[i], sizeof(fPoint2));
    }
    mix(&theDoll.icon.bounds, sizeof theDoll.icon.bounds);
    mix(&theDoll.icon.icon, sizeof theDoll.icon.icon);
    return h;
}

void Velko::MouseUp(fPoint2 loc) {
    bool stayInPickIcon = false;
    animation.MouseUp(loc);

    if (mode == draw) {
        VELKO_ASSERT_TEXT(activeLine, "activeLine");
        if (activeLine->GetNPoints() < 2) {
            delete activeLine;  // unlinks it from the doll
            activeLine = nullptr;
        } else {
            EndAction(activeLine->GetIsMask() ? "Draw Mask" : "Draw Line");
        }
    }

    if (mode == pickIcon) {
        VELKO_ASSERT_TEXT(activeIcon, "activeIcon");
        if (theDrag.GetIsInDrag()) {
            stayInPickIcon = true;
        } else {
            // Press and release must agree on the cell
            fRect r = activeIcon->GetBounds();
            int current = activeIcon->GetIcon();
            int pressed = PickIconMenu(r, kIconMenuGutter, current, GetMouseDownLoc(), GetBounds());
            int released = PickIconMenu(r, kIconMenuGutter, current, loc, GetBounds());
            if (pressed == released && pressed != current) {
                activeIcon->SetIcon(pressed);
                EndAction("Choose Icon");
            }
        }
    }

    if (mouseDownWasOnIcon && mode == idle && GetWasClickInPlace()) {
        activeIcon = theDoll.PickIcon(loc);
        if (activeIcon) {
            mode = pickIcon;
            stayInPickIcon = true;
        }
    }

    // True as soon as one joint is inside: false means the doll has left the window
    if (!theDoll.GetAreAllJointsOutOfRect(GetBounds())) {
        theDoll.GoToHomePose();
        animation.PoseChosen(-1);
        EndAction("Home Position");
    }

    if (theDrag.GetIsInDrag()) {
        bool iconDrag = theDrag.GetObject() == theDoll.GetIcon();
        bool toStrip = theDrag.receptacle == &animation;
        theDrag.End();
        if (iconDrag) KeepIconInWindow();
        // A thumbnail dropped on another copies its pose, on the strip it adds a step;
        // dropped elsewhere nothing changes and no step is recorded
        EndAction(iconDrag ? "Move Icon" : toStrip ? "Add Step" : "Copy Pose");
    }

    if (mode == drag && deformDrag) {
        VELKO_ASSERT_TEXT(activeJoint, "activeJoint");
        DollJoint* dst = theDoll.Pick(GetMouseLoc());
        if (dst && dst != activeJoint) {
            EndAction(theDoll.EdgeExists(activeJoint, dst) ? "Unlink Joints" : "Link Joints");
            theDoll.ToggleEdge(activeJoint, dst);
        } else {
            theDoll.UserDeformJoint(activeJoint, GetMouseLoc() - GetMouseDownLoc());
            EndAction("Move Joint");
        }
    } else if (mode == drag) {
        EndAction("Pose");
    }

    if (!stayInPickIcon) {
        mode = idle;
        activeJoint = nullptr;
        activeLine = nullptr;
        activeIcon = nullptr;
    }
    documentTouched = true;
}

void Velko::Key(int c) {
    BeginAction();
    documentTouched = true;
    // Playing takes the doll over: not while an action holds it
    const bool busy =
        mode != idle || GetIsMouseDown() || theDrag.GetIsInDrag() || animation.GetIsPressed();
    if (c == ' ' && busy && !animation.GetIsPlaying()) return;
    if (animation.Key(c, GetMouseLoc())) return;
    switch (c) {
        case 8:    // backspace
        case 127:  // delete
            DeleteKey(c);
            break;
        case 9:  // tab
        case kDownArrowKey:
            ChangePose(1);
            break;
        case kUpArrowKey:
            ChangePose(-1);
            break;
        case kLeftArrowKey:
            ChangePose(nPoseWidgetsInColumn);
            break;
        case kRightArrowKey:
            ChangePose(-nPoseWidgetsInColumn);
            break;
        case '+':
            if (activeEdge.a != -1) {
                theDoll.MoveEdgeForwards(activeEdge.a, activeEdge.b);
                EndAction("Draw Bone Later");
            } else {
                ShowStatus("Point at a bone (it turns green) for + to draw it later");
            }
            break;
        case '-':
            if (activeEdge.a != -1) {
                theDoll.MoveEdgeBackwards(activeEdge.a, activeEdge.b);
                EndAction("Draw Bone Earlier");
            } else {
                ShowStatus("Point at a bone (it turns green) for - to draw it earlier");
            }
            break;
        default:
            break;
    }
}

void Velko::DeleteKey(int c) {
    if (mode != idle) return;
    if (DollPoseWidget* w = PickPoseWidget(GetMouseLoc())) {
        ClearPose(IndexOfPoseWidget(w));
        return;
    }
    if (c != 8) return;  // Delete acts on thumbnails only
    if (selectedLine) {
        EndAction(selectedLine->GetIsMask() ? "Delete Mask" : "Delete Line");
        delete selectedLine;  // unlinks it from the doll
        selectedLine = nullptr;
    } else if (authorMode.GetMode().deleteRollover == AuthorMode::eraseEdgeOrNode) {
        if (activeJoint && theDoll.GetIsJointOf(activeJoint)) {
            theDoll.DeleteJoint(theDoll.GetIndexOfJoint(activeJoint));
            ClearActiveElements();
            EndAction("Delete Joint");
        } else {
            Beep();
            ShowStatus("Point at a joint for Backspace to delete it");
        }
    } else if (authorMode.GetMode().clickNowhere == AuthorMode::draw) {
        ShowStatus("Nothing is selected: click a line, then Backspace deletes it");
    }
}

void Velko::ClearPose(int i) {
    DollPose* pose = theDoll.GetPose(i);
    std::string name = "Pose " + std::to_string(i + 1);
    if (!pose || pose->GetNumJoints() == 0) {
        ShowStatus(name + " is already empty");
        return;
    }
    // Recording into the slot, or moving into it to record, would fill it again at once
    if (theDoll.GetEditPose() == i) theDoll.SetEditPose(-1);
    if (theDoll.GetSeekPose() == i) theDoll.StopSeeking();
    pose->Clear();
    EndAction(("Clear " + name).c_str());
    ShowStatus("Cleared pose " + std::to_string(i + 1));
}

std::string Velko::CurrentHint() {
    fPoint2 p = GetMouseLoc();
    if (animation.GetIsPlaying()) return animation.Hint(p);
    if (!GetIsMenuOpen() && mode == idle) {
        if (DollPoseWidget* w = PickPoseWidget(p)) {
            std::string n = std::to_string(IndexOfPoseWidget(w) + 1);
            return "Pose " + n +
                   ": click to move into it and record; drag onto another to copy, or onto the "
                   "strip to animate it; Delete empties it";
        }
        if (menuButton.Pick(p))
            return "Menu: the File, Edit and Animation commands (or right-click anywhere)";
        const std::string strip = animation.Hint(p);
        if (!strip.empty() && !theDoll.Pick(p)) return strip;
    }
    if (GetIsEditingDollMask())
        return "Edit Mask: new lines are white masks that hide what is behind them; Ctrl+M ends it";
    return AuthorModePanel::modeHints[authorMode.level];
}

void Velko::ChangePose(int delta) {
    int p = theDoll.GetSeekPose();
    if (p == -1) p = theDoll.GetEditPose();
    if (p == -1) {
        p = 0;
    } else {
        // Wraps within the grid whatever the step
        p = ((p + delta) % nPoseWidgets + nPoseWidgets) % nPoseWidgets;
    }
    theDoll.SetEditPose(p);
    animation.PoseChosen(p);
}

// Drawing

void Velko::Render() {
    fRect bounds = GetBounds();
    if (testOnBackground) {
        fColor::SetToBlend(fColor::white(), fColor::red(), kMaskTint);
        bounds.Paint();
    }
    if (mode == pickIcon) {
        fColor tint;
        tint.SetToBetween(fColor::white(), fColor::blue(), kIconMenuTint);
        tint.SetColor();
        bounds.Paint();
    }
    if (activeIcon) activeIcon->Frame();
    animation.RenderBehindDoll(authorMode.GetMode());
    RenderDoll();
    if (selectedLine) selectedLine->RenderSelected();
    RenderRollovers();
    RenderPoseWidgets();
    authorMode.Render(mode != pickIcon);
    menuButton.bounds.left = authorMode.bounds.left;  // the panel's width is known once drawn
    menuButton.bounds.right = authorMode.bounds.right;
    menuButton.Render(GetIsMenuOpen());
    statusLine.Render(kStatusBaselineLeft, kStatusWidth);
    RenderDrag();
    animation.RenderOnTop();
    if (mode == pickIcon) {
        VELKO_ASSERT_TEXT(activeIcon, "activeIcon");
        RenderIconMenu(activeIcon->GetBounds(), kIconMenuGutter, GetBounds());
    }
}

void Velko::RenderDoll() {
    // With the icon menu open the masks are left unfilled so the tint shows through
    RenderDollInMode(&theDoll, authorMode.GetMode(), mode != pickIcon, true);
}

void Velko::RenderRollovers() {
    // What a click would hit is not lit under an open menu, which takes the click
    if (GetIsMenuOpen()) return;
    if (activeJoint) activeJoint->RenderHilited();
    if (activeEdge.a != -1) theDoll.RenderEdgeHilited(activeEdge.a, activeEdge.b);
}

void Velko::RenderPoseWidgets() {
    for (int i = 0; i < nPoseWidgets; i++) poseWidgets[i].Render();
    // The edit frame is drawn last, so it covers the seek frame on the same widget
    int s = theDoll.GetSeekPose();
    if (s >= 0 && s < nPoseWidgets) poseWidgets[s].RenderHilight(fColor::red());
    int e = theDoll.GetEditPose();
    if (e >= 0 && e < nPoseWidgets) poseWidgets[e].RenderHilight(fColor::yellow());
    // While playing: the pose being played
    int p = animation.GetPlayingPose();
    if (p >= 0 && p < nPoseWidgets) poseWidgets[p].RenderHilight(fColor::blue());
}

void Velko::RenderDrag() {
    if (theDrag.GetIsInDrag()) theDrag.Render();
    if (mode != drag || !deformDrag) return;

    // What releasing here would do: link or unlink with the joint under the pointer, or
    // move the joint by the drag so far
    VELKO_ASSERT_TEXT(activeJoint, "activeJoint");
    fPoint2 loc = GetMouseLoc();
    DollJoint* target = theDoll.Pick(loc);
    if (target && target != activeJoint) {
        if (theDoll.EdgeExists(activeJoint, target))
            fColor::white()->SetColor();
        else
            fColor::lightGray()->SetColor();
        Line(activeJoint->GetLoc(), target->GetLoc());
        return;
    }
    fColor::lightGray()->SetColor();
    fPoint2 p = activeJoint->GetLoc() + (loc - GetMouseDownLoc());
    FrameCircle(p, DollJoint::GetGlobalRadius());
    int j = theDoll.GetIndexOfJoint(activeJoint);
    int cookie = 0, neighbor = -1;
    while (theDoll.GetNextEdge(j, &cookie, &neighbor) > 0)
        Line(p, theDoll.GetJoint(neighbor)->GetLoc());
}

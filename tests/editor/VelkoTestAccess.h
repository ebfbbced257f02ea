// Read-only view of the editor's private state for tests and benchmarks, so scripted
// interactions can check what the editor holds after each step without opening its fields.
#pragma once

#include <string>

#include "Velko.h"

class VelkoTestAccess {
public:
    explicit VelkoTestAccess(Velko& v) : v(v) {}

    enum Mode { idle = 0, drag = 1, pickIcon = 2, draw = 3 };

    const SketchDoll& Doll() const { return v.theDoll; }
    // For arranging a doll before an interaction (benchmarks, full joint tables); tests
    // change the doll through input otherwise
    SketchDoll& DollForSetup() { return v.theDoll; }
    Mode GetMode() const { return (Mode)v.mode; }
    bool GetDeformDrag() const { return v.deformDrag; }
    const DollJoint* ActiveJoint() const { return v.activeJoint; }
    const SketchDollLine* ActiveLine() const { return v.activeLine; }
    const DollIcon* ActiveIcon() const { return v.activeIcon; }
    const SketchDollLine* SelectedLine() const { return v.selectedLine; }
    int ActiveEdgeA() const { return v.activeEdge.a; }
    int ActiveEdgeB() const { return v.activeEdge.b; }
    fPoint2 DragTargetDelta() const { return v.dragTargetDelta; }
    int NumPoseWidgets() const { return v.nPoseWidgets; }
    int PoseWidgetsInColumn() const { return v.nPoseWidgetsInColumn; }
    const DollPoseWidget& PoseWidget(int i) const { return v.poseWidgets[i]; }
    const Drag& TheDrag() const { return v.theDrag; }
    const AuthorModePanel& Panel() const { return v.authorMode; }
    AuthorMode CurrentMode() const { return v.authorMode.GetMode(); }
    bool EditingMask() const { return v.testOnBackground; }
    const EditHistory& History() const { return v.history; }
    const AnimationEditor& Animation() const { return v.animation; }
    // For arranging the animation before a benchmark
    AnimationEditor& AnimationForSetup() { return v.animation; }
    // What the status line shows now: a message, or the hint
    const std::string& StatusText() const { return v.statusLine.GetText(); }
    // An action completed and its step waits for the doll to come to rest
    bool GetIsStepPending() const { return !v.pendingStep.empty() || v.documentTouched; }
    // What the editor does when an action has come to rest: writes the document and
    // records it in the history (benchmarks)
    void TakeSnapshot(const char* label) {
        v.EndAction(label);
        v.TakeSnapshot();
    }
    // One tick's recovery duty with a copy due now (benchmarks); the copy is written by the
    // recovery file's own thread
    void KeepRecoveryCopyNow() {
        v.recoveryStale = true;
        v.lastRecoveryWriteTime = -1e9;
        v.KeepRecoveryCopy();
    }
    void EnableRecovery(const std::string& folder) { v.EnableRecovery(folder); }
    RecoveryFile* Recovery() { return v.recovery.get(); }
    // The document the doll would write now (renumbers its joints, as saving does)
    bool WriteDocument(std::string* bytes) { return v.WriteDocument(bytes); }

private:
    Velko& v;
};

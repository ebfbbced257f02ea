// One editor on the scripted test shell, with the helpers the interaction tests share:
// window positions of the default doll's joints, the mode panel's items and the
// thumbnails, and read-only access to what the editor holds.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "EditorTestShell.h"
#include "GLTestContext.h"
#include "Velko.h"
#include "VelkoTestAccess.h"

// Author modes in panel order
enum PanelItem { kPlay = 0, kDraw = 1, kDrawAndPose = 2, kPose = 3, kEditSkeleton = 4 };

// Joint slots of the default doll
enum DefaultJoint {
    kHead = 0,
    kBreast = 1,
    kLeftElbow = 2,
    kLeftHand = 3,
    kHips = 4,
    kLeftKnee = 5,
    kLeftFoot = 6,
    kRightKnee = 7,
    kRightFoot = 8,
    kRightElbow = 9,
    kRightHand = 10,
};

struct EditorSession {
    EditorTestShell shell;
    Velko editor;
    VelkoTestAccess in;

    // withMenu: the shell offers the in-window menu, as the program's does
    explicit EditorSession(float lockedWidth = 0, float lockedHeight = 0, bool withMenu = false)
        : shell(), editor(LockFirst(&shell, lockedWidth, lockedHeight, withMenu)), in(editor) {
        shell.Host(&editor);
        shell.Tick();  // the first frame gives the mode panel its width
    }

    const SketchDoll& Doll() const { return in.Doll(); }
    fPoint2 JointAt(int i) const { return Doll().joints[i].loc; }
    int JointX(int i) const { return (int)lroundf(JointAt(i).x); }
    int JointY(int i) const { return (int)lroundf(JointAt(i).y); }
    const DollJoint* Joint(int i) const { return &Doll().joints[i]; }

    void ChooseMode(PanelItem item) {
        shell.Click(40, 20 + 20 * item);
        shell.Wait(1);  // the next press is never a double click of this one
    }
    // Centre of thumbnail i
    fPoint2 WidgetCentre(int i) const { return in.PoseWidget(i).bounds.GetCenter(); }
    // The pose being moved into, else the one recording, else -1
    int TargetPose() const {
        int s = Doll().GetSeekPose();
        return s != -1 ? s : Doll().GetEditPose();
    }

private:
    static App* LockFirst(EditorTestShell* s, float w, float h, bool withMenu) {
        if (w > 0) s->LockBounds(w, h);
        if (withMenu) s->OfferShellMenu();
        return s;
    }
};

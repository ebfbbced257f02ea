// The heavy doll the editor benchmarks measure: the default doll grown to 32 joints with 200
// hand-sketch-like lines of 250 points along its bones, and four poses for its animation
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "SketchDoll.h"

// Adds joints up to 32, each linked to an earlier one, and 200 lines of 250 points spread
// over the bones, each drawn along its bone like a hand-sketched contour
inline void MakeHeavy(SketchDoll& d) {
    for (int i = 0; d.GetNumJoints() < kDollMaxJoints; i++) {
        int from = i % 11;
        fPoint2 p = d.GetJoint(from)->GetLoc() + fPoint2(30 * cosf(i * 1.3f), 30 * sinf(i * 1.3f));
        int j = d.NewJoint();
        d.GetJoint(j)->SetLoc(p);
        d.MakeEdge(from, j);
    }
    std::vector<std::pair<int, int>> bones;
    for (int a = 0; a < kDollMaxJoints; a++)
        for (int b = a + 1; b < kDollMaxJoints; b++)
            if (d.edges[a][b] > 0) bones.push_back({a, b});
    for (int n = 0; n < 200; n++) {
        auto bone = bones[n % bones.size()];
        SketchDollLine* l = d.NewLine(bone.first, bone.second);
        fPoint2 a = d.GetJoint(bone.first)->GetLoc(), b = d.GetJoint(bone.second)->GetLoc();
        for (int k = 0; k < 250; k++) {
            float t = k / 249.0f;
            fPoint2 on(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t);
            l->AddPoint(on + fPoint2(6 * sinf(t * 20 + n), 6 * cosf(t * 17 + n)));
        }
    }
    d.SkeletonChanged();
}

// Poses 0 to 3 of a heavy doll: each swings a different limb's end (hands and feet of the
// default skeleton) out and lets the skeleton relax; the doll is left as it was
inline void MakeHeavyPoses(SketchDoll& d) {
    fPoint2 rest[kDollMaxJoints];
    for (int i = 0; i < kDollMaxJoints; i++) rest[i] = d.joints[i].loc;
    const int ends[4] = {10, 3, 6, 8};
    const fPoint2 swings[4] = {{60, -120}, {-60, -120}, {-50, -40}, {50, -40}};
    for (int p = 0; p < 4; p++) {
        d.UserMoveJoint(d.GetJoint(ends[p]), swings[p]);
        for (int t = 0; t < 60; t++) d.UpdateIK();
        d.poses[p].DollToPose(&d);
        for (int i = 0; i < kDollMaxJoints; i++) d.joints[i].SetLoc(rest[i]);
    }
}

// DollJoint: one joint of a doll's skeleton, a plain value held by value in the doll's fixed
// joint table (the doll owns every joint). Locations are world units; the motion fields are
// per update tick (see Doll::Update).
#pragma once

#include "fPoint2.h"

class Doll;

class DollJoint {
public:
    fPoint2 loc;           // world coordinates
    fPoint2 inertia;       // displacement carried into the next update
    int locked;            // lock counter; locked while non-zero (locks nest)
    float rotate;          // radians from this joint towards joint rotateRelativeTo
    int rotateRelativeTo;  // joint index, or -1
    int nodeName;          // role number of the joint, or -1 for none

    DollJoint();

    // Resets everything but loc
    void Clear();

    // Places the joint and drops its inertia
    void SetLoc(fPoint2 p) {
        loc = p;
        inertia = fPoint2(0, 0);
    }
    fPoint2 GetLoc() const { return loc; }
    // Moves the joint, keeping its inertia
    void Move(fPoint2 delta) { loc.Add(delta); }

    void SetName(int n) { nodeName = n; }
    int GetName() const { return nodeName; }
    void SetRotateRelativeToJoint(int j) { rotateRelativeTo = j; }
    int GetRotateRelativeToJoint() const { return rotateRelativeTo; }

    // on adds one lock, off removes one
    void SetLock(bool on) { locked += on ? 1 : -1; }
    bool GetLock() const { return locked != 0; }

    // True strictly inside the joint's circle
    bool Pick(fPoint2 p) const { return loc.Dist(p) < GetRadius(); }
    // Circle radius in world units, the same for every joint
    float GetRadius() const { return GetGlobalRadius(); }
    static float GetGlobalRadius() { return 16.0f; }

    // inertia += 0.3 * e
    void AddInertia(fPoint2 e);
    // One relaxation step of this joint (slot myid) against its bones in doll
    void Update(int myid, Doll* doll);
    // Bones whose pulls a joint takes at full strength in one pass. Each bone adds a gain of
    // 0.21 to the joint; past about a dozen bones the sum overshoots every tick and the
    // skeleton flies apart to infinity, so the pulls of a joint with more bones are scaled
    // down to this many bones' worth. Ordinary skeletons have far fewer bones per joint.
    static constexpr int kMaxFullPullBones = 8;
    // Pull towards a neighbour at `to` over a bone of rest length edgeLength: 0.7 of the
    // length error along the bone; (0, 0) when the two coincide
    fPoint2 ImpulseTo(fPoint2 to, float edgeLength) const;

    void Render(bool emphasizeNodes) const;
    void RenderHilited() const;
};

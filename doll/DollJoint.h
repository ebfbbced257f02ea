// DollJoint: one joint of a doll's skeleton, a plain value held by value in the doll's fixed
// joint table (the doll owns every joint). Locations are world units; the motion fields are
// per update tick (see Doll::Update).
#pragma once

#include "fPoint2.h"

class Doll;
struct DollBoneLists;

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
    // One relaxation step of this joint (slot myid) against its bones in doll: moves by the
    // inertia (the location kept within the document range), halves it, then adds the bones'
    // pulls, scaled down to PullCap bones' worth when the joint has more bones than that
    void Update(int myid, Doll* doll);
    // The same with the doll's bone lists (Doll::GetBoneLists), taken once for many passes
    void Update(int myid, Doll* doll, const DollBoneLists& bones);
    // Bones' worth of pull a joint takes at full strength in one pass. Each bone adds a gain
    // of 0.21 to each of its ends; the two ends of a bone relax against each other, and in
    // the ascending pass with inertia the pair overshoots every tick, growing without end,
    // once their gains together pass about seven bones' worth (already eight joints on a
    // line, each linked to the four of the other parity, fly apart). So each bone's two ends
    // share at most kMaxPairPullBones: a joint takes that less the larger of a neighbour's
    // bones and half of it. The centre of a star (every neighbour has no other bone) moves
    // against its neighbours as one body and stays stable up to kMaxFullPullBones, and no
    // joint takes more. The default doll's busiest bone, breast to hips, has 4 + 3 bones:
    // untouched.
    static constexpr int kMaxFullPullBones = 8;
    static constexpr int kMaxPairPullBones = 7;
    static float PullCap(int myid, const Doll* doll, const int* boneCounts);
    // Pull towards a neighbour at `to` over a bone of rest length edgeLength: 0.7 of the
    // length error along the bone; (0, 0) when the two coincide
    fPoint2 ImpulseTo(fPoint2 to, float edgeLength) const;

    void Render(bool emphasizeNodes) const;
    void RenderHilited() const;
};

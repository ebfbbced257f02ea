// DollFilter: a rule that nudges particular joints of a doll, found by their role numbers,
// through the same pull the doll uses to move into a pose. The doll owns one of each kind
// by value. Nothing in the per-tick update runs them: a caller that wants one applied calls
// Run(doll) after Doll::Update(), and Render(doll) to draw its schematic.
//
// This header holds the base and the three filters without state; LookAtFilter.h holds the
// one with state.
#pragma once

class Doll;

class DollFilter {
public:
    // Nudges the roles' joints of d; a doll without roles is left untouched
    virtual void Run(Doll* d) = 0;
    // Draws the filter's schematic in world coordinates; nothing by default
    virtual void Render(Doll* d) { (void)d; }

protected:
    ~DollFilter() = default;
};

// Keeps the torso over the hips: currently a rule without effect
class TorsoOverHipsFilter : public DollFilter {
public:
    void Run(Doll* d) override;
};

// Shifts the hands against the lean of the doll and straightens the spine over the centre
// of its joints
class BalanceFilter : public DollFilter {
public:
    void Run(Doll* doll) override;
    // Bounds of the joints and a cross through their centre
    void Render(Doll* doll) override;

    // Pulls the torso to hips.x + dx and the head over the torso (dx in world units)
    void AlignSpine(Doll* doll, float dx);
    // Of the roles jnl and jnr, the one further left (ties: jnr); the other role when one
    // is missing
    int GetLeftmostJoint(Doll* doll, int jnl, int jnr);
    // The role GetLeftmostJoint does not return
    int GetRightmostJoint(Doll* doll, int jnl, int jnr);
};

// Pulls both feet down to the ground line
class FeetOnGroundFilter : public DollFilter {
public:
    static constexpr float kGroundY = 460.0f;  // world y of the ground line
    void Run(Doll* doll) override;
};

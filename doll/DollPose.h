// DollPose: a snapshot of a doll's joint locations, slot for slot with the doll's joint
// table, with the bounding box of those locations. The doll holds its eight stored poses and
// its home pose by value. Locations are world units.
#pragma once

#include "fPoint2.h"
#include "fRect.h"

class Doll;
class tbfWriter;
class tbfReader;

class DollPose {
public:
    static const int kMaxJoints = 32;  // the doll's joint slot count

    int njoints;                       // number of joints the pose holds
    fPoint2 joints[kMaxJoints];        // location per joint slot
    bool jointAllocTable[kMaxJoints];  // true where the slot holds a location
    fRect boundingBox;                 // box around the held locations
    bool boundingBoxEmpty;             // true when no box could be derived

    DollPose();
    ~DollPose();

    // Unmarks every slot; the bounding box is kept
    void Clear();
    // Captures the locations of d's allocated joints
    void DollToPose(Doll* d);
    void CopyPose(const DollPose* src);
    // Slot i must be marked
    fPoint2 GetJointLoc(int i) const;
    // From slot *i upward, the next marked slot (and *i one past it), or -1
    int GetNextJoint(int* i) const;
    // False for unmarked slots and for i outside 0 .. 31
    bool PeekAtJointAlloc(int j) const { return j >= 0 && j < kMaxJoints && jointAllocTable[j]; }
    int GetNumJoints() const { return njoints; }
    fRect GetBoundingBox() const { return boundingBox; }
    // Moves slot from to slot to (both 0 .. 31)
    void NotifyJointIndexChanged(int from, int to);
    // Holds location loc for slot j (0 .. 31) too; nothing when it holds j already
    void AddJointAt(int j, fPoint2 loc);
    // No longer holds slot j; nothing when it does not
    void RemoveJoint(int j);
    // False (box kept) when the pose holds no joints
    bool DeriveBoundingBox();

    // A "pose" node holding a "joints" node with the locations of slots 0 .. njoints-1,
    // which must all be marked (true of a pose of a doll whose joints are compacted)
    void Write(tbfWriter* f) const;
    // Reads the "pose" node at f's current item, filling slots from 0 in file order (at
    // most 32); any other item leaves the pose empty
    void ReadNodeFromFile(tbfReader* f);
};

#include "DollPose.h"

#include "Doll.h"
#include "VelkoAssert.h"

DollPose::DollPose() : njoints(0), boundingBoxEmpty(true) {
    for (int i = 0; i < kMaxJoints; i++) jointAllocTable[i] = false;
}

DollPose::~DollPose() { Clear(); }

void DollPose::Clear() {
    for (int i = 0; i < kMaxJoints; i++) jointAllocTable[i] = false;
    njoints = 0;
}

void DollPose::DollToPose(Doll* d) {
    for (int i = 0; i < kMaxJoints; i++) {
        jointAllocTable[i] = d->PeekAtJointAlloc(i);
        if (jointAllocTable[i]) joints[i] = d->GetJoint(i)->GetLoc();
    }
    njoints = d->GetNumJoints();
    DeriveBoundingBox();
}

void DollPose::CopyPose(const DollPose* src) {
    for (int i = 0; i < kMaxJoints; i++) {
        joints[i] = src->joints[i];
        jointAllocTable[i] = src->jointAllocTable[i];
    }
    njoints = src->njoints;
    DeriveBoundingBox();
}

fPoint2 DollPose::GetJointLoc(int i) const {
    VELKO_ASSERT_TEXT(PeekAtJointAlloc(i), "jointAllocTable[i]");
    return joints[i];
}

int DollPose::GetNextJoint(int* i) const {
    for (int j = *i < 0 ? 0 : *i; j < kMaxJoints; j++) {
        if (jointAllocTable[j]) {
            *i = j + 1;
            return j;
        }
    }
    *i = kMaxJoints;
    return -1;
}

void DollPose::NotifyJointIndexChanged(int from, int to) {
    VELKO_ASSERT(from >= 0 && from < kMaxJoints);
    VELKO_ASSERT(to >= 0 && to < kMaxJoints);
    joints[to] = joints[from];
    jointAllocTable[to] = jointAllocTable[from];
    if (from != to) jointAllocTable[from] = false;
}

void DollPose::AddJointAt(int j, fPoint2 loc) {
    VELKO_ASSERT(j >= 0 && j < kMaxJoints);
    if (jointAllocTable[j]) return;
    jointAllocTable[j] = true;
    joints[j] = loc;
    njoints++;
    DeriveBoundingBox();
}

void DollPose::RemoveJoint(int j) {
    if (!PeekAtJointAlloc(j)) return;
    jointAllocTable[j] = false;
    njoints--;
    DeriveBoundingBox();
}

bool DollPose::DeriveBoundingBox() {
    if (njoints == 0) {
        boundingBoxEmpty = true;
        return false;
    }
    bool first = true;
    for (int i = 0; i < kMaxJoints; i++) {
        if (!jointAllocTable[i]) continue;
        if (first)
            boundingBox.Set(joints[i]);
        else
            boundingBox.GrowToInclude(joints[i]);
        first = false;
    }
    // A count without marked slots has no box either
    boundingBoxEmpty = first;
    return !first;
}

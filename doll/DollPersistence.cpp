// The doll's documents: one "velko" chunk holding the joint locations, the bones and the
// eight stored poses, written through tbfWriter and read through tbfReader. A derived doll
// adds its own nodes after these through WriteNodesToFile / ReadNodeFromFile.
//
// Reading trusts nothing in the document: counts are ignored or bounded, joint indices are
// checked, numbers must be numbers within kMaxDocumentCoordinate, and a node is closed only
// when it was entered. Whatever the bytes, the doll ends up consistent, possibly empty.
#include <cmath>

#include "Doll.h"
#include "DollPose.h"
#include "VelkoAssert.h"
#include "tbfReader.h"
#include "tbfWriter.h"

namespace {

// A document holds six decimals. Each location read is rounded to that precision, so a doll
// loaded from any document saves to one that loads back as exactly the same doll (two
// joints a ten-millionth apart would otherwise keep their bone on the first load and lose it
// on the second). Numbers this program wrote are unchanged by it.
//
// The result is the float nearest to the six-decimal text "%f" prints for v, as printf and
// strtof would give it, for |v| <= 1e6: v * 1e6 is then below 2^52, where adding and taking
// away 2^52 rounds to the nearest integer k (ties to even, as printf rounds). k / 1e6 is
// never a midpoint between floats and lies at least 6e-14 (relative) away from one, far
// more than the 3e-16 error of multiplying by the inexact 1e-6, so the final rounding to
// float is the correct one.
float ToDocumentPrecision(float v) {
    const double kRoundingShift = 4503599627370496.0;  // 2^52
    const double scaled = (double)v * 1e6;
    // Rounded by magnitude, the sign put back: -0.0 and small negatives print as "-0.000000"
    const double k = std::copysign((std::fabs(scaled) + kRoundingShift) - kRoundingShift, scaled);
    return (float)(k * 1e-6);
}

// The current item as a location "x y": both numbers, within the document range
bool ParseLocation(tbfReader* f, fPoint2* p) {
    float x = 0, y = 0;  // the reader leaves a target alone when it fails
    if (!f->ParseItem(0, &x) || !f->ParseItem(1, &y)) return false;
    if (!(std::fabs(x) <= Doll::kMaxDocumentCoordinate) ||
        !(std::fabs(y) <= Doll::kMaxDocumentCoordinate))
        return false;
    *p = fPoint2(ToDocumentPrecision(x), ToDocumentPrecision(y));
    return true;
}

// The pose holds a location for exactly the doll's joints, so the doll can move into it
bool PoseFitsDoll(const DollPose& pose, const Doll& d) {
    if (pose.GetNumJoints() != d.GetNumJoints()) return false;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (pose.PeekAtJointAlloc(i) != d.PeekAtJointAlloc(i)) return false;
    return true;
}

}  // namespace

void Doll::WriteToFile(tbfWriter* f) {
    CompactJointIndices();
    f->WriteAndOpenChunkNode("velko", 1, 0, "anonymous");
    WriteNodesToFile(f);
    f->CloseNode();
}

void Doll::WriteNodesToFile(tbfWriter* f) {
    f->WriteAndOpenNode("joints %d", njoints);
    for (int i = 0; i < njoints; i++) {
        VELKO_ASSERT_TEXT(jointAllocTable[i], "jointAllocTable[i]");
        f->Write("%f %f", joints[i].loc.x, joints[i].loc.y);
    }
    f->CloseNode();

    // The count is the number of lines below. It equals nedges except when zero-length bones
    // exist (two joints at one point): nedges counts them, but no document holds them.
    // Readers do not use it.
    f->WriteAndOpenNode("edges %d", CountBones());
    for (int i = 0; i < njoints; i++)
        for (int j = i + 1; j < njoints; j++)
            if (edges[i][j] > 0) f->Write("%d %d", i, j);
    f->CloseNode();

    f->WriteAndOpenNode("poses %d", kNumPoses);
    for (int k = 0; k < kNumPoses; k++) poses[k].Write(f);
    f->CloseNode();
}

void Doll::ReadFromFile(tbfReader* f) {
    Clear();
    if (!f->Read() || !f->GetIsChunk() || !f->GetIsChunkType("velko")) return;
    // A chunk item that opens no node (a missing or glued brace, a CR line end) has no body
    if (!f->OpenNode()) return;
    while (f->Read())
        if (f->GetIsStartOfNode()) ReadNodeFromFile(f);
    f->CloseNode();
}

void Doll::ReadNodeFromFile(tbfReader* f) {
    // Each branch enters its node only if the item opens one, and closes only what it entered
    if (f->CompareItem(0, "joints")) {
        if (!f->OpenNode()) return;
        fPoint2 p;
        BeginSkeletonBatch();
        while (f->Read())
            if (ParseLocation(f, &p)) AddJoint(p);  // dropped once all 32 slots are used
        EndSkeletonBatch();
        f->CloseNode();
    } else if (f->CompareItem(0, "edges")) {
        if (!f->OpenNode()) return;
        BeginSkeletonBatch();
        while (f->Read()) {
            int a = -1, b = -1;
            if (f->ParseItem(0, &a) && f->ParseItem(1, &b) && GetIsValidJoint(a) &&
                GetIsValidJoint(b))
                ToggleEdge(&joints[a], &joints[b]);  // a repeated pair breaks the bone again
        }
        EndSkeletonBatch();
        f->CloseNode();
    } else if (f->CompareItem(0, "poses")) {
        if (!f->OpenNode()) return;
        // Every item takes a slot, in order; items past the eighth are skipped
        for (int k = 0; k < kNumPoses && f->Read(); k++) {
            poses[k].ReadNodeFromFile(f);
            if (!PoseFitsDoll(poses[k], *this)) {
                poses[k].Clear();
                poses[k].DeriveBoundingBox();
            }
        }
        f->CloseNode();
    }
}

void DollPose::Write(tbfWriter* f) const {
    f->WriteAndOpenNode("pose");
    f->WriteAndOpenNode("joints %d", njoints);
    for (int i = 0; i < njoints; i++) {
        VELKO_ASSERT_TEXT(i < kMaxJoints && jointAllocTable[i], "jointAllocTable[i]");
        f->Write("%f %f", joints[i].x, joints[i].y);
    }
    f->CloseNode();
    f->CloseNode();
}

void DollPose::ReadNodeFromFile(tbfReader* f) {
    Clear();
    if (f->CompareItem(0, "pose") && f->OpenNode()) {
        while (f->Read()) {
            // The count only gates the node; the lines themselves say how many there are
            int n = 0;
            if (!f->CompareItem(0, "joints") || !f->ParseItem(1, &n) || n <= 0 || n > kMaxJoints ||
                !f->OpenNode())
                continue;
            fPoint2 p;
            while (njoints < kMaxJoints && f->Read() && ParseLocation(f, &p)) {
                joints[njoints] = p;
                jointAllocTable[njoints] = true;
                njoints++;
            }
            f->CloseNode();
        }
        f->CloseNode();
    }
    DeriveBoundingBox();
}

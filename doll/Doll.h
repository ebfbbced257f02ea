// Doll: the posable stick skeleton under a hand-drawn character. It owns, by value, a fixed
// table of 32 joint slots, the symmetric matrix of bone rest lengths, the bone draw list, the
// eight stored poses and the home pose, four pose filters and the emotion icon.
//
// Coordinates are world units (y grows downwards, so the head has the smallest y). Motion
// constants are per call of Update(). Joint indices are slots 0 .. 31 and stay stable until
// CompactJointIndices(). Indices that come from outside the doll (the editor, a document)
// must be checked with GetIsValidJoint / GetIsJointOf first: the unchecked operations assert.
//
// A doll holds pointers into itself (pose slots, the draw list), so it cannot be copied.
#pragma once

#include "DollEdge.h"
#include "DollFilter.h"
#include "DollIcon.h"
#include "DollJoint.h"
#include "DollPose.h"
#include "DollSequence.h"
#include "LookAtFilter.h"
#include "fPoint2.h"
#include "fRect.h"

class tbfWriter;
class tbfReader;

const int kDollMaxJoints = 32;

// The bones of every joint as lists, taken once for a run of relaxation passes over a
// skeleton that does not change meanwhile (a user drag, a tick of seeking a pose): a pass
// then visits each joint's bones instead of scanning every slot for them
struct DollBoneLists {
    int count[kDollMaxJoints];  // bones (> 0) of each slot to allocated joints; 0 when free
    unsigned char neighbour[kDollMaxJoints][kDollMaxJoints];  // ascending slot order
    float length[kDollMaxJoints][kDollMaxJoints];             // rest lengths, as neighbour
    // A joint with more bones than its share of pull (DollJoint::PullCap) takes its bones'
    // pulls scaled by pullScale
    bool capped[kDollMaxJoints];
    float pullScale[kDollMaxJoints];
};

class Doll {
public:
    static const int kNumPoses = 8;
    static constexpr float kNoEdge = -1.0f;  // matrix entry of a pair without a bone
    // Farthest a document may place a location from the origin along x or y (world units);
    // lines beyond it are not read, which keeps bone lengths and motion finite
    static constexpr float kMaxDocumentCoordinate = 1.0e6f;
    // p with each coordinate brought within +-kMaxDocumentCoordinate (a coordinate that is
    // not a number becomes 0): motion keeps joints there, and so every location a document
    // gets from the doll is one its reader takes. Unchanged within the range.
    static fPoint2 ClampToDocument(fPoint2 p);
    // Widest and tallest icon rectangle a document may give (world units): ten times the icon
    // the editor places, so a document cannot bury the doll under its icon
    static constexpr float kMaxIconExtent = 500.0f;

    bool renderSkeleton;  // draw joints and bones
    bool renderOpaque;    // drawing flag for the sketch doll's masks
    int njoints;          // allocated joints
    DollJoint joints[kDollMaxJoints];
    bool jointAllocTable[kDollMaxJoints];
    DollPose* seekPose;           // pose being moved into, or null
    DollPose* editPose;           // pose that follows the doll on every update, or null
    DollPose* editPoseAfterSeek;  // becomes editPose when the seek ends, or null
    bool lockSeek;                // keep seeking after arrival
    DollPose poses[kNumPoses];
    DollPose homePose;
    int nedges;  // bones made minus bones broken or lost with their joint
    // Rest length of the bone between two joints (world units), symmetric; -1 for none.
    // >= 0 counts as a bone for EdgeExists and ToggleEdge; walks take only > 0.
    float edges[kDollMaxJoints][kDollMaxJoints];
    DollEdgeList dollEdgeDrawList;
    LookAtFilter lfilter;
    TorsoOverHipsFilter tfilter;
    BalanceFilter bfilter;
    FeetOnGroundFilter gfilter;
    DollIcon icon;
    // The animation: timed steps through the pose slots (written only when not the default)
    DollSequence sequence;

    // The default 11-joint skeleton
    Doll();
    Doll(const Doll&) = delete;
    Doll& operator=(const Doll&) = delete;

    // Virtual operations, in this order
    // Rebuilds the default skeleton
    virtual void Reset();
    // Writes the doll as one "velko" chunk: WriteNodesToFile, then an "icon" node when the
    // icon is not the default one and a "draworder" node when the bones' drawing order is not
    // the one a document without it loads with. Compacts the joint indices first, so
    // callers' joint indices are stale afterwards.
    virtual void WriteToFile(tbfWriter* f);
    // The emotion icon, with its frame when renderSchematics
    virtual void RenderDecorations(bool renderSchematics);
    // Bones' drawings in draw-list order, then (if renderSkeleton) joints and bones
    virtual void RenderSkeleton(bool emphasizeNodes, bool thickBones);
    virtual void Render();
    // One tick of motion. A seek that makes no headway for kSeekStallTicks (its farthest
    // joint gets no kSeekStallProgress nearer its target) ends as if the doll had arrived:
    // a pose the skeleton can no longer reach (its bones were re-measured or linked since
    // the pose was taken) would otherwise be sought for ever and never recorded into. With
    // a locked joint the seek goes on, as the lock asks.
    virtual void Update();
    // Draws what belongs to the bone a-b; nothing in a bare doll
    virtual void RenderEdge(int a, int b) const;
    // Re-captures the edit pose and the home pose. The stored poses follow the skeleton's
    // changes as they are made (see NewJoint, DeleteJoint, ToggleEdge); only while a
    // document is being read does a change empty them, as the poses are read after the
    // skeleton they belong to.
    virtual void SkeletonChanged();
    // No joints, no bones, an empty draw list, empty poses, the automatic sequence; lockSeek,
    // the home pose and the icon are kept
    virtual void Clear();
    // Joint j is about to be freed
    virtual void NotifyJointDeleted(int j);
    // Joint from has been renumbered to to; nothing in a bare doll
    virtual void NotifyJointIndexChanged(int from, int to);
    // The chunk's body: "joints", "edges" and "poses" nodes; a derived doll writes its own
    // nodes after these. The joints must occupy slots 0 .. njoints-1.
    virtual void WriteNodesToFile(tbfWriter* f);
    // One child node of the chunk, its opening item being f's current item; a derived doll
    // reads its own nodes and passes the others here. Unknown nodes are left to be skipped.
    // An "icon" node sets the icon at once; a "draworder" node is kept for ReadFromFile.
    virtual void ReadNodeFromFile(tbfReader* f);
    // The whole chunk has been read: nodes come in any order, so only now may what one node
    // names be checked against what another one holds
    virtual void ChunkRead() {}

    // Replaces the doll with the "velko" chunk at f's next item. Any bytes leave a
    // consistent doll: without such a chunk it is left cleared (no joints). The icon starts
    // as the default one and the drawing order as DefaultLoadedDrawOrder describes; the
    // chunk's "draworder" node is applied once the whole chunk is read. The caller checks
    // f's header.
    void ReadFromFile(tbfReader* f);

    // The icon a document without an "icon" node leaves the doll with, and the one a save
    // compares against: the editor declares where it places a new doll's icon before
    // placing it. The icon itself is not changed. Until declared: no icon in a 50 unit
    // square at the origin, as DollIcon starts.
    void SetDefaultIcon(int iconId, fRect bounds) {
        defaultIconId = iconId;
        defaultIconBounds = bounds;
    }
    int GetDefaultIconId() const { return defaultIconId; }
    fRect GetDefaultIconBounds() const { return defaultIconBounds; }

    // Joints
    // Index of a fresh joint (location left as the slot had it), or -1 when all are used.
    // Every filled pose takes the joint too, at the same location.
    int NewJoint();
    // False when no slot is free. Every filled pose takes the joint where it was added.
    bool AddJoint(fPoint2 loc);
    // j must be allocated; it leaves every pose too
    void DeleteJoint(int j);
    // 0 <= i < 32 and allocated
    bool GetIsValidJoint(int i) const { return i >= 0 && i < kDollMaxJoints && jointAllocTable[i]; }
    // j points at an allocated slot of this doll
    bool GetIsJointOf(const DollJoint* j) const;
    // False for i outside 0 .. 31
    bool PeekAtJointAlloc(int j) const { return GetIsValidJoint(j); }
    // i must be allocated
    DollJoint* GetJoint(int i);
    const DollJoint* GetJoint(int i) const;
    // j must be an allocated joint of this doll
    int GetIndexOfJoint(const DollJoint* j) const;
    // Lowest-indexed joint with the role, or null
    DollJoint* GetJointByName(int name);
    // Next allocated joint from *cookie (start at 0); *cookie becomes one past it
    DollJoint* GetNextJoint(int* cookie);
    int GetNumJoints() const { return njoints; }
    // Renumbers the joints to 0 .. njoints-1 in their order, telling every observer
    void CompactJointIndices();
    void Translate(fPoint2 delta);

    // Bones
    // Bone of rest length = current distance; both indices 0 .. 31 and allocated
    void MakeEdge(int jointA, int jointB);
    void BreakEdge(int jointA, int jointB);
    void SetEdgeInMatrix(int jointA, int jointB, float length);
    // True when a bone was made; false when one was broken or a == b. The stored poses are
    // kept, but a joint without bones linked to one with bones is placed, in every filled
    // pose, where it stands now relative to the joint it is linked to: a joint just added
    // comes along with the part it joins.
    bool ToggleEdge(DollJoint* a, DollJoint* b);
    bool EdgeExists(const DollJoint* a, const DollJoint* b) const;
    // Next neighbour of joint over a bone > 0 from *cookie up (start at 0): its rest
    // length, or -1 when none is left
    float GetNextEdge(int joint, int* cookie, int* neighbor) const {
        if (joint < 0 || joint >= kDollMaxJoints) return kNoEdge;
        const float* row = edges[joint];
        for (int c = *cookie < 0 ? 0 : *cookie; c < kDollMaxJoints; c++) {
            if (row[c] > 0 && jointAllocTable[c]) {
                *cookie = c + 1;
                *neighbor = c;
                return row[c];
            }
        }
        *cookie = kDollMaxJoints;
        return kNoEdge;
    }
    // Bones > 0 between allocated joints: the bones a document holds
    int CountBones() const;
    void MoveEdgeForwards(int a, int b) { dollEdgeDrawList.MoveEdgeForward(a, b); }
    void MoveEdgeBackwards(int a, int b) { dollEdgeDrawList.MoveEdgeBack(a, b); }

    // Picking
    // Lowest-indexed joint whose circle holds p, or null
    DollJoint* Pick(fPoint2 p);
    // Nearest joint (ties: lowest index), or null; its distance into *oDistance if given
    DollJoint* FindClosestJoint(fPoint2 p, float* oDistance);
    // Distance to the nearest bone, its ends (lower first) into the outputs; -1 and outputs
    // untouched when there is no bone
    float PickEdge(fPoint2 p, int* jointa, int* jointb) const;
    DollIcon* PickIcon(fPoint2 p) { return icon.Pick(p) ? &icon : nullptr; }
    DollIcon* GetIcon() { return &icon; }
    LookAtFilter* GetLookAt() { return &lfilter; }

    // Poses
    // Pose 0 .. 7, else null
    DollPose* GetPose(int i) { return i >= 0 && i < kNumPoses ? &poses[i] : nullptr; }
    // Pose p (0 .. 7) holds a location for exactly the doll's joints (at least one), so the
    // doll can move into it; false for any other p
    bool GetIsPoseFilled(int p) const;
    int GetNumPoses() const { return kNumPoses; }
    void RememberPoseAsHome() { homePose.DollToPose(this); }
    // Seek pose p (0 .. 7; other values are ignored), held there when lockSeek
    void GoToPose(int p, bool lockSeek);
    void GoToHomePose();
    // Seek pose i, then record into it; i outside 0 .. 7 stops recording
    void SetEditPose(int i);
    // The doll stays where it is: no pose is sought (nor recorded into after arriving)
    void StopSeeking();
    // Index of the pose sought, -1 for none or home
    int GetSeekPose() const;
    // Index of the pose recording the doll, or -1
    int GetEditPose() const;

    // Motion (per tick)
    void UpdateIK();
    // The same with the bone lists of the current skeleton (GetBoneLists)
    void UpdateIK(const DollBoneLists& bones);
    void GetBoneLists(DollBoneLists* bones) const;
    // One pull towards pose; true when it is null, does not fit, or every joint arrived
    bool SeekPose(DollPose* pose);
    // One pull of j; true when it lies within 3.0 of moveTo
    bool JointSeekLoc(DollJoint* j, fPoint2 moveTo);
    bool JointSeekLoc(DollJoint* j, fPoint2 moveTo, const DollBoneLists& bones);
    void UserMoveJointTowards(DollJoint* j, fPoint2 to) { UserMoveJoint(j, to - j->loc); }
    // Moves j by delta in steps of at most 2.0, relaxing the skeleton after each; a drag
    // longer than kMaxDragSteps such steps is made in that many equal steps. A delta that is
    // not finite is ignored; j stays within the document range.
    void UserMoveJoint(DollJoint* j, fPoint2 delta);
    static const int kMaxDragSteps = 1024;
    static const int kSeekStallTicks = 30;
    static constexpr float kSeekStallProgress = 0.1f;  // world units
    // Moves j alone (within the document range) and re-measures its bones; a skeleton
    // change. A delta that is not finite is ignored.
    void UserDeformJoint(DollJoint* j, fPoint2 delta);

    // Drawing
    // Green line between two joints; nothing when either is not an allocated joint
    void RenderEdgeHilited(int jointa, int jointb) const;
    void SetRenderSkeleton(bool v) { renderSkeleton = v; }
    void SetRenderOpaque(bool v) { renderOpaque = v; }
    bool GetRenderOpaque() const { return renderOpaque; }

    // Bounds of the joint locations; false (r untouched) without joints
    bool GetBounds(fRect* r) const;
    // Mean joint location; (0, 0) without joints
    fPoint2 GetCenter() const;
    // True as soon as one joint lies inside r (edges included)
    bool GetAreAllJointsOutOfRect(fRect r) const;

protected:
    // Builds the default skeleton
    void Construct();
    // Lists the default skeleton's bones in list in the default doll's drawing order (bones
    // listed already keep their place). A document without a "draworder" node loads with
    // this order and then each bone it makes put in front, as MakeEdge puts it: so a new
    // doll's order is the one its own document loads with.
    static void DefaultLoadedDrawOrder(DollEdgeList* list);
    // Between these, joint and bone changes call SkeletonChanged() once, at the end, instead
    // of once each: loading a document adds dozens of them and only the final skeleton counts
    void BeginSkeletonBatch() { skeletonBatchDepth++; }
    void EndSkeletonBatch();

private:
    // SkeletonChanged(), or a note to call it when the batch ends
    void NoteSkeletonChanged();
    bool SeekPose(DollPose* pose, const DollBoneLists& bones);
    // The seek has made no headway for kSeekStallTicks ticks and no joint is locked
    bool GetIsSeekStalled();
    // Number of bones (> 0) of joint j
    int CountBonesOf(int j) const;
    // Places joint lone, which has no bones, in every filled pose at its present offset from
    // joint anchor
    void PlaceInPosesBeside(int lone, int anchor);

    // ReadFromFile is at work: skeleton changes empty the stored poses
    bool readingDocument = false;
    // The seek being watched for headway, its farthest joint's least distance from its
    // target so far, and the ticks since that distance last shrank
    const DollPose* stallPose = nullptr;
    float stallBest = 0;
    int stallTicks = 0;

    // The document nodes Doll::WriteToFile adds after WriteNodesToFile
    void WriteIconNode(tbfWriter* f);
    void WriteDrawOrderNode(tbfWriter* f);
    // The bone a-b (a < b) is one a document holds: both below njoints, length > 0
    bool GetIsDocumentBone(int a, int b) const;
    // After a whole chunk is read: drops draw-list entries naming no bone, then moves the
    // bones of the "draworder" node read to the end in its order
    void ArrangeLoadedDrawOrder();

    int skeletonBatchDepth = 0;
    bool skeletonChangedInBatch = false;

    int defaultIconId;
    fRect defaultIconBounds;

    // The bones of the last "draworder" node read (a < b, each pair once), in drawing order,
    // until ReadFromFile applies them
    static const int kMaxBonePairs = kDollMaxJoints * (kDollMaxJoints - 1) / 2;
    unsigned char drawOrderRead[kMaxBonePairs][2];
    int ndrawOrderRead = 0;
    unsigned int drawOrderListed[kDollMaxJoints];  // bit b of word a: a-b is among them
};

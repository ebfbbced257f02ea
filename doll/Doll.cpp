// The skeleton: joints, bones, the default doll, index bookkeeping, picking and pose slots.
#include "Doll.h"

#include "VelkoAssert.h"

namespace {

// The default skeleton's bones in the order they are made, so the draw list (newest first)
// draws breast-hips first
const int kDefaultBones[][2] = {{2, 3}, {9, 10}, {0, 1}, {1, 2}, {1, 9},
                                {4, 5}, {4, 7},  {5, 6}, {7, 8}, {1, 4}};

}  // namespace

Doll::Doll()
    : renderSkeleton(true),
      renderOpaque(true),
      njoints(0),
      seekPose(nullptr),
      editPose(nullptr),
      editPoseAfterSeek(nullptr),
      lockSeek(false),
      nedges(0),
      defaultIconId(icon.GetIcon()),
      defaultIconBounds(icon.GetBounds()) {
    for (int i = 0; i < kDollMaxJoints; i++) {
        jointAllocTable[i] = false;
        drawOrderListed[i] = 0;
    }
    Construct();
}

void Doll::Reset() { Construct(); }

void Doll::Clear() {
    renderSkeleton = true;
    renderOpaque = true;
    seekPose = nullptr;
    editPose = nullptr;
    editPoseAfterSeek = nullptr;
    for (int i = 0; i < kDollMaxJoints; i++)
        for (int j = 0; j < kDollMaxJoints; j++) edges[i][j] = kNoEdge;
    nedges = 0;
    // Entries would otherwise outlive their bones and decide where a bone made again by a
    // later skeleton, or read from a document, is drawn
    dollEdgeDrawList.RemoveAll();
    njoints = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        joints[i].Clear();
        jointAllocTable[i] = false;
    }
    for (int i = 0; i < kNumPoses; i++) poses[i].Clear();
    sequence.Reset();
}

void Doll::Construct() {
    Clear();

    // Role numbers and locations of the default skeleton in creation order (joint index =
    // position in this table), before the shift into the window
    const float k = 100;
    struct {
        int name;
        float x, y;
    } const defaults[] = {
        {0, 0, k / 3},       // head
        {1, 0, k},           // breast
        {9, -k, 1.5f * k},   // left elbow
        {5, -k, 2.5f * k},   // left hand
        {2, 0, 2 * k},       // hips
        {7, -k / 2, 3 * k},  // left knee
        {3, -k / 2, 4 * k},  // left foot
        {8, k / 2, 3 * k},   // right knee
        {4, k / 2, 4 * k},   // right foot
        {10, k, 1.5f * k},   // right elbow
        {6, k, 2.5f * k},    // right hand
    };
    for (const auto& d : defaults) {
        VELKO_ASSERT_TEXT(njoints < kDollMaxJoints, "njoints<kDollMaxJoints");
        int j = NewJoint();
        joints[j].SetLoc(fPoint2(d.x, d.y));
        joints[j].SetName(d.name);
    }

    for (const auto& b : kDefaultBones) MakeEdge(b[0], b[1]);

    Translate(fPoint2(320, 32));
    UpdateIK();
    RememberPoseAsHome();
}

void Doll::DefaultLoadedDrawOrder(DollEdgeList* list) {
    for (const auto& b : kDefaultBones) list->AddEdge(b[0], b[1]);
}

void Doll::Render() {}
void Doll::RenderEdge(int a, int b) const {
    (void)a;
    (void)b;
}
void Doll::NotifyJointIndexChanged(int from, int to) {
    (void)from;
    (void)to;
}

void Doll::SkeletonChanged() {
    if (readingDocument)
        for (int i = 0; i < kNumPoses; i++) poses[i].Clear();
    if (editPose) editPose->DollToPose(this);
    homePose.DollToPose(this);
}

void Doll::NoteSkeletonChanged() {
    if (skeletonBatchDepth > 0)
        skeletonChangedInBatch = true;
    else
        SkeletonChanged();
}

void Doll::EndSkeletonBatch() {
    if (--skeletonBatchDepth > 0 || !skeletonChangedInBatch) return;
    skeletonChangedInBatch = false;
    SkeletonChanged();
}

void Doll::NotifyJointDeleted(int j) {
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i] && joints[i].rotateRelativeTo == j) joints[i].rotateRelativeTo = -1;
}

int Doll::NewJoint() {
    if (njoints == kDollMaxJoints) return -1;
    int j = 0;
    while (j < kDollMaxJoints && jointAllocTable[j]) j++;
    VELKO_ASSERT_TEXT(j < kDollMaxJoints, "j < kDollMaxJoints");
    bool filled[kNumPoses];
    for (int p = 0; p < kNumPoses; p++) filled[p] = GetIsPoseFilled(p);
    njoints++;
    joints[j].Clear();
    jointAllocTable[j] = true;
    for (int k = 0; k < kDollMaxJoints; k++) edges[j][k] = edges[k][j] = kNoEdge;
    // A filled pose keeps fitting the doll: it holds the new joint where the doll has it
    if (!readingDocument)
        for (int p = 0; p < kNumPoses; p++)
            if (filled[p]) poses[p].AddJointAt(j, joints[j].loc);
    NoteSkeletonChanged();
    return j;
}

bool Doll::AddJoint(fPoint2 loc) {
    // The poses are re-captured once the joint stands at loc: taken by NewJoint, the home
    // pose would send the joint back to wherever the slot last was
    BeginSkeletonBatch();
    int j = NewJoint();
    if (j != -1) {
        joints[j].SetLoc(loc);
        for (int p = 0; p < kNumPoses; p++) {
            if (!poses[p].PeekAtJointAlloc(j)) continue;
            poses[p].joints[j] = loc;
            poses[p].DeriveBoundingBox();
        }
    }
    EndSkeletonBatch();
    return j != -1;
}

void Doll::DeleteJoint(int j) {
    NotifyJointDeleted(j);
    VELKO_ASSERT_TEXT(GetIsValidJoint(j), "jointAllocTable[j]");
    if (!readingDocument)
        for (int p = 0; p < kNumPoses; p++) poses[p].RemoveJoint(j);
    // The joint's bones go with it: they leave the bone count, so a saved count matches the
    // bones written, and the draw list, so that compaction cannot renumber an entry onto a
    // bone made later. The matrix row stays (every walk skips free slots and NewJoint resets
    // it).
    for (int k = 0; k < kDollMaxJoints; k++)
        if (k != j && jointAllocTable[k] && edges[j][k] >= 0) nedges--;
    dollEdgeDrawList.RemoveEdgesOf(j);
    njoints--;
    jointAllocTable[j] = false;
    NoteSkeletonChanged();
}

bool Doll::GetIsJointOf(const DollJoint* j) const {
    for (int i = 0; i < kDollMaxJoints; i++)
        if (j == &joints[i]) return jointAllocTable[i];
    return false;
}

DollJoint* Doll::GetJoint(int i) {
    VELKO_ASSERT_TEXT(GetIsValidJoint(i), "jointAllocTable[i]");
    return &joints[i];
}

const DollJoint* Doll::GetJoint(int i) const {
    VELKO_ASSERT_TEXT(GetIsValidJoint(i), "jointAllocTable[i]");
    return &joints[i];
}

int Doll::GetIndexOfJoint(const DollJoint* j) const {
    VELKO_ASSERT_TEXT(GetIsJointOf(j), "jointAllocTable[i]");
    return (int)(j - joints);
}

DollJoint* Doll::GetJointByName(int name) {
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i] && joints[i].nodeName == name) return &joints[i];
    return nullptr;
}

DollJoint* Doll::GetNextJoint(int* cookie) {
    for (int i = *cookie < 0 ? 0 : *cookie; i < kDollMaxJoints; i++) {
        if (jointAllocTable[i]) {
            *cookie = i + 1;
            return &joints[i];
        }
    }
    if (*cookie < kDollMaxJoints) *cookie = kDollMaxJoints;
    return nullptr;
}

void Doll::CompactJointIndices() {
    int i = 0;
    for (int j = 0; j < kDollMaxJoints; j++) {
        if (!jointAllocTable[j]) continue;
        if (j != i) {
            jointAllocTable[j] = false;
            jointAllocTable[i] = true;
            joints[i] = joints[j];
            for (int k = 0; k < kDollMaxJoints; k++) edges[k][i] = edges[k][j];
            for (int k = 0; k < kDollMaxJoints; k++) edges[i][k] = edges[j][k];
            // Slot i was free: the list drops any entry still naming it before renaming, and
            // keeps each renamed pair lower index first
            dollEdgeDrawList.NotifyJointIndexChanged(j, i);
            for (int k = 0; k < kDollMaxJoints; k++)
                if (jointAllocTable[k] && joints[k].rotateRelativeTo == j)
                    joints[k].rotateRelativeTo = i;
            homePose.NotifyJointIndexChanged(j, i);
            for (int p = 0; p < kNumPoses; p++) poses[p].NotifyJointIndexChanged(j, i);
            NotifyJointIndexChanged(j, i);
        }
        i++;
    }
}

void Doll::Translate(fPoint2 delta) {
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i]) joints[i].Move(delta);
}

void Doll::MakeEdge(int jointA, int jointB) {
    VELKO_ASSERT(jointA >= 0 && jointA < kDollMaxJoints);
    VELKO_ASSERT(jointB >= 0 && jointB < kDollMaxJoints);
    float length = joints[jointA].loc.Dist(joints[jointB].loc);
    SetEdgeInMatrix(jointA, jointB, length);
    dollEdgeDrawList.AddEdge(jointA, jointB);
    nedges++;
}

void Doll::BreakEdge(int jointA, int jointB) {
    VELKO_ASSERT(jointA >= 0 && jointA < kDollMaxJoints);
    VELKO_ASSERT(jointB >= 0 && jointB < kDollMaxJoints);
    SetEdgeInMatrix(jointA, jointB, kNoEdge);
    dollEdgeDrawList.RemoveEdge(jointA, jointB);
    nedges--;
}

void Doll::SetEdgeInMatrix(int jointA, int jointB, float length) {
    VELKO_ASSERT_TEXT(GetIsValidJoint(jointA), "jointAllocTable[jointA]");
    VELKO_ASSERT_TEXT(GetIsValidJoint(jointB), "jointAllocTable[jointB]");
    edges[jointA][jointB] = length;
    edges[jointB][jointA] = length;
}

bool Doll::ToggleEdge(DollJoint* a, DollJoint* b) {
    if (a == b) return false;
    NoteSkeletonChanged();
    int ia = GetIndexOfJoint(a);
    int ib = GetIndexOfJoint(b);
    if (edges[ia][ib] >= 0) {
        if (a->rotateRelativeTo == ib) a->rotateRelativeTo = -1;
        BreakEdge(ia, ib);
        return false;
    }
    if (!readingDocument) {
        const int bonesA = CountBonesOf(ia), bonesB = CountBonesOf(ib);
        if (bonesA == 0 && bonesB > 0) PlaceInPosesBeside(ia, ib);
        if (bonesB == 0 && bonesA > 0) PlaceInPosesBeside(ib, ia);
    }
    MakeEdge(ia, ib);
    return true;
}

int Doll::CountBonesOf(int j) const {
    int n = 0, cookie = 0, c = -1;
    while (GetNextEdge(j, &cookie, &c) > 0) n++;
    return n;
}

void Doll::PlaceInPosesBeside(int lone, int anchor) {
    const fPoint2 offset = joints[lone].loc - joints[anchor].loc;
    for (int p = 0; p < kNumPoses; p++) {
        if (!GetIsPoseFilled(p)) continue;
        poses[p].joints[lone] = ClampToDocument(poses[p].joints[anchor] + offset);
        poses[p].DeriveBoundingBox();
    }
}

bool Doll::GetIsPoseFilled(int p) const {
    if (p < 0 || p >= kNumPoses || poses[p].GetNumJoints() != njoints || njoints == 0) return false;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (poses[p].PeekAtJointAlloc(i) != jointAllocTable[i]) return false;
    return true;
}

bool Doll::EdgeExists(const DollJoint* a, const DollJoint* b) const {
    return edges[GetIndexOfJoint(a)][GetIndexOfJoint(b)] >= 0;
}

int Doll::CountBones() const {
    int n = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!jointAllocTable[i]) continue;
        for (int j = i + 1; j < kDollMaxJoints; j++)
            if (jointAllocTable[j] && edges[i][j] > 0) n++;
    }
    return n;
}

DollJoint* Doll::Pick(fPoint2 p) {
    for (int i = 0; i < kDollMaxJoints; i++)
        if (jointAllocTable[i] && joints[i].Pick(p)) return &joints[i];
    return nullptr;
}

DollJoint* Doll::FindClosestJoint(fPoint2 p, float* oDistance) {
    DollJoint* best = nullptr;
    float bestd = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!jointAllocTable[i]) continue;
        float d = joints[i].loc.Dist(p);
        if (!best || d < bestd) {
            best = &joints[i];
            bestd = d;
        }
    }
    if (best && oDistance) *oDistance = bestd;
    return best;
}

float Doll::PickEdge(fPoint2 p, int* jointa, int* jointb) const {
    int besti = -1, bestj = -1;
    float mind = -1.0f;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!jointAllocTable[i]) continue;
        for (int j = i + 1; j < kDollMaxJoints; j++) {
            if (!jointAllocTable[j] || !(edges[i][j] > 0)) continue;
            float d = p.DistToLineSegment(joints[j].loc, joints[i].loc);
            if (besti == -1 || d < mind) {
                besti = i;
                bestj = j;
                mind = d;
            }
        }
    }
    if (besti == -1) return -1.0f;
    *jointa = besti;
    *jointb = bestj;
    return mind;
}

void Doll::GoToPose(int p, bool lock) {
    DollPose* pose = GetPose(p);
    if (!pose) return;
    seekPose = pose;
    stallPose = nullptr;  // watched afresh, even when it was sought before
    lockSeek = lock;
    editPoseAfterSeek = nullptr;
}

void Doll::GoToHomePose() {
    seekPose = &homePose;
    stallPose = nullptr;
    lockSeek = false;
    editPoseAfterSeek = nullptr;
}

void Doll::SetEditPose(int i) {
    DollPose* p = GetPose(i);
    if (p) {
        // Move into the pose first; recording starts on arrival
        seekPose = p;
        stallPose = nullptr;
        editPoseAfterSeek = p;
        lockSeek = false;
        editPose = nullptr;
    } else {
        editPose = nullptr;
        editPoseAfterSeek = nullptr;
    }
}

void Doll::StopSeeking() {
    seekPose = nullptr;
    lockSeek = false;
    editPoseAfterSeek = nullptr;
}

// Index of p among the stored poses, or -1 (null, or the home pose)
static int IndexOfPose(const DollPose* p, const DollPose* poses, int n) {
    for (int i = 0; i < n; i++)
        if (p == &poses[i]) return i;
    return -1;
}

int Doll::GetSeekPose() const { return IndexOfPose(seekPose, poses, kNumPoses); }

int Doll::GetEditPose() const { return IndexOfPose(editPose, poses, kNumPoses); }

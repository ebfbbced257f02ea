// The doll's documents: one "velko" chunk holding the joint locations, the bones and the
// eight stored poses, written through tbfWriter and read through tbfReader. A derived doll
// adds its own nodes after these through WriteNodesToFile / ReadNodeFromFile. Last come
// the emotion icon ("icon": its name in the icon table and its bounds) and the bones'
// drawing order ("draworder": one bone per line, each drawn over the ones before), each
// written only when it differs from what a document without it loads with: documents of
// dolls that keep those defaults stay byte for byte what older versions wrote, and older
// versions read the newer documents by passing over the two nodes. The animation
// ("sequence") comes after them, written only when it is not the default one (the automatic
// steps, looping forever at the default frame rate), in the same spirit.
//
// Reading trusts nothing in the document: counts are ignored or bounded, joint indices are
// checked, numbers must be numbers within kMaxDocumentCoordinate, and a node is closed only
// when it was entered. Whatever the bytes, the doll ends up consistent, possibly empty.
#include <cmath>
#include <cstring>

#include "Doll.h"
#include "DollPose.h"
#include "GIconTable.h"
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

// The current item as icon bounds "bounds left top right bottom": numbers within the
// document range, a rectangle that is neither inverted nor empty and at most
// kMaxIconExtent wide and tall
bool ParseIconBounds(tbfReader* f, fRect* r) {
    float v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; i++) {
        if (!f->ParseItem(i + 1, &v[i]) || !(std::fabs(v[i]) <= Doll::kMaxDocumentCoordinate))
            return false;
        v[i] = ToDocumentPrecision(v[i]);
    }
    const fRect b(v[0], v[1], v[2], v[3]);
    if (!(b.GetWidth() > 0 && b.GetWidth() <= Doll::kMaxIconExtent)) return false;
    if (!(b.GetHeight() > 0 && b.GetHeight() <= Doll::kMaxIconExtent)) return false;
    *r = b;
    return true;
}

// The name of icon id in the icon table when a document can hold it as one element: not
// empty, no white space or control characters, no braces (readers skipping a node count
// braces anywhere in its lines); else null
const char* DocumentIconName(int id) {
    if (!GIconTable::GetIcon(id)) return nullptr;
    const char* name = GIconTable::table[id].name;
    if (!name[0]) return nullptr;
    for (const char* p = name; *p; p++) {
        const unsigned char c = (unsigned char)*p;
        if (c <= ' ' || c == 127 || c == '{' || c == '}') return nullptr;
    }
    return name;
}

// The id of the registered icon called name, or -1. Only icons the program has registered
// count: a document never makes the table load an icon file.
int RegisteredIconNamed(const char* name) {
    if (!name || !name[0]) return -1;
    for (int i = 0; i < GIconTable::kMaxIcons; i++)
        if (GIconTable::GetIcon(i) && strcmp(GIconTable::table[i].name, name) == 0) return i;
    return -1;
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
    // After a derived doll's nodes: a document without these two ends as it always did
    WriteIconNode(f);
    WriteDrawOrderNode(f);
    if (!sequence.GetIsDefault()) sequence.Write(f);
    f->CloseNode();
}

void Doll::WriteIconNode(tbfWriter* f) {
    const int id = icon.GetIcon();
    const char* name = DocumentIconName(id);
    const fRect b = icon.GetBounds(), d = defaultIconBounds;
    const bool moved =
        b.left != d.left || b.top != d.top || b.right != d.right || b.bottom != d.bottom;
    // An icon without a name a document can hold loads as the default one anyway
    if (!moved && !(name && id != defaultIconId)) return;
    f->WriteAndOpenNode("icon");
    if (name) f->Write("name %s", name);
    f->Write("bounds %f %f %f %f", b.left, b.top, b.right, b.bottom);
    f->CloseNode();
}

bool Doll::GetIsDocumentBone(int a, int b) const {
    return a >= 0 && a < b && b < njoints && GetIsValidJoint(a) && GetIsValidJoint(b) &&
           edges[a][b] > 0;
}

void Doll::WriteDrawOrderNode(tbfWriter* f) {
    // The order this document loads with when it holds no node: the reader makes the bones
    // in the order WriteNodesToFile lists them, each listed one put in front
    DollEdgeList loaded;
    DefaultLoadedDrawOrder(&loaded);
    for (int i = 0; i < njoints; i++)
        for (int j = i + 1; j < njoints; j++)
            if (GetIsDocumentBone(i, j)) loaded.AddEdge(i, j);
    // Both orders restricted to the document's bones: entries of bones it does not hold
    // (broken, zero-length, of deleted joints) are not part of it
    auto nextBone = [this](const DollEdge* e) {
        while (e && !GetIsDocumentBone(e->a, e->b)) e = e->next;
        return e;
    };
    const DollEdge* mine = nextBone(dollEdgeDrawList.edges);
    const DollEdge* theirs = nextBone(loaded.edges);
    while (mine && theirs && mine->a == theirs->a && mine->b == theirs->b) {
        mine = nextBone(mine->next);
        theirs = nextBone(theirs->next);
    }
    // A list short of a node (allocation failed) is no evidence: the node is written then
    if (!mine && !theirs && !loaded.allocFailure) return;

    int bones = 0;
    for (const DollEdge* e = dollEdgeDrawList.edges; e; e = e->next)
        if (GetIsDocumentBone(e->a, e->b)) bones++;
    f->WriteAndOpenNode("draworder %d", bones);
    for (const DollEdge* e = dollEdgeDrawList.edges; e; e = e->next)
        if (GetIsDocumentBone(e->a, e->b)) f->Write("%d %d", e->a, e->b);
    f->CloseNode();
}

void Doll::WriteNodesToFile(tbfWriter* f) {
    f->WriteAndOpenNode("joints %d", njoints);
    for (int i = 0; i < njoints; i++) {
        VELKO_ASSERT_TEXT(jointAllocTable[i], "jointAllocTable[i]");
        // A location the reader refuses would drop the joint on reload and shift every later
        // index under the bones and poses: motion keeps joints in range, this is the last guard
        const fPoint2 p = ClampToDocument(joints[i].loc);
        f->Write("%f %f", p.x, p.y);
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
    icon.SetIcon(defaultIconId);
    icon.SetBounds(defaultIconBounds);
    ndrawOrderRead = 0;
    for (int i = 0; i < kDollMaxJoints; i++) drawOrderListed[i] = 0;
    if (!f->Read() || !f->GetIsChunk() || !f->GetIsChunkType("velko")) return;
    // A chunk item that opens no node (a missing or glued brace, a CR line end) has no body
    if (!f->OpenNode()) return;
    DefaultLoadedDrawOrder(&dollEdgeDrawList);
    // The poses are stored for the finished skeleton: every joint or bone read empties them,
    // so a "poses" node is only kept when no skeleton node follows it
    readingDocument = true;
    while (f->Read())
        if (f->GetIsStartOfNode()) ReadNodeFromFile(f);
    readingDocument = false;
    f->CloseNode();
    // Nodes come in any order: the bones are known only now
    ArrangeLoadedDrawOrder();
    ChunkRead();
}

void Doll::ArrangeLoadedDrawOrder() {
    for (DollEdge* e = dollEdgeDrawList.edges; e;) {
        DollEdge* following = e->next;
        if (!(GetIsValidJoint(e->a) && GetIsValidJoint(e->b) && edges[e->a][e->b] >= 0)) delete e;
        e = following;
    }
    // The bones the node lists end up last in its order; the others keep their order in
    // front of them, as bones made after the node was written would be
    for (int k = 0; k < ndrawOrderRead; k++)
        dollEdgeDrawList.MoveEdgeToEnd(drawOrderRead[k][0], drawOrderRead[k][1]);
    ndrawOrderRead = 0;
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
    } else if (f->CompareItem(0, "icon")) {
        if (!f->OpenNode()) return;
        // Each line on its own: an unknown name or unusable bounds leave that part as it was
        while (f->Read()) {
            fRect r;
            if (f->CompareItem(0, "name")) {
                const int id = RegisteredIconNamed(f->GetItemAsString(1));
                if (id >= 0) icon.SetIcon(id);
            } else if (f->CompareItem(0, "bounds") && ParseIconBounds(f, &r)) {
                icon.SetBounds(r);
            }
        }
        f->CloseNode();
    } else if (f->CompareItem(0, "draworder")) {
        if (!f->OpenNode()) return;
        // Kept until the whole chunk is read; a later node replaces an earlier one. Only
        // pairs "a b" with 0 <= a < b < 32 count, each once: the writer lists the lower
        // index first and no bone twice.
        ndrawOrderRead = 0;
        for (int i = 0; i < kDollMaxJoints; i++) drawOrderListed[i] = 0;
        while (f->Read()) {
            int a = -1, b = -1;
            if (!f->ParseItem(0, &a) || !f->ParseItem(1, &b)) continue;
            if (a < 0 || a >= b || b >= kDollMaxJoints) continue;
            if (drawOrderListed[a] & (1u << b)) continue;
            VELKO_ASSERT(ndrawOrderRead < kMaxBonePairs);  // as many as there are pairs
            drawOrderListed[a] |= 1u << b;
            drawOrderRead[ndrawOrderRead][0] = (unsigned char)a;
            drawOrderRead[ndrawOrderRead][1] = (unsigned char)b;
            ndrawOrderRead++;
        }
        f->CloseNode();
    } else if (f->CompareItem(0, "sequence")) {
        sequence.ReadNode(f);
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
        // Every slot must reload, or the pose no longer fits the doll (see the doll's joints)
        const fPoint2 p = Doll::ClampToDocument(joints[i]);
        f->Write("%f %f", p.x, p.y);
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

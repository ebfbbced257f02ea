#include "DollEdge.h"

#include <new>

#include "Doll.h"
#include "utils.h"

DollEdge::DollEdge(int ia, int ib) : next(nullptr), prev(nullptr), a(ia), b(ib) {}

DollEdge::~DollEdge() {
    if (prev) Remove();
}

void DollEdge::Insert(DollEdge** h) {
    next = *h;
    prev = h;
    *h = this;
    if (next) next->prev = &next;
}

void DollEdge::Remove() {
    *prev = next;
    if (next) next->prev = prev;
    next = nullptr;
    prev = nullptr;
}

void DollEdge::NotifyJointIndexChanged(int from, int to) {
    if (a == from) a = to;
    if (b == from) b = to;
    // A joint renumbered below the other end would otherwise leave the pair reversed, and
    // GetEdge, which looks pairs up lower index first, would never find it again
    DollEdgeList::aLTEb(&a, &b);
}

DollEdgeList::~DollEdgeList() {
    while (edges) delete edges;
}

void DollEdgeList::aLTEb(int* a, int* b) {
    if (*a > *b) {
        int t = *a;
        *a = *b;
        *b = t;
    }
}

DollEdge* DollEdgeList::GetEdge(int a, int b) const {
    aLTEb(&a, &b);
    for (DollEdge* e = edges; e; e = e->next)
        if (e->GetIsEdge(a, b)) return e;
    return nullptr;
}

void DollEdgeList::AddEdge(int a, int b) {
    aLTEb(&a, &b);
    if (GetEdge(a, b)) return;
    DollEdge* e = new (std::nothrow) DollEdge(a, b);
    if (!e) {
        allocFailure = true;
        FlagLowMem();
        return;
    }
    e->Insert(&edges);
}

void DollEdgeList::RemoveEdge(int a, int b) { delete GetEdge(a, b); }

void DollEdgeList::RemoveEdgesOf(int j) {
    DollEdge* e = edges;
    while (e) {
        DollEdge* n = e->next;
        if (e->a == j || e->b == j) delete e;
        e = n;
    }
}

void DollEdgeList::RemoveAll() {
    while (edges) delete edges;  // each node unlinks itself from the head
    allocFailure = false;
}

void DollEdgeList::MoveEdgeForward(int a, int b) {
    DollEdge* e = GetEdge(a, b);
    if (!e || !e->next) return;
    DollEdge* successor = e->next;
    e->Remove();
    e->Insert(successor->GetNextP());
}

void DollEdgeList::MoveEdgeBack(int a, int b) {
    DollEdge* e = GetEdge(a, b);
    if (!e || e->prev == &edges) return;
    // e->prev is the predecessor's next field; the link pointing at the predecessor is
    // where e goes
    DollEdge** predecessorLink = &edges;
    while (*predecessorLink && (*predecessorLink)->next != e)
        predecessorLink = (*predecessorLink)->GetNextP();
    if (!*predecessorLink) return;
    e->Remove();
    e->Insert(predecessorLink);
}

void DollEdgeList::MoveEdgeToEnd(int a, int b) {
    DollEdge* e = GetEdge(a, b);
    if (!e) return;
    e->Remove();
    DollEdge** tail = &edges;
    while (*tail) tail = (*tail)->GetNextP();
    e->Insert(tail);
}

void DollEdgeList::NotifyJointIndexChanged(int from, int to) {
    if (from == to) return;
    // Entries still naming slot to belong to no joint now; renamed ones would merge with them
    RemoveEdgesOf(to);
    for (DollEdge* e = edges; e; e = e->next) e->NotifyJointIndexChanged(from, to);
}

void DollEdgeList::RenderEdges(const Doll* d) const {
    for (DollEdge* e = edges; e; e = e->next) {
        // Entries outlive a deleted joint or a cleared doll; only bones that exist are drawn
        if (d->GetIsValidJoint(e->a) && d->GetIsValidJoint(e->b) && d->edges[e->a][e->b] > 0)
            d->RenderEdge(e->a, e->b);
    }
}

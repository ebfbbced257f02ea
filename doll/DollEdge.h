// DollEdge and DollEdgeList: the order in which a doll's bones are drawn.
//
// The list is intrusive and doubly linked: each node's prev holds the address of the link
// that points at it (the previous node's next, or the list head). The doll owns the list by
// value and the list owns its nodes. Nodes name bones by joint indices, stored a <= b. The
// bone lengths themselves live in the doll's matrix, not here.
#pragma once

class Doll;

class DollEdge {
public:
    DollEdge* next;
    DollEdge** prev;  // address of the link pointing at this node; null while unlinked
    int a, b;         // joint indices, a <= b

    // An unlinked node
    DollEdge(int a, int b);
    // Unlinks the node if it is linked
    ~DollEdge();
    DollEdge(const DollEdge&) = delete;
    DollEdge& operator=(const DollEdge&) = delete;

    // Links the node in front of *h (h is a head or a node's next field)
    void Insert(DollEdge** h);
    void Remove();
    // Exact ordered match
    bool GetIsEdge(int ia, int ib) const { return a == ia && b == ib; }
    void GetNodes(int* oa, int* ob) const {
        *oa = a;
        *ob = b;
    }
    DollEdge* GetNext() const { return next; }
    DollEdge** GetNextP() { return &next; }
    // Renames joint from to to and stores the pair a <= b again
    void NotifyJointIndexChanged(int from, int to);
};

class DollEdgeList {
public:
    DollEdge* edges;    // head: the bone drawn first
    bool allocFailure;  // a node could not be allocated

    DollEdgeList() : edges(nullptr), allocFailure(false) {}
    ~DollEdgeList();
    DollEdgeList(const DollEdgeList&) = delete;
    DollEdgeList& operator=(const DollEdgeList&) = delete;

    // Adds the bone at the head unless it is listed already
    void AddEdge(int a, int b);
    void RemoveEdge(int a, int b);
    // Removes every node naming joint j
    void RemoveEdgesOf(int j);
    // Removes every node; the list is complete again, so allocFailure is reset
    void RemoveAll();
    // One place later in drawing order; the last node stays
    void MoveEdgeForward(int a, int b);
    // One place earlier in drawing order; the head stays
    void MoveEdgeBack(int a, int b);
    // To the end of the list, drawn last; nothing when the bone is not listed
    void MoveEdgeToEnd(int a, int b);
    // The node of the bone (either order of a and b), or null
    DollEdge* GetEdge(int a, int b) const;
    // Joint from now has slot to: entries naming to are dropped (no joint has it any more),
    // then from becomes to in the others, each kept a <= b
    void NotifyJointIndexChanged(int from, int to);
    // d->RenderEdge for every listed bone that exists in d, head first
    void RenderEdges(const Doll* d) const;
    // Swaps so that *a <= *b
    static void aLTEb(int* a, int* b);
};

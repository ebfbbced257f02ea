// Dolls for the doll tests: an empty one, one built from a list of points, and one that
// records the notifications a derived doll receives.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "Doll.h"

// A doll without joints, bones or poses
struct EmptyDoll : Doll {
    EmptyDoll() { Clear(); }
    // Joints at the points in slot order, without roles
    explicit EmptyDoll(std::initializer_list<fPoint2> pts) {
        Clear();
        for (fPoint2 p : pts) AddJoint(p);
    }
};

// Records what a derived doll is told, in order
struct RecordingDoll : Doll {
    std::vector<std::pair<int, int>> renamed;
    mutable std::vector<std::pair<int, int>> renderedEdges;
    std::vector<int> deleted;
    int skeletonChanges = 0;

    void NotifyJointIndexChanged(int from, int to) override { renamed.push_back({from, to}); }
    void RenderEdge(int a, int b) const override { renderedEdges.push_back({a, b}); }
    void NotifyJointDeleted(int j) override {
        deleted.push_back(j);
        Doll::NotifyJointDeleted(j);
    }
    void SkeletonChanged() override {
        skeletonChanges++;
        Doll::SkeletonChanged();
    }
};

// The draw list's bones, head first
inline std::vector<std::pair<int, int>> DrawOrder(const Doll& d) {
    std::vector<std::pair<int, int>> v;
    for (DollEdge* e = d.dollEdgeDrawList.edges; e; e = e->GetNext()) v.push_back({e->a, e->b});
    return v;
}

using Bones = std::vector<std::pair<int, int>>;

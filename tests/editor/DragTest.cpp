// The drag-and-drop protocol: what a drag does to its object and receptacles, and in
// which order it tells them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Drag.h"

namespace {

std::vector<std::string> events;

class RecordingObject : public DragObject {
public:
    explicit RecordingObject(const char* n) : name(n) {}
    void BeginDrag() override { events.push_back(name + ".BeginDrag"); }
    void RenderForDrag(fPoint2 t) override {
        ghostDrawnAt.push_back(t);
        events.push_back(name + ".RenderForDrag");
    }
    void TranslateForDrag(fPoint2 d) override {
        at.Add(d);
        events.push_back(name + ".TranslateForDrag");
    }
    void NotifyAboutToBeReceivedBy(DragReceptacle* r) override {
        receivedBy = r;
        events.push_back(name + ".NotifyAboutToBeReceivedBy");
    }
    void EndDrag(DragReceptacle* r) override {
        endedOn = r;
        events.push_back(name + ".EndDrag");
    }

    std::string name;
    fPoint2 at;
    std::vector<fPoint2> ghostDrawnAt;
    DragReceptacle* receivedBy = reinterpret_cast<DragReceptacle*>(1);
    DragReceptacle* endedOn = reinterpret_cast<DragReceptacle*>(1);
};

class RecordingReceptacle : public DragReceptacle {
public:
    explicit RecordingReceptacle(const char* n) : name(n) {}
    void SetDragReceiveHilight(bool v) override {
        hilighted = v;
        events.push_back(name + (v ? ".Hilight(on)" : ".Hilight(off)"));
    }
    void ReceiveDrag(DragObject* o) override {
        received = o;
        events.push_back(name + ".ReceiveDrag");
    }
    void ReceiveDrag(DragObject* o, Drag* d) override {
        receivedWithDrag = d;
        EXPECT_EQ(o, received);
        events.push_back(name + ".ReceiveDrag(drag)");
    }

    std::string name;
    bool hilighted = false;
    DragObject* received = nullptr;
    Drag* receivedWithDrag = nullptr;
};

class DragProtocol : public ::testing::Test {
protected:
    void SetUp() override { events.clear(); }
};

using Events = std::vector<std::string>;

}  // namespace

TEST_F(DragProtocol, ANewDragCarriesNothing) {
    Drag d;
    EXPECT_FALSE(d.GetIsInDrag());
    EXPECT_EQ(d.GetObject(), nullptr);
    EXPECT_EQ(d.receptacle, nullptr);
    EXPECT_EQ(d.translate, fPoint2(0, 0));
    EXPECT_EQ(d.totalDistanceDragged, fPoint2(0, 0));
    EXPECT_EQ(sizeof(d.style), 1u);
}

TEST_F(DragProtocol, BeginningWithNoObjectLeavesEverythingElseInert) {
    Drag d;
    RecordingReceptacle r("r");
    d.Begin(nullptr, Drag::ghost);
    EXPECT_FALSE(d.GetIsInDrag());
    d.TranslateDragObject(fPoint2(5, 5));
    d.Render();
    d.End();
    EXPECT_EQ(d.totalDistanceDragged, fPoint2(0, 0));
    EXPECT_EQ(d.translate, fPoint2(0, 0));
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(d.GetIsInDrag());
}

TEST_F(DragProtocol, BeginningPicksTheObjectUpAndForgetsAnyEarlierDrag) {
    Drag d;
    RecordingObject a("a");
    RecordingReceptacle r("r");
    d.Begin(&a, Drag::ghost);
    d.TranslateDragObject(fPoint2(3, 4));
    d.ChooseReceptacle(&r);
    events.clear();

    d.Begin(&a, Drag::ghostDontMoveObject);
    EXPECT_EQ(events, (Events{"a.BeginDrag"}));
    EXPECT_TRUE(d.GetIsInDrag());
    EXPECT_EQ(d.GetObject(), &a);
    EXPECT_EQ(d.receptacle, nullptr);
    EXPECT_EQ(d.translate, fPoint2(0, 0));
    EXPECT_EQ(d.totalDistanceDragged, fPoint2(0, 0));
    EXPECT_EQ(d.style, Drag::ghostDontMoveObject);
}

TEST_F(DragProtocol, ALiveDragMovesTheObjectAtEveryStepAndNeverDrawsAGhost) {
    Drag d;
    RecordingObject a("a");
    d.Begin(&a, Drag::live);
    d.TranslateDragObject(fPoint2(3, 4));
    EXPECT_EQ(a.at, fPoint2(3, 4));
    d.TranslateDragObject(fPoint2(-1, 2));
    EXPECT_EQ(a.at, fPoint2(2, 6));
    EXPECT_EQ(d.translate, fPoint2(0, 0));
    EXPECT_EQ(d.totalDistanceDragged, fPoint2(2, 6));
    d.Render();
    EXPECT_TRUE(a.ghostDrawnAt.empty());

    events.clear();
    d.End();
    EXPECT_EQ(a.at, fPoint2(2, 6));
    // Dropped on nothing, a live object is told (0, 0): it has moved already
    EXPECT_EQ(events, (Events{"a.NotifyAboutToBeReceivedBy", "a.TranslateForDrag", "a.EndDrag"}));
    EXPECT_FALSE(d.GetIsInDrag());
}

TEST_F(DragProtocol, AGhostDroppedOnNothingMovesTheObjectOnceByTheWholeDrag) {
    Drag d;
    RecordingObject a("a");
    d.Begin(&a, Drag::ghost);
    d.TranslateDragObject(fPoint2(3, 4));
    d.TranslateDragObject(fPoint2(10, -1));
    EXPECT_EQ(a.at, fPoint2(0, 0));
    d.Render();
    ASSERT_EQ(a.ghostDrawnAt.size(), 1u);
    EXPECT_EQ(a.ghostDrawnAt[0], fPoint2(13, 3));

    events.clear();
    d.End();
    EXPECT_EQ(a.at, fPoint2(13, 3));
    EXPECT_EQ(events, (Events{"a.NotifyAboutToBeReceivedBy", "a.TranslateForDrag", "a.EndDrag"}));
    EXPECT_EQ(a.receivedBy, nullptr);
    EXPECT_EQ(a.endedOn, nullptr);
}

TEST_F(DragProtocol, AGhostThatMayNotMoveStaysWhereItWasWhenDroppedOnNothing) {
    Drag d;
    RecordingObject a("a");
    d.Begin(&a, Drag::ghostDontMoveObject);
    d.TranslateDragObject(fPoint2(7, 7));
    d.Render();
    ASSERT_EQ(a.ghostDrawnAt.size(), 1u);
    EXPECT_EQ(a.ghostDrawnAt[0], fPoint2(7, 7));
    events.clear();
    d.End();
    EXPECT_EQ(a.at, fPoint2(0, 0));
    EXPECT_EQ(events, (Events{"a.NotifyAboutToBeReceivedBy", "a.EndDrag"}));
}

TEST_F(DragProtocol, TheHighlightPassesFromReceptacleToReceptacleAndIsClearedByNone) {
    Drag d;
    RecordingObject o("o");
    RecordingReceptacle a("A"), b("B");
    d.Begin(&o, Drag::ghost);
    events.clear();

    d.ChooseReceptacle(&a);
    d.ChooseReceptacle(&a);  // offered again: highlighted again, never switched off
    d.ChooseReceptacle(&b);
    EXPECT_FALSE(a.hilighted);
    EXPECT_TRUE(b.hilighted);
    d.ChooseReceptacle(nullptr);
    EXPECT_FALSE(b.hilighted);
    EXPECT_EQ(d.receptacle, nullptr);
    EXPECT_EQ(events, (Events{"A.Hilight(on)", "A.Hilight(on)", "A.Hilight(off)", "B.Hilight(on)",
                              "B.Hilight(off)"}));
}

TEST_F(DragProtocol, ADropOnAReceptacleNotifiesInOrderAndLeavesNoHighlight) {
    Drag d;
    RecordingObject o("o");
    RecordingReceptacle r("r");
    d.Begin(&o, Drag::ghost);
    d.TranslateDragObject(fPoint2(40, 0));
    d.ChooseReceptacle(&r);
    events.clear();

    d.End();
    EXPECT_EQ(events, (Events{"o.NotifyAboutToBeReceivedBy", "r.ReceiveDrag", "r.ReceiveDrag(drag)",
                              "o.EndDrag", "r.Hilight(off)"}));
    EXPECT_EQ(o.receivedBy, &r);
    EXPECT_EQ(o.endedOn, &r);
    EXPECT_EQ(r.received, &o);
    EXPECT_EQ(r.receivedWithDrag, &d);
    // Received by a receptacle, a ghost's object is not moved by the drag
    EXPECT_EQ(o.at, fPoint2(0, 0));
    EXPECT_FALSE(r.hilighted);
    EXPECT_FALSE(d.GetIsInDrag());
    EXPECT_EQ(d.receptacle, nullptr);
}

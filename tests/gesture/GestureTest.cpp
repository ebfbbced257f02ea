// Strokes without a window: recording, the draw buffer and filter step, picking and the
// intrusive lists of strokes and filters.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "fTime.h"
#include "gesture.h"

namespace {

gesture* StrokeThrough(std::vector<fPoint2> points) {
    gesture* g = new gesture();
    for (fPoint2 p : points) g->AddPoint(p);
    return g;
}

// Adds (dx, dy) to every point and counts its runs and deletions
class ShiftFilter : public gestureFilter {
public:
    ShiftFilter(float dx, float dy, int* deleted) : dx(dx), dy(dy), deleted(deleted) {}
    ~ShiftFilter() override {
        if (deleted) (*deleted)++;
    }
    void Filter(fPoint2* pts, int npts) override {
        runs++;
        fPoint2::OffsetArray(pts, npts, dx, dy);
    }
    float dx, dy;
    int* deleted;
    int runs = 0;
};

// Doubles coordinates, so its order relative to a shift shows in the result
class DoubleFilter : public gestureFilter {
public:
    void Filter(fPoint2* pts, int npts) override { fPoint2::ScaleArray(pts, npts, 2, 2); }
};

void NegateAll(fPoint2* pts, int npts) { fPoint2::ScaleArray(pts, npts, -1, -1); }

}  // namespace

// ---- construction and recording ----------------------------------------------------------

TEST(StrokeRecording, ANewStrokeIsEmptyBlackAndThinAndStampedWithTheClock) {
    SetTestSeconds(12.5f);
    gesture g;
    ClearTestSeconds();
    EXPECT_EQ(g.GetNPoints(), 0);
    EXPECT_EQ(g.nptsTotal, 0);
    EXPECT_EQ(g.pts, nullptr);
    EXPECT_EQ(g.drawBuf, nullptr);
    EXPECT_EQ(g.id, -1);
    EXPECT_EQ(g.thickness, 1);
    EXPECT_FALSE(g.GetDrawFilled());
    EXPECT_FALSE(g.closed);
    EXPECT_FALSE(g.dontAnalyzeFilters);
    EXPECT_EQ(g.color.r + g.color.g + g.color.b, 0.0f);
    EXPECT_EQ(g.createdAt, 12.5f);
    EXPECT_EQ(g.prev, nullptr);
}

TEST(StrokeRecording, CapacityGrowsTenThenDoublesAndKeepsEveryPoint) {
    gesture g;
    std::vector<int> capacityAfter;
    for (int i = 0; i < 41; i++) {
        ASSERT_TRUE(g.AddPoint(fPoint2((float)i, (float)-i)));
        capacityAfter.push_back(g.nptsTotal);
    }
    EXPECT_EQ(capacityAfter[0], 10);   // first point
    EXPECT_EQ(capacityAfter[9], 10);   // tenth
    EXPECT_EQ(capacityAfter[10], 20);  // eleventh
    EXPECT_EQ(capacityAfter[19], 20);
    EXPECT_EQ(capacityAfter[20], 40);  // twenty-first
    EXPECT_EQ(capacityAfter[40], 80);
    ASSERT_EQ(g.GetNPoints(), 41);
    for (int i = 0; i < 41; i++) EXPECT_EQ(*g.GetPoint(i), fPoint2((float)i, (float)-i));
}

TEST(StrokeRecording, AStrokeThatCannotCountMorePointsRefusesTheNextOne) {
    gesture g;
    g.AddPoint(fPoint2(1, 1));
    // Pretend the buffer is full at a size whose double no int can hold
    int realCount = g.npts, realTotal = g.nptsTotal;
    g.npts = g.nptsTotal = INT_MAX / 2 + 1;
    fPoint2* before = g.pts;
    EXPECT_FALSE(g.AddPoint(fPoint2(2, 2)));
    EXPECT_EQ(g.pts, before);
    EXPECT_EQ(g.npts, INT_MAX / 2 + 1);
    g.npts = realCount;
    g.nptsTotal = realTotal;
}

TEST(StrokeRecording, TrackingKeepsOnlyPointsFurtherThanTheSpacingFromTheLastKept) {
    gesture g;
    g.TrackGesture(fPoint2(5, 5), 2.5f);  // the first point is always kept
    ASSERT_EQ(g.GetNPoints(), 1);
    g.TrackGesture(fPoint2(5, 7.5f), 2.5f);  // exactly the spacing away: dropped
    g.TrackGesture(fPoint2(6.5f, 7), 2.5f);  // 2.5 away again (a 1.5-2 triangle)
    EXPECT_EQ(g.GetNPoints(), 1);
    // Small steps add up against the last kept point, not the last offered one
    g.TrackGesture(fPoint2(6, 5), 2.5f);
    g.TrackGesture(fPoint2(7, 5), 2.5f);
    EXPECT_EQ(g.GetNPoints(), 1);
    g.TrackGesture(fPoint2(8, 5), 2.5f);
    ASSERT_EQ(g.GetNPoints(), 2);
    EXPECT_EQ(*g.GetPoint(1), fPoint2(8, 5));
}

// ---- draw buffer and filter step -----------------------------------------------------------

TEST(StrokeFiltering, TheDrawBufferIsReusedUntilThePointCountChanges) {
    gesture g;
    for (int i = 0; i < 5; i++) g.AddPoint(fPoint2((float)i, 0));
    ASSERT_TRUE(g.RunFilter());
    fPoint2* first = g.drawBuf;
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(g.RunFilter());
        EXPECT_EQ(g.drawBuf, first);
    }
    g.AddPoint(fPoint2(9, 9));
    ASSERT_TRUE(g.RunFilter());
    EXPECT_EQ(g.drawBufSize, 6);
    EXPECT_EQ(g.drawBuf[5], fPoint2(9, 9));
}

TEST(StrokeFiltering, AnEmptyStrokeFiltersToAnEmptyBuffer) {
    gesture g;
    EXPECT_TRUE(g.RunFilter());
    EXPECT_EQ(g.drawBufSize, 0);
}

TEST(StrokeFiltering, FilteringStartsFromTheRecordedPointsEveryTime) {
    gesture* g = StrokeThrough({fPoint2(1, 2), fPoint2(3, 4)});
    g->translate = fPoint2(10, 20);
    ASSERT_TRUE(g->RunFilter());
    ASSERT_TRUE(g->RunFilter());  // a second pass must not translate twice
    EXPECT_EQ(g->drawBuf[0], fPoint2(11, 22));
    EXPECT_EQ(g->drawBuf[1], fPoint2(13, 24));
    EXPECT_EQ(*g->GetPoint(0), fPoint2(1, 2));
    delete g;
}

TEST(StrokeFiltering, TranslationThenAttachedFiltersInOrderThenTheFinalFilter) {
    gesture* g = StrokeThrough({fPoint2(1, 1)});
    g->translate = fPoint2(1, 0);  // (2, 1)
    auto* shift = new ShiftFilter(0, 3, nullptr);
    g->AddFilter(shift);             // (2, 4)
    g->AddFilter(new DoubleFilter);  // (4, 8)
    finalPtFilter = NegateAll;       // (-4, -8)
    bool ok = g->RunFilter();
    finalPtFilter = nullptr;
    ASSERT_TRUE(ok);
    EXPECT_EQ(g->drawBuf[0], fPoint2(-4, -8));
    EXPECT_EQ(shift->runs, 1);
    EXPECT_EQ(shift->myGesture, g);
    delete g;
}

// ---- filter list -----------------------------------------------------------------------------

TEST(StrokeFilterList, RemovingAFilterUnlinksItWithoutDeletingIt) {
    int deleted = 0;
    gesture g;
    auto* a = new ShiftFilter(1, 0, &deleted);
    auto* b = new ShiftFilter(2, 0, &deleted);
    auto* c = new ShiftFilter(3, 0, &deleted);
    g.AddFilter(a);
    g.AddFilter(b);
    g.AddFilter(c);
    g.RemoveFilter(b);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(b->myGesture, nullptr);
    EXPECT_EQ(b->prev, nullptr);
    EXPECT_EQ(g.filters, a);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->prev, &a->next);
    g.RemoveFilter(a);
    EXPECT_EQ(g.filters, c);
    EXPECT_EQ(c->prev, &g.filters);
    delete a;
    delete b;
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(g.filters, c);  // deleting detached filters leaves the list alone
}

TEST(StrokeFilterList, AStrokeDeletesItsFiltersWithItself) {
    int deleted = 0;
    gesture* g = new gesture();
    g->AddFilter(new ShiftFilter(1, 0, &deleted));
    g->AddFilter(new ShiftFilter(1, 0, &deleted));
    g->DropFilters();
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(g->filters, nullptr);
    g->AddFilter(new ShiftFilter(1, 0, &deleted));
    delete g;
    EXPECT_EQ(deleted, 3);
}

TEST(StrokeFilterList, DeletingAnAttachedFilterTakesItOutOfTheChain) {
    int deleted = 0;
    gesture* g = StrokeThrough({fPoint2(0, 0)});
    auto* a = new ShiftFilter(1, 0, &deleted);
    auto* b = new ShiftFilter(10, 0, &deleted);
    g->AddFilter(a);
    g->AddFilter(b);
    delete a;
    ASSERT_TRUE(g->RunFilter());
    EXPECT_EQ(g->drawBuf[0], fPoint2(10, 0));
    EXPECT_EQ(g->filters, b);
    delete g;
    EXPECT_EQ(deleted, 2);
}

// ---- stroke lists ----------------------------------------------------------------------------

TEST(StrokeList, InsertingPutsTheStrokeAtTheFront) {
    gesture* head = nullptr;
    gesture a, b, c;
    a.Insert(&head);
    b.Insert(&head);
    c.Insert(&head);
    EXPECT_EQ(head, &c);
    EXPECT_EQ(c.GetNext(), &b);
    EXPECT_EQ(b.GetNext(), &a);
    EXPECT_EQ(a.GetNext(), nullptr);
    EXPECT_EQ(c.prev, &head);
    EXPECT_EQ(b.prev, &c.next);
    EXPECT_EQ(a.prev, &b.next);
    b.Remove();
    a.Remove();
    c.Remove();
}

TEST(StrokeList, RemovingFromHeadMiddleOrTailKeepsTheListLinked) {
    gesture* head = nullptr;
    gesture a, b, c, d;
    for (gesture* g : {&a, &b, &c, &d}) g->Insert(&head);  // d c b a
    c.Remove();                                            // middle
    EXPECT_EQ(d.GetNext(), &b);
    EXPECT_EQ(b.prev, &d.next);
    EXPECT_EQ(c.prev, nullptr);
    EXPECT_EQ(c.next, nullptr);
    d.Remove();  // head
    EXPECT_EQ(head, &b);
    EXPECT_EQ(b.prev, &head);
    a.Remove();  // tail
    EXPECT_EQ(b.GetNext(), nullptr);
    // A removed stroke can join another list
    gesture* other = nullptr;
    c.Insert(&other);
    EXPECT_EQ(other, &c);
    c.Remove();
    b.Remove();
    EXPECT_EQ(head, nullptr);
}

TEST(StrokeList, DeletingAStrokeUnlinksIt) {
    gesture* head = nullptr;
    gesture* a = new gesture();
    gesture* b = new gesture();
    gesture* c = new gesture();
    a->Insert(&head);
    b->Insert(&head);
    c->Insert(&head);  // c b a
    delete b;
    EXPECT_EQ(c->GetNext(), a);
    EXPECT_EQ(a->prev, &c->next);
    delete c;
    EXPECT_EQ(head, a);
    EXPECT_EQ(a->prev, &head);
    delete a;
    EXPECT_EQ(head, nullptr);
}

TEST(StrokeListDeathTest, InsertingAStrokeAlreadyInAListStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            gesture* one = nullptr;
            gesture* two = nullptr;
            gesture g;
            g.Insert(&one);
            g.Insert(&two);
        },
        "Assertion failed: !prev, file .*gesture");
}

TEST(StrokeListDeathTest, RemovingAStrokeInNoListStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            gesture g;
            g.Remove();
        },
        "Assertion failed: 0 &&\"gesture not in list; can't remove it\", file .*gesture");
}

TEST(StrokeListDeathTest, RemovingANullFilterStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            gesture g;
            g.RemoveFilter(nullptr);
        },
        "Assertion failed: f, file .*gesture");
}

// ---- picking -----------------------------------------------------------------------------------

TEST(StrokePicking, AnEmptyStrokeHasNothingToPickAndLeavesTheDistanceAlone) {
    gesture g;
    float d = 42;
    EXPECT_EQ(g.PickPoint2(fPoint2(0, 0), &d), -1);
    EXPECT_EQ(d, 42);
}

TEST(StrokePicking, AStrokeNeverDrawnIsPickedOnItsRecordedPoints) {
    gesture* g = StrokeThrough({fPoint2(0, 0), fPoint2(10, 0), fPoint2(20, 0)});
    float d = -1;
    EXPECT_EQ(g->PickPoint2(fPoint2(11, 3), &d), 1);
    EXPECT_FLOAT_EQ(d, hypotf(1, 3));
    EXPECT_EQ(g->PickPoint2(fPoint2(100, 0), nullptr), 2);
    delete g;
}

TEST(StrokePicking, ADrawnStrokeIsPickedWhereItWasFilteredTo) {
    gesture* g = StrokeThrough({fPoint2(0, 0), fPoint2(10, 0)});
    g->translate = fPoint2(100, 0);
    ASSERT_TRUE(g->RunFilter());
    float d;
    EXPECT_EQ(g->PickPoint2(fPoint2(111, 0), &d), 1);
    EXPECT_FLOAT_EQ(d, 1);
    // With analysis of filters switched off the recorded points count
    g->SetDontAnalyzeFilters(true);
    EXPECT_EQ(g->PickPoint2(fPoint2(1, 0), &d), 0);
    EXPECT_FLOAT_EQ(d, 1);
    delete g;
}

TEST(StrokePicking, PointsAddedSinceTheLastDrawAreNotPickedYet) {
    gesture* g = StrokeThrough({fPoint2(0, 0), fPoint2(10, 0)});
    ASSERT_TRUE(g->RunFilter());
    g->AddPoint(fPoint2(50, 0));
    EXPECT_EQ(g->PickPoint2(fPoint2(50, 0), nullptr), 1);
    ASSERT_TRUE(g->RunFilter());
    EXPECT_EQ(g->PickPoint2(fPoint2(50, 0), nullptr), 2);
    delete g;
}

TEST(StrokePicking, EquallyNearPointsPickTheLowerIndex) {
    gesture* g = StrokeThrough({fPoint2(0, 0), fPoint2(10, 0), fPoint2(0, 0)});
    EXPECT_EQ(g->PickPoint2(fPoint2(5, 0), nullptr), 0);
    EXPECT_EQ(g->PickPoint2(fPoint2(0, 1), nullptr), 0);
    delete g;
}

TEST(StrokePicking, AListPicksTheNearestStrokeWithinReach) {
    gesture* head = nullptr;
    gesture* far = StrokeThrough({fPoint2(100, 100)});
    gesture* near = StrokeThrough({fPoint2(0, 50), fPoint2(3, 4)});
    gesture* empty = new gesture();
    far->Insert(&head);
    near->Insert(&head);
    empty->Insert(&head);  // empty near far
    int v = -7;
    EXPECT_EQ(gesture::PickPointFromList(head, fPoint2(0, 0), 10, &v), near);
    EXPECT_EQ(v, 1);
    // Exactly at the limit is within reach, just beyond is not
    EXPECT_EQ(gesture::PickPointFromList(head, fPoint2(0, 0), 5, nullptr), near);
    v = -7;
    EXPECT_EQ(gesture::PickPointFromList(head, fPoint2(0, 0), 4.99f, &v), nullptr);
    EXPECT_EQ(v, -7);
    EXPECT_EQ(gesture::PickPointFromList(nullptr, fPoint2(0, 0), 5, &v), nullptr);
    delete far;
    delete near;
    delete empty;
}

TEST(StrokePicking, AmongEquallyNearStrokesTheOneNearerTheHeadWins) {
    gesture* head = nullptr;
    gesture* left = StrokeThrough({fPoint2(-5, 0)});
    gesture* right = StrokeThrough({fPoint2(5, 0)});
    left->Insert(&head);
    right->Insert(&head);  // right left
    EXPECT_EQ(gesture::PickPointFromList(head, fPoint2(0, 0), 10, nullptr), right);
    delete right;
    EXPECT_EQ(gesture::PickPointFromList(head, fPoint2(0, 0), 10, nullptr), left);
    delete left;
}

TEST(StrokePicking, AStrokeIsPickedByItsSegmentsNotOnlyItsPoints) {
    // A quick stroke (two points far apart) and a square, open until it is closed
    gesture* quick = StrokeThrough({fPoint2(0, 0), fPoint2(100, 0)});
    gesture* square =
        StrokeThrough({fPoint2(200, 0), fPoint2(300, 0), fPoint2(300, 100), fPoint2(200, 100)});
    EXPECT_FLOAT_EQ(quick->DistanceToSegments(fPoint2(50, 4)), 4);  // between the points
    EXPECT_FLOAT_EQ(quick->DistanceToSegments(fPoint2(-3, 4)), 5);  // beyond an end
    EXPECT_FLOAT_EQ(square->DistanceToSegments(fPoint2(203, 40)), 40);
    square->closed = true;
    EXPECT_FLOAT_EQ(square->DistanceToSegments(fPoint2(203, 40)), 3);
    gesture* head = nullptr;
    quick->Insert(&head);
    square->Insert(&head);
    EXPECT_EQ(gesture::PickStrokeFromList(head, fPoint2(50, 4), 4), quick);
    EXPECT_EQ(gesture::PickStrokeFromList(head, fPoint2(50, 4.01f), 4), nullptr);
    EXPECT_EQ(gesture::PickStrokeFromList(head, fPoint2(140, 1), 70), quick) << "the nearer";
    delete quick;
    delete square;
}

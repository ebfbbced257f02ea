// The history's steps and bounds on plain strings standing for documents
#include <gtest/gtest.h>

#include <string>

#include "EditHistory.h"

namespace {

// A document of size bytes whose middle holds n, like a doll whose posture changed
std::string Document(size_t size, int n) {
    std::string d(size, 'x');
    std::string mark = std::to_string(n);
    d.replace(size / 2, mark.size(), mark);
    return d;
}

TEST(EditHistory, UndoRedoAmendAndANewStepAfterUndoing) {
    EditHistory h;
    h.Reset("start");
    EXPECT_FALSE(h.Record("Nothing", "start"));  // the same document is no step
    EXPECT_TRUE(h.Record("Draw Line", "start+line"));
    EXPECT_TRUE(h.Record("Pose", "posed start+line"));
    h.Amend("posed and settled start+line");  // the doll moved on by itself
    EXPECT_EQ(h.GetUndoLabel(), "Pose");
    ASSERT_TRUE(h.Undo());
    EXPECT_EQ(h.GetCurrent(), "start+line");
    ASSERT_TRUE(h.Undo());
    EXPECT_EQ(h.GetCurrent(), "start");
    EXPECT_FALSE(h.Undo());
    ASSERT_TRUE(h.Redo());
    ASSERT_TRUE(h.Redo());
    EXPECT_EQ(h.GetCurrent(), "posed and settled start+line");
    EXPECT_FALSE(h.Redo());

    h.Undo();
    EXPECT_EQ(h.GetRedoLabel(), "Pose");
    h.Record("Delete Line", "start");
    EXPECT_FALSE(h.CanRedo());
    h.Undo();
    EXPECT_EQ(h.GetCurrent(), "start+line");
}

TEST(EditHistory, KeepsAtMostTheStepCountAndDropsTheOldestFirst) {
    EditHistory h(1000);
    h.Reset(Document(1000, 0));
    for (int i = 1; i <= 1100; i++) h.Record("Pose", Document(1000, i));
    EXPECT_EQ(h.GetNumSteps(), 1000u);
    while (h.Undo()) {
    }
    EXPECT_EQ(h.GetCurrent(), Document(1000, 100));
}

TEST(EditHistory, HoldsHundredsOfStepsOfALargeDocumentWithinItsBytes) {
    // Steps that change a little of a 1.3 MB document cost little: all 200 are kept
    EditHistory small;
    small.Reset(Document(1300000, 0));
    for (int i = 1; i <= 200; i++) small.Record("Pose", Document(1300000, i));
    EXPECT_EQ(small.GetNumSteps(), 200u);
    EXPECT_LT(small.GetBytes(), 2000000u);

    // Steps that replace a whole 1 MB document: the 64 MB bound drops the oldest
    EditHistory whole;
    whole.Reset(std::string(1 << 20, 'a'));
    for (int i = 1; i <= 100; i++) whole.Record("New", std::string(1 << 20, (char)('a' + i % 2)));
    EXPECT_LE(whole.GetBytes(), EditHistory::kDefaultMaxBytes);
    EXPECT_GE(whole.GetNumSteps(), 25u);
    size_t kept = whole.GetNumSteps();
    while (whole.Undo()) {
    }
    EXPECT_EQ(whole.GetCurrent(), std::string(1 << 20, (char)('a' + (100 - kept) % 2)));
}

}  // namespace

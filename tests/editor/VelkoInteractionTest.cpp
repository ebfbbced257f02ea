// Whole interactions with the editor, scripted tick by tick on the test shell the way a
// person would use it, checking the doll and the editor after each step.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "EditorSession.h"
#include "GIconTable.h"
#include "PopupMenu.h"
#include "VelkoIcons.h"

namespace {

class Editor : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        s.reset(new EditorSession());
    }
    std::unique_ptr<EditorSession> s;

    // A line drawn with the mouse from (x, y0) down to (x, y1), in the current mode
    void SketchDown(int x, int y0, int y1) {
        s->shell.DragFromTo(x, y0, x, y1, 12);
        s->shell.Wait(1);
    }
    bool Near(fPoint2 a, fPoint2 b, float tol) { return a.Dist(b) <= tol; }
};

std::vector<std::pair<int, int>> DrawOrder(const Doll& d) {
    std::vector<std::pair<int, int>> v;
    for (DollEdge* e = d.dollEdgeDrawList.edges; e; e = e->GetNext()) v.push_back({e->a, e->b});
    return v;
}

int IndexOf(const std::vector<std::pair<int, int>>& v, std::pair<int, int> e) {
    for (size_t i = 0; i < v.size(); i++)
        if (v[i] == e) return (int)i;
    return -1;
}

// Start-up

TEST_F(Editor, OpensOnTheDefaultDollInDrawAndPoseWithTheHeartBottomLeft) {
    VelkoTestAccess& in = s->in;
    fRect b = s->shell.GetBounds();
    EXPECT_EQ(b.right, 800);
    EXPECT_EQ(b.bottom, 480);
    EXPECT_EQ(s->Doll().GetNumJoints(), 11);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);
    EXPECT_EQ(in.Panel().level, kDrawAndPose);
    EXPECT_EQ(in.GetMode(), VelkoTestAccess::idle);

    const DollIcon* icon = &s->Doll().icon;
    EXPECT_EQ(icon->GetIcon(), GIconTable::ResolveIcon("heart"));
    EXPECT_EQ(icon->GetIcon(), 6);
    fRect r = icon->GetBounds();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 420);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.bottom, 470);
}

TEST_F(Editor, RegistersTheBuiltInIconsOnceHoweverManyEditorsAreBuilt) {
    int registered = GIconTable::entryCount;
    for (int i = 0; i < 12; i++) {  // more than the 256-slot table could take 22 at a time
        EditorTestShell shell;
        Velko another(&shell);
        EXPECT_EQ(GIconTable::entryCount, registered);
    }
    for (int i = 0; i < kNumVelkoIcons; i++) EXPECT_EQ(icons[i].id, i) << icons[i].name;
}

TEST_F(Editor, LaysTheThumbnailsOutInTwoColumnsOfFourAndEditsPoseFour) {
    VelkoTestAccess& in = s->in;
    ASSERT_EQ(in.NumPoseWidgets(), 8);
    EXPECT_EQ(in.PoseWidgetsInColumn(), 4);
    for (int i = 0; i < 8; i++) {
        fRect r = in.PoseWidget(i).bounds;
        EXPECT_EQ(r.left, i < 4 ? 700 : 600) << i;
        EXPECT_EQ(r.right, i < 4 ? 790 : 690) << i;
        EXPECT_EQ(r.top, 10 + 100 * (i % 4)) << i;
        EXPECT_EQ(r.bottom, 100 + 100 * (i % 4)) << i;
        EXPECT_EQ(in.PoseWidget(i).pose, s->Doll().poses + i) << i;
    }
    s->shell.Tick(3);
    EXPECT_EQ(s->Doll().GetEditPose(), 4);
    EXPECT_EQ(s->Doll().poses[4].GetNumJoints(), 11);  // recording the doll
}

// Sketching

TEST_F(Editor, SketchingInDrawAndPoseBindsTheLineToTheNearestBone) {
    EditorTestShell& sh = s->shell;
    sh.MoveTo(240, 200);
    sh.Tick();
    EXPECT_EQ(sh.cursor, App::pencilCursor);  // over empty space the pen is offered
    sh.Press(240, 200);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::draw);
    ASSERT_NE(s->in.ActiveLine(), nullptr);
    EXPECT_EQ(s->in.ActiveEdgeA(), kLeftElbow);
    EXPECT_EQ(s->in.ActiveEdgeB(), kLeftHand);
    for (int y = 205; y <= 260; y += 5) {
        sh.MoveTo(240, y);
        sh.Tick();
        EXPECT_EQ(sh.cursor, App::pencilCursor);
    }
    sh.Release(240, 260);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->in.ActiveLine(), nullptr);

    ASSERT_EQ(s->Doll().GetNumLines(), 1);
    const SketchDollLine* line = s->Doll().GetFirstLine();
    EXPECT_TRUE(line->GetIsOnEdge(kLeftElbow, kLeftHand));
    EXPECT_FALSE(line->GetIsMask());
    EXPECT_EQ(line->GetNPoints(), 12);  // one point per tick, 5 apart
    EXPECT_EQ(*line->GetPoint(0), fPoint2(240, 205));
}

TEST_F(Editor, AStrokeOfOnePointLeavesNoLine) {
    EditorTestShell& sh = s->shell;
    sh.MoveTo(240, 200);
    sh.Tick();
    sh.Press(240, 200);
    sh.Tick();  // the pen records the one place it was held
    sh.Tick();
    sh.Release(240, 200);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    sh.Tick();

    // Press and release with no tick between: nothing recorded at all
    sh.Press(250, 220);
    sh.Release(250, 220);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);
}

// Posing

TEST_F(Editor, DraggingAJointPosesTheDollAndTheSkeletonFollows) {
    EditorTestShell& sh = s->shell;
    fPoint2 hand = s->JointAt(kRightHand);
    fPoint2 elbow = s->JointAt(kRightElbow);
    sh.MoveTo(s->JointX(kRightHand), s->JointY(kRightHand));
    sh.Tick();
    EXPECT_EQ(sh.cursor, App::openHandCursor);
    EXPECT_EQ(s->in.ActiveJoint(), s->Joint(kRightHand));

    sh.Press(s->JointX(kRightHand), s->JointY(kRightHand));
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::drag);
    EXPECT_FALSE(s->in.GetDeformDrag());
    for (int i = 1; i <= 10; i++) {
        sh.MoveTo((int)hand.x + 6 * i, (int)hand.y + 4 * i);
        sh.Tick();
        EXPECT_EQ(sh.cursor, App::closedHandCursor);
    }
    sh.Tick(5);
    EXPECT_TRUE(Near(s->JointAt(kRightHand), hand + fPoint2(60, 40), 6))
        << s->JointAt(kRightHand).x << "," << s->JointAt(kRightHand).y;
    EXPECT_GT(s->JointAt(kRightElbow).Dist(elbow), 5);  // pulled along by the bone
    sh.Release((int)hand.x + 60, (int)hand.y + 40);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->in.ActiveJoint(), nullptr);
    EXPECT_EQ(s->Doll().GetNumJoints(), 11);
}

TEST_F(Editor, InPlayAPressAwayFromJointsGrabsTheNearestKeepingItsOffset) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kPlay);
    fPoint2 hand = s->JointAt(kRightHand);
    fPoint2 press(hand.x + 30, hand.y + 18);
    sh.MoveTo((int)press.x, (int)press.y);
    sh.Tick();
    EXPECT_EQ(s->in.ActiveJoint(), s->Joint(kRightHand));  // the rollover already offers it
    EXPECT_EQ(sh.cursor, App::openHandCursor);

    hand = s->JointAt(kRightHand);
    sh.Press((int)press.x, (int)press.y);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::drag);
    EXPECT_EQ(s->in.ActiveJoint(), s->Joint(kRightHand));
    fPoint2 offset = s->in.DragTargetDelta();
    EXPECT_NEAR(offset.x, hand.x - press.x, 1e-4);
    EXPECT_NEAR(offset.y, hand.y - press.y, 1e-4);
    for (int i = 1; i <= 10; i++) {
        sh.MoveTo((int)press.x + 5 * i, (int)press.y);
        sh.Tick();
    }
    sh.Tick(5);
    // The joint stays where it was relative to the pointer, not under it
    EXPECT_TRUE(Near(s->JointAt(kRightHand), fPoint2(press.x + 50, press.y) + offset, 6));
    sh.Release((int)press.x + 50, (int)press.y);
}

TEST_F(Editor, ADoubleClickOnAJointTogglesItsLockWithoutDragging) {
    EditorTestShell& sh = s->shell;
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    sh.DoubleClick(x, y);
    EXPECT_TRUE(s->Joint(kRightHand)->GetLock());
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    sh.Wait(1);
    sh.DoubleClick(x, y);
    EXPECT_FALSE(s->Joint(kRightHand)->GetLock());

    // In "Edit Skeleton" a double click on a joint does not lock it
    s->ChooseMode(kEditSkeleton);
    sh.DoubleClick(x, y);
    EXPECT_FALSE(s->Joint(kRightHand)->GetLock());
}

// Editing the skeleton

TEST_F(Editor, EditSkeletonAddsAJointWhereThePressLands) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kEditSkeleton);
    sh.MoveTo(150, 300);
    sh.Tick();
    EXPECT_EQ(sh.cursor, App::normalCursor);
    EXPECT_EQ(s->in.ActiveJoint(), nullptr);
    sh.Click(150, 300);
    ASSERT_EQ(s->Doll().GetNumJoints(), 12);
    EXPECT_EQ(s->JointAt(11), fPoint2(150, 300));
    EXPECT_EQ(sh.beeps, 0);
}

TEST_F(Editor, EditSkeletonBeepsWhenNoJointSlotIsLeft) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kEditSkeleton);
    for (int i = 0; i < 21; i++) sh.Click(20 + 25 * (i % 7), 150 + 120 * (i / 7));
    ASSERT_EQ(s->Doll().GetNumJoints(), 32);
    EXPECT_EQ(sh.beeps, 0);
    sh.Click(100, 320);
    EXPECT_EQ(s->Doll().GetNumJoints(), 32);
    EXPECT_EQ(sh.beeps, 1);
}

TEST_F(Editor, ReleasingASkeletonDragOnAnotherJointLinksThemAndAgainUnlinks) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kEditSkeleton);
    sh.Click(150, 300);
    ASSERT_EQ(s->Doll().GetNumJoints(), 12);
    const DollJoint* added = s->Joint(11);
    const DollJoint* hand = s->Joint(kLeftHand);
    ASSERT_FALSE(s->Doll().EdgeExists(added, hand));

    sh.MoveTo(150, 300);
    sh.Tick();
    EXPECT_EQ(s->in.ActiveJoint(), added);
    EXPECT_EQ(sh.cursor, App::openHandCursor);
    sh.Press(150, 300);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::drag);
    EXPECT_TRUE(s->in.GetDeformDrag());
    for (int i = 1; i <= 5; i++) {
        sh.MoveTo(150 + (s->JointX(kLeftHand) - 150) * i / 5,
                  300 + (s->JointY(kLeftHand) - 300) * i / 5);
        sh.Tick();
        EXPECT_EQ(sh.cursor, App::closedHandCursor);
        EXPECT_EQ(s->JointAt(11), fPoint2(150, 300));  // the preview moves, not the joint
    }
    sh.Release(s->JointX(kLeftHand), s->JointY(kLeftHand));
    EXPECT_TRUE(s->Doll().EdgeExists(added, hand));
    EXPECT_EQ(s->JointAt(11), fPoint2(150, 300));
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);

    sh.Tick();
    sh.DragFromTo(150, 300, s->JointX(kLeftHand), s->JointY(kLeftHand), 5);
    EXPECT_FALSE(s->Doll().EdgeExists(added, hand));
    EXPECT_EQ(s->Doll().GetNumJoints(), 12);
}

TEST_F(Editor, ReleasingASkeletonDragElsewhereMovesTheJointAndRemeasuresItsBones) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kEditSkeleton);
    sh.Tick(30);  // let the doll settle
    fPoint2 hand = s->JointAt(kRightHand);
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    sh.DragFromTo(x, y, x + 40, y + 10, 8);
    fPoint2 moved = s->JointAt(kRightHand);
    EXPECT_NEAR(moved.x, hand.x + 40, 0.5);
    EXPECT_NEAR(moved.y, hand.y + 10, 0.5);
    float rest = s->Doll().edges[kRightElbow][kRightHand];
    EXPECT_NEAR(rest, moved.Dist(s->JointAt(kRightElbow)), 0.5);
    EXPECT_NEAR(s->Doll().edges[kRightHand][kRightElbow], rest, 0);
}

TEST_F(Editor, BackspaceDeletesTheJointUnderThePointerWithItsLines) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kDrawAndPose);
    SketchDown(240, 200, 260);  // on the bone from the left elbow to the left hand
    SketchDown(330, 380, 420);  // on the right shin
    ASSERT_EQ(s->Doll().GetNumLines(), 2);

    s->ChooseMode(kEditSkeleton);
    sh.MoveTo(s->JointX(kLeftHand), s->JointY(kLeftHand));
    sh.Tick();
    ASSERT_EQ(s->in.ActiveJoint(), s->Joint(kLeftHand));
    sh.KeyPress(8);
    EXPECT_EQ(s->Doll().GetNumJoints(), 10);
    EXPECT_FALSE(s->Doll().GetIsValidJoint(kLeftHand));
    EXPECT_EQ(s->in.ActiveJoint(), nullptr);
    ASSERT_EQ(s->Doll().GetNumLines(), 1);  // the shin's line stays
    EXPECT_TRUE(s->Doll().GetFirstLine()->GetIsOnEdge(kRightKnee, kRightFoot));
    EXPECT_EQ(sh.beeps, 0);
    sh.Tick();
}

TEST_F(Editor, BackspaceAwayFromJointsBeepsInEditSkeletonOnly) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kEditSkeleton);
    sh.MoveTo(150, 400);
    sh.Tick();
    sh.KeyPress(8);
    EXPECT_EQ(sh.beeps, 1);
    EXPECT_EQ(s->Doll().GetNumJoints(), 11);

    // "Pose" erases lines, not joints: the key does nothing there
    s->ChooseMode(kPose);
    sh.MoveTo(s->JointX(kLeftHand), s->JointY(kLeftHand));
    sh.Tick();
    sh.KeyPress(8);
    EXPECT_EQ(sh.beeps, 1);
    EXPECT_EQ(s->Doll().GetNumJoints(), 11);
}

// Lines

TEST_F(Editor, AClickOnALineSelectsItASecondDeselectsAndBackspaceDeletesIt) {
    EditorTestShell& sh = s->shell;
    SketchDown(240, 200, 260);
    ASSERT_EQ(s->Doll().GetNumLines(), 1);
    const SketchDollLine* line = s->Doll().GetFirstLine();

    sh.Click(240, 230);
    EXPECT_EQ(s->in.SelectedLine(), line);
    EXPECT_EQ(s->Doll().GetNumLines(), 1);  // selecting draws nothing new
    sh.Wait(1);
    sh.Click(240, 230);
    EXPECT_EQ(s->in.SelectedLine(), nullptr);
    sh.Wait(1);
    sh.Click(240, 230);
    EXPECT_EQ(s->in.SelectedLine(), line);

    sh.KeyPress(8);
    EXPECT_EQ(s->in.SelectedLine(), nullptr);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);
    EXPECT_EQ(sh.beeps, 0);
    sh.Tick();
}

TEST_F(Editor, AClickBetweenThePointsOfAQuickStrokeSelectsIt) {
    EditorTestShell& sh = s->shell;
    s->shell.DragFromTo(240, 200, 240, 262, 1);  // two points, 62 apart
    sh.Wait(1);
    ASSERT_EQ(s->Doll().GetFirstLine()->GetNPoints(), 2);
    sh.Click(243, 231);  // 3 from the segment, 31 from either point
    EXPECT_EQ(s->in.SelectedLine(), s->Doll().GetFirstLine());
    sh.Wait(1);
    sh.Click(245, 231);  // 5 from it: a new stroke, not a selection
    EXPECT_EQ(s->in.SelectedLine(), nullptr);
}

TEST_F(Editor, APressOnALineOfTheOtherMaskKindStartsANewLine) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kDraw);
    SketchDown(240, 200, 260);
    ASSERT_EQ(s->Doll().GetNumLines(), 1);
    s->in.DollForSetup().GetFirstLine()->SetIsMask(true);  // drawn while editing the mask

    sh.DragFromTo(240, 230, 260, 240, 6);
    EXPECT_EQ(s->in.SelectedLine(), nullptr);
    EXPECT_EQ(s->Doll().GetNumLines(), 2);
}

TEST_F(Editor, ChoosingAModeThatDoesNotDrawDropsTheSelection) {
    EditorTestShell& sh = s->shell;
    SketchDown(240, 200, 260);
    sh.Click(240, 230);
    ASSERT_NE(s->in.SelectedLine(), nullptr);
    s->ChooseMode(kDraw);  // still a drawing mode
    EXPECT_NE(s->in.SelectedLine(), nullptr);
    s->ChooseMode(kPose);
    EXPECT_EQ(s->in.SelectedLine(), nullptr);
}

// Poses and thumbnails

TEST_F(Editor, TabAndTheArrowsStepTheEditPoseThroughTheGrid) {
    EditorTestShell& sh = s->shell;
    sh.Tick(2);
    ASSERT_EQ(s->TargetPose(), 4);
    const int steps[][2] = {
        {9, 5},               // tab: next
        {kDownArrowKey, 6},   // next
        {kUpArrowKey, 5},     // previous
        {kLeftArrowKey, 1},   // the column on the left: +4, wrapping
        {kRightArrowKey, 5},  // the column on the right: -4, wrapping
        {kUpArrowKey, 4},
        {kUpArrowKey, 3},
        {kUpArrowKey, 2},
        {kUpArrowKey, 1},
        {kUpArrowKey, 0},
        {kUpArrowKey, 7},    // wraps backwards
        {kDownArrowKey, 0},  // and forwards
        {kRightArrowKey, 4},
    };
    for (auto& st : steps) {
        sh.KeyPress(st[0]);
        EXPECT_EQ(s->TargetPose(), st[1]) << "after key " << st[0];
        sh.Tick(2);
        EXPECT_EQ(s->Doll().GetEditPose(), st[1]) << "records into it once there";
    }
}

TEST_F(Editor, DeleteOverAThumbnailEmptiesItsSlotAsOneStepAndItStaysEmpty) {
    EditorTestShell& sh = s->shell;
    sh.Tick(2);
    ASSERT_EQ(s->Doll().GetEditPose(), 4);
    ASSERT_GT(s->Doll().poses[4].GetNumJoints(), 0);  // it records the doll
    sh.MoveTo((int)s->WidgetCentre(4).x, (int)s->WidgetCentre(4).y);
    sh.Tick();
    sh.KeyPress(127);
    sh.Tick(3);
    EXPECT_EQ(s->Doll().poses[4].GetNumJoints(), 0) << "and nothing records into it again";
    EXPECT_EQ(s->in.StatusText(), "Cleared pose 5");
    EXPECT_EQ(s->in.History().GetUndoLabel(), "Clear Pose 5");
    sh.KeyPress(8);  // Backspace too; an empty slot only says so
    EXPECT_EQ(s->in.StatusText(), "Pose 5 is already empty");
    s->editor.MenuInvoked(Velko::kMenuUndo);
    EXPECT_GT(s->Doll().poses[4].GetNumJoints(), 0);
}

TEST_F(Editor, ClickingAThumbnailSeeksItsPoseAndThenRecordsIntoIt) {
    EditorTestShell& sh = s->shell;
    fPoint2 c = s->WidgetCentre(2);
    sh.Click((int)c.x, (int)c.y);
    sh.Tick(2);
    EXPECT_EQ(s->Doll().GetEditPose(), 2);
    EXPECT_EQ(s->Doll().poses[2].GetNumJoints(), 11);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);  // a press on a thumbnail draws nothing
}

TEST_F(Editor, DoubleClickingAThumbnailHoldsItsPoseWithoutRecording) {
    EditorTestShell& sh = s->shell;
    fPoint2 c = s->WidgetCentre(3);
    sh.DoubleClick((int)c.x, (int)c.y);
    EXPECT_EQ(s->Doll().GetEditPose(), -1);
    EXPECT_EQ(s->Doll().GetSeekPose(), 3);
    EXPECT_TRUE(s->Doll().lockSeek);
    sh.Tick(5);
    EXPECT_EQ(s->Doll().GetSeekPose(), 3);  // held there
    EXPECT_EQ(s->Doll().GetEditPose(), -1);
}

TEST_F(Editor, DraggingAThumbnailOntoAnotherCopiesThePose) {
    EditorTestShell& sh = s->shell;
    // Record a posture into pose 1: choose it, then pose the doll
    fPoint2 w1 = s->WidgetCentre(1);
    sh.Click((int)w1.x, (int)w1.y);
    sh.Tick(2);
    ASSERT_EQ(s->Doll().GetEditPose(), 1);
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    sh.DragFromTo(x, y, x + 60, y - 80, 10);
    sh.Tick(20);
    ASSERT_EQ(s->Doll().poses[1].GetNumJoints(), 11);
    EXPECT_EQ(s->Doll().poses[6].GetNumJoints(), 0);

    fPoint2 w6 = s->WidgetCentre(6);
    sh.MoveTo((int)w1.x, (int)w1.y);
    sh.Tick();
    sh.Press((int)w1.x, (int)w1.y);
    sh.Tick();
    EXPECT_FALSE(s->in.TheDrag().GetIsInDrag());  // not before the pointer moves
    for (int i = 1; i <= 10; i++) {
        sh.MoveTo((int)(w1.x + (w6.x - w1.x) * i / 10), (int)(w1.y + (w6.y - w1.y) * i / 10));
        sh.Tick();
        ASSERT_TRUE(s->in.TheDrag().GetIsInDrag());
        EXPECT_EQ(s->in.TheDrag().GetObject(), (DragObject*)&s->in.PoseWidget(1));
        // The tick that recognises the drag picks it up; from the next on the hand is closed
        if (i > 1) {
            EXPECT_EQ(sh.cursor, App::closedHandCursor);
        }
        EXPECT_FALSE(s->in.PoseWidget(1).dragReceiveHilight);
    }
    EXPECT_TRUE(s->in.PoseWidget(6).dragReceiveHilight);
    // The ghost followed the pointer the whole way
    EXPECT_NEAR(s->in.TheDrag().translate.x, w6.x - w1.x, 1);
    EXPECT_NEAR(s->in.TheDrag().translate.y, w6.y - w1.y, 1);

    sh.Release((int)w6.x, (int)w6.y);
    const DollPose& p1 = s->Doll().poses[1];
    const DollPose& p6 = s->Doll().poses[6];
    EXPECT_FALSE(s->in.TheDrag().GetIsInDrag());
    EXPECT_FALSE(s->in.PoseWidget(6).dragReceiveHilight);
    ASSERT_EQ(p6.GetNumJoints(), p1.GetNumJoints());
    for (int j = 0; j < 32; j++) {
        EXPECT_EQ(p6.PeekAtJointAlloc(j), p1.PeekAtJointAlloc(j)) << j;
        if (p1.PeekAtJointAlloc(j)) {
            EXPECT_EQ(p6.GetJointLoc(j), p1.GetJointLoc(j)) << j;
        }
    }
    // The press was a click on thumbnail 1 too
    EXPECT_EQ(s->TargetPose(), 1);
    EXPECT_EQ(s->in.PoseWidget(1).bounds.left, 700);  // the thumbnail itself never moved
}

TEST_F(Editor, AThumbnailIsNeverOfferedItselfAndDroppingItThereChangesNothing) {
    EditorTestShell& sh = s->shell;
    fPoint2 c = s->WidgetCentre(1);
    sh.MoveTo((int)c.x, (int)c.y);
    sh.Tick();
    sh.Press((int)c.x, (int)c.y);
    for (int i = 1; i <= 6; i++) {
        sh.MoveTo((int)c.x + 3 * i, (int)c.y + 2 * i);
        sh.Tick();
        EXPECT_TRUE(s->in.TheDrag().GetIsInDrag());
        EXPECT_EQ(s->in.TheDrag().receptacle, nullptr);
        EXPECT_FALSE(s->in.PoseWidget(1).dragReceiveHilight);
    }
    // Dragged off every thumbnail: no receptacle either
    sh.MoveTo(400, 200);
    sh.Tick();
    EXPECT_EQ(s->in.TheDrag().receptacle, nullptr);
    sh.Release(400, 200);
    EXPECT_FALSE(s->in.TheDrag().GetIsInDrag());
    for (int i = 0; i < 8; i++) EXPECT_FALSE(s->in.PoseWidget(i).dragReceiveHilight);
}

// The icon

TEST_F(Editor, AClickOnTheIconOpensItsMenuAndPickingACellChangesTheIcon) {
    EditorTestShell& sh = s->shell;
    sh.MoveTo(35, 445);
    sh.Tick();
    EXPECT_EQ(s->in.ActiveIcon(), &s->Doll().icon);  // rollover
    sh.Click(35, 445);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    EXPECT_EQ(s->in.ActiveIcon(), &s->Doll().icon);
    sh.Tick(3);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);

    // The menu grows upward from the icon's corner: "exclamation-mark" at left 10, top 120
    sh.Click(35, 145);
    EXPECT_EQ(s->Doll().icon.GetIcon(), icons[0].id);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);
    EXPECT_EQ(s->Doll().GetNumJoints(), 11);
}

TEST_F(Editor, APressOffTheMenuDismissesItAndPressReleaseOnTwoCellsChangesNothing) {
    EditorTestShell& sh = s->shell;
    int heart = s->Doll().icon.GetIcon();
    sh.Click(35, 445);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    sh.Click(400, 200);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->Doll().icon.GetIcon(), heart);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);  // the press drew nothing

    sh.Wait(1);
    sh.Click(35, 445);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    sh.DragFromTo(95, 445, 155, 445, 4);  // from "lightbulb", beside the icon, to "none"
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->Doll().icon.GetIcon(), heart);
}

TEST_F(Editor, DraggingTheIconMovesItAndOpensNoMenu) {
    EditorTestShell& sh = s->shell;
    sh.DragFromTo(35, 445, 135, 345, 10);
    fRect r = s->Doll().icon.GetBounds();
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.top, 320);
    EXPECT_EQ(r.right, 160);
    EXPECT_EQ(r.bottom, 370);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
    EXPECT_EQ(s->Doll().GetNumLines(), 0);
}

TEST_F(Editor, TheIconDroppedOnAThumbnailIsNotTakenByIt) {
    EditorTestShell& sh = s->shell;
    sh.MoveTo(35, 445);
    sh.Tick();
    sh.Press(35, 445);
    fPoint2 w6 = s->WidgetCentre(6);
    for (int i = 1; i <= 10; i++) {
        sh.MoveTo(35 + (int)(w6.x - 35) * i / 10, 445 + (int)(w6.y - 445) * i / 10);
        sh.Tick();
        EXPECT_EQ(s->in.TheDrag().GetObject(), (DragObject*)&s->Doll().icon);
        EXPECT_FALSE(s->in.PoseWidget(6).dragReceiveHilight);
    }
    sh.Release((int)w6.x, (int)w6.y);
    EXPECT_EQ(s->Doll().poses[6].GetNumJoints(), 0);
    EXPECT_EQ(s->Doll().icon.GetBounds().GetCenter(), fPoint2(w6.x, w6.y));
}

TEST_F(Editor, TheIconDroppedOnAThumbnailCanBeGrabbedAgainAndOpensItsMenuThere) {
    EditorTestShell& sh = s->shell;
    fPoint2 w6 = s->WidgetCentre(6);
    sh.DragFromTo(35, 445, (int)w6.x, (int)w6.y, 10);
    ASSERT_EQ(s->Doll().icon.GetBounds().GetCenter(), w6);
    int editPose = s->Doll().GetEditPose();

    // A click on the icon opens its menu rather than choosing the thumbnail under it
    sh.Wait(1);
    sh.Click((int)w6.x, (int)w6.y);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    EXPECT_EQ(s->Doll().GetEditPose(), editPose);
    sh.Click(400, 200);  // dismissed
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::idle);

    // A drag moves the icon, not a ghost of the thumbnail
    sh.Wait(1);
    sh.DragFromTo((int)w6.x, (int)w6.y, 300, 250, 10);
    EXPECT_EQ(s->Doll().icon.GetBounds().GetCenter(), fPoint2(300, 250));
    EXPECT_EQ(s->Doll().GetEditPose(), editPose);
}

TEST_F(Editor, TheIconDraggedOutOfTheWindowEndsWhollyInsideItAndCanBeGrabbedAgain) {
    EditorTestShell& sh = s->shell;
    int editPose = s->Doll().GetEditPose();
    // Past the bottom-left corner: pressed 25 right of and 25 below its top left
    sh.DragFromTo(35, 445, -300, 700, 10);
    EXPECT_EQ(s->Doll().icon.GetBounds().GetCenter(), fPoint2(25, 455));  // 50 x 50 in the corner
    sh.Wait(1);
    sh.DragFromTo(25, 455, 225, 255, 10);
    EXPECT_EQ(s->Doll().icon.GetBounds().GetCenter(), fPoint2(225, 255));

    // Past the top-right corner it ends in the corner, over the first thumbnail, and is
    // grabbed from there
    sh.Wait(1);
    sh.DragFromTo(225, 255, 1000, -300, 10);
    EXPECT_EQ(s->Doll().icon.GetBounds().GetCenter(), fPoint2(775, 25));
    sh.Wait(1);
    sh.DragFromTo(775, 25, 400, 300, 10);
    EXPECT_EQ(s->Doll().icon.GetBounds().GetCenter(), fPoint2(400, 300));
    EXPECT_EQ(s->Doll().GetEditPose(), editPose);
}

TEST_F(Editor, TheMenuOpenedFromTheStartingCornerFitsTheWindowAndPicksWhereItDraws) {
    EditorTestShell& sh = s->shell;
    // No drag first: the icon is at (10, 420)-(60, 470), and the six rows of its menu grow
    // upward from there, the icon's own cell first in its bottom row
    sh.Click(35, 445);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    sh.Tick();
    GLTestContext& gl = GLTestContext::Get();
    const RGB8 white{255, 255, 255};
    // "skull", the eighth icon: second row, last column, at (190, 180)
    EXPECT_GT(gl.CountPixels(192, 182, 238, 228, white), 1000);
    // "none", the last, with nothing drawn in it: bottom row, third column, at (130, 420)
    EXPECT_EQ(gl.CountPixels(132, 422, 178, 468, white), 46 * 46);
    sh.Click(215, 205);
    EXPECT_EQ(s->Doll().icon.GetIcon(), GIconTable::ResolveIcon("skull"));
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
}

TEST_F(Editor, TheIconMenuMovesWithTheIconWhenTheIconIsDraggedWhileOpen) {
    EditorTestShell& sh = s->shell;
    sh.Click(35, 445);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    sh.DragFromTo(35, 445, 85, 145, 10);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);  // still open
    EXPECT_EQ(s->Doll().icon.GetBounds().top, 120);
    // The menu now starts right of the icon's new place
    sh.Wait(1);
    sh.Click(145, 145);
    EXPECT_EQ(s->Doll().icon.GetIcon(), icons[0].id);
    EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::idle);
}

// Other window heights: the grid's columns, and what the side arrows do

// The shell's own menu over the editor, opened by the editor's button
TEST(EditorMenu, TheMenuButtonOpensTheMenuAndAClickedItemReachesTheEditorAlone) {
    if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
    EditorSession s(0, 0, true);
    EditorTestShell& sh = s.shell;
    sh.Click(60, 125);  // the button under the mode panel
    ASSERT_TRUE(sh.GetIsMenuOpen());
    const std::vector<PopupMenu::Level>& levels = sh.GetPopupMenu()->GetLevels();
    EXPECT_LT(levels[0].box.top - 134, 3) << "just below the button";
    // File, then "Edit Mask" (separators are rows too), as a person points and clicks
    fPoint2 file = levels[0].rows[0].rect.GetCenter();
    sh.MoveTo((int)file.x, (int)file.y);
    sh.Tick();
    ASSERT_EQ(sh.GetPopupMenu()->GetLabel(levels.at(1).rows.at(11)), "Edit Mask");
    fPoint2 item = levels[1].rows[11].rect.GetCenter();
    sh.Click((int)item.x, (int)item.y);
    EXPECT_FALSE(sh.GetIsMenuOpen());
    EXPECT_TRUE(s.in.EditingMask());
    EXPECT_EQ(s.Doll().GetNumLines(), 0) << "the click drew nothing";
}

TEST(EditorLayout, ATallWindowHoldsEveryThumbnailInOneColumnAndStartsWithoutAnEditPose) {
    if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
    EditorSession s(800, 910);
    EXPECT_EQ(s.in.PoseWidgetsInColumn(), -1);
    fRect last = s.in.PoseWidget(7).bounds;
    EXPECT_EQ(last.left, 700);
    EXPECT_EQ(last.top, 710);
    EXPECT_EQ(last.bottom, 800);
    s.shell.Tick(2);
    EXPECT_EQ(s.TargetPose(), -1);

    // With no pose sought or edited any arrow picks pose 0; then left and right step by one
    s.shell.KeyPress(kLeftArrowKey);
    EXPECT_EQ(s.TargetPose(), 0);
    s.shell.KeyPress(kLeftArrowKey);
    EXPECT_EQ(s.TargetPose(), 7);
    s.shell.KeyPress(kRightArrowKey);
    EXPECT_EQ(s.TargetPose(), 0);
    s.shell.KeyPress(kRightArrowKey);
    EXPECT_EQ(s.TargetPose(), 1);
}

TEST(EditorLayout, AColumnOfEightFitsFromBottom810To909AndTheSideArrowsStayPut) {
    if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
    const float bottoms[] = {809, 810, 909, 910};
    const int columns[] = {7, 8, 8, -1};
    for (int i = 0; i < 4; i++) {
        EditorSession s(800, bottoms[i]);
        EXPECT_EQ(s.in.PoseWidgetsInColumn(), columns[i]) << "bottom " << bottoms[i];
    }
    EditorSession s(800, 850);
    s.shell.KeyPress(kDownArrowKey);
    EXPECT_EQ(s.TargetPose(), 0);
    s.shell.KeyPress(kDownArrowKey);
    EXPECT_EQ(s.TargetPose(), 1);
    s.shell.KeyPress(kLeftArrowKey);
    EXPECT_EQ(s.TargetPose(), 1);
    s.shell.KeyPress(kRightArrowKey);
    EXPECT_EQ(s.TargetPose(), 1);
}

// Leaving the window

TEST_F(Editor, ADollDraggedWhollyOutOfTheWindowGoesHomeOnRelease) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kPlay);
    sh.Tick(30);
    fPoint2 homeHead = s->Doll().homePose.GetJointLoc(kHead);
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    sh.MoveTo(x, y);
    sh.Tick();
    sh.Press(x, y);
    for (int i = 1; i <= 20; i++) {
        sh.MoveTo(x + 90 * i, y);
        sh.Tick();
    }
    sh.Tick(60);
    fRect window = sh.GetBounds();
    for (int j = 0; j < 11; j++) ASSERT_FALSE(window.DoesContain(s->JointAt(j))) << j;

    sh.Release(x + 1800, y);
    EXPECT_EQ(s->Doll().seekPose, &s->Doll().homePose);
    sh.Tick(200);
    EXPECT_TRUE(Near(s->JointAt(kHead), homeHead, 5));
}

TEST_F(Editor, ADollWithAJointStillInsideStaysWhereItWasLeft) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kPlay);
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    sh.DragFromTo(x, y, 790, y, 10);
    EXPECT_NE(s->Doll().seekPose, &s->Doll().homePose);
}

// Drawing order

TEST_F(Editor, PlusAndMinusMoveTheBoneUnderThePointerInTheDrawingOrder) {
    EditorTestShell& sh = s->shell;
    sh.MoveTo(235, 230);  // nearest bone: left elbow to left hand
    sh.Tick();
    ASSERT_EQ(s->in.ActiveEdgeA(), kLeftElbow);
    ASSERT_EQ(s->in.ActiveEdgeB(), kLeftHand);
    auto before = DrawOrder(s->Doll());
    int last = (int)before.size() - 1;
    // The first bone made is drawn last
    ASSERT_EQ(IndexOf(before, {kLeftElbow, kLeftHand}), last);

    sh.KeyPress('+');  // already last: stays
    EXPECT_EQ(DrawOrder(s->Doll()), before);
    sh.KeyPress('-');
    sh.KeyPress('-');
    EXPECT_EQ(IndexOf(DrawOrder(s->Doll()), {kLeftElbow, kLeftHand}), last - 2);
    sh.KeyPress('+');
    EXPECT_EQ(IndexOf(DrawOrder(s->Doll()), {kLeftElbow, kLeftHand}), last - 1);
    EXPECT_EQ(DrawOrder(s->Doll()).size(), before.size());

    // Away from any bone's rollover ("Edit Skeleton" offers none) the keys do nothing
    s->ChooseMode(kEditSkeleton);
    sh.MoveTo(235, 230);
    sh.Tick();
    auto now = DrawOrder(s->Doll());
    sh.KeyPress('+');
    EXPECT_EQ(DrawOrder(s->Doll()), now);
}

}  // namespace

// What the editor draws: the layers, what each author mode shows, the tints, rollovers, the
// seek and edit frames, the deform-drag preview and the icon menu. Frames come from the
// editor's own ticks on the test shell and are read back from the test GL context.
#include <gtest/gtest.h>

#include "EditorSession.h"

namespace {

const RGB8 kWhite{255, 255, 255};
const RGB8 kGray{128, 128, 128};
const RGB8 kLightGray{191, 191, 191};
const RGB8 kRed{255, 0, 0};
const RGB8 kYellow{255, 255, 0};
const RGB8 kGreen{0, 255, 0};

bool Close(RGB8 a, RGB8 b) {
    return abs(a.r - b.r) <= 1 && abs(a.g - b.g) <= 1 && abs(a.b - b.b) <= 1;
}

class EditorFrame : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        s.reset(new EditorSession());
    }
    // The frame the next tick draws (it shows the state left by the input so far)
    GLTestContext& Frame(const char* saveAs = nullptr) {
        s->shell.Tick();
        GLTestContext& gl = GLTestContext::Get();
        if (saveAs) gl.Save(saveAs);
        return gl;
    }
    int Count(int x0, int y0, int x1, int y1, RGB8 c) {
        return GLTestContext::Get().CountPixels(x0, y0, x1, y1, c);
    }
    std::unique_ptr<EditorSession> s;
};

TEST_F(EditorFrame, StartsWithThePanelThumbnailsSkeletonAndHeart) {
    s->shell.MoveTo(500, 450);  // nothing to roll over
    GLTestContext& gl = Frame("editor-start.png");
    // "Draw and Pose" chosen: a gray item among white ones
    EXPECT_TRUE(Close(gl.Pixel(14, 54), kGray));
    EXPECT_EQ(gl.Pixel(14, 34), kWhite);
    // Eight thumbnail frames; the edit pose (4) framed yellow
    for (int i = 0; i < 8; i++) {
        int x = i < 4 ? 745 : 645, y = 10 + 100 * (i % 4);
        EXPECT_GT(Count(x - 20, y - 1, x + 20, y + 2, i == 4 ? kYellow : kLightGray), 20) << i;
    }
    // The skeleton: gray joint circles, light gray bones
    fPoint2 hand = s->JointAt(kRightHand);
    EXPECT_GT(Count((int)hand.x - 18, (int)hand.y - 18, (int)hand.x + 19, (int)hand.y + 19, kGray),
              40);
    EXPECT_GT(Count(415, 220, 426, 240, kLightGray), 10);  // right forearm
    // The heart, drawn in its box with a light gray frame
    int notWhite = 50 * 50 - Count(11, 421, 60, 470, kWhite);
    EXPECT_GT(notWhite, 40);
    EXPECT_GT(Count(5, 418, 65, 423, kLightGray), 30);
    // Each thumbnail's number in its top-left corner, dark where the slot is filled
    for (int i = 0; i < 8; i++) {
        int left = i < 4 ? 700 : 600, top = 10 + 100 * (i % 4);
        int inked = 12 * 12 - Count(left + 2, top + 2, left + 14, top + 14, kWhite);
        EXPECT_GT(inked, 4) << "number of thumbnail " << i;
    }
    // The menu button under the panel, in its style, and the status line's hint
    EXPECT_GT(Count(12, 116, 120, 118, kLightGray), 80);
    EXPECT_GT(Count(30, 118, 70, 133, kGray), 10) << "its name";
    EXPECT_GT(518 * 14 - Count(70, 462, 588, 476, kWhite), 100);
}

TEST_F(EditorFrame, ALineDrawnAlongABoneFollowsTheBoneWhenTheDollIsPosed) {
    EditorTestShell& sh = s->shell;
    sh.DragFromTo(400, 200, 400, 260, 12);  // beside the right forearm
    ASSERT_EQ(s->Doll().GetNumLines(), 1);
    sh.MoveTo(500, 450);
    Frame("editor-line.png");
    EXPECT_GT(Count(396, 205, 405, 255, kGray), 40);

    // Swing the forearm out: the line goes with it
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    sh.DragFromTo(x, y, x + 90, y - 90, 10);
    sh.Tick(20);
    sh.MoveTo(500, 450);
    Frame("editor-line-posed.png");
    EXPECT_LT(Count(396, 205, 405, 255, kGray), 10);
    fPoint2 elbow = s->JointAt(kRightElbow), hand = s->JointAt(kRightHand);
    fPoint2 mid((elbow.x + hand.x) / 2, (elbow.y + hand.y) / 2);
    EXPECT_GT(Count((int)mid.x - 30, (int)mid.y - 30, (int)mid.x + 30, (int)mid.y + 30, kGray), 40);
}

TEST_F(EditorFrame, EditSkeletonHidesLinesAndThickensBones) {
    EditorTestShell& sh = s->shell;
    sh.DragFromTo(400, 200, 400, 260, 12);
    sh.MoveTo(500, 450);
    Frame();
    ASSERT_GT(Count(396, 205, 405, 255, kGray), 40);
    int thinBone = Count(410, 230, 430, 231, kLightGray);

    s->ChooseMode(kEditSkeleton);
    sh.MoveTo(500, 450);
    Frame("editor-skeleton.png");
    EXPECT_EQ(Count(396, 205, 405, 255, kGray), 0);  // the line is hidden
    int thickBone = Count(410, 230, 430, 231, kGray);
    EXPECT_EQ(thinBone, 1);
    EXPECT_EQ(thickBone, 2);  // pen width 2, in gray
}

TEST_F(EditorFrame, DrawShowsJointsWithoutEmphasisAndPlayHidesTheSkeleton) {
    EditorTestShell& sh = s->shell;
    fPoint2 hand = s->JointAt(kRightHand);
    auto circleGray = [&](RGB8 c) {
        return Count((int)hand.x - 18, (int)hand.y - 18, (int)hand.x + 19, (int)hand.y + 19, c);
    };
    s->ChooseMode(kDraw);
    sh.MoveTo(500, 450);
    Frame();
    EXPECT_EQ(circleGray(kGray), 0);
    EXPECT_GT(circleGray(kLightGray), 40);

    s->ChooseMode(kPlay);
    sh.MoveTo(500, 450);  // in "Play" the nearest joint is rolled over from anywhere
    Frame();
    EXPECT_EQ(circleGray(kGray), 0);
    EXPECT_EQ(Count(415, 220, 426, 240, kLightGray), 0);  // no bones
}

TEST_F(EditorFrame, RolloversHighlightTheJointInYellowAndTheBoneInGreen) {
    EditorTestShell& sh = s->shell;
    fPoint2 hand = s->JointAt(kRightHand);
    sh.MoveTo((int)hand.x, (int)hand.y);
    Frame();
    Frame();
    EXPECT_GT(
        Count((int)hand.x - 18, (int)hand.y - 18, (int)hand.x + 19, (int)hand.y + 19, kYellow), 40);
    sh.MoveTo(435, 232);  // near the right forearm, off the joints
    Frame();
    Frame();
    EXPECT_GT(Count(410, 210, 430, 250, kGreen), 30);
}

TEST_F(EditorFrame, AHeldPoseIsFramedRedAndAnEditedOneOnlyYellow) {
    EditorTestShell& sh = s->shell;
    fPoint2 c = s->WidgetCentre(3);
    sh.DoubleClick((int)c.x, (int)c.y);  // seek 3, held, not recorded
    sh.MoveTo(500, 450);
    Frame("editor-seek.png");
    EXPECT_GT(Count(710, 308, 780, 313, kRed), 100);  // pen width 2
    EXPECT_EQ(Count(595, 5, 695, 105, kYellow), 0);   // pose 4 no longer edited

    sh.Wait(1);
    sh.Click((int)c.x, (int)c.y);  // seek 3, then record into it
    sh.Tick(3);
    ASSERT_EQ(s->Doll().GetEditPose(), 3);
    Frame();
    EXPECT_GT(Count(710, 308, 780, 313, kYellow), 100);
    EXPECT_EQ(Count(695, 305, 795, 405, kRed), 0);

    // On the way home no thumbnail is framed red
    int x = s->JointX(kRightHand), y = s->JointY(kRightHand);
    s->ChooseMode(kPlay);
    sh.DragFromTo(x, y, x + 2000, y, 20);
    ASSERT_EQ(s->Doll().seekPose, &s->Doll().homePose);
    Frame();
    EXPECT_EQ(Count(590, 0, 800, 410, kRed), 0);
}

TEST_F(EditorFrame, TheIconMenuShowsItsCellsOnABlueTint) {
    EditorTestShell& sh = s->shell;
    // Move the icon up first, so all six rows of the menu fit in the window
    sh.DragFromTo(35, 445, 185, 45, 10);
    sh.Wait(1);
    sh.Click(185, 45);
    ASSERT_EQ(s->in.GetMode(), VelkoTestAccess::pickIcon);
    GLTestContext& gl = Frame("editor-icon-menu.png");
    RGB8 tint = gl.Pixel(560, 450);
    EXPECT_NEAR(tint.r, 217, 1);
    EXPECT_NEAR(tint.g, 217, 1);
    EXPECT_EQ(tint.b, 255);
    // 22 white cells framed in light gray, laid four wide from the icon's own cell
    int cells = 0;
    for (int i = 0; i < 22; i++) {
        int col = (i + 1) % 4, row = (i + 1) / 4;
        int left = 160 + 60 * col, top = 20 + 60 * row;
        if (Count(left + 2, top + 2, left + 48, top + 48, kWhite) > 0 &&
            Count(left - 1, top - 1, left + 51, top + 2, kLightGray) > 20)
            cells++;
    }
    EXPECT_EQ(cells, 22);
    // Only the chosen mode's item is filled while the menu is open
    EXPECT_TRUE(Close(gl.Pixel(14, 54), kGray));
    EXPECT_TRUE(Close(gl.Pixel(14, 34), tint));
}

TEST_F(EditorFrame, TheDeformPreviewIsALineToAJointOrACircleWithTheBones) {
    EditorTestShell& sh = s->shell;
    s->ChooseMode(kEditSkeleton);
    sh.Click(150, 300);
    ASSERT_EQ(s->Doll().GetNumJoints(), 12);
    sh.MoveTo(150, 300);
    sh.Tick();
    sh.Press(150, 300);
    fPoint2 hand = s->JointAt(kLeftHand);
    sh.MoveTo((int)hand.x, (int)hand.y);
    Frame();
    Frame("editor-deform-link.png");
    fPoint2 mid((150 + hand.x) / 2, (300 + hand.y) / 2);
    EXPECT_GT(Count((int)mid.x - 3, (int)mid.y - 3, (int)mid.x + 4, (int)mid.y + 4, kLightGray), 0);

    // Away from joints: the would-be joint with its bones (none yet) as a circle
    sh.MoveTo(150, 380);
    Frame();
    Frame("editor-deform-move.png");
    EXPECT_GT(Count(130, 360, 171, 401, kLightGray), 40);
    sh.Release(150, 380);

    // A joint with bones: lines from the would-be place to each neighbour
    fPoint2 elbow = s->JointAt(kRightElbow);
    sh.MoveTo(s->JointX(kRightHand), s->JointY(kRightHand));
    sh.Tick();
    sh.Press(s->JointX(kRightHand), s->JointY(kRightHand));
    sh.MoveTo(s->JointX(kRightHand) + 100, s->JointY(kRightHand));
    Frame();
    Frame("editor-deform-bones.png");
    fPoint2 p(s->JointAt(kRightHand).x + 100, s->JointAt(kRightHand).y);
    fPoint2 m((p.x + elbow.x) / 2, (p.y + elbow.y) / 2);
    EXPECT_GT(Count((int)m.x - 3, (int)m.y - 3, (int)m.x + 4, (int)m.y + 4, kLightGray), 0);
    sh.Release(s->JointX(kRightHand) + 100, s->JointY(kRightHand));
}

TEST_F(EditorFrame, ADraggedThumbnailLeavesAGhostUnderThePointer) {
    EditorTestShell& sh = s->shell;
    fPoint2 c = s->WidgetCentre(0);
    sh.MoveTo((int)c.x, (int)c.y);
    sh.Tick();
    sh.Press((int)c.x, (int)c.y);
    for (int i = 1; i <= 5; i++) {
        sh.MoveTo((int)c.x - 60 * i, (int)c.y + 40 * i);
        sh.Tick();
    }
    Frame("editor-ghost.png");
    // The ghost's frame, 300 left and 200 down of the thumbnail's, which stays put
    EXPECT_LT(Count(400, 208, 490, 213, kWhite), 5 * 90 - 40);
    EXPECT_GT(Count(700, 8, 790, 13, kYellow), 40);  // pressed: now the edit pose
    sh.Release((int)c.x - 300, (int)c.y + 200);
}

}  // namespace

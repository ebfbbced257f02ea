// Undo and redo through the scripted test shell: every kind of action is one step, undoing
// it gives back the exact document from before it and redoing it the one after it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EditorSession.h"

namespace {

class Undo : public ::testing::Test {
protected:
    std::unique_ptr<EditorSession> s;
    void SetUp() override {
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
        s.reset(new EditorSession());
        Settle();
    }
    void TearDown() override { s.reset(); }

    // Lets the doll come to rest (the step is recorded then) and makes sure the next press
    // is not taken for a double click
    void Settle() {
        for (int i = 0; i < 600 && s->in.GetIsStepPending(); i++) s->shell.Tick();
        ASSERT_FALSE(s->in.GetIsStepPending()) << "the doll never came to rest";
        s->shell.Wait(1);
    }
    std::string Document() {
        std::string bytes;
        s->in.WriteDocument(&bytes);
        return bytes;
    }
    void Choose(int id) {
        s->editor.MenuInvoked(id);
        Settle();
    }
    void DragJoint(int j, int dx, int dy) {
        int x = s->JointX(j), y = s->JointY(j);
        s->shell.DragFromTo(x, y, x + dx, y + dy, 10);
        Settle();
    }
    void DragAndSettle(int x0, int y0, int x1, int y1) {
        s->shell.DragFromTo(x0, y0, x1, y1, 8);
        Settle();
    }
    void HoverAndKey(int x, int y, int key) {
        s->shell.MoveTo(x, y);
        s->shell.Tick(2);
        s->shell.KeyPress(key);
        Settle();
    }
};

TEST_F(Undo, EveryKindOfActionIsOneStepUndoneAndRedoneToTheExactDocument) {
    EditorTestShell& sh = s->shell;
    auto sketch = [&](int x, int y0, int y1) {
        sh.DragFromTo(x, y0, x, y1, 12);
        Settle();
    };
    struct Action {
        const char* label;
        std::function<void()> act;
        std::function<void()> prepare = nullptr;  // a step of its own before, not undone here
    };
    const std::vector<Action> actions = {
        {"Draw Line", [&] { s->ChooseMode(kDraw), sketch(240, 200, 260); }},
        {"Draw Line", [&] { sketch(330, 380, 420); }},
        {"Delete Line",
         [&] {
             sh.Click(240, 230);
             sh.KeyPress(8);
             Settle();
         }},
        {"Draw Bone Earlier", [&] { HoverAndKey(370, 380, '-'); }},
        {"Draw Bone Later", [&] { HoverAndKey(370, 380, '+'); }},
        {"Pose", [&] { s->ChooseMode(kPose), DragJoint(kRightHand, 60, -80); }},
        {"Copy Pose",
         [&] {
             fPoint2 from = s->WidgetCentre(4), to = s->WidgetCentre(0);
             sh.DragFromTo((int)from.x, (int)from.y, (int)to.x, (int)to.y, 10);
             Settle();
         }},
        // Loading a document (as undo and redo do) makes its posture the home position
        {"Home Position", [&] { Choose(Velko::kMenuHomePosition); },
         [&] { DragJoint(kLeftHand, -40, 60); }},
        {"Add Joint",
         [&] {
             s->ChooseMode(kEditSkeleton);
             sh.Click(150, 300);
             Settle();
         }},
        {"Link Joints",
         [&] {
             sh.DragFromTo(150, 300, s->JointX(kLeftHand), s->JointY(kLeftHand), 10);
             Settle();
         }},
        {"Unlink Joints",
         [&] {
             sh.DragFromTo(150, 300, s->JointX(kLeftHand), s->JointY(kLeftHand), 10);
             Settle();
         }},
        {"Move Joint", [&] { DragJoint(kLeftFoot, 30, 20); }},
        {"Delete Joint", [&] { HoverAndKey(s->JointX(kHead), s->JointY(kHead), 8); }},
        {"Choose Icon",
         [&] {
             sh.Click(35, 445);
             sh.Click(35, 145);
             Settle();
         }},
        {"Move Icon",
         [&] {
             sh.DragFromTo(35, 445, 235, 405, 10);
             Settle();
         }},
        // The animation: poses 1 and 5 are filled, so the strip starts with their steps
        {"Add Step",
         [&] { DragAndSettle((int)s->WidgetCentre(4).x, (int)s->WidgetCentre(4).y, 72, 435); }},
        {"Move Step", [&] { DragAndSettle(80, 420, 258, 420); }},
        {"Change Move", [&] { DragAndSettle(160, 435, 200, 435); }},
        {"Change Hold", [&] { DragAndSettle(160, 449, 140, 449); }},
        {"Change Easing", [&] { sh.Click(118, 420), Settle(); }},
        {"Remove Step", [&] { HoverAndKey(220, 440, 8); }},
        {"Play Once", [&] { Choose(AnimationEditor::kMenuLoopOnce); }},
        {"Frame Rate", [&] { Choose(AnimationEditor::kMenuFrameRateFirst); }},
    };
    const std::string start = Document();
    std::vector<std::string> afterEach;
    for (const Action& a : actions) {
        SCOPED_TRACE(a.label);
        if (a.prepare) a.prepare();
        const std::string before = Document();
        a.act();
        const std::string after = Document();
        ASSERT_NE(after, before);
        EXPECT_EQ(s->in.History().GetUndoLabel(), a.label);
        Choose(Velko::kMenuUndo);
        EXPECT_EQ(Document(), before);
        EXPECT_EQ(s->in.History().GetRedoLabel(), a.label);
        Choose(Velko::kMenuRedo);
        EXPECT_EQ(Document(), after);
        afterEach.push_back(after);
    }

    // All the way back and forth again, through every document on the way
    for (size_t i = actions.size(); i-- > 0;) {
        EXPECT_EQ(Document(), afterEach[i]) << actions[i].label;
        Choose(Velko::kMenuUndo);
        if (actions[i].prepare) Choose(Velko::kMenuUndo);
    }
    EXPECT_EQ(Document(), start);
    EXPECT_FALSE(s->in.History().CanUndo());
    while (s->in.History().CanRedo()) Choose(Velko::kMenuRedo);
    EXPECT_EQ(Document(), afterEach.back());

    // A new action after undoing drops what could have been redone
    Choose(Velko::kMenuUndo);
    Choose(Velko::kMenuUndo);
    s->ChooseMode(kDraw);
    sketch(240, 200, 260);
    EXPECT_EQ(s->in.History().GetUndoLabel(), "Draw Line");
    EXPECT_FALSE(s->in.History().CanRedo());
}

// A snapshot in the middle of a joint drag (a key pressed while dragging) writes the
// document, which renumbers the joints when one was deleted: the drag must go on with the
// same joint and end exactly as the same drag without the snapshot
TEST_F(Undo, ADragGoesOnWithTheSameJointAfterASnapshotInItsMiddle) {
    auto dragHand = [this](bool keyInTheMiddle) {
        s.reset(new EditorSession());
        Settle();
        EditorTestShell& sh = s->shell;
        s->ChooseMode(kPose);
        const fPoint2 hand = s->JointAt(kLeftHand);
        sh.MoveTo((int)hand.x, (int)hand.y);
        sh.Tick();
        sh.Press((int)hand.x, (int)hand.y);
        for (int i = 1; i <= 8; i++) {
            sh.MoveTo((int)hand.x + 8 * i, (int)hand.y - 6 * i);
            sh.Tick();
            if (i != 4) continue;
            // A free slot below the hand: writing the document moves the hand to slot 2
            s->in.DollForSetup().DeleteJoint(kHead);
            if (keyInTheMiddle) {
                sh.KeyPress('x');
                EXPECT_EQ(s->in.ActiveJoint(), s->Joint(kLeftHand - 1));
                EXPECT_EQ(s->in.GetMode(), VelkoTestAccess::drag);
            }
        }
        sh.Release((int)hand.x + 64, (int)hand.y - 48);
        Settle();
        EXPECT_EQ(s->in.History().GetUndoLabel(), "Pose");
        return Document();
    };
    const std::string plain = dragHand(false);
    const std::string withSnapshot = dragHand(true);
    EXPECT_EQ(withSnapshot, plain);
    EXPECT_NE(plain.find("joints 10 {"), std::string::npos);
}

}  // namespace

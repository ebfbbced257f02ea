// Thousands of random presses, moves, releases, double clicks, keys and ticks through the
// test shell, across all five author modes and the in-window menu (its Quit disabled). After
// every event the doll must be whole, every pointer the editor holds must still point into
// it, and the open menu's highlights must lie on its rows.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "EditorSession.h"
#include "VelkoIcons.h"

namespace {

bool Finite(fPoint2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

bool InLines(const SketchDoll& d, const SketchDollLine* l) {
    for (gesture* g = d.lines; g; g = g->GetNext())
        if (g == l) return true;
    return false;
}

void CheckPose(const DollPose& p, const char* what) {
    int marked = 0;
    for (int i = 0; i < 32; i++) marked += p.jointAllocTable[i];
    ASSERT_EQ(p.njoints, marked) << what;
}

void CheckDoll(const SketchDoll& d) {
    int allocated = 0;
    for (int i = 0; i < kDollMaxJoints; i++) {
        if (!d.jointAllocTable[i]) continue;
        allocated++;
        ASSERT_TRUE(Finite(d.joints[i].loc)) << "joint " << i;
        ASSERT_GE(d.joints[i].locked, 0) << "joint " << i;
        for (int j = 0; j < kDollMaxJoints; j++)
            if (d.jointAllocTable[j]) {
                ASSERT_EQ(d.edges[i][j], d.edges[j][i]) << i << "-" << j;
            }
    }
    ASSERT_EQ(d.njoints, allocated);
    for (DollEdge* e = d.dollEdgeDrawList.edges; e; e = e->GetNext()) {
        ASSERT_LE(e->a, e->b);
        ASSERT_EQ(*e->prev, e);
    }
    for (gesture* g = d.lines; g; g = g->GetNext()) {
        ASSERT_EQ(*g->prev, g);
        auto* l = dynamic_cast<SketchDollLine2*>(g);
        ASSERT_NE(l, nullptr);
        ASSERT_EQ(l->doll, &d);
        // A line never refers to a free joint slot
        ASSERT_TRUE(d.GetIsValidJoint(l->joint[0])) << l->joint[0];
        ASSERT_TRUE(d.GetIsValidJoint(l->joint[1])) << l->joint[1];
    }
    for (int i = 0; i < Doll::kNumPoses; i++) CheckPose(d.poses[i], "stored pose");
    CheckPose(d.homePose, "home pose");
}

void CheckEditor(VelkoTestAccess& in) {
    const SketchDoll& d = in.Doll();
    if (in.ActiveJoint()) {
        ASSERT_TRUE(d.GetIsJointOf(in.ActiveJoint()));
    }
    if (in.ActiveLine()) {
        ASSERT_TRUE(InLines(d, in.ActiveLine()));
    }
    if (in.SelectedLine()) {
        ASSERT_TRUE(InLines(d, in.SelectedLine()));
        ASSERT_EQ(in.SelectedLine()->GetIsMask(), in.EditingMask());
    }
    if (in.ActiveIcon()) {
        ASSERT_EQ(in.ActiveIcon(), &d.icon);
    }
    if (in.ActiveEdgeA() != -1) {
        ASSERT_TRUE(d.GetIsValidJoint(in.ActiveEdgeA()));
        ASSERT_TRUE(d.GetIsValidJoint(in.ActiveEdgeB()));
    }
    switch (in.GetMode()) {
        case VelkoTestAccess::draw:
            ASSERT_NE(in.ActiveLine(), nullptr);
            break;
        case VelkoTestAccess::drag:
            ASSERT_NE(in.ActiveJoint(), nullptr);
            break;
        case VelkoTestAccess::pickIcon:
            ASSERT_NE(in.ActiveIcon(), nullptr);
            break;
        default:
            break;
    }
    const Drag& drag = in.TheDrag();
    if (drag.GetIsInDrag()) {
        bool isWidget = false;
        for (int i = 0; i < in.NumPoseWidgets(); i++)
            isWidget |= drag.GetObject() == (const DragObject*)&in.PoseWidget(i);
        ASSERT_TRUE(isWidget || drag.GetObject() == (const DragObject*)&d.icon);
        if (drag.receptacle) {
            ASSERT_NE((const void*)drag.receptacle, (const void*)drag.GetObject());
        }
    } else {
        ASSERT_EQ(drag.receptacle, nullptr);
    }
}

// Picks places where something happens far more often than uniform noise would
class Fuzzer {
public:
    Fuzzer(EditorSession& s, unsigned seed) : s(s), rng(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    void Place(int* x, int* y) {
        const SketchDoll& d = s.Doll();
        switch (Uniform(0, 9)) {
            case 0:
            case 1: {  // on or near a joint
                int cookie = 0;
                std::vector<fPoint2> js;
                for (int i = 0; i < kDollMaxJoints; i++)
                    if (d.jointAllocTable[i]) js.push_back(d.joints[i].loc);
                if (js.empty()) break;
                fPoint2 p = js[Uniform(0, (int)js.size() - 1)];
                (void)cookie;
                *x = (int)p.x + Uniform(-20, 20);
                *y = (int)p.y + Uniform(-20, 20);
                return;
            }
            case 2: {  // on a line where it was last drawn
                std::vector<const gesture*> ls;
                for (gesture* g = d.lines; g; g = g->GetNext())
                    if (g->drawBufSize > 0) ls.push_back(g);
                if (ls.empty()) break;
                const gesture* g = ls[Uniform(0, (int)ls.size() - 1)];
                fPoint2 p = g->drawBuf[Uniform(0, g->drawBufSize - 1)];
                *x = (int)p.x + Uniform(-3, 3);
                *y = (int)p.y + Uniform(-3, 3);
                return;
            }
            case 3: {  // a thumbnail
                fPoint2 c = s.WidgetCentre(Uniform(0, 7));
                *x = (int)c.x + Uniform(-50, 50);
                *y = (int)c.y + Uniform(-50, 50);
                return;
            }
            case 4: {  // the mode panel
                *x = Uniform(10, 130);
                *y = Uniform(10, 112);
                return;
            }
            case 5: {  // the icon and its menu
                fRect r = d.icon.GetBounds();
                *x = (int)r.left + Uniform(-10, 250);
                *y = (int)r.top + Uniform(-10, 370);
                return;
            }
            case 6: {  // a row of the open menu, else the Menu button
                const PopupMenu* m = s.shell.GetPopupMenu();
                const auto& ls = m->GetLevels();
                if (!m->GetIsOpen()) {
                    *x = Uniform(10, 122), *y = Uniform(116, 134);
                    return;
                }
                const auto& rows = ls[Uniform(0, (int)ls.size() - 1)].rows;
                fPoint2 c = rows[Uniform(0, (int)rows.size() - 1)].rect.GetCenter();
                *x = (int)c.x + Uniform(-8, 8), *y = (int)c.y + Uniform(-3, 3);
                return;
            }
            default:
                break;
        }
        *x = Uniform(-60, 860);
        *y = Uniform(-60, 540);
    }

    void Step() {
        EditorTestShell& sh = s.shell;
        int x, y;
        switch (Uniform(0, 20)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                Place(&x, &y);
                sh.MoveTo(x, y);
                break;
            case 5:
            case 6:
            case 7:
                Place(&x, &y);
                sh.Press(x, y);
                lastX = x;
                lastY = y;
                break;
            case 8:
            case 9:
            case 10:
                sh.Release((int)sh.GetMouseLoc().x, (int)sh.GetMouseLoc().y);
                break;
            case 11:  // the second press of a double click
                sh.Release(lastX, lastY);
                sh.Press(lastX, lastY);
                break;
            case 12:
            case 13: {
                static const int keys[] = {8,
                                           8,
                                           8,
                                           9,
                                           27,
                                           13,
                                           kLeftArrowKey,
                                           kRightArrowKey,
                                           kUpArrowKey,
                                           kDownArrowKey,
                                           '+',
                                           '-',
                                           'a',
                                           0,
                                           255,
                                           127};
                sh.KeyPress(keys[Uniform(0, (int)(sizeof keys / sizeof *keys) - 1)]);
                break;
            }
            case 20:  // the right button, which opens and closes the menu
                Place(&x, &y);
                sh.MoveTo(x, y);
                sh.SecondaryDown(fPoint2((float)x, (float)y));
                sh.SecondaryUp(fPoint2((float)x, (float)y));
                break;
            case 14:
                sh.Wait(std::uniform_real_distribution<float>(0, 0.7f)(rng));
                break;
            default:
                sh.Tick(Uniform(1, 3));
                break;
        }
        levels.insert(s.in.Panel().level);
        modes.insert(s.in.GetMode());
        menuSteps += sh.GetIsMenuOpen();
    }

    EditorSession& s;
    std::mt19937 rng;
    int lastX = 0, lastY = 0;
    std::set<int> levels, modes;
    int menuSteps = 0;  // events after which the menu was open
};

// One editor driven by one seed; returns false when an invariant broke
bool RunSeed(unsigned seed, int events, std::set<int>* levels, std::set<int>* modes,
             int* menuSteps) {
    EditorSession s(0, 0, true);
    s.shell.GetMenu()->EnableItem(Velko::kMenuQuit, false);
    Fuzzer f(s, seed);
    for (int i = 0; i < events; i++) {
        f.Step();
        CheckDoll(s.Doll());
        CheckEditor(s.in);
        for (const PopupMenu::Level& l : s.shell.GetPopupMenu()->GetLevels())
            EXPECT_LT(l.highlight, (int)l.rows.size());
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "after event " << i << " of seed " << seed;
            return false;
        }
    }
    levels->insert(f.levels.begin(), f.levels.end());
    modes->insert(f.modes.begin(), f.modes.end());
    *menuSteps += f.menuSteps;
    return true;
}

TEST(RandomInput, KeepsTheDollWholeAndEveryPointerInsideIt) {
    if (!GLTestContext::Available()) GTEST_SKIP() << "no display";
    std::set<int> levels, modes;
    int menuSteps = 0;
    for (unsigned seed = 1; seed <= 4; seed++)
        if (!RunSeed(seed, 4000, &levels, &modes, &menuSteps)) return;
    // The runs went everywhere: every author mode, dragging, drawing, the icon menu, and the
    // window's menu, open after a good share of the events
    EXPECT_EQ(levels.size(), 5u);
    EXPECT_EQ(modes.size(), 4u) << "idle, drag, pickIcon and draw";
    EXPECT_GT(menuSteps, 800);
}

}  // namespace

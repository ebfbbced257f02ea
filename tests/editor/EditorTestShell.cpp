#include "EditorTestShell.h"

#include <gtest/gtest.h>

#include "GLTestContext.h"
#include "fTime.h"

PinnedTestClock::PinnedTestClock(float t) { SetTestSeconds(t); }

EditorTestShell::EditorTestShell(float startSeconds)
    : PinnedTestClock(startSeconds), now(startSeconds), bounds(0, 0, 640, 480) {}

EditorTestShell::~EditorTestShell() { ClearTestSeconds(); }

void EditorTestShell::LockBounds(float width, float height) {
    bounds = fRect(0, 0, width, height);
    lockedBounds = true;
}

bool EditorTestShell::RequestNewBoundsSize(float w, float h) {
    if (lockedBounds) return false;
    bounds = fRect(0, 0, w, h);
    return true;
}

void EditorTestShell::OfferShellMenu() {
    shellMenu.reset(new ShellMenu(this));
    OfferMenu(shellMenu.get());
}

void EditorTestShell::SetMouseCursor(AppCursor c) {
    EXPECT_TRUE(c >= 0 && c < kNumAppCursors) << "cursor " << c;
    cursor = c;
    cursors.push_back(c);
}

void EditorTestShell::StartFrame() { GLTestContext::Get().BeginFrame(); }

void EditorTestShell::MoveTo(int x, int y) {
    mousex = x;
    mousey = y;
}

void EditorTestShell::Press(int x, int y) {
    mousex = x;
    mousey = y;
    // The same rule as the GLUT shell: same pixel, within the double-click time, and the
    // previous press not itself a double click
    wasDoubleClick = !wasDoubleClick && x == lastDownX && y == lastDownY &&
                     now - GetLastMouseDownWhen() < GetDoubleClickDelta();
    lastDownX = x;
    lastDownY = y;
    MouseDown(GetMouseLoc());
}

void EditorTestShell::Release(int x, int y) {
    mousex = x;
    mousey = y;
    wasClickInPlace = x == lastDownX && y == lastDownY;
    MouseUp(GetMouseLoc());
}

void EditorTestShell::KeyPress(int c) { Key(c); }

void EditorTestShell::Wait(float seconds) {
    now += seconds;
    SetTestSeconds(now);
}

void EditorTestShell::Tick(int n) {
    for (int i = 0; i < n; i++) {
        Wait(kTick);
        Idle();
    }
}

void EditorTestShell::Click(int x, int y) {
    MoveTo(x, y);
    Tick();
    Press(x, y);
    Tick();
    Release(x, y);
    Tick();
}

void EditorTestShell::DoubleClick(int x, int y) {
    Click(x, y);
    Press(x, y);
    Tick();
    Release(x, y);
    Tick();
}

void EditorTestShell::DragFromTo(int x0, int y0, int x1, int y1, int steps) {
    MoveTo(x0, y0);
    Tick();
    Press(x0, y0);
    Tick();
    for (int i = 1; i <= steps; i++) {
        MoveTo(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        Tick();
    }
    Release(x1, y1);
    Tick();
}

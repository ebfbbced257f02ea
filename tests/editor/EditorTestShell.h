// A shell for scripting the editor without a person: it decides double clicks, clicks in
// place and possible drags from window pixels exactly as the GLUT shell does, runs the
// platform-neutral shell's routing (Application), pins the program clock and advances it
// by one tick at a time, and records cursors, beeps and frames. Frames are drawn into the
// test GL context, so what the editor picks from its last drawing (sketched lines) is real.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "ShellMenu.h"

// Pins the clock before the Application base reads it in its constructor
struct PinnedTestClock {
    explicit PinnedTestClock(float t);
};

class EditorTestShell : private PinnedTestClock, public Application {
public:
    static constexpr float kTick = 1.0f / 30;  // seconds of program time per tick

    // width x height is what a size request is granted, unless lockedBounds is set
    explicit EditorTestShell(float startSeconds = 100);
    ~EditorTestShell() override;

    // Refuse size requests and keep these bounds instead (to lay out other grids)
    void LockBounds(float width, float height);
    // Offer a menu shown in the window, as the program's shell does (before the applet is
    // built: it describes its menu at construction)
    void OfferShellMenu();
    AppMenu* GetMenu() override { return shellMenu.get(); }

    // Hosts the applet (as EnterEventLoop does, without a loop)
    void Host(Applet* a) { Application::EnterEventLoop(a); }

    // Input in window pixels, as the toolkit callbacks deliver it
    void MoveTo(int x, int y);
    void Press(int x, int y);
    void Release(int x, int y);
    void KeyPress(int c);
    // Advances the clock by one tick and runs one tick of the frame loop, n times
    void Tick(int n = 1);
    // Lets program time pass without ticks (seconds)
    void Wait(float seconds);

    // Gestures a person makes, with a tick between every step
    void Click(int x, int y);
    // Two presses on one pixel well within the double-click time
    void DoubleClick(int x, int y);
    // Press at (x0, y0), move in steps to (x1, y1), release there
    void DragFromTo(int x0, int y0, int x1, int y1, int steps = 10);

    // What the shell saw
    AppCursor cursor = normalCursor;
    std::vector<AppCursor> cursors;  // one per SetMouseCursor call
    int beeps = 0;
    int frames = 0;
    bool quit = false;
    std::string title;
    float now;  // program time, seconds

    // App
    fRect GetBounds() const override { return bounds; }
    fPoint2 GetMouseLoc() const override { return fPoint2((float)mousex, (float)mousey); }
    bool GetWasDoubleClick() const override { return wasDoubleClick; }
    bool GetWasClickInPlace() const override { return wasClickInPlace; }
    bool GetCouldBeDrag() const override {
        return GetIsMouseDown() && (mousex != lastDownX || mousey != lastDownY);
    }
    bool GetWasShiftKeyDown() const override { return false; }
    bool GetWasControlKeyDown() const override { return false; }
    bool GetWasOptionKeyDown() const override { return false; }
    bool RequestNewBoundsSize(float w, float h) override;
    void SetMouseCursor(AppCursor c) override;
    void Beep() override { beeps++; }
    void SetQuit(bool v) override { quit = v; }

    // Application
    void SetWindowTitle(const char* s) override { title = s; }
    void SetSplashText(const char*) override {}
    void SetCameraLoc(fPoint2) override {}
    fPoint2 GetCameraLoc() const override { return bounds.GetCenter(); }
    void SetCameraZoom(float) override {}
    float GetCameraZoom() const override { return 1; }
    void StartFrame() override;
    void EndFrame() override { frames++; }

private:
    fRect bounds;
    bool lockedBounds = false;
    int mousex = 0, mousey = 0;
    int lastDownX = 0, lastDownY = 0;
    bool wasDoubleClick = false;
    bool wasClickInPlace = false;
    std::unique_ptr<ShellMenu> shellMenu;
};

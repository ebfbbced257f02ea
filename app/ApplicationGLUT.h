// ApplicationGLUT: the concrete shell on GLUT and OpenGL.
//
// Turns toolkit callbacks into the shell's Idle, MouseDown, MouseUp and Key; keeps the
// pixel-level mouse state that decides double clicks, clicks in place and possible drags;
// maps window pixels to world units through a camera; locks the window to the size the
// applet asked for; offers the applet's menu, which the platform-neutral shell shows in the
// window (the right button, or the applet's own menu button). Pixels: window coordinates,
// origin top left, y down.
#pragma once

#include <string>
#include <vector>

#include "Application.h"
#include "ShellMenu.h"

class ApplicationGLUT : public Application {
public:
    ApplicationGLUT();
    ~ApplicationGLUT() override;

    fRect GetBounds() const override { return bounds; }
    fPoint2 GetMouseLoc() const override;
    bool GetWasDoubleClick() const override { return wasLastMouseDownADoubleClick; }
    bool GetWasClickInPlace() const override { return wasClickInPlace; }
    bool GetCouldBeDrag() const override;
    bool GetWasShiftKeyDown() const override { return (GLUTModifiers & 1) != 0; }
    bool GetWasControlKeyDown() const override { return (GLUTModifiers & 2) != 0; }
    bool GetWasOptionKeyDown() const override { return (GLUTModifiers & 4) != 0; }
    bool RequestNewBoundsSize(float w, float h) override;
    void SetMouseCursor(AppCursor c) override;
    // The applet's menu, shown in the window once the splash is over
    AppMenu* GetMenu() override { return &menu; }
    // Rings the X bell and inverts a border around the frames of the next 0.15 s of program
    // time
    void Beep() override;
    // Ends the event loop after the current callback; EnterEventLoop then returns
    void SetQuit(bool v) override { quitRequested = v; }

    // Runs the toolkit's events and the ticks until the applet asks to quit. A window the
    // person closed without the applet quitting is opened again.
    void EnterEventLoop(Applet* applet) override;
    void SetWindowTitle(const char* s) override;
    void SetSplashText(const char* s) override;
    // Set on the window now and whenever it is made again, with _NET_WM_PID and
    // WM_CLIENT_MACHINE, which desktops read with them
    void SetWindowIdentity(const std::string& instance, const std::string& className,
                           const std::vector<unsigned long>& icon) override;
    void SetCameraLoc(fPoint2 loc) override;
    fPoint2 GetCameraLoc() const override;
    void SetCameraZoom(float z) override { cameraZoom = z; }
    float GetCameraZoom() const override { return cameraZoom; }
    void StartFrame() override;
    void EndFrame() override;

protected:
    bool Init() override;
    virtual float GetMainWindowWidth() { return (float)windowWidth; }
    virtual float GetMainWindowHeight() { return (float)windowHeight; }

private:
    friend class Application;
    // Lets tests drive the toolkit callbacks with a pinned clock
    friend class ApplicationGLUTTestAccess;

    static void displayCB();
    static void idleCB();
    static void mouseMotionCB(int x, int y);
    static void mouseCB(int b, int s, int x, int y);
    static void reshapeCB(int width, int height);
    static void specialCB(int key, int x, int y);
    static void keyCB(unsigned char key, int x, int y);
    static void closeCB();

    // Creates the window at the enforced size with the current title and registers the
    // window's callbacks; used at start and when a closed window must come back
    void CreateMainWindow();
    // One idle step: a tick when one is due, else a sleep until it is
    void RunIdleStep();
    // A key from the toolkit with the modifiers captured with it (1 shift, 2 control, 4 alt)
    void KeyboardKey(unsigned char key, int modifiers);
    void SpecialKey(int key, int modifiers);
    void PositionCamera();
    fPoint2 ScreenToWorld(fPoint2 p) const;
    // Sleeps until the next tick is due so the idle callback does not spin a core
    void WaitForTick();
    // Inverts a band along the window's edges while a beep's flash lasts; drawn over the
    // applet's frame just before it is shown
    void DrawBeepFlash();

    // Applied to window pixels before the camera mapping; always 1
    float screenScale;
    float cameraZoom;
    // Camera translation term; the window centre at zoom 1 shows world = pixels
    fPoint2 cameraLoc;
    bool wasLastMouseDownADoubleClick;
    bool wasClickInPlace;
    bool drawSplashText;
    // Program time (GetPreciseSeconds) until which frames show the beep's flash
    double beepFlashUntil;
    float splashStart;
    char* splashText;
    // Size the shell enforces, in pixels
    int windowWidth, windowHeight;
    fRect bounds;
    int main_window;
    // Pointer pixel from the latest input callback
    int mousex, mousey;
    // 1 shift, 2 control, 4 alt, from the latest mouse or key event
    int GLUTModifiers;
    // Pixel of the latest primary-button press
    int lastMouseDownX, lastMouseDownY;

    ShellMenu menu;
    bool quitRequested;
    bool windowClosed;  // the toolkit destroyed the window after the person closed it
    std::string title;
    bool toolkitStarted;                      // glutInit has run
    std::string windowInstance, windowClass;  // WM_CLASS; not set while empty
    std::vector<unsigned long> windowIcon;    // _NET_WM_ICON
    void ApplyWindowIdentity();
};

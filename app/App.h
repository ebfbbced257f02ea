// App: the contract between the shell and the content it hosts (the applet).
//
// The shell implements the queries and commands; the applet implements the event handlers.
// Positions are world units (window pixels at zoom 1, origin top left, y down).
#pragma once

#include "fPoint2.h"
#include "fRect.h"

class AppMenu;

// Key codes delivered to App::Key besides the character codes 0-255. Other special keys
// (function keys, Page Up, Home ...) arrive as kOtherSpecialKeyBase plus the toolkit's own
// special-key code, so none of them can be mistaken for a character (F8 for Backspace).
enum {
    kLeftArrowKey = 1000,
    kRightArrowKey = 1001,
    kUpArrowKey = 1002,
    kDownArrowKey = 1003,
    kOtherSpecialKeyBase = 1100,
};

// A menu item's shortcut: the upper-case letter pressed with Ctrl, plus this bit when Shift
// is held too ('S' is Ctrl+S, 'S' | kShortcutShift is Ctrl+Shift+S); 0 for none
enum { kShortcutShift = 0x100 };

class App {
public:
    enum AppCursor {
        invisibleCursor = 0,
        normalCursor = 1,
        pencilCursor = 2,
        openHandCursor = 3,
        closedHandCursor = 4,
        pointHandCursor = 5,
        textEditCursor = 6,
        kNumAppCursors = 7  // a count, not a cursor
    };

    // Content rectangle: left 0, top 0, right = width, bottom = height
    virtual fRect GetBounds() const = 0;
    virtual AppMenu* GetMenu() { return nullptr; }
    virtual void MenuInvoked(int /*id*/) { SetQuit(true); }
    // The shortcut of a menu item that is disabled was pressed: nothing was chosen, and the
    // applet may say why
    virtual void MenuShortcutRefused(int /*id*/) {}
    // Opens the shell's menu in the window with its top-left corner near p (kept inside the
    // window); false when the shell shows no menu now
    virtual bool ShowMenuAt(fPoint2 /*p*/) { return false; }
    // The shell's menu is open on screen, taking the pointer and the keys
    virtual bool GetIsMenuOpen() const { return false; }
    virtual void MouseDown(fPoint2 /*loc*/) {}
    virtual void MouseUp(fPoint2 /*loc*/) {}
    virtual void Key(int /*c*/) {}
    virtual void Idle() {}
    virtual void Render() {}
    // Displacement of the pointer since the previous tick, not a position
    virtual void MouseMoved(fPoint2 /*delta*/) {}
    virtual AppCursor PickMouseCursor(fPoint2 /*p*/) { return normalCursor; }
    virtual fPoint2 GetMouseLoc() const = 0;
    virtual bool GetIsMouseDown() const = 0;
    virtual fPoint2 GetMouseDownLoc() const = 0;
    virtual bool GetWasDoubleClick() const = 0;
    // Whether the last release happened on the pixel of its press
    virtual bool GetWasClickInPlace() const = 0;
    // Button held and the pointer has left the press pixel
    virtual bool GetCouldBeDrag() const = 0;
    // Modifiers as captured at the last key or button event
    virtual bool GetWasShiftKeyDown() const = 0;
    virtual bool GetWasControlKeyDown() const = 0;
    virtual bool GetWasOptionKeyDown() const = 0;

protected:
    // Draws one frame now
    virtual void PleaseRender() = 0;

public:
    // Asks for a new content size; true when granted
    virtual bool RequestNewBoundsSize(float /*w*/, float /*h*/) { return false; }
    virtual void SetMouseCursor(AppCursor c) = 0;
    virtual void Beep() = 0;
    virtual void SetQuit(bool v) = 0;
    // Names the document in the window's title; shells without a title ignore it
    virtual void SetWindowTitle(const char* /*s*/) {}
    // The person asked to close the window; an applet with unsaved work may ask first and
    // then quit or not. The default quits.
    virtual void CloseRequested() { SetQuit(true); }

    // AppServerProxy forwards PleaseRender to its server
    friend class AppServerProxy;
};

// Menu-building service a shell may offer; chosen items come back as App::MenuInvoked(id)
class AppMenu {
public:
    // The App registered as listener for this menu's items (may be null)
    App* explicitListener = nullptr;

    virtual ~AppMenu() {}
    virtual void Clear() = 0;
    virtual void BeginSubmenu(const char* title) = 0;
    // shortcut as kShortcutShift describes (0 for none); checkFlag, when not null, is shown
    // as the item's check mark and flipped by the menu before it delivers the item
    virtual void AddItem(const char* label, int id, int shortcut, bool* checkFlag) = 0;
    virtual void AddSeparator() = 0;
    virtual void EndSubmenu() = 0;
    virtual void EnableItem(int id, bool enabled) = 0;
    // A second shortcut for an item added earlier (Redo is both Ctrl+Shift+Z and Ctrl+Y)
    virtual void AddShortcut(int id, int shortcut) = 0;
    // Renames an item added earlier ("Undo" becomes "Undo Draw Line")
    virtual void SetItemLabel(int id, const char* label) = 0;
};

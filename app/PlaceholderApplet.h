// PlaceholderApplet: stand-in content until the editor is hosted by the program. It marks
// the last press with a red square, the pointer with a blue cross and the last key with its
// code, so the shell's input routing can be seen and tested end to end.
#pragma once

#include "Applet.h"
#include "graphicsUtilsGL.h"

class PlaceholderApplet : public Applet {
public:
    explicit PlaceholderApplet(App* shell) : Applet(shell) { RequestNewBoundsSize(800, 480); }

    void MouseDown(fPoint2 loc) override {
        lastPress = loc;
        hasPress = true;
    }
    void Key(int c) override { lastKey = c; }
    void Idle() override {
        PleaseRender();
        SetMouseCursor(GetIsMouseDown() ? pencilCursor : normalCursor);
    }
    void Render() override {
        if (hasPress) {
            fColor::red()->SetColor();
            fRect mark(lastPress.x - 10, lastPress.y - 10, lastPress.x + 10, lastPress.y + 10);
            mark.Paint();
        }
        fPoint2 m = GetMouseLoc();
        fColor::blue()->SetColor();
        PenWidth(1);
        Line(fPoint2(m.x - 5, m.y), fPoint2(m.x + 5, m.y));
        Line(fPoint2(m.x, m.y - 5), fPoint2(m.x, m.y + 5));
        if (lastKey >= 0) {
            fColor::DefaultColor();
            SetType(1);
            fDrawString(10, 20, "key %d", lastKey);
        }
    }

private:
    fPoint2 lastPress;
    bool hasPress = false;
    int lastKey = -1;
};

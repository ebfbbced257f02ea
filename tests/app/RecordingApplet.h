// An applet that records every event it receives, for shell tests.
#pragma once

#include <string>
#include <vector>

#include "Applet.h"

class RecordingApplet : public Applet {
public:
    explicit RecordingApplet(App* shell) : Applet(shell) {}

    // Events in arrival order, e.g. "down 3,4", "up 3,4", "key 1000", "moved 1,0", "idle"
    std::vector<std::string> events;
    int renders = 0;

    void MouseDown(fPoint2 p) override { Log("down", p); }
    void MouseUp(fPoint2 p) override { Log("up", p); }
    void MouseMoved(fPoint2 d) override { Log("moved", d); }
    void Key(int c) override { events.push_back("key " + std::to_string(c)); }
    void Idle() override {
        events.push_back("idle");
        PleaseRender();
    }
    void Render() override { renders++; }
    void MenuInvoked(int id) override { events.push_back("menu " + std::to_string(id)); }
    void MenuShortcutRefused(int id) override { events.push_back("refused " + std::to_string(id)); }
    void CloseRequested() override {
        events.push_back("close");
        if (quitOnClose) SetQuit(true);
    }
    bool quitOnClose = true;

private:
    void Log(const char* what, fPoint2 p) {
        char buf[64];
        snprintf(buf, sizeof buf, "%s %g,%g", what, p.x, p.y);
        events.push_back(buf);
    }
};

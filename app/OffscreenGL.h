// OffscreenGL: the shell for drawing without a display. It owns a desktop OpenGL
// compatibility context on Mesa's surfaceless EGL platform (no X server, no window) with an
// RGBA pixel buffer, so the program's immediate-mode drawing runs unchanged, and it reads
// the pixels back. Like the GLUT shell it is the only code that sets up GL: callers draw
// with the drawing utilities between StartFrame and EndFrame.
//
// Pixels: the buffer's coordinates, origin top left, y down. A frame maps a rectangle of
// world units onto a rectangle of pixels, scaled uniformly and centred.
//
// A context made current elsewhere in the thread (the editor's window) is released while
// this one lives and made current again when it goes.
#pragma once

#include <string>

#include "fRect.h"

class OffscreenGL {
public:
    OffscreenGL();
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    // Creates the context with a width x height buffer and makes it current. False with
    // *error set when there is no such context here (or the size is too large for it).
    bool Create(int width, int height, std::string* error);
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

    // Clears the whole buffer to white; transparent white (alpha 0) when transparent
    void Clear(bool transparent);
    // Opens a frame drawn into the pixels (x, y) .. (x + w, y + h), nothing outside them,
    // showing world scaled uniformly to fit and centred in them
    void StartFrame(fRect world, int x, int y, int w, int h);
    void EndFrame();
    // Copies the whole buffer, rows from the top, 4 bytes (R, G, B, A) per pixel, into rgba
    // (width * height * 4 bytes), once all drawing so far has finished
    void ReadPixels(unsigned char* rgba);

private:
    void Destroy();

    void* display;  // EGLDisplay
    void* config;   // EGLConfig
    void* context;  // EGLContext
    void* surface;  // EGLSurface
    int width, height;
    // The window system's context that was current before, given back when this goes
    void* previousDisplay;  // Display*
    unsigned long previousDraw, previousRead;
    void* previousContext;  // GLXContext
};

// OffscreenGL: the shell for drawing without a display. It owns a desktop OpenGL
// compatibility context on Mesa's surfaceless EGL platform (no X server, no window) with an
// RGBA pixel buffer, so the program's immediate-mode drawing runs unchanged, and it reads
// the pixels back. Like the GLUT shell it is the only code that sets up GL: callers draw
// with the drawing utilities between StartFrame and EndFrame.
//
// Pixels: the picture's coordinates, origin top left, y down. A frame maps a rectangle of
// world units onto a rectangle of pixels, scaled uniformly and centred, with line widths
// scaled alike (a picture twice the size has lines twice as wide).
//
// Pictures are smooth: drawn at twice their size each way and filtered down when read (or,
// when that would not fit, multisampled with 4 samples a pixel). A transparent picture keeps
// the edges' coverage as partial alpha.
//
// A context made current elsewhere in the thread (the editor's window) is released while
// this one lives and made current again when it goes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fRect.h"

class OffscreenGL {
public:
    OffscreenGL();
    ~OffscreenGL();
    OffscreenGL(const OffscreenGL&) = delete;
    OffscreenGL& operator=(const OffscreenGL&) = delete;

    // Creates the context for a width x height picture and makes it current. False with
    // *error set when there is no such context here (or the size is too large for it).
    bool Create(int width, int height, std::string* error);
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    // Buffer pixels per picture pixel each way (1 or 2) and samples per buffer pixel
    int GetOversampling() const { return oversample; }
    int GetSamples() const { return samples; }

    // Clears the whole picture to white, or to transparent when transparent
    void Clear(bool transparent);
    // Opens a frame drawn into the pixels (x, y) .. (x + w, y + h), nothing outside them,
    // showing world scaled uniformly to fit and centred in them
    void StartFrame(fRect world, int x, int y, int w, int h);
    void EndFrame();
    // Copies the whole picture, rows from the top, 4 bytes (R, G, B, A) per pixel, into rgba
    // (width * height * 4 bytes), once all drawing so far has finished. Colours are not
    // premultiplied; a wholly transparent pixel reads as white with alpha 0.
    void ReadPixels(unsigned char* rgba);

private:
    void Destroy();
    // The multisampled buffer drawn into and the plain one it is resolved into (GL ids)
    bool CreateBuffers(int w, int h, std::string* error);

    void* display;  // EGLDisplay
    void* config;   // EGLConfig
    void* context;  // EGLContext
    void* surface;  // EGLSurface
    int width, height;
    int oversample, samples;
    unsigned drawFramebuffer, drawRenderbuffer, readFramebuffer, readRenderbuffer;
    // Filters the oversampled buffer down into the picture
    void FilterDown(unsigned char* rgba);

    // The buffer as read back, rows from the bottom, and filtered across (oversampled)
    std::vector<unsigned char> buffer;
    std::vector<uint16_t> across;
    // Of each buffer row: the picture pixels across it that are near something drawn
    struct Span {
        int lo, hi;  // hi < lo: none
    };
    std::vector<Span> spans;
    // The window system's context that was current before, given back when this goes
    void* previousDisplay;  // Display*
    unsigned long previousDraw, previousRead;
    void* previousContext;  // GLXContext
};

// A real OpenGL context for drawing tests: one GLUT window on the X display (Xvfb in the
// test run), a camera like the shell's at zoom 1 (world = window pixels, y down), pixel
// read-back in world pixels and GL feedback capture of the vertices drawing emits. The
// context is finished and closed when the test run ends, before the program exits.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "fPoint2.h"

struct RGB8 {
    unsigned char r, g, b;
    bool operator==(const RGB8& o) const { return r == o.r && g == o.g && b == o.b; }
};

// One primitive as GL feedback reports it; vertices in world coordinates (y down)
struct FeedbackPrimitive {
    enum Kind { point, line, polygon, bitmap, other } kind;
    std::vector<fPoint2> vertices;
};

class GLTestContext {
public:
    // The process-wide context, created on first use with a window of width x height
    static GLTestContext& Get(int width = 800, int height = 480);
    // True when an X display can be opened; tests skip drawing checks without one
    static bool Available();

    // Clears to white and sets the y-down world camera
    void BeginFrame();
    // Colour of the world pixel (x, y) in the frame drawn so far (back buffer)
    RGB8 Pixel(int x, int y);
    // Counts pixels in [x0,x1) x [y0,y1) of the given colour
    int CountPixels(int x0, int y0, int x1, int y1, RGB8 colour);
    // Runs draw in feedback mode and returns what GL would have drawn
    std::vector<FeedbackPrimitive> Capture(const std::function<void()>& draw);
    // Writes the frame drawn so far to a binary PPM, or PNG when the name ends in .png
    // and ImageMagick's convert is present
    bool Save(const std::string& path);

    int width, height;

private:
    GLTestContext(int w, int h);
};

// Feedback coordinates pass through the projection, so compare them with a tolerance
#define EXPECT_POINT_NEAR(a, b, tol)                            \
    do {                                                        \
        fPoint2 pa_ = (a), pb_ = (b);                           \
        EXPECT_NEAR(pa_.x, pb_.x, tol) << "x of " #a " vs " #b; \
        EXPECT_NEAR(pa_.y, pb_.y, tol) << "y of " #a " vs " #b; \
    } while (0)

// Skips the current test when no display is available
#define REQUIRE_GL()                                                   \
    do {                                                               \
        if (!GLTestContext::Available()) GTEST_SKIP() << "no display"; \
    } while (0)

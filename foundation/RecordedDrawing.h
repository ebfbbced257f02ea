// RecordedDrawing: what the drawing functions drew while it was their DrawingRecorder, as
// paths in world coordinates in drawing order, and the bounds of it all with the lines'
// widths. Vector pictures are written from the paths; pictures framed to the doll are
// framed by the bounds.
#pragma once

#include <vector>

#include "fColor.h"
#include "fPoint2.h"
#include "fRect.h"
#include "graphicsUtilsGL.h"

class RecordedDrawing : public DrawingRecorder {
public:
    struct Path {
        std::vector<fPoint2> points;  // world units
        fColor colour;
        float width = 0;  // of a stroke, world units; 0 for a fill
        bool filled = false;
        bool closed = false;  // a stroke whose last point joins its first
    };

    // Paths are kept only when keepPaths; the bounds always are
    explicit RecordedDrawing(bool keepPaths = true) : keepPaths(keepPaths) {}

    void Stroke(const fPoint2* pts, int n, bool closed, fColor colour, float width) override;
    void Fill(const fPoint2* pts, int n, fColor colour) override;

    const std::vector<Path>& GetPaths() const { return paths; }
    // Everything drawn so far, a stroke reaching half its width past its points; false (r
    // untouched) when nothing has been drawn
    bool GetBounds(fRect* r) const;
    void Clear();

private:
    void Include(const fPoint2* pts, int n, float reach);

    bool keepPaths;
    std::vector<Path> paths;
    bool empty = true;
    fRect bounds;
};

// Sends drawing to a recorder while it lives, then back to OpenGL
class RecordingScope {
public:
    explicit RecordingScope(DrawingRecorder* r) { SetDrawingRecorder(r); }
    ~RecordingScope() { SetDrawingRecorder(nullptr); }
    RecordingScope(const RecordingScope&) = delete;
    RecordingScope& operator=(const RecordingScope&) = delete;
};

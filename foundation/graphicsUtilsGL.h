// graphicsUtilsGL: the program's whole drawing vocabulary.
//
// Free functions that emit immediate-mode OpenGL in world coordinates (y down, origin top
// left, one unit = one pixel at zoom 1). Call them only inside a frame (between the shell's
// StartFrame and EndFrame). Colour, width and font persist until changed; only the
// translation bracket restores what it changed. No GL capability is ever enabled.
#pragma once

#include "fColor.h"
#include "fPoint2.h"
#include "fRect.h"

void SetfColor(float r, float g, float b);
// Line width and point size, in pixels
void PenWidth(int w);
void PaintfRect(const fRect* r);
void FramefRect(const fRect* r);
// Closed polygonal outline, at least 10 segments
void FrameCircle(fPoint2 c, float r);
void Line(fPoint2 a, fPoint2 b);
void Vertex(fPoint2 p);
void Vertices(const fPoint2* v, int n);
void BeginPolygon();
void EndPolygon();
void BeginLineStrip();
void EndLineStrip();
// Many polylines handed over as one array: strip k is counts[k] vertices of v, following
// strip k - 1's
void LineStrips(const fPoint2* v, const int* counts, int strips);

// 2 selects Helvetica 10, 3 Times Roman 24, anything else Helvetica 12
void SetType(int typeName);
// Draws printf-style text with the left end of its baseline at p (at most 254 chars)
void fDrawString(fPoint2 p, const char* format, ...) __attribute__((format(printf, 2, 3)));
void fDrawString(float x, float y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Width of the formatted text: a fixed 8 units per character whatever the font
float fMeasureString(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Width of text as fDrawString draws it in type typeName (as SetType takes it), from the
// font's own glyph widths (units); needs the toolkit's fonts, as drawing text does. The
// selected type stays as it was.
float fTextWidth(int typeName, const char* text);

// Draws the decimal digits of n (n >= 0) as straight strokes in the current colour and pen
// width, each digit height units tall and height / 2 wide with height / 4 between digits,
// the top left of the first digit at topLeft. It needs no font, so it draws in any GL
// context (the toolkit's bitmap fonts need the toolkit's window).
void DrawStrokeNumber(fPoint2 topLeft, int n, float height);
// Width of that drawing of n
float MeasureStrokeNumber(int n, float height);

// Opens a translation bracket: later drawing is shifted by delta until the matching Unset
void SetGraphicsTranslate(fPoint2 delta);
void UnsetGraphicsTranslate();

// The bitmap font currently selected (a toolkit font handle); exposed for tests
void* GetSelectedType();

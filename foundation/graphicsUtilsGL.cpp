#include "graphicsUtilsGL.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void* theType = GLUT_BITMAP_HELVETICA_12;

// Where drawing goes: OpenGL unless a recorder is installed
DrawingRecorder* recorder = nullptr;
// Picture drawing: pixels per world unit of the pen (0 in the window, which draws at 1) and
// the thinnest line in pixels
float pictureScale = 0;
float thinnestPixels = 1;
// The pen as the recorder sees it: colour and width in world units; the translation the
// brackets have built up
fColor penColour;
float penWidth = 1;
std::vector<fPoint2> translations{fPoint2(0, 0)};
// A line from this many buffer pixels wide gets round joins and ends in pictures: below it
// the notches at the joins of GL's wide lines are too small to see
const float kRoundJoinPixels = 4.5f;

// The vertices of the open Begin/End block and what it draws
enum class Run { none, polygon, strip, loop, lines };
Run run = Run::none;
std::vector<fPoint2> runVertices;

// Round joins and ends for a wide line run in a picture: a disc of the line's width at each
// end and at each point where the run turns enough to leave a visible notch (GL draws a
// wide line as a quad along each segment; a turn by a leaves a notch r (1 - cos(a / 2))
// deep on its outside, r the half width)
void DrawRoundJoins(Run kind, const fPoint2* v, int n) {
    static std::vector<fPoint2> triangles;
    triangles.clear();
    const float pixels = std::max(penWidth * pictureScale, thinnestPixels);
    const float radius = pixels / pictureScale / 2;  // world units
    // Segments of a disc: about one per 3 pixels of its rim, at least 8
    const int k = std::max(8, std::min(64, (int)std::ceil(3.1416f * pixels / 3)));
    // Turns whose notch is deeper than a tenth of a pixel: cos(a / 2) below this
    const float notchCos = 1 - 0.1f / (pixels / 2);
    auto disc = [&](fPoint2 c) {
        for (int i = 0; i < k; i++) {
            float a0 = 6.2831853f * (float)i / (float)k,
                  a1 = 6.2831853f * (float)(i + 1) / (float)k;
            triangles.push_back(c);
            triangles.push_back(fPoint2(c.x + radius * cosf(a0), c.y + radius * sinf(a0)));
            triangles.push_back(fPoint2(c.x + radius * cosf(a1), c.y + radius * sinf(a1)));
        }
    };
    auto turns = [&](fPoint2 a, fPoint2 b, fPoint2 c) {
        float ux = b.x - a.x, uy = b.y - a.y, wx = c.x - b.x, wy = c.y - b.y;
        float lengths = std::sqrt((ux * ux + uy * uy) * (wx * wx + wy * wy));
        if (lengths == 0) return false;
        // cos(a / 2) = sqrt((1 + cos a) / 2)
        float cosTurn = (ux * wx + uy * wy) / lengths;
        return std::sqrt(std::max(0.0f, (1 + cosTurn) / 2)) < notchCos;
    };
    if (kind == Run::lines) {
        for (int i = 0; i + 1 < n; i += 2) {
            disc(v[i]);
            disc(v[i + 1]);
        }
    } else {
        bool loop = kind == Run::loop;
        for (int i = 0; i < n; i++) {
            bool end = !loop && (i == 0 || i == n - 1);
            if (end) {
                disc(v[i]);
                continue;
            }
            fPoint2 prev = v[(i + n - 1) % n], next = v[(i + 1) % n];
            if (turns(prev, v[i], next)) disc(v[i]);
        }
    }
    if (triangles.empty()) return;
    glVertexPointer(2, GL_FLOAT, sizeof(fPoint2), triangles.data());
    glDrawArrays(GL_TRIANGLES, 0, (GLsizei)triangles.size());
}

void DrawRunWithGL(Run kind, const fPoint2* v, int n) {
    if (n == 0) return;
    GLenum mode = kind == Run::polygon ? GL_POLYGON
                  : kind == Run::strip ? GL_LINE_STRIP
                  : kind == Run::loop  ? GL_LINE_LOOP
                                       : GL_LINES;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(fPoint2), v);
    glDrawArrays(mode, 0, n);
    if (kind != Run::polygon && pictureScale > 0 &&
        std::max(penWidth * pictureScale, thinnestPixels) >= kRoundJoinPixels)
        DrawRoundJoins(kind, v, n);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void RecordRun(Run kind, std::vector<fPoint2>* v) {
    if (v->empty()) return;
    fPoint2 t = translations.back();
    for (fPoint2& p : *v) p = fPoint2(p.x + t.x, p.y + t.y);
    int n = (int)v->size();
    switch (kind) {
        case Run::polygon:
            recorder->Fill(v->data(), n, penColour);
            break;
        case Run::strip:
        case Run::loop:
            recorder->Stroke(v->data(), n, kind == Run::loop, penColour, penWidth);
            break;
        case Run::lines:
            for (int i = 0; i + 1 < n; i += 2)
                recorder->Stroke(v->data() + i, 2, false, penColour, penWidth);
            break;
        case Run::none:
            break;
    }
}

void BeginRun(Run kind) {
    run = kind;
    runVertices.clear();
}

void EndRun() {
    if (recorder)
        RecordRun(run, &runVertices);
    else
        DrawRunWithGL(run, runVertices.data(), (int)runVertices.size());
    run = Run::none;
}

void DrawRun(Run kind, std::initializer_list<fPoint2> v) {
    BeginRun(kind);
    runVertices.assign(v.begin(), v.end());
    EndRun();
}

// 254 characters and a terminator; longer results are cut
const int kStringBufferSize = 255;

void FormatInto(char* buf, const char* format, va_list args) {
    vsnprintf(buf, kStringBufferSize, format, args);
}

void DrawBuffer(float x, float y, const char* buf) {
    glRasterPos2f(x, y);
    for (const char* c = buf; *c; c++) glutBitmapCharacter(theType, (unsigned char)*c);
}

}  // namespace

void SetDrawingRecorder(DrawingRecorder* r) {
    recorder = r;
    translations.assign(1, fPoint2(0, 0));
}

void SetPictureDrawing(float pixelsPerUnit, float minPixels) {
    pictureScale = pixelsPerUnit > 0 ? pixelsPerUnit : 0;
    thinnestPixels = pictureScale > 0 ? minPixels : 1;
}

float GetPenScale() { return pictureScale > 0 ? pictureScale : 1; }

void SetfColor(float r, float g, float b) {
    penColour.Set(r, g, b);
    if (!recorder) glColor3f(r, g, b);
}

void PenWidth(int w) {
    penWidth = (float)w;
    if (recorder) return;
    GLfloat pixels = std::max((GLfloat)w * GetPenScale(), (GLfloat)thinnestPixels);
    glLineWidth(pixels);
    glPointSize(pixels);
}

void PaintfRect(const fRect* r) {
    // A quad is a convex polygon: the same pixels in either winding
    DrawRun(Run::polygon, {fPoint2(r->left, r->top), fPoint2(r->right, r->top),
                           fPoint2(r->right, r->bottom), fPoint2(r->left, r->bottom)});
}

void FramefRect(const fRect* r) {
    DrawRun(Run::loop, {fPoint2(r->left, r->top), fPoint2(r->right, r->top),
                        fPoint2(r->right, r->bottom), fPoint2(r->left, r->bottom)});
}

void FrameCircle(fPoint2 c, float r) {
    // 10 segments up to radius 62.5, then 0.16 segments per unit of radius
    float n = r / 75 * 12;
    if (n < 10) n = 10;
    int npts = (int)n;
    float rot = (360.0f / npts) / 360.0f * 6.2831853f;
    fPoint2 v(r, 0);
    BeginRun(Run::loop);
    for (int i = 0; i < npts; i++) {
        v.Rotate(rot);
        runVertices.push_back(fPoint2(c.x + v.x, c.y + v.y));
    }
    EndRun();
}

void Line(fPoint2 a, fPoint2 b) { DrawRun(Run::lines, {a, b}); }

void Vertex(fPoint2 p) { runVertices.push_back(p); }

void Vertices(const fPoint2* v, int n) {
    if (n > 0) runVertices.insert(runVertices.end(), v, v + n);
}

void BeginPolygon() { BeginRun(Run::polygon); }
void EndPolygon() { EndRun(); }
void BeginLineStrip() { BeginRun(Run::strip); }
void EndLineStrip() { EndRun(); }
void LineStrips(const fPoint2* v, const int* counts, int strips) {
    for (int k = 0, first = 0; k < strips; first += counts[k], k++) {
        if (recorder) {
            BeginRun(Run::strip);
            runVertices.assign(v + first, v + first + counts[k]);
            EndRun();
        } else {
            DrawRunWithGL(Run::strip, v + first, counts[k]);
        }
    }
}

void SetType(int typeName) {
    switch (typeName) {
        case 2:
            theType = GLUT_BITMAP_HELVETICA_10;
            break;
        case 3:
            theType = GLUT_BITMAP_TIMES_ROMAN_24;
            break;
        default:
            theType = GLUT_BITMAP_HELVETICA_12;
            break;
    }
}

void* GetSelectedType() { return theType; }

void fDrawString(fPoint2 p, const char* format, ...) {
    if (recorder) return;
    char buf[kStringBufferSize];
    va_list args;
    va_start(args, format);
    FormatInto(buf, format, args);
    va_end(args);
    DrawBuffer(p.x, p.y, buf);
}

void fDrawString(float x, float y, const char* format, ...) {
    if (recorder) return;
    char buf[kStringBufferSize];
    va_list args;
    va_start(args, format);
    FormatInto(buf, format, args);
    va_end(args);
    DrawBuffer(x, y, buf);
}

float fMeasureString(const char* format, ...) {
    char buf[kStringBufferSize];
    va_list args;
    va_start(args, format);
    FormatInto(buf, format, args);
    va_end(args);
    return 8.0f * (float)strlen(buf);
}

float fTextWidth(int typeName, const char* text) {
    void* selected = theType;
    SetType(typeName);
    void* font = theType;
    theType = selected;
    return (float)glutBitmapLength(font, (const unsigned char*)text);
}

namespace {
// Seven segments per digit, bit 0 to 6: top, upper right, lower right, bottom, lower left,
// upper left, middle
const unsigned char kDigitSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66,
                                          0x6d, 0x7d, 0x07, 0x7f, 0x6f};

int DecimalDigits(int n, char* digits) { return snprintf(digits, 12, "%d", n < 0 ? 0 : n); }
}  // namespace

void DrawStrokeNumber(fPoint2 topLeft, int n, float height) {
    char digits[12];
    int count = DecimalDigits(n, digits);
    float w = height / 2, half = height / 2;
    for (int i = 0; i < count; i++) {
        float x = topLeft.x + (float)i * (w + height / 4), y = topLeft.y;
        unsigned char s = kDigitSegments[digits[i] - '0'];
        // Corners: top left, top right, middle left, middle right, bottom left, bottom right
        fPoint2 tl(x, y), tr(x + w, y), ml(x, y + half), mr(x + w, y + half), bl(x, y + height),
            br(x + w, y + height);
        if (s & 0x01) Line(tl, tr);
        if (s & 0x02) Line(tr, mr);
        if (s & 0x04) Line(mr, br);
        if (s & 0x08) Line(bl, br);
        if (s & 0x10) Line(ml, bl);
        if (s & 0x20) Line(tl, ml);
        if (s & 0x40) Line(ml, mr);
    }
}

float MeasureStrokeNumber(int n, float height) {
    char digits[12];
    int count = DecimalDigits(n, digits);
    return (float)count * (height / 2) + (float)(count - 1) * (height / 4);
}

void SetGraphicsTranslate(fPoint2 delta) {
    fPoint2 t = translations.back();
    translations.push_back(fPoint2(t.x + delta.x, t.y + delta.y));
    if (recorder) return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(delta.x, delta.y, 0);
}

void UnsetGraphicsTranslate() {
    if (translations.size() > 1) translations.pop_back();
    if (!recorder) glPopMatrix();
}

// Drawing conveniences of the value types

void fRect::Paint() const { PaintfRect(this); }
void fRect::Frame() const { FramefRect(this); }

void fColor::SetColor() const { SetfColor(r, g, b); }

void fColor::SetToBlend(const fColor* a, const fColor* b, float frac) {
    SetfColor(a->r + (b->r - a->r) * frac, a->g + (b->g - a->g) * frac,
              a->b + (b->b - a->b) * frac);
}

void fColor::DefaultColor() { black()->SetColor(); }

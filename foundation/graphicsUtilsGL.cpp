#include "graphicsUtilsGL.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

void* theType = GLUT_BITMAP_HELVETICA_12;

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

void SetfColor(float r, float g, float b) { glColor3f(r, g, b); }

void PenWidth(int w) {
    glLineWidth((GLfloat)w);
    glPointSize((GLfloat)w);
}

void PaintfRect(const fRect* r) {
    glBegin(GL_QUADS);
    glVertex2f(r->left, r->top);
    glVertex2f(r->right, r->top);
    glVertex2f(r->right, r->bottom);
    glVertex2f(r->left, r->bottom);
    glEnd();
}

void FramefRect(const fRect* r) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(r->left, r->top);
    glVertex2f(r->right, r->top);
    glVertex2f(r->right, r->bottom);
    glVertex2f(r->left, r->bottom);
    glEnd();
}

void FrameCircle(fPoint2 c, float r) {
    // 10 segments up to radius 62.5, then 0.16 segments per unit of radius
    float n = r / 75 * 12;
    if (n < 10) n = 10;
    int npts = (int)n;
    float rot = (360.0f / npts) / 360.0f * 6.2831853f;
    fPoint2 v(r, 0);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < npts; i++) {
        v.Rotate(rot);
        glVertex3f(c.x + v.x, c.y + v.y, 0);
    }
    glEnd();
}

void Line(fPoint2 a, fPoint2 b) {
    glBegin(GL_LINES);
    glVertex2f(a.x, a.y);
    glVertex2f(b.x, b.y);
    glEnd();
}

void Vertex(fPoint2 p) { glVertex2f(p.x, p.y); }

void Vertices(const fPoint2* v, int n) {
    for (int i = 0; i < n; i++) glVertex2f(v[i].x, v[i].y);
}

void BeginPolygon() { glBegin(GL_POLYGON); }
void EndPolygon() { glEnd(); }
void BeginLineStrip() { glBegin(GL_LINE_STRIP); }
void EndLineStrip() { glEnd(); }
void LineStrips(const fPoint2* v, const int* counts, int strips) {
    static_assert(sizeof(fPoint2) == 2 * sizeof(float), "fPoint2 is two packed floats");
    if (strips <= 0) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(fPoint2), v);
    for (int k = 0, first = 0; k < strips; first += counts[k], k++)
        glDrawArrays(GL_LINE_STRIP, first, counts[k]);
    glDisableClientState(GL_VERTEX_ARRAY);
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
    char buf[kStringBufferSize];
    va_list args;
    va_start(args, format);
    FormatInto(buf, format, args);
    va_end(args);
    DrawBuffer(p.x, p.y, buf);
}

void fDrawString(float x, float y, const char* format, ...) {
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
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(delta.x, delta.y, 0);
}

void UnsetGraphicsTranslate() { glPopMatrix(); }

// Drawing conveniences of the value types

void fRect::Paint() const { PaintfRect(this); }
void fRect::Frame() const { FramefRect(this); }

void fColor::SetColor() const { SetfColor(r, g, b); }

void fColor::SetToBlend(const fColor* a, const fColor* b, float frac) {
    SetfColor(a->r + (b->r - a->r) * frac, a->g + (b->g - a->g) * frac,
              a->b + (b->b - a->b) * frac);
}

void fColor::DefaultColor() { black()->SetColor(); }

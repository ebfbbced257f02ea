// fPoint2: the program's 2-D point and vector.
//
// Coordinates are world units (window pixels at zoom 1) with the origin at the top left and
// y growing downwards. Angles are radians from atan2(y, x), so a positive angle turns from
// +x towards +y: clockwise on screen. All maths is single precision.
#pragma once

#include <cmath>

class fPoint2 {
public:
    float x;
    float y;

    fPoint2() : x(0), y(0) {}
    fPoint2(float _x, float _y) : x(_x), y(_y) {}

    void Add(fPoint2 a) {
        x += a.x;
        y += a.y;
    }
    void Minus(fPoint2 a) {
        x -= a.x;
        y -= a.y;
    }
    void Shift(float dx, float dy) {
        x += dx;
        y += dy;
    }
    void Scale(float s) {
        x *= s;
        y *= s;
    }
    void Scale(float sx, float sy) {
        x *= sx;
        y *= sy;
    }
    void Scale(fPoint2 s) {
        x *= s.x;
        y *= s.y;
    }

    // Rotation about the origin in polar form; a zero point stays zero
    void Rotate(float rad) {
        float r = hypotf(x, y);
        float a = atan2f(y, x) + rad;
        x = cosf(a) * r;
        y = sinf(a) * r;
    }

    // frac outside 0..1 extrapolates along the line
    void SetToBetween(const fPoint2 from, const fPoint2 to, float frac) {
        x = from.x + (to.x - from.x) * frac;
        y = from.y + (to.y - from.y) * frac;
    }

    // NOTE: a zero point gives non-finite coordinates; callers pass non-zero vectors
    void SetLength(float l) { Scale(l / GetLength()); }

    bool GetIsZero() const { return x == 0 && y == 0; }
    float GetLength() const { return hypotf(x, y); }
    float Angle() const { return atan2f(y, x); }
    // Direction from this point towards t
    float Angle(fPoint2 t) const { return atan2f(t.y - y, t.x - x); }
    float Dist(fPoint2 t) const { return hypotf(t.x - x, t.y - y); }
    float Dist(const fPoint2* t) const { return hypotf(t->x - x, t->y - y); }

    // Distance from this point to the segment a-b
    float DistToLineSegment(fPoint2 a, fPoint2 b) const;

    // Unsigned angle between two direction vectors, 0 to pi
    static float AngleBetweenPoints(fPoint2 one, fPoint2 two);

    static void OffsetArray(fPoint2* p, int n, float dx, float dy) {
        for (int i = 0; i < n; i++) p[i].Shift(dx, dy);
    }
    static void ScaleArray(fPoint2* p, int n, float sx, float sy) {
        for (int i = 0; i < n; i++) p[i].Scale(sx, sy);
    }
    static void RotateArray(fPoint2* p, int n, float rad) {
        for (int i = 0; i < n; i++) p[i].Rotate(rad);
    }
};

inline fPoint2 operator+(fPoint2 a, fPoint2 b) { return fPoint2(a.x + b.x, a.y + b.y); }
inline fPoint2 operator-(fPoint2 a, fPoint2 b) { return fPoint2(a.x - b.x, a.y - b.y); }
inline fPoint2 operator*(fPoint2 a, float s) { return fPoint2(a.x * s, a.y * s); }
inline bool operator==(fPoint2 a, fPoint2 b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(fPoint2 a, fPoint2 b) { return !(a == b); }

inline float fPoint2::AngleBetweenPoints(fPoint2 one, fPoint2 two) {
    float a = one.Angle();
    float b = two.Angle();
    float t = fabsf(a - b);
    if (t < 3.14159265f) return t;
    if (a < 0) a += 6.2831853f;
    if (b < 0) b += 6.2831853f;
    return fabsf(a - b);
}

inline float fPoint2::DistToLineSegment(fPoint2 a, fPoint2 b) const {
    fPoint2 p = *this;
    float angA = AngleBetweenPoints(p - a, b - a);
    float angB = AngleBetweenPoints(p - b, a - b);
    if (angA >= 1.570796325f) return p.Dist(a);  // beyond end a
    if (angB >= 1.570796325f) return p.Dist(b);  // beyond end b
    return p.Dist(a) * sinf(angA);               // perpendicular distance
}

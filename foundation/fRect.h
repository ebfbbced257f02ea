// fRect: an axis-aligned rectangle in world units (y down, so top is the smaller y).
//
// NOTE: the four-value constructor and Set take (left, top, right, bottom), which differs
// from the field order (left, right, top, bottom).
#pragma once

#include "fPoint2.h"

class fRect {
public:
    float left;
    float right;
    float top;
    float bottom;

    fRect() : left(0), right(0), top(0), bottom(0) {}
    fRect(float l, float t, float r, float b) : left(l), right(r), top(t), bottom(b) {}

    void Set(float l, float t, float r, float b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    // A zero-size rectangle at the point
    void Set(float x, float y) {
        left = right = x;
        top = bottom = y;
    }
    void Set(fPoint2 p) { Set(p.x, p.y); }

    float GetWidth() const { return right - left; }
    float GetHeight() const { return bottom - top; }
    float GetCenterX() const { return left + (right - left) / 2; }
    float GetCenterY() const { return top + (bottom - top) / 2; }
    fPoint2 GetCenter() const { return fPoint2(GetCenterX(), GetCenterY()); }
    fPoint2 GetTopLeft() const { return fPoint2(left, top); }
    fPoint2 GetBottomLeft() const { return fPoint2(left, bottom); }

    void SetFromTopLeft(fPoint2 topleft, float w, float h) {
        left = topleft.x;
        top = topleft.y;
        right = left + w;
        bottom = top + h;
    }
    void SetFromBottomLeft(fPoint2 botleft, float w, float h) {
        left = botleft.x;
        bottom = botleft.y;
        right = left + w;
        top = bottom - h;
    }
    // Moves the rectangle, keeping its size
    void SetTopLeft(fPoint2 p) { SetFromTopLeft(p, GetWidth(), GetHeight()); }
    void SetBottomLeft(fPoint2 p) { SetFromBottomLeft(p, GetWidth(), GetHeight()); }

    // Resize about the centre
    void SetWidth(float w) {
        float c = GetCenterX();
        left = c - w / 2;
        right = c + w / 2;
    }
    void SetHeight(float h) {
        float c = GetCenterY();
        top = c - h / 2;
        bottom = c + h / 2;
    }

    void Shift(float dx, float dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void Shift(fPoint2 delta) { Shift(delta.x, delta.y); }

    // Negative values grow the rectangle
    void Inset(float dx, float dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }

    void GrowToInclude(float x, float y) {
        if (x <= left) left = x;
        if (x > right) right = x;
        if (y <= top) top = y;
        if (y > bottom) bottom = y;
    }
    void GrowToInclude(fPoint2 p) { GrowToInclude(p.x, p.y); }

    // All four edges are inside
    bool DoesContain(float x, float y) const {
        return left <= x && x <= right && top <= y && y <= bottom;
    }
    bool DoesContain(fPoint2 p) const { return DoesContain(p.x, p.y); }

    // Drawing conveniences (graphicsUtilsGL): fill or outline in the current colour
    void Paint() const;
    void Frame() const;
};

// fColor: an RGB colour with channels from 0 to 1, and the program's named colours.
#pragma once

class fColor {
public:
    float r, g, b;

    fColor() : r(0), g(0), b(0) {}
    fColor(float _r, float _g, float _b) : r(_r), g(_g), b(_b) {}

    void Set(float _r, float _g, float _b) {
        r = _r;
        g = _g;
        b = _b;
    }
    void SetToBetween(const fColor* f, const fColor* t, float frac) {
        r = f->r + (t->r - f->r) * frac;
        g = f->g + (t->g - f->g) * frac;
        b = f->b + (t->b - f->b) * frac;
    }

    // Shared named colours: stable pointers to values that never change
    static const fColor* black();
    static const fColor* white();
    static const fColor* gray();
    static const fColor* lightGray();
    static const fColor* red();
    static const fColor* green();
    static const fColor* blue();
    static const fColor* yellow();

    // Drawing conveniences (graphicsUtilsGL)
    void SetColor() const;
    // Makes a + (b - a) * frac the current drawing colour without storing it
    static void SetToBlend(const fColor* a, const fColor* b, float frac);
    static void DefaultColor();
};

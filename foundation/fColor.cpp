#include "fColor.h"

const fColor* fColor::black() {
    static const fColor c(0, 0, 0);
    return &c;
}
const fColor* fColor::white() {
    static const fColor c(1, 1, 1);
    return &c;
}
const fColor* fColor::gray() {
    static const fColor c(0.5f, 0.5f, 0.5f);
    return &c;
}
const fColor* fColor::lightGray() {
    static const fColor c(0.75f, 0.75f, 0.75f);
    return &c;
}
const fColor* fColor::red() {
    static const fColor c(1, 0, 0);
    return &c;
}
const fColor* fColor::green() {
    static const fColor c(0, 1, 0);
    return &c;
}
const fColor* fColor::blue() {
    static const fColor c(0, 0, 1);
    return &c;
}
const fColor* fColor::yellow() {
    static const fColor c(1, 1, 0);
    return &c;
}

#include "Transform2d.h"

fPoint2 Transform2d::Map(fPoint2 p) const {
    Map(&p, 1);
    return p;
}

fPoint2 Transform2d::Unmap(fPoint2 p) const {
    Unmap(&p, 1);
    return p;
}

// fRectMap: maps rectangle src onto rectangle dst by scaling about their centres, x and y
// independently (the source's aspect ratio is not kept). Plots icons from the unit square
// of icon space into a world rectangle. A value type.
#pragma once

#include "Transform2d.h"
#include "fRect.h"

class fRectMap : public Transform2d {
public:
    fRect src;
    fRect dst;
    fPoint2 srcCenter;  // centre of src
    fPoint2 scale;      // dst width / src width, dst height / src height
    fPoint2 translate;  // centre of dst

    // The unit square onto itself
    fRectMap();
    // src must have non-zero width and height for Unmap to be finite
    fRectMap(fRect src, fRect dst);
    void Set(fRect _src, fRect _dst);

    fPoint2 Map(fPoint2 p) const override;
    fPoint2 Unmap(fPoint2 p) const override;
    void Map(fPoint2* pts, int npts) const override;
    void Unmap(fPoint2* pts, int npts) const override;
};

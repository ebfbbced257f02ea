// Transform2d: an invertible 2-D point mapping, applied to single points or in place to
// point arrays. Holds no pointers; callers own the transforms they pass around.
#pragma once

#include "fPoint2.h"

class Transform2d {
public:
    // The single-point forms run the array forms on a one-point array
    virtual fPoint2 Map(fPoint2 p) const;
    virtual fPoint2 Unmap(fPoint2 p) const;
    // In place on npts points
    virtual void Map(fPoint2* pts, int npts) const = 0;
    virtual void Unmap(fPoint2* pts, int npts) const = 0;
    virtual ~Transform2d() {}
};

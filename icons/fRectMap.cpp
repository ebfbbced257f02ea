#include "fRectMap.h"

fRectMap::fRectMap() { Set(fRect(0, 0, 1, 1), fRect(0, 0, 1, 1)); }

fRectMap::fRectMap(fRect s, fRect d) { Set(s, d); }

void fRectMap::Set(fRect _src, fRect _dst) {
    src = _src;
    dst = _dst;
    srcCenter = src.GetCenter();
    translate = dst.GetCenter();
    scale = fPoint2(dst.GetWidth() / src.GetWidth(), dst.GetHeight() / src.GetHeight());
}

fPoint2 fRectMap::Map(fPoint2 p) const {
    return fPoint2((p.x - srcCenter.x) * scale.x + translate.x,
                   (p.y - srcCenter.y) * scale.y + translate.y);
}

fPoint2 fRectMap::Unmap(fPoint2 p) const {
    return fPoint2((p.x - translate.x) * (1 / scale.x) + srcCenter.x,
                   (p.y - translate.y) * (1 / scale.y) + srcCenter.y);
}

void fRectMap::Map(fPoint2* pts, int npts) const {
    fPoint2::OffsetArray(pts, npts, -srcCenter.x, -srcCenter.y);
    fPoint2::ScaleArray(pts, npts, scale.x, scale.y);
    fPoint2::OffsetArray(pts, npts, translate.x, translate.y);
}

void fRectMap::Unmap(fPoint2* pts, int npts) const {
    fPoint2::OffsetArray(pts, npts, -translate.x, -translate.y);
    fPoint2::ScaleArray(pts, npts, 1 / scale.x, 1 / scale.y);
    fPoint2::OffsetArray(pts, npts, srcCenter.x, srcCenter.y);
}

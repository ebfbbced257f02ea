#include "DesktopIcon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "fPoint2.h"

namespace {

// The geometry, in fractions of the square's side
const float kTileInset = 0.04f;    // from the square's edge to the rim's centre line
const float kTileCorner = 0.18f;   // the tile's corner radius
const float kRimWidth = 0.025f;    // the gray rim
const float kGlyphInset = 0.15f;   // from the square's edge to the icon's unit square
const float kStrokeWidth = 0.05f;  // the icon's strokes
const unsigned char kRimGray = 154;
// Samples per pixel along each axis
const int kSupersample = 4;

using Stroke = std::vector<fPoint2>;

// The strokes of a point stream, in pixels of a size x size square
std::vector<Stroke> GlyphStrokes(const float* data, float size) {
    std::vector<Stroke> strokes;
    float origin = kGlyphInset * size, scale = (1 - 2 * kGlyphInset) * size;
    for (const float* d = data;; d += 2) {
        if (d[0] == -2 && d[1] == -2) break;
        if (d[0] == -1 && d[1] == -1) {
            strokes.emplace_back();
            continue;
        }
        if (strokes.empty()) strokes.emplace_back();
        strokes.back().push_back(fPoint2(origin + d[0] * scale, origin + d[1] * scale));
    }
    return strokes;
}

// Signed distance from p to the rounded rectangle of half extent h about c, corner r
float RoundedRectDistance(fPoint2 p, fPoint2 c, float h, float r) {
    float qx = std::fabs(p.x - c.x) - (h - r), qy = std::fabs(p.y - c.y) - (h - r);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

float SegmentDistance(fPoint2 p, fPoint2 a, fPoint2 b) {
    float dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::min(std::max(t, 0.0f), 1.0f);
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

}  // namespace

std::string DesktopIconSvg(const float* data, int size) {
    float s = (float)size;
    char buf[512];
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    float x = kTileInset * s, w = s - 2 * x;
    snprintf(buf, sizeof buf,
             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
             "viewBox=\"0 0 %d %d\">\n"
             "  <rect x=\"%.2f\" y=\"%.2f\" width=\"%.2f\" height=\"%.2f\" rx=\"%.2f\" "
             "fill=\"#ffffff\" stroke=\"#%02x%02x%02x\" stroke-width=\"%.2f\"/>\n"
             "  <g fill=\"none\" stroke=\"#000000\" stroke-width=\"%.2f\" "
             "stroke-linecap=\"round\" stroke-linejoin=\"round\">\n",
             size, size, size, size, x, x, w, w, kTileCorner * s, kRimGray, kRimGray, kRimGray,
             kRimWidth * s, kStrokeWidth * s);
    svg += buf;
    for (const Stroke& stroke : GlyphStrokes(data, s)) {
        svg += "    <polyline points=\"";
        for (size_t i = 0; i < stroke.size(); i++) {
            snprintf(buf, sizeof buf, "%s%.2f,%.2f", i ? " " : "", stroke[i].x, stroke[i].y);
            svg += buf;
        }
        svg += "\"/>\n";
    }
    svg += "  </g>\n</svg>\n";
    return svg;
}

void DrawDesktopIcon(const float* data, int size, RgbaImage* out) {
    const int n = size * kSupersample;
    const float step = 1.0f / kSupersample, s = (float)size;
    // Which samples the strokes cover: each segment marks the samples of its own box only
    std::vector<bool> ink((size_t)n * n, false);
    float half = kStrokeWidth * s / 2;
    for (const Stroke& stroke : GlyphStrokes(data, s)) {
        for (size_t i = 0; i < stroke.size(); i++) {
            fPoint2 a = stroke[i], b = stroke[i + 1 < stroke.size() ? i + 1 : i];
            int x0 = std::max(0, (int)((std::min(a.x, b.x) - half) / step));
            int x1 = std::min(n - 1, (int)((std::max(a.x, b.x) + half) / step) + 1);
            int y0 = std::max(0, (int)((std::min(a.y, b.y) - half) / step));
            int y1 = std::min(n - 1, (int)((std::max(a.y, b.y) + half) / step) + 1);
            for (int y = y0; y <= y1; y++)
                for (int x = x0; x <= x1; x++) {
                    fPoint2 p(((float)x + 0.5f) * step, ((float)y + 0.5f) * step);
                    if (SegmentDistance(p, a, b) <= half) ink[(size_t)y * n + x] = true;
                }
        }
    }
    out->Resize(size, size);
    fPoint2 centre(s / 2, s / 2);
    float h = s / 2 - kTileInset * s, corner = kTileCorner * s, rim = kRimWidth * s / 2;
    for (int py = 0; py < size; py++)
        for (int px = 0; px < size; px++) {
            // Alpha-weighted sums over the pixel's samples
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSupersample; sy++)
                for (int sx = 0; sx < kSupersample; sx++) {
                    int x = px * kSupersample + sx, y = py * kSupersample + sy;
                    fPoint2 p(((float)x + 0.5f) * step, ((float)y + 0.5f) * step);
                    float d = RoundedRectDistance(p, centre, h, corner);
                    float v;
                    if (ink[(size_t)y * n + x])
                        v = 0;
                    else if (std::fabs(d) <= rim)
                        v = kRimGray;
                    else if (d < 0)
                        v = 255;
                    else
                        continue;  // outside the tile: transparent
                    r += v, g += v, b += v, a += 1;
                }
            unsigned char* o = &out->pixels[((size_t)py * size + px) * 4];
            if (a == 0) continue;
            o[0] = (unsigned char)std::lround(r / a);
            o[1] = (unsigned char)std::lround(g / a);
            o[2] = (unsigned char)std::lround(b / a);
            o[3] = (unsigned char)std::lround(255 * a / (kSupersample * kSupersample));
        }
}

std::vector<unsigned long> WindowIconData(const float* iconData, std::initializer_list<int> sizes) {
    std::vector<unsigned long> data;
    RgbaImage image;
    for (int size : sizes) {
        DrawDesktopIcon(iconData, size, &image);
        data.push_back((unsigned long)size);
        data.push_back((unsigned long)size);
        for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
            const unsigned char* p = &image.pixels[i];
            data.push_back((unsigned long)p[3] << 24 | (unsigned long)p[0] << 16 |
                           (unsigned long)p[1] << 8 | p[2]);
        }
    }
    return data;
}

// SVG stills: the drawing's paths in drawing order, lines as stroked paths at their widths
// with round joins and ends, masks (and anything else filled) as filled shapes, over a white
// background unless it is transparent. The view box is the world rectangle the picture
// shows, so the SVG shows what the PNG of the same size shows.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ExportFormat.h"

namespace {

// A number with at most two decimals and no trailing zeros: "12", "0.5", "-3.25"
std::string Number(float v) {
    char s[32];
    double r = std::round((double)v * 100) / 100;
    if (r == 0) r = 0;  // no "-0"
    snprintf(s, sizeof s, "%.2f", r);
    std::string t = s;
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
}

std::string Colour(fColor c) {
    auto channel = [](float v) {
        return (int)std::lround(std::min(1.0f, std::max(0.0f, v)) * 255);
    };
    char s[8];
    snprintf(s, sizeof s, "#%02x%02x%02x", channel(c.r), channel(c.g), channel(c.b));
    return s;
}

class SvgEncoder : public PictureEncoder {
public:
    bool Encode(const StillPicture& p, EncodedOutput* out, std::string* error) override {
        if (!p.drawing) {
            *error = "an SVG needs the drawing's paths";
            return false;
        }
        // The world rectangle scaled uniformly to fit the picture and centred, as drawn
        float worldW = p.world.GetWidth(), worldH = p.world.GetHeight();
        float scale = 1;
        if (worldW > 0 && worldH > 0)
            scale = std::min((float)p.width / worldW, (float)p.height / worldH);
        float viewW = (float)p.width / scale, viewH = (float)p.height / scale;
        float viewX = p.world.GetCenterX() - viewW / 2, viewY = p.world.GetCenterY() - viewH / 2;

        std::string& s = out->bytes;
        s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
             std::to_string(p.width) + "\" height=\"" + std::to_string(p.height) + "\" viewBox=\"" +
             Number(viewX) + " " + Number(viewY) + " " + Number(viewW) + " " + Number(viewH) +
             "\">\n";
        if (!p.transparent)
            s += "<rect x=\"" + Number(viewX) + "\" y=\"" + Number(viewY) + "\" width=\"" +
                 Number(viewW) + "\" height=\"" + Number(viewH) + "\" fill=\"#ffffff\"/>\n";
        s += "<g stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
        for (const RecordedDrawing::Path& path : p.drawing->GetPaths()) {
            s += "<path d=\"";
            for (size_t i = 0; i < path.points.size(); i++) {
                s += i == 0 ? "M" : " L";
                s += Number(path.points[i].x) + "," + Number(path.points[i].y);
            }
            // A stroke of one point is a dot, as the line's round ends draw it
            if (path.filled || path.closed || path.points.size() == 1) s += " Z";
            if (path.filled)
                s += "\" fill=\"" + Colour(path.colour) + "\"/>\n";
            else
                s += "\" fill=\"none\" stroke=\"" + Colour(path.colour) + "\" stroke-width=\"" +
                     Number(path.width) + "\"/>\n";
        }
        s += "</g>\n</svg>\n";
        out->companionExtension.clear();
        out->companionBytes.clear();
        return true;
    }
};

}  // namespace

std::unique_ptr<PictureEncoder> NewSvgEncoder() { return std::make_unique<SvgEncoder>(); }

// Sprite sheets: every frame of an animation in a grid in one PNG (rows from the top, left
// to right, as near square as whole frames allow), and beside it a JSON atlas saying where
// each frame is and how long it shows, which frames each step of the sequence covers, the
// sheet's size, the frame rate and how it repeats:
//
//   {"frames": [{"x": 0, "y": 0, "w": 400, "h": 240, "duration_ms": 40}, ...],
//    "steps": [{"pose": 5, "from": 0, "to": 37}, ...],
//    "size": {"w": 4400, "h": 4320}, "fps": 25, "loop": "forever"}
//
// The frames are one pass, a ping-pong one there and back, so playing them in order and
// starting again (unless "once") is the animation, without a seam.
#include <cmath>
#include <cstring>

#include "ExportFormat.h"

namespace {

// A sheet stays within this many pixels each way and in all
const long long kMostSide = 32768;
const long long kMostPixels = 1LL << 28;

const char* LoopName(LoopMode m) {
    switch (m) {
        case LoopMode::once:
            return "once";
        case LoopMode::pingPong:
            return "pingpong";
        case LoopMode::forever:
            break;
    }
    return "forever";
}

class SpriteSheetEncoder : public AnimationEncoder {
public:
    bool Begin(const AnimationHeader& h, std::string* error) override {
        if (h.frames <= 0) {
            *error = "an animation needs at least one frame";
            return false;
        }
        // Columns for a sheet about as high as wide
        columns = (int)std::ceil(std::sqrt((double)h.frames * h.height / h.width));
        columns = std::max(1, std::min(h.frames, columns));
        rows = (h.frames + columns - 1) / columns;
        long long sheetW = (long long)columns * h.width, sheetH = (long long)rows * h.height;
        if (sheetW > kMostSide || sheetH > kMostSide || sheetW * sheetH > kMostPixels) {
            *error = "the sprite sheet of " + std::to_string(h.frames) +
                     " frames would be too large; choose a smaller size";
            return false;
        }
        header = h;
        sheet.Resize((int)sheetW, (int)sheetH);
        // Cells without a frame stay white, or transparent
        for (size_t i = 0; i < sheet.pixels.size(); i += 4) {
            memset(&sheet.pixels[i], 255, 3);
            sheet.pixels[i + 3] = h.transparent ? 0 : 255;
        }
        frames = 0;
        atlas = "{\"frames\": [";
        return true;
    }

    bool AddFrame(const RgbaImage& f, const FrameTiming& t, std::string* error) override {
        if (frames >= header.frames || f.width != header.width || f.height != header.height) {
            *error = "a frame the sprite sheet has no cell for";
            return false;
        }
        int x = frames % columns * header.width, y = frames / columns * header.height;
        for (int row = 0; row < f.height; row++)
            memcpy(&sheet.pixels[((size_t)(y + row) * (size_t)sheet.width + (size_t)x) * 4],
                   f.Pixel(0, row), (size_t)f.width * 4);
        atlas += std::string(frames ? ",\n  " : "\n  ") + "{\"x\": " + std::to_string(x) +
                 ", \"y\": " + std::to_string(y) + ", \"w\": " + std::to_string(f.width) +
                 ", \"h\": " + std::to_string(f.height) +
                 ", \"duration_ms\": " + std::to_string(t.durationMs) + "}";
        frames++;
        return true;
    }

    bool Finish(EncodedOutput* out, std::string* error) override {
        if (frames != header.frames) {
            *error = "the sprite sheet is missing frames";
            return false;
        }
        atlas += "],\n \"steps\": [";
        for (size_t i = 0; i < header.steps.size(); i++) {
            const AnimationStep& s = header.steps[i];
            atlas += std::string(i ? ",\n  " : "\n  ") + "{\"pose\": " + std::to_string(s.pose) +
                     ", \"from\": " + std::to_string(s.from) + ", \"to\": " + std::to_string(s.to) +
                     "}";
        }
        atlas += "],\n \"size\": {\"w\": " + std::to_string(sheet.width) +
                 ", \"h\": " + std::to_string(sheet.height) +
                 "},\n \"fps\": " + std::to_string(header.fps) + ",\n \"loop\": \"" +
                 LoopName(header.loop) + "\"}\n";
        *out = EncodedOutput();
        if (!EncodePng(sheet, header.transparent, &out->bytes, error)) return false;
        out->companionExtension = ".json";
        out->companionBytes.swap(atlas);
        sheet = RgbaImage();
        return true;
    }

private:
    AnimationHeader header;
    int columns = 1, rows = 1, frames = 0;
    RgbaImage sheet;
    std::string atlas;
};

}  // namespace

std::unique_ptr<AnimationEncoder> NewSpriteSheetEncoder() {
    return std::make_unique<SpriteSheetEncoder>();
}

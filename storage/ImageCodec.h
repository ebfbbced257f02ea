// Pictures encoded into memory: PNG through libpng, animated GIF through giflib. The bytes
// are written to disk by the caller (WriteFileAtomically), so a failed export never leaves a
// partial file. Encoding is deterministic: the same pixels give the same bytes (no time
// stamps, fixed compression settings, palettes in order of first appearance).
#pragma once

#include <string>
#include <vector>

// An 8-bit RGBA picture, rows from top to bottom, 4 bytes per pixel (R, G, B, A)
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;

    void Resize(int w, int h) {
        width = w;
        height = h;
        pixels.assign((size_t)w * (size_t)h * 4, 0);
    }
    const unsigned char* Pixel(int x, int y) const {
        return &pixels[((size_t)y * (size_t)width + (size_t)x) * 4];
    }
};

// The image as a PNG file: 8-bit RGB, or RGBA when keepAlpha. False with *error set when
// the image is empty or libpng fails; *out is only written on success.
bool EncodePng(const RgbaImage& image, bool keepAlpha, std::string* out, std::string* error);

// An animated GIF built frame by frame: it loops forever or plays once, each frame carries a
// palette of its own colours (exact up to 256 colours, median-cut beyond, never dithered), and only
// the rectangle that changed since the previous frame is stored. Alpha is ignored.
class GifAnimationEncoder {
public:
    GifAnimationEncoder();
    ~GifAnimationEncoder();
    GifAnimationEncoder(const GifAnimationEncoder&) = delete;
    GifAnimationEncoder& operator=(const GifAnimationEncoder&) = delete;

    // Starts a width x height animation (pixels, 1 .. 65535 each) that loops forever
    bool Begin(int width, int height, std::string* error) {
        return Begin(width, height, true, error);
    }
    // The same, looping forever or, without the looping extension, played once
    bool Begin(int width, int height, bool loopForever, std::string* error);
    // Adds a frame of the size given to Begin, shown for delay hundredths of a second
    bool AddFrame(const RgbaImage& frame, int delayCentiseconds, std::string* error);
    // Ends the file and hands over its bytes; the encoder can Begin again afterwards
    bool Finish(std::string* out, std::string* error);

    int GetFrameCount() const { return frames; }

private:
    bool Fail(const char* what, int gifError, std::string* error);
    void Abandon();

    struct GifFileType* gif;
    std::string bytes;
    int width, height, frames;
    // RGB of the picture shown so far (3 bytes per pixel), to find what a frame changes
    std::vector<unsigned char> shown;
    // Reused per frame: palette indices of the changed rectangle
    std::vector<unsigned char> indices;
};

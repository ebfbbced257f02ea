// APNG animations: PNG's animation chunks (acTL, fcTL, fdAT) written here around frames
// filtered and compressed as PNG image data with zlib, since the system's libpng writes no
// animation. The first frame is the PNG's own image, so a reader without APNG shows it.
// Each later frame stores only the rectangle that changed: in an opaque animation its
// unchanged pixels are left transparent and the rectangle is drawn over what is shown
// (runs of one value that compress far better than the drawing's smooth edges); in a
// transparent one it replaces what is shown, alpha too. Exact millisecond delays; loops
// forever (ping-pong too, whose frames go there and back) or plays once. RGBA.
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ExportFormat.h"

namespace {

void Put32(std::string* s, uint32_t v) {
    char b[4] = {(char)(v >> 24), (char)(v >> 16), (char)(v >> 8), (char)v};
    s->append(b, 4);
}

void Put16(std::string* s, uint32_t v) {
    char b[2] = {(char)(v >> 8), (char)v};
    s->append(b, 2);
}

void PutChunk(std::string* out, const char* type, const std::string& data) {
    Put32(out, (uint32_t)data.size());
    size_t start = out->size();
    out->append(type, 4);
    out->append(data);
    uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(out->data() + start), (uInt)(out->size() - start));
    Put32(out, (uint32_t)crc);
}

// The Paeth predictor of the PNG filter 4
unsigned char Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return (unsigned char)a;
    return (unsigned char)(pb <= pc ? b : c);
}

class ApngEncoder : public AnimationEncoder {
public:
    bool Begin(const AnimationHeader& h, std::string* error) override {
        if (h.width <= 0 || h.height <= 0 || h.width > 65535 || h.height > 65535) {
            *error = "an APNG is 1 to 65535 pixels wide and high";
            return false;
        }
        header = h;
        // Colours that change count; in an opaque animation alpha is always 255
        compared = h.transparent ? 4 : 3;
        frames = 0;
        sequence = 0;
        body.clear();
        shown.assign((size_t)h.width * (size_t)h.height * 4, 0);
        return true;
    }

    bool AddFrame(const RgbaImage& f, const FrameTiming& t, std::string* error) override {
        const int durationMs = t.durationMs;
        if (f.width != header.width || f.height != header.height) {
            *error = "a frame of the wrong size";
            return false;
        }
        // The rectangle that differs from what is shown; all of the first frame
        int left = 0, top = 0, right = f.width - 1, bottom = f.height - 1;
        if (frames > 0) {
            left = f.width;
            top = f.height;
            right = bottom = -1;
            for (int y = 0; y < f.height; y++) {
                const unsigned char* p = f.Pixel(0, y);
                const unsigned char* s = &shown[(size_t)y * (size_t)f.width * 4];
                for (int x = 0; x < f.width; x++, p += 4, s += 4) {
                    if (memcmp(p, s, compared) == 0) continue;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = y;
                }
            }
            // Nothing changed: one pixel is stored so the frame still takes its time
            if (right < 0) left = right = top = bottom = 0;
        }
        int w = right - left + 1, h = bottom - top + 1;
        // The rectangle as stored, and what is shown from now on
        bool over = frames > 0 && !header.transparent;
        rect.resize((size_t)w * (size_t)h * 4);
        for (int y = top; y <= bottom; y++) {
            const unsigned char* p = f.Pixel(left, y);
            unsigned char* s = &shown[((size_t)y * (size_t)f.width + (size_t)left) * 4];
            unsigned char* r = &rect[(size_t)(y - top) * (size_t)w * 4];
            for (int x = 0; x < w; x++, p += 4, s += 4, r += 4) {
                if (over && memcmp(p, s, compared) == 0)
                    memset(r, 0, 4);
                else
                    memcpy(r, p, 4);
                memcpy(s, p, 4);
            }
        }

        std::string data;
        if (!Compress(w, h, &data)) {
            *error = "the APNG encoder failed to compress a frame (out of memory)";
            return false;
        }
        // Delays are a fraction: milliseconds, or hundredths past 65 s
        uint32_t num = (uint32_t)durationMs, den = 1000;
        if (num > 65535) {
            num = std::min<uint32_t>(65535, ((uint32_t)durationMs + 5) / 10);
            den = 100;
        }
        std::string control;
        Put32(&control, sequence++);
        Put32(&control, (uint32_t)w);
        Put32(&control, (uint32_t)h);
        Put32(&control, (uint32_t)left);
        Put32(&control, (uint32_t)top);
        Put16(&control, num);
        Put16(&control, den);
        control += (char)0;               // dispose: leave the frame in place
        control += (char)(over ? 1 : 0);  // blend: over what is there, or replacing it
        PutChunk(&body, "fcTL", control);
        if (frames == 0) {
            PutChunk(&body, "IDAT", data);
        } else {
            std::string chunk;
            Put32(&chunk, sequence++);
            chunk += data;
            PutChunk(&body, "fdAT", chunk);
        }
        frames++;
        return true;
    }

    bool Finish(EncodedOutput* out, std::string* error) override {
        if (frames == 0) {
            *error = "an animation needs at least one frame";
            return false;
        }
        *out = EncodedOutput();
        std::string& png = out->bytes;
        png.assign("\x89PNG\r\n\x1a\n", 8);
        std::string ihdr;
        Put32(&ihdr, (uint32_t)header.width);
        Put32(&ihdr, (uint32_t)header.height);
        ihdr += (char)8;          // bits per channel
        ihdr += (char)6;          // RGBA
        ihdr.append(3, (char)0);  // deflate, adaptive filters, not interlaced
        PutChunk(&png, "IHDR", ihdr);
        std::string actl;
        Put32(&actl, (uint32_t)frames);
        Put32(&actl, header.loop == LoopMode::once ? 1 : 0);  // plays; 0 is forever
        PutChunk(&png, "acTL", actl);
        png += body;
        PutChunk(&png, "IEND", "");
        body.clear();
        return true;
    }

private:
    // The rows of rect (w x h), each filtered with the PNG filter whose output has the
    // smallest sum of magnitudes (the usual heuristic), deflated
    bool Compress(int w, int h, std::string* out) {
        const size_t rowBytes = (size_t)w * 4;
        raw.resize(((size_t)h) * (rowBytes + 1));
        previous.assign(rowBytes, 0);
        current.resize(rowBytes);
        for (int y = 0; y < h; y++) {
            memcpy(current.data(), &rect[(size_t)y * rowBytes], rowBytes);
            unsigned char* best = &raw[(size_t)y * (rowBytes + 1)];
            unsigned long bestCost = ~0ul;
            for (int filter = 0; filter < 5; filter++) {
                candidate.resize(rowBytes);
                unsigned long cost = 0;
                for (size_t i = 0; i < rowBytes; i++) {
                    int a = i >= 4 ? current[i - 4] : 0;
                    int b = previous[i];
                    int c = i >= 4 ? previous[i - 4] : 0;
                    int predicted = filter == 0   ? 0
                                    : filter == 1 ? a
                                    : filter == 2 ? b
                                    : filter == 3 ? (a + b) / 2
                                                  : Paeth(a, b, c);
                    unsigned char v = (unsigned char)(current[i] - predicted);
                    candidate[i] = v;
                    cost += v < 128 ? v : 256 - v;
                }
                if (cost < bestCost) {
                    bestCost = cost;
                    best[0] = (unsigned char)filter;
                    memcpy(best + 1, candidate.data(), rowBytes);
                }
            }
            previous.swap(current);
            current.resize(rowBytes);
        }
        uLongf size = compressBound((uLong)raw.size());
        out->resize(size);
        if (compress2(reinterpret_cast<Bytef*>(&(*out)[0]), &size, raw.data(), (uLong)raw.size(),
                      6) != Z_OK)
            return false;
        out->resize(size);
        return true;
    }

    AnimationHeader header;
    size_t compared = 3;
    uint32_t frames = 0, sequence = 0;
    std::string body;  // the frames' chunks
    // RGBA of the picture shown so far, to find what a frame changes
    std::vector<unsigned char> shown;
    // Reused per frame: the rectangle stored, filtered rows and the rows being filtered
    std::vector<unsigned char> rect, raw, previous, current, candidate;
};

}  // namespace

std::unique_ptr<AnimationEncoder> NewApngEncoder() { return std::make_unique<ApngEncoder>(); }

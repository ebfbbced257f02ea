#include "ImageCodec.h"

#include <gif_lib.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>

#include "VelkoAssert.h"

// PNG

namespace {

struct PngSink {
    std::string* bytes;
    char message[200];
};

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    sink->bytes->append(reinterpret_cast<const char*>(data), length);
}

void PngFlush(png_structp) {}

void PngError(png_structp png, png_const_charp message) {
    PngSink* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    snprintf(sink->message, sizeof sink->message, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// Runs libpng between setjmp and its end, with only plain data live across the jump: the
// rows and the sink are owned by the caller
bool RunPngWriter(png_structp png, png_infop info, const RgbaImage& image, bool keepAlpha,
                  PngSink* sink, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, sink, PngWrite, PngFlush);
    png_set_IHDR(png, info, (png_uint_32)image.width, (png_uint_32)image.height, 8,
                 keepAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    // The rows hold RGBA; for RGB the fourth byte of each pixel is dropped on the way out
    if (!keepAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

}  // namespace

bool EncodePng(const RgbaImage& image, bool keepAlpha, std::string* out, std::string* error) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != (size_t)image.width * (size_t)image.height * 4) {
        *error = "the picture is empty";
        return false;
    }
    std::string bytes;
    PngSink sink{&bytes, {0}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, PngError, PngWarning);
    if (!png) {
        *error = "the PNG encoder could not start (out of memory)";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows((size_t)image.height);
    for (int y = 0; y < image.height; y++)
        rows[(size_t)y] = const_cast<png_bytep>(image.Pixel(0, y));
    bool ok = info && RunPngWriter(png, info, image, keepAlpha, &sink, rows.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!ok) {
        *error = std::string("the PNG encoder failed: ") +
                 (sink.message[0] ? sink.message : "out of memory");
        return false;
    }
    out->swap(bytes);
    return true;
}

// GIF

namespace {

int GifWrite(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(data), (size_t)length);
    return length;
}

uint32_t Rgb(const unsigned char* p) { return (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2]; }

// Smallest power of two >= n, at least 2 (a GIF palette's size)
int PaletteSize(int n) {
    int size = 2;
    while (size < n) size *= 2;
    return size;
}

// Palette of the rectangle's colours in order of first appearance and the index of every
// pixel; false when it holds more than 256 colours
bool ExactPalette(const RgbaImage& f, int left, int top, int w, int h, GifColorType* colours,
                  int* ncolours, unsigned char* indices) {
    uint32_t palette[256];
    int n = 0;
    uint32_t last = 0xffffffffu;
    int lastIndex = 0;
    for (int y = 0; y < h; y++) {
        const unsigned char* p = f.Pixel(left, top + y);
        for (int x = 0; x < w; x++, p += 4) {
            uint32_t c = Rgb(p);
            if (c != last) {
                int i = 0;
                while (i < n && palette[i] != c) i++;
                if (i == n) {
                    if (n == 256) return false;
                    palette[n++] = c;
                }
                last = c;
                lastIndex = i;
            }
            *indices++ = (unsigned char)lastIndex;
        }
    }
    for (int i = 0; i < n; i++) {
        colours[i].Red = (GifByteType)(palette[i] >> 16);
        colours[i].Green = (GifByteType)(palette[i] >> 8);
        colours[i].Blue = (GifByteType)palette[i];
    }
    *ncolours = n;
    return true;
}

// Median-cut palette of 256 colours for a rectangle with more colours than that
bool QuantizedPalette(const RgbaImage& f, int left, int top, int w, int h, GifColorType* colours,
                      int* ncolours, unsigned char* indices) {
    size_t n = (size_t)w * (size_t)h;
    std::vector<GifByteType> r(n), g(n), b(n);
    size_t k = 0;
    for (int y = 0; y < h; y++) {
        const unsigned char* p = f.Pixel(left, top + y);
        for (int x = 0; x < w; x++, p += 4, k++) {
            r[k] = p[0];
            g[k] = p[1];
            b[k] = p[2];
        }
    }
    int size = 256;
    if (GifQuantizeBuffer((unsigned)w, (unsigned)h, &size, r.data(), g.data(), b.data(), indices,
                          colours) != GIF_OK)
        return false;
    *ncolours = size;
    return true;
}

}  // namespace

GifAnimationEncoder::GifAnimationEncoder() : gif(nullptr), width(0), height(0), frames(0) {}

GifAnimationEncoder::~GifAnimationEncoder() { Abandon(); }

void GifAnimationEncoder::Abandon() {
    if (gif) {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
        gif = nullptr;
    }
    bytes.clear();
}

bool GifAnimationEncoder::Fail(const char* what, int gifError, std::string* error) {
    const char* why = GifErrorString(gifError);
    *error = std::string("the GIF encoder failed ") + what + ": " + (why ? why : "unknown error");
    Abandon();
    return false;
}

bool GifAnimationEncoder::Begin(int w, int h, bool loopForever, std::string* error) {
    Abandon();
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535) {
        *error = "a GIF is 1 to 65535 pixels wide and high";
        return false;
    }
    int err = 0;
    gif = EGifOpen(&bytes, GifWrite, &err);
    if (!gif) return Fail("to start", err, error);
    width = w;
    height = h;
    frames = 0;
    shown.assign((size_t)w * (size_t)h * 3, 0);
    EGifSetGifVersion(gif, true);  // GIF89a: frame delays and looping
    if (EGifPutScreenDesc(gif, w, h, 8, 0, nullptr) != GIF_OK)
        return Fail("writing the header", gif->Error, error);
    // Without the extension viewers play the frames once and stay on the last
    if (!loopForever) return true;
    // Loop forever: the application extension browsers and viewers know ("NETSCAPE2.0", a
    // sub-block 1 with a loop count of 0)
    static const GifByteType kLoop[3] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") != GIF_OK ||
        EGifPutExtensionBlock(gif, 3, kLoop) != GIF_OK || EGifPutExtensionTrailer(gif) != GIF_OK)
        return Fail("writing the loop", gif->Error, error);
    return true;
}

bool GifAnimationEncoder::AddFrame(const RgbaImage& f, int delay, std::string* error) {
    VELKO_ASSERT_TEXT(gif, "Begin before AddFrame");
    if (f.width != width || f.height != height ||
        f.pixels.size() != (size_t)width * (size_t)height * 4) {
        *error = "a frame of the wrong size";
        Abandon();
        return false;
    }
    // The rectangle that differs from what is shown; all of the first frame
    int left = 0, top = 0, right = width - 1, bottom = height - 1;
    if (frames > 0) {
        left = width;
        top = height;
        right = bottom = -1;
        for (int y = 0; y < height; y++) {
            const unsigned char* p = f.Pixel(0, y);
            const unsigned char* s = &shown[(size_t)y * (size_t)width * 3];
            for (int x = 0; x < width; x++, p += 4, s += 3) {
                if (p[0] == s[0] && p[1] == s[1] && p[2] == s[2]) continue;
                if (x < left) left = x;
                if (x > right) right = x;
                if (y < top) top = y;
                bottom = y;
            }
        }
        // Nothing changed: one pixel is stored so the frame still takes its time
        if (right < 0) left = right = top = bottom = 0;
    }
    int w = right - left + 1, h = bottom - top + 1;
    for (int y = top; y <= bottom; y++) {
        const unsigned char* p = f.Pixel(left, y);
        unsigned char* s = &shown[((size_t)y * (size_t)width + (size_t)left) * 3];
        for (int x = 0; x < w; x++, p += 4, s += 3) {
            s[0] = p[0];
            s[1] = p[1];
            s[2] = p[2];
        }
    }

    GifColorType colours[256];
    int ncolours = 0;
    indices.resize((size_t)w * (size_t)h);
    if (!ExactPalette(f, left, top, w, h, colours, &ncolours, indices.data()) &&
        !QuantizedPalette(f, left, top, w, h, colours, &ncolours, indices.data())) {
        *error = "the GIF encoder could not build a palette";
        Abandon();
        return false;
    }
    int size = PaletteSize(ncolours);
    for (int i = ncolours; i < size; i++) colours[i] = colours[0];
    ColorMapObject* map = GifMakeMapObject(size, colours);
    if (!map) return Fail("making a palette", D_GIF_ERR_NOT_ENOUGH_MEM, error);

    // Each frame is drawn over the previous one, which stays where it is not covered
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = delay;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    size_t extLength = EGifGCBToExtension(&gcb, ext);
    bool ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, (int)extLength, ext) == GIF_OK &&
              EGifPutImageDesc(gif, left, top, w, h, false, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!ok) return Fail("writing a frame", gif->Error, error);
    for (int y = 0; y < h; y++)
        if (EGifPutLine(gif, &indices[(size_t)y * (size_t)w], w) != GIF_OK)
            return Fail("writing a frame", gif->Error, error);
    frames++;
    return true;
}

bool GifAnimationEncoder::Finish(std::string* out, std::string* error) {
    VELKO_ASSERT_TEXT(gif, "Begin before Finish");
    if (frames == 0) {
        *error = "an animation needs at least one frame";
        Abandon();
        return false;
    }
    int err = 0;
    int result = EGifCloseFile(gif, &err);  // writes the trailer; frees gif either way
    gif = nullptr;
    if (result != GIF_OK) {
        const char* why = GifErrorString(err);
        *error = std::string("the GIF encoder failed at the end: ") + (why ? why : "unknown");
        bytes.clear();
        return false;
    }
    out->swap(bytes);
    bytes.clear();
    return true;
}

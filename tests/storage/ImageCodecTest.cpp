// Pictures encoded into memory, read back with the same libraries
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ExportFormat.h"
#include "ImageCodec.h"
#include "ImageFiles.h"

namespace {

void Put(RgbaImage* im, int x, int y, unsigned char r, unsigned char g, unsigned char b,
         unsigned char a = 255) {
    unsigned char* p = const_cast<unsigned char*>(im->Pixel(x, y));
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
}

RgbaImage White(int w, int h) {
    RgbaImage im;
    im.Resize(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) Put(&im, x, y, 255, 255, 255);
    return im;
}

bool SameRgb(const RgbaImage& a, const RgbaImage& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int y = 0; y < a.height; y++)
        for (int x = 0; x < a.width; x++)
            if (memcmp(a.Pixel(x, y), b.Pixel(x, y), 3) != 0) return false;
    return true;
}

}  // namespace

TEST(PngEncoding, PixelsComeBackExactlyWithOrWithoutAlpha) {
    RgbaImage im = White(7, 5);
    Put(&im, 0, 0, 128, 128, 128);
    Put(&im, 6, 4, 10, 20, 30, 0);
    std::string bytes, error;
    ASSERT_TRUE(EncodePng(im, false, &bytes, &error)) << error;
    RgbaImage back;
    ASSERT_TRUE(DecodePng(bytes, &back));
    EXPECT_TRUE(SameRgb(back, im));
    EXPECT_EQ(back.Pixel(6, 4)[3], 255);  // no alpha kept

    ASSERT_TRUE(EncodePng(im, true, &bytes, &error)) << error;
    ASSERT_TRUE(DecodePng(bytes, &back));
    EXPECT_EQ(back.pixels, im.pixels);

    std::string again;
    ASSERT_TRUE(EncodePng(im, true, &again, &error));
    EXPECT_EQ(again, bytes);
    RgbaImage empty;
    EXPECT_FALSE(EncodePng(empty, false, &bytes, &error));
    EXPECT_FALSE(error.empty());
}

TEST(GifEncoding, FramesLoopForeverAndShowWhatWasAdded) {
    RgbaImage a = White(40, 30), b = White(40, 30);
    for (int x = 5; x < 30; x++) Put(&a, x, 10, 128, 128, 128);
    for (int y = 2; y < 25; y++) Put(&b, 20, y, 128, 128, 128);
    Put(&b, 39, 29, 255, 0, 0);
    GifAnimationEncoder gif;
    std::string bytes, error;
    ASSERT_TRUE(gif.Begin(40, 30, &error)) << error;
    ASSERT_TRUE(gif.AddFrame(a, 3, &error)) << error;
    ASSERT_TRUE(gif.AddFrame(b, 3, &error)) << error;
    ASSERT_TRUE(gif.AddFrame(b, 4, &error)) << error;  // unchanged: one pixel is stored
    ASSERT_TRUE(gif.AddFrame(a, 3, &error)) << error;
    ASSERT_TRUE(gif.Finish(&bytes, &error)) << error;

    DecodedGif d;
    ASSERT_TRUE(DecodeGif(bytes, &d));
    EXPECT_EQ(d.width, 40);
    EXPECT_EQ(d.height, 30);
    EXPECT_EQ(d.loopCount, 0);  // forever
    ASSERT_EQ(d.frames.size(), 4u);
    EXPECT_EQ(d.delays, (std::vector<int>{3, 3, 4, 3}));
    EXPECT_TRUE(SameRgb(d.frames[0], a));
    EXPECT_TRUE(SameRgb(d.frames[1], b));
    EXPECT_TRUE(SameRgb(d.frames[2], b));
    EXPECT_TRUE(SameRgb(d.frames[3], a));
}

TEST(GifEncoding, AFrameOfManyColoursIsReducedAndAWrongSizeFails) {
    RgbaImage many = White(32, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            Put(&many, x, y, (unsigned char)(x * 8), (unsigned char)(y * 8), 77);
    GifAnimationEncoder gif;
    std::string bytes, error;
    ASSERT_TRUE(gif.Begin(32, 32, &error));
    ASSERT_TRUE(gif.AddFrame(many, 10, &error)) << error;
    ASSERT_TRUE(gif.Finish(&bytes, &error)) << error;
    DecodedGif d;
    ASSERT_TRUE(DecodeGif(bytes, &d));
    ASSERT_EQ(d.frames.size(), 1u);
    // Median cut (on 5-bit channels) keeps every pixel near its colour
    for (int y = 0; y < 32; y += 7)
        for (int x = 0; x < 32; x += 5) {
            EXPECT_NEAR(d.frames[0].Pixel(x, y)[0], x * 8, 40);
            EXPECT_NEAR(d.frames[0].Pixel(x, y)[1], y * 8, 40);
        }

    ASSERT_TRUE(gif.Begin(32, 32, &error));
    EXPECT_FALSE(gif.AddFrame(White(16, 16), 10, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(gif.Begin(0, 10, &error));
}

// The export formats, read back with libgif, libwebp's decoder and libpng

namespace {

// A frame of 24 x 16 with a gray bar at row y from column y on, partly see-through when
// transparent
RgbaImage Bar(int y, bool transparent) {
    RgbaImage im = White(24, 16);
    for (int x = y; x < 24; x++) {
        Put(&im, x, y, 128, 128, 128, 255);
        Put(&im, x, y + 1, 128, 128, 128, transparent ? 100 : 255);
    }
    if (transparent)
        for (int x = 0; x < 24; x++) Put(&im, x, 12, 255, 255, 255, 0);
    return im;
}

// Same where either shows anything: alpha, and colour where it is not wholly transparent
bool SameShown(const RgbaImage& a, const RgbaImage& b, bool alpha) {
    if (a.width != b.width || a.height != b.height) return false;
    for (int y = 0; y < a.height; y++)
        for (int x = 0; x < a.width; x++) {
            const unsigned char *p = a.Pixel(x, y), *q = b.Pixel(x, y);
            if (alpha && p[3] != q[3]) return false;
            if ((!alpha || p[3] > 0) && memcmp(p, q, 3) != 0) return false;
        }
    return true;
}

}  // namespace

TEST(ExportFormats, EveryAnimationShowsItsFramesForTheirTimesAndRepeatsAsAsked) {
    const struct {
        const char* extension;
        bool transparent;
        LoopMode loop;
        int plays;                 // as the file says: 0 forever
        std::vector<int> shownMs;  // what the reader makes of the timings below
    } cases[] = {
        {".gif", false, LoopMode::forever, 0, {30, 40, 30, 950}},  // hundredths, spread
        {".gif", false, LoopMode::once, -1, {30, 40, 30, 950}},    // no loop extension
        {".webp", false, LoopMode::pingPong, 0, {33, 33, 34, 950}},
        {".webp", true, LoopMode::once, 1, {33, 33, 34, 950}},
        {".apng", false, LoopMode::forever, 0, {33, 33, 34, 950}},
        {".apng", true, LoopMode::once, 1, {33, 33, 34, 950}},
    };
    // Milliseconds, and hundredths as the caller spread them
    const FrameTiming timings[] = {{33, 3}, {33, 4}, {34, 3}, {950, 95}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + (c.transparent ? " transparent" : ""));
        std::vector<RgbaImage> frames = {Bar(2, c.transparent), Bar(9, c.transparent),
                                         Bar(4, c.transparent), Bar(9, c.transparent)};
        const ExportFormat* format = FindExportFormat(std::string("x") + c.extension);
        ASSERT_TRUE(format && format->animated);
        AnimationHeader header;
        header.width = 24;
        header.height = 16;
        header.frames = 4;
        header.loop = c.loop;
        header.transparent = c.transparent;
        std::string error;
        EncodedOutput out, again;
        for (EncodedOutput* o : {&out, &again}) {
            std::unique_ptr<AnimationEncoder> encoder = format->newAnimation();
            ASSERT_TRUE(encoder->Begin(header, &error)) << error;
            for (int k = 0; k < 4; k++)
                ASSERT_TRUE(encoder->AddFrame(frames[(size_t)k], timings[k], &error)) << error;
            ASSERT_TRUE(encoder->Finish(o, &error)) << error;
        }
        EXPECT_TRUE(out.bytes == again.bytes);  // the same bytes every time

        DecodedAnimation d;
        if (strcmp(c.extension, ".gif") == 0) {
            DecodedGif gif;
            ASSERT_TRUE(DecodeGif(out.bytes, &gif));
            d.width = gif.width;
            d.frames = gif.frames;
            for (int delay : gif.delays) d.durationsMs.push_back(delay * 10);
            d.plays = gif.loopCount;
        } else if (strcmp(c.extension, ".webp") == 0) {
            ASSERT_TRUE(DecodeWebp(out.bytes, &d));
        } else {
            ASSERT_TRUE(DecodeApng(out.bytes, &d));
        }
        EXPECT_EQ(d.width, 24);
        EXPECT_EQ(d.plays, c.plays);
        EXPECT_EQ(d.durationsMs, c.shownMs);
        ASSERT_EQ(d.frames.size(), 4u);
        for (size_t k = 0; k < 4; k++)
            EXPECT_TRUE(SameShown(d.frames[k], frames[k], c.transparent)) << "frame " << k;
    }
    // What a format cannot keep is refused, with a message
    AnimationHeader clear;
    clear.width = clear.height = clear.frames = 4;
    clear.transparent = true;
    for (const char* name : {"a.gif", "a.mp4", "a.webm"}) {
        std::string error;
        EXPECT_FALSE(FindExportFormat(name)->alpha);
        EXPECT_FALSE(FindExportFormat(name)->newAnimation()->Begin(clear, &error)) << name;
        EXPECT_NE(error.find("transparent"), std::string::npos) << error;
    }
}

TEST(ExportFormats, ASpriteSheetHoldsEveryFrameWhereItsAtlasSaysAndAnSvgItsPaths) {
    AnimationHeader header;
    header.width = 24;
    header.height = 16;
    header.frames = 5;
    header.steps = {{3, 0, 1}, {8, 2, 4}};
    std::unique_ptr<AnimationEncoder> sheet = NewSpriteSheetEncoder();
    std::string error;
    ASSERT_TRUE(sheet->Begin(header, &error)) << error;
    for (int k = 0; k < 5; k++)
        ASSERT_TRUE(sheet->AddFrame(Bar(2 + 2 * k, false), {40, 4}, &error));
    EncodedOutput out;
    ASSERT_TRUE(sheet->Finish(&out, &error)) << error;
    // Five frames of 24 x 16 as near square as whole frames go: 2 columns, 3 rows
    RgbaImage png;
    ASSERT_TRUE(DecodePng(out.bytes, &png));
    EXPECT_EQ(png.width, 48);
    EXPECT_EQ(png.height, 48);
    EXPECT_EQ(png.Pixel(24 + 20, 4)[0], 128);        // frame 1 at (24, 0), its bar at row 4
    EXPECT_EQ(png.Pixel(20, 32 + 10)[0], 128);       // frame 4 at (0, 32), its bar at row 10
    EXPECT_EQ(png.Pixel(24 + 20, 32 + 10)[0], 255);  // no sixth frame
    EXPECT_EQ(out.companionExtension, ".json");
    for (const char* part :
         {"{\"x\": 0, \"y\": 32, \"w\": 24, \"h\": 16, \"duration_ms\": 40}]",
          "{\"pose\": 8, \"from\": 2, \"to\": 4}]", "\"size\": {\"w\": 48, \"h\": 48}"})
        EXPECT_NE(out.companionBytes.find(part), std::string::npos) << out.companionBytes;

    // An SVG: the stroke at its width, then the fill, over a white background that fills
    // the view, which grows sideways to fill a wider picture
    RecordedDrawing drawing;
    const fPoint2 line[3] = {{10, 20}, {30.25f, 40}, {50, 20.5f}},
                  mask[3] = {{0, 0}, {8, 0}, {4, 6}};
    drawing.Stroke(line, 3, false, fColor(0.5f, 0.5f, 0.5f), 2);
    drawing.Fill(mask, 3, fColor(1, 1, 1));
    fRect bounds;
    ASSERT_TRUE(drawing.GetBounds(&bounds));
    EXPECT_EQ(bounds.bottom, 41);  // the stroke reaches half its width past its points
    StillPicture picture;
    picture.width = 200;
    picture.height = 100;
    picture.drawing = &drawing;
    picture.world = fRect(0, 0, 100, 100);
    ASSERT_TRUE(NewSvgEncoder()->Encode(picture, &out, &error)) << error;
    EXPECT_NE(out.bytes.find(
                  "width=\"200\" height=\"100\" viewBox=\"-50 0 200 100\">\n<rect x=\"-50\" "
                  "y=\"0\" width=\"200\" height=\"100\" fill=\"#ffffff\"/>\n<g stroke-linecap="
                  "\"round\" stroke-linejoin=\"round\">\n<path d=\"M10,20 L30.25,40 L50,20.5\" "
                  "fill=\"none\" stroke=\"#808080\" stroke-width=\"2\"/>\n<path d=\"M0,0 L8,0 "
                  "L4,6 Z\" fill=\"#ffffff\"/>\n</g>"),
              std::string::npos)
        << out.bytes;
    picture.transparent = true;
    ASSERT_TRUE(NewSvgEncoder()->Encode(picture, &out, &error));
    EXPECT_EQ(out.bytes.find("<rect"), std::string::npos);
}

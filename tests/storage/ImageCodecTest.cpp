// Pictures encoded into memory, read back with the same libraries
#include <gtest/gtest.h>

#include <string>

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

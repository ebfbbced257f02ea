// Reading back the pictures the program writes, with the same libraries it writes them with:
// a PNG into RGBA pixels; a GIF, an animated WebP and an APNG into their frames as shown.
#pragma once

#include <string>
#include <vector>

#include "ImageCodec.h"

// False when the bytes are not a PNG libpng reads
bool DecodePng(const std::string& bytes, RgbaImage* image);

struct DecodedGif {
    int width = 0, height = 0;
    std::vector<RgbaImage> frames;  // composited, alpha 255
    std::vector<int> delays;        // hundredths of a second
    int loopCount = -1;             // from the looping extension; -1 when there is none
};
bool DecodeGif(const std::string& bytes, DecodedGif* gif);

// An animation's frames as shown (each drawn over the last), what each shows for, and how
// often it plays (0: forever)
struct DecodedAnimation {
    int width = 0, height = 0;
    std::vector<RgbaImage> frames;
    std::vector<int> durationsMs;
    int plays = -1;
};
// libwebp's animation decoder
bool DecodeWebp(const std::string& bytes, DecodedAnimation* out);
// The APNG chunks read here, each frame's image data decoded by libpng as a PNG of its own
bool DecodeApng(const std::string& bytes, DecodedAnimation* out);

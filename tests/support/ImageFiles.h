// Reading back the pictures the program writes, with the same libraries it writes them with:
// a PNG into RGBA pixels, a GIF into its frames as shown (each drawn over the last).
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

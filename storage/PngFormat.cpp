// PNG stills: the picture's pixels, RGB, or RGBA when its background is transparent
#include "ExportFormat.h"

namespace {

class PngEncoder : public PictureEncoder {
public:
    bool Encode(const StillPicture& picture, EncodedOutput* out, std::string* error) override {
        if (!picture.pixels) {
            *error = "a PNG needs the picture's pixels";
            return false;
        }
        *out = EncodedOutput();
        return EncodePng(*picture.pixels, picture.transparent, &out->bytes, error);
    }
};

}  // namespace

std::unique_ptr<PictureEncoder> NewPngEncoder() { return std::make_unique<PngEncoder>(); }

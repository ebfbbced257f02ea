// GIF animations: frame delays in hundredths of a second as the caller spread them over the
// frames; loops forever (ping-pong too, whose frames go there and back) or plays once. A GIF
// has no partial transparency, so it is always opaque.
#include "ExportFormat.h"

namespace {

class GifEncoder : public AnimationEncoder {
public:
    bool Begin(const AnimationHeader& header, std::string* error) override {
        if (header.transparent) {
            *error = "a GIF cannot keep a transparent background; choose WebP, APNG or PNG";
            return false;
        }
        return gif.Begin(header.width, header.height, header.loop != LoopMode::once, error);
    }
    bool AddFrame(const RgbaImage& frame, const FrameTiming& t, std::string* error) override {
        return gif.AddFrame(frame, t.centiseconds, error);
    }
    bool Finish(EncodedOutput* out, std::string* error) override {
        *out = EncodedOutput();
        return gif.Finish(&out->bytes, error);
    }

private:
    GifAnimationEncoder gif;
};

}  // namespace

std::unique_ptr<AnimationEncoder> NewGifEncoder() { return std::make_unique<GifEncoder>(); }

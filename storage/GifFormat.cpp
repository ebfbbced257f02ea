// GIF animations: frame delays in hundredths of a second with the rounding spread over the
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
        shownMs = 0;
        return gif.Begin(header.width, header.height, error, header.loop != LoopMode::once);
    }
    bool AddFrame(const RgbaImage& frame, int durationMs, std::string* error) override {
        int delay = TicksOfFrame(shownMs, durationMs, 100);
        shownMs += durationMs;
        return gif.AddFrame(frame, delay, error);
    }
    bool Finish(EncodedOutput* out, std::string* error) override {
        *out = EncodedOutput();
        return gif.Finish(&out->bytes, error);
    }

private:
    GifAnimationEncoder gif;
    long long shownMs = 0;
};

}  // namespace

std::unique_ptr<AnimationEncoder> NewGifEncoder() { return std::make_unique<GifEncoder>(); }

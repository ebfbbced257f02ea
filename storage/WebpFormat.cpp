// WebP animations through libwebp's animation encoder: lossless frames (the lines' smooth
// edges stay exact), each stored as the rectangle that changed; exact millisecond
// durations; loops forever (ping-pong too, whose frames go there and back) or plays once.
#include <webp/encode.h>
#include <webp/mux.h>

#include "ExportFormat.h"

namespace {

class WebpEncoder : public AnimationEncoder {
public:
    ~WebpEncoder() override { Abandon(); }

    bool Begin(const AnimationHeader& h, std::string* error) override {
        Abandon();
        if (h.width > WEBP_MAX_DIMENSION || h.height > WEBP_MAX_DIMENSION) {
            *error = "a WebP is at most 16383 pixels wide and high";
            return false;
        }
        WebPAnimEncoderOptions options;
        if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) {
            *error = "the WebP library does not match the one Velko was built with";
            return false;
        }
        options.anim_params.loop_count = h.loop == LoopMode::once ? 1 : 0;
        // Shown under the first frame's transparent parts: white, or nothing
        options.anim_params.bgcolor = h.transparent ? 0x00ffffffu : 0xffffffffu;
        config.lossless = 1;
        config.quality = 50;  // effort, for lossless
        config.method = 2;
        config.exact = h.transparent ? 0 : 1;
        encoder = WebPAnimEncoderNew(h.width, h.height, &options);
        if (!encoder) {
            *error = "the WebP encoder could not start (out of memory)";
            return false;
        }
        header = h;
        timestampMs = 0;
        return true;
    }

    bool AddFrame(const RgbaImage& frame, const FrameTiming& t, std::string* error) override {
        WebPPicture picture;
        if (!WebPPictureInit(&picture)) return Fail("the WebP library failed", error);
        picture.use_argb = 1;
        picture.width = frame.width;
        picture.height = frame.height;
        bool ok = header.transparent
                      ? WebPPictureImportRGBA(&picture, frame.pixels.data(), frame.width * 4)
                      : WebPPictureImportRGBX(&picture, frame.pixels.data(), frame.width * 4);
        ok = ok && WebPAnimEncoderAdd(encoder, &picture, (int)timestampMs, &config);
        WebPPictureFree(&picture);
        if (!ok) return Fail("the WebP encoder failed", error);
        timestampMs += t.durationMs;
        return true;
    }

    bool Finish(EncodedOutput* out, std::string* error) override {
        WebPData data;
        WebPDataInit(&data);
        // The closing call gives the last frame its duration
        bool ok = WebPAnimEncoderAdd(encoder, nullptr, (int)timestampMs, nullptr) &&
                  WebPAnimEncoderAssemble(encoder, &data);
        if (!ok) return Fail("the WebP encoder failed", error);
        *out = EncodedOutput();
        out->bytes.assign(reinterpret_cast<const char*>(data.bytes), data.size);
        WebPDataClear(&data);
        Abandon();
        return true;
    }

private:
    bool Fail(const char* what, std::string* error) {
        const char* why = encoder ? WebPAnimEncoderGetError(encoder) : nullptr;
        *error = std::string(what) + (why && *why ? std::string(": ") + why : "");
        Abandon();
        return false;
    }
    void Abandon() {
        if (encoder) WebPAnimEncoderDelete(encoder);
        encoder = nullptr;
    }

    WebPAnimEncoder* encoder = nullptr;
    WebPConfig config;
    AnimationHeader header;
    long long timestampMs = 0;
};

}  // namespace

std::unique_ptr<AnimationEncoder> NewWebpEncoder() { return std::make_unique<WebpEncoder>(); }

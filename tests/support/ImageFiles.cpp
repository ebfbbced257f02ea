#include "ImageFiles.h"

#include <gif_lib.h>
#include <png.h>
#include <webp/demux.h>
#include <zlib.h>

#include <cstring>

bool DecodePng(const std::string& bytes, RgbaImage* image) {
    png_image png;
    memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) return false;
    png.format = PNG_FORMAT_RGBA;
    image->Resize((int)png.width, (int)png.height);
    bool ok = png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

namespace {
struct Cursor {
    const std::string* bytes;
    size_t at;
};
int ReadGif(GifFileType* gif, GifByteType* out, int n) {
    Cursor* c = static_cast<Cursor*>(gif->UserData);
    size_t left = c->bytes->size() - c->at;
    size_t take = (size_t)n < left ? (size_t)n : left;
    memcpy(out, c->bytes->data() + c->at, take);
    c->at += take;
    return (int)take;
}
}  // namespace

bool DecodeGif(const std::string& bytes, DecodedGif* out) {
    Cursor cursor{&bytes, 0};
    int err = 0;
    GifFileType* gif = DGifOpen(&cursor, ReadGif, &err);
    if (!gif) return false;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &err);
        return false;
    }
    out->width = gif->SWidth;
    out->height = gif->SHeight;
    RgbaImage canvas;
    canvas.Resize(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; i++) {
        SavedImage& s = gif->SavedImages[i];
        ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
        GraphicsControlBlock gcb;
        bool timed = DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK;
        int transparent = timed ? gcb.TransparentColor : NO_TRANSPARENT_COLOR;
        for (int y = 0; y < s.ImageDesc.Height; y++)
            for (int x = 0; x < s.ImageDesc.Width; x++) {
                int index = s.RasterBits[y * s.ImageDesc.Width + x];
                if (index == transparent) continue;  // the frame below shows through
                GifColorType c = map->Colors[index];
                unsigned char* p = const_cast<unsigned char*>(
                    canvas.Pixel(s.ImageDesc.Left + x, s.ImageDesc.Top + y));
                p[0] = c.Red, p[1] = c.Green, p[2] = c.Blue, p[3] = 255;
            }
        out->frames.push_back(canvas);
        out->delays.push_back(timed ? gcb.DelayTime : -1);
        for (int e = 0; e + 1 < s.ExtensionBlockCount; e++) {
            ExtensionBlock& b = s.ExtensionBlocks[e];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                !memcmp(b.Bytes, "NETSCAPE2.0", 11) && s.ExtensionBlocks[e + 1].ByteCount == 3)
                out->loopCount =
                    s.ExtensionBlocks[e + 1].Bytes[1] | s.ExtensionBlocks[e + 1].Bytes[2] << 8;
        }
    }
    DGifCloseFile(gif, &err);
    return true;
}

bool DecodeWebp(const std::string& bytes, DecodedAnimation* out) {
    WebPData data = {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return false;
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) return false;
    WebPAnimInfo info;
    bool ok = WebPAnimDecoderGetInfo(decoder, &info);
    if (ok) {
        out->width = (int)info.canvas_width;
        out->height = (int)info.canvas_height;
        out->plays = (int)info.loop_count;
    }
    int before = 0;
    while (ok && WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* pixels = nullptr;
        int timestamp = 0;  // when the frame ends
        ok = WebPAnimDecoderGetNext(decoder, &pixels, &timestamp);
        if (!ok) break;
        RgbaImage frame;
        frame.Resize(out->width, out->height);
        memcpy(frame.pixels.data(), pixels, frame.pixels.size());
        out->frames.push_back(frame);
        out->durationsMs.push_back(timestamp - before);
        before = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return ok;
}

namespace {
uint32_t Big32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; i++) v = v << 8 | (unsigned char)s[at + i];
    return v;
}
std::string Big32(uint32_t v) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) s += (char)(v >> shift);
    return s;
}
std::string Chunk(const char* type, const std::string& data) {
    std::string body = std::string(type, 4) + data;
    return Big32((uint32_t)data.size()) + body +
           Big32(
               (uint32_t)crc32(0, reinterpret_cast<const Bytef*>(body.data()), (uInt)body.size()));
}
}  // namespace

bool DecodeApng(const std::string& bytes, DecodedAnimation* out) {
    const std::string signature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.compare(0, 8, signature) != 0) return false;
    std::string ihdr, data, frameHeader;  // frameHeader: the frame's fcTL
    RgbaImage canvas;
    // Decodes the frame gathered so far as a PNG of its own and draws it on the canvas: in
    // place of what is there, or over it (only its clear pixels let that through)
    auto flush = [&]() {
        if (data.empty()) return true;
        RgbaImage part;
        if (!DecodePng(signature + Chunk("IHDR", frameHeader.substr(4, 8) + ihdr.substr(8)) +
                           Chunk("IDAT", data) + Chunk("IEND", ""),
                       &part))
            return false;
        int x0 = (int)Big32(frameHeader, 12), y0 = (int)Big32(frameHeader, 16);
        for (int y = 0; y < part.height; y++)
            for (int x = 0; x < part.width; x++)
                if (frameHeader[25] != 1 || part.Pixel(x, y)[3] > 0)
                    memcpy(const_cast<unsigned char*>(canvas.Pixel(x0 + x, y0 + y)),
                           part.Pixel(x, y), 4);
        out->frames.push_back(canvas);
        data.clear();
        return true;
    };
    for (size_t at = 8; at + 12 <= bytes.size();) {
        uint32_t length = Big32(bytes, at);
        if (at + 12 + length > bytes.size()) return false;
        std::string type = bytes.substr(at + 4, 4), chunk = bytes.substr(at + 8, length);
        at += 12 + length;
        if (type == "IHDR") {
            ihdr = chunk;
            out->width = (int)Big32(chunk, 0);
            out->height = (int)Big32(chunk, 4);
            canvas.Resize(out->width, out->height);
        } else if (type == "acTL") {
            out->plays = (int)Big32(chunk, 4);
        } else if (type == "fcTL") {
            if (!flush()) return false;
            frameHeader = chunk;
            int num = (unsigned char)chunk[20] << 8 | (unsigned char)chunk[21];
            int den = (unsigned char)chunk[22] << 8 | (unsigned char)chunk[23];
            out->durationsMs.push_back(num * 1000 / (den ? den : 100));
        } else if (type == "IDAT" || type == "fdAT") {
            data += chunk.substr(type == "fdAT" ? 4 : 0);
        } else if (type == "IEND") {
            return flush();
        }
    }
    return false;
}

#include "ImageFiles.h"

#include <gif_lib.h>
#include <png.h>

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

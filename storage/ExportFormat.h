// ExportFormat: the kinds of file pictures and animations are exported as, each in a file of
// its own behind the two small interfaces here; the extension of the output's name picks the
// format. Encoders work in memory: the caller writes the bytes (atomically), so a failed
// export leaves no file. Every encoder gives the same bytes for the same input, except the
// videos, which another program encodes.
//
//   stills:      .png (PngFormat), .svg (SvgFormat, from the drawing's paths)
//   animations:  .gif (GifFormat), .webp (WebpFormat), .apng (ApngFormat),
//                .mp4 and .webm (Mp4Format, WebmFormat, through the ffmpeg program)
//   sprite sheets: a .png of every frame in a grid and a .json atlas (SpriteSheetFormat),
//                chosen by the command, not by the extension
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ImageCodec.h"
#include "RecordedDrawing.h"
#include "fRect.h"

// How an animation repeats. A ping-pong animation's frames already go there and back, so
// it repeats like forever.
enum class LoopMode { forever, once, pingPong };

// The stretch of frames of one step of an animation: the move into a pose and its hold
struct AnimationStep {
    int pose = 0;  // the pose slot, 1 to 8
    int from = 0;  // first frame
    int to = 0;    // last frame, included
};

// How long a frame is shown: in whole milliseconds, and in the hundredths of a second a GIF
// counts in. The caller spreads the rounding over the frames, so each unit adds up to the
// animation's length.
struct FrameTiming {
    int durationMs = 0;  // at least 1
    int centiseconds = 0;
};

// What an animation is, known before its first frame
struct AnimationHeader {
    int width = 0, height = 0;  // pixels of every frame
    int frames = 0;             // how many frames will be added
    int fps = 25;               // frames a second it was made at
    LoopMode loop = LoopMode::forever;
    bool transparent = false;  // frames carry alpha worth keeping
    std::vector<AnimationStep> steps;
};

// The bytes of the file named by the person, and of a file beside it (the sprite sheet's
// atlas), named like the output with companionExtension in place of its extension
struct EncodedOutput {
    std::string bytes;
    std::string companionExtension;  // "" when there is none
    std::string companionBytes;
};

// An animation encoded frame by frame
class AnimationEncoder {
public:
    virtual ~AnimationEncoder() = default;
    // False with *error (a message for the person) when the format cannot hold this
    virtual bool Begin(const AnimationHeader& header, std::string* error) = 0;
    // A frame of the header's size, shown as long as timing says
    virtual bool AddFrame(const RgbaImage& frame, const FrameTiming& timing,
                          std::string* error) = 0;
    virtual bool Finish(EncodedOutput* out, std::string* error) = 0;
};

// One picture: its pixels, and for a vector format the paths it was drawn from
struct StillPicture {
    int width = 0, height = 0;  // pixels
    bool transparent = false;
    const RgbaImage* pixels = nullptr;
    const RecordedDrawing* drawing = nullptr;  // world units
    fRect world;  // the world rectangle shown, scaled uniformly to fit and centred
};

class PictureEncoder {
public:
    virtual ~PictureEncoder() = default;
    virtual bool Encode(const StillPicture& picture, EncodedOutput* out, std::string* error) = 0;
};

struct ExportFormat {
    const char* extension;  // ".gif", lower case
    const char* kind;       // what a file chooser calls such files: "GIF animations"
    bool animated;          // an animation (else a still)
    bool vector;            // a still drawn from paths, not pixels
    bool alpha;             // keeps a transparent background
    std::unique_ptr<AnimationEncoder> (*newAnimation)();  // animations
    std::unique_ptr<PictureEncoder> (*newPicture)();      // stills
};

// Every format, stills first, in the order choosers list them
const std::vector<ExportFormat>& ExportFormats();
// The format the extension of fileName names (any case), or null
const ExportFormat* FindExportFormat(const std::string& fileName);
// The format of the extension (".png"), which must be one of the table's
const ExportFormat& ExportFormatOf(const char* extension);
// The sprite sheet: frames in a grid in one PNG, and a JSON atlas
std::unique_ptr<AnimationEncoder> NewSpriteSheetEncoder();

// Each format's encoder
std::unique_ptr<PictureEncoder> NewPngEncoder();
std::unique_ptr<PictureEncoder> NewSvgEncoder();
std::unique_ptr<AnimationEncoder> NewGifEncoder();
std::unique_ptr<AnimationEncoder> NewWebpEncoder();
std::unique_ptr<AnimationEncoder> NewApngEncoder();
std::unique_ptr<AnimationEncoder> NewMp4Encoder();
std::unique_ptr<AnimationEncoder> NewWebmEncoder();

// A frame's display time in the coarser ticks of a format (ticksPerSecond: the frame rate of
// a video) for a frame shown from startMs for durationMs: the
// ticks up to its rounded end less those up to its rounded start, so the rounding is spread
// over the frames and their ticks add up to the rounded length of the whole
int TicksOfFrame(long long startMs, int durationMs, int ticksPerSecond);

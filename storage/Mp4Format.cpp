// MP4 videos: H.264 (ffmpeg's libx264) in 4:2:0, which needs an even width and height: an
// odd one gets a white column or row more. Tuned for flat drawings.
#include "FfmpegVideo.h"

std::unique_ptr<AnimationEncoder> NewMp4Encoder() {
    return NewFfmpegVideoEncoder(
        ".mp4", "MP4",
        {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2:color=white", "-c:v", "libx264", "-preset", "medium",
         "-tune", "animation", "-crf", "23", "-pix_fmt", "yuv420p", "-movflags", "+faststart"});
}

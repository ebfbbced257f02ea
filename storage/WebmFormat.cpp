// WebM videos: VP9 (ffmpeg's libvpx-vp9) in 4:2:0 at constant quality, at the encoder's
// "good" speed 4 with rows in parallel
#include "FfmpegVideo.h"

std::unique_ptr<AnimationEncoder> NewWebmEncoder() {
    return NewFfmpegVideoEncoder(".webm", "WebM",
                                 {"-c:v", "libvpx-vp9", "-b:v", "0", "-crf", "33", "-deadline",
                                  "good", "-cpu-used", "4", "-row-mt", "1", "-pix_fmt", "yuv420p"});
}

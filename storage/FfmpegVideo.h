// FfmpegVideo: videos encoded by the ffmpeg program, found on PATH when the export runs. Raw
// RGB frames are piped to it at the animation's frame rate (a frame shown longer is sent
// again), and it writes the file into a private temporary folder, from which the bytes are
// read back and the folder removed. No codec library is linked into Velko. Videos have no
// transparency and no loop setting; a ping-pong animation's frames go there and back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ExportFormat.h"

// An encoder writing name videos (".mp4") with ffmpeg's output arguments codecArguments
std::unique_ptr<AnimationEncoder> NewFfmpegVideoEncoder(
    const std::string& extension, const std::string& name,
    const std::vector<std::string>& codecArguments);
// The ffmpeg program is on PATH
bool IsFfmpegInstalled();

// The table of export formats and what they share
#include <string.h>
#include <strings.h>

#include "ExportFormat.h"
#include "VelkoAssert.h"

const std::vector<ExportFormat>& ExportFormats() {
    static const std::vector<ExportFormat> formats = {
        {".png", "PNG pictures", false, false, true, nullptr, NewPngEncoder},
        {".svg", "SVG drawings", false, true, true, nullptr, NewSvgEncoder},
        {".gif", "GIF animations", true, false, false, NewGifEncoder, nullptr},
        {".webp", "WebP animations", true, false, true, NewWebpEncoder, nullptr},
        {".apng", "APNG animations", true, false, true, NewApngEncoder, nullptr},
        {".mp4", "MP4 videos (H.264)", true, false, false, NewMp4Encoder, nullptr},
        {".webm", "WebM videos (VP9)", true, false, false, NewWebmEncoder, nullptr},
    };
    return formats;
}

const ExportFormat* FindExportFormat(const std::string& fileName) {
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot == 0 || fileName.find('/', dot) != std::string::npos)
        return nullptr;
    // A name that is only an extension (".png") names no format
    if (fileName[dot - 1] == '/') return nullptr;
    for (const ExportFormat& f : ExportFormats())
        if (strcasecmp(fileName.c_str() + dot, f.extension) == 0) return &f;
    return nullptr;
}

const ExportFormat& ExportFormatOf(const char* extension) {
    for (const ExportFormat& f : ExportFormats())
        if (strcmp(f.extension, extension) == 0) return f;
    VELKO_ASSERT_TEXT(false, "a format of the table");
    return ExportFormats().front();
}

int TicksOfFrame(long long startMs, int durationMs, int ticksPerSecond) {
    auto rounded = [ticksPerSecond](long long ms) { return (ms * ticksPerSecond + 500) / 1000; };
    return (int)(rounded(startMs + durationMs) - rounded(startMs));
}

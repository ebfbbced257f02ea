// velko-desktop-icon: writes the program's desktop icon, drawn from its built-in "heart",
// as an SVG and a 256 x 256 PNG. Run by the build; its files are installed with the program.
//
// Usage: velko-desktop-icon ICON.svg ICON.png

#include <cstdio>

#include "DesktopIcon.h"
#include "DocumentFile.h"
#include "VelkoIcons.h"

namespace {
const int kPngSize = 256;
// The SVG's own size; it scales to any
const int kSvgSize = 256;
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "Usage: velko-desktop-icon ICON.svg ICON.png\n");
        return 2;
    }
    RgbaImage image;
    DrawDesktopIcon(heart, kPngSize, &image);
    std::string png, error;
    if (!EncodePng(image, true, &png, &error) ||
        !WriteFileAtomically(argv[1], DesktopIconSvg(heart, kSvgSize), &error) ||
        !WriteFileAtomically(argv[2], png, &error)) {
        fprintf(stderr, "velko-desktop-icon: %s\n", error.c_str());
        return 2;
    }
    return 0;
}

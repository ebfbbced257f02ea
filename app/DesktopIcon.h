// DesktopIcon: the program's icon for desktop menus and file managers, drawn from one of
// its own built-in icons: the icon's strokes in black, with round ends, on a white tile with
// rounded corners and a gray rim. The drawing comes as SVG text and as an anti-aliased RGBA
// picture from the same geometry, so the two never disagree.
//
// Sizes are pixels of a square; icon space is the unit square of the built-in icons (x
// right, y down), a point stream of (x, y) pairs where (-1, -1) starts a stroke and
// (-2, -2) ends the icon.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "ImageCodec.h"

// The SVG document of the icon on a size x size square
std::string DesktopIconSvg(const float* iconData, int size);
// The same drawing as a size x size picture, transparent outside the tile
void DrawDesktopIcon(const float* iconData, int size, RgbaImage* out);
// The same drawing at each size, laid out as a window's _NET_WM_ICON property: for each
// size its width, its height, then its pixels row by row as 0xAARRGGBB
std::vector<unsigned long> WindowIconData(const float* iconData, std::initializer_list<int> sizes);

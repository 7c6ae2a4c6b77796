// Image sheets for the graph loading and drawing tests of both paths: PNG (with alpha) and BMP
// (24-bit) files of a given picture, and a picture of distinct colours cut into cells.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/lib/image_file_fixtures.h"

// pixel(x, y) gives 0xAARRGGBB.
using SheetPixel = std::function<uint32_t(int x, int y)>;

// An 8-bit RGBA PNG of the picture.
ByteString MakePngSheet(int width, int height, const SheetPixel& pixel);
// A 24-bit BMP of the picture (alpha left out).
ByteString MakeBmpSheet(int width, int height, const SheetPixel& pixel);

// A distinct opaque colour for every pixel of a sheet up to 256 x 256 that is never the colour
// key (255, 0, 255).
uint32_t SheetColour(int x, int y);

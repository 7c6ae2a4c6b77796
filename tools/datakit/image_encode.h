// Canvases into the kit's image files: 24-bit BMP with the exact key colour (255, 0, 255) for
// transparency and hard edges, or 8-bit RGBA PNG with straight alpha.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datakit/kit_manifest.h"
#include "tools/datakit/raster.h"

// One pixel as the files keep it: alpha 0 is transparent (the key in a BMP), and no visible
// pixel is exactly the key colour. hardEdge: a pixel is either shown whole or not at all.
void ResolvePixel(const float* premultiplied, Surface surface, bool hardEdge, uint8_t rgba[4]);

std::vector<uint8_t> EncodeBmp(const Canvas& canvas, Surface surface);
std::vector<uint8_t> EncodePng(const Canvas& canvas, Surface surface);
// By the extension of the path (".bmp" or ".png", any case).
std::vector<uint8_t> EncodeImage(const char* path, const Canvas& canvas, Surface surface);
bool IsBmpPath(const char* path);

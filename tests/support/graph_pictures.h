// Pictures and graphs for the graph tests of both paths: patterned and DXT pictures, new graphs
// of the current path, and what a software graph holds.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/graph_image.h"

// Graphics marked running on a 640 x 480 x 32 screen, the back buffer as draw target, and the
// draw settings graph creation reads at their start values with the colour key (255, 0, 255).
// The path (HardwareRendering) is the caller's.
void ResetGraphTestState();

// A 32-bit ARGB picture, pixel (x, y) = colour(x, y); freed with the object.
struct TestPicture {
  TestPicture(int width, int height, const std::function<uint32_t(int, int)>& colour);
  ~TestPicture() { FreeGraphImage(&image); }
  TestPicture(const TestPicture&) = delete;
  TestPicture& operator=(const TestPicture&) = delete;
  GraphImage image = {};
};

// A DXT picture (kind 1, 3 or 5) of solid opaque blocks: block (bx, by) of level `level` has
// the 5-6-5 colour colour(level, bx, by) (never 0). levels counts the top level; the levels
// follow each other in whole blocks, as the DDS loader stores them.
GraphImage MakeDxtPicture(int kind, int width, int height, int levels,
                          const std::function<uint16_t(int, int, int)>& colour);
// A 5-6-5 colour widened to A8R8G8B8 as the DXT expansion does (opaque).
uint32_t Expand565(uint16_t c);

// A distinct opaque colour per pixel.
uint32_t PatternColour(int x, int y);

// A new graph of the current path with storage of width x height (-1 when refused).
int NewGraph(int width, int height, int hasAlpha = 0);
// The graph's pixel (x, y) as A8R8G8B8 (alpha 255 without an alpha channel), read from its
// memory image.
uint32_t SoftGraphPixel(int handle, int x, int y);
// Uploads the whole picture into the graph at (0, 0) without colour key.
int UploadWhole(int handle, const GraphImage& image);

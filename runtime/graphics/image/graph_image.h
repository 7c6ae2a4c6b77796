// Images in main memory: what the image loaders produce, graph creation and the software
// renderer consume, and the image writers read.
#pragma once

#include <cstdint>

#include "runtime/graphics/image/pixel_format.h"

// A plain record. Pixels come from the tracked heap and belong to the record; copying the
// record moves that ownership. FreeGraphImage releases it.
struct GraphImage {
  PixelFormat Format;
  int32_t Width;
  int32_t Height;
  int32_t Pitch;    // bytes from one row to the next; 0 for block-compressed data
  uint8_t* Pixels;  // rows top to bottom
  int32_t MipLevels;  // levels stored in Pixels, the top level included (0 too means one);
                      // only DDS files bring more
};

// Block-compressed (DXT) data are stored in whole 4 x 4 blocks of 8 bytes (DXT1) or 16 (DXT2
// to DXT5): a side that is not a multiple of 4 still takes a last, partly used block, so a
// level of w x h pixels holds ceil(w / 4) x ceil(h / 4) blocks, in rows of blocks from the top.
// Mip level i has the sides max(1, side >> i) and follows the level before it. Every count of
// block bytes (loading, expansion, texture upload) is taken from these; 0 for a
// blockCompression that is not 1 to 5 or an empty size.
int64_t BlockCompressedRowBytes(uint32_t blockCompression, int width);
int64_t BlockCompressedLevelBytes(uint32_t blockCompression, int width, int height, int level);
// All `levels` levels from the top one (0 counts as 1, as MipLevels does).
int64_t BlockCompressedDataBytes(uint32_t blockCompression, int width, int height, int levels);

// Allocates width x height pixels of the model's format (pitch rounded up to 4 bytes); the
// pixels are not cleared. -1, with out->Pixels null, for a size that cannot be held or when
// memory runs out.
int CreateGraphImageLike(int width, int height, const GraphImage* model, GraphImage* out);
int CreateArgbGraphImage(int width, int height, GraphImage* out);
int CreateXrgbGraphImage(int width, int height, GraphImage* out);
// Frees the pixels (if any) and zeroes the record.
int FreeGraphImage(GraphImage* image);

// Pixel (x, y) as A8R8G8B8 with each channel at the top of its byte (5-bit 31 gives 248);
// 0 when there are no pixels. No bounds check: the caller keeps (x, y) inside.
uint32_t GetGraphImagePixelArgb(const GraphImage* image, int x, int y);
// 8-bit channels of pixel (x, y). -1 outside the image (outputs untouched) or when block data
// cannot be expanded.
int GetGraphImagePixel(GraphImage* image, int x, int y, int* r, int* g, int* b, int* a);
int SetGraphImagePixel(GraphImage* image, int x, int y, int r, int g, int b, int a);

// Zeroes the rectangle's bytes, clipped to the image.
int ClearGraphImageRect(GraphImage* image, int x, int y, int width, int height);
// Mirrors every row left to right in place; -1 for an empty image.
int MirrorGraphImage(GraphImage* image);
// Turns the image half a turn in place; -1 for block data.
int RotateGraphImageHalfTurn(GraphImage* image);

// Copies a rectangle between images of any formats, clipped to both.
int CopyGraphImageRect(int srcX, int srcY, int width, int height, int dstX, int dstY,
                       GraphImage* src, GraphImage* dst);
// Copies the source rectangle into the destination rectangle, scaled by nearest pixel or, with
// bilinear 1, by weighing four neighbours. Corners are (x1, y1) inclusive, (x2, y2) exclusive.
int ScaleGraphImageRect(int sx1, int sy1, int sx2, int sy2, GraphImage* src, int dx1, int dy1,
                        int dx2, int dy2, GraphImage* dst, int bilinear);
// One output pixel per 2 x 2 source pixels (2 x 1 or 1 x 2 where a side is 1), averaged per
// channel; 16- and 32-bit formats only (others return 0 untouched). -1 for an odd side above 1.
int HalveGraphImagePixels(const PixelFormat* format, void* dst, int dstPitch, const void* src,
                          int srcPitch, int dstX, int dstY, int srcX, int srcY, int srcWidth,
                          int srcHeight);

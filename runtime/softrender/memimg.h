// Memory images of the software renderer: a view record (MEMIMG) into a shared,
// reference-counted body (MemImgBody) that owns the pixels, the format, the transparent
// colour, the palette and the work buffers; and the renderer's entry points on them.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct PixelFormat;
struct GraphImage;

// Colour types of a memory image.
enum MemImgColorType : int32_t {
  Rgb565 = 0,    // u16 5-6-5; with alpha 4 bytes: the u16 colour, alpha, 0
  Xrgb8888 = 1,  // blue, green, red, fourth byte (alpha in an alpha image)
  Single8 = 2,   // one 8-bit channel (blend images)
  Single16 = 3,  // one 16-bit channel
};

constexpr uint32_t MemImgMagic = 0x12345678;

// A transparent index that no palette index equals: a paletted image whose palette has no
// entry for the colour key gets it, so none of its pixels vanish.
constexpr uint32_t NoTransparentIndex = 0xFFFFFFFFu;

// Kinds of the run-length skip table's bytes (bits 7-6; bits 5-0 hold the run length - 1).
enum SkipRunKind : uint8_t {
  SkipRun = 0,     // transparent: stepped over without reading the pixels
  OpaqueRun = 1,   // drawn in the opaque form
  PartialRun = 2,  // drawn in the partial form (alpha images only)
  RowEndRun = 3,   // 0xC0 ends a row
};
constexpr uint8_t SkipTableRowEnd = 0xC0;
constexpr int SkipTableMaxRun = 64;

struct MemImgBody {
  int32_t refCount;              // live views
  int32_t width;                 // full image width in pixels
  int32_t height;                // full image height in pixels
  int32_t pitch;                 // bytes from one row to the next
  int32_t pitchShift;            // n when pitch = 2^n (see CreateMemImg), else -1
  const PixelFormat* format;     // shared descriptor from GetMemImgPixelFormat
  uint32_t transparentColor;     // raw pixel value, or palette index for a paletted image
  int32_t colorType;             // MemImgColorType
  int32_t paletted;              // 1: each pixel is a 1-byte index into palette
  int32_t colorsUsed;            // palette entries in use (set by the transfer)
  int32_t hasAlpha;              // 1: the pixels carry alpha
  int32_t premultipliedValid;    // 1 while premultipliedPixels matches the pixels
  int32_t skipTableValid;        // 1 while skipTable describes the pixels of skipTableView
  int32_t callerOwnsPixels;      // 1: pixels belong to the caller and are not freed here
  uint8_t* palette;              // 256 converted entries (first half of a 2048-byte block)
  uint8_t* paletteCopy;          // palette + 1024: a copy of the converted palette
  uint8_t* pixels;               // pitch x height bytes
  uint8_t* premultipliedPixels;  // the second layer: premultiplied copy of an alpha image, or null
  uint8_t* skipTable;            // (width + 5) x height bytes, or null
  // The view the skip table was built for: its top-left pixel and size. The table describes
  // that view only; a draw from any other view of the body takes the per-pixel path.
  const uint8_t* skipTableView;
  int32_t skipTableWidth;
  int32_t skipTableHeight;
};

struct MEMIMG {
  uint32_t magic;                // MemImgMagic while live, 0 after release
  int32_t width;                 // width of this view in pixels
  int32_t height;                // height of this view in pixels
  uint8_t* pixels;               // the view's top-left pixel in the body's buffer
  uint8_t* premultipliedPixels;  // the same pixel in the premultiplied copy, or null
  MemImgBody* body;              // null when never created or released
};

// --- memory images ---------------------------------------------------------------------

// Creates a live image with a new body. pitch -1 means width x bytes per pixel rounded up to
// 16. workBuffers (the second-layer flag) asks for the skip table and, with alpha, the
// premultiplied copy. A caller buffer of pitch x height bytes is used in place and never freed
// here. New buffers are zeroed. Returns 0, or -1 when the record is already live, a size or
// pitch is refused, or memory runs out (the record is then left not live).
int CreateMemImg(MEMIMG* image, int width, int height, int pitch, uint32_t transparentColor,
                 int colorType, int paletted, int hasAlpha, int workBuffers, void* callerPixels);

// Releases a live record, clears it and creates a screen image: default pitch, transparent
// colour 0, no palette, no alpha, no work buffers. colorType -1 follows the screen depth.
int CreateScreenMemImg(MEMIMG* image, int width, int height, int colorType);

// Makes dst a view of the rectangle (x, y, width, height) of src, sharing its body. A
// rectangle that is empty or not inside src leaves dst untouched; a live dst is released
// first.
void DeriveMemImg(MEMIMG* dst, const MEMIMG* src, int x, int y, int width, int height);

// Drops the view's reference (freeing the body with the last one) and marks it not live.
// A record that is not live is left alone.
void ReleaseMemImg(MEMIMG* image);

// 1 when the record is live, else 0.
int IsMemImgValid(const MEMIMG* image);

// The shared format descriptor of a colour type, or null for a type above 3.
const PixelFormat* GetMemImgPixelFormat(int colorType, int hasAlpha, int paletted);

// Bytes per pixel of a live image (from its format).
int MemImgBytesPerPixel(const MEMIMG* image);

// Stores the raw value into every pixel of the rectangle (null: the whole view) clipped to
// the view. No blending, no brightness, no transparency.
void FillMemImgRect(MEMIMG* image, const RECT* rect, uint32_t value);

// Sets a paletted image's transparent index to the first of its 256 palette entries equal to
// the key (in the image's pixel format; the low 24 bits for Xrgb8888, the low 16 for
// Rgb565), or to NoTransparentIndex when none is. Does nothing for an image without palette.
void SetMemImgTransparentIndex(MEMIMG* image, uint32_t key);

// --- image transfer ----------------------------------------------------------------------

// Writes the image rectangle (srcX, srcY, width, height) into the view at (dstX, dstY),
// clipped to both images, with an optional alpha image of the same size as the image.
// Converts a paletted image's palette; after a transfer of the whole view rebuilds the work
// buffers. Returns a negative value when the conversion fails, else a non-negative value.
int TransferGraphImageToMemImg(const GraphImage* image, const GraphImage* alphaImage, MEMIMG* dst,
                               int srcX, int srcY, int width, int height, int dstX, int dstY,
                               int convertOption);

// Copies the source rectangle (null: the whole source) to (x, y) of the destination, clipped to
// both images. Returns the conversion's result (-1 for a rectangle that clips to nothing).
int CopyMemImgRect(MEMIMG* dst, const MEMIMG* src, const RECT* srcRect, int x, int y);

// Rebuilds the skip table (and the premultiplied copy of an alpha image) for the view's
// current pixels when the body has the buffers; marks them valid for this view. Returns 0, or
// -1 when the body has no skip table or the colour type has none.
int RebuildMemImgWorkBuffers(MEMIMG* image);

// --- blits -------------------------------------------------------------------------------

// Draws src at (x, y) of dst at its own size under the draw state (blend mode, parameter,
// DrawBright, DrawArea) with an optional 8-bit blend image laid over the source. Returns 1
// when it drew, 0 when it drew nothing.
int DrawMemImgPlain(MEMIMG* dst, const MEMIMG* src, int x, int y, int transparent,
                    const MEMIMG* blendImage);

// Draws the whole of src scaled into the rectangle rect (x1, y1, x2, y2; right and bottom
// exclusive once ordered) of dst, under the same draw state as the plain blit. Corners in
// reverse order mirror that axis. Each destination pixel takes one source pixel (no
// filtering). The same size unmirrored is handed to DrawMemImgPlain. Returns 1 when it drew, 0
// when it drew nothing (refused, empty or wholly clipped).
int DrawMemImgStretched(MEMIMG* dst, const MEMIMG* src, const RECT* rect, int transparent,
                        const MEMIMG* blendImage);

// Draws the whole of src turned by angle (radians, clockwise on the screen) and scaled by scale
// about (centreX, centreY) of dst, under the draw state, with the transparent flag and an
// optional 8-bit blend image covering the source. Each pixel of the turned image's box samples
// the nearest texel at its top-left corner; pixels that map outside the source are left alone.
// turn mirrors the image left to right and draws it as a four-corner quad. A scale of 0 or one
// that is not finite draws nothing.
void DrawMemImgRotated(MEMIMG* dst, const MEMIMG* src, int centreX, int centreY, float angle,
                       float scale, int transparent, int turn, const MEMIMG* blendImage);

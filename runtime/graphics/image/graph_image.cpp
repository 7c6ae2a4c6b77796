// GraphImage: creation and release, single pixels, clearing, mirroring, turning and rectangle
// copies.
#include "runtime/graphics/image/graph_image.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/image/pixel_access.h"
#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

// Pitch and size are 32-bit fields: anything larger cannot be described.
constexpr int64_t kMaxImageBytes = 0x7FFFFFFF;

// A channel placed at the top of its byte without filling the low bits (5-bit 31 gives 248).
uint32_t TopOfByte(uint32_t value, uint32_t mask, int shift, int width) {
  if (width == 0) return 0;
  const uint32_t c = (value & mask) >> shift;
  return width <= 8 ? c << (8 - width) : c >> (width - 8);
}

bool ValidPlainImage(const GraphImage* image) {
  return image != nullptr && image->Pixels != nullptr && image->Format.BlockCompression == 0 &&
         image->Format.BytesPerPixel >= 1 && image->Format.BytesPerPixel <= 4;
}

// Block data is expanded before any pixel work; -1 when that is impossible.
int PreparePixels(GraphImage* image) {
  if (image == nullptr || image->Pixels == nullptr) return -1;
  if (image->Format.BlockCompression != 0 && ExpandBlockCompressedImage(image) != 0) return -1;
  return ValidPlainImage(image) ? 0 : -1;
}

void SwapPixels(uint8_t* a, uint8_t* b, int bytes) {
  uint8_t t[4];
  std::memcpy(t, a, bytes);
  std::memcpy(a, b, bytes);
  std::memcpy(b, t, bytes);
}

}  // namespace

int CreateGraphImageLike(int width, int height, const GraphImage* model, GraphImage* out) {
  if (model == nullptr || out == nullptr) return -1;
  const PixelFormat format = model->Format;  // the model may be the output record itself
  std::memset(out, 0, sizeof *out);
  if (width <= 0 || height <= 0 || format.BlockCompression != 0 || format.BytesPerPixel < 1 ||
      format.BytesPerPixel > 4)
    return -1;
  const int64_t pitch = (int64_t{width} * format.BytesPerPixel + 3) & ~int64_t{3};
  if (pitch > kMaxImageBytes || pitch * height > kMaxImageBytes) return -1;
  void* pixels = AllocTracked(static_cast<size_t>(pitch * height), __FILE__, __LINE__);
  if (pixels == nullptr) return -1;
  out->Format = format;
  out->Width = width;
  out->Height = height;
  out->Pitch = static_cast<int32_t>(pitch);
  out->Pixels = static_cast<uint8_t*>(pixels);
  out->MipLevels = 0;
  return 0;
}

int CreateArgbGraphImage(int width, int height, GraphImage* out) {
  GraphImage model{};
  SetupARGB8PixelFormat(&model.Format);
  return CreateGraphImageLike(width, height, &model, out);
}

int CreateXrgbGraphImage(int width, int height, GraphImage* out) {
  GraphImage model{};
  SetupXRGB8PixelFormat(&model.Format);
  return CreateGraphImageLike(width, height, &model, out);
}

int FreeGraphImage(GraphImage* image) {
  if (image == nullptr) return -1;
  FreeTracked(image->Pixels);
  std::memset(image, 0, sizeof *image);
  return 0;
}

uint32_t GetGraphImagePixelArgb(const GraphImage* image, int x, int y) {
  if (!ValidPlainImage(image)) return 0;
  const PixelFormat& f = image->Format;
  const uint8_t* p = PixelAddress(image->Pixels, image->Pitch, x, y, f.BytesPerPixel);
  const uint32_t v = f.BytesPerPixel == 1 ? PaletteWord(&f.Palette[0].Blue, *p)
                                          : ReadPixelValue(p, f.BytesPerPixel);
  uint32_t argb = TopOfByte(v, f.BlueMask, f.BlueShift, f.BlueWidth) |
                  TopOfByte(v, f.GreenMask, f.GreenShift, f.GreenWidth) << 8 |
                  TopOfByte(v, f.RedMask, f.RedShift, f.RedWidth) << 16;
  if (f.AlphaWidth != 0) argb |= TopOfByte(v, f.AlphaMask, f.AlphaShift, f.AlphaWidth) << 24;
  return argb;
}

int GetGraphImagePixel(GraphImage* image, int x, int y, int* r, int* g, int* b, int* a) {
  if (PreparePixels(image) != 0) return -1;
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(image->Width) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(image->Height))
    return -1;
  const PixelFormat& f = image->Format;
  const uint8_t* p = PixelAddress(image->Pixels, image->Pitch, x, y, f.BytesPerPixel);
  int rr, gg, bb, aa;
  if (f.BytesPerPixel == 1) {
    const PaletteEntry& e = f.Palette[*p];
    rr = e.Red;
    gg = e.Green;
    bb = e.Blue;
    aa = e.Alpha;
  } else {
    SplitPixelValue(&f, ReadPixelValue(p, f.BytesPerPixel), &rr, &gg, &bb, &aa);
  }
  if (r != nullptr) *r = rr;
  if (g != nullptr) *g = gg;
  if (b != nullptr) *b = bb;
  if (a != nullptr) *a = aa;
  return 0;
}

int SetGraphImagePixel(GraphImage* image, int x, int y, int r, int g, int b, int a) {
  if (PreparePixels(image) != 0) return -1;
  if (static_cast<unsigned>(x) >= static_cast<unsigned>(image->Width) ||
      static_cast<unsigned>(y) >= static_cast<unsigned>(image->Height))
    return -1;
  const PixelFormat& f = image->Format;
  WritePixelValue(PixelAddress(image->Pixels, image->Pitch, x, y, f.BytesPerPixel), f.BytesPerPixel,
                  MakePixelValue(&f, r, g, b, a));
  return 0;
}

int ClearGraphImageRect(GraphImage* image, int x, int y, int width, int height) {
  if (!ValidPlainImage(image)) return -1;
  // Clipped to the image, so a rectangle that hangs over an edge cannot write past the buffer.
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + width, image->Width);
  const int64_t bottom = std::min<int64_t>(int64_t{y} + height, image->Height);
  if (right <= left || bottom <= top) return 0;
  const int bytes = image->Format.BytesPerPixel;
  for (int64_t row = top; row < bottom; ++row)
    std::memset(PixelAddress(image->Pixels, image->Pitch, static_cast<int>(left),
                             static_cast<int>(row), bytes),
                0, static_cast<size_t>((right - left) * bytes));
  return 0;
}

int MirrorGraphImage(GraphImage* image) {
  if (image == nullptr || image->Width <= 0 || image->Height <= 0) return -1;
  if (PreparePixels(image) != 0) return -1;
  const int bytes = image->Format.BytesPerPixel;
  for (int row = 0; row < image->Height; ++row) {
    uint8_t* left = PixelAddress(image->Pixels, image->Pitch, 0, row, bytes);
    uint8_t* right = PixelAddress(image->Pixels, image->Pitch, image->Width - 1, row, bytes);
    for (; left < right; left += bytes, right -= bytes) SwapPixels(left, right, bytes);
  }
  return 0;
}

int RotateGraphImageHalfTurn(GraphImage* image) {
  if (image == nullptr || image->Format.BlockCompression != 0) return -1;
  if (!ValidPlainImage(image) || image->Width <= 0 || image->Height <= 0) return -1;
  const int bytes = image->Format.BytesPerPixel;
  const int w = image->Width, h = image->Height;
  for (int row = 0; row < h / 2; ++row)
    for (int x = 0; x < w; ++x)
      SwapPixels(PixelAddress(image->Pixels, image->Pitch, x, row, bytes),
                 PixelAddress(image->Pixels, image->Pitch, w - 1 - x, h - 1 - row, bytes), bytes);
  // The middle row of an odd height turns too: it is reversed in place.
  if (h % 2 == 1) {
    uint8_t* left = PixelAddress(image->Pixels, image->Pitch, 0, h / 2, bytes);
    uint8_t* right = PixelAddress(image->Pixels, image->Pitch, w - 1, h / 2, bytes);
    for (; left < right; left += bytes, right -= bytes) SwapPixels(left, right, bytes);
  }
  return 0;
}

int CopyGraphImageRect(int srcX, int srcY, int width, int height, int dstX, int dstY,
                       GraphImage* src, GraphImage* dst) {
  if (PreparePixels(src) != 0 || PreparePixels(dst) != 0) return -1;
  int64_t sx = srcX, sy = srcY, w = width, h = height, dx = dstX, dy = dstY;
  if (sx < 0) {
    w += sx;
    dx -= sx;
    sx = 0;
  }
  if (sy < 0) {
    h += sy;
    dy -= sy;
    sy = 0;
  }
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min(w, dst->Width - dx);
  h = std::min(h, dst->Height - dy);
  w = std::min(w, src->Width - sx);
  h = std::min(h, src->Height - sy);
  if (w <= 0 || h <= 0) return 0;
  const RECT rect{static_cast<LONG>(sx), static_cast<LONG>(sy), static_cast<LONG>(sx + w),
                  static_cast<LONG>(sy + h)};
  const int result = ConvertImagePixels(
      dst->Pixels, dst->Pitch, &dst->Format, src->Pixels, src->Pitch, &src->Format, nullptr, 0,
      nullptr, static_cast<int>(dx), static_cast<int>(dy), &rect, 0, 0, 0, 0, 0, 0, 0, 1);
  return result < 0 ? -1 : 0;
}

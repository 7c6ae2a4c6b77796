// Scaled copies between images and the half-size reduction that builds mip levels.
#include <algorithm>
#include <cstring>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/pixel_access.h"

namespace {

bool RectInside(int x1, int y1, int x2, int y2, const GraphImage* image) {
  return x1 >= 0 && x1 < x2 && x2 <= image->Width && y1 >= 0 && y1 < y2 && y2 <= image->Height &&
         x1 < image->Width && y1 < image->Height;
}

struct Rgba {
  int r, g, b, a;
};

Rgba ReadRgba(GraphImage* image, int x, int y) {
  Rgba c{0, 0, 0, 0};
  GetGraphImagePixel(image, x, y, &c.r, &c.g, &c.b, &c.a);
  return c;
}

}  // namespace

int ScaleGraphImageRect(int sx1, int sy1, int sx2, int sy2, GraphImage* src, int dx1, int dy1,
                        int dx2, int dy2, GraphImage* dst, int bilinear) {
  if (src == nullptr || dst == nullptr) return -1;
  if (!RectInside(sx1, sy1, sx2, sy2, src) || !RectInside(dx1, dy1, dx2, dy2, dst)) return -1;
  const int dw = dx2 - dx1, dh = dy2 - dy1;
  if (sx2 - sx1 == dw && sy2 - sy1 == dh)
    return CopyGraphImageRect(sx1, sy1, dw, dh, dx1, dy1, src, dst);

  // 16.16 fixed point, in 64 bits so that wide images do not overflow the shift.
  const int64_t stepX = (int64_t{sx2 - sx1} << 16) / dw;
  const int64_t stepY = (int64_t{sy2 - sy1} << 16) / dh;
  const int lastX = src->Width - 1, lastY = src->Height - 1;
  int64_t v = int64_t{sy1} << 16;
  for (int i = 0; i < dh; ++i, v += stepY) {
    int64_t u = int64_t{sx1} << 16;
    const int y = static_cast<int>(v >> 16);
    for (int j = 0; j < dw; ++j, u += stepX) {
      const int x = static_cast<int>(u >> 16);
      Rgba out;
      if (bilinear != 1) {
        out = ReadRgba(src, x, y);
      } else {
        const uint32_t fx = static_cast<uint32_t>(u & 0xFFFF);
        const uint32_t fy = static_cast<uint32_t>(v & 0xFFFF);
        // Neighbours past the image's last column or row repeat the edge pixel.
        const int x1 = std::min(x + 1, lastX), y1 = std::min(y + 1, lastY);
        const Rgba c00 = ReadRgba(src, x, y), c10 = ReadRgba(src, x1, y);
        const Rgba c01 = ReadRgba(src, x, y1), c11 = ReadRgba(src, x1, y1);
        const uint32_t w00 = ((0xFFFF - fy) * (0xFFFF - fx)) >> 16;
        const uint32_t w10 = ((0xFFFF - fy) * fx) >> 16;
        const uint32_t w01 = ((0xFFFF - fx) * fy) >> 16;
        const uint32_t w11 = (fx * fy) >> 16;
        auto mix = [&](int a, int b, int c, int d) {
          return static_cast<int>((w00 * a + w10 * b + w01 * c + w11 * d) >> 16);
        };
        out.r = mix(c00.r, c10.r, c01.r, c11.r);
        out.g = mix(c00.g, c10.g, c01.g, c11.g);
        out.b = mix(c00.b, c10.b, c01.b, c11.b);
        out.a = mix(c00.a, c10.a, c01.a, c11.a);
      }
      SetGraphImagePixel(dst, dx1 + j, dy1 + i, out.r, out.g, out.b, out.a);
    }
  }
  return 0;
}

int HalveGraphImagePixels(const PixelFormat* format, void* dst, int dstPitch, const void* src,
                          int srcPitch, int dstX, int dstY, int srcX, int srcY, int srcWidth,
                          int srcHeight) {
  if (format == nullptr || dst == nullptr || src == nullptr) return -1;
  if (srcWidth <= 0 || srcHeight <= 0) return -1;
  if ((srcWidth != 1 && srcWidth % 2 != 0) || (srcHeight != 1 && srcHeight % 2 != 0)) return -1;
  if (format->BitsPerPixel != 16 && format->BitsPerPixel != 32) return 0;
  const int bytes = format->BitsPerPixel / 8;
  const int stepX = srcWidth == 1 ? 0 : 1, stepY = srcHeight == 1 ? 0 : 1;
  const int outW = srcWidth == 1 ? 1 : srcWidth / 2, outH = srcHeight == 1 ? 1 : srcHeight / 2;
  const int count = (stepX + 1) * (stepY + 1);
  const int countShift = stepX + stepY;
  const uint32_t masks[4] = {format->RedMask, format->GreenMask, format->BlueMask,
                             format->AlphaMask};
  const int shifts[4] = {format->RedShift, format->GreenShift, format->BlueShift,
                         format->AlphaShift};
  for (int oy = 0; oy < outH; ++oy) {
    for (int ox = 0; ox < outW; ++ox) {
      const int sx = srcX + ox * 2 * stepX, sy = srcY + oy * 2 * stepY;
      uint32_t values[4];
      int n = 0;
      for (int yy = 0; yy <= stepY; ++yy)
        for (int xx = 0; xx <= stepX; ++xx)
          values[n++] = ReadPixelValue(PixelAddress(src, srcPitch, sx + xx, sy + yy, bytes), bytes);
      uint32_t out = values[0];
      if (count > 1) {
        out = 0;
        for (int ch = 0; ch < 4; ++ch) {
          uint64_t sum = 0;
          for (int i = 0; i < count; ++i) sum += (values[i] & masks[ch]) >> shifts[ch];
          out |= static_cast<uint32_t>((sum >> countShift) << shifts[ch]) & masks[ch];
        }
      }
      WritePixelValue(PixelAddress(dst, dstPitch, dstX + ox, dstY + oy, bytes), bytes, out);
    }
  }
  return 0;
}

// Image transfer into memory images, rectangle copies between them, and the work buffers a
// full transfer prepares: the run-length skip table and the premultiplied copy.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/rect_clip.h"

namespace {

uint8_t SkipKindOf(const MemImgBody& body, const uint8_t* px) {
  if (body.paletted) return px[0] == body.transparentColor ? SkipRun : OpaqueRun;
  if (body.hasAlpha) {
    const uint8_t a = body.colorType == Xrgb8888 ? px[3] : px[2];
    return a == 0 ? SkipRun : a == 255 ? OpaqueRun : PartialRun;
  }
  if (body.colorType == Rgb565) {
    uint16_t v;
    std::memcpy(&v, px, 2);
    return v == body.transparentColor ? SkipRun : OpaqueRun;
  }
  uint32_t v;
  std::memcpy(&v, px, 4);
  return v == body.transparentColor ? SkipRun : OpaqueRun;
}

void BuildSkipTable(const MEMIMG& image) {
  const MemImgBody& body = *image.body;
  const int bytes = MemImgBytesPerPixel(&image);
  uint8_t* out = body.skipTable;
  const uint8_t* row = image.pixels;
  for (int y = 0; y < image.height; ++y, row += body.pitch) {
    int x = 0;
    while (x < image.width) {
      const uint8_t kind = SkipKindOf(body, row + x * bytes);
      int n = 1;
      while (n < SkipTableMaxRun && x + n < image.width &&
             SkipKindOf(body, row + (x + n) * bytes) == kind)
        ++n;
      *out++ = static_cast<uint8_t>(kind << 6 | (n - 1));
      x += n;
    }
    *out++ = SkipTableRowEnd;
  }
}

void BuildPremultiplied(const MEMIMG& image) {
  const MemImgBody& body = *image.body;
  const uint8_t* srcRow = image.pixels;
  uint8_t* dstRow = image.premultipliedPixels;
  for (int y = 0; y < image.height; ++y, srcRow += body.pitch, dstRow += body.pitch) {
    for (int x = 0; x < image.width; ++x) {
      uint32_t p;
      std::memcpy(&p, srcRow + 4 * x, 4);
      uint32_t out;
      if (body.colorType == Xrgb8888) {
        const uint32_t a = p >> 24;
        out = ((p & 0xFF) * a >> 8) | (((p >> 8) & 0xFF) * a >> 8) << 8 |
              (((p >> 16) & 0xFF) * a >> 8) << 16 | a << 24;
      } else {
        const uint32_t a = (p >> 16) & 0xFF;
        const uint32_t c = p & 0xFFFF;
        out = ((((c & 0xF800) * a) & 0xF80000) | (((c & 0x07E0) * a) & 0x07E000) |
               (((c & 0x001F) * a) & 0x1F00)) >>
              8;
        out |= a << 16;
      }
      std::memcpy(dstRow + 4 * x, &out, 4);
    }
  }
}

// Clips a copy of the source rectangle (sx, sy, w, h) of a source of size srcBounds to both
// images, placing it at (dx, dy) of a destination of size dstBounds. Returns the source box
// and moves (dx, dy) with its clipped top-left corner.
ClipBox ClipBothWays(ClipBox src, const ClipBox& srcBounds, int64_t& dx, int64_t& dy,
                     const ClipBox& dstBounds) {
  const ClipBox s = ClipBoxTo(src, srcBounds);
  dx += s.left - src.left;
  dy += s.top - src.top;
  const ClipBox d = ClipBoxTo({dx, dy, dx + s.Width(), dy + s.Height()}, dstBounds);
  ClipBox out = {s.left + (d.left - dx), s.top + (d.top - dy), 0, 0};
  out.right = out.left + d.Width();
  out.bottom = out.top + d.Height();
  dx = d.left;
  dy = d.top;
  return out;
}

RECT RectOf(const ClipBox& b) {
  return {static_cast<LONG>(b.left), static_cast<LONG>(b.top), static_cast<LONG>(b.right),
          static_cast<LONG>(b.bottom)};
}

}  // namespace

int RebuildMemImgWorkBuffers(MEMIMG* image) {
  if (!IsMemImgValid(image)) return -1;
  MemImgBody& body = *image->body;
  if ((body.colorType != Rgb565 && body.colorType != Xrgb8888) || body.skipTable == nullptr)
    return -1;
  body.skipTableValid = 1;
  body.skipTableView = image->pixels;
  body.skipTableWidth = image->width;
  body.skipTableHeight = image->height;
  if (body.hasAlpha && body.premultipliedPixels != nullptr &&
      image->premultipliedPixels != nullptr) {
    body.premultipliedValid = 1;
    BuildPremultiplied(*image);
  }
  BuildSkipTable(*image);
  return 0;
}

int TransferGraphImageToMemImg(const GraphImage* image, const GraphImage* alphaImage, MEMIMG* dst,
                               int srcX, int srcY, int width, int height, int dstX, int dstY,
                               int convertOption) {
  if (image == nullptr || !IsMemImgValid(dst) || width < 0 || height < 0) return -1;
  MemImgBody& body = *dst->body;

  // The rectangle is read from the image (and the alpha image) and written into the view:
  // clip it to all of them.
  ClipBox srcBounds = {0, 0, image->Width, image->Height};
  if (alphaImage != nullptr)
    srcBounds = ClipBoxTo(srcBounds, {0, 0, alphaImage->Width, alphaImage->Height});
  int64_t dx = dstX, dy = dstY;
  const ClipBox src = ClipBothWays({srcX, srcY, int64_t{srcX} + width, int64_t{srcY} + height},
                                   srcBounds, dx, dy, {0, 0, dst->width, dst->height});
  if (src.Empty()) return -1;
  const RECT rect = RectOf(src);
  const int x = static_cast<int>(dx), y = static_cast<int>(dy);

  int result;
  if (body.colorType == Single8 || body.colorType == Single16) {
    // The colour channels are cleared and the red value becomes the channel.
    result = ConvertImagePixels(dst->pixels, body.pitch, body.format, image->Pixels, image->Pitch,
                                &image->Format, nullptr, 0, nullptr, x, y, &rect, 0, 0, 0, 0, 1, 1,
                                0, 0);
    if (result < 0) return result;  // reported, as for the other types
  } else {
    result = ConvertImagePixels(dst->pixels, body.pitch, body.format, image->Pixels, image->Pitch,
                                &image->Format, alphaImage ? alphaImage->Pixels : nullptr,
                                alphaImage ? alphaImage->Pitch : 0,
                                alphaImage ? &alphaImage->Format : nullptr, x, y, &rect, 0,
                                convertOption, body.transparentColor, 0, 0, 0, 0, 0);
    if (result < 0) return result;
    if (body.paletted && alphaImage == nullptr)
      body.colorsUsed = result + 1 > 256 ? 256 : result + 1;
  }

  if (body.paletted && body.palette != nullptr) {
    for (int i = 0; i < 256; ++i) {
      const PaletteEntry& e = image->Format.Palette[i];
      if (body.colorType == Rgb565) {
        const uint16_t v =
            static_cast<uint16_t>((e.Red >> 3) << 11 | (e.Green >> 2) << 5 | (e.Blue >> 3));
        std::memcpy(body.palette + 2 * i, &v, 2);
      } else {
        const uint32_t v = uint32_t{e.Red} << 16 | uint32_t{e.Green} << 8 | e.Blue;
        std::memcpy(body.palette + 4 * i, &v, 4);
      }
    }
    std::memcpy(body.paletteCopy, body.palette, body.colorType == Rgb565 ? 512 : 1024);
  }

  body.premultipliedValid = 0;
  body.skipTableValid = 0;
  // Only a transfer that wrote the whole view describes it fully.
  const bool full = x == 0 && y == 0 && src.Width() == dst->width && src.Height() == dst->height;
  if (full) RebuildMemImgWorkBuffers(dst);
  return result;
}

int CopyMemImgRect(MEMIMG* dst, const MEMIMG* src, const RECT* srcRect, int x, int y) {
  if (!IsMemImgValid(dst) || !IsMemImgValid(src)) return -1;
  const ClipBox whole = {0, 0, src->width, src->height};
  const ClipBox wanted = srcRect != nullptr ? ClipBoxOf(*srcRect) : whole;
  int64_t dx = x, dy = y;
  const ClipBox box = ClipBothWays(wanted, whole, dx, dy, {0, 0, dst->width, dst->height});
  if (box.Empty()) return -1;
  const RECT rect = RectOf(box);
  return ConvertImagePixels(dst->pixels, dst->body->pitch, dst->body->format, src->pixels,
                            src->body->pitch, src->body->format, nullptr, 0, nullptr,
                            static_cast<int>(dx), static_cast<int>(dy), &rect, 0, 0, 0, 0, 0, 0, 0,
                            0);
}

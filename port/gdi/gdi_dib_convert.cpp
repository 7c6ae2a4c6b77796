// Reading DIB pixels and copying them into 16-, 24- and 32-bit buffers, stretched by nearest
// pixel.
#include "port/gdi/gdi_dib_convert.h"

#include <algorithm>
#include <cstring>

namespace {

struct MaskShape {
  int shift;
  int width;
};

// A mask is taken from its lowest to its highest set bit.
MaskShape ShapeOf(uint32_t mask) {
  if (mask == 0) return {0, 0};
  const int low = __builtin_ctz(mask);
  const int high = 31 - __builtin_clz(mask);
  return {low, high - low + 1};
}

// A value of `from` bits as a value of `to` bits: narrowing keeps the top bits, widening
// repeats the bits so that full scale stays full scale.
uint32_t Rescale(uint32_t value, int from, int to) {
  if (from == 0) return 0;
  if (to <= from) return value >> (from - to);
  uint32_t out = 0;
  int position = to - from;
  out = value << position;
  while (position > 0) {
    position -= from;
    out |= position >= 0 ? value << position : value >> -position;
  }
  return out;
}

uint32_t ChannelOf(uint32_t value, uint32_t mask) {
  const MaskShape s = ShapeOf(mask);
  return Rescale((value & mask) >> s.shift, s.width, 8);
}

uint32_t ReadLittle(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}

const uint8_t* StoredRow(const PortDibSource* s, int y) {
  const int stored = s->topDown ? y : s->height - 1 - y;
  const int index = stored - s->firstRow;
  if (index < 0 || index >= s->rowCount) return nullptr;
  return s->bits + static_cast<ptrdiff_t>(index) * s->stride;
}

void WriteTargetPixel(const PortDibTarget* t, int x, int y, uint32_t rgb) {
  uint8_t* row = t->pixels + static_cast<ptrdiff_t>(y) * t->pitch;
  const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  if (t->bitCount == 24) {
    uint8_t* p = row + static_cast<ptrdiff_t>(x) * 3;
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
    return;
  }
  const uint32_t channels[3] = {r, g, b};
  uint32_t value = 0;
  for (int c = 0; c < 3; ++c) {
    const MaskShape s = ShapeOf(t->masks[c]);
    value |= (Rescale(channels[c], 8, s.width) << s.shift) & t->masks[c];
  }
  const int bytes = t->bitCount / 8;
  uint8_t* p = row + static_cast<ptrdiff_t>(x) * bytes;
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// 32 bits with red, green and blue in bytes 2, 1 and 0: a pixel copies as its low 24 bits.
bool IsPlainXrgb(int bitCount, const uint32_t masks[3]) {
  return bitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
}

}  // namespace

bool PortDescribeDib(const BITMAPINFO* info, UINT usage, const void* bits, UINT startScan,
                     UINT lines, PortDibSource* source) {
  if (!info || !bits || !source || usage != DIB_RGB_COLORS) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == INT32_MIN)
    return false;
  const int bitCount = h.biBitCount;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    return false;
  if (h.biCompression == BI_BITFIELDS) {
    if (bitCount != 16 && bitCount != 32) return false;
  } else if (h.biCompression != BI_RGB) {
    return false;
  }
  const int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
  const int64_t stride = (int64_t{h.biWidth} * bitCount + 31) / 32 * 4;
  if (stride * height > INT32_MAX) return false;

  PortDibSource s{};
  s.width = h.biWidth;
  s.height = static_cast<int>(height);
  s.topDown = h.biHeight < 0;
  s.bitCount = bitCount;
  s.stride = static_cast<int>(stride);
  s.bits = static_cast<const uint8_t*>(bits);
  s.firstRow = startScan >= static_cast<UINT>(s.height) ? s.height : static_cast<int>(startScan);
  s.rowCount = static_cast<int>(std::min<int64_t>(lines, s.height - s.firstRow));

  const uint8_t* after = reinterpret_cast<const uint8_t*>(info);
  if (h.biCompression == BI_BITFIELDS) {
    std::memcpy(s.masks, after + sizeof(BITMAPINFOHEADER), sizeof s.masks);
  } else if (bitCount == 16) {
    s.masks[0] = 0x7C00;
    s.masks[1] = 0x3E0;
    s.masks[2] = 0x1F;
  } else if (bitCount >= 24) {
    s.masks[0] = 0xFF0000;
    s.masks[1] = 0xFF00;
    s.masks[2] = 0xFF;
  } else {
    const int full = 1 << bitCount;
    s.paletteCount = h.biClrUsed > 0 && h.biClrUsed < static_cast<DWORD>(full)
                         ? static_cast<int>(h.biClrUsed)
                         : full;
    const uint8_t* table = after + h.biSize;
    for (int i = 0; i < s.paletteCount; ++i) s.palette[i] = ReadLittle(table + i * 4, 3);
  }
  *source = s;
  return true;
}

bool PortDibRowGiven(const PortDibSource* source, int y) { return StoredRow(source, y) != nullptr; }

const uint8_t* PortDibRow(const PortDibSource* source, int y) { return StoredRow(source, y); }

uint32_t PortDibPixel(const PortDibSource* s, int x, int y) {
  const uint8_t* row = StoredRow(s, y);
  if (!row) return 0;
  uint32_t index;
  switch (s->bitCount) {
    case 1:
      index = (row[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    case 4:
      index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
      break;
    case 8:
      index = row[x];
      break;
    case 24:
      return ReadLittle(row + static_cast<ptrdiff_t>(x) * 3, 3);
    default: {
      const int bytes = s->bitCount / 8;
      const uint32_t v = ReadLittle(row + static_cast<ptrdiff_t>(x) * bytes, bytes);
      return ChannelOf(v, s->masks[0]) << 16 | ChannelOf(v, s->masks[1]) << 8 |
             ChannelOf(v, s->masks[2]);
    }
  }
  return static_cast<int>(index) < s->paletteCount ? s->palette[index] : 0;
}

bool PortStretchDib(const PortDibSource* source, int xSrc, int ySrc, int srcWidth, int srcHeight,
                    const PortDibTarget* target, int xDst, int yDst, int dstWidth, int dstHeight) {
  if (!source || !target || srcWidth <= 0 || srcHeight <= 0 || dstWidth <= 0 || dstHeight <= 0)
    return false;
  // The source rectangle's top row, counted from the top of the DIB.
  const int64_t top = int64_t{source->height} - ySrc - srcHeight;
  const int64_t firstJ = std::max<int64_t>(0, -int64_t{yDst});
  const int64_t endJ = std::min<int64_t>(dstHeight, int64_t{target->height} - yDst);
  const int64_t firstI = std::max<int64_t>(0, -int64_t{xDst});
  const int64_t endI = std::min<int64_t>(dstWidth, int64_t{target->width} - xDst);
  // The software screen shown in a window takes this path every frame: no channel to convert.
  const bool plain =
      IsPlainXrgb(source->bitCount, source->masks) && IsPlainXrgb(target->bitCount, target->masks);
  for (int64_t j = firstJ; j < endJ; ++j) {
    const int64_t sy = top + j * srcHeight / dstHeight;
    if (sy < 0 || sy >= source->height || !PortDibRowGiven(source, static_cast<int>(sy))) continue;
    if (plain) {
      const uint8_t* from = StoredRow(source, static_cast<int>(sy));
      uint8_t* to = target->pixels + static_cast<ptrdiff_t>(yDst + j) * target->pitch;
      for (int64_t i = firstI; i < endI; ++i) {
        const int64_t sx = xSrc + (srcWidth == dstWidth ? i : i * srcWidth / dstWidth);
        if (sx < 0 || sx >= source->width) continue;
        uint32_t pixel;
        std::memcpy(&pixel, from + sx * 4, 4);
        pixel &= 0xFFFFFF;
        std::memcpy(to + (xDst + i) * 4, &pixel, 4);
      }
      continue;
    }
    for (int64_t i = firstI; i < endI; ++i) {
      const int64_t sx = xSrc + i * srcWidth / dstWidth;
      if (sx < 0 || sx >= source->width) continue;
      WriteTargetPixel(target, static_cast<int>(xDst + i), static_cast<int>(yDst + j),
                       PortDibPixel(source, static_cast<int>(sx), static_cast<int>(sy)));
    }
  }
  return true;
}

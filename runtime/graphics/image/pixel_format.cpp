// Colour format descriptions and the packing of 8-bit channels into pixel values and back.
#include "runtime/graphics/image/pixel_format.h"

namespace {

// All bits of a pixel of the given depth (1..32).
uint32_t PixelBits(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }

uint32_t LowBits(int width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u; }

// Position of the lowest set bit and the run of set bits from there; 0, 0 for no bits.
void MaskShiftWidth(uint32_t mask, uint8_t* shift, uint8_t* width) {
  *shift = 0;
  *width = 0;
  if (mask == 0) return;
  int s = 0;
  while (((mask >> s) & 1u) == 0) ++s;
  int w = 0;
  while (s + w < 32 && ((mask >> (s + w)) & 1u) != 0) ++w;
  *shift = static_cast<uint8_t>(s);
  *width = static_cast<uint8_t>(w);
}

bool IsContiguous(uint32_t mask) {
  if (mask == 0) return true;
  uint8_t shift, width;
  MaskShiftWidth(mask, &shift, &width);
  return (LowBits(width) << shift) == mask;
}

// The channel fields of the fixed 8-8-8 formats; palette and spare fields are left alone.
void SetChannels888(PixelFormat* f, int bits, uint32_t alphaMask) {
  f->BitsPerPixel = static_cast<uint16_t>(bits);
  f->BytesPerPixel = static_cast<uint16_t>(bits / 8);
  f->RedWidth = f->GreenWidth = f->BlueWidth = 8;
  f->RedShift = 16;
  f->GreenShift = 8;
  f->BlueShift = 0;
  f->RedMask = 0xFF0000;
  f->GreenMask = 0xFF00;
  f->BlueMask = 0xFF;
  f->AlphaMask = alphaMask;
  f->AlphaWidth = alphaMask != 0 ? 8 : 0;
  f->AlphaShift = alphaMask != 0 ? 24 : 0;
  f->BlockCompression = 0;
}

// Channel value of a pixel scaled to 0..255 by full scale (5-bit 16 gives 131).
int ScaleTo255(uint32_t value, uint32_t mask, int shift, int width) {
  if (width == 0) return 0;
  uint64_t v = (value & mask) >> shift;
  return static_cast<int>(v * 255u / LowBits(width));
}

// 8-bit channel narrowed to `width` bits by keeping its top bits (widths above 8 shift up).
uint32_t NarrowByte(int byte, int width) {
  uint32_t b = static_cast<uint32_t>(byte) & 0xFFu;
  if (width == 0) return 0;
  return width <= 8 ? b >> (8 - width) : b << (width - 8);
}

}  // namespace

int SetupPixelFormat(PixelFormat* format, int bits, uint32_t redMask, uint32_t greenMask,
                     uint32_t blueMask, uint32_t alphaMask) {
  if (format == nullptr || bits < 1 || bits > 32) return -1;
  const uint32_t all = PixelBits(bits);
  const uint32_t masks[4] = {redMask, greenMask, blueMask, alphaMask};
  for (uint32_t m : masks) {
    if ((m & ~all) != 0 || !IsContiguous(m)) return -1;
  }
  format->BitsPerPixel = static_cast<uint16_t>(bits);
  format->BytesPerPixel = static_cast<uint16_t>(bits / 8);
  format->BlockCompression = 0;
  format->RedMask = redMask;
  format->GreenMask = greenMask;
  format->BlueMask = blueMask;
  format->AlphaMask = alphaMask;
  MaskShiftWidth(redMask, &format->RedShift, &format->RedWidth);
  MaskShiftWidth(greenMask, &format->GreenShift, &format->GreenWidth);
  MaskShiftWidth(blueMask, &format->BlueShift, &format->BlueWidth);
  MaskShiftWidth(alphaMask, &format->AlphaShift, &format->AlphaWidth);
  format->SpareMask = all & ~(redMask | greenMask | blueMask | alphaMask);
  MaskShiftWidth(format->SpareMask, &format->SpareShift, &format->SpareWidth);
  return 0;
}

PixelFormat* UpdateSpareBitsMask(PixelFormat* format) {
  const int used = format->RedWidth + format->GreenWidth + format->BlueWidth + format->AlphaWidth;
  if (used == format->BitsPerPixel || format->BitsPerPixel == 0) {
    format->SpareMask = 0;
  } else {
    const int bits = format->BitsPerPixel > 32 ? 32 : format->BitsPerPixel;
    format->SpareMask = PixelBits(bits) & ~(format->RedMask | format->GreenMask | format->BlueMask |
                                            format->AlphaMask);
  }
  return format;
}

int SetupPalettePixelFormat(PixelFormat* format) {
  SetChannels888(format, 8, 0);
  format->SpareMask = 0xFF000000;
  return 0;
}

int SetupXRGB8PixelFormat(PixelFormat* format) {
  SetChannels888(format, 32, 0);
  format->SpareMask = 0xFF000000;
  format->SpareShift = 24;
  format->SpareWidth = 8;
  return 0;
}

int SetupARGB8PixelFormat(PixelFormat* format) {
  SetChannels888(format, 32, 0xFF000000);
  format->SpareMask = 0;
  return 0;
}

int SetupRGB8PixelFormat(PixelFormat* format) {
  SetChannels888(format, 24, 0);
  format->SpareMask = 0;
  return 0;
}

int SetupGrayPalettePixelFormat(PixelFormat* format) {
  SetupPalettePixelFormat(format);
  for (int i = 0; i < 256; ++i) {
    const uint8_t v = static_cast<uint8_t>(i);
    format->Palette[i] = PaletteEntry{v, v, v, 0};
  }
  return 0;
}

int FindNearestPaletteIndex(const PixelFormat* format, int r, int g, int b) {
  int best = 0;
  int bestDistance = 0x7FFFFFFF;
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = format->Palette[i];
    const int db = e.Blue - b, dg = e.Green - g, dr = e.Red - r;
    const int distance = db * db + dg * dg + dr * dr;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  return best;
}

uint32_t MakePixelValue(const PixelFormat* format, int r, int g, int b, int a) {
  if (format->BytesPerPixel == 1)
    return static_cast<uint32_t>(FindNearestPaletteIndex(format, r & 0xFF, g & 0xFF, b & 0xFF));
  uint32_t value = (NarrowByte(b, format->BlueWidth) << format->BlueShift) |
                   (NarrowByte(g, format->GreenWidth) << format->GreenShift) |
                   (NarrowByte(r, format->RedWidth) << format->RedShift) | format->SpareMask;
  if (format->AlphaWidth != 0) value |= NarrowByte(a, format->AlphaWidth) << format->AlphaShift;
  return value;
}

void SplitPixelValue(const PixelFormat* format, uint32_t value, int* r, int* g, int* b, int* a) {
  const PixelFormat& f = *format;
  int rr, gg, bb, aa;
  if (f.RedWidth == 8 && f.GreenWidth == 8 && f.BlueWidth == 8) {
    rr = static_cast<int>((value & f.RedMask) >> f.RedShift);
    gg = static_cast<int>((value & f.GreenMask) >> f.GreenShift);
    bb = static_cast<int>((value & f.BlueMask) >> f.BlueShift);
    if (f.AlphaWidth == 8)
      aa = static_cast<int>((value & f.AlphaMask) >> f.AlphaShift);
    else
      aa = ScaleTo255(value, f.AlphaMask, f.AlphaShift, f.AlphaWidth);
  } else {
    rr = ScaleTo255(value, f.RedMask, f.RedShift, f.RedWidth);
    gg = ScaleTo255(value, f.GreenMask, f.GreenShift, f.GreenWidth);
    bb = ScaleTo255(value, f.BlueMask, f.BlueShift, f.BlueWidth);
    aa = ScaleTo255(value, f.AlphaMask, f.AlphaShift, f.AlphaWidth);
  }
  if (r != nullptr) *r = rr;
  if (g != nullptr) *g = gg;
  if (b != nullptr) *b = bb;
  if (a != nullptr) *a = aa;
}

uint32_t RescaleChannel(uint32_t value, int width, int newWidth) {
  if (width == newWidth) return value;
  if (width == 0 || newWidth == 0) return 0;
  const int d = width - newWidth;
  if (d > 0) return value >> d;
  const uint64_t v = value;
  const uint64_t wide = (v << -d) + v * ((uint64_t{1} << -d) - 1) / LowBits(width);
  return static_cast<uint32_t>(wide);
}

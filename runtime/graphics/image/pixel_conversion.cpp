// ConvertImagePixels: the one routine through which pixels move between two formats.
//
// The cases are tried in order: palette remap, palette destination, same layout, key skip
// into ARGB, key to alpha in place, the direct loops of the common pairs, and the general
// channel-by-channel conversion.
#include "runtime/graphics/image/pixel_conversion.h"

#include <cstring>

#include "runtime/graphics/image/pixel_access.h"
#include "runtime/graphics/image/pixel_conversion_internal.h"

namespace {

bool SameMasks(const PixelFormat& a, const PixelFormat& b) {
  return a.RedMask == b.RedMask && a.GreenMask == b.GreenMask && a.BlueMask == b.BlueMask;
}

bool Is888(const PixelFormat& f, int bits, uint32_t alphaMask) {
  return f.BitsPerPixel == bits && f.RedMask == 0xFF0000 && f.GreenMask == 0xFF00 &&
         f.BlueMask == 0xFF && f.AlphaMask == alphaMask;
}

bool Is565(const PixelFormat& f) {
  return f.BitsPerPixel == 16 && f.RedMask == 0xF800 && f.GreenMask == 0x7E0 &&
         f.BlueMask == 0x1F && f.AlphaMask == 0;
}

bool Is555(const PixelFormat& f, uint32_t alphaMask) {
  return f.BitsPerPixel == 16 && f.RedMask == 0x7C00 && f.GreenMask == 0x3E0 &&
         f.BlueMask == 0x1F && f.AlphaMask == alphaMask;
}

bool Convertible(const PixelFormat* f) {
  return f->BlockCompression == 0 && f->BytesPerPixel >= 1 && f->BytesPerPixel <= 4;
}

// Case 1: indices translated to the nearest entry of the destination palette.
int RemapPaletteIndices(const Conversion& c) {
  int map[256];
  for (int& m : map) m = -1;
  for (int row = 0; row < c.height; ++row) {
    const uint8_t* s = SourcePixel(c, 0, row);
    for (int col = 0; col < c.width; ++col) {
      const uint8_t index = s[col];
      if (map[index] < 0) {
        const PaletteEntry& e = c.src.Palette[index];
        map[index] = static_cast<int>(MakePixelValue(&c.dst, e.Red, e.Green, e.Blue, 0));
      }
      *DestinationPixel(c, col, row) = static_cast<uint8_t>(map[index]);
    }
  }
  return 0;
}

// Case 2, first form: each pixel becomes the nearest destination palette entry. The channels
// are brought to 8 bits first, so that 5- and 6-bit values are not matched as dark 8-bit ones.
int ConvertToPalette(const Conversion& c) {
  const PixelFormat& s = c.src;
  const int bytes = s.BytesPerPixel;
  bool cached = false;
  uint32_t lastValue = 0;
  uint8_t lastIndex = 0;
  for (int row = 0; row < c.height; ++row) {
    for (int col = 0; col < c.width; ++col) {
      const uint32_t v = ReadPixelValue(SourcePixel(c, col, row), bytes);
      if (!cached || v != lastValue) {
        const uint32_t r = RescaleChannel((v & s.RedMask) >> s.RedShift, s.RedWidth, 8);
        const uint32_t g = RescaleChannel((v & s.GreenMask) >> s.GreenShift, s.GreenWidth, 8);
        const uint32_t b = RescaleChannel((v & s.BlueMask) >> s.BlueShift, s.BlueWidth, 8);
        lastIndex = static_cast<uint8_t>(FindNearestPaletteIndex(
            &c.dst, static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)));
        lastValue = v;
        cached = true;
      }
      *DestinationPixel(c, col, row) = lastIndex;
    }
  }
  return 0;
}

// Case 2, second form: indices copied as they are; the result is the highest index copied.
int CopyPaletteIndices(const Conversion& c) {
  int highest = 0;
  for (int row = 0; row < c.height; ++row) {
    const uint8_t* s = SourcePixel(c, 0, row);
    for (int col = 0; col < c.width; ++col)
      if (s[col] > highest) highest = s[col];
    if (c.mirror != 0) {
      for (int col = 0; col < c.width; ++col) *DestinationPixel(c, col, row) = s[col];
    } else {
      std::memmove(DestinationPixel(c, 0, row), s, static_cast<size_t>(c.width));
    }
  }
  return highest;
}

// Case 3: identical layouts.
int CopySameLayout(const Conversion& c) {
  const int bytes = c.src.BytesPerPixel;
  const size_t rowBytes = static_cast<size_t>(c.width) * bytes;
  const uint32_t key = bytes == 4 ? c.key : c.key & ((1u << (8 * bytes)) - 1);
  for (int row = 0; row < c.height; ++row) {
    const uint8_t* s = SourcePixel(c, 0, row);
    if (c.mirror != 0) {
      for (int col = 0; col < c.width; ++col)
        std::memcpy(DestinationPixel(c, col, row), s + col * bytes, bytes);
    } else if (c.skipKey != 0) {
      uint8_t* d = DestinationPixel(c, 0, row);
      for (int col = 0; col < c.width; ++col, s += bytes, d += bytes)
        if (ReadPixelValue(s, bytes) != key) std::memcpy(d, s, bytes);
    } else {
      std::memmove(DestinationPixel(c, 0, row), s, rowBytes);
    }
  }
  return 0;
}

// Case 4: 32-bit XRGB into ARGB, key-coloured pixels left out, the rest made opaque.
int SkipKeyIntoArgb(const Conversion& c) {
  const uint32_t key = c.key & 0xFFFFFF;
  for (int row = 0; row < c.height; ++row) {
    const uint8_t* s = SourcePixel(c, 0, row);
    uint8_t* d = DestinationPixel(c, 0, row);
    for (int col = 0; col < c.width; ++col, s += 4, d += 4) {
      const uint32_t v = ReadPixelValue(s, 4) & 0xFFFFFF;
      if (v != key) WritePixelValue(d, 4, v | 0xFF000000u);
    }
  }
  return 0;
}

// Case 5: same colour layout, the key colour's alpha cleared and every other alpha set.
// The key is compared on the colour bits only, so stray spare bits of the source cannot hide
// a key-coloured pixel.
int KeyToAlphaSameLayout(const Conversion& c) {
  const PixelFormat& d = c.dst;
  const int bytes = d.BytesPerPixel;
  const uint32_t colourMask = d.RedMask | d.GreenMask | d.BlueMask;
  const uint32_t pixelBits = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
  const uint32_t key =
      MakePixelValue(&d, (c.key >> 16) & 0xFF, (c.key >> 8) & 0xFF, c.key & 0xFF, 255) & colourMask;
  for (int row = 0; row < c.height; ++row) {
    for (int col = 0; col < c.width; ++col) {
      const uint32_t v =
          ReadPixelValue(SourcePixel(c, col, row), bytes) | (pixelBits & ~colourMask);
      const uint32_t out = (v & colourMask) == key ? v & ~d.AlphaMask : v | d.AlphaMask;
      WritePixelValue(DestinationPixel(c, col, row), bytes, out);
    }
  }
  return 0;
}

// One direct loop; returns true so that the pair selection below reads as a table.
template <int SrcBytes, int DstBytes, typename Convert>
bool RunDirect(const Conversion& c, Convert convert) {
  for (int row = 0; row < c.height; ++row) {
    const uint8_t* s = SourcePixel(c, 0, row);
    uint8_t* d = DestinationPixel(c, 0, row);
    for (int col = 0; col < c.width; ++col, s += SrcBytes, d += DstBytes) {
      const uint32_t v =
          SrcBytes == 1 ? PaletteWord(&c.src.Palette[0].Blue, *s) : ReadPixelValue(s, SrcBytes);
      WritePixelValue(d, DstBytes, convert(v));
    }
  }
  return true;
}

// e is a palette entry word, v a source value; widened channels get zero low bits.
uint32_t Palette565(uint32_t e) {
  return ((e >> 8) & 0xF800) | ((e >> 5) & 0x7E0) | ((e >> 3) & 0x1F);
}
uint32_t Palette555(uint32_t e) {
  return ((e >> 9) & 0x7C00) | ((e >> 6) & 0x3E0) | ((e >> 3) & 0x1F);
}
uint32_t Rgb565(uint32_t v) {
  return ((v >> 19) & 0x1F) << 11 | ((v >> 10) & 0x3F) << 5 | ((v >> 3) & 0x1F);
}
uint32_t Rgb555(uint32_t v) {
  return ((v >> 19) & 0x1F) << 10 | ((v >> 11) & 0x1F) << 5 | ((v >> 3) & 0x1F);
}
uint32_t Widen565(uint32_t v) {
  return ((v & 0x1F) << 3) | ((v & 0x7E0) << 5) | ((v & 0xF800) << 8);
}
uint32_t Narrow565To555(uint32_t v) { return ((v & 0xFFC0) >> 1) | (v & 0x1F); }
// Green's new low bit repeats its old low bit.
uint32_t Widen555To565(uint32_t v) { return ((v & 0x7FE0) << 1) | (v & 0x3F); }
uint32_t Palette555Opaque(uint32_t e) { return Palette555(e) | 0x8000; }
uint32_t Rgb555Opaque(uint32_t v) { return Rgb555(v) | 0x8000; }
uint32_t Opaque8888(uint32_t v) { return v | 0xFF000000u; }

// Case 6: the direct loops of the common pairs. Returns false when the pair has none.
bool ConvertDirect(const Conversion& c) {
  const PixelFormat& s = c.src;
  const PixelFormat& d = c.dst;
  const bool palette = s.BytesPerPixel == 1;
  const bool rgb8 = Is888(s, 24, 0);
  const bool xrgb8 = Is888(s, 32, 0);
  const bool r565 = Is565(s);
  const bool x555 = Is555(s, 0);
  if (c.keyToAlpha == 0) {
    if (c.sourceGivesAlpha) return false;
    if (Is565(d)) {
      if (palette) return RunDirect<1, 2>(c, Palette565);
      if (rgb8) return RunDirect<3, 2>(c, Rgb565);
      if (xrgb8) return RunDirect<4, 2>(c, Rgb565);
      if (x555) return RunDirect<2, 2>(c, Widen555To565);
    } else if (Is555(d, 0)) {
      if (palette) return RunDirect<1, 2>(c, Palette555Opaque);
      if (rgb8) return RunDirect<3, 2>(c, Rgb555Opaque);
      if (r565) return RunDirect<2, 2>(c, Narrow565To555);
    } else if (Is888(d, 32, 0)) {
      if (palette) return RunDirect<1, 4>(c, Opaque8888);
      if (rgb8) return RunDirect<3, 4>(c, Opaque8888);
      if (r565) return RunDirect<2, 4>(c, Widen565);
    } else if (Is888(d, 24, 0)) {
      if (r565) return RunDirect<2, 3>(c, Widen565);
    }
    return false;
  }

  // Key to alpha: the key is compared as given, or in 5-5-5 form for 16-bit sources.
  const uint32_t k = c.key;
  const uint32_t k5 = ((k >> 16) & 0xF8) << 7 | ((k >> 8) & 0xF8) << 2 | (k & 0xFF) >> 3;
  const auto alpha555 = [k](uint32_t value, uint32_t colour) {
    return colour | (value == k ? 0 : 0x8000);
  };
  const auto alpha8888 = [k](uint32_t value) { return value == k ? value : value | 0xFF000000u; };
  if (Is555(d, 0x8000)) {
    if (palette) return RunDirect<1, 2>(c, [&](uint32_t e) { return alpha555(e, Palette555(e)); });
    if (rgb8) return RunDirect<3, 2>(c, [&](uint32_t v) { return alpha555(v, Rgb555(v)); });
    if (r565)
      return RunDirect<2, 2>(c, [k5](uint32_t v) {
        const uint32_t p = Narrow565To555(v);
        return p | (p == k5 ? 0 : 0x8000);
      });
  } else if (Is888(d, 32, 0xFF000000)) {
    if (palette) return RunDirect<1, 4>(c, alpha8888);
    if (rgb8) return RunDirect<3, 4>(c, alpha8888);
    if (r565)
      return RunDirect<2, 4>(c, [k5](uint32_t v) {
        return Widen565(v) | (Narrow565To555(v) == k5 ? 0 : 0xFF000000u);
      });
  }
  return false;
}

}  // namespace

int ConvertImagePixels(void* dstPixels, int dstPitch, const PixelFormat* dstFormat,
                       const void* srcPixels, int srcPitch, const PixelFormat* srcFormat,
                       const void* alphaPixels, int alphaPitch, const PixelFormat* alphaFormat,
                       int dstX, int dstY, const RECT* srcRect, int mirror, int keyToAlpha,
                       uint32_t keyColour, int dither, int zeroColour, int alphaFromRed,
                       int skipKey, int remapPalette) {
  if (dstPixels == nullptr || srcPixels == nullptr || dstFormat == nullptr ||
      srcFormat == nullptr || srcRect == nullptr)
    return -1;
  // Block data must be expanded first; deeper pixels do not exist.
  if (!Convertible(dstFormat) || !Convertible(srcFormat)) return -1;
  const bool hasAlphaImage = alphaPixels != nullptr && alphaFormat != nullptr;
  if (hasAlphaImage && !Convertible(alphaFormat)) return -1;
  // Right before left (or bottom before top) would run the loops away: refused like empty.
  const int64_t width = int64_t{srcRect->right} - srcRect->left;
  const int64_t height = int64_t{srcRect->bottom} - srcRect->top;
  if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return -1;

  Conversion c;
  c.dst = *dstFormat;
  c.src = *srcFormat;
  if (hasAlphaImage)
    c.alpha = *alphaFormat;
  else
    std::memset(&c.alpha, 0, sizeof c.alpha);
  c.dstBase = static_cast<uint8_t*>(dstPixels);
  c.dstPitch = dstPitch;
  c.srcBase = static_cast<const uint8_t*>(srcPixels);
  c.srcPitch = srcPitch;
  c.alphaBase = hasAlphaImage ? static_cast<const uint8_t*>(alphaPixels) : nullptr;
  c.alphaPitch = alphaPitch;
  c.dstX = dstX;
  c.dstY = dstY;
  c.left = srcRect->left;
  c.top = srcRect->top;
  c.width = static_cast<int>(width);
  c.height = static_cast<int>(height);
  c.key = keyColour;
  c.dither = dither;
  c.zeroColour = zeroColour;
  c.alphaFromRed = alphaFromRed;
  c.remapPalette = remapPalette;
  c.mirror = mirror;

  const bool dstAlpha = c.dst.AlphaWidth != 0;
  const bool srcAlpha = c.src.AlphaWidth != 0;
  c.sourceGivesAlpha = dstAlpha && (hasAlphaImage || srcAlpha);
  c.alphaFromImage = dstAlpha && hasAlphaImage && !srcAlpha;
  c.keyToAlpha = (c.sourceGivesAlpha || !dstAlpha || alphaFromRed == 1) ? 0 : keyToAlpha;
  c.skipKey = mirror != 0 ? 0 : skipKey;

  const PixelFormat& s = c.src;
  const PixelFormat& d = c.dst;

  if (remapPalette != 0 && s.BytesPerPixel == 1 && d.BytesPerPixel == 1 &&
      std::memcmp(s.Palette, d.Palette, sizeof s.Palette) != 0)
    return RemapPaletteIndices(c);

  if (d.BitsPerPixel == 8) {
    if (s.BytesPerPixel != 1 && alphaFromRed == 0) {
      if (s.BitsPerPixel == 16 || s.BitsPerPixel == 24 || s.BitsPerPixel == 32)
        return ConvertToPalette(c);
      return 0;
    }
    if (s.BytesPerPixel == 1 && zeroColour == 0 && alphaFromRed == 0 && c.skipKey == 0)
      return CopyPaletteIndices(c);
  }

  if (c.keyToAlpha == 0 && !c.alphaFromImage && zeroColour == 0 && alphaFromRed == 0 &&
      s.BitsPerPixel == d.BitsPerPixel && SameMasks(s, d) && s.AlphaMask == d.AlphaMask)
    return CopySameLayout(c);

  if (c.skipKey == 1 && c.keyToAlpha == 0 && dither == 0 && zeroColour == 0 && alphaFromRed == 0 &&
      !hasAlphaImage && Is888(s, 32, 0) && Is888(d, 32, 0xFF000000))
    return SkipKeyIntoArgb(c);

  if (c.skipKey == 0 && dstAlpha && c.keyToAlpha == 1 && zeroColour == 0 && alphaFromRed == 0 &&
      s.BitsPerPixel == d.BitsPerPixel && SameMasks(s, d))
    return KeyToAlphaSameLayout(c);

  if (c.skipKey == 0 && dither == 0 && zeroColour == 0 && alphaFromRed == 0 && mirror == 0 &&
      !hasAlphaImage && ConvertDirect(c))
    return 0;

  return ConvertGeneral(c);
}

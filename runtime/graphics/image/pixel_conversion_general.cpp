// The general case of ConvertImagePixels: every pixel through its channels, with colour key,
// alpha image, alpha from red, zeroed colour, rescaling and dithering.
#include "runtime/graphics/image/pixel_conversion_internal.h"

namespace {

// Row by row, 4 x 4, counted from the rectangle's top-left.
constexpr uint8_t kOrderedDither[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};

// Below this many pixels building the lookup tables costs more than it saves.
constexpr int64_t kTablePathMinPixels = 256;

uint32_t MaxOfWidth(int width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u; }

struct Channel {
  uint32_t srcMask;
  int srcShift;
  int srcWidth;
  uint32_t dstMask;
  int dstShift;
  int dstWidth;

  uint32_t Extract(uint32_t v) const { return (v & srcMask) >> srcShift; }
  uint32_t Rescale(uint32_t value) const { return RescaleChannel(value, srcWidth, dstWidth); }
  // A value wider than its destination channel must not spill into the neighbouring bits.
  uint32_t Place(uint32_t value) const { return (value << dstShift) & dstMask; }
  bool Contiguous() const { return srcMask == MaxOfWidth(srcWidth) << srcShift; }
};

Channel MakeChannel(uint32_t srcMask, int srcShift, int srcWidth, uint32_t dstMask, int dstShift,
                    int dstWidth) {
  return Channel{srcMask, srcShift, srcWidth, dstMask, dstShift, dstWidth};
}

enum AlphaRule {
  AlphaFromKey,     // 0 for the key colour, full for the rest
  AlphaFromImage,   // the alpha image's red channel
  AlphaFull,        // the source has none: opaque
  AlphaZero,        // the destination has none
  AlphaFromSource,  // the source's own alpha
  AlphaFromRedRaw,  // the source's red value as read
};

// Raises a narrowed channel by one unit where the dropped source bits call for it.
uint32_t DitherChannel(uint32_t value, uint32_t source, const Channel& ch, int dither, int cell,
                       uint64_t* carry) {
  const int d = ch.srcWidth - ch.dstWidth;
  if (d <= 0 || ch.dstWidth == 0) return value;
  const uint64_t lost = ((uint64_t{1} << d) - 1) << ch.srcShift;
  const uint64_t dropped = source & lost;
  bool raise = false;
  if (dither == 1) {
    const uint64_t threshold = (((uint64_t{1} << d) * kOrderedDither[cell]) >> 4) << ch.srcShift;
    raise = threshold < dropped;
  } else if (dither == 2) {
    *carry += dropped;
    raise = *carry > lost;
    *carry &= lost;
  }
  if (raise && value < MaxOfWidth(ch.dstWidth)) ++value;
  return value;
}

inline uint32_t ReadSourceValue(const Conversion& c, const uint8_t* p, uint32_t* raw) {
  *raw = ReadPixelValue(p, c.src.BytesPerPixel);
  return c.src.BytesPerPixel == 1 ? PaletteWord(&c.src.Palette[0].Blue, *raw) : *raw;
}

inline void WriteResult(const Conversion& c, uint8_t* p, uint32_t value) {
  const int bytes = c.dst.BytesPerPixel;
  if (bytes == 2 || bytes == 4) value |= c.dst.SpareMask;
  WritePixelValue(p, bytes, value);
}

// The plain conversion (no key, no alpha image, no zeroing, no dithering that applies) through
// one table per channel; the same arithmetic as the per-pixel loop, done once per value.
struct ChannelTables {
  uint32_t table[4][256];
  uint32_t shift[4];
  uint32_t max[4];
  int used;           // 3, or 4 when the alpha comes from the source
  uint32_t constant;  // fixed alpha and spare bits
};

template <int SrcBytes, int DstBytes>
void RunTables(const Conversion& c, const ChannelTables& t) {
  const ptrdiff_t step = c.mirror != 0 ? -DstBytes : DstBytes;
  for (int row = 0; row < c.height; ++row) {
    const uint8_t* s = SourcePixel(c, 0, row);
    uint8_t* d = DestinationPixel(c, 0, row);
    for (int col = 0; col < c.width; ++col, s += SrcBytes, d += step) {
      uint32_t v = ReadPixelValue(s, SrcBytes);
      if (SrcBytes == 1) v = PaletteWord(&c.src.Palette[0].Blue, v);
      uint32_t out = t.constant | t.table[0][(v >> t.shift[0]) & t.max[0]] |
                     t.table[1][(v >> t.shift[1]) & t.max[1]] |
                     t.table[2][(v >> t.shift[2]) & t.max[2]];
      if (t.used == 4) out |= t.table[3][(v >> t.shift[3]) & t.max[3]];
      WritePixelValue(d, DstBytes, out);
    }
  }
}

template <int SrcBytes>
void RunTablesTo(const Conversion& c, const ChannelTables& t) {
  switch (c.dst.BytesPerPixel) {
    case 1:
      RunTables<SrcBytes, 1>(c, t);
      break;
    case 2:
      RunTables<SrcBytes, 2>(c, t);
      break;
    case 3:
      RunTables<SrcBytes, 3>(c, t);
      break;
    default:
      RunTables<SrcBytes, 4>(c, t);
      break;
  }
}

void ConvertThroughTables(const Conversion& c, const Channel (&colour)[3], const Channel& alpha,
                          AlphaRule rule, bool rescale, uint32_t fullAlpha) {
  ChannelTables t;
  const Channel* channels[4] = {&colour[0], &colour[1], &colour[2], &alpha};
  t.used = rule == AlphaFromSource ? 4 : 3;
  for (int i = 0; i < 4; ++i) {
    const Channel& ch = *channels[i];
    t.shift[i] = static_cast<uint32_t>(ch.srcShift);
    t.max[i] = MaxOfWidth(ch.srcWidth);
    if (i < t.used)
      for (uint32_t v = 0; v <= t.max[i]; ++v)
        t.table[i][v] = ch.Place(rescale ? ch.Rescale(v) : v);
  }
  t.constant = rule == AlphaFull ? alpha.Place(fullAlpha) : 0;
  if (c.dst.BytesPerPixel == 2 || c.dst.BytesPerPixel == 4) t.constant |= c.dst.SpareMask;
  switch (c.src.BytesPerPixel) {
    case 1:
      RunTablesTo<1>(c, t);
      break;
    case 2:
      RunTablesTo<2>(c, t);
      break;
    case 3:
      RunTablesTo<3>(c, t);
      break;
    default:
      RunTablesTo<4>(c, t);
      break;
  }
}

}  // namespace

int ConvertGeneral(const Conversion& c) {
  const PixelFormat& s = c.src;
  const PixelFormat& d = c.dst;
  const PixelFormat& a = c.alpha;
  const bool dstAlpha = d.AlphaWidth != 0;
  const bool srcAlpha = s.AlphaWidth != 0;
  const bool rescale = s.RedWidth != d.RedWidth || s.GreenWidth != d.GreenWidth ||
                       (c.alphaFromImage && a.RedWidth != d.AlphaWidth);
  const uint32_t fullAlpha = d.AlphaMask >> d.AlphaShift;

  AlphaRule rule;
  if (dstAlpha && c.keyToAlpha != 0)
    rule = AlphaFromKey;
  else if (c.alphaFromRed != 0)
    rule = AlphaFromRedRaw;
  else if (c.alphaFromImage)
    rule = AlphaFromImage;
  else if (!srcAlpha)
    rule = dstAlpha ? AlphaFull : AlphaZero;
  else if (!dstAlpha)
    rule = AlphaZero;
  else
    rule = AlphaFromSource;

  const Channel colour[3] = {
      MakeChannel(s.RedMask, s.RedShift, s.RedWidth, d.RedMask, d.RedShift, d.RedWidth),
      MakeChannel(s.GreenMask, s.GreenShift, s.GreenWidth, d.GreenMask, d.GreenShift, d.GreenWidth),
      MakeChannel(s.BlueMask, s.BlueShift, s.BlueWidth, d.BlueMask, d.BlueShift, d.BlueWidth)};
  const Channel alpha =
      rule == AlphaFromImage
          ? MakeChannel(a.RedMask, a.RedShift, a.RedWidth, d.AlphaMask, d.AlphaShift, d.AlphaWidth)
          : MakeChannel(s.AlphaMask, s.AlphaShift, s.AlphaWidth, d.AlphaMask, d.AlphaShift,
                        d.AlphaWidth);
  const bool ditherOn = rescale && (c.dither == 1 || c.dither == 2);

  const bool plain = c.skipKey == 0 && c.zeroColour == 0 && !ditherOn &&
                     (rule == AlphaFull || rule == AlphaZero || rule == AlphaFromSource);
  bool tablesFit = colour[0].Contiguous() && colour[1].Contiguous() && colour[2].Contiguous() &&
                   s.RedWidth <= 8 && s.GreenWidth <= 8 && s.BlueWidth <= 8;
  if (rule == AlphaFromSource) tablesFit = tablesFit && alpha.Contiguous() && s.AlphaWidth <= 8;
  if (plain && tablesFit && int64_t{c.width} * c.height >= kTablePathMinPixels) {
    ConvertThroughTables(c, colour, alpha, rule, rescale, fullAlpha);
    return 0;
  }

  // The key as the source's channels would hold it (for a palette source, the nearest entry).
  uint32_t keyR = 0, keyG = 0, keyB = 0;
  if (rule == AlphaFromKey) {
    const int kr = (c.key >> 16) & 0xFF, kg = (c.key >> 8) & 0xFF, kb = c.key & 0xFF;
    uint32_t kv;
    if (s.BytesPerPixel == 1)
      kv = PaletteWord(&s.Palette[0].Blue,
                       static_cast<uint32_t>(FindNearestPaletteIndex(&s, kr, kg, kb)));
    else
      kv = MakePixelValue(&s, kr, kg, kb, 255);
    keyR = colour[0].Extract(kv);
    keyG = colour[1].Extract(kv);
    keyB = colour[2].Extract(kv);
  }

  // Skipping compares the key cut to the source pixel's size with the source's channel bits
  // (a palette source compares its index).
  const uint32_t channelBits = s.RedMask | s.GreenMask | s.BlueMask | s.AlphaMask;
  uint32_t skipValue;
  if (s.BytesPerPixel == 1)
    skipValue = c.key & 0xFF;
  else if (s.BytesPerPixel == 4)
    skipValue = c.key & channelBits;
  else
    skipValue = c.key & ((1u << (8 * s.BytesPerPixel)) - 1) & channelBits;

  uint64_t carry[4] = {0, 0, 0, 0};
  for (int row = 0; row < c.height; ++row) {
    for (int col = 0; col < c.width; ++col) {
      uint32_t raw;
      const uint32_t v = ReadSourceValue(c, SourcePixel(c, col, row), &raw);
      if (c.skipKey != 0) {
        const uint32_t compared = s.BytesPerPixel == 1 ? raw : v & channelBits;
        if (compared == skipValue) continue;
      }
      uint32_t r = colour[0].Extract(v);
      uint32_t g = colour[1].Extract(v);
      uint32_t b = colour[2].Extract(v);
      uint32_t al = 0;
      uint32_t alphaSource = v;
      switch (rule) {
        case AlphaFromKey:
          al = (r == keyR && g == keyG && b == keyB) ? 0 : fullAlpha;
          break;
        case AlphaFromRedRaw:
          al = r;
          break;
        case AlphaFromImage: {
          uint32_t av = ReadPixelValue(AlphaImagePixel(c, col, row), a.BytesPerPixel);
          if (a.BytesPerPixel == 1) av = PaletteWord(&a.Palette[0].Blue, av);
          alphaSource = av;
          al = alpha.Extract(av);
          if (rescale) al = alpha.Rescale(al);
          break;
        }
        case AlphaFull:
          al = fullAlpha;
          break;
        case AlphaZero:
          al = 0;
          break;
        case AlphaFromSource:
          al = alpha.Extract(v);
          if (rescale) al = alpha.Rescale(al);
          break;
      }
      if (rescale) {
        r = colour[0].Rescale(r);
        g = colour[1].Rescale(g);
        b = colour[2].Rescale(b);
      }
      if (c.zeroColour != 0) r = g = b = 0;
      if (ditherOn) {
        const int cell = (col & 3) + (row & 3) * 4;
        if (c.zeroColour == 0) {
          r = DitherChannel(r, v, colour[0], c.dither, cell, &carry[0]);
          g = DitherChannel(g, v, colour[1], c.dither, cell, &carry[1]);
          b = DitherChannel(b, v, colour[2], c.dither, cell, &carry[2]);
        }
        if (rule == AlphaFromSource || rule == AlphaFromImage)
          al = DitherChannel(al, alphaSource, alpha, c.dither, cell, &carry[3]);
      }
      const uint32_t out =
          colour[0].Place(r) | colour[1].Place(g) | colour[2].Place(b) | alpha.Place(al);
      WriteResult(c, DestinationPixel(c, col, row), out);
    }
  }
  return 0;
}

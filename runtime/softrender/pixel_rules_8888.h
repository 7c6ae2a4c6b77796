// Pixel rules for 32-bit images (bytes blue, green, red, fourth byte; the word 0xXXRRGGBB).
// Weights count out of 256 per factor; scaling by k/255 is the BlendScaleTable entry.
#pragma once

#include <cstdint>

#include "runtime/softrender/pixel_rules.h"

// Source channels scaled by the DrawBright bytes; the fourth byte comes out 0.
SOFTRENDER_INLINE uint32_t Brighten8888(uint32_t s, const RuleParams& p) {
  return Div255((s & 0xFF) * p.brightBlue) | Div255(((s >> 8) & 0xFF) * p.brightGreen) << 8 |
         Div255(((s >> 16) & 0xFF) * p.brightRed) << 16;
}

// D_c' = floor((D_c * 2^m + w * (Y_c - D_c)) / 2^m) for the colour bytes; the fourth byte
// keeps its value. Computed as (D_c * (2^m - w) + Y_c * w) >> m, whose terms never go negative.
template <int m>
SOFTRENDER_INLINE uint32_t Mix8888(uint32_t d, uint32_t y, uint32_t w) {
  if constexpr (m == 8) {
    // Blue and red share one multiply: each lane stays below 2^16.
    const uint32_t keep = 256 - w;
    const uint32_t rb = (((d & 0xFF00FF) * keep + (y & 0xFF00FF) * w) >> 8) & 0xFF00FF;
    const uint32_t g = (((d & 0xFF00) * keep + (y & 0xFF00) * w) >> 8) & 0xFF00;
    return (d & 0xFF000000u) | rb | g;
  } else {
    const uint32_t keep = (1u << m) - w;
    const uint32_t b = ((d & 0xFF) * keep + (y & 0xFF) * w) >> m;
    const uint32_t g = (((d >> 8) & 0xFF) * keep + ((y >> 8) & 0xFF) * w) >> m;
    const uint32_t r = (((d >> 16) & 0xFF) * keep + ((y >> 16) & 0xFF) * w) >> m;
    return (d & 0xFF000000u) | b | g << 8 | r << 16;
  }
}

// Each colour byte becomes (S_c >> 1) + (D_c >> 1): one below the average when both are odd.
// The fourth byte becomes 0.
SOFTRENDER_INLINE uint32_t HalfMix8888(uint32_t s, uint32_t d) {
  return ((s >> 1) & 0x7F7F7F) + ((d >> 1) & 0x7F7F7F);
}

// The packed saturating add with guard bits: blue is exact; green and red add their upper
// seven bits, their lowest bit catching the carry from below (ORed with both lowest bits).
// The fourth byte becomes the carry out of red.
SOFTRENDER_INLINE uint32_t AddSaturate8888(uint32_t d, uint32_t t) {
  const uint32_t x = (d & 0xFEFEFF) + (t & 0xFEFEFF);
  const uint32_t e = x & 0x1010100;
  return (e - (e >> 8)) | ((d | t) & 0x10100) | x;
}

// The same add without the (D | T) low-bit term: green's and red's lowest bits come from the
// carries alone.
SOFTRENDER_INLINE uint32_t AddSaturateNoLowBits8888(uint32_t d, uint32_t t) {
  const uint32_t x = (d & 0xFEFEFF) + (t & 0xFEFEFF);
  const uint32_t e = x & 0x1010100;
  return (e - (e >> 8)) | x;
}

// The packed saturating subtract: blue is exact with a floor of 0; green and red subtract their
// upper seven bits, and their lowest bit is 1 when the byte below did not borrow. The fourth
// byte becomes 0.
SOFTRENDER_INLINE uint32_t SubtractSaturate8888(uint32_t d, uint32_t t) {
  const uint32_t y = (d | 0x1010100) - (t & 0xFEFEFEFF);
  const uint32_t b = y & 0x1010100;
  return y & (b - (b >> 8));
}

// D_c' = floor(D_c * X_c * w / 2^(8 + m)); the fourth byte keeps its value.
template <int m>
SOFTRENDER_INLINE uint32_t Multiply8888(uint32_t d, uint32_t x, uint32_t w) {
  const uint32_t b = ((d & 0xFF) * (x & 0xFF) * w) >> (8 + m);
  const uint32_t g = (((d >> 8) & 0xFF) * ((x >> 8) & 0xFF) * w) >> (8 + m);
  const uint32_t r = (((d >> 16) & 0xFF) * ((x >> 16) & 0xFF) * w) >> (8 + m);
  return (d & 0xFF000000u) | b | g << 8 | r << 16;
}

// The colour bytes scaled by k/255 (a BlendScaleTable row); the fourth byte comes out 0.
SOFTRENDER_INLINE uint32_t TableScale8888(uint32_t x, uint32_t k) {
  return Div255((x & 0xFF) * k) | Div255(((x >> 8) & 0xFF) * k) << 8 |
         Div255(((x >> 16) & 0xFF) * k) << 16;
}

// The colour bytes scaled by w / 2^shift; the fourth byte comes out 0.
template <int shift>
SOFTRENDER_INLINE uint32_t ScaleTerm8888(uint32_t x, uint32_t w) {
  return ((x & 0xFF) * w) >> shift | (((x >> 8) & 0xFF) * w) >> shift << 8 |
         (((x >> 16) & 0xFF) * w) >> shift << 16;
}

// One pixel of a 32-bit draw: the destination word after the rule of kind K, for the source
// word s (its fourth byte is the alpha a of an alpha image) and the blend weight r.
// kPartial adds the alpha as a factor; kBlend adds the blend weight.
template <RuleKind K, bool kBright, bool kBlend, bool kPartial>
SOFTRENDER_INLINE uint32_t ApplyRule8888(uint32_t d, uint32_t s, uint32_t a, uint32_t r,
                                         const RuleParams& p) {
  constexpr int kFactors = (kBlend ? 1 : 0) + (kPartial ? 1 : 0);
  constexpr int m = 8 * kFactors;
  const uint32_t f = kBlend ? (kPartial ? r * a : r) : (kPartial ? a : 1);
  if constexpr (K == RuleKind::RawCopy) {
    return s;
  } else if constexpr (K == RuleKind::HalfMix) {
    return HalfMix8888(s, d);
  } else if constexpr (K == RuleKind::AddNoLowBits) {
    return AddSaturateNoLowBits8888(d, s);
  } else {
    uint32_t x;
    if constexpr (K == RuleKind::InvertedAlpha)
      x = kBright ? Brighten8888(~s, p) : ~s;  // inverted first, brightened second
    else
      x = kBright ? Brighten8888(s, p) : s;

    if constexpr (K == RuleKind::Copy) {
      if constexpr (kFactors == 0)
        return kBright ? (d & 0xFF000000u) | x : s;
      else
        return Mix8888<m>(d, x, f);
    } else if constexpr (K == RuleKind::Alpha || K == RuleKind::InvertedAlpha ||
                         K == RuleKind::MultiplyAlpha) {
      if constexpr (K == RuleKind::MultiplyAlpha)
        x = Multiply8888<0>(d, x, 1);  // M_c = X_c * D_c / 256
      if constexpr (kFactors == 0)
        return Mix8888<8>(d, x, p.param);
      else
        return Mix8888<m + 8>(d, x, f * p.param);
    } else if constexpr (K == RuleKind::Add || K == RuleKind::Subtract) {
      uint32_t t;
      if constexpr (kFactors == 0)
        t = TableScale8888(x, p.param);
      else
        t = ScaleTerm8888<m + 8>(x, f * p.param);
      if constexpr (K == RuleKind::Add)
        return AddSaturate8888(d, t);
      else
        return SubtractSaturate8888(d, t);
    } else {
      static_assert(K == RuleKind::Multiply, "no 32-bit form for this rule kind");
      return Multiply8888<m>(d, x, f);
    }
  }
}

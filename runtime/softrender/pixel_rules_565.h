// Pixel rules for 16-bit images (5-6-5 words: red bits 11-15, green 5-10, blue 0-4). The rules
// work on the 5- and 6-bit channel values as they are, never widened to 8 bits. The narrow
// types keep each channel in a 16-bit lane wherever its range allows.
#pragma once

#include <cstdint>

#include "runtime/softrender/pixel_rules.h"

SOFTRENDER_INLINE uint16_t Red565(uint16_t w) { return static_cast<uint16_t>(w >> 11); }
SOFTRENDER_INLINE uint16_t Green565(uint16_t w) { return static_cast<uint16_t>((w >> 5) & 63); }
SOFTRENDER_INLINE uint16_t Blue565(uint16_t w) { return static_cast<uint16_t>(w & 31); }
SOFTRENDER_INLINE uint16_t Pack565(uint16_t r, uint16_t g, uint16_t b) {
  return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

// floor(v * k / 255) for a channel value v and a weight k of at most 255, in 16 bits.
SOFTRENDER_INLINE uint16_t Scale255u16(uint16_t v, uint32_t k) {
  return Div255u16(static_cast<uint16_t>(v * static_cast<uint16_t>(k)));
}

// Each channel scaled by its DrawBright byte: floor(S_c * k_c / 255).
SOFTRENDER_INLINE uint16_t Brighten565(uint16_t s, const RuleParams& p) {
  return Pack565(Scale255u16(Red565(s), p.brightRed), Scale255u16(Green565(s), p.brightGreen),
                 Scale255u16(Blue565(s), p.brightBlue));
}

// The high half of a 16 x 16-bit product.
SOFTRENDER_INLINE uint16_t MulHigh16(uint16_t a, uint16_t b) {
  return static_cast<uint16_t>(uint32_t{a} * b >> 16);
}

// floor((D_c * 2^m + w * (Y_c - D_c)) / 2^m) per channel.
template <int m>
SOFTRENDER_INLINE uint16_t Mix565(uint16_t d, uint16_t y, uint32_t w) {
  if constexpr (m == 8) {
    // (D_c * (256 - w) + Y_c * w) >> 8: both terms non-negative, the sum below 2^14.
    const uint16_t w16 = static_cast<uint16_t>(w), keep = static_cast<uint16_t>(256 - w);
    const auto mix = [&](uint16_t dc, uint16_t yc) {
      return static_cast<uint16_t>(static_cast<uint16_t>(dc * keep + yc * w16) >> 8);
    };
    return Pack565(mix(Red565(d), Red565(y)), mix(Green565(d), Green565(y)),
                   mix(Blue565(d), Blue565(y)));
  } else {
    const uint32_t keep = (1u << m) - w;
    const auto mix = [&](uint32_t dc, uint32_t yc) {
      return static_cast<uint16_t>((dc * keep + yc * w) >> m);
    };
    return Pack565(mix(Red565(d), Red565(y)), mix(Green565(d), Green565(y)),
                   mix(Blue565(d), Blue565(y)));
  }
}

// Mix565<16> for a weight given as two factors of at most 256 each: (Y_c - D_c) * f1 fits in
// 16 signed bits, and its product with f2 shifted right by 16 is the floor of the step.
SOFTRENDER_INLINE uint16_t Mix565By2(uint16_t d, uint16_t y, uint32_t f1, uint32_t f2) {
  const int16_t g1 = static_cast<int16_t>(f1), g2 = static_cast<int16_t>(f2);
  const auto mix = [&](uint16_t dc, uint16_t yc) {
    const int16_t t = static_cast<int16_t>(static_cast<int16_t>(yc - dc) * g1);
    const int16_t step = static_cast<int16_t>((int32_t{t} * g2) >> 16);
    return static_cast<uint16_t>(dc + step);
  };
  return Pack565(mix(Red565(d), Red565(y)), mix(Green565(d), Green565(y)),
                 mix(Blue565(d), Blue565(y)));
}

// D_c + trunc((Y_c - D_c) * P / 255): the SignedBlendTable step, leaning toward D.
SOFTRENDER_INLINE uint16_t TableMix565(uint16_t d, uint16_t y, uint32_t param) {
  const uint16_t p16 = static_cast<uint16_t>(param);
  const auto mix = [&](uint16_t dc, uint16_t yc) {
    // The step's size from |Y_c - D_c|, its sign put back without a branch.
    const int32_t diff = int32_t{yc} - int32_t{dc};
    const int32_t sign = diff >> 31;
    const uint16_t size =
        Div255u16(static_cast<uint16_t>(static_cast<uint16_t>((diff ^ sign) - sign) * p16));
    return static_cast<uint16_t>(dc + ((size ^ sign) - sign));
  };
  return Pack565(mix(Red565(d), Red565(y)), mix(Green565(d), Green565(y)),
                 mix(Blue565(d), Blue565(y)));
}

// TableMix565's step in multiply form, for the registers: trunc(diff * P / 255) equals
// floor(diff * a * b / 2^16), plus one where diff is negative, for every field difference diff,
// with diff * a within 16 signed bits. One pair for each P (0 to 255).
struct TableStepFactors {
  uint16_t a, b;
};
TableStepFactors TableStepFactorsOf(uint32_t param);

// The Scale6Table mix: floor((Y_c * q + D_c * (63 - q)) / 63) with q = P >> 2, the 6-bit
// table serving the 5-bit channels unchanged.
SOFTRENDER_INLINE uint16_t Scale6Mix565(uint16_t d, uint16_t y, uint32_t param) {
  const uint16_t q = static_cast<uint16_t>(param >> 2), keep = static_cast<uint16_t>(63 - q);
  const auto mix = [&](uint16_t dc, uint16_t yc) {
    return Div63u16(static_cast<uint16_t>(yc * q + dc * keep));
  };
  return Pack565(mix(Red565(d), Red565(y)), mix(Green565(d), Green565(y)),
                 mix(Blue565(d), Blue565(y)));
}

// (Y_c >> 1) + (D_c >> 1) per channel, on the whole word.
SOFTRENDER_INLINE uint16_t HalfMix565(uint16_t d, uint16_t y) {
  return static_cast<uint16_t>(((y >> 1) & 0x7BEF) + ((d >> 1) & 0x7BEF));
}

// floor(Y_c * D_c * w / 2^(n_c + m)), n_c the channel's width: the product loses one step.
// The product Y_c * D_c stays below 2^12, so every form works on 16-bit high halves.
template <int m>
SOFTRENDER_INLINE uint16_t Multiply565(uint16_t d, uint16_t y, uint32_t w) {
  const uint16_t r = static_cast<uint16_t>(Red565(y) * Red565(d));
  const uint16_t g = static_cast<uint16_t>(Green565(y) * Green565(d));
  const uint16_t b = static_cast<uint16_t>(Blue565(y) * Blue565(d));
  if constexpr (m == 0) {
    return Pack565(static_cast<uint16_t>(r >> 5), static_cast<uint16_t>(g >> 6),
                   static_cast<uint16_t>(b >> 5));
  } else if constexpr (m == 8) {
    // p * w >> (n + 8) = (p * (w << (8 - n))) >> 16, with w << 3 below 2^16.
    const uint16_t w5 = static_cast<uint16_t>(w << 3), w6 = static_cast<uint16_t>(w << 2);
    return Pack565(MulHigh16(r, w5), MulHigh16(g, w6), MulHigh16(b, w5));
  } else {
    static_assert(m == 16, "no 16-bit multiply with more than two factors");
    const uint16_t w16 = static_cast<uint16_t>(w);
    return Pack565(static_cast<uint16_t>(MulHigh16(r, w16) >> 5),
                   static_cast<uint16_t>(MulHigh16(g, w16) >> 6),
                   static_cast<uint16_t>(MulHigh16(b, w16) >> 5));
  }
}

// The packed saturating add with guard bits 5, 11 and 16. Blue is exact; green's upper five
// and red's upper four bits add, a field that overflows becomes all ones, and green's and
// red's lowest bits catch the carries from below (ORed with D's and T's lowest bits when
// kLowBits).
template <bool kLowBits>
SOFTRENDER_INLINE uint16_t AddSaturate565(uint16_t d, uint16_t t) {
  const uint32_t x = uint32_t{d & 0xF7DFu} + (t & 0xF7DFu);
  const uint32_t c = x & 0x10820;
  uint32_t out = x | (c - (c >> 5));
  if constexpr (kLowBits) out |= (d | t) & 0x0820u;
  return static_cast<uint16_t>(out);
}

// The packed saturating subtract with the same guard bits: a field that borrows becomes 0,
// green's lowest bit is always 0, and red's lowest bit says green did not borrow.
SOFTRENDER_INLINE uint16_t SubtractSaturate565(uint16_t d, uint16_t t) {
  const uint32_t x = (d | 0x10820u) - (t & 0xF7DFu);
  const uint32_t b = x & 0x10820;
  return static_cast<uint16_t>(x & (b - (b >> 5)));
}

// One pixel of a 16-bit draw: the destination word after the rule of kind K, for the source
// colour word s with alpha a and the blend weight r. kPartial adds the alpha as a factor;
// kBlend adds the blend weight.
template <RuleKind K, bool kBright, bool kBlend, bool kPartial>
SOFTRENDER_INLINE uint16_t ApplyRule565(uint16_t d, uint16_t s, uint32_t a, uint32_t r,
                                        const RuleParams& p) {
  constexpr int kFactors = (kBlend ? 1 : 0) + (kPartial ? 1 : 0);
  constexpr int m = 8 * kFactors;
  const uint32_t f = kBlend ? (kPartial ? r * a : r) : (kPartial ? a : 1);
  if constexpr (K == RuleKind::RawCopy) {
    return s;
  } else if constexpr (K == RuleKind::HalfMix) {
    return HalfMix565(d, s);
  } else if constexpr (K == RuleKind::Scale6Mix) {
    return Scale6Mix565(d, s, p.param);
  } else if constexpr (K == RuleKind::AddNoLowBits) {
    return AddSaturate565<false>(d, s);
  } else if constexpr (K == RuleKind::Add || K == RuleKind::Subtract) {
    const auto term = [&](uint16_t sc, uint32_t k) -> uint16_t {
      if constexpr (kFactors == 0) {
        return Scale255u16(kBright ? Scale255u16(sc, k) : sc, p.param);
      } else if constexpr (!kPartial) {
        const uint16_t x = kBright ? Scale255u16(sc, k) : sc;
        return Scale255u16(
            static_cast<uint16_t>(static_cast<uint16_t>(x * static_cast<uint16_t>(r)) >> 8),
            p.param);
      } else if constexpr (!kBlend) {
        // Without a blend image the alpha scales first and the brightness second.
        uint16_t v =
            static_cast<uint16_t>(static_cast<uint16_t>(sc * static_cast<uint16_t>(a)) >> 8);
        if constexpr (kBright) v = Scale255u16(v, k);
        return Scale255u16(v, p.param);
      } else {
        const uint16_t x = kBright ? Scale255u16(sc, k) : sc;
        const uint16_t xa = static_cast<uint16_t>(x * static_cast<uint16_t>(a));
        return Scale255u16(static_cast<uint16_t>(uint32_t{xa} * static_cast<uint16_t>(r) >> 16),
                           p.param);
      }
    };
    const uint16_t t = Pack565(term(Red565(s), p.brightRed), term(Green565(s), p.brightGreen),
                               term(Blue565(s), p.brightBlue));
    if constexpr (K == RuleKind::Add)
      return AddSaturate565<true>(d, t);
    else
      return SubtractSaturate565(d, t);
  } else {
    uint16_t x;
    if constexpr (K == RuleKind::InvertedAlpha) {
      const uint16_t inverted = static_cast<uint16_t>(~s);  // inverted first, brightened second
      x = kBright ? Brighten565(inverted, p) : inverted;
    } else {
      x = kBright ? Brighten565(s, p) : s;
    }
    if constexpr (K == RuleKind::Copy) {
      if constexpr (kFactors == 0)
        return x;
      else if constexpr (kFactors == 1)
        return Mix565<8>(d, x, f);
      else
        return Mix565By2(d, x, r, a);
    } else if constexpr (K == RuleKind::Multiply) {
      return Multiply565<m>(d, x, f);
    } else {
      static_assert(
          K == RuleKind::Alpha || K == RuleKind::InvertedAlpha || K == RuleKind::MultiplyAlpha,
          "no 16-bit form for this rule kind");
      if constexpr (K == RuleKind::MultiplyAlpha) x = Multiply565<0>(d, x, 1);
      if constexpr (kFactors == 0) {
        return TableMix565(d, x, p.param);
      } else {
        uint16_t out;
        if constexpr (kFactors == 1)
          out = Mix565By2(d, x, f, p.param);
        else
          out = Mix565<24>(d, x, f * p.param);
        if constexpr (K == RuleKind::MultiplyAlpha && kPartial && !kBlend && !kBright) {
          // This form keeps five more bits of the green product.
          const uint32_t dg = Green565(d), ap = a * p.param;
          const uint32_t half = (uint32_t{Green565(s)} * dg) >> 1;
          const uint32_t g = (32 * dg * (65536 - ap) + half * ap) >> 21;
          return static_cast<uint16_t>((out & 0xF81F) | g << 5);
        }
        return out;
      }
    }
  }
}

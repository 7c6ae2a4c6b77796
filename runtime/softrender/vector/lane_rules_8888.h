// The 32-bit pixel rules over a register of pixels: the same results, bit for bit, as the
// one-pixel rules of pixel_rules_8888.h. Channel arithmetic runs in 16-bit lanes (each pixel's
// four bytes widened to four lanes, two registers per register of pixels); the packed adds and
// subtracts and the fourth byte run on whole 32-bit pixels.
//
// Compiled once per instruction set, in the namespace of each compilation, like lanes.h.
#pragma once
#if !defined(SOFTRENDER_LEAF_NAMESPACE)
#error "define SOFTRENDER_LEAF_NAMESPACE before including lane_rules_8888.h"
#endif

#include <cstdint>

#include "runtime/softrender/pixel_rules.h"
#include "runtime/softrender/vector/lanes.h"

namespace SOFTRENDER_LEAF_NAMESPACE {

// The same four 16-bit lanes in every widened pixel: blue, green, red and the fourth byte's.
SOFTRENDER_INLINE WordLanes PixelLanes(uint64_t blue, uint64_t green, uint64_t red,
                                       uint64_t fourth) {
  typedef uint64_t QwordLanes __attribute__((vector_size(SOFTRENDER_LANE_BYTES)));
  return As<WordLanes>(QwordLanes{} + (blue | green << 16 | red << 32 | fourth << 48));
}

// floor(x * P / 255) for x <= 255 and P < 255 is the high half of x * (floor(P * 2^16 / 255) + 1):
// the factor exceeds P * 2^16 / 255 by at most one, which x times stays below one 255th.
constexpr uint64_t ByParam(uint32_t param) { return param < 255 ? param * 65536u / 255 + 1 : 0; }

// What stays fixed for one draw, spread over the lanes once. Like every weight of these rules,
// P is 0 in the fourth lane of each pixel, so a mix leaves the fourth byte as it was.
struct LaneParams8888 {
  WordLanes param;      // P
  WordLanes keepParam;  // 256 - P
  WordLanes bright;     // the DrawBright bytes
  WordLanes byParam;    // ByParam(P); P = 255 takes the kFullParam forms instead
  DwordLanes transparent;

  explicit LaneParams8888(const RuleParams& p)
      : param(PixelLanes(p.param, p.param, p.param, 0)),
        keepParam(PixelLanes(256 - p.param, 256 - p.param, 256 - p.param, 256)),
        bright(PixelLanes(p.brightBlue, p.brightGreen, p.brightRed, 0)),
        byParam(PixelLanes(ByParam(p.param), ByParam(p.param), ByParam(p.param), 0)),
        transparent(SplatDword(p.transparent)) {}
};

// (D_c * (256 - w) + Y_c * w) >> 8 for w <= 256: every term fits 16 bits.
SOFTRENDER_INLINE WordLanes LaneMix8(WordLanes d, WordLanes y, WordLanes w) {
  return (d * (256 - w) + y * w) >> 8;
}

// D_c + floor((Y_c - D_c) * k / 2^16) for k < 2^16.
SOFTRENDER_INLINE WordLanes LaneMix16(WordLanes d, WordLanes y, WordLanes k) {
  return d + As<WordLanes>(MulHighMixed(As<SignedWordLanes>(y - d), k));
}

// D_c + floor((Y_c - D_c) * v * P / 2^24) for v, P < 2^16. With (Y_c - D_c) * v = H * 2^16 + L
// (L the low half, unsigned), the value shifted right by 16 is D_c * 256 + H * P +
// floor(L * P / 2^16): below 2^16, so 16-bit lanes that wrap hold it exactly.
SOFTRENDER_INLINE WordLanes LaneMix24(WordLanes d, WordLanes y, WordLanes v, WordLanes param) {
  const SignedWordLanes diff = As<SignedWordLanes>(y - d);
  const WordLanes high = As<WordLanes>(MulHighMixed(diff, v));
  const WordLanes low = As<WordLanes>(diff) * v;
  return ((d << 8) + high * param + MulHigh(low, param)) >> 8;
}

// Half a register of pixels (16-bit lanes, four a pixel): the new colour lanes of the rules
// that mix or multiply, or the term of the add and subtract. d and s are the widened
// destination and source, a the alpha and r the blend weight spread over their pixel's colour
// lanes. kMixed (add and subtract without a blend image) gives the pixels of alpha 255 the
// opaque form and the others the partial one. kFullParam says P is 255, where the add's and
// subtract's opaque term, floor(X_c * 255 / 255), is X_c itself.
template <RuleKind K, bool kBright, bool kBlend, bool kPartial, bool kMixed = false,
          bool kFullParam = false>
SOFTRENDER_INLINE WordLanes LaneHalf8888(WordLanes d, WordLanes s, WordLanes a, WordLanes r,
                                         const LaneParams8888& c) {
  constexpr int kFactors = (kBlend ? 1 : 0) + (kPartial ? 1 : 0);
  // The single factor, or the product of both (at most 255 * 256).
  WordLanes f;
  if constexpr (kBlend && kPartial)
    f = r * a;
  else if constexpr (kBlend)
    f = r;
  else
    f = a;

  WordLanes x = K == RuleKind::InvertedAlpha ? s ^ 0xFF : s;  // inverted first, brightened second
  if constexpr (kBright) x = LaneDiv255(x * c.bright);

  if constexpr (K == RuleKind::Copy) {
    if constexpr (kFactors == 0)
      return x;
    else if constexpr (kFactors == 1)
      return LaneMix8(d, x, f);
    else
      return LaneMix16(d, x, f);
  } else if constexpr (K == RuleKind::Alpha || K == RuleKind::InvertedAlpha ||
                       K == RuleKind::MultiplyAlpha) {
    if constexpr (K == RuleKind::MultiplyAlpha) x = (d * x) >> 8;
    if constexpr (kFactors == 0)
      return (d * c.keepParam + x * c.param) >> 8;
    else if constexpr (kFactors == 1)
      return LaneMix16(d, x, f * c.param);
    else
      return LaneMix24(d, x, f, c.param);
  } else if constexpr (K == RuleKind::Add || K == RuleKind::Subtract) {
    const WordLanes scaled = x * c.param;  // at most 255 * 255
    if constexpr (kMixed) {
      static_assert(kPartial && !kBlend, "only the alpha chooses between the forms");
      return Select(a == 255, kFullParam ? x & c.param : MulHigh(x, c.byParam), MulHigh(scaled, f));
    } else if constexpr (kFactors == 0) {
      // The fourth lane's factors of 0 give the fourth byte 0 in either form.
      return kFullParam ? x & c.param : MulHigh(x, c.byParam);
    } else if constexpr (kFactors == 1) {
      return MulHigh(scaled, f);
    } else {
      return MulHigh(scaled, f) >> 8;
    }
  } else {
    static_assert(K == RuleKind::Multiply, "no 32-bit lane form for this rule kind");
    const WordLanes product = d * x;  // at most 255 * 255
    if constexpr (kFactors == 0)
      return product >> 8;
    else if constexpr (kFactors == 1)
      return MulHigh(product, f);
    else
      return MulHigh(product, f) >> 8;
  }
}

SOFTRENDER_INLINE DwordLanes LaneAddSaturate8888(DwordLanes d, DwordLanes t) {
  const DwordLanes x = (d & 0xFEFEFF) + (t & 0xFEFEFF);
  const DwordLanes e = x & 0x1010100;
  return (e - (e >> 8)) | ((d | t) & 0x10100) | x;
}
SOFTRENDER_INLINE DwordLanes LaneAddSaturateNoLowBits8888(DwordLanes d, DwordLanes t) {
  const DwordLanes x = (d & 0xFEFEFF) + (t & 0xFEFEFF);
  const DwordLanes e = x & 0x1010100;
  return (e - (e >> 8)) | x;
}
SOFTRENDER_INLINE DwordLanes LaneSubtractSaturate8888(DwordLanes d, DwordLanes t) {
  const DwordLanes y = (d | 0x1010100) - (t & 0xFEFEFEFF);
  const DwordLanes b = y & 0x1010100;
  return y & (b - (b >> 8));
}

// A register of pixels under the rule of kind K: ApplyRule8888 for each. aLow/aHigh and
// rLow/rHigh are the alpha and the blend weight spread over the colour lanes of the widened
// halves. kFullParam (add and subtract only) says P is 255.
template <RuleKind K, bool kBright, bool kBlend, bool kPartial, bool kMixed = false,
          bool kFullParam = false>
SOFTRENDER_INLINE DwordLanes LaneRule8888(DwordLanes d, DwordLanes s, WordLanes aLow,
                                          WordLanes aHigh, WordLanes rLow, WordLanes rHigh,
                                          const LaneParams8888& c) {
  constexpr bool kWeighted = kBlend || kPartial;
  if constexpr (K == RuleKind::RawCopy || (K == RuleKind::Copy && !kBright && !kWeighted)) {
    return s;
  } else if constexpr (K == RuleKind::HalfMix) {
    return ((s >> 1) & 0x7F7F7F) + ((d >> 1) & 0x7F7F7F);
  } else if constexpr (K == RuleKind::AddNoLowBits) {
    return LaneAddSaturateNoLowBits8888(d, s);
  } else if constexpr ((K == RuleKind::Add || K == RuleKind::Subtract) && kFullParam && !kBright &&
                       !kWeighted) {
    // The term is the source's colour bytes as they are.
    const DwordLanes t = s & 0xFFFFFF;
    if constexpr (K == RuleKind::Add)
      return LaneAddSaturate8888(d, t);
    else
      return LaneSubtractSaturate8888(d, t);
  } else {
    const ByteLanes db = As<ByteLanes>(d), sb = As<ByteLanes>(s);
    const WordLanes low = LaneHalf8888<K, kBright, kBlend, kPartial, kMixed, kFullParam>(
        WidenLow(db), WidenLow(sb), aLow, rLow, c);
    const WordLanes high = LaneHalf8888<K, kBright, kBlend, kPartial, kMixed, kFullParam>(
        WidenHigh(db), WidenHigh(sb), aHigh, rHigh, c);
    const DwordLanes v = As<DwordLanes>(Narrow(low, high));
    if constexpr (K == RuleKind::Add)
      return LaneAddSaturate8888(d, v);
    else if constexpr (K == RuleKind::Subtract)
      return LaneSubtractSaturate8888(d, v);
    else if constexpr (K == RuleKind::Multiply || (K == RuleKind::Copy && !kWeighted))
      return (v & 0xFFFFFF) | (d & 0xFF000000u);  // the fourth byte keeps its value
    else
      return v;  // the mixes kept the fourth byte themselves
  }
}

}  // namespace SOFTRENDER_LEAF_NAMESPACE

// The 16-bit pixel rules over a register of pixels: the same results, bit for bit, as the
// one-pixel rules of pixel_rules_565.h. One pixel a 16-bit lane; each rule takes the red,
// green and blue fields apart into registers of their own, works on the field values and packs
// them again.
//
// Compiled once per instruction set, in the namespace of each compilation, like lanes.h.
#pragma once
#if !defined(SOFTRENDER_LEAF_NAMESPACE)
#error "define SOFTRENDER_LEAF_NAMESPACE before including lane_rules_565.h"
#endif

#include <cstdint>

#include "runtime/softrender/pixel_rules.h"
#include "runtime/softrender/vector/lanes.h"

namespace SOFTRENDER_LEAF_NAMESPACE {

// What stays fixed for one draw, spread over the lanes once.
struct LaneParams565 {
  WordLanes param;          // P
  WordLanes scale6, keep6;  // P >> 2 and 63 - (P >> 2)
  WordLanes brightRed, brightGreen, brightBlue;
  WordLanes transparent;         // the key as a 16-bit word
  SignedWordLanes keyable;       // all ones when the key fits 16 bits, else 0
  SignedWordLanes stepA, stepB;  // the table step's factors for P

  explicit LaneParams565(const RuleParams& p)
      : param(SplatWord(p.param)),
        scale6(SplatWord(p.param >> 2)),
        keep6(SplatWord(63 - (p.param >> 2))),
        brightRed(SplatWord(p.brightRed)),
        brightGreen(SplatWord(p.brightGreen)),
        brightBlue(SplatWord(p.brightBlue)),
        transparent(SplatWord(p.transparent)),
        keyable(As<SignedWordLanes>(SplatWord(p.transparent <= 0xFFFF ? 0xFFFF : 0))) {
    const TableStepFactors f = TableStepFactorsOf(p.param);
    stepA = As<SignedWordLanes>(SplatWord(f.a));
    stepB = As<SignedWordLanes>(SplatWord(f.b));
  }
};

// The three fields of a register of 5-6-5 words, each in lanes of its own.
struct FieldLanes {
  WordLanes red, green, blue;
};

SOFTRENDER_INLINE FieldLanes Split565(WordLanes w) { return {w >> 11, (w >> 5) & 63, w & 31}; }
SOFTRENDER_INLINE WordLanes Join565(const FieldLanes& f) {
  return f.red << 11 | f.green << 5 | f.blue;
}

// One operation applied to each field, with the field's own brightness or width where asked.
template <class Fn>
SOFTRENDER_INLINE FieldLanes EachField(Fn&& fn) {
  return {fn(0), fn(1), fn(2)};
}
SOFTRENDER_INLINE WordLanes Field(const FieldLanes& f, int i) {
  return i == 0 ? f.red : i == 1 ? f.green : f.blue;
}

// floor(v * k / 255).
SOFTRENDER_INLINE WordLanes LaneScale255(WordLanes v, WordLanes k) { return LaneDiv255(v * k); }

// (D_c * (256 - w) + Y_c * w) >> 8 for w <= 256.
SOFTRENDER_INLINE WordLanes LaneMix565By8(WordLanes d, WordLanes y, WordLanes w) {
  return (d * (256 - w) + y * w) >> 8;
}

// D_c + (((Y_c - D_c) * f1) * f2 >> 16) with both factors at most 256: Mix565By2.
SOFTRENDER_INLINE WordLanes LaneMix565By2(WordLanes d, WordLanes y, WordLanes f1, WordLanes f2) {
  const SignedWordLanes t = As<SignedWordLanes>(y - d) * As<SignedWordLanes>(f1);
  return d + As<WordLanes>(MulHighSigned(t, As<SignedWordLanes>(f2)));
}

// D_c + floor((Y_c - D_c) * a * k / 2^24) for a <= 256 and k < 2^16: (Y_c - D_c) * a fits 16
// signed bits.
SOFTRENDER_INLINE WordLanes LaneMix565By24(WordLanes d, WordLanes y, WordLanes a, WordLanes k) {
  const SignedWordLanes t = As<SignedWordLanes>(y - d) * As<SignedWordLanes>(a);
  return d + As<WordLanes>(MulHighMixed(t, k) >> 8);
}

// D_c + floor((Y_c - D_c) * f1 * f2 / 2^16), plus one where Y_c < D_c in the lanes of
// tableLanes: with the table step's factors there, TableMix565; with f1 = a and f2 = P,
// LaneMix565By2. (Y_c - D_c) * f1 stays within 16 signed bits for either.
SOFTRENDER_INLINE WordLanes LaneStepMix565(WordLanes d, WordLanes y, SignedWordLanes f1,
                                           SignedWordLanes f2, SignedWordLanes tableLanes) {
  const SignedWordLanes diff = As<SignedWordLanes>(y - d);
  return d + As<WordLanes>(MulHighSigned(diff * f1, f2) - ((diff >> 15) & tableLanes));
}

// floor(x / 63) for x <= 3969.
SOFTRENDER_INLINE WordLanes LaneDiv63(WordLanes x) { return (x + 1 + (x >> 6)) >> 6; }

// floor(Y_c * D_c * w / 2^(n_c + m)): Multiply565.
template <int m>
SOFTRENDER_INLINE FieldLanes LaneMultiply565(const FieldLanes& d, const FieldLanes& y,
                                             WordLanes w) {
  return EachField([&](int i) {
    const int width = i == 1 ? 6 : 5;
    const WordLanes product = Field(y, i) * Field(d, i);  // below 2^12
    if constexpr (m == 0)
      return product >> width;
    else if constexpr (m == 8)
      return MulHigh(product, w << (8 - width));
    else
      return MulHigh(product, w) >> width;
  });
}

// The packed saturating add of AddSaturate565 in 16-bit lanes: the carry out of red, bit 16
// there, is found by the unsigned wrap of the sum.
template <bool kLowBits>
SOFTRENDER_INLINE WordLanes LaneAddSaturate565(WordLanes d, WordLanes t) {
  const WordLanes a = d & 0xF7DF, x = a + (t & 0xF7DF);
  const WordLanes redCarry = As<WordLanes>(x < a);
  const WordLanes c = x & 0x0820;
  WordLanes out = x | (c - (c >> 5)) | (redCarry & 0xF800);
  if constexpr (kLowBits) out |= (d | t) & 0x0820;
  return out;
}

// SubtractSaturate565 in 16-bit lanes: red's guard bit survives when the whole word did not
// borrow.
SOFTRENDER_INLINE WordLanes LaneSubtractSaturate565(WordLanes d, WordLanes t) {
  const WordLanes a = d | 0x0820, u = t & 0xF7DF;
  const WordLanes x = a - u;
  const WordLanes redKept = As<WordLanes>(a >= u);
  const WordLanes b = x & 0x0820;
  return x & ((b - (b >> 5)) | (redKept & 0xF800));
}

// A register of pixels under the rule of kind K: ApplyRule565 for each. s holds the source
// colour words, a the alpha and r the blend weight of each pixel. kFullParam says P is 255,
// where the add's and subtract's last scaling, floor(x * 255 / 255), is x itself. kMixed (the
// alpha and inverted alpha without a blend image) gives the pixels of alpha 255 the opaque
// form and the others the partial one, in one pass.
template <RuleKind K, bool kBright, bool kBlend, bool kPartial, bool kFullParam = false,
          bool kMixed = false>
SOFTRENDER_INLINE WordLanes LaneRule565(WordLanes d, WordLanes s, WordLanes a, WordLanes r,
                                        const LaneParams565& c) {
  constexpr int kFactors = (kBlend ? 1 : 0) + (kPartial ? 1 : 0);
  const WordLanes brights[3] = {c.brightRed, c.brightGreen, c.brightBlue};
  if constexpr (K == RuleKind::RawCopy) {
    return s;
  } else if constexpr (K == RuleKind::HalfMix) {
    return ((s >> 1) & 0x7BEF) + ((d >> 1) & 0x7BEF);
  } else if constexpr (K == RuleKind::Scale6Mix) {
    const FieldLanes df = Split565(d), sf = Split565(s);
    return Join565(EachField(
        [&](int i) { return LaneDiv63(Field(sf, i) * c.scale6 + Field(df, i) * c.keep6); }));
  } else if constexpr (K == RuleKind::AddNoLowBits) {
    return LaneAddSaturate565<false>(d, s);
  } else if constexpr (K == RuleKind::Add || K == RuleKind::Subtract) {
    const FieldLanes sf = Split565(s);
    const auto byParam = [&](WordLanes x) { return kFullParam ? x : LaneScale255(x, c.param); };
    const WordLanes t = Join565(EachField([&](int i) {
      const WordLanes sc = Field(sf, i), k = brights[i];
      if constexpr (kFactors == 0) {
        return byParam(kBright ? LaneScale255(sc, k) : sc);
      } else if constexpr (!kPartial) {
        const WordLanes x = kBright ? LaneScale255(sc, k) : sc;
        return byParam((x * r) >> 8);
      } else if constexpr (!kBlend) {
        // Without a blend image the alpha scales first and the brightness second.
        WordLanes v = (sc * a) >> 8;
        if constexpr (kBright) v = LaneScale255(v, k);
        return byParam(v);
      } else {
        const WordLanes x = kBright ? LaneScale255(sc, k) : sc;
        return byParam(MulHigh(x * a, r));
      }
    }));
    if constexpr (K == RuleKind::Add)
      return LaneAddSaturate565<true>(d, t);
    else
      return LaneSubtractSaturate565(d, t);
  } else {
    const FieldLanes df = Split565(d);
    FieldLanes x = Split565(K == RuleKind::InvertedAlpha ? ~s : s);  // inverted, then brightened
    if constexpr (kBright)
      x = EachField([&](int i) { return LaneScale255(Field(x, i), brights[i]); });
    const WordLanes f = kBlend && kPartial ? r * a : kBlend ? r : a;
    if constexpr (K == RuleKind::Copy) {
      if constexpr (kFactors == 0)
        return Join565(x);
      else if constexpr (kFactors == 1)
        return Join565(
            EachField([&](int i) { return LaneMix565By8(Field(df, i), Field(x, i), f); }));
      else
        return Join565(
            EachField([&](int i) { return LaneMix565By2(Field(df, i), Field(x, i), r, a); }));
    } else if constexpr (K == RuleKind::Multiply) {
      return Join565(LaneMultiply565<8 * kFactors>(df, x, f));
    } else {
      static_assert(
          K == RuleKind::Alpha || K == RuleKind::InvertedAlpha || K == RuleKind::MultiplyAlpha,
          "no 16-bit lane form for this rule kind");
      if constexpr (K == RuleKind::MultiplyAlpha) x = LaneMultiply565<0>(df, x, f);
      FieldLanes out;
      if constexpr (kMixed) {
        static_assert(kPartial && !kBlend && K != RuleKind::MultiplyAlpha,
                      "only the alpha chooses between the forms");
        const SignedWordLanes opaque = As<SignedWordLanes>(a == 255);
        const SignedWordLanes f1 = Select(opaque, c.stepA, As<SignedWordLanes>(a));
        const SignedWordLanes f2 = Select(opaque, c.stepB, As<SignedWordLanes>(c.param));
        out = EachField(
            [&](int i) { return LaneStepMix565(Field(df, i), Field(x, i), f1, f2, opaque); });
      } else if constexpr (kFactors == 0) {
        const SignedWordLanes all = As<SignedWordLanes>(SplatWord(0xFFFF));
        out = EachField([&](int i) {
          return LaneStepMix565(Field(df, i), Field(x, i), c.stepA, c.stepB, all);
        });
      } else if constexpr (kFactors == 1)
        out =
            EachField([&](int i) { return LaneMix565By2(Field(df, i), Field(x, i), f, c.param); });
      else
        out = EachField(
            [&](int i) { return LaneMix565By24(Field(df, i), Field(x, i), a, r * c.param); });
      if constexpr (K == RuleKind::MultiplyAlpha && kPartial && !kBlend && !kBright) {
        // This form keeps five more bits of the green product.
        const WordLanes half = (Split565(s).green * df.green) >> 1;
        const SignedWordLanes step = As<SignedWordLanes>(half - (df.green << 5));
        out.green = df.green + As<WordLanes>(MulHighMixed(step, a * c.param) >> 5);
      }
      return Join565(out);
    }
  }
}

}  // namespace SOFTRENDER_LEAF_NAMESPACE

// The pixel loops (leaves) of the plain blit, one per combination of source kind, rule kind,
// brightness, blend image and pixel selection, each drawing a span of one row.
//
// This file is compiled once per instruction set: the including file defines
// SOFTRENDER_LEAF_NAMESPACE and SOFTRENDER_LANE_BYTES (and may switch the target before the
// include), so each compilation has its own symbols. It therefore has no include guard.
#ifndef SOFTRENDER_LEAF_NAMESPACE
#error "define SOFTRENDER_LEAF_NAMESPACE before including plain_leaves.h"
#endif

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "runtime/softrender/pixel_rules_565.h"
#include "runtime/softrender/pixel_rules_8888.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "runtime/softrender/vector/lane_rules_565.h"
#include "runtime/softrender/vector/lane_rules_8888.h"
#include "runtime/softrender/vector/table_lookups.h"

namespace SOFTRENDER_LEAF_NAMESPACE {

// How a source pixel is read: its colour word, its alpha and its transparent test.
struct Source8888 {
  static constexpr bool kPaletted = false;
  using Word = uint32_t;
  static constexpr int kBytes = 4;
  static constexpr bool kAlpha = false;
  static Word Color(const uint8_t* px, const RuleParams&) { return Load32(px); }
  static uint32_t Alpha(const uint8_t*) { return 255; }
  static bool IsKey(const uint8_t* px, const RuleParams& p) { return Load32(px) == p.transparent; }
};
struct SourceAlpha8888 {
  static constexpr bool kPaletted = false;
  using Word = uint32_t;
  static constexpr int kBytes = 4;
  static constexpr bool kAlpha = true;
  static Word Color(const uint8_t* px, const RuleParams&) { return Load32(px); }
  static uint32_t Alpha(const uint8_t* px) { return Load32(px) >> 24; }
  static bool IsKey(const uint8_t*, const RuleParams&) { return false; }
};
struct SourcePaletted8888 {
  static constexpr bool kPaletted = true;
  using Word = uint32_t;
  static constexpr int kBytes = 1;
  static constexpr bool kAlpha = false;
  static Word Color(const uint8_t* px, const RuleParams& p) {
    return Load32(p.palette + 4 * px[0]);
  }
  static uint32_t Alpha(const uint8_t*) { return 255; }
  static bool IsKey(const uint8_t* px, const RuleParams& p) { return px[0] == p.transparent; }
};
struct Source565 {
  static constexpr bool kPaletted = false;
  using Word = uint16_t;
  static constexpr int kBytes = 2;
  static constexpr bool kAlpha = false;
  static Word Color(const uint8_t* px, const RuleParams&) { return Load16(px); }
  static uint32_t Alpha(const uint8_t*) { return 255; }
  static bool IsKey(const uint8_t* px, const RuleParams& p) { return Load16(px) == p.transparent; }
};
struct SourceAlpha565 {
  static constexpr bool kPaletted = false;
  using Word = uint16_t;
  static constexpr int kBytes = 4;
  static constexpr bool kAlpha = true;
  static Word Color(const uint8_t* px, const RuleParams&) { return static_cast<Word>(Load32(px)); }
  static uint32_t Alpha(const uint8_t* px) { return (Load32(px) >> 16) & 0xFF; }
  static bool IsKey(const uint8_t*, const RuleParams&) { return false; }
};
struct SourcePaletted565 {
  static constexpr bool kPaletted = true;
  using Word = uint16_t;
  static constexpr int kBytes = 1;
  static constexpr bool kAlpha = false;
  static Word Color(const uint8_t* px, const RuleParams& p) {
    return Load16(p.palette + 2 * px[0]);
  }
  static uint32_t Alpha(const uint8_t*) { return 255; }
  static bool IsKey(const uint8_t* px, const RuleParams& p) { return px[0] == p.transparent; }
};

template <class Word, RuleKind K, bool kBright, bool kBlend, bool kPartial>
inline Word Apply(Word d, Word s, uint32_t a, uint32_t r, const RuleParams& p) {
  if constexpr (sizeof(Word) == 4)
    return ApplyRule8888<K, kBright, kBlend, kPartial>(d, s, a, r, p);
  else
    return ApplyRule565<K, kBright, kBlend, kPartial>(d, s, a, r, p);
}

template <class Word>
inline Word LoadWord(const uint8_t* p) {
  if constexpr (sizeof(Word) == 4)
    return Load32(p);
  else
    return Load16(p);
}
template <class Word>
inline void StoreWord(uint8_t* p, Word v) {
  if constexpr (sizeof(Word) == 4)
    Store32(p, v);
  else
    Store16(p, v);
}

// Whether a rule's opaque form equals its partial form with the alpha factor at 256 (exactly
// one, as weights count out of 256). It does wherever the opaque form weighs by the same
// products; it does not where the opaque form copies the whole 32-bit word, scales by P/255
// through the table, or takes the 16-bit signed table step.
template <class Word, RuleKind K, bool kBright, bool kBlend>
constexpr bool OpaqueIsFullWeight() {
  constexpr bool deep = sizeof(Word) == 4;
  switch (K) {
    case RuleKind::Copy:
      return !deep || kBright || kBlend;
    case RuleKind::Multiply:
      return true;
    case RuleKind::Add:
    case RuleKind::Subtract:
      return !deep || kBlend;
    case RuleKind::Alpha:
    case RuleKind::InvertedAlpha:
    case RuleKind::MultiplyAlpha:
      return deep || kBlend;
    default:
      return false;
  }
}

// Pixels are drawn in chunks: table reads that gather (the blend weights, a palette's
// entries) go first into small arrays, so that the loop applying the rule reads everything in
// sequence and has no branches; the compiler can then vectorise it. A skipped pixel gets its
// old value back.
constexpr int kChunk = 128;

template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
inline void SpanChunk(uint8_t* dst, const uint8_t* src, const uint8_t* weights,
                      const typename Src::Word* colours, int n, const RuleParams& p) {
  using Word = typename Src::Word;
  for (int i = 0; i < n; ++i) {
    const uint8_t* px = src + i * Src::kBytes;
    uint8_t* out = dst + i * static_cast<int>(sizeof(Word));
    const Word d = LoadWord<Word>(out);
    const Word s = Src::kPaletted ? colours[i] : Src::Color(px, p);
    const uint32_t a = Src::Alpha(px);
    const uint32_t r = kBlend ? weights[i] : 0;
    Word v;
    if constexpr (kSel == PixelSelect::Opaque) {
      v = Apply<Word, K, kBright, kBlend, false>(d, s, a, r, p);
    } else if constexpr (kSel == PixelSelect::Partial) {
      v = Apply<Word, K, kBright, kBlend, true>(d, s, a, r, p);
    } else if constexpr (kSel == PixelSelect::Key) {
      const Word drawn = Apply<Word, K, kBright, kBlend, false>(d, s, a, r, p);
      v = Src::IsKey(px, p) ? d : drawn;
    } else if constexpr (OpaqueIsFullWeight<Word, K, kBright, kBlend>()) {
      // The opaque form is the partial form with the alpha factor at 256/256.
      const Word drawn = Apply<Word, K, kBright, kBlend, true>(d, s, a == 255 ? 256 : a, r, p);
      v = a == 0 ? d : drawn;
    } else {
      const Word opaque = Apply<Word, K, kBright, kBlend, false>(d, s, a, r, p);
      const Word partial = Apply<Word, K, kBright, kBlend, true>(d, s, a, r, p);
      v = a == 0 ? d : a == 255 ? opaque : partial;
    }
    StoreWord<Word>(out, v);
  }
}

// Whether a rule's partial form gives every pixel of alpha 0 back unchanged (its weights are
// all 0 there), so that the alpha class needs no test for it.
template <RuleKind K>
constexpr bool ZeroAlphaKeepsPixel() {
  return K == RuleKind::Copy || K == RuleKind::Alpha || K == RuleKind::InvertedAlpha ||
         K == RuleKind::MultiplyAlpha;
}

// A whole register's pixels, or with kPart the first `live` of them: the loads of the image
// bytes read no further and the store writes no further. The gathered arrays are read whole.
template <class V, bool kPart>
SOFTRENDER_INLINE V LoadPixels(const uint8_t* p, int bytes) {
  if constexpr (kPart)
    return LoadPart<V>(p, bytes);
  else
    return LoadLanes<V>(p);
}
template <bool kPart, class V>
SOFTRENDER_INLINE void StorePixels(uint8_t* p, V v, int bytes) {
  if constexpr (kPart)
    StorePart(p, v, bytes);
  else
    StoreLanes(p, v);
}

// One register of 32-bit pixels through the lane rules: what SpanChunk makes of them.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel, bool kPart = false,
          bool kFullParam = false>
SOFTRENDER_INLINE void LaneStep(uint8_t* out, const uint8_t* px, const uint8_t* weights,
                                const uint32_t* colours, const LaneParams8888& c, int live = 0) {
  if constexpr (K == RuleKind::Copy && !kBright && !kBlend && kSel == PixelSelect::Key && !kPart) {
    // The copy under the transparent colour stores the drawn pixels under a mask and never
    // reads the destination.
    const DwordLanes s = Src::kPaletted
                             ? LoadLanes<DwordLanes>(reinterpret_cast<const uint8_t*>(colours))
                             : LoadLanes<DwordLanes>(px);
    StoreDwordsUnlessEqual(out, s, Src::kPaletted ? LoadBytesAsDwords(px) : s, c.transparent);
    return;
  }
  const DwordLanes d = LoadPixels<DwordLanes, kPart>(out, 4 * live);
  const DwordLanes s = Src::kPaletted
                           ? LoadLanes<DwordLanes>(reinterpret_cast<const uint8_t*>(colours))
                           : LoadPixels<DwordLanes, kPart>(px, 4 * live);
  WordLanes aLow{}, aHigh{}, rLow{}, rHigh{};
  if constexpr (kBlend) SpreadWeights8888(weights, &rLow, &rHigh);
  if constexpr (Src::kAlpha) SpreadAlpha8888(As<ByteLanes>(s), &aLow, &aHigh);
  const auto rule = [&]<bool kPartial, bool kMixed = false>() {
    return LaneRule8888<K, kBright, kBlend, kPartial, kMixed, kFullParam>(d, s, aLow, aHigh, rLow,
                                                                          rHigh, c);
  };
  DwordLanes v;
  if constexpr (kSel == PixelSelect::Opaque) {
    v = rule.template operator()<false>();
  } else if constexpr (kSel == PixelSelect::Partial) {
    v = rule.template operator()<true>();
  } else if constexpr (kSel == PixelSelect::Key) {
    DwordLanes key = s;
    if constexpr (Src::kPaletted)
      key = kPart ? LoadBytesAsDwordsPart(px, live) : LoadBytesAsDwords(px);
    v = Select(key == c.transparent, d, rule.template operator()<false>());
  } else {
    const DwordLanes alpha = s >> 24;
    if constexpr (OpaqueIsFullWeight<uint32_t, K, kBright, kBlend>()) {
      aLow -= As<WordLanes>(aLow == 255);  // 255 weighs as 256
      aHigh -= As<WordLanes>(aHigh == 255);
      v = rule.template operator()<true>();
    } else if constexpr (K == RuleKind::Add || K == RuleKind::Subtract) {
      v = rule.template operator()<true, true>();  // the forms differ in the term alone
    } else {
      v = Select(alpha == 255, rule.template operator()<false>(), rule.template operator()<true>());
    }
    if constexpr (!ZeroAlphaKeepsPixel<K>()) v = Select(alpha == 0, d, v);
  }
  StorePixels<kPart>(out, v, 4 * live);
}

// One register of 16-bit pixels through the lane rules.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel, bool kPart = false,
          bool kFullParam = false>
SOFTRENDER_INLINE void LaneStep(uint8_t* out, const uint8_t* px, const uint8_t* weights,
                                const uint16_t* colours, const LaneParams565& c, int live = 0) {
  const WordLanes d = LoadPixels<WordLanes, kPart>(out, 2 * live);
  WordLanes s, a{}, r{};
  if constexpr (Src::kPaletted) {
    s = LoadLanes<WordLanes>(reinterpret_cast<const uint8_t*>(colours));
  } else if constexpr (Src::kAlpha) {
    // Four bytes a pixel: the colour word, then the alpha.
    const DwordLanes low = LoadPixels<DwordLanes, kPart>(px, 4 * live);
    const DwordLanes high = LoadPixels<DwordLanes, kPart>(px + kLaneBytes, 4 * live - kLaneBytes);
    s = NarrowDwords(low, high);
    a = NarrowDwords(low >> 16, high >> 16) & 0xFF;
  } else {
    s = LoadPixels<WordLanes, kPart>(px, 2 * live);
  }
  if constexpr (kBlend) r = LoadBytesAsWords(weights);
  WordLanes v;
  if constexpr (kSel == PixelSelect::Opaque || kSel == PixelSelect::Partial) {
    v = LaneRule565<K, kBright, kBlend, kSel == PixelSelect::Partial, kFullParam>(d, s, a, r, c);
  } else if constexpr (kSel == PixelSelect::Key) {
    WordLanes key = s;
    if constexpr (Src::kPaletted)
      key = kPart ? LoadBytesAsWordsPart(px, live) : LoadBytesAsWords(px);
    v = Select((key == c.transparent) & c.keyable, d,
               LaneRule565<K, kBright, kBlend, false, kFullParam>(d, s, a, r, c));
  } else {
    const auto opaque = a == 255;
    if constexpr (!kBlend && (K == RuleKind::Alpha || K == RuleKind::InvertedAlpha)) {
      v = LaneRule565<K, kBright, kBlend, true, kFullParam, true>(d, s, a, r, c);
    } else if constexpr (OpaqueIsFullWeight<uint16_t, K, kBright, kBlend>()) {
      v = LaneRule565<K, kBright, kBlend, true, kFullParam>(d, s, a - As<WordLanes>(opaque), r, c);
    } else {
      v = Select(opaque, LaneRule565<K, kBright, kBlend, false, kFullParam>(d, s, a, r, c),
                 LaneRule565<K, kBright, kBlend, true, kFullParam>(d, s, a, r, c));
    }
    if constexpr (!ZeroAlphaKeepsPixel<K>()) v = Select(a == 0, d, v);
  }
  StorePixels<kPart>(out, v, 2 * live);
}

// Whether the ends of a span go through the lane rules too, in parts of a register: where the
// masked loads and stores serve the pixel size (AVX-512 masks bytes, AVX2 only 32-bit lanes).
template <class Word>
constexpr bool PartSteps() {
  return kLaneBytes == 64 || (kLaneBytes == 32 && sizeof(Word) == 4);
}

// The lane rules' part of Span: whole registers through the lane rules, the rest one by one
// (or, with masked loads and stores, in parts of a register).
template <class Word>
using LaneParamsFor = std::conditional_t<sizeof(Word) == 4, LaneParams8888, LaneParams565>;

template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel, bool kFullParam>
SOFTRENDER_INLINE void LaneSpan(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int n,
                                const RuleParams& p,
                                const LaneParamsFor<typename Src::Word>& lanes) {
  using Word = typename Src::Word;
  constexpr int kStep = sizeof(Word) == 4 ? kDwordLanes : kWordLanes;
  // A source that starts before the destination and runs into it would be read after the
  // pixels before it were written: that takes the pixel-by-pixel order.
  const bool inOrder = src < dst && dst < src + static_cast<ptrdiff_t>(n) * Src::kBytes;
  // A register's worth past the chunk: a last part step reads the arrays whole.
  uint8_t weights[kChunk + kWordLanes];
  Word colours[Src::kPaletted ? kChunk + kStep : 1];
  // With masked loads and stores a long row's first chunk ends where the stores reach whole
  // registers' alignment, so the rest are aligned. On rows shorter than four chunks the extra
  // part step costs more than the aligned stores save (as measured).
  int first = kChunk;
  if (kLaneBytes == 64 && !inOrder) {
    const uintptr_t misaligned = reinterpret_cast<uintptr_t>(dst) & (kLaneBytes - 1);
    const int head = static_cast<int>((kLaneBytes - misaligned) % kLaneBytes / sizeof(Word));
    if (head > 0 && n >= 4 * kChunk) first = head;
  }
  for (int done = 0; done < n; done += done == 0 ? first : kChunk) {
    const int size = done == 0 ? first : kChunk;
    const int count = n - done < size ? n - done : size;
    const uint8_t* px = src + done * Src::kBytes;
    uint8_t* out = dst + done * static_cast<int>(sizeof(Word));
    if constexpr (kBlend) GatherBlendWeights(weights, p.ramp, blend + done, count);
    if constexpr (Src::kPaletted) {
      if constexpr (sizeof(Word) == 4)
        GatherPalette32(colours, p.palette, px, count);
      else
        GatherPalette16(colours, p.palette, px, count);
    }
    int i = 0;
#define SOFTRENDER_STEP(kPart, live)                                               \
  LaneStep<Src, K, kBright, kBlend, kSel, kPart, kFullParam>(                      \
      out + i * static_cast<int>(sizeof(Word)), px + i * Src::kBytes, weights + i, \
      Src::kPaletted ? colours + i : colours, lanes, live)
    if (!inOrder) {
      for (; i + kStep <= count; i += kStep) SOFTRENDER_STEP(false, 0);
      if constexpr (PartSteps<Word>()) {
        if (i < count) SOFTRENDER_STEP(true, count - i);
        i = count;
      }
    }
#undef SOFTRENDER_STEP
    SpanChunk<Src, K, kBright, kBlend, kSel>(out + i * static_cast<int>(sizeof(Word)),
                                             px + i * Src::kBytes, weights + i,
                                             Src::kPaletted ? colours + i : colours, count - i, p);
  }
}

// Which leaves exist: the special forms only where the per-pixel path uses them, alpha
// selections only for alpha sources, the transparent-colour test only for the others.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
constexpr bool LeafExists() {
  constexpr bool kAlphaSelect = kSel == PixelSelect::Partial || kSel == PixelSelect::Class;
  if (Src::kAlpha ? kSel == PixelSelect::Key : kAlphaSelect) return false;
  switch (K) {
    case RuleKind::HalfMix:
    case RuleKind::AddNoLowBits:
      return !Src::kAlpha && !kBright && !kBlend;
    case RuleKind::Scale6Mix:
      return sizeof(typename Src::Word) == 2 && !Src::kAlpha && !kBright && !kBlend;
    case RuleKind::RawCopy:
      return Src::kAlpha && !kBright && !kBlend && kSel == PixelSelect::Opaque;
    default:
      return true;
  }
}

// Whether a paletted leaf with brightness may draw as the one without from a palette of
// brightened entries: the rules take the source's colour brightened (inverted first for the
// inverted alpha) and nothing else of it, except the 32-bit copy without blend image, which
// copies the whole word without brightness but keeps the destination's fourth byte with it.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
constexpr bool PaletteTakesBrightness() {
  return Src::kPaletted && kBright && LeafExists<Src, K, false, kBlend, kSel>() &&
         !(sizeof(typename Src::Word) == 4 && K == RuleKind::Copy && !kBlend);
}
// Draws from which brightening the palette's 256 entries costs less than brightening each pixel.
constexpr int64_t kBrightPalettePixels = 1024;

// A palette entry as the leaf without brightness must read it to draw what the leaf with it
// draws: brightened, or for the inverted alpha, which inverts what it reads, the inverse of the
// brightened inverse.
template <class Word, RuleKind K>
SOFTRENDER_INLINE Word BrightenedEntry(Word c, const RuleParams& p) {
  if constexpr (sizeof(Word) == 4) {
    return K == RuleKind::InvertedAlpha ? ~Brighten8888(~c, p) : Brighten8888(c, p);
  } else {
    const Word inverted = static_cast<Word>(~c);
    return K == RuleKind::InvertedAlpha ? static_cast<Word>(~Brighten565(inverted, p))
                                        : Brighten565(c, p);
  }
}

// The rows of one draw through LaneSpan, the per-draw constants spread once.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel, bool kFullParam>
SOFTRENDER_INLINE void LaneRows(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src,
                                ptrdiff_t srcPitch, const uint8_t* blend, ptrdiff_t blendPitch,
                                int n, int rows, const RuleParams& p) {
  const LaneParamsFor<typename Src::Word> lanes(p);
  for (int row = 0; row < rows; ++row) {
    LaneSpan<Src, K, kBright, kBlend, kSel, kFullParam>(dst, src, blend, n, p, lanes);
    dst += dstPitch;
    src += srcPitch;
    if constexpr (kBlend) blend += blendPitch;
  }
}

// Draws n pixels of each of rows rows. The add and subtract at the full parameter (the
// additive bullets' case) drop their last scaling in a form of their own: at 16 bits always,
// at 32 bits where the term has no weight but the alpha's choice of form.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
__attribute__((noinline)) void Rows(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src,
                                    ptrdiff_t srcPitch, const uint8_t* blend, ptrdiff_t blendPitch,
                                    int n, int rows, const RuleParams& p) {
  using Word = typename Src::Word;
  constexpr bool kWholeWordCopy = (K == RuleKind::Copy || K == RuleKind::RawCopy) && !kBright &&
                                  !kBlend && kSel == PixelSelect::Opaque &&
                                  Src::kBytes == sizeof(Word);
  constexpr bool kParamForms = (K == RuleKind::Add || K == RuleKind::Subtract) &&
                               (sizeof(Word) == 2 || (!kBlend && kSel != PixelSelect::Partial));
  if constexpr (PaletteTakesBrightness<Src, K, kBright, kBlend, kSel>()) {
    if (static_cast<int64_t>(n) * rows >= kBrightPalettePixels) {
      // The rule's brightened (inverted) colour, once for each palette entry: the leaf without
      // brightness then draws from that palette.
      Word entries[256];
      for (int i = 0; i < 256; ++i) {
        const Word c = LoadWord<Word>(p.palette + i * static_cast<int>(sizeof(Word)));
        entries[i] = BrightenedEntry<Word, K>(c, p);
      }
      RuleParams plain = p;
      plain.palette = reinterpret_cast<const uint8_t*>(entries);
      Rows<Src, K, false, kBlend, kSel>(dst, dstPitch, src, srcPitch, blend, blendPitch, n, rows,
                                        plain);
      return;
    }
  }
  if constexpr (kWholeWordCopy) {
    // Two views of one body may overlap.
    for (int row = 0; row < rows; ++row, dst += dstPitch, src += srcPitch)
      std::memmove(dst, src, static_cast<size_t>(n) * sizeof(Word));
  } else if constexpr (kParamForms) {
    if (p.param == 255)
      LaneRows<Src, K, kBright, kBlend, kSel, true>(dst, dstPitch, src, srcPitch, blend, blendPitch,
                                                    n, rows, p);
    else
      LaneRows<Src, K, kBright, kBlend, kSel, false>(dst, dstPitch, src, srcPitch, blend,
                                                     blendPitch, n, rows, p);
  } else {
    LaneRows<Src, K, kBright, kBlend, kSel, false>(dst, dstPitch, src, srcPitch, blend, blendPitch,
                                                   n, rows, p);
  }
}

// Draws n pixels of one row (one body serves both forms).
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
void Span(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int n, const RuleParams& p) {
  Rows<Src, K, kBright, kBlend, kSel>(dst, 0, src, 0, blend, 0, n, 1, p);
}

template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
PlainLeaf LeafOrNull() {
  if constexpr (LeafExists<Src, K, kBright, kBlend, kSel>())
    return {&Span<Src, K, kBright, kBlend, kSel>, &Rows<Src, K, kBright, kBlend, kSel>};
  else
    return {};
}

template <class Src, RuleKind K, bool kBright, bool kBlend>
PlainLeaf PickSelect(PixelSelect sel) {
  switch (sel) {
    case PixelSelect::Opaque:
      return LeafOrNull<Src, K, kBright, kBlend, PixelSelect::Opaque>();
    case PixelSelect::Partial:
      return LeafOrNull<Src, K, kBright, kBlend, PixelSelect::Partial>();
    case PixelSelect::Key:
      return LeafOrNull<Src, K, kBright, kBlend, PixelSelect::Key>();
    case PixelSelect::Class:
      return LeafOrNull<Src, K, kBright, kBlend, PixelSelect::Class>();
  }
  return {};
}

template <class Src, RuleKind K>
PlainLeaf PickModifiers(bool bright, bool blend, PixelSelect sel) {
  if (bright)
    return blend ? PickSelect<Src, K, true, true>(sel) : PickSelect<Src, K, true, false>(sel);
  return blend ? PickSelect<Src, K, false, true>(sel) : PickSelect<Src, K, false, false>(sel);
}

template <class Src>
PlainLeaf PickKind(RuleKind kind, bool bright, bool blend, PixelSelect sel) {
  switch (kind) {
    case RuleKind::Copy:
      return PickModifiers<Src, RuleKind::Copy>(bright, blend, sel);
    case RuleKind::Alpha:
      return PickModifiers<Src, RuleKind::Alpha>(bright, blend, sel);
    case RuleKind::Add:
      return PickModifiers<Src, RuleKind::Add>(bright, blend, sel);
    case RuleKind::Subtract:
      return PickModifiers<Src, RuleKind::Subtract>(bright, blend, sel);
    case RuleKind::Multiply:
      return PickModifiers<Src, RuleKind::Multiply>(bright, blend, sel);
    case RuleKind::InvertedAlpha:
      return PickModifiers<Src, RuleKind::InvertedAlpha>(bright, blend, sel);
    case RuleKind::MultiplyAlpha:
      return PickModifiers<Src, RuleKind::MultiplyAlpha>(bright, blend, sel);
    case RuleKind::HalfMix:
      return PickModifiers<Src, RuleKind::HalfMix>(bright, blend, sel);
    case RuleKind::Scale6Mix:
      return PickModifiers<Src, RuleKind::Scale6Mix>(bright, blend, sel);
    case RuleKind::AddNoLowBits:
      return PickModifiers<Src, RuleKind::AddNoLowBits>(bright, blend, sel);
    case RuleKind::RawCopy:
      return PickModifiers<Src, RuleKind::RawCopy>(bright, blend, sel);
  }
  return {};
}

// The leaf for one draw, or null when the combination has none.
inline PlainLeaf PickLeaf(SourceKind source, RuleKind kind, bool bright, bool blend,
                          PixelSelect sel) {
  switch (source) {
    case SourceKind::Direct8888:
      return PickKind<Source8888>(kind, bright, blend, sel);
    case SourceKind::Alpha8888:
      return PickKind<SourceAlpha8888>(kind, bright, blend, sel);
    case SourceKind::Paletted8888:
      return PickKind<SourcePaletted8888>(kind, bright, blend, sel);
    case SourceKind::Direct565:
      return PickKind<Source565>(kind, bright, blend, sel);
    case SourceKind::Alpha565:
      return PickKind<SourceAlpha565>(kind, bright, blend, sel);
    case SourceKind::Paletted565:
      return PickKind<SourcePaletted565>(kind, bright, blend, sel);
  }
  return {};
}

}  // namespace SOFTRENDER_LEAF_NAMESPACE

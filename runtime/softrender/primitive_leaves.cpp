// The primitives' leaves, built on the pixel rules and the source readers of the plain blit.
#include "runtime/softrender/primitive_leaves.h"

#include <cstdint>
#include <cstring>

#include "runtime/softrender/memimg.h"
#include "runtime/softrender/pixel_rules_565.h"
#include "runtime/softrender/pixel_rules_8888.h"

#define SOFTRENDER_LANE_BYTES 16
#define SOFTRENDER_LEAF_NAMESPACE PrimitiveLeaves
#include "runtime/softrender/plain_leaves.h"
#undef SOFTRENDER_LEAF_NAMESPACE
#undef SOFTRENDER_LANE_BYTES

namespace PrimitiveLeaves {
namespace {

// --- textured spans ---------------------------------------------------------------------

// One texel at a time, in the order of the pixels: the path for a span whose texels may be
// pixels the span itself writes.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
void TexelSpanInOrder(uint8_t* dst, int64_t n, int64_t u, int64_t v, int64_t dudx, int64_t dvdx,
                      const TexelFrame& f, const RuleParams& p) {
  using Word = typename Src::Word;
  for (int64_t i = 0; i < n; ++i, dst += sizeof(Word), u += dudx, v += dvdx) {
    const ptrdiff_t column = static_cast<ptrdiff_t>(u >> 18), row = static_cast<ptrdiff_t>(v >> 18);
    const uint8_t* px = f.pixels + row * f.pitch + column * Src::kBytes;
    const Word d = LoadWord<Word>(dst);
    const Word s = Src::Color(px, p);
    const uint32_t a = Src::Alpha(px);
    const uint32_t r = kBlend ? p.ramp[f.blend[row * f.blendPitch + column]] : 0;
    Word out;
    if constexpr (kSel == PixelSelect::Opaque) {
      out = Apply<Word, K, kBright, kBlend, false>(d, s, a, r, p);
    } else if constexpr (kSel == PixelSelect::Partial) {
      out = Apply<Word, K, kBright, kBlend, true>(d, s, a, r, p);
    } else if constexpr (kSel == PixelSelect::Key) {
      if (Src::IsKey(px, p)) continue;
      out = Apply<Word, K, kBright, kBlend, false>(d, s, a, r, p);
    } else {
      if (a == 0) continue;
      out = a == 255 ? Apply<Word, K, kBright, kBlend, false>(d, s, a, r, p)
                     : Apply<Word, K, kBright, kBlend, true>(d, s, a, r, p);
    }
    StoreWord<Word>(dst, out);
  }
}

// Whether the bytes a span reads from an image (its pixels at base and pitch, texelBytes
// each) can lie in the bytes it writes. The texel's address is linear in its row and column,
// each monotonic along the span, so the extremes are at the corners of the rows and columns
// the span visits.
inline bool TexelsMayOverlap(const uint8_t* dst, int64_t dstBytes, int64_t n, int64_t u, int64_t v,
                             int64_t dudx, int64_t dvdx, const uint8_t* base, ptrdiff_t pitch,
                             int texelBytes) {
  const int64_t c0 = u >> 18, c1 = (u + (n - 1) * dudx) >> 18;
  const int64_t r0 = v >> 18, r1 = (v + (n - 1) * dvdx) >> 18;
  int64_t low = INT64_MAX, high = INT64_MIN;
  for (int64_t r : {r0, r1})
    for (int64_t c : {c0, c1}) {
      const int64_t at = r * pitch + c * texelBytes;
      low = at < low ? at : low;
      high = at > high ? at : high;
    }
  const uintptr_t first = reinterpret_cast<uintptr_t>(base) + static_cast<uintptr_t>(low);
  const uintptr_t end = reinterpret_cast<uintptr_t>(base) + static_cast<uintptr_t>(high) +
                        static_cast<uintptr_t>(texelBytes);
  const uintptr_t out = reinterpret_cast<uintptr_t>(dst);
  return first < out + static_cast<uintptr_t>(n * dstBytes) && out < end;
}

// The texels of a chunk of pixels gathered into a row of their own, then drawn by the plain
// blit's leaf for the same rule (the frame's): the same result for each pixel, with the rule in
// vector form.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
void TexelSpan(uint8_t* dst, int64_t n, int64_t u, int64_t v, int64_t dudx, int64_t dvdx,
               const TexelFrame& f, const RuleParams& p) {
  using Word = typename Src::Word;
  if (f.mayOverlap &&
      (TexelsMayOverlap(dst, sizeof(Word), n, u, v, dudx, dvdx, f.pixels, f.pitch, Src::kBytes) ||
       (kBlend &&
        TexelsMayOverlap(dst, sizeof(Word), n, u, v, dudx, dvdx, f.blend, f.blendPitch, 1)))) {
    TexelSpanInOrder<Src, K, kBright, kBlend, kSel>(dst, n, u, v, dudx, dvdx, f, p);
    return;
  }
  uint8_t texels[kChunk * Src::kBytes];
  uint8_t blendBytes[kBlend ? kChunk : 1];
  for (int64_t done = 0; done < n; done += kChunk) {
    const int count = static_cast<int>(n - done < kChunk ? n - done : kChunk);
    for (int i = 0; i < count; ++i, u += dudx, v += dvdx) {
      const ptrdiff_t column = static_cast<ptrdiff_t>(u >> 18);
      const ptrdiff_t row = static_cast<ptrdiff_t>(v >> 18);
      std::memcpy(texels + i * Src::kBytes, f.pixels + row * f.pitch + column * Src::kBytes,
                  Src::kBytes);
      if constexpr (kBlend) blendBytes[i] = f.blend[row * f.blendPitch + column];
    }
    f.rowLeaf(dst + done * static_cast<int64_t>(sizeof(Word)), texels, blendBytes, count, p);
  }
}

// Alpha selections belong to alpha sources, the transparent-colour test to the others.
template <class Src, RuleKind K, bool kBright, bool kBlend, PixelSelect kSel>
TexelSpanFn TexelLeaf() {
  constexpr bool kAlphaSelect = kSel == PixelSelect::Partial || kSel == PixelSelect::Class;
  if constexpr (Src::kAlpha != kAlphaSelect)
    return nullptr;
  else
    return &TexelSpan<Src, K, kBright, kBlend, kSel>;
}

template <class Src, RuleKind K, bool kBright, bool kBlend>
TexelSpanFn PickTexelSelect(PixelSelect select) {
  switch (select) {
    case PixelSelect::Opaque:
      return TexelLeaf<Src, K, kBright, kBlend, PixelSelect::Opaque>();
    case PixelSelect::Partial:
      return TexelLeaf<Src, K, kBright, kBlend, PixelSelect::Partial>();
    case PixelSelect::Key:
      return TexelLeaf<Src, K, kBright, kBlend, PixelSelect::Key>();
    case PixelSelect::Class:
      return TexelLeaf<Src, K, kBright, kBlend, PixelSelect::Class>();
  }
  return nullptr;
}

template <class Src, RuleKind K>
TexelSpanFn PickTexelModifiers(bool bright, bool blend, PixelSelect select) {
  if (bright)
    return blend ? PickTexelSelect<Src, K, true, true>(select)
                 : PickTexelSelect<Src, K, true, false>(select);
  return blend ? PickTexelSelect<Src, K, false, true>(select)
               : PickTexelSelect<Src, K, false, false>(select);
}

template <class Src>
TexelSpanFn PickTexelKind(RuleKind kind, bool bright, bool blend, PixelSelect select) {
  switch (kind) {
    case RuleKind::Copy:
      return PickTexelModifiers<Src, RuleKind::Copy>(bright, blend, select);
    case RuleKind::Alpha:
      return PickTexelModifiers<Src, RuleKind::Alpha>(bright, blend, select);
    case RuleKind::Add:
      return PickTexelModifiers<Src, RuleKind::Add>(bright, blend, select);
    case RuleKind::Subtract:
      return PickTexelModifiers<Src, RuleKind::Subtract>(bright, blend, select);
    case RuleKind::Multiply:
      return PickTexelModifiers<Src, RuleKind::Multiply>(bright, blend, select);
    case RuleKind::InvertedAlpha:
      return PickTexelModifiers<Src, RuleKind::InvertedAlpha>(bright, blend, select);
    case RuleKind::MultiplyAlpha:
      return PickTexelModifiers<Src, RuleKind::MultiplyAlpha>(bright, blend, select);
    default:
      return nullptr;  // the plain blit's special forms are not primitives' rules
  }
}

// --- flat colour ------------------------------------------------------------------------

// The flat colour has no brightness of its own (the draw prepared it), no weights and no
// transparency: every rule takes its unweighted form.
template <class Word, RuleKind K>
inline Word FlatPixel(Word d, Word colour, const RuleParams& p) {
  return Apply<Word, K, false, false, false>(d, colour, 255, 0, p);
}

template <class Word, RuleKind K>
void FlatRow(uint8_t* dst, int64_t n, uint32_t colour, const RuleParams& p) {
  const Word c = static_cast<Word>(colour);
  if constexpr (K == RuleKind::Copy && sizeof(Word) == 2) {
    // Two pixels per 32-bit store, then the odd one.
    const uint32_t pair = uint32_t{c} | uint32_t{c} << 16;
    int64_t i = 0;
    for (; i + 2 <= n; i += 2) Store32(dst + 2 * i, pair);
    if (i < n) Store16(dst + 2 * i, c);
  } else if constexpr (K == RuleKind::Copy) {
    for (int64_t i = 0; i < n; ++i) Store32(dst + 4 * i, c);
  } else {
    for (int64_t i = 0; i < n; ++i) {
      uint8_t* out = dst + i * static_cast<int64_t>(sizeof(Word));
      StoreWord<Word>(out, FlatPixel<Word, K>(LoadWord<Word>(out), c, p));
    }
  }
}

template <class Word, RuleKind K>
void FlatLine(const LineWalk& walk, uint8_t* start, ptrdiff_t pitch, uint32_t colour,
              const RuleParams& p) {
  const Word c = static_cast<Word>(colour);
  StepLine(walk, start, sizeof(Word), pitch, [&](uint8_t* out) {
    StoreWord<Word>(out, FlatPixel<Word, K>(LoadWord<Word>(out), c, p));
  });
}

template <class Word, template <class, RuleKind> class Leaf, class Fn>
Fn PickFlat(RuleKind kind) {
  switch (kind) {
    case RuleKind::Copy:
      return &Leaf<Word, RuleKind::Copy>::Run;
    case RuleKind::Alpha:
      return &Leaf<Word, RuleKind::Alpha>::Run;
    case RuleKind::Add:
      return &Leaf<Word, RuleKind::Add>::Run;
    case RuleKind::Subtract:
      return &Leaf<Word, RuleKind::Subtract>::Run;
    case RuleKind::Multiply:
      return &Leaf<Word, RuleKind::Multiply>::Run;
    case RuleKind::InvertedAlpha:
      return &Leaf<Word, RuleKind::InvertedAlpha>::Run;
    case RuleKind::MultiplyAlpha:
      return &Leaf<Word, RuleKind::MultiplyAlpha>::Run;
    default:
      return nullptr;
  }
}

template <class Word, RuleKind K>
struct FlatRowLeaf {
  static void Run(uint8_t* dst, int64_t n, uint32_t colour, const RuleParams& p) {
    FlatRow<Word, K>(dst, n, colour, p);
  }
};
template <class Word, RuleKind K>
struct FlatLineLeaf {
  static void Run(const LineWalk& w, uint8_t* start, ptrdiff_t pitch, uint32_t colour,
                  const RuleParams& p) {
    FlatLine<Word, K>(w, start, pitch, colour, p);
  }
};

}  // namespace
}  // namespace PrimitiveLeaves

namespace {

// The rows [top, bottom) of the columns [left, right) of an image: pixels of `bytes` bytes,
// rows `pitch` apart from `base`.
struct ImageBytes {
  const uint8_t* base;
  ptrdiff_t pitch;
  int64_t left, top, right, bottom;
  int bytes;
};

// The first byte of the top row and the byte after the last of the bottom row, whatever the
// sign of the pitch; equal for an empty part.
void ByteSpan(const ImageBytes& i, uintptr_t* first, uintptr_t* end) {
  const uintptr_t base = reinterpret_cast<uintptr_t>(i.base);
  if (i.left >= i.right || i.top >= i.bottom) {
    *first = *end = base;
    return;
  }
  const int64_t top = i.top * i.pitch, bottom = (i.bottom - 1) * i.pitch;
  const int64_t low = top < bottom ? top : bottom, high = top < bottom ? bottom : top;
  *first = base + static_cast<uintptr_t>(low + i.left * i.bytes);
  *end = base + static_cast<uintptr_t>(high + i.right * i.bytes);
}

bool Overlap(const ImageBytes& a, const ImageBytes& b) {
  uintptr_t aFirst, aEnd, bFirst, bEnd;
  ByteSpan(a, &aFirst, &aEnd);
  ByteSpan(b, &bFirst, &bEnd);
  return aFirst < bEnd && bFirst < aEnd;
}

}  // namespace

bool TexelsMayOverlapTarget(const MEMIMG& dst, const ClipBox& box, const MEMIMG& src,
                            const MEMIMG* blendImage) {
  const ImageBytes written = {dst.pixels, dst.body->pitch,          box.left, box.top, box.right,
                              box.bottom, MemImgBytesPerPixel(&dst)};
  const ImageBytes texels = {src.pixels, src.body->pitch,          0, 0, src.width,
                             src.height, MemImgBytesPerPixel(&src)};
  if (Overlap(written, texels)) return true;
  return blendImage != nullptr && Overlap(written, {blendImage->pixels, blendImage->body->pitch, 0,
                                                    0, src.width, src.height, 1});
}

TexelSpanFn PickTexelSpan(SourceKind source, RuleKind kind, bool bright, bool blend,
                          PixelSelect select) {
  using namespace PrimitiveLeaves;
  switch (source) {
    case SourceKind::Direct8888:
      return PickTexelKind<Source8888>(kind, bright, blend, select);
    case SourceKind::Alpha8888:
      return PickTexelKind<SourceAlpha8888>(kind, bright, blend, select);
    case SourceKind::Paletted8888:
      return PickTexelKind<SourcePaletted8888>(kind, bright, blend, select);
    case SourceKind::Direct565:
      return PickTexelKind<Source565>(kind, bright, blend, select);
    case SourceKind::Alpha565:
      return PickTexelKind<SourceAlpha565>(kind, bright, blend, select);
    case SourceKind::Paletted565:
      return PickTexelKind<SourcePaletted565>(kind, bright, blend, select);
  }
  return nullptr;
}

FlatRowFn PickFlatRow(bool deep, RuleKind kind) {
  using namespace PrimitiveLeaves;
  return deep ? PickFlat<uint32_t, FlatRowLeaf, FlatRowFn>(kind)
              : PickFlat<uint16_t, FlatRowLeaf, FlatRowFn>(kind);
}

FlatLineFn PickFlatLine(bool deep, RuleKind kind) {
  using namespace PrimitiveLeaves;
  return deep ? PickFlat<uint32_t, FlatLineLeaf, FlatLineFn>(kind)
              : PickFlat<uint16_t, FlatLineLeaf, FlatLineFn>(kind);
}

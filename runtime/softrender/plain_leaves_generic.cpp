// The plain blit's leaves for any x86-64 processor, and the choice between compilations.
#include <cstdint>
#include <cstring>

#include "runtime/softrender/plain_leaf_types.h"
#include "runtime/softrender/vector/table_lookups.h"

#define SOFTRENDER_LANE_BYTES 16
#define SOFTRENDER_LEAF_NAMESPACE PlainLeavesGeneric
#include "runtime/softrender/plain_leaves.h"
#undef SOFTRENDER_LEAF_NAMESPACE
#undef SOFTRENDER_LANE_BYTES

namespace PlainLeavesAvx2 {
PlainLeaf PickLeafAvx2(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel);
}
namespace PlainLeavesAvx512 {
PlainLeaf PickLeafAvx512(SourceKind source, RuleKind kind, bool bright, bool blend,
                         PixelSelect sel);
}

namespace {

LeafCompilation Forced = LeafCompilation::Preferred;

bool Runs(LeafCompilation compilation) {
#if defined(__x86_64__) || defined(__i386__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  static const bool avx512 =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
#else
  constexpr bool avx2 = false, avx512 = false;
#endif
  switch (compilation) {
    case LeafCompilation::Avx2:
      return avx2;
    case LeafCompilation::Avx512:
      return avx512;
    default:
      return true;
  }
}

// Rows from which the AVX-512 leaves pay, in bytes of the destination: two of their registers.
// Shorter ones spend more on the masked ends and the wider constants than the wider registers
// save.
constexpr int kWideRowBytes = 128;

// Whether the AVX-512 leaf of a combination beats the AVX2 one on wide rows (as measured beside
// memcpy): where the rule, not the memory, bounds the leaf. That is every alpha source, and
// 16-bit pixels under anything but a plain copy. 32-bit direct sources run near memory speed with
// AVX2 and gain only where brightness widens the add, subtract and multiply, or joins a blend
// image; paletted ones gain with either modifier.
bool WideLeafPays(SourceKind source, RuleKind kind, bool bright, bool blend) {
  switch (source) {
    case SourceKind::Alpha8888:
    case SourceKind::Alpha565:
      return true;
    case SourceKind::Direct8888:
      return bright && (blend || kind == RuleKind::Add || kind == RuleKind::Subtract ||
                        kind == RuleKind::Multiply);
    case SourceKind::Paletted8888:
      return bright || blend;
    default:
      return bright || blend || (kind != RuleKind::Copy && kind != RuleKind::RawCopy);
  }
}

}  // namespace

void SetPlainLeafCompilation(LeafCompilation compilation) {
  Forced = Runs(compilation) ? compilation : LeafCompilation::Preferred;
  SetTableLookupsGeneric(Forced == LeafCompilation::Generic ? 1 : 0);
}

bool PlainLeafCompilationRuns(LeafCompilation compilation) { return Runs(compilation); }

namespace {

PlainLeaf PickPlainLeaf(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel,
                        int rowPixels) {
  LeafCompilation use = Forced;
  if (use == LeafCompilation::Preferred) {
    use = Runs(LeafCompilation::Avx2) ? LeafCompilation::Avx2 : LeafCompilation::Generic;
    const bool deep = source == SourceKind::Direct8888 || source == SourceKind::Alpha8888 ||
                      source == SourceKind::Paletted8888;
    if (Runs(LeafCompilation::Avx512) && int64_t{rowPixels} * (deep ? 4 : 2) >= kWideRowBytes &&
        WideLeafPays(source, kind, bright, blend))
      use = LeafCompilation::Avx512;
  }
  switch (use) {
    case LeafCompilation::Avx512:
      return PlainLeavesAvx512::PickLeafAvx512(source, kind, bright, blend, sel);
    case LeafCompilation::Avx2:
      return PlainLeavesAvx2::PickLeafAvx2(source, kind, bright, blend, sel);
    default:
      return PlainLeavesGeneric::PickLeaf(source, kind, bright, blend, sel);
  }
}

}  // namespace

SpanFn PickPlainSpan(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel,
                     int rowPixels) {
  return PickPlainLeaf(source, kind, bright, blend, sel, rowPixels).span;
}

RowsFn PickPlainRows(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel,
                     int rowPixels) {
  return PickPlainLeaf(source, kind, bright, blend, sel, rowPixels).rows;
}

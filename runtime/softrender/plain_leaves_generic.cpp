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
SpanFn PickSpanAvx2(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel);
}

namespace {

bool ForceGeneric = false;

bool UseAvx2() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool supported = __builtin_cpu_supports("avx2");
  return supported && !ForceGeneric;
#else
  return false;
#endif
}

}  // namespace

void SetPlainLeavesGeneric(int on) {
  ForceGeneric = on != 0;
  SetTableLookupsGeneric(on);
}

SpanFn PickPlainSpan(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel) {
  if (UseAvx2()) return PlainLeavesAvx2::PickSpanAvx2(source, kind, bright, blend, sel);
  return PlainLeavesGeneric::PickSpan(source, kind, bright, blend, sel);
}

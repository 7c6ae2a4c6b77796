// The plain blit's leaves compiled for processors with AVX2: the same loops, vectorised over
// wider registers. Everything included before the target switch keeps the default target.
#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "runtime/softrender/pixel_rules_565.h"
#include "runtime/softrender/pixel_rules_8888.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "runtime/softrender/vector/table_lookups.h"

#if defined(__clang__) && (defined(__x86_64__) || defined(__i386__))
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#elif defined(__x86_64__) || defined(__i386__)
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#define SOFTRENDER_LANE_BYTES 32
#define SOFTRENDER_LEAF_NAMESPACE PlainLeavesAvx2
#include "runtime/softrender/plain_leaves.h"
#undef SOFTRENDER_LEAF_NAMESPACE
#undef SOFTRENDER_LANE_BYTES

namespace PlainLeavesAvx2 {
PlainLeaf PickLeafAvx2(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel) {
  return PickLeaf(source, kind, bright, blend, sel);
}
}  // namespace PlainLeavesAvx2

#if defined(__clang__) && (defined(__x86_64__) || defined(__i386__))
#pragma clang attribute pop
#elif defined(__x86_64__) || defined(__i386__)
#pragma GCC pop_options
#endif

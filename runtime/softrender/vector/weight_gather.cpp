// The blend-weight lookups: one byte at a time, or 64 at a time with AVX-512 VBMI's byte
// permutes, which look up in two 128-byte halves of the ramp and pick by the index's top bit.
#include "runtime/softrender/vector/weight_gather.h"

#include <immintrin.h>

#include <cstring>

namespace {

bool ForceGeneric = false;

// Eight weights a 64-bit word: left to itself the compiler vectorises the byte loop with one
// insert per byte, which is slower.
void GatherGeneric(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t bytes;
    std::memcpy(&bytes, blend + i, 8);
    uint64_t v = 0;
    for (int k = 0; k < 64; k += 8) v |= uint64_t{ramp[(bytes >> k) & 0xFF]} << k;
    std::memcpy(weights + i, &v, 8);
  }
  for (; i < n; ++i) weights[i] = ramp[blend[i]];
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void GatherVbmi(uint8_t* weights,
                                                                       const uint8_t* ramp,
                                                                       const uint8_t* blend,
                                                                       int n) {
  const __m512i q0 = _mm512_loadu_si512(ramp), q1 = _mm512_loadu_si512(ramp + 64);
  const __m512i q2 = _mm512_loadu_si512(ramp + 128), q3 = _mm512_loadu_si512(ramp + 192);
  for (int i = 0; i < n; i += 64) {
    const __mmask64 live = n - i >= 64 ? ~__mmask64{0} : (__mmask64{1} << (n - i)) - 1;
    const __m512i index = _mm512_maskz_loadu_epi8(live, blend + i);
    const __m512i low = _mm512_permutex2var_epi8(q0, index, q1);
    const __m512i high = _mm512_permutex2var_epi8(q2, index, q3);
    const __m512i v = _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
    _mm512_mask_storeu_epi8(weights + i, live, v);
  }
}
#endif

using GatherFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*, int);

GatherFn PickGather() {
#if defined(__x86_64__) || defined(__i386__)
  static const bool vbmi = __builtin_cpu_supports("avx512vbmi") &&
                           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512f");
  if (vbmi && !ForceGeneric) return &GatherVbmi;
#endif
  return &GatherGeneric;
}

}  // namespace

void SetBlendWeightsGeneric(int on) { ForceGeneric = on != 0; }

void GatherBlendWeights(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend, int n) {
  PickGather()(weights, ramp, blend, n);
}

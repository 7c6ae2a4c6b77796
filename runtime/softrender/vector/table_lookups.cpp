// The table lookups one entry at a time, or with AVX-512's table permutes: each permute looks
// up in two registers of the table at once, and the index's upper bits pick among the results.
#include "runtime/softrender/vector/table_lookups.h"

#include <immintrin.h>

#include <cstring>

namespace {

bool ForceGeneric = false;

// The loops are written out with 64-bit loads and stores: left to itself the compiler
// vectorises them with one insert per entry, which is slower.
void WeightsGeneric(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend, int n) {
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

template <class Entry>
void PaletteGeneric(Entry* colours, const uint8_t* palette, const uint8_t* index, int n) {
  for (int i = 0; i < n; ++i)
    std::memcpy(colours + i, palette + sizeof(Entry) * index[i], sizeof(Entry));
}

#if defined(__x86_64__) || defined(__i386__)
#define SOFTRENDER_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))

SOFTRENDER_AVX512 __mmask64 LiveBytes(int left) {
  return left >= 64 ? ~__mmask64{0} : (__mmask64{1} << left) - 1;
}

SOFTRENDER_AVX512 void WeightsAvx512(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend,
                                     int n) {
  const __m512i q0 = _mm512_loadu_si512(ramp), q1 = _mm512_loadu_si512(ramp + 64);
  const __m512i q2 = _mm512_loadu_si512(ramp + 128), q3 = _mm512_loadu_si512(ramp + 192);
  for (int i = 0; i < n; i += 64) {
    const __mmask64 live = LiveBytes(n - i);
    const __m512i index = _mm512_maskz_loadu_epi8(live, blend + i);
    const __m512i low = _mm512_permutex2var_epi8(q0, index, q1);
    const __m512i high = _mm512_permutex2var_epi8(q2, index, q3);
    const __m512i v = _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
    _mm512_mask_storeu_epi8(weights + i, live, v);
  }
}

// 32 entries of 2 bytes at a time: four permutes of 64 entries each, picked by index bits 6, 7.
SOFTRENDER_AVX512 void Palette16Avx512(uint16_t* colours, const uint8_t* palette,
                                       const uint8_t* index, int n) {
  __m512i t[8];
  for (int k = 0; k < 8; ++k) t[k] = _mm512_loadu_si512(palette + 64 * k);
  for (int i = 0; i < n; i += 32) {
    const int left = n - i;
    const __mmask32 live = left >= 32 ? ~__mmask32{0} : (__mmask32{1} << left) - 1;
    const __m512i idx = _mm512_maskz_cvtepu8_epi16(live, _mm256_maskz_loadu_epi8(live, index + i));
    const __m512i q0 = _mm512_permutex2var_epi16(t[0], idx, t[1]);
    const __m512i q1 = _mm512_permutex2var_epi16(t[2], idx, t[3]);
    const __m512i q2 = _mm512_permutex2var_epi16(t[4], idx, t[5]);
    const __m512i q3 = _mm512_permutex2var_epi16(t[6], idx, t[7]);
    const __mmask32 bit6 = _mm512_test_epi16_mask(idx, _mm512_set1_epi16(64));
    const __mmask32 bit7 = _mm512_test_epi16_mask(idx, _mm512_set1_epi16(128));
    const __m512i v = _mm512_mask_blend_epi16(bit7, _mm512_mask_blend_epi16(bit6, q0, q1),
                                              _mm512_mask_blend_epi16(bit6, q2, q3));
    _mm512_mask_storeu_epi16(colours + i, live, v);
  }
}

// 16 entries of 4 bytes at a time: eight permutes of 32 entries each, picked by bits 5 to 7.
SOFTRENDER_AVX512 void Palette32Avx512(uint32_t* colours, const uint8_t* palette,
                                       const uint8_t* index, int n) {
  __m512i t[16];
  for (int k = 0; k < 16; ++k) t[k] = _mm512_loadu_si512(palette + 64 * k);
  for (int i = 0; i < n; i += 16) {
    const int left = n - i;
    const __mmask16 live = left >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << left) - 1);
    const __m512i idx = _mm512_maskz_cvtepu8_epi32(live, _mm_maskz_loadu_epi8(live, index + i));
    __m512i q[8];
    for (int k = 0; k < 8; ++k) q[k] = _mm512_permutex2var_epi32(t[2 * k], idx, t[2 * k + 1]);
    const __mmask16 bit5 = _mm512_test_epi32_mask(idx, _mm512_set1_epi32(32));
    const __mmask16 bit6 = _mm512_test_epi32_mask(idx, _mm512_set1_epi32(64));
    const __mmask16 bit7 = _mm512_test_epi32_mask(idx, _mm512_set1_epi32(128));
    for (int k = 0; k < 4; ++k) q[k] = _mm512_mask_blend_epi32(bit5, q[2 * k], q[2 * k + 1]);
    for (int k = 0; k < 2; ++k) q[k] = _mm512_mask_blend_epi32(bit6, q[2 * k], q[2 * k + 1]);
    _mm512_mask_storeu_epi32(colours + i, live, _mm512_mask_blend_epi32(bit7, q[0], q[1]));
  }
}

bool UseAvx512() {
  static const bool supported =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
  return supported && !ForceGeneric;
}
#else
bool UseAvx512() { return false; }
#endif

}  // namespace

void SetTableLookupsGeneric(int on) { ForceGeneric = on != 0; }

void GatherBlendWeights(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend, int n) {
#if defined(__x86_64__) || defined(__i386__)
  if (UseAvx512()) return WeightsAvx512(weights, ramp, blend, n);
#endif
  WeightsGeneric(weights, ramp, blend, n);
}

void GatherPalette16(uint16_t* colours, const uint8_t* palette, const uint8_t* index, int n) {
#if defined(__x86_64__) || defined(__i386__)
  if (UseAvx512()) return Palette16Avx512(colours, palette, index, n);
#endif
  PaletteGeneric(colours, palette, index, n);
}

void GatherPalette32(uint32_t* colours, const uint8_t* palette, const uint8_t* index, int n) {
#if defined(__x86_64__) || defined(__i386__)
  if (UseAvx512()) return Palette32Avx512(colours, palette, index, n);
#endif
  PaletteGeneric(colours, palette, index, n);
}

// The table lookups one entry at a time, or with AVX-512's table permutes: each permute looks
// up in two registers of a table of bytes at once, and the index's top bit picks between the
// results.
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

// The index vectors of the byte permutes, one byte per position, fixed when compiled.
struct BytePositions {
  alignas(64) uint8_t bytes[64];
};
template <class Fn>
constexpr BytePositions MakePositions(Fn fn) {
  BytePositions p{};
  for (int j = 0; j < 64; ++j) p.bytes[j] = static_cast<uint8_t>(fn(j));
  return p;
}
constexpr BytePositions kEvens = MakePositions([](int j) { return 2 * j; });
constexpr BytePositions kOdds = MakePositions([](int j) { return 2 * j + 1; });
// Byte b of 32 entries from each pair of registers, into the lower and upper halves.
constexpr BytePositions kPickByte[4] = {MakePositions([](int j) { return (4 * j) & 127; }),
                                        MakePositions([](int j) { return (4 * j + 1) & 127; }),
                                        MakePositions([](int j) { return (4 * j + 2) & 127; }),
                                        MakePositions([](int j) { return (4 * j + 3) & 127; })};
// For the 2-byte entries: lane k of the low interleave takes positions 16k to 16k + 7, indices
// 8k on; of the high one, positions 16k + 8 on, indices 32 + 8k on.
constexpr BytePositions kOrder16 = MakePositions([](int j) {
  const int lane = j / 16, at = j % 16;
  return at < 8 ? 8 * lane + at : 32 + 8 * lane + at - 8;
});
// For the 4-byte entries: the q-th result register takes positions 16k + 4q to 16k + 4q + 3
// of each lane k, indices 16q + 4k on.
constexpr BytePositions kOrder32 = MakePositions([](int j) {
  const int lane = j / 16, q = j % 16 / 4;
  return 16 * q + 4 * lane + j % 4;
});

SOFTRENDER_AVX512 __m512i Positions(const BytePositions& p) { return _mm512_load_si512(p.bytes); }

// The entry of each index from a table of 256 bytes in four registers: two permutes of 128
// entries each, picked by the index's top bit.
SOFTRENDER_AVX512 __m512i LookUpBytes(const __m512i* plane, __m512i index, __mmask64 upper) {
  return _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(plane[0], index, plane[1]),
                                _mm512_permutex2var_epi8(plane[2], index, plane[3]));
}

// The palette is taken apart once a call into planes of 256 bytes, one for each byte of the
// entries; 64 indices then look up each plane in one step, and the planes are interleaved back
// into entries. The interleaving works within 128-bit lanes, so the indices are first put in
// the order that brings the entries out in sequence. (The zero-masked permute with every lane
// live stands for the plain one, which leaves the compiler seeing an undefined register.)

// 64 entries of 2 bytes at a time.
SOFTRENDER_AVX512 void Palette16Avx512(uint16_t* colours, const uint8_t* palette,
                                       const uint8_t* index, int n) {
  const __m512i evens = Positions(kEvens), odds = Positions(kOdds);
  __m512i low[4], high[4];
  for (int g = 0; g < 4; ++g) {
    const __m512i a = _mm512_loadu_si512(palette + 128 * g);
    const __m512i b = _mm512_loadu_si512(palette + 128 * g + 64);
    low[g] = _mm512_permutex2var_epi8(a, evens, b);
    high[g] = _mm512_permutex2var_epi8(a, odds, b);
  }
  const __m512i order = Positions(kOrder16);
  for (int i = 0; i < n; i += 64) {
    const int left = n - i;
    const __m512i idx = _mm512_maskz_permutexvar_epi8(
        ~__mmask64{0}, order, _mm512_maskz_loadu_epi8(LiveBytes(left), index + i));
    const __mmask64 upper = _mm512_movepi8_mask(idx);
    const __m512i lo = LookUpBytes(low, idx, upper), hi = LookUpBytes(high, idx, upper);
    const auto words = [](int count) {
      return count >= 32 ? ~__mmask32{0} : count <= 0 ? __mmask32{0} : (__mmask32{1} << count) - 1;
    };
    _mm512_mask_storeu_epi16(colours + i, words(left), _mm512_unpacklo_epi8(lo, hi));
    _mm512_mask_storeu_epi16(colours + i + 32, words(left - 32), _mm512_unpackhi_epi8(lo, hi));
  }
}

// 64 entries of 4 bytes at a time.
SOFTRENDER_AVX512 void Palette32Avx512(uint32_t* colours, const uint8_t* palette,
                                       const uint8_t* index, int n) {
  __m512i planes[4][4];  // by byte of the entry, then by 64 entries
  for (int b = 0; b < 4; ++b) {
    const __m512i pick = Positions(kPickByte[b]);
    for (int g = 0; g < 4; ++g) {
      const uint8_t* at = palette + 256 * g;
      const __m512i first =
          _mm512_permutex2var_epi8(_mm512_loadu_si512(at), pick, _mm512_loadu_si512(at + 64));
      const __m512i second = _mm512_permutex2var_epi8(_mm512_loadu_si512(at + 128), pick,
                                                      _mm512_loadu_si512(at + 192));
      planes[b][g] = _mm512_mask_blend_epi8(0xFFFFFFFF00000000ull, first, second);
    }
  }
  const __m512i order = Positions(kOrder32);
  for (int i = 0; i < n; i += 64) {
    const int left = n - i;
    const __m512i idx = _mm512_maskz_permutexvar_epi8(
        ~__mmask64{0}, order, _mm512_maskz_loadu_epi8(LiveBytes(left), index + i));
    const __mmask64 upper = _mm512_movepi8_mask(idx);
    const __m512i blue = LookUpBytes(planes[0], idx, upper);
    const __m512i green = LookUpBytes(planes[1], idx, upper);
    const __m512i red = LookUpBytes(planes[2], idx, upper);
    const __m512i fourth = LookUpBytes(planes[3], idx, upper);
    const __m512i bgLow = _mm512_unpacklo_epi8(blue, green),
                  bgHigh = _mm512_unpackhi_epi8(blue, green);
    const __m512i rxLow = _mm512_unpacklo_epi8(red, fourth),
                  rxHigh = _mm512_unpackhi_epi8(red, fourth);
    const __m512i out[4] = {
        _mm512_unpacklo_epi16(bgLow, rxLow), _mm512_unpackhi_epi16(bgLow, rxLow),
        _mm512_unpacklo_epi16(bgHigh, rxHigh), _mm512_unpackhi_epi16(bgHigh, rxHigh)};
    for (int q = 0; q < 4; ++q) {
      const int count = left - 16 * q;
      if (count <= 0) break;
      const __mmask16 live = count >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << count) - 1);
      _mm512_mask_storeu_epi32(colours + i + 16 * q, live, out[q]);
    }
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

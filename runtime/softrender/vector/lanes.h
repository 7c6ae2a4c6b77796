// The vector registers the plain blit's leaves work in: 16-bit lanes for channel arithmetic,
// 32-bit lanes for whole 32-bit pixels, and the few operations the compiler's vector
// arithmetic does not spell (high halves of products, widening and narrowing, spreading one
// lane over its pixel).
//
// Like plain_leaves.h this file is compiled once per instruction set, in the namespace of each
// compilation: the including file defines SOFTRENDER_LEAF_NAMESPACE and SOFTRENDER_LANE_BYTES
// (16 for SSE2, 32 for AVX2, 64 for AVX-512, with the target switched before the include).
#pragma once
#if !defined(SOFTRENDER_LEAF_NAMESPACE) || !defined(SOFTRENDER_LANE_BYTES)
#error "define SOFTRENDER_LEAF_NAMESPACE and SOFTRENDER_LANE_BYTES before including lanes.h"
#endif

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "runtime/softrender/pixel_rules.h"

namespace SOFTRENDER_LEAF_NAMESPACE {

constexpr int kLaneBytes = SOFTRENDER_LANE_BYTES;
constexpr int kWordLanes = kLaneBytes / 2;   // 16-bit pixels (or channels) per register
constexpr int kDwordLanes = kLaneBytes / 4;  // 32-bit pixels per register

typedef uint8_t ByteLanes __attribute__((vector_size(SOFTRENDER_LANE_BYTES)));
typedef uint16_t WordLanes __attribute__((vector_size(SOFTRENDER_LANE_BYTES)));
typedef int16_t SignedWordLanes __attribute__((vector_size(SOFTRENDER_LANE_BYTES)));
typedef uint32_t DwordLanes __attribute__((vector_size(SOFTRENDER_LANE_BYTES)));
#if SOFTRENDER_LANE_BYTES == 64
using Register = __m512i;
#elif SOFTRENDER_LANE_BYTES == 32
using Register = __m256i;
#else
using Register = __m128i;
#endif

template <class To, class From>
SOFTRENDER_INLINE To As(From v) {
  return (To)v;  // the same bits seen in other lanes
}

template <class V>
SOFTRENDER_INLINE V LoadLanes(const uint8_t* p) {
  V v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}
template <class V>
SOFTRENDER_INLINE void StoreLanes(uint8_t* p, V v) {
  std::memcpy(p, &v, sizeof(v));
}
SOFTRENDER_INLINE uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

SOFTRENDER_INLINE WordLanes SplatWord(uint32_t v) { return WordLanes{} + static_cast<uint16_t>(v); }
SOFTRENDER_INLINE DwordLanes SplatDword(uint32_t v) { return DwordLanes{} + v; }

// Per lane: where the mask (a comparison's result, or lanes of all ones or zeros seen so) is
// set, a; elsewhere b.
template <class M, class V>
SOFTRENDER_INLINE V Select(M mask, V a, V b) {
  return mask ? a : b;
}

#if SOFTRENDER_LANE_BYTES == 64

// The zero-masked forms with every lane live stand for the plain ones below: those leave the
// compiler seeing an undefined register, which it warns about.
constexpr __mmask16 kAllDwords = 0xFFFF;
constexpr __mmask32 kAllWords = 0xFFFFFFFFu;

// floor(a * b / 2^16), unsigned and signed.
SOFTRENDER_INLINE WordLanes MulHigh(WordLanes a, WordLanes b) {
  return As<WordLanes>(_mm512_mulhi_epu16(As<Register>(a), As<Register>(b)));
}
SOFTRENDER_INLINE SignedWordLanes MulHighSigned(SignedWordLanes a, SignedWordLanes b) {
  return As<SignedWordLanes>(_mm512_mulhi_epi16(As<Register>(a), As<Register>(b)));
}

// As the AVX2 forms, in each 128-bit block.
SOFTRENDER_INLINE WordLanes WidenLow(ByteLanes v) {
  return As<WordLanes>(_mm512_unpacklo_epi8(As<Register>(v), _mm512_setzero_si512()));
}
SOFTRENDER_INLINE WordLanes WidenHigh(ByteLanes v) {
  return As<WordLanes>(_mm512_unpackhi_epi8(As<Register>(v), _mm512_setzero_si512()));
}
SOFTRENDER_INLINE ByteLanes Narrow(WordLanes low, WordLanes high) {
  return As<ByteLanes>(_mm512_packus_epi16(As<Register>(low), As<Register>(high)));
}

SOFTRENDER_INLINE void SpreadAlpha8888(ByteLanes s, WordLanes* low, WordLanes* high) {
  constexpr char z = -128;
  const __m512i lowOrder = _mm512_maskz_broadcast_i32x4(
      kAllDwords, _mm_setr_epi8(3, z, 3, z, 3, z, z, z, 7, z, 7, z, 7, z, z, z));
  const __m512i highOrder = _mm512_maskz_broadcast_i32x4(
      kAllDwords, _mm_setr_epi8(11, z, 11, z, 11, z, z, z, 15, z, 15, z, 15, z, z, z));
  *low = As<WordLanes>(_mm512_shuffle_epi8(As<Register>(s), lowOrder));
  *high = As<WordLanes>(_mm512_shuffle_epi8(As<Register>(s), highOrder));
}

// The 16 weight bytes in every 128-bit block; block k takes those of its pixels 4k to 4k + 3.
SOFTRENDER_INLINE void SpreadWeights8888(const uint8_t* w, WordLanes* low, WordLanes* high) {
  constexpr char z = -128;
  alignas(64) static constexpr char kLowOrder[64] = {
      0, z, 0, z, 0,  z, z,  z, 1,  z, 1, z, 1,  z, z,  z, 4,  z, 4, z, 4, z,
      z, z, 5, z, 5,  z, 5,  z, z,  z, 8, z, 8,  z, 8,  z, z,  z, 9, z, 9, z,
      9, z, z, z, 12, z, 12, z, 12, z, z, z, 13, z, 13, z, 13, z, z, z};
  alignas(64) static constexpr char kHighOrder[64] = {
      2,  z, 2, z, 2,  z, z,  z, 3,  z, 3,  z, 3,  z, z,  z, 6,  z, 6,  z, 6,  z,
      z,  z, 7, z, 7,  z, 7,  z, z,  z, 10, z, 10, z, 10, z, z,  z, 11, z, 11, z,
      11, z, z, z, 14, z, 14, z, 14, z, z,  z, 15, z, 15, z, 15, z, z,  z};
  const __m512i bytes = _mm512_maskz_broadcast_i32x4(
      kAllDwords, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w)));
  *low = As<WordLanes>(_mm512_shuffle_epi8(bytes, _mm512_load_si512(kLowOrder)));
  *high = As<WordLanes>(_mm512_shuffle_epi8(bytes, _mm512_load_si512(kHighOrder)));
}

SOFTRENDER_INLINE WordLanes LoadBytesAsWords(const uint8_t* p) {
  return As<WordLanes>(_mm512_maskz_cvtepu8_epi16(
      kAllWords, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))));
}
SOFTRENDER_INLINE DwordLanes LoadBytesAsDwords(const uint8_t* p) {
  return As<DwordLanes>(
      _mm512_maskz_cvtepu8_epi32(kAllDwords, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
}

// The first `bytes` bytes of a register (none for 0 or less): the rest of a load reads 0, and a
// store leaves the memory past them alone.
SOFTRENDER_INLINE __mmask64 LiveBytes(int bytes) {
  return bytes >= 64 ? ~__mmask64{0} : bytes <= 0 ? __mmask64{0} : (__mmask64{1} << bytes) - 1;
}
template <class V>
SOFTRENDER_INLINE V LoadPart(const uint8_t* p, int bytes) {
  return As<V>(_mm512_maskz_loadu_epi8(LiveBytes(bytes), p));
}
template <class V>
SOFTRENDER_INLINE void StorePart(uint8_t* p, V v, int bytes) {
  _mm512_mask_storeu_epi8(p, LiveBytes(bytes), As<Register>(v));
}
// LoadBytesAsWords and LoadBytesAsDwords of the first n bytes, the rest 0.
SOFTRENDER_INLINE WordLanes LoadBytesAsWordsPart(const uint8_t* p, int n) {
  const __m256i bytes = _mm256_maskz_loadu_epi8(static_cast<__mmask32>(LiveBytes(n)), p);
  return As<WordLanes>(_mm512_maskz_cvtepu8_epi16(kAllWords, bytes));
}
SOFTRENDER_INLINE DwordLanes LoadBytesAsDwordsPart(const uint8_t* p, int n) {
  const __m128i bytes = _mm_maskz_loadu_epi8(static_cast<__mmask16>(LiveBytes(n)), p);
  return As<DwordLanes>(_mm512_maskz_cvtepu8_epi32(kAllDwords, bytes));
}

// The packs work in 128-bit blocks: the permute puts the low register's quarters first.
SOFTRENDER_INLINE WordLanes NarrowDwords(DwordLanes low, DwordLanes high) {
  const __m512i packed =
      _mm512_packus_epi32(As<Register>(low & 0xFFFF), As<Register>(high & 0xFFFF));
  return As<WordLanes>(
      _mm512_permutex2var_epi64(packed, _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7), packed));
}

// Stores the 32-bit lanes of v whose lane of test differs from key's; the memory under the
// others is left alone (and not read).
SOFTRENDER_INLINE void StoreDwordsUnlessEqual(uint8_t* p, DwordLanes v, DwordLanes test,
                                              DwordLanes key) {
  _mm512_mask_storeu_epi32(p, _mm512_cmpneq_epi32_mask(As<Register>(test), As<Register>(key)),
                           As<Register>(v));
}

#elif SOFTRENDER_LANE_BYTES == 32

// floor(a * b / 2^16), unsigned and signed.
SOFTRENDER_INLINE WordLanes MulHigh(WordLanes a, WordLanes b) {
  return As<WordLanes>(_mm256_mulhi_epu16(As<Register>(a), As<Register>(b)));
}
SOFTRENDER_INLINE SignedWordLanes MulHighSigned(SignedWordLanes a, SignedWordLanes b) {
  return As<SignedWordLanes>(_mm256_mulhi_epi16(As<Register>(a), As<Register>(b)));
}

// The bytes of the low or high half of each 128-bit block as 16-bit lanes, and back: for
// 32-bit pixels, each pixel's four bytes become four neighbouring lanes.
SOFTRENDER_INLINE WordLanes WidenLow(ByteLanes v) {
  return As<WordLanes>(_mm256_unpacklo_epi8(As<Register>(v), _mm256_setzero_si256()));
}
SOFTRENDER_INLINE WordLanes WidenHigh(ByteLanes v) {
  return As<WordLanes>(_mm256_unpackhi_epi8(As<Register>(v), _mm256_setzero_si256()));
}
// Lanes above 255 saturate; the rules never make one where it matters.
SOFTRENDER_INLINE ByteLanes Narrow(WordLanes low, WordLanes high) {
  return As<ByteLanes>(_mm256_packus_epi16(As<Register>(low), As<Register>(high)));
}

// The alpha of each 32-bit pixel (its fourth byte) in the three colour lanes of its widened
// halves (as WidenLow and WidenHigh lay them out), 0 in the fourth: a weight that leaves the
// fourth byte as it was.
SOFTRENDER_INLINE void SpreadAlpha8888(ByteLanes s, WordLanes* low, WordLanes* high) {
  constexpr char z = -128;
  const __m256i lowOrder = _mm256_setr_epi8(3, z, 3, z, 3, z, z, z, 7, z, 7, z, 7, z, z, z, 3, z, 3,
                                            z, 3, z, z, z, 7, z, 7, z, 7, z, z, z);
  const __m256i highOrder = _mm256_setr_epi8(11, z, 11, z, 11, z, z, z, 15, z, 15, z, 15, z, z, z,
                                             11, z, 11, z, 11, z, z, z, 15, z, 15, z, 15, z, z, z);
  *low = As<WordLanes>(_mm256_shuffle_epi8(As<Register>(s), lowOrder));
  *high = As<WordLanes>(_mm256_shuffle_epi8(As<Register>(s), highOrder));
}

// One weight byte per 32-bit pixel for kDwordLanes pixels, laid out as SpreadAlpha8888 does.
SOFTRENDER_INLINE void SpreadWeights8888(const uint8_t* w, WordLanes* low, WordLanes* high) {
  constexpr char z = -128;
  const __m256i bytes = _mm256_set1_epi64x(static_cast<long long>(Load64(w)));
  const __m256i lowOrder = _mm256_setr_epi8(0, z, 0, z, 0, z, z, z, 1, z, 1, z, 1, z, z, z, 4, z, 4,
                                            z, 4, z, z, z, 5, z, 5, z, 5, z, z, z);
  const __m256i highOrder = _mm256_setr_epi8(2, z, 2, z, 2, z, z, z, 3, z, 3, z, 3, z, z, z, 6, z,
                                             6, z, 6, z, z, z, 7, z, 7, z, 7, z, z, z);
  *low = As<WordLanes>(_mm256_shuffle_epi8(bytes, lowOrder));
  *high = As<WordLanes>(_mm256_shuffle_epi8(bytes, highOrder));
}

// One byte per pixel for kWordLanes pixels, as 16-bit lanes in order.
SOFTRENDER_INLINE WordLanes LoadBytesAsWords(const uint8_t* p) {
  return As<WordLanes>(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
}
// One byte per pixel for kDwordLanes pixels, as 32-bit lanes in order.
SOFTRENDER_INLINE DwordLanes LoadBytesAsDwords(const uint8_t* p) {
  return As<DwordLanes>(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
}

// The low 16 bits of the 32-bit lanes of two registers, in order.
SOFTRENDER_INLINE WordLanes NarrowDwords(DwordLanes low, DwordLanes high) {
  const __m256i packed =
      _mm256_packus_epi32(As<Register>(low & 0xFFFF), As<Register>(high & 0xFFFF));
  return As<WordLanes>(_mm256_permute4x64_epi64(packed, 0xD8));
}

SOFTRENDER_INLINE void StoreDwordsUnlessEqual(uint8_t* p, DwordLanes v, DwordLanes test,
                                              DwordLanes key) {
  _mm256_maskstore_epi32(reinterpret_cast<int*>(p), As<Register>(test != key), As<Register>(v));
}

#else

SOFTRENDER_INLINE WordLanes MulHigh(WordLanes a, WordLanes b) {
  return As<WordLanes>(_mm_mulhi_epu16(As<Register>(a), As<Register>(b)));
}
SOFTRENDER_INLINE SignedWordLanes MulHighSigned(SignedWordLanes a, SignedWordLanes b) {
  return As<SignedWordLanes>(_mm_mulhi_epi16(As<Register>(a), As<Register>(b)));
}

SOFTRENDER_INLINE WordLanes WidenLow(ByteLanes v) {
  return As<WordLanes>(_mm_unpacklo_epi8(As<Register>(v), _mm_setzero_si128()));
}
SOFTRENDER_INLINE WordLanes WidenHigh(ByteLanes v) {
  return As<WordLanes>(_mm_unpackhi_epi8(As<Register>(v), _mm_setzero_si128()));
}
SOFTRENDER_INLINE ByteLanes Narrow(WordLanes low, WordLanes high) {
  return As<ByteLanes>(_mm_packus_epi16(As<Register>(low), As<Register>(high)));
}

// The colour lanes of each pixel: the fourth lane of a spread weight is 0.
SOFTRENDER_INLINE WordLanes ColourLanes(WordLanes v) {
  typedef uint64_t QwordLanes __attribute__((vector_size(16)));
  return v & As<WordLanes>(QwordLanes{} + 0x0000FFFFFFFFFFFFull);
}

SOFTRENDER_INLINE void SpreadAlpha8888(ByteLanes s, WordLanes* low, WordLanes* high) {
  const auto fourth = [](WordLanes v) {
    return ColourLanes(
        As<WordLanes>(_mm_shufflehi_epi16(_mm_shufflelo_epi16(As<Register>(v), 0xFF), 0xFF)));
  };
  *low = fourth(WidenLow(s));
  *high = fourth(WidenHigh(s));
}

SOFTRENDER_INLINE void SpreadWeights8888(const uint8_t* w, WordLanes* low, WordLanes* high) {
  const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(Load32(w)));
  const __m128i words = _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
  const __m128i pairs = _mm_unpacklo_epi16(words, words);
  *low = ColourLanes(As<WordLanes>(_mm_unpacklo_epi32(pairs, pairs)));
  *high = ColourLanes(As<WordLanes>(_mm_unpackhi_epi32(pairs, pairs)));
}

SOFTRENDER_INLINE WordLanes LoadBytesAsWords(const uint8_t* p) {
  return As<WordLanes>(
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128()));
}
SOFTRENDER_INLINE DwordLanes LoadBytesAsDwords(const uint8_t* p) {
  const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(Load32(p)));
  const __m128i words = _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
  return As<DwordLanes>(_mm_unpacklo_epi16(words, _mm_setzero_si128()));
}

// SSE2 packs with signed saturation: the low halves go in sign-extended, so none saturates.
SOFTRENDER_INLINE WordLanes NarrowDwords(DwordLanes low, DwordLanes high) {
  const __m128i lo = _mm_srai_epi32(_mm_slli_epi32(As<Register>(low), 16), 16);
  const __m128i hi = _mm_srai_epi32(_mm_slli_epi32(As<Register>(high), 16), 16);
  return As<WordLanes>(_mm_packs_epi32(lo, hi));
}

// Without masked stores the old pixels are read and written back.
SOFTRENDER_INLINE void StoreDwordsUnlessEqual(uint8_t* p, DwordLanes v, DwordLanes test,
                                              DwordLanes key) {
  StoreLanes(p, Select(test == key, LoadLanes<DwordLanes>(p), v));
}

#endif

#if SOFTRENDER_LANE_BYTES == 32
// The first `bytes` bytes of a register, a whole number of 32-bit lanes (none for 0 or less),
// through the masked moves: the rest of a load reads 0, and a store leaves the memory past them
// alone.
SOFTRENDER_INLINE __m256i LiveDwords(int bytes) {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(bytes >> 2),
                            _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
template <class V>
SOFTRENDER_INLINE V LoadPart(const uint8_t* p, int bytes) {
  return As<V>(_mm256_maskload_epi32(reinterpret_cast<const int*>(p), LiveDwords(bytes)));
}
template <class V>
SOFTRENDER_INLINE void StorePart(uint8_t* p, V v, int bytes) {
  _mm256_maskstore_epi32(reinterpret_cast<int*>(p), LiveDwords(bytes), As<Register>(v));
}
#elif SOFTRENDER_LANE_BYTES != 64
// Without masked loads and stores, the same through a register-sized copy.
template <class V>
SOFTRENDER_INLINE V LoadPart(const uint8_t* p, int bytes) {
  V v{};
  if (bytes > 0) std::memcpy(&v, p, static_cast<size_t>(bytes < kLaneBytes ? bytes : kLaneBytes));
  return v;
}
template <class V>
SOFTRENDER_INLINE void StorePart(uint8_t* p, V v, int bytes) {
  if (bytes > 0) std::memcpy(p, &v, static_cast<size_t>(bytes < kLaneBytes ? bytes : kLaneBytes));
}
#endif
#if SOFTRENDER_LANE_BYTES != 64
SOFTRENDER_INLINE WordLanes LoadBytesAsWordsPart(const uint8_t* p, int n) {
  uint8_t bytes[kWordLanes] = {};
  if (n > 0) std::memcpy(bytes, p, static_cast<size_t>(n < kWordLanes ? n : kWordLanes));
  return LoadBytesAsWords(bytes);
}
SOFTRENDER_INLINE DwordLanes LoadBytesAsDwordsPart(const uint8_t* p, int n) {
  uint8_t bytes[kDwordLanes] = {};
  if (n > 0) std::memcpy(bytes, p, static_cast<size_t>(n < kDwordLanes ? n : kDwordLanes));
  return LoadBytesAsDwords(bytes);
}
#endif

// floor(x / 255) for every 16-bit x.
SOFTRENDER_INLINE WordLanes LaneDiv255(WordLanes x) { return MulHigh(x, SplatWord(0x8081)) >> 7; }

// floor(d * k / 2^16) for a signed d and an unsigned 16-bit k: the signed high half counts a k
// of 2^15 or more as k - 2^16, so d is added back for those.
SOFTRENDER_INLINE SignedWordLanes MulHighMixed(SignedWordLanes d, WordLanes k) {
  const SignedWordLanes ks = As<SignedWordLanes>(k);
  return MulHighSigned(d, ks) + (d & (ks >> 15));
}

}  // namespace SOFTRENDER_LEAF_NAMESPACE

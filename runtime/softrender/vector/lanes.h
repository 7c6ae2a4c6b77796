// The vector registers the plain blit's leaves work in: 16-bit lanes for channel arithmetic,
// 32-bit lanes for whole 32-bit pixels, and the few operations the compiler's vector
// arithmetic does not spell (high halves of products, widening and narrowing, spreading one
// lane over its pixel).
//
// Like plain_leaves.h this file is compiled once per instruction set, in the namespace of each
// compilation: the including file defines SOFTRENDER_LEAF_NAMESPACE and SOFTRENDER_LANE_BYTES
// (16 for SSE2, 32 for AVX2, with the target switched before the include).
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
#if SOFTRENDER_LANE_BYTES == 32
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

SOFTRENDER_INLINE WordLanes SplatWord(uint32_t v) { return WordLanes{} + static_cast<uint16_t>(v); }
SOFTRENDER_INLINE DwordLanes SplatDword(uint32_t v) { return DwordLanes{} + v; }

// Per lane: where the mask lane is all ones, a; elsewhere b.
template <class V>
SOFTRENDER_INLINE V Select(V mask, V a, V b) {
  return (a & mask) | (b & ~mask);
}

#if SOFTRENDER_LANE_BYTES == 32

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

// Lane 3 of each group of four (a 32-bit pixel's fourth byte, widened) in all four.
SOFTRENDER_INLINE WordLanes SpreadFourth(WordLanes v) {
  return As<WordLanes>(_mm256_shufflehi_epi16(_mm256_shufflelo_epi16(As<Register>(v), 0xFF), 0xFF));
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

SOFTRENDER_INLINE WordLanes SpreadFourth(WordLanes v) {
  return As<WordLanes>(_mm_shufflehi_epi16(_mm_shufflelo_epi16(As<Register>(v), 0xFF), 0xFF));
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

#endif

// Each 32-bit lane's low byte copied into its four bytes.
SOFTRENDER_INLINE DwordLanes SpreadLowByte(DwordLanes v) {
  v |= v << 8;
  return v | v << 16;
}

// floor(x / 255) for every 16-bit x.
SOFTRENDER_INLINE WordLanes LaneDiv255(WordLanes x) { return MulHigh(x, SplatWord(0x8081)) >> 7; }

// floor(d * k / 2^16) for a signed d and an unsigned 16-bit k: the signed high half counts a k
// of 2^15 or more as k - 2^16, so d is added back for those.
SOFTRENDER_INLINE SignedWordLanes MulHighMixed(SignedWordLanes d, WordLanes k) {
  const SignedWordLanes ks = As<SignedWordLanes>(k);
  return MulHighSigned(d, ks) + (d & (ks >> 15));
}

}  // namespace SOFTRENDER_LEAF_NAMESPACE

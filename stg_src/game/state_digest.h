// The digest that game state is summed into, value by value: each value widened to 64 bits
// (doubles by their bit pattern) and mixed in, so padding, pointers and the host's layout never
// enter it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Which members a digest takes. Run: what a replay of the run reproduces, frame for frame
// (what the run was started from, menu state, playback controls, device-only input and
// settings stay out). All: every member.
enum class DigestScope { Run, All };

struct StateDigest {
  uint64_t value = 0x243F6A8885A308D3ull;
};

inline void DigestWord(StateDigest& digest, uint64_t word) {
  uint64_t h = (digest.value ^ word) * 0x9E3779B97F4A7C15ull;
  digest.value = h ^ (h >> 29);
}

// Integers by value and doubles by their bit pattern.
template <typename T>
void DigestValue(StateDigest& digest, T value) {
  static_assert(std::is_arithmetic_v<T>);
  uint64_t bits;
  if constexpr (std::is_floating_point_v<T>) {
    const double d = value;
    std::memcpy(&bits, &d, sizeof(bits));
  } else {
    bits = static_cast<uint64_t>(static_cast<int64_t>(value));
  }
  DigestWord(digest, bits);
}

inline void DigestBytes(StateDigest& digest, const uint8_t* bytes, size_t count) {
  DigestWord(digest, count);
  for (size_t i = 0; i < count; i += 8) {
    uint64_t word = 0;
    for (size_t j = i; j < count && j < i + 8; ++j) word |= uint64_t{bytes[j]} << (8 * (j - i));
    DigestWord(digest, word);
  }
}

template <typename T, size_t N>
void DigestArray(StateDigest& digest, const T (&values)[N]) {
  for (const T& v : values) {
    if constexpr (std::is_array_v<T>)
      DigestArray(digest, v);
    else
      DigestValue(digest, v);
  }
}

// The digest that game state is summed into, value by value: 64-bit FNV-1a over each value's
// bytes in little-endian order, so padding, pointers and the host's layout never enter it.
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
  uint64_t value = 14695981039346656037ull;
};

inline void DigestByte(StateDigest& digest, uint8_t byte) {
  digest.value = (digest.value ^ byte) * 1099511628211ull;
}

inline void DigestBytes(StateDigest& digest, const uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) DigestByte(digest, bytes[i]);
}

// Integers by value and doubles by their bit pattern, always as eight bytes.
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
  for (int i = 0; i < 8; ++i) DigestByte(digest, static_cast<uint8_t>(bits >> (8 * i)));
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

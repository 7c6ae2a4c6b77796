// Pixel rules shared by the software draws: the per-draw inputs of a rule, the rule kinds a
// draw chooses among, and the integer helpers the rules are built from.
//
// Every helper here is `static inline`: the draws compile the same rules once per instruction
// set (see plain_leaves.h), and each compilation must keep its own copy.
#pragma once

#include <cstdint>
#include <cstring>

#define SOFTRENDER_INLINE static inline __attribute__((always_inline))

// Inputs that stay fixed for one draw.
struct RuleParams {
  uint32_t param;       // blend parameter P, 0..255
  uint32_t brightBlue;  // DrawBright bytes, 0..255 each
  uint32_t brightGreen;
  uint32_t brightRed;
  uint32_t transparent;    // the source's transparent colour or index
  const uint8_t* palette;  // the source's palette (paletted sources only)
  const uint8_t* ramp;     // BlendImageRamp (draws with a blend image only)
};

// The rule a draw applies, chosen once per draw from the blend mode, its parameter and the
// modifiers. The last four are the special forms of the plain blit's per-pixel path.
enum class RuleKind {
  Copy,           // mode 0, and mode 1 at P = 255
  Alpha,          // mode 1
  Add,            // mode 2
  Subtract,       // mode 3
  Multiply,       // mode 4
  InvertedAlpha,  // mode 10
  MultiplyAlpha,  // mode 11
  HalfMix,        // mode 1 at P = 128: the half-sum of source and destination
  Scale6Mix,      // 16-bit mode 1 at the other P: the 6-bit table mix
  AddNoLowBits,   // mode 2 at P = 255: the source word added without the low-bit term
  RawCopy,        // alpha source without the transparent flag in mode 0: the colour word as is
};

// floor(x / 255) for 0 <= x <= 65025: the entries of BlendScaleTable without the load.
SOFTRENDER_INLINE uint32_t Div255(uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }
SOFTRENDER_INLINE uint16_t Div255u16(uint16_t x) {
  return static_cast<uint16_t>(static_cast<uint16_t>(x + 1 + (x >> 8)) >> 8);
}

// floor(x / 63) for 0 <= x <= 3969: the 6-bit mix of Scale6Table without the load.
SOFTRENDER_INLINE uint16_t Div63u16(uint16_t x) {
  return static_cast<uint16_t>(static_cast<uint16_t>(x + 1 + (x >> 6)) >> 6);
}

// Unaligned little-endian access: caller pitches need not be multiples of the pixel size.
SOFTRENDER_INLINE uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
SOFTRENDER_INLINE uint16_t Load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
SOFTRENDER_INLINE void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
SOFTRENDER_INLINE void Store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// A slow reference of the plain blit for the differential tests: every rule written channel by
// channel from its description, with plain divisions instead of tables and packed words.
#pragma once

#include <cstdint>

#include "runtime/softrender/memimg.h"

// Draws as DrawMemImgPlain would, reading the draw state, but writes into dstPixels: a copy of
// the destination's bytes whose top-left pixel corresponds to dst->pixels (it is also where
// the old destination values are read).
void ReferenceDrawPlain(uint8_t* dstPixels, const MEMIMG* dst, const MEMIMG* src, int x, int y,
                        int transparent, const MEMIMG* blendImage);

// Channel-wise statements of the packed operations, for the rule tests.
uint32_t ReferenceAddSaturate8888(uint32_t d, uint32_t t, bool lowBits);
uint32_t ReferenceSubtractSaturate8888(uint32_t d, uint32_t t);
uint16_t ReferenceAddSaturate565(uint16_t d, uint16_t t, bool lowBits);
uint16_t ReferenceSubtractSaturate565(uint16_t d, uint16_t t);

// One pixel of a rule, for the references of the other draws. perPixel selects the plain
// blit's special forms (which no other draw has); mode is the blend mode after mode 1 at
// P 255 became 0; bright holds the blue, green and red DrawBright bytes.
enum class ReferenceForm { Skip, Opaque, Partial, Raw };
struct ReferenceRuleState {
  uint32_t mode;
  int P;
  int bright[3];
  bool isBright;
  bool blend;
  bool alphaSource;
  bool perPixel;
  bool deep;
};
uint32_t ReferenceRule8888(const ReferenceRuleState& s, uint32_t d, uint32_t src, int a, int r,
                           ReferenceForm form);
uint16_t ReferenceRule565(const ReferenceRuleState& s, uint16_t d, uint16_t src, int a, int r,
                          ReferenceForm form);
// The destination word at `out` (32 or 16 bits, as s.deep says) through the rule, in place.
void ReferencePutPixel(uint8_t* out, const ReferenceRuleState& s, uint32_t src, int a, int r,
                       ReferenceForm form);

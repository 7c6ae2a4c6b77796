// The blend weights of a row of blend-image bytes: each byte looked up in the blend ramp.
#pragma once

#include <cstdint>

// weights[i] = ramp[blend[i]] for i < n (ramp has 256 entries). Uses 64-byte table lookups
// where the processor has them.
void GatherBlendWeights(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend, int n);

// For tests: 1 keeps the lookups to the form any x86-64 processor runs.
void SetBlendWeightsGeneric(int on);

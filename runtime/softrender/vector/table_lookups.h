// The table lookups of the plain blit's chunks: blend-image bytes through the blend ramp, and
// palette indices through the palette.
#pragma once

#include <cstdint>

// weights[i] = ramp[blend[i]] for i < n (ramp has 256 entries).
void GatherBlendWeights(uint8_t* weights, const uint8_t* ramp, const uint8_t* blend, int n);

// colours[i] = the palette entry of index[i] for i < n: 256 entries of 2 or 4 bytes.
void GatherPalette16(uint16_t* colours, const uint8_t* palette, const uint8_t* index, int n);
void GatherPalette32(uint32_t* colours, const uint8_t* palette, const uint8_t* index, int n);

// For tests: 1 keeps the lookups to the form any x86-64 processor runs; 0 uses the 64-byte
// table permutes of AVX-512 where the processor has them.
void SetTableLookupsGeneric(int on);

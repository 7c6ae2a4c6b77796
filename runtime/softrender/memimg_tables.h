// Lookup tables of the software renderer. Scaling by k/255, the signed blend step and the
// 6-bit mix are table loads rather than divisions in the pixel loops.
#pragma once

#include <cstdint>

// T[k][v] = v * k / 255 (floor). Row k scales a channel value by k/255.
extern int32_t BlendScaleTable[256][256];

// T[k][j] = (j - 255) * k / 255, truncated toward zero. Index a row at j = 255 and add the
// signed difference d in -255..255. Entry 511 of each row is never written.
extern int32_t SignedBlendTable[256][512];

// S[i][a][b] = (a * i + b * (63 - i)) / 63: a 6-bit mix weighing a by i/63 and b by the rest.
extern uint8_t Scale6Table[64][64][64];

// Fills the three fixed tables; called once when graphics start. Returns 0.
int BuildMemImgTables();

// Rebuilds BlendImageRamp for a blend image's border parameter and border range (0..255
// each; values outside are clamped).
void BuildBlendImageRamp(int borderParam, int borderRange);

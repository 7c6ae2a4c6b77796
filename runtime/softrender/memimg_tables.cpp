#include "runtime/softrender/memimg_tables.h"

#include "runtime/graphics/draw/draw_state.h"

int32_t BlendScaleTable[256][256];
int32_t SignedBlendTable[256][512];
uint8_t Scale6Table[64][64][64];

int BuildMemImgTables() {
  for (int k = 0; k < 256; ++k) {
    int32_t acc = -255 * k;
    for (int j = 0; j < 511; ++j, acc += k) SignedBlendTable[k][j] = acc / 255;
  }
  for (int k = 0; k < 256; ++k) {
    int32_t acc = 0;
    for (int v = 0; v < 256; ++v, acc += k) BlendScaleTable[k][v] = acc / 255;
  }
  for (int i = 0; i < 64; ++i)
    for (int a = 0; a < 64; ++a) {
      int32_t acc = a * i;
      for (int b = 0; b < 64; ++b, acc += 63 - i)
        Scale6Table[i][a][b] = static_cast<uint8_t>(acc / 63);
    }
  return 0;
}

void BuildBlendImageRamp(int borderParam, int borderRange) {
  // The caller clamps both; clamping again keeps a bad range from dividing by zero.
  const int p = borderParam < 0 ? 0 : borderParam > 255 ? 255 : borderParam;
  const int q = borderRange < 0 ? 0 : borderRange > 255 ? 255 : borderRange;
  const int n = q + 1;
  const int s = 65536 / n;
  const int a = p * (s + 256) / 256;
  for (int i = 0; i < 256; ++i) {
    int v = (i * 256) / n + 256 - a;
    BlendImageRamp[i] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
}

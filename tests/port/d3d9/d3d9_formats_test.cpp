// The device's format conversions that need no OpenGL: 16-bit round trips, DXT alpha blocks,
// and the YUV conversion shared with the movie decoder.
#include <cstring>

#include <gtest/gtest.h>

#include "port/d3d9/d3d9_formats.h"

namespace {

// Every 16-bit value of each format survives a trip to ARGB and back: locks read what the
// device holds and write it back unchanged. The X bit of X1R5G5B5 reads back set.
TEST(D3D9Formats, SixteenBitValuesSurviveARoundTrip) {
  for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X1R5G5B5}) {
    SCOPED_TRACE(format);
    std::vector<uint16_t> values(65536);
    for (uint32_t v = 0; v < 65536; ++v) values[v] = static_cast<uint16_t>(v);
    RECT all = {0, 0, 256, 256};
    std::vector<uint32_t> argb(65536);
    PortD3DDecodeToArgb(format, reinterpret_cast<const uint8_t*>(values.data()), 512, 256, 256, all,
                        argb.data(), 256);
    std::vector<uint16_t> back(65536);
    PortD3DEncodeFromArgb(format, argb.data(), 256, all, reinterpret_cast<uint8_t*>(back.data()),
                          512);
    uint16_t unused = format == D3DFMT_X1R5G5B5 ? 0x8000 : 0;
    for (uint32_t v = 0; v < 65536; ++v) ASSERT_EQ(back[v], values[v] | unused) << std::hex << v;
  }
  // The extremes of each channel are 0 and 255.
  const uint16_t white = 0xFFFF;
  uint32_t out;
  RECT one = {0, 0, 1, 1};
  PortD3DDecodeToArgb(D3DFMT_A4R4G4B4, reinterpret_cast<const uint8_t*>(&white), 2, 1, 1, one, &out,
                      1);
  EXPECT_EQ(out, 0xFFFFFFFFu);
  PortD3DDecodeToArgb(D3DFMT_X1R5G5B5, reinterpret_cast<const uint8_t*>(&white), 2, 1, 1, one, &out,
                      1);
  EXPECT_EQ(out, 0xFFFFFFFFu);
}

// DXT3 carries four bits of alpha per pixel; DXT5 interpolates between two end values, with
// 0 and 255 as the last two entries when the first end is not the larger.
TEST(D3D9Formats, DxtAlphaBlocks) {
  uint8_t dxt3[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                      0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0};  // white, all index 0
  uint32_t px[16];
  PortD3DDecodeDxtBlock(D3DFMT_DXT3, dxt3, px);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(px[i], (static_cast<uint32_t>(i * 17) << 24) | 0xFFFFFFu) << i;
  PortD3DDecodeDxtBlock(D3DFMT_DXT2, dxt3, px);
  EXPECT_EQ(px[15] >> 24, 255u);

  // a0 = 200 > a1 = 100, 3-bit indices from bit 0: pixel 0 index 0, pixel 1 index 1, pixel 2
  // index 7, the step next to a1: (a0 + 6 a1) / 7.
  uint8_t dxt5[16] = {200, 100, 0xC8, 0x01, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  PortD3DDecodeDxtBlock(D3DFMT_DXT5, dxt5, px);
  EXPECT_EQ(px[0] >> 24, 200u);
  EXPECT_EQ(px[1] >> 24, 100u);
  EXPECT_NEAR(static_cast<double>(px[2] >> 24), 800.0 / 7.0, 1.0);
  // a0 = 50 <= a1 = 60: indices 6 and 7 are 0 and 255.
  uint8_t six[16] = {50, 60, 6 | (7 << 3), 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  PortD3DDecodeDxtBlock(D3DFMT_DXT4, six, px);
  EXPECT_EQ(px[0] >> 24, 0u);
  EXPECT_EQ(px[1] >> 24, 255u);
  EXPECT_EQ(px[2] >> 24, 50u);
  // The colour part of DXT2-5 is always four-colour: c0 < c1 keeps index 3 opaque.
  uint8_t fourColour[16] = {255,  255,  255,  255,  255,  255, 255, 255,
                            0x1F, 0x00, 0x00, 0xF8, 0xFF, 0,   0,   0};
  PortD3DDecodeDxtBlock(D3DFMT_DXT5, fourColour, px);
  EXPECT_EQ(px[0], 0xFFAA0055u);
}

// The fixed-point tables of the movie decoder: luma 235 with neutral chroma gives 254
// (truncated), 16 gives 0, 255 is clamped to 255.
TEST(D3D9Formats, YuvMatchesTheMovieDecoderTables) {
  EXPECT_EQ(PortYuvToArgb(235, 128, 128), 0xFFFEFEFEu);
  EXPECT_EQ(PortYuvToArgb(16, 128, 128), 0xFF000000u);
  EXPECT_EQ(PortYuvToArgb(255, 128, 128), 0xFFFFFFFFu);
  EXPECT_EQ(PortYuvToArgb(81, 90, 240), 0xFFFE0000u);
}

TEST(D3D9Formats, LayoutsOfLocks) {
  EXPECT_EQ(PortD3DRowPitch(D3DFMT_DXT1, 8), 16u);
  EXPECT_EQ(PortD3DRowPitch(D3DFMT_DXT5, 2), 16u);  // a level smaller than a block takes one
  EXPECT_EQ(PortD3DSurfaceBytes(D3DFMT_DXT1, 2, 2), 8u);
  EXPECT_EQ(PortD3DSurfaceBytes(D3DFMT_YV12, 4, 2), 12u);
  EXPECT_EQ(PortD3DRowPitch(D3DFMT_YUY2, 6), 12u);
  EXPECT_EQ(PortD3DFormatInfo(D3DFMT_R8G8B8), nullptr);
}

}  // namespace

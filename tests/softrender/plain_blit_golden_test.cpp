// Edge cases of the plain blit and its pixel rules, one pixel each: draw state,
// source word, destination word, path, and the whole destination word expected.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

enum Kind { Direct, Alpha, Paletted };
enum Path { PerPixel, RunLength };
constexpr int kNone = -1;
constexpr uint32_t kWhite = 0xFFFFFF;

struct Row {
  const char* what;
  int colorType;
  Kind kind;
  int mode, param;
  uint32_t bright;
  int weight;  // the blend image's weight for the pixel, or kNone
  int transparent;
  Path path;
  uint32_t source;  // the pixel (alpha included), or the palette entry of a paletted source
  uint32_t dest, expected;
  bool keyed = false;  // the source pixel (or index) is the transparent colour
};

constexpr int X32 = Xrgb8888, X16 = Rgb565;

const Row kRows[] = {
    // 32-bit pixel rules
    {"half mix is one below the average and clears byte 3", X32, Direct, 1, 128, kWhite, kNone, 0,
     PerPixel, 0x00F1F1F1, 0xAB010101, 0x00787878},
    {"run-length mode 1 at 128 mixes by 128/256 and keeps byte 3", X32, Direct, 1, 128, kWhite,
     kNone, 1, RunLength, 0x00F1F1F1, 0xAB010101, 0xAB797979},
    {"flag 2 never takes the run-length path", X32, Direct, 1, 128, kWhite, kNone, 2, RunLength,
     0x00F1F1F1, 0xAB010101, 0x00787878},
    {"mode 1 at 254, white over black", X32, Direct, 1, 254, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A000000, 0x5AFDFDFD},
    {"mode 1 at 1, white over black", X32, Direct, 1, 1, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A000000, 0x5A000000},
    {"mode 1 at 255 copies the word", X32, Direct, 1, 255, kWhite, kNone, 0, PerPixel, 0x12FFFFFF,
     0x5A000000, 0x12FFFFFF},
    {"mode 1 at 0 draws nothing", X32, Direct, 1, 0, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 2 at 0 draws nothing", X32, Direct, 2, 0, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 3 at 0 draws nothing", X32, Direct, 3, 0, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 11 at 0 writes the old value", X32, Direct, 11, 0, kWhite, kNone, 0, PerPixel,
     0x00808080, 0x5A123456, 0x5A123456},
    {"mode 2 general add keeps the low bits", X32, Direct, 2, 255, kWhite, kNone, 1, RunLength,
     0x00010101, 0x00010101, 0x00010102},
    {"mode 2 at 255 adds without the low bits", X32, Direct, 2, 255, kWhite, kNone, 0, PerPixel,
     0x00010101, 0x00010101, 0x00000002},
    {"mode 2 saturates and carries into byte 3", X32, Direct, 2, 255, kWhite, kNone, 0, PerPixel,
     0x000A0A0A, 0x00FAFAFA, 0x01FFFFFF},
    {"mode 3 of a colour from itself", X32, Direct, 3, 255, kWhite, kNone, 0, PerPixel, 0x00808080,
     0x00808080, 0x00010100},
    {"mode 3 with a zero term sets the low bits", X32, Direct, 3, 255, kWhite, kNone, 0, PerPixel,
     0x00000000, 0x77123456, 0x00133556},
    {"mode 4 white times white loses a step", X32, Direct, 4, 255, kWhite, kNone, 0, PerPixel,
     0x00FFFFFF, 0x5AFFFFFF, 0x5AFEFEFE},
    {"mode 4 multiplies at P 0", X32, Direct, 4, 0, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5AFFFFFF, 0x5AFEFEFE},
    {"mode 10 at 255, black over black", X32, Direct, 10, 255, kWhite, kNone, 0, PerPixel,
     0x00000000, 0x5A000000, 0x5AFEFEFE},
    {"mode 11 at 255, 128 over 128", X32, Direct, 11, 255, kWhite, kNone, 0, PerPixel, 0x00808080,
     0x5A808080, 0x5A404040},
    {"alpha 255 under the flag copies the word", X32, Alpha, 0, 255, kWhite, kNone, 1, PerPixel,
     0xFF102030, 0x5A000000, 0xFF102030},
    {"alpha 128 under the flag mixes and keeps byte 3", X32, Alpha, 0, 255, kWhite, kNone, 1,
     PerPixel, 0x80FFFFFF, 0x5A000000, 0x5A7F7F7F},
    {"alpha 0 under the flag is skipped", X32, Alpha, 0, 255, kWhite, kNone, 1, PerPixel,
     0x00FFFFFF, 0x5A123456, 0x5A123456},
    {"alpha 0 without the flag is copied whole", X32, Alpha, 0, 255, kWhite, kNone, 0, PerPixel,
     0x00FFFFFF, 0x5A123456, 0x00FFFFFF},
    {"alpha 255 without the flag, bright, is partial", X32, Alpha, 0, 255, 0xFEFEFE, kNone, 0,
     PerPixel, 0xFFFFFFFF, 0x5A000000, 0x5AFDFDFD},
    {"alpha 255 on the run-length path copies the word", X32, Alpha, 0, 255, kWhite, kNone, 1,
     RunLength, 0xFF102030, 0x5A000000, 0xFF102030},
    {"alpha 128 on the run-length path is partial", X32, Alpha, 0, 255, kWhite, kNone, 1, RunLength,
     0x80FFFFFF, 0x5A000000, 0x5A7F7F7F},
    {"blue brightness 254 keeps byte 3", X32, Direct, 0, 255, 0xFFFFFE, kNone, 0, PerPixel,
     0x00FFFFFF, 0x5A000000, 0x5AFFFFFE},
    {"DrawBright's fourth byte is not read", X32, Direct, 0, 255, 0xFFFFFFFF, kNone, 0, PerPixel,
     0x12FFFFFF, 0x5A000000, 0x12FFFFFF},
    {"a word that differs from the key in byte 3 is drawn", X32, Direct, 0, 255, kWhite, kNone, 1,
     PerPixel, 0x01FF00FF, 0x5A000000, 0x01FF00FF},
    {"the key is skipped", X32, Direct, 0, 255, kWhite, kNone, 1, PerPixel, 0x00FF00FF, 0x5A000000,
     0x5A000000, true},
    {"the key is drawn without the flag", X32, Direct, 0, 255, kWhite, kNone, 0, PerPixel,
     0x00FF00FF, 0x5A000000, 0x00FF00FF, true},
    {"the key is skipped on the run-length path", X32, Direct, 2, 255, kWhite, kNone, 1, RunLength,
     0x00FF00FF, 0x5A000000, 0x5A000000, true},
    {"mode 5 draws nothing", X32, Direct, 5, 255, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 9 draws nothing", X32, Direct, 9, 255, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 12 draws nothing", X32, Direct, 12, 255, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 255 draws nothing", X32, Direct, 255, 255, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode -1 draws nothing", X32, Direct, -1, 255, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"mode 4, alpha 0 under the flag, is skipped", X32, Alpha, 4, 255, kWhite, kNone, 1, PerPixel,
     0x00FFFFFF, 0x5AFFFFFF, 0x5AFFFFFF},
    {"mode 4, alpha 0 without the flag, is black", X32, Alpha, 4, 255, kWhite, kNone, 0, PerPixel,
     0x00FFFFFF, 0x5AFFFFFF, 0x5A000000},
    {"weight 0 leaves mode 0", X32, Direct, 0, 200, kWhite, 0, 0, PerPixel, 0x00FFFFFF, 0x5A123456,
     0x5A123456},
    {"weight 0 leaves mode 1", X32, Direct, 1, 200, kWhite, 0, 0, PerPixel, 0x00FFFFFF, 0x5A123456,
     0x5A123456},
    {"weight 0 leaves mode 10", X32, Direct, 10, 200, kWhite, 0, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"weight 0 leaves mode 11", X32, Direct, 11, 200, kWhite, 0, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A123456},
    {"weight 0 makes mode 4 black", X32, Direct, 4, 200, kWhite, 0, 0, PerPixel, 0x00FFFFFF,
     0x5A123456, 0x5A000000},
    {"weight 0 adds a zero term: byte 3 cleared", X32, Direct, 2, 200, kWhite, 0, 0, PerPixel,
     0x00FFFFFF, 0x5A123456, 0x00123456},
    {"weight 0 subtracts a zero term: low bits set", X32, Direct, 3, 200, kWhite, 0, 0, PerPixel,
     0x00FFFFFF, 0x5A123456, 0x00133556},
    {"weight 255 in mode 0 never reaches the source", X32, Direct, 0, 255, kWhite, 255, 0, PerPixel,
     0x00FFFFFF, 0x5A000000, 0x5AFEFEFE},
    // 16-bit pixel rules
    {"add with low term: blue saturates into green's low bit", X16, Direct, 2, 255, kWhite, kNone,
     1, RunLength, 0x0001, 0x001F, 0x003F},
    {"add with low term keeps green's low bit", X16, Direct, 2, 255, kWhite, kNone, 1, RunLength,
     0x0020, 0x0020, 0x0020},
    {"add without low term drops green's low bit", X16, Direct, 2, 255, kWhite, kNone, 0, PerPixel,
     0x0020, 0x0020, 0x0000},
    {"add of white onto black", X16, Direct, 2, 255, kWhite, kNone, 1, RunLength, 0xFFFF, 0x0000,
     0xFFFF},
    {"add overflows red", X16, Direct, 2, 255, kWhite, kNone, 1, RunLength, 0x1000, 0xF000, 0xF800},
    {"subtract nothing from white", X16, Direct, 3, 255, kWhite, kNone, 1, RunLength, 0x0000,
     0xFFFF, 0xFFDF},
    {"subtract nothing from white, per pixel", X16, Direct, 3, 255, kWhite, kNone, 0, PerPixel,
     0x0000, 0xFFFF, 0xFFDF},
    {"subtract a colour from itself", X16, Direct, 3, 255, kWhite, kNone, 0, PerPixel, 0x1234,
     0x1234, 0x0800},
    {"subtract black from black", X16, Direct, 3, 255, kWhite, kNone, 1, RunLength, 0x0000, 0x0000,
     0x0800},
    {"multiply white by white loses a step", X16, Direct, 4, 255, kWhite, kNone, 0, PerPixel,
     0xFFFF, 0xFFFF, 0xF7DE},
    {"multiply at P 0", X16, Direct, 4, 0, kWhite, kNone, 0, PerPixel, 0xFFFF, 0xFFFF, 0xF7DE},
    {"table mix at 128 toward white", X16, Direct, 1, 128, kWhite, kNone, 1, RunLength, 0xFFFF,
     0x0000, 0x7BEF},
    {"table mix at 128 toward black leans to the destination", X16, Direct, 1, 128, kWhite, kNone,
     1, RunLength, 0x0000, 0xFFFF, 0x8410},
    {"6-bit mix: red 31 toward 0", X16, Direct, 1, 130, kWhite, kNone, 0, PerPixel, 0x0000, 0xF800,
     0x7800},
    {"6-bit mix: red 0 toward 31", X16, Direct, 1, 130, kWhite, kNone, 0, PerPixel, 0xF800, 0x0000,
     0x7800},
    {"half mix of white and white", X16, Direct, 1, 128, kWhite, kNone, 0, PerPixel, 0xFFFF, 0xFFFF,
     0xF7DE},
    {"weight 255 in mode 0 never reaches the source", X16, Direct, 0, 255, kWhite, 255, 0, PerPixel,
     0xFFFF, 0x0000, 0xF7DE},
    {"mode 1 at 255 mixes by the weight alone", X16, Direct, 1, 255, kWhite, 128, 0, PerPixel,
     0x1000, 0x0000, 0x0800},
    {"brightness turns mode 1 to the table mix", X16, Direct, 1, 100, 0xFFFFFE, kNone, 0, PerPixel,
     0x0000, 0xFFFF, 0x9CF3},
    {"white brightness keeps the 6-bit mix", X16, Direct, 1, 100, kWhite, kNone, 0, PerPixel,
     0x0000, 0xFFFF, 0x94D2},
    {"mode 12 draws nothing", X16, Direct, 12, 255, kWhite, kNone, 0, PerPixel, 0xFFFF, 0x1234,
     0x1234},
    {"mode -1 draws nothing", X16, Direct, -1, 255, kWhite, kNone, 0, PerPixel, 0xFFFF, 0x1234,
     0x1234},
    {"weight 0: the add leaves the pixel", X16, Direct, 2, 200, kWhite, 0, 0, PerPixel, 0xFFFF,
     0x07E0, 0x07E0},
    {"weight 0: the subtract still changes it", X16, Direct, 3, 200, kWhite, 0, 0, PerPixel, 0xFFFF,
     0x07E0, 0x0FC0},
    {"weight 0: multiply gives black", X16, Direct, 4, 200, kWhite, 0, 0, PerPixel, 0xFFFF, 0x07E0,
     0x0000},
    // paletted sources
    {"paletted copy stores the entry", X32, Paletted, 0, 255, kWhite, kNone, 0, PerPixel,
     0x00123456, 0xAB010101, 0x00123456},
    {"paletted copy with blue brightness", X32, Paletted, 0, 255, 0xFFFFFE, kNone, 0, PerPixel,
     0x00123456, 0xAB010101, 0xAB123455},
    {"paletted half mix", X32, Paletted, 1, 128, kWhite, kNone, 0, PerPixel, 0x00F1F1F1, 0xAB010101,
     0x00787878},
    {"paletted run-length mix at 128", X32, Paletted, 1, 128, kWhite, kNone, 1, RunLength,
     0x00F1F1F1, 0xAB010101, 0xAB797979},
    {"paletted 16-bit half mix", X16, Paletted, 1, 128, kWhite, kNone, 0, PerPixel, 0x0000, 0xF800,
     0x7800},
    {"paletted 16-bit run-length table mix", X16, Paletted, 1, 128, kWhite, kNone, 1, RunLength,
     0x0000, 0xF800, 0x8000},
    {"paletted 16-bit mode 10 inverts first", X16, Paletted, 10, 255, kWhite, kNone, 0, PerPixel,
     0x0000, 0x1234, 0xFFFF},
    {"paletted mode 3 at 0 draws nothing", X16, Paletted, 3, 0, kWhite, kNone, 0, PerPixel, 0xFFFF,
     0x1234, 0x1234},
    {"paletted transparent index is skipped", X32, Paletted, 0, 255, kWhite, kNone, 1, PerPixel,
     0x00123456, 0xAB010101, 0xAB010101, true},
    {"paletted transparent index is drawn without the flag", X32, Paletted, 0, 255, kWhite, kNone,
     0, PerPixel, 0x00123456, 0xAB010101, 0x00123456, true},
    // 16-bit alpha sources (alpha in byte 2)
    {"raw copy ignores alpha 0", X16, Alpha, 0, 255, kWhite, kNone, 0, PerPixel, 0x0000FFFF, 0x1234,
     0xFFFF},
    {"bright draw mixes alpha 0 to nothing", X16, Alpha, 0, 255, 0xFEFEFE, kNone, 0, PerPixel,
     0x0000FFFF, 0x1234, 0x1234},
    {"flagged alpha 0 leaves a multiply", X16, Alpha, 4, 255, kWhite, kNone, 1, PerPixel,
     0x0000FFFF, 0xFFFF, 0xFFFF},
    {"alpha 1 multiplies to black", X16, Alpha, 4, 255, kWhite, kNone, 1, PerPixel, 0x0001FFFF,
     0xFFFF, 0x0000},
    {"alpha 128 multiplies to half", X16, Alpha, 4, 255, kWhite, kNone, 1, PerPixel, 0x0080FFFF,
     0xFFFF, 0x7BEF},
    {"unflagged alpha 0 multiplies to black", X16, Alpha, 4, 255, kWhite, kNone, 0, PerPixel,
     0x0000FFFF, 0xFFFF, 0x0000},
    {"alpha 255 in mode 1 takes the table mix", X16, Alpha, 1, 128, kWhite, kNone, 1, PerPixel,
     0x00FFFFFF, 0x0000, 0x7BEF},
    {"alpha 128 in mode 1", X16, Alpha, 1, 128, kWhite, kNone, 1, PerPixel, 0x0080FFFF, 0x0000,
     0x39E7},
    {"alpha 255 adds in full", X16, Alpha, 2, 255, kWhite, kNone, 1, PerPixel, 0x00FFFFFF, 0x0000,
     0xFFFF},
    {"alpha 128 adds half", X16, Alpha, 2, 255, kWhite, kNone, 1, PerPixel, 0x0080FFFF, 0x0000,
     0x7BEF},
    {"unflagged alpha 255 adds 255/256", X16, Alpha, 2, 255, kWhite, kNone, 0, PerPixel, 0x00FFFFFF,
     0x0000, 0xF7DE},
    {"unflagged alpha 0 subtracts a zero term", X16, Alpha, 3, 255, kWhite, kNone, 0, PerPixel,
     0x0000FFFF, 0x07E0, 0x0FC0},
    {"unflagged alpha 0 adds a zero term", X16, Alpha, 2, 255, kWhite, kNone, 0, PerPixel,
     0x0000FFFF, 0x07E0, 0x07E0},
    {"an alpha image's key colour is drawn", X16, Alpha, 0, 255, kWhite, kNone, 1, PerPixel,
     0x00FFF81F, 0x0000, 0xF81F, true},
};

void DrawRow(const Row& row) {
  const bool deep = row.colorType == Xrgb8888;
  CanaryImage src(1, 1, row.colorType, row.kind == Paletted, row.kind == Alpha,
                  row.path == RunLength);
  CanaryImage dst(1, 1, row.colorType);
  CanaryImage blend(1, 1, Single8);
  MemImgBody& body = *src.image.body;
  if (row.kind == Paletted) {
    std::memcpy(body.palette + 5 * (deep ? 4 : 2), &row.source, deep ? 4 : 2);
    src.Set(0, 0, 5);
    body.transparentColor = row.keyed ? 5 : NoTransparentIndex;
  } else {
    src.Set(0, 0, row.source);
    body.transparentColor =
        row.keyed ? (row.kind == Alpha ? row.source & 0xFFFF : row.source) : 0x00FF00FF;
  }
  if (row.path == RunLength) { ASSERT_EQ(RebuildMemImgWorkBuffers(&src.image), 0); }
  dst.Set(0, 0, row.dest);
  blend.Set(0, 0, 7);
  BlendImageRamp[7] = static_cast<uint8_t>(row.weight);

  CurrentBlendMode = row.mode;
  BlendParam = row.param;
  DrawBright = row.bright;
  DrawMemImgPlain(&dst.image, &src.image, 0, 0, row.transparent,
                  row.weight == kNone ? nullptr : &blend.image);
  EXPECT_EQ(dst.Get(0, 0), row.expected)
      << std::hex << "got 0x" << dst.Get(0, 0) << ", want 0x" << row.expected;
  EXPECT_TRUE(dst.CanariesIntact());
}

TEST(PlainBlitGolden, EdgeCases) {
  DrawStateGuard state;
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.what);
    DrawRow(row);
  }
}

// The 16-bit add and subtract at P 255 apply the single-pixel rule to each pixel: the first
// pixel's red carry or borrow never reaches the second pixel's blue.
TEST(PlainBlitGolden, NeighbouringPixelsDoNotShareCarries) {
  DrawStateGuard state;
  struct Pair {
    int mode;
    uint16_t src[2], dst[2], want[2];
  } const pairs[] = {
      {2, {0x1000, 0x0000}, {0xF800, 0x0000}, {0xF800, 0x0000}},
      {3, {0x0000, 0x0000}, {0x0000, 0x0000}, {0x0800, 0x0800}},
  };
  for (const Pair& p : pairs) {
    CanaryImage src(2, 1, Rgb565), dst(2, 1, Rgb565);
    for (int i = 0; i < 2; ++i) {
      src.Set(i, 0, p.src[i]);
      dst.Set(i, 0, p.dst[i]);
    }
    CurrentBlendMode = p.mode;
    BlendParam = 255;
    DrawMemImgPlain(&dst.image, &src.image, 0, 0, 0, nullptr);
    EXPECT_EQ(dst.Get(0, 0), p.want[0]) << "mode " << p.mode;
    EXPECT_EQ(dst.Get(1, 0), p.want[1]) << "mode " << p.mode;
  }
}

}  // namespace

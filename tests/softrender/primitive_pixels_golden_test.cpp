// Known pixel results of every blend mode, drawn through the primitives: the box, the
// line and the flat triangle for a flat colour, the textured triangle for each source kind.
// Each case draws one pixel in the middle of a 3 x 3 destination and compares whole words;
// the eight neighbours and the canary bytes must not change.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

enum class Kind { Flat, Direct, Alpha, Paletted };

constexpr int kNone = -1;
constexpr uint32_t kNoBright = 0xFFFFFF;
constexpr uint8_t kBlendByte = 7;  // the blend image's byte; the ramp maps it to the case's W
constexpr uint8_t kIndex = 3;      // the paletted source's index; entries 3 and 5 hold the colour

struct Case {
  const char* what;
  int depth;  // 16 or 32
  Kind kind;
  int mode, param;
  uint32_t bright;  // DrawBright
  int transparent;  // textured draws; flat triangles get it too and must ignore it
  int weight;       // W of the blend image, or kNone
  uint32_t
      source;    // the pixel (16-bit alpha: word | A << 16), the palette entry, or the flat colour
  uint32_t key;  // the source's transparent colour (an index for a paletted source)
  uint32_t dest;
  uint32_t expected;
  int64_t expectedFlatTriangle = kNone;  // where the flat triangle's brightness rule differs
};

std::string Name(const Case& c) {
  return std::string(c.what) + " (" + std::to_string(c.depth) + "-bit, mode " +
         std::to_string(c.mode) + ", P " + std::to_string(c.param) + ")";
}

struct Scene {
  CanaryImage dst;
  CanaryImage src;
  CanaryImage blend;
  const Case& c;

  explicit Scene(const Case& cs)
      : dst(3, 3, cs.depth == 32 ? Xrgb8888 : Rgb565),
        src(1, 1, cs.depth == 32 ? Xrgb8888 : Rgb565, cs.kind == Kind::Paletted,
            cs.kind == Kind::Alpha),
        blend(1, 1, Single8),
        c(cs) {
    const bool deep = cs.depth == 32;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x)
        dst.Set(x, y, deep ? 0x9C3A5E71u + 0x01010101u * (x + 3 * y) : 0x5E71u + 3 * (x + 3 * y));
    dst.Set(1, 1, cs.dest);
    MemImgBody& body = *src.image.body;
    body.transparentColor = cs.key;
    if (cs.kind == Kind::Paletted) {
      src.Set(0, 0, kIndex);
      std::memcpy(body.palette + kIndex * (deep ? 4 : 2), &cs.source, deep ? 4 : 2);
      std::memcpy(body.palette + 5 * (deep ? 4 : 2), &cs.source, deep ? 4 : 2);
      body.colorsUsed = 256;
      body.hasAlpha = 1;  // a paletted source's alpha flag is never consulted
    } else if (cs.kind != Kind::Flat) {
      src.Set(0, 0, cs.source);
    }
    blend.Set(0, 0, kBlendByte);
    std::memset(BlendImageRamp, 0x55, sizeof(BlendImageRamp));
    BlendImageRamp[kBlendByte] = static_cast<uint8_t>(cs.weight == kNone ? 0 : cs.weight);
    DrawArea = {1, 1, 2, 2};
    CurrentBlendMode = cs.mode;
    BlendParam = cs.param;
    DrawBright = cs.bright;
  }

  // Checks the middle pixel, the neighbours and the canaries.
  void Expect(uint32_t want, const char* draw) {
    const bool deep = c.depth == 32;
    EXPECT_EQ(dst.Get(1, 1), want) << Name(c) << " by " << draw << std::hex << ": got 0x"
                                   << dst.Get(1, 1) << ", want 0x" << want;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        if (x == 1 && y == 1) continue;
        ASSERT_EQ(dst.Get(x, y),
                  deep ? 0x9C3A5E71u + 0x01010101u * (x + 3 * y) : 0x5E71u + 3 * (x + 3 * y))
            << Name(c) << " by " << draw << " wrote outside the draw area";
      }
    ASSERT_TRUE(dst.CanariesIntact()) << Name(c) << " by " << draw;
    dst.Set(1, 1, c.dest);
  }
};

void DrawCase(const Case& c) {
  DrawStateGuard state;
  Scene s(c);
  const int32_t tri[12] = {1, 1, 0, 0, 2, 1, 1, 0, 1, 2, 0, 1};
  if (c.kind == Kind::Flat) {
    const int32_t colour = static_cast<int32_t>(c.source);
    SoftDrawTarget = &s.dst.image;
    const RECT box = {1, 1, 2, 2};
    FillMemImgBox(&s.dst.image, &box, colour);
    s.Expect(c.expected, "box");
    SoftDrawTarget = nullptr;
    DrawMemImgLine(&s.dst.image, 1, 1, 2, 1, colour);
    s.Expect(c.expected, "line");
    const MemImgLine line = {1, 1, 1, 2, colour, 77};
    DrawMemImgLines(&s.dst.image, &line, 1);
    s.Expect(c.expected, "line list");
    const uint32_t triangle = c.expectedFlatTriangle == kNone
                                  ? c.expected
                                  : static_cast<uint32_t>(c.expectedFlatTriangle);
    DrawMemImgTriangle(&s.dst.image, nullptr, tri, 1, &s.blend.image, colour);
    s.Expect(triangle, "flat triangle with flag and blend image");
    DrawMemImgTriangle(&s.dst.image, nullptr, tri, 0, nullptr, colour);
    s.Expect(triangle, "flat triangle");
    return;
  }
  DrawMemImgTriangle(&s.dst.image, &s.src.image, tri, c.transparent,
                     c.weight == kNone ? nullptr : &s.blend.image, 0);
  s.Expect(c.expected, "textured triangle");
  // The four-corner draw of the same 1 x 1 source puts the texel on the same pixel.
  const int32_t corners[8] = {1, 1, 2, 1, 1, 2, 2, 2};
  DrawMemImgQuad(&s.dst.image, &s.src.image, corners, c.transparent,
                 c.weight == kNone ? nullptr : &s.blend.image);
  s.Expect(c.expected, "quad");
}

uint32_t A16(uint32_t word, uint32_t alpha) { return word | alpha << 16; }

// clang-format off
const Case kCases[] = {
  // --- mode 0 ---
  {"copy carries byte 3", 32, Kind::Direct, 0, 0, kNoBright, 0, kNone, 0x7F112233, 0, 0x01000000, 0x7F112233},
  {"fourth bright byte is not brightness", 32, Kind::Direct, 0, 0, 0xAAFFFFFF, 0, kNone, 0x7F112233, 0, 0x01000000, 0x7F112233},
  {"brightness keeps byte 3", 32, Kind::Direct, 0, 255, 0xFFFFFE, 0, kNone, 0x7F112233, 0, 0x01000000, 0x01112232},
  {"brightness 0 on green", 32, Kind::Direct, 0, 255, 0xFF00FF, 0, kNone, 0x00FFFFFF, 0, 0, 0x00FF00FF},
  {"W 255 white over black", 32, Kind::Direct, 0, 255, kNoBright, 0, 255, 0x00FFFFFF, 0, 0, 0x00FEFEFE},
  {"W 255 black over white", 32, Kind::Direct, 0, 255, kNoBright, 0, 255, 0, 0, 0x00FFFFFF, 0},
  {"W 0 leaves the pixel", 32, Kind::Direct, 0, 255, kNoBright, 0, 0, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"alpha 255 without flag", 32, Kind::Alpha, 0, 255, kNoBright, 0, kNone, 0xFFFFFFFF, 0, 0, 0x00FEFEFE},
  {"alpha 0 without flag", 32, Kind::Alpha, 0, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"alpha 255 with flag copies", 32, Kind::Alpha, 0, 255, kNoBright, 1, kNone, 0xFF102030, 0, 0, 0xFF102030},
  {"alpha 0 with flag skips", 32, Kind::Alpha, 0, 255, kNoBright, 1, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"16-bit alpha 128", 16, Kind::Alpha, 0, 255, kNoBright, 0, kNone, A16(0xFFE0, 128), 0, 0, 0x7BE0},
  {"key differs in byte 3 only", 32, Kind::Direct, 0, 255, kNoBright, 1, kNone, 0x01112233, 0x00112233, 0, 0x01112233},
  {"key equal", 32, Kind::Direct, 0, 255, kNoBright, 1, kNone, 0x00112233, 0x00112233, 0x12345678, 0x12345678},
  {"16-bit key above bit 15", 16, Kind::Direct, 0, 255, kNoBright, 1, kNone, 0x1234, 0x11234, 0, 0x1234},
  {"16-bit key equal", 16, Kind::Direct, 0, 255, kNoBright, 1, kNone, 0x1234, 0x1234, 0x4321, 0x4321},
  {"paletted skips its index", 32, Kind::Paletted, 0, 255, kNoBright, 1, kNone, 0x00ABCDEF, kIndex, 0x12345678, 0x12345678},
  {"paletted: same colour, other index", 32, Kind::Paletted, 0, 255, kNoBright, 1, kNone, 0x00ABCDEF, 5, 0x12345678, 0x00ABCDEF},
  {"16-bit paletted copy", 16, Kind::Paletted, 0, 255, kNoBright, 0, kNone, 0xABCD, kIndex, 0x1234, 0xABCD},
  {"16-bit brightness 128", 16, Kind::Direct, 0, 255, 0x808080, 0, kNone, 0xFFFF, 0, 0, 0x7BEF},
  {"flat byte 3 with brightness", 32, Kind::Flat, 0, 0, 0x808080, 0, kNone, 0x80FFFFFF, 0, 0x01000000, 0x807F7F7F, 0x80808080},
  {"flat blue brightness only", 32, Kind::Flat, 0, 0, 0x0000FF, 0, kNone, static_cast<uint32_t>(-1), 0, 0, 0xFF0000FE, 0xFF0000FF},
  {"flat bright 255 gives 254", 32, Kind::Flat, 0, 0, 0xFEFFFF, 0, kNone, 0x00FFFFFF, 0, 0, 0x00FDFEFE, 0x00FEFFFF},
  {"flat 16-bit bright 255", 16, Kind::Flat, 0, 0, 0xFFFFFE, 0, kNone, 0xFFFF, 0, 0, 0xF7DE, 0xFFFE},
  {"flat 16-bit colour above 0xFFFF", 16, Kind::Flat, 0, 0, kNoBright, 0, kNone, 0x7FFF1234, 0, 0, 0x1234},
  {"flat mode 0 at P 0", 32, Kind::Flat, 0, 0, kNoBright, 0, kNone, 0x80123456, 0, 0, 0x80123456},
  // --- mode 1 ---
  {"P 128 both ways", 32, Kind::Direct, 1, 128, kNoBright, 0, kNone, 0x000000FF, 0, 0x5A00FF00, 0x5A007F7F},
  {"P 1 both ways", 32, Kind::Direct, 1, 1, kNoBright, 0, kNone, 0x000000FF, 0, 0x0000FF00, 0x0000FE00},
  {"P 254 both ways", 32, Kind::Direct, 1, 254, kNoBright, 0, kNone, 0x000000FF, 0, 0x0000FF00, 0x000001FD},
  {"16-bit P 1", 16, Kind::Direct, 1, 1, kNoBright, 0, kNone, 0xF800, 0, 0x001F, 0x001F},
  {"16-bit P 128", 16, Kind::Direct, 1, 128, kNoBright, 0, kNone, 0xF800, 0, 0x001F, 0x7810},
  {"16-bit P 254", 16, Kind::Direct, 1, 254, kNoBright, 0, kNone, 0xFFE0, 0, 0x001F, 0xF7C1},
  {"16-bit paletted P 254", 16, Kind::Paletted, 1, 254, kNoBright, 0, kNone, 0xFFE0, kIndex, 0x001F, 0xF7C1},
  {"alpha 255, flag set: parameter form", 32, Kind::Alpha, 1, 254, kNoBright, 1, kNone, 0xFF0000FF, 0, 0, 0x000000FD},
  {"alpha 255, flag clear: alpha form", 32, Kind::Alpha, 1, 254, kNoBright, 0, kNone, 0xFF0000FF, 0, 0, 0x000000FC},
  {"alpha 0, flag clear", 32, Kind::Alpha, 1, 100, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"W 255 and alpha 255, flag clear", 32, Kind::Alpha, 1, 254, kNoBright, 0, 255, 0xFF0000FF, 0, 0x0000FF00, 0x000003FB},
  {"16-bit W 255", 16, Kind::Direct, 1, 254, kNoBright, 0, 255, 0xF800, 0, 0x001F, 0xF000},
  {"W 0", 32, Kind::Direct, 1, 100, kNoBright, 0, 0, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"P 0 draws nothing", 32, Kind::Paletted, 1, 0, kNoBright, 0, kNone, 0x00FFFFFF, 9, 0x12345678, 0x12345678},
  {"P 255 is mode 0", 32, Kind::Alpha, 1, 255, kNoBright, 1, kNone, 0xFF102030, 0, 0, 0xFF102030},
  {"flat P 128", 32, Kind::Flat, 1, 128, kNoBright, 1, kNone, 0x000000FF, 0, 0x5A00FF00, 0x5A007F7F},
  {"flat 16-bit P 254", 16, Kind::Flat, 1, 254, kNoBright, 1, kNone, 0xFFE0, 0, 0x001F, 0xF7C1},
  {"flat P 0", 16, Kind::Flat, 1, 0, kNoBright, 0, kNone, 0xFFFF, 0, 0x1234, 0x1234},
  // --- mode 2 ---
  {"P 255 adds S", 32, Kind::Direct, 2, 255, kNoBright, 0, kNone, 0x00123456, 0, 0, 0x00123456},
  {"W 255, S 255: E 253", 32, Kind::Direct, 2, 255, kNoBright, 0, 255, 0x000000FF, 0, 0, 0x000000FD},
  {"16-bit W 255, R5 31: E 30", 16, Kind::Direct, 2, 255, kNoBright, 0, 255, 0xF800, 0, 0, 0xF000},
  {"alpha 255 flag clear: E 253", 32, Kind::Alpha, 2, 255, kNoBright, 0, kNone, 0xFF0000FF, 0, 0, 0x000000FD},
  {"alpha 255 flag set: E 255", 32, Kind::Alpha, 2, 255, kNoBright, 1, kNone, 0xFF0000FF, 0, 0, 0x000000FF},
  {"16-bit alpha 255 flag clear: E 30", 16, Kind::Alpha, 2, 255, kNoBright, 0, kNone, A16(0xF800, 255), 0, 0, 0xF000},
  {"16-bit alpha 255 flag set: E 31", 16, Kind::Alpha, 2, 255, kNoBright, 1, kNone, A16(0xF800, 255), 0, 0, 0xF800},
  {"alpha 0 with flag keeps byte 3", 32, Kind::Alpha, 2, 255, kNoBright, 1, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"alpha pixel equal to the key is drawn", 32, Kind::Alpha, 2, 255, kNoBright, 1, kNone, 0x80000001, 0x80000001, 0x12345678, 0x00345678},
  {"zero addend clears byte 3", 32, Kind::Direct, 2, 255, kNoBright, 0, kNone, 0, 0, 0x12345678, 0x00345678},
  {"carry out of blue", 32, Kind::Flat, 2, 255, kNoBright, 0, kNone, 0x00000001, 0, 0x000000FF, 0x000001FF},
  {"lowest bits OR", 32, Kind::Flat, 2, 255, kNoBright, 0, kNone, 0x00010101, 0, 0x80010101, 0x00010102},
  {"red saturates into byte 3", 32, Kind::Direct, 2, 255, kNoBright, 0, kNone, 0x00C80000, 0, 0x00640000, 0x01FF0000},
  {"all saturate", 32, Kind::Flat, 2, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0xFFFFFFFF, 0x01FFFFFF},
  {"16-bit B5 carry", 16, Kind::Flat, 2, 255, kNoBright, 0, kNone, 0x001F, 0, 0x0001, 0x003F},
  {"16-bit G6 62 + 2 (its carry sets R5's low bit)", 16, Kind::Direct, 2, 255, kNoBright, 0, kNone, 0x0040, 0, 0x07C0, 0x0FC0},
  {"16-bit G6 62 + 3", 16, Kind::Flat, 2, 255, kNoBright, 0, kNone, 0x0060, 0, 0x07C0, 0x0FE0},
  {"16-bit G6 1 + 1", 16, Kind::Paletted, 2, 255, kNoBright, 0, kNone, 0x0020, kIndex, 0x0020, 0x0020},
  {"16-bit R5 1 + 1", 16, Kind::Flat, 2, 255, kNoBright, 0, kNone, 0x0800, 0, 0x0800, 0x0800},
  {"16-bit all ones", 16, Kind::Direct, 2, 255, kNoBright, 0, kNone, 0xFFFF, 0, 0xFFFF, 0xFFFF},
  {"P 0 draws nothing", 16, Kind::Direct, 2, 0, kNoBright, 0, kNone, 0xFFFF, 0, 0x1234, 0x1234},
  {"flat P 0", 32, Kind::Flat, 2, 0, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  // --- mode 3 ---
  {"128 minus itself", 32, Kind::Direct, 3, 255, kNoBright, 0, kNone, 0x00808080, 0, 0x77808080, 0x00010100},
  {"black minus black", 32, Kind::Flat, 3, 255, kNoBright, 0, kNone, 0, 0, 0x77000000, 0x00010100},
  {"white minus white", 32, Kind::Paletted, 3, 255, kNoBright, 0, kNone, 0x00FFFFFF, 9, 0x00FFFFFF, 0x00010100},
  {"white minus black", 32, Kind::Flat, 3, 255, kNoBright, 0, kNone, 0, 0, 0x55FFFFFF, 0x00FFFFFF},
  {"blue floors, green keeps its low bit", 32, Kind::Direct, 3, 255, kNoBright, 0, kNone, 0x00000B0A, 0, 0x00000A14, 0x0001010A},
  {"blue borrows", 32, Kind::Flat, 3, 255, kNoBright, 0, kNone, 0x00000B14, 0, 0x00000A0A, 0x00010000},
  {"16-bit minus itself", 16, Kind::Direct, 3, 255, kNoBright, 0, kNone, 0x8410, 0, 0x8410, 0x0800},
  {"16-bit white minus black", 16, Kind::Flat, 3, 255, kNoBright, 0, kNone, 0, 0, 0xFFFF, 0xFFDF},
  {"16-bit black minus black", 16, Kind::Paletted, 3, 255, kNoBright, 0, kNone, 0, 9, 0, 0x0800},
  {"alpha 255 flag set: K 255", 32, Kind::Alpha, 3, 255, kNoBright, 1, kNone, 0xFF0000FF, 0, 0x000000FF, 0x00010100},
  {"alpha 255 flag clear: K 253", 32, Kind::Alpha, 3, 255, kNoBright, 0, kNone, 0xFF0000FF, 0, 0x000000FF, 0x00010102},
  {"16-bit alpha 255 flag set: K 31", 16, Kind::Alpha, 3, 255, kNoBright, 1, kNone, A16(0x001F, 255), 0, 0x001F, 0x0800},
  {"16-bit alpha 255 flag clear: K 30", 16, Kind::Alpha, 3, 255, kNoBright, 0, kNone, A16(0x001F, 255), 0, 0x001F, 0x0801},
  {"alpha 0 flag clear is written", 32, Kind::Alpha, 3, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x00355778},
  {"W 255: K 253", 32, Kind::Direct, 3, 255, kNoBright, 0, 255, 0x000000FF, 0, 0x000000FF, 0x00010102},
  {"16-bit W 255: K 30", 16, Kind::Direct, 3, 255, kNoBright, 0, 255, 0x001F, 0, 0x001F, 0x0801},
  {"P 0, direct", 32, Kind::Direct, 3, 0, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"P 0, paletted draws nothing too", 32, Kind::Paletted, 3, 0, kNoBright, 0, kNone, 0x00FFFFFF, 9, 0x12345678, 0x12345678},
  {"P 0, 16-bit paletted", 16, Kind::Paletted, 3, 0, kNoBright, 0, kNone, 0xFFFF, 9, 0x1234, 0x1234},
  {"P 0, flat", 32, Kind::Flat, 3, 0, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"skipped pixel keeps byte 3", 32, Kind::Direct, 3, 255, kNoBright, 1, kNone, 0x00404040, 0x00404040, 0x12345678, 0x12345678},
  // --- mode 4 ---
  {"white turns D into D - 1", 32, Kind::Direct, 4, 128, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x5AFF0180, 0x5AFE007F},
  {"P 0 still multiplies", 32, Kind::Direct, 4, 0, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x5AFF0180, 0x5AFE007F},
  {"black and 128 on 200", 32, Kind::Paletted, 4, 255, kNoBright, 0, kNone, 0x00008000, 9, 0x0000C8C8, 0x00006400},
  {"alpha 255 flag set", 32, Kind::Alpha, 4, 255, kNoBright, 1, kNone, 0xFF0000FF, 0, 0x000000FF, 0x000000FE},
  {"alpha 255 flag clear", 32, Kind::Alpha, 4, 255, kNoBright, 0, kNone, 0xFF0000FF, 0, 0x000000FF, 0x000000FD},
  {"alpha 255, W 255, flag set", 32, Kind::Alpha, 4, 255, kNoBright, 1, 255, 0xFF0000FF, 0, 0x000000FF, 0x000000FD},
  {"alpha 255, W 255, flag clear", 32, Kind::Alpha, 4, 255, kNoBright, 0, 255, 0xFF0000FF, 0, 0x000000FF, 0x000000FC},
  {"alpha 0 flag clear blackens", 32, Kind::Alpha, 4, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12000000},
  {"alpha 0 flag set is skipped", 32, Kind::Alpha, 4, 255, kNoBright, 1, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"16-bit alpha 0 flag set is skipped", 16, Kind::Alpha, 4, 255, kNoBright, 1, kNone, A16(0xFFFF, 0), 0, 0x1234, 0x1234},
  {"16-bit white times white", 16, Kind::Direct, 4, 255, kNoBright, 0, kNone, 0xFFFF, 0, 0xFFFF, 0xF7DE},
  {"16-bit alpha 255 flag clear", 16, Kind::Alpha, 4, 255, kNoBright, 0, kNone, A16(0xFFFF, 255), 0, 0xFFFF, 0xEFBD},
  {"key without flag multiplies", 32, Kind::Direct, 4, 255, kNoBright, 0, kNone, 0x00808080, 0x00808080, 0x00C8C8C8, 0x00646464},
  {"key with flag", 32, Kind::Direct, 4, 255, kNoBright, 1, kNone, 0x00808080, 0x00808080, 0x00C8C8C8, 0x00C8C8C8},
  {"brightness 0 on blue", 32, Kind::Direct, 4, 255, 0xFFFF00, 0, kNone, 0x00FFFFFF, 0, 0x00808080, 0x007F7F00},
  {"flat 255", 32, Kind::Flat, 4, 0, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x33FF0100, 0x33FE0000},
  {"flat 16-bit white", 16, Kind::Flat, 4, 7, kNoBright, 0, kNone, 0xFFFF, 0, 0xFFFF, 0xF7DE},
  // --- mode 10 ---
  {"P 0 changes nothing", 32, Kind::Direct, 10, 0, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"flat P 0 changes nothing", 16, Kind::Flat, 10, 0, kNoBright, 0, kNone, 0x0000, 0, 0x1234, 0x1234},
  {"P 255 toward the complement", 32, Kind::Direct, 10, 255, kNoBright, 0, kNone, 0x00640000, 0, 0x3C32FF00, 0x3C9AFFFE},
  {"white over white", 32, Kind::Paletted, 10, 255, kNoBright, 0, kNone, 0x000000FF, 9, 0x000000FF, 0x00FEFE00},
  {"16-bit P 255 is the complement", 16, Kind::Direct, 10, 255, kNoBright, 0, kNone, 0x1234, 0, 0x5555, 0xEDCB},
  {"16-bit P 128 both ways", 16, Kind::Direct, 10, 128, kNoBright, 0, kNone, 0x07FF, 0, 0x001F, 0x7810},
  {"P 128 both ways", 32, Kind::Direct, 10, 128, kNoBright, 0, kNone, 0x0000FF00, 0, 0x0000FF00, 0x007F7F7F},
  {"W 255 both ways", 32, Kind::Direct, 10, 255, kNoBright, 0, 255, 0x0000FF00, 0, 0x0000FF00, 0x00FD01FD},
  {"W 255, alpha 255, flag clear", 32, Kind::Alpha, 10, 255, kNoBright, 0, 255, 0xFF000000, 0, 0, 0x00FCFCFC},
  {"W 255, alpha 255, flag set", 32, Kind::Alpha, 10, 255, kNoBright, 1, 255, 0xFF000000, 0, 0, 0x00FDFDFD},
  {"alpha 255, flag set", 32, Kind::Alpha, 10, 255, kNoBright, 1, kNone, 0xFF000000, 0, 0, 0x00FEFEFE},
  {"alpha 255, flag clear", 32, Kind::Alpha, 10, 255, kNoBright, 0, kNone, 0xFF000000, 0, 0, 0x00FDFDFD},
  {"16-bit alpha 255, flag set", 16, Kind::Alpha, 10, 255, kNoBright, 1, kNone, A16(0, 255), 0, 0, 0xFFFF},
  {"16-bit alpha 255, flag clear", 16, Kind::Alpha, 10, 255, kNoBright, 0, kNone, A16(0, 255), 0, 0, 0xF7DE},
  {"alpha 0, flag set", 32, Kind::Alpha, 10, 255, kNoBright, 1, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"16-bit alpha 0, flag clear", 16, Kind::Alpha, 10, 255, kNoBright, 0, kNone, A16(0x5555, 0), 0, 0x1234, 0x1234},
  {"textured brightness 0 scales the complement", 32, Kind::Direct, 10, 255, 0xFFFF00, 0, kNone, 0, 0, 0x00808080, 0x00FEFE00},
  {"16-bit textured brightness 0", 16, Kind::Direct, 10, 255, 0x000000, 0, kNone, 0, 0, 0x1234, 0},
  {"flat brightness 0 complements the scaled colour", 32, Kind::Flat, 10, 255, 0x000000, 0, kNone, 0x00FFFFFF, 0, 0x008080FF, 0x00FEFEFF},
  {"flat 16-bit brightness 0", 16, Kind::Flat, 10, 255, 0x000000, 0, kNone, 0xFFFF, 0, 0x1234, 0xFFFF},
  {"paletted ignores an alpha flag", 32, Kind::Paletted, 10, 255, kNoBright, 0, kNone, 0, 9, 0, 0x00FEFEFE},
  {"key without flag is blended", 32, Kind::Direct, 10, 255, kNoBright, 0, kNone, 0, 0, 0, 0x00FEFEFE},
  // --- mode 11 ---
  {"P 0 changes nothing", 32, Kind::Alpha, 11, 0, kNoBright, 0, 200, 0x80FFFFFF, 0, 0x12345678, 0x12345678},
  {"P 255: the product", 32, Kind::Direct, 11, 255, kNoBright, 0, kNone, 0x00000080, 0, 0x000000C8, 0x00000064},
  {"black at P 128", 32, Kind::Direct, 11, 128, kNoBright, 0, kNone, 0, 0, 0x000000C8, 0x00000064},
  {"16-bit black at P 128", 16, Kind::Direct, 11, 128, kNoBright, 0, kNone, 0, 0, 0xF800, 0x8000},
  {"P 1 drops by 1", 32, Kind::Paletted, 11, 1, kNoBright, 0, kNone, 0, 9, 0x00C8C8C8, 0x00C7C7C7},
  {"16-bit P 1 keeps", 16, Kind::Direct, 11, 1, kNoBright, 0, kNone, 0, 0, 0xFFFF, 0xFFFF},
  {"white at P 255", 32, Kind::Direct, 11, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x44FF0180, 0x44FE007F},
  {"16-bit white under white", 16, Kind::Direct, 11, 255, kNoBright, 0, kNone, 0xFFFF, 0, 0xFFFF, 0xF7DE},
  {"alpha 255 black, flag set", 32, Kind::Alpha, 11, 255, kNoBright, 1, kNone, 0xFF000000, 0, 0x000000FF, 0x00000000},
  {"alpha 255 black, flag clear", 32, Kind::Alpha, 11, 255, kNoBright, 0, kNone, 0xFF000000, 0, 0x000000FF, 0x00000001},
  {"alpha 255 black, W 255, flag set", 32, Kind::Alpha, 11, 255, kNoBright, 1, 255, 0xFF000000, 0, 0x000000FF, 0x00000001},
  {"alpha 255 black, W 255, flag clear", 32, Kind::Alpha, 11, 255, kNoBright, 0, 255, 0xFF000000, 0, 0x000000FF, 0x00000002},
  {"alpha 0", 16, Kind::Alpha, 11, 255, kNoBright, 1, kNone, A16(0, 0), 0, 0x1234, 0x1234},
  {"16-bit G6 keeps five more bits", 16, Kind::Alpha, 11, 255, kNoBright, 0, kNone, A16(0x0020, 255), 0, 0x07E0, 0x0020},
  {"16-bit G6 with brightness", 16, Kind::Alpha, 11, 255, 0xFFFFFE, 0, kNone, A16(0x0020, 255), 0, 0x07E0, 0x0000},
  {"key without flag is blended", 32, Kind::Direct, 11, 255, kNoBright, 0, kNone, 0x00000080, 0x00000080, 0x000000C8, 0x00000064},
  {"flat colour 0", 32, Kind::Flat, 11, 255, kNoBright, 0, kNone, 0, 0, 0x12345678, 0x12000000},
  {"flat 16-bit colour 0", 16, Kind::Flat, 11, 255, kNoBright, 0, kNone, 0, 0, 0xFFFF, 0},
  // --- modes without leaves ---
  {"mode 7", 32, Kind::Direct, 7, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"mode 12", 16, Kind::Flat, 12, 255, kNoBright, 0, kNone, 0xFFFF, 0, 0x1234, 0x1234},
  {"mode -1", 32, Kind::Flat, -1, 255, kNoBright, 0, kNone, 0x00FFFFFF, 0, 0x12345678, 0x12345678},
  {"mode 5", 16, Kind::Alpha, 5, 255, kNoBright, 1, kNone, A16(0xFFFF, 255), 0, 0x1234, 0x1234},
};
// clang-format on

TEST(PrimitivePixels, KnownResultsOfEveryMode) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(Name(c));
    DrawCase(c);
  }
}

}  // namespace

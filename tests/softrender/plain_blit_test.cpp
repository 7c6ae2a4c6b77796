// The plain blit's frame: refusals, clipping (the blend image moving with the source), the
// choice of path, the skip table's view, and the palette read at every draw.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

// White source over black with the identity ramp: each drawn pixel shows, in every channel,
// floor(255 * b / 256) for the blend byte b it was paired with.
TEST(PlainBlit, ClippingOnEachEdgeMovesTheBlendImageWithTheSource) {
  DrawStateGuard state;
  BuildBlendImageRamp(128, 255);
  struct Case {
    const char* what;
    int x, y;
    RECT area;
  } const cases[] = {
      {"left edge of the destination", -2, 1, {0, 0, 12, 9}},
      {"top edge of the destination", 3, -2, {0, 0, 12, 9}},
      {"right edge of the destination", 8, 2, {0, 0, 12, 9}},
      {"bottom edge of the destination", 1, 7, {0, 0, 12, 9}},
      {"left edge of the draw area", 1, 1, {3, 0, 12, 9}},
      {"top and right edges of the draw area", 4, 0, {0, 2, 7, 9}},
      {"an area larger than the destination", -1, 6, {-50, -50, 500, 500}},
      {"an area wholly outside", 1, 1, {20, 20, 30, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CanaryImage src(6, 4, Xrgb8888), dst(12, 9, Xrgb8888), blend(7, 5, Single8);
    src.Fill(0x00FFFFFF);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) blend.Set(x, y, static_cast<uint32_t>(10 + 30 * x + 7 * y));
    DrawArea = c.area;
    DrawMemImgPlain(&dst.image, &src.image, c.x, c.y, 0, &blend.image);
    for (int y = 0; y < 9; ++y) {
      for (int x = 0; x < 12; ++x) {
        const int sx = x - c.x, sy = y - c.y;
        const bool inside = sx >= 0 && sx < 6 && sy >= 0 && sy < 4 && x >= c.area.left &&
                            x < c.area.right && y >= c.area.top && y < c.area.bottom;
        const uint32_t v = inside ? 255 * blend.Get(sx, sy) / 256 : 0;
        ASSERT_EQ(dst.Get(x, y), v | v << 8 | v << 16) << x << "," << y;
      }
    }
    EXPECT_TRUE(dst.CanariesIntact());
  }
}

TEST(PlainBlit, RefusedDrawsLeaveTheDestinationAlone) {
  DrawStateGuard state;
  CanaryImage src32(4, 4, Xrgb8888), src16(4, 4, Rgb565), single8(4, 4, Single8),
      single16(4, 4, Single16);
  CanaryImage dst32(4, 4, Xrgb8888), palettedDst(4, 4, Xrgb8888, 1), alphaDst(4, 4, Xrgb8888, 0, 1);
  CanaryImage single8Dst(4, 4, Single8), single16Dst(4, 4, Single16);
  CanaryImage smallBlend(3, 4, Single8), shortBlend(4, 3, Single8), wideBlend(4, 4, Xrgb8888);
  src32.Fill(0x00FFFFFF);
  src16.Fill(0xFFFF);
  single8.Fill(0xFF);
  single16.Fill(0xFFFF);
  struct Case {
    const char* what;
    MEMIMG* dst;
    MEMIMG* src;
    MEMIMG* blend;
    int mode, param;
  } const cases[] = {
      {"colour types differ", &dst32.image, &src16.image, nullptr, 0, 255},
      {"paletted destination", &palettedDst.image, &src32.image, nullptr, 0, 255},
      {"destination with alpha", &alphaDst.image, &src32.image, nullptr, 0, 255},
      {"8-bit single-channel images", &single8Dst.image, &single8.image, nullptr, 0, 255},
      {"16-bit single-channel images", &single16Dst.image, &single16.image, nullptr, 0, 255},
      {"blend image narrower than the source", &dst32.image, &src32.image, &smallBlend.image, 0,
       255},
      {"blend image shorter than the source", &dst32.image, &src32.image, &shortBlend.image, 0,
       255},
      {"blend image of more than one byte a pixel", &dst32.image, &src32.image, &wideBlend.image, 0,
       255},
      {"mode 1 at P 0", &dst32.image, &src32.image, nullptr, 1, 0},
      {"mode 2 at P 0", &dst32.image, &src32.image, nullptr, 2, 0},
      {"mode 3 at P 0", &dst32.image, &src32.image, nullptr, 3, 0},
      {"mode 7", &dst32.image, &src32.image, nullptr, 7, 255},
  };
  for (const Case& c : cases) {
    CurrentBlendMode = c.mode;
    BlendParam = c.param;
    const std::vector<uint8_t> before(
        c.dst->pixels - CanaryImage::kMargin,
        c.dst->pixels + 4 * c.dst->body->pitch + CanaryImage::kMargin);
    EXPECT_EQ(DrawMemImgPlain(c.dst, c.src, 0, 0, 0, c.blend), 0) << c.what;
    EXPECT_TRUE(std::equal(before.begin(), before.end(), c.dst->pixels - CanaryImage::kMargin))
        << c.what;
  }
  EXPECT_EQ(DrawMemImgPlain(nullptr, &src32.image, 0, 0, 0, nullptr), 0);
  EXPECT_EQ(DrawMemImgPlain(&dst32.image, nullptr, 0, 0, 0, nullptr), 0);

  // A blend image smaller than the source still serves a draw that reads only its part.
  CurrentBlendMode = 0;
  DrawArea = {0, 0, 3, 4};
  EXPECT_EQ(DrawMemImgPlain(&dst32.image, &src32.image, 0, 0, 0, &smallBlend.image), 1);
  EXPECT_TRUE(dst32.CanariesIntact());
}

// Mode 1 at 128 shows the path: the half mix of the per-pixel path gives (120, 120, 120) with
// byte 3 cleared, the run-length path (121, 121, 121) with byte 3 kept.
TEST(PlainBlit, TheRunLengthPathNeedsFlagOneAWholeSourceAndItsOwnTable) {
  DrawStateGuard state;
  CurrentBlendMode = 1;
  BlendParam = 128;
  CanaryImage src(5, 3, Xrgb8888, 0, 0, 1, 0x00FF00FF);
  src.Fill(0x00F1F1F1);
  src.Set(2, 1, 0x00FF00FF);  // one transparent pixel
  ASSERT_EQ(RebuildMemImgWorkBuffers(&src.image), 0);

  struct Case {
    const char* what;
    int transparent;
    RECT area;
    uint32_t drawn;
  } const cases[] = {
      {"flag 1, whole source", 1, {0, 0, 8, 8}, 0xAB797979},
      {"flag 1, one column clipped", 1, {0, 0, 5, 8}, 0x00787878},
      {"flag 1, one row clipped", 1, {0, 2, 8, 8}, 0x00787878},
      {"flag 2, whole source", 2, {0, 0, 8, 8}, 0x00787878},
  };
  for (const Case& c : cases) {
    CanaryImage dst(8, 8, Xrgb8888);
    dst.Fill(0xAB010101);
    DrawArea = c.area;
    DrawMemImgPlain(&dst.image, &src.image, 1, 1, c.transparent, nullptr);
    for (int y = 1; y < 4; ++y)
      for (int x = 1; x < 6; ++x) {
        const bool visible =
            x >= c.area.left && x < c.area.right && y >= c.area.top && y < c.area.bottom;
        const bool skipped = x == 3 && y == 2;
        EXPECT_EQ(dst.Get(x, y), visible && !skipped ? c.drawn : 0xAB010101u)
            << c.what << " " << x << "," << y;
      }
  }
}

// A skip table belongs to the view it was built for: another view of the same size in the same
// body draws its own pixels.
TEST(PlainBlit, ASkipTableServesOnlyItsOwnView) {
  DrawStateGuard state;
  MEMIMG whole{}, top{}, bottom{};
  ASSERT_EQ(CreateMemImg(&whole, 4, 4, -1, 0x00FF00FF, Xrgb8888, 0, 0, 1, nullptr), 0);
  FillMemImgRect(&whole, nullptr, 0x00FF00FF);  // all transparent ...
  const RECT lower = {0, 2, 4, 4};
  FillMemImgRect(&whole, &lower, 0x00123456);  // ... except the bottom half
  DeriveMemImg(&top, &whole, 0, 0, 4, 2);
  DeriveMemImg(&bottom, &whole, 0, 2, 4, 2);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&top), 0);  // every run of this table is a skip

  CanaryImage dst(4, 2, Xrgb8888);
  DrawMemImgPlain(&dst.image, &bottom, 0, 0, 1, nullptr);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Get(x, 1), 0x00123456u) << x;
  DrawMemImgPlain(&dst.image, &top, 0, 0, 1, nullptr);
  EXPECT_EQ(dst.Get(0, 0), 0x00123456u);  // the top view's own table: nothing drawn

  // A full rebuild for the other view moves the table there.
  ASSERT_EQ(RebuildMemImgWorkBuffers(&bottom), 0);
  EXPECT_EQ(whole.body->skipTableView, bottom.pixels);
  ReleaseMemImg(&top);
  ReleaseMemImg(&bottom);
  ReleaseMemImg(&whole);
}

// Whatever bytes the table holds, a run never reaches past its row and the walk never reads
// past the table.
TEST(PlainBlit, ADamagedSkipTableCannotWriteOutsideTheDrawnRectangle) {
  DrawStateGuard state;
  CanaryImage src(3, 4, Xrgb8888, 0, 0, 1), dst(3, 4, Xrgb8888);
  src.Fill(0x00445566);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&src.image), 0);
  MemImgBody& body = *src.image.body;
  std::memset(body.skipTable, 0x7F,
              static_cast<size_t>(body.width + 5) * body.height);  // opaque runs of 64, no row ends
  EXPECT_EQ(DrawMemImgPlain(&dst.image, &src.image, 0, 0, 1, nullptr), 1);
  EXPECT_TRUE(dst.CanariesIntact());
  EXPECT_EQ(dst.Get(2, 0), 0x00445566u);
}

// The palette is read from the body at every draw: an index beyond the entries in use shows the
// body's own (zero-filled) entry, never what an earlier draw left behind, and a changed palette
// shows at once.
TEST(PlainBlit, PaletteEntriesComeFromTheSourceBodyAtEveryDraw) {
  DrawStateGuard state;
  for (int colorType : {Xrgb8888, Rgb565}) {
    const int entry = colorType == Xrgb8888 ? 4 : 2;
    CanaryImage first(2, 1, colorType, 1), other(1, 1, colorType, 1), dst(2, 1, colorType);
    first.image.body->colorsUsed = 2;
    const uint32_t red = 0x00FF0000 & (colorType == Xrgb8888 ? 0xFFFFFFFF : 0xF800);
    std::memcpy(first.image.body->palette + 1 * entry, &red, entry);
    first.Set(0, 0, 1);
    first.Set(1, 0, 200);  // beyond the two entries in use
    other.image.body->colorsUsed = 256;
    std::memset(other.image.body->palette, 0x77, 1024);

    DrawMemImgPlain(&dst.image, &first.image, 0, 0, 0, nullptr);
    const uint32_t once = dst.Get(1, 0);
    EXPECT_EQ(once, 0u);
    DrawMemImgPlain(&dst.image, &other.image, 0, 0, 0, nullptr);
    DrawMemImgPlain(&dst.image, &first.image, 0, 0, 0, nullptr);
    EXPECT_EQ(dst.Get(1, 0), once);
    EXPECT_EQ(dst.Get(0, 0), red);

    const uint32_t blue = colorType == Xrgb8888 ? 0x000000FF : 0x001F;
    std::memcpy(first.image.body->palette + 1 * entry, &blue, entry);
    DrawMemImgPlain(&dst.image, &first.image, 0, 0, 0, nullptr);
    EXPECT_EQ(dst.Get(0, 0), blue);
  }
}

// A palette without the colour key gets an index that never matches: index 0 stays visible on
// both paths.
TEST(PlainBlit, AnUnmatchedColourKeyHidesNoIndex) {
  DrawStateGuard state;
  CanaryImage src(3, 1, Xrgb8888, 1, 0, 1);
  const uint32_t entries[2] = {0x00102030, 0x00405060};
  std::memcpy(src.image.body->palette, entries, sizeof(entries));
  SetMemImgTransparentIndex(&src.image, 0x00FF00FF);
  ASSERT_EQ(src.image.body->transparentColor, NoTransparentIndex);
  src.Set(0, 0, 0);
  src.Set(1, 0, 1);
  src.Set(2, 0, 0xFF);
  for (bool runLength : {false, true}) {
    if (runLength) {
      ASSERT_EQ(RebuildMemImgWorkBuffers(&src.image), 0);
      EXPECT_EQ(src.image.body->skipTable[0], 0x42);  // one opaque run of 3
    }
    CanaryImage dst(3, 1, Xrgb8888);
    dst.Fill(0xDEADBEEF);
    DrawMemImgPlain(&dst.image, &src.image, 0, 0, 1, nullptr);
    EXPECT_EQ(dst.Get(0, 0), 0x00102030u);
    EXPECT_EQ(dst.Get(1, 0), 0x00405060u);
    EXPECT_EQ(dst.Get(2, 0), 0u);
  }
}

}  // namespace

// The primitives with hostile input: vertices and end points anywhere in the 32-bit range, draw
// areas that are empty or reach outside the destination, colours with high bits, missing
// images. Nothing may be written outside the area within the destination (canary borders),
// and the sanitizers watch the arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

int32_t Wild(std::mt19937& rng) {
  static const int32_t kExtremes[] = {
      INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 4, -8192, 8192, -1000000, 1000000, -1, 0, 1};
  switch (rng() % 4) {
    case 0:
      return kExtremes[rng() % (sizeof(kExtremes) / sizeof(kExtremes[0]))];
    case 1:
      return static_cast<int32_t>(rng());
    default:
      return static_cast<int32_t>(rng() % 60) - 20;
  }
}

// Every pixel outside the box keeps its value and the canaries hold.
void ExpectOnlyInside(CanaryImage& img, const std::vector<uint8_t>& before, const RECT& box,
                      const char* what) {
  ASSERT_TRUE(img.CanariesIntact()) << what;
  CanaryImage ref(img.image.width, img.image.height, img.image.body->colorType);
  ref.buffer = before;
  for (int y = 0; y < img.image.height; ++y)
    for (int x = 0; x < img.image.width; ++x) {
      if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) continue;
      ASSERT_EQ(img.Get(x, y), ref.Get(x, y)) << what << " wrote " << x << "," << y;
    }
}

TEST(PrimitiveSafety, WildGeometryStaysInsideTheAreaAndTheImage) {
  DrawStateGuard state;
  std::mt19937 rng(1234);
  const RECT areas[] = {{0, 0, 24, 16},
                        {-50, -50, 500, 500},
                        {5, 3, 19, 12},
                        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
  for (int colorType : {Xrgb8888, Rgb565}) {
    CanaryImage dst(24, 16, colorType);
    CanaryImage src(7, 5, colorType, 0, 1), pal(6, 6, colorType, 1), blend(7, 6, Single8);
    src.Randomise(rng);
    pal.Randomise(rng);
    blend.Randomise(rng);
    SoftDrawTarget = &dst.image;
    int drew = 0;
    for (int i = 0; i < 3000; ++i) {
      dst.Randomise(rng);
      const std::vector<uint8_t> before = dst.buffer;
      const RECT area = areas[i % 4];
      DrawArea = area;
      const RECT inside = {area.left < 0 ? 0 : area.left, area.top < 0 ? 0 : area.top,
                           area.right > 24 ? 24 : area.right, area.bottom > 16 ? 16 : area.bottom};
      const int modes[] = {0, 1, 2, 3, 4, 10, 11};
      CurrentBlendMode = modes[rng() % 7];
      BlendParam = static_cast<int32_t>(rng() % 256);
      DrawBright = rng() % 2 ? 0xFFFFFF : static_cast<uint32_t>(rng());
      int32_t v[12];
      for (int32_t& c : v) c = Wild(rng);
      const int32_t colour = static_cast<int32_t>(rng());
      switch (i % 5) {
        case 0:
          DrawMemImgTriangle(&dst.image, &src.image, v, static_cast<int>(rng() % 2), &blend.image,
                             0);
          break;
        case 1:
          DrawMemImgTriangle(&dst.image, i % 2 ? nullptr : &pal.image, v, 1, nullptr, colour);
          break;
        case 2:
          DrawMemImgQuad(&dst.image, &src.image, v, 0, nullptr);
          break;
        case 3:
          DrawMemImgLine(&dst.image, v[0], v[1], v[2], v[3], colour);
          break;
        default: {
          const RECT r = {v[0], v[1], v[2], v[3]};
          FillMemImgBox(&dst.image, &r, colour);
        }
      }
      ExpectOnlyInside(dst, before, inside, "a draw");
      if (HasFatalFailure()) return;
      drew += dst.buffer != before;
    }
    EXPECT_GT(drew, 600) << "the wild draws should still draw now and then";
    SoftDrawTarget = nullptr;
  }
}

TEST(PrimitiveSafety, HugeTrianglesStillDrawTheirVisiblePart) {
  DrawStateGuard state;
  CanaryImage dst(20, 10, Xrgb8888);
  DrawArea = {0, 0, 20, 10};
  const int32_t big = 2000000000;
  const int32_t v[12] = {-big, -big, 0, 0, INT32_MAX, -big, 0, 0, -big, INT32_MAX, 0, 0};
  DrawMemImgTriangle(&dst.image, nullptr, v, 0, nullptr, 0x00ABCDEF);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(dst.Get(x, y), 0x00ABCDEFu);
  EXPECT_TRUE(dst.CanariesIntact());
  // A quad far beyond the area is not drawn at all.
  CanaryImage src(4, 4, Xrgb8888);
  src.Fill(0x00FFFFFF);
  dst.Fill(0);
  const int32_t far[8] = {-big, -big, -big + 4, -big, -big, -big + 4, -big + 4, -big + 4};
  DrawMemImgQuad(&dst.image, &src.image, far, 0, nullptr);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(dst.Get(x, y), 0u);
}

TEST(PrimitiveSafety, EmptyOrForeignDrawAreaDrawsNothing) {
  DrawStateGuard state;
  CanaryImage dst(8, 8, Rgb565), src(4, 4, Rgb565);
  src.Fill(0xFFFF);
  SoftDrawTarget = &dst.image;
  const RECT areas[] = {{3, 3, 3, 8}, {0, 5, 8, 5}, {6, 6, 2, 2}, {8, 0, 20, 8}, {-9, -9, 0, 0}};
  const int32_t v[12] = {0, 0, 0, 0, 8, 0, 4, 0, 0, 8, 0, 4};
  const int32_t corners[8] = {0, 0, 8, 0, 0, 8, 8, 8};
  for (const RECT& a : areas) {
    DrawArea = a;
    DrawMemImgTriangle(&dst.image, &src.image, v, 0, nullptr, 0);
    DrawMemImgTriangle(&dst.image, nullptr, v, 0, nullptr, 0xFFFF);
    DrawMemImgQuad(&dst.image, &src.image, corners, 0, nullptr);
    DrawMemImgLine(&dst.image, 0, 0, 7, 7, 0xFFFF);
    DrawMemImgLine(&dst.image, 7, 0, 7, 7, 0xFFFF);
    FillMemImgBox(&dst.image, nullptr, 0xFFFF);
  }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.Get(x, y), 0u);
  EXPECT_TRUE(dst.CanariesIntact());
  SoftDrawTarget = nullptr;
}

TEST(PrimitiveSafety, SixteenBitColourAboveFFFFIsMasked) {
  DrawStateGuard state;
  const int32_t colours[] = {static_cast<int32_t>(0xFFFF0000u), 0x7FFFFFFF, 0x12345, -1};
  for (int mode : {0, 1, 2, 3, 4, 10, 11}) {
    for (uint32_t bright : {0xFFFFFFu, 0x808080u}) {
      for (int32_t colour : colours) {
        CurrentBlendMode = mode;
        BlendParam = 200;
        DrawBright = bright;
        CanaryImage a(6, 6, Rgb565), b(6, 6, Rgb565);
        std::mt19937 rng(static_cast<uint32_t>(mode) * 7 + static_cast<uint32_t>(colour));
        a.Randomise(rng);
        b.buffer = a.buffer;
        SoftDrawTarget = &a.image;
        const int32_t v[12] = {0, 0, 0, 0, 6, 0, 0, 0, 0, 6, 0, 0};
        const RECT r = {1, 1, 5, 5};
        DrawArea = {0, 0, 6, 6};
        DrawMemImgTriangle(&a.image, nullptr, v, 0, nullptr, colour);
        FillMemImgBox(&a.image, &r, colour);
        DrawMemImgLine(&a.image, 5, 0, 0, 5, colour);
        SoftDrawTarget = &b.image;
        const int32_t low = colour & 0xFFFF;
        DrawMemImgTriangle(&b.image, nullptr, v, 0, nullptr, low);
        FillMemImgBox(&b.image, &r, low);
        DrawMemImgLine(&b.image, 5, 0, 0, 5, low);
        EXPECT_TRUE(a.buffer == b.buffer) << "mode " << mode << " colour " << colour;
        EXPECT_TRUE(a.CanariesIntact());
      }
    }
  }
  SoftDrawTarget = nullptr;
}

TEST(PrimitiveSafety, MissingImagesAndArguments) {
  DrawStateGuard state;
  CanaryImage dst(6, 6, Xrgb8888), src(4, 4, Xrgb8888);
  const int32_t v[12] = {0, 0, 0, 0, 6, 0, 4, 0, 0, 6, 0, 4};
  MEMIMG released{};
  DrawMemImgTriangle(nullptr, &src.image, v, 0, nullptr, 0);
  DrawMemImgTriangle(&dst.image, &src.image, nullptr, 0, nullptr, 0);
  DrawMemImgTriangle(&released, nullptr, v, 0, nullptr, 0);
  DrawMemImgTriangle(&dst.image, &released, v, 0, nullptr, 0);
  DrawMemImgQuad(&dst.image, nullptr, v, 0, nullptr);
  DrawMemImgQuad(&dst.image, &src.image, nullptr, 0, nullptr);
  DrawMemImgQuad(nullptr, &src.image, v, 0, nullptr);
  FillMemImgBox(nullptr, nullptr, 0);
  FillMemImgBox(&released, nullptr, 0);
  DrawMemImgLine(nullptr, 0, 0, 5, 5, 0);
  DrawMemImgLines(&dst.image, nullptr, 4);
  DrawMemImgLines(nullptr, nullptr, 0);
  // A paletted source whose palette is missing.
  CanaryImage pal(4, 4, Xrgb8888, 1);
  uint8_t* palette = pal.image.body->palette;
  pal.image.body->palette = nullptr;
  DrawMemImgTriangle(&dst.image, &pal.image, v, 0, nullptr, 0);
  pal.image.body->palette = palette;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.Get(x, y), 0u);
  EXPECT_TRUE(dst.CanariesIntact());
}

}  // namespace

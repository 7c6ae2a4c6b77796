// The plain blit against the slow reference, over the whole grid of depth, source kind, blend
// mode, parameter, brightness, blend image, transparent flag and path, on random pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "tests/softrender/memimg_fixture.h"
#include "tests/softrender/oracle_support.h"
#include "tests/softrender/reference_blit.h"

namespace {

enum class Kind { Direct, Alpha, Paletted };

struct Scene {
  int colorType;
  Kind kind;
  CanaryImage src;
  CanaryImage dst;
  CanaryImage blend;

  // The destination is 4 pixels wider and 3 rows higher than the source, the blend image 3
  // and 2.
  Scene(int type, Kind k, int width = 9, int height = 5)
      : colorType(type),
        kind(k),
        src(width, height, type, k == Kind::Paletted, k == Kind::Alpha, /*workBuffers=*/1),
        dst(width + 4, height + 3, type),
        blend(width + 3, height + 2, Single8) {}

  // Random pixels, with the transparent colour (or index) and the alpha ends well represented.
  void Randomise(std::mt19937& rng) {
    const bool deep = colorType == Xrgb8888;
    MemImgBody& body = *src.image.body;
    src.Randomise(rng);
    dst.Randomise(rng);
    blend.Randomise(rng);
    RandomiseBlendRamp(rng);
    if (kind == Kind::Paletted) {
      RandomisePalette(body, deep, rng);
    } else if (kind == Kind::Direct) {
      body.transparentColor = deep ? static_cast<uint32_t>(rng()) : rng() & 0xFFFF;
    } else {
      body.transparentColor = static_cast<uint32_t>(rng());  // never consulted
    }
    for (int y = 0; y < src.image.height; ++y) {
      for (int x = 0; x < src.image.width; ++x) {
        const uint32_t roll = rng() % 8;
        if (kind == Kind::Paletted) {
          if (roll < 2) src.Set(x, y, body.transparentColor);
        } else if (kind == Kind::Direct) {
          if (roll < 2) src.Set(x, y, body.transparentColor);
          if (roll == 2 && deep)
            src.Set(x, y, body.transparentColor ^ 0x01000000);  // only byte 3 differs
        } else {
          uint8_t* alpha = src.At(x, y) + (deep ? 3 : 2);
          if (roll < 2) *alpha = 0;
          if (roll >= 2 && roll < 4) *alpha = 255;
          if (roll == 4) *alpha = 1;
          if (!deep) src.At(x, y)[3] = 0;
        }
      }
    }
  }
};

struct Combination {
  int mode, param;
  uint32_t bright;
  bool blend;
  int transparent;
  bool runLengthSetUp;
};

std::string Describe(const Scene& s, const Combination& c, int x, int y) {
  std::ostringstream out;
  out << (s.colorType == Xrgb8888 ? "32-bit " : "16-bit ")
      << (s.kind == Kind::Direct  ? "direct"
          : s.kind == Kind::Alpha ? "alpha"
                                  : "paletted")
      << " mode " << c.mode << " P " << c.param << " bright " << std::hex << c.bright << std::dec
      << " blend " << c.blend << " transparent " << c.transparent
      << (c.runLengthSetUp ? " skip table" : " clipped") << " at " << x << "," << y;
  return out.str();
}

// Draws with the blit and with the reference from the same start and compares every byte of
// the destination buffer, canaries included. Returns false on the first difference.
bool DrawBoth(Scene& s, const Combination& c, int x, int y) {
  CurrentBlendMode = c.mode;
  BlendParam = c.param;
  DrawBright = c.bright;
  MemImgBody& body = *s.src.image.body;
  if (c.runLengthSetUp)
    RebuildMemImgWorkBuffers(&s.src.image);
  else
    body.skipTableValid = 0;

  std::vector<uint8_t> expected = s.dst.buffer;
  ReferenceDrawPlain(expected.data() + CanaryImage::kMargin, &s.dst.image, &s.src.image, x, y,
                     c.transparent, c.blend ? &s.blend.image : nullptr);
  DrawMemImgPlain(&s.dst.image, &s.src.image, x, y, c.transparent,
                  c.blend ? &s.blend.image : nullptr);
  return MatchesReference(s.dst, expected, [&] { return Describe(s, c, x, y); });
}

class PlainBlitOracle : public EachLeafCompilation {};
INSTANTIATE_TEST_SUITE_P(Leaves, PlainBlitOracle, kEachLeafCompilation, LeafCompilationName);

TEST_P(PlainBlitOracle, MatchesTheReferenceOverTheWholeGrid) {
  DrawStateGuard state;
  std::mt19937 rng(20240611);
  const int modes[] = {0, 1, 2, 3, 4, 10, 11, 5, 12, -1};
  const int params[] = {0, 1, 127, 128, 129, 254, 255};
  const uint32_t brights[] = {0xFFFFFF, 0x4DFFB4};
  const RECT areas[] = {{1, 0, 12, 7}, {-5, -5, 100, 100}, {0, 0, 13, 8}};
  int failures = 0, draws = 0;
  for (int colorType : {Rgb565, Xrgb8888}) {
    for (Kind kind : {Kind::Direct, Kind::Alpha, Kind::Paletted}) {
      Scene scene(colorType, kind);
      for (int mode : modes)
        for (int param : params)
          for (uint32_t bright : brights)
            for (bool blend : {false, true})
              for (int transparent : {0, 1, 2})
                for (bool runLength : {false, true}) {
                  const Combination c = {mode, param, bright, blend, transparent, runLength};
                  scene.Randomise(rng);
                  int x, y;
                  if (runLength) {
                    DrawArea = {0, 0, 13, 8};
                    x = static_cast<int>(rng() % 5);
                    y = static_cast<int>(rng() % 4);
                  } else {
                    DrawArea = areas[rng() % 3];
                    x = static_cast<int>(rng() % 13) - 4;
                    y = static_cast<int>(rng() % 10) - 3;
                  }
                  ++draws;
                  if (!DrawBoth(scene, c, x, y) && ++failures >= 10)
                    FAIL() << "stopping after 10 failures";
                  ASSERT_TRUE(scene.dst.CanariesIntact()) << Describe(scene, c, x, y);
                }
    }
  }
  EXPECT_EQ(draws, 2 * 3 * 10 * 7 * 2 * 2 * 3 * 2);
}

// Rows long enough for the leaves' vector steps, their tails and the chunks they gather in,
// at every alignment of the destination.
TEST_P(PlainBlitOracle, MatchesTheReferenceOnWideRows) {
  DrawStateGuard state;
  std::mt19937 rng(4242);
  int failures = 0;
  for (int colorType : {Rgb565, Xrgb8888}) {
    for (Kind kind : {Kind::Direct, Kind::Alpha, Kind::Paletted}) {
      Scene scene(colorType, kind, 150, 3);
      for (int mode : {0, 1, 2, 3, 4, 10, 11})
        for (int param : {1, 128, 200, 255})
          for (uint32_t bright : {0xFFFFFFu, 0x4DFFB4u})
            for (bool blend : {false, true})
              for (int transparent : {0, 1})
                for (bool runLength : {false, true}) {
                  const Combination c = {mode, param, bright, blend, transparent, runLength};
                  scene.Randomise(rng);
                  DrawArea = {0, 0, 154, 6};
                  const int x =
                      runLength ? static_cast<int>(rng() % 5) : static_cast<int>(rng() % 9) - 4;
                  if (!DrawBoth(scene, c, x, static_cast<int>(rng() % 4)) && ++failures >= 10)
                    FAIL() << "stopping after 10 failures";
                }
    }
  }
}

// Paletted draws with brightness, big enough that the leaf brightens the palette's entries once
// instead of each pixel: every rule, with and without blend image and transparent index.
TEST_P(PlainBlitOracle, MatchesTheReferenceForBigPalettedDrawsWithBrightness) {
  DrawStateGuard state;
  std::mt19937 rng(3131);
  int failures = 0;
  for (int colorType : {Rgb565, Xrgb8888}) {
    Scene scene(colorType, Kind::Paletted, 64, 20);
    for (int mode : {0, 1, 2, 3, 4, 10, 11})
      for (int param : {1, 128, 255})
        for (uint32_t bright : {0x4DFFB4u, 0x00FF00u})
          for (bool blend : {false, true})
            for (int transparent : {0, 1}) {
              const Combination c = {mode, param, bright, blend, transparent, false};
              scene.Randomise(rng);
              DrawArea = {0, 0, 68, 23};
              if (!DrawBoth(scene, c, static_cast<int>(rng() % 5), static_cast<int>(rng() % 4)) &&
                  ++failures >= 10)
                FAIL() << "stopping after 10 failures";
            }
  }
}

// Rows made of runs of every length up to past the table's 64, so that the run-length path
// steps over long transparent runs, draws long opaque runs alone and gathers the short ones
// between them: no pixel is drawn twice or missed, whatever the neighbours.
TEST_P(PlainBlitOracle, MatchesTheReferenceOnRunsOfEveryLength) {
  DrawStateGuard state;
  std::mt19937 rng(515);
  int failures = 0;
  for (int colorType : {Rgb565, Xrgb8888}) {
    for (Kind kind : {Kind::Direct, Kind::Alpha, Kind::Paletted}) {
      Scene scene(colorType, kind, 203, 6);
      for (int mode : {0, 1, 2, 3, 4})
        for (int param : {128, 255})
          for (bool blend : {false, true}) {
            scene.Randomise(rng);
            // Randomise leaves each pixel's class to chance; here whole runs share one class,
            // copied from a pixel of that class.
            for (int y = 0; y < scene.src.image.height; ++y) {
              const int lengths[] = {1, 3, 8, 15, 16, 17, 31, 32, 33, 64, 80};
              for (int x = 0; x < scene.src.image.width;) {
                const int n = lengths[rng() % std::size(lengths)];
                const int from = static_cast<int>(rng() % scene.src.image.width);
                for (int i = 0; i < n && x < scene.src.image.width; ++i, ++x)
                  std::memcpy(scene.src.At(x, y), scene.src.At(from, y), scene.src.bytes);
              }
            }
            const Combination c = {mode, param, 0xFFFFFF, blend, 1, true};
            DrawArea = {0, 0, 207, 9};
            if (!DrawBoth(scene, c, static_cast<int>(rng() % 5), static_cast<int>(rng() % 4)) &&
                ++failures >= 10)
              FAIL() << "stopping after 10 failures";
          }
    }
  }
}

// Every pair of source and destination channel values (32-bit bytes, 16-bit fields) meets
// once in a 256 x 256 draw, under each rule, with and without brightness and blend image: the
// vector rules' rounding against the reference's, value by value.
TEST_P(PlainBlitOracle, MatchesTheReferenceForEveryPairOfChannelValues) {
  DrawStateGuard state;
  std::mt19937 rng(9001);
  int failures = 0;
  for (int colorType : {Rgb565, Xrgb8888}) {
    const bool deep = colorType == Xrgb8888;
    // Value v in every channel: its byte, or its top five or six bits in a 5-6-5 field.
    const auto spread = [deep](uint32_t v) {
      return deep ? v * 0x010101u : (v >> 3) << 11 | (v >> 2) << 5 | v >> 3;
    };
    for (Kind kind : {Kind::Direct, Kind::Alpha}) {
      Scene scene(colorType, kind, 256, 256);
      scene.Randomise(rng);
      for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
          // The alpha runs through every value along each row and each column.
          const uint32_t alpha = (x + 3 * y) & 0xFF;
          const uint32_t fourth = deep ? alpha << 24 : alpha << 16;
          scene.src.Set(x, y, spread(x) | (kind == Kind::Alpha ? fourth : 0));
          scene.dst.Set(x, y, spread(y) | (deep ? (x ^ y) << 24 : 0));
          scene.blend.Set(x, y, (x * 7 + y) & 0xFF);
        }
      scene.src.image.body->transparentColor = spread(17);
      DrawArea = {0, 0, 260, 259};
      // Each modifier alone and both together, at the full parameter and below it.
      const struct {
        int param;
        uint32_t bright;
        bool blend;
      } variants[] = {{200, 0xFFFFFF, false},
                      {255, 0xFFFFFF, false},
                      {200, 0x4DFFB4, false},
                      {200, 0xFFFFFF, true},
                      {255, 0x4DFFB4, true}};
      for (int mode : {0, 1, 2, 3, 4, 10, 11})
        for (const auto& v : variants) {
          const Combination c = {mode, v.param, v.bright, v.blend, 1, false};
          scene.src.image.body->skipTableValid = 0;
          const std::vector<uint8_t> start = scene.dst.buffer;
          if (!DrawBoth(scene, c, 0, 0) && ++failures >= 10) FAIL() << "stopping after 10 failures";
          scene.dst.buffer = start;
        }
    }
  }
}

// With the transparent flag 1 and the whole source visible both paths skip the same pixels and
// draw the same values, except where the per-pixel path has a special form.
TEST_P(PlainBlitOracle, RunLengthAndPerPixelPathsAgreeOutsideTheSpecialForms) {
  DrawStateGuard state;
  std::mt19937 rng(77);
  for (int colorType : {Rgb565, Xrgb8888}) {
    for (Kind kind : {Kind::Direct, Kind::Alpha, Kind::Paletted}) {
      Scene scene(colorType, kind);
      for (int mode : {0, 1, 2, 3, 4, 10, 11})
        for (int param : {100, 128, 255})
          for (uint32_t bright : {0xFFFFFFu, 0x80FF40u})
            for (bool blend : {false, true}) {
              const bool special = kind != Kind::Alpha && bright == 0xFFFFFF && !blend &&
                                   ((mode == 1 && param == 128) ||
                                    (mode == 1 && param != 255 && colorType == Rgb565) ||
                                    (mode == 2 && param == 255));
              CurrentBlendMode = mode;
              BlendParam = param;
              DrawBright = bright;
              scene.Randomise(rng);
              const std::vector<uint8_t> start = scene.dst.buffer;
              MEMIMG* blendImage = blend ? &scene.blend.image : nullptr;

              ASSERT_EQ(RebuildMemImgWorkBuffers(&scene.src.image), 0);
              DrawMemImgPlain(&scene.dst.image, &scene.src.image, 2, 1, 1, blendImage);
              const std::vector<uint8_t> runLength = scene.dst.buffer;

              scene.dst.buffer = start;
              scene.src.image.body->skipTableValid = 0;
              DrawMemImgPlain(&scene.dst.image, &scene.src.image, 2, 1, 1, blendImage);
              const std::string what = Describe(scene, {mode, param, bright, blend, 1, true}, 2, 1);
              if (special) {
                EXPECT_FALSE(runLength == scene.dst.buffer) << what;
              } else {
                EXPECT_TRUE(runLength == scene.dst.buffer) << what;
              }
            }
    }
  }
}

}  // namespace

// The stretched and the rotated blit against their slow references on random scenes, over
// depth, source kind, blend mode, parameter, brightness, blend image and transparent flag,
// with random rectangles (mirrored or not) and random turns, scales and turn flags.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "tests/softrender/memimg_fixture.h"
#include "tests/softrender/oracle_support.h"
#include "tests/softrender/reference_scaled.h"

namespace {

enum class Kind { Direct, Alpha, Paletted };

struct Scene {
  int colorType;
  Kind kind;
  CanaryImage src, dst, blend;

  Scene(int type, Kind k)
      : colorType(type),
        kind(k),
        src(7, 5, type, k == Kind::Paletted, k == Kind::Alpha),
        dst(21, 17, type),
        blend(8, 6, Single8) {}

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
    } else {
      body.transparentColor = deep ? static_cast<uint32_t>(rng()) : rng() & 0xFFFF;
    }
    for (int y = 0; y < src.image.height; ++y)
      for (int x = 0; x < src.image.width; ++x) {
        const uint32_t roll = rng() % 8;
        if (kind == Kind::Alpha) {
          uint8_t* alpha = src.At(x, y) + (deep ? 3 : 2);
          if (roll < 2) *alpha = 0;
          if (roll >= 2 && roll < 4) *alpha = 255;
          if (roll == 4) *alpha = 1;
          if (!deep) src.At(x, y)[3] = 0;
        } else if (roll < 2) {
          src.Set(x, y, body.transparentColor);
        }
      }
  }
};

struct Combination {
  int mode, param;
  uint32_t bright;
  bool blend;
  int transparent;
};

std::string Describe(const Scene& s, const Combination& c, const std::string& draw) {
  std::ostringstream out;
  out << draw << (s.colorType == Xrgb8888 ? " 32-bit " : " 16-bit ")
      << (s.kind == Kind::Direct  ? "direct"
          : s.kind == Kind::Alpha ? "alpha"
                                  : "paletted")
      << " mode " << c.mode << " P " << c.param << " bright " << std::hex << c.bright << std::dec
      << " blend " << c.blend << " transparent " << c.transparent;
  return out.str();
}

bool Compare(Scene& s, const std::vector<uint8_t>& expected, const Combination& c,
             const std::string& draw) {
  return MatchesReference(s.dst, expected, [&] { return Describe(s, c, draw); });
}

int32_t Coord(std::mt19937& rng, int lo, int hi) {
  return lo + static_cast<int32_t>(rng() % (hi - lo + 1));
}

class ScaledBlitsOracle : public EachLeafCompilation {};
INSTANTIATE_TEST_SUITE_P(Leaves, ScaledBlitsOracle, kEachLeafCompilation, LeafCompilationName);

TEST_P(ScaledBlitsOracle, MatchTheReferenceOnRandomScenes) {
  DrawStateGuard state;
  std::mt19937 rng(31337);
  const int modes[] = {0, 1, 2, 3, 4, 10, 11, 5, 12, -1};
  const int params[] = {0, 1, 128, 254, 255};
  const uint32_t brights[] = {0xFFFFFF, 0x4DFFB4};
  const RECT areas[] = {{0, 0, 21, 17}, {3, 2, 18, 13}, {-5, -5, 100, 100}};
  int failures = 0, drawn = 0, draws = 0;
  for (int colorType : {Rgb565, Xrgb8888})
    for (Kind kind : {Kind::Direct, Kind::Alpha, Kind::Paletted}) {
      Scene scene(colorType, kind);
      for (int mode : modes)
        for (int param : params)
          for (uint32_t bright : brights)
            for (bool blend : {false, true})
              for (int transparent : {0, 1}) {
                const Combination c = {mode, param, bright, blend, transparent};
                CurrentBlendMode = mode;
                BlendParam = param;
                DrawBright = bright;
                const MEMIMG* blendImage = blend ? &scene.blend.image : nullptr;
                for (int round = 0; round < 2; ++round) {
                  scene.Randomise(rng);
                  DrawArea = areas[rng() % 3];
                  const std::vector<uint8_t> start = scene.dst.buffer;
                  std::vector<uint8_t> expected = start;
                  uint8_t* ref = expected.data() + CanaryImage::kMargin;

                  // Every fifth rectangle has the source's size: mirrored or handed to the plain
                  // blit.
                  RECT rect;
                  if (rng() % 5 == 0) {
                    rect.left = Coord(rng, -3, 16);
                    rect.top = Coord(rng, -3, 14);
                    rect.right = rect.left + 7;
                    rect.bottom = rect.top + 5;
                    if (rng() % 2) std::swap(rect.left, rect.right);
                    if (rng() % 2) std::swap(rect.top, rect.bottom);
                  } else {
                    rect = {Coord(rng, -6, 24), Coord(rng, -6, 20), Coord(rng, -6, 24),
                            Coord(rng, -6, 20)};
                  }
                  ReferenceDrawStretched(ref, &scene.dst.image, &scene.src.image, rect, transparent,
                                         blendImage);
                  DrawMemImgStretched(&scene.dst.image, &scene.src.image, &rect, transparent,
                                      blendImage);
                  std::ostringstream what;
                  what << "stretched " << rect.left << "," << rect.top << "," << rect.right << ","
                       << rect.bottom;
                  if (!Compare(scene, expected, c, what.str()) && ++failures >= 10)
                    FAIL() << "stopping";
                  drawn += expected != start;
                  ++draws;

                  const int cx = Coord(rng, -2, 22), cy = Coord(rng, -2, 18);
                  const float angle = static_cast<float>(Coord(rng, 0, 6283)) / 1000.0f;
                  const float scale = static_cast<float>(Coord(rng, -2500, 2500)) / 1000.0f;
                  const int turn = rng() % 4 == 0;
                  const std::vector<uint8_t> before = scene.dst.buffer;
                  expected = before;  // each draw is compared from where the blit left the pixels
                  ref = expected.data() + CanaryImage::kMargin;
                  ReferenceDrawRotated(ref, &scene.dst.image, &scene.src.image, cx, cy, angle,
                                       scale, transparent, turn, blendImage);
                  DrawMemImgRotated(&scene.dst.image, &scene.src.image, cx, cy, angle, scale,
                                    transparent, turn, blendImage);
                  std::ostringstream rotated;
                  rotated << "rotated about " << cx << "," << cy << " by " << angle << " at "
                          << scale << " turn " << turn;
                  if (!Compare(scene, expected, c, rotated.str()) && ++failures >= 10)
                    FAIL() << "stopping";
                  drawn += expected != before;
                  ++draws;
                  ASSERT_TRUE(scene.dst.CanariesIntact()) << Describe(scene, c, "any draw");
                }
              }
    }
  // The scenes must draw often enough for the comparison to mean something.
  EXPECT_GT(drawn, draws / 4);
}

}  // namespace

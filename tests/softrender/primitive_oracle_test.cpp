// The primitives against their slow references on random scenes, over depth, source kind,
// blend mode, parameter, brightness, blend image and transparent flag.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"
#include "tests/softrender/oracle_support.h"
#include "tests/softrender/reference_primitives.h"

namespace {

enum class Kind { Flat, Direct, Alpha, Paletted };

struct Scene {
  int colorType;
  Kind kind;
  CanaryImage src, dst, blend, smallBlend;

  Scene(int type, Kind k)
      : colorType(type),
        kind(k),
        src(6, 5, type, k == Kind::Paletted, k == Kind::Alpha),
        dst(15, 11, type),
        blend(7, 5, Single8),
        smallBlend(5, 5, Single8) {}

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
      body.hasAlpha = static_cast<int>(rng() % 2);  // never consulted for a paletted source
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
        } else if (roll < 2) {
          src.Set(x, y, body.transparentColor);
        }
      }
  }
};

struct Combination {
  int mode, param;
  uint32_t bright;
  int blend;  // 0 none, 1 covering the source, 2 smaller than the source
  int transparent;
};

std::string Describe(const Scene& s, const Combination& c, const char* draw) {
  std::ostringstream out;
  out << draw << (s.colorType == Xrgb8888 ? " 32-bit " : " 16-bit ")
      << (s.kind == Kind::Flat     ? "flat"
          : s.kind == Kind::Direct ? "direct"
          : s.kind == Kind::Alpha  ? "alpha"
                                   : "paletted")
      << " mode " << c.mode << " P " << c.param << " bright " << std::hex << c.bright << std::dec
      << " blend " << c.blend << " transparent " << c.transparent;
  return out.str();
}

bool Compare(const Scene& s, const std::vector<uint8_t>& expected, const Combination& c,
             const char* draw) {
  return MatchesReference(s.dst, expected, [&] { return Describe(s, c, draw); });
}

int32_t Coord(std::mt19937& rng, int lo, int hi) {
  return lo + static_cast<int32_t>(rng() % (hi - lo + 1));
}

TEST(PrimitiveOracle, MatchesTheReferenceOnRandomScenes) {
  DrawStateGuard state;
  std::mt19937 rng(8086);
  const int modes[] = {0, 1, 2, 3, 4, 10, 11, 5, 12, -1};
  const int params[] = {0, 1, 127, 128, 129, 254, 255};
  const uint32_t brights[] = {0xFFFFFF, 0x4DFFB4, 0x00FF80};
  const RECT areas[] = {{0, 0, 15, 11}, {2, 1, 13, 9}, {-5, -5, 100, 100}};
  int failures = 0, drawn = 0, draws = 0;
  for (int colorType : {Rgb565, Xrgb8888})
    for (Kind kind : {Kind::Flat, Kind::Direct, Kind::Alpha, Kind::Paletted}) {
      Scene scene(colorType, kind);
      for (int mode : modes)
        for (int param : params)
          for (uint32_t bright : brights)
            for (int blend : {0, 1, 2})
              for (int transparent : {0, 1}) {
                if (kind == Kind::Flat && (blend == 2 || transparent == 1)) continue;
                const Combination c = {mode, param, bright, blend, transparent};
                CurrentBlendMode = mode;
                BlendParam = param;
                DrawBright = bright;
                for (int round = 0; round < 2; ++round) {
                  scene.Randomise(rng);
                  DrawArea = areas[rng() % 3];
                  SoftDrawTarget = rng() % 4 ? &scene.dst.image : nullptr;
                  const MEMIMG* blendImage = blend == 0   ? nullptr
                                             : blend == 1 ? &scene.blend.image
                                                          : &scene.smallBlend.image;
                  const MEMIMG* src = kind == Kind::Flat ? nullptr : &scene.src.image;
                  const int32_t colour = static_cast<int32_t>(rng());
                  int32_t v[12];
                  for (int i = 0; i < 3; ++i) {
                    v[4 * i] = Coord(rng, -4, 18);
                    v[4 * i + 1] = Coord(rng, -4, 14);
                    v[4 * i + 2] = Coord(rng, -3, 9);
                    v[4 * i + 3] = Coord(rng, -3, 8);
                  }
                  const std::vector<uint8_t> start = scene.dst.buffer;
                  std::vector<uint8_t> expected = start;
                  uint8_t* ref = expected.data() + CanaryImage::kMargin;

                  ReferenceDrawTriangle(ref, &scene.dst.image, src, v, transparent, blendImage,
                                        colour);
                  DrawMemImgTriangle(&scene.dst.image, src, v, transparent, blendImage, colour);
                  if (!Compare(scene, expected, c, "triangle") && ++failures >= 10)
                    FAIL() << "stopping";
                  drawn += expected != start;
                  ++draws;

                  if (src != nullptr) {
                    // The four-corner draw: its two triangles in order.
                    const int32_t corners[8] = {
                        v[0], v[1], v[4], v[5], v[8], v[9], Coord(rng, -4, 18), Coord(rng, -4, 14)};
                    const int32_t w = src->width, h = src->height;
                    const int32_t t1[12] = {corners[0], corners[1], 0, 0,
                                            corners[2], corners[3], w, 0,
                                            corners[4], corners[5], 0, h};
                    const int32_t t2[12] = {corners[2], corners[3], w, 0,
                                            corners[4], corners[5], 0, h,
                                            corners[6], corners[7], w, h};
                    ReferenceDrawTriangle(ref, &scene.dst.image, src, t1, transparent, blendImage,
                                          0);
                    ReferenceDrawTriangle(ref, &scene.dst.image, src, t2, transparent, blendImage,
                                          0);
                    DrawMemImgQuad(&scene.dst.image, src, corners, transparent, blendImage);
                    if (!Compare(scene, expected, c, "quad") && ++failures >= 10)
                      FAIL() << "stopping";
                  } else {
                    const RECT box = {Coord(rng, -4, 18), Coord(rng, -4, 14), Coord(rng, -4, 18),
                                      Coord(rng, -4, 14)};
                    const RECT* rect = rng() % 5 ? &box : nullptr;
                    ReferenceFillBox(ref, &scene.dst.image, rect, colour);
                    FillMemImgBox(&scene.dst.image, rect, colour);
                    if (!Compare(scene, expected, c, "box") && ++failures >= 10)
                      FAIL() << "stopping";
                    const int32_t x1 = Coord(rng, -6, 20), y1 = Coord(rng, -6, 16);
                    const int32_t x2 = Coord(rng, -6, 20), y2 = Coord(rng, -6, 16);
                    ReferenceDrawLine(ref, &scene.dst.image, x1, y1, x2, y2, colour);
                    DrawMemImgLine(&scene.dst.image, x1, y1, x2, y2, colour);
                    if (!Compare(scene, expected, c, "line") && ++failures >= 10)
                      FAIL() << "stopping";
                  }
                  ASSERT_TRUE(scene.dst.CanariesIntact()) << Describe(scene, c, "any draw");
                }
              }
    }
  SoftDrawTarget = nullptr;
  // The scenes must draw often enough for the comparison to mean something.
  EXPECT_GT(drawn, draws / 5);
}

}  // namespace

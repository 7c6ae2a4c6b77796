// 640 x 480 plain blits at both depths for the leaves the game uses most, each timed against a
// memcpy of the destination's bytes in the same loop.
//
// Counters: mpixel_per_s is the blit's rate; vs_memcpy is the memcpy time divided by the blit
// time (1.0 = as fast as memcpy; the goals are 0.5 for the mode-0 copy and 0.1 for every
// blended leaf).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench/bench_baseline.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

enum class Source { Direct, Alpha, Paletted };

struct Leaf {
  const char* name;
  Source source;
  int mode, param, transparent;
};

const Leaf kLeaves[] = {
    {"copy", Source::Direct, 0, 255, 0},        {"key_copy", Source::Direct, 0, 255, 1},
    {"alpha_source", Source::Alpha, 0, 255, 1}, {"mode1_p100", Source::Direct, 1, 100, 1},
    {"mode2", Source::Direct, 2, 200, 1},       {"mode3", Source::Direct, 3, 200, 1},
    {"mode4", Source::Direct, 4, 255, 1},       {"paletted_copy", Source::Paletted, 0, 255, 1},
};

uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 214013u + 2531011u;
  return seed >> 8;
}

void PlainBlit(benchmark::State& state, int colorType, Leaf leaf, bool bright, bool blend) {
  BuildMemImgTables();
  BuildBlendImageRamp(100, 60);
  MEMIMG src{}, dst{}, blendImage{};
  const bool deep = colorType == Xrgb8888;
  CreateMemImg(&src, kWidth, kHeight, -1, 0, colorType, leaf.source == Source::Paletted,
               leaf.source == Source::Alpha, 0, nullptr);
  CreateMemImg(&dst, kWidth, kHeight, -1, 0, colorType, 0, 0, 0, nullptr);
  CreateMemImg(&blendImage, kWidth, kHeight, -1, 0, Single8, 0, 0, 0, nullptr);

  // Random pixels; about a quarter are transparent (key, index or alpha 0), a quarter of an
  // alpha image's pixels are partial.
  uint32_t seed = 12345;
  MemImgBody& body = *src.body;
  const int srcBytes = MemImgBytesPerPixel(&src);
  body.transparentColor = leaf.source == Source::Paletted ? 7 : deep ? 0x00FF00FF : 0xF81F;
  if (body.palette) {
    for (int i = 0; i < 1024; ++i) body.palette[i] = static_cast<uint8_t>(NextRandom(seed));
    body.colorsUsed = 256;
  }
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = src.pixels + y * body.pitch;
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* px = row + x * srcBytes;
      const uint32_t r = NextRandom(seed);
      for (int b = 0; b < srcBytes; ++b) px[b] = static_cast<uint8_t>(r >> (b * 5));
      const bool clear = (r & 3) == 0;
      if (leaf.source == Source::Alpha) {
        uint8_t& alpha = px[deep ? 3 : 2];
        alpha = clear ? 0 : (r & 3) == 1 ? static_cast<uint8_t>(r >> 12) : 255;
        if (!deep) px[3] = 0;
      } else if (clear) {
        std::memcpy(px, &body.transparentColor, srcBytes);
      }
    }
    for (int x = 0; x < kWidth; ++x)
      blendImage.pixels[y * blendImage.body->pitch + x] = static_cast<uint8_t>(NextRandom(seed));
  }

  DrawArea = {0, 0, kWidth, kHeight};
  CurrentBlendMode = leaf.mode;
  BlendParam = leaf.param;
  DrawBright = bright ? 0xC0A080 : 0xFFFFFF;
  const size_t dstBytes = static_cast<size_t>(dst.body->pitch) * kHeight;

  const BenchTimes times = RunAgainstMemcpy(state, dstBytes, [&] {
    const int drawn =
        DrawMemImgPlain(&dst, &src, 0, 0, leaf.transparent, blend ? &blendImage : nullptr);
    benchmark::DoNotOptimize(drawn);
  });
  const double pixels = static_cast<double>(state.iterations()) * kWidth * kHeight;
  state.counters["mpixel_per_s"] = times.work > 0 ? pixels / times.work / 1e6 : 0.0;
  state.counters["vs_memcpy"] = times.BaselineOverWork();
  ReleaseMemImg(&src);
  ReleaseMemImg(&dst);
  ReleaseMemImg(&blendImage);
}

int RegisterAll() {
  for (int colorType : {Xrgb8888, Rgb565}) {
    for (const Leaf& leaf : kLeaves) {
      for (int variant = 0; variant < 4; ++variant) {
        const bool bright = variant & 1, blend = variant & 2;
        std::string name = std::string(colorType == Xrgb8888 ? "32bit/" : "16bit/") + leaf.name;
        if (bright) name += "/bright";
        if (blend) name += "/blend";
        benchmark::RegisterBenchmark(name.c_str(), PlainBlit, colorType, leaf, bright, blend)
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
  return 0;
}

const int registered = RegisterAll();

}  // namespace

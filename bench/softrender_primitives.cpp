// The software renderer's primitives at both depths: full-screen 640 x 480 boxes in modes 0 and
// 1, batches of 100-pixel lines, and a textured quad, each timed against a memcpy of the bytes
// the draw writes, in the same loop.
//
// Counters: mpixel_per_s (boxes, quads) or lines_per_s (lines) is the draw's rate; vs_memcpy is
// the memcpy time divided by the draw time (1.0 = as fast as memcpy).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "bench/bench_baseline.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 214013u + 2531011u;
  return seed >> 8;
}

struct Screen {
  MEMIMG image{};
  explicit Screen(int colorType) {
    BuildMemImgTables();
    CreateMemImg(&image, kWidth, kHeight, -1, 0, colorType, 0, 0, 0, nullptr);
    uint32_t seed = 99;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < image.body->pitch; ++x)
        image.pixels[y * image.body->pitch + x] = static_cast<uint8_t>(NextRandom(seed));
    DrawArea = {0, 0, kWidth, kHeight};
    SoftDrawTarget = &image;
    DrawBright = 0xFFFFFF;
  }
  ~Screen() {
    SoftDrawTarget = nullptr;
    ReleaseMemImg(&image);
  }
  size_t Bytes() const { return static_cast<size_t>(image.body->pitch) * kHeight; }
};

// Runs draw() once per iteration, and a memcpy of copyBytes beside it; reports the rates.
template <class Draw>
void Measure(benchmark::State& state, size_t copyBytes, double unitsPerDraw, const char* unit,
             Draw&& draw) {
  const BenchTimes times = RunAgainstMemcpy(state, copyBytes, draw);
  const double units = static_cast<double>(state.iterations()) * unitsPerDraw;
  state.counters[unit] = times.work > 0 ? units / times.work : 0.0;
  state.counters["vs_memcpy"] = times.BaselineOverWork();
}

void FullScreenBox(benchmark::State& state, int colorType, int mode, int param) {
  Screen screen(colorType);
  CurrentBlendMode = mode;
  BlendParam = param;
  const int32_t colour = colorType == Xrgb8888 ? 0x00336699 : 0x3339;
  Measure(state, screen.Bytes(), kWidth * kHeight / 1e6, "mpixel_per_s",
          [&] { FillMemImgBox(&screen.image, nullptr, colour); });
}

// 1,000 lines of 100 pixels in every direction, from points spread over the screen.
void Lines(benchmark::State& state, int colorType, int mode, int param) {
  Screen screen(colorType);
  CurrentBlendMode = mode;
  BlendParam = param;
  std::vector<MemImgLine> lines(1000);
  uint32_t seed = 7;
  for (size_t i = 0; i < lines.size(); ++i) {
    const double angle =
        6.283185307179586 * static_cast<double>(i) / static_cast<double>(lines.size());
    const int x = 110 + static_cast<int>(NextRandom(seed) % 420),
              y = 110 + static_cast<int>(NextRandom(seed) % 260);
    const int dx = static_cast<int>(std::lround(100 * std::cos(angle))),
              dy = static_cast<int>(std::lround(100 * std::sin(angle)));
    // The longer axis sets the count: stretch it to exactly 100.
    const int ax = std::abs(dx), ay = std::abs(dy);
    const int sx = ax >= ay ? (dx < 0 ? -100 : 100) : dx,
              sy = ax >= ay ? dy : (dy < 0 ? -100 : 100);
    lines[i] = {
        x,
        y,
        x + sx,
        y + sy,
        static_cast<int32_t>(NextRandom(seed)) & (colorType == Xrgb8888 ? 0xFFFFFF : 0xFFFF),
        0};
  }
  const size_t bytesPerPixel = colorType == Xrgb8888 ? 4 : 2;
  Measure(state, lines.size() * 100 * bytesPerPixel, static_cast<double>(lines.size()),
          "lines_per_s",
          [&] { DrawMemImgLines(&screen.image, lines.data(), static_cast<int>(lines.size())); });
}

// A 256 x 256 source onto a slightly turned quad of about its size.
void TexturedQuad(benchmark::State& state, int colorType, int mode, int transparent) {
  Screen screen(colorType);
  CurrentBlendMode = mode;
  BlendParam = 160;
  MEMIMG src{};
  CreateMemImg(&src, 256, 256, -1, colorType == Xrgb8888 ? 0x00FF00FF : 0xF81F, colorType, 0, 0, 0,
               nullptr);
  uint32_t seed = 3;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < src.body->pitch; ++x)
      src.pixels[y * src.body->pitch + x] = static_cast<uint8_t>(NextRandom(seed));
  const int32_t corners[8] = {200, 100, 450, 120, 180, 350, 430, 370};
  const double pixels = 256.0 * 256.0;
  const size_t bytes = static_cast<size_t>(pixels) * (colorType == Xrgb8888 ? 4 : 2);
  Measure(state, bytes, pixels / 1e6, "mpixel_per_s",
          [&] { DrawMemImgQuad(&screen.image, &src, corners, transparent, nullptr); });
  ReleaseMemImg(&src);
}

int RegisterAll() {
  for (int colorType : {Xrgb8888, Rgb565}) {
    const std::string depth = colorType == Xrgb8888 ? "32bit" : "16bit";
    benchmark::RegisterBenchmark((depth + "/box/mode0").c_str(), FullScreenBox, colorType, 0, 255)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((depth + "/box/mode1_p100").c_str(), FullScreenBox, colorType, 1,
                                 100)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((depth + "/lines100/mode0").c_str(), Lines, colorType, 0, 255)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((depth + "/lines100/mode1_p100").c_str(), Lines, colorType, 1, 100)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((depth + "/quad/copy").c_str(), TexturedQuad, colorType, 0, 0)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((depth + "/quad/key_mode1").c_str(), TexturedQuad, colorType, 1, 1)
        ->Unit(benchmark::kMicrosecond);
  }
  return 0;
}

const int registered = RegisterAll();

}  // namespace

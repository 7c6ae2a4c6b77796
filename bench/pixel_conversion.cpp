// Converting a 640 x 480 image between the formats the texture upload and the software screen
// use most, against a memcpy of the destination's bytes timed in the same loop.
//
// The counter memcpy_ratio is the conversion time divided by the memcpy time.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_baseline.h"
#include "runtime/graphics/image/pixel_conversion.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void ConvertAgainstMemcpy(benchmark::State& state, PixelFormat srcFormat, PixelFormat dstFormat) {
  const int srcPitch = kWidth * srcFormat.BytesPerPixel;
  const int dstPitch = kWidth * dstFormat.BytesPerPixel;
  const size_t dstBytes = static_cast<size_t>(dstPitch) * kHeight;
  std::vector<uint8_t> src(static_cast<size_t>(srcPitch) * kHeight);
  uint32_t seed = 12345;
  for (uint8_t& b : src) {
    seed = seed * 214013u + 2531011u;
    b = static_cast<uint8_t>(seed >> 16);
  }
  std::vector<uint8_t> dst(dstBytes);
  const RECT rect{0, 0, kWidth, kHeight};

  const BenchTimes times = RunAgainstMemcpy(state, dstBytes, [&] {
    const int result =
        ConvertImagePixels(dst.data(), dstPitch, &dstFormat, src.data(), srcPitch, &srcFormat,
                           nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 0, 0, 0, 0);
    benchmark::DoNotOptimize(result);
  });
  state.counters["memcpy_ratio"] = times.WorkOverBaseline();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(dstBytes));
}

PixelFormat Rgb8() {
  PixelFormat f{};
  SetupRGB8PixelFormat(&f);
  return f;
}

PixelFormat Xrgb8() {
  PixelFormat f{};
  SetupXRGB8PixelFormat(&f);
  return f;
}

PixelFormat Argb8() {
  PixelFormat f{};
  SetupARGB8PixelFormat(&f);
  return f;
}

PixelFormat R5G6B5() {
  PixelFormat f{};
  SetupPixelFormat(&f, 16, 0xF800, 0x7E0, 0x1F, 0);
  return f;
}

}  // namespace

BENCHMARK_CAPTURE(ConvertAgainstMemcpy, rgb8_to_xrgb8, Rgb8(), Xrgb8())
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ConvertAgainstMemcpy, argb8_to_r5g6b5, Argb8(), R5G6B5())
    ->Unit(benchmark::kMicrosecond);

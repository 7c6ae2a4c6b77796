// The game-like frame of bench/game_frame_scene.h drawn by the software renderer on a 640 x 480
// 32-bit screen, timed against a memcpy of the screen in the same loop.
//
// Counters: ms_per_frame is the frame's time (the goal is under 3 ms at the release flags);
// memcpy_per_frame is the frame's time over the time of one memcpy of the screen's bytes.
#include <benchmark/benchmark.h>

#include "bench/bench_baseline.h"
#include "bench/game_frame_renderer.h"

namespace {

using namespace game_frame;

void Frame(benchmark::State& state) {
  const Content content;
  RendererFrame renderer(content);
  const size_t bytes = static_cast<size_t>(renderer.screen.image.body->pitch) * kHeight;
  int frame = 0;
  const BenchTimes times = RunAgainstMemcpy(state, bytes, [&] { renderer.Draw(content, frame++); });
  const double frames = static_cast<double>(state.iterations());
  state.counters["ms_per_frame"] = frames > 0 ? times.work / frames * 1e3 : 0.0;
  state.counters["memcpy_per_frame"] = times.WorkOverBaseline();
  SoftDrawTarget = nullptr;
}

BENCHMARK(Frame)->Unit(benchmark::kMillisecond);

}  // namespace

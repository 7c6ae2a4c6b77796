// The cost of the game's frames along the whole game's scripted run (tests/game_support/
// whole_game_run.h) on hard, each beside a memcpy of a 640 x 480 32-bit screen timed in the same
// run (bench/bench_baseline.h) and against the 17 ms frame.
//
// StageUpdate/N: stage N from its start, one play frame an iteration through the headless game
// with play drawing one frame in eight (as the tests run it); frames past the stage's play are
// not counted. Counters: update_mean_ms and
// update_worst_ms over the frames that drew nothing (the logic alone), drawn_mean_ms over the
// ones that drew, memcpy_ms, update_over_memcpy, update_over_frame and worst_over_frame (against
// 17 ms).
//
// BusyDraw/...: the busiest stretches with every frame drawn by the software renderer on a
// 640 x 480 screen, from the checkpoint before the boss until the stretch is reached: stage 5's
// boss forms 4 and 5, and stage 6's boss once it is free, on hard with its tentacles and escorts.
// Counters: frame_mean_ms, frame_worst_ms, memcpy_ms, frame_over_memcpy, frame_over_frame. A
// stretch the run does not reach reports an error naming it.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "bench/bench_baseline.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/whole_game_run.h"

namespace {

constexpr size_t kScreenBytes = 640 * 480 * 4;
constexpr double kFrameMs = 17;
constexpr int kStageFrames = 3000;
constexpr int kBusyFrames = 600;
constexpr int kMostFramesToStretch = 20000;
constexpr int16_t kHard = 2;

GameDriver::Options BenchOptions(bool drawEveryFrame) {
  GameDriver::Options options = WholeGameOptions();
  options.fast = !drawEveryFrame;
  return options;
}

// The driver in the stage's first play frame; false when play was not reached. Headless SDL
// unless the caller chose otherwise, as in the tests.
bool StartStage(GameDriver& driver, int16_t stage, int16_t checkpoint) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  driver.digestFrames = false;
  if (driver.Start() != 0) return false;
  driver.Run(2);
  return driver.StartGame({0, kHard, stage, checkpoint});
}

// One play frame of the script, hitting the boss as the script does or not; its seconds.
double PlayFrame(GameDriver& driver, WholeGamePlayScript& script, bool hitBoss = true) {
  FrameInput input = script.Input();
  if (!hitBoss) input.damage.clear();
  const double t0 = BenchNowSeconds();
  driver.Step(input);
  const double t1 = BenchNowSeconds();
  if (CurrentScene == kScenePlay) script.Watch();
  return t1 - t0;
}

void StageUpdate(benchmark::State& state) {
  const auto stage = static_cast<int16_t>(state.range(0));
  GameDriver driver(BenchOptions(false));
  if (!StartStage(driver, stage, 0)) {
    state.SkipWithError(("stage " + std::to_string(stage) + " did not start").c_str());
    return;
  }
  WholeGamePlayScript script;
  double update = 0, worst = 0, drawn = 0;
  int updates = 0, draws = 0;
  const BenchTimes times = RunAgainstMemcpy(state, kScreenBytes, [&] {
    const double s = PlayFrame(driver, script);
    // Past the stage's end (stage 7's end screen comes at 2401) nothing is counted; a play
    // frame drew when the skip phase came round to 0.
    if (CurrentScene != kScenePlay) return;
    if (FrameSkipPhase == 0) {
      drawn += s;
      draws += 1;
    } else {
      update += s;
      worst = std::max(worst, s);
      updates += 1;
    }
  });
  const double n = static_cast<double>(state.iterations());
  const double updateMs = updates > 0 ? 1000 * update / updates : 0;
  const double memcpyMs = 1000 * times.baseline / n;
  state.counters["update_mean_ms"] = updateMs;
  state.counters["update_worst_ms"] = 1000 * worst;
  state.counters["drawn_mean_ms"] = draws > 0 ? 1000 * drawn / draws : 0;
  state.counters["memcpy_ms"] = memcpyMs;
  state.counters["update_over_memcpy"] = memcpyMs > 0 ? updateMs / memcpyMs : 0;
  state.counters["update_over_frame"] = updateMs / kFrameMs;
  state.counters["worst_over_frame"] = 1000 * worst / kFrameMs;
  state.counters["stage_still_playing"] = CurrentScene == kScenePlay ? 1 : 0;
}

// On stages 5 and 6 these pool-0 types are only ever the boss (stage 5's later forms and stage
// 6's boss leave BossType as it was).
bool IsLiveBossOfType(int32_t type) {
  for (const EnemyObject& o : EnemyPool0) {
    if (o.state == 2 && o.type == type) return true;
  }
  return false;
}

struct BusyStretch {
  const char* name;
  int16_t stage;
  std::function<bool()> reached;
  bool hitBossOnTheWay;  // else the fight runs on its own clocks to the stretch
};

void BusyDraw(benchmark::State& state, const BusyStretch& stretch) {
  // From the last checkpoint the stage's map holds: the one before the boss.
  std::unique_ptr<GameDriver> started;
  for (int16_t checkpoint = 4; checkpoint >= 0 && started == nullptr; --checkpoint) {
    auto driver = std::make_unique<GameDriver>(BenchOptions(true));
    if (StartStage(*driver, stretch.stage, checkpoint)) started = std::move(driver);
  }
  if (started == nullptr) {
    state.SkipWithError("the stage did not start");
    return;
  }
  GameDriver& driver = *started;
  WholeGamePlayScript script;
  for (int i = 0; i < kMostFramesToStretch && !stretch.reached(); ++i) {
    if (CurrentScene != kScenePlay) break;
    PlayFrame(driver, script, stretch.hitBossOnTheWay);
  }
  if (!stretch.reached()) {
    state.SkipWithError((std::string("not reached: ") + stretch.name).c_str());
    return;
  }
  double total = 0, worst = 0;
  const BenchTimes times = RunAgainstMemcpy(state, kScreenBytes, [&] {
    const double s = PlayFrame(driver, script, false);  // the stretch lasts its frames
    total += s;
    worst = std::max(worst, s);
  });
  const double n = static_cast<double>(state.iterations());
  const double frameMs = 1000 * total / n;
  const double memcpyMs = 1000 * times.baseline / n;
  state.counters["frame_mean_ms"] = frameMs;
  state.counters["frame_worst_ms"] = 1000 * worst;
  state.counters["memcpy_ms"] = memcpyMs;
  state.counters["frame_over_memcpy"] = memcpyMs > 0 ? frameMs / memcpyMs : 0;
  state.counters["frame_over_frame"] = frameMs / kFrameMs;
}

const BusyStretch kStage5Form4 = {"stage 5's boss form 4", 5, [] { return IsLiveBossOfType(13); },
                                  true};
const BusyStretch kStage5Form5 = {"stage 5's boss form 5", 5, [] { return IsLiveBossOfType(14); },
                                  true};
// Free: the boss has let the scroll go (3) after its jaws were blown off, which on hard its
// armed-frame clock does on its own.
const BusyStretch kStage6Boss = {
    "stage 6's free boss", 6, [] { return IsLiveBossOfType(10) && ScrollTargetSpeed >= 3; }, false};

}  // namespace

BENCHMARK(StageUpdate)->DenseRange(1, 7)->Iterations(kStageFrames)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BusyDraw, stage5_form4, kStage5Form4)
    ->Iterations(kBusyFrames)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BusyDraw, stage5_form5, kStage5Form5)
    ->Iterations(kBusyFrames)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BusyDraw, stage6_free_boss, kStage6Boss)
    ->Iterations(kBusyFrames)
    ->Unit(benchmark::kMillisecond);

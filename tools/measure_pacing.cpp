// Measures what the frame pacing costs and how steady it keeps the frames: the game runs paced,
// as a player has it, in the window SDL opens (run it under xvfb-run where there is no display),
// on the whole data kit, and the tool reports the processor time the process used over the
// wall time, and the intervals between the ends of paced frames.
//
//   measure_pacing [--seconds S] [--frames N] [--software]
//
//   Three spans, each on one line: S seconds (default 10) on the title menu, S seconds in
//   stage 1's play (normal difficulty, Shot held, the ship immune so that the run stays in
//   play), then N paced frames (default 1000) of the same play. Each line gives the frames, the
//   wall time, the processor time of all the process's threads as a share of one core and of
//   the game's own thread (the loop and its wait; without a graphics card OpenGL draws on
//   threads of its own), and the frame intervals' mean, 99th percentile and worst. A first
//   line names SDL's video driver and the rendering path; --software keeps the game off the
//   OpenGL device, on the software renderer it has for machines without one. The machine's
//   other load counts: compare builds in one sitting, pinned to one core (taskset) if that
//   steadies the figures.
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <SDL.h>

#include "runtime/graphics/device/graphics_device.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/shell/shell_state.h"
#include "tools/headless/headless_game.h"
#include "tools/headless/scratch_folder.h"
#include "tools/headless/tool_arguments.h"

namespace {

constexpr long kMaxSeconds = 3600;

double Seconds(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

int Usage() {
  std::fprintf(stderr, "usage: measure_pacing [--seconds S] [--frames N] [--software]\n");
  return 2;
}

// Steps the game until `seconds` of wall time or `frames` frames have passed (whichever is
// given), then prints the span's line. False when the game's loop ended.
bool MeasureSpan(HeadlessGame& game, const char* name, double seconds, long frames) {
  std::vector<double> ends;
  const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  const double main0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
  const double wall0 = Seconds(CLOCK_MONOTONIC);
  ends.push_back(wall0);
  for (;;) {
    const long done = static_cast<long>(ends.size()) - 1;
    if (frames > 0 ? done >= frames : ends.back() - wall0 >= seconds) break;
    if (!game.Step()) {
      std::fprintf(stderr, "measure_pacing: the game ended during %s\n", name);
      return false;
    }
    ends.push_back(Seconds(CLOCK_MONOTONIC));
  }
  const double wall = ends.back() - wall0;
  const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
  const double main = Seconds(CLOCK_THREAD_CPUTIME_ID) - main0;
  std::vector<double> intervals;
  for (size_t i = 1; i < ends.size(); ++i) intervals.push_back((ends[i] - ends[i - 1]) * 1000.0);
  std::sort(intervals.begin(), intervals.end());
  double sum = 0;
  for (double v : intervals) sum += v;
  const size_t n = intervals.size();
  const size_t p99 = n == 0 ? 0 : std::min(n - 1, (n * 99 + 99) / 100 - 1);
  auto share = [wall](double t) { return wall > 0 ? 100.0 * t / wall : 0.0; };
  std::printf(
      "%-14s %5zu frames %6.2f s  CPU %5.1f%% of a core (game thread %5.1f%%)  "
      "interval mean %6.3f ms  p99 %6.3f ms  worst %6.3f ms\n",
      name, n, wall, share(cpu), share(main), n ? sum / n : 0.0, n ? intervals[p99] : 0.0,
      n ? intervals.back() : 0.0);
  std::fflush(stdout);
  return true;
}

int Measure(double seconds, long frames, bool software) {
  ScratchFolder folder("measure_pacing");
  if (folder.path().empty()) {
    std::fprintf(stderr, "measure_pacing: no temporary folder\n");
    return 1;
  }
  const std::string prepared = PrepareGameFolder(folder.path(), "", false);
  if (!prepared.empty()) {
    std::fprintf(stderr, "measure_pacing: %s\n", prepared.c_str());
    return 1;
  }
  HeadlessGame::Options options;
  options.paced = true;
  HeadlessGame game(folder.path(), options);
  game.digestFrames = false;
  if (software) SetUseHardwareRendering(0);
  if (game.Start() != 0) {
    std::fprintf(stderr, "measure_pacing: the game did not start\n");
    return 1;
  }
  SetShipImmuneForTest(true);
  const char* driver = SDL_GetCurrentVideoDriver();
  std::printf("video driver %s, %s rendering\n", driver ? driver : "(none)",
              HardwareRendering ? "hardware (OpenGL)" : "software");
  game.Step();  // boot
  game.Step();  // the logo's set-up
  // Into the title menu, as the title intro's end leads there.
  CurrentScene = kSceneTitleVisit;
  game.Step();
  CurrentScene = kSceneTitleMenu;
  if (!MeasureSpan(game, "title menu", seconds, 0)) return 1;

  const int shot = ScancodeOfKey(KeyConfig[kButtonShot]);
  GameStartChoice choice;
  // The weapon select's steps are confirmed with Shot pressed on alternate frames.
  const bool started = StartRunFromTitle(choice, [&](int frame) {
    const bool press = CurrentScene == kSceneWeaponSelect && frame % 2 == 1;
    PushGameKey(shot, press);
    return game.Step();
  });
  if (!started) {
    std::fprintf(stderr, "measure_pacing: %s\n", DescribeFailedStart(choice).c_str());
    return 1;
  }
  PushGameKey(shot, true);
  if (!MeasureSpan(game, "play", seconds, 0)) return 1;
  if (!MeasureSpan(game, "play (frames)", 0, frames)) return 1;
  PushGameKey(shot, false);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  long seconds = 10;
  long frames = 1000;
  bool software = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--seconds" && ReadNumberArgument(value, 1, kMaxSeconds, &seconds)) {
      ++i;
    } else if (a == "--frames" && ReadNumberArgument(value, 1, kMaxFramesArgument, &frames)) {
      ++i;
    } else if (a == "--software") {
      software = true;
    } else {
      return Usage();
    }
  }
  // No sound card is needed: the run mixes its sound itself, one frame's worth a frame.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return Measure(static_cast<double>(seconds), frames, software);
}

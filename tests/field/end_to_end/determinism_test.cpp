// The field moves only by its input and LcgRandom: the run's digest after every unpaused play
// frame (every field word and record, the shake's offsets, the drawing's marks and the frame
// skip's phase left out) is the same for every run of the session's script: twice in one
// process and once in a fresh one, fast-forwarded, with the runtime's generator (which only the
// shake's offsets draw from) seeded otherwise, with pauses inserted, and on the Direct3D path.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/platform/core/random.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

// Past the shield's burst and the first life lost, and the explosions' shake.
constexpr int kFrames = 800;
constexpr int kKeyQ = 16;      // Pause
constexpr int kPauseAt = 700;  // nothing is held around it
constexpr int kPausedFrames = 10;
// The common enemies never shake the screen: every run starts a shake here, so that the
// runtime generator's draws show in its offsets.
constexpr int kShakeAt = 300;
constexpr int16_t kShakeFrames = 60;
constexpr const char* kDigestFileVariable = "KELVANOR_SESSION_DIGESTS";
constexpr const char* kChildTest = "Determinism.DISABLED_SessionInAChild";

struct SetUp {
  bool fast = true;
  uint32_t seed = 1;  // the runtime generator's, after start-up
  bool pause = false;
};

struct SessionRun {
  std::vector<uint64_t> digests;
  std::vector<std::pair<int32_t, int32_t>> shake;  // offsets after each unpaused frame
  int frames = 0;                                  // driver frames, paused ones too
  bool hardware = false;
};

SessionRun PlaySession(const SetUp& setUp) {
  GameDriver driver(SessionOptions(setUp.fast));
  SessionRun run;
  if (!StartSession(driver)) return run;
  SeedRandom(setUp.seed);
  run.hardware = HardwareRendering == 1;
  const size_t before = driver.digests().size();
  bool paused = false;
  auto step = [&](const FrameInput& input) {
    const size_t digests = driver.digests().size();
    driver.Step(input);
    if (driver.digests().size() > digests)
      run.shake.push_back({ScreenShake.offsetX, ScreenShake.offsetY});
  };
  for (int u = 0; u < kFrames && driver.running();) {
    if (setUp.pause && !paused && u == kPauseAt) {
      paused = true;
      step({{kKeyQ}});
      for (int i = 0; i < kPausedFrames; ++i) step({});
      step({{kKeyQ}});
      step({});
    } else {
      if (u == kShakeAt) StartScreenShake(kShakeFrames);
      step(SessionInput(u));
    }
    u = static_cast<int>(driver.digests().size() - before);
  }
  run.digests.assign(driver.digests().begin() + before, driver.digests().end());
  run.digests.resize(std::min<size_t>(run.digests.size(), kFrames));
  run.shake.resize(run.digests.size());
  run.frames = driver.frames();
  return run;
}

// The session played in a child process of this test program with these environment entries;
// its digests, or none (with a failure) when the child failed.
SessionRun PlaySessionInAChild(std::vector<std::string> environment) {
  TempFolder folder;
  const std::string path = folder.path() + "/digests.txt";
  environment.push_back(std::string(kDigestFileVariable) + "=" + path);
  SessionRun run;
  EXPECT_EQ(RunTestInChild(kChildTest, environment), 0);
  std::ifstream in(path);
  int hardware = 0;
  in >> hardware;
  run.hardware = hardware == 1;
  uint64_t digest;
  while (in >> std::hex >> digest) run.digests.push_back(digest);
  return run;
}

// The first frame at which two runs differ, or -1.
int FirstDifference(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) return static_cast<int>(i);
  return a.size() == b.size() ? -1 : static_cast<int>(std::min(a.size(), b.size()));
}

TEST(Determinism, TwoRunsInOneProcessAndOneInAFreshProcessGiveTheSameDigests) {
  const SessionOnTestStage testStage;
  const SessionRun a = PlaySession({});
  const SessionRun b = PlaySession({});
  ASSERT_EQ(a.digests.size(), static_cast<size_t>(kFrames));
  EXPECT_EQ(FirstDifference(a.digests, b.digests), -1);
  const SessionRun child = PlaySessionInAChild({});
  EXPECT_FALSE(child.hardware);
  EXPECT_EQ(FirstDifference(a.digests, child.digests), -1);
}

TEST(Determinism, FastForwardAnotherSeedAndPausesChangeNoDigest) {
  const SessionOnTestStage testStage;
  const SessionRun plain = PlaySession({.fast = false});
  ASSERT_EQ(plain.digests.size(), static_cast<size_t>(kFrames));
  const SessionRun reseeded = PlaySession({.seed = 2});
  EXPECT_EQ(FirstDifference(plain.digests, reseeded.digests), -1);
  // The other seed did reach the game: the shake's offsets came out otherwise.
  EXPECT_NE(plain.shake[kShakeAt + kShakeFrames / 2], std::make_pair(0, 0));
  EXPECT_NE(plain.shake, reseeded.shake);
  const SessionRun paused = PlaySession({.pause = true});
  EXPECT_GE(paused.frames, plain.frames + kPausedFrames);
  EXPECT_EQ(FirstDifference(plain.digests, paused.digests), -1);
}

TEST(Determinism, TheDirect3DPathGivesTheSoftwarePathsDigests) {
  const SessionOnTestStage testStage;
  const SessionRun software = PlaySession({.fast = false});
  ASSERT_EQ(software.digests.size(), static_cast<size_t>(kFrames));
  EXPECT_FALSE(software.hardware);
  const SessionRun direct3d =
      PlaySessionInAChild({"SDL_VIDEODRIVER=offscreen", "KELVANOR_SESSION_DRAW_ALL=1"});
  if (!direct3d.hardware && direct3d.digests.size() == software.digests.size())
    GTEST_SKIP() << "no Direct3D device on SDL's offscreen driver";
  EXPECT_TRUE(direct3d.hardware);
  EXPECT_EQ(FirstDifference(software.digests, direct3d.digests), -1);
}

// The child's half: the session played as this process's environment sets it up, its path
// (1 Direct3D) and digests written to the file the parent named.
TEST(Determinism, DISABLED_SessionInAChild) {
  const SessionOnTestStage testStage;
  if (!IsChildRunOf(kChildTest)) GTEST_SKIP();
  const char* path = std::getenv(kDigestFileVariable);
  ASSERT_NE(path, nullptr);
  const SessionRun run = PlaySession({.fast = std::getenv("KELVANOR_SESSION_DRAW_ALL") == nullptr});
  std::ofstream out(path);
  out << (run.hardware ? 1 : 0) << "\n";
  for (uint64_t d : run.digests) out << std::hex << d << "\n";
}

}  // namespace

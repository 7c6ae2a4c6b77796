// The whole game from start-up back to the title on the whole kit (the script of
// tests/game_support/whole_game_run.h): the scenes in their exact order, no continue spent and no
// game over, every boss beaten, and the live graphs and sounds back at the title as at its first
// visit; played twice in this process and once in a fresh one, with the same digest after every
// play frame and the same final score.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/game/shared_state.h"
#include "tests/game_support/whole_game_run.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr const char* kChildTest = "WholeGame.DISABLED_RunInAChild";
constexpr const char* kDigestFileVariable = "KELVANOR_WHOLE_GAME_DIGESTS";

struct Played {
  WholeGameRun run;
  std::vector<uint64_t> digests;
};

Played Play() {
  GameDriver driver(WholeGameOptions());
  Played p;
  p.run = PlayWholeGame(driver);
  p.digests = driver.digests();
  return p;
}

// The fresh process's digests and score, written by the child test to a file.
Played PlayInAChild() {
  TempFolder folder;
  const std::string path = folder.path() + "/digests.txt";
  Played p;
  EXPECT_EQ(RunTestInChild(kChildTest, {std::string(kDigestFileVariable) + "=" + path}), 0);
  std::ifstream in(path);
  in >> p.run.score;
  uint64_t digest;
  while (in >> std::hex >> digest) p.digests.push_back(digest);
  return p;
}

// The first play frame at which two runs differ, or -1.
int FirstDifference(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) return static_cast<int>(i);
  return a.size() == b.size() ? -1 : static_cast<int>(std::min(a.size(), b.size()));
}

// The scenes of a whole run; for a run stopped in a stage's play, those up to that play.
std::vector<int32_t> ExpectedScenes(int stoppedInStage = 0) {
  std::vector<int32_t> s = {kSceneBoot,       kSceneLogoSetUp,  kSceneLogo,
                            kSceneTitleVisit, kSceneTitleIntro, kSceneTitleMenu};
  for (int stage = 1; stage <= 7; ++stage) {
    if (stage <= 2) s.insert(s.end(), {kSceneWeaponSelectSetUp, kSceneWeaponSelect});
    s.insert(s.end(), {kSceneStageStart, kScenePlay});
    if (stage == stoppedInStage) return s;
    if (stage < 7) s.push_back(kSceneStageClear);
  }
  s.insert(s.end(), {kSceneEndScreen, kSceneLogoSetUp, kSceneLogo, kSceneTitleVisit,
                     kSceneTitleIntro, kSceneTitleMenu});
  return s;
}

TEST(WholeGame, TitleToTitleThroughEveryStageTheSameEveryTime) {
  const Played a = Play();
  const WholeGameRun& r = a.run;
  ASSERT_FALSE(a.digests.empty());
  EXPECT_EQ(r.difficulty, 2);  // HARD
  EXPECT_FALSE(r.gameOver);
  EXPECT_EQ(r.lowestCredits, 9);
  const int lastStage = r.stalledStage != 0 ? r.stalledStage : 7;
  for (int stage = 1; stage <= lastStage; ++stage) {
    EXPECT_GT(r.playFrames[stage], 0) << "stage " << stage;
  }
  EXPECT_EQ(r.scenes, ExpectedScenes(r.stalledStage));
  for (int stage = 1; stage < lastStage; ++stage) {
    EXPECT_EQ(r.bossesBeaten[stage], BossesOfStage(stage)) << "stage " << stage;
  }
  ASSERT_EQ(r.stalledStage, 0);

  // The fresh process plays beside the second run here.
  std::future<Played> child = std::async(std::launch::async, PlayInAChild);
  const Played b = Play();
  const Played c = child.get();
  EXPECT_EQ(FirstDifference(a.digests, b.digests), -1);
  EXPECT_EQ(FirstDifference(a.digests, c.digests), -1);
  EXPECT_EQ(b.run.score, a.run.score);
  EXPECT_EQ(c.run.score, a.run.score);
  ASSERT_TRUE(r.backAtTitle);
  for (int stage = 1; stage <= 7; ++stage) {
    EXPECT_EQ(r.bossesBeaten[stage], BossesOfStage(stage)) << "stage " << stage;
  }
  EXPECT_EQ(r.graphsBackAtTitle, r.graphsAtFirstTitle);
  EXPECT_EQ(r.soundsBackAtTitle, r.soundsAtFirstTitle);
}

// The child's half: the run played in this fresh process, its score and digests written to the
// file the parent named.
TEST(WholeGame, DISABLED_RunInAChild) {
  if (!IsChildRunOf(kChildTest)) GTEST_SKIP();
  const char* path = std::getenv(kDigestFileVariable);
  ASSERT_NE(path, nullptr);
  const Played p = Play();
  std::ofstream out(path);
  out << p.run.score << "\n";
  for (uint64_t d : p.digests) out << std::hex << d << "\n";
}

}  // namespace

#include "tests/game_support/whole_game_run.h"

#include <algorithm>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/live_handles.h"
#include "tests/game_support/scene_driving.h"

namespace {

constexpr int kFirstStageType = 10;
// A target is hit once it has been on screen (or held the scroll) this long.
constexpr int kAimAfterFrames = 120;
constexpr int32_t kHit = 100000;
// Centres this far outside the screen still count as on it: the big machines reach in.
constexpr int kOnScreenMargin = 160;
constexpr int kMostFrontEndFrames = 4000;
constexpr int kMostStillFrames = 900;
// The end screen asks whether to save the replay from this frame on; cursor 1 is NO.
constexpr int32_t kQuestionFrom = 120;
constexpr int16_t kAnswerNo = 1;

// The enemies that hold the scroll, by stage: (pool, type).
struct ScrollHolder {
  int stage;
  int16_t pool;
  int32_t type;
};
constexpr ScrollHolder kScrollHolders[] = {
    {3, 0, 13},  // the serpent
    {4, 1, 13},  // the carrier
    {6, 0, 11},  // the robo
    {6, 0, 12},  // the club walker
};

EnemyObject* PoolOf(int16_t pool) { return pool == 0 ? EnemyPool0 : EnemyPool1; }
int PoolSize(int16_t pool) { return pool == 0 ? kEnemyPool0Size : kEnemyPool1Size; }

bool Shootable(int16_t hitMode) { return hitMode % 3 != 0; }

bool HasCircle(const HitCircles& h) {
  return std::any_of(std::begin(h.size), std::end(h.size), [](int16_t s) { return s > 0; });
}

// What a well-aimed shot could hit on this object now.
void AimAt(FrameInput& in, int16_t pool, int16_t slot) {
  const EnemyObject& o = PoolOf(pool)[slot];
  const auto aimParts = [&](const EnemyPart* parts, int count, TestDamagePartArray array) {
    for (int j = 0; j < count; ++j) {
      const EnemyPart& p = parts[j];
      if (p.state == 2 && p.life > 0 && p.imageFrame >= 0 && Shootable(p.hitMode) &&
          HasCircle(p.hitCircles))
        in.damage.push_back({{pool, slot, array, static_cast<int16_t>(j)}, kHit});
    }
  };
  aimParts(o.partsA, std::clamp<int>(o.partCountA, 0, kPartsACount), kTestPartsA);
  aimParts(o.partsB, std::clamp<int>(o.partCountB, 0, kPartsBCount), kTestPartsB);
  if (o.life > 0 && o.imageFrame >= 0 && Shootable(o.hitMode) && HasCircle(o.hitCircles))
    in.damage.push_back({{pool, slot, kTestBody, 0}, kHit});
}

bool IsBoss(const EnemyObject& o) {
  return BossType >= kFirstStageType && o.type == BossType && o.state == 2;
}

bool IsScrollHolder(int16_t pool, const EnemyObject& o) {
  for (const ScrollHolder& h : kScrollHolders) {
    if (h.stage == CurrentStage && h.pool == pool && h.type == o.type && o.state == 2) return true;
  }
  return false;
}

// What a run saw of its bosses: each slot's state and type after the last play frame.
struct BossWatch {
  int32_t lastState[kEnemyPool0Size] = {};
  int32_t lastType[kEnemyPool0Size] = {};

  void Update(std::vector<int>& beaten) {
    for (int s = 0; s < kEnemyPool0Size; ++s) {
      const EnemyObject& o = EnemyPool0[s];
      if (lastState[s] == 2 && o.state >= 3 && o.type == lastType[s] && o.type == BossType)
        beaten.push_back(o.type);
      lastState[s] = o.state;
      lastType[s] = o.type;
    }
  }
};

// The press of a front-end scene, made on alternate frames: Shot confirms the weapon select and
// cuts the logo and the intro short; the end screen's replay question is turned to NO (Down),
// then confirmed.
FrameInput FrontEndPress() {
  switch (CurrentScene) {
    case kSceneWeaponSelect:
    case kSceneLogo:
    case kSceneTitleIntro:
      return Pad(kPadShot);
    case kSceneEndScreen:
      if (SceneFrame <= kQuestionFrom) return {};
      return Pad(YesNoCursor == kAnswerNo ? kPadShot : kPadDown);
    default:
      return {};
  }
}

}  // namespace

GameDriver::Options WholeGameOptions() {
  GameDriver::Options options;
  options.kit = "";
  options.fast = true;
  options.immuneShip = true;
  return options;
}

FrameInput WholeGamePlayScript::Input() const {
  FrameInput in;
  if (frame_ % 8 < 4) in.padBits |= kPadShot;
  in.padBits |= frame_ % 240 < 120 ? kPadUp : kPadDown;
  if (bossFrames_ > kAimAfterFrames) {
    for (int16_t s = 0; s < kEnemyPool0Size; ++s) {
      if (IsBoss(EnemyPool0[s])) AimAt(in, 0, s);
    }
  }
  if (holdFrames_ > kAimAfterFrames) {
    for (int16_t pool : {int16_t{0}, int16_t{1}}) {
      for (int16_t s = 0; s < PoolSize(pool); ++s) {
        if (IsScrollHolder(pool, PoolOf(pool)[s])) AimAt(in, pool, s);
      }
    }
  }
  return in;
}

void WholeGamePlayScript::Watch() {
  bool bossOnScreen = false, bossLive = false, holderLive = false;
  for (int s = 0; s < kEnemyPool0Size; ++s) {
    const EnemyObject& o = EnemyPool0[s];
    bossLive = bossLive || IsBoss(o);
    bossOnScreen = bossOnScreen || (IsBoss(o) && !IsOutsideScreen(o.x, o.y, kOnScreenMargin));
  }
  for (int16_t pool : {int16_t{0}, int16_t{1}}) {
    for (int s = 0; s < PoolSize(pool); ++s)
      holderLive = holderLive || IsScrollHolder(pool, PoolOf(pool)[s]);
  }
  frame_ += 1;
  bossFrames_ = bossOnScreen ? bossFrames_ + 1 : 0;
  holdFrames_ = holderLive && ScrollTargetSpeed == 0 ? holdFrames_ + 1 : 0;
  const bool still =
      ScrollDeltaX == 0 && ScrollDeltaY == 0 && !bossLive && !holderLive && StageClearTimer == 0;
  stillFrames_ = still ? stillFrames_ + 1 : 0;
}

bool WholeGamePlayScript::Stalled() const { return stillFrames_ > kMostStillFrames; }

WholeGameRun PlayWholeGame(GameDriver& driver, int mostPlayFrames,
                           const std::function<void()>& afterPlayFrame) {
  WholeGameRun run;
  if (driver.Start() != 0) return run;
  run.scenes.push_back(CurrentScene);  // where start-up left the machine: the boot scene
  WholeGamePlayScript script;
  BossWatch bosses;
  int stageFrames = 0;
  bool ended = false;  // the end screen was reached
  driver.afterFrame = [&] {
    if (CurrentScene != kScenePlay || CurrentStage < 1 || CurrentStage > 7) return;
    bosses.Update(run.bossesBeaten[CurrentStage]);
    script.Watch();
    run.lowestCredits = std::min(run.lowestCredits, Credits);
    if (afterPlayFrame) afterPlayFrame();
  };

  // Start-up, the logo and the title's intro cut short by Shot, the menu's flash run out.
  for (int i = 0; i < kMostFrontEndFrames && CurrentScene != kSceneTitleMenu; ++i)
    driver.Step(i % 2 == 1 ? Pad(kPadShot) : FrameInput{});
  driver.Run(48);
  run.graphsAtFirstTitle = LiveGraphCount();
  run.soundsAtFirstTitle = LiveSoundCount();
  PressPad(driver, kPadShot);  // START
  PressPad(driver, kPadDown);  // NORMAL to HARD
  PressPad(driver, kPadShot);

  int frontEndSteps = 0;
  for (int step = 0; driver.running(); ++step) {
    if (CurrentScene == kScenePlay) {
      frontEndSteps = 0;
      const int stage = CurrentStage;
      if (!driver.Step(script.Input())) break;
      if (CurrentScene == kScenePlay && GamePaused == 0) {
        stageFrames += 1;
        run.playFrames[stage] += 1;
      }
      if (stageFrames > mostPlayFrames || script.Stalled()) {
        run.stalledStage = stage;
        break;
      }
      continue;
    }
    stageFrames = 0;
    script = WholeGamePlayScript();
    bosses = BossWatch();
    if (CurrentScene == kSceneGameOver || CurrentScene == kSceneContinue) run.gameOver = true;
    if (CurrentScene == kSceneEndScreen) ended = true;
    if (ended && CurrentScene == kSceneTitleMenu) {
      run.backAtTitle = true;
      break;
    }
    if (!driver.Step(step % 2 == 1 ? FrontEndPress() : FrameInput{})) break;
    if (++frontEndSteps > kMostFrontEndFrames) break;
  }
  if (run.backAtTitle) {
    run.graphsBackAtTitle = LiveGraphCount();
    run.soundsBackAtTitle = LiveSoundCount();
  }
  run.score = Score;
  for (int32_t scene : driver.scenes()) {
    if (run.scenes.empty() || run.scenes.back() != scene) run.scenes.push_back(scene);
  }
  return run;
}

#include "tests/game_support/stage_run.h"

#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game_state.h"

const char* StageEndName(StageEnd end) {
  switch (end) {
    case StageEnd::Clear:
      return "clear";
    case StageEnd::GameOver:
      return "game over";
    case StageEnd::EndOfInput:
      return "end of input";
    case StageEnd::NotStarted:
      return "not started";
  }
  return "?";
}

namespace {

StageEnd EndOfScene(int32_t scene) {
  if (scene == kSceneStageClear) return StageEnd::Clear;
  if (scene == kSceneContinue || scene == kSceneGameOver) return StageEnd::GameOver;
  return StageEnd::EndOfInput;
}

}  // namespace

StageRunSummary RunStage(const StageRunOptions& options) {
  GameDriver::Options driverOptions;
  driverOptions.fast = !options.drawEveryFrame;
  driverOptions.kit = options.kit;
  driverOptions.immuneShip = options.immuneShip;
  GameDriver driver(driverOptions);
  driver.digestFrames = options.digestEveryFrame;
  StageRunSummary summary;
  if (driver.Start() != 0) return summary;

  driver.Run(2);  // into the title
  SpawnCensus census;
  int16_t lastBossState = 0;
  int16_t lastBossType = -1;
  driver.afterFrame = [&] {
    if (BossState == -1 && lastBossState != -1) summary.bossesKilled.push_back(lastBossType);
    lastBossState = BossState;
    lastBossType = BossType >= 0 ? BossType : lastBossType;
    if (options.afterFrame) options.afterFrame();
  };
  if (driver.StartGame(options.start)) {
    summary.end = StageEnd::EndOfInput;
    for (int i = 0; i < options.frames; ++i) {
      if (!driver.Step(options.script ? options.script(i) : FrameInput{})) break;
      summary.frames = i + 1;
      const StageEnd end = EndOfScene(CurrentScene);
      if (end != StageEnd::EndOfInput) {
        summary.end = end;
        break;
      }
    }
  }
  for (int32_t scene : driver.scenes()) {
    if (summary.scenes.empty() || summary.scenes.back() != scene) summary.scenes.push_back(scene);
  }
  summary.census = census.counts();
  summary.digests = options.digestEveryFrame
                        ? driver.digests()
                        : std::vector<uint64_t>{DigestGameState(DigestScope::Run).value};
  summary.log = driver.LogText();
  return summary;
}

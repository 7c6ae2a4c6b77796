#include "tests/game_support/field_fixture.h"

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/shell/stage_load.h"
#include "tools/lib/fmf_map_writer.h"

namespace {

constexpr int kShieldPinned = 7;
// Longer runs of draws than this in one frame are taken as a reseed.
constexpr int kMostDrawsInAFrame = 100000;

void NextLcgState(uint32_t* state) { *state = *state * 214013u + 2531011u; }

void CountHold(int32_t* count, bool held) {
  *count = held ? (*count < kHoldCountCap ? *count + 1 : *count) : 0;
}

}  // namespace

FieldFixture::FieldFixture(int difficulty) {
  directory_ = std::make_unique<ScopedCurrentDirectory>(folder_.path());
  ResetGameState();
  BuildTrigTables();
  // No option files here: the buttons, keys and tables take their defaults.
  InitGameOnBoot();
  Difficulty = static_cast<int16_t>(difficulty);
  ResetWeaponUnlocks();
  ResetRunState();
}

FieldFixture::~FieldFixture() { ResetGameState(); }

void FieldFixture::WriteStageMaps(int stage, const std::string& background,
                                  const std::string& main) {
  const std::string s = std::to_string(stage);
  const std::string dir = "data/map/stage" + s + "_1";
  folder_.MakeDirectory(dir);
  WriteFmfMapFile(folder_.path() + "/" + dir + "/map" + s + "b.fmf", BuildFmfMap(background));
  const std::vector<uint8_t> bytes = BuildFmfMap(main);
  WriteFmfMapFile(folder_.path() + "/" + dir + "/map" + s + ".fmf", bytes);
  WriteFmfMapFile(folder_.path() + "/" + dir + "/map" + s + "e.fmf", bytes);
}

int FieldFixture::StartStage(int stage) {
  CurrentStage = static_cast<int16_t>(stage);
  InitStageParameters(CurrentStage);
  const int loaded = LoadStage(CurrentStage);
  if (loaded != 1) return loaded;
  ComputeStartPowerRank();
  CurrentScene = kScenePlay;
  SceneFrame = 0;
  if (CheckpointIndex > 0) RestartAtCheckpoint();
  frame_ = 0;
  return loaded;
}

void FieldFixture::PinShip(double x, double y) {
  pinned_ = true;
  pinX_ = x;
  pinY_ = y;
}

void FieldFixture::UnpinShip() { pinned_ = false; }

void FieldFixture::SetShipImmune(bool on) { SetShipImmuneForTest(on); }

bool FieldFixture::DamageEnemy(const TestDamageTarget& target, int32_t damage) {
  return DamageEnemyForTest(target, damage);
}

void FieldFixture::ApplyHeld(uint32_t held) {
  for (int role = 0; role < kRoleCount; ++role) {
    const bool down = (held & HeldRole(role)) != 0;
    if (role < kPadRoleCount) CountHold(&ButtonHoldCounts[ButtonPadBits[role]], down);
    CountHold(&KeyHoldCounts[KeyConfig[role] & 0xFF], down);
  }
}

FieldFrameReport FieldFixture::Step(uint32_t held) {
  ApplyHeld(held);
  if (pinned_) {
    PlayerX = pinX_;
    PlayerY = pinY_;
    ShieldLevel = kShieldPinned;
  }
  if (beforeFrame) beforeFrame(frame_);
  sounds_.Take();
  const uint32_t before = LcgRandomState;
  RunPlayScene();
  ++frame_;

  FieldFrameReport report;
  report.sounds = sounds_.Take();
  report.gameFrame = GameFrame;
  report.scene = CurrentScene;
  if (digestFrames) report.digest = DigestGameState(DigestScope::Run).value;
  const EnemyObject* pools[4] = {EnemyPool0, EnemyPool1, EnemyPool2, EnemyPool3};
  const int sizes[4] = {kEnemyPool0Size, kEnemyPool1Size, kEnemyPool2Size, kEnemyPool3Size};
  for (int k = 0; k < 4; ++k) {
    for (int i = 0; i < sizes[k]; ++i) report.liveObjects[k] += pools[k][i].state != 0;
  }
  for (const Effect& e : Effects) report.liveEffects += e.state != 0 ? 1 : 0;
  for (const EnemyShot& s : EnemyShots) report.liveEnemyShots += s.state != 0 ? 1 : 0;
  for (const PlayerShot& s : PlayerShots) report.livePlayerShots += s.state != 0 ? 1 : 0;
  for (const Item& it : Items) report.liveItems += it.state != 0 ? 1 : 0;
  for (const InfoPopup& p : InfoPopups) report.livePopups += p.state != 0 ? 1 : 0;
  report.shakeAmplitude = ScreenShake.amplitude;
  report.shakeX = ScreenShake.offsetX;
  report.shakeY = ScreenShake.offsetY;
  uint32_t state = before;
  for (int i = 0; state != LcgRandomState; ++i) {
    if (i == kMostDrawsInAFrame) {
      report.draws.clear();
      report.reseeded = true;
      break;
    }
    NextLcgState(&state);
    report.draws.push_back(static_cast<int>((state >> 16) & 0x7FFF));
  }
  return report;
}

std::vector<FieldFrameReport> FieldFixture::Run(int frames,
                                                const std::function<uint32_t(int)>& script) {
  std::vector<FieldFrameReport> reports;
  for (int i = 0; i < frames; ++i) reports.push_back(Step(script ? script(i) : 0));
  return reports;
}

std::string FieldMapDescription(int width, int height, int layers, const std::string& content) {
  return "size " + std::to_string(width) + " " + std::to_string(height) + "\nlayers " +
         std::to_string(layers) + "\n" + content;
}

std::string PlainBackgroundDescription() {
  return FieldMapDescription(24, 5, 2, "palette 0 12\npalette 1 12\nrect 0 0 0 24 5 0\n");
}

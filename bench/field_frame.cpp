// The logic of one play-field frame (UpdatePlayField: the spawner, scroll and ship, weapons, the
// four enemy pools with their parts and collisions, items and popups, enemy shots, effects,
// ranks, the stage's script), without drawing, on stage 2 of the test stage with the camera held
// still and the ship immune. Two frames are built once: the worst (enemy pools 0-2 full of
// common enemies with their parts, every enemy-shot, player-shot, effect, item and popup slot in
// use) and one with every pool a quarter full. Each iteration restores the full frame's state
// from its snapshot and times one frame, then (untimed by the library) the quarter frame's the
// same way and a memcpy of a 640 x 480 32-bit screen (1,228,800 bytes). The snapshot covers
// every word the frame changes: before timing, the set-up checks that two restored frames end
// with the same game digest.
//
// Counters: full_ms and quarter_ms per frame, memcpy_ms; full_over_memcpy and
// quarter_over_memcpy (the speed on this machine today); full_over_quarter (expected between 4
// and 16: the shot-against-target tests grow with both counts); and the live records the full
// frame starts from (objects0..2, parts, enemy_shots, player_shots, effects, items, popups).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_baseline.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/shell/stage_load.h"
#include "tools/lib/test_stage_maps.h"

namespace {

constexpr size_t kScreenBytes = 640 * 480 * 4;

// Copies of the game's state that a frame changes, restored byte for byte.
class Snapshot {
 public:
  template <typename T>
  void Keep(T& value) {
    regions_.push_back({reinterpret_cast<uint8_t*>(&value), sizeof(T), {}});
  }
  void Save() {
    for (Region& r : regions_) r.copy.assign(r.data, r.data + r.size);
  }
  void Restore() const {
    for (const Region& r : regions_) std::memcpy(r.data, r.copy.data(), r.size);
  }

 private:
  struct Region {
    uint8_t* data;
    size_t size;
    std::vector<uint8_t> copy;
  };
  std::vector<Region> regions_;
};

// Every word and record of the play field and the shell's player block.
void KeepFieldState(Snapshot& s) {
#define KEEP(x) s.Keep(x)
  KEEP(LcgRandomState);
  KEEP(CurrentStage), KEEP(GameFrame), KEEP(PlayerActive), KEEP(StageClearTimer);
  KEEP(DeathTimer), KEEP(BossState), KEEP(BossType), KEEP(StageMarker), KEEP(StageWork);
  KEEP(StageWorkY), KEEP(ScreenFlashWhite), KEEP(ScreenFlashWhiteStep), KEEP(ScreenFlashRed);
  KEEP(ScreenFlashRedStep), KEEP(CancelEnemyShots), KEEP(SolidEnemyTimer), KEEP(SolidPartTimer);
  KEEP(BackgroundVariant), KEEP(MapRepeatTopRows), KEEP(BackLayer0DivisorX);
  KEEP(BackLayer0DivisorY), KEEP(BackLayer1DivisorX), KEEP(BackLayer1DivisorY);
  KEEP(BackLayer0WrapColumns), KEEP(BackLayer1WrapColumns), KEEP(BackLayer0LoopColumn);
  KEEP(BackLayer1LoopColumn);
  KEEP(TimeRank), KEEP(PowerRank);
  KEEP(MainWeaponCooldown), KEEP(SubWeaponCooldown), KEEP(LaserFireCounter), KEEP(FireHoldLatch);
  KEEP(ChargeGaugeMax), KEEP(ChargeFullFlash);
  KEEP(CameraX), KEEP(ViewRight), KEEP(ViewTop), KEEP(ViewBottom), KEEP(ViewTopTarget);
  KEEP(ViewBottomTarget), KEEP(DrawOffsetX), KEEP(DrawOffsetY), KEEP(ScrollSpeed);
  KEEP(ScrollTargetSpeed), KEEP(ScrollAngle), KEEP(ScrollDeltaX), KEEP(ScrollDeltaY);
  KEEP(SnapViewToPlayer), KEEP(PlayerPushedDown), KEEP(ShipBankFrame), KEEP(CheckpointIndex);
  KEEP(SpeedUpTimer), KEEP(StageFourParallaxX), KEEP(BackLayer0OffsetX), KEEP(BackLayer0OffsetY);
  KEEP(BackLayer1OffsetX), KEEP(BackLayer1OffsetY), KEEP(BackLayer0BaseX), KEEP(BackLayer0BaseY);
  KEEP(BackLayer1BaseX), KEEP(BackLayer1BaseY);
  KEEP(MapLoopMode), KEEP(HorizontalLoopStart), KEEP(HorizontalLoopEnd), KEEP(VerticalLoopTop);
  KEEP(VerticalLoopBottom), KEEP(VerticalLoopJump), KEEP(VerticalShift);
  KEEP(SpawnLeftColumn), KEEP(SpawnRightColumn), KEEP(SpawnTopRow), KEEP(SpawnBottomRow);
  KEEP(LastSpawnLeftColumn), KEEP(LastSpawnTopRow), KEEP(VerticalFreeMode);
  KEEP(ScreenShake), KEEP(EffectDriftX), KEEP(Effects);
  KEEP(EnemyPool0), KEEP(EnemyPool1), KEEP(EnemyPool2), KEEP(EnemyPool3);
  KEEP(EnemyShots), KEEP(PlayerShots), KEEP(Items), KEEP(InfoPopups);
  KEEP(EndingShipScreenX), KEEP(EndingShipSpeed);
  KEEP(CurrentScene), KEEP(SceneFrame), KEEP(MainWeaponLevels), KEEP(SubWeaponLevels);
  KEEP(ChargeWeaponLevels), KEEP(MainWeaponTimers), KEEP(SubWeaponTimers);
  KEEP(ChargeWeaponTimers), KEEP(SelectedMainWeapon), KEEP(SelectedSubWeapons);
  KEEP(ActiveSubSlot), KEEP(SelectedChargeWeapon), KEEP(ShipSpeed), KEEP(StageBonusCount);
  KEEP(ShieldLevel), KEEP(ChargeGauge), KEEP(Lives), KEEP(Score), KEEP(ExtendProgress);
  KEEP(ExtendCount), KEEP(PlayerX), KEEP(PlayerY), KEEP(PlayerMoveX), KEEP(PlayerMoveY);
  KEEP(StageUnlockId), KEEP(SoundEffectRequests), KEEP(SoundEffectGuards);
#undef KEEP
}

// Each pool's target: how many slots to fill.
struct Fill {
  int pool[3];
  int enemyShots, playerShots, effects, items, popups;
};
constexpr Fill kFull = {{kEnemyPool0Size, kEnemyPool1Size, kEnemyPool2Size},
                        kEnemyShotSlots,
                        kPlayerShotSlots,
                        kEffectSlots,
                        kItemSlots,
                        kPopupSlots};
constexpr Fill kQuarter = {{kEnemyPool0Size / 4, kEnemyPool1Size / 4, kEnemyPool2Size / 4},
                           kEnemyShotSlots / 4,
                           kPlayerShotSlots / 4,
                           kEffectSlots / 4,
                           kItemSlots / 4,
                           kPopupSlots / 4};

template <typename T, size_t N>
int Live(const T (&records)[N]) {
  int n = 0;
  for (const T& r : records) n += r.state != 0 ? 1 : 0;
  return n;
}

template <size_t N>
int LiveParts(const EnemyObject (&pool)[N]) {
  int n = 0;
  for (const EnemyObject& o : pool) {
    if (o.state == 0) continue;
    for (const EnemyPart& p : o.partsA) n += p.state != 0 ? 1 : 0;
    for (const EnemyPart& p : o.partsB) n += p.state != 0 ? 1 : 0;
  }
  return n;
}

// A point of the screen's right three quarters (the ship flies at its left), spread by k.
double SpreadX(int k) { return CameraX + 200 + (k * 37) % 400; }
double SpreadY(int k) { return ViewTop + 40 + (k * 53) % 320; }

// Enemies of every common type up to the target counts; the pool-2 types that fly.
void FillEnemies(const Fill& fill, int& turn) {
  constexpr int16_t kPool2Types[] = {0, 2, 3, 4, 5, 6, 7};
  for (int n = Live(EnemyPool0); n < fill.pool[0]; ++n, ++turn)
    SpawnPool0Enemy(SpreadX(turn), SpreadY(turn), static_cast<int16_t>(turn % 10), 0, -1, 0);
  for (int n = Live(EnemyPool1); n < fill.pool[1]; ++n, ++turn)
    SpawnPool1Enemy(SpreadX(turn), SpreadY(turn), static_cast<int16_t>(turn % 10), 0, -1, 0);
  for (int n = Live(EnemyPool2); n < fill.pool[2]; ++n, ++turn) {
    const int16_t type = kPool2Types[turn % 7];
    const int16_t slot = SpawnPool2Enemy(SpreadX(turn), SpreadY(turn), type, type == 6 ? 12 : 512);
    if (slot >= 0 && type == 7) EnemyPool2[slot].intWork0 = 1;  // the launcher's speed code
  }
}

// Shots, effects, items and popups up to the target counts.
void FillTheRest(const Fill& fill, int& turn) {
  for (int n = Live(EnemyShots); n < fill.enemyShots; ++n, ++turn)
    SpawnEnemyShot(static_cast<int16_t>(turn % 2), static_cast<int16_t>(turn * 97 % 1024), 1.5,
                   SpreadX(turn), SpreadY(turn), 0);
  // Main, sub and charge shots in their own slot ranges, flying right from the ship's side.
  for (int slot = 0; slot < kPlayerShotSlots && Live(PlayerShots) < fill.playerShots; ++slot) {
    if (PlayerShots[slot].state != 0) continue;
    const int type = slot < kFirstSubShotSlot ? kVulcanShot : slot < kFirstChargeShotSlot ? 5 : 15;
    InitPlayerShot(slot, type, static_cast<int16_t>(slot * 13 % 64 - 32), 1, PlayerX + slot % 300,
                   SpreadY(slot), 0);
  }
  for (int tries = 0; Live(Effects) < fill.effects && tries < 4 * kEffectSlots; ++tries, ++turn)
    SpawnEffect(turn % kEffectTypes, SpreadX(turn), SpreadY(turn), 0, 0, 0.5);
  for (int n = Live(Items); n < fill.items; ++n, ++turn)
    SpawnItem(turn % 7, SpreadX(turn), SpreadY(turn));
  for (int n = Live(InfoPopups); n < fill.popups - 1; ++n, ++turn)
    SpawnInfoPopup(turn % kPopupKinds, SpreadX(turn), SpreadY(turn));
  if (fill.popups == kPopupSlots) SpawnBannerPopup(12, SpreadX(turn), SpreadY(turn));
}

// The field's state brought to the fill: enemies spawned and set up (their parts attached) over
// a few frames, refilled as set-ups and the map's rules free slots, then the rest filled.
void BuildFrame(const Fill& fill) {
  ClearAllObjects();
  int turn = 0;
  for (int round = 0; round < 24; ++round) {
    FillEnemies(fill, turn);
    UpdatePlayField();
  }
  FillEnemies(fill, turn);
  FillTheRest(fill, turn);
}

struct Field {
  std::string folder;
  bool ready = false;
  Snapshot full, quarter;
  int counts[9] = {};

  Field() {
    char name[] = "/tmp/bench_field_frame-XXXXXX";
    if (mkdtemp(name) == nullptr) return;
    folder = name;
    WriteTestStageMaps(folder, {2});
    if (chdir(folder.c_str()) != 0) return;
    ResetGameState();
    BuildTrigTables();
    InitGameOnBoot();
    Difficulty = 3;  // insane: every enemy fires
    ResetWeaponUnlocks();
    ResetRunState();
    CurrentStage = 2;
    InitStageParameters(CurrentStage);
    if (LoadStage(CurrentStage) != 1) return;
    ComputeStartPowerRank();
    CurrentScene = kScenePlay;
    SetShipImmuneForTest(true);
    GameFrame = 0;
    UpdatePlayField();  // the first frame: the window filled and its speed taken
    // The camera held still, the ship in the first stretch's middle.
    ScrollSpeed = ScrollTargetSpeed = 0;
    GameFrame = 100;
    PlayerY = ViewTop + 200;

    KeepFieldState(full);
    KeepFieldState(quarter);
    BuildFrame(kQuarter);
    quarter.Save();
    BuildFrame(kFull);
    full.Save();
    const int live[9] = {
        Live(EnemyPool0), Live(EnemyPool1),
        Live(EnemyPool2), LiveParts(EnemyPool0) + LiveParts(EnemyPool1) + LiveParts(EnemyPool2),
        Live(EnemyShots), Live(PlayerShots),
        Live(Effects),    Live(Items),
        Live(InfoPopups)};
    std::memcpy(counts, live, sizeof(live));

    // The snapshot holds everything the frame reads and writes: restored, the frame ends the same.
    full.Restore();
    UpdatePlayField();
    const uint64_t once = DigestGameState(DigestScope::Run).value;
    full.Restore();
    UpdatePlayField();
    ready = DigestGameState(DigestScope::Run).value == once;
  }
  ~Field() {
    SetShipImmuneForTest(false);
    ResetGameState();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }
};

void FieldFrame(benchmark::State& state) {
  Field field;
  if (!field.ready) {
    state.SkipWithError(
        "the field's frame could not be built or does not repeat from its snapshot");
    return;
  }
  std::vector<uint8_t> copyFrom(kScreenBytes, 0x5A), copyTo(kScreenBytes);
  BenchTimes full, quarter;
  for (auto _ : state) {
    state.PauseTiming();
    field.full.Restore();
    state.ResumeTiming();
    const double t0 = BenchNowSeconds();
    UpdatePlayField();
    benchmark::ClobberMemory();
    const double t1 = BenchNowSeconds();
    state.PauseTiming();
    field.quarter.Restore();
    const double t2 = BenchNowSeconds();
    UpdatePlayField();
    benchmark::ClobberMemory();
    const double t3 = BenchNowSeconds();
    std::memcpy(copyTo.data(), copyFrom.data(), kScreenBytes);
    benchmark::ClobberMemory();
    const double t4 = BenchNowSeconds();
    state.ResumeTiming();
    full.work += t1 - t0;
    quarter.work += t3 - t2;
    full.baseline += t4 - t3;
  }
  quarter.baseline = full.baseline;
  const double n = static_cast<double>(state.iterations());
  state.counters["full_ms"] = full.work / n * 1000;
  state.counters["quarter_ms"] = quarter.work / n * 1000;
  state.counters["memcpy_ms"] = full.baseline / n * 1000;
  state.counters["full_over_memcpy"] = full.WorkOverBaseline();
  state.counters["quarter_over_memcpy"] = quarter.WorkOverBaseline();
  state.counters["full_over_quarter"] = quarter.work > 0 ? full.work / quarter.work : 0.0;
  const char* const names[9] = {"objects0",     "objects1", "objects2", "parts", "enemy_shots",
                                "player_shots", "effects",  "items",    "popups"};
  for (int k = 0; k < 9; ++k) state.counters[names[k]] = field.counts[k];
}

BENCHMARK(FieldFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

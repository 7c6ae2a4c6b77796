#include "tests/stages/stage4/stage4_play.h"

#include <algorithm>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/stages/stage4/stage4_boss.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kBossType = 10;
constexpr int kMidBossType = 11;
constexpr int kFireWallType = 16;
constexpr int kCarrierType = 13;  // pool 1
constexpr int kDasherType = 17;   // pool 1
constexpr int32_t kDeadly = 10000000;
// Long enough for the launcher ship to cross during the mid-boss's stop.
constexpr int kMidBossOpenFor = 240;
constexpr int kBossOpenFor = 60;
constexpr int kShellType = 4;  // pool 2

int16_t LiveSlot(EnemyObject* pool, int count, int type) {
  for (int16_t s = 0; s < count; ++s)
    if (pool[s].state == 2 && pool[s].type == type) return s;
  return -1;
}

}  // namespace

StageRunOptions Stage4Play(int16_t difficulty, int16_t checkpoint, int frames, Stage4Watch& w) {
  StageRunOptions o;
  o.start = {0, difficulty, 4, checkpoint};
  o.frames = frames;
  o.immuneShip = true;
  o.kit = "common,enemies,effects,stage4";
  o.script = [&w](int frame) {
    FrameInput in;
    const int16_t mid = LiveSlot(EnemyPool0, kEnemyPool0Size, kMidBossType);
    const int phase = frame % 240;
    if (mid >= 0) {
      // Up at the top and holding fire while the mid-boss stands: the launcher ship crosses
      // below and launches.
      in.padBits = kPadUp;
    } else {
      if (frame % 16 < 8) in.padBits = kPadShot;
      if (phase >= 80 && phase < 100) in.padBits |= kPadUp;
      if (phase >= 200 && phase < 220) in.padBits |= kPadDown;
    }
    const int16_t carrier = LiveSlot(EnemyPool1, kEnemyPool1Size, kCarrierType);
    if (carrier >= 0 && ScrollTargetSpeed == 0 && ScrollDeltaX == 0) w.carrierStoodFor += 1;
    if (carrier >= 0 && w.carrierKilledAt < 0 && w.carrierStoodFor > 60) {
      w.carrierKilledAt = w.frame;
      in.damage.push_back({{1, carrier, kTestPartsA, 0}, kDeadly});
    }
    if (mid >= 0 && EnemyPool0[mid].partsB[0].life > 0) w.midBossOpenFor += 1;
    if (mid >= 0 && w.midBossKilledAt < 0 && w.midBossOpenFor > kMidBossOpenFor) {
      w.midBossKilledAt = w.frame;
      in.damage.push_back({{0, mid, kTestPartsB, 0}, kDeadly});
    }
    const int16_t boss = LiveSlot(EnemyPool0, kEnemyPool0Size, kBossType);
    if (boss >= 0 && w.bossKilledAt < 0) {
      if (w.firstShellAt < 0 && LiveSlot(EnemyPool2, kEnemyPool2Size, kShellType) >= 0)
        w.firstShellAt = w.frame;
      const bool waited = w.waitForShells ? w.firstShellAt >= 0 && w.frame > w.firstShellAt + 120
                                          : w.frame > w.coreOpenAt + kBossOpenFor;
      if (w.coreOpenAt >= 0 && waited) {
        w.bossKilledAt = w.frame;
        in.damage.push_back({{0, boss, kTestPartsB, kStage4BossCore}, kDeadly});
      }
    }
    return in;
  };
  o.afterFrame = [&w] {
    const int f = w.frame++;
    if (w.goAt < 0 && StageWork[0] == 1) w.goAt = f;
    if (w.fireWallAt < 0 && LiveSlot(EnemyPool0, kEnemyPool0Size, kFireWallType) >= 0)
      w.fireWallAt = f;
    if (w.fireWallAt >= 0) w.redPeakAfterWall = std::max<int>(w.redPeakAfterWall, ScreenFlashRed);
    const int16_t dasher = LiveSlot(EnemyPool1, kEnemyPool1Size, kDasherType);
    if (dasher >= 0) w.dasherLastX = EnemyPool1[dasher].x;
    const int16_t boss = LiveSlot(EnemyPool0, kEnemyPool0Size, kBossType);
    if (boss < 0) return;
    if (w.bossArrivedAt < 0) w.bossArrivedAt = f;
    if (w.dasherArrivedAt < 0 && StageWork[kStage4CoreOpenWord] == 1) {
      w.dasherArrivedAt = f;
      w.coreXAtArrival = StageWork[kStage4CoreXWord];
    }
    const EnemyPart& core = EnemyPool0[boss].partsB[kStage4BossCore];
    if (w.coreOpenAt < 0 && w.dasherArrivedAt >= 0 && core.imageFrame == 0) w.coreOpenAt = f;
  };
  return o;
}

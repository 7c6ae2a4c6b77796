// Shots in the running field: an enemy on the test stage fires every common shot type and its
// beam pieces at the ship, player shots strike it and a boss explosion throws its burning
// fragments, all through the play frame; two such runs give the same digest every frame.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"
#include "tools/lib/test_stage_maps.h"

namespace {

constexpr int kEnemySlot = 3;
constexpr int kGunPart = 0;
constexpr int16_t kBullets[] = {0, 1, 2, 3, 4, 6, 16};
constexpr int16_t kBeamPieces[] = {8, 9, 11, 12, 13, 14};

struct PlayRun {
  std::vector<uint64_t> digests;
  int mostEnemyShots = 0;
  int mostPlayerShots = 0;
  int draws = 0;
  bool enemyHurt = false;
  int16_t livesLeft = 0;
};

// The enemy rides the screen at its right; its gun part turns and its beam cue runs down and
// starts again. Every 10th frame it fires the bullets at the ship, every 30th the beam pieces;
// every 20th a player shot strikes it and a charge-slot shot meets its bullets; every 60th a
// boss explosion goes off beside it.
void Fire(int frame) {
  EnemyObject& o = EnemyPool1[kEnemySlot];
  o.x = CameraX + 450;
  o.y = -DrawOffsetY + 200;
  EnemyPart& gun = o.partsB[kGunPart];
  gun.x = o.x - 20;
  gun.y = o.y;
  gun.angle = static_cast<int16_t>((512 + 8 * frame) % 1024);
  gun.cue = static_cast<int16_t>(40 - frame % 40);
  if (frame % 10 == 0) {
    const int16_t aim = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
    for (int16_t type : kBullets) SpawnEnemyShot(type, aim, 4, gun.x, gun.y, 1);
  }
  if (frame % 30 == 0) {
    for (int16_t type : kBeamPieces) {
      const int16_t slot = SpawnEnemyShotHigh(type, gun.angle, 6, gun.x, gun.y, 0);
      LinkEnemyShot(slot, kEnemySlot, kGunPart, 10, 0, EnemyPool1, o.partsB, 80);
    }
  }
  if (frame % 20 == 0) {
    PutPlayerShot(frame / 20 % 64, o.x, o.y, 6, 7);
    PutPlayerShot(130, (PlayerX + o.x) / 2, PlayerY, 12, 1);
  }
  if (frame % 60 == 30) SpawnBossExplosion(o.x, o.y, 1);
}

PlayRun RunStageTwoUnderFire() {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {2});
  EXPECT_EQ(field.StartStage(2), 1);
  field.digestFrames = false;
  field.Run(81);  // the opening count
  field.digestFrames = true;
  ScopedEntry<EnemyObjectHandler> still{EnemyPool1Handlers[5], UpdateNothing};
  ScopedEntry<EnemyPartHandler> stillGun{EnemyPartHandlers[0], UpdateNothing};
  EnemyObject& o = PutEnemy(EnemyPool1, kEnemySlot, CameraX + 450, PlayerY, 12, 100000, 10);
  o.despawnMarginX = o.despawnMarginY = 100;
  PutPart(o, true, kGunPart, o.x - 20, o.y, 6, 100000).linkActive = 1;
  PlayRun run;
  field.beforeFrame = [&run](int frame) {
    const EnemyObject& enemy = EnemyPool1[kEnemySlot];
    if (enemy.state == 2 && enemy.life < enemy.maxLife) run.enemyHurt = true;
    Fire(frame);
  };
  for (const FieldFrameReport& r : field.Run(240, [](int frame) {
         return frame % 80 < 40 ? HeldRole(kButtonUp) : HeldRole(kButtonDown);
       })) {
    run.digests.push_back(r.digest);
    run.mostEnemyShots = std::max(run.mostEnemyShots, r.liveEnemyShots);
    run.mostPlayerShots = std::max(run.mostPlayerShots, r.livePlayerShots);
    run.draws += static_cast<int>(r.draws.size());
  }
  run.livesLeft = Lives;
  return run;
}

TEST(ShotsInPlayTest, TwoRunsUnderFireGiveTheSameDigestsEveryFrame) {
  const PlayRun a = RunStageTwoUnderFire();
  const PlayRun b = RunStageTwoUnderFire();
  ASSERT_EQ(a.digests.size(), 240u);
  EXPECT_EQ(a.digests, b.digests);
  // The run went through the shots' paths: many shots at once, the charge particles' and the
  // fragments' draws, hits on the enemy and on the ship.
  EXPECT_GT(a.mostEnemyShots, 20);
  EXPECT_GT(a.mostPlayerShots, 0);
  EXPECT_GT(a.draws, 0);
  EXPECT_TRUE(a.enemyHurt);
  EXPECT_LT(a.livesLeft, 3);
  EXPECT_EQ(a.livesLeft, b.livesLeft);
}

}  // namespace

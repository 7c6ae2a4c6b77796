// Stage 5's boss chain after a death, in the real game from the last checkpoint on the kit's
// maps: a death at form 3 brings form 1 back with the scroll, the beaten forms hand over in their
// set-up frames and form 3 starts afresh; a death in the clear's count-up brings back the last
// form. The later forms' own shots (seekers, turning shots and their trail) come into play.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;

int LiveFormSlot() {
  for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
    const EnemyObject& o = EnemyPool0[slot];
    if (o.state == 2 && o.type >= 10 && o.type <= 14) return slot;
  }
  return -1;
}

void KillShip() {
  SetShipImmuneForTest(false);
  KillPlayer(0);
  SetShipImmuneForTest(true);
}

// What the run saw: the forms that came into their fight in order (a form fighting again after a
// death counts again), form 3's core life when its second fight began, and the deaths dealt.
struct RespawnWatch {
  int16_t difficulty = 0;
  std::vector<int> fights;
  int fightFrames = 0;
  int lastFightingType = -1;
  bool diedAtFormThree = false;
  bool diedInTheClear = false;
  int32_t formThreeLife = -1, formThreeMaxLife = 0;
  // Between a death and the field's clearing of every object.
  bool awaitingClear = false;
  // After a clearing: form 1 marked the boss type again (its set-up ran), and the forms seen in
  // state 2 until the next fight.
  bool bossTypeMarkedAgain = false;
  bool respawned = false;
  std::vector<int> setUpsAfterDeath;
};

StageRunOptions PlayWithDeaths(int16_t difficulty, RespawnWatch& watch) {
  watch.difficulty = difficulty;
  StageRunOptions o;
  o.start = {0, difficulty, 5, 2};
  o.frames = 12000;
  o.immuneShip = true;
  o.kit = "common,enemies,effects,stage5";
  // Each form fights a while, then its cores take the damage; form 3 and the last form fight
  // longer, so that their own shots come into play.
  o.script = [&watch](int) {
    FrameInput in;
    in.padBits = kPadShot;
    const int slot = LiveFormSlot();
    if (slot < 0) return in;
    const EnemyObject& form = EnemyPool0[slot];
    if (form.phase == 0 || form.phase == -4) return in;
    const int fightFor = form.type == 14 ? 500 : (form.type == 12 ? 200 : 120);
    if (++watch.fightFrames != fightFor) return in;
    for (int j = 0; j < form.partCountB; ++j) {
      const EnemyPart& p = form.partsB[j];
      if (p.partType == 20 && p.state == 2)
        in.damage.push_back(
            {{0, static_cast<int16_t>(slot), kTestPartsB, static_cast<int16_t>(j)}, 10000000});
    }
    return in;
  };
  o.afterFrame = [&watch] {
    const int slot = LiveFormSlot();
    const int lastType = watch.difficulty > 1 ? 14 : 13;
    if (watch.awaitingClear) {
      if (DeathTimer != 0 || slot >= 0) return;
      watch.awaitingClear = false;
      watch.respawned = true;
      watch.lastFightingType = -1;
    }
    if (watch.respawned && BossType == 10) watch.bossTypeMarkedAgain = true;
    if (slot >= 0) {
      const EnemyObject& form = EnemyPool0[slot];
      const bool fighting = form.phase != 0 && form.phase != -4;
      if (watch.respawned) watch.setUpsAfterDeath.push_back(form.type);
      // Form 3's core as soon as it is set up, still off screen on its way in.
      if (form.type == 12 && watch.respawned && watch.formThreeLife < 0 &&
          form.partsB[0].state == 2) {
        watch.formThreeLife = form.partsB[0].life;
        watch.formThreeMaxLife = form.partsB[0].maxLife;
      }
      if (fighting && form.type != watch.lastFightingType) {
        watch.fights.push_back(form.type);
        watch.lastFightingType = form.type;
        watch.fightFrames = 0;
        watch.respawned = false;
      }
      if (form.type == 12 && fighting && !watch.diedAtFormThree && watch.fightFrames == 100) {
        KillShip();
        watch.diedAtFormThree = true;
        watch.awaitingClear = true;
      }
    }
    // The last form beaten: the clear counts up; a death there brings it back.
    if (StageClearTimer > 20 && !watch.diedInTheClear && !watch.fights.empty() &&
        watch.fights.back() == lastType) {
      KillShip();
      watch.diedInTheClear = true;
      watch.awaitingClear = true;
    }
  };
  return o;
}

TEST(Stage5BossRespawnGame, DeathsAtFormThreeAndInTheClearResumeTheChain) {
  struct Case {
    int16_t difficulty;
    std::vector<int> fights;
  };
  for (const Case& c : {Case{0, {10, 11, 12, 12, 13, 13}}, Case{2, {10, 11, 12, 12, 13, 14, 14}}}) {
    SCOPED_TRACE(c.difficulty);
    RespawnWatch watch;
    const StageRunSummary run = RunStage(PlayWithDeaths(c.difficulty, watch));
    EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    ASSERT_TRUE(watch.diedAtFormThree);
    EXPECT_TRUE(watch.diedInTheClear);
    EXPECT_EQ(watch.fights, c.fights);
    // After each death form 1 came again with the scroll and marked the boss type; it and the
    // other beaten forms handed over in their set-up pass, none of them seen live.
    EXPECT_TRUE(watch.bossTypeMarkedAgain);
    EXPECT_FALSE(watch.setUpsAfterDeath.empty());
    for (int type : watch.setUpsAfterDeath) EXPECT_GE(type, 12);
    EXPECT_EQ(watch.formThreeLife, watch.formThreeMaxLife);
    EXPECT_GT(watch.formThreeLife, 0);
    EXPECT_GT(run.census.EnemyShots(19), 0);  // form 3's seekers
    if (c.difficulty > 1) {
      EXPECT_GT(run.census.EnemyShots(21), 0);  // form 5's turning shots
      EXPECT_GT(run.census.EnemyShots(22), 0);  // and their trail
    }
  }
}

}  // namespace

// Stage 5's boss form 1 on a still field: the patrol and attack cycle with the cannon's slide,
// each assembly ending with its core and what the other keeps firing, and the emitter's beam.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/stages/stage5/still_form_field.h"

namespace {

constexpr int kSideCore = 5;
constexpr int kCannon = 10;
constexpr int kCannonCore = 11;
constexpr int kEmitter = 12;

using FormOneField = StillFormField;

// With both cores alive: patrol (work0 from 100 past 250), centring on screen y 200, the cannon's
// slide to -400, an attack of 801 frames with the cannon after the player's height, the way home
// in y then x, docked with sound 44, and the patrol again. The cannon is only ever out in phases
// 2, 3, -1 and -2.
TEST(Stage5BossFormOneTest, BothCoresAliveAlternatePatrolAndAttackWithTheCannonsSlide) {
  FormOneField f;
  f.ReachPatrol();
  std::vector<int> phases = {-3};
  int patrolFrames = 1, attackFrames = 0, displacedOutside = 0;
  double lowestCannonOffsetX = 0, cannonDyInAttack = 0;
  ASSERT_TRUE(f.RunUntil(
      [&] {
        const EnemyObject& o = f.form();
        const EnemyPart& cannon = f.part(kCannon);
        if (o.phase != phases.back()) phases.push_back(o.phase);
        if (phases.size() == 1) ++patrolFrames;
        if (o.phase == 3) {
          ++attackFrames;
          cannonDyInAttack = std::max(cannonDyInAttack, cannon.offsetY);
        }
        lowestCannonOffsetX = std::min(lowestCannonOffsetX, cannon.offsetX);
        const bool out = cannon.offsetX != 0 || cannon.offsetY != 0;
        if (out && (o.phase == -3 || o.phase == 1)) ++displacedOutside;
        return phases.size() == 7;
      },
      3000));
  EXPECT_EQ(phases, (std::vector<int>{-3, 1, 2, 3, -1, -2, -3}));
  EXPECT_GE(patrolFrames, 151);
  EXPECT_EQ(attackFrames, 801);
  EXPECT_EQ(lowestCannonOffsetX, -400);
  EXPECT_GT(cannonDyInAttack, 100);  // it went down toward the ship at screen y 360
  EXPECT_EQ(displacedOutside, 0);
  EXPECT_EQ(f.SoundCount(44), 1);
  EXPECT_EQ(f.form().intWork3, 2);  // one patrol decision and one attack's end
  // The attack's fire: cannon pairs, the arms' type-4 shots, launcher missiles and the volley.
  EXPECT_GT(f.shots[4], 0);
  EXPECT_GT(f.shots[1], 0);
  EXPECT_GT(f.missiles, 0);
}

// Losing the cannon's core first: the whole cannon assembly explodes and the emitter goes; the
// side block slides out to 80 and the arms spread toward the player and fire in the patrol, with
// the six-shot volley from the side core.
TEST(Stage5BossFormOneTest, WithoutTheCannonsCoreTheSideAssemblyFightsOnInThePatrol) {
  FormOneField f;
  f.ReachPatrol();
  f.KillCore(kCannonCore);
  for (int i = 0; i < 300; ++i) f.Step();
  const EnemyObject& o = f.form();
  EXPECT_EQ(o.phase, -3);
  EXPECT_EQ(o.state, 2);
  for (int slot : {6, 7, 8, 9, kCannon, kEmitter}) EXPECT_EQ(f.part(slot).state, 0) << slot;
  EXPECT_EQ(f.part(kCannonCore).state, 4);  // kept, unseen, until the form ends
  for (int slot : {0, 1, 2, 3, 4, kSideCore}) EXPECT_EQ(f.part(slot).state, 2) << slot;
  EXPECT_EQ(f.part(4).offsetX, 80);
  const int spread[] = {608, 512, 512, 416};
  for (int v = 0; v < 4; ++v) EXPECT_EQ(f.part(v).angle, spread[v]) << v;
  f.ResetTallies();
  for (int i = 0; i < 400; ++i) f.Step();
  EXPECT_GT(f.shots[4], 0);
  // A volley: the side core tracks the ship low, so its lowest shots start off the field.
  EXPECT_GE(f.shots[1], 3);
  EXPECT_EQ(f.shots[10] + f.shots[11], 0);
  EXPECT_EQ(f.missiles, 0);
  EXPECT_EQ(o.phase, -3);  // never back to the attack with one core
}

// Losing the side core first: the side block and arms explode; the cannon assembly goes on in
// the patrol with its guns, missiles and beam, and no arm shot or volley comes.
TEST(Stage5BossFormOneTest, WithoutTheSideCoreTheCannonAssemblyFightsOnInThePatrol) {
  FormOneField f;
  f.ReachPatrol();
  f.KillCore(kSideCore);
  for (int i = 0; i < 5; ++i) f.Step();
  for (int slot : {0, 1, 2, 3, 4}) EXPECT_EQ(f.part(slot).state, 0) << slot;
  EXPECT_EQ(f.part(kSideCore).state, 4);
  f.ResetTallies();
  int beamFrames = 0;
  for (int i = 0; i < 1200; ++i) {
    f.Step();
    for (const EnemyShot& s : f.frameShots) {
      if (s.type != 11) continue;
      ++beamFrames;
      // Tied to the emitter 154 px out along its angle, the emitter on the cannon.
      EXPECT_EQ(s.linkPart, kEmitter);
      EXPECT_EQ(s.linkOffset1, 154);
      EXPECT_EQ(f.part(kEmitter).angle, 512);
      EXPECT_EQ(f.part(kEmitter).x, f.part(kCannon).x);
      EXPECT_EQ(f.part(kEmitter).y, f.part(kCannon).y);
    }
  }
  EXPECT_EQ(f.form().phase, -3);
  EXPECT_EQ(f.shots[4], 0);
  EXPECT_GT(f.shots[1], 0);
  EXPECT_GT(f.missiles, 0);
  EXPECT_GT(beamFrames, 0);
  EXPECT_GT(f.SoundCount(37), 0);
}

// The emitter's countdown from 120: charge shots to 71, sound 37 and the burst at 70, one beam
// piece a frame from 70 to 2, then rest at 1, with the patrol's leg cleared at 2. A full shot
// table refuses every piece and the count still runs.
TEST(Stage5BossFormOneTest, TheBeamChargesFiresFrom70To2AndRestsAt1EvenWithAFullShotTable) {
  for (bool full : {false, true}) {
    SCOPED_TRACE(full);
    FormOneField f;
    f.ReachPatrol();
    EnemyPart& emitter = f.part(kEmitter);
    emitter.cue = 120;
    f.form().frame = 1;  // away from the form's own beam cue
    std::vector<int> beamCues;
    int charge = 0;
    for (int i = 0; i < 130; ++i) {
      if (full) {
        for (int k = 0; k < kEnemyShotSlots; ++k) SpawnEnemyShot(1, 0, 0, 300, 50, 0);
      }
      const int16_t before = emitter.cue;
      f.form().intWork1 = 3;
      f.Step();
      if (full) continue;
      for (const EnemyShot& s : f.frameShots) {
        if (s.type == 11) beamCues.push_back(before);
        if (s.type == 10) ++charge;
      }
      if (before == 2) {
        EXPECT_EQ(f.form().intWork1, 0);
      } else {
        EXPECT_NE(f.form().intWork1, 0) << before;
      }
    }
    EXPECT_EQ(emitter.cue, 1);
    EXPECT_EQ(emitter.linkActive, 0);
    EXPECT_EQ(f.SoundCount(37), 1);
    if (full) continue;
    EXPECT_EQ(charge, 50);
    ASSERT_EQ(beamCues.size(), 69u);
    EXPECT_EQ(beamCues.front(), 70);
    EXPECT_EQ(beamCues.back(), 2);
  }
}

}  // namespace

// The collision rules as one table of scenarios (player shots against bodies and parts, the
// ship against bodies, parts and enemy shots, the shield, the ship's death, charge shots and
// solid enemies, with the hit and death sounds they ask for), then the homing search's
// filters, the sweep along a shot's course, the beam stop bookkeeping and part counts past the
// arrays.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

constexpr double kShipX = 300, kShipY = 200;
constexpr double kEnemyX = 400, kEnemyY = 200;

using Sounds = std::vector<int>;

// The ship at (300, 200), alive, no shield, normal difficulty (a kill pays 2 x its unit).
struct Scenario {
  std::string name;
  std::function<void()> arrange;
  std::function<void()> act;
  std::function<void()> check;
  // The sound requests of the act, in order, where the scenario names them: 43 for every damage
  // dealt, 15 for the ship's death.
  std::optional<Sounds> sounds = std::nullopt;
};

void CollideFirstEnemy() { CollideEnemyObject(EnemyPool1, 0); }

EnemyObject& Enemy() { return EnemyPool1[0]; }

// An enemy sitting on the ship.
EnemyObject& Rammed(int32_t life) { return PutEnemy(EnemyPool1, 0, kShipX, kShipY, 10, life, 10); }

void ExpectAlive() {
  EXPECT_EQ(DeathTimer, 0);
  EXPECT_EQ(Lives, 3);
}

void ExpectDead() {
  EXPECT_EQ(DeathTimer, 1);
  EXPECT_EQ(Lives, 2);
  EXPECT_EQ(ShieldLevel, 0);  // a death takes the shield
}

void ExpectShieldBurst() {
  EXPECT_EQ(PlayerShots[kShieldBurstSlot].state, 1);
  EXPECT_EQ(PlayerShots[kShieldBurstSlot].type, kShieldBurstShot);
  EXPECT_EQ(PlayerShots[kShieldBurstSlot].x, kShipX);
  EXPECT_EQ(ShieldLevel, 7);
}

// Three parts in a row on the enemy's spot, life 5 each, then the body.
void PartsInARow() {
  EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100, 10);
  for (int j = 0; j < 3; ++j) PutPart(o, j == 2, j == 2 ? 0 : j, kEnemyX, kEnemyY, 8, 5);
  PutPlayerShot(0, kEnemyX, kEnemyY, 4, 10);
}

std::vector<Scenario> Scenarios() {
  return {
      {"life -1 is untouched by hits, and a stopping shot still vanishes",
       [] {
         PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, -1, 50);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 5);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().life, -1);
         EXPECT_EQ(Enemy().hitFlash, 0);
         EXPECT_EQ(Enemy().state, 2);
         EXPECT_EQ(Score, 0);
         EXPECT_EQ(PlayerShots[0].state, 3);
         EXPECT_EQ(PlayerShots[0].sparkPending, 0);
       },
       Sounds{}},
      {"ramming an indestructible enemy kills the ship even with the shield up",
       [] {
         Rammed(-1);
         ShieldLevel = 8;
       },
       CollideFirstEnemy, [] { ExpectDead(); }, Sounds{15}},
      {"life 0 dies to damage 1 and pays 30 x (difficulty + 1)",
       [] {
         PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 0, 1);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 1);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().state, 3);
         EXPECT_EQ(Enemy().life, -1);
         EXPECT_EQ(Enemy().hitFlash, 128);
         EXPECT_EQ(Score, 60);
       },
       Sounds{43}},
      {"an object with score base 0 pays nothing",
       [] {
         PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 0, 0);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 1);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().state, 3);
         EXPECT_EQ(Score, 0);
       }},
      {"a part with score base 0 pays 30 x (difficulty + 1)",
       [] {
         EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY + 50, 10, 100);
         PutPart(o, true, 0, kEnemyX, kEnemyY, 8, 0, 0);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 1);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsB[0].state, 3);
         EXPECT_EQ(Score, 60);
       },
       Sounds{43}},
      {"a surviving target earns the shot its spark",
       [] {
         PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 10);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().life, 90);
         EXPECT_EQ(PlayerShots[0].sparkPending, 1);
       }},
      {"a cadence shot deals nothing while its counter is 3 or less, but still stops",
       [] {
         PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 10).hitCadence = 1;
         PlayerShots[0].counterC = 3;
         PutPlayerShot(1, kEnemyX, kEnemyY, 4, 7).hitCadence = 1;
         PlayerShots[1].counterC = 4;
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().life, 93);
         EXPECT_EQ(PlayerShots[0].state, 3);
       },
       Sounds{43}},
      {"a shot without damage or before its first frame does nothing",
       [] {
         PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 0);
         PutPlayerShot(1, kEnemyX, kEnemyY, 4, 10).frame = 0;
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().life, 100);
         EXPECT_EQ(PlayerShots[0].state, 2);
         EXPECT_EQ(PlayerShots[1].state, 2);
       },
       Sounds{}},
      {"an object off screen is not tested at all",
       [] {
         PutEnemy(EnemyPool1, 0, 700, kEnemyY, 10, 100);
         PutPlayerShot(0, 700, kEnemyY, 4, 10);
       },
       CollideFirstEnemy, [] { EXPECT_EQ(Enemy().life, 100); }},
      {"a piercing shot that destroys a part goes on through the next parts and the body",
       [] {
         PartsInARow();
         PlayerShots[0].pierce = 1;
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsA[0].state, 3);
         EXPECT_EQ(Enemy().partsA[1].state, 3);
         EXPECT_EQ(Enemy().partsB[0].state, 3);
         // The body survives: the shot ends there.
         EXPECT_EQ(Enemy().life, 90);
         EXPECT_EQ(PlayerShots[0].state, 3);
       },
       Sounds{43, 43, 43, 43}},
      {"a stopping shot ends at its first hit", PartsInARow, CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsA[0].state, 3);
         EXPECT_EQ(Enemy().partsA[1].life, 5);
         EXPECT_EQ(Enemy().partsB[0].life, 5);
         EXPECT_EQ(Enemy().life, 100);
         EXPECT_EQ(PlayerShots[0].state, 3);
       },
       Sounds{43}},
      {"a piercing shot that leaves its target alive stops there",
       [] {
         PartsInARow();
         PlayerShots[0].pierce = 1;
         PlayerShots[0].damage = 3;
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsA[0].life, 2);
         EXPECT_EQ(Enemy().partsA[1].life, 5);
         EXPECT_EQ(PlayerShots[0].state, 3);
       }},
      {"a solid box part is hit by the shot's first three points and stops it",
       [] {
         EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY + 100, 10, 100);
         PutPart(o, false, 0, kEnemyX, kEnemyY, 0, 20);
         SetSolidPartBox(o.partsA, 0, 10, 10);
         PutPlayerShot(0, 0, 0, 4, 10).hitCount = 3;
         PlayerShots[0].hitX[2] = static_cast<int16_t>(kEnemyX + 11);
         PlayerShots[0].hitY[2] = static_cast<int16_t>(kEnemyY);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsA[0].life, 10);
         EXPECT_EQ(PlayerShots[0].state, 3);
       }},
      {"unlock weights of 3 from 0 on stage 2 leave the stage's weapon, 8",
       [] {
         CurrentStage = 2;
         StageUnlockId = 0;
         EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY + 100, 10, 100);
         PutPart(o, false, 0, kEnemyX, kEnemyY, 8, 0).unlockWeight = 1;
         PutPart(o, false, 1, kEnemyX, kEnemyY, 8, 0).unlockWeight = 2;
         PutPlayerShot(0, kEnemyX, kEnemyY, 4, 5).pierce = 1;
       },
       CollideFirstEnemy, [] { EXPECT_EQ(StageUnlockId, 8); }},
      {"with shield 8 an enemy shot is absorbed and the shield bursts",
       [] {
         ShieldLevel = 8;
         PutEnemyShot(0, kShipX, kShipY, 4);
       },
       [] { CollideEnemyShot(0); },
       [] {
         EXPECT_EQ(EnemyShots[0].state, 3);
         ExpectAlive();
         ExpectShieldBurst();
       },
       Sounds{}},
      {"without a shield an enemy shot kills the ship",
       [] { PutEnemyShot(0, kShipX + 8, kShipY, 4); }, [] { CollideEnemyShot(0); },
       [] {
         EXPECT_EQ(EnemyShots[0].state, 3);
         ExpectDead();
       },
       Sounds{15}},
      {"harmless and non-colliding shots pass the ship",
       [] {
         PutEnemyShot(0, kShipX, kShipY, 4).hitActive = 0;
         PutEnemyShot(1, kShipX, kShipY, 4).collides = 0;
       },
       [] {
         CollideEnemyShot(0);
         CollideEnemyShot(1);
       },
       [] {
         EXPECT_EQ(EnemyShots[0].state, 2);
         EXPECT_EQ(EnemyShots[1].state, 2);
         ExpectAlive();
       }},
      {"with shield 3 enemy shots and bodies pass the ship",
       [] {
         ShieldLevel = 3;
         PutEnemyShot(0, kShipX, kShipY, 4);
         Rammed(100);
       },
       [] {
         CollideEnemyShot(0);
         CollideFirstEnemy();
       },
       [] {
         EXPECT_EQ(EnemyShots[0].state, 2);
         EXPECT_EQ(Enemy().life, 100);
         ExpectAlive();
         EXPECT_EQ(ShieldLevel, 3);
       }},
      {"with shield 3 a solid box part that survives the ramming kills",
       [] {
         ShieldLevel = 3;
         EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
         PutPart(o, true, 0, kShipX, kShipY, 0, 100);
         SetSolidPartBox(o.partsB, 0, 20, 20);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsB[0].life, 50);
         ExpectDead();
       },
       Sounds{43, 15}},
      {"with shield 3 a solid box part that the ramming destroys lets the ship live",
       [] {
         ShieldLevel = 3;
         EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
         PutPart(o, true, 0, kShipX, kShipY, 0, 40);
         SetSolidPartBox(o.partsB, 0, 20, 20);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().partsB[0].state, 3);
         ExpectAlive();
       }},
      {"with shield 8 ramming that destroys the enemy saves the ship",
       [] {
         ShieldLevel = 8;
         Rammed(30);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().state, 3);
         ExpectAlive();
         ExpectShieldBurst();
       },
       Sounds{43}},
      {"with shield 8 ramming an enemy that survives kills",
       [] {
         ShieldLevel = 8;
         Rammed(100);
       },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().life, 50);
         ExpectDead();
       }},
      {"without a shield ramming kills even when it destroys the enemy", [] { Rammed(30); },
       CollideFirstEnemy,
       [] {
         EXPECT_EQ(Enemy().state, 3);
         ExpectDead();
       },
       Sounds{43, 15}},
      {"a body that cannot touch (even hit mode or no image) is passed",
       [] {
         Rammed(100).hitMode = 2;
         PutEnemy(EnemyPool1, 1, kShipX, kShipY, 10, 100).imageFrame = -1;
       },
       [] {
         CollideFirstEnemy();
         CollideEnemyObject(EnemyPool1, 1);
       },
       [] { ExpectAlive(); }},
      {"the death is tested once: parts still take their ramming after the body killed",
       [] {
         EnemyObject& o = Rammed(100);
         PutPart(o, false, 0, kShipX, kShipY, 8, 100);
       },
       CollideFirstEnemy,
       [] {
         ExpectDead();
         EXPECT_EQ(Enemy().life, 50);
         EXPECT_EQ(Enemy().partsA[0].life, 50);
       },
       Sounds{43, 15, 43}},
      {"a box part pushes the ship down once",
       [] {
         EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
         PutPart(o, true, 0, kShipX, kShipY, 0, 100);
         SetPartBox(o.partsB, 0, 20, 20);
       },
       [] {
         EXPECT_FALSE(PartTouchesPlayer(Enemy().partsB, 0, false));
         EXPECT_EQ(PlayerPushedDown, 1);
         EXPECT_FALSE(PartTouchesPlayer(Enemy().partsB, 0, false));
         CollideFirstEnemy();
       },
       [] {
         EXPECT_EQ(PlayerPushedDown, 1);
         EXPECT_EQ(Enemy().partsB[0].life, 100);
         ExpectAlive();
       }},
      {"a charge-slot shot destroys an enemy shot and is unharmed; a sub-weapon slot is not",
       [] {
         PutEnemyShot(0, 500, 100, 4);
         PutEnemyShot(1, 500, 300, 4);
         PutPlayerShot(130, 500, 100, 6, 9);
         PutPlayerShot(127, 500, 300, 6, 9);
       },
       [] {
         CollideEnemyShot(0);
         CollideEnemyShot(1);
       },
       [] {
         EXPECT_EQ(EnemyShots[0].state, 3);
         EXPECT_EQ(PlayerShots[130].state, 2);
         EXPECT_EQ(PlayerShots[130].damage, 9);
         EXPECT_EQ(EnemyShots[1].state, 2);
       }},
      {"a solid pool-1 object stops shots, except on stage 2 in vertical free mode",
       [] {
         PutEnemy(EnemyPool1, 5, 500, 100, 20, 100).solid = 1;
         MarkSolidEnemyPresent();
         PutEnemyShot(0, 510, 100, 4);
       },
       [] {
         CurrentStage = 2;
         VerticalFreeMode = 1;
         CollideEnemyShot(0);
         EXPECT_EQ(EnemyShots[0].state, 2);
         VerticalFreeMode = 0;
         CollideEnemyShot(0);
       },
       [] { EXPECT_EQ(EnemyShots[0].state, 3); }},
      {"solid box parts stop shots that meet terrain, not those that pass it",
       [] {
         EnemyObject& o = PutEnemy(EnemyPool1, 5, 500, 300, 0, 100);
         o.solid = 1;
         o.hitMode = 0;
         PutPart(o, true, 3, 500, 100, 0, 100);
         SetSolidPartBox(o.partsB, 3, 20, 20);
         PutEnemyShot(0, 510, 100, 4);
         PutEnemyShot(1, 510, 100, 4).passesTerrain = 1;
       },
       [] {
         CollideEnemyShot(0);
         CollideEnemyShot(1);
       },
       [] {
         EXPECT_EQ(EnemyShots[0].state, 3);
         EXPECT_EQ(EnemyShots[1].state, 2);
       }},
  };
}

TEST(CollisionsTest, TheCollisionRules) {
  for (const Scenario& s : Scenarios()) {
    SCOPED_TRACE(s.name);
    FieldFixture field;  // normal difficulty, 3 lives, the ship's circles 6, 3, 3
    CurrentStage = 1;
    PlayerX = kShipX;
    PlayerY = kShipY;
    s.arrange();
    field.TakeSoundRequests();
    s.act();
    s.check();
    if (s.sounds) { EXPECT_EQ(field.TakeSoundRequests(), *s.sounds); }
  }
}

TEST(CollisionsTest, KillPlayerCostsLevelsSpeedAndRanksOnceAFrame) {
  FieldFixture field;
  SelectedMainWeapon = 2;
  SelectedSubWeapons[0] = 1;
  SelectedSubWeapons[1] = 4;
  ActiveSubSlot = 1;
  SelectedChargeWeapon = 1;
  MainWeaponLevels[2] = 1;
  SubWeaponLevels[4] = 8;
  SubWeaponLevels[1] = 8;
  ChargeWeaponLevels[1] = 5;
  ShipSpeed = 0;
  StageBonusCount = 4;
  StageClearTimer = 20;
  TimeRank = 120;
  PowerRank = 200;
  EXPECT_TRUE(KillPlayer(0));
  EXPECT_EQ(Lives, 2);
  EXPECT_EQ(MainWeaponLevels[2], 0);  // 1 - 2, raised to 0
  EXPECT_EQ(SubWeaponLevels[4], 6);   // the active sub weapon only
  EXPECT_EQ(SubWeaponLevels[1], 8);
  EXPECT_EQ(ChargeWeaponLevels[1], 3);
  EXPECT_EQ(ShipSpeed, 0);
  EXPECT_EQ(StageBonusCount, 0);
  EXPECT_EQ(StageClearTimer, 0);
  EXPECT_EQ(DeathTimer, 1);
  // One life lost: 50 off the time rank, 16 off the power rank, and the weak main weapon (the
  // hundreds flag) and charge weapon (the ones flag) take 50 and 30 more.
  EXPECT_EQ(TimeRank, 70);
  EXPECT_EQ(PowerRank, 200 - 16 - 50 - 30);
  int blasts = 0;
  for (const Effect& e : Effects) blasts += e.state != 0 && e.type == 4 ? 1 : 0;
  EXPECT_EQ(blasts, 1);

  EXPECT_EQ(field.TakeSoundRequests(), std::vector<int>{15});

  const uint64_t after = DigestGameState(DigestScope::Run).value;
  EXPECT_FALSE(KillPlayer(0));
  EXPECT_EQ(DigestGameState(DigestScope::Run).value, after);
  EXPECT_TRUE(field.TakeSoundRequests().empty());
}

TEST(CollisionsTest, KillPlayerWithSelectionsOutsideTheTablesTouchesNoLevel) {
  FieldFixture field;
  SelectedMainWeapon = 9;
  ActiveSubSlot = 5;
  SelectedChargeWeapon = -1;
  Lives = 0;
  EXPECT_TRUE(KillPlayer(0));
  EXPECT_EQ(Lives, 0);
  for (int16_t level : MainWeaponLevels) EXPECT_EQ(level, 0);
}

TEST(CollisionsTest, TheStagesUnlockIdsAfterFallingToMinusThree) {
  FieldFixture field;
  const int16_t expected[] = {2, 8, 3, 9, 14, -3, -3};
  for (int stage = 1; stage <= 7; ++stage) {
    CurrentStage = static_cast<int16_t>(stage);
    StageUnlockId = -2;
    ResetStageUnlockId();
    EXPECT_EQ(StageUnlockId, -2);
    StageUnlockId = -3;
    ResetStageUnlockId();
    EXPECT_EQ(StageUnlockId, expected[stage - 1]) << stage;
  }
}

TEST(CollisionsTest, TheHomingSearchFiltersAndKeepsTheNearest) {
  FieldFixture field;
  // The shot at (100, 100); candidates ahead-above, ahead-below, behind-above, behind-below.
  struct Candidate {
    double x, y;
  };
  const Candidate aheadAbove{150, 50}, aheadBelow{150, 150}, behindAbove{50, 50},
      behindBelow{50, 150}, nearAheadAbove{110, 90};
  struct Case {
    int16_t mode;
    std::vector<Candidate> offered;
    int16_t endMode;
    double targetX, targetY;
  } cases[] = {
      {1, {behindBelow, aheadAbove}, 2, 50, 150},  // the first, then only nearer (same distance)
      {2, {aheadAbove, nearAheadAbove}, 2, 110, 90},
      {3, {behindBelow, aheadBelow, aheadAbove, nearAheadAbove}, 4, 110, 90},
      {5, {aheadAbove, behindBelow, aheadBelow}, 6, 150, 150},
      {7, {aheadAbove, behindAbove}, 8, 50, 50},
      {9, {behindAbove, behindBelow}, 10, 50, 150},
      {3, {aheadBelow}, 3, 0, 0},  // nothing passed the filter
      {0, {aheadAbove}, 0, 0, 0},  // no search
      {11, {aheadAbove}, 11, 0, 0},
  };
  for (const Case& c : cases) {
    PutPlayerShot(0, 100, 100, 4, 1).searchMode = c.mode;
    for (const Candidate& k : c.offered) OfferHomingTarget(0, k.x, k.y);
    EXPECT_EQ(PlayerShots[0].searchMode, c.endMode) << c.mode;
    EXPECT_EQ(PlayerShots[0].targetX, c.targetX) << c.mode;
    EXPECT_EQ(PlayerShots[0].targetY, c.targetY) << c.mode;
  }
}

TEST(CollisionsTest, OnlyLiveDestructibleTargetsAreOfferedToTheSearch) {
  FieldFixture field;
  PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 0);  // life 0: not offered
  PutEnemy(EnemyPool1, 1, kEnemyX + 40, kEnemyY, 10, 5);
  PutPlayerShot(0, 100, 100, 4, 1).searchMode = 1;
  CollideEnemyObject(EnemyPool1, 0);
  EXPECT_EQ(PlayerShots[0].searchMode, 1);
  CollideEnemyObject(EnemyPool1, 1);
  EXPECT_EQ(PlayerShots[0].searchMode, 2);
  EXPECT_EQ(PlayerShots[0].targetX, kEnemyX + 40);
}

TEST(CollisionsTest, AFastShotSweepsAlongItsCourseNotAlongTheXAxis) {
  FieldFixture field;
  // A homing shot flying up at 24 a frame (heading 768, drawn with angle 0): what it swept lies
  // below it, not behind it along +x.
  struct Case {
    double enemyX, enemyY;
    bool hit;
  } cases[] = {{280, 200, false}, {300, 220, true}, {300, 180, false}};
  for (const Case& c : cases) {
    ClearAllObjects();
    PutEnemy(EnemyPool1, 0, c.enemyX, c.enemyY, 4, 100);
    PlayerShot& s = PutPlayerShot(0, 300, 200, 4, 10);
    s.type = kHomingShot;
    s.heading = 768;
    s.angle = 0;
    s.speed = 24;
    s.stopsOnHit = 0;
    CollideEnemyObject(EnemyPool1, 0);
    EXPECT_EQ(EnemyPool1[0].life != 100, c.hit) << c.enemyX << ", " << c.enemyY;
  }
  // An upright enemy shot sweeps along its motion angle.
  ClearAllObjects();
  PlayerX = 300;
  PlayerY = 200;
  EnemyShot& e = PutEnemyShot(0, 300, 170, 4);  // moved 40 up, from beside the ship's circle
  e.speed = 40;
  e.motionAngle = 768;
  e.drawAngle = 0;
  e.upright = 1;
  EXPECT_TRUE(EnemyShotHitsPlayer(0));
  e.upright = 0;
  EXPECT_FALSE(EnemyShotHitsPlayer(0));
}

TEST(CollisionsTest, PartsCarryABeamStopOneFrameAndAVanishingTiedShotRecordsIt) {
  FieldFixture field;
  EnemyObject& o = PutEnemy(EnemyPool1, 0, kEnemyX, kEnemyY, 10, 100);
  EnemyPart& kept = PutPart(o, false, 0, kEnemyX, kEnemyY, 0, 10);
  EnemyPart& lapsed = PutPart(o, false, 1, kEnemyX, kEnemyY, 0, 10);
  kept.stopFrame = lapsed.stopFrame = 12;
  kept.beamStopped = 1;
  CollideEnemyObject(EnemyPool1, 0);
  EXPECT_EQ(kept.stopFrame, 12);
  EXPECT_EQ(kept.beamStopped, 0);
  EXPECT_EQ(lapsed.stopFrame, 9999);

  EnemyShot& s = PutEnemyShot(3, 600, 50, 4);
  LinkEnemyShot(3, 0, 1, 0, 0, EnemyPool1, o.partsA, 0);
  s.frame = 7;
  s.state = 3;
  CollideEnemyShot(3);
  EXPECT_EQ(lapsed.stopFrame, 7);
  EXPECT_EQ(lapsed.beamStopped, 1);
  s.frame = 9;
  CollideEnemyShot(3);
  EXPECT_EQ(lapsed.stopFrame, 7);  // only a lower frame moves it
}

TEST(CollisionsTest, PartCountsPastTheArraysStopAtTheirEnds) {
  FieldFixture field;
  EnemyObject& o = PutEnemy(EnemyPool1, 127, kShipX, kShipY, 10, 100);
  for (int j = 0; j < kPartsBCount; ++j) PutPart(o, true, j, kEnemyX, kEnemyY, 8, 1000);
  for (int j = 0; j < kPartsACount; ++j) PutPart(o, false, j, kEnemyX, kEnemyY, 8, 1000);
  o.partCountA = 1000;
  o.partCountB = 32767;
  PutPlayerShot(0, kEnemyX, kEnemyY, 4, 10).pierce = 1;
  PlayerShots[0].stopsOnHit = 0;
  ShieldLevel = 3;
  CollideEnemyObject(EnemyPool1, 127);
  EXPECT_EQ(o.partsA[24].life, 990);
  EXPECT_EQ(o.partsB[45].life, 990);
  // And the pass frees such an object.
  EnemyPool1[127].hitMode = 0;
  ViewRight = 640;
  ViewBottom = 400;
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  EXPECT_EQ(o.state, 0);
}

}  // namespace

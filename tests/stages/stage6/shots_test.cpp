// Stage 6's own shots on the enemy-shot pass alone: the big shot's one draw and its two ways to
// end, the bouncing shot between the club's emitters (never on easy), the harmless trail dots,
// the long shot's fade-in, wait and single aim, the heavy shot's growth, the portal effects tied
// to their emitter, and the turning shot of the gunners.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage5/stage5_bench.h"

namespace {

constexpr int kBig = 17;
constexpr int kCannon = 18;
constexpr int kBouncing = 19;
constexpr int kBounceDot = 20;
constexpr int kLong = 21;
constexpr int kHeavy = 22;
constexpr int kPortalBlue = 23;
constexpr int kPortalRed = 24;
constexpr int kTurnDot = 25;
constexpr int kTurning = 26;

int NewShotsOfType(int type) {
  int n = 0;
  for (const EnemyShot* s : EnemyShotsOfType(type))
    if (s->frame == 1) n += 1;
  return n;
}

TEST(Stage6Shots, TheBigShotDrawsOncePosesAtRandomAndEndsByAnimationOnlyWhenSlow) {
  struct Row {
    double speed;
    int endsAt;  // 0: still flying after 120 frames
  } rows[] = {{2, 32}, {6, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.speed);
    Stage5Bench bench(1, 6);
    ScrollDeltaX = 3;  // it does not ride the scroll
    PlayerX = 600;     // out of its way
    const int16_t slot = SpawnEnemyShot(kBig, 256, r.speed, 300, 20, 1);
    const EnemyShot& s = EnemyShots[slot];
    const uint32_t seed = LcgRandomState;
    EXPECT_EQ(bench.PassShots(), std::vector<int>{49});
    LcgRandomState = seed;
    EXPECT_EQ(s.drawAngle, LcgRandom() % 1024);
    EXPECT_EQ(s.motionAngle, 256);
    EXPECT_EQ(s.hitSize[0], 24);
    EXPECT_EQ(s.age, 99);
    int end = 0;
    for (int f = 2; f <= 120 && end == 0; ++f) {
      bench.PassShots();
      if (s.state == 0) end = f;
      if (s.state == 2 && r.speed >= 4 && f > 4) {
        EXPECT_GE(s.anim, 2);
        EXPECT_LE(s.anim, 4);
      }
    }
    EXPECT_EQ(end, r.endsAt);
    if (end == 0) { EXPECT_NEAR(s.x, 300, 1e-9); }
  }
  // One shot, one draw: a second shot draws once more.
  Stage5Bench bench(1, 6);
  SpawnEnemyShot(kBig, 0, 2, 300, 200, 1);
  SpawnEnemyShot(kBig, 0, 2, 300, 220, 1);
  const uint32_t seed = LcgRandomState;
  for (int f = 0; f < 11; ++f) bench.PassShots();
  const uint32_t after = LcgRandomState;
  LcgRandomState = seed;
  LcgRandom();
  LcgRandom();
  EXPECT_EQ(after, LcgRandomState);
}

TEST(Stage6Shots, TheCannonShotHasThreeCirclesAndNoSound) {
  Stage5Bench bench(1, 6);
  const int16_t slot = SpawnEnemyShot(kCannon, 0, 4, 300, 200, 1);
  EXPECT_TRUE(bench.PassShots().empty());
  const EnemyShot& s = EnemyShots[slot];
  EXPECT_EQ(s.hitSize[0], 3);
  EXPECT_EQ(s.hitSize[1], 3);
  EXPECT_EQ(s.hitSize[2], 3);
  EXPECT_EQ(s.hitDx[1], 6);
  EXPECT_EQ(s.hitDx[2], -6);
  EXPECT_NEAR(s.x, 304, 1e-9);
}

TEST(Stage6Shots, TheBouncingShotTurnsBackAtTheClubsEmittersAndNeverFliesOnEasy) {
  {
    Stage5Bench easy(0, 6);
    StageWork[0] = 100;
    StageWork[1] = 500;
    const int16_t slot = SpawnEnemyShot(kBouncing, 0, 4, 300, 200, 1);
    EXPECT_TRUE(easy.PassShots().empty());
    EXPECT_EQ(EnemyShots[slot].state, 0);
  }
  Stage5Bench bench(2, 6);
  StageWork[0] = 100;
  StageWork[1] = 500;
  ScrollDeltaX = 2;  // a world course: the scroll is taken back out
  const int16_t slot = SpawnEnemyShot(kBouncing, 32, 4, 300, 100, 1);
  const EnemyShot& s = EnemyShots[slot];
  EXPECT_EQ(bench.PassShots(), std::vector<int>{41});
  EXPECT_EQ(s.passesTerrain, 1);
  std::vector<int> bounces;
  int dots = 0;
  for (int f = 2; f <= 250; ++f) {
    const int16_t angle = s.motionAngle;
    bench.PassShots();
    ASSERT_EQ(s.state, 2) << f;
    dots += NewShotsOfType(kBounceDot);
    if (s.motionAngle != angle) {
      bounces.push_back(f);
      EXPECT_EQ(s.motionAngle, 512 - angle < 0 ? 512 - angle + 1024 : 512 - angle);
    }
    EXPECT_GT(s.x, 100 - 8);
    EXPECT_LT(s.x, 500 + 8);
  }
  ASSERT_GE(bounces.size(), 2u);
  for (size_t k = 1; k < bounces.size(); ++k) EXPECT_GE(bounces[k] - bounces[k - 1], 16);
  EXPECT_EQ(dots, 125);  // every even frame
  StageWork[0] = 0;      // the club dropped its emitters
  bench.PassShots();
  EXPECT_EQ(s.state, 3);
}

// Trail dots of both kinds, on stage 6 and borrowed by stage 5: never harmful, 12 frames.
TEST(Stage6Shots, TrailDotsNeverHurtAndLastTwelveFrames) {
  struct Row {
    int stage, type;
  } rows[] = {{6, kBounceDot}, {6, kTurnDot}, {5, 20}, {5, 22}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.stage << " " << r.type);
    Stage5Bench bench(1, r.stage);
    bench.field.SetShipImmune(false);
    PlayerX = 300;
    PlayerY = 200;
    const int16_t slot = SpawnEnemyShot(static_cast<int16_t>(r.type), 0, 0, 300, 200, 1);
    const EnemyShot& s = EnemyShots[slot];
    int frames = 0;
    while (s.state != 0 && frames < 40) {
      bench.PassShots();
      frames += 1;
      if (s.state != 0) { EXPECT_EQ(s.hitActive, 0) << frames; }
    }
    EXPECT_EQ(frames, 12);
    EXPECT_EQ(DeathTimer, 0);
  }
}

TEST(Stage6Shots, TheLongShotFadesInHarmlessWaitsAndAimsOnce) {
  Stage5Bench bench(1, 6);
  PlayerX = 100;
  PlayerY = 300;
  const int16_t slot = SpawnEnemyShot(kLong, 512, 2, 400, 100, 1);
  const EnemyShot& s = EnemyShots[slot];
  EXPECT_EQ(bench.PassShots(), std::vector<int>{52});
  EXPECT_EQ(s.hitActive, 0);
  int activeFrom = 0, restFrom = 0, aimedAt = 0;
  for (int f = 2; f <= 140; ++f) {
    bench.PassShots();
    if (activeFrom == 0 && s.hitActive == 1) activeFrom = f;
    if (restFrom == 0 && s.speed == 0) restFrom = f;
    if (aimedAt == 0 && s.linkMode == 2) {
      aimedAt = f;
      EXPECT_EQ(s.motionAngle, AimAngle(s.x, s.y, PlayerX, PlayerY));
    }
    EXPECT_EQ(s.drawAngle, 0);
  }
  EXPECT_EQ(activeFrom, 16);
  EXPECT_NEAR(restFrom, 5, 1);  // 2 braked by 0.4 (a frame more for the rounding of 0.4)
  EXPECT_EQ(aimedAt, restFrom + 80);
  EXPECT_NEAR(s.speed, 2.4, 1e-9);
  // It does not aim again.
  const int16_t course = s.motionAngle;
  PlayerY = 20;
  for (int f = 0; f < 20; ++f) bench.PassShots();
  EXPECT_EQ(s.motionAngle, course);
}

TEST(Stage6Shots, TheHeavyShotGrowsInPlaceForTenFramesThenFliesAndShrinksAwayWhenStopped) {
  Stage5Bench bench(1, 6);
  const int16_t slot = SpawnEnemyShot(kHeavy, 512, 3, 400, 200, 1);
  const EnemyShot& s = EnemyShots[slot];
  EXPECT_EQ(bench.PassShots(), std::vector<int>{40});
  std::vector<int> radii = {s.hitSize[0]};
  for (int f = 2; f <= 10; ++f) {
    bench.PassShots();
    radii.push_back(s.hitSize[0]);
    EXPECT_EQ(s.x, 400);
  }
  const std::vector<int> grown = {5, 8, 11, 14, 17, 20, 23, 26, 29, 30};
  EXPECT_EQ(radii, grown);
  bench.PassShots();
  EXPECT_NEAR(s.x, 397, 1e-9);
  EnemyShots[slot].state = 3;  // as on terrain
  const double x = s.x;
  int frames = 0;
  while (s.state != 0 && frames < 60) {
    bench.PassShots();
    frames += 1;
    if (s.state != 0) { EXPECT_EQ(s.x, x); }
  }
  EXPECT_EQ(frames, 30);
}

// An emitter part to tie portal effects to: part 0 of pool-1 object 0, live.
EnemyPart& PortalEmitter() {
  EnemyObject& o = EnemyPool1[0];
  o.state = 2;
  o.type = 19;
  AttachPart(o.partsA, 0, 2, 0, 0, 0, -1);
  EnemyPart& p = o.partsA[0];
  p.state = 2;
  p.x = 320;
  p.y = 200;
  p.angle = 100;
  p.linkActive = 1;
  return p;
}

TEST(Stage6Shots, PortalEffectsAreHarmlessRingTheirEmitterAndGoWithIt) {
  struct Row {
    int type;
    double startRadius;
    int lasts;  // frames while the emitter stays
  } rows[] = {{kPortalBlue, 72, 48}, {kPortalRed, 0, 48}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    Stage5Bench bench(1, 6);
    bench.field.SetShipImmune(false);
    EnemyPart& emitter = PortalEmitter();
    PlayerX = 320;
    PlayerY = 200;
    const int16_t slot = SpawnEnemyShot(static_cast<int16_t>(r.type), 0, 0, 320, 200, 1);
    LinkEnemyShot(slot, 0, 0, 0, 0, EnemyPool1, EnemyPool1[0].partsA, 80);
    const EnemyShot& s = EnemyShots[slot];
    bench.PassShots();
    EXPECT_EQ(s.collides, 0);
    EXPECT_EQ(s.hitActive, 0);
    EXPECT_EQ(s.anim, 6);
    EXPECT_EQ(s.drawAngle, 100);
    const double radius = std::hypot(s.x - 320, s.y - 200);
    EXPECT_NEAR(radius, r.type == kPortalBlue ? 70.5 : 1.5, 1e-6);
    int frames = 1;
    while (s.state == 2 && frames < 100) {
      bench.PassShots();
      frames += 1;
    }
    EXPECT_EQ(frames, r.lasts);
    EXPECT_EQ(DeathTimer, 0);
    // A second one whose emitter is freed goes quietly the next frame.
    const int16_t other = SpawnEnemyShot(static_cast<int16_t>(r.type), 0, 0, 320, 200, 1);
    LinkEnemyShot(other, 0, 0, 0, 0, EnemyPool1, EnemyPool1[0].partsA, 80);
    bench.PassShots();
    ASSERT_EQ(EnemyShots[other].state, 2);
    emitter.state = 0;
    EXPECT_TRUE(bench.PassShots().empty());
    EXPECT_EQ(EnemyShots[other].state, 3);
    bench.PassShots();
    EXPECT_EQ(EnemyShots[other].state, 0);
  }
}

TEST(Stage6Shots, TheTurningShotTurnsLevelTowardThePlayersSideAtThePlayersHeight) {
  struct Row {
    int16_t launch;
    double startY, playerX;
    int16_t turnedTo;
  } rows[] = {{256, 50, 100, 512}, {256, 50, 500, 0}, {768, 350, 100, 512}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.launch << " " << r.playerX);
    Stage5Bench bench(1, 6);
    PlayerX = r.playerX;
    PlayerY = 200;
    const int16_t slot = SpawnEnemyShot(kTurning, r.launch, 3, 300, r.startY, 1);
    const EnemyShot& s = EnemyShots[slot];
    EXPECT_EQ(bench.PassShots(), std::vector<int>{41});
    int turned = 0, dots = 0;
    for (int f = 2; f <= 120; ++f) {
      bench.PassShots();
      dots += NewShotsOfType(kTurnDot);
      if (turned == 0 && s.linkMode == 1) {
        turned = f;
        EXPECT_EQ(s.motionAngle, r.turnedTo);
        EXPECT_NEAR(s.y, 200, 3.1);
      }
    }
    EXPECT_GT(turned, 20);
    EXPECT_DOUBLE_EQ(s.speed, 3);
    EXPECT_EQ(dots, 60);
  }
}

}  // namespace

// The beam pieces tied to a firing part: the warning dot's wait and run along the part's line,
// beam segments ended by the part's cue or cut by terrain, the beam's end and its farthest
// segment, the charge particle, the burst flash, the muzzle glow, and pieces whose link leads
// nowhere.
#include <cmath>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "tests/field/effects/effect_test_support.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

constexpr double kAnchorX = 200, kAnchorY = 150;

class BeamShotsTest : public testing::Test {
 protected:
  void SetUp() override {
    EnemyObject& o = PutEnemy(EnemyPool0, 2, kAnchorX - 30, kAnchorY, 10, 100);
    PutPart(o, true, 1, kAnchorX, kAnchorY - 5, 8, 100).drawOffsetY = 5;
    part().linkActive = 1;
    part().cue = 50;
  }

  static EnemyPart& part() { return EnemyPool0[2].partsB[1]; }

  // A piece of type at the anchor, tied to the part with mode.
  static int16_t Fire(int16_t type, double speed, int16_t mode = 0, int16_t angle = 0) {
    const int16_t slot = SpawnEnemyShot(type, angle, speed, kAnchorX, kAnchorY, 0);
    LinkEnemyShot(slot, 2, 1, 0, 0, EnemyPool0, EnemyPool0[2].partsB, mode);
    return slot;
  }

  FieldFixture field;
};

TEST_F(BeamShotsTest, AWarningDotWaitsTwoFramesThenRunsAlongThePartsLine) {
  const int16_t slot = Fire(8, 10);
  const EnemyShot& s = EnemyShots[slot];
  const double expectedX[] = {kAnchorX, kAnchorX, kAnchorX + 10, kAnchorX + 20};
  for (double x : expectedX) {
    UpdateEnemyShots();
    EXPECT_DOUBLE_EQ(s.x, x);
    EXPECT_DOUBLE_EQ(s.y, kAnchorY);
  }
  EXPECT_EQ(s.hitActive, 0);
  EXPECT_EQ(s.alpha, 32);
  // The part turns down: the dot stays on its line, three steps out.
  part().angle = 256;
  UpdateEnemyShots();
  EXPECT_NEAR(s.x, kAnchorX, 1e-9);
  EXPECT_DOUBLE_EQ(s.y, kAnchorY + 30);
  // The part is destroyed: the dot vanishes on its next update.
  part().state = 3;
  UpdateEnemyShots();
  EXPECT_EQ(s.state, 3);
  UpdateEnemyShots();
  EXPECT_GE(s.anim, 8);
  EXPECT_GT(PassesUntilShotFreed(slot), 0);
}

TEST_F(BeamShotsTest, SegmentsGoAtOnceWhenTheCueRunsOut) {
  const int16_t a = Fire(9, 0), b = Fire(11, 0);
  for (int i = 0; i < 3; ++i) UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[a].state, 2);
  EXPECT_EQ(EnemyShots[a].hitSize[0], 8);
  EXPECT_EQ(EnemyShots[b].hitSize[0], 5);
  EXPECT_EQ(EnemyShots[b].beamHalfWidth, 25);
  part().cue = 0;
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[a].state, 0);
  EXPECT_EQ(EnemyShots[b].state, 0);
}

TEST_F(BeamShotsTest, ASegmentCutByTerrainStopsTheBeamForTheSegmentsBehindIt) {
  PutBlock(8, 3);  // x 320..360 on the beam's line
  // One segment a frame, as a firing part spawns them: the oldest runs ahead.
  const int16_t first = Fire(9, 0);
  UpdateEnemyShots();
  const int16_t second = Fire(9, 0);
  UpdateEnemyShots();
  const int16_t third = Fire(9, 0);
  int cutAt = 0;
  while (EnemyShots[first].state == 2) {
    UpdateEnemyShots();
    ASSERT_LT(++cutAt, 20);
  }
  // Freed without vanish frames, its frame recorded as the part's stop.
  EXPECT_EQ(EnemyShots[first].state, 0);
  EXPECT_EQ(part().stopFrame, EnemyShots[second].frame + 1);
  EXPECT_EQ(part().beamStopped, 1);
  EXPECT_EQ(EnemyShots[second].state, 2);
  // Each later segment ends on the update that brings it to the stop frame.
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[second].state, 0);
  EXPECT_EQ(EnemyShots[third].state, 2);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[third].state, 0);
}

TEST_F(BeamShotsTest, SegmentsAtOrPastAStopFrameEndWithoutMeetingTerrain) {
  part().stopFrame = 3;
  const int16_t slot = Fire(9, 0);
  UpdateEnemyShots();
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[slot].state, 2);  // frame 2
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[slot].state, 0);  // frame 3
}

TEST_F(BeamShotsTest, TheBeamRunsFromTheAnchorToItsFarthestSegment) {
  const int16_t older = Fire(9, 0);
  UpdateEnemyShots();
  const int16_t newer = Fire(9, 0);
  part().beamReachLast = 7;
  part().cue = 20;
  UpdateEnemyShots();
  for (int16_t slot : {older, newer}) {
    const EnemyShot& s = EnemyShots[slot];
    EXPECT_DOUBLE_EQ(s.spawnX, kAnchorX);
    EXPECT_DOUBLE_EQ(s.spawnY, kAnchorY);
    EXPECT_DOUBLE_EQ(s.beamEndX, kAnchorX + 7 * 16);
    EXPECT_DOUBLE_EQ(s.x, kAnchorX + s.frame * 16);
  }
  // The farthest segment raised the reach and hides its own sprite.
  EXPECT_EQ(part().beamReach, 2);
  EXPECT_EQ(EnemyShots[older].alpha, -160);
  EXPECT_EQ(EnemyShots[newer].alpha, 160);
  EXPECT_EQ(EnemyShots[newer].hitActive, 1);
  // A fading beam stops hurting.
  part().cue = 15;
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[newer].alpha, 120);
  EXPECT_EQ(EnemyShots[newer].hitActive, 0);
  // Flickering muzzle flash for two frames, then none.
  EXPECT_EQ(EnemyShots[newer].age, (GameFrame / 2) % 4);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[newer].age, 100);
}

TEST_F(BeamShotsTest, AChargeParticleStartsOutByItsSizeAndFallsIn) {
  struct Row {
    int16_t mode;
    double startDistance;
    int16_t fullScale;
  } rows[] = {{80, 72, 80}, {0, 90, 100}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode);
    ClearAllObjects();
    SetUp();
    const int16_t slot = Fire(12, 0, r.mode);
    const uint32_t before = LcgRandomState;
    UpdateEnemyShots();
    const EnemyShot& s = EnemyShots[slot];
    EXPECT_EQ(DrawsBetween(before, LcgRandomState), 1);
    EXPECT_NEAR(std::hypot(s.x - kAnchorX, s.y - kAnchorY), r.startDistance, 1e-9);
    EXPECT_EQ(s.scale, r.fullScale / 10);
    EXPECT_EQ(s.collides, 0);
    for (int i = 0; i < 12; ++i) UpdateEnemyShots();
    EXPECT_EQ(s.scale, r.fullScale);
    EXPECT_LT(std::hypot(s.x - kAnchorX, s.y - kAnchorY), r.startDistance - 12);
  }
}

TEST_F(BeamShotsTest, AChargeParticleAboveFullSizeSpeedsUpEveryFrameAndEndsAtItsAnchor) {
  const int16_t slot = Fire(12, 0, 200);
  const EnemyShot& s = EnemyShots[slot];
  UpdateEnemyShots();
  UpdateEnemyShots();
  EXPECT_DOUBLE_EQ(s.vy, 0.1 + 0.3 + 0.3);
  const int passes = PassesUntilShotFreed(slot);
  EXPECT_GT(passes, 0);
  EXPECT_LT(passes, 40);
}

TEST_F(BeamShotsTest, AChargeParticleOrGlowOfADestroyedPartGoesOverTwoUpdates) {
  for (int16_t type : {12, 14}) {
    SCOPED_TRACE(type);
    ClearAllObjects();
    SetUp();
    const int16_t slot = Fire(type, 0, 80);
    UpdateEnemyShots();
    part().state = 3;
    UpdateEnemyShots();
    EXPECT_EQ(EnemyShots[slot].state, 3);
    UpdateEnemyShots();
    EXPECT_EQ(EnemyShots[slot].state, 0);
  }
}

TEST_F(BeamShotsTest, TheBurstFlashStaysWhereItFirstFoundTheAnchorAndPlaysItsFrames) {
  const int16_t slot = Fire(13, 0);
  const EnemyShot& s = EnemyShots[slot];
  UpdateEnemyShots();
  part().x += 50;
  UpdateEnemyShots();
  EXPECT_DOUBLE_EQ(s.x, kAnchorX);
  EXPECT_EQ(s.scale, 120);
  // Scale 100 + 10 an update reaches 400 on update 30; then a frame every fourth update.
  const int passes = PassesUntilShotFreed(slot) + 2;
  EXPECT_GE(passes, 30 + 13);
  EXPECT_LE(passes, 30 + 16);
}

TEST_F(BeamShotsTest, TheMuzzleGlowFollowsThePartWhileItAims) {
  const int16_t odd = Fire(14, 0, 0, 5), even = Fire(14, 0, 0, 4);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[odd].anim, 1);
  EXPECT_EQ(EnemyShots[even].anim, 0);
  part().x += 50;
  for (int i = 0; i < 20; ++i) UpdateEnemyShots();
  EXPECT_DOUBLE_EQ(EnemyShots[odd].x, kAnchorX + 50);
  EXPECT_EQ(EnemyShots[odd].scale, 60);
  part().linkActive = 0;
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[odd].state, 0);
}

TEST_F(BeamShotsTest, PiecesWhoseLinkLeadsNowhereVanishAndReadNothing) {
  struct Row {
    int16_t object, part;
    const EnemyObject* pool;
  } links[] = {
      {2, -1, EnemyPool0},  // never tied
      {64, 1, EnemyPool0},  // past the pool
      {2, 46, EnemyPool0},  // past partsB
      {2, 1, nullptr},      // no pool
  };
  for (int16_t type : {8, 9, 10, 11, 12, 13, 14}) {
    for (const Row& l : links) {
      SCOPED_TRACE(testing::Message()
                   << "type " << type << " object " << l.object << " part " << l.part);
      ClearAllObjects();
      const int16_t slot = SpawnEnemyShot(type, 0, 4, kAnchorX, kAnchorY, 0);
      if (l.part >= 0) {
        LinkEnemyShot(slot, l.object, l.part, 0, 0, l.pool, EnemyPool0[2].partsB, 0);
      }
      UpdateEnemyShots();
      EXPECT_EQ(EnemyShots[slot].state, 3);
      const int passes = PassesUntilShotFreed(slot, 20);
      EXPECT_GT(passes, 0);
      if (type != 8 && type != 10) {
        EXPECT_EQ(passes, 1);  // no vanish frames
      }
    }
  }
}

}  // namespace

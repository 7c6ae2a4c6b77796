// The countdown laser of stage 4 driven by a test owner through each user's row: the phases'
// lengths, one burst and sound a sequence, the short wheel beam, a beam cut at a wall, the harm
// ending below cue 16, the charge particles, and the pool running full.
#include <cmath>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/stages/stage4/laser_weapons.h"
#include "tests/game_support/field_fixture.h"
#include "tests/stages/stage4/stage4_test_owner.h"

namespace {

constexpr double kOwnerX = 100, kOwnerY = 200;

struct RowCase {
  const char* name;
  const Stage4LaserUser* row;
};

class LaserWeaponsTest : public testing::Test {
 protected:
  FieldFixture field;
  Stage4TestOwner test{kOwnerX, kOwnerY, 0};

  // Frames until the cue has run out and one more, from a cue loaded now.
  std::vector<LaserFrame> RunSequence(int16_t cue) {
    test.part().cue = cue;
    std::vector<LaserFrame> frames;
    do {
      frames.push_back(RunLaserFrame());
      frames.back().spawned[0] = 0;
    } while (frames.back().cue > 0 && frames.size() < 4000);
    return frames;
  }
};

TEST_F(LaserWeaponsTest, EachUserWarnsBurstsOnceAndFiresItsBeamForItsCount) {
  const RowCase rows[] = {{"carrier core", &kCarrierCoreLaser},
                          {"wheel emitter", &kWheelEmitterLaser},
                          {"boss arm", &kBossArmLaser[1]},
                          {"boss cannon", &kBossCannonLaser[0]}};
  for (const RowCase& c : rows) {
    SCOPED_TRACE(c.name);
    const Stage4LaserUser& u = *c.row;
    test.UseRow(u);
    field.TakeSoundRequests();
    int warning = 0, charge = 0, burst = 0, beam = 0, burstFrame = -1, soundFrame = -1;
    int sounds = 0;
    test.part().cue = u.startValue;
    for (int i = 0; test.part().cue > 0; ++i) {
      const LaserFrame f = RunLaserFrame();
      warning += f.spawned[u.warningShot];
      charge += f.spawned[u.chargeShot];
      beam += f.spawned[u.beamShot];
      if (f.spawned[u.burstShot] > 0) burstFrame = i;
      burst += f.spawned[u.burstShot];
      for (int s : field.TakeSoundRequests()) {
        if (s == u.burstSound) {
          sounds += 1;
          soundFrame = i;
        }
      }
      // Every segment goes on the frame the count reaches 0.
      if (f.cue == 0) {
        EXPECT_TRUE(LiveShots(u.beamShot).empty());
        EXPECT_EQ(test.part().linkActive, 1);
      }
    }
    const int warningFrames = u.startValue - u.warningFloor + 1;
    EXPECT_EQ(warning, warningFrames);
    EXPECT_GE(charge, warningFrames / 2);
    EXPECT_LE(charge, (warningFrames + 1) / 2);
    EXPECT_EQ(beam, u.burstValue);
    EXPECT_EQ(burst, 1);
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(burstFrame, warningFrames);
    EXPECT_EQ(soundFrame, burstFrame);
    RunLaserFrame();
    EXPECT_EQ(test.part().linkActive, 0);
    for (int k = 0; k < 60; ++k) RunLaserFrame();  // the warning lines run out of the screen
  }
}

TEST_F(LaserWeaponsTest, TheWheelsShortBeamHasNoWarningBurstOrSoundAndCutsARunningBeamShort) {
  test.UseRow(kWheelEmitterLaser);
  std::vector<LaserFrame> frames = RunSequence(kWheelShortBeam);
  int beam = 0;
  for (const LaserFrame& f : frames) {
    beam += f.spawned[11];
    EXPECT_EQ(f.spawned[10] + f.spawned[12] + f.spawned[13], 0);
  }
  EXPECT_EQ(beam, kWheelShortBeam);
  EXPECT_TRUE(field.TakeSoundRequests().empty());

  // Deep in a full sequence's beam the short value ends it 128 frames later.
  test.part().cue = kWheelEmitterLaser.startValue;
  for (int i = 0; i < 300; ++i) RunLaserFrame();
  ASSERT_GT(test.part().cue, 900);
  frames = RunSequence(kWheelShortBeam);
  EXPECT_EQ(frames.size(), size_t{kWheelShortBeam});
  EXPECT_TRUE(LiveShots(11).empty());
}

TEST_F(LaserWeaponsTest, ABeamCutAtAWallStaysCutWhileThePartTurnsUntilTheNextStart) {
  test.UseRow(kBossCannonLaser[0]);
  MapWidth = 40;
  MapHeight = 20;
  CollisionLayer[static_cast<int>(kOwnerY) / 40][8] = 1;  // x 320..360 on the beam's line
  test.part().cue = 120;
  while (test.part().cue > 40) RunLaserFrame();
  const int16_t stop = test.part().stopFrame;
  ASSERT_LT(stop, 9999);
  for (int slot : LiveShots(11)) EXPECT_LT(EnemyShots[slot].x, 320 + 16);
  // Turned away from the wall, the beam keeps its length.
  test.part().angle = 64;
  for (int i = 0; i < 20; ++i) {
    RunLaserFrame();
    EXPECT_EQ(test.part().stopFrame, stop);
    for (int slot : LiveShots(11)) EXPECT_LT(EnemyShots[slot].frame, stop);
  }
  while (test.part().cue > 0) RunLaserFrame();
  // The next sequence forgets the cut and runs past it.
  test.part().cue = 120;
  RunLaserFrame();
  EXPECT_EQ(test.part().stopFrame, 9999);
  int longest = 0;
  while (test.part().cue > 20) {
    RunLaserFrame();
    for (int slot : LiveShots(11)) longest = std::max(longest, EnemyShots[slot].frame);
  }
  EXPECT_GT(longest, stop + 5);
}

TEST_F(LaserWeaponsTest, TheBeamHurtsOnlyWhileTheCueIs16OrMore) {
  test.UseRow(kCarrierCoreLaser);
  test.part().cue = 40;
  bool sawHarmful = false;
  while (test.part().cue > 0) {
    const LaserFrame f = RunLaserFrame();
    for (int slot : LiveShots(24)) {
      EXPECT_EQ(EnemyShots[slot].hitActive, f.cue >= 16 ? 1 : 0) << "cue " << f.cue;
      sawHarmful = sawHarmful || EnemyShots[slot].hitActive == 1;
    }
  }
  EXPECT_TRUE(sawHarmful);
}

TEST_F(LaserWeaponsTest, ChargeParticlesFallInFrom72PixelsFor24FramesAndEndWithTheirPart) {
  test.UseRow(kCarrierCoreLaser);
  test.part().cue = 200;
  int particle = -1;
  for (int i = 0; i < 3 && particle < 0; ++i) {
    RunLaserFrame();
    if (!LiveShots(25).empty()) particle = LiveShots(25).front();
  }
  ASSERT_GE(particle, 0);
  const EnemyShot& s = EnemyShots[particle];
  const double muzzleX = kOwnerX + kCarrierCoreLaser.along;
  EXPECT_NEAR(std::hypot(s.x - muzzleX, s.y - kOwnerY), 72, 1e-9);
  EXPECT_EQ(s.collides, 0);
  int frames = 1;
  while (s.state == 2 && frames < 100) {
    RunLaserFrame();
    frames += 1;
  }
  EXPECT_EQ(frames, 24);

  // A particle whose part leaves state 2 ends on its next update.
  const std::vector<int> live = LiveShots(25);
  ASSERT_FALSE(live.empty());
  test.part().state = 3;
  UpdateEnemyShots();
  for (int slot : live) EXPECT_NE(EnemyShots[slot].state, 2);
}

TEST_F(LaserWeaponsTest, AParticleSizeAbove100AndANegativeOneRunUnderTheGuard) {
  for (int16_t size : {int16_t{150}, int16_t{-80}}) {
    SCOPED_TRACE(size);
    const int16_t slot = SpawnEnemyShot(25, 0, 0, 0, 0, 0);
    LinkEnemyShot(slot, kOwnerSlot, 0, 0, 0, EnemyPool1, test.owner().partsB, size);
    test.part().linkActive = 1;
    test.part().state = 2;
    test.part().x = kOwnerX;
    test.part().y = kOwnerY;
    UpdateEnemyShots();
    const EnemyShot& s = EnemyShots[slot];
    EXPECT_NEAR(std::hypot(s.x - kOwnerX, s.y - kOwnerY), std::abs(size) * 90 / 100, 1e-9);
    int frames = 1;
    while (s.state != 0 && frames < 200) {
      UpdateEnemyShots();
      frames += 1;
    }
    EXPECT_LT(frames, 40);
  }
}

TEST_F(LaserWeaponsTest, AFullShotPoolSkipsTheShotsAndTheCountGoesOn) {
  test.UseRow(kCarrierCoreLaser);
  for (EnemyShot& s : EnemyShots) {
    s.state = 2;
    s.type = 1;
    s.linkPart = -1;
  }
  test.part().cue = 200;
  for (int i = 0; i < 100; ++i) UpdateEnemyPools();
  EXPECT_EQ(test.part().cue, 100);
  for (const EnemyShot& s : EnemyShots) EXPECT_EQ(s.linkPart, -1);
}

}  // namespace

// Stage 1's opening played from GameFrame 0 on a small map: the mothership's script, the beam
// cannons it calls in, the anchors' incoming shells, the crawl of the scroll, the ship's slide
// out of the hull and its hand-over, the hull's sinking and break-up, and the random draws the
// scene makes frame by frame.
#include <algorithm>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/stages/stage1/stage1_bench.h"

namespace {

constexpr int32_t kBokan = 14;
constexpr int32_t kHighCannon = 15;
constexpr int32_t kLowCannon = 16;
constexpr int kShellLaunchSound = 33;
constexpr int kShellLandSound = 30;
constexpr int kBeamSound = 37;

// 60 x 12 cells: the start at column 5, checkpoint 1 at column 20, and a speed command (2 px a
// frame) in the first window that the opening must hold back.
std::string OpeningMap() {
  return FieldMapDescription(60, 12, 5, "cell 2 5 6 16\ncell 2 20 6 17\ncell 3 7 2 133\n");
}

int FindPool0(int32_t type) {
  for (int s = 0; s < kEnemyPool0Size; ++s) {
    if (EnemyPool0[s].state != 0 && EnemyPool0[s].type == type) return s;
  }
  return -1;
}

// What one frame of the opening left behind; frame is the GameFrame the field ran with.
struct OpeningFrame {
  int32_t frame;
  FieldFrameReport report;
  double scrollSpeed, scrollDeltaX;
  int cannonState[2] = {0, 0};  // the high and low cannon's state, 0 when none
  int16_t cannonCue[2] = {0, 0};
  int anchorCue[4] = {};
  int anchorImage[4] = {};
  double shipY = 0;
  int shipState = 0;
  int bokanImage = -1;
  int bokanState = 0;
  uint8_t playerActive = 0;
  int16_t bossState = 0;
  int shakeDuration = 0, shakeFrame = 0;
  int16_t checkpoint = 0;
  // Type-1 effects in slots the frame found free, in slot order.
  std::vector<Effect> newBlasts;
};

struct OpeningRun {
  FieldFixture field;
  std::vector<OpeningFrame> frames;
  int bokanSlot = -1;

  explicit OpeningRun(int frameCount) {
    field.digestFrames = false;
    field.WriteStageMaps(1, PlainBackgroundDescription(), OpeningMap());
    EXPECT_EQ(field.StartStage(1), 1);
    field.Run(80);
    EXPECT_EQ(GameFrame, 0);
    EXPECT_EQ(PlayerActive, 0);
    EXPECT_EQ(BossState, -1);
    for (int i = 0; i < frameCount; ++i) {
      OpeningFrame f;
      f.frame = GameFrame;
      bool wasFree[kEffectSlots];
      for (int e = 0; e < kEffectSlots; ++e) wasFree[e] = Effects[e].state == 0;
      f.report = field.Step();
      if (bokanSlot < 0) bokanSlot = FindPool0(kBokan);
      f.scrollSpeed = ScrollSpeed;
      f.scrollDeltaX = ScrollDeltaX;
      for (int k = 0; k < 2; ++k) {
        const int s = FindPool0(k == 0 ? kHighCannon : kLowCannon);
        if (s < 0) continue;
        f.cannonState[k] = EnemyPool0[s].state;
        f.cannonCue[k] = EnemyPool0[s].partsA[0].cue;
      }
      if (bokanSlot >= 0) {
        const EnemyObject& b = EnemyPool0[bokanSlot];
        f.bokanState = b.state;
        f.bokanImage = b.imageFrame;
        for (int k = 0; k < 4; ++k) {
          f.anchorCue[k] = b.partsB[k].cue;
          f.anchorImage[k] = b.partsB[k].state == 0 ? -1 : b.partsB[k].imageFrame;
        }
        f.shipY = b.partsA[1].y;
        f.shipState = b.partsA[1].state;
      }
      f.playerActive = PlayerActive;
      f.checkpoint = CheckpointIndex;
      f.bossState = BossState;
      f.shakeDuration = ScreenShake.duration;
      f.shakeFrame = ScreenShake.frame;
      for (int e = 0; e < kEffectSlots; ++e) {
        if (wasFree[e] && Effects[e].state != 0 && Effects[e].type == 1) {
          f.newBlasts.push_back(Effects[e]);
        }
      }
      frames.push_back(f);
    }
  }

  const OpeningFrame& At(int32_t gameFrame) const { return frames.at(gameFrame); }
};

int CountSound(const OpeningFrame& f, int sound) {
  return static_cast<int>(std::ranges::count(f.report.sounds, sound));
}

// One run shared by the timeline's tests: long enough for the hulk to break up.
class Stage1Opening : public testing::Test {
 protected:
  static void SetUpTestSuite() { run_ = new OpeningRun(520); }
  static void TearDownTestSuite() {
    delete run_;
    run_ = nullptr;
  }
  static const OpeningRun& Run() { return *run_; }

 private:
  static OpeningRun* run_;
};
OpeningRun* Stage1Opening::run_ = nullptr;

TEST_F(Stage1Opening, TheMothershipComesAtGameFrameZeroAndHoldsTheScrollAtACrawl) {
  const OpeningRun& run = Run();
  ASSERT_GE(run.bokanSlot, 0);
  EXPECT_EQ(run.At(0).bokanState, 1);  // spawned by the script at the end of frame 0
  EXPECT_EQ(run.At(0).checkpoint, 0);
  EXPECT_EQ(run.At(1).checkpoint, 1);  // a death from now on no longer replays the opening
  for (int32_t f = 1; f < 170; ++f) {
    ASSERT_EQ(run.At(f).scrollSpeed, 0.5) << f;
    if (f >= 2) { ASSERT_EQ(run.At(f).scrollDeltaX, 0.5) << f; }
  }
  // Once the hull is blown the map's speed takes over.
  EXPECT_GT(run.At(200).scrollSpeed, 0.5);
  EXPECT_EQ(run.At(169).bokanImage, 0);
  EXPECT_EQ(run.At(170).bokanImage, 1);
}

// Each cannon is silent 50 frames from its first live frame, fires 140 frames of reduced beam
// with one sound, and is freed the frame after its count has run out.
TEST_F(Stage1Opening, EachCannonWarmsUpFiftyFramesFiresOneHundredFortyAndGoes) {
  const OpeningRun& run = Run();
  const int32_t called[2] = {2, 70};
  int beamSounds = 0;
  for (const OpeningFrame& f : run.frames) beamSounds += CountSound(f, kBeamSound);
  EXPECT_EQ(beamSounds, 2);
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(run.At(called[k] - 1).cannonState[k], 0);
    int32_t live = -1, freed = -1, lastBeam = -1;
    for (const OpeningFrame& f : run.frames) {
      if (live < 0 && f.cannonState[k] == 2 && f.cannonCue[k] > 0) live = f.frame;
      if (live >= 0 && freed < 0 && f.cannonState[k] == 0) freed = f.frame;
      if (live >= 0 && freed < 0 && f.cannonCue[k] > 0) lastBeam = f.frame;
    }
    ASSERT_GE(live, called[k]);
    EXPECT_LE(live, called[k] + 1);
    EXPECT_EQ(run.At(live + 49).cannonCue[k], 70);  // 50 silent frames
    EXPECT_EQ(CountSound(run.At(live + 49), kBeamSound), 0);
    const bool soundAtStart =
        CountSound(run.At(live + 50), kBeamSound) + CountSound(run.At(live + 51), kBeamSound) == 1;
    EXPECT_TRUE(soundAtStart);
    EXPECT_EQ(lastBeam + 1, live + 189);  // its count reaches 0 on the 140th beam frame
    EXPECT_EQ(freed, live + 190);
  }
}

// The anchors' table of cues; an anchor cued again while its shells fly (anchor 3 at 165,
// anchor 0 at 175, anchor 2 at 185) changes nothing. Each cue launches three shells 2, 8 and
// 14 frames after it, with sound 33, that run in 50 frames at 16 px and land with sound 30 and
// a 4-frame shake; the last one lands and re-arms the anchor.
TEST_F(Stage1Opening, AnchorsUnderFireTakeThreeShellsEachAndIgnoreACueWhileTheyFly) {
  const OpeningRun& run = Run();
  struct Cue {
    int32_t frame;
    int anchor;
    bool takes;
  };
  const Cue cues[] = {
      {10, 1, true},  {30, 3, true},   {50, 0, true},   {70, 2, true},
      {90, 1, true},  {110, 3, true},  {130, 0, true},  {150, 2, true},
      {155, 1, true}, {165, 3, false}, {175, 0, false}, {185, 2, false},
  };
  std::map<int32_t, int> launches, landings;
  for (const Cue& c : cues) {
    SCOPED_TRACE(c.frame);
    EXPECT_EQ(run.At(c.frame).anchorCue[c.anchor], 1);
    if (c.takes) {
      EXPECT_EQ(run.At(c.frame - 1).anchorCue[c.anchor], 0);
      for (int delay : {2, 8, 14}) {
        launches[c.frame + delay - 1] += 1;
        landings[c.frame + delay + 48] += 1;
      }
      // The last shell clears the cue as it lands.
      EXPECT_EQ(run.At(c.frame + 14 + 48).anchorCue[c.anchor], 0);
      EXPECT_EQ(run.At(c.frame + 14 + 47).anchorCue[c.anchor], 1);
    }
  }
  for (int32_t f = 0; f < 300; ++f) {
    const OpeningFrame& frame = run.At(f);
    ASSERT_EQ(CountSound(frame, kShellLaunchSound), launches[f]) << f;
    ASSERT_EQ(CountSound(frame, kShellLandSound), landings[f]) << f;
    if (landings[f] > 0 && f < 170) {
      EXPECT_EQ(frame.shakeDuration, 4) << f;
      EXPECT_LE(frame.shakeFrame, 1) << f;
    }
  }
  // Burn spots show from the first landing on and stay.
  for (int k = 0; k < 4; ++k) {
    int32_t first = -1;
    for (int32_t f = 0; f < 300; ++f) {
      if (first < 0 && run.At(f).anchorImage[k] == 1) first = f;
      if (first >= 0) { ASSERT_EQ(run.At(f).anchorImage[k], 1) << k << " " << f; }
    }
    EXPECT_GT(first, 0);
  }
}

// Before the hull is blown the scene draws LcgRandom only for the shells' landing blasts (the
// rotation, then the blast's own first step as it starts) and for the far glow's waits.
TEST_F(Stage1Opening, BeforeTheHullIsBlownOnlyLandingsAndTheGlowDraw) {
  const OpeningRun& run = Run();
  int glowWaits = 0;
  for (int32_t f = 3; f < 170; ++f) {
    const OpeningFrame& frame = run.At(f);
    const int landings = CountSound(frame, kShellLandSound);
    const int extra = static_cast<int>(frame.report.draws.size()) - 2 * landings;
    ASSERT_TRUE(extra == 0 || extra == 1) << f;
    glowWaits += extra;
  }
  // The glow flashes for 72 frames and then waits at least 200: at most one new wait here.
  EXPECT_LE(glowWaits, 1);
  // The glow's first wait: pool 3 runs before pool 0, so the glow placed in frame 1 starts in 2.
  EXPECT_EQ(run.At(1).report.draws.size(), 0u);
  EXPECT_EQ(run.At(2).report.draws.size(), 1u);
}

// While sinking, every sixth frame of their clocks the four anchors throw a blast each, drawing
// d then r: motion angle 736 + d mod 64, rotation r mod 1024, speed 4; each blast then draws its
// first step as it starts, after the anchors.
TEST_F(Stage1Opening, TheSinkingHullsAnchorsThrowBlastsDrawingDirectionThenRotation) {
  const OpeningRun& run = Run();
  int checked = 0;
  for (int32_t f = 171; f < 400 && checked < 3; ++f) {
    const OpeningFrame& frame = run.At(f);
    if (frame.newBlasts.size() != 4 || frame.report.draws.size() != 12) continue;
    for (int k = 0; k < 4; ++k) {
      const Effect& e = frame.newBlasts[k];
      EXPECT_EQ(e.motionAngle, 736 + frame.report.draws[2 * k] % 64) << f;
      EXPECT_EQ(e.rotation, frame.report.draws[2 * k + 1] % 1024) << f;
      EXPECT_EQ(e.speed, 4);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 3);
  // The hull's own large explosions every 32 frames of its clock draw r1 and r2 first.
  int hullFrames = 0;
  for (int32_t f = 171; f < 400; ++f) {
    if (run.At(f).report.draws.size() > 20) ++hullFrames;
  }
  EXPECT_GT(hullFrames, 3);
}

// The ship slides down 2 px a frame until it is past screen y 192, glides 50 frames and is
// handed over: the part goes, and the player's words take its place.
TEST_F(Stage1Opening, TheShipSlidesOutGlidesFiftyFramesAndIsHandedOver) {
  const OpeningRun& run = Run();
  int32_t handOver = -1;
  for (const OpeningFrame& f : run.frames) {
    if (f.playerActive == 1) {
      handOver = f.frame;
      break;
    }
    ASSERT_EQ(f.bossState, -1) << f.frame;
  }
  ASSERT_GT(handOver, 0);
  EXPECT_EQ(run.At(handOver).shipState, 0);
  EXPECT_EQ(run.At(handOver).bossState, 0);
  int slides = 0, glides = 0;
  for (int32_t f = 3; f < handOver; ++f) {
    const double step = run.At(f).shipY - run.At(f - 1).shipY;
    if (step == 2) {
      ++slides;
      EXPECT_EQ(glides, 0) << f;
    } else {
      ++glides;
      EXPECT_LT(step, 2) << f;
    }
  }
  EXPECT_GT(slides, 50);
  EXPECT_EQ(glides + 1, 50);  // the hand-over frame is the glide's last
  EXPECT_LT(handOver, 170);   // the player flies before the hull is blown
}

// At screen y 270 the sinking hulk breaks: a full white flash, a 64-frame shake, the broken
// picture, and every anchor and shell gone.
TEST_F(Stage1Opening, TheHulkBreaksUpAtScreenY270) {
  const OpeningRun& run = Run();
  int32_t broken = -1;
  for (const OpeningFrame& f : run.frames) {
    if (f.bokanImage == 2) {
      broken = f.frame;
      break;
    }
  }
  ASSERT_GT(broken, 170);
  const OpeningFrame& f = run.At(broken);
  EXPECT_EQ(f.shakeDuration, 64);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(f.anchorImage[k], -1);
  EXPECT_EQ(run.At(broken - 1).bokanImage, 1);
  // The hulk stays where it broke.
  EXPECT_EQ(run.At(std::min<int32_t>(broken + 10, 519)).bokanImage, 2);
}

// The break-up's explosions, replayed by hand from the same generator state: the same effects
// in the same slots, so they came in the stated order at the stated points.
TEST(Stage1OpeningBreakUp, ItsSixExplosionsComeInOrder) {
  Stage1Bench bench;
  GameFrame = 1000;  // past the script
  const int16_t slot = SpawnPool0Enemy(400, 100, kBokan, 0, -1, 0);
  bench.PassBoss();  // set-up
  EnemyObject& o = EnemyPool0[slot];
  bench.PassBoss();  // the parts' set-up
  for (int i = 0; i < kEffectSlots; ++i) Effects[i].state = 0;
  o.intWork0 = 1;
  o.imageFrame = 1;
  o.y = 269.5;
  o.vy = 1;
  o.frame = 40;                                         // no hull explosion on the next pass
  for (int j = 0; j < 4; ++j) o.partsB[j].counter = 2;  // no anchor blasts either
  SeedLcgRandom(77);
  bench.PassBoss();
  const double x = o.x;
  ASSERT_EQ(o.imageFrame, 2);
  EXPECT_EQ(ScreenFlashWhite, 255);
  for (int j = 0; j < 16; ++j) EXPECT_EQ(o.partsB[j].state, 0) << j;
  std::vector<Effect> byPass(Effects, Effects + kEffectSlots);

  for (int i = 0; i < kEffectSlots; ++i) Effects[i].state = 0;
  SeedLcgRandom(77);
  const double y = o.y + 80;
  SpawnBossExplosion(x - 320, y, 1);
  SpawnMediumExplosion(x - 240, y, 1, -1);
  SpawnBossExplosion(x - 160, y, 1);
  SpawnBossExplosion(x, y, 1);
  SpawnBossExplosion(x + 160, y, 1);
  SpawnMediumExplosion(x + 240, y, 1, -1);
  int live = 0;
  for (int i = 0; i < kEffectSlots; ++i) {
    ASSERT_EQ(byPass[i].state != 0, Effects[i].state != 0) << i;
    if (Effects[i].state == 0) continue;
    ++live;
    EXPECT_EQ(byPass[i].type, Effects[i].type) << i;
    EXPECT_EQ(byPass[i].x, Effects[i].x) << i;
    EXPECT_EQ(byPass[i].y, Effects[i].y) << i;
  }
  EXPECT_GT(live, 6);
}

}  // namespace

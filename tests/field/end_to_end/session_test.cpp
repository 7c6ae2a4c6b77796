// The scripted session through the shell's driver, on the data kit and the test stage's stage 2:
// the ship moves and banks, fires, shoots the boxes on its row and takes their power-ups and the
// shield, a turret's shot bursts on the shield, a later one costs a life and weapon levels, the
// ship comes back at its checkpoint when the death count has run, and with no life left the game
// over begins.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"
#include "tests/game_support/sound_requests.h"

namespace {

constexpr int kTurretShot = 1;  // the enemy-shot type both turrets fire
constexpr int kItemShield = 6;

// What each frame left behind.
struct FrameRecord {
  int32_t scene;
  int32_t gameFrame;
  double shipX, shipY, cameraX;
  int32_t bank;
  int16_t shield, lives, deathTimer, mainLevel;
  int mainShots = 0, otherShots = 0;  // live player shots in slots 0..63, and elsewhere
  bool burst = false;                 // the shield burst in its slot
  bool shieldItem = false;            // a shield item lies in the field
  bool turretShotSpent = false;       // a turret's shot ended on the ship
  bool shotSound = false;             // sound 0 (the main weapon's shot) requested
};

FrameRecord Record(const std::vector<int>& sounds) {
  FrameRecord r{
      CurrentScene,  GameFrame,   PlayerX, PlayerY,    CameraX,
      ShipBankFrame, ShieldLevel, Lives,   DeathTimer, MainWeaponLevels[SelectedMainWeapon]};
  for (int slot = 0; slot < kPlayerShotSlots; ++slot) {
    if (PlayerShots[slot].state == 0 || slot == kShieldBurstSlot) continue;
    (slot < kFirstSubShotSlot ? r.mainShots : r.otherShots) += 1;
  }
  r.shotSound = std::find(sounds.begin(), sounds.end(), 0) != sounds.end();
  const PlayerShot& burst = PlayerShots[kShieldBurstSlot];
  r.burst = burst.state > 0 && burst.type == kShieldBurstShot;
  for (const Item& item : Items) r.shieldItem |= item.state > 0 && item.kind == kItemShield;
  for (const EnemyShot& s : EnemyShots) {
    r.turretShotSpent |=
        s.state == 3 && s.type == kTurretShot && std::hypot(s.x - PlayerX, s.y - PlayerY) < 24;
  }
  return r;
}

// The first frame after `after` whose change from the frame before passes the test, or -1.
template <typename Test>
int FirstFrame(const std::vector<FrameRecord>& frames, int after, Test test) {
  for (int i = std::max(after + 1, 1); i < static_cast<int>(frames.size()); ++i)
    if (test(frames[i - 1], frames[i])) return i;
  return -1;
}

TEST(Session, ThePlayedSessionMeetsItsEventsInOrder) {
  const SessionOnTestStage testStage;
  GameDriver driver(SessionOptions(true));
  driver.digestFrames = false;
  ASSERT_TRUE(StartSession(driver));
  EXPECT_EQ(CurrentStage, kSessionStage);
  EXPECT_EQ(GetPlayMode(), 0);
  EXPECT_EQ(Credits, 9);
  EXPECT_EQ(Lives, 3);

  std::vector<FrameRecord> f;
  SoundRequestRecorder sounds;
  for (int i = 0; i < kSessionFrames && driver.running() && CurrentScene == kScenePlay; ++i) {
    driver.Step(SessionInput(i));
    f.push_back(Record(sounds.Take()));
  }
  ASSERT_GT(f.size(), static_cast<size_t>(kSessionDiveStart));

  // Moves and banks: up with the bank below level, down with it above, to the right on screen.
  int lowestBank = 31, highestBank = 31;
  for (int i = 80; i < 100; ++i) lowestBank = std::min(lowestBank, f[i].bank);
  for (int i = 100; i < 120; ++i) highestBank = std::max(highestBank, f[i].bank);
  EXPECT_LT(lowestBank, 31);
  EXPECT_GT(highestBank, 31);
  EXPECT_LT(f[99].shipY, f[79].shipY);
  EXPECT_GT(f[119].shipY, f[99].shipY);
  EXPECT_GT(f[139].shipX - f[139].cameraX, f[79].shipX - f[79].cameraX + 40);

  // Fires: main-weapon shots in slots 0..63 (with the sub weapon's above them) and their sound
  // once Shot is held, the pad read a frame on; nothing before.
  EXPECT_EQ(f[kSessionShotStart].mainShots + f[kSessionShotStart].otherShots, 0);
  EXPECT_FALSE(f[kSessionShotStart].shotSound);
  EXPECT_GT(f[kSessionShotStart + 1].mainShots, 0);
  EXPECT_TRUE(f[kSessionShotStart + 1].shotSound);

  // The boxes shot down, their power-ups taken, then the shield's: the ship met its item.
  const int shielded =
      FirstFrame(f, 0, [](auto& a, auto& b) { return a.shield == 0 && b.shield == 8; });
  ASSERT_GT(shielded, kSessionShotStart);
  EXPECT_LT(shielded, kSessionShotEnd);
  EXPECT_TRUE(f[shielded - 1].shieldItem);
  EXPECT_FALSE(f[shielded].shieldItem);
  EXPECT_EQ(f[shielded].mainLevel, 3);

  // A turret's shot bursts on the shield: the burst in slot 138, the level 7, counting down to
  // 0 while the ship is untouchable, and no life lost.
  const int burst =
      FirstFrame(f, shielded, [](auto& a, auto& b) { return a.shield == 8 && b.shield != 8; });
  ASSERT_GT(burst, 0);
  EXPECT_EQ(f[burst].shield, 7);
  EXPECT_TRUE(f[burst].burst);
  EXPECT_TRUE(f[burst].turretShotSpent);
  EXPECT_EQ(f[burst + 7].shield, 0);
  EXPECT_EQ(f[burst + 7].lives, 3);

  // A later shot costs a life and two levels of the main weapon.
  const int death = FirstFrame(f, burst, [](auto& a, auto& b) { return b.lives < a.lives; });
  ASSERT_GT(death, burst + 7);
  EXPECT_LT(death, kSessionDiveStart);
  EXPECT_EQ(f[death].lives, 2);
  EXPECT_TRUE(f[death].turretShotSpent);
  EXPECT_EQ(f[death].mainLevel, 1);
  EXPECT_EQ(f[death].deathTimer, 2);  // 1 at the hit, counted on at the frame's end

  // Back at the checkpoint when the count passes 80 (its 81st step, 79 frames after the hit's),
  // with the opening count to run again; the ship stayed where it died until then.
  const int back =
      FirstFrame(f, death, [](auto& a, auto& b) { return a.deathTimer > 0 && b.deathTimer == 0; });
  EXPECT_EQ(back, death + 79);
  EXPECT_EQ(f[back - 1].shipX, f[death].shipX);
  EXPECT_EQ(f[back].shipX, CheckpointX[0]);
  EXPECT_EQ(f[back].shipY, CheckpointY[0]);
  EXPECT_EQ(f[back].gameFrame, -80);

  // Diving into the floor takes the last two lives; then the game over begins.
  const int second =
      FirstFrame(f, kSessionDiveStart, [](auto& a, auto& b) { return b.lives < a.lives; });
  ASSERT_GT(second, 0);
  EXPECT_EQ(f[second].lives, 1);
  EXPECT_GE(f[second].shipY, 17 * 40 - 20);
  const int third = FirstFrame(f, second, [](auto& a, auto& b) { return b.lives < a.lives; });
  ASSERT_GT(third, second + 79);
  EXPECT_EQ(f[third].lives, 0);
  EXPECT_EQ(CurrentScene, kSceneGameOver);
  EXPECT_EQ(static_cast<int>(f.size()) - 1, third + 79);
}

}  // namespace

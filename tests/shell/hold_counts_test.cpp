// Hold counts from the port's keyboard and virtual joypad, sampled by whole frames of the game:
// the counting rules by situation (menu, live play, pause, playback), the merge of keys into
// pad bits, the replay byte, and the playback controls.
#include <gtest/gtest.h>

#include <vector>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"

namespace {

// DirectInput key codes of the default assignments and a few others.
constexpr int kKeyEscape = 1;
constexpr int kKeyZ = 44;        // Shot
constexpr int kKeyX = 45;        // ChargeWeapon
constexpr int kKeyP = 25;        // ScreenShot
constexpr int kKeyR = 19;        // BackToTitle
constexpr int kKeyNumpad4 = 75;  // Left
constexpr int kKeyLeft = 203;
constexpr int kKeyReturn = 28;
constexpr int kKeyA = 30;
// Pad-mask bits of the defaults.
constexpr uint32_t kPadLeft = 1u << 1;
constexpr uint32_t kPadShot = 1u << 4;
constexpr uint32_t kPadCharge = 1u << 5;

// A started game standing on its logo scene.
void Boot(GameDriver& driver) {
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  ASSERT_EQ(CurrentScene, kSceneLogo);
}

void ZeroCounts() {
  for (int32_t& c : KeyHoldCounts) c = 0;
  for (int32_t& c : ButtonHoldCounts) c = 0;
}

void EnterPlay(int16_t mode) {
  MenuCursors[0] = mode;
  CurrentScene = kScenePlay;
  CurrentStage = 2;
  GameFrame = 0;
  ReplayPosition = 0;
}

struct Counts {
  int32_t z, p, shot, left, right;
  bool operator==(const Counts&) const = default;
};

void PrintTo(const Counts& c, std::ostream* os) {
  *os << "{Z " << c.z << ", P " << c.p << ", Shot " << c.shot << ", Left " << c.left << ", Right "
      << c.right << "}";
}

TEST(HoldCounts, CountingRulesBySituation) {
  struct Case {
    const char* name;
    int32_t scene;
    int16_t mode;
    uint8_t paused;
    std::vector<Counts> frames;  // after each of three frames
    int32_t position;            // ReplayPosition after them
    std::vector<uint8_t> stream;
  };
  // Held all three frames: Z (Shot key) and P (ScreenShot key), the pad's Left and Shot.
  // The stream starts as 0x04 0x04 0x00 (Right, Right, nothing).
  const Case cases[] = {
      {"menu: everything counts; a key and a pad bit of one role merge by the larger",
       kSceneTitleMenu,
       0,
       0,
       {{1, 1, 1, 1, 0}, {2, 2, 2, 2, 0}, {3, 3, 3, 3, 0}},
       0,
       {0x04, 0x04, 0x00}},
      {"live play: counts as in the menu, and each frame's byte is recorded",
       kScenePlay,
       0,
       0,
       {{1, 1, 1, 1, 0}, {2, 2, 2, 2, 0}, {3, 3, 3, 3, 0}},
       3,
       {0x11, 0x11, 0x11}},
      {"paused: only the always-live keys count, nothing is recorded",
       kScenePlay,
       0,
       1,
       {{0, 1, 0, 0, 0}, {0, 2, 0, 0, 0}, {0, 3, 0, 0, 0}},
       0,
       {0x04, 0x04, 0x00}},
      {"playback: the stream drives the roles, devices only the always-live keys",
       kScenePlay,
       1,
       0,
       {{0, 1, 0, 0, 1}, {0, 2, 0, 0, 2}, {0, 3, 0, 0, 0}},
       3,
       {0x04, 0x04, 0x00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameDriver driver;
    Boot(driver);
    EnterPlay(c.mode);
    CurrentScene = c.scene;
    GamePaused = c.paused;
    ReplayBuffer[0] = 0x04, ReplayBuffer[1] = 0x04, ReplayBuffer[2] = 0x00;
    ZeroCounts();
    std::vector<Counts> seen;
    for (int i = 0; i < 3; ++i) {
      driver.Step({{kKeyZ, kKeyP}, kPadLeft | kPadShot});
      seen.push_back({KeyHoldCounts[kKeyZ], KeyHoldCounts[kKeyP], GetButtonHoldCount(4),
                      GetButtonHoldCount(1), GetButtonHoldCount(2)});
    }
    EXPECT_EQ(seen, c.frames);
    EXPECT_EQ(ReplayPosition, c.position);
    EXPECT_EQ(std::vector<uint8_t>(ReplayBuffer, ReplayBuffer + 3), c.stream);
  }
}

TEST(HoldCounts, AKeyHeldThroughAPauseGoesOnCountingAfterIt) {
  GameDriver driver;
  Boot(driver);
  EnterPlay(0);
  const FrameInput z{{kKeyZ}};
  driver.Run(2, [&](int) { return z; });
  EXPECT_EQ(KeyHoldCounts[kKeyZ], 2);
  GamePaused = 1;
  driver.Run(5, [&](int) { return z; });
  EXPECT_EQ(KeyHoldCounts[kKeyZ], 2);
  EXPECT_EQ(GetButtonHoldCount(4), 2);
  GamePaused = 0;
  driver.Step(z);
  EXPECT_EQ(KeyHoldCounts[kKeyZ], 3);
  EXPECT_EQ(GetButtonHoldCount(4), 3);
}

TEST(HoldCounts, Reads) {
  GameDriver driver;
  Boot(driver);

  // Counts stop at 9999.
  KeyHoldCounts[kKeyZ] = 9998;
  ButtonHoldCounts[4] = 9998;
  driver.Run(2, [](int) { return FrameInput{{kKeyZ}, kPadShot}; });
  EXPECT_EQ(KeyHoldCounts[kKeyZ], 9999);
  EXPECT_EQ(GetButtonHoldCount(4), 9999);
  EXPECT_EQ(GetKeyHoldCount(kKeyZ + 256), 9999);  // the low 8 bits name the key
  for (int bit : {16, -1, 1000}) EXPECT_EQ(GetButtonHoldCount(bit), -1) << bit;

  // The arrow keys steer besides the configured keys, except on the key-configuration page,
  // where the configured ones are being reassigned.
  driver.Step({});
  driver.Step({{kKeyLeft}});
  EXPECT_EQ(GetButtonHoldCount(1), 1);
  driver.Step({{kKeyNumpad4}});
  EXPECT_EQ(GetButtonHoldCount(1), 1);  // the arrow went up as NUMPAD4 went down
  CurrentScene = kSceneTitleMenu;
  MenuPage = 6;
  driver.Step({{kKeyNumpad4}});
  EXPECT_EQ(KeyHoldCounts[kKeyNumpad4], 2);
  EXPECT_EQ(GetButtonHoldCount(1), 0);
  MenuPage = 0;

  // The key page's scan takes the first key of its list: RETURN comes before the letters;
  // the arrows are not in it.
  driver.Step({{kKeyA, kKeyReturn}});
  EXPECT_EQ(GetFirstPressedKey(), kKeyReturn);
  driver.Step({{kKeyA}});
  EXPECT_EQ(GetFirstPressedKey(), kKeyA);
  driver.Step({{kKeyLeft}});
  EXPECT_EQ(GetFirstPressedKey(), 0);
}

TEST(HoldCounts, StageStartClearsTheMovesAndHoldsChargeAndChangeAsHeld) {
  GameDriver driver;
  Boot(driver);
  for (int32_t& c : KeyHoldCounts) c = 50;
  for (int32_t& c : ButtonHoldCounts) c = 50;
  ResetButtonsForStageStart();
  for (int bit : {1, 3, 2, 0, 4}) EXPECT_EQ(ButtonHoldCounts[bit], 0) << bit;
  for (int bit : {5, 6}) EXPECT_EQ(ButtonHoldCounts[bit], 2) << bit;
  for (int bit : {7, 8, 9}) EXPECT_EQ(ButtonHoldCounts[bit], 50) << bit;
  for (int key : {75, 72, 77, 80, 44, 203, 200, 205, 208}) EXPECT_EQ(KeyHoldCounts[key], 0) << key;
  for (int key : {45, 46}) EXPECT_EQ(KeyHoldCounts[key], 2) << key;
  for (int key : {25, 19, 16, kKeyEscape}) EXPECT_EQ(KeyHoldCounts[key], 50) << key;
}

TEST(HoldCounts, PlaybackControls) {
  struct Case {
    const char* name;
    uint8_t demo;
    FrameInput held;
    int32_t position;
    int32_t scene;  // after the frame: 1 is the way back to the title
    int16_t fastForward;
  };
  const Case cases[] = {
      {"nothing held", 0, {}, 0, kScenePlay, 0},
      {"Shot on the pad fast-forwards", 0, {{}, kPadShot}, 0, kScenePlay, 1},
      {"Shot on the keyboard too", 0, {{kKeyZ}}, 0, kScenePlay, 1},
      {"ChargeWeapon ends the replay", 0, {{kKeyX}}, 0, kSceneTitleVisit, 0},
      {"both: ChargeWeapon wins", 0, {{kKeyZ}, kPadCharge}, 0, kSceneTitleVisit, 0},
      {"the end of the stream ends it", 0, {}, kReplayBufferSize, kSceneTitleVisit, 0},
      {"demo, nothing held", 1, {}, 0, kScenePlay, 0},
      {"demo, Shot ends it", 1, {{}, kPadShot}, 0, kSceneTitleVisit, 0},
      {"demo, ChargeWeapon ends it", 1, {{kKeyX}}, 0, kSceneTitleVisit, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameDriver driver;
    Boot(driver);
    Difficulty = 0;
    DemoSavedDifficulty = 0;
    EnterPlay(1);
    DemoPlaying = c.demo;
    if (c.demo) Difficulty = 2;
    ReplayPosition = c.position;
    driver.Step(c.held);
    EXPECT_EQ(CurrentScene, c.scene);
    EXPECT_EQ(FastForwardRequest, c.fastForward);
    if (c.demo) { EXPECT_EQ(Difficulty, c.scene == kScenePlay ? 2 : 0); }
  }
}

}  // namespace

// Music: the eleven sets and their slots, loading the loaded set or another, switching and
// stopping slots, the warning's hand-over to the boss music, muting, the volume with its fade,
// the sets that the stage start picks, and the data kit's music.
#include <string>

#include "stg_src/field/stage_state.h"
#include "tests/shell/game_sound_fixture.h"

namespace {

constexpr const char* kMusicFiles[] = {
    "boss",    "stage1",   "stage2",  "stage3", "stage4",   "stage5", "stage6",
    "warning", "lastboss", "goodend", "badend", "gameover", "select",
};

// Each fixture file has a length of its own, so a slot's length names the file in it.
int FixtureFrames(const std::string& name) {
  for (int i = 0; i < static_cast<int>(std::size(kMusicFiles)); ++i)
    if (name == kMusicFiles[i]) return (i + 4) * 2205;
  return 0;
}

int TotalFrames(int handle) { return GetSoundTotalSamples(handle); }

class MusicTest : public GameSoundTest {
 protected:
  explicit MusicTest(bool withWarning = true) : withWarning_(withWarning) {}

  void WriteFixtures() override {
    for (const char* name : kMusicFiles) {
      if (!withWarning_ && std::string(name) == "warning") continue;
      WriteFile(std::string("data/music/") + name + ".ogg",
                EncodeOggVorbis(Tone(FixtureFrames(name)), 1, kRate));
    }
  }

  // The play scene's request, as it makes it every frame on stages 1 and 2 (the warning's end
  // moving the fight on), then the frame's output.
  static void PlayFrame() {
    if (SwitchMusicSlot(BossState)) BossState = 2;
    Output();
  }

  bool withWarning_;
};

class MissingWarningTest : public MusicTest {
 protected:
  MissingWarningTest() : MusicTest(false) {}
};

TEST_F(MusicTest, EachSetFillsItsSlots) {
  struct Slot {
    const char* file;  // null: empty
    int playType;
  };
  const Slot none = {nullptr, -1};
  const Slot warning = {"warning", 1};
  const Slot boss = {"boss", 3};
  const Slot sets[kMusicSets][kMusicSlots] = {
      {boss, none, none},
      {{"stage1", 3}, warning, boss},
      {{"stage2", 3}, warning, boss},
      {{"stage3", 3}, warning, boss},
      {{"stage4", 3}, warning, boss},
      {{"stage5", 3}, warning, boss},
      {{"stage6", 3}, warning, {"lastboss", 3}},
      {{"goodend", 1}, none, none},
      {{"badend", 1}, none, none},
      {{"gameover", 1}, none, none},
      {{"select", 3}, none, none},
  };
  LoadMusicSet(11);  // the boot loaded set 0
  for (int set = 0; set < kMusicSets; ++set) {
    SCOPED_TRACE(testing::Message() << "set " << set);
    const int32_t before = MusicHandles[0];
    MusicFade = 200;
    CurrentMusicSlot = 0;
    LoadMusicSet(set);
    EXPECT_EQ(CurrentMusicSet, set);
    EXPECT_EQ(CurrentMusicSlot, -1);
    EXPECT_EQ(MusicFade, 1000);
    EXPECT_EQ(IsSoundPlaying(before), -1);  // the previous set's sound is deleted
    for (int slot = 0; slot < kMusicSlots; ++slot) {
      const Slot& want = sets[set][slot];
      EXPECT_EQ(MusicPlayTypes[slot], want.playType) << "slot " << slot;
      if (want.file) {
        EXPECT_EQ(TotalFrames(MusicHandles[slot]), FixtureFrames(want.file)) << "slot " << slot;
        EXPECT_FALSE(Playing(MusicHandles[slot]));  // loading starts nothing
      } else {
        EXPECT_EQ(MusicHandles[slot], 0) << "slot " << slot;
      }
    }
  }
  // A set number outside the table empties the slots and loads nothing.
  const int32_t before = MusicHandles[0];
  LoadMusicSet(-2);
  EXPECT_EQ(IsSoundPlaying(before), -1);
  EXPECT_EQ(CurrentMusicSet, -2);
  for (int slot = 0; slot < kMusicSlots; ++slot) {
    EXPECT_EQ(MusicHandles[slot], 0);
    EXPECT_EQ(MusicPlayTypes[slot], -1);
  }
  SwitchMusicSlot(0);
  EXPECT_EQ(CurrentMusicSlot, 0);
}

TEST_F(MusicTest, TheLoadedSetKeepsPlayingAnotherSetStopsIt) {
  LoadMusicSet(1);
  SwitchMusicSlot(0);
  for (int f = 0; f < 5; ++f) Output();
  const int32_t track = MusicHandles[0];
  const int position = GetSoundPositionMs(track);
  ASSERT_TRUE(Playing(track));
  ASSERT_GT(position, 50);

  LoadMusicSet(1);
  EXPECT_EQ(MusicHandles[0], track);
  EXPECT_EQ(CurrentMusicSlot, 0);
  Output();
  EXPECT_TRUE(Playing(track));
  EXPECT_GT(GetSoundPositionMs(track), position);  // not restarted

  LoadMusicSet(2);
  EXPECT_EQ(IsSoundPlaying(track), -1);
  for (int32_t handle : MusicHandles) EXPECT_FALSE(Playing(handle));
  EXPECT_EQ(CurrentMusicSlot, -1);
}

TEST_F(MusicTest, SwitchingAndStoppingSlots) {
  LoadMusicSet(3);
  // Stopping with no slot current only leaves none current.
  StopMusicSlot();
  EXPECT_EQ(CurrentMusicSlot, -1);

  SwitchMusicSlot(0);
  Output();
  Output();
  const int position = GetSoundPositionMs(MusicHandles[0]);
  // The current slot asked again runs on; requests outside 0..3 change nothing.
  for (int request : {0, -1, 4, 100}) {
    SwitchMusicSlot(request);
    EXPECT_EQ(CurrentMusicSlot, 0) << request;
  }
  Output();
  EXPECT_GT(GetSoundPositionMs(MusicHandles[0]), position);

  // 3 is the boss slot; the track stops for it.
  SwitchMusicSlot(3);
  EXPECT_EQ(CurrentMusicSlot, 2);
  EXPECT_FALSE(Playing(MusicHandles[0]));
  EXPECT_TRUE(Playing(MusicHandles[2]));

  StopMusicSlot();
  EXPECT_EQ(CurrentMusicSlot, -1);
  EXPECT_FALSE(Playing(MusicHandles[2]));

  // An empty slot of another set becomes current, and nothing plays.
  LoadMusicSet(7);
  SwitchMusicSlot(0);
  SwitchMusicSlot(2);
  EXPECT_EQ(CurrentMusicSlot, 2);
  EXPECT_FALSE(Playing(MusicHandles[0]));
}

TEST_F(MusicTest, TheWarningPlayedToItsEndHandsOverToTheBossMusic) {
  LoadMusicSet(1);
  BossState = 1;
  int frames = 0;
  while (BossState == 1 && frames < 200) {
    const bool warningPlayed = CurrentMusicSlot == 1 && !Playing(MusicHandles[1]);
    PlayFrame();
    ++frames;
    if (BossState == 2) {
      // The same call that saw the warning's end starts the boss music.
      EXPECT_TRUE(warningPlayed);
      EXPECT_EQ(CurrentMusicSlot, 2);
      EXPECT_TRUE(Playing(MusicHandles[2]));
      EXPECT_FALSE(Playing(MusicHandles[1]));
    } else {
      EXPECT_EQ(CurrentMusicSlot, 1);
    }
  }
  // 0.35 s of warning at 17 ms a frame.
  EXPECT_GE(frames, FixtureFrames("warning") * 1000 / kRate / 17);
  EXPECT_LE(frames, FixtureFrames("warning") * 1000 / kRate / 17 + 3);

  // The play scene's next requests ask for slot 2 and change nothing.
  const int position = GetSoundPositionMs(MusicHandles[2]);
  PlayFrame();
  PlayFrame();
  EXPECT_EQ(BossState, 2);
  EXPECT_GT(GetSoundPositionMs(MusicHandles[2]), position);

  // A beaten boss (-1) leaves the boss music running.
  BossState = -1;
  PlayFrame();
  EXPECT_EQ(CurrentMusicSlot, 2);
  EXPECT_TRUE(Playing(MusicHandles[2]));
}

TEST_F(MusicTest, OnlyStageSetsHandOver) {
  for (int set : {0, 7, 10}) {
    SCOPED_TRACE(set);
    LoadMusicSet(set);
    BossState = 1;
    PlayFrame();
    PlayFrame();
    EXPECT_EQ(BossState, 1);
    EXPECT_EQ(CurrentMusicSlot, 1);
  }
}

TEST_F(MusicTest, MutedMusicStartsNothingAndTheWarningNeverHandsOver) {
  MusicVolume = 0;
  LoadMusicSet(2);
  SwitchMusicSlot(0);
  EXPECT_EQ(CurrentMusicSlot, -1);
  EXPECT_FALSE(Playing(MusicHandles[0]));

  // Muted during the warning: it plays out silent and the boss state stays at 1.
  MusicVolume = 100;
  BossState = 1;
  PlayFrame();
  ASSERT_TRUE(Playing(MusicHandles[1]));
  MusicVolume = 0;
  for (int f = 0; f < 40; ++f) PlayFrame();
  EXPECT_FALSE(Playing(MusicHandles[1]));
  EXPECT_EQ(BossState, 1);
  EXPECT_EQ(CurrentMusicSlot, 1);
  EXPECT_FALSE(Playing(MusicHandles[2]));

  // The first request after the volume is raised goes on as usual.
  MusicVolume = 50;
  PlayFrame();
  EXPECT_EQ(BossState, 2);
  EXPECT_TRUE(Playing(MusicHandles[2]));
}

TEST_F(MissingWarningTest, AMissingWarningHandsOverAtOnce) {
  LoadMusicSet(4);
  EXPECT_EQ(MusicHandles[1], -1);
  EXPECT_EQ(MusicPlayTypes[1], 1);
  BossState = 1;
  PlayFrame();
  EXPECT_EQ(CurrentMusicSlot, 1);
  PlayFrame();
  EXPECT_EQ(BossState, 2);
  EXPECT_EQ(CurrentMusicSlot, 2);
  EXPECT_TRUE(Playing(MusicHandles[2]));
}

TEST_F(MusicTest, TheMusicVolumeTakesTheFade) {
  LoadMusicSet(5);
  struct Case {
    int16_t percent;
    int16_t fade;
    int volume;
  };
  // Left to right in integers: 75 x 255 / 100 is 191 before the fade applies.
  for (const Case& c : {Case{75, 1000, 191}, Case{75, 999, 190}, Case{50, 500, 63},
                        Case{100, 1000, 255}, Case{0, 1000, 0}}) {
    SCOPED_TRACE(testing::Message() << c.percent << " at " << c.fade);
    MusicVolume = c.percent;
    MusicFade = c.fade;
    ApplyMusicVolume();
    for (int32_t handle : MusicHandles)
      EXPECT_EQ(GetSoundEntry(handle)->volume, SoundVolumeToAttenuation(c.volume));
  }
  // Loading a set puts the fade back to 1000 and applies the volume.
  MusicVolume = 75;
  MusicFade = 10;
  LoadMusicSet(6);
  for (int32_t handle : MusicHandles)
    EXPECT_EQ(GetSoundEntry(handle)->volume, SoundVolumeToAttenuation(191));
}

TEST_F(MusicTest, TheStageStartLoadsTheStagesSet) {
  struct Case {
    int16_t stage;
    int16_t credits;
    int set;
    const char* track;
  };
  const Case cases[] = {
      {1, 9, 1, "stage1"},  {2, 9, 2, "stage2"}, {3, 5, 3, "stage3"},
      {4, 9, 4, "stage4"},  {5, 9, 5, "stage5"}, {6, 0, 6, "stage6"},
      {7, 9, 7, "goodend"}, {7, 8, 8, "badend"}, {7, 9, 7, "goodend"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "stage " << c.stage << ", credits " << c.credits);
    CurrentScene = kSceneStageStart;
    CurrentStage = c.stage;
    Credits = c.credits;
    ASSERT_TRUE(driver_.Step());
    ASSERT_EQ(CurrentScene, kScenePlay);
    EXPECT_EQ(CurrentMusicSet, c.set);
    EXPECT_EQ(TotalFrames(MusicHandles[0]), FixtureFrames(c.track));
  }
}

TEST_F(MusicTest, TheReleaseAtProgramEndDeletesTheMusic) {
  LoadMusicSet(1);
  SwitchMusicSlot(0);
  const int32_t track = MusicHandles[0];
  const int32_t boss = MusicHandles[2];
  ReleaseGameSounds();
  EXPECT_EQ(IsSoundPlaying(track), -1);
  EXPECT_EQ(IsSoundPlaying(boss), -1);
  for (int slot = 0; slot < kMusicSlots; ++slot) {
    EXPECT_EQ(MusicHandles[slot], 0);
    EXPECT_EQ(MusicPlayTypes[slot], -1);
  }
}

// The generated data kit's music: every file of every set loads.
class KitMusicTest : public GameSoundTest {
 protected:
  static GameDriver::Options KitOptions() {
    GameDriver::Options options;
    options.kit = "music";
    return options;
  }
  KitMusicTest() : GameSoundTest(KitOptions()) {}
};

TEST_F(KitMusicTest, EveryKitFileLoadsThroughItsSet) {
  for (int set = 0; set < kMusicSets; ++set) {
    SCOPED_TRACE(testing::Message() << "set " << set);
    LoadMusicSet(set);
    for (int slot = 0; slot < kMusicSlots; ++slot) {
      if (MusicPlayTypes[slot] == -1) continue;
      EXPECT_GT(MusicHandles[slot], 0) << "slot " << slot;
      EXPECT_GT(TotalFrames(MusicHandles[slot]), kRate) << "slot " << slot;
    }
    SwitchMusicSlot(0);
    Output();
    EXPECT_TRUE(Playing(MusicHandles[0]));
  }
}

}  // namespace

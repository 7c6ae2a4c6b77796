// LoadStage's sound step: the stage's effect slots stopped and deleted, the stage's own files
// loaded with three buffers, and stage 4's quieter death sounds.
#include <string>

#include <gtest/gtest.h>

#include "port/dsound/dsound.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/shell/stage_load.h"
#include "tests/game_support/field_fixture.h"
#include "tests/support/sound_files.h"

namespace {

HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<intptr_t>(0x5678)); }
int NoMessages() { return 0; }
void IgnoreFatal(const char*) {}

class StageSoundsTest : public testing::Test {
 protected:
  void SetUp() override {
    PortSetManualAudio(true, 44100);
    savedProcessors_ = gSystemState.logicalProcessorCount;
    gSystemState.logicalProcessorCount = 1;
    SetSoundPlatformLinks(SoundPlatformLinks{&FakeWindow, &NoMessages, &IgnoreFatal});
    ASSERT_EQ(InitSound(), 0);
    const Bytes wav = PcmWavFile(16, 1, 44100, Bytes(8820, 0));
    const std::string text(wav.begin(), wav.end());
    for (const char* dir : {"data/se/stage1", "data/se/stage6"}) field.folder().MakeDirectory(dir);
    for (const char* file :
         {"data/se/stage1/don.wav", "data/se/stage6/granade.wav", "data/se/enemy_death0.wav",
          "data/se/enemy_death1.wav", "data/se/enemy_death2.wav"}) {
      field.folder().WriteFile(file, text);
    }
  }
  void TearDown() override {
    ShutdownSound();
    SetSoundPlatformLinks(SoundPlatformLinks{});
    gSystemState.logicalProcessorCount = savedProcessors_;
    PortResetSoundSwitches();
  }

  FieldFixture field;
  int savedProcessors_ = 0;
};

TEST_F(StageSoundsTest, TheStageSlotsAreReplacedByTheStagesFiles) {
  SoundEffectVolume = 80;
  int old[kSoundEffectSlots] = {};
  for (int slot = 49; slot <= 54; ++slot) {
    old[slot] = LoadSoundFile("data/se/stage1/don.wav", 1, -1);
    ASSERT_NE(old[slot], -1);
    SoundEffectHandles[slot] = old[slot];
  }
  SoundEffectHandles[20] = LoadSoundFile("data/se/stage1/don.wav", 1, -1);
  ASSERT_EQ(PlaySoundHandle(old[50], SoundPlayLoop, 1), 0);

  field.WriteStageMaps(4, PlainBackgroundDescription(), FieldMapDescription(20, 10, 5, ""));
  InitStageParameters(4);
  ASSERT_EQ(LoadStage(4), 1);

  for (int slot = 49; slot <= 54; ++slot) EXPECT_EQ(GetSoundEntry(old[slot]), nullptr) << slot;
  EXPECT_NE(GetSoundEntry(SoundEffectHandles[20]), nullptr);
  for (int slot = 49; slot <= 52; ++slot) {
    const SoundEntry* entry = GetSoundEntry(SoundEffectHandles[slot]);
    ASSERT_NE(entry, nullptr) << slot;
    EXPECT_EQ(entry->bufferCount, 3);
    // The stage's slots take the effect volume, and stage 4's death sounds an eighth of it.
    const int volume = slot == 49 ? 80 * 255 / 100 : 80 * 255 / 800;
    EXPECT_EQ(entry->volume, SoundVolumeToAttenuation(volume)) << slot;
  }
  // Slots the stage does not load keep their deleted handles.
  EXPECT_EQ(SoundEffectHandles[53], old[53]);
  EXPECT_EQ(SoundEffectHandles[54], old[54]);
}

}  // namespace

// A busy moment of the game played through the port's mixer on its manual output: each piece of
// music with shots, explosions and the title's beam all at once must not clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "port/dsound/dsound.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "tests/datakit/kit_sound_files.h"

namespace {

HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<intptr_t>(0x5678)); }
int NoMessages() { return 0; }
void IgnoreFatal(const char*) {}

class KitMixTest : public testing::Test {
 protected:
  void SetUp() override {
    PortSetManualAudio(true, 44100);
    savedProcessors_ = gSystemState.logicalProcessorCount;
    gSystemState.logicalProcessorCount = 1;  // no service thread: the test moves the output
    SetSoundPlatformLinks(SoundPlatformLinks{&FakeWindow, &NoMessages, &IgnoreFatal});
    ASSERT_EQ(InitSound(), 0);
  }
  void TearDown() override {
    ShutdownSound();
    SetSoundPlatformLinks(SoundPlatformLinks{});
    gSystemState.logicalProcessorCount = savedProcessors_;
    PortResetSoundSwitches();
  }
  int savedProcessors_ = 0;
};

// As the game loads its sounds (three buffers, full volume: the settings' default of 100).
int Load(const std::vector<uint8_t>& image) {
  const int handle = LoadSoundFromMemory(image.data(), static_cast<int>(image.size()), 3, -1);
  EXPECT_NE(handle, -1);
  if (handle != -1) SetSoundVolume(255, handle);
  return handle;
}

// As the game plays a requested effect: stopped when it plays, then again from the top.
void Trigger(int handle) {
  if (IsSoundPlaying(handle) == 1) StopSoundHandle(handle);
  PlaySoundHandle(handle, SoundPlayBackground, 1);
}

TEST_F(KitMixTest, MusicWithShotsExplosionsAndBeamsTogetherDoesNotClip) {
  const auto files = BuildKitFilesByPath(
      "data/music/*,data/se/jiki/m1.wav,data/se/jiki/s1.wav,data/se/jiki/c3.wav,"
      "data/se/enemy_death2.wav,data/se/boss_death.wav,data/se/op/beam1.wav");
  const int mainShot = Load(files.at("data/se/jiki/m1.wav"));
  const int subShot = Load(files.at("data/se/jiki/s1.wav"));
  const int charge = Load(files.at("data/se/jiki/c3.wav"));
  const int blast = Load(files.at("data/se/enemy_death2.wav"));
  const int bossBlast = Load(files.at("data/se/boss_death.wav"));
  const int beam = Load(files.at("data/se/op/beam1.wav"));
  constexpr int kFrameSamples = 750;  // 17 ms at 44,100 Hz
  constexpr int kFrames = 300;        // five seconds from the start of each piece
  int tracks = 0;
  for (const auto& [path, image] : files) {
    if (path.rfind("data/music/", 0) != 0) continue;
    SCOPED_TRACE(path);
    ++tracks;
    const int music = Load(image);
    ASSERT_EQ(PlaySoundHandle(music, SoundPlayLoop, 1), 0);
    long clipped = 0;
    int peak = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
      // Shots restart every third frame, blasts overlap, a boss goes up every second and a half.
      if (frame % 3 == 0) Trigger(mainShot), Trigger(subShot);
      if (frame % 20 == 0) Trigger(blast);
      if (frame % 90 == 10) Trigger(bossBlast), Trigger(charge);
      if (frame % 60 == 30) Trigger(beam);
      std::vector<int16_t> out(2 * kFrameSamples);
      ASSERT_EQ(PortAdvanceManualAudio(kFrameSamples, out.data()), kFrameSamples);
      for (int16_t s : out) {
        if (s == 32767 || s == -32768) ++clipped;
        peak = std::max(peak, std::abs(int{s}));
      }
    }
    std::printf("%-26s busy moment peak %.3f of full scale\n", path.c_str(), peak / 32768.0);
    EXPECT_EQ(clipped, 0);
    // Loud enough that the check means something: the sounds did play together.
    EXPECT_GT(peak, 32768 / 2);
    StopSoundHandle(music);
    DeleteSoundHandle(music);
  }
  EXPECT_EQ(tracks, 13);
}

}  // namespace

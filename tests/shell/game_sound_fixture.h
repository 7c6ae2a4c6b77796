// The game booted on the manual sound back-end for the sound-effect and music tests: frames are
// stepped by hand in the frame loop's order, each followed by one frame of output and a refill
// of the stream sounds, so that what plays is decided by the frames alone. Sounds are loaded
// as the game loads them (creation type 2, three buffers).
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "port/dsound/dsound.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/support/sound_files.h"

class GameSoundTest : public testing::Test {
 protected:
  static constexpr int kRate = 44100;
  static constexpr int kOutputPerFrame = kRate * 17 / 1000;
  static constexpr int32_t kIdleScene = 4321;  // a code with no step

  explicit GameSoundTest(GameDriver::Options options = {}) : driver_(options) {}

  void SetUp() override {
    driver_.folder().MakeDirectory("data");
    driver_.folder().MakeDirectory("data/music");
    WriteFixtures();
    ASSERT_EQ(driver_.Start(), 0);
    driver_.Run(2);  // boot and the logo set-up
    CurrentScene = kIdleScene;
    SoundEffectVolume = 100;
    MusicVolume = 100;
    SetSoundCreateType(2);
  }

  // Files the test writes before start-up.
  virtual void WriteFixtures() {}

  void WriteFile(const std::string& path, const Bytes& bytes) {
    driver_.folder().WriteFile(path, std::string(bytes.begin(), bytes.end()));
  }

  // 16-bit mono samples with no zero among them.
  static std::vector<int16_t> Tone(int frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) samples[i] = static_cast<int16_t>(i % 1000 + 1);
    return samples;
  }

  // One frame of output, then the refill that notices the end of a stream.
  static void Output() {
    std::vector<int16_t> mix(2 * kOutputPerFrame);
    PortAdvanceManualAudio(kOutputPerFrame, mix.data());
    UpdateStreamSounds();
  }

  // One frame of the loop's sound steps with these effect requests, then its output.
  static void EffectFrame(std::initializer_list<int> requests) {
    ClearSoundEffectRequests();
    for (int slot : requests) RequestSoundEffect(static_cast<int16_t>(slot));
    PlayRequestedSoundEffects();
    Output();
  }

  static bool Playing(int handle) { return IsSoundPlaying(handle) == 1; }
  // Started from the top in the frame just output: playing, and not a frame in.
  static bool StartedThisFrame(int handle) {
    return Playing(handle) && GetSoundPositionMs(handle) < 17;
  }

  GameDriver driver_;
};

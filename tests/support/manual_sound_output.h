// The port's manual sound output as the sound tests use it: on at 44,100 Hz for each test and
// read back frame by frame, with the PCM formats of the buffers that feed it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "port/win32.h"

WAVEFORMATEX PcmFormat(int bits, int channels, int rate);

// The manual output on at kRate for each test; the sound switches back at their defaults after.
class ManualSoundOutput : public testing::Test {
 protected:
  static constexpr int kRate = 44100;

  void SetUp() override;
  void TearDown() override;

  // The next `frames` frames of the mix, 16-bit stereo.
  static std::vector<int16_t> Advance(int frames);
};

#include "tests/support/manual_sound_output.h"

WAVEFORMATEX PcmFormat(int bits, int channels, int rate) {
  WAVEFORMATEX f = {};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = static_cast<WORD>(channels);
  f.nSamplesPerSec = static_cast<DWORD>(rate);
  f.wBitsPerSample = static_cast<WORD>(bits);
  f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  return f;
}

void ManualSoundOutput::SetUp() { PortSetManualAudio(true, kRate); }

void ManualSoundOutput::TearDown() { PortResetSoundSwitches(); }

std::vector<int16_t> ManualSoundOutput::Advance(int frames) {
  std::vector<int16_t> out(2 * static_cast<size_t>(frames));
  EXPECT_EQ(PortAdvanceManualAudio(frames, out.data()), frames);
  return out;
}

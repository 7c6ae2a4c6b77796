// Test signals for sound: PCM tones to feed buffers, and measures of what came out.
#pragma once

#include <cstdint>
#include <vector>

// `frames` frames of a sine of `hz` at `rate`, peak `amplitude` (in 16-bit units), as 16-bit
// signed PCM with `channels` interleaved copies, or as 8-bit unsigned PCM (amplitude / 256).
std::vector<uint8_t> MakeSinePcm(int bits, int channels, int rate, int frames, double hz,
                                 double amplitude);

// One channel (0 left, 1 right) of interleaved 16-bit stereo.
std::vector<double> StereoChannel(const std::vector<int16_t>& stereo, int channel);

struct ToneMeasure {
  double frequency;   // Hz, from the rising zero crossings (interpolated)
  double amplitude;   // peak, from the RMS of a whole number of periods
  double distortion;  // RMS of what a pure sine of that frequency leaves over, / amplitude
};
ToneMeasure MeasureTone(const std::vector<double>& samples, int rate);

#include "tests/support/sound_signals.h"

#include <cmath>
#include <numbers>

std::vector<uint8_t> MakeSinePcm(int bits, int channels, int rate, int frames, double hz,
                                 double amplitude) {
  std::vector<uint8_t> pcm;
  pcm.reserve(static_cast<size_t>(frames) * channels * bits / 8);
  for (int i = 0; i < frames; ++i) {
    const double s = amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate);
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) {
        pcm.push_back(static_cast<uint8_t>(128 + std::lround(s / 256.0)));
      } else {
        const uint16_t v = static_cast<uint16_t>(static_cast<int16_t>(std::lround(s)));
        pcm.push_back(static_cast<uint8_t>(v & 0xFF));
        pcm.push_back(static_cast<uint8_t>(v >> 8));
      }
    }
  }
  return pcm;
}

std::vector<double> StereoChannel(const std::vector<int16_t>& stereo, int channel) {
  std::vector<double> out;
  out.reserve(stereo.size() / 2);
  for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2) out.push_back(stereo[i]);
  return out;
}

ToneMeasure MeasureTone(const std::vector<double>& s, int rate) {
  // Rising zero crossings, placed between samples by linear interpolation.
  std::vector<double> crossings;
  for (size_t i = 1; i < s.size(); ++i)
    if (s[i - 1] < 0 && s[i] >= 0)
      crossings.push_back(static_cast<double>(i - 1) + s[i - 1] / (s[i - 1] - s[i]));
  ToneMeasure m = {0, 0, 0};
  if (crossings.size() < 2) return m;
  const double periods = static_cast<double>(crossings.size() - 1);
  m.frequency = periods * rate / (crossings.back() - crossings.front());
  double sum = 0;
  const size_t first = static_cast<size_t>(std::ceil(crossings.front()));
  const size_t last = static_cast<size_t>(std::floor(crossings.back()));
  for (size_t i = first; i <= last; ++i) sum += s[i] * s[i];
  const double count = static_cast<double>(last - first + 1);
  m.amplitude = std::sqrt(2.0 * sum / count);
  // Least-squares fit of a sine at the measured frequency over the same whole periods.
  const double w = 2.0 * std::numbers::pi * m.frequency / rate;
  double a = 0, b = 0;
  for (size_t i = first; i <= last; ++i) {
    a += s[i] * std::sin(w * static_cast<double>(i));
    b += s[i] * std::cos(w * static_cast<double>(i));
  }
  a *= 2.0 / count;
  b *= 2.0 / count;
  double residual = 0;
  for (size_t i = first; i <= last; ++i) {
    const double e =
        s[i] - a * std::sin(w * static_cast<double>(i)) - b * std::cos(w * static_cast<double>(i));
    residual += e * e;
  }
  m.distortion = m.amplitude > 0 ? std::sqrt(residual / count) / m.amplitude : 0;
  return m;
}

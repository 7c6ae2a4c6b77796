#include "tools/datakit/sound_levels.h"

#include <algorithm>
#include <cmath>
#include <deque>

float RmsOf(const std::vector<float>& samples) {
  if (samples.empty()) return 0;
  double sum = 0;
  for (float s : samples) sum += double(s) * s;
  return static_cast<float>(std::sqrt(sum / samples.size()));
}

float LoudestWindowRms(const std::vector<float>& samples, int channels, size_t frames) {
  const size_t window = frames * static_cast<size_t>(channels);
  if (samples.size() <= window) return RmsOf(samples);
  double run = 0, best = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    run += double(samples[i]) * samples[i];
    if (i >= window) run -= double(samples[i - window]) * samples[i - window];
    if (i + 1 >= window) best = std::max(best, run);
  }
  return static_cast<float>(std::sqrt(std::max(best, 0.0) / window));
}

void LimitPeaks(std::vector<float>& samples, int channels, float ceiling, size_t radius,
                bool looped) {
  const size_t ch = static_cast<size_t>(channels);
  const size_t n = samples.size() / ch;
  if (n == 0) return;
  // The gain each frame needs on its own.
  std::vector<float> need(n);
  bool any = false;
  for (size_t i = 0; i < n; ++i) {
    float top = 0;
    for (size_t c = 0; c < ch; ++c) top = std::max(top, std::fabs(samples[i * ch + c]));
    need[i] = top > ceiling ? ceiling / top : 1.0f;
    any = any || need[i] < 1;
  }
  if (!any) return;
  // The least need within `radius` of each frame, then its mean over the same span: every frame
  // of the span needs no more than that least, so the mean never lets a peak through, and it
  // moves smoothly. Frames outside the sound need nothing, or wrap round a loop.
  const long r = static_cast<long>(radius), count = static_cast<long>(n);
  auto needAt = [&](long i) -> float {
    if (looped) return need[static_cast<size_t>(((i % count) + count) % count)];
    return i < 0 || i >= count ? 1.0f : need[static_cast<size_t>(i)];
  };
  // lows[k]: the least need around frame k - r, for frames -r .. n - 1 + r.
  std::vector<float> lows;
  lows.reserve(n + 2 * radius);
  std::deque<long> rising;  // frames whose needs rise from the front
  for (long i = -2 * r; i <= count - 1 + 2 * r; ++i) {
    while (!rising.empty() && needAt(rising.back()) >= needAt(i)) rising.pop_back();
    rising.push_back(i);
    if (rising.front() < i - 2 * r) rising.pop_front();
    if (i >= 0) lows.push_back(needAt(rising.front()));
  }
  double run = 0;
  for (long k = 0; k <= 2 * r; ++k) run += lows[static_cast<size_t>(k)];
  for (long i = 0; i < count; ++i) {
    if (i > 0) run += lows[static_cast<size_t>(i + 2 * r)] - lows[static_cast<size_t>(i - 1)];
    const float gain = static_cast<float>(run / (2 * r + 1));
    for (size_t c = 0; c < ch; ++c) samples[static_cast<size_t>(i) * ch + c] *= gain;
  }
}

void RemoveOffset(std::vector<float>& samples, int channels) {
  const size_t ch = static_cast<size_t>(channels);
  const size_t n = samples.size() / ch;
  if (n < 3) return;
  // The hump 1 - cos, whose mean over the frames is 1.
  std::vector<double> hump(n);
  double total = 0;
  for (size_t i = 0; i < n; ++i) {
    hump[i] = 1 - std::cos(6.283185307179586 * i / (n - 1));
    total += hump[i];
  }
  for (size_t c = 0; c < ch; ++c) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += samples[i * ch + c];
    const double scale = sum / total;
    for (size_t i = 0; i < n; ++i) samples[i * ch + c] -= static_cast<float>(scale * hump[i]);
  }
}

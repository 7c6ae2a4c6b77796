// The kit's sound as the player hears it: no offset, effects about as loud as the music, a busy
// moment that does not clip in the port's mixer, and the music's top octave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/datakit/decoded_sound.h"
#include "tests/datakit/kit_sound_files.h"
#include "tools/datakit/audio.h"
#include "tools/datakit/kit_build.h"

namespace {

constexpr double kFullScale = 32768.0;

struct Levels {
  double mean[2] = {};  // per channel, of full scale
  double peak = 0;      // of full scale
  double rms = 0;       // of the whole sound
  double loudest = 0;   // RMS of the loudest 50 ms
};

Levels Measure(const DecodedSound& d) {
  Levels l;
  const size_t ch = d.channels, frames = d.samples.size() / ch;
  double sum[2] = {}, squares = 0;
  for (size_t i = 0; i < d.samples.size(); ++i) {
    const double s = d.samples[i];
    sum[i % ch] += s;
    squares += s * s;
    l.peak = std::max(l.peak, std::fabs(s) / kFullScale);
  }
  for (size_t c = 0; c < ch; ++c) l.mean[c] = sum[c] / static_cast<double>(frames) / kFullScale;
  l.rms = std::sqrt(squares / static_cast<double>(d.samples.size())) / kFullScale;
  const size_t window = static_cast<size_t>(d.rate / 20) * ch;
  double run = 0;
  for (size_t i = 0; i < d.samples.size(); ++i) {
    run += double(d.samples[i]) * d.samples[i];
    if (i >= window) run -= double(d.samples[i - window]) * d.samples[i - window];
    if (i + 1 >= window)
      l.loudest = std::max(l.loudest, std::sqrt(std::max(run, 0.0) / window) / kFullScale);
  }
  if (d.samples.size() < window)
    l.loudest = std::sqrt(squares / static_cast<double>(window)) / kFullScale;
  return l;
}

double Decibels(double ratio) { return 20 * std::log10(ratio); }

// The player's shots and the explosions the player hears most, by file.
const char* const kShots[] = {"data/se/jiki/m1.wav", "data/se/jiki/m2.wav", "data/se/jiki/m3.wav",
                              "data/se/jiki/m4.wav", "data/se/jiki/s1.wav", "data/se/jiki/s2.wav",
                              "data/se/jiki/s3.wav", "data/se/jiki/s4.wav", "data/se/jiki/s5.wav",
                              "data/se/jiki/s6.wav"};
const char* const kExplosions[] = {"data/se/enemy_death0.wav",    "data/se/enemy_death1.wav",
                                   "data/se/enemy_death2.wav",    "data/se/boss_death.wav",
                                   "data/se/jiki/jiki_death.wav", "data/se/robo_down.wav"};

TEST(KitSound, NoOffsetNoFullScaleAndEffectsAsLoudAsTheMusic) {
  const auto sounds = BuildKitFilesByPath("*.[wo][ag][vg]");
  std::map<std::string, Levels> levels;
  for (const KitSound& s : KitSounds()) {
    SCOPED_TRACE(s.path);
    DecodedSound d;
    ASSERT_TRUE(DecodeSound(sounds.at(s.path), &d));
    const Levels l = Measure(d);
    levels[s.path] = l;
    for (size_t c = 0; c < d.channels; ++c)
      EXPECT_LE(std::fabs(l.mean[c]), 0.001) << "channel " << c;
    EXPECT_LT(l.peak, 32767 / kFullScale);
    EXPECT_GT(l.rms, 0.002) << "silent";
  }
  double musicRms = 0;
  int tracks = 0;
  for (const KitSound& s : KitSounds()) {
    if (s.kind != SoundKind::Music) continue;
    const Levels& l = levels[s.path];
    std::printf("%-28s mean %+.5f %+.5f  peak %.3f  rms %.3f\n", s.path, l.mean[0], l.mean[1],
                l.peak, l.rms);
    musicRms += l.rms;
    ++tracks;
  }
  musicRms /= tracks;
  for (const char* const* group : {kShots, kExplosions}) {
    const size_t n = group == kShots ? std::size(kShots) : std::size(kExplosions);
    for (size_t i = 0; i < n; ++i) {
      const Levels& l = levels.at(group[i]);
      const double db = Decibels(l.loudest / musicRms);
      std::printf("%-28s mean %+.5f  peak %.3f  rms %.3f  loudest 50 ms %.3f (%+.1f dB)\n",
                  group[i], l.mean[0], l.peak, l.rms, l.loudest, db);
      // Near the music's loudness: an effect that drowns or is drowned fails.
      EXPECT_GT(db, -3.0) << group[i];
      EXPECT_LT(db, 4.0) << group[i];
    }
  }
  std::printf("music rms (mean of the tracks) %.3f\n", musicRms);
}

// Power in the band lo..hi Hz of the first channel, summed over Hann-windowed blocks.
double BandPower(const std::vector<int16_t>& interleaved, int channels, double lo, double hi) {
  constexpr size_t kBlock = 4096;
  const double pi = 3.141592653589793;
  double total = 0;
  std::vector<std::complex<double>> x(kBlock);
  for (size_t at = 0; (at + kBlock) * channels <= interleaved.size(); at += kBlock) {
    for (size_t i = 0; i < kBlock; ++i)
      x[i] = interleaved[(at + i) * channels] * (0.5 - 0.5 * std::cos(2 * pi * i / kBlock));
    // Radix-2 in place: bit-reversed order, then the butterflies.
    for (size_t i = 1, j = 0; i < kBlock; ++i) {
      size_t bit = kBlock >> 1;
      for (; j & bit; bit >>= 1) j ^= bit;
      j ^= bit;
      if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t len = 2; len <= kBlock; len <<= 1) {
      const std::complex<double> w = std::polar(1.0, -2 * pi / len);
      for (size_t i = 0; i < kBlock; i += len) {
        std::complex<double> wk = 1;
        for (size_t k = 0; k < len / 2; ++k, wk *= w) {
          const std::complex<double> a = x[i + k], b = x[i + k + len / 2] * wk;
          x[i + k] = a + b;
          x[i + k + len / 2] = a - b;
        }
      }
    }
    for (size_t k = 0; k < kBlock / 2; ++k) {
      const double f = k * double(kMusicRate) / kBlock;
      if (f >= lo && f < hi) total += std::norm(x[k]);
    }
  }
  return total;
}

TEST(KitSound, TheMusicKeepsItsTopOctave) {
  // Compared with the samples it was encoded from: a codec that cuts the band above 18 kHz
  // leaves almost nothing of it.
  const auto files = BuildKitFilesByPath("data/music/stage1.ogg");
  DecodedSound d;
  ASSERT_TRUE(DecodeSound(files.at("data/music/stage1.ogg"), &d));
  const std::vector<int16_t> composed = ComposeMusic(1);
  const double top = BandPower(d.samples, 2, 18500, 21500);
  const double source = BandPower(composed, 2, 18500, 21500);
  ASSERT_GT(source, 0);
  std::printf("18.5-21.5 kHz kept: %.2f of the composed power\n", top / source);
  EXPECT_GT(top / source, 0.25);
  // The octave below, as a check on the measure.
  EXPECT_GT(BandPower(d.samples, 2, 8000, 11000) / BandPower(composed, 2, 8000, 11000), 0.5);
}

}  // namespace

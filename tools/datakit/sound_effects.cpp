// The common sound effects: each slot a small recipe of chirps, noise bursts, arpeggios and
// rings; the pieces themselves.
#include <algorithm>
#include <cmath>

#include "tools/datakit/effect_voice.h"
#include "tools/datakit/raster.h"
#include "tools/datakit/sound_levels.h"

namespace {

constexpr double kTau = 6.283185307179586;

float Wave(int shape, double phase) {
  const double f = phase - std::floor(phase);
  switch (shape) {
    case 0:
      return static_cast<float>(std::sin(kTau * f));
    case 1:
      return f < 0.5 ? 1.0f : -1.0f;
    case 2:
      return static_cast<float>(2 * f - 1);
    default:
      return static_cast<float>(f < 0.5 ? 4 * f - 1 : 3 - 4 * f);
  }
}

}  // namespace

void Chirp(Voice& v, double start, double dur, double f0, double f1, int shape, float level,
           double decay) {
  double phase = 0;
  const size_t a = static_cast<size_t>(start * kEffectRate);
  const size_t n = static_cast<size_t>(dur * kEffectRate);
  for (size_t i = 0; i < n && a + i < v.s.size(); ++i) {
    const double t = i / static_cast<double>(n);
    const double f = f0 * std::pow(f1 / f0, t);
    phase += f / kEffectRate;
    const double env = std::min(1.0, i / (0.003 * kEffectRate)) * std::exp(-decay * t);
    v.s[a + i] += static_cast<float>(Wave(shape, phase) * env * level);
  }
}

void Burst(Voice& v, double start, double dur, double c0, double c1, float level, uint32_t seed,
           double thump) {
  KitRandom r(seed);
  double low = 0, low2 = 0, phase = 0;
  const size_t a = static_cast<size_t>(start * kEffectRate);
  const size_t n = static_cast<size_t>(dur * kEffectRate);
  for (size_t i = 0; i < n && a + i < v.s.size(); ++i) {
    const double t = i / static_cast<double>(n);
    const double cutoff = c0 * std::pow(c1 / c0, t);
    const double k = 1 - std::exp(-kTau * cutoff / kEffectRate);
    low += (r.Range(-1, 1) - low) * k;
    low2 += (low - low2) * k;
    const double env = std::min(1.0, i / (0.002 * kEffectRate)) * std::pow(1 - t, 2.2);
    double s = low2 * 2.2 * env;
    if (thump > 0) {
      phase += (thump * (1 - 0.6 * t)) / kEffectRate;
      s += std::sin(kTau * phase) * env * 0.8;
    }
    v.s[a + i] += static_cast<float>(s * level);
  }
}

void Arpeggio(Voice& v, double start, const std::vector<double>& notes, double step, int shape,
              float level) {
  for (size_t i = 0; i < notes.size(); ++i)
    Chirp(v, start + i * step, step * 2.2, notes[i], notes[i] * 1.002, shape, level, 4);
}

void Ring(Voice& v, double start, double dur, double f, float level) {
  const double ratios[4] = {1, 2.41, 3.89, 5.43};
  for (int k = 0; k < 4; ++k)
    Chirp(v, start, dur, f * ratios[k], f * ratios[k] * 0.995, 0, level / (k + 1.5f), 5 + k * 2);
}

double Note(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

std::vector<int16_t> Finish(const Voice& v, float weight) {
  // Set by loudness, which grows with the square root of the recipe's weight: a shot (about
  // 0.4) sits at the music's loudness, the largest explosions (0.9) 3 dB above it.
  std::vector<float> s = v.s;
  const float loudest = std::max(LoudestWindowRms(s, 1, kEffectRate / 20), 1e-6f);
  const float gain = kEffectLoudness * std::sqrt(weight / 0.45f) / loudest;
  for (float& x : s) x *= gain;
  LimitPeaks(s, 1, kEffectCeiling, kEffectRate / 500, false);
  const size_t fade = std::min<size_t>(s.size() / 4, static_cast<size_t>(0.01 * kEffectRate));
  for (size_t i = s.size() - fade; i < s.size(); ++i)
    s[i] *= static_cast<float>(s.size() - i) / fade;  // no click at the end
  RemoveOffset(s, 1);
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(std::lround(std::clamp(s[i], -1.0f, 1.0f) * 32767));
  return out;
}

std::vector<int16_t> SynthesizeEffect(int id) {
  switch (id) {
    case 0: {
      Voice v(0.07);
      Chirp(v, 0, 0.07, 2400, 900, 1, 0.5f);
      Burst(v, 0, 0.03, 6000, 3000, 0.2f, 1);
      return Finish(v, 0.42f);
    }
    case 1: {
      Voice v(0.08);
      Chirp(v, 0, 0.08, 1800, 700, 2, 0.5f);
      Chirp(v, 0, 0.08, 2700, 1050, 1, 0.2f);
      return Finish(v, 0.42f);
    }
    case 2: {
      Voice v(0.12);
      Chirp(v, 0, 0.12, 3200, 1600, 2, 0.5f, 3);
      Chirp(v, 0, 0.12, 3300, 1650, 2, 0.4f, 3);
      return Finish(v, 0.4f);
    }
    case 3: {
      Voice v(0.12);
      Burst(v, 0, 0.12, 1500, 300, 0.7f, 3, 120);
      return Finish(v, 0.45f);
    }
    case 4: {
      Voice v(0.06);
      Chirp(v, 0, 0.06, 1500, 2200, 3, 0.6f);
      return Finish(v, 0.35f);
    }
    case 5: {
      Voice v(0.2);
      Burst(v, 0, 0.2, 800, 3000, 0.6f, 5);
      Chirp(v, 0, 0.15, 300, 600, 2, 0.2f);
      return Finish(v, 0.38f);
    }
    case 6: {
      Voice v(0.12);
      Chirp(v, 0, 0.12, 1200, 1900, 0, 0.7f, 3);
      return Finish(v, 0.35f);
    }
    case 7: {
      Voice v(0.1);
      Chirp(v, 0, 0.1, 2000, 3000, 3, 0.6f);
      return Finish(v, 0.33f);
    }
    case 8: {
      Voice v(0.1);
      Chirp(v, 0, 0.1, 600, 900, 0, 0.7f, 2);
      Chirp(v, 0, 0.1, 1200, 1800, 3, 0.3f);
      return Finish(v, 0.3f);
    }
    case 9: {
      Voice v(0.12);
      Burst(v, 0, 0.12, 1200, 400, 0.6f, 9, 150);
      return Finish(v, 0.38f);
    }
    case 10: {
      Voice v(0.25);
      Chirp(v, 0, 0.25, 300, 900, 1, 0.5f, 2);
      Burst(v, 0, 0.2, 2000, 5000, 0.3f, 10);
      return Finish(v, 0.5f);
    }
    case 11: {
      Voice v(0.45);
      Burst(v, 0, 0.45, 3000, 150, 0.9f, 11, 70);
      return Finish(v, 0.7f);
    }
    case 12: {
      Voice v(0.4);
      for (int k = 0; k < 3; ++k)
        Chirp(v, k * 0.05, 0.3, 500 + k * 150, 1400 + k * 300, 3, 0.4f, 3);
      return Finish(v, 0.5f);
    }
    case 13: {
      Voice v(0.6);
      Burst(v, 0, 0.6, 5000, 100, 1.0f, 13, 50);
      return Finish(v, 0.85f);
    }
    case 14: {
      Voice v(0.7);
      Chirp(v, 0, 0.7, 200, 1600, 2, 0.4f, 0.5);
      Chirp(v, 0, 0.7, 203, 1620, 2, 0.4f, 0.5);
      return Finish(v, 0.45f);
    }
    case 15: {
      Voice v(1.4);
      Burst(v, 0, 1.4, 4000, 80, 1.0f, 15, 55);
      Chirp(v, 0, 0.6, 900, 120, 1, 0.3f, 2);
      return Finish(v, 0.85f);
    }
    case 16: {
      Voice v(0.3);
      Ring(v, 0, 0.3, 1300, 0.8f);
      Burst(v, 0, 0.05, 8000, 4000, 0.3f, 16);
      return Finish(v, 0.5f);
    }
    case 17:
    case 18:
    case 21: {
      const int base = id == 17 ? 72 : id == 18 ? 74 : 76;
      Voice v(0.4);
      Arpeggio(v, 0, {Note(base), Note(base + 4), Note(base + 7), Note(base + 12)}, 0.06, 3, 0.6f);
      return Finish(v, 0.5f);
    }
    case 19: {
      Voice v(0.3);
      Arpeggio(v, 0, {Note(79), Note(83), Note(86)}, 0.05, 1, 0.4f);
      return Finish(v, 0.45f);
    }
    case 20: {
      Voice v(0.3);
      Arpeggio(v, 0, {Note(86), Note(82), Note(79)}, 0.05, 1, 0.4f);
      return Finish(v, 0.45f);
    }
    case 22: {
      Voice v(0.5);
      Arpeggio(v, 0, {Note(84), Note(91), Note(88), Note(96)}, 0.05, 0, 0.6f);
      Ring(v, 0.2, 0.3, 2600, 0.2f);
      return Finish(v, 0.5f);
    }
    case 23: {
      Voice v(0.5);
      Arpeggio(v, 0, {Note(67), Note(71), Note(74), Note(79), Note(83)}, 0.05, 3, 0.5f);
      return Finish(v, 0.5f);
    }
    case 24: {
      Voice v(0.06);
      Chirp(v, 0, 0.06, 1760, 1760, 1, 0.4f, 4);
      return Finish(v, 0.35f);
    }
    case 25: {
      Voice v(0.2);
      Arpeggio(v, 0, {Note(76), Note(83)}, 0.06, 1, 0.4f);
      return Finish(v, 0.4f);
    }
    case 26: {
      Voice v(0.2);
      Arpeggio(v, 0, {Note(76), Note(69)}, 0.06, 1, 0.4f);
      return Finish(v, 0.4f);
    }
    case 27: {
      Voice v(2.6);
      for (int k = 0; k < 4; ++k)
        Burst(v, k * 0.3, 2.2 - k * 0.3, 4000 - k * 600, 60, 1.0f - k * 0.15f, 27 + k, 45);
      return Finish(v, 0.9f);
    }
    case 28: {
      Voice v(0.8);
      Chirp(v, 0, 0.8, 150, 900, 1, 0.3f, 0.4);
      Chirp(v, 0, 0.8, 302, 1810, 0, 0.3f, 0.4);
      return Finish(v, 0.4f);
    }
    case 29: {
      Voice v(0.3);
      Burst(v, 0, 0.3, 3500, 300, 0.8f, 29, 110);
      return Finish(v, 0.55f);
    }
    case 30: {
      Voice v(0.5);
      Burst(v, 0, 0.5, 3000, 200, 0.9f, 30, 80);
      return Finish(v, 0.65f);
    }
    case 31: {
      Voice v(0.8);
      Burst(v, 0, 0.8, 2500, 120, 1.0f, 31, 60);
      return Finish(v, 0.75f);
    }
    case 32: {
      Voice v(0.12);
      Chirp(v, 0, 0.05, 900, 900, 1, 0.3f);
      Chirp(v, 0.05, 0.07, 1400, 2000, 3, 0.5f);
      return Finish(v, 0.4f);
    }
    case 42: {
      Voice v(0.9);
      Arpeggio(v, 0, {Note(72), Note(76), Note(79), Note(84), Note(88), Note(91)}, 0.08, 1, 0.4f);
      return Finish(v, 0.55f);
    }
    case 43: {
      Voice v(0.06);
      Ring(v, 0, 0.06, 2200, 0.6f);
      Burst(v, 0, 0.03, 9000, 5000, 0.4f, 43);
      return Finish(v, 0.35f);
    }
    case 44: {
      Voice v(0.3);
      Burst(v, 0, 0.08, 3000, 1500, 0.6f, 44);
      Ring(v, 0.02, 0.25, 420, 0.5f);
      return Finish(v, 0.5f);
    }
    case 45: {
      Voice v(0.6);
      Chirp(v, 0, 0.6, 110, 180, 1, 0.3f, 1);
      Chirp(v, 0, 0.6, 221, 362, 2, 0.2f, 1);
      return Finish(v, 0.45f);
    }
    case 46: {
      Voice v(0.7);
      Burst(v, 0, 0.7, 6000, 2500, 0.6f, 46);
      Ring(v, 0, 0.2, 300, 0.4f);
      return Finish(v, 0.45f);
    }
    case 47: {
      Voice v(1.6);
      Burst(v, 0, 1.6, 300, 60, 1.0f, 47, 38);
      return Finish(v, 0.7f);
    }
    case 48: {
      Voice v(1.3);
      Burst(v, 0, 0.3, 3000, 500, 0.6f, 48);
      Burst(v, 0.25, 1.0, 900, 60, 1.0f, 49, 45);
      Ring(v, 0.25, 0.6, 180, 0.3f);
      return Finish(v, 0.8f);
    }
    case 50: {
      Voice v(1.2);
      Chirp(v, 0, 1.2, 180, 1400, 2, 0.35f, 1.2);
      Burst(v, 0, 1.2, 800, 6000, 0.3f, 50);
      return Finish(v, 0.5f);
    }
    case 51: {
      Voice v(1.0);
      Chirp(v, 0, 1.0, 1600, 200, 2, 0.35f, 1.5);
      Burst(v, 0, 1.0, 6000, 700, 0.3f, 51);
      return Finish(v, 0.5f);
    }
    default: {
      // Enemy shots (33-41): chirps and zaps, each a little different, below the player's.
      const int k = id - 33;
      Voice v(0.08 + 0.02 * (k % 4));
      const double f0 = 700 + 180 * k, f1 = f0 * (k % 2 ? 0.45 : 1.8);
      Chirp(v, 0, v.s.size() / static_cast<double>(kEffectRate), f0, f1, k % 4, 0.5f, 4);
      if (k % 3 == 0) Burst(v, 0, 0.04, 5000, 2000, 0.2f, id);
      return Finish(v, 0.3f);
    }
  }
}

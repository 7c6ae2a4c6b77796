// Music composed in code: each track a key, a mode, a tempo and a chord progression, played
// by a bass, a lead with echo, a pad or an arpeggio and drums. Loops are rendered with their
// tails wrapped round to the start, so they repeat on the bar without a click.
#include <algorithm>
#include <cmath>

#include "tools/datakit/audio.h"
#include "tools/datakit/raster.h"
#include "tools/datakit/sound_levels.h"

namespace {

constexpr double kTau = 6.283185307179586;

const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
const int kDorian[7] = {0, 2, 3, 5, 7, 9, 10};
const int kPhrygian[7] = {0, 1, 3, 5, 7, 8, 10};
const int kHarmonic[7] = {0, 2, 3, 5, 7, 8, 11};
const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kLydian[7] = {0, 2, 4, 6, 7, 9, 11};

struct Plan {
  const char* name;
  bool loops;
  int bars;
  double bpm;
  int root;  // MIDI note of the key's tonic in the bass octave
  const int* scale;
  int progression[8];  // scale degrees, one per bar, repeated
  int drums;           // 0 none, 1 half time, 2 straight, 3 driving
  bool arpeggio;       // arpeggio instead of pad
  uint32_t seed;
};

const Plan kPlans[13] = {
    {"boss", true, 16, 168, 38, kHarmonic, {0, 0, 5, 4, 0, 0, 6, 4}, 3, true, 11},
    {"stage1", true, 16, 146, 45, kDorian, {0, 6, 5, 6, 0, 6, 3, 4}, 2, true, 21},
    {"stage2", true, 16, 152, 43, kMinor, {0, 5, 2, 6, 0, 5, 3, 4}, 3, false, 31},
    {"stage3", true, 16, 132, 40, kPhrygian, {0, 1, 0, 6, 0, 1, 5, 4}, 1, false, 41},
    {"stage4", true, 16, 160, 42, kMinor, {0, 3, 6, 4, 0, 3, 5, 4}, 3, true, 51},
    {"stage5", true, 16, 138, 47, kDorian, {0, 3, 0, 6, 5, 3, 6, 4}, 2, false, 61},
    {"stage6", true, 16, 156, 41, kHarmonic, {0, 5, 3, 4, 0, 5, 1, 4}, 3, true, 71},
    {"warning", false, 2, 96, 45, kHarmonic, {0, 1, 0, 1, 0, 1, 0, 1}, 0, false, 81},
    {"lastboss", true, 16, 176, 37, kPhrygian, {0, 1, 6, 0, 5, 1, 4, 4}, 3, true, 91},
    {"goodend", false, 12, 104, 48, kMajor, {0, 4, 5, 3, 0, 4, 3, 0}, 1, true, 101},
    {"badend", false, 8, 88, 45, kMinor, {0, 5, 3, 4, 0, 5, 4, 0}, 1, false, 111},
    {"gameover", false, 4, 76, 43, kMinor, {0, 5, 4, 0, 0, 5, 4, 0}, 0, false, 121},
    {"select", true, 8, 126, 41, kLydian, {0, 1, 0, 4, 0, 1, 5, 4}, 2, true, 131},
};

struct Mix2 {
  std::vector<float> l, r;
  explicit Mix2(size_t frames) : l(frames), r(frames) {}
  void Add(size_t i, float s, float pan) {
    if (i >= l.size()) return;
    l[i] += s * (1 - pan) * 0.5f * 2;
    r[i] += s * (1 + pan) * 0.5f * 2;
  }
};

double Freq(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

int Degree(const Plan& p, int degree, int octave) {
  const int d = ((degree % 7) + 7) % 7;
  return p.root + p.scale[d] + 12 * (octave + (degree - d) / 7);
}

// Naive band-limited-enough oscillators with a smoothed edge.
float Saw(double ph) { return static_cast<float>(2 * (ph - std::floor(ph)) - 1); }
// A pulse of any width, its mean taken out: a narrow pulse would otherwise carry an offset.
float Pulse(double ph, double width) {
  return ((ph - std::floor(ph)) < width ? 1.0f : -1.0f) - static_cast<float>(2 * width - 1);
}

void Bass(Mix2& m, size_t at, size_t len, double f, float vel) {
  double ph = 0, low = 0;
  for (size_t i = 0; i < len + 800; ++i) {
    const double t = i / static_cast<double>(kMusicRate);
    const double env =
        (i < len ? 1.0 : std::exp(-static_cast<double>(i - len) / 150.0)) * std::min(1.0, i / 60.0);
    ph += f / kMusicRate;
    const double cutoff = 200 + 1400 * std::exp(-t * 14);
    low += (Saw(ph) * 0.7 + Pulse(ph * 0.5, 0.5) * 0.3 - low) *
           (1 - std::exp(-kTau * cutoff / kMusicRate));
    m.Add(at + i, static_cast<float>(low * env * vel), 0);
  }
}

void Lead(Mix2& m, size_t at, size_t len, double f, float vel, double beat) {
  double ph = 0, low = 0;
  const size_t tail = static_cast<size_t>(0.08 * kMusicRate);
  for (size_t i = 0; i < len + tail; ++i) {
    const double t = i / static_cast<double>(kMusicRate);
    const double vib = 1 + 0.004 * std::sin(kTau * 5.5 * t) * std::min(1.0, t * 4);
    ph += f * vib / kMusicRate;
    const double env =
        std::min(1.0, i / 120.0) * (i < len ? 1 - 0.25 * std::min(1.0, t * 3)
                                            : 0.75 * std::exp(-(double)(i - len) / (tail / 4.0)));
    low += (Pulse(ph, 0.3) * 0.6 + Saw(ph * 1.003) * 0.4 - low) * 0.25;
    const float s = static_cast<float>(low * env * vel);
    m.Add(at + i, s, -0.15f);
    // An echo three sixteenths later, to the other side.
    const size_t echo = static_cast<size_t>(beat * 0.75 * kMusicRate);
    m.Add(at + i + echo, s * 0.3f, 0.6f);
    m.Add(at + i + echo * 2, s * 0.12f, -0.6f);
  }
}

void Pad(Mix2& m, size_t at, size_t len, double f, float vel, float pan) {
  double ph[3] = {0, 0.3, 0.6}, low = 0;
  const double detune[3] = {1, 1.005, 0.995};
  const size_t rel = static_cast<size_t>(0.3 * kMusicRate);
  for (size_t i = 0; i < len + rel; ++i) {
    double s = 0;
    for (int k = 0; k < 3; ++k) {
      ph[k] += f * detune[k] / kMusicRate;
      s += Saw(ph[k]);
    }
    low += (s / 3 - low) * 0.06;
    const double attack = std::min(1.0, i / (0.15 * kMusicRate));
    const double env = i < len ? attack : attack * (1 - (i - len) / static_cast<double>(rel));
    m.Add(at + i, static_cast<float>(low * env * vel), pan);
  }
}

void Pluck(Mix2& m, size_t at, double f, float vel, float pan) {
  double ph = 0;
  const size_t len = static_cast<size_t>(0.18 * kMusicRate);
  for (size_t i = 0; i < len; ++i) {
    ph += f / kMusicRate;
    const double x = ph - std::floor(ph);
    const double tri = x < 0.5 ? 4 * x - 1 : 3 - 4 * x;
    m.Add(at + i,
          static_cast<float>(tri * std::exp(-static_cast<double>(i) / (0.05 * kMusicRate)) * vel),
          pan);
  }
}

void Kick(Mix2& m, size_t at, float vel) {
  double ph = 0;
  const size_t len = static_cast<size_t>(0.3 * kMusicRate);
  for (size_t i = 0; i < len; ++i) {
    const double t = i / static_cast<double>(kMusicRate);
    ph += (45 + 110 * std::exp(-t * 30)) / kMusicRate;
    m.Add(at + i, static_cast<float>(std::sin(kTau * ph) * std::exp(-t * 9) * vel), 0);
  }
}

void Snare(Mix2& m, size_t at, float vel, KitRandom& r) {
  double ph = 0, hp = 0, prev = 0;
  const size_t len = static_cast<size_t>(0.2 * kMusicRate);
  for (size_t i = 0; i < len; ++i) {
    const double t = i / static_cast<double>(kMusicRate);
    const double n = r.Range(-1, 1);
    hp = 0.7 * (hp + n - prev);
    prev = n;
    ph += 190 / static_cast<double>(kMusicRate);
    const double s = hp * std::exp(-t * 18) * 0.8 + std::sin(kTau * ph) * std::exp(-t * 30) * 0.5;
    m.Add(at + i, static_cast<float>(s * vel), 0.1f);
  }
}

void Hat(Mix2& m, size_t at, float vel, bool open, KitRandom& r) {
  double hp = 0, prev = 0;
  const size_t len = static_cast<size_t>((open ? 0.15 : 0.04) * kMusicRate);
  for (size_t i = 0; i < len; ++i) {
    const double n = r.Range(-1, 1);
    hp = 0.4 * (hp + n - prev);
    prev = n;
    m.Add(at + i, static_cast<float>(hp * std::exp(-static_cast<double>(i) / (len * 0.3)) * vel),
          0.35f);
  }
}

struct Timing {
  double beatSeconds;
  size_t Sample(double beats) const {
    return static_cast<size_t>(std::llround(beats * beatSeconds * kMusicRate));
  }
};

int TrackFrames(const Plan& p) {
  const Timing tm{60.0 / p.bpm};
  const size_t body = tm.Sample(p.bars * 4.0);
  return static_cast<int>(p.loops ? body : body + static_cast<size_t>(2.5 * kMusicRate));
}

void Warning(Mix2& m, const Plan& p) {
  // A two-tone siren over low hits: tense, and over in about three seconds.
  KitRandom r(p.seed);
  double ph = 0;
  for (size_t i = 0; i < m.l.size(); ++i) {
    const double t = i / static_cast<double>(kMusicRate);
    const double f = std::fmod(t, 0.5) < 0.25 ? 880 : 660;
    ph += f / kMusicRate;
    const double env = std::min(1.0, t * 20) * std::min(1.0, (m.l.size() - i) / (0.4 * kMusicRate));
    m.Add(i, static_cast<float>((Pulse(ph, 0.5) * 0.15 + std::sin(kTau * ph) * 0.25) * env), 0);
  }
  for (int k = 0; k < 5; ++k) Kick(m, static_cast<size_t>(k * 0.5 * kMusicRate), 0.9f);
  for (int k = 0; k < 5; ++k) Snare(m, static_cast<size_t>((k * 0.5 + 0.25) * kMusicRate), 0.3f, r);
}

void Compose(Mix2& m, const Plan& p) {
  KitRandom r(p.seed);
  const Timing tm{60.0 / p.bpm};
  // Two melodic motifs of two bars (eighth-note grids of scale steps; -99 is a rest), played
  // over the chords and varied on their repeats.
  int motif[2][16];
  for (auto& mo : motif) {
    int step = r.Below(3) * 2;
    for (int i = 0; i < 16; ++i) {
      if (i % 4 != 0 && r.Unit() < 0.3f) {
        mo[i] = -99;
        continue;
      }
      step += r.Below(5) - 2;
      step = std::clamp(step, -2, 9);
      mo[i] = step;
    }
    mo[15] = -99;
  }
  const bool oneShot = !p.loops;
  for (int bar = 0; bar < p.bars; ++bar) {
    const double b0 = bar * 4.0;
    const int chord = p.progression[bar % 8];
    const bool last = oneShot && bar == p.bars - 1;
    // Bass: driving eighths with an octave jump, or held notes in the calm tracks.
    if (p.drums >= 2 && !last) {
      for (int e = 0; e < 8; ++e) {
        const int oct = (e % 4 == 3) ? 1 : 0;
        Bass(m, tm.Sample(b0 + e * 0.5), tm.Sample(0.42), Freq(Degree(p, chord, oct)), 0.32f);
      }
    } else {
      Bass(m, tm.Sample(b0), tm.Sample(last ? 6.0 : 3.8), Freq(Degree(p, chord, 0)), 0.32f);
    }
    // Harmony: a pad of the triad, or a sixteenth arpeggio over it.
    const int triad[3] = {Degree(p, chord, 1), Degree(p, chord + 2, 1), Degree(p, chord + 4, 1)};
    if (p.arpeggio && !last) {
      for (int s = 0; s < 16; ++s) {
        const int note = triad[(s % 4 == 3) ? 1 : s % 3] + ((s / 4) % 2 ? 12 : 0);
        Pluck(m, tm.Sample(b0 + s * 0.25), Freq(note), 0.11f, (s % 2) ? 0.5f : -0.5f);
      }
    }
    for (int k = 0; k < 3; ++k)
      Pad(m, tm.Sample(b0), tm.Sample(last ? 7.0 : 4.0), Freq(triad[k]),
          p.arpeggio ? 0.04f : 0.075f,
          k == 0   ? -0.4f
          : k == 1 ? 0.4f
                   : 0);
    // Lead: motif A, its answer, A again, then B; the last bar of a one-shot ends on the tonic.
    const bool leadOn = oneShot || (bar % 8) >= 0;
    if (leadOn && !last) {
      const int which = ((bar / 2) % 4 == 3) ? 1 : 0;
      const int half = bar % 2;
      const int shift = ((bar / 2) % 2 == 1) ? 2 : 0;
      for (int i = 0; i < 8; ++i) {
        const int step = motif[which][half * 8 + i];
        if (step == -99) continue;
        int len = 1;
        while (half * 8 + i + len < 16 && i + len < 8 && motif[which][half * 8 + i + len] == -99)
          ++len;
        const int note = Degree(p, chord + step + shift, 2);
        Lead(m, tm.Sample(b0 + i * 0.5), tm.Sample(len * 0.5 - 0.06), Freq(note), 0.14f,
             tm.beatSeconds);
      }
    } else if (last) {
      Lead(m, tm.Sample(b0), tm.Sample(3.5), Freq(Degree(p, 0, 2)), 0.14f, tm.beatSeconds);
    }
    // Drums, with a fill at the end of every fourth bar.
    if (p.drums > 0 && !last) {
      const bool fill = bar % 4 == 3;
      for (int s = 0; s < 16; ++s) {
        const double at = b0 + s * 0.25;
        const bool kick = p.drums == 3   ? s % 4 == 0
                          : p.drums == 2 ? (s == 0 || s == 8 || s == 10)
                                         : s == 0;
        const bool snare = p.drums == 1 ? s == 8 : (s == 4 || s == 12);
        if (kick) Kick(m, tm.Sample(at), 0.55f);
        if (snare || (fill && s >= 12 && s % 1 == 0 && p.drums >= 2))
          Snare(m, tm.Sample(at), fill && s > 12 ? 0.25f : 0.35f, r);
        if (p.drums >= 2 ? true : s % 2 == 0)
          Hat(m, tm.Sample(at), s % 4 == 2 ? 0.12f : 0.07f, s % 8 == 6 && p.drums == 3, r);
      }
    }
  }
}

}  // namespace

MusicTrackInfo MusicTrack(int track) {
  const Plan& p = kPlans[std::clamp(track, 0, 12)];
  int frames = TrackFrames(p);
  if (track == 7) frames = 3 * kMusicRate;
  return {p.name, p.loops, p.bars, p.bpm, frames};
}

std::vector<int16_t> ComposeMusic(int track) {
  const Plan& p = kPlans[std::clamp(track, 0, 12)];
  const MusicTrackInfo info = MusicTrack(track);
  const size_t frames = static_cast<size_t>(info.frames);
  const size_t tail = static_cast<size_t>(3 * kMusicRate);
  Mix2 m(frames + tail);
  if (track == 7) {
    m.l.resize(frames), m.r.resize(frames);
    Warning(m, p);
  } else {
    Compose(m, p);
  }
  if (p.loops)
    for (size_t i = 0; i < tail; ++i) {
      m.l[i % frames] += m.l[frames + i];
      m.r[i % frames] += m.r[frames + i];
    }
  // Levelled by loudness, the rare peaks held under the ceiling, the offset taken out.
  std::vector<float> mix(frames * 2);
  for (size_t i = 0; i < frames; ++i) mix[i * 2] = m.l[i], mix[i * 2 + 1] = m.r[i];
  const float gain = kMusicLoudness / std::max(RmsOf(mix), 1e-6f);
  for (float& s : mix) s *= gain;
  LimitPeaks(mix, 2, kMusicCeiling, kMusicRate / 200, p.loops);
  if (!p.loops)
    for (size_t i = frames - std::min<size_t>(frames, kMusicRate / 2); i < frames; ++i) {
      const float fade = static_cast<float>(frames - i) / (kMusicRate / 2);
      mix[i * 2] *= fade, mix[i * 2 + 1] *= fade;
    }
  RemoveOffset(mix, 2);
  std::vector<int16_t> out(frames * 2);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(std::lround(std::clamp(mix[i], -1.0f, 1.0f) * 32767));
  return out;
}

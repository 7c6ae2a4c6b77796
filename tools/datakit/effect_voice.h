// What the sound effects' recipes are made of: a mono voice at the effect rate, and the tones,
// noise, arpeggios and metal rings laid into it, then normalised and faded into samples. The
// common recipes (sound_effects.cpp) and the stages' own (stages/) use the same pieces.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/datakit/audio.h"

struct Voice {
  std::vector<float> s;
  explicit Voice(double seconds) : s(static_cast<size_t>(seconds * kEffectRate) + 1) {}
};

// A tone gliding from f0 to f1 (exponentially) over dur, starting at start, with a fast attack
// and an exponential decay. Shapes: 0 sine, 1 square, 2 saw, 3 triangle.
void Chirp(Voice& v, double start, double dur, double f0, double f1, int shape, float level,
           double decay = 6);
// Filtered noise: the cutoff glides from c0 to c1 Hz; a deep sine thump under it for weight.
void Burst(Voice& v, double start, double dur, double c0, double c1, float level, uint32_t seed,
           double thump = 0);
// Notes (Hz) one step apart, each ringing on for a little over two steps.
void Arpeggio(Voice& v, double start, const std::vector<double>& notes, double step, int shape,
              float level);
// A struck metal ring: a few inharmonic partials decaying at their own rates.
void Ring(Voice& v, double start, double dur, double f, float level);
// The frequency of a MIDI note.
double Note(int midi);
// The voice levelled by its weight (about 0.3 a quiet blip, 0.4 a shot, 0.9 the largest
// explosion; sound_levels.h), its peaks held under the effects' ceiling, its last 10 ms (at
// most a quarter of it) faded so that it ends without a click, its offset taken out.
std::vector<int16_t> Finish(const Voice& v, float weight);

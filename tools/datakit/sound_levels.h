// Levelling of the kit's sounds: every sound is set by its loudness (not its loudest sample),
// its peaks held under a ceiling by a smooth limiter, and its offset taken out, so that music
// and effects sit together and a busy moment still fits the mixer's range.
#pragma once

#include <cstddef>
#include <vector>

// Full-scale fractions the levelling aims at. The music's loudness is its whole RMS; an
// effect's is the RMS of its loudest 50 ms (a shot is over in 70 ms).
constexpr float kMusicLoudness = 0.085f;
constexpr float kMusicCeiling = 0.28f;
constexpr float kEffectLoudness = 0.085f;
constexpr float kEffectCeiling = 0.24f;

// RMS of interleaved samples, and the RMS of their loudest window of `frames` frames (all of
// them when shorter).
float RmsOf(const std::vector<float>& samples);
float LoudestWindowRms(const std::vector<float>& samples, int channels, size_t frames);

// Lowers the gain smoothly (over `radius` frames each side) wherever a sample would pass the
// ceiling; looped sound is treated as a ring, so its seam stays joined.
void LimitPeaks(std::vector<float>& samples, int channels, float ceiling, size_t radius,
                bool looped);
// Takes each channel's mean out as a raised-cosine hump, zero at both ends, so the sound's mean
// is 0 and its first and last samples are unchanged.
void RemoveOffset(std::vector<float>& samples, int channels);

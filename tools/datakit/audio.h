// The kit's sounds: short effects synthesised from recipes into 16-bit mono PCM WAV files, and
// music composed in code (bass, lead, pad or arpeggio, drums) encoded as Ogg Vorbis with a
// fixed stream serial number, loops cut on a bar.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kEffectRate = 22050;
constexpr int kMusicRate = 44100;

// Mono samples of effect recipe id (the slot: 0-48, 50, 51).
std::vector<int16_t> SynthesizeEffect(int id);
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& mono, int rate);

struct MusicTrackInfo {
  const char* name;
  bool loops;  // loops are a whole number of bars long
  int bars;
  double bpm;
  int frames;  // sample frames of the file
};
MusicTrackInfo MusicTrack(int track);
// Interleaved stereo 16-bit samples of the track.
std::vector<int16_t> ComposeMusic(int track);
// Ogg Vorbis (quality 0.35, no low-pass below the top of the band) of interleaved 16-bit
// samples; the same samples give the same bytes.
std::vector<uint8_t> EncodeVorbis(const std::vector<int16_t>& interleaved, int channels, int rate,
                                  uint32_t serial);

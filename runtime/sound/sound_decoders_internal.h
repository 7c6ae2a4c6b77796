// What the decoders share with the converter: each decoder opens on the converter's stream,
// and each converter kind has its step, move, size and release.
#pragma once

#include "runtime/sound/sound_converter.h"

// A decoder's open: 0 with Kind, OutputFormat, BlockSize and the data fields set, or -1 after
// releasing whatever it made.
typedef int (*SoundDecoderOpen)(SoundConverter* converter);

struct SoundConverterKindFunctions {
  // Refills the empty block: 0 with BlockFill > 0, or -1 when no more data come.
  int (*Step)(SoundConverter* converter);
  // Moves the output to `target` bytes (a whole number of frames); the block then holds only
  // what follows the target. -1 when the decoder cannot get there (the converter then reads
  // as ended).
  int (*Move)(SoundConverter* converter, int target);
  int (*Size)(SoundConverter* converter);
  void (*Release)(SoundConverter* converter);
};

int OpenPcmWavDecoder(SoundConverter* converter);
int OpenAcmWavDecoder(SoundConverter* converter);
int OpenVorbisDecoder(SoundConverter* converter);
int OpenAcmMp3Decoder(SoundConverter* converter);
int OpenFilterGraphMp3Decoder(SoundConverter* converter);

extern const SoundConverterKindFunctions kPcmWavConverterFunctions;
extern const SoundConverterKindFunctions kAcmConverterFunctions;
extern const SoundConverterKindFunctions kVorbisConverterFunctions;
extern const SoundConverterKindFunctions kMemoryPcmConverterFunctions;

// The PCM a sound buffer can play: 1 or 2 channels of 8 or 16 bits, the block align that
// follows from them, and a rate within the buffers' range.
bool IsPlayablePcmFormat(const WaveFormat& format);

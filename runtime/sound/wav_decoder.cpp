// The plain PCM WAV decoder: samples straight from the data chunk, one second per step.
#include <algorithm>

#include "runtime/sound/sound_decoders_internal.h"
#include "runtime/sound/wave_chunks.h"

namespace {

int StepPcmWav(SoundConverter* c) {
  const DataStream& s = c->Stream;
  const int remaining = c->DataSize - (s.Functions.Tell(s.Handle) - c->DataPosition);
  if (remaining <= 0) return -1;
  const int want = std::min(c->BlockSize, remaining);
  const int got =
      static_cast<int>(s.Functions.Read(c->Block, 1, static_cast<size_t>(want), s.Handle));
  if (got <= 0) return -1;
  c->BlockFill = got;
  return 0;
}

int MovePcmWav(SoundConverter* c, int target) {
  target = std::min(target, c->DataSize);
  c->BlockFill = 0;
  c->BlockOffset = 0;
  c->Position = target;
  return c->Stream.Functions.Seek(c->Stream.Handle, c->DataPosition + target, 0) == 0 ? 0 : -1;
}

int SizePcmWav(SoundConverter* c) { return c->DataSize; }

void ReleasePcmWav(SoundConverter*) {}

}  // namespace

const SoundConverterKindFunctions kPcmWavConverterFunctions = {&StepPcmWav, &MovePcmWav,
                                                               &SizePcmWav, &ReleasePcmWav};

int OpenPcmWavDecoder(SoundConverter* c) {
  WaveChunkLayout layout;
  if (ReadWaveChunks(&c->Stream, &layout) != 0) return -1;
  WaveFormat f = layout.Format;
  // Zero fields would divide by zero further on; only whole 8- or 16-bit frames are PCM here.
  if (f.wFormatTag != WAVE_FORMAT_PCM || f.nChannels == 0 || f.nSamplesPerSec == 0 ||
      f.nAvgBytesPerSec == 0 || f.nBlockAlign == 0)
    return -1;
  if ((f.wBitsPerSample != 8 && f.wBitsPerSample != 16) ||
      f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
    return -1;
  // The byte rate only sizes buffers; writers round it, so it follows from the frames.
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;

  c->Kind = SoundConverterPcmWav;
  c->OutputFormat = f;
  c->FmtPosition = layout.FmtPosition;
  c->FmtSize = layout.FmtSize;
  c->DataPosition = layout.DataPosition;
  // A partial last frame would shift every later frame of a ring by a few bytes.
  c->DataSize = layout.DataSize / f.nBlockAlign * f.nBlockAlign;
  c->BlockSize = static_cast<int>(f.nAvgBytesPerSec);
  return 0;
}

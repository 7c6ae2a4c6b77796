// The RIFF / WAVE layout of a sound file: where its format and its sample data lie.
#pragma once

#include "runtime/platform/files/data_stream.h"
#include "runtime/sound/sound_converter.h"

struct WaveChunkLayout {
  WaveFormat Format;  // the first 18 bytes of the fmt chunk (extra size 0 when it is shorter)
  int FmtPosition;    // stream offset of the fmt chunk's data
  int FmtSize;
  int DataPosition;  // stream offset of the first sample byte
  int DataSize;      // sample bytes, never beyond the end of the stream
};

// Reads "RIFF", "WAVE", an optional "bext" chunk, the "fmt " chunk and the chunks up to "data"
// from the stream's start. A 16-byte PCM fmt chunk gets its bits per sample from the block
// align. 0 with the stream at the first sample byte, or -1 when the file is refused.
int ReadWaveChunks(const DataStream* stream, WaveChunkLayout* layout);

// The stream's length in bytes, its position kept; -1 when it cannot be measured.
int MeasureDataStream(const DataStream* stream);

// Sound decoders: every sound file is read through a SoundConverter, which delivers PCM bytes
// on request, moves to a sample frame and reports its output format and total size. Set-up
// tries the decoders in a fixed order on a DataStream and keeps the first that accepts it.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/files/data_stream.h"
#include "runtime/sound/wave_format.h"

// Field by field: the record's bytes are never compared as a block.
bool SameWaveFormat(const WaveFormat& a, const WaveFormat& b);

enum SoundConverterKind {
  SoundConverterPcmWav = 0,
  SoundConverterAcm = 1,
  SoundConverterVorbis = 2,
  SoundConverterMemoryPcm = 3,
};

// Bits of the decoder mask: a set bit keeps that decoder out of the chain.
enum SoundDecoderBit {
  SoundDecoderPcmWav = 1 << 0,
  SoundDecoderAcmWav = 1 << 1,
  SoundDecoderVorbis = 1 << 2,
  SoundDecoderAcmMp3 = 1 << 3,
  SoundDecoderFilterGraphMp3 = 1 << 4,
};

struct OggVorbis_File;

// Conversion through the audio compression manager. The spare stream stands ready at the
// start of the data, so a move back to the start needs no reopen.
struct AcmConverterArea {
  WaveFormat* SourceFormat;  // tracked block: the fmt chunk, or the built MP3 format
  HACMSTREAM Active;
  HACMSTREAM Spare;
  uint8_t* Coded;  // all of the coded data, a tracked block
  int CodedSize;
  int SourceOffset;  // of the active stream in the coded data
  int TotalFrames;   // -1 when not counted
  int SpareSourceOffset;
  int SparePosition;
};

struct VorbisConverterArea {
  int Opened;
  OggVorbis_File* File;  // the reader's state, a tracked block
  int SampleWidth;       // bytes per sample delivered
};

// PCM decoded whole by the filter graph: a tracked block that the graph's thread fills while
// the set-up waits, then read from memory.
struct MemoryPcmConverterArea {
  uint8_t* Pcm;  // null once a growth failed: the decode then fails
  int64_t Capacity;
  int64_t Size;
  int Offset;  // read offset
};

// The converter holds a copy of the caller's stream; the caller keeps the stream open while
// the converter is valid. A valid converter must stay where it is: the Vorbis reader keeps
// its address.
struct SoundConverter {
  int Valid;
  int AtEnd;  // a read found no more data
  int Kind;
  DataStream Stream;
  int FmtPosition;
  int FmtSize;
  int DataPosition;
  int DataSize;
  WaveFormat OutputFormat;
  AcmConverterArea Acm;
  VorbisConverterArea Vorbis;
  MemoryPcmConverterArea MemoryPcm;
  uint8_t* Block;  // one decoder step's output
  int BlockSize;
  int BlockFill;    // decoded bytes still waiting in the block
  int BlockOffset;  // where they start
  int Position;     // output bytes delivered so far
  int RewindPoint;
  int VorbisVariant;
};

// 0 when a decoder accepted the stream (read from its start), else -1.
int SetupSoundConverter(const DataStream* stream, SoundConverter* converter);
// Copies up to `bytes` of PCM; the count copied, 0 at the end, -1 when not valid.
int ReadSoundConverter(SoundConverter* converter, void* buffer, int bytes);
// Moves the output to frame x block align. A move of less than 16 bytes is skipped unless a
// read has already found the end. 0, or -1 when not valid.
int SeekSoundConverter(SoundConverter* converter, int frame);
// Total PCM bytes, or -1 when not valid.
int GetSoundConverterSize(SoundConverter* converter);
int GetSoundConverterFormat(const SoundConverter* converter, WaveFormat* format);
// Releases everything the converter holds (not the caller's stream); -1 when not valid.
int TerminateSoundConverter(SoundConverter* converter);
// All of the PCM in one new tracked block, from frame 0; its size is what was obtained.
// 0, or -1 when not valid or the block cannot be allocated.
int DecodeWholeSound(SoundConverter* converter, WaveFormat* format, void** pcm, int* size);

int SetSoundDecoderMask(int mask);
int GetSoundDecoderMask();

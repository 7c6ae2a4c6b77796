// Sound files made by tests: RIFF / WAVE images chunk by chunk, Ogg Vorbis encoded from PCM,
// MPEG audio frame images with ID3 tags; MemoryDataStream reads them from memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/memory_data_stream.h"

typedef std::vector<uint8_t> Bytes;

void AppendLe16(Bytes& out, uint32_t v);
void AppendLe32(Bytes& out, uint32_t v);

// One chunk: id, the given size field (the real size of `body` unless `sizeField` is given),
// the body, and a pad byte when the body is odd.
Bytes WavChunk(const char* id, const Bytes& body, int64_t sizeField = -1);
// The fmt chunk body: 16 bytes, or 18 with the extra size (0).
Bytes FmtBody(int tag, int channels, int rate, int byteRate, int blockAlign, int bits,
              bool withExtra = false);
// "RIFF" size "WAVE" and the chunks.
Bytes RiffWave(const std::vector<Bytes>& chunks);
// A plain PCM WAV file: 16-byte fmt chunk and one data chunk.
Bytes PcmWavFile(int bits, int channels, int rate, const Bytes& pcm);

// Interleaved 16-bit samples as little-endian bytes and back.
Bytes Samples16ToBytes(const std::vector<int16_t>& samples);
std::vector<int16_t> BytesToSamples16(const Bytes& bytes);

// One Ogg page as it lies in a file, with its granule position; `header` marks the pages of
// the header packets (the first of them holds the identification header alone).
struct OggPageBytes {
  Bytes bytes;
  int64_t granule;
  bool header;
};
// The pages of a Vorbis stream of the interleaved 16-bit samples (as EncodeOggVorbis makes
// them, under the given serial number), for files that carry other streams beside it.
std::vector<OggPageBytes> EncodeVorbisPages(const std::vector<int16_t>& samples, int channels,
                                            int rate, uint32_t serial, bool pagePerPacket = false);

// An Ogg Vorbis file of the interleaved 16-bit samples (libvorbisenc, VBR quality 0.5, a
// fixed stream serial number, so the same PCM gives the same file). `pagePerPacket` puts every
// audio packet on a page of its own.
Bytes EncodeOggVorbis(const std::vector<int16_t>& samples, int channels, int rate,
                      bool pagePerPacket = false);

// `count` MPEG audio frames made from the header bytes h0..h3: each frame is its header and
// a body of zero bytes to the frame length the header gives.
Bytes MpegFrames(uint8_t h1, uint8_t h2, uint8_t h3, int count);
// An ID3v2 tag of `bodyBytes` zero bytes (version 3, or 4 with a footer when `footer`).
Bytes Id3v2Tag(int bodyBytes, bool footer = false);
// A 128-byte ID3v1 tag.
Bytes Id3v1Tag();

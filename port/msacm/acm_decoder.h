// One conversion of the audio compression manager: compressed audio of a WAVEFORMATEX to
// interleaved 16-bit PCM through libavcodec, one whole coded block at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "port/dsound/wave_format.h"

struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct PortFFmpegApi;

struct AcmDecoder {
  std::vector<uint8_t> source;  // the source format block, WAVEFORMATEX and its extra bytes
  WAVEFORMATEX destination;
  const PortFFmpegApi* ffmpeg;  // null for PCM to PCM
  AVCodecContext* codec;        // null for PCM to PCM; opened at the first MPEG frame for MPEG
  AVPacket* packet;
  AVFrame* frame;
  int mpegLayer;  // layer of the open MPEG decoder, 0 before the first frame
};

const WAVEFORMATEX& AcmSourceFormat(const AcmDecoder& d);

// Whether the manager converts `source`, and the PCM it gives: same channels and rate,
// 16 bits (PCM sources keep their 8 or 16 bits).
bool SuggestAcmDestination(const WAVEFORMATEX& source, int sourceBytes, WAVEFORMATEX* destination);

// Opens a decoder from `source` (sourceBytes long, extra bytes included) to `destination`,
// which must be what SuggestAcmDestination gives. False when not possible.
bool OpenAcmDecoder(AcmDecoder* d, const uint8_t* source, int sourceBytes,
                    const WAVEFORMATEX& destination);
void CloseAcmDecoder(AcmDecoder* d);

// Converts whole coded blocks from `in` while their PCM fits into `out`; the bytes of each
// used. A block the decoder rejects is skipped (used, nothing made).
void ConvertAcmBlocks(AcmDecoder* d, const uint8_t* in, uint32_t inBytes, uint8_t* out,
                      uint32_t outBytes, uint32_t* inUsed, uint32_t* outUsed);

// The PCM bytes that `inBytes` coded bytes give, or the coded bytes that give `outBytes` of PCM
// (`toSource`); an estimate for MPEG audio.
uint32_t AcmConvertedSize(const AcmDecoder& d, uint32_t bytes, bool toSource);

#include "runtime/sound/mpeg_audio_frames.h"

#include <cstring>

namespace {

// kbit/s by bit-rate index; index 0 (free format) and 15 are refused before the lookup.
const int kMpeg1BitRates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
const int kMpeg2BitRates[3][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
const int kMpeg1SampleRates[3] = {44100, 48000, 32000};
const int kMpeg2SampleRates[3] = {22050, 24000, 16000};

constexpr int kId3v1Size = 128;
constexpr int kId3v2HeaderSize = 10;

}  // namespace

int ParseMpegAudioHeader(const uint8_t* b, MpegAudioHeader* h) {
  if (b[0] != 0xFF || (b[1] & 0xF0) != 0xF0) return -1;
  const int mpeg1 = (b[1] & 0x08) != 0 ? 1 : 0;
  const int layer = 3 - ((b[1] >> 1) & 3);
  if (layer == 3) return -1;  // the reserved layer code
  const int bitRateIndex = b[2] >> 4;
  if (bitRateIndex == 0 || bitRateIndex == 15) return -1;
  const int sampleRateIndex = (b[2] >> 2) & 3;
  if (sampleRateIndex == 3) return -1;

  h->Mpeg1 = mpeg1;
  h->Layer = layer;
  h->BitRate = mpeg1 ? kMpeg1BitRates[layer][bitRateIndex] : kMpeg2BitRates[layer][bitRateIndex];
  h->SampleRate = mpeg1 ? kMpeg1SampleRates[sampleRateIndex] : kMpeg2SampleRates[sampleRateIndex];
  h->Padding = (b[2] >> 1) & 1;
  h->Channels = (b[3] >> 6) == 3 ? 1 : 2;
  if (layer == 0) {
    h->FrameBytes = (12000 * h->BitRate / h->SampleRate + h->Padding) * 4;
    h->FrameSamples = 384;
  } else if (layer == 1 || mpeg1) {
    h->FrameBytes = 144000 * h->BitRate / h->SampleRate + h->Padding;
    h->FrameSamples = 1152;
  } else {
    h->FrameBytes = 72000 * h->BitRate / h->SampleRate + h->Padding;
    h->FrameSamples = 576;
  }
  return 0;
}

int ScanMpegAudioFrames(const uint8_t* image, int size, MpegFrameScan* scan) {
  std::memset(scan, 0, sizeof(*scan));
  if (!image || size <= 0) return -1;

  int start = 0;
  if (size >= kId3v2HeaderSize && std::memcmp(image, "ID3", 3) == 0) {
    const int major = image[3];
    const int flags = image[5];
    const uint8_t* s = image + 6;
    start = ((s[0] * 128 + s[1]) * 128 + s[2]) * 128 + s[3] + kId3v2HeaderSize;
    if (major == 4 && (flags & 0x10)) start += kId3v2HeaderSize;  // the footer
  }
  int end = size;
  if (size > kId3v1Size && std::memcmp(image + size - kId3v1Size, "TAG", 3) == 0)
    end = size - kId3v1Size;
  scan->AudioStart = start;
  scan->AudioEnd = end;

  int pos = start;
  // A header is read whole from inside the audio.
  while (pos <= end - 4) {
    if (image[pos] != 0xFF || (image[pos + 1] & 0xF0) != 0xF0) {
      ++pos;
      continue;
    }
    MpegAudioHeader h;
    if (ParseMpegAudioHeader(image + pos, &h) != 0 || h.FrameBytes <= 0) return -1;
    if (scan->FrameCount == 0) {
      scan->First = h;
      scan->DataStart = pos;
    }
    ++scan->FrameCount;
    scan->TotalSamples += h.FrameSamples;
    const int64_t frameEnd = static_cast<int64_t>(pos) + h.FrameBytes;
    if (frameEnd >= end) {
      scan->DataEnd = end;
      break;
    }
    scan->DataEnd = static_cast<int>(frameEnd);
    pos = static_cast<int>(frameEnd);
  }
  return scan->FrameCount > 0 ? 0 : -1;
}

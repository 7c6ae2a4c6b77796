// The decoder chain and the operations every converter kind shares: reading through the block
// buffer, moving, size, release and the whole decode.
#include "runtime/sound/sound_converter.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_decoders_internal.h"
#include "runtime/sound/sound_system.h"

namespace {

struct ChainLink {
  int maskBit;
  SoundDecoderOpen open;
};

// The order in which the decoders are offered a stream.
const ChainLink kDecoderChain[] = {
    {SoundDecoderPcmWav, &OpenPcmWavDecoder},
    {SoundDecoderAcmWav, &OpenAcmWavDecoder},
    {SoundDecoderVorbis, &OpenVorbisDecoder},
    {SoundDecoderAcmMp3, &OpenAcmMp3Decoder},
    {SoundDecoderFilterGraphMp3, &OpenFilterGraphMp3Decoder},
};

const SoundConverterKindFunctions* KindFunctions(int kind) {
  switch (kind) {
    case SoundConverterPcmWav:
      return &kPcmWavConverterFunctions;
    case SoundConverterAcm:
      return &kAcmConverterFunctions;
    case SoundConverterVorbis:
      return &kVorbisConverterFunctions;
    case SoundConverterMemoryPcm:
      return &kMemoryPcmConverterFunctions;
    default:
      return nullptr;
  }
}

void Rewind(const DataStream& s) { s.Functions.Seek(s.Handle, 0, 0); }

// A move of less than this many bytes is not worth a decoder seek.
constexpr int kMoveSlack = 16;

}  // namespace

bool SameWaveFormat(const WaveFormat& a, const WaveFormat& b) {
  return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels &&
         a.nSamplesPerSec == b.nSamplesPerSec && a.nAvgBytesPerSec == b.nAvgBytesPerSec &&
         a.nBlockAlign == b.nBlockAlign && a.wBitsPerSample == b.wBitsPerSample &&
         a.cbSize == b.cbSize;
}

bool IsPlayablePcmFormat(const WaveFormat& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
         f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 &&
         f.nSamplesPerSec >= DSBFREQUENCY_MIN && f.nSamplesPerSec <= DSBFREQUENCY_MAX &&
         f.nAvgBytesPerSec == f.nSamplesPerSec * f.nBlockAlign;
}

int SetupSoundConverter(const DataStream* stream, SoundConverter* c) {
  std::memset(c, 0, sizeof(*c));
  c->VorbisVariant = gSoundSystem.movieAudioFlag;
  c->Stream = *stream;
  c->RewindPoint = 0;
  Rewind(c->Stream);

  bool accepted = false;
  for (const ChainLink& link : kDecoderChain) {
    if (gSoundSystem.decoderMask & link.maskBit) continue;
    Rewind(c->Stream);
    if (link.open(c) != 0) continue;
    // Whatever a decoder makes of a file, only PCM that a buffer can play goes out.
    if (IsPlayablePcmFormat(c->OutputFormat) && c->BlockSize > 0) {
      accepted = true;
      break;
    }
    KindFunctions(c->Kind)->Release(c);
  }
  if (!accepted) {
    Rewind(c->Stream);
    return -1;
  }

  c->AtEnd = 0;
  c->Block =
      static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(c->BlockSize), __FILE__, __LINE__));
  if (!c->Block) {
    KindFunctions(c->Kind)->Release(c);
    return -1;
  }
  c->BlockFill = 0;
  c->BlockOffset = 0;
  c->Position = 0;
  c->Valid = 1;
  return 0;
}

int ReadSoundConverter(SoundConverter* c, void* buffer, int bytes) {
  if (!c->Valid) return -1;
  if (c->AtEnd || bytes <= 0) return 0;
  const SoundConverterKindFunctions* kind = KindFunctions(c->Kind);
  uint8_t* out = static_cast<uint8_t*>(buffer);
  int copied = 0;
  while (copied < bytes) {
    if (c->BlockFill == 0) {
      c->BlockOffset = 0;
      if (kind->Step(c) != 0) {
        c->BlockFill = 0;
        c->AtEnd = 1;
        break;
      }
    }
    const int n = std::min(bytes - copied, c->BlockFill);
    std::memcpy(out + copied, c->Block + c->BlockOffset, static_cast<size_t>(n));
    c->BlockOffset += n;
    c->BlockFill -= n;
    c->Position += n;
    copied += n;
  }
  return copied;
}

int SeekSoundConverter(SoundConverter* c, int frame) {
  if (!c->Valid) return -1;
  const int align = c->OutputFormat.nBlockAlign;
  long long target = static_cast<long long>(std::max(frame, 0)) * align;
  if (target > INT_MAX) target = INT_MAX / align * align;
  // A converter that has met the end always moves: a sound shorter than the slack must still
  // be able to start again.
  const long long distance = target > c->Position ? target - c->Position : c->Position - target;
  if (distance < kMoveSlack && !c->AtEnd) return 0;
  c->AtEnd = KindFunctions(c->Kind)->Move(c, static_cast<int>(target)) != 0 ? 1 : 0;
  return 0;
}

int GetSoundConverterSize(SoundConverter* c) {
  if (!c->Valid) return -1;
  return KindFunctions(c->Kind)->Size(c);
}

int GetSoundConverterFormat(const SoundConverter* c, WaveFormat* format) {
  if (!c->Valid) return -1;
  *format = c->OutputFormat;
  return 0;
}

int TerminateSoundConverter(SoundConverter* c) {
  if (!c->Valid) return -1;
  FreeTracked(c->Block);
  c->Block = nullptr;
  KindFunctions(c->Kind)->Release(c);
  c->Valid = 0;
  return 0;
}

int DecodeWholeSound(SoundConverter* c, WaveFormat* format, void** pcm, int* size) {
  if (!c->Valid) return -1;
  int total = GetSoundConverterSize(c);
  if (total < 0) total = 0;
  uint8_t* block =
      static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(total), __FILE__, __LINE__));
  if (!block) return -1;
  SeekSoundConverter(c, 0);
  int got;
  if (c->Kind == SoundConverterPcmWav) {
    // Plain PCM needs no block buffer: straight from the data chunk.
    KindFunctions(c->Kind)->Move(c, 0);
    got = static_cast<int>(
        c->Stream.Functions.Read(block, 1, static_cast<size_t>(total), c->Stream.Handle));
    c->Position = got;
  } else {
    got = ReadSoundConverter(c, block, total);
  }
  if (got < 0) got = 0;
  *format = c->OutputFormat;
  *pcm = block;
  *size = got;
  return 0;
}

int SetSoundDecoderMask(int mask) {
  gSoundSystem.decoderMask = mask;
  return 0;
}

int GetSoundDecoderMask() { return gSoundSystem.decoderMask; }

// The Ogg Vorbis decoder: the Vorbis file reader over the converter's DataStream, delivering
// little-endian PCM of the configured sample width.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <climits>
#include <cstring>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_decoders_internal.h"
#include "runtime/sound/sound_system.h"

namespace {

constexpr int kVorbisBlockSize = 4096;

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
  const DataStream& s = static_cast<SoundConverter*>(source)->Stream;
  return s.Functions.Read(buffer, size, count, s.Handle);
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) {
  const DataStream& s = static_cast<SoundConverter*>(source)->Stream;
  return s.Functions.Seek(s.Handle, static_cast<int>(offset), origin);
}

// The stream belongs to the converter's owner.
int CloseCallback(void*) { return 0; }

long TellCallback(void* source) {
  const DataStream& s = static_cast<SoundConverter*>(source)->Stream;
  return s.Functions.Tell(s.Handle);
}

const ov_callbacks kStreamCallbacks = {&ReadCallback, &SeekCallback, &CloseCallback, &TellCallback};

int StepVorbis(SoundConverter* c) {
  OggVorbis_File* vf = c->Vorbis.File;
  const int width = c->Vorbis.SampleWidth;
  for (;;) {
    int link = 0;
    const long got = ov_read(vf, reinterpret_cast<char*>(c->Block), kVorbisBlockSize, 0, width,
                             width != 1 ? 1 : 0, &link);
    // A hole is a gap in the pages: the reader has stepped over it, so read on.
    if (got == OV_HOLE) continue;
    if (got <= 0) return -1;
    // A chained link with other channels would break the frames apart.
    const vorbis_info* info = ov_info(vf, link);
    if (!info || info->channels != c->OutputFormat.nChannels) return -1;
    c->BlockFill = static_cast<int>(got);
    return 0;
  }
}

int MoveVorbis(SoundConverter* c, int target) {
  c->BlockFill = 0;
  c->BlockOffset = 0;
  c->Position = target;
  return ov_pcm_seek(c->Vorbis.File, target / c->OutputFormat.nBlockAlign) == 0 ? 0 : -1;
}

int SizeVorbis(SoundConverter* c) {
  const ogg_int64_t samples = ov_pcm_total(c->Vorbis.File, -1);
  if (samples <= 0) return 0;
  const int align = c->OutputFormat.nBlockAlign;
  const ogg_int64_t bytes = samples * align;
  return bytes > INT_MAX ? INT_MAX / align * align : static_cast<int>(bytes);
}

void ReleaseVorbis(SoundConverter* c) {
  if (c->Vorbis.Opened) ov_clear(c->Vorbis.File);
  FreeTracked(c->Vorbis.File);
  c->Vorbis.File = nullptr;
  c->Vorbis.Opened = 0;
}

}  // namespace

const SoundConverterKindFunctions kVorbisConverterFunctions = {&StepVorbis, &MoveVorbis,
                                                               &SizeVorbis, &ReleaseVorbis};

int OpenVorbisDecoder(SoundConverter* c) {
  c->Kind = SoundConverterVorbis;
  c->Vorbis.File =
      static_cast<OggVorbis_File*>(AllocTrackedZero(sizeof(OggVorbis_File), __FILE__, __LINE__));
  if (!c->Vorbis.File) return -1;
  // A failed open clears the reader itself.
  if (ov_open_callbacks(c, c->Vorbis.File, nullptr, 0, kStreamCallbacks) != 0) {
    ReleaseVorbis(c);
    return -1;
  }
  c->Vorbis.Opened = 1;

  const vorbis_info* info = ov_info(c->Vorbis.File, -1);
  // Bytes per sample: 2 unless start-up chose 1 (it is 0 before sound starts).
  const int width = gSoundSystem.vorbisSampleWidth == 1 ? 1 : 2;
  if (!info || info->channels <= 0 || info->channels > 0xFFFF || info->rate <= 0) {
    ReleaseVorbis(c);
    return -1;
  }
  c->Vorbis.SampleWidth = width;
  WaveFormat& f = c->OutputFormat;
  std::memset(&f, 0, sizeof(f));
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = static_cast<WORD>(info->channels);
  f.nSamplesPerSec = static_cast<DWORD>(info->rate);
  f.nBlockAlign = static_cast<WORD>(info->channels * width);
  f.wBitsPerSample = static_cast<WORD>(width * 8);
  f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
  f.cbSize = 0;
  c->BlockSize = kVorbisBlockSize;
  c->DataSize = SizeVorbis(c);
  return 0;
}

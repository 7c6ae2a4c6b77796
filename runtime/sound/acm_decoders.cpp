// Compressed WAV and MP3 through the platform's audio compression manager. Both refuse when
// "msacm32.dll" or any of its entry points was not found at sound start-up.
#include <algorithm>
#include <climits>
#include <cstring>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/mpeg_audio_frames.h"
#include "runtime/sound/sound_decoders_internal.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/wave_chunks.h"

namespace {

// Coded bytes offered to one conversion call.
constexpr int kAcmSourceChunk = 2048;
// Where the MP3 format block starts before the manager says how large formats can be.
constexpr DWORD kMp3FormatBytes = sizeof(MPEGLAYER3WAVEFORMAT);
constexpr WORD kMp3CodecDelay = 700;

struct AcmCalls {
  AcmFormatSuggestFunction formatSuggest;
  AcmStreamOpenFunction streamOpen;
  AcmStreamCloseFunction streamClose;
  AcmMetricsFunction metrics;
  AcmStreamHeaderFunction prepareHeader;
  AcmStreamHeaderFunction convert;
  AcmStreamHeaderFunction unprepareHeader;
  AcmStreamSizeFunction streamSize;
};

AcmCalls Calls() {
  const AcmFunctions& f = gSoundSystem.acm;
  return AcmCalls{
      reinterpret_cast<AcmFormatSuggestFunction>(f.acmFormatSuggest),
      reinterpret_cast<AcmStreamOpenFunction>(f.acmStreamOpen),
      reinterpret_cast<AcmStreamCloseFunction>(f.acmStreamClose),
      reinterpret_cast<AcmMetricsFunction>(f.acmMetrics),
      reinterpret_cast<AcmStreamHeaderFunction>(f.acmStreamPrepareHeader),
      reinterpret_cast<AcmStreamHeaderFunction>(f.acmStreamConvert),
      reinterpret_cast<AcmStreamHeaderFunction>(f.acmStreamUnprepareHeader),
      reinterpret_cast<AcmStreamSizeFunction>(f.acmStreamSize),
  };
}

bool OpenConversion(SoundConverter* c, HACMSTREAM* stream) {
  *stream = nullptr;
  const MMRESULT r = Calls().streamOpen(stream, nullptr, c->Acm.SourceFormat, &c->OutputFormat,
                                        nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
  if (r == MMSYSERR_NOERROR && *stream) return true;
  *stream = nullptr;
  return false;
}

void CloseConversion(HACMSTREAM* stream) {
  if (*stream) Calls().streamClose(*stream, 0);
  *stream = nullptr;
}

// One conversion call of at most kAcmSourceChunk coded bytes from *offset into `out`. The
// output bytes; *offset moves by the coded bytes used. A failed call gives nothing.
int ConvertChunk(SoundConverter* c, HACMSTREAM stream, int* offset, uint8_t* out, int outBytes) {
  AcmConverterArea& a = c->Acm;
  if (!stream || *offset >= a.CodedSize) return 0;
  const AcmCalls calls = Calls();
  ACMSTREAMHEADER h = {};
  h.cbStruct = sizeof h;
  h.pbSrc = a.Coded + *offset;
  h.cbSrcLength = static_cast<DWORD>(std::min(kAcmSourceChunk, a.CodedSize - *offset));
  h.pbDst = out;
  h.cbDstLength = static_cast<DWORD>(outBytes);
  if (calls.prepareHeader(stream, &h, 0) != MMSYSERR_NOERROR) return 0;
  const MMRESULT r = calls.convert(stream, &h, ACM_STREAMCONVERTF_BLOCKALIGN);
  calls.unprepareHeader(stream, &h, 0);
  if (r != MMSYSERR_NOERROR) return 0;
  // The counts come from the driver: never beyond the ranges it was given.
  *offset += static_cast<int>(std::min(h.cbSrcLengthUsed, h.cbSrcLength));
  return static_cast<int>(std::min(h.cbDstLengthUsed, h.cbDstLength));
}

int StepAcm(SoundConverter* c) {
  AcmConverterArea& a = c->Acm;
  // Only the active stream converts: the spare waits at the rewind point, which is the start
  // of the data here, until a move back takes it.
  if (a.SourceOffset >= a.CodedSize) return -1;
  const int made = ConvertChunk(c, a.Active, &a.SourceOffset, c->Block, c->BlockSize);
  if (made <= 0) {
    a.SourceOffset = a.CodedSize;
    return -1;
  }
  c->BlockFill = made;
  return 0;
}

void SkipInBlock(SoundConverter* c, int target) {
  const int skip = target - c->Position;
  c->BlockOffset += skip;
  c->BlockFill -= skip;
  c->Position = target;
}

int MoveAcm(SoundConverter* c, int target) {
  AcmConverterArea& a = c->Acm;
  if (c->Position <= target && target <= c->Position + c->BlockFill) {
    SkipInBlock(c, target);
    return 0;
  }
  if (target < c->Position) {
    if (a.Spare && target >= a.SparePosition) {
      // The spare stands at the start already: it takes over, and the old stream becomes
      // the new spare.
      HACMSTREAM old = a.Active;
      a.Active = a.Spare;
      a.SourceOffset = a.SpareSourceOffset;
      c->Position = a.SparePosition;
      a.Spare = nullptr;
      CloseConversion(&old);
      OpenConversion(c, &a.Spare);
      a.SpareSourceOffset = 0;
      a.SparePosition = 0;
    } else {
      CloseConversion(&a.Active);
      OpenConversion(c, &a.Active);
      c->Stream.Functions.Seek(c->Stream.Handle, c->DataPosition, 0);
      a.SourceOffset = 0;
      c->Position = 0;
    }
    c->BlockFill = 0;
    c->BlockOffset = 0;
  }
  for (;;) {
    if (target <= c->Position + c->BlockFill) {
      SkipInBlock(c, target);
      return 0;
    }
    c->Position += c->BlockFill;
    c->BlockFill = 0;
    c->BlockOffset = 0;
    if (StepAcm(c) != 0) return -1;
  }
}

int SizeAcm(SoundConverter* c) {
  const AcmConverterArea& a = c->Acm;
  const int align = c->OutputFormat.nBlockAlign;
  int64_t bytes = 0;
  if (a.TotalFrames >= 0) {
    bytes = static_cast<int64_t>(a.TotalFrames) * align;
  } else {
    DWORD estimate = 0;
    if (a.Active && Calls().streamSize(a.Active, static_cast<DWORD>(a.CodedSize), &estimate,
                                       ACM_STREAMSIZEF_SOURCE) == MMSYSERR_NOERROR)
      bytes = estimate;
  }
  return bytes > INT_MAX ? INT_MAX / align * align : static_cast<int>(bytes);
}

void ReleaseAcm(SoundConverter* c) {
  AcmConverterArea& a = c->Acm;
  CloseConversion(&a.Active);
  CloseConversion(&a.Spare);
  FreeTracked(a.SourceFormat);
  FreeTracked(a.Coded);
  a.SourceFormat = nullptr;
  a.Coded = nullptr;
  a.CodedSize = 0;
}

// With the source format and the coded data in place: the PCM format the manager suggests,
// and the active and the spare conversion. Releases everything on failure.
int FinishAcmOpen(SoundConverter* c, bool mp3) {
  AcmConverterArea& a = c->Acm;
  WaveFormat out = {};
  out.wFormatTag = WAVE_FORMAT_PCM;
  if (Calls().formatSuggest(nullptr, a.SourceFormat, &out, sizeof(WaveFormat),
                            ACM_FORMATSUGGESTF_WFORMATTAG) != MMSYSERR_NOERROR ||
      !IsPlayablePcmFormat(out)) {
    ReleaseAcm(c);
    return -1;
  }
  c->OutputFormat = out;
  if (!OpenConversion(c, &a.Active) || !OpenConversion(c, &a.Spare)) {
    ReleaseAcm(c);
    return -1;
  }
  a.SourceOffset = 0;
  a.SpareSourceOffset = 0;
  a.SparePosition = 0;
  c->BlockSize = mp3 ? static_cast<int>(static_cast<int64_t>(out.nAvgBytesPerSec) * 4 / 3)
                     : static_cast<int>(out.nAvgBytesPerSec);
  if (a.TotalFrames >= 0 && static_cast<int64_t>(a.TotalFrames) * out.nBlockAlign > INT_MAX) {
    ReleaseAcm(c);
    return -1;
  }
  return 0;
}

}  // namespace

const SoundConverterKindFunctions kAcmConverterFunctions = {&StepAcm, &MoveAcm, &SizeAcm,
                                                            &ReleaseAcm};

int OpenAcmWavDecoder(SoundConverter* c) {
  if (!AcmFunctionsAvailable()) return -1;
  WaveChunkLayout layout;
  if (ReadWaveChunks(&c->Stream, &layout) != 0) return -1;
  const WaveFormat& f = layout.Format;
  if (f.nChannels == 0 || f.nBlockAlign == 0 || f.nAvgBytesPerSec == 0 || f.nSamplesPerSec == 0)
    return -1;

  c->Kind = SoundConverterAcm;
  AcmConverterArea& a = c->Acm;
  std::memset(&a, 0, sizeof a);
  a.TotalFrames = -1;
  // The whole fmt chunk is the source format; a short chunk is completed to 18 bytes.
  const int formatBytes = std::max(layout.FmtSize, static_cast<int>(sizeof(WaveFormat)));
  a.SourceFormat = static_cast<WaveFormat*>(
      AllocTrackedZero(static_cast<size_t>(formatBytes), __FILE__, __LINE__));
  a.Coded =
      static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(layout.DataSize), __FILE__, __LINE__));
  if (!a.SourceFormat || !a.Coded) {
    ReleaseAcm(c);
    return -1;
  }
  const DataStream& s = c->Stream;
  if (s.Functions.Seek(s.Handle, layout.FmtPosition, 0) != 0 ||
      static_cast<int>(s.Functions.Read(a.SourceFormat, 1, static_cast<size_t>(layout.FmtSize),
                                        s.Handle)) != layout.FmtSize) {
    ReleaseAcm(c);
    return -1;
  }
  *a.SourceFormat = f;
  // The driver reads cbSize bytes after the record: never more than the chunk holds.
  if (layout.FmtSize < static_cast<int>(sizeof(WaveFormat))) {
    a.SourceFormat->cbSize = 0;
  } else {
    a.SourceFormat->cbSize = static_cast<WORD>(std::min<int>(
        a.SourceFormat->cbSize, layout.FmtSize - static_cast<int>(sizeof(WaveFormat))));
  }
  a.CodedSize = layout.DataSize;
  if (s.Functions.Seek(s.Handle, layout.DataPosition, 0) != 0 ||
      static_cast<int>(s.Functions.Read(a.Coded, 1, static_cast<size_t>(a.CodedSize), s.Handle)) !=
          a.CodedSize) {
    ReleaseAcm(c);
    return -1;
  }
  s.Functions.Seek(s.Handle, layout.DataPosition, 0);
  c->FmtPosition = layout.FmtPosition;
  c->FmtSize = layout.FmtSize;
  c->DataPosition = layout.DataPosition;
  c->DataSize = layout.DataSize;
  return FinishAcmOpen(c, false);
}

int OpenAcmMp3Decoder(SoundConverter* c) {
  if (!AcmFunctionsAvailable()) return -1;
  void* image = nullptr;
  int size = 0;
  if (ReadWholeStream(&c->Stream, &image, &size) != 0) return -1;
  MpegFrameScan scan;
  if (ScanMpegAudioFrames(static_cast<const uint8_t*>(image), size, &scan) != 0) {
    FreeTracked(image);
    return -1;
  }

  c->Kind = SoundConverterAcm;
  AcmConverterArea& a = c->Acm;
  std::memset(&a, 0, sizeof a);
  DWORD formatBytes = kMp3FormatBytes;
  if (Calls().metrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &formatBytes) != MMSYSERR_NOERROR ||
      formatBytes < kMp3FormatBytes)
    formatBytes = kMp3FormatBytes;
  a.SourceFormat = static_cast<WaveFormat*>(AllocTrackedZero(formatBytes, __FILE__, __LINE__));
  a.CodedSize = scan.DataEnd - scan.DataStart;
  a.Coded =
      static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(a.CodedSize), __FILE__, __LINE__));
  if (!a.SourceFormat || !a.Coded) {
    FreeTracked(image);
    ReleaseAcm(c);
    return -1;
  }
  std::memcpy(a.Coded, static_cast<const uint8_t*>(image) + scan.DataStart,
              static_cast<size_t>(a.CodedSize));
  FreeTracked(image);

  const MpegAudioHeader& h = scan.First;
  MPEGLAYER3WAVEFORMAT mp3 = {};
  mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  mp3.wfx.nChannels = static_cast<WORD>(h.Channels);
  mp3.wfx.nSamplesPerSec = static_cast<DWORD>(h.SampleRate);
  mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(h.BitRate * 1000 / 8);
  mp3.wfx.nBlockAlign = 1;
  mp3.wfx.wBitsPerSample = 0;
  mp3.wfx.cbSize = sizeof(MPEGLAYER3WAVEFORMAT) - sizeof(WAVEFORMATEX);
  mp3.wID = MPEGLAYER3_ID_MPEG;
  mp3.fdwFlags = static_cast<DWORD>(h.Padding);
  mp3.nBlockSize = static_cast<WORD>(h.FrameBytes);
  mp3.nFramesPerBlock = 1;
  mp3.nCodecDelay = kMp3CodecDelay;
  std::memcpy(a.SourceFormat, &mp3, sizeof mp3);

  a.TotalFrames = scan.TotalSamples > INT_MAX ? INT_MAX : static_cast<int>(scan.TotalSamples);
  c->DataPosition = scan.DataStart;
  c->DataSize = a.CodedSize;
  return FinishAcmOpen(c, true);
}

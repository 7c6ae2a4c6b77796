// Compressed WAV and MP3 through a stand-in compression manager installed in the sound
// system's table, as a platform with "msacm32.dll" would provide it. The stand-in knows three
// source formats: PCM (copied), a test codec of one unsigned byte per 16-bit sample, and MPEG
// Layer 3, whose frames it turns into 16-bit frames that all carry the frame's number.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/mpeg_audio_frames.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/sound_system.h"
#include "tests/support/sound_files.h"
#include "tests/support/sound_signals.h"

namespace {

constexpr WORD kByteCodecTag = 0x7777;
constexpr MMRESULT kAcmError = 1;

struct FakeAcmStream {
  Bytes source;  // the source format block as the decoder gave it
  WAVEFORMATEX destination;
  int frameNumber;  // MP3: frames converted so far
};

struct FakeAcm {
  static inline std::set<FakeAcmStream*> open;
  static inline int opensBeforeFailure = -1;  // -1: opens never fail
  static inline Bytes lastSuggestSource;

  static size_t FormatBytes(const WAVEFORMATEX* f) { return sizeof(WAVEFORMATEX) + f->cbSize; }

  static MMRESULT WINAPI Suggest(HACMDRIVER, LPWAVEFORMATEX src, LPWAVEFORMATEX dst, DWORD dstBytes,
                                 DWORD flags) {
    if (flags != ACM_FORMATSUGGESTF_WFORMATTAG || dst->wFormatTag != WAVE_FORMAT_PCM ||
        dstBytes < 18)
      return kAcmError;
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(src);
    lastSuggestSource.assign(raw, raw + FormatBytes(src));
    WAVEFORMATEX out = {};
    out.wFormatTag = WAVE_FORMAT_PCM;
    out.nChannels = src->nChannels;
    out.nSamplesPerSec = src->nSamplesPerSec;
    out.wBitsPerSample = 16;
    if (src->wFormatTag == WAVE_FORMAT_PCM) {
      out.wBitsPerSample = src->wBitsPerSample;
    } else if (src->wFormatTag != kByteCodecTag && src->wFormatTag != WAVE_FORMAT_MPEGLAYER3) {
      return kAcmError;
    }
    out.nBlockAlign = static_cast<WORD>(out.nChannels * out.wBitsPerSample / 8);
    out.nAvgBytesPerSec = out.nBlockAlign * out.nSamplesPerSec;
    *dst = out;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Open(LPHACMSTREAM stream, HACMDRIVER, LPWAVEFORMATEX src,
                              LPWAVEFORMATEX dst, LPWAVEFILTER, DWORD_PTR, DWORD_PTR, DWORD flags) {
    if (flags != ACM_STREAMOPENF_NONREALTIME) return kAcmError;
    if (opensBeforeFailure == 0) return kAcmError;
    if (opensBeforeFailure > 0) --opensBeforeFailure;
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(src);
    auto* s = new FakeAcmStream{Bytes(raw, raw + FormatBytes(src)), *dst, 0};
    open.insert(s);
    *stream = reinterpret_cast<HACMSTREAM>(s);
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Close(HACMSTREAM stream, DWORD) {
    auto* s = reinterpret_cast<FakeAcmStream*>(stream);
    if (!open.erase(s)) return kAcmError;
    delete s;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Metrics(HACMOBJ, UINT metric, LPVOID value) {
    if (metric != ACM_METRIC_MAX_SIZE_FORMAT) return kAcmError;
    *static_cast<DWORD*>(value) = 50;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Prepare(HACMSTREAM, LPACMSTREAMHEADER h, DWORD) {
    if (h->cbStruct != sizeof(ACMSTREAMHEADER)) return kAcmError;
    h->fdwStatus |= 0x20000;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Unprepare(HACMSTREAM, LPACMSTREAMHEADER h, DWORD) {
    h->fdwStatus &= ~0x20000u;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Convert(HACMSTREAM stream, LPACMSTREAMHEADER h, DWORD flags) {
    auto* s = reinterpret_cast<FakeAcmStream*>(stream);
    if (!open.count(s) || !(h->fdwStatus & 0x20000) || flags != ACM_STREAMCONVERTF_BLOCKALIGN)
      return kAcmError;
    const auto* src = reinterpret_cast<const WAVEFORMATEX*>(s->source.data());
    DWORD in = 0, out = 0;
    if (src->wFormatTag == WAVE_FORMAT_PCM) {
      in = out = std::min(h->cbSrcLength, h->cbDstLength / src->nBlockAlign * src->nBlockAlign);
      std::memcpy(h->pbDst, h->pbSrc, out);
    } else if (src->wFormatTag == kByteCodecTag) {
      in = std::min(h->cbSrcLength, h->cbDstLength / 2);
      for (DWORD i = 0; i < in; ++i) {
        const uint16_t v = static_cast<uint16_t>(static_cast<int16_t>((h->pbSrc[i] - 128) * 256));
        h->pbDst[2 * i] = static_cast<uint8_t>(v);
        h->pbDst[2 * i + 1] = static_cast<uint8_t>(v >> 8);
      }
      out = 2 * in;
    } else {
      // Whole frames only; each becomes its samples, all set to the frame's number.
      MpegAudioHeader m;
      while (in + 4 <= h->cbSrcLength && ParseMpegAudioHeader(h->pbSrc + in, &m) == 0 &&
             in + static_cast<DWORD>(m.FrameBytes) <= h->cbSrcLength &&
             out + static_cast<DWORD>(m.FrameSamples) * s->destination.nBlockAlign <=
                 h->cbDstLength) {
        ++s->frameNumber;
        for (int i = 0; i < m.FrameSamples * s->destination.nChannels; ++i) {
          h->pbDst[out++] = static_cast<uint8_t>(s->frameNumber);
          h->pbDst[out++] = static_cast<uint8_t>(s->frameNumber >> 8);
        }
        in += static_cast<DWORD>(m.FrameBytes);
      }
    }
    h->cbSrcLengthUsed = in;
    h->cbDstLengthUsed = out;
    return MMSYSERR_NOERROR;
  }

  static MMRESULT WINAPI Size(HACMSTREAM stream, DWORD input, LPDWORD output, DWORD flags) {
    auto* s = reinterpret_cast<FakeAcmStream*>(stream);
    if (!open.count(s) || flags != ACM_STREAMSIZEF_SOURCE) return kAcmError;
    const auto* src = reinterpret_cast<const WAVEFORMATEX*>(s->source.data());
    *output = src->wFormatTag == kByteCodecTag ? input * 2 : input;
    return MMSYSERR_NOERROR;
  }
};

class AcmDecoder : public testing::Test {
 protected:
  void SetUp() override {
    // Any loaded module stands in for "msacm32.dll".
    gSoundSystem.acmModule = LoadLibraryA("winmm.dll");
    ASSERT_NE(gSoundSystem.acmModule, nullptr);
    gSoundSystem.acm = AcmFunctions{
        reinterpret_cast<FARPROC>(&FakeAcm::Suggest),
        reinterpret_cast<FARPROC>(&FakeAcm::Open),
        reinterpret_cast<FARPROC>(&FakeAcm::Close),
        reinterpret_cast<FARPROC>(&FakeAcm::Metrics),
        reinterpret_cast<FARPROC>(&FakeAcm::Prepare),
        reinterpret_cast<FARPROC>(&FakeAcm::Convert),
        reinterpret_cast<FARPROC>(&FakeAcm::Unprepare),
        reinterpret_cast<FARPROC>(&FakeAcm::Size),
    };
    FakeAcm::opensBeforeFailure = -1;
    heapBefore_ = GetTrackedHeapTotals();
  }

  void TearDown() override {
    EXPECT_TRUE(FakeAcm::open.empty()) << "conversion streams left open";
    const TrackedHeapTotals after = GetTrackedHeapTotals();
    EXPECT_EQ(after.blocks, heapBefore_.blocks);
    FreeLibrary(gSoundSystem.acmModule);
    gSoundSystem.acmModule = nullptr;
    gSoundSystem.acm = AcmFunctions{};
    SetSoundDecoderMask(0);
  }

  static Bytes ReadAll(SoundConverter* c, int chunk = 1000) {
    Bytes out;
    Bytes buffer(static_cast<size_t>(chunk));
    for (int n; (n = ReadSoundConverter(c, buffer.data(), chunk)) > 0;)
      out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    return out;
  }

  TrackedHeapTotals heapBefore_{};
};

Bytes ByteCodecWav(const Bytes& coded, int rate) {
  Bytes fmt = FmtBody(kByteCodecTag, 1, rate, rate, 1, 8);
  AppendLe16(fmt, 2);  // two bytes of codec data follow
  fmt.push_back(0xAB);
  fmt.push_back(0xCD);
  return RiffWave({WavChunk("fmt ", fmt), WavChunk("LIST", Bytes(3, 1)), WavChunk("data", coded)});
}

Bytes ExpandByteCodec(const Bytes& coded) {
  Bytes out;
  for (uint8_t b : coded)
    AppendLe16(out, static_cast<uint16_t>(static_cast<int16_t>((b - 128) * 256)));
  return out;
}

TEST_F(AcmDecoder, CompressedWavConvertsAndMovesBackThroughTheSpareStream) {
  Bytes coded(60000);
  for (size_t i = 0; i < coded.size(); ++i) coded[i] = static_cast<uint8_t>(i * 13 + i / 300);
  const Bytes expected = ExpandByteCodec(coded);
  MemoryDataStream stream(ByteCodecWav(coded, 22050));
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  EXPECT_EQ(conv.Kind, SoundConverterAcm);
  EXPECT_EQ(FakeAcm::open.size(), 2u);  // the active and the spare conversion
  // The whole fmt chunk, codec data included, is the source format.
  ASSERT_EQ(FakeAcm::lastSuggestSource.size(), 20u);
  EXPECT_EQ(FakeAcm::lastSuggestSource[18], 0xAB);
  EXPECT_EQ(FakeAcm::lastSuggestSource[19], 0xCD);

  WaveFormat f;
  ASSERT_EQ(GetSoundConverterFormat(&conv, &f), 0);
  EXPECT_EQ(f.wBitsPerSample, 16);
  EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(GetSoundConverterSize(&conv), 120000);  // the manager's estimate
  EXPECT_EQ(ReadAll(&conv), expected);

  ASSERT_EQ(SeekSoundConverter(&conv, 0), 0);
  EXPECT_EQ(ReadAll(&conv, 333), expected);
  ASSERT_EQ(SeekSoundConverter(&conv, 51234), 0);
  EXPECT_EQ(ReadAll(&conv), Bytes(expected.begin() + 2 * 51234, expected.end()));
  // Forward from near the start, across several conversions, and back inside the block.
  ASSERT_EQ(SeekSoundConverter(&conv, 0), 0);
  Bytes some(100);
  ASSERT_EQ(ReadSoundConverter(&conv, some.data(), 100), 100);
  ASSERT_EQ(SeekSoundConverter(&conv, 20000), 0);
  ASSERT_EQ(ReadSoundConverter(&conv, some.data(), 100), 100);
  EXPECT_EQ(some, Bytes(expected.begin() + 40000, expected.begin() + 40100));
  ASSERT_EQ(SeekSoundConverter(&conv, 20010), 0);
  ASSERT_EQ(ReadSoundConverter(&conv, some.data(), 100), 100);
  EXPECT_EQ(some, Bytes(expected.begin() + 40020, expected.begin() + 40120));
  ASSERT_EQ(SeekSoundConverter(&conv, 70000), 0);  // beyond the end
  EXPECT_EQ(ReadSoundConverter(&conv, some.data(), 100), 0);

  void* whole = nullptr;
  int size = 0;
  ASSERT_EQ(DecodeWholeSound(&conv, &f, &whole, &size), 0);
  EXPECT_EQ(Bytes(static_cast<uint8_t*>(whole), static_cast<uint8_t*>(whole) + size), expected);
  FreeTracked(whole);
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
}

TEST_F(AcmDecoder, PcmWavWithThePlainDecoderOffGoesThroughTheManager) {
  const Bytes pcm = MakeSinePcm(16, 2, 44100, 3000, 440.0, 9000.0);
  SetSoundDecoderMask(SoundDecoderPcmWav);
  MemoryDataStream stream(PcmWavFile(16, 2, 44100, pcm));
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  EXPECT_EQ(conv.Kind, SoundConverterAcm);
  EXPECT_EQ(ReadAll(&conv), pcm);
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
}

TEST_F(AcmDecoder, RefusalsLeaveNothingOpen) {
  const Bytes coded(500, 0x80);
  Bytes zeroChannels = ByteCodecWav(coded, 22050);
  zeroChannels[12 + 8 + 2] = 0;  // the fmt chunk's channels
  Bytes unknownTag = ByteCodecWav(coded, 22050);
  unknownTag[12 + 8] = 0x55;  // a tag the manager does not know
  unknownTag[12 + 9] = 0x66;
  struct Case {
    const char* name;
    Bytes file;
    int opensBeforeFailure;
  } cases[] = {
      {"no channels", zeroChannels, -1},
      {"no suggestion", unknownTag, -1},
      {"active stream does not open", ByteCodecWav(coded, 22050), 0},
      {"spare stream does not open", ByteCodecWav(coded, 22050), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The filter-graph decoder would log its refusal; only the manager's decoders are asked.
    SetSoundDecoderMask(SoundDecoderPcmWav | SoundDecoderVorbis | SoundDecoderFilterGraphMp3);
    FakeAcm::opensBeforeFailure = c.opensBeforeFailure;
    MemoryDataStream stream(c.file);
    SoundConverter conv;
    EXPECT_EQ(SetupSoundConverter(stream.stream(), &conv), -1);
    EXPECT_TRUE(FakeAcm::open.empty());
  }
  FakeAcm::opensBeforeFailure = -1;
}

TEST_F(AcmDecoder, Mp3DecodesTheFramesBetweenTheTags) {
  const int frames = 20;
  Bytes file = Id3v2Tag(700);
  const Bytes audio =
      MpegFrames(0xFB, 0x92, 0x44, frames);  // 128 kbit/s, 44100 Hz, padded: 418 bytes
  file.insert(file.end(), audio.begin(), audio.end());
  const Bytes tag = Id3v1Tag();
  file.insert(file.end(), tag.begin(), tag.end());
  MemoryDataStream stream(file);
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  EXPECT_EQ(conv.Kind, SoundConverterAcm);

  // The format block made from the first frame.
  ASSERT_EQ(FakeAcm::lastSuggestSource.size(), 30u);
  MPEGLAYER3WAVEFORMAT mp3;
  std::memcpy(&mp3, FakeAcm::lastSuggestSource.data(), sizeof mp3);
  EXPECT_EQ(mp3.wfx.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
  EXPECT_EQ(mp3.wfx.nChannels, 2);
  EXPECT_EQ(mp3.wfx.nSamplesPerSec, 44100u);
  EXPECT_EQ(mp3.wfx.nAvgBytesPerSec, 16000u);
  EXPECT_EQ(mp3.wfx.nBlockAlign, 1);
  EXPECT_EQ(mp3.wfx.cbSize, 12);
  EXPECT_EQ(mp3.wID, 1);
  EXPECT_EQ(mp3.fdwFlags, 1u);
  EXPECT_EQ(mp3.nBlockSize, 418);
  EXPECT_EQ(mp3.nFramesPerBlock, 1);
  EXPECT_EQ(mp3.nCodecDelay, 700);

  EXPECT_EQ(GetSoundConverterSize(&conv), frames * 1152 * 4);
  EXPECT_EQ(conv.BlockSize, 176400 * 4 / 3);
  Bytes expected;
  for (int n = 1; n <= frames; ++n)
    for (int i = 0; i < 1152 * 2; ++i) AppendLe16(expected, static_cast<uint16_t>(n));
  EXPECT_EQ(ReadAll(&conv), expected);
  ASSERT_EQ(SeekSoundConverter(&conv, 0), 0);
  EXPECT_EQ(ReadAll(&conv, 4099), expected);
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
}

}  // namespace

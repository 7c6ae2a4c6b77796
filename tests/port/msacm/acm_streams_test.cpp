// The compression manager's entry points: what it converts, its flags and its results.
#include <gtest/gtest.h>

#include "port/ffmpeg/ffmpeg_api.h"
#include "port/win32.h"

namespace {

WAVEFORMATEX Format(WORD tag, WORD channels, DWORD rate, WORD blockAlign, WORD bits,
                    WORD extra = 0) {
  WAVEFORMATEX f = {};
  f.wFormatTag = tag;
  f.nChannels = channels;
  f.nSamplesPerSec = rate;
  f.nAvgBytesPerSec = rate * blockAlign;
  f.nBlockAlign = blockAlign;
  f.wBitsPerSample = bits;
  f.cbSize = extra;
  return f;
}

TEST(AcmStreams, ModuleExportsTheEightEntryPoints) {
  HMODULE m = LoadLibraryA("msacm32.dll");
  ASSERT_NE(m, nullptr);
  for (const char* name :
       {"acmFormatSuggest", "acmStreamOpen", "acmStreamClose", "acmMetrics",
        "acmStreamPrepareHeader", "acmStreamConvert", "acmStreamUnprepareHeader", "acmStreamSize"})
    EXPECT_NE(GetProcAddress(m, name), nullptr) << name;
  EXPECT_EQ(FreeLibrary(m), TRUE);
  PortSetModuleAbsent("msacm32", true);
  EXPECT_EQ(LoadLibraryA("msacm32.dll"), nullptr);
  PortResetModuleSwitches();
}

TEST(AcmStreams, SuggestsSixteenBitPcmForTheCodingsItKnows) {
  struct Case {
    WAVEFORMATEX source;
    MMRESULT result;
    WORD bits;
  } cases[] = {
      {Format(WAVE_FORMAT_MULAW, 2, 8000, 2, 8), MMSYSERR_NOERROR, 16},
      {Format(WAVE_FORMAT_ALAW, 1, 8000, 1, 8), MMSYSERR_NOERROR, 16},
      {Format(WAVE_FORMAT_IMA_ADPCM, 1, 22050, 512, 4, 0), MMSYSERR_NOERROR, 16},
      {Format(WAVE_FORMAT_GSM610, 1, 8000, 65, 0, 0), MMSYSERR_NOERROR, 16},
      {Format(WAVE_FORMAT_MPEGLAYER3, 2, 44100, 1, 0, 0), MMSYSERR_NOERROR, 16},
      {Format(WAVE_FORMAT_PCM, 1, 11025, 1, 8), MMSYSERR_NOERROR, 8},
      {Format(WAVE_FORMAT_PCM, 1, 11025, 3, 24), ACMERR_NOTPOSSIBLE, 0},
      {Format(0x1234, 1, 11025, 1, 8), ACMERR_NOTPOSSIBLE, 0},
      {Format(WAVE_FORMAT_MULAW, 0, 8000, 1, 8), ACMERR_NOTPOSSIBLE, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.source.wFormatTag);
    WAVEFORMATEX out = {};
    out.wFormatTag = WAVE_FORMAT_PCM;
    ASSERT_EQ(acmFormatSuggest(nullptr, &c.source, &out, sizeof out, ACM_FORMATSUGGESTF_WFORMATTAG),
              c.result);
    if (c.result != MMSYSERR_NOERROR) continue;
    EXPECT_EQ(out.nChannels, c.source.nChannels);
    EXPECT_EQ(out.nSamplesPerSec, c.source.nSamplesPerSec);
    EXPECT_EQ(out.wBitsPerSample, c.bits);
    EXPECT_EQ(out.nBlockAlign, c.source.nChannels * c.bits / 8);
  }
  WAVEFORMATEX src = Format(WAVE_FORMAT_MULAW, 1, 8000, 1, 8), out = {};
  out.wFormatTag = 2;
  EXPECT_EQ(acmFormatSuggest(nullptr, &src, &out, sizeof out, ACM_FORMATSUGGESTF_WFORMATTAG),
            ACMERR_NOTPOSSIBLE);  // only PCM comes out
  out.wFormatTag = WAVE_FORMAT_PCM;
  EXPECT_EQ(acmFormatSuggest(nullptr, &src, &out, 8, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(acmFormatSuggest(nullptr, &src, &out, sizeof out, 0x80), MMSYSERR_INVALFLAG);
  DWORD largest = 0;
  EXPECT_EQ(acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest), MMSYSERR_NOERROR);
  EXPECT_GE(largest, 50u);
  EXPECT_EQ(acmMetrics(nullptr, 1, &largest), ACMERR_NOTPOSSIBLE);
}

TEST(AcmStreams, ConvertsPreparedHeadersWholeBlocksAtATime) {
  WAVEFORMATEX src = Format(WAVE_FORMAT_MULAW, 1, 8000, 1, 8), dst = {};
  ASSERT_EQ(acmFormatSuggest(nullptr, &src, &dst, sizeof dst, 0), MMSYSERR_NOERROR);
  HACMSTREAM s = nullptr;
  // A callback or a filter would convert in the background, which this manager does not do.
  EXPECT_EQ(acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 1, 0, 0), MMSYSERR_INVALFLAG);
  WAVEFORMATEX wrong = dst;
  wrong.nSamplesPerSec = 11025;
  EXPECT_EQ(acmStreamOpen(&s, nullptr, &src, &wrong, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(s, nullptr);
  ASSERT_EQ(acmStreamOpen(&s, nullptr, &src, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME),
            MMSYSERR_NOERROR);
  EXPECT_EQ(PortOpenAcmStreamCount(), 1);

  // mu-law 0xFF and 0x7F are the two zeros; 0x00 and 0x80 the extremes.
  BYTE in[4] = {0xFF, 0x7F, 0x00, 0x80};
  int16_t out[3] = {};
  ACMSTREAMHEADER h = {};
  h.cbStruct = sizeof h;
  h.pbSrc = in;
  h.cbSrcLength = sizeof in;
  h.pbDst = reinterpret_cast<BYTE*>(out);
  h.cbDstLength = sizeof out;
  EXPECT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN), ACMERR_UNPREPARED);
  ASSERT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_NOERROR);
  ASSERT_EQ(acmStreamConvert(s, &h, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_NOERROR);
  // Three samples fit: the fourth block stays for the next call.
  EXPECT_EQ(h.cbSrcLengthUsed, 3u);
  EXPECT_EQ(h.cbDstLengthUsed, 6u);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], -32124);
  EXPECT_EQ(acmStreamUnprepareHeader(s, &h, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamUnprepareHeader(s, &h, 0), ACMERR_UNPREPARED);

  DWORD bytes = 0;
  EXPECT_EQ(acmStreamSize(s, 100, &bytes, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
  EXPECT_EQ(bytes, 200u);
  EXPECT_EQ(acmStreamSize(s, 200, &bytes, ACM_STREAMSIZEF_DESTINATION), MMSYSERR_NOERROR);
  EXPECT_EQ(bytes, 100u);

  EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(PortOpenAcmStreamCount(), 0);
  // A closed stream is no stream.
  EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmStreamPrepareHeader(s, &h, 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmStreamSize(s, 100, &bytes, 0), MMSYSERR_INVALHANDLE);
}

// Without FFmpeg a coded format cannot be converted, though it is still suggested (the suggestion
// is the manager's own); plain PCM needs no FFmpeg.
TEST(AcmStreams, WithoutFFmpegOnlyPcmOpens) {
  PortSetFFmpegMissingForTest(true);
  WAVEFORMATEX mulaw = Format(WAVE_FORMAT_MULAW, 1, 8000, 1, 8), pcm = Format(1, 1, 8000, 2, 16);
  WAVEFORMATEX dst = {};
  EXPECT_EQ(acmFormatSuggest(nullptr, &mulaw, &dst, sizeof dst, 0), MMSYSERR_NOERROR);
  HACMSTREAM s = nullptr;
  EXPECT_EQ(acmStreamOpen(&s, nullptr, &mulaw, &dst, nullptr, 0, 0, 0), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(s, nullptr);
  ASSERT_EQ(acmStreamOpen(&s, nullptr, &pcm, &pcm, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
  PortSetFFmpegMissingForTest(false);
  ASSERT_EQ(acmStreamOpen(&s, nullptr, &mulaw, &dst, nullptr, 0, 0, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamClose(s, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(PortOpenAcmStreamCount(), 0);
}

}  // namespace

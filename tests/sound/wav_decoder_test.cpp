// The RIFF / WAVE chunk rules, the PCM WAV decoder and the converter's read and move rules.
#include <gtest/gtest.h>

#include <string>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/wave_chunks.h"
#include "tests/support/log_capture.h"
#include "tests/support/sound_files.h"
#include "tests/support/sound_signals.h"

namespace {

// Everything a converter delivers, read in chunks of an awkward size.
Bytes ReadAllChunks(SoundConverter* c, int chunk = 777) {
  Bytes out;
  Bytes buffer(static_cast<size_t>(chunk));
  for (;;) {
    const int n = ReadSoundConverter(c, buffer.data(), chunk);
    EXPECT_GE(n, 0);
    if (n <= 0) break;
    out.insert(out.end(), buffer.begin(), buffer.begin() + n);
  }
  return out;
}

Bytes Pattern(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return b;
}

struct WavCase {
  const char* name;
  Bytes file;
  bool accepted;
  int bits;   // expected output bits
  Bytes pcm;  // expected output
};

TEST(WavDecoder, ChunkRulesDecideWhatIsReadAndWhatIsRefused) {
  const Bytes pcm = Pattern(4000);  // 1000 frames of 16-bit stereo
  const Bytes fmt16 = FmtBody(1, 2, 22050, 88200, 4, 16);
  const Bytes data = WavChunk("data", pcm);
  Bytes shortData = data;
  shortData.resize(shortData.size() - 1001);  // the chunk claims 1001 bytes more than there are
  Bytes shortPcm(pcm.begin(), pcm.begin() + 2999 / 4 * 4);

  const std::vector<WavCase> cases = {
      {"plain", RiffWave({WavChunk("fmt ", fmt16), data}), true, 16, pcm},
      {"18-byte fmt", RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 88200, 4, 16, true)), data}),
       true, 16, pcm},
      {"bext first", RiffWave({WavChunk("bext", Pattern(602)), WavChunk("fmt ", fmt16), data}),
       true, 16, pcm},
      {"odd LIST before data",
       RiffWave({WavChunk("fmt ", fmt16), WavChunk("LIST", Pattern(13)), data}), true, 16, pcm},
      {"wrong bits in a 16-byte fmt",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 88200, 4, 8)), data}), true, 16, pcm},
      {"data beyond the file end", RiffWave({WavChunk("fmt ", fmt16), shortData}), true, 16,
       shortPcm},
      {"rounded byte rate", RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 88000, 4, 16)), data}),
       true, 16, pcm},
      {"8-bit mono", RiffWave({WavChunk("fmt ", FmtBody(1, 1, 8000, 8000, 1, 8)), data}), true, 8,
       pcm},
      {"no data chunk",
       RiffWave({WavChunk("fmt ", fmt16), WavChunk("LIST", Pattern(20))}),
       false,
       0,
       {}},
      {"first chunk neither bext nor fmt",
       RiffWave({WavChunk("LIST", Pattern(4)), WavChunk("fmt ", fmt16), data}),
       false,
       0,
       {}},
      {"not RIFF",
       [&] {
         Bytes b = RiffWave({WavChunk("fmt ", fmt16), data});
         b[0] = 'X';
         return b;
       }(),
       false,
       0,
       {}},
      {"not WAVE",
       [&] {
         Bytes b = RiffWave({WavChunk("fmt ", fmt16), data});
         b[8] = 'X';
         return b;
       }(),
       false,
       0,
       {}},
      {"no channels",
       RiffWave({WavChunk("fmt ", FmtBody(1, 0, 22050, 88200, 4, 16)), data}),
       false,
       0,
       {}},
      {"no block align",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 88200, 0, 16, true)), data}),
       false,
       0,
       {}},
      {"no byte rate",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 0, 4, 16)), data}),
       false,
       0,
       {}},
      {"no sample rate",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 0, 88200, 4, 16)), data}),
       false,
       0,
       {}},
      {"24 bits",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 132300, 6, 24, true)), data}),
       false,
       0,
       {}},
      {"block align not channels x bits",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 22050, 88200, 8, 16, true)), data}),
       false,
       0,
       {}},
      {"six channels",
       RiffWave({WavChunk("fmt ", FmtBody(1, 6, 22050, 264600, 12, 16)), data}),
       false,
       0,
       {}},
      {"rate beyond any buffer",
       RiffWave({WavChunk("fmt ", FmtBody(1, 2, 400000, 1600000, 4, 16)), data}),
       false,
       0,
       {}},
      {"float samples",
       RiffWave({WavChunk("fmt ", FmtBody(3, 2, 22050, 176400, 8, 32, true)), data}),
       false,
       0,
       {}},
  };
  for (const WavCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryDataStream stream(c.file);
    SoundConverter conv;
    const int result = SetupSoundConverter(stream.stream(), &conv);
    ASSERT_EQ(result, c.accepted ? 0 : -1);
    if (!c.accepted) {
      EXPECT_EQ(conv.Valid, 0);
      EXPECT_EQ(ReadSoundConverter(&conv, nullptr, 10), -1);
      continue;
    }
    WaveFormat f;
    ASSERT_EQ(GetSoundConverterFormat(&conv, &f), 0);
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.wBitsPerSample, c.bits);
    EXPECT_EQ(f.nAvgBytesPerSec, f.nSamplesPerSec * f.nBlockAlign);
    EXPECT_EQ(GetSoundConverterSize(&conv), static_cast<int>(c.pcm.size()));
    EXPECT_EQ(ReadAllChunks(&conv), c.pcm);
    EXPECT_EQ(TerminateSoundConverter(&conv), 0);
    EXPECT_EQ(TerminateSoundConverter(&conv), -1);
  }
}

TEST(WavDecoder, ChunkLayoutGivesWhereFormatAndDataLie) {
  const Bytes file = RiffWave({WavChunk("bext", Pattern(10)),
                               WavChunk("fmt ", FmtBody(1, 1, 8000, 8000, 1, 8, true)),
                               WavChunk("LIST", Pattern(5)), WavChunk("data", Pattern(33))});
  MemoryDataStream stream(file);
  WaveChunkLayout layout;
  ASSERT_EQ(ReadWaveChunks(stream.stream(), &layout), 0);
  EXPECT_EQ(layout.FmtPosition, 12 + 18 + 8);
  EXPECT_EQ(layout.FmtSize, 18);
  EXPECT_EQ(layout.DataPosition, 12 + 18 + 26 + 14 + 8);
  EXPECT_EQ(layout.DataSize, 33);
  EXPECT_EQ(stream.stream()->Functions.Tell(stream.stream()->Handle), layout.DataPosition);
}

TEST(WavDecoder, WholeDecodeAndMovesDeliverTheRightBytes) {
  const Bytes pcm = MakeSinePcm(16, 2, 44100, 50000, 441.0, 12000.0);
  MemoryDataStream stream(PcmWavFile(16, 2, 44100, pcm));
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);

  WaveFormat f;
  void* whole = nullptr;
  int size = 0;
  ASSERT_EQ(DecodeWholeSound(&conv, &f, &whole, &size), 0);
  ASSERT_EQ(size, static_cast<int>(pcm.size()));
  EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), static_cast<uint8_t*>(whole)));
  FreeTracked(whole);

  // A move to a frame reads from that frame on, across the one-second block.
  ASSERT_EQ(SeekSoundConverter(&conv, 30000), 0);
  EXPECT_EQ(ReadAllChunks(&conv), Bytes(pcm.begin() + 120000, pcm.end()));

  // Back to the start after the end, then a move of less than 16 bytes changes nothing.
  ASSERT_EQ(SeekSoundConverter(&conv, 0), 0);
  Bytes first(40);
  ASSERT_EQ(ReadSoundConverter(&conv, first.data(), 40), 40);
  ASSERT_EQ(SeekSoundConverter(&conv, 7), 0);  // 28 bytes: 12 bytes from the position
  Bytes next(8);
  ASSERT_EQ(ReadSoundConverter(&conv, next.data(), 8), 8);
  EXPECT_EQ(next, Bytes(pcm.begin() + 40, pcm.begin() + 48));
  ASSERT_EQ(SeekSoundConverter(&conv, 2), 0);  // 8 bytes: 40 from the position, so it moves
  ASSERT_EQ(ReadSoundConverter(&conv, next.data(), 8), 8);
  EXPECT_EQ(next, Bytes(pcm.begin() + 8, pcm.begin() + 16));
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
}

TEST(WavDecoder, SoundShorterThanTheMoveSlackStartsAgainAfterItsEnd) {
  const Bytes pcm = {1, 0, 2, 0, 3, 0};  // three 16-bit mono frames
  MemoryDataStream stream(PcmWavFile(16, 1, 8000, pcm));
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  for (int pass = 0; pass < 3; ++pass) {
    EXPECT_EQ(ReadAllChunks(&conv, 4), pcm) << pass;
    EXPECT_EQ(ReadSoundConverter(&conv, nullptr, 0), 0);
    ASSERT_EQ(SeekSoundConverter(&conv, 0), 0);
  }
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
}

TEST(WavDecoder, MaskDecidesWhichDecodersAreOffered) {
  const Bytes wav = PcmWavFile(16, 1, 8000, Pattern(100));
  struct Case {
    int mask;
    int result;
  } cases[] = {
      {0, 0}, {SoundDecoderAcmWav | SoundDecoderVorbis, 0}, {SoundDecoderPcmWav, -1}, {-5, -1}};
  for (const Case& c : cases) {
    LogCapture log;
    SetSoundDecoderMask(c.mask);
    EXPECT_EQ(GetSoundDecoderMask(), c.mask);
    MemoryDataStream stream(wav);
    SoundConverter conv;
    EXPECT_EQ(SetupSoundConverter(stream.stream(), &conv), c.result) << c.mask;
    if (c.result == 0) TerminateSoundConverter(&conv);
    // The filter-graph decoder is the last one asked; it reports why it cannot convert.
    const bool graphAsked = c.result != 0 && !(c.mask & SoundDecoderFilterGraphMp3);
    EXPECT_EQ(log.Contents().find("グラフの構築に失敗しました\r\n") != std::string::npos,
              graphAsked)
        << c.mask;
  }
  SetSoundDecoderMask(0);
}

}  // namespace

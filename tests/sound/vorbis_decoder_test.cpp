// The Ogg Vorbis decoder on files encoded by the test.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_converter.h"
#include "tests/support/sound_files.h"
#include "tests/support/sound_signals.h"

namespace {

Bytes ReadRest(SoundConverter* c) {
  Bytes out;
  Bytes buffer(1000);
  int n;
  while ((n = ReadSoundConverter(c, buffer.data(), 1000)) > 0)
    out.insert(out.end(), buffer.begin(), buffer.begin() + n);
  return out;
}

TEST(VorbisDecoder, DecodesExactFramesAsSigned16BitLittleEndian) {
  struct Case {
    int channels;
    int rate;
    int frames;
    double hz;
  } cases[] = {{2, 44100, 30011, 441.0}, {1, 22050, 9000, 300.0}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.channels);
    const Bytes source = MakeSinePcm(16, k.channels, k.rate, k.frames, k.hz, 16000.0);
    MemoryDataStream stream(EncodeOggVorbis(BytesToSamples16(source), k.channels, k.rate));
    SoundConverter conv;
    ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
    WaveFormat f;
    ASSERT_EQ(GetSoundConverterFormat(&conv, &f), 0);
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, k.channels);
    EXPECT_EQ(f.nSamplesPerSec, static_cast<DWORD>(k.rate));
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.nBlockAlign, 2 * k.channels);
    EXPECT_EQ(f.nAvgBytesPerSec, static_cast<DWORD>(2 * k.channels * k.rate));
    EXPECT_EQ(f.cbSize, 0);
    const int bytes = k.frames * 2 * k.channels;
    EXPECT_EQ(GetSoundConverterSize(&conv), bytes);

    const Bytes first = ReadRest(&conv);
    ASSERT_EQ(static_cast<int>(first.size()), bytes);
    // Read as signed little-endian samples, the tone comes back at its pitch and level.
    std::vector<double> left;
    const std::vector<int16_t> samples = BytesToSamples16(first);
    for (size_t i = 0; i < samples.size(); i += static_cast<size_t>(k.channels))
      left.push_back(samples[i]);
    const ToneMeasure m = MeasureTone(left, k.rate);
    EXPECT_NEAR(m.frequency, k.hz, 0.5);
    EXPECT_NEAR(m.amplitude, 16000.0, 800.0);
    EXPECT_LT(m.distortion, 0.05);

    // Back to frame 0: the same bytes again; from a frame in the middle: the same tail.
    ASSERT_EQ(SeekSoundConverter(&conv, 0), 0);
    EXPECT_EQ(ReadRest(&conv), first);
    ASSERT_EQ(SeekSoundConverter(&conv, 5000), 0);
    EXPECT_EQ(ReadRest(&conv), Bytes(first.begin() + 5000 * 2 * k.channels, first.end()));

    void* whole = nullptr;
    int size = 0;
    ASSERT_EQ(DecodeWholeSound(&conv, &f, &whole, &size), 0);
    EXPECT_EQ(Bytes(static_cast<uint8_t*>(whole), static_cast<uint8_t*>(whole) + size), first);
    FreeTracked(whole);
    EXPECT_EQ(TerminateSoundConverter(&conv), 0);
  }
}

TEST(VorbisDecoder, OnlyPlayableFormatsAndOnlyWhenEnabled) {
  const Bytes stereo =
      EncodeOggVorbis(BytesToSamples16(MakeSinePcm(16, 2, 44100, 4000, 500.0, 8000.0)), 2, 44100);
  const Bytes three =
      EncodeOggVorbis(BytesToSamples16(MakeSinePcm(16, 3, 44100, 4000, 500.0, 8000.0)), 3, 44100);
  struct Case {
    const Bytes* file;
    int mask;
    int result;
  } cases[] = {{&stereo, -5, 0}, {&stereo, SoundDecoderVorbis, -1}, {&three, 0, -1}};
  for (const Case& c : cases) {
    SetSoundDecoderMask(c.mask);
    MemoryDataStream stream(*c.file);
    SoundConverter conv;
    EXPECT_EQ(SetupSoundConverter(stream.stream(), &conv), c.result) << c.mask;
    if (c.result == 0) TerminateSoundConverter(&conv);
  }
  SetSoundDecoderMask(0);
}

}  // namespace

namespace {

TEST(VorbisDecoder, MissingPageIsSteppedOverAndTheRestStillDecodes) {
  const int frames = 132300;
  Bytes ogg = EncodeOggVorbis(BytesToSamples16(MakeSinePcm(16, 1, 44100, frames, 440.0, 12000.0)),
                              1, 44100, true);
  // Take out a page in the middle: the reader meets a hole in the packets there.
  std::vector<size_t> pages;
  for (size_t i = 0; i + 4 <= ogg.size(); ++i)
    if (std::memcmp(&ogg[i], "OggS", 4) == 0) pages.push_back(i);
  ASSERT_GT(pages.size(), 20u);
  const size_t k = pages.size() / 2;
  ogg.erase(ogg.begin() + static_cast<long>(pages[k]),
            ogg.begin() + static_cast<long>(pages[k + 1]));

  MemoryDataStream stream(ogg);
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  const Bytes got = ReadRest(&conv);
  // Well past the hole, short of the whole by about the lost page, and whole samples.
  EXPECT_GT(got.size(), static_cast<size_t>(frames) * 2 * 9 / 10);
  EXPECT_LT(static_cast<int>(got.size()), GetSoundConverterSize(&conv));
  EXPECT_EQ(got.size() % 2, 0u);
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
}

}  // namespace

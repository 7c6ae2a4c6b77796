// MPEG audio frame headers and the frame scan between the ID3 tags.
#include <gtest/gtest.h>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/mpeg_audio_frames.h"
#include "runtime/sound/sound_converter.h"
#include "tests/support/sound_files.h"

namespace {

Bytes Cat(const std::vector<Bytes>& parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(MpegAudioHeader, ParsesVersionsLayersAndRefusesReservedCodes) {
  struct Case {
    uint8_t b[4];
    int result;
    int mpeg1, layer, bitRate, sampleRate, padding, channels, frameBytes, frameSamples;
  } cases[] = {
      // MPEG-1 Layer III, 128 kbit/s, 44100 Hz, stereo; then with padding and mono.
      {{0xFF, 0xFB, 0x90, 0x44}, 0, 1, 2, 128, 44100, 0, 2, 417, 1152},
      {{0xFF, 0xFB, 0x92, 0xC4}, 0, 1, 2, 128, 44100, 1, 1, 418, 1152},
      // MPEG-1 Layer II, 192 kbit/s, 48000 Hz; Layer I, 32 kbit/s, 32000 Hz, padded.
      {{0xFF, 0xFD, 0xA4, 0x00}, 0, 1, 1, 192, 48000, 0, 2, 576, 1152},
      {{0xFF, 0xFF, 0x1A, 0x00}, 0, 1, 0, 32, 32000, 1, 2, 52, 384},
      // MPEG-2 Layer III, 64 kbit/s, 22050 Hz; Layer II, 8 kbit/s, 16000 Hz; Layer I, 256, 24000.
      {{0xFF, 0xF3, 0x80, 0x00}, 0, 0, 2, 64, 22050, 0, 2, 208, 576},
      {{0xFF, 0xF5, 0x18, 0xC0}, 0, 0, 1, 8, 16000, 0, 1, 72, 1152},
      {{0xFF, 0xF7, 0xE4, 0x00}, 0, 0, 0, 256, 24000, 0, 2, 512, 384},
      // No sync; reserved layer; free format; bit-rate index 15; sample-rate index 3.
      {{0xFE, 0xFB, 0x90, 0x44}, -1, 0, 0, 0, 0, 0, 0, 0, 0},
      {{0xFF, 0xEB, 0x90, 0x44}, -1, 0, 0, 0, 0, 0, 0, 0, 0},
      {{0xFF, 0xF9, 0x90, 0x44}, -1, 0, 0, 0, 0, 0, 0, 0, 0},
      {{0xFF, 0xFB, 0x00, 0x44}, -1, 0, 0, 0, 0, 0, 0, 0, 0},
      {{0xFF, 0xFB, 0xF0, 0x44}, -1, 0, 0, 0, 0, 0, 0, 0, 0},
      {{0xFF, 0xFB, 0x9C, 0x44}, -1, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << std::hex << int(c.b[1]) << " " << int(c.b[2]) << " " << int(c.b[3]));
    MpegAudioHeader h;
    ASSERT_EQ(ParseMpegAudioHeader(c.b, &h), c.result);
    if (c.result != 0) continue;
    EXPECT_EQ(h.Mpeg1, c.mpeg1);
    EXPECT_EQ(h.Layer, c.layer);
    EXPECT_EQ(h.BitRate, c.bitRate);
    EXPECT_EQ(h.SampleRate, c.sampleRate);
    EXPECT_EQ(h.Padding, c.padding);
    EXPECT_EQ(h.Channels, c.channels);
    EXPECT_EQ(h.FrameBytes, c.frameBytes);
    EXPECT_EQ(h.FrameSamples, c.frameSamples);
  }
}

TEST(MpegFrameScan, FramesLieBetweenTheTags) {
  const Bytes frames = MpegFrames(0xFB, 0x90, 0x44, 5);  // 5 x 417 bytes
  const Bytes v3 = Id3v2Tag(300);                        // 310 bytes
  const Bytes v4 = Id3v2Tag(300, true);                  // 320 bytes with the footer
  const Bytes garbage = {0x00, 0x12, 0xFF, 0x00, 0x7F};  // 0xFF without the sync nibble
  Bytes cut = frames;
  cut.resize(cut.size() - 100);  // the last frame runs past the audio end
  struct Case {
    const char* name;
    Bytes file;
    int audioStart, audioEnd, dataStart, dataEnd, frameCount;
  } cases[] = {
      {"bare", frames, 0, 2085, 0, 2085, 5},
      {"ID3v2 and ID3v1", Cat({v3, frames, Id3v1Tag()}), 310, 2395, 310, 2395, 5},
      {"ID3v2.4 footer", Cat({v4, frames}), 320, 2405, 320, 2405, 5},
      {"noise before the first frame", Cat({garbage, frames}), 0, 2090, 5, 2090, 5},
      {"last frame cut by the ID3v1 tag", Cat({cut, Id3v1Tag()}), 0, 1985, 0, 1985, 5},
      {"trailing bytes without a sync", Cat({frames, Bytes(100, 0)}), 0, 2185, 0, 2085, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MpegFrameScan scan;
    ASSERT_EQ(ScanMpegAudioFrames(c.file.data(), static_cast<int>(c.file.size()), &scan), 0);
    EXPECT_EQ(scan.AudioStart, c.audioStart);
    EXPECT_EQ(scan.AudioEnd, c.audioEnd);
    EXPECT_EQ(scan.DataStart, c.dataStart);
    EXPECT_EQ(scan.DataEnd, c.dataEnd);
    EXPECT_EQ(scan.FrameCount, c.frameCount);
    EXPECT_EQ(scan.TotalSamples, 1152 * c.frameCount);
    EXPECT_EQ(scan.First.SampleRate, 44100);
  }
}

TEST(MpegFrameScan, RefusesImagesWithoutValidFrames) {
  Bytes badFirst = MpegFrames(0xFB, 0x90, 0x44, 3);
  badFirst[2] = 0xF0;  // bit-rate index 15 at the first sync
  Bytes badLater = MpegFrames(0xFB, 0x90, 0x44, 3);
  badLater[417 + 1] = 0xF9;  // reserved layer at the second frame
  const Bytes tagOnly = Cat({Id3v2Tag(50), Id3v1Tag()});
  Bytes tagBeyondEnd = Id3v2Tag(0);
  tagBeyondEnd[6] = 0x7F;  // claims a tag far longer than the file
  tagBeyondEnd.insert(tagBeyondEnd.end(), 500, 0xFF);
  const Bytes cases[] = {badFirst, badLater, tagOnly, tagBeyondEnd, Bytes{0xFF, 0xFB, 0x90},
                         Bytes{}};
  for (const Bytes& file : cases) {
    MpegFrameScan scan;
    EXPECT_EQ(ScanMpegAudioFrames(file.data(), static_cast<int>(file.size()), &scan), -1)
        << file.size();
  }
}

TEST(MpegFrameScan, WithoutTheCompressionManagerAnMp3GoesToTheFilterGraph) {
  // Frames of empty bodies decode to silence, 1152 stereo frames each.
  MemoryDataStream stream(Cat({Id3v2Tag(20), MpegFrames(0xFB, 0x90, 0x44, 20)}));
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  EXPECT_EQ(conv.Kind, SoundConverterMemoryPcm);
  EXPECT_EQ(GetSoundConverterSize(&conv), 20 * 1152 * 4);
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);

  // 8 kbit/s mono at 16 kHz: 36-byte frames of 1152 PCM bytes, so the PCM outgrows ten times
  // the file and the buffer grows on the graph's thread.
  MemoryDataStream low(MpegFrames(0xF3, 0x18, 0xC0, 3000));
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  ASSERT_EQ(SetupSoundConverter(low.stream(), &conv), 0);
  EXPECT_EQ(conv.Kind, SoundConverterMemoryPcm);
  EXPECT_EQ(GetSoundConverterSize(&conv), 3000 * 576 * 2);
  EXPECT_GT(conv.MemoryPcm.Capacity, 10 * 3000 * 36);
  EXPECT_EQ(TerminateSoundConverter(&conv), 0);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

}  // namespace

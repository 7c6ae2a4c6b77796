// Mutated WAV files through the decoder chain and mutated MPEG audio images through the frame
// scan: every input ends in a clean refusal or in reads that stay inside what was accepted.
#include <gtest/gtest.h>

#include <random>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/mpeg_audio_frames.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/sound_system.h"
#include "tests/support/encoded_media.h"
#include "tests/support/sound_files.h"
#include "tests/support/sound_signals.h"

namespace {

const uint32_t kInteresting[] = {0,      1,          2,           3,           15,         16,
                                 17,     0x7F,       0x80,        0xFF,        0x7FFF,     0x8000,
                                 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu};

// One to four mutations: random bytes, interesting 32-bit values, a cut, or a repeated run.
Bytes Mutate(const Bytes& seed, std::mt19937& rng) {
  Bytes b = seed;
  const int count = 1 + static_cast<int>(rng() % 4);
  for (int k = 0; k < count && !b.empty(); ++k) {
    const size_t at = rng() % b.size();
    switch (rng() % 5) {
      case 0:
        b[at] = static_cast<uint8_t>(rng());
        break;
      case 1:
        b[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 2: {
        const uint32_t v = kInteresting[rng() % std::size(kInteresting)];
        for (size_t i = 0; i < 4 && at + i < b.size(); ++i)
          b[at + i] = static_cast<uint8_t>(v >> (8 * i));
        break;
      }
      case 3:
        b.resize(at);
        break;
      case 4: {
        const size_t length = std::min<size_t>(1 + rng() % 64, b.size() - at);
        const Bytes run(b.begin() + static_cast<long>(at),
                        b.begin() + static_cast<long>(at + length));
        b.insert(b.begin() + static_cast<long>(rng() % (b.size() + 1)), run.begin(), run.end());
        break;
      }
    }
  }
  return b;
}

// The log stays quiet: refusals of the last decoder would write a line per case.
class QuietLog {
 public:
  QuietLog() { SetLogOutput(0); }
  ~QuietLog() { SetLogOutput(1); }
};

TEST(SoundFuzz, MutatedWavFilesAreRefusedOrReadWithinTheirSize) {
  QuietLog quiet;
  const std::vector<Bytes> seeds = {
      PcmWavFile(16, 2, 22050, MakeSinePcm(16, 2, 22050, 200, 440.0, 9000.0)),
      RiffWave({WavChunk("bext", Bytes(9, 1)),
                WavChunk("fmt ", FmtBody(1, 1, 8000, 8000, 1, 8, true)),
                WavChunk("LIST", Bytes(7, 2)),
                WavChunk("data", MakeSinePcm(8, 1, 8000, 301, 300.0, 20000.0))}),
      RiffWave({WavChunk("fmt ", FmtBody(2, 1, 22050, 11100, 256, 4, true)),
                WavChunk("data", Bytes(512, 0x11))}),
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  std::mt19937 rng(20240611);
  int accepted = 0;
  Bytes buffer(333);
  for (int i = 0; i < 6000; ++i) {
    const Bytes file = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], rng);
    MemoryDataStream stream(file);
    SoundConverter conv;
    if (SetupSoundConverter(stream.stream(), &conv) != 0) {
      ASSERT_EQ(conv.Valid, 0);
      continue;
    }
    ++accepted;
    WaveFormat f;
    ASSERT_EQ(GetSoundConverterFormat(&conv, &f), 0);
    ASSERT_TRUE(f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 && f.nBlockAlign > 0) << i;
    const int size = GetSoundConverterSize(&conv);
    ASSERT_GE(size, 0);
    ASSERT_LE(size, static_cast<int>(file.size()));
    ASSERT_EQ(size % f.nBlockAlign, 0);
    int total = 0;
    for (int n;
         (n = ReadSoundConverter(&conv, buffer.data(), static_cast<int>(buffer.size()))) > 0;)
      total += n;
    ASSERT_EQ(total, size) << i;
    ASSERT_EQ(SeekSoundConverter(&conv, static_cast<int>(rng() % 1000)), 0);
    ReadSoundConverter(&conv, buffer.data(), static_cast<int>(buffer.size()));
    void* pcm = nullptr;
    int pcmSize = -1;
    ASSERT_EQ(DecodeWholeSound(&conv, &f, &pcm, &pcmSize), 0);
    ASSERT_EQ(pcmSize, size);
    FreeTracked(pcm);
    ASSERT_EQ(TerminateSoundConverter(&conv), 0);
  }
  // The mutations keep enough files intact for the reading paths to run.
  EXPECT_GT(accepted, 600);
  const TrackedHeapTotals after = GetTrackedHeapTotals();
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(after.bytes, before.bytes);
}

// Compressed WAVs and MP3 as FFmpeg's encoders write them, mutated, through the compression
// manager's decoders: refused, or read to the end within the size they report (an estimate
// for a compressed WAV, which the reads may fall short of but never pass).
TEST(SoundFuzz, MutatedCompressedFilesThroughTheCompressionManager) {
  QuietLog quiet;
  LoadAcmFunctions();
  ASSERT_EQ(AcmFunctionsAvailable(), 1);
  SetSoundDecoderMask(SoundDecoderPcmWav | SoundDecoderVorbis | SoundDecoderFilterGraphMp3);
  const std::vector<int16_t> tone =
      BytesToSamples16(MakeSinePcm(16, 2, 22050, 3000, 700.0, 9000.0));
  const std::vector<Bytes> seeds = {
      EncodeSoundFile("wav", "adpcm_ima_wav", tone, 2, 22050),
      EncodeSoundFile("wav", "adpcm_ms", tone, 2, 22050),
      EncodeSoundFile("wav", "pcm_mulaw", tone, 2, 22050),
      EncodeSoundFile("mp3", "libmp3lame", tone, 2, 22050, 64000),
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  std::mt19937 rng(4242);
  int accepted = 0;
  Bytes buffer(1000);  // whole frames of every format the seeds have
  for (int i = 0; i < 2000; ++i) {
    const Bytes file = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], rng);
    MemoryDataStream stream(file);
    SoundConverter conv;
    if (SetupSoundConverter(stream.stream(), &conv) != 0) continue;
    ++accepted;
    WaveFormat f;
    ASSERT_EQ(GetSoundConverterFormat(&conv, &f), 0);
    const int size = GetSoundConverterSize(&conv);
    ASSERT_GE(size, 0);
    int total = 0;
    for (int n;
         (n = ReadSoundConverter(&conv, buffer.data(), static_cast<int>(buffer.size()))) > 0;) {
      ASSERT_EQ(n % f.nBlockAlign, 0);
      total += n;
    }
    ASSERT_EQ(SeekSoundConverter(&conv, static_cast<int>(rng() % 5000)), 0);
    ReadSoundConverter(&conv, buffer.data(), static_cast<int>(buffer.size()));
    void* pcm = nullptr;
    int pcmSize = -1;
    ASSERT_EQ(DecodeWholeSound(&conv, &f, &pcm, &pcmSize), 0);
    ASSERT_LE(pcmSize, size);
    FreeTracked(pcm);
    ASSERT_EQ(TerminateSoundConverter(&conv), 0);
  }
  SetSoundDecoderMask(0);
  FreeAcmFunctions();
  EXPECT_GT(accepted, 200);
  EXPECT_EQ(PortOpenAcmStreamCount(), 0);
  const TrackedHeapTotals after = GetTrackedHeapTotals();
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(after.bytes, before.bytes);
}

TEST(SoundFuzz, MutatedMpegImagesAreRefusedOrScannedInsideTheImage) {
  auto cat = [](std::vector<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const std::vector<Bytes> seeds = {
      cat({Id3v2Tag(40), MpegFrames(0xFB, 0x90, 0x44, 6), Id3v1Tag()}),
      cat({Id3v2Tag(12, true), MpegFrames(0xF3, 0x80, 0xC0, 9)}),
      cat({Bytes{0, 0xFF, 0x10}, MpegFrames(0xFF, 0x1A, 0x00, 12)}),
  };
  std::mt19937 rng(77);
  int accepted = 0;
  for (int i = 0; i < 20000; ++i) {
    const Bytes image = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], rng);
    const int size = static_cast<int>(image.size());
    MpegFrameScan scan;
    if (ScanMpegAudioFrames(image.data(), size, &scan) != 0) continue;
    ++accepted;
    ASSERT_GE(scan.AudioStart, 0);
    ASSERT_LE(scan.AudioEnd, size);
    ASSERT_GE(scan.DataStart, scan.AudioStart);
    ASSERT_LT(scan.DataStart, scan.DataEnd);
    ASSERT_LE(scan.DataEnd, scan.AudioEnd);
    ASSERT_GE(scan.FrameCount, 1);
    ASSERT_GE(scan.TotalSamples, 384LL * scan.FrameCount);
    ASSERT_LE(scan.TotalSamples, 1152LL * scan.FrameCount);
    MpegAudioHeader first;
    ASSERT_EQ(ParseMpegAudioHeader(image.data() + scan.DataStart, &first), 0);
    ASSERT_EQ(first.FrameBytes, scan.First.FrameBytes);
  }
  EXPECT_GT(accepted, 2000);
}

}  // namespace

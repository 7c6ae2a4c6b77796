// Loading sound files into handles by the creation type: whole sounds in normal buffers, the
// length rule that streams long sounds, stream sounds from files and images, and failures.
#include <string>

#include "runtime/platform/core/tracked_heap.h"
#include "tests/sound/stream_sound_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/sound_signals.h"

namespace {

TEST_F(StreamSoundTest, CreationTypeAcceptsZeroToThreeAndStoresOneAsZero) {
  struct Case {
    int set;
    int result;
    int stored;
  } cases[] = {{3, 0, 3}, {1, 0, 0}, {2, 0, 2}, {4, -1, 2}, {-1, -1, 2}, {0, 0, 0}, {7, -1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(SetSoundCreateType(c.set), c.result) << c.set;
    EXPECT_EQ(GetSoundCreateType(), c.stored) << c.set;
  }
}

TEST_F(StreamSoundTest, WholeSoundsFillUpToTenBuffers) {
  LogCapture log;
  const std::vector<int16_t> sig = StreamSignal(20000, 11);
  const Bytes wav = MonoWav(sig);
  log.folder().WriteFile("se.wav", std::string(wav.begin(), wav.end()));
  ASSERT_EQ(SetSoundCreateType(0), 0);
  const int h = LoadSoundFile((log.folder().WindowsPath() + "\\se.wav").c_str(), 20, -1);
  ASSERT_NE(h, -1);
  EXPECT_EQ(GetSoundEntry(h)->kind, SoundKindNormal);
  EXPECT_EQ(GetSoundEntry(h)->bufferCount, 10);
  EXPECT_EQ(GetSoundTotalSamples(h), 20000);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  EXPECT_TRUE(SameSamples(Render(25000), Concat({sig, Silence(5000)})));
}

TEST_F(StreamSoundTest, LongSoundsAndSoundsWithoutBuffersAreStreamedInstead) {
  ASSERT_EQ(SetSoundCreateType(0), 0);
  struct Case {
    const char* name;
    int frames;       // 8-bit mono at 8,000 Hz
    int failBuffers;  // buffer creations that fail
    int kind;
  } cases[] = {
      {"180 seconds and a half", 180 * 8000 + 4000, 0, SoundKindNormal},
      {"181 seconds", 181 * 8000, 0, SoundKindStream},
      {"no buffers", 8000, 2, SoundKindStream},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes wav = PcmWavFile(8, 1, 8000, Bytes(static_cast<size_t>(c.frames), 0x90));
    PortSetDirectSoundFailure(PortDsCall::CreateSoundBuffer, 0, c.failBuffers);
    const int h = LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 2, -1);
    ASSERT_NE(h, -1);
    EXPECT_EQ(GetSoundEntry(h)->kind, c.kind);
    EXPECT_EQ(GetSoundTotalSamples(h), c.frames);
    EXPECT_EQ(GetSoundCreateType(), 0);  // the switch to streaming lasts for that load only
    EXPECT_EQ(DeleteSoundHandle(h), 0);
  }
}

TEST_F(StreamSoundTest, OggFilesStreamTheirDecodedPcmFromMemoryOrFromTheOpenFile) {
  LogCapture log;
  const Bytes ogg =
      EncodeOggVorbis(BytesToSamples16(MakeSinePcm(16, 2, 44100, 50000, 330.0, 12000.0)), 2, 44100);
  log.folder().WriteFile("bgm.ogg", std::string(ogg.begin(), ogg.end()));
  MemoryDataStream stream(ogg);
  SoundConverter conv;
  ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
  WaveFormat format;
  void* pcm = nullptr;
  int size = 0;
  ASSERT_EQ(DecodeWholeSound(&conv, &format, &pcm, &size), 0);
  TerminateSoundConverter(&conv);
  std::vector<int16_t> expected =
      BytesToSamples16(Bytes(static_cast<uint8_t*>(pcm), static_cast<uint8_t*>(pcm) + size));
  FreeTracked(pcm);
  ASSERT_EQ(expected.size(), 100000u);
  expected.resize(expected.size() + 2 * 4410, 0);

  const int openHandles = PortOpenHandleCount();
  for (int type : {2, 3}) {
    SCOPED_TRACE(type);
    ASSERT_EQ(SetSoundCreateType(type), 0);
    const int h = LoadSoundFile((log.folder().WindowsPath() + "\\bgm.ogg").c_str(), 3, -1);
    ASSERT_NE(h, -1);
    // Type 2 closed the file after reading it; type 3 reads it while playing.
    EXPECT_EQ(PortOpenHandleCount(), openHandles + (type == 3 ? 1 : 0));
    EXPECT_EQ(GetSoundEntry(h)->stream.sources[0].type, type);
    EXPECT_EQ(GetSoundTotalSamples(h), 50000);
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
    EXPECT_TRUE(SameSamples(RenderStereo(50000 + 4410), expected));
    EXPECT_EQ(IsSoundPlaying(h), 0);
    EXPECT_EQ(DeleteSoundHandle(h), 0);
    EXPECT_EQ(PortOpenHandleCount(), openHandles);
  }
  // An image in memory is always held as one.
  const int h = LoadSoundFromMemory(ogg.data(), static_cast<int>(ogg.size()), 3, -1);
  ASSERT_NE(h, -1);
  EXPECT_EQ(GetSoundEntry(h)->stream.sources[0].type, StreamSourceImage);
}

TEST_F(StreamSoundTest, FailedLoadsLogWhyAndLeaveNoHandle) {
  LogCapture log;
  log.folder().WriteFile("noise.wav", std::string(500, 'x'));
  const std::string missing = log.folder().WindowsPath() + "\\missing.wav";
  const std::string noise = log.folder().WindowsPath() + "\\noise.wav";
  struct Case {
    int type;
    std::string file;
    std::string lines;
  } cases[] = {
      {0, missing,
       "右記のファイルのオープンに失敗しました：" + missing +
           "\n右記の音声ファイルのロードに失敗しました_1：" + missing + "\n"},
      {2, missing, "右記のＷＡＶファイルのロードに失敗しました：" + missing + " \n"},
      {3, missing, "右記のＷＡＶファイルのロードに失敗しました：" + missing + " \n"},
      {0, noise,
       "音声ファイルのＰＣＭへの変換に失敗しました\n右記の音声ファイルのロードに失敗しました_2：" +
           noise + "\n"},
      {2, noise,
       "音声データのオープンに失敗しました\n右記のＷＡＶファイルのセットアップに失敗しました：" +
           noise + " \n"},
      {3, noise,
       "音声データのオープンに失敗しました\n右記のＷＡＶファイルのセットアップに失敗しました：" +
           noise + " \n"},
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  const int handles = SoundHandles.count;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    SCOPED_TRACE(c.file);
    ASSERT_EQ(SetSoundCreateType(c.type), 0);
    const size_t start = log.Contents().size();
    EXPECT_EQ(LoadSoundFile(c.file.c_str(), 3, -1), -1);
    EXPECT_EQ(LogTexts(log.Contents().substr(start)), c.lines);
    EXPECT_EQ(SoundHandles.count, handles);
  }
  const Bytes wav = MonoWav(StreamSignal(100, 12));
  EXPECT_EQ(LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 11, -1), -1);
  EXPECT_EQ(SoundHandles.count, handles);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);

  ASSERT_EQ(ShutdownSound(), 0);
  EXPECT_EQ(LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 1, -1), -1);
  EXPECT_EQ(LoadSoundFile(noise.c_str(), 1, -1), -1);
}

}  // namespace

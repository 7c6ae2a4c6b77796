// Stream sounds rendered sample by sample on the manual output: playing once, looping,
// repeats over several sources, stop and resume, the end of the data anywhere in the ring,
// sharing one ring buffer, and the rules for adding sources.
#include <string>

#include "tests/sound/stream_sound_fixture.h"
#include "tests/support/log_capture.h"

namespace {

TEST_F(StreamSoundTest, PlayOnceRendersItsPcmThenSilenceAndPlaysAgainFromTheStart) {
  const std::vector<int16_t> sig = StreamSignal(50000, 1);
  const int h = LoadStream(MonoWav(sig));
  ASSERT_NE(h, -1);
  EXPECT_EQ(GetSoundTotalSamples(h), 50000);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
    EXPECT_EQ(IsSoundPlaying(h), 1);
    if (round == 0) {
      // Primed with three quarters of a second: one eighth more, then nothing until the
      // cursor has moved on.
      EXPECT_EQ(RefillStreamSound(h), 0);
      EXPECT_EQ(RefillStreamSound(h), -1);
      EXPECT_EQ(RefillStreamSound(h + 1), -1);
    }
    EXPECT_TRUE(SameSamples(Render(50000 + 22050), Concat({sig, Silence(22050)})));
    EXPECT_EQ(IsSoundPlaying(h), 0);
    EXPECT_EQ(GetSoundPositionMs(h), 0);
  }
}

TEST_F(StreamSoundTest, LoopRendersWithoutGapsAndThePositionWrapsWhenTheSeamIsHeard) {
  // The second sound is one ring long, and a refill comes exactly as the cursor reaches each
  // seam at ring offset 0.
  struct Case {
    int frames;
    int step;
  } cases[] = {{40000, kStep}, {44100, 1470}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames);
    const int n = c.frames;
    const std::vector<int16_t> sig = StreamSignal(n, 2);
    const int h = LoadStream(MonoWav(sig));
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayLoop, 1), 0);
    const std::vector<int16_t> out = Render(
        3 * n + 5000,
        [&](int rendered) {
          ASSERT_EQ(GetSoundPositionMs(h), SamplesToMilliseconds(rendered % n, 44100)) << rendered;
        },
        c.step);
    EXPECT_TRUE(SameSamples(
        out, Concat({sig, sig, sig, std::vector<int16_t>(sig.begin(), sig.begin() + 5000)})));
    EXPECT_EQ(IsSoundPlaying(h), 1);
    EXPECT_EQ(StopSoundHandle(h), 0);
    EXPECT_EQ(IsSoundPlaying(h), 0);
    EXPECT_EQ(DeleteSoundHandle(h), 0);
  }
}

TEST_F(StreamSoundTest, RepeatCountsAndSourcesPlayInOrder) {
  const std::vector<int16_t> a = StreamSignal(20000, 3);
  const std::vector<int16_t> b = StreamSignal(15000, 4);
  const Bytes wavA = MonoWav(a);
  const Bytes wavB = MonoWav(b);
  const int h = AddSoundData(-1);
  ASSERT_EQ(AddStreamSoundMemory(wavA.data(), static_cast<int>(wavA.size()), 2, h, 2, -1), 0);
  ASSERT_EQ(AddStreamSoundMemory(wavB.data(), static_cast<int>(wavB.size()), 0, h, 2, -1), 0);
  ASSERT_EQ(PrimeStreamSound(h), 0);
  EXPECT_EQ(GetSoundTotalSamples(h), 35000);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  int positionAtTheThirdCopy = -1;
  const std::vector<int16_t> out = Render(75000 + 10000, [&](int rendered) {
    if (positionAtTheThirdCopy < 0 && rendered >= 45000)
      positionAtTheThirdCopy = GetSoundPositionMs(h);
  });
  EXPECT_TRUE(SameSamples(out, Concat({a, a, a, b, Silence(10000)})));
  // The position counts on through the repeats and stops at the length of all sources.
  EXPECT_EQ(positionAtTheThirdCopy, SamplesToMilliseconds(35000, 44100));
  EXPECT_EQ(IsSoundPlaying(h), 0);
}

TEST_F(StreamSoundTest, StopAndResumeLoseOrDoubleNoSample) {
  const std::vector<int16_t> sig = StreamSignal(60000, 5);
  const int h = LoadStream(MonoWav(sig));
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  EXPECT_EQ(PlaySoundHandle(h, SoundPlayBackground, 0), -1);  // already playing
  std::vector<int16_t> out = Render(17640);
  ASSERT_EQ(StopSoundHandle(h), 0);
  EXPECT_EQ(IsSoundPlaying(h), 0);
  EXPECT_EQ(GetSoundPositionMs(h), 400);
  const std::vector<int16_t> paused = Render(8820);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 0), 0);
  const std::vector<int16_t> rest = Render(60000 - 17640 + 4410);
  out.insert(out.end(), rest.begin(), rest.end());
  EXPECT_TRUE(SameSamples(paused, Silence(8820)));
  EXPECT_TRUE(SameSamples(out, Concat({sig, Silence(4410)})));
}

TEST_F(StreamSoundTest, DataEndingAnywhereInTheRingEnds) {
  // The ring holds 44,100 frames of 2 bytes: data ending 4 bytes before its end, exactly at
  // its end, after one wrap, and no data at all.
  for (int frames : {44098, 44100, 44101, 88198, 0}) {
    SCOPED_TRACE(frames);
    const std::vector<int16_t> sig = StreamSignal(frames, 6);
    const int h = LoadStream(MonoWav(sig));
    ASSERT_NE(h, -1);
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
    EXPECT_TRUE(SameSamples(Render(frames + 11025), Concat({sig, Silence(11025)})));
    EXPECT_EQ(IsSoundPlaying(h), 0);
    EXPECT_EQ(GetSoundPositionMs(h), 0);
    EXPECT_EQ(DeleteSoundHandle(h), 0);
  }
}

TEST_F(StreamSoundTest, SwitchingBetweenLoopAndOnceAfterTheEndStartsAfresh) {
  const int n = 30000;
  const std::vector<int16_t> sig = StreamSignal(n, 7);
  struct Case {
    int playType;
    bool restarts;
  } cases[] = {{SoundPlayBackground, true}, {SoundPlayLoop, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.playType);
    const int h = LoadStream(MonoWav(sig));
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayLoop, 1), 0);
    Render(n + 10000);  // past the seam: the data has ended once
    ASSERT_EQ(StopSoundHandle(h), 0);
    ASSERT_EQ(PlaySoundHandle(h, c.playType, 0), 0);
    const std::vector<int16_t> from =
        c.restarts ? std::vector<int16_t>(sig.begin(), sig.begin() + 5000)
                   : std::vector<int16_t>(sig.begin() + 10000, sig.begin() + 15000);
    EXPECT_TRUE(SameSamples(Render(5000), from));
    EXPECT_EQ(DeleteSoundHandle(h), 0);
  }
}

TEST_F(StreamSoundTest, SharedRingTakesTurnsAndAnOwnerWaitsForItsUser) {
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  const std::vector<int16_t> a = StreamSignal(30000, 8);
  const std::vector<int16_t> b = StreamSignal(25000, 9);
  const int owner = LoadStream(MonoWav(a));
  const int user = LoadStream(MonoWav(b), owner);
  ASSERT_NE(user, -1);
  EXPECT_EQ(GetSoundEntry(user)->buffers[0].valid, 0);  // no ring of its own

  ASSERT_EQ(PlaySoundHandle(owner, SoundPlayBackground, 1), 0);
  EXPECT_TRUE(SameSamples(Render(8820), std::vector<int16_t>(a.begin(), a.begin() + 8820)));
  ASSERT_EQ(PlaySoundHandle(user, SoundPlayBackground, 1), 0);
  EXPECT_EQ(IsSoundPlaying(owner), 0);
  EXPECT_EQ(IsSoundPlaying(user), 1);
  std::vector<int16_t> out = Render(10000);

  // The owner's delete waits while the user plays through its ring.
  EXPECT_EQ(DeleteSoundHandle(owner), 0);
  EXPECT_EQ(GetSoundTotalSamples(owner), 30000);
  EXPECT_EQ(IsSoundPlaying(user), 1);
  const std::vector<int16_t> rest = Render(15000 + 4410);
  out.insert(out.end(), rest.begin(), rest.end());
  EXPECT_TRUE(SameSamples(out, Concat({b, Silence(4410)})));

  EXPECT_EQ(DeleteSoundHandle(user), 0);
  EXPECT_EQ(GetSoundTotalSamples(owner), -1);
  EXPECT_EQ(GetSoundTotalSamples(user), -1);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

TEST_F(StreamSoundTest, SourcesAreRefusedWithTheirReasons) {
  LogCapture log;
  const Bytes wav = MonoWav(StreamSignal(5000, 10));
  const Bytes stereo = PcmWavFile(16, 2, 44100, Bytes(4000, 1));
  const Bytes garbage(300, 0x5A);
  auto add = [](const Bytes& image, int handle) {
    return AddStreamSoundMemory(image.data(), static_cast<int>(image.size()), 0, handle, 2, -1);
  };
  const int h = LoadStream(wav);
  EXPECT_EQ(add(stereo, h), -1);
  EXPECT_EQ(add(garbage, h), -1);
  EXPECT_EQ(add(wav, h), 0);
  EXPECT_EQ(add(wav, h), 0);
  EXPECT_EQ(add(wav, h), -1);  // the fourth
  EXPECT_EQ(GetSoundTotalSamples(h), 15000);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  const int other = LoadStream(wav);
  ASSERT_EQ(SetSoundCreateType(0), 0);
  const int normal = LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 1, -1);
  ASSERT_NE(normal, -1);
  EXPECT_EQ(GetSoundEntry(normal)->kind, SoundKindNormal);
  EXPECT_EQ(add(wav, normal), -1);
  EXPECT_EQ(DeleteSoundHandle(other), 0);
  EXPECT_EQ(add(wav, h), -1);  // still playing
  EXPECT_EQ(LogTexts(log.Contents()),
            "フォーマットの違う音声データは同時に使うことは出来ません\n"
            "ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n"
            "音声データのオープンに失敗しました\n"
            "ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n"
            "ストリーム風サウンドの制御データ領域がいっぱいです\n"
            "ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n"
            "ストリーム風サウンドではないサウンドデータが渡されました in AddSreamSound\n"
            "ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n"
            "既に再生中のストリームサウンドデータにデータを追加しようとしました\n"
            "ＷＡＶファイルのストリームイメージのセットアップに失敗しました \n");
}

}  // namespace

// Playing normal sounds on the manual output: rotation over buffers, resuming, volume, the
// playing test, lengths and positions, other formats, the waiting play, buffer creation and
// deletion.
#include <cmath>
#include <string>

#include "tests/sound/sound_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/sound_signals.h"

namespace {

using SoundPlayback = StartedSound;

TEST_F(SoundPlayback, PlaysRotateOverTheBuffersAndRestartTheOldest) {
  const int h = MakeSound(Mono16(44100), PcmFormat(16, 1, kRate), 3);
  ASSERT_GE(h, 0);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
    EXPECT_EQ(GetSoundEntry(h)->currentBuffer, i);
    Advance(100);
  }
  EXPECT_EQ(CursorFrames(h, 0), 300u);
  EXPECT_EQ(CursorFrames(h, 1), 200u);
  EXPECT_EQ(CursorFrames(h, 2), 100u);

  // The fourth play lands on buffer 0, still sounding, and starts it again from the top.
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  EXPECT_EQ(GetSoundEntry(h)->currentBuffer, 0);
  EXPECT_EQ(CursorFrames(h, 0), 0u);
  EXPECT_TRUE(BufferPlaying(h, 0));
  Advance(10);
  EXPECT_EQ(CursorFrames(h, 0), 10u);
  EXPECT_EQ(CursorFrames(h, 1), 210u);
  EXPECT_EQ(CursorFrames(h, 2), 110u);

  // Not from the top: the next buffer still sounds, so it is left alone.
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 0), 0);
  EXPECT_EQ(CursorFrames(h, 0), 10u);
  EXPECT_EQ(CursorFrames(h, 1), 210u);
  EXPECT_EQ(CursorFrames(h, 2), 110u);
  for (int b = 0; b < 3; ++b) EXPECT_TRUE(BufferPlaying(h, b));

  EXPECT_EQ(StopSoundHandle(h), 0);
  EXPECT_EQ(IsSoundPlaying(h), 0);
  for (int b = 0; b < 3; ++b) EXPECT_FALSE(BufferPlaying(h, b));
}

TEST_F(SoundPlayback, OneBufferResumesWhereItStoppedUnlessFromTheTop) {
  const int h = MakeSound(Mono16(44100), PcmFormat(16, 1, kRate), 1);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  Advance(1000);
  ASSERT_EQ(StopSoundHandle(h), 0);
  EXPECT_EQ(CursorFrames(h, 0), 1000u);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 0), 0);
  const std::vector<int16_t> out = Advance(1);
  EXPECT_EQ(out[0], 1000 - 15000);  // the ramp goes on at frame 1000
  EXPECT_EQ(CursorFrames(h, 0), 1001u);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  EXPECT_EQ(CursorFrames(h, 0), 0u);
  EXPECT_EQ(GetSoundPositionMs(h), 0);
}

TEST_F(SoundPlayback, VolumeMapsToAttenuationAndScalesTheOutput) {
  struct Case {
    int volume;
    int attenuation;
  };
  const Case cases[] = {{255, 0},   {200, -105}, {128, -299},  {64, -600},
                        {1, -2406}, {0, -10000}, {-5, -10000}, {300, 0}};
  const int frames = 2000;
  const std::vector<uint8_t> pcm = MakeSinePcm(16, 2, kRate, frames, 441.0, 30000.0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(SoundVolumeToAttenuation(c.volume), c.attenuation);
    const int h = MakeSound(pcm, PcmFormat(16, 2, kRate), 2);
    ASSERT_EQ(SetSoundVolume(c.volume, h), 0);
    EXPECT_EQ(GetSoundEntry(h)->volume, c.attenuation);
    for (int b = 0; b < 2; ++b) {
      LONG volume = 1;
      ASSERT_EQ(GetSoundEntry(h)->buffers[b].buffer->GetVolume(&volume), DS_OK);
      EXPECT_EQ(volume, c.attenuation);
    }
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
    const std::vector<int16_t> out = Advance(frames);
    const double gain = std::pow(10.0, c.attenuation / 2000.0);
    int worst = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      const int16_t sample = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
      worst = std::max(worst, std::abs(out[i] - static_cast<int>(std::lround(sample * gain))));
    }
    EXPECT_LE(worst, 1);
    ASSERT_EQ(DeleteSoundHandle(h), 0);
  }
}

TEST_F(SoundPlayback, OneShotPlaysUntilExactlyItsLengthHasBeenMixed) {
  const int h = MakeSound(Mono16(1000), PcmFormat(16, 1, kRate), 1);
  EXPECT_EQ(GetSoundTotalSamples(h), 1000);
  EXPECT_EQ(GetSoundTotalMs(h), 22);  // 1000 x 1000 / 44100, truncated
  EXPECT_EQ(IsSoundPlaying(h), 0);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  EXPECT_EQ(IsSoundPlaying(h), 1);
  Advance(882);
  EXPECT_EQ(GetSoundPositionMs(h), 20);
  Advance(117);
  EXPECT_EQ(IsSoundPlaying(h), 1);
  Advance(1);
  EXPECT_EQ(IsSoundPlaying(h), 0);

  // Looping plays on past the end.
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayLoop, 1), 0);
  Advance(2500);
  EXPECT_EQ(IsSoundPlaying(h), 1);
  EXPECT_EQ(CursorFrames(h, 0), 500u);
}

TEST_F(SoundPlayback, OtherFormatsComeOutAtTheDeviceRateWithTheirLengthAndLevel) {
  struct Case {
    int bits;
    int channels;
    int rate;
    double hz;
    double amplitude;
    int totalMs;  // a quarter second, truncated
  };
  const Case cases[] = {{8, 1, 22050, 441.0, 20000.0, 249}, {16, 2, 48000, 1000.0, 12000.0, 250}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    const int frames = c.rate / 4;
    const int h = MakeSound(MakeSinePcm(c.bits, c.channels, c.rate, frames, c.hz, c.amplitude),
                            PcmFormat(c.bits, c.channels, c.rate), 1);
    ASSERT_GE(h, 0);
    EXPECT_EQ(GetSoundTotalMs(h), c.totalMs);
    ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
    const int expectedFrames = static_cast<int>(static_cast<int64_t>(frames) * kRate / c.rate);
    const std::vector<int16_t> out = Advance(expectedFrames - 1);
    EXPECT_EQ(IsSoundPlaying(h), 1);
    Advance(2);
    EXPECT_EQ(IsSoundPlaying(h), 0);

    for (int channel = 0; channel < 2; ++channel) {
      const ToneMeasure tone = MeasureTone(StereoChannel(out, channel), kRate);
      EXPECT_NEAR(tone.frequency, c.hz, c.hz * 0.002);
      EXPECT_NEAR(tone.amplitude, c.amplitude, c.amplitude * 0.02);
    }
  }
}

TEST_F(SoundPlayback, WaitingPlayReturnsAtTheEndOrWhenTheApplicationQuits) {
  const int h = MakeSound(Mono16(4410), PcmFormat(16, 1, kRate), 1);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayWait, 1), 0);
  EXPECT_EQ(IsSoundPlaying(h), 0);
  // 4410 frames at 441 per message pass: ten passes, the first before any test.
  EXPECT_EQ(FakePump::calls, 10);

  FakePump::Reset();
  FakePump::quitFromCall = 3;
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayWait, 1), 0);
  EXPECT_EQ(FakePump::calls, 3);
  EXPECT_EQ(IsSoundPlaying(h), 1);
  EXPECT_EQ(CursorFrames(h, 0), 3u * 441u);
}

TEST_F(SoundPlayback, BufferCreationFallsBackAndKeepsWhatDuplicated) {
  const WAVEFORMATEX format = PcmFormat(16, 1, kRate);
  const std::vector<uint8_t> pcm = Mono16(44100);

  // The first set of flags refused: the buffer comes without frequency control.
  PortSetDirectSoundFailure(PortDsCall::CreateSoundBuffer, 0, 1);
  const int fallback = MakeSound(pcm, format, 2);
  ASSERT_GE(fallback, 0);
  EXPECT_EQ(GetSoundEntry(fallback)->bufferCount, 2);
  DWORD frequency = 0;
  EXPECT_EQ(GetSoundEntry(fallback)->buffers[1].buffer->GetFrequency(&frequency),
            DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(PlaySoundHandle(fallback, SoundPlayBackground, 1), 0);
  EXPECT_EQ(IsSoundPlaying(fallback), 1);

  // Both refused: nothing is made.
  {
    LogCapture log;
    PortSetDirectSoundFailure(PortDsCall::CreateSoundBuffer, 0, 2);
    const int h = AddSoundData(-1);
    EXPECT_EQ(CreateSoundBuffers(-1, &format, 1000, SoundKindNormal, 3, h), -1);
    EXPECT_EQ(GetSoundEntry(h)->bufferCount, 0);
    EXPECT_EQ(GetSoundEntry(h)->buffers[0].valid, 0);
    EXPECT_EQ(log.Contents(), "0:DirectSoundBuffer の作成に失敗しました\r\n");
  }

  // The third duplicate fails: the handle keeps three buffers and rotates over them.
  PortSetDirectSoundFailure(PortDsCall::DuplicateSoundBuffer, 2, 1);
  const int fewer = MakeSound(pcm, format, 5);
  ASSERT_GE(fewer, 0);
  EXPECT_EQ(GetSoundEntry(fewer)->bufferCount, 3);
  EXPECT_EQ(GetSoundEntry(fewer)->buffers[3].valid, 0);
  const int expectedOrder[] = {0, 1, 2, 0, 1};
  for (int expected : expectedOrder) {
    ASSERT_EQ(PlaySoundHandle(fewer, SoundPlayBackground, 1), 0);
    EXPECT_EQ(GetSoundEntry(fewer)->currentBuffer, expected);
  }

  // Refusals: counts outside 1..10, another sound's buffers, a handle that has buffers.
  const int h = AddSoundData(-1);
  EXPECT_EQ(CreateSoundBuffers(-1, &format, 1000, SoundKindNormal, 0, h), -1);
  EXPECT_EQ(CreateSoundBuffers(-1, &format, 1000, SoundKindNormal, 11, h), -1);
  EXPECT_EQ(CreateSoundBuffers(fewer, &format, 1000, SoundKindNormal, 1, h), -1);
  EXPECT_EQ(CreateSoundBuffers(-1, &format, 1000, SoundKindNormal, 10, h), 0);
  EXPECT_EQ(GetSoundEntry(h)->bufferCount, 10);
  EXPECT_EQ(CreateSoundBuffers(-1, &format, 1000, SoundKindNormal, 1, h), -1);
  EXPECT_EQ(GetSoundEntry(h)->bufferCount, 10);
}

TEST_F(SoundPlayback, DeleteStopsAndFreesAndASecondDeleteIsRefused) {
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  const int h = MakeSound(Mono16(44100), PcmFormat(16, 1, kRate), 2);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayLoop, 1), 0);
  EXPECT_NE(Advance(10)[2 * 5], 0);
  EXPECT_EQ(DeleteSoundHandle(h), 0);
  for (int16_t s : Advance(100)) ASSERT_EQ(s, 0);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);  // record, PCM and its counter
  EXPECT_EQ(GetTrackedHeapTotals().bytes, before.bytes);
  EXPECT_EQ(DeleteSoundHandle(h), -1);
  EXPECT_EQ(IsSoundPlaying(h), -1);
  EXPECT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), -1);

  // Two handles sharing one PCM block: it goes with the last of them.
  const int a = MakeSound(Mono16(100), PcmFormat(16, 1, kRate), 1);
  const int b = MakeSound(Mono16(100), PcmFormat(16, 1, kRate), 1);
  SoundEntry* ea = GetSoundEntry(a);
  SoundEntry* eb = GetSoundEntry(b);
  FreeTracked(eb->pcmData);
  FreeTracked(eb->pcmReferences);
  eb->pcmData = ea->pcmData;
  eb->pcmReferences = ea->pcmReferences;
  *ea->pcmReferences = 2;
  void* shared = ea->pcmData;
  ASSERT_EQ(DeleteSoundHandle(a), 0);
  // b's record, the PCM and the counter are left.
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks + 3);
  EXPECT_EQ(*eb->pcmReferences, 1);
  EXPECT_EQ(eb->pcmData, shared);
  ASSERT_EQ(DeleteSoundHandle(b), 0);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);

  // Delete-all empties the table; every old handle is refused afterwards.
  int handles[4];
  for (int& x : handles) x = MakeSound(Mono16(100), PcmFormat(16, 1, kRate), 2);
  ASSERT_EQ(PlaySoundHandle(handles[2], SoundPlayLoop, 1), 0);
  EXPECT_EQ(DeleteAllSounds(), 0);
  EXPECT_EQ(SoundHandles.count, 0);
  EXPECT_EQ(SoundHandles.endIndex, 0);
  for (int x : handles) EXPECT_EQ(DeleteSoundHandle(x), -1);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);

  // Shutdown takes whatever is left, and its handles stay refused afterwards.
  const int left = MakeSound(Mono16(100), PcmFormat(16, 1, kRate), 1);
  ASSERT_EQ(ShutdownSound(), 0);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
  ASSERT_EQ(InitSound(), 0);
  EXPECT_EQ(IsSoundPlaying(left), -1);
}

TEST_F(SoundPlayback, EmptyHandlesAndHandlesMadeBeforeStart) {
  const int empty = AddSoundData(-1);
  ASSERT_GE(empty, 0);
  const SoundEntry* e = GetSoundEntry(empty);
  EXPECT_EQ(e->kind, SoundKindNormal);
  EXPECT_EQ(e->bufferCount, 0);
  EXPECT_EQ(e->volume, 0);
  EXPECT_EQ(e->frequency, 0);
  EXPECT_EQ(PlaySoundHandle(empty, SoundPlayBackground, 1), -1);
  EXPECT_EQ(PlaySoundHandle(empty, SoundPlayWait, 0), -1);
  EXPECT_EQ(StopSoundHandle(empty), 0);
  EXPECT_EQ(IsSoundPlaying(empty), 0);
  EXPECT_EQ(SetSoundVolume(128, empty), 0);
  EXPECT_EQ(GetSoundPositionMs(empty), -1);
  EXPECT_EQ(GetSoundTotalSamples(empty), -1);
  EXPECT_EQ(GetSoundTotalMs(empty), -1);
  EXPECT_EQ(DeleteSoundHandle(empty), 0);

  // A handle value re-creates a record in its own free slot, and only there.
  EXPECT_EQ(AddSoundData(empty), empty);
  EXPECT_EQ(AddSoundData(empty), -1);
  EXPECT_EQ(AddSoundData(MakeHandle(HandleTypeGraph, 0, 5)), -1);
  EXPECT_EQ(DeleteSoundHandle(empty), 0);

  {
    LogCapture log;
    SetTrackedHeapFailures(1);
    EXPECT_EQ(AddSoundData(-1), -1);
    // The heap writes its own report of the failure first.
    const std::string line = "0:メモリ領域の確保に失敗しました in AddSoundData\r\n";
    const std::string text = log.Contents();
    ASSERT_GE(text.size(), line.size());
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
    EXPECT_EQ(SoundHandles.count, 0);
  }

  // Before start-up a handle can be made but not used; start-up clears it.
  ASSERT_EQ(ShutdownSound(), 0);
  const int early = AddSoundData(-1);
  ASSERT_GE(early, 0);
  EXPECT_EQ(GetSoundEntry(early), nullptr);
  EXPECT_EQ(DeleteSoundHandle(early), -1);
  EXPECT_EQ(DeleteAllSounds(), -1);
  EXPECT_EQ(SoundHandles.count, 1);
  ASSERT_EQ(InitSound(), 0);
  EXPECT_EQ(SoundHandles.count, 0);
}

}  // namespace

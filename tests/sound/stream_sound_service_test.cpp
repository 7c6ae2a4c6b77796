// The same stream sound rendered with refills from the service thread and from the per-frame
// call comes out the same, sample for sample.
#include <thread>

#include "runtime/sound/stream_sound_internal.h"
#include "tests/sound/stream_sound_fixture.h"

namespace {

// Sound started with more than one logical processor, so the service thread refills.
class StreamSoundService : public SoundSwitches {
 protected:
  void SetUp() override {
    SoundSwitches::SetUp();
    gSystemState.logicalProcessorCount = 4;
    ASSERT_EQ(InitSound(), 0);
    ASSERT_NE(gSoundSystem.serviceThread, nullptr);
    ASSERT_EQ(SetSoundCreateType(2), 0);
  }

  // Until the thread has topped the ring up to 0.3 seconds ahead of the cursor (or the sound
  // has ended), so that the next 0.1 second of output never runs past what was written.
  static void WaitForRefill(int handle) {
    for (int waited = 0; waited < 10000; ++waited) {
      EnterSoundLock();
      SoundEntry* e = GetSoundEntry(handle);
      DWORD cursor = 0;
      GetSoundBufferPosition(&e->buffers[0], &cursor);
      const StreamSoundState& s = e->stream;
      const bool ready =
          !s.active || (s.writeOffset >= 0 && RingDistance(static_cast<int>(cursor), s.writeOffset,
                                                           s.ringSize) >= 3 * s.ringSize / 10);
      LeaveSoundLock();
      if (ready) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    FAIL() << "the service thread did not refill within 10 seconds";
  }
};

TEST_F(StreamSoundService, ThreadAndFrameRefillsRenderTheSameOutput) {
  const std::vector<int16_t> sig = StreamSignal(70000, 13);
  const Bytes wav = MonoWav(sig);
  const int step = 4410;
  const int frames = 19 * step;  // the sound, then 0.3 seconds; whole frames of 735 as well

  const int h = LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 3, -1);
  ASSERT_NE(h, -1);
  ASSERT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), 0);
  std::vector<int16_t> threaded;
  for (int done = 0; done < frames; done += step) {
    WaitForRefill(h);
    const std::vector<int16_t> out = Advance(step);
    for (size_t i = 0; i < out.size(); i += 2) threaded.push_back(out[i]);
  }
  EXPECT_EQ(RefillStreamSoundsPerFrame(), 0);  // the thread runs: the frame call leaves it alone
  WaitForRefill(h);
  EXPECT_EQ(IsSoundPlaying(h), 0);

  // Again without the thread: the per-frame call refills.
  ASSERT_EQ(ShutdownSound(), 0);
  gSystemState.logicalProcessorCount = 1;
  ASSERT_EQ(InitSound(), 0);
  ASSERT_EQ(gSoundSystem.serviceThread, nullptr);
  ASSERT_EQ(SetSoundCreateType(2), 0);
  const int again = LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 3, -1);
  ASSERT_EQ(PlaySoundHandle(again, SoundPlayBackground, 1), 0);
  std::vector<int16_t> framed;
  for (int done = 0; done < frames; done += 735) {
    EXPECT_EQ(RefillStreamSoundsPerFrame(), 0);
    const std::vector<int16_t> out = Advance(735);
    for (size_t i = 0; i < out.size(); i += 2) framed.push_back(out[i]);
  }
  EXPECT_EQ(threaded, framed);
  EXPECT_EQ(threaded, Concat({sig, Silence(frames - 70000)}));
}

}  // namespace

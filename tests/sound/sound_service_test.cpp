// The service thread and the per-frame refill, and how stream sounds are handed to the stream
// layer: a fake stream layer records what reaches it.
#include <atomic>
#include <thread>

#include "runtime/platform/core/clocks.h"
#include "tests/sound/sound_fixture.h"

namespace {

struct FakeStreams {
  static constexpr int kSlots = 8;
  static inline std::atomic<int> refills[kSlots];
  static inline std::atomic<int> refillsOnMainThread{0};
  static inline DWORD mainThread = 0;
  static inline int lastPlay[3];
  static inline int stops = 0;

  static int Refill(int handle) {
    refills[HandleSlotOf(handle) % kSlots]++;
    if (GetCurrentThreadId() == mainThread) refillsOnMainThread++;
    return 0;
  }
  static int Play(int handle, int playType, int fromTop) {
    lastPlay[0] = handle;
    lastPlay[1] = playType;
    lastPlay[2] = fromTop;
    return 0;
  }
  static int Stop(int) { return ++stops, 0; }
  static int IsPlaying(int) { return 1; }
  static int PositionMs(int) { return 1234; }
  static int TotalSamples(int) { return 4410; }

  static void Reset() {
    for (auto& r : refills) r = 0;
    refillsOnMainThread = 0;
    mainThread = GetCurrentThreadId();
    lastPlay[0] = lastPlay[1] = lastPlay[2] = -1;
    stops = 0;
  }
};

// The delete is left to the sound handles' own path, which frees what they made.
const StreamSoundOperations kFakeStreams = {&FakeStreams::Play,         &FakeStreams::Stop,
                                            &FakeStreams::IsPlaying,    &FakeStreams::PositionMs,
                                            &FakeStreams::TotalSamples, nullptr,
                                            &FakeStreams::Refill};

const WAVEFORMATEX kStreamFormat = PcmFormat(16, 2, 22050);

int MakeStream() {
  const int handle = AddSoundData(-1);
  if (CreateSoundBuffers(-1, &kStreamFormat, 0, SoundKindStream, 1, handle) != 0) return -1;
  GetSoundEntry(handle)->format = kStreamFormat;
  return handle;
}

class SoundService : public SoundSwitches {
 protected:
  void SetUp() override {
    SoundSwitches::SetUp();
    FakeStreams::Reset();
    SetStreamSoundOperations(&kFakeStreams);
  }
};

TEST_F(SoundService, ThreadRefillsActiveStreamsAndStartsAndStopsInBoundedTime) {
  PortSetManualAudio(false);  // SDL's dummy driver
  gSystemState.logicalProcessorCount = 4;
  const int startedAt = GetNowMilliseconds();
  ASSERT_EQ(InitSound(), 0);
  ASSERT_NE(gSoundSystem.serviceThread, nullptr);
  const int active = MakeStream();
  const int idle = MakeStream();
  ASSERT_GE(active, 0);
  ASSERT_GE(idle, 0);
  EnterSoundLock();  // the thread reads the flag
  GetSoundEntry(active)->stream.active = 1;
  LeaveSoundLock();

  std::atomic<int>& activeRefills = FakeStreams::refills[HandleSlotOf(active)];
  while (activeRefills < 3 && GetNowMilliseconds() - startedAt < 5000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(activeRefills.load(), 3);
  EXPECT_LT(GetNowMilliseconds() - startedAt, 5000);
  EXPECT_EQ(FakeStreams::refills[HandleSlotOf(idle)].load(), 0);
  // The frame's refill leaves the work to the thread.
  EXPECT_EQ(RefillStreamSoundsPerFrame(), 0);
  EXPECT_EQ(FakeStreams::refillsOnMainThread.load(), 0);

  const int stoppingAt = GetNowMilliseconds();
  ASSERT_EQ(ShutdownSound(), 0);
  EXPECT_LT(GetNowMilliseconds() - stoppingAt, 2000);
  EXPECT_EQ(gSoundSystem.stopState.load(), SoundServiceStopped);
  EXPECT_EQ(gSoundSystem.serviceThread, nullptr);
  const int after = activeRefills.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(activeRefills.load(), after);
}

TEST_F(SoundService, WithoutAServiceThreadTheFrameRefillsStreams) {
  struct Case {
    const char* what;
    int processors;
    int threadFails;
  };
  const Case cases[] = {{"one processor", 1, 0}, {"thread not created", 4, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeStreams::Reset();
    gSystemState.logicalProcessorCount = c.processors;
    SetSoundThreadCreationFailsForTest(c.threadFails);
    ASSERT_EQ(InitSound(), 0);
    EXPECT_EQ(gSoundSystem.serviceThread, nullptr);
    const int active = MakeStream();
    const int idle = MakeStream();
    GetSoundEntry(active)->stream.active = 1;
    EXPECT_EQ(RefillStreamSoundsPerFrame(), 0);
    EXPECT_EQ(UpdateStreamSounds(), 0);
    EXPECT_EQ(FakeStreams::refills[HandleSlotOf(active)].load(), 2);
    EXPECT_EQ(FakeStreams::refills[HandleSlotOf(idle)].load(), 0);
    EXPECT_EQ(FakeStreams::refillsOnMainThread.load(), 2);
    ASSERT_EQ(ShutdownSound(), 0);
    EXPECT_EQ(RefillStreamSoundsPerFrame(), -1);
  }
}

TEST_F(SoundService, StreamSoundsGetARingBufferAndGoToTheStreamLayer) {
  ASSERT_EQ(InitSound(), 0);
  // One second, rounded up to whole blocks.
  WAVEFORMATEX oddRate = PcmFormat(16, 2, 22050);
  oddRate.nAvgBytesPerSec = 88201;
  const int odd = AddSoundData(-1);
  ASSERT_EQ(CreateSoundBuffers(-1, &oddRate, 0, SoundKindStream, 5, odd), 0);
  SoundEntry* e = GetSoundEntry(odd);
  EXPECT_EQ(e->kind, SoundKindStream);
  EXPECT_EQ(e->bufferCount, 1);
  EXPECT_EQ(e->buffers[1].valid, 0);
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(LockSoundBufferObject(&e->buffers[0], 0, 88204, &p1, &n1, &p2, &n2), 0);
  EXPECT_EQ(n1, 88204u);
  UnlockSoundBufferObject(&e->buffers[0], p1, n1, p2, n2);
  EXPECT_EQ(LockSoundBufferObject(&e->buffers[0], 0, 88205, &p1, &n1, &p2, &n2), -1);
  DWORD frequency = 0;
  EXPECT_EQ(e->buffers[0].buffer->GetFrequency(&frequency), DS_OK);  // frequency control
  EXPECT_EQ(gSoundSystem.streamListHead.next->handle, odd);

  const int h = MakeStream();
  EXPECT_EQ(gSoundSystem.streamListHead.next->handle, h);  // newest first
  EXPECT_EQ(PlaySoundHandle(h, SoundPlayLoop, 0), 0);
  EXPECT_EQ(FakeStreams::lastPlay[0], h);
  EXPECT_EQ(FakeStreams::lastPlay[1], SoundPlayLoop);
  EXPECT_EQ(FakeStreams::lastPlay[2], 0);
  EXPECT_EQ(StopSoundHandle(h), 0);
  EXPECT_EQ(FakeStreams::stops, 1);
  EXPECT_EQ(IsSoundPlaying(h), 1);
  EXPECT_EQ(GetSoundPositionMs(h), 1234);
  EXPECT_EQ(GetSoundTotalSamples(h), 4410);
  EXPECT_EQ(GetSoundTotalMs(h), 200);  // 4410 frames at 22,050 Hz

  // Without a stream layer the operations refuse, and the delete still cleans up.
  SetStreamSoundOperations(nullptr);
  EXPECT_EQ(PlaySoundHandle(h, SoundPlayBackground, 1), -1);
  EXPECT_EQ(StopSoundHandle(h), -1);
  EXPECT_EQ(IsSoundPlaying(h), -1);
  EXPECT_EQ(GetSoundPositionMs(h), -1);
  EXPECT_EQ(GetSoundTotalMs(h), -1);
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  EXPECT_EQ(DeleteSoundHandle(h), 0);
  EXPECT_EQ(DeleteSoundHandle(odd), 0);
  EXPECT_EQ(gSoundSystem.streamListHead.next, &gSoundSystem.streamListTail);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks - 2);
}

TEST_F(SoundService, RingBufferThatCannotBeMadeEndsTheProgram) {
  ASSERT_EQ(InitSound(), 0);
  PortSetDirectSoundFailure(PortDsCall::CreateSoundBuffer, 0, 1);
  const int h = AddSoundData(-1);
  EXPECT_EQ(CreateSoundBuffers(-1, &kStreamFormat, 0, SoundKindStream, 1, h), -1);
  EXPECT_EQ(FakeFatal::text, "ストリーム風サウンドバッファの作成に失敗しました");
  EXPECT_EQ(GetSoundEntry(h)->bufferCount, 0);
  EXPECT_EQ(gSoundSystem.streamListHead.next, &gSoundSystem.streamListTail);
}

TEST_F(SoundService, FatalExitFromInsideTheSoundLockCanShutTheThreadDown) {
  PortSetManualAudio(false);
  gSystemState.logicalProcessorCount = 4;
  // The library's fatal exit shuts sound down, which waits for the service thread.
  SoundPlatformLinks links = TestSoundLinks();
  links.fatalError = [](const char* text) {
    FakeFatal::text = text;
    ShutdownSound();
  };
  SetSoundPlatformLinks(links);
  ASSERT_EQ(InitSound(), 0);
  ASSERT_NE(gSoundSystem.serviceThread, nullptr);
  const int h = AddSoundData(-1);
  PortSetDirectSoundFailure(PortDsCall::CreateSoundBuffer, 0, 1);
  // As the stream layer does when it adds a source: the buffers are made inside the lock.
  EnterSoundLock();
  EnterSoundLock();
  std::this_thread::sleep_for(std::chrono::milliseconds(40));  // the thread now waits for the lock
  EXPECT_EQ(CreateSoundBuffers(-1, &kStreamFormat, 0, SoundKindStream, 1, h), -1);
  EXPECT_EQ(FakeFatal::text, "ストリーム風サウンドバッファの作成に失敗しました");
  EXPECT_FALSE(IsSoundStarted());
  EXPECT_EQ(gSoundSystem.serviceThread, nullptr);
  // Back from the exit, the caller holds the lock as deep as before.
  EXPECT_EQ(gSoundSystem.soundLockDepth, 2);
  LeaveSoundLock();
  LeaveSoundLock();
  EXPECT_EQ(gSoundSystem.soundLockOwner.load(), 0u);
}

}  // namespace

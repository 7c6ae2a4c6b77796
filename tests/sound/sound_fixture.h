// The sound system started on the port's manual output at 44,100 Hz, with a fake window for
// the cooperative level and a message pump that advances the output, so waits end without
// real time passing. Helpers give handles PCM the way loading does.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "tests/support/manual_sound_output.h"

inline HWND FakeSoundWindow() { return reinterpret_cast<HWND>(static_cast<intptr_t>(0x5678)); }

// What the message pump of a wait does here: advances the manual output by a step, and
// reports quitting from a given call on.
struct FakePump {
  static inline int calls = 0;
  static inline int quitFromCall = 0;  // 0: never
  static inline int framesPerCall = 441;

  static int Process() {
    ++calls;
    PortAdvanceManualAudio(framesPerCall, nullptr);
    return quitFromCall != 0 && calls >= quitFromCall ? -1 : 0;
  }
  static void Reset() {
    calls = 0;
    quitFromCall = 0;
    framesPerCall = 441;
  }
};

// The fatal-error exit records its text and returns, so the caller's refusal can be seen.
struct FakeFatal {
  static inline std::string text;
  static void Record(const char* t) { text = t; }
};

// Links for tests: everything present.
inline SoundPlatformLinks TestSoundLinks() {
  return SoundPlatformLinks{&FakeSoundWindow, &FakePump::Process, &FakeFatal::Record};
}

// Sound not started, the switches at their defaults; restored after the test.
class SoundSwitches : public ManualSoundOutput {
 protected:
  void SetUp() override {
    ManualSoundOutput::SetUp();
    savedProcessors_ = gSystemState.logicalProcessorCount;
    gSystemState.logicalProcessorCount = 1;
    SetSoundPlatformLinks(TestSoundLinks());
    FakePump::Reset();
    FakeFatal::text.clear();
  }

  void TearDown() override {
    if (IsSoundStarted()) ShutdownSound();
    SetStreamSoundOperations(nullptr);
    SetSoundThreadCreationFailsForTest(0);
    SetSoundPlatformLinks(SoundPlatformLinks{});
    PortResetModuleSwitches();
    PortResetComSwitches();
    gSystemState.logicalProcessorCount = savedProcessors_;
    ManualSoundOutput::TearDown();
  }

  int savedProcessors_ = 0;
};

// Sound started on the manual output.
class StartedSound : public SoundSwitches {
 protected:
  void SetUp() override {
    SoundSwitches::SetUp();
    ASSERT_EQ(InitSound(), 0);
  }

  // A normal sound holding `pcm` in `buffers` buffers, as loading makes one: format,
  // frequency, the PCM block with its reference counter, and the PCM copied into each buffer.
  static int MakeSound(const std::vector<uint8_t>& pcm, const WAVEFORMATEX& format, int buffers) {
    const int handle = AddSoundData(-1);
    EXPECT_NE(handle, -1);
    const int bytes = static_cast<int>(pcm.size());
    if (CreateSoundBuffers(-1, &format, bytes, SoundKindNormal, buffers, handle) != 0) return -1;
    SoundEntry* e = GetSoundEntry(handle);
    e->format = format;
    e->frequency = static_cast<int>(format.nSamplesPerSec);
    e->pcmData = AllocTracked(pcm.size(), __FILE__, __LINE__);
    std::memcpy(e->pcmData, pcm.data(), pcm.size());
    e->pcmReferences = static_cast<int*>(AllocTracked(sizeof(int), __FILE__, __LINE__));
    *e->pcmReferences = 1;
    e->pcmSize = bytes;
    for (int i = 0; i < e->bufferCount; ++i) {
      void* p1 = nullptr;
      void* p2 = nullptr;
      DWORD n1 = 0, n2 = 0;
      EXPECT_EQ(LockSoundBufferObject(&e->buffers[i], 0, bytes, &p1, &n1, &p2, &n2), 0);
      std::memcpy(p1, pcm.data(), n1);
      EXPECT_EQ(UnlockSoundBufferObject(&e->buffers[i], p1, n1, p2, n2), 0);
    }
    return handle;
  }

  // 16-bit mono PCM at the device rate: a ramp that never repeats a sample within 30,000 frames.
  static std::vector<uint8_t> Mono16(int frames) {
    std::vector<uint8_t> pcm;
    for (int i = 0; i < frames; ++i) {
      const uint16_t v = static_cast<uint16_t>(static_cast<int16_t>(i % 30000 - 15000));
      pcm.push_back(static_cast<uint8_t>(v & 0xFF));
      pcm.push_back(static_cast<uint8_t>(v >> 8));
    }
    return pcm;
  }

  static DWORD CursorFrames(int handle, int buffer) {
    DWORD cursor = 0xFFFFFFFF;
    EXPECT_EQ(GetSoundBufferPosition(&GetSoundEntry(handle)->buffers[buffer], &cursor), 0);
    return cursor / GetSoundEntry(handle)->format.nBlockAlign;
  }

  static bool BufferPlaying(int handle, int buffer) {
    DWORD status = 0;
    EXPECT_EQ(GetSoundBufferStatus(&GetSoundEntry(handle)->buffers[buffer], &status), 0);
    return (status & DSBSTATUS_PLAYING) != 0;
  }
};

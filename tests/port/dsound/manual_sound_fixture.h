// A DirectSound device on the manual output at 44,100 Hz, and helpers to make buffers and
// mix output. Buffers made here are released with the device after each test.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "port/win32.h"
#include "tests/support/manual_sound_output.h"

inline HWND FakeWindow() { return reinterpret_cast<HWND>(static_cast<intptr_t>(0x1234)); }

// The flags a normal sound's buffers are made with.
constexpr DWORD kNormalBufferFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                                     DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;

class ManualSound : public ManualSoundOutput {
 protected:
  void SetUp() override {
    ManualSoundOutput::SetUp();
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_ALL, IID_IDirectSound,
                               reinterpret_cast<void**>(&ds_)),
              S_OK);
    ASSERT_EQ(ds_->Initialize(nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DS_OK);
  }

  void TearDown() override {
    for (IDirectSoundBuffer* b : buffers_) b->Release();
    if (ds_) ds_->Release();
    ManualSoundOutput::TearDown();
  }

  IDirectSoundBuffer* Make(const WAVEFORMATEX& format, DWORD bytes,
                           DWORD flags = kNormalBufferFlags) {
    WAVEFORMATEX f = format;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* b = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
    if (b) buffers_.push_back(b);
    return b;
  }

  static void Fill(IDirectSoundBuffer* b, const void* data, DWORD bytes) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(0, bytes, &p1, &n1, &p2, &n2, 0), DS_OK);
    ASSERT_EQ(n1, bytes);
    std::memcpy(p1, data, bytes);
    ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
  }

  // A buffer holding these 16-bit samples.
  IDirectSoundBuffer* MakePcm16(const std::vector<int16_t>& samples, int channels, int rate = kRate,
                                DWORD flags = kNormalBufferFlags) {
    const DWORD bytes = static_cast<DWORD>(samples.size() * 2);
    IDirectSoundBuffer* b = Make(PcmFormat(16, channels, rate), bytes, flags);
    if (b) Fill(b, samples.data(), bytes);
    return b;
  }

  IDirectSoundBuffer* MakePcm(const std::vector<uint8_t>& pcm, int bits, int channels, int rate) {
    IDirectSoundBuffer* b = Make(PcmFormat(bits, channels, rate), static_cast<DWORD>(pcm.size()));
    if (b) Fill(b, pcm.data(), static_cast<DWORD>(pcm.size()));
    return b;
  }

  static bool Playing(IDirectSoundBuffer* b) {
    DWORD status = 0;
    EXPECT_EQ(b->GetStatus(&status), DS_OK);
    return (status & DSBSTATUS_PLAYING) != 0;
  }

  static DWORD PlayCursor(IDirectSoundBuffer* b) {
    DWORD play = 0xFFFFFFFF;
    EXPECT_EQ(b->GetCurrentPosition(&play, nullptr), DS_OK);
    return play;
  }

  IDirectSound* ds_ = nullptr;
  std::vector<IDirectSoundBuffer*> buffers_;
};

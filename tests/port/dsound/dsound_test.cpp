// The DirectSound objects' contract: creation, initialisation, the primary buffer, buffer
// descriptions, locks, controls, duplicates and the failure switches.
#include "tests/port/dsound/manual_sound_fixture.h"

namespace {

TEST(DirectSoundDevice, NeedsInitializeAndOpensOnlyTheDefaultDevice) {
  PortSetManualAudio(true);
  IDirectSound* ds = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_ALL, IID_IDirectSound,
                             reinterpret_cast<void**>(&ds)),
            S_OK);
  DSCAPS caps = {};
  caps.dwSize = sizeof(caps);
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* buffer = nullptr;
  EXPECT_EQ(ds->GetCaps(&caps), DSERR_UNINITIALIZED);
  EXPECT_EQ(ds->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DSERR_UNINITIALIZED);
  EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_UNINITIALIZED);
  EXPECT_EQ(PortAudioDeviceRate(), 0u);

  const GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(ds->Initialize(&other), DSERR_NODRIVER);
  EXPECT_EQ(ds->Initialize(nullptr), DS_OK);
  EXPECT_EQ(ds->Initialize(nullptr), DSERR_ALREADYINITIALIZED);
  EXPECT_EQ(PortAudioDeviceRate(), 44100u);
  EXPECT_STREQ(PortAudioDriverName(), "manual");

  EXPECT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
  EXPECT_EQ(ds->SetCooperativeLevel(FakeWindow(), 0), DSERR_INVALIDPARAM);
  void* otherInterface = reinterpret_cast<void*>(1);
  EXPECT_EQ(ds->QueryInterface(IID_IDirectSoundBuffer, &otherInterface), E_NOINTERFACE);
  EXPECT_EQ(otherInterface, nullptr);

  EXPECT_EQ(ds->Release(), 0u);
  EXPECT_EQ(PortAudioDeviceRate(), 0u);
  EXPECT_EQ(PortAudioDriverName(), nullptr);
  PortResetSoundSwitches();
}

using DirectSoundObjects = ManualSound;

TEST_F(DirectSoundObjects, CapsAreTheDefaultsOrWhatATestInjects) {
  DSCAPS caps = {};
  EXPECT_EQ(ds_->GetCaps(&caps), DSERR_INVALIDPARAM);  // dwSize not set
  caps.dwSize = sizeof(caps);
  ASSERT_EQ(ds_->GetCaps(&caps), DS_OK);
  EXPECT_EQ(caps.dwFlags & (DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY16BIT),
            DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY16BIT);
  EXPECT_EQ(caps.dwMinSecondarySampleRate, DSBFREQUENCY_MIN);
  EXPECT_EQ(caps.dwMaxSecondarySampleRate, DSBFREQUENCY_MAX);

  DSCAPS injected = {};
  injected.dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARY8BIT;
  injected.dwMinSecondarySampleRate = 8000;
  injected.dwMaxSecondarySampleRate = 22050;
  injected.dwTotalHwMemBytes = 4096;
  PortSetSoundCaps(&injected);
  DSCAPS seen = {};
  seen.dwSize = sizeof(seen);
  ASSERT_EQ(ds_->GetCaps(&seen), DS_OK);
  EXPECT_EQ(seen.dwFlags, DSCAPS_PRIMARYMONO | DSCAPS_PRIMARY8BIT);
  EXPECT_EQ(seen.dwMaxSecondarySampleRate, 22050u);
  EXPECT_EQ(seen.dwTotalHwMemBytes, 4096u);
  EXPECT_EQ(seen.dwSize, sizeof(DSCAPS));
}

TEST_F(DirectSoundObjects, PrimaryBufferIsOnePerDeviceAndTakesAFormatAtPriorityLevel) {
  DSBUFFERDESC desc = {};
  desc.dwSize = 36;  // as a 32-bit caller fills it in
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  IDirectSoundBuffer* again = nullptr;
  desc.dwSize = sizeof(desc);
  ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &again, nullptr), DS_OK);
  buffers_.push_back(again);
  EXPECT_EQ(again, primary);

  WAVEFORMATEX f = {};
  DWORD written = 0;
  ASSERT_EQ(primary->GetFormat(&f, sizeof(f), &written), DS_OK);
  EXPECT_EQ(written, 18u);
  EXPECT_EQ(f.nSamplesPerSec, 22050u);
  EXPECT_EQ(f.wBitsPerSample, 8);

  WAVEFORMATEX wanted = PcmFormat(16, 2, 44100);
  ASSERT_EQ(primary->SetFormat(&wanted), DS_OK);
  ASSERT_EQ(primary->GetFormat(&f, sizeof(f), nullptr), DS_OK);
  EXPECT_EQ(std::memcmp(&f, &wanted, sizeof(f)), 0);

  struct Case {
    const char* what;
    WAVEFORMATEX format;
    HRESULT expected;
  };
  WAVEFORMATEX compressed = wanted;
  compressed.wFormatTag = 85;
  WAVEFORMATEX wrongAlign = wanted;
  wrongAlign.nBlockAlign = 2;
  const Case cases[] = {
      {"compressed", compressed, DSERR_BADFORMAT},
      {"3 channels", PcmFormat(16, 3, 44100), DSERR_BADFORMAT},
      {"24 bits", PcmFormat(24, 2, 44100), DSERR_BADFORMAT},
      {"rate too low", PcmFormat(16, 2, 50), DSERR_INVALIDPARAM},
      {"block align", wrongAlign, DSERR_INVALIDPARAM},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(primary->SetFormat(&c.format), c.expected) << c.what;
    ASSERT_EQ(primary->GetFormat(&f, sizeof(f), nullptr), DS_OK);
    EXPECT_EQ(f.nSamplesPerSec, 44100u) << c.what << " changed the format";
  }

  ASSERT_EQ(ds_->SetCooperativeLevel(FakeWindow(), DSSCL_NORMAL), DS_OK);
  EXPECT_EQ(primary->SetFormat(&wanted), DSERR_PRIOLEVELNEEDED);

  void* p = nullptr;
  DWORD n = 0;
  EXPECT_EQ(primary->Lock(0, 4, &p, &n, nullptr, nullptr, 0), DSERR_PRIOLEVELNEEDED);
  EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM);  // the primary only plays looping
  ASSERT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  EXPECT_TRUE(Playing(primary));
  ASSERT_EQ(primary->Stop(), DS_OK);
  EXPECT_FALSE(Playing(primary));

  desc.dwBufferBytes = 400;
  IDirectSoundBuffer* sized = nullptr;
  EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &sized, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundObjects, BadBufferDescriptionsAreRefused) {
  WAVEFORMATEX good = PcmFormat(16, 2, 44100);
  WAVEFORMATEX adpcm = good;
  adpcm.wFormatTag = 2;
  struct Case {
    const char* what;
    DWORD size;
    DWORD bytes;
    WAVEFORMATEX* format;
    HRESULT expected;
  };
  const Case cases[] = {
      {"no format", sizeof(DSBUFFERDESC), 400, nullptr, DSERR_INVALIDPARAM},
      {"no bytes", sizeof(DSBUFFERDESC), 0, &good, DSERR_INVALIDPARAM},
      {"less than a frame", sizeof(DSBUFFERDESC), 3, &good, DSERR_INVALIDPARAM},
      {"too large", sizeof(DSBUFFERDESC), DSBSIZE_MAX + 1, &good, DSERR_INVALIDPARAM},
      {"description size", 32, 400, &good, DSERR_INVALIDPARAM},
      {"not PCM", sizeof(DSBUFFERDESC), 400, &adpcm, DSERR_BADFORMAT},
      {"short 32-bit description", 20, 400, &good, DS_OK},
  };
  for (const Case& c : cases) {
    DSBUFFERDESC desc = {};
    desc.dwSize = c.size;
    desc.dwFlags = kNormalBufferFlags;
    desc.dwBufferBytes = c.bytes;
    desc.lpwfxFormat = c.format;
    IDirectSoundBuffer* b = reinterpret_cast<IDirectSoundBuffer*>(1);
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &b, nullptr), c.expected) << c.what;
    if (b) buffers_.push_back(b);
    if (FAILED(c.expected)) { EXPECT_EQ(b, nullptr) << c.what; }
  }
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwBufferBytes = 400;
  desc.lpwfxFormat = &good;
  IDirectSoundBuffer* b = nullptr;
  EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &b, reinterpret_cast<IUnknown*>(ds_)),
            DSERR_NOAGGREGATION);
  EXPECT_EQ(ds_->CreateSoundBuffer(&desc, nullptr, nullptr), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundObjects, LockGivesASecondRegionOnlyWhenTheRangeWraps) {
  IDirectSoundBuffer* b = Make(PcmFormat(16, 2, 44100), 4000);
  ASSERT_NE(b, nullptr);
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  ASSERT_EQ(b->Lock(0, 4000, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
  uint8_t* base = static_cast<uint8_t*>(p1);
  EXPECT_EQ(n1, 4000u);
  EXPECT_EQ(p2, nullptr);
  EXPECT_EQ(n2, 0u);
  ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  ASSERT_EQ(b->Lock(1000, 2000, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(p1, base + 1000);
  EXPECT_EQ(n1, 2000u);
  EXPECT_EQ(p2, nullptr);
  ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  ASSERT_EQ(b->Lock(3000, 2000, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(p1, base + 3000);
  EXPECT_EQ(n1, 1000u);
  EXPECT_EQ(p2, base);
  EXPECT_EQ(n2, 1000u);
  ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  // No room for a second region: the lock stops at the end.
  ASSERT_EQ(b->Lock(3000, 2000, &p1, &n1, nullptr, nullptr, 0), DS_OK);
  EXPECT_EQ(n1, 1000u);
  ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

  // While stopped the write cursor is the play cursor.
  ASSERT_EQ(b->SetCurrentPosition(800), DS_OK);
  ASSERT_EQ(b->Lock(0, 100, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
  EXPECT_EQ(p1, base + 800);
  ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

  EXPECT_EQ(b->Lock(4000, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 4004, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  uint8_t elsewhere[16];
  EXPECT_EQ(b->Unlock(elsewhere, 16, nullptr, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Unlock(base + 3990, 20, nullptr, 0), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundObjects, ControlsNeedTheirFlagsAndKeepToTheirRanges) {
  IDirectSoundBuffer* plain = Make(PcmFormat(16, 1, 22050), 400, DSBCAPS_STATIC);
  ASSERT_NE(plain, nullptr);
  LONG value = 0;
  DWORD frequency = 0;
  EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetFrequency(11025), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->GetVolume(&value), DSERR_CONTROLUNAVAIL);

  IDirectSoundBuffer* b = Make(PcmFormat(16, 1, 22050), 400);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetPan(10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetFrequency(200001), DSERR_INVALIDPARAM);
  ASSERT_EQ(b->GetVolume(&value), DS_OK);
  EXPECT_EQ(value, 0);

  ASSERT_EQ(b->SetVolume(-2406), DS_OK);
  ASSERT_EQ(b->SetPan(-600), DS_OK);
  ASSERT_EQ(b->SetFrequency(44100), DS_OK);
  ASSERT_EQ(b->GetVolume(&value), DS_OK);
  EXPECT_EQ(value, -2406);
  ASSERT_EQ(b->GetPan(&value), DS_OK);
  EXPECT_EQ(value, -600);
  ASSERT_EQ(b->GetFrequency(&frequency), DS_OK);
  EXPECT_EQ(frequency, 44100u);
  ASSERT_EQ(b->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  ASSERT_EQ(b->GetFrequency(&frequency), DS_OK);
  EXPECT_EQ(frequency, 22050u);

  WAVEFORMATEX f = PcmFormat(16, 2, 44100);
  EXPECT_EQ(b->SetFormat(&f), DSERR_INVALIDCALL);  // only the primary's format changes
  EXPECT_EQ(b->Play(1, 0, 0), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundObjects, FailureSwitchesFailTheChosenCallsAndNoOthers) {
  WAVEFORMATEX f = PcmFormat(16, 2, 44100);
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = kNormalBufferFlags;
  desc.dwBufferBytes = 400;
  desc.lpwfxFormat = &f;

  // The second creation fails, the first and third succeed.
  PortSetDirectSoundFailure(PortDsCall::CreateSoundBuffer, 1, 1);
  IDirectSoundBuffer* b[3] = {};
  const HRESULT expected[3] = {DS_OK, DSERR_GENERIC, DS_OK};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &b[i], nullptr), expected[i]) << i;
    if (b[i]) buffers_.push_back(b[i]);
  }
  EXPECT_EQ(b[1], nullptr);
  ASSERT_NE(b[0], nullptr);

  PortSetDirectSoundFailure(PortDsCall::DuplicateSoundBuffer, 0, 1);
  IDirectSoundBuffer* dup = nullptr;
  EXPECT_EQ(ds_->DuplicateSoundBuffer(b[0], &dup), DSERR_GENERIC);
  EXPECT_EQ(dup, nullptr);
  ASSERT_EQ(ds_->DuplicateSoundBuffer(b[0], &dup), DS_OK);
  buffers_.push_back(dup);

  PortSetDirectSoundFailure(PortDsCall::Lock, 0, 1);
  void* p1 = nullptr;
  DWORD n1 = 0;
  EXPECT_EQ(b[0]->Lock(0, 400, &p1, &n1, nullptr, nullptr, 0), DSERR_GENERIC);
  ASSERT_EQ(b[0]->Lock(0, 400, &p1, &n1, nullptr, nullptr, 0), DS_OK);
  PortSetDirectSoundFailure(PortDsCall::Unlock, 0, 1);
  EXPECT_EQ(b[0]->Unlock(p1, n1, nullptr, 0), DSERR_GENERIC);
  EXPECT_EQ(b[0]->Unlock(p1, n1, nullptr, 0), DS_OK);

  PortSetDirectSoundFailure(PortDsCall::SetCooperativeLevel, 0, 1);
  EXPECT_EQ(ds_->SetCooperativeLevel(FakeWindow(), DSSCL_PRIORITY), DSERR_GENERIC);

  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  desc.dwBufferBytes = 0;
  desc.lpwfxFormat = nullptr;
  PortSetDirectSoundFailure(PortDsCall::CreatePrimaryBuffer, 0, 1);
  IDirectSoundBuffer* primary = nullptr;
  EXPECT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DSERR_GENERIC);
  ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  PortSetDirectSoundFailure(PortDsCall::SetFormat, 0, 1);
  EXPECT_EQ(primary->SetFormat(&f), DSERR_GENERIC);
  EXPECT_EQ(primary->SetFormat(&f), DS_OK);

  IDirectSound* second = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_ALL, IID_IDirectSound,
                             reinterpret_cast<void**>(&second)),
            S_OK);
  PortSetDirectSoundFailure(PortDsCall::Initialize, 0, 1);
  EXPECT_EQ(second->Initialize(nullptr), DSERR_GENERIC);
  EXPECT_EQ(second->Initialize(nullptr), DS_OK);
  second->Release();
  EXPECT_EQ(PortAudioDeviceRate(), 44100u);  // the first device still holds the output
}

TEST_F(DirectSoundObjects, BuffersOfAReleasedDeviceAreLostButStaySafeToUse) {
  IDirectSoundBuffer* b = Make(PcmFormat(16, 2, 44100), 4000);
  ASSERT_NE(b, nullptr);
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  ds_->Release();
  ds_ = nullptr;
  DWORD status = 0;
  ASSERT_EQ(b->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, DSBSTATUS_BUFFERLOST);
  EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
  WAVEFORMATEX f = PcmFormat(16, 2, 44100);
  EXPECT_EQ(primary->SetFormat(&f), DSERR_BUFFERLOST);
  EXPECT_EQ(PortAdvanceManualAudio(16, nullptr), -1);  // the output closed with its device
}

}  // namespace

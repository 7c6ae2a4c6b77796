// SDL audio under the dummy driver (as on CI), and the "dsound.dll" device list.
// <chrono> itself does not build with the CP932 execution character set; <thread> brings
// the clocks and durations.
#include <string>
#include <thread>

#include "tests/port/dsound/manual_sound_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

// Generous: the dummy driver opens and closes in well under a second.
constexpr auto kBound = std::chrono::seconds(10);

TEST(SoundOutput, SdlDummyDriverPlaysAndStopsInBoundedTime) {
  PortResetSoundSwitches();
  for (int round = 0; round < 2; ++round) {
    const auto start = Clock::now();
    IDirectSound* ds = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_ALL, IID_IDirectSound,
                               reinterpret_cast<void**>(&ds)),
              S_OK);
    ASSERT_EQ(ds->Initialize(nullptr), DS_OK);
    ASSERT_STREQ(PortAudioDriverName(), "dummy");
    EXPECT_GT(PortAudioDeviceRate(), 0u);
    EXPECT_EQ(PortAdvanceManualAudio(16, nullptr), -1);  // SDL drives this output

    WAVEFORMATEX f = PcmFormat(16, 2, 44100);
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kNormalBufferFlags | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = f.nAvgBytesPerSec;
    desc.lpwfxFormat = &f;
    IDirectSoundBuffer* ring = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &ring, nullptr), DS_OK);
    ASSERT_EQ(ring->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    // The cursor moves by itself while the driver pulls audio.
    DWORD play = 0;
    while (play == 0 && Clock::now() - start < kBound) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      ASSERT_EQ(ring->GetCurrentPosition(&play, nullptr), DS_OK);
    }
    EXPECT_GT(play, 0u) << "round " << round;
    EXPECT_EQ(play % 4, 0u);

    ring->Release();
    EXPECT_EQ(ds->Release(), 0u);
    EXPECT_EQ(PortAudioDeviceRate(), 0u);
    EXPECT_LT(Clock::now() - start, kBound) << "round " << round;
  }
}

struct Listed {
  bool hasGuid;
  std::string description;
  std::string module;
};

BOOL CALLBACK Collect(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context) {
  auto* list = static_cast<std::vector<Listed>*>(context);
  list->push_back({guid != nullptr, description, module});
  return TRUE;
}

BOOL CALLBACK CollectOne(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context) {
  Collect(guid, description, module, context);
  return FALSE;
}

TEST(SoundOutput, DsoundModuleListsThePrimaryDeviceThenSdlDevices) {
  HMODULE dsound = LoadLibraryA("DSOUND.DLL");
  ASSERT_NE(dsound, nullptr);
  FARPROC proc = GetProcAddress(dsound, "DirectSoundEnumerateA");
  ASSERT_NE(proc, nullptr);
  auto enumerate = reinterpret_cast<HRESULT(WINAPI*)(LPDSENUMCALLBACKA, LPVOID)>(
      reinterpret_cast<void (*)()>(proc));

  std::vector<Listed> list;
  ASSERT_EQ(enumerate(&Collect, &list), DS_OK);
  ASSERT_GE(list.size(), 2u);
  EXPECT_FALSE(list[0].hasGuid);
  EXPECT_EQ(list[0].description, "Primary Sound Driver");
  EXPECT_EQ(list[0].module, "");
  for (size_t i = 1; i < list.size(); ++i) {
    EXPECT_TRUE(list[i].hasGuid);
    EXPECT_FALSE(list[i].description.empty());
    EXPECT_EQ(list[i].module, "dummy");
  }

  std::vector<Listed> one;
  ASSERT_EQ(enumerate(&CollectOne, &one), DS_OK);
  EXPECT_EQ(one.size(), 1u);
  EXPECT_EQ(enumerate(nullptr, nullptr), DSERR_INVALIDPARAM);
  FreeLibrary(dsound);
}

}  // namespace

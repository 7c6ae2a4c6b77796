// Sound start-up and shutdown: the order of steps in the log, device failures, the primary
// format, the silent buffer, the device list, and the hooks.
#include <string>
#include <vector>

#include "tests/sound/sound_fixture.h"
#include "tests/support/log_capture.h"

namespace {

std::vector<std::string> LogLines(const LogCapture& log) { return SplitLogLines(log.Contents()); }

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

using SoundStartup = SoundSwitches;

TEST_F(SoundStartup, StartAndShutdownLogTheirStepsInOrder) {
  DSCAPS caps = {};
  caps.dwFlags =
      DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY16BIT | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARY8BIT;
  caps.dwMinSecondarySampleRate = 8000;
  caps.dwMaxSecondarySampleRate = 48000;
  caps.dwTotalHwMemBytes = 4096;
  caps.dwFreeHwMemBytes = 1536;
  PortSetSoundCaps(&caps);
  LogCapture log;
  ASSERT_EQ(InitSound(), 0);
  ASSERT_EQ(ShutdownSound(), 0);

  std::vector<std::string> lines = LogLines(log);
  // The devices after the first come from SDL and differ between machines.
  std::vector<std::string> fixed;
  int devices = 0;
  for (const std::string& l : lines) {
    if (l.find("モジュール名:") != std::string::npos && devices++ > 0) continue;
    fixed.push_back(l);
  }
  const std::vector<std::string> expected = {
      "0:DirectSound の初期化を行います",
      "0:DirectSound インターフェースの取得を行います....  成功",
      "0:引き続きインターフェースの初期化処理...  成功",
      "0:\tDirectSound デバイスを列挙します",
      "0:\t\tモジュール名:" + std::string(15, ' ') + "  ドライバ記述:Primary Sound Driver ",
      "0:\t最大サンプリングレート:48.00KHz 最小サンプリングレート:8.00KHz ",
      "0:\t総サウンドメモリ領域:4.00KB 空きサウンドメモリ領域:1.50KB ",
      "0:\t利用可能サンプリング精度",
      "0:\t プライマリ １６bit = OK  ８bit = NO ",
      "0:\t セカンダリ １６bit = NO  ８bit = OK ",
      "0:\t利用可能チャンネル",
      "0:\t プライマリ MONO = NO  STEREO = OK ",
      "0:\t セカンダリ MONO = OK  STEREO = NO ",
      "0:DirectSound の初期化は正常に終了しました",
      "0:DirectSound の終了処理は正常に終了しました",
  };
  EXPECT_EQ(fixed, expected);
  EXPECT_GE(devices, 1);
  // The manager's module was loaded with the device and freed with it.
  EXPECT_EQ(PortModuleLoadCount("dsound.dll"), 0);
  EXPECT_EQ(PortModuleLoadCount("msacm32.dll"), 0);
}

TEST_F(SoundStartup, StartedStateAndTheSilentLoop) {
  ASSERT_EQ(InitSound(), 0);
  EXPECT_TRUE(IsSoundStarted());
  EXPECT_EQ(gSoundSystem.creationType, 0);
  EXPECT_EQ(gSoundSystem.vorbisSampleWidth, 2);
  EXPECT_NE(gSoundSystem.acmModule, nullptr);
  EXPECT_EQ(gSoundSystem.acm.acmStreamOpen, reinterpret_cast<FARPROC>(&acmStreamOpen));
  EXPECT_EQ(AcmFunctionsAvailable(), 1);
  EXPECT_EQ(gSoundSystem.serviceThread, nullptr);  // one logical processor
  EXPECT_EQ(gSoundSystem.streamListHead.next, &gSoundSystem.streamListTail);

  ASSERT_NE(gSoundSystem.silentBuffer, nullptr);
  DWORD status = 0;
  ASSERT_EQ(gSoundSystem.silentBuffer->GetStatus(&status), DS_OK);
  EXPECT_EQ(status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING),
            DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  WAVEFORMATEX silentFormat = {};
  ASSERT_EQ(gSoundSystem.silentBuffer->GetFormat(&silentFormat, sizeof silentFormat, nullptr),
            DS_OK);
  EXPECT_EQ(silentFormat.nSamplesPerSec, 44100u);
  EXPECT_EQ(silentFormat.nBlockAlign, 4);
  // It loops for good and adds nothing to the output.
  std::vector<int16_t> out(2 * 1000, 1);
  ASSERT_EQ(PortAdvanceManualAudio(1000, out.data()), 1000);
  for (int16_t s : out) ASSERT_EQ(s, 0);
  ASSERT_EQ(gSoundSystem.silentBuffer->GetStatus(&status), DS_OK);
  EXPECT_NE(status & DSBSTATUS_PLAYING, 0u);

  // One of the eight entry points missing is enough to refuse.
  gSoundSystem.acm.acmStreamSize = nullptr;
  EXPECT_EQ(AcmFunctionsAvailable(), 0);

  EXPECT_EQ(ShutdownSound(), 0);
  EXPECT_EQ(PortModuleLoadCount("msacm32.dll"), 0);  // the module was freed
  EXPECT_EQ(gSoundSystem.acmModule, nullptr);
  EXPECT_EQ(gSoundSystem.acm.acmFormatSuggest, nullptr);
  EXPECT_FALSE(IsSoundStarted());
  EXPECT_EQ(gSoundSystem.primaryBuffer, nullptr);
  EXPECT_EQ(gSoundSystem.silentBuffer, nullptr);
  EXPECT_EQ(PortAudioDeviceRate(), 0u);  // the device and its output are gone
}

TEST_F(SoundStartup, SecondStartAndEarlyOrSecondShutdownAreRefused) {
  LogCapture log;
  EXPECT_EQ(ShutdownSound(), -1);
  EXPECT_EQ(log.Contents(), "");
  ASSERT_EQ(InitSound(), 0);
  IDirectSound* device = gSoundSystem.device;
  const std::string afterStart = log.Contents();
  EXPECT_EQ(InitSound(), -1);
  EXPECT_EQ(gSoundSystem.device, device);
  EXPECT_EQ(log.Contents(), afterStart);
  EXPECT_EQ(ShutdownSound(), 0);
  const std::string afterShutdown = log.Contents();
  EXPECT_EQ(ShutdownSound(), -1);
  EXPECT_EQ(log.Contents(), afterShutdown);
  // And it starts again after a shutdown.
  EXPECT_EQ(InitSound(), 0);
}

TEST_F(SoundStartup, DeviceFailuresEndTheStartWithTheDeviceReleased) {
  struct Case {
    const char* what;
    void (*arrange)();
    std::vector<std::string> lastLines;
  };
  const Case cases[] = {
      {"no DirectSound class",
       [] { PortSetClassAbsent(CLSID_DirectSound, true); },
       {"0:DirectSound インターフェースの取得を行います....  "
        "DirectSoundインターフェースの作成に失敗しました"}},
      {"initialisation",
       [] { PortSetDirectSoundFailure(PortDsCall::Initialize, 0, 1); },
       {"0:引き続きインターフェースの初期化処理...  初期化に失敗しました",
        "0:エラーコード 80004005"}},
      {"cooperative level",
       [] { PortSetDirectSoundFailure(PortDsCall::SetCooperativeLevel, 0, 1); },
       {"0:DirectSoundの協調レベルの設定に失敗しました"}},
      {"no window linked",
       [] {
         SetSoundPlatformLinks(SoundPlatformLinks{nullptr, nullptr, nullptr});
       },
       {"0:DirectSoundの協調レベルの設定に失敗しました"}},
      {"primary buffer",
       [] { PortSetDirectSoundFailure(PortDsCall::CreatePrimaryBuffer, 0, 1); },
       {"0:DirectSoundのプライマリサウンドバッファの作成に失敗しました"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    {
      LogCapture log;
      EXPECT_EQ(InitSound(), -1);
      EXPECT_FALSE(IsSoundStarted());
      EXPECT_EQ(PortAudioDeviceRate(), 0u);  // the device object was released
      const std::vector<std::string> lines = LogLines(log);
      ASSERT_GE(lines.size(), c.lastLines.size());
      EXPECT_EQ(std::vector<std::string>(lines.end() - c.lastLines.size(), lines.end()),
                c.lastLines);
      EXPECT_EQ(AddSoundData(-1) >= 0, true);  // the lock works after a failed start
      EXPECT_EQ(IsSoundPlaying(0), -1);
      EXPECT_EQ(DeleteAllSounds(), -1);
    }
    PortResetSoundSwitches();
    PortResetComSwitches();
    PortSetManualAudio(true, kRate);
    SetSoundPlatformLinks(TestSoundLinks());
    // Nothing of the failed start stands in the way of the next; it clears the early handle.
    ASSERT_EQ(InitSound(), 0);
    EXPECT_EQ(SoundHandles.count, 0);
    ASSERT_EQ(ShutdownSound(), 0);
  }
}

TEST_F(SoundStartup, PrimaryFormatFollowsTheCapabilities) {
  struct Case {
    DWORD maxRate;
    DWORD flags;
    DWORD rate;
    WORD channels;
    WORD bits;
  };
  const Case cases[] = {
      {48000, DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY16BIT, 44100, 2, 16},
      {44100, DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY16BIT, 44100, 2, 16},
      {200000, DSCAPS_PRIMARYMONO | DSCAPS_PRIMARY16BIT, 44100, 1, 16},
      {22050, 0, 22050, 1, 8},
      {44099, DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT, 44099, 2, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maxRate);
    DSCAPS caps = {};
    caps.dwFlags = c.flags;
    caps.dwMaxSecondarySampleRate = c.maxRate;
    PortSetSoundCaps(&caps);
    ASSERT_EQ(InitSound(), 0);
    WAVEFORMATEX f = {};
    ASSERT_EQ(gSoundSystem.primaryBuffer->GetFormat(&f, sizeof f, nullptr), DS_OK);
    EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f.nSamplesPerSec, c.rate);
    EXPECT_EQ(f.nChannels, c.channels);
    EXPECT_EQ(f.wBitsPerSample, c.bits);
    EXPECT_EQ(f.nBlockAlign, c.channels * c.bits / 8);
    EXPECT_EQ(f.nAvgBytesPerSec, f.nBlockAlign * c.rate);
    ASSERT_EQ(ShutdownSound(), 0);
  }
}

TEST_F(SoundStartup, FailuresAfterThePrimaryBufferAreLoggedAndTheStartGoesOn) {
  struct Case {
    const char* what;
    PortDsCall call;
    const char* line;
  };
  const Case cases[] = {
      {"primary format", PortDsCall::SetFormat,
       "0:DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました"},
      {"silent buffer", PortDsCall::CreateSoundBuffer, "0:無音バッファの作成に失敗しました"},
      {"silent lock", PortDsCall::Lock, "0:無音バッファのロックに失敗しました"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PortSetDirectSoundFailure(c.call, 0, 1);
    LogCapture log;
    ASSERT_EQ(InitSound(), 0);
    const std::vector<std::string> lines = LogLines(log);
    EXPECT_TRUE(Contains(lines, c.line));
    EXPECT_EQ(lines.back(), "0:DirectSound の初期化は正常に終了しました");
    if (c.call != PortDsCall::SetFormat) { EXPECT_EQ(gSoundSystem.silentBuffer, nullptr); }
    ASSERT_EQ(ShutdownSound(), 0);
    PortSetDirectSoundFailure(c.call, 0, 0);
  }
}

TEST_F(SoundStartup, MissingDeviceListKeepsTheIndentOfLaterLines) {
  struct Case {
    const char* what;
    void (*arrange)();
    const char* line;
  };
  const Case cases[] = {
      {"no module", [] { PortSetModuleAbsent("dsound.dll", true); },
       "0:\t\tDSOUND.DLL のロードに失敗しました"},
      {"no function", [] { PortSetExportAbsent("dsound.dll", "DirectSoundEnumerateA", true); },
       "0:\t\tDirectSound デバイスの列挙用関数のポインタ取得に失敗しました"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    LogCapture log;
    ASSERT_EQ(InitSound(), 0);
    ASSERT_EQ(ShutdownSound(), 0);
    const std::vector<std::string> expected = {
        "0:DirectSound の初期化を行います",
        "0:DirectSound インターフェースの取得を行います....  成功",
        "0:引き続きインターフェースの初期化処理...  成功",
        "0:\tDirectSound デバイスを列挙します",
        c.line,
        "0:DirectSound の初期化は正常に終了しました",
        "0:DirectSound の終了処理は正常に終了しました",
    };
    EXPECT_EQ(LogLines(log), expected);
    EXPECT_EQ(PortModuleLoadCount("dsound.dll"), 0);
    PortResetModuleSwitches();
  }
}

TEST_F(SoundStartup, MusicAndMciHooksDoNothing) {
  EXPECT_EQ(UpdateSoundPositions(), -1);
  EXPECT_EQ(PollMusicPlayState(), -1);
  EXPECT_EQ(HandleMciNotify(), 0);
  EXPECT_EQ(StopFileMusic(), 0);
  EXPECT_EQ(UpdateStreamSounds(), -1);
  ASSERT_EQ(InitSound(), 0);
  EXPECT_EQ(UpdateSoundPositions(), 0);
  EXPECT_EQ(PollMusicPlayState(), 0);
  EXPECT_EQ(HandleMciNotify(), 0);
  EXPECT_EQ(StopFileMusic(), 0);
  EXPECT_EQ(UpdateStreamSounds(), 0);
}

}  // namespace

#include "runtime/sound/sound_system.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system_internal.h"

SoundSystemState gSoundSystem = {};

namespace {

SoundPlatformLinks gLinks = {};

// A message without a line end of its own is a whole line, which the log ends; a formatted
// text that brings its own line end is written as it is.
void LogLine(const char* text) { LogPrintf("%s", text); }

void LogFormatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogFormatted(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  const size_t length = std::strlen(text);
  if (length > 0 && text[length - 1] == '\n')
    WriteLogText(text);
  else
    LogLine(text);
}

void EnsureSoundLock() {
  if (gSoundSystem.soundLockReady) return;
  InitializeCriticalSection(&gSoundSystem.soundLock);
  gSoundSystem.soundLockReady = 1;
}

// The one releasing step of every failed start: the device goes and stays null.
int FailStart(IDirectSound* device, const char* text) {
  if (text) WriteLogText(text);
  if (device) device->Release();
  return -1;
}

void SetPrimaryFormat(IDirectSound* device, IDirectSoundBuffer* primary) {
  DSCAPS caps = {};
  caps.dwSize = sizeof caps;
  device->GetCaps(&caps);
  const WAVEFORMATEX format = PrimaryFormatFromCaps(caps);
  if (FAILED(primary->SetFormat(&format)))
    WriteLogText("DirectSoundのプライマリサウンドバッファのフォーマット設定に失敗しました\n");
}

// A short buffer of silence that loops for as long as sound is started, so the device always
// has something playing. Start-up goes on without it when it cannot be made.
IDirectSoundBuffer* StartSilentBuffer(IDirectSound* device) {
  WAVEFORMATEX format = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_STATIC;
  desc.dwBufferBytes = format.nBlockAlign * 100;
  desc.lpwfxFormat = &format;
  IDirectSoundBuffer* silent = nullptr;
  if (FAILED(device->CreateSoundBuffer(&desc, &silent, nullptr))) {
    LogLine("無音バッファの作成に失敗しました");
    return nullptr;
  }
  void* region1 = nullptr;
  void* region2 = nullptr;
  DWORD bytes1 = 0;
  DWORD bytes2 = 0;
  if (FAILED(silent->Lock(0, desc.dwBufferBytes, &region1, &bytes1, &region2, &bytes2, 0))) {
    LogLine("無音バッファのロックに失敗しました");
    silent->Release();
    return nullptr;
  }
  std::memset(region1, 0, bytes1);
  if (region2) std::memset(region2, 0, bytes2);
  silent->Unlock(region1, bytes1, region2, bytes2);
  silent->Play(0, 0, DSBPLAY_LOOPING);
  return silent;
}

const char* OkOrNo(DWORD flags, DWORD flag) { return (flags & flag) ? "OK" : "NO"; }

// The device list and the capabilities, one indent level in.
void LogDeviceList(IDirectSound* device) {
  LogIndentIn();
  DSCAPS caps = {};
  caps.dwSize = sizeof caps;
  device->GetCaps(&caps);
  WriteLogText("DirectSound デバイスを列挙します\n");
  LogIndentIn();
  HMODULE dsound = LoadLibraryA("DSOUND.DLL");
  if (!dsound) {
    WriteLogText("DSOUND.DLL のロードに失敗しました\n");
    LogIndentOut();
    LogIndentOut();
    return;
  }
  auto enumerate = reinterpret_cast<HRESULT(WINAPI*)(LPDSENUMCALLBACKA, LPVOID)>(
      GetProcAddress(dsound, "DirectSoundEnumerateA"));
  if (!enumerate) {
    FreeLibrary(dsound);
    WriteLogText("DirectSound デバイスの列挙用関数のポインタ取得に失敗しました\n");
    LogIndentOut();
    LogIndentOut();
    return;
  }
  enumerate(&LogSoundDevice, nullptr);
  LogIndentOut();
  LogFormatted("最大サンプリングレート:%.2fKHz 最小サンプリングレート:%.2fKHz ",
               caps.dwMaxSecondarySampleRate / 1000.0, caps.dwMinSecondarySampleRate / 1000.0);
  LogFormatted("総サウンドメモリ領域:%.2fKB 空きサウンドメモリ領域:%.2fKB \n",
               caps.dwTotalHwMemBytes / 1024.0, caps.dwFreeHwMemBytes / 1024.0);
  WriteLogText("利用可能サンプリング精度\n");
  LogFormatted(" プライマリ １６bit = %s  ８bit = %s ", OkOrNo(caps.dwFlags, DSCAPS_PRIMARY16BIT),
               OkOrNo(caps.dwFlags, DSCAPS_PRIMARY8BIT));
  LogFormatted(" セカンダリ １６bit = %s  ８bit = %s \n",
               OkOrNo(caps.dwFlags, DSCAPS_SECONDARY16BIT),
               OkOrNo(caps.dwFlags, DSCAPS_SECONDARY8BIT));
  WriteLogText("利用可能チャンネル\n");
  LogFormatted(" プライマリ MONO = %s  STEREO = %s ", OkOrNo(caps.dwFlags, DSCAPS_PRIMARYMONO),
               OkOrNo(caps.dwFlags, DSCAPS_PRIMARYSTEREO));
  LogFormatted(" セカンダリ MONO = %s  STEREO = %s \n", OkOrNo(caps.dwFlags, DSCAPS_SECONDARYMONO),
               OkOrNo(caps.dwFlags, DSCAPS_SECONDARYSTEREO));
  LogIndentOut();
  FreeLibrary(dsound);
}

}  // namespace

namespace {

struct AcmName {
  const char* name;
  FARPROC AcmFunctions::*slot;
};
const AcmName kAcmNames[] = {
    {"acmFormatSuggest", &AcmFunctions::acmFormatSuggest},
    {"acmStreamOpen", &AcmFunctions::acmStreamOpen},
    {"acmStreamClose", &AcmFunctions::acmStreamClose},
    {"acmMetrics", &AcmFunctions::acmMetrics},
    {"acmStreamPrepareHeader", &AcmFunctions::acmStreamPrepareHeader},
    {"acmStreamConvert", &AcmFunctions::acmStreamConvert},
    {"acmStreamUnprepareHeader", &AcmFunctions::acmStreamUnprepareHeader},
    {"acmStreamSize", &AcmFunctions::acmStreamSize},
};

}  // namespace

// Found or not, the pointers are kept as they come: the decoders ask AcmFunctionsAvailable.
void LoadAcmFunctions() {
  if (gSoundSystem.acmModule) return;
  gSoundSystem.acmModule = LoadLibraryA("msacm32.dll");
  for (const AcmName& n : kAcmNames)
    gSoundSystem.acm.*n.slot =
        gSoundSystem.acmModule ? GetProcAddress(gSoundSystem.acmModule, n.name) : nullptr;
}

void FreeAcmFunctions() {
  if (!gSoundSystem.acmModule) return;
  FreeLibrary(gSoundSystem.acmModule);
  gSoundSystem.acmModule = nullptr;
  gSoundSystem.acm = AcmFunctions{};
}

void SetSoundPlatformLinks(const SoundPlatformLinks& links) { gLinks = links; }

int ProcessMessagesForSoundWait() { return gLinks.processMessages ? gLinks.processMessages() : 0; }

// The exit shuts the library down, and that waits for the service thread, which may be
// waiting for the sound lock: so the lock is let go first, however deep this thread holds it.
void SoundFatalError(const char* text) {
  int held = 0;
  if (gSoundSystem.soundLockReady && gSoundSystem.soundLockOwner.load() == GetCurrentThreadId()) {
    held = gSoundSystem.soundLockDepth;
    for (int i = 0; i < held; ++i) LeaveSoundLock();
  }
  if (gLinks.fatalError) {
    gLinks.fatalError(text);
  } else {
    WriteLogText(text);
    WriteLogText("\n");
    std::exit(-1);
  }
  // Only an exit linked in by a test comes back: the callers leave the lock as they entered it.
  for (int i = 0; i < held; ++i) EnterSoundLock();
}

void EnterSoundLock() {
  EnsureSoundLock();
  EnterCriticalSection(&gSoundSystem.soundLock);
  if (gSoundSystem.soundLockDepth++ == 0) gSoundSystem.soundLockOwner.store(GetCurrentThreadId());
}

void LeaveSoundLock() {
  if (--gSoundSystem.soundLockDepth == 0) gSoundSystem.soundLockOwner.store(0);
  LeaveCriticalSection(&gSoundSystem.soundLock);
}

int IsSoundStarted() { return gSoundSystem.device != nullptr; }

int AcmFunctionsAvailable() {
  if (!gSoundSystem.acmModule) return 0;
  for (const AcmName& n : kAcmNames)
    if (!(gSoundSystem.acm.*n.slot)) return 0;
  return 1;
}

WAVEFORMATEX PrimaryFormatFromCaps(const DSCAPS& caps) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nSamplesPerSec =
      caps.dwMaxSecondarySampleRate >= 44100 ? 44100 : caps.dwMaxSecondarySampleRate;
  format.nChannels = (caps.dwFlags & DSCAPS_PRIMARYSTEREO) ? 2 : 1;
  format.wBitsPerSample = (caps.dwFlags & DSCAPS_PRIMARY16BIT) ? 16 : 8;
  format.nBlockAlign = static_cast<WORD>(format.wBitsPerSample / 8 * format.nChannels);
  format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
  return format;
}

BOOL CALLBACK LogSoundDevice(LPGUID, LPCSTR description, LPCSTR module, LPVOID) {
  LogFormatted("モジュール名:%15s  ドライバ記述:%s ", module ? module : "",
               description ? description : "");
  return TRUE;
}

int InitSound() {
  if (gSoundSystem.device) return -1;
  EnsureSoundLock();
  LoadAcmFunctions();

  WriteLogText("DirectSound の初期化を行います\n");
  WriteLogText("DirectSound インターフェースの取得を行います....  ");
  IDirectSound* device = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DirectSound, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IDirectSound, reinterpret_cast<void**>(&device))))
    return FailStart(nullptr, "DirectSoundインターフェースの作成に失敗しました\n");
  WriteLogText("成功\n");
  WriteLogText("引き続きインターフェースの初期化処理...  ");
  const HRESULT initialised = device->Initialize(nullptr);
  if (FAILED(initialised)) {
    WriteLogText("初期化に失敗しました\n");
    LogPrintf("エラーコード %x", static_cast<unsigned>(initialised));
    return FailStart(device, nullptr);
  }
  WriteLogText("成功\n");
  const HWND window = gLinks.cooperativeWindow ? gLinks.cooperativeWindow() : nullptr;
  if (FAILED(device->SetCooperativeLevel(window, DSSCL_PRIORITY)))
    return FailStart(device, "DirectSoundの協調レベルの設定に失敗しました\n");

  DSBUFFERDESC primaryDesc = {};
  primaryDesc.dwSize = sizeof primaryDesc;
  primaryDesc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  if (FAILED(device->CreateSoundBuffer(&primaryDesc, &primary, nullptr)))
    return FailStart(device, "DirectSoundのプライマリサウンドバッファの作成に失敗しました\n");

  // Nothing from here on stops the start.
  gSoundSystem.device = device;
  gSoundSystem.primaryBuffer = primary;
  SetPrimaryFormat(device, primary);
  gSoundSystem.silentBuffer = StartSilentBuffer(device);

  gSoundSystem.creationType = 0;
  gSoundSystem.vorbisSampleWidth = 2;
  ClearHandleList(&gSoundSystem.streamListHead, &gSoundSystem.streamListTail);

  LogDeviceList(device);
  DeleteAllSounds();
  StartSoundServiceThread();

  WriteLogText("DirectSound の初期化は正常に終了しました\n");
  return 0;
}

int ShutdownSound() {
  if (!gSoundSystem.device) return -1;
  StopSoundServiceThread();
  DeleteAllSounds();

  // No thread runs any more, and nothing takes the lock before the next start.
  DeleteCriticalSection(&gSoundSystem.soundLock);
  gSoundSystem.soundLockReady = 0;
  gSoundSystem.soundLockOwner.store(0);
  gSoundSystem.soundLockDepth = 0;

  if (gSoundSystem.primaryBuffer) {
    gSoundSystem.primaryBuffer->Stop();
    gSoundSystem.primaryBuffer->Release();
    gSoundSystem.primaryBuffer = nullptr;
  }
  if (gSoundSystem.silentBuffer) {
    gSoundSystem.silentBuffer->Stop();
    gSoundSystem.silentBuffer->Release();
    gSoundSystem.silentBuffer = nullptr;
  }
  gSoundSystem.device->Release();
  gSoundSystem.device = nullptr;
  FreeAcmFunctions();

  WriteLogText("DirectSound の終了処理は正常に終了しました\n");
  return 0;
}

int UpdateSoundPositions() { return gSoundSystem.device ? 0 : -1; }
int PollMusicPlayState() { return gSoundSystem.device ? 0 : -1; }
int HandleMciNotify() { return 0; }
int StopFileMusic() { return 0; }

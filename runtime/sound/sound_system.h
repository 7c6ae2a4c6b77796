// The sound system: the DirectSound device with its primary buffer and a silent looping
// buffer, the sound lock, the audio compression entry points the decoders use, and the
// service thread that keeps stream sounds refilled.
#pragma once

#include <atomic>

#include "port/win32.h"
#include "runtime/platform/core/handle_table.h"

// The entry points of "msacm32.dll", as found: any may be null.
struct AcmFunctions {
  FARPROC acmFormatSuggest;
  FARPROC acmStreamOpen;
  FARPROC acmStreamClose;
  FARPROC acmMetrics;
  FARPROC acmStreamPrepareHeader;
  FARPROC acmStreamConvert;
  FARPROC acmStreamUnprepareHeader;
  FARPROC acmStreamSize;
};

enum SoundServiceStop {
  SoundServiceRunning = 0,
  SoundServiceStopRequested = 1,
  SoundServiceStopped = 2,
};

struct SoundSystemState {
  CRITICAL_SECTION soundLock;  // the handle table, the stream-sound list and every refill
  int soundLockReady;
  std::atomic<DWORD> soundLockOwner;  // the holder, 0 none
  int soundLockDepth;                 // how deep the holder holds it
  IDirectSound* device;               // null while sound is not started
  IDirectSoundBuffer* primaryBuffer;
  IDirectSoundBuffer* silentBuffer;  // may be null
  HMODULE acmModule;
  AcmFunctions acm;
  int creationType;
  int decoderMask;
  int vorbisSampleWidth;
  int movieAudioFlag;
  HandleListNode streamListHead;  // every stream sound handle, between two sentinels
  HandleListNode streamListTail;
  HANDLE serviceThread;  // null when none runs
  DWORD serviceThreadId;
  std::atomic<int> stopState;  // shared with the service thread
};

extern SoundSystemState gSoundSystem;

// What the sound layer needs from the window layer and the library start-up, wired by
// start-up: the window the device's cooperative level is set for; the window message
// processing that waits run (0 go on, anything else: the application is quitting); and the
// fatal-error exit. A null entry: no window (the device then refuses the cooperative level),
// no message processing, and a fatal error that logs the text and ends the process with -1.
struct SoundPlatformLinks {
  HWND (*cooperativeWindow)();
  int (*processMessages)();
  void (*fatalError)(const char* text);
};
void SetSoundPlatformLinks(const SoundPlatformLinks& links);

// 0, or -1 when sound is already started or the device does not start. Called by library
// start-up after the window and input.
int InitSound();
// 0, or -1 when sound is not started. Called by library end.
int ShutdownSound();
int IsSoundStarted();

// The sound lock, recursive for its owner. It exists from its first use (a handle may be
// added before start-up) until shutdown.
void EnterSoundLock();
void LeaveSoundLock();
// Calls a function that expects the sound lock held, holding it, and gives its result.
template <class... Params, class... Args>
int WithSoundLock(int (*locked)(Params...), Args... args) {
  EnterSoundLock();
  const int result = locked(args...);
  LeaveSoundLock();
  return result;
}

// 1 when the module and all eight entry points were found: the decoders that need them refuse
// otherwise.
int AcmFunctionsAvailable();
// Looks up "msacm32.dll" and its entry points (sound start-up does), and lets them go (sound
// shutdown does). Decoding without a device needs only these.
void LoadAcmFunctions();
void FreeAcmFunctions();

// The primary buffer's format for a device's capabilities.
WAVEFORMATEX PrimaryFormatFromCaps(const DSCAPS& caps);

// The device list callback: logs one device and asks for the next.
BOOL CALLBACK LogSoundDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);

// Refills every active stream sound; 0, or -1 when sound is not started.
int UpdateStreamSounds();
// The per-frame refill, for the message processing to call every frame (also while it waits
// for an inactive window): it refills only when no service thread runs, whatever the reason.
int RefillStreamSoundsPerFrame();
// Music and MCI: this system makes no music handles, so there is nothing to act on. The first
// two give -1 while sound is not started.
int UpdateSoundPositions();
int PollMusicPlayState();
int HandleMciNotify();
int StopFileMusic();

// For tests: the service thread cannot be created.
void SetSoundThreadCreationFailsForTest(int fails);

// DirectSound of the port: a device object made through CoCreateInstance, primary and
// secondary sound buffers, and the device list of "dsound.dll". Every secondary buffer is a
// voice of one software mixer that plays on SDL audio (headless under SDL_AUDIODRIVER=dummy),
// or on a manual output that tests advance and read back.
#pragma once

#include "port/com/com.h"
#include "port/dsound/wave_format.h"

// Results.
#define DS_OK S_OK
#define DSERR_GENERIC E_FAIL
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_NOINTERFACE E_NOINTERFACE
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_ALLOCATED static_cast<HRESULT>(0x8878000Au)
#define DSERR_CONTROLUNAVAIL static_cast<HRESULT>(0x8878001Eu)
#define DSERR_INVALIDCALL static_cast<HRESULT>(0x88780032u)
#define DSERR_PRIOLEVELNEEDED static_cast<HRESULT>(0x88780046u)
#define DSERR_BADFORMAT static_cast<HRESULT>(0x88780064u)
#define DSERR_NODRIVER static_cast<HRESULT>(0x88780078u)
#define DSERR_ALREADYINITIALIZED static_cast<HRESULT>(0x88780082u)
#define DSERR_BUFFERLOST static_cast<HRESULT>(0x88780096u)
#define DSERR_UNINITIALIZED static_cast<HRESULT>(0x887800AAu)

// Cooperative levels.
#define DSSCL_NORMAL 1u
#define DSSCL_PRIORITY 2u
#define DSSCL_EXCLUSIVE 3u
#define DSSCL_WRITEPRIMARY 4u

// Buffer description flags.
#define DSBCAPS_PRIMARYBUFFER 0x00000001u
#define DSBCAPS_STATIC 0x00000002u
#define DSBCAPS_LOCHARDWARE 0x00000004u
#define DSBCAPS_LOCSOFTWARE 0x00000008u
#define DSBCAPS_CTRLFREQUENCY 0x00000020u
#define DSBCAPS_CTRLPAN 0x00000040u
#define DSBCAPS_CTRLVOLUME 0x00000080u
#define DSBCAPS_STICKYFOCUS 0x00004000u
#define DSBCAPS_GLOBALFOCUS 0x00008000u
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000u

// Device capability flags (DSCAPS::dwFlags).
#define DSCAPS_PRIMARYMONO 0x00000001u
#define DSCAPS_PRIMARYSTEREO 0x00000002u
#define DSCAPS_PRIMARY8BIT 0x00000004u
#define DSCAPS_PRIMARY16BIT 0x00000008u
#define DSCAPS_CONTINUOUSRATE 0x00000010u
#define DSCAPS_SECONDARYMONO 0x00000100u
#define DSCAPS_SECONDARYSTEREO 0x00000200u
#define DSCAPS_SECONDARY8BIT 0x00000400u
#define DSCAPS_SECONDARY16BIT 0x00000800u

#define DSBPLAY_LOOPING 0x00000001u

#define DSBSTATUS_PLAYING 0x00000001u
#define DSBSTATUS_BUFFERLOST 0x00000002u
#define DSBSTATUS_LOOPING 0x00000004u

#define DSBLOCK_FROMWRITECURSOR 0x00000001u
#define DSBLOCK_ENTIREBUFFER 0x00000002u

#define DSBSIZE_MIN 4u
#define DSBSIZE_MAX 0x0FFFFFFFu
#define DSBFREQUENCY_ORIGINAL 0u
#define DSBFREQUENCY_MIN 100u
#define DSBFREQUENCY_MAX 200000u
#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBPAN_LEFT (-10000)
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000

typedef GUID* LPGUID;
typedef const GUID* LPCGUID;

struct DSCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMinSecondarySampleRate;
  DWORD dwMaxSecondarySampleRate;
  DWORD dwPrimaryBuffers;
  DWORD dwMaxHwMixingAllBuffers;
  DWORD dwMaxHwMixingStaticBuffers;
  DWORD dwMaxHwMixingStreamingBuffers;
  DWORD dwFreeHwMixingAllBuffers;
  DWORD dwFreeHwMixingStaticBuffers;
  DWORD dwFreeHwMixingStreamingBuffers;
  DWORD dwMaxHw3DAllBuffers;
  DWORD dwMaxHw3DStaticBuffers;
  DWORD dwMaxHw3DStreamingBuffers;
  DWORD dwFreeHw3DAllBuffers;
  DWORD dwFreeHw3DStaticBuffers;
  DWORD dwFreeHw3DStreamingBuffers;
  DWORD dwTotalHwMemBytes;
  DWORD dwFreeHwMemBytes;
  DWORD dwMaxContigFreeHwMemBytes;
  DWORD dwUnlockTransferRateHwBuffers;
  DWORD dwPlayCpuOverheadSwBuffers;
  DWORD dwReserved1;
  DWORD dwReserved2;
};
typedef DSCAPS* LPDSCAPS;

// dwSize is sizeof(DSBUFFERDESC), or the 36 bytes the record has in a 32-bit build (20 for
// the older form without guid3DAlgorithm); all are accepted.
struct DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
  GUID guid3DAlgorithm;
};
typedef DSBUFFERDESC* LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

// A sound buffer. The primary buffer stands for the output device: it takes SetFormat,
// GetFormat, Play, Stop and GetStatus. Secondary buffers hold PCM that the mixer plays.
struct IDirectSoundBuffer : public IUnknown {
  virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
  virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) = 0;
  virtual HRESULT GetVolume(LONG* volume) = 0;
  virtual HRESULT GetPan(LONG* pan) = 0;
  virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
  virtual HRESULT GetStatus(LPDWORD status) = 0;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                       LPDWORD bytes2, DWORD flags) = 0;
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  virtual HRESULT SetCurrentPosition(DWORD newPosition) = 0;
  virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  virtual HRESULT SetPan(LONG pan) = 0;
  virtual HRESULT SetFrequency(DWORD frequency) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// The device object. Made uninitialised by CoCreateInstance; every call but Initialize
// gives DSERR_UNINITIALIZED until Initialize opens the output.
struct IDirectSound : public IUnknown {
  virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                    LPUNKNOWN outer) = 0;
  virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
  virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                       LPDIRECTSOUNDBUFFER* duplicate) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
  // Only the default device (a null GUID) can be opened.
  virtual HRESULT Initialize(LPCGUID device) = 0;
};
typedef IDirectSound* LPDIRECTSOUND;

inline constexpr CLSID CLSID_DirectSound = {
    0x47D4D946, 0x62E8, 0x11CF, {0x93, 0xBC, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr IID IID_IDirectSound = {
    0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
inline constexpr IID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

// Device list: the primary device first (null GUID, "Primary Sound Driver", empty module
// name), then each output device SDL reports, with SDL's driver name as the module name.
// Texts are CP932. The list stops when the callback returns FALSE.
typedef BOOL(CALLBACK* LPDSENUMCALLBACKA)(LPGUID guid, LPCSTR description, LPCSTR module,
                                          LPVOID context);
HRESULT WINAPI DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);

// --- Test switches --------------------------------------------------------------------

// The capabilities GetCaps reports (dwSize is set by the port); null restores the defaults.
void PortSetSoundCaps(const DSCAPS* caps);

// Selects the manual output for devices initialised from now on: nothing plays by itself;
// PortAdvanceManualAudio mixes the given number of device frames at `deviceRate`.
void PortSetManualAudio(bool enabled, DWORD deviceRate = 44100);
// Mixes `frames` frames of 16-bit stereo into `out` (2 x frames samples; may be null) and
// advances every playing buffer. Returns the frames mixed, or -1 when no manual output is open.
int PortAdvanceManualAudio(int frames, int16_t* out);

// The sample rate the mixer runs at, 0 while no output is open; and the output's driver name
// ("manual", or SDL's audio driver such as "dummy"), null while none is open.
DWORD PortAudioDeviceRate();
const char* PortAudioDriverName();

// Makes a DirectSound call fail with DSERR_GENERIC: after `succeedFirst` more successful
// calls, the next `failCount` calls fail and change nothing.
enum class PortDsCall {
  Initialize,
  SetCooperativeLevel,
  CreatePrimaryBuffer,
  CreateSoundBuffer,
  DuplicateSoundBuffer,
  SetFormat,
  Lock,
  Unlock,
  Count
};
void PortSetDirectSoundFailure(PortDsCall call, int succeedFirst, int failCount);

// Default capabilities, SDL output, no failures.
void PortResetSoundSwitches();

// IDirectSound: the device object, its caps, cooperative level and buffer creation.
#include <mutex>

#include "port/com/call_failure.h"
#include "port/com/com_classes.h"
#include "port/dsound/dsound_objects.h"
#include "port/dsound/sound_mixer.h"

namespace {

// What a software mixer can do: any PCM layout at any rate the buffers accept, no hardware
// buffers or hardware memory.
DSCAPS DefaultCaps() {
  DSCAPS caps = {};
  caps.dwSize = sizeof(DSCAPS);
  caps.dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT |
                 DSCAPS_PRIMARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_SECONDARYMONO |
                 DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
  caps.dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
  caps.dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
  caps.dwPrimaryBuffers = 1;
  return caps;
}
const DSCAPS kDefaultCaps = DefaultCaps();

std::mutex gSwitchMutex;
DSCAPS gCaps = kDefaultCaps;
PortCallFailure gFailures[static_cast<int>(PortDsCall::Count)];
std::atomic<int> gNextDeviceId{1};

// Descriptions from a 32-bit build are 36 bytes, or 20 without the 3-D algorithm field.
bool BufferDescSizeValid(DWORD size) {
  return size == sizeof(DSBUFFERDESC) || size == offsetof(DSBUFFERDESC, guid3DAlgorithm) ||
         size == 36 || size == 20;
}

}  // namespace

bool DirectSoundCallFails(PortDsCall call) {
  std::lock_guard lock(gSwitchMutex);
  return PortCallFailsNow(gFailures[static_cast<int>(call)]);
}

HRESULT CheckPcmFormat(LPCWAVEFORMATEX format) {
  if (!format) return DSERR_INVALIDPARAM;
  if (format->wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
  if (format->nChannels != 1 && format->nChannels != 2) return DSERR_BADFORMAT;
  if (format->wBitsPerSample != 8 && format->wBitsPerSample != 16) return DSERR_BADFORMAT;
  if (format->nSamplesPerSec < DSBFREQUENCY_MIN || format->nSamplesPerSec > DSBFREQUENCY_MAX)
    return DSERR_INVALIDPARAM;
  // The block align lays out the samples; the byte rate is informational and not checked,
  // as sound files often carry a rounded one.
  if (format->nBlockAlign != format->nChannels * format->wBitsPerSample / 8)
    return DSERR_INVALIDPARAM;
  return DS_OK;
}

PortDirectSound::PortDirectSound() : id_(gNextDeviceId++) {}

PortDirectSound::~PortDirectSound() {
  if (primary_) primary_->DetachDevice();
  if (initialized_) {
    // Buffers the caller still holds stay valid objects but no longer play.
    MixerLoseVoices(id_);
    CloseSoundOutput();
  }
}

HRESULT PortDirectSound::QueryInterface(REFIID riid, void** object) {
  return Answer(riid == IID_IUnknown || riid == IID_IDirectSound, object);
}

HRESULT PortDirectSound::Initialize(LPCGUID device) {
  if (initialized_) return DSERR_ALREADYINITIALIZED;
  if (device && *device != GUID{}) return DSERR_NODRIVER;
  if (DirectSoundCallFails(PortDsCall::Initialize)) return DSERR_GENERIC;
  if (!OpenSoundOutput()) return DSERR_NODRIVER;
  initialized_ = true;
  return DS_OK;
}

HRESULT PortDirectSound::SetCooperativeLevel(HWND window, DWORD level) {
  if (!initialized_) return DSERR_UNINITIALIZED;
  if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  if (DirectSoundCallFails(PortDsCall::SetCooperativeLevel)) return DSERR_GENERIC;
  level_ = level;
  return DS_OK;
}

HRESULT PortDirectSound::GetCaps(LPDSCAPS caps) {
  if (!initialized_) return DSERR_UNINITIALIZED;
  if (!caps || caps->dwSize != sizeof(DSCAPS)) return DSERR_INVALIDPARAM;
  std::lock_guard lock(gSwitchMutex);
  *caps = gCaps;
  return DS_OK;
}

HRESULT PortDirectSound::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                           LPUNKNOWN outer) {
  if (!buffer) return DSERR_INVALIDPARAM;
  *buffer = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  if (!initialized_) return DSERR_UNINITIALIZED;
  if (!desc || !BufferDescSizeValid(desc->dwSize)) return DSERR_INVALIDPARAM;

  if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
    // The primary buffer has no size or format of its own at creation.
    if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (DirectSoundCallFails(PortDsCall::CreatePrimaryBuffer)) return DSERR_GENERIC;
    // There is one per device: asking again gives the same object.
    if (primary_)
      primary_->AddRef();
    else
      primary_ = PortSoundBuffer::NewPrimary(this);
    *buffer = primary_;
    return DS_OK;
  }

  const HRESULT check = CheckPcmFormat(desc->lpwfxFormat);
  if (FAILED(check)) return check;
  const WAVEFORMATEX& format = *desc->lpwfxFormat;
  if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX ||
      desc->dwBufferBytes < format.nBlockAlign)
    return DSERR_INVALIDPARAM;
  if (DirectSoundCallFails(PortDsCall::CreateSoundBuffer)) return DSERR_GENERIC;
  int voice;
  {
    auto lock = LockMixer();
    voice = MixerAllocVoice(id_, format.nChannels, format.wBitsPerSample, format.nSamplesPerSec,
                            desc->dwBufferBytes, -1);
  }
  if (voice < 0) return DSERR_OUTOFMEMORY;
  *buffer = PortSoundBuffer::NewSecondary(voice, desc->dwFlags, format);
  return DS_OK;
}

HRESULT PortDirectSound::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                              LPDIRECTSOUNDBUFFER* duplicate) {
  if (!duplicate) return DSERR_INVALIDPARAM;
  *duplicate = nullptr;
  if (!initialized_) return DSERR_UNINITIALIZED;
  PortSoundBuffer* source = dynamic_cast<PortSoundBuffer*>(original);
  if (!source) return DSERR_INVALIDPARAM;
  if (source->IsPrimary()) return DSERR_INVALIDCALL;
  if (DirectSoundCallFails(PortDsCall::DuplicateSoundBuffer)) return DSERR_GENERIC;
  // The copy shares the sample memory and starts stopped at 0 with the original's volume,
  // pan and frequency; from then on each has its own.
  int voice;
  {
    auto lock = LockMixer();
    const MixerVoice& from = MixerVoiceAt(source->Voice());
    if (from.lost) return DSERR_BUFFERLOST;
    voice = MixerAllocVoice(id_, from.channels, from.bitsPerSample, from.formatRate, 0,
                            source->Voice());
    if (voice >= 0) {
      MixerVoice& copy = MixerVoiceAt(voice);
      copy.frequency = from.frequency;
      copy.volume = from.volume;
      copy.pan = from.pan;
      MixerUpdateGains(copy);
    }
  }
  if (voice < 0) return DSERR_OUTOFMEMORY;
  *duplicate = PortSoundBuffer::NewSecondary(voice, source->Flags(), source->Format());
  return DS_OK;
}

HRESULT CreateDirectSoundObject(REFIID iid, void** object) {
  return PortMakeComObject<PortDirectSound>(iid, object);
}

void PortSetSoundCaps(const DSCAPS* caps) {
  std::lock_guard lock(gSwitchMutex);
  gCaps = caps ? *caps : kDefaultCaps;
  gCaps.dwSize = sizeof(DSCAPS);
}

void PortSetDirectSoundFailure(PortDsCall call, int succeedFirst, int failCount) {
  std::lock_guard lock(gSwitchMutex);
  gFailures[static_cast<int>(call)] = {succeedFirst, failCount};
}

void PortResetSoundSwitches() {
  {
    std::lock_guard lock(gSwitchMutex);
    gCaps = kDefaultCaps;
    for (PortCallFailure& f : gFailures) f = {0, 0};
  }
  PortSetManualAudio(false);
}

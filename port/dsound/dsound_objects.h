// The port's DirectSound objects, shared by the device and buffer sources.
#pragma once

#include "port/com/com_object.h"
#include "port/dsound/dsound.h"

class PortDirectSound;

class PortSoundBuffer final : public PortComObject<IDirectSoundBuffer> {
 public:
  // The device's primary buffer: the device keeps a plain pointer and is told when it goes.
  static PortSoundBuffer* NewPrimary(PortDirectSound* device);
  // A secondary buffer playing mixer voice `voice`.
  static PortSoundBuffer* NewSecondary(int voice, DWORD flags, const WAVEFORMATEX& format);

  HRESULT QueryInterface(REFIID riid, void** object) override;

  HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
  HRESULT GetVolume(LONG* volume) override;
  HRESULT GetPan(LONG* pan) override;
  HRESULT GetFrequency(LPDWORD frequency) override;
  HRESULT GetStatus(LPDWORD status) override;
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
               LPDWORD bytes2, DWORD flags) override;
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT SetCurrentPosition(DWORD newPosition) override;
  HRESULT SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT SetPan(LONG pan) override;
  HRESULT SetFrequency(DWORD frequency) override;
  HRESULT Stop() override;
  HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override;

  bool IsPrimary() const { return primary_; }
  int Voice() const { return voice_; }
  DWORD Flags() const { return flags_; }
  const WAVEFORMATEX& Format() const { return format_; }
  void DetachDevice() { device_ = nullptr; }

 private:
  PortSoundBuffer() = default;
  ~PortSoundBuffer() override;

  bool primary_ = false;
  PortDirectSound* device_ = nullptr;  // primary only
  int voice_ = -1;                     // secondary only
  DWORD flags_ = 0;
  WAVEFORMATEX format_ = {};
  bool primaryPlaying_ = false;
};

class PortDirectSound final : public PortComObject<IDirectSound> {
 public:
  PortDirectSound();

  HRESULT QueryInterface(REFIID riid, void** object) override;

  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                            LPUNKNOWN outer) override;
  HRESULT GetCaps(LPDSCAPS caps) override;
  HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                               LPDIRECTSOUNDBUFFER* duplicate) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
  HRESULT Initialize(LPCGUID device) override;

  DWORD CooperativeLevel() const { return level_; }
  void PrimaryGone() { primary_ = nullptr; }

 private:
  ~PortDirectSound() override;

  int id_;
  bool initialized_ = false;
  DWORD level_ = 0;
  PortSoundBuffer* primary_ = nullptr;
};

// True when the test switches make this call fail now.
bool DirectSoundCallFails(PortDsCall call);
// DS_OK for a PCM format the mixer plays (8 or 16 bits, 1 or 2 channels, a rate within the
// buffer frequency range, and a block align that matches); the error to give otherwise.
HRESULT CheckPcmFormat(LPCWAVEFORMATEX format);

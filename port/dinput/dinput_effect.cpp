// Force-feedback effects on SDL rumble: a periodic (sine) or constant-force effect drives both
// motors at its magnitude x gain while it plays.
#include <cstddef>
#include <cstdlib>

#include "port/dinput/dinput_objects.h"
#include "port/kernel/winmm.h"

namespace {
// Records from before the start delay was added are accepted too.
bool EffectSizeValid(DWORD size) {
  return size == sizeof(DIEFFECT) || size == offsetof(DIEFFECT, dwStartDelay);
}
}  // namespace

PortInputEffect::PortInputEffect(PortInputDevice* device, bool periodic)
    : device_(device), periodic_(periodic) {
  device_->AddRef();
}

PortInputEffect::~PortInputEffect() {
  device_->RemoveEffect(this);
  device_->Release();
}

HRESULT PortInputEffect::QueryInterface(REFIID riid, void** object) {
  return Answer(riid == IID_IUnknown || riid == IID_IDirectInputEffect, object);
}

HRESULT PortInputEffect::Validate(LPCDIEFFECT effect, DWORD flags) const {
  if (!effect || !EffectSizeValid(effect->dwSize)) return DIERR_INVALIDPARAM;
  if ((flags & DIEP_GAIN) && effect->dwGain > static_cast<DWORD>(DI_FFNOMINALMAX))
    return DIERR_INVALIDPARAM;
  if (flags & DIEP_TYPESPECIFICPARAMS) {
    const DWORD size = periodic_ ? sizeof(DIPERIODIC) : sizeof(DICONSTANTFORCE);
    if (effect->cbTypeSpecificParams != size || !effect->lpvTypeSpecificParams)
      return DIERR_INVALIDPARAM;
  }
  // The axes it acts on must exist on the device.
  if (effect->cAxes > 0) {
    if (!effect->rgdwAxes || !(effect->dwFlags & DIEFF_OBJECTOFFSETS)) return DIERR_INVALIDPARAM;
    for (DWORD i = 0; i < effect->cAxes; ++i)
      if (!device_->HasAxisAtOffset(effect->rgdwAxes[i])) return DIERR_INVALIDPARAM;
  }
  return DI_OK;
}

HRESULT PortInputEffect::SetParameters(LPCDIEFFECT effect, DWORD flags) {
  HRESULT hr = Validate(effect, flags);
  if (FAILED(hr)) return hr;
  if (flags & DIEP_DURATION) duration_ = effect->dwDuration;
  if (flags & DIEP_GAIN) gain_ = effect->dwGain;
  if (flags & DIEP_TYPESPECIFICPARAMS) {
    if (periodic_) {
      magnitude_ = static_cast<const DIPERIODIC*>(effect->lpvTypeSpecificParams)->dwMagnitude;
    } else {
      LONG m = static_cast<const DICONSTANTFORCE*>(effect->lpvTypeSpecificParams)->lMagnitude;
      magnitude_ = static_cast<DWORD>(std::labs(m));
    }
    if (magnitude_ > static_cast<DWORD>(DI_FFNOMINALMAX)) magnitude_ = DI_FFNOMINALMAX;
  }
  if (flags & DIEP_START) return Start(1, 0);
  if (playing_) device_->ApplyRumble();
  return DI_OK;
}

// Iterations and start flags make no difference to motors that play one strength at a time.
HRESULT PortInputEffect::Start(DWORD, DWORD) {
  if (!device_->AcquiredExclusively()) return DIERR_NOTEXCLUSIVEACQUIRED;
  playing_ = true;
  startedAt_ = timeGetTime();
  device_->ApplyRumble();
  return DI_OK;
}

HRESULT PortInputEffect::Stop() {
  if (!device_->AcquiredExclusively()) return DIERR_NOTEXCLUSIVEACQUIRED;
  playing_ = false;
  device_->ApplyRumble();
  return DI_OK;
}

HRESULT PortInputEffect::GetEffectStatus(LPDWORD status) {
  if (!status) return DIERR_INVALIDPARAM;
  int remaining = 0;
  Strength(timeGetTime(), &remaining);
  *status = playing_ ? DIEGES_PLAYING : 0;
  return DI_OK;
}

int PortInputEffect::Strength(DWORD now, int* remaining) {
  *remaining = -1;
  if (!playing_) return 0;
  if (duration_ != INFINITE) {
    const DWORD total = duration_ / 1000;
    const DWORD elapsed = now - startedAt_;
    if (elapsed >= total) {
      playing_ = false;
      return 0;
    }
    *remaining = static_cast<int>(total - elapsed);
  }
  return static_cast<int>(static_cast<uint64_t>(magnitude_) * gain_ / DI_FFNOMINALMAX);
}

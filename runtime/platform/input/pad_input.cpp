// Joypads: reading a pad's state, the pad mask with its mapped keys, and vibration.
#include <algorithm>
#include <cstring>

#include "runtime/platform/core/clocks.h"
#include "runtime/platform/input/input_devices.h"
#include "runtime/platform/input/input_devices_internal.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"

namespace {

constexpr int kWin32Buttons = 24;
constexpr int kMaskButtons = 24;  // bits 4 to 27

// A multimedia joystick position (0..65535) on the -1000..1000 scale: the middle half reads 0
// and each outer quarter runs linearly to its end, truncated toward zero (65535 gives 999).
LONG ConvertRawAxis(DWORD raw) {
  const int v = static_cast<int>(std::min<DWORD>(raw, 65535));
  if (v < 16384) return (v - 16384) * 1000 / 16384;
  if (v > 49152) return (v - 49152) * 1000 / 16384;
  return 0;
}

void RefreshWin32Joypad(int index, JoypadRecord& pad) {
  JOYINFOEX info = {};
  info.dwSize = sizeof(info);
  info.dwFlags = JOY_RETURNALL;
  std::memset(&pad.state, 0, sizeof(pad.state));
  auto* const joyGetPosEx = RuntimeLibraries.winmm.joyGetPosEx;
  if (!joyGetPosEx || joyGetPosEx(static_cast<UINT>(index), &info) != JOYERR_NOERROR) return;
  pad.state.lX = ConvertRawAxis(info.dwXpos);
  pad.state.lY = ConvertRawAxis(info.dwYpos);
  if (pad.hasZAndR) {
    pad.state.lZ = ConvertRawAxis(info.dwZpos);
    pad.state.lRz = ConvertRawAxis(info.dwRpos);
  }
  for (int b = 0; b < kWin32Buttons; ++b)
    pad.state.rgbButtons[b] = (info.dwButtons & (1u << b)) ? 0x80 : 0;
}

// A pump that reports the quit, or that ended the layer, ends a pad refresh.
bool PumpKeepsLayer(const JoypadRecord& pad) {
  return PumpWindowMessages() == 0 && InputUsesDirectInput() && pad.device;
}

int RefreshDirectInputJoypad(JoypadRecord& pad) {
  if (!pad.device) return 0;
  const int now = GetNowMilliseconds();
  const bool signalled = pad.event && WaitForSingleObject(pad.event, 0) == WAIT_OBJECT_0;
  if (now == pad.refreshTime && !signalled) return 0;
  pad.refreshTime = now;
  pad.device->Poll();
  DIJOYSTATE state;
  HRESULT hr = pad.device->GetDeviceState(sizeof(state), &state);
  if (FAILED(hr)) {
    if (!PumpKeepsLayer(pad)) return -1;
    pad.device->Acquire();
    if (!PumpKeepsLayer(pad)) return -1;
    hr = pad.device->GetDeviceState(sizeof(state), &state);
  }
  if (SUCCEEDED(hr)) pad.state = state;
  if (signalled) ResetEvent(pad.event);
  return 0;
}

// Plays a pad's effect while it vibrates and the window is active, else stops it. `restart`
// starts a playing effect again (the device may have been re-acquired in between).
void DriveEffect(IDirectInputEffect* effect, int* playing, bool play, int power, bool restart) {
  if (!effect) return;
  if (play && (!*playing || restart)) {
    DIEFFECT gain = {};
    gain.dwSize = sizeof(gain);
    gain.dwGain = static_cast<DWORD>(std::clamp(power, 0, DI_FFNOMINALMAX));
    effect->SetParameters(&gain, DIEP_GAIN);
    *playing = SUCCEEDED(effect->Start(1, 0)) ? 1 : 0;
  } else if (!play && *playing) {
    effect->Stop();
    *playing = 0;
  }
}

void DriveEffects(JoypadRecord& pad, bool restart) {
  const bool play = pad.vibrationOn && WindowState.active;
  DriveEffect(pad.periodicEffect, &pad.periodicEffectPlaying, play, pad.vibrationPower, restart);
  DriveEffect(pad.constantEffect, &pad.constantEffectPlaying, play, pad.vibrationPower, restart);
}

void StopVibration(JoypadRecord& pad) {
  pad.vibrationOn = 0;
  pad.vibrationPower = DI_FFNOMINALMAX;
}

}  // namespace

int RefreshJoypadState(int index) {
  if (index < 0 || index >= kMaxJoypads) return -1;
  JoypadRecord& pad = InputState.joypads[index];
  if (InputState.directInput == kWin32InputObject) {
    const int now = GetNowMilliseconds();
    if (now == pad.refreshTime) return 0;
    pad.refreshTime = now;
    RefreshWin32Joypad(index, pad);
    return 0;
  }
  return RefreshDirectInputJoypad(pad);
}

int GetPadInputMask(int type) {
  if (!PrepareInputQuery()) return 0;
  const bool withKeys = type >= kPadKeyFolding;
  // Wide enough that no type overflows.
  const int64_t pad = static_cast<int64_t>(withKeys ? type - kPadKeyFolding : type) - 1;
  const int count = InputState.joypadCount;
  if (count > 0 && (pad < -1 || pad >= count) && !withKeys) return 0;

  uint32_t mask = 0;
  if (pad >= 0 && pad < count) {
    RefreshJoypadState(static_cast<int>(pad));
    const DIJOYSTATE& s = InputState.joypads[pad].state;
    if (s.lX < 0) mask |= 1u << 1;
    if (s.lX > 0) mask |= 1u << 2;
    if (s.lY < 0) mask |= 1u << 3;
    if (s.lY > 0) mask |= 1u << 0;
    for (int j = 0; j < kMaskButtons; ++j)
      if (s.rgbButtons[j] & 0x80) mask |= 1u << (4 + j);
  }
  if (withKeys) {
    RefreshKeyboardState();
    // Pads 17 and above have no mapping; a stored code outside 0..255 names no key.
    const int64_t mapped = std::max<int64_t>(pad, 0);
    if (mapped < kMaxJoypads) {
      for (int b = 0; b < kPadMaskBits; ++b)
        for (int code : InputState.PadKeyMapping[mapped][b])
          if (code >= 0 && code < 256 && (InputState.keyStates[code] & 0x80)) mask |= 1u << b;
    }
  }
  return static_cast<int>(mask);
}

int ProcessJoypadVibration() {
  if (!InputUsesDirectInput()) return 0;
  const int now = GetNowMilliseconds();
  for (int i = 0; i < InputState.joypadCount; ++i) {
    JoypadRecord& pad = InputState.joypads[i];
    if (!pad.device) continue;
    if (pad.vibrationOn) {
      // The clock wraps at 2^31.
      pad.vibrationElapsed += (now - pad.vibrationClock) & 0x7FFFFFFF;
      pad.vibrationClock = now;
      if (pad.vibrationDuration >= 0 && pad.vibrationElapsed >= pad.vibrationDuration)
        StopVibration(pad);
    }
    DriveEffects(pad, false);
  }
  return 0;
}

int RefreshJoypadEffects() {
  if (!InputUsesDirectInput()) return 0;
  for (int i = 0; i < InputState.joypadCount; ++i)
    if (InputState.joypads[i].device) DriveEffects(InputState.joypads[i], true);
  return 0;
}

int StopJoypadVibration(int pad) {
  if (pad >= 1 && pad <= kMaxJoypads) StopVibration(InputState.joypads[pad - 1]);
  return 0;
}

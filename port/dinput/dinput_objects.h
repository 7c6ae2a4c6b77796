// The port's DirectInput devices and effects, shared by the object, device and effect sources.
#pragma once

#include <vector>

#include <SDL.h>

#include "port/com/com_object.h"
#include "port/dinput/dinput.h"
#include "port/user/input_internal.h"

// True when the test switch makes this call fail now (and counts it).
bool DirectInputCallFails(PortDiCall call, PortDiDevice device);

// A joystick's DirectInput instance GUID carries its SDL instance id.
GUID JoystickInstanceGuid(SDL_JoystickID id);
bool JoystickIdFromGuid(const GUID& guid, SDL_JoystickID* id);

class PortInputEffect;

class PortInputDevice final : public PortComObject<IDirectInputDevice8A> {
 public:
  // Null when the joystick is no longer attached.
  static PortInputDevice* New(PortDiDevice kind, bool version8, SDL_JoystickID joystick);

  HRESULT QueryInterface(REFIID riid, void** object) override;

  HRESULT SetDataFormat(LPCDIDATAFORMAT format) override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT SetProperty(DIPROPID property, LPCDIPROPHEADER header) override;
  HRESULT Acquire() override;
  HRESULT Unacquire() override;
  HRESULT GetDeviceState(DWORD size, LPVOID data) override;
  HRESULT SetEventNotification(HANDLE event) override;
  HRESULT Poll() override;
  HRESULT CreateEffect(REFGUID effect, LPCDIEFFECT parameters, LPDIRECTINPUTEFFECT* out,
                       LPUNKNOWN outer) override;

  // For the effects.
  bool AcquiredExclusively();
  bool HasAxisAtOffset(DWORD offset) const;
  void RemoveEffect(PortInputEffect* effect);
  // Drives the rumble motors from the effects that play (stopping those that ran out).
  void ApplyRumble();

 private:
  PortInputDevice(PortDiDevice kind, bool version8);
  ~PortInputDevice() override;

  struct AxisSettings {
    LONG min;
    LONG max;
    DWORD deadZone;  // 0..10,000 of the way from the centre to either end
    DWORD saturation;
  };

  DWORD DataSize() const;
  // False (and the device unacquired) when a foreground device's window lost the foreground,
  // or the joystick went away.
  bool StillAcquired();
  void DropAcquisition();
  void ReadJoystick(DIJOYSTATE* state) const;
  LONG ScaleAxis(int axis, Sint16 value) const;
  static void SignalEvent(void* device);

  PortDiDevice kind_;
  bool version8_;
  const DIDATAFORMAT* format_ = nullptr;
  DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  HWND window_ = nullptr;
  bool acquired_ = false;
  HANDLE event_ = nullptr;
  int listenerId_ = 0;
  DWORD bufferSize_ = 0;
  PortMouseTotals mouseRead_ = {};
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID joystickId_ = -1;
  AxisSettings axes_[8];
  DIJOYSTATE lastPolled_ = {};
  std::vector<PortInputEffect*> effects_;
};

class PortInputEffect final : public PortComObject<IDirectInputEffect> {
 public:
  // Takes a reference on the device for its life.
  PortInputEffect(PortInputDevice* device, bool periodic);

  HRESULT QueryInterface(REFIID riid, void** object) override;

  HRESULT Start(DWORD iterations, DWORD flags) override;
  HRESULT Stop() override;
  HRESULT SetParameters(LPCDIEFFECT effect, DWORD flags) override;
  HRESULT GetEffectStatus(LPDWORD status) override;

  // Checks the parameters against the device; DI_OK or DIERR_INVALIDPARAM.
  HRESULT Validate(LPCDIEFFECT effect, DWORD flags) const;
  // Strength 0..10,000 while playing (0 once its duration ran out on the multimedia clock),
  // and the milliseconds it still has (-1: unlimited).
  int Strength(DWORD now, int* remaining);
  void Halt() { playing_ = false; }

 private:
  ~PortInputEffect() override;

  PortInputDevice* device_;
  bool periodic_;
  DWORD duration_ = INFINITE;  // microseconds
  DWORD gain_ = DI_FFNOMINALMAX;
  DWORD magnitude_ = 0;
  bool playing_ = false;
  DWORD startedAt_ = 0;  // timeGetTime
};

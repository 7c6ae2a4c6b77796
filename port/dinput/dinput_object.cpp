// The DirectInput 7 and 8 objects: initialisation, the device list and device creation, the
// standard data formats, and the test switches.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "port/com/call_failure.h"
#include "port/com/com_classes.h"
#include "port/com/com_object.h"
#include "port/dinput/dinput_objects.h"
#include "port/kernel/cp932_text.h"

// The formats are recognised by their address; their object lists are not needed here.
const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 0, nullptr};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT),
                                  sizeof(DIOBJECTDATAFORMAT),
                                  DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE),
                                  0,
                                  nullptr};
const DIDATAFORMAT c_dfDIJoystick = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, sizeof(DIJOYSTATE), 0, nullptr};

namespace {

// Joystick instance GUIDs: this prefix, then the SDL instance id in Data4[4..7].
const GUID kJoystickGuidPrefix = {0x6A1E0700, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0, 0, 0, 0}};

struct CallFailure {
  PortDiDevice device;
  PortCallFailure counts;
};

std::mutex gSwitchMutex;
CallFailure gFailures[static_cast<int>(PortDiCall::Count)];

// One entry of the device list.
struct DeviceEntry {
  PortDiDevice kind;
  SDL_JoystickID joystick;
  bool forceFeedback;
  std::string name;  // CP932
  GUID product;
};

std::vector<DeviceEntry> ListDevices() {
  std::vector<DeviceEntry> list;
  list.push_back({PortDiDevice::Mouse, -1, false, "Mouse", GUID_SysMouse});
  list.push_back({PortDiDevice::Keyboard, -1, false, "Keyboard", GUID_SysKeyboard});
  if (!PortEnsureJoysticks()) return list;
  PortUpdateJoysticks();
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    DeviceEntry e = {PortDiDevice::Joystick, SDL_JoystickGetDeviceInstanceID(i), false, "", {}};
    if (e.joystick < 0) continue;
    const char* name = SDL_JoystickNameForIndex(i);
    e.name = PortUtf8ToCp932(name ? name : "", name ? std::strlen(name) : 0);
    SDL_JoystickGUID g = SDL_JoystickGetDeviceGUID(i);
    static_assert(sizeof(g.data) == sizeof(GUID));
    std::memcpy(&e.product, g.data, sizeof(GUID));
    // Rumble is known only once the joystick is open.
    if (SDL_Joystick* js = SDL_JoystickOpen(i)) {
      e.forceFeedback = SDL_JoystickHasRumble(js);
      SDL_JoystickClose(js);
    }
    list.push_back(e);
  }
  return list;
}

bool ClassMatches(DWORD devClass, PortDiDevice kind) {
  switch (devClass) {
    case DI8DEVCLASS_ALL:
      return true;
    case DI8DEVCLASS_POINTER:
      return kind == PortDiDevice::Mouse;
    case DI8DEVCLASS_KEYBOARD:
      return kind == PortDiDevice::Keyboard;
    case DI8DEVCLASS_GAMECTRL:
      return kind == PortDiDevice::Joystick;
    default:
      return false;
  }
}

DWORD DeviceType(PortDiDevice kind, bool version8) {
  switch (kind) {
    case PortDiDevice::Mouse:
      return version8 ? DI8DEVTYPE_MOUSE : DIDEVTYPE_MOUSE;
    case PortDiDevice::Keyboard:
      return version8 ? DI8DEVTYPE_KEYBOARD : DIDEVTYPE_KEYBOARD;
    default:
      return version8 ? DI8DEVTYPE_GAMEPAD : DIDEVTYPE_JOYSTICK;
  }
}

HRESULT Enumerate(bool version8, DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                  DWORD flags) {
  if (!callback || devClass > DI8DEVCLASS_GAMECTRL || devClass == 1 ||
      (flags & ~(DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK)))
    return DIERR_INVALIDPARAM;
  // The list is taken first, so that the callback may create devices.
  for (const DeviceEntry& e : ListDevices()) {
    if (!ClassMatches(devClass, e.kind)) continue;
    if ((flags & DIEDFL_FORCEFEEDBACK) && !e.forceFeedback) continue;
    DIDEVICEINSTANCEA instance = {};
    instance.dwSize = sizeof(instance);
    instance.guidInstance = e.kind == PortDiDevice::Mouse      ? GUID_SysMouse
                            : e.kind == PortDiDevice::Keyboard ? GUID_SysKeyboard
                                                               : JoystickInstanceGuid(e.joystick);
    instance.guidProduct = e.product;
    instance.dwDevType = DeviceType(e.kind, version8);
    std::strncpy(instance.tszInstanceName, e.name.c_str(), MAX_PATH - 1);
    std::strncpy(instance.tszProductName, e.name.c_str(), MAX_PATH - 1);
    if (callback(&instance, context) == DIENUM_STOP) break;
  }
  return DI_OK;
}

HRESULT MakeDevice(bool version8, REFGUID guid, PortInputDevice** out) {
  PortDiDevice kind;
  SDL_JoystickID joystick = -1;
  if (guid == GUID_SysKeyboard)
    kind = PortDiDevice::Keyboard;
  else if (guid == GUID_SysMouse)
    kind = PortDiDevice::Mouse;
  else if (JoystickIdFromGuid(guid, &joystick))
    kind = PortDiDevice::Joystick;
  else
    return DIERR_DEVICENOTREG;
  if (DirectInputCallFails(PortDiCall::CreateDevice, kind)) return DIERR_GENERIC;
  *out = PortInputDevice::New(kind, version8, joystick);
  return *out ? DI_OK : DIERR_DEVICENOTREG;
}

HRESULT CheckVersion(DWORD version, DWORD lowest, DWORD highest) {
  if (version > highest) return DIERR_OLDDIRECTINPUTVERSION;
  if (version < lowest) return DIERR_BETADIRECTINPUTVERSION;
  return DI_OK;
}

// What the DirectInput 7 and 8 objects share. They differ in the versions Initialize takes,
// in the device types the list reports, and in how a device is asked for.
template <class Interface, bool kVersion8>
class PortDirectInput : public PortComObject<Interface> {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    const IID& own = kVersion8 ? IID_IDirectInput8A : IID_IDirectInput7A;
    return this->Answer(riid == IID_IUnknown || riid == own, object);
  }

  HRESULT Initialize(HINSTANCE instance, DWORD version) override {
    if (!instance) return DIERR_INVALIDPARAM;
    HRESULT hr =
        kVersion8 ? CheckVersion(version, 0x800, 0x800) : CheckVersion(version, 0x300, 0x700);
    if (FAILED(hr)) return hr;
    if (DirectInputCallFails(PortDiCall::Initialize, PortDiDevice::Any)) return DIERR_GENERIC;
    initialized_ = true;
    return DI_OK;
  }
  HRESULT EnumDevices(DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                      DWORD flags) override {
    if (!initialized_) return DIERR_NOTINITIALIZED;
    return Enumerate(kVersion8, devClass, callback, context, flags);
  }

 protected:
  // Device creation once the caller's pointer is checked: the refusals in their order, then
  // the device. `interfaceKnown`: the device interface asked for is this version's.
  HRESULT CreateChecked(REFGUID instance, LPUNKNOWN outer, bool interfaceKnown,
                        PortInputDevice** made) {
    if (!initialized_) return DIERR_NOTINITIALIZED;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!interfaceKnown) return DIERR_NOINTERFACE;
    return MakeDevice(kVersion8, instance, made);
  }

 private:
  bool initialized_ = false;
};

class PortDirectInput7 final : public PortDirectInput<IDirectInput7A, false> {
 public:
  HRESULT CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device, LPUNKNOWN outer) override {
    if (!device) return E_POINTER;
    *device = nullptr;
    PortInputDevice* d = nullptr;
    HRESULT hr = CreateChecked(instance, outer, iid == IID_IDirectInputDevice7A, &d);
    if (SUCCEEDED(hr)) *device = static_cast<IDirectInputDevice7A*>(d);
    return hr;
  }
};

class PortDirectInput8 final : public PortDirectInput<IDirectInput8A, true> {
 public:
  HRESULT CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) override {
    if (!device) return E_POINTER;
    *device = nullptr;
    PortInputDevice* d = nullptr;
    HRESULT hr = CreateChecked(instance, outer, true, &d);
    if (SUCCEEDED(hr)) *device = d;
    return hr;
  }
};

}  // namespace

GUID JoystickInstanceGuid(SDL_JoystickID id) {
  GUID g = kJoystickGuidPrefix;
  const uint32_t v = static_cast<uint32_t>(id);
  for (int i = 0; i < 4; ++i) g.Data4[4 + i] = static_cast<uint8_t>(v >> (8 * i));
  return g;
}

bool JoystickIdFromGuid(const GUID& guid, SDL_JoystickID* id) {
  GUID prefix = guid;
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    v |= static_cast<uint32_t>(guid.Data4[4 + i]) << (8 * i);
    prefix.Data4[4 + i] = 0;
  }
  if (prefix != kJoystickGuidPrefix) return false;
  *id = static_cast<SDL_JoystickID>(v);
  return true;
}

HRESULT CreateDirectInputObject(REFIID iid, void** object) {
  return PortMakeComObject<PortDirectInput7>(iid, object);
}

HRESULT CreateDirectInput8Object(REFIID iid, void** object) {
  return PortMakeComObject<PortDirectInput8>(iid, object);
}

bool DirectInputCallFails(PortDiCall call, PortDiDevice device) {
  std::lock_guard lock(gSwitchMutex);
  CallFailure& f = gFailures[static_cast<int>(call)];
  if (f.device != PortDiDevice::Any && f.device != device) return false;
  return PortCallFailsNow(f.counts);
}

void PortSetDirectInputAbsent(bool absent) {
  PortSetClassAbsent(CLSID_DirectInput, absent);
  PortSetClassAbsent(CLSID_DirectInput8, absent);
}

void PortSetDirectInputCallFails(PortDiCall call, PortDiDevice device, int succeedFirst,
                                 int failCount) {
  if (call >= PortDiCall::Count) return;
  std::lock_guard lock(gSwitchMutex);
  gFailures[static_cast<int>(call)] = {device, {succeedFirst, failCount}};
}

void PortResetDirectInputSwitches() {
  {
    std::lock_guard lock(gSwitchMutex);
    for (CallFailure& f : gFailures) f = {PortDiDevice::Any, {0, 0}};
  }
  PortSetDirectInputAbsent(false);
}

// DirectInput of the port, versions 7 and 8, made through CoCreateInstance: the system keyboard
// and mouse, and one game-controller device per SDL joystick, with force-feedback effects played
// on SDL rumble. Keys carry the codes DirectInput gives for a Japanese 106-key keyboard, taken
// from the SDL scancode (the key's position), so that they agree with the virtual keys that
// GetKeyboardState reports for the same key.
#pragma once

#include "port/com/com.h"

// --- results --------------------------------------------------------------------------------
#define DI_OK S_OK
#define DI_NOEFFECT S_FALSE
#define DI_POLLEDDEVICE static_cast<HRESULT>(2)
#define DIERR_GENERIC E_FAIL
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOINTERFACE E_NOINTERFACE
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_OUTOFMEMORY E_OUTOFMEMORY
#define DIERR_DEVICENOTREG REGDB_E_CLASSNOTREG
#define DIERR_OBJECTNOTFOUND static_cast<HRESULT>(0x80070002u)
#define DIERR_OTHERAPPHASPRIO static_cast<HRESULT>(0x80070005u)
#define DIERR_NOTACQUIRED static_cast<HRESULT>(0x8007000Cu)
#define DIERR_NOTINITIALIZED static_cast<HRESULT>(0x80070015u)
#define DIERR_INPUTLOST static_cast<HRESULT>(0x8007001Eu)
#define DIERR_ACQUIRED static_cast<HRESULT>(0x800700AAu)
#define DIERR_BETADIRECTINPUTVERSION static_cast<HRESULT>(0x80070481u)
#define DIERR_OLDDIRECTINPUTVERSION static_cast<HRESULT>(0x8007047Eu)
#define DIERR_NOTEXCLUSIVEACQUIRED static_cast<HRESULT>(0x80040205u)
#define DIERR_UNPLUGGED static_cast<HRESULT>(0x80040209u)

// --- enumeration ----------------------------------------------------------------------------
// Device classes of EnumDevices: version 7 names them device types, version 8 device classes;
// the numbers agree.
#define DIDEVTYPE_MOUSE 2u
#define DIDEVTYPE_KEYBOARD 3u
#define DIDEVTYPE_JOYSTICK 4u
#define DI8DEVCLASS_ALL 0u
#define DI8DEVCLASS_POINTER 2u
#define DI8DEVCLASS_KEYBOARD 3u
#define DI8DEVCLASS_GAMECTRL 4u
#define DI8DEVTYPE_MOUSE 0x12u
#define DI8DEVTYPE_KEYBOARD 0x13u
#define DI8DEVTYPE_GAMEPAD 0x15u

#define DIEDFL_ALLDEVICES 0x00000000u
#define DIEDFL_ATTACHEDONLY 0x00000001u
#define DIEDFL_FORCEFEEDBACK 0x00000100u

#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

struct DIDEVICEINSTANCEA {
  DWORD dwSize;
  GUID guidInstance;
  GUID guidProduct;
  DWORD dwDevType;
  CHAR tszInstanceName[MAX_PATH];  // CP932
  CHAR tszProductName[MAX_PATH];
  GUID guidFFDriver;
  WORD wUsagePage;
  WORD wUsage;
};
typedef DIDEVICEINSTANCEA* LPDIDEVICEINSTANCEA;
typedef const DIDEVICEINSTANCEA* LPCDIDEVICEINSTANCEA;
typedef BOOL(CALLBACK* LPDIENUMDEVICESCALLBACKA)(LPCDIDEVICEINSTANCEA instance, LPVOID context);

// --- cooperative levels ---------------------------------------------------------------------
#define DISCL_EXCLUSIVE 0x00000001u
#define DISCL_NONEXCLUSIVE 0x00000002u
#define DISCL_FOREGROUND 0x00000004u
#define DISCL_BACKGROUND 0x00000008u

// --- data formats ---------------------------------------------------------------------------
#define DIDF_ABSAXIS 0x00000001u
#define DIDF_RELAXIS 0x00000002u

struct DIOBJECTDATAFORMAT {
  const GUID* pguid;
  DWORD dwOfs;
  DWORD dwType;
  DWORD dwFlags;
};
typedef DIOBJECTDATAFORMAT* LPDIOBJECTDATAFORMAT;

struct DIDATAFORMAT {
  DWORD dwSize;
  DWORD dwObjSize;
  DWORD dwFlags;
  DWORD dwDataSize;
  DWORD dwNumObjs;
  LPDIOBJECTDATAFORMAT rgodf;
};
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

// The standard layouts: 256 key bytes, DIMOUSESTATE and DIJOYSTATE. The port's devices take
// these three only (each device its own kind's); a layout of the caller's is refused with
// DIERR_INVALIDPARAM.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIJoystick;

struct DIMOUSESTATE {
  LONG lX;  // motion since the previous read
  LONG lY;
  LONG lZ;  // wheel, 120 per notch
  BYTE rgbButtons[4];
};

// Axes run over the range set with DIPROP_RANGE (0..65535 until set); an absent axis reads 0.
// Point-of-view hats read hundredths of degrees clockwise from up, or 0xFFFFFFFF when centred
// or absent. Buttons read 0x80 when pressed.
struct DIJOYSTATE {
  LONG lX;
  LONG lY;
  LONG lZ;
  LONG lRx;
  LONG lRy;
  LONG lRz;
  LONG rglSlider[2];
  DWORD rgdwPOV[4];
  BYTE rgbButtons[32];
};
static_assert(sizeof(DIJOYSTATE) == 80);

// Offsets of the axes in DIJOYSTATE, for properties and effect axes.
#define DIJOFS_X 0u
#define DIJOFS_Y 4u
#define DIJOFS_Z 8u
#define DIJOFS_RX 12u
#define DIJOFS_RY 16u
#define DIJOFS_RZ 20u

// --- properties -----------------------------------------------------------------------------
// Properties are named by small numbers passed as a GUID pointer that is never dereferenced.
typedef const GUID* DIPROPID;
#define DIPROP_BUFFERSIZE (reinterpret_cast<DIPROPID>(static_cast<uintptr_t>(1)))
#define DIPROP_RANGE (reinterpret_cast<DIPROPID>(static_cast<uintptr_t>(4)))
#define DIPROP_DEADZONE (reinterpret_cast<DIPROPID>(static_cast<uintptr_t>(5)))
#define DIPROP_SATURATION (reinterpret_cast<DIPROPID>(static_cast<uintptr_t>(6)))

#define DIPH_DEVICE 0u
#define DIPH_BYOFFSET 1u

struct DIPROPHEADER {
  DWORD dwSize;
  DWORD dwHeaderSize;
  DWORD dwObj;
  DWORD dwHow;
};
typedef const DIPROPHEADER* LPCDIPROPHEADER;

struct DIPROPDWORD {
  DIPROPHEADER diph;
  DWORD dwData;
};

struct DIPROPRANGE {
  DIPROPHEADER diph;
  LONG lMin;
  LONG lMax;
};

// --- effects --------------------------------------------------------------------------------
#define DIEFF_OBJECTIDS 0x00000001u
#define DIEFF_OBJECTOFFSETS 0x00000002u
#define DIEFF_CARTESIAN 0x00000010u
#define DIEFF_POLAR 0x00000020u
#define DIEFF_SPHERICAL 0x00000040u

#define DI_FFNOMINALMAX 10000
#define DI_SECONDS 1000000u
#define DIEB_NOTRIGGER 0xFFFFFFFFu

#define DIEP_DURATION 0x00000001u
#define DIEP_GAIN 0x00000004u
#define DIEP_TYPESPECIFICPARAMS 0x00000100u
#define DIEP_START 0x20000000u

#define DIEGES_PLAYING 0x00000001u

struct DIENVELOPE {
  DWORD dwSize;
  DWORD dwAttackLevel;
  DWORD dwAttackTime;  // microseconds
  DWORD dwFadeLevel;
  DWORD dwFadeTime;
};
typedef DIENVELOPE* LPDIENVELOPE;

struct DIPERIODIC {
  DWORD dwMagnitude;  // 0..10,000
  LONG lOffset;
  DWORD dwPhase;
  DWORD dwPeriod;  // microseconds
};

struct DICONSTANTFORCE {
  LONG lMagnitude;  // -10,000..10,000
};

struct DIEFFECT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwDuration;  // microseconds, INFINITE for unlimited
  DWORD dwSamplePeriod;
  DWORD dwGain;  // 0..10,000
  DWORD dwTriggerButton;
  DWORD dwTriggerRepeatInterval;
  DWORD cAxes;
  LPDWORD rgdwAxes;
  LONG* rglDirection;
  LPDIENVELOPE lpEnvelope;
  DWORD cbTypeSpecificParams;
  LPVOID lpvTypeSpecificParams;
  DWORD dwStartDelay;
};
typedef const DIEFFECT* LPCDIEFFECT;

// An effect plays on the device's rumble motors while the device is acquired exclusively:
// both motors at magnitude x gain (the strongest playing effect wins). Motors have no
// waveform, so a periodic effect rumbles steadily and envelopes are not reproduced.
struct IDirectInputEffect : public IUnknown {
  virtual HRESULT Start(DWORD iterations, DWORD flags) = 0;
  virtual HRESULT Stop() = 0;
  // DIEP_DURATION, DIEP_GAIN and DIEP_TYPESPECIFICPARAMS are taken; DIEP_START starts it.
  virtual HRESULT SetParameters(LPCDIEFFECT effect, DWORD flags) = 0;
  virtual HRESULT GetEffectStatus(LPDWORD status) = 0;
};
typedef IDirectInputEffect* LPDIRECTINPUTEFFECT;

// --- devices --------------------------------------------------------------------------------
// A device: set a data format and a cooperative level, then acquire it and read its state.
// A foreground device is acquired only while its window is the foreground window and loses
// the acquisition (DIERR_INPUTLOST once, then DIERR_NOTACQUIRED) when the window loses it. An
// exclusive game controller cannot be acquired exclusively by a second device object.
// Joysticks are polled: Poll reads SDL and signals the notification event when the state
// changed; the keyboard signals its event on every key change.
struct IDirectInputDevice7A : public IUnknown {
  virtual HRESULT SetDataFormat(LPCDIDATAFORMAT format) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT SetProperty(DIPROPID property, LPCDIPROPHEADER header) = 0;
  virtual HRESULT Acquire() = 0;
  virtual HRESULT Unacquire() = 0;
  virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;
  // A null event removes the notification. DI_POLLEDDEVICE for joysticks.
  virtual HRESULT SetEventNotification(HANDLE event) = 0;
  virtual HRESULT Poll() = 0;
  // GUID_Sine or GUID_ConstantForce on a device with rumble; DIERR_UNSUPPORTED otherwise.
  virtual HRESULT CreateEffect(REFGUID effect, LPCDIEFFECT parameters, LPDIRECTINPUTEFFECT* out,
                               LPUNKNOWN outer) = 0;
};
typedef IDirectInputDevice7A* LPDIRECTINPUTDEVICE7A;

// Version 8 devices take the same calls (the action-map calls it adds are not offered).
struct IDirectInputDevice8A : public IDirectInputDevice7A {};
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8A;

// The DirectInput objects: made uninitialised; every call but Initialize gives
// DIERR_NOTINITIALIZED until Initialize(instance, version) with the object's version (0x700
// and the earlier 0x300 to 0x50A for version 7, 0x800 for version 8).
struct IDirectInput7A : public IUnknown {
  virtual HRESULT Initialize(HINSTANCE instance, DWORD version) = 0;
  virtual HRESULT EnumDevices(DWORD devType, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                              DWORD flags) = 0;
  // iid: IID_IDirectInputDevice7A.
  virtual HRESULT CreateDeviceEx(REFGUID instance, REFIID iid, LPVOID* device, LPUNKNOWN outer) = 0;
};
typedef IDirectInput7A* LPDIRECTINPUT7A;

struct IDirectInput8A : public IUnknown {
  virtual HRESULT Initialize(HINSTANCE instance, DWORD version) = 0;
  virtual HRESULT EnumDevices(DWORD devClass, LPDIENUMDEVICESCALLBACKA callback, LPVOID context,
                              DWORD flags) = 0;
  virtual HRESULT CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device,
                               LPUNKNOWN outer) = 0;
};
typedef IDirectInput8A* LPDIRECTINPUT8A;

// --- identifiers ----------------------------------------------------------------------------
// The port's own values: nothing outside the process sees them.
inline constexpr CLSID CLSID_DirectInput = {
    0x6A1E0001, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x60, 0x01}};
inline constexpr CLSID CLSID_DirectInput8 = {
    0x6A1E0002, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x60, 0x02}};
inline constexpr IID IID_IDirectInput7A = {
    0x6A1E0101, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x61, 0x01}};
inline constexpr IID IID_IDirectInput8A = {
    0x6A1E0102, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x61, 0x02}};
inline constexpr IID IID_IDirectInputDevice7A = {
    0x6A1E0201, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x62, 0x01}};
inline constexpr IID IID_IDirectInputDevice8A = {
    0x6A1E0202, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x62, 0x02}};
inline constexpr IID IID_IDirectInputEffect = {
    0x6A1E0301, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x63, 0x01}};
inline constexpr GUID GUID_SysKeyboard = {
    0x6A1E0401, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x64, 0x01}};
inline constexpr GUID GUID_SysMouse = {
    0x6A1E0402, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x64, 0x02}};
inline constexpr GUID GUID_ConstantForce = {
    0x6A1E0501, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x65, 0x01}};
inline constexpr GUID GUID_Sine = {
    0x6A1E0502, 0x7C3B, 0x4D2E, {0x9F, 0x41, 0x2B, 0x8C, 0x5D, 0x13, 0x65, 0x02}};

// --- test switches --------------------------------------------------------------------------
// Makes both DirectInput classes absent (CoCreateInstance gives REGDB_E_CLASSNOTREG), so that
// the Win32 fall-backs run.
void PortSetDirectInputAbsent(bool absent);

// Makes a DirectInput call fail with DIERR_GENERIC for one kind of device (or any): after
// `succeedFirst` more successful calls, the next `failCount` calls fail and change nothing.
enum class PortDiCall {
  Initialize,
  CreateDevice,
  SetDataFormat,
  SetCooperativeLevel,
  SetProperty,
  SetEventNotification,
  Acquire,
  GetDeviceState,
  CreateEffect,
  Count
};
enum class PortDiDevice { Any, Keyboard, Mouse, Joystick };
void PortSetDirectInputCallFails(PortDiCall call, PortDiDevice device, int succeedFirst,
                                 int failCount);
// Clears the call failures and the absent switch.
void PortResetDirectInputSwitches();

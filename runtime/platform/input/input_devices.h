// Keyboard, joypads and force feedback: DirectInput 7 (or 8) when it can be had, else the
// platform's plain keyboard state and multimedia joystick calls. Keys are named by DirectInput
// key codes (0..255); a joypad answers as a bit mask that can fold in mapped keys.
#pragma once

#include "port/win32.h"

constexpr int kMaxJoypads = 16;
constexpr int kPadMaskBits = 32;
constexpr int kKeysPerPadBit = 4;
constexpr int kPadKeyFolding = 0x1000;  // added to a pad number: fold in its mapped keys

struct JoypadRecord {
  IDirectInputDevice7A* device;  // DirectInput only; a version-8 device is one too
  IDirectInputEffect* constantEffect;
  IDirectInputEffect* periodicEffect;
  HANDLE event;  // manual reset
  DIJOYSTATE state;
  int hasZAndR;  // Win32 input only
  int refreshTime;
  int vibrationOn;
  int vibrationPower;     // 0..10,000
  int vibrationDuration;  // ms, negative = unlimited
  int vibrationElapsed;   // ms
  int vibrationClock;     // ms
  int constantEffectPlaying;
  int periodicEffectPlaying;
  char instanceName[MAX_PATH];
  char productName[MAX_PATH];
};

struct InputDeviceState {
  int win32InputFlag;  // kept: 1 once starting DirectInput has failed
  int directInput8Flag;
  IUnknown* directInput;  // null before start; kWin32InputObject on Win32 input
  IDirectInputDevice7A* mouse;
  IDirectInputDevice7A* keyboard;
  HANDLE keyboardEvent;  // manual reset
  int keyboardRefreshTime;
  unsigned char keyStates[256];  // by key code, bit 7 = pressed
  // Kept: per pad and pad-mask bit, 4 key codes (-1 or 0 when empty; no key has code 0).
  int PadKeyMapping[kMaxJoypads][kPadMaskBits][kKeysPerPadBit];
  int padKeyMappingDefaultsSet;  // kept
  int joypadCount;
  JoypadRecord joypads[kMaxJoypads];
  unsigned char refreshing;  // the keyboard refresh ignores re-entrant calls
  int starting;              // so does the start
};

extern InputDeviceState InputState;

// The DirectInput object's value while the layer runs on Win32 input.
inline IUnknown* const kWin32InputObject = reinterpret_cast<IUnknown*>(static_cast<intptr_t>(-1));

// Virtual key -> key code, 99 pairs ended by 0xFFFF (a Japanese keyboard's layout; Return
// fills both 28 and 156).
struct VirtualKeyPair {
  int virtualKey;
  int keyCode;
};
extern const VirtualKeyPair VirtualKeyCodeTable[100];

// 0, or -1 when the keyboard notification cannot be set up; 0 at once when already started or
// a start is in progress. Also puts the layer's services into the window hooks.
int InitInputDevices();
// 0. The next query starts the layer again; the key mapping and the Win32-input flag stay.
int ReleaseInputDevices();

// Queries: each waits while the window is inactive, and starts the layer when it is not
// started (unless the window is closing), answering 0 then.
int IsKeyDown(int code);            // 1 pressed, else 0; codes outside 0..255 read released
int GetAllKeyStates(char* buffer);  // 256 bytes, 1 pressed, 0 not. 0
int GetPadInputMask(int type);      // pad 1..16 (0: none), + 0x1000 to fold in mapped keys

// Services of the window system (per frame and on activation).
int RefreshKeyboardState();  // 1 when the key states were refreshed
int ProcessJoypadVibration();
int ReacquireInputDevices();
int RefreshJoypadEffects();
int StopJoypadVibration(int pad);  // pad 1..16

// Reads pad `index` (0..15) into its record; 0, or -1 when the index is out of range or the
// layer went away while waiting for the device.
int RefreshJoypadState(int index);

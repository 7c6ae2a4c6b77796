// Key states: refreshed from the DirectInput keyboard or from the platform's virtual-key
// states, read one key at a time or all 256 at once.
#include <cstring>

#include "runtime/platform/core/api_lock.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/input/input_devices.h"
#include "runtime/platform/input/input_devices_internal.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/message_loop.h"

const VirtualKeyPair VirtualKeyCodeTable[100] = {
    {0x41, 30},  {0x42, 48},  {0x43, 46},  {0x44, 32},  {0x45, 18},  {0x46, 33}, {0x47, 34},
    {0x48, 35},  {0x49, 23},  {0x4A, 36},  {0x4B, 37},  {0x4C, 38},  {0x4D, 50}, {0x4E, 49},
    {0x4F, 24},  {0x50, 25},  {0x51, 16},  {0x52, 19},  {0x53, 31},  {0x54, 20}, {0x55, 22},
    {0x56, 47},  {0x57, 17},  {0x58, 45},  {0x59, 21},  {0x5A, 44},  {0x30, 11}, {0x31, 2},
    {0x32, 3},   {0x33, 4},   {0x34, 5},   {0x35, 6},   {0x36, 7},   {0x37, 8},  {0x38, 9},
    {0x39, 10},  {0x25, 203}, {0x26, 200}, {0x27, 205}, {0x28, 208}, {0xBB, 39}, {0xBA, 146},
    {0xDB, 26},  {0xDD, 27},  {0xC0, 145}, {0xE2, 43},  {0xBC, 51},  {0xBD, 12}, {0xDC, 125},
    {0xBE, 52},  {0xBF, 53},  {0x2E, 211}, {0x1B, 1},   {0x20, 57},  {0x08, 14}, {0x09, 15},
    {0x0D, 28},  {0x60, 82},  {0x61, 79},  {0x62, 80},  {0x63, 81},  {0x64, 75}, {0x65, 76},
    {0x66, 77},  {0x67, 71},  {0x68, 72},  {0x69, 73},  {0x6A, 55},  {0x6B, 78}, {0x6D, 74},
    {0x6E, 83},  {0x6F, 181}, {0x0D, 156}, {0xA0, 42},  {0xA1, 54},  {0xA2, 29}, {0xA3, 157},
    {0x21, 201}, {0x22, 209}, {0x23, 207}, {0x24, 199}, {0x2D, 210}, {0xA4, 56}, {0xA5, 184},
    {0x91, 70},  {0x14, 58},  {0x13, 197}, {0x70, 59},  {0x71, 60},  {0x72, 61}, {0x73, 62},
    {0x74, 63},  {0x75, 64},  {0x76, 65},  {0x77, 66},  {0x78, 67},  {0x79, 68}, {0x7A, 87},
    {0x7B, 88},  {0xFFFF, 0},
};

namespace {

constexpr int kRightShift = 54;
constexpr int kWindowsVista = 0x108;

// The platform's virtual-key states, through the table. Returns 1 when refreshed.
int RefreshFromVirtualKeys() {
  // The platform's key states belong to the message queue of the thread that holds the lock.
  if (!ApiLockHeldByCurrentThread()) return 0;
  const int now = GetNowMilliseconds();
  if (now == InputState.keyboardRefreshTime) return 0;
  InputState.keyboardRefreshTime = now;
  if (PumpWindowMessages() != 0) return 0;
  BYTE virtualKeys[256];
  GetKeyboardState(virtualKeys);
  std::memset(InputState.keyStates, 0, sizeof(InputState.keyStates));
  for (const VirtualKeyPair* p = VirtualKeyCodeTable; p->virtualKey != 0xFFFF; ++p)
    InputState.keyStates[p->keyCode] = virtualKeys[p->virtualKey];
  return 1;
}

int RefreshFromDirectInput() {
  const int now = GetNowMilliseconds();
  HANDLE event = InputState.keyboardEvent;
  const bool signalled = event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
  if (now == InputState.keyboardRefreshTime && !signalled) return 0;
  // The pump may end the layer.
  if (PumpWindowMessages() != 0 || !InputState.keyboard) return 0;
  unsigned char keys[256];
  if (FAILED(InputState.keyboard->GetDeviceState(sizeof(keys), keys))) {
    InputState.keyboard->Acquire();
    if (FAILED(InputState.keyboard->GetDeviceState(sizeof(keys), keys))) return 0;
  }
  std::memcpy(InputState.keyStates, keys, sizeof(keys));
  InputState.keyboardRefreshTime = GetNowMilliseconds();
  if (signalled) ResetEvent(event);
  InputState.keyStates[kRightShift] = (GetKeyState(VK_RSHIFT) & 0x8000) ? 0x80 : 0;
  return 1;
}

}  // namespace

int RefreshKeyboardState() {
  if (InputState.refreshing) return 0;
  InputState.refreshing = 1;
  const bool virtualKeys =
      InputState.win32InputFlag || !InputState.keyboard || gSystemState.systemCode >= kWindowsVista;
  const int result = virtualKeys ? RefreshFromVirtualKeys() : RefreshFromDirectInput();
  InputState.refreshing = 0;
  return result;
}

int IsKeyDown(int code) {
  if (!PrepareInputQuery()) return 0;
  RefreshKeyboardState();
  if (code < 0 || code > 255) return 0;
  return (InputState.keyStates[code] & 0x80) ? 1 : 0;
}

int GetAllKeyStates(char* buffer) {
  if (!buffer) return -1;
  // Before the layer runs nothing is down; the caller's buffer is never left unwritten.
  if (!PrepareInputQuery()) {
    std::memset(buffer, 0, 256);
    return 0;
  }
  RefreshKeyboardState();
  for (int i = 0; i < 256; ++i) buffer[i] = (InputState.keyStates[i] & 0x80) ? 1 : 0;
  return 0;
}

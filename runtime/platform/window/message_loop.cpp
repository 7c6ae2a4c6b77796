#include "runtime/platform/window/message_loop.h"

#include "runtime/platform/core/api_lock.h"
#include "runtime/platform/window/cursor_and_mouse.h"
#include "runtime/platform/window/text_input.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"

namespace {

constexpr int kMessagesPerPass = 5;
int gTextInputRunning = 0;  // re-entry guard: the text-input service may wait for the window

void Call(void (*hook)()) {
  if (hook) hook();
}

// The sound refill runs every pass; the sound layer skips it while its service thread runs, so
// stream sounds are refilled whether the thread never started (one processor) or failed to.
void RefillSounds() {
  Call(WindowHooks.updateStreamSounds);
  Call(WindowHooks.updateSoundPositions);
}

// One pass: up to five messages. Returns true when the pass is done (no message, or the cap),
// false when it stopped at a message that came after WM_QUIT.
bool RunPass(bool* stoppedAtQuit) {
  MSG msg;
  for (int taken = 0; taken < kMessagesPerPass; ++taken) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
    if (msg.message == WM_ACTIVATEAPP && WindowState.windowModeFlag)
      WindowState.active = LOWORD(msg.wParam) != 0;
    if (WindowState.quitSeen) {
      *stoppedAtQuit = true;
      return false;
    }
    if (msg.message == WM_QUIT) WindowState.quitSeen = 1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

void ApplyFullScreenCursor() {
  if (WindowState.windowModeFlag || GetCurrentThreadId() != WindowState.mainThreadId) return;
  if (WindowHooks.isHardwareRendering && WindowHooks.isHardwareRendering()) {
    POINT p;
    GetCursorPos(&p);
    if (p.y > 60) SetCursorVisible(-1);
  } else {
    if (WindowHooks.setDeviceDialogBoxMode) WindowHooks.setDeviceDialogBoxMode(0);
    SetCursorVisible(-1);
  }
}

}  // namespace

int ProcessWindowMessages() {
  EnterApiLock();
  int result = PumpWindowMessages();
  LeaveApiLock();
  return result;
}

int PumpWindowMessages() {
  if (gTextInputRunning) return 0;
  if (!WindowState.mainWindow) return WindowState.quitSeen ? -1 : 0;

  bool mainThread = GetCurrentThreadId() == WindowState.mainThreadId;
  bool passDone = true;
  bool firstPass = true;
  for (;;) {
    if (!firstPass && (WindowState.active || WindowState.closeRequested) &&
        (passDone || WindowState.quitSeen))
      break;
    firstPass = false;
    if (!WindowState.active) Sleep(1);
    bool stoppedAtQuit = false;
    passDone = RunPass(&stoppedAtQuit);
    if (stoppedAtQuit) break;
    if (!WindowState.active) {
      Call(WindowHooks.pumpSocketMessages);
      RefillSounds();
      Call(WindowHooks.drawAutoMovies);
      Sleep(24);
    }
    if (WindowState.quitSeen || !mainThread) break;
  }

  ApplyFullScreenCursor();

  RefillSounds();
  Call(WindowHooks.pollMusicPlayState);
  Call(WindowHooks.refreshKeyboardState);
  Call(WindowHooks.processJoypadVibration);
  Call(WindowHooks.pumpSocketMessages);
  gTextInputRunning = 1;
  ProcessTextInput();
  gTextInputRunning = 0;
  return WindowState.quitSeen ? -1 : 0;
}

void WaitWhileInactive() {
  while (WindowState.mainWindow && !WindowState.painting && !WindowState.active) {
    if (PumpWindowMessages() != 0) return;
  }
}

// The window records of the port and the calls its window files share. Only the port's own
// window, message and display files include this header.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>

#include "port/user/user32.h"

struct PortWindow {
  uint32_t magic;
  std::string className;  // as registered
  WNDPROC proc;
  UINT classStyle;
  HCURSOR classCursor;
  std::string text;  // CP932
  DWORD style;
  DWORD exStyle;
  RECT rect;  // window rectangle in screen coordinates
  std::thread::id owner;
  DWORD ownerThreadId;
  LONG_PTR userData;
  bool visible;
  bool activatedOnce;
  bool destroying;
  bool needsPaint;
  RECT updateRect;  // client coordinates, valid while needsPaint
  // Client geometry last reported by WM_MOVE / WM_SIZE, so that only real changes are sent.
  POINT reportedOrigin;
  SIZE reportedSize;
  SDL_Window* sdl;
  bool opengl;
  bool sdlFullScreen;
};

// Guards the window list, the classes, the queues and the timers. Never held while a window
// procedure runs.
std::recursive_mutex& PortWindowMutex();

// The live window behind a handle (null when unknown, destroyed or foreign). Call with the
// mutex held, or on the owner thread.
PortWindow* PortLiveWindow(HWND window);
// Every live window, oldest first; walk it with the mutex held.
std::vector<PortWindow*>& PortWindowList();

void PortFrameSize(DWORD style, DWORD exStyle, RECT* frame);  // left, top, right, bottom widths
RECT PortClientScreenRect(const PortWindow* w);
// Moves and sizes the window and its SDL window; sends WM_MOVE / WM_SIZE for real changes.
void PortApplyWindowRect(PortWindow* w, const RECT& rect, bool redraw);
// Shows the window as SDL desktop full screen while it covers the whole display mode.
void PortSyncFullScreen(PortWindow* w);
void PortInvalidateWholeClient(PortWindow* w);

// Message queue.
void PortPostToOwner(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
void PortPurgeWindowMessages(HWND window);
void PortKillWindowTimers(HWND window);
DWORD PortMessageTime();
DWORD PortCurrentThreadId();

// SDL events: translates what SDL has queued into messages (on the video thread only).
void PortTranslateSdlEvents();
bool PortIsVideoThread();
void PortSetForegroundWindow(HWND window);
HWND PortForegroundWindow();

// Cursor position tracked from the translated mouse events (screen coordinates).
void PortSetTrackedCursorPos(POINT p);
void PortApplyCursorVisibility();

// Cross-process window classes: a class with a window claims its name for this user.
void PortClaimClassName(const std::string& className);
void PortReleaseClassName(const std::string& className);
bool PortClassNameClaimedElsewhere(const std::string& className);

// Class names compare without regard to ASCII case.
bool PortClassNamesEqual(const std::string& a, const char* b);

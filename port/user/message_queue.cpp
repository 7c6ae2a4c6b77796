// The message queues: one per thread, holding the posted messages and the messages made from
// SDL events, in arrival order. PeekMessageA first turns what SDL has queued into messages (on
// the video thread), then takes, in this order: a posted message, WM_QUIT once the queue is
// empty, WM_PAINT for a window with an update region, WM_TIMER for a due timer.
#include <algorithm>
#include <deque>
#include <map>

#include "port/kernel/last_error.h"
#include "port/kernel/monotonic_clock.h"
#include "port/kernel/threads.h"
#include "port/user/window_record.h"

namespace {

struct ThreadQueue {
  std::deque<MSG> posted;
  bool quit = false;
  int quitCode = 0;
};

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT elapse;
  uint64_t due;
  TIMERPROC proc;
  std::thread::id thread;
};

std::map<std::thread::id, ThreadQueue> gQueues;
std::map<DWORD, std::thread::id> gThreadIds;
std::vector<Timer> gTimers;
UINT_PTR gNextThreadTimerId = 0x8000;
HWND gForeground = nullptr;

uint64_t NowMs() { return static_cast<uint64_t>(PortMonotonicNanoseconds() / 1000000); }

ThreadQueue& QueueOf(std::thread::id thread) { return gQueues[thread]; }

bool InFilter(const MSG& m, HWND window, UINT low, UINT high) {
  if (window == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) {
    if (m.hwnd) return false;
  } else if (window && m.hwnd != window) {
    return false;
  }
  if (low == 0 && high == 0) return true;
  return m.message >= low && m.message <= high;
}

MSG MakeMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m = {window, message, wParam, lParam, PortMessageTime(), {0, 0}};
  GetCursorPos(&m.pt);
  return m;
}

bool OwnedByCaller(HWND window) {
  PortWindow* w = PortLiveWindow(window);
  return w && w->owner == std::this_thread::get_id();
}

}  // namespace

DWORD PortMessageTime() { return static_cast<DWORD>(NowMs()); }

DWORD PortCurrentThreadId() {
  DWORD id = GetCurrentThreadId();
  std::lock_guard lock(PortWindowMutex());
  gThreadIds[id] = std::this_thread::get_id();
  return id;
}

void PortSetForegroundWindow(HWND window) {
  std::lock_guard lock(PortWindowMutex());
  gForeground = window;
}

HWND PortForegroundWindow() {
  std::lock_guard lock(PortWindowMutex());
  return gForeground;
}

void PortPostToOwner(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(PortWindowMutex());
  QueueOf(w->owner).posted.push_back(MakeMsg(reinterpret_cast<HWND>(w), message, wParam, lParam));
}

void PortPurgeWindowMessages(HWND window) {
  std::lock_guard lock(PortWindowMutex());
  for (auto& [thread, q] : gQueues)
    std::erase_if(q.posted, [window](const MSG& m) { return m.hwnd == window; });
}

void PortKillWindowTimers(HWND window) {
  std::lock_guard lock(PortWindowMutex());
  std::erase_if(gTimers, [window](const Timer& t) { return t.window == window; });
}

// --- posting -------------------------------------------------------------------------------

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(PortWindowMutex());
  if (!window) {
    QueueOf(std::this_thread::get_id()).posted.push_back(MakeMsg(nullptr, message, wParam, lParam));
    return TRUE;
  }
  if (window == HWND_BROADCAST) {
    for (PortWindow* w : PortWindowList()) PortPostToOwner(w, message, wParam, lParam);
    return TRUE;
  }
  PortWindow* w = PortLiveWindow(window);
  if (!w || w->destroying) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  PortPostToOwner(w, message, wParam, lParam);
  return TRUE;
}

BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  std::lock_guard lock(PortWindowMutex());
  auto it = gThreadIds.find(threadId);
  if (it == gThreadIds.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QueueOf(it->second).posted.push_back(MakeMsg(nullptr, message, wParam, lParam));
  return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
  std::lock_guard lock(PortWindowMutex());
  ThreadQueue& q = QueueOf(std::this_thread::get_id());
  q.quit = true;
  q.quitCode = exitCode;
}

// --- taking --------------------------------------------------------------------------------

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT low, UINT high, UINT removeMsg) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PortTranslateSdlEvents();
  std::lock_guard lock(PortWindowMutex());
  std::thread::id self = std::this_thread::get_id();
  ThreadQueue& q = QueueOf(self);
  bool remove = (removeMsg & PM_REMOVE) != 0;

  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!InFilter(*it, window, low, high)) continue;
    *msg = *it;
    if (remove) q.posted.erase(it);
    return TRUE;
  }

  if (q.quit && !window && InFilter(MakeMsg(nullptr, WM_QUIT, 0, 0), nullptr, low, high)) {
    *msg = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0);
    if (remove) q.quit = false;
    return TRUE;
  }

  // WM_PAINT stays until the window validates its update region (BeginPaint).
  for (PortWindow* w : PortWindowList()) {
    if (w->owner != self || !w->visible || !w->needsPaint || w->destroying) continue;
    MSG m = MakeMsg(reinterpret_cast<HWND>(w), WM_PAINT, 0, 0);
    if (!InFilter(m, window, low, high)) continue;
    *msg = m;
    return TRUE;
  }

  uint64_t now = NowMs();
  for (Timer& t : gTimers) {
    if (t.thread != self || t.due > now) continue;
    MSG m = MakeMsg(t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc));
    if (!InFilter(m, window, low, high)) continue;
    *msg = m;
    if (remove) t.due = now + t.elapse;
    return TRUE;
  }
  return FALSE;
}

// --- delivering ----------------------------------------------------------------------------

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == HWND_BROADCAST) {
    std::vector<PortWindow*> all;
    {
      std::lock_guard lock(PortWindowMutex());
      all = PortWindowList();
    }
    for (PortWindow* w : all)
      if (PortLiveWindow(reinterpret_cast<HWND>(w)))
        w->proc(reinterpret_cast<HWND>(w), message, wParam, lParam);
    return 0;
  }
  PortWindow* w = PortLiveWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // The runtime sends only from the thread that owns the window, so the procedure runs here.
  return w->proc(window, message, wParam, lParam);
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    // Only a timer that still exists runs: KillTimer takes back a WM_TIMER already taken.
    bool live = false;
    {
      std::lock_guard lock(PortWindowMutex());
      for (const Timer& t : gTimers)
        if (t.window == msg->hwnd && t.id == msg->wParam && t.proc == proc) live = true;
    }
    if (live) proc(msg->hwnd, WM_TIMER, msg->wParam, PortMessageTime());
    return 0;
  }
  if (!msg->hwnd) return 0;
  PortWindow* w = PortLiveWindow(msg->hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN) return FALSE;
  // SDL gives no text for these keys; they become characters here, as on Windows.
  WPARAM ch = 0;
  switch (msg->wParam) {
    case VK_BACK:
      ch = 8;
      break;
    case VK_TAB:
      ch = 9;
      break;
    case VK_RETURN:
      ch = 13;
      break;
    case VK_ESCAPE:
      ch = 27;
      break;
    default:
      return FALSE;
  }
  std::lock_guard lock(PortWindowMutex());
  QueueOf(std::this_thread::get_id())
      .posted.push_front(MakeMsg(msg->hwnd, WM_CHAR, ch, msg->lParam));
  return TRUE;
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  return proc ? proc(window, message, wParam, lParam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(window, &ps)) EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SETCURSOR: {
      PortWindow* w = PortLiveWindow(window);
      if (w) SetCursor(w->classCursor);
      return TRUE;
    }
    case WM_NCHITTEST:
      return HTCLIENT;
    default:
      return 0;
  }
}

// --- timers --------------------------------------------------------------------------------

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (window && !OwnedByCaller(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  elapse = std::clamp(elapse, 10u, 0x7FFFFFFFu);
  std::lock_guard lock(PortWindowMutex());
  if (!window) id = gNextThreadTimerId++;
  for (Timer& t : gTimers) {
    if (t.window == window && t.id == id) {
      t.elapse = elapse;
      t.due = NowMs() + elapse;
      t.proc = proc;
      return id ? id : 1;
    }
  }
  gTimers.push_back({window, id, elapse, NowMs() + elapse, proc, std::this_thread::get_id()});
  return id ? id : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
  std::lock_guard lock(PortWindowMutex());
  auto it = std::find_if(gTimers.begin(), gTimers.end(),
                         [&](const Timer& t) { return t.window == window && t.id == id; });
  if (it == gTimers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  gTimers.erase(it);
  return TRUE;
}

// --- painting ------------------------------------------------------------------------------

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  PortWindow* w = PortLiveWindow(window);
  if (!w || !paint) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  *paint = {};
  RECT c = PortClientScreenRect(w);
  paint->rcPaint = w->needsPaint ? w->updateRect : RECT{0, 0, 0, 0};
  paint->rcPaint.left = std::max<LONG>(paint->rcPaint.left, 0);
  paint->rcPaint.top = std::max<LONG>(paint->rcPaint.top, 0);
  paint->rcPaint.right = std::min<LONG>(paint->rcPaint.right, c.right - c.left);
  paint->rcPaint.bottom = std::min<LONG>(paint->rcPaint.bottom, c.bottom - c.top);
  paint->fErase = FALSE;
  w->needsPaint = false;
  paint->hdc = GetDC(window);
  return paint->hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  ReleaseDC(window, paint->hdc);
  return TRUE;
}

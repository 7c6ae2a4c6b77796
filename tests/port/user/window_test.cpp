#include <algorithm>
#include <cctype>
#include <thread>

#include "tests/port/user/window_recorder.h"

namespace {

using Window = WindowTest;

TEST_F(Window, CreationSendsItsMessagesAndTheFirstShowActivates) {
  HWND w = Make();
  ASSERT_NE(w, nullptr);
  std::vector<UINT> expected = {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE};
  EXPECT_EQ(Messages(), expected);
  // WM_SIZE carries the client size, WM_MOVE the client origin in screen coordinates.
  RECT c;
  ASSERT_TRUE(GetClientRect(w, &c));
  EXPECT_EQ(gRecorded[2].lParam, MAKELPARAM(c.right, c.bottom));
  POINT origin = {0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(gRecorded[3].lParam, MAKELPARAM(origin.x, origin.y));

  gRecorded.clear();
  ShowWindow(w, SW_SHOWNORMAL);
  expected = {WM_ACTIVATEAPP, WM_ACTIVATE};
  EXPECT_EQ(Messages(), expected);
  EXPECT_EQ(gRecorded[0].wParam, WPARAM{TRUE});
  EXPECT_EQ(GetForegroundWindow(), w);
  gRecorded.clear();
  ShowWindow(w, SW_SHOW);  // not again
  EXPECT_TRUE(gRecorded.empty());
}

TEST_F(Window, ClassesAreUniqueAndStayWhileTheyHaveWindows) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = RecordingProc;
  std::string lower = kClassName;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  wc.lpszClassName = lower.c_str();  // the same name in another case
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  HWND w = Make();
  EXPECT_FALSE(UnregisterClassA(kClass, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  EXPECT_EQ(FindWindowA(lower.c_str(), nullptr), w);
  EXPECT_EQ(FindWindowA(nullptr, "test"), w);
  EXPECT_EQ(FindWindowA(kClass, "other text"), nullptr);

  gRecorded.clear();
  EXPECT_TRUE(DestroyWindow(w));
  std::vector<UINT> expected = {WM_DESTROY, WM_NCDESTROY};
  EXPECT_EQ(Messages(), expected);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(DestroyWindow(w));
  EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
  EXPECT_TRUE(UnregisterClassA(kClass, nullptr));
  EXPECT_FALSE(UnregisterClassA(kClass, nullptr));
  EXPECT_TRUE(RegisterClassExA(&wc));  // so that TearDown can unregister it
}

TEST_F(Window, FrameFollowsTheStyle) {
  struct Case {
    DWORD style, exStyle;
    RECT frame;  // widths: left, top, right, bottom
  } cases[] = {
      {WS_POPUP, 0, {0, 0, 0, 0}},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, {3, 23, 3, 3}},
      {WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, {4, 24, 4, 4}},
      {WS_POPUP | WS_CAPTION, WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE, {5, 25, 5, 5}},
  };
  for (const Case& c : cases) {
    RECT r = {100, 100, 740, 580};
    ASSERT_TRUE(AdjustWindowRectEx(&r, c.style, FALSE, c.exStyle));
    EXPECT_EQ(r.left, 100 - c.frame.left);
    EXPECT_EQ(r.top, 100 - c.frame.top);
    EXPECT_EQ(r.right, 740 + c.frame.right);
    EXPECT_EQ(r.bottom, 580 + c.frame.bottom);

    // A window made from the adjusted rectangle has exactly the client area asked for.
    HWND w = Make(c.style, c.exStyle, r.left, r.top, r.right - r.left, r.bottom - r.top);
    RECT client, window;
    GetClientRect(w, &client);
    GetWindowRect(w, &window);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_EQ(window.left, r.left);
    POINT p = {0, 0};
    ClientToScreen(w, &p);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 100);
    ScreenToClient(w, &p);
    EXPECT_EQ(p.x, 0);
    int sw = 0, sh = 0;
    SDL_GetWindowSize(PortGetSdlWindow(w), &sw, &sh);
    EXPECT_EQ(sw, 640);
    EXPECT_EQ(sh, 480);
  }
}

TEST_F(Window, MovesAndSizesSendOnlyRealChanges) {
  HWND w = Make(WS_POPUP);
  gRecorded.clear();
  EXPECT_TRUE(MoveWindow(w, 100, 50, 300, 200, TRUE));  // where it already is
  EXPECT_TRUE(gRecorded.empty());
  EXPECT_TRUE(SetWindowPos(w, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
  std::vector<UINT> expected = {WM_MOVE};
  EXPECT_EQ(Messages(), expected);
  EXPECT_EQ(gRecorded[0].lParam, MAKELPARAM(10, 20));
  gRecorded.clear();
  EXPECT_TRUE(SetWindowPos(w, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER));
  expected = {WM_SIZE};
  EXPECT_EQ(Messages(), expected);
  EXPECT_EQ(gRecorded[0].lParam, MAKELPARAM(400, 300));
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 410);

  // A style change moves the client area inside the same window rectangle.
  SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_CAPTION));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)), WS_POPUP | WS_CAPTION);
  RECT c;
  GetClientRect(w, &c);
  EXPECT_EQ(c.right, 400 - 6);
  EXPECT_EQ(c.bottom, 300 - 26);
}

TEST_F(Window, PostedMessagesComeInOrderAndQuitComesLast) {
  HWND w = Make();
  Drain();
  PostQuitMessage(3);
  for (UINT i = 0; i < 3; ++i) ASSERT_TRUE(PostMessageA(w, WM_USER + i, i, 0));
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 9, 0, 0));  // a thread message

  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER);
  // A range filter skips over the first ones without taking them.
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2);
  EXPECT_EQ(m.hwnd, w);
  // hwnd -1: thread messages only.
  ASSERT_TRUE(PeekMessageA(&m, reinterpret_cast<HWND>(static_cast<intptr_t>(-1)), 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 9);

  std::vector<MSG> rest = Take();
  ASSERT_EQ(rest.size(), 3u);
  EXPECT_EQ(rest[0].message, WM_USER);
  EXPECT_EQ(rest[1].message, WM_USER + 1);
  EXPECT_EQ(rest[2].message, WM_QUIT);
  EXPECT_EQ(rest[2].wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

  // Messages for a window that goes away go with it.
  PostMessageA(w, WM_USER, 0, 0);
  DestroyWindow(w);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(Window, PostsFromAnotherThreadReachTheOwner) {
  HWND w = Make();
  Drain();
  std::thread other([w] {
    for (UINT i = 0; i < 100; ++i) PostMessageA(w, WM_USER, i, 0);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // the other thread's queue
  });
  other.join();
  std::vector<MSG> got = Take();
  ASSERT_EQ(got.size(), 100u);
  for (UINT i = 0; i < 100; ++i) EXPECT_EQ(got[i].wParam, i);
}

TEST_F(Window, PaintComesUntilTheRegionIsValidated) {
  HWND w = Make();
  ShowWindow(w, SW_SHOW);
  gRecorded.clear();
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);  // nobody painted yet

  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w, &ps);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(ps.rcPaint.right, 300 - 6);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EndPaint(w, &ps);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

  RECT part = {1, 2, 30, 40};
  InvalidateRect(w, &part, FALSE);
  EXPECT_TRUE(UpdateWindow(w));  // sends WM_PAINT at once; DefWindowProcA validates
  std::vector<UINT> expected = {WM_PAINT};
  EXPECT_EQ(Messages(), expected);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

int gTimerCalls = 0;
UINT_PTR gTimerId = 0;
void CALLBACK CountingTimer(HWND, UINT message, UINT_PTR id, DWORD) {
  EXPECT_EQ(message, WM_TIMER);
  gTimerId = id;
  ++gTimerCalls;
}

TEST_F(Window, TimersComeAsWmTimerAndRunTheirProcedure) {
  HWND w = Make();
  Drain();
  gTimerCalls = 0;
  PortSetSimulatedTime(true);  // the timers fall due only when the test moves the clock
  EXPECT_EQ(SetTimer(w, 0x7fff, 10, CountingTimer), 0x7fffu);
  EXPECT_EQ(SetTimer(w, 5, 10, nullptr), 5u);
  MSG m;
  PortAdvanceSimulatedTime(9000000);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));  // not due yet
  PortAdvanceSimulatedTime(1000000);
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
  PortAdvanceSimulatedTime(20000000);
  int procCalls = 0, windowTimers = 0;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    ASSERT_EQ(m.message, WM_TIMER);
    if (m.lParam) {
      ++procCalls;
    } else {
      ++windowTimers;
    }
    gRecorded.clear();
    DispatchMessageA(&m);
    if (!m.lParam) { EXPECT_EQ(Messages(), std::vector<UINT>{WM_TIMER}); }
  }
  EXPECT_EQ(procCalls, 1);  // one WM_TIMER per due timer, not one per elapsed period
  EXPECT_EQ(windowTimers, 1);
  EXPECT_EQ(gTimerCalls, 1);
  EXPECT_EQ(gTimerId, 0x7fffu);

  // A timer killed after its WM_TIMER was taken does not run.
  PortAdvanceSimulatedTime(10000000);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  KillTimer(w, m.wParam);
  DispatchMessageA(&m);
  EXPECT_EQ(gTimerCalls, 1);
  EXPECT_TRUE(KillTimer(w, m.wParam == 5 ? 0x7fff : 5));
  EXPECT_FALSE(KillTimer(w, 5) && KillTimer(w, 0x7fff));
  PortAdvanceSimulatedTime(30000000);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(Window, DefaultProcedureClosesByDestroying) {
  HWND w = Make();
  Drain();
  gRecorded.clear();
  PostMessageA(w, WM_CLOSE, 0, 0);
  Drain();
  std::vector<UINT> expected = {WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
  EXPECT_EQ(Messages(), expected);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(Window, TranslateMessageMakesCharactersOfTheFourKeys) {
  HWND w = Make();
  Drain();
  for (WPARAM key :
       {WPARAM{VK_BACK}, WPARAM{VK_TAB}, WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{VK_LEFT}})
    PostMessageA(w, WM_KEYDOWN, key, 1);
  std::vector<WPARAM> chars;
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_CHAR) chars.push_back(m.wParam);
    TranslateMessage(&m);
    if (m.message == WM_PAINT) DispatchMessageA(&m);
  }
  EXPECT_EQ(chars, (std::vector<WPARAM>{8, 9, 13, 27}));
}

}  // namespace

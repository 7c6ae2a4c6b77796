// SDL events injected into SDL's queue come out of PeekMessageA as window messages.
#include <cstring>

#include "tests/port/user/window_recorder.h"

namespace {

using SdlEvents = WindowTest;

SDL_Event Key(HWND w, SDL_Keycode key) {
  SDL_Event e = {};
  e.type = SDL_KEYDOWN;
  e.key.windowID = SDL_GetWindowID(PortGetSdlWindow(w));
  e.key.state = SDL_PRESSED;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  return e;
}

TEST_F(SdlEvents, CloseAndFocusBecomeMessages) {
  HWND w = Make();
  ShowWindow(w, SW_SHOW);
  Take();
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_GAINED));  // already active: nothing
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST));
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST));  // already inactive: nothing
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_GAINED));
  Push(WindowEvent(w, SDL_WINDOWEVENT_CLOSE));
  std::vector<MSG> got = Take();
  std::vector<std::pair<UINT, WPARAM>> seen;
  for (const MSG& m : got) {
    EXPECT_EQ(m.hwnd, w);
    seen.push_back({m.message, m.wParam});
  }
  std::vector<std::pair<UINT, WPARAM>> expected = {{WM_ACTIVATEAPP, FALSE},
                                                   {WM_ACTIVATE, WA_INACTIVE},
                                                   {WM_ACTIVATEAPP, TRUE},
                                                   {WM_ACTIVATE, WA_ACTIVE},
                                                   {WM_CLOSE, 0}};
  EXPECT_EQ(seen, expected);
}

TEST_F(SdlEvents, ControlKeysBecomeKeyDownsAndTextBecomesCp932Bytes) {
  HWND w = Make();
  ShowWindow(w, SW_SHOW);
  Take();
  Push(Key(w, SDLK_LEFT));
  Push(Key(w, SDLK_a));  // a letter comes as text, not as a key down
  Push(Key(w, SDLK_RETURN));
  SDL_Event text = {};
  text.type = SDL_TEXTINPUT;
  text.text.windowID = SDL_GetWindowID(PortGetSdlWindow(w));
  std::strcpy(text.text.text, reinterpret_cast<const char*>(u8"aあ"));
  Push(text);

  std::vector<std::pair<UINT, WPARAM>> seen;
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_PAINT) {
      DispatchMessageA(&m);
      continue;
    }
    seen.push_back({m.message, m.wParam});
    TranslateMessage(&m);
  }
  std::vector<std::pair<UINT, WPARAM>> expected = {{WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, VK_RETURN},
                                                   {WM_CHAR, 13},         {WM_CHAR, 'a'},
                                                   {WM_CHAR, 0x82},       {WM_CHAR, 0xA0}};
  EXPECT_EQ(seen, expected);
}

TEST_F(SdlEvents, MouseEventsCarryClientCoordinatesAndMoveTheCursor) {
  HWND w = Make(WS_POPUP, 0, 100, 50, 300, 200);
  ShowWindow(w, SW_SHOW);
  Take();
  SDL_Event e = {};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = SDL_GetWindowID(PortGetSdlWindow(w));
  e.motion.x = 101;
  e.motion.y = 7;
  e.motion.state = SDL_BUTTON_LMASK;
  Push(e);
  e = {};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.windowID = SDL_GetWindowID(PortGetSdlWindow(w));
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.x = 5;
  e.button.y = 6;
  Push(e);
  std::vector<MSG> got = Take();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(got[0].wParam, WPARAM{MK_LBUTTON});
  EXPECT_EQ(got[0].lParam, MAKELPARAM(101, 7));
  EXPECT_EQ(got[1].message, WM_RBUTTONDOWN);
  EXPECT_EQ(got[1].lParam, MAKELPARAM(5, 6));
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 105);
  EXPECT_EQ(p.y, 56);
}

// Full screen on a 1280 x 1024 desktop shows the 640 x 480 client area at 1280 x 960 between
// bars of 32 rows: the mouse reads in that picture, and on a bar at the nearest edge.
TEST_F(SdlEvents, AFullScreenMouseReadsInThePictureBetweenTheBars) {
  HWND w = Make(WS_POPUP, WS_EX_TOPMOST, 0, 0, 640, 480);
  ShowWindow(w, SW_SHOW);
  DEVMODEA dm = {};
  dm.dmSize = sizeof(dm);
  dm.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  dm.dmBitsPerPel = 32;
  dm.dmPelsWidth = 640;
  dm.dmPelsHeight = 480;
  ASSERT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
  ASSERT_TRUE(PortWindowIsFullScreen(w));
  // The dummy driver's desktop is 4:3; the window is given the shape of a 5:4 one.
  SDL_Window* sdl = PortGetSdlWindow(w);
  SDL_SetWindowFullscreen(sdl, 0);
  SDL_SetWindowSize(sdl, 1280, 1024);
  Take();
  const struct {
    int x, y;
    LPARAM client;
  } cases[] = {{640, 32, MAKELPARAM(320, 0)},
               {0, 991, MAKELPARAM(0, 479)},
               {1279, 512, MAKELPARAM(639, 240)},
               {640, 0, MAKELPARAM(320, 0)},
               {640, 1023, MAKELPARAM(320, 479)}};
  for (const auto& c : cases) {
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(sdl);
    e.motion.x = c.x;
    e.motion.y = c.y;
    Push(e);
    std::vector<MSG> got;
    for (const MSG& m : Take())
      if (m.message == WM_MOUSEMOVE) got.push_back(m);
    ASSERT_EQ(got.size(), 1u) << c.x << ", " << c.y;
    EXPECT_EQ(got[0].lParam, c.client) << c.x << ", " << c.y;
  }
  ChangeDisplaySettingsA(nullptr, 0);
}

// The procedure keeps a 4:3 client area on WM_SIZING, as a game window does.
LRESULT KeepAspect(HWND w, UINT m, WPARAM, LPARAM lp, bool* handled) {
  if (m != WM_SIZING) return 0;
  auto* r = reinterpret_cast<RECT*>(lp);
  RECT window, client;
  GetWindowRect(w, &window);
  GetClientRect(w, &client);
  int frameH = (window.bottom - window.top) - client.bottom;
  int frameW = (window.right - window.left) - client.right;
  int cw = r->right - r->left - frameW;
  r->bottom = r->top + frameH + cw * 3 / 4;
  *handled = true;
  return TRUE;
}

TEST_F(SdlEvents, ResizeRunsSizingThenAppliesTheResult) {
  HWND w = Make(WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0, 0, 648, 508);  // client 640 x 480
  ShowWindow(w, SW_SHOW);
  Take();
  gProcedureHook = KeepAspect;
  gRecorded.clear();
  Push(WindowEvent(w, SDL_WINDOWEVENT_SIZE_CHANGED, 800, 480));  // right edge dragged
  Take();
  ASSERT_GE(gRecorded.size(), 2u);
  EXPECT_EQ(gRecorded[0].message, WM_SIZING);
  EXPECT_EQ(gRecorded[0].wParam, WPARAM{WMSZ_RIGHT});
  EXPECT_EQ(gRecorded[1].message, WM_SIZE);
  EXPECT_EQ(gRecorded[1].lParam, MAKELPARAM(800, 600));
  int sw = 0, sh = 0;
  SDL_GetWindowSize(PortGetSdlWindow(w), &sw, &sh);
  EXPECT_EQ(sw, 800);
  EXPECT_EQ(sh, 600);

  // A move is offered as WM_MOVING; the procedure may keep the window where it is.
  gProcedureHook = [](HWND win, UINT m, WPARAM, LPARAM lp, bool* handled) -> LRESULT {
    if (m != WM_MOVING) return 0;
    GetWindowRect(win, reinterpret_cast<RECT*>(lp));
    *handled = true;
    return TRUE;
  };
  gRecorded.clear();
  Push(WindowEvent(w, SDL_WINDOWEVENT_MOVED, 300, 300));
  Take();
  EXPECT_EQ(Messages(), std::vector<UINT>{WM_MOVING});
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
}

}  // namespace

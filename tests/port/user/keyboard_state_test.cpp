// The Win32 keyboard state from injected SDL events: virtual keys by key position on a
// Japanese keyboard, the common modifier keys, and the mouse buttons.
#include <set>

#include <gtest/gtest.h>

#include "port/win32.h"
#include "tests/support/input_fixtures.h"

namespace {

std::set<int> KeysDown() {
  BYTE state[256];
  EXPECT_TRUE(GetKeyboardState(state));
  std::set<int> down;
  for (int i = 0; i < 256; ++i) {
    if (state[i] & 0x80) down.insert(i);
    EXPECT_EQ(state[i] & 0x7F, 0) << i;
  }
  return down;
}

TEST(KeyboardState, VirtualKeysFollowKeyPositionsOfAJapaneseKeyboard) {
  ReleaseHeldKeys();
  ASSERT_TRUE(KeysDown().empty());
  struct Case {
    SDL_Scancode scancode;
    std::set<int> virtualKeys;
  };
  const Case cases[] = {
      {SDL_SCANCODE_A, {0x41}},
      {SDL_SCANCODE_0, {0x30}},
      {SDL_SCANCODE_RETURN, {VK_RETURN}},
      {SDL_SCANCODE_KP_ENTER, {VK_RETURN}},
      {SDL_SCANCODE_LEFTBRACKET, {0xC0}},     // "@"
      {SDL_SCANCODE_APOSTROPHE, {0xBA}},      // ":"
      {SDL_SCANCODE_INTERNATIONAL1, {0xE2}},  // "\" beside the right Shift
      {SDL_SCANCODE_INTERNATIONAL3, {0xDC}},  // the yen sign
      {SDL_SCANCODE_F13, {VK_F13}},
      {SDL_SCANCODE_LSHIFT, {VK_SHIFT, VK_LSHIFT}},
      {SDL_SCANCODE_RSHIFT, {VK_SHIFT, VK_RSHIFT}},
      {SDL_SCANCODE_RCTRL, {VK_CONTROL, VK_RCONTROL}},
      {SDL_SCANCODE_LALT, {VK_MENU, VK_LMENU}},
      {SDL_SCANCODE_KP_EQUALS, {}},  // no virtual key of its own
  };
  for (const Case& c : cases) {
    PushKey(c.scancode, true);
    EXPECT_EQ(KeysDown(), c.virtualKeys) << SDL_GetScancodeName(c.scancode);
    for (int vk : c.virtualKeys) EXPECT_LT(GetKeyState(vk), 0) << vk;
    PushKey(c.scancode, false);
    EXPECT_TRUE(KeysDown().empty()) << SDL_GetScancodeName(c.scancode);
  }

  // Both Shift keys: releasing one leaves the common key down.
  PushKey(SDL_SCANCODE_LSHIFT, true);
  PushKey(SDL_SCANCODE_RSHIFT, true);
  PushKey(SDL_SCANCODE_LSHIFT, false);
  EXPECT_EQ(KeysDown(), (std::set<int>{VK_SHIFT, VK_RSHIFT}));
  PushKey(SDL_SCANCODE_RSHIFT, false);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);

  SDL_Event button = {};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  button.button.state = SDL_PRESSED;
  SDL_PushEvent(&button);
  EXPECT_EQ(KeysDown(), std::set<int>{VK_RBUTTON});
  button.type = SDL_MOUSEBUTTONUP;
  button.button.state = SDL_RELEASED;
  SDL_PushEvent(&button);
  EXPECT_TRUE(KeysDown().empty());
  EXPECT_FALSE(GetKeyboardState(nullptr));
  EXPECT_EQ(GetKeyState(300), 0);
  // No window reads these events; later tests must not find them queued.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

}  // namespace

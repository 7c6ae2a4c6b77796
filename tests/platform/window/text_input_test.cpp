#include <cstring>

#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/window/cursor_and_mouse.h"
#include "tests/platform/window/main_window_fixture.h"

namespace {

using TextInputTest = MainWindowTest;

TEST_F(TextInputTest, KeysAndTextArriveThroughTheWindow) {
  Open();
  Settle();
  TakeAllInput();
  Push(Key(SDLK_LEFT));
  Push(Key(SDLK_RETURN));
  Push(Key(SDLK_DELETE));
  SDL_Event text = {};
  text.type = SDL_TEXTINPUT;
  text.text.windowID = SDL_GetWindowID(PortGetSdlWindow(WindowState.mainWindow));
  std::strcpy(text.text.text, reinterpret_cast<const char*>(u8"あa"));
  Push(text);
  ProcessWindowMessages();
  ProcessWindowMessages();
  EXPECT_EQ(TakeAllInput(), std::string("\x1D\x0D\x10\x82\xA0"
                                        "a"));
}

TEST_F(TextInputTest, CharactersAreFilteredAsControlCodesRequire) {
  for (int code = 0; code < 256; ++code) FeedChar(static_cast<WPARAM>(code));
  std::string got = TakeAllInput();
  std::string expected = "\x01\x03\x08\x09\x0D\x0D\x10\x16\x18\x1B";  // 10 arrives as 13
  for (int code = 32; code < 256; ++code) expected.push_back(static_cast<char>(code));
  // Taking byte pairs does not change the bytes; compare them all.
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_EQ(got, expected);
  for (int key : {VK_DELETE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT,
                  VK_RETURN})
    FeedKeyDown(static_cast<WPARAM>(key));
  EXPECT_EQ(TakeAllInput(), std::string("\x10\x1D\x1C\x1E\x1F\x1A\x19\x17\x15"));
}

TEST_F(TextInputTest, BufferHoldsAtMost1024Characters) {
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(PushInputChar('a' + i % 26), 0) << i;
  EXPECT_EQ(PushInputChar('x'), -1);
  FeedChar('y');  // refused the same way
  char c[2];
  EXPECT_EQ(TakeInputChar(c, 1), 1);
  EXPECT_EQ(c[0], 'a');
  EXPECT_EQ(PushInputChar('z'), 0);  // one place free again, across the wrap
  std::string rest = TakeAllInput();
  ASSERT_EQ(rest.size(), 1024u);
  EXPECT_EQ(rest.back(), 'z');
  // Once more around the ring.
  for (int i = 0; i < 1500; ++i) {
    ASSERT_EQ(PushInputChar('0' + i % 10), 0);
    ASSERT_EQ(TakeInputChar(c, 1), 1);
    ASSERT_EQ(c[0], '0' + i % 10);
  }
}

TEST_F(TextInputTest, DoubleByteCharactersComeWhole) {
  CharSetMode = 1;
  PushInputChar(0x82);
  char c[2] = {1, 1};
  EXPECT_EQ(TakeInputChar(c, 1), 0);  // its second byte has not come
  EXPECT_EQ(c[0], 0);
  PushInputChar(0xA0);
  EXPECT_EQ(TakeInputChar(c, 0), 2);  // peek
  EXPECT_EQ(TakeInputChar(c, 1), 2);
  EXPECT_EQ(static_cast<unsigned char>(c[0]), 0x82);
  EXPECT_EQ(static_cast<unsigned char>(c[1]), 0xA0);
  EXPECT_EQ(TakeInputChar(c, 1), 0);
  // A control code is never a lead byte.
  PushInputChar(0x1D);
  PushInputChar('a');
  EXPECT_EQ(TakeInputChar(c, 1), 1);
  EXPECT_EQ(c[0], 0x1D);
}

TEST_F(TextInputTest, CountsCharactersInBytes) {
  CharSetMode = 1;
  const char* text = "あいa";
  EXPECT_EQ(CountCharsInBytes(text, 3), 2);
  EXPECT_EQ(CountCharsInBytes(text, 5), 3);
  EXPECT_EQ(CountCharsInBytes(text, 99), 3);
  EXPECT_EQ(CountCharsInBytes(text, 0), 0);
  EXPECT_EQ(CountCharsInBytes("\x82", 4), 1);  // a lone lead byte at the end
}

TEST_F(TextInputTest, InputMethodPathsStayIdleWithoutAnInputMethod) {
  Open();
  HWND w = WindowState.mainWindow;
  EXPECT_EQ(SendMessageA(w, WM_IME_STARTCOMPOSITION, 0, 0), 0);
  EXPECT_EQ(TextInput.composing, 1);
  EXPECT_EQ(
      SendMessageA(w, WM_IME_COMPOSITION, 0,
                   GCS_COMPSTR | GCS_RESULTSTR | GCS_CURSORPOS | GCS_COMPCLAUSE | GCS_COMPATTR),
      0);
  EXPECT_STREQ(TextInput.composition, "");
  EXPECT_EQ(TextInput.clauseCount, 0);
  EXPECT_EQ(TakeAllInput(), "");
  EXPECT_EQ(SendMessageA(w, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 0), 0);
  EXPECT_EQ(TextInput.candidateList, nullptr);
  EXPECT_EQ(SendMessageA(w, WM_IME_NOTIFY, IMN_SETOPENSTATUS, 0), 0);
  EXPECT_EQ(TextInput.imeOpen, 0);
  EXPECT_EQ(SendMessageA(w, WM_IME_ENDCOMPOSITION, 0, 0), 0);
  EXPECT_EQ(TextInput.composing, 0);
  EXPECT_EQ(TextInput.imeUsed, 1);
  EXPECT_EQ(ProcessTextInput(), 0);
  TextInput.activeKeyInput = 0x38010000;
  EXPECT_EQ(ProcessTextInput(), -1);
}

TEST_F(TextInputTest, InputMethodResultArrivesByteByByteAndTextsAreBounded) {
  CharSetMode = 1;
  Open();
  HWND w = WindowState.mainWindow;
  PortSetInputMethodText("かなa", "漢字x", 2);
  SendMessageA(w, WM_IME_COMPOSITION, 0, GCS_COMPSTR | GCS_RESULTSTR | GCS_CURSORPOS);
  EXPECT_EQ(TakeAllInput(), std::string("漢字x"));
  EXPECT_STREQ(TextInput.composition, "かなa");
  EXPECT_EQ(TextInput.compositionCursor, 1);
  // Texts longer than the 1,024-byte arrays are cut and terminated, not written past them.
  std::string longText(2000, 'q');
  PortSetInputMethodText(longText.c_str(), longText.c_str(), 0);
  SendMessageA(w, WM_IME_COMPOSITION, 0, GCS_COMPSTR | GCS_RESULTSTR);
  EXPECT_EQ(std::strlen(TextInput.composition), 1023u);
  EXPECT_EQ(TakeAllInput(), std::string(1023, 'q'));
  PortSetInputMethodText(nullptr, nullptr, 0);
}

TEST(FormatHelpers, FormatTextIsBoundedAndReturnsZero) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof(buffer));
  EXPECT_EQ(FormatText(buffer, sizeof(buffer), "%d-%s", 12345, "long text"), 0);
  EXPECT_STREQ(buffer, "12345-l");
  EXPECT_EQ(FormatText(buffer, sizeof(buffer), "%s", "ok"), 0);
  EXPECT_STREQ(buffer, "ok");
  EXPECT_DOUBLE_EQ(PowFloat(2.0f, 10.0f), 1024.0);
  EXPECT_EQ(QueryToolBarHeight(), 0);
}

}  // namespace

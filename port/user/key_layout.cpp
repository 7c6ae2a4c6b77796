// The key layout: for each SDL scancode (a key position) the DirectInput key code and the
// virtual key of the key a Japanese 106-key keyboard has there. The two columns agree the way
// that keyboard's drivers make them agree, so the DirectInput and Win32 paths of the runtime
// see the same keys.
#include <array>

#include "port/user/input_internal.h"

namespace {

constexpr PortKeyLayoutEntry kLayout[] = {
    // Letters and digits.
    {SDL_SCANCODE_A, 30, 0x41},
    {SDL_SCANCODE_B, 48, 0x42},
    {SDL_SCANCODE_C, 46, 0x43},
    {SDL_SCANCODE_D, 32, 0x44},
    {SDL_SCANCODE_E, 18, 0x45},
    {SDL_SCANCODE_F, 33, 0x46},
    {SDL_SCANCODE_G, 34, 0x47},
    {SDL_SCANCODE_H, 35, 0x48},
    {SDL_SCANCODE_I, 23, 0x49},
    {SDL_SCANCODE_J, 36, 0x4A},
    {SDL_SCANCODE_K, 37, 0x4B},
    {SDL_SCANCODE_L, 38, 0x4C},
    {SDL_SCANCODE_M, 50, 0x4D},
    {SDL_SCANCODE_N, 49, 0x4E},
    {SDL_SCANCODE_O, 24, 0x4F},
    {SDL_SCANCODE_P, 25, 0x50},
    {SDL_SCANCODE_Q, 16, 0x51},
    {SDL_SCANCODE_R, 19, 0x52},
    {SDL_SCANCODE_S, 31, 0x53},
    {SDL_SCANCODE_T, 20, 0x54},
    {SDL_SCANCODE_U, 22, 0x55},
    {SDL_SCANCODE_V, 47, 0x56},
    {SDL_SCANCODE_W, 17, 0x57},
    {SDL_SCANCODE_X, 45, 0x58},
    {SDL_SCANCODE_Y, 21, 0x59},
    {SDL_SCANCODE_Z, 44, 0x5A},
    {SDL_SCANCODE_1, 2, 0x31},
    {SDL_SCANCODE_2, 3, 0x32},
    {SDL_SCANCODE_3, 4, 0x33},
    {SDL_SCANCODE_4, 5, 0x34},
    {SDL_SCANCODE_5, 6, 0x35},
    {SDL_SCANCODE_6, 7, 0x36},
    {SDL_SCANCODE_7, 8, 0x37},
    {SDL_SCANCODE_8, 9, 0x38},
    {SDL_SCANCODE_9, 10, 0x39},
    {SDL_SCANCODE_0, 11, 0x30},
    // Editing and whitespace.
    {SDL_SCANCODE_RETURN, 28, 0x0D},
    {SDL_SCANCODE_ESCAPE, 1, 0x1B},
    {SDL_SCANCODE_BACKSPACE, 14, 0x08},
    {SDL_SCANCODE_TAB, 15, 0x09},
    {SDL_SCANCODE_SPACE, 57, 0x20},
    // Punctuation, as engraved on the Japanese keyboard: "-", "^", "@", "[", "]", ";", ":",
    // half/full width, ",", ".", "/", and the two keys beside them ("\" and the yen sign).
    {SDL_SCANCODE_MINUS, 12, 0xBD},
    {SDL_SCANCODE_EQUALS, 144, 0xDE},
    {SDL_SCANCODE_LEFTBRACKET, 145, 0xC0},
    {SDL_SCANCODE_RIGHTBRACKET, 26, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 27, 0xDD},
    {SDL_SCANCODE_NONUSHASH, 27, 0xDD},
    {SDL_SCANCODE_SEMICOLON, 39, 0xBB},
    {SDL_SCANCODE_APOSTROPHE, 146, 0xBA},
    {SDL_SCANCODE_GRAVE, 148, 0xF3},
    {SDL_SCANCODE_COMMA, 51, 0xBC},
    {SDL_SCANCODE_PERIOD, 52, 0xBE},
    {SDL_SCANCODE_SLASH, 53, 0xBF},
    {SDL_SCANCODE_INTERNATIONAL1, 43, 0xE2},
    {SDL_SCANCODE_NONUSBACKSLASH, 43, 0xE2},
    {SDL_SCANCODE_INTERNATIONAL3, 125, 0xDC},
    // Input-method keys: kana, conversion, no conversion.
    {SDL_SCANCODE_INTERNATIONAL2, 112, 0x15},
    {SDL_SCANCODE_INTERNATIONAL4, 121, 0x1C},
    {SDL_SCANCODE_INTERNATIONAL5, 123, 0x1D},
    // Function keys.
    {SDL_SCANCODE_F1, 59, 0x70},
    {SDL_SCANCODE_F2, 60, 0x71},
    {SDL_SCANCODE_F3, 61, 0x72},
    {SDL_SCANCODE_F4, 62, 0x73},
    {SDL_SCANCODE_F5, 63, 0x74},
    {SDL_SCANCODE_F6, 64, 0x75},
    {SDL_SCANCODE_F7, 65, 0x76},
    {SDL_SCANCODE_F8, 66, 0x77},
    {SDL_SCANCODE_F9, 67, 0x78},
    {SDL_SCANCODE_F10, 68, 0x79},
    {SDL_SCANCODE_F11, 87, 0x7A},
    {SDL_SCANCODE_F12, 88, 0x7B},
    {SDL_SCANCODE_F13, 100, 0x7C},
    {SDL_SCANCODE_F14, 101, 0x7D},
    {SDL_SCANCODE_F15, 102, 0x7E},
    {SDL_SCANCODE_PRINTSCREEN, 183, 0x2C},
    {SDL_SCANCODE_SCROLLLOCK, 70, 0x91},
    {SDL_SCANCODE_PAUSE, 197, 0x13},
    {SDL_SCANCODE_CAPSLOCK, 58, 0x14},
    // Navigation.
    {SDL_SCANCODE_INSERT, 210, 0x2D},
    {SDL_SCANCODE_HOME, 199, 0x24},
    {SDL_SCANCODE_PAGEUP, 201, 0x21},
    {SDL_SCANCODE_DELETE, 211, 0x2E},
    {SDL_SCANCODE_END, 207, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 209, 0x22},
    {SDL_SCANCODE_RIGHT, 205, 0x27},
    {SDL_SCANCODE_LEFT, 203, 0x25},
    {SDL_SCANCODE_DOWN, 208, 0x28},
    {SDL_SCANCODE_UP, 200, 0x26},
    // Numeric pad. Its Enter key is a Return to Win32.
    {SDL_SCANCODE_NUMLOCKCLEAR, 69, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 181, 0x6F},
    {SDL_SCANCODE_KP_MULTIPLY, 55, 0x6A},
    {SDL_SCANCODE_KP_MINUS, 74, 0x6D},
    {SDL_SCANCODE_KP_PLUS, 78, 0x6B},
    {SDL_SCANCODE_KP_ENTER, 156, 0x0D},
    {SDL_SCANCODE_KP_1, 79, 0x61},
    {SDL_SCANCODE_KP_2, 80, 0x62},
    {SDL_SCANCODE_KP_3, 81, 0x63},
    {SDL_SCANCODE_KP_4, 75, 0x64},
    {SDL_SCANCODE_KP_5, 76, 0x65},
    {SDL_SCANCODE_KP_6, 77, 0x66},
    {SDL_SCANCODE_KP_7, 71, 0x67},
    {SDL_SCANCODE_KP_8, 72, 0x68},
    {SDL_SCANCODE_KP_9, 73, 0x69},
    {SDL_SCANCODE_KP_0, 82, 0x60},
    {SDL_SCANCODE_KP_PERIOD, 83, 0x6E},
    {SDL_SCANCODE_KP_EQUALS, 141, 0},
    // Modifiers and the system keys.
    {SDL_SCANCODE_LCTRL, 29, 0xA2},
    {SDL_SCANCODE_LSHIFT, 42, 0xA0},
    {SDL_SCANCODE_LALT, 56, 0xA4},
    {SDL_SCANCODE_LGUI, 219, 0x5B},
    {SDL_SCANCODE_RCTRL, 157, 0xA3},
    {SDL_SCANCODE_RSHIFT, 54, 0xA1},
    {SDL_SCANCODE_RALT, 184, 0xA5},
    {SDL_SCANCODE_RGUI, 220, 0x5C},
    {SDL_SCANCODE_APPLICATION, 221, 0x5D},
};

// Scancode -> index into kLayout + 1 (0: none).
const std::array<unsigned char, SDL_NUM_SCANCODES> kIndex = [] {
  std::array<unsigned char, SDL_NUM_SCANCODES> index = {};
  static_assert(std::size(kLayout) < 255);
  for (size_t i = 0; i < std::size(kLayout); ++i)
    index[kLayout[i].scancode] = static_cast<unsigned char>(i + 1);
  return index;
}();

}  // namespace

const PortKeyLayoutEntry* PortFindKeyLayout(SDL_Scancode scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return nullptr;
  unsigned char i = kIndex[scancode];
  return i ? &kLayout[i - 1] : nullptr;
}

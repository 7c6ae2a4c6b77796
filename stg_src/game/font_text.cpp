#include "stg_src/game/font_text.h"

#include "runtime/graphics/draw/draw_calls.h"
#include "stg_src/game/image_tables.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kFirstDrawnCode = 17;
constexpr int kLastDrawnCode = 96;
constexpr int kBracketCode = 91;  // [ \ ] ^ _ and the grave accent all draw as [
constexpr int kDigitCode = 48;
constexpr int kFullSize = 14;
constexpr double kSmallScale = 0.8;
constexpr int kKeyNameSize = 14;

struct KeyName {
  int32_t code;
  const char* name;
};

// The keyboard's key codes with a name; the codes between them have none.
constexpr KeyName kKeyNames[] = {
    {1, "ESCAPE"},      {2, "1"},
    {3, "2"},           {4, "3"},
    {5, "4"},           {6, "5"},
    {7, "6"},           {8, "7"},
    {9, "8"},           {10, "9"},
    {11, "0"},          {12, "MINUS"},
    {14, "BACK"},       {15, "TAB"},
    {16, "Q"},          {17, "W"},
    {18, "E"},          {19, "R"},
    {20, "T"},          {21, "Y"},
    {22, "U"},          {23, "I"},
    {24, "O"},          {25, "P"},
    {26, "LBRACKET"},   {27, "RBRACKET"},
    {28, "RETURN"},     {29, "LCONTROL"},
    {30, "A"},          {31, "S"},
    {32, "D"},          {33, "F"},
    {34, "G"},          {35, "H"},
    {36, "J"},          {37, "K"},
    {38, "L"},          {39, "SEMICOLON"},
    {42, "LSHIFT"},     {43, "BACKSLASH"},
    {44, "Z"},          {45, "X"},
    {46, "C"},          {47, "V"},
    {48, "B"},          {49, "N"},
    {50, "M"},          {51, "COMMA"},
    {52, "PERIOD"},     {53, "SLASH"},
    {54, "RSHIFT"},     {55, "MULTIPLY"},
    {56, "LALT"},       {57, "SPACE"},
    {58, "CAPSLOCK"},   {59, "F1"},
    {60, "F2"},         {61, "F3"},
    {62, "F4"},         {63, "F5"},
    {64, "F6"},         {65, "F7"},
    {66, "F8"},         {67, "F9"},
    {68, "F10"},        {70, "SCROLL"},
    {71, "NUMPAD7"},    {72, "NUMPAD8"},
    {73, "NUMPAD9"},    {74, "SUBTRACT"},
    {75, "NUMPAD4"},    {76, "NUMPAD5"},
    {77, "NUMPAD6"},    {78, "ADD"},
    {79, "NUMPAD1"},    {80, "NUMPAD2"},
    {81, "NUMPAD3"},    {82, "NUMPAD0"},
    {83, "DECIMAL"},    {87, "F11"},
    {88, "F12"},        {125, "YEN"},
    {144, "PREVTRACK"}, {145, "AT"},
    {146, "COLON"},     {156, "NUMPADENTER"},
    {157, "RCONTROL"},  {181, "DIVIDE"},
    {183, "SYSRQ"},     {184, "RALT"},
    {197, "PAUSE"},     {199, "HOME"},
    {200, "UP"},        {201, "PGUP"},
    {203, "LEFT"},      {205, "RIGHT"},
    {207, "END"},       {208, "DOWN"},
    {209, "PGDN"},      {210, "INSERT"},
    {211, "DELETE"},
};
static_assert(sizeof(kKeyNames) / sizeof(kKeyNames[0]) == 101);

// The glyph a byte draws with, or 0 for one that draws nothing (bytes of 128 and up, the
// halves of Shift-JIS characters among them, fall outside the drawn codes).
int GlyphCode(unsigned char byte) {
  int code = byte;
  if (code >= 'a' && code <= 'z') code -= 'a' - 'A';
  if (code >= kBracketCode && code <= kLastDrawnCode) code = kBracketCode;
  return code >= kFirstDrawnCode && code <= kLastDrawnCode ? code : 0;
}

}  // namespace

void DrawFontText(int x, int y, const char* text, int size) {
  if (text == nullptr) return;
  for (const char* p = text; *p != '\0'; ++p, x += size) {
    const int code = GlyphCode(static_cast<unsigned char>(*p));
    if (code == 0) continue;
    if (size >= kFullSize)
      DrawGraphAt(x, y, FontImages[code], 1);
    else
      DrawGraphRotated(x, y, kSmallScale, 0.0, FontImages[code], 1, 0);
  }
}

void DrawFontNumber(int x, int y, int32_t value, int digits, int spacing) {
  if (value < 0) return;
  // In 64 bits: the power past the largest int32 value does not fit in 32.
  int count = 1;
  for (int64_t power = 10; value >= power; power *= 10) ++count;
  int32_t rest = value;
  for (int k = 0; k < digits && k < count; ++k, rest /= 10)
    DrawGraphAt(x + (digits - 1 - k) * spacing, y, FontImages[kDigitCode + rest % 10], 1);
}

void DrawKeyName(int x, int y, int32_t code) {
  for (const KeyName& key : kKeyNames) {
    if (key.code == code) {
      DrawFontText(x, y, key.name, kKeyNameSize);
      return;
    }
  }
}

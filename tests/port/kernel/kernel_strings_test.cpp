// The kernel's string length, the wide-character conversion, and the CP932 character lookup
// behind the glyph codes of GDI.
#include <gtest/gtest.h>

#include "port/kernel/cp932_text.h"
#include "port/kernel/kernel_strings.h"
#include "port/kernel/last_error.h"

namespace {

TEST(KernelStrings, LstrlenCountsBytesAndTakesNull) {
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA(""), 0);
  EXPECT_EQ(lstrlenA("abc"), 3);
  EXPECT_EQ(lstrlenA("\x82\xA0"
                     "a"),
            3);
}

TEST(KernelStrings, MultiByteToWideCharConvertsCp932AndUtf8) {
  wchar_t out[9] = {};
  // "Z:\あ.mpg" in CP932: the count with the NUL, then the characters.
  const char* sjis = "Z:\\\x82\xA0.mpg";
  EXPECT_EQ(MultiByteToWideChar(932, 0, sjis, -1, nullptr, 0), 9);
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, sjis, -1, out, 9), 9);
  EXPECT_EQ(std::wstring(out), L"Z:\\\u3042.mpg");
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE3\x81\x82", 3, out, 8), 1);
  EXPECT_EQ(out[0], L'\u3042');
  EXPECT_EQ(MultiByteToWideChar(932, 0, sjis, -1, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xE3\x81", 2, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", -1, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(KernelStrings, Cp932CharacterIsExactlyOneCharacter) {
  struct Case {
    const char* bytes;
    size_t length;
    bool ok;
    uint32_t codePoint;
  } cases[] = {
      {"A", 1, true, 0x41},          {"\xB1", 1, true, 0xFF71},  // half-width katakana
      {"\x82\xA0", 2, true, 0x3042},                             // hiragana a
      {"\x81\x40", 2, true, 0x3000},                             // ideographic space
      {"\x82", 1, false, 0},                                     // a lead byte alone
      {"AB", 2, false, 0},                                       // two characters
      {"\x85\xA1", 2, false, 0},  // unassigned: must not turn into the second byte alone
      {"\x82\x20", 2, false, 0},  // no trail byte
  };
  for (const Case& c : cases) {
    uint32_t codePoint = 0;
    EXPECT_EQ(PortCp932CharToCodePoint(c.bytes, c.length, &codePoint), c.ok) << c.bytes;
    if (c.ok) { EXPECT_EQ(codePoint, c.codePoint) << c.bytes; }
  }
}

}  // namespace

// The kernel's string length and the CP932 character lookup behind the glyph codes of GDI.
#include <gtest/gtest.h>

#include "port/kernel/cp932_text.h"
#include "port/kernel/kernel_strings.h"

namespace {

TEST(KernelStrings, LstrlenCountsBytesAndTakesNull) {
  EXPECT_EQ(lstrlenA(nullptr), 0);
  EXPECT_EQ(lstrlenA(""), 0);
  EXPECT_EQ(lstrlenA("abc"), 3);
  EXPECT_EQ(lstrlenA("\x82\xA0"
                     "a"),
            3);
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

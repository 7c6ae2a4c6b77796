// Double-byte-aware strings and the byte helpers.
#include "runtime/platform/core/text_helpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

class ModeScope {
 public:
  explicit ModeScope(int mode) : saved_(CharSetMode) { CharSetMode = mode; }
  ~ModeScope() { CharSetMode = saved_; }

 private:
  int saved_;
};

TEST(TextHelpers, LeadBytesFollowTheCodePageMode) {
  struct Case {
    unsigned char byte;
    int shiftJis;  // modes -1, 0, 1
    int highBit;   // modes 2, 3, 4
  } cases[] = {{0x41, 0, 0}, {0x5C, 0, 0}, {0x80, 0, 1}, {0x81, 1, 1}, {0x9F, 1, 1}, {0xA0, 0, 1},
               {0xDF, 0, 1}, {0xE0, 1, 1}, {0xFC, 1, 1}, {0xFD, 0, 1}, {0xFF, 0, 1}};
  for (const Case& c : cases) {
    const char text[2] = {static_cast<char>(c.byte), 0};
    for (int mode : {-1, 0, 1})
      EXPECT_EQ(IsDoubleByteStart(text, mode), c.shiftJis) << int(c.byte) << " mode " << mode;
    for (int mode : {2, 3, 4})
      EXPECT_EQ(IsDoubleByteStart(text, mode), c.highBit) << int(c.byte) << " mode " << mode;
  }
}

TEST(TextHelpers, FindTextCharNeverMatchesATrailByte) {
  ModeScope mode(1);
  // 0x95 0x5C is one character whose second byte is a backslash code.
  const char text[] =
      "\x95\x5C"
      "a\\b";
  EXPECT_EQ(FindTextChar(text, '\\'), text + 3);
  EXPECT_EQ(FindTextChar("\x95\x5C", '\\'), nullptr);
  EXPECT_EQ(FindTextChar(text, 'z'), nullptr);
  EXPECT_EQ(FindTextChar(text, 0), text + 5);
  // A lead byte at the very end does not swallow the terminator.
  const char cut[] = "ab\x95";
  EXPECT_EQ(FindTextChar(cut, 0), cut + 3);
  // Under a high-bit mode 0xA0 starts a character too.
  const char highBit[] = "\xA0\x5C\\";
  EXPECT_EQ(FindTextChar(highBit, '\\'), highBit + 1);
  ModeScope wide(2);
  EXPECT_EQ(FindTextChar(highBit, '\\'), highBit + 2);
}

TEST(TextHelpers, UpperCaseLeavesDoubleByteCharactersAlone) {
  ModeScope mode(1);
  // "ｱ" is single-byte 0xB1; 0x82 0x61 is a full-width letter whose trail byte is 'a'.
  char text[] =
      "ab\x82"
      "a"
      "c\xB1"
      "z";
  char* end = UpperCaseText(text);
  EXPECT_STREQ(text,
               "AB\x82"
               "a"
               "C\xB1"
               "Z");
  EXPECT_EQ(end, text + std::strlen(text));
}

TEST(TextHelpers, CompareText) {
  EXPECT_EQ(CompareText("abc", "abc"), 0);
  EXPECT_EQ(CompareText("abc", "abd"), 1);
  EXPECT_EQ(CompareText("abd", "abc"), 1);
  EXPECT_EQ(CompareText("ab", "abc"), 1);
  EXPECT_EQ(CompareText("", ""), 0);
  // N bytes are compared as bytes, NULs included.
  EXPECT_EQ(CompareTextN("ab\0x", "ab\0y", 3), 0);
  EXPECT_EQ(CompareTextN("ab\0x", "ab\0y", 4), 1);
  EXPECT_EQ(CompareTextN("a", "b", 0), 0);
}

TEST(TextHelpers, CopyTextNWritesAtMostNPlusOneBytes) {
  char buffer[8];
  std::memset(buffer, '#', sizeof(buffer));
  CopyTextN(buffer, "abcdef", 3);
  EXPECT_EQ(std::string(buffer, 5), std::string("abc\0#", 5));
  CopyTextN(buffer, "xy", 5);
  EXPECT_STREQ(buffer, "xy");
  CopyTextN(buffer, "xy", 0);
  EXPECT_STREQ(buffer, "");
  CopyTextN(buffer, "xy", -4);
  EXPECT_STREQ(buffer, "");
}

TEST(TextHelpers, CopyTextBoundedStaysInsideItsBuffer) {
  ModeScope mode(1);
  struct Case {
    const char* source;
    size_t size;
    std::string expected;
  } cases[] = {
      {"abcdef", 4, "abc"},
      {"abc", 4, "abc"},
      {"ab", 1, ""},
      {"a\x82\xA0"
       "b",
       3, "a"},  // the character would not fit whole
      {"a\x82\xA0"
       "b",
       4, "a\x82\xA0"},
      {"a\x82", 8, "a\x82"},  // a lone lead byte at the end is copied alone
  };
  for (const Case& c : cases) {
    char buffer[16];
    std::memset(buffer, '#', sizeof(buffer));
    CopyTextBounded(buffer, c.size, c.source);
    EXPECT_EQ(std::string(buffer), c.expected) << c.source;
    for (size_t i = c.size; i < sizeof(buffer); ++i)
      ASSERT_EQ(buffer[i], '#') << "wrote past the size";
  }
  char untouched = '#';
  CopyTextBounded(&untouched, 0, "abc");
  EXPECT_EQ(untouched, '#');
}

TEST(TextHelpers, IntToText) {
  struct Case {
    int value;
    int radix;
    const char* expected;
  } cases[] = {
      {0, 10, "0"},
      {255, 16, "ff"},
      {-10, 10, "-10"},
      {35, 36, "z"},
      {5, 2, "101"},
      {INT_MAX, 10, "2147483647"},
      {INT_MIN, 10, "-2147483648"},  // the magnitude of INT_MIN has no int, only an unsigned
      {INT_MIN, 2, "-10000000000000000000000000000000"},
      {7, 1, ""},
      {7, 37, ""},
  };
  for (const Case& c : cases) {
    char buffer[40];
    EXPECT_EQ(IntToText(c.value, buffer, c.radix), buffer);
    EXPECT_STREQ(buffer, c.expected) << c.value << " radix " << c.radix;
  }
}

TEST(ByteHelpers, FillCompareAndMove) {
  unsigned char a[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  FillBytes(a + 2, 0x1AB, 3);  // the value is taken as a byte
  const unsigned char filled[8] = {1, 2, 0xAB, 0xAB, 0xAB, 6, 7, 8};
  EXPECT_EQ(CompareBytes(a, filled, 8), 0);
  EXPECT_EQ(CompareBytes(a, filled + 1, 0), 0);
  EXPECT_EQ(CompareBytes(a, filled + 1, 1), 1);
  FillBytes(a, 0, 0);
  EXPECT_EQ(a[0], 1);
  unsigned char b[8] = {};
  EXPECT_EQ(MoveBytes(b, a, 8), 8u);
  EXPECT_EQ(CompareBytes(a, b, 8), 0);
}

TEST(ByteHelpers, OverlappedMovesInBothDirections) {
  char up[] = "abcdefgh";
  EXPECT_EQ(MoveBytesOverlapped(up + 2, up, 5), 5u);  // destination after the source
  EXPECT_STREQ(up, "ababcdeh");
  char down[] = "abcdefgh";
  MoveBytesOverlapped(down, down + 2, 5);
  EXPECT_STREQ(down, "cdefgfgh");
  char same[] = "abc";
  MoveBytesOverlapped(same, same, 3);
  EXPECT_STREQ(same, "abc");
}

}  // namespace

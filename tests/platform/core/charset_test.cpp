// Narrow literals must be Shift-JIS: the log and every message depend on it.
#include <cstring>

#include <gtest/gtest.h>

TEST(Charset, JapaneseLiteralsCompileToShiftJis) {
#if KELVANOR_CP932_LITERALS
  const unsigned char expected[] = {0x83, 0x74, 0x83, 0x8B, 0x83, 0x58, 0x83, 0x4E,
                                    0x83, 0x8A, 0x81, 0x5B, 0x83, 0x93, 0x82, 0xC5,
                                    0x8B, 0x4E, 0x93, 0xAE, 0x82, 0xB5, 0x82, 0xDC,
                                    0x82, 0xB7, 0x82, 0xA9, 0x81, 0x48, 0x00};
  const char* text = "フルスクリーンで起動しますか？";
  ASSERT_EQ(std::strlen(text), sizeof(expected) - 1);
  EXPECT_EQ(std::memcmp(text, expected, sizeof(expected)), 0);
  // A backslash stays a backslash, and "ソ" keeps its 0x5C trail byte.
  EXPECT_STREQ("\\", "\x5C");
  EXPECT_STREQ("ソ", "\x83\x5C");
#else
  GTEST_SKIP() << "this compiler keeps UTF-8 literals (fuzzing build)";
#endif
}

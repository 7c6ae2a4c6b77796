// Reading text for the glyph cache: the byte classes, requests that never read past the text,
// and the codes a request stands for.
#include "runtime/graphics/font/font_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Found by argument lookup, so it lives beside GlyphRequest in the global namespace.
static bool operator==(const GlyphRequest& a, const GlyphRequest& b) {
  return a.First == b.First && a.Second == b.Second && a.Zero == b.Zero;
}

namespace {

TEST(FontText, ClassifyCharByteWalksFromTheStart) {
  struct Case {
    const char* text;
    int mode;
    std::vector<int> classes;  // for positions 0, 1, ...
  } cases[] = {
      {"\x61\x82\xA0", 1, {0, 1, 2, -1}},
      {"\x82\x82\x82\xA0", 1, {1, 2, 1, 2, -1}},  // a trail byte that is also a lead byte
      {"\xA0\x41", 1, {0, 0, -1}},                // 0xA0 is a half-width character here
      {"\xA0\x41", 2, {1, 2, -1}},                // and a lead byte in the high-bit modes
      {"a\x82", 1, {0, -1, -1}},                  // a lead byte before the zero ends the walk
      {"", 1, {-1}},
  };
  for (const Case& c : cases)
    for (size_t p = 0; p < c.classes.size(); ++p)
      EXPECT_EQ(ClassifyCharByte(c.text, static_cast<int>(p), c.mode), c.classes[p])
          << "position " << p << " mode " << c.mode;
  EXPECT_EQ(ClassifyCharByte("abc", -1, 1), -1);
}

// The requests of a text of exactly `length` bytes, read from a heap block of that size so that
// the sanitizer sees any read past it.
std::vector<GlyphRequest> ReadAll(std::vector<unsigned char> bytes, int mode) {
  const int length = static_cast<int>(bytes.size());
  std::unique_ptr<char[]> text(new char[bytes.size()]);
  for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<char>(bytes[i]);
  std::vector<GlyphRequest> out;
  for (int p = 0; p < length;) {
    GlyphRequest r{0xEE, 0xEE, 0xEE};
    p += ReadGlyphRequest(text.get(), length, p, mode, &r);
    out.push_back(r);
  }
  return out;
}

TEST(FontText, RequestsTakePairsAndALoneLeadByteAtTheEnd) {
  EXPECT_EQ(ReadAll({0x41, 0x82, 0xA0, 0x42}, 1),
            (std::vector<GlyphRequest>{{0x41, 0, 0}, {0x82, 0xA0, 0}, {0x42, 0, 0}}));
  // The last byte is a lead byte: it stands alone and nothing after it is read.
  EXPECT_EQ(ReadAll({0x41, 0x82}, 1), (std::vector<GlyphRequest>{{0x41, 0, 0}, {0x82, 0, 0}}));
  EXPECT_EQ(ReadAll({0x82}, 1), (std::vector<GlyphRequest>{{0x82, 0, 0}}));
  EXPECT_EQ(ReadAll({0xA1, 0x41}, 1), (std::vector<GlyphRequest>{{0xA1, 0, 0}, {0x41, 0, 0}}));
  EXPECT_EQ(ReadAll({0xA1, 0x41}, 3), (std::vector<GlyphRequest>{{0xA1, 0x41, 0}}));
}

TEST(FontText, CodesOfARequest) {
  const GlyphRequest single = {0x41, 0, 0}, pair = {0x82, 0xA0, 0};
  EXPECT_EQ(GlyphOutlineCode(single), 0x41u);
  EXPECT_EQ(GlyphOutlineCode(pair), 0x82A0u);
  EXPECT_EQ(GlyphCodeIndex(single), 0x0041);
  EXPECT_EQ(GlyphCodeIndex(pair), 0xA082);
  EXPECT_TRUE(IsSpaceRequest({0x20, 0, 0}));
  EXPECT_TRUE(IsSpaceRequest({0x81, 0x40, 0}));
  EXPECT_FALSE(IsSpaceRequest({0x81, 0x41, 0}));
  EXPECT_FALSE(IsSpaceRequest({0x40, 0, 0}));
  EXPECT_FALSE(IsSpaceRequest({0x81, 0, 0}));
}

}  // namespace

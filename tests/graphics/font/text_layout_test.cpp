// Laying out runs of glyphs: the pen, the measured box, which glyphs are drawn and where.
#include "runtime/graphics/font/text_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "runtime/graphics/font/font_text.h"

namespace {

// A cache stand-in: records by code, the draws seen, and a code it cannot take.
struct FakeCache {
  std::map<int, GlyphRecord> records;
  int missing = -1;
  std::vector<std::pair<int, int>> draws;  // (code index, pen)

  static const GlyphRecord* Find(void* context, const GlyphRequest& request) {
    auto* cache = static_cast<FakeCache*>(context);
    const int code = GlyphCodeIndex(request);
    if (code == cache->missing) return nullptr;
    auto it = cache->records.find(code);
    return it == cache->records.end() ? nullptr : &it->second;
  }
  static void Draw(void* context, const GlyphRecord& glyph, int pen) {
    static_cast<FakeCache*>(context)->draws.emplace_back(glyph.Slot, pen);
  }
  void Add(const GlyphRequest& request, int advance, int width, int height) {
    GlyphRecord r{};
    r.Advance = static_cast<int16_t>(advance);
    r.Width = static_cast<int16_t>(width);
    r.Height = static_cast<int16_t>(height);
    r.Slot = GlyphCodeIndex(request);  // lets Draw tell glyphs apart
    records[GlyphCodeIndex(request)] = r;
  }
};

constexpr GlyphRequest kA = {'A', 0, 0}, kB = {'B', 0, 0}, kSpace = {' ', 0, 0},
                       kWideSpace = {0x81, 0x40, 0}, kBlank = {'_', 0, 0};

TEST(TextLayout, PenAddsAdvanceAndSpacingAcrossAndDown) {
  FakeCache cache;
  cache.Add(kA, 9, 7, 12);
  cache.Add(kB, 10, 8, 12);
  const GlyphRequest ab[] = {kA, kB};
  for (int vertical : {0, 1}) {
    SIZE size{};
    cache.draws.clear();
    EXPECT_EQ(
        LayOutGlyphRun(ab, 2, 2, 20, vertical, FakeCache::Find, FakeCache::Draw, &cache, &size),
        23);
    EXPECT_EQ(size.cx, vertical ? 20 : 23);
    EXPECT_EQ(size.cy, vertical ? 23 : 20);
    EXPECT_EQ(cache.draws, (std::vector<std::pair<int, int>>{{'A', 0}, {'B', 11}}));
  }
  // Measuring draws nothing; a negative spacing pulls the glyphs together.
  cache.draws.clear();
  EXPECT_EQ(LayOutGlyphRun(ab, 2, -3, 20, 0, FakeCache::Find, nullptr, &cache, nullptr), 13);
  EXPECT_TRUE(cache.draws.empty());
}

TEST(TextLayout, SpacesAndEmptyGlyphsOnlyMoveThePen) {
  FakeCache cache;
  cache.Add(kA, 9, 7, 12);
  cache.Add(kSpace, 5, 1, 1);
  cache.Add(kWideSpace, 10, 1, 1);
  cache.Add(kBlank, 4, 0, 0);
  const GlyphRequest text[] = {kSpace, kA, kWideSpace, kBlank, kA};
  EXPECT_EQ(LayOutGlyphRun(text, 5, 1, 16, 0, FakeCache::Find, FakeCache::Draw, &cache, nullptr),
            42);
  EXPECT_EQ(cache.draws, (std::vector<std::pair<int, int>>{{'A', 6}, {'A', 32}}));
}

TEST(TextLayout, AGlyphTheCacheCannotTakeStopsTheRun) {
  FakeCache cache;
  cache.Add(kA, 9, 7, 12);
  cache.Add(kB, 10, 8, 12);
  cache.missing = 'B';
  const GlyphRequest text[] = {kA, kB, kA};
  SIZE size{-5, -5};
  EXPECT_EQ(LayOutGlyphRun(text, 3, 0, 16, 0, FakeCache::Find, FakeCache::Draw, &cache, &size), -1);
  EXPECT_EQ(size.cx, -5);
  EXPECT_EQ(cache.draws.size(), 1u);
}

}  // namespace

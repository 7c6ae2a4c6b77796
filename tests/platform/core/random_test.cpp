#include "runtime/platform/core/random.h"

#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

namespace {

// The 1998 reference seeding, written out separately from the runtime's.
std::vector<uint32_t> ReferenceSeedWords(uint32_t seed) {
  std::vector<uint32_t> mt(624);
  for (int i = 0; i < 624; ++i) {
    mt[i] = seed & 0xFFFF0000u;
    seed = 69069u * seed + 1u;
    mt[i] |= (seed & 0xFFFF0000u) >> 16;
    seed = 69069u * seed + 1u;
  }
  return mt;
}

// An independent MT19937: the standard library's engine, loaded with the reference state and
// a used-up index so that its first call generates a fresh block from those words.
std::mt19937 ReferenceGenerator(uint32_t seed) {
  std::vector<uint32_t> words = ReferenceSeedWords(seed);
  std::stringstream text;
  for (uint32_t w : words) text << w << ' ';
  text << 624;  // libstdc++ keeps the position after the words
  std::mt19937 engine;
  text >> engine;
  return engine;
}

class Random : public testing::Test {
 protected:
  void SetUp() override { saved_ = RandomState; }
  void TearDown() override { RandomState = saved_; }
  RandomGenerator saved_;
};

TEST_F(Random, UnseededFirstDrawsUseSeed4357) {
  RandomState.index = kRandomStateWords;
  RandomState.seeded = 0;
  const uint32_t expected[] = {0xAAE64AC3u, 0x5E7C47DAu, 0xB98E8121u, 0xB010F327u};
  for (uint32_t e : expected) EXPECT_EQ(NextRandom(), e);
  EXPECT_EQ(RandomState.seeded, 1);
}

TEST_F(Random, SeedOneFirstDraws) {
  SeedRandom(1);
  const uint32_t expected[] = {0xD3F6B9E5u, 0xEF284157u, 0x0D3639C7u, 0x22F28ABFu};
  for (uint32_t e : expected) EXPECT_EQ(NextRandom(), e);
}

TEST_F(Random, MatchesAnIndependentGeneratorAcrossBlocks) {
  for (uint32_t seed : {1u, 4357u, 0u, 0xFFFFFFFFu, 0x12345678u}) {
    std::mt19937 reference = ReferenceGenerator(seed);
    SeedRandom(seed);
    // Three blocks and a bit: the 625th draw and later come from regenerated blocks.
    for (int i = 0; i < 3 * 624 + 10; ++i) {
      uint32_t want = static_cast<uint32_t>(reference());
      ASSERT_EQ(NextRandom(), want) << "seed " << seed << " draw " << i;
    }
  }
}

TEST_F(Random, SameSeedSameSequence) {
  SeedRandom(987654321u);
  std::vector<uint32_t> first;
  for (int i = 0; i < 1000; ++i) first.push_back(NextRandom());
  SeedRandom(987654321u);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(NextRandom(), first[i]) << i;
}

TEST_F(Random, PairwiseBlockEqualsWordwiseBlock) {
  SeedRandom(31337u);
  RandomGenerator start = RandomState;
  for (int round = 0; round < 4; ++round) {
    RandomState = start;
    GenerateRandomBlock();
    RandomGenerator wordwise = RandomState;
    RandomState = start;
    GenerateRandomBlockMmx();
    ASSERT_EQ(std::memcmp(wordwise.state, RandomState.state, sizeof wordwise.state), 0) << round;
    ASSERT_EQ(std::memcmp(wordwise.output, RandomState.output, sizeof wordwise.output), 0) << round;
    EXPECT_EQ(RandomState.index, 0);
    start = wordwise;
  }
}

TEST_F(Random, EitherBlockGeneratorGivesTheSameDraws) {
  for (int mmx : {0, 1}) {
    SeedRandom(1);
    RandomState.mmx = mmx;
    std::mt19937 reference = ReferenceGenerator(1);
    for (int i = 0; i < 2 * 624; ++i)
      ASSERT_EQ(NextRandom(), reference()) << "mmx " << mmx << " draw " << i;
  }
}

TEST_F(Random, RangeIsTheHighHalfOfTheScaledDraw) {
  struct Case {
    int max;
  } cases[] = {{0}, {1}, {2}, {6}, {10000}, {0x7FFFFFFF}};
  for (const Case& c : cases) {
    SeedRandom(2024u + static_cast<uint32_t>(c.max));
    std::mt19937 reference = ReferenceGenerator(2024u + static_cast<uint32_t>(c.max));
    for (int i = 0; i < 2000; ++i) {
      uint64_t draw = reference();
      int want = static_cast<int>((draw * (static_cast<uint64_t>(c.max) + 1)) >> 32);
      int got = GetRandomRange(c.max);
      ASSERT_EQ(got, want) << "max " << c.max;
      ASSERT_GE(got, 0);
      ASSERT_LE(got, c.max);
    }
  }
}

TEST_F(Random, RangeOfOneSplitsAtTheTopBit) {
  // Place chosen values in the output block to pin the boundary exactly.
  SeedRandom(5);
  const uint32_t draws[] = {0u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu};
  const int want[] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) RandomState.output[RandomState.index + i] = draws[i];
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetRandomRange(1), want[i]) << std::hex << draws[i];
  // Every value of a small range turns up.
  int seen[7] = {};
  for (int i = 0; i < 700; ++i) seen[GetRandomRange(6)]++;
  for (int v = 0; v < 7; ++v) EXPECT_GT(seen[v], 0) << v;
}

}  // namespace

// The shader pack loader on packs made here, the embedded pack against its generator, and a
// fuzz smoke test of the size-table walk.
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/shader_pack.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tools/lib/archive_writer.h"
#include "tools/lib/lz_encoder.h"
#include "tools/lib/shader_pack_writer.h"

namespace {

class ShaderPackLoad : public testing::Test {
 protected:
  void SetUp() override { FreeShaderPack(); }
  void TearDown() override { FreeShaderPack(); }

  static int Load(const std::vector<uint8_t>& block) {
    return LoadShaderPackFromBlock(block.data(), block.size());
  }
  static bool AllNull() {
    for (const uint8_t* p : VertexShaderCode)
      if (p) return false;
    for (const uint8_t* p : PixelShaderCode)
      if (p) return false;
    return true;
  }
  // The pack with the size table rewritten (sizes little-endian u16).
  static std::vector<uint8_t> WithSize(std::vector<uint8_t> pack, int slot, int size) {
    pack[slot * 2] = static_cast<uint8_t>(size);
    pack[slot * 2 + 1] = static_cast<uint8_t>(size >> 8);
    return pack;
  }
};

const uint8_t* SlotCode(int slot) {
  return slot < kVertexShaderSlots ? VertexShaderCode[slot]
                                   : PixelShaderCode[slot - kVertexShaderSlots];
}

// Every slot but every seventh holds 1 to 3 bytes naming it; each lands where it belongs.
TEST_F(ShaderPackLoad, ASyntheticPackIndexesEverySlot) {
  std::vector<ShaderPackSlot> slots;
  for (int i = 0; i < kShaderSizeEntries; ++i) {
    if (i % 7 == 0) continue;
    std::vector<uint8_t> code(static_cast<size_t>(i % 3 + 1));
    for (size_t k = 0; k < code.size(); ++k) code[k] = static_cast<uint8_t>(i >> (8 * k));
    slots.push_back({i, code});
  }
  ASSERT_EQ(Load(BuildShaderPackBlock(BuildShaderPack(slots))), 1);
  for (int i = 0; i < kShaderSizeEntries; ++i) {
    const uint8_t* code = SlotCode(i);
    if (i % 7 == 0) {
      ASSERT_EQ(code, nullptr) << i;
      continue;
    }
    ASSERT_NE(code, nullptr) << i;
    for (int k = 0; k < i % 3 + 1; ++k) ASSERT_EQ(code[k], static_cast<uint8_t>(i >> (8 * k))) << i;
  }
}

TEST_F(ShaderPackLoad, AllZeroSizesGiveNullTablesAndASecondLoadDecodesNothing) {
  ASSERT_EQ(Load(BuildShaderPackBlock(BuildShaderPack({}))), 1);
  EXPECT_TRUE(AllNull());
  uint8_t* pack = ShaderPack;
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  const uint8_t garbage[16] = {};
  EXPECT_EQ(LoadShaderPackFromBlock(garbage, sizeof(garbage)), 1);
  EXPECT_EQ(ShaderPack, pack);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

// Broken packs fail with nothing indexed and nothing left allocated.
TEST_F(ShaderPackLoad, ABadPackFailsCleanly) {
  const std::vector<uint8_t> empty = BuildShaderPack({});
  std::vector<uint8_t> spilling = WithSize(empty, 5, 3);  // 3 code bytes that are not there
  std::vector<uint8_t> shortTable(empty.begin(), empty.end() - 2);
  ArchiveWriterEntry other;
  other.path = "Other.bin";
  other.data = empty;
  std::vector<uint8_t> corrupt = BuildShaderPackBlock(empty);
  corrupt[20] ^= 0x5A;
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> blocks = {
      {"table past the pack", BuildShaderPackBlock(spilling)},
      {"short table", BuildShaderPackBlock(shortTable)},
      {"no entry", EncodeLzBlock(BuildArchiveImage({other}))},
      {"not an archive", EncodeLzBlock(empty)},
      {"damaged block", corrupt},
      {"cut block", std::vector<uint8_t>(corrupt.begin(), corrupt.begin() + 30)},
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  for (const auto& [what, block] : blocks) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Load(block), 0);
    EXPECT_EQ(ShaderPack, nullptr);
    EXPECT_EQ(ShaderArchiveImage, nullptr);
    EXPECT_TRUE(AllNull());
    EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
  }
  // A good pack still loads afterwards.
  EXPECT_EQ(Load(BuildShaderPackBlock(WithSize(empty, 5, 0))), 1);
}

TEST_F(ShaderPackLoad, TheEmbeddedPackIsWhatTheGeneratorWritesAndLoads) {
  const std::vector<uint8_t> regenerated = BuildShaderPackBlock(BuildShaderPack({}));
  ASSERT_EQ(regenerated.size(), EmbeddedShaderPackBlockSize);
  EXPECT_EQ(std::memcmp(regenerated.data(), EmbeddedShaderPackBlock, regenerated.size()), 0);
  ASSERT_EQ(LoadShaderPack(), 1);
  EXPECT_EQ(ShaderPackSize, kShaderSizeTableBytes);
  EXPECT_EQ(VertexShaderCode[kLibraryVertexShaderSlot], nullptr);
}

// Random size tables over packs a little short or long: the loader indexes only what fits.
TEST_F(ShaderPackLoad, FuzzSmokeSizeTables) {
  std::mt19937 rng(2108);
  const std::vector<uint8_t> empty = BuildShaderPack({});
  for (int round = 0; round < 40; ++round) {
    std::vector<uint8_t> pack = empty;
    int total = 0;
    for (int k = 0; k < 1 + static_cast<int>(rng() % 6); ++k) {
      const int slot = static_cast<int>(rng() % kShaderSizeEntries);
      const int size = static_cast<int>(rng() % 64);
      pack = WithSize(pack, slot, size);
    }
    for (int i = 0; i < kShaderSizeEntries; ++i) total += pack[i * 2] | pack[i * 2 + 1] << 8;
    const int extra = total + static_cast<int>(rng() % 9) - 4;
    pack.resize(pack.size() + static_cast<size_t>(extra > 0 ? extra : 0), 0xCC);
    const bool fits = extra >= total;
    std::vector<uint8_t> block = BuildShaderPackBlock(pack);
    if (round % 4 == 3)
      block[9 + rng() % (block.size() - 9)] ^= static_cast<uint8_t>(1 + rng() % 255);
    const int loaded = Load(block);
    if (round % 4 != 3) { EXPECT_EQ(loaded, fits ? 1 : 0) << round; }
    if (loaded) {
      for (int i = 0; i < kShaderSizeEntries; ++i) {
        const uint8_t* code = SlotCode(i);
        const int size = ShaderPack[i * 2] | ShaderPack[i * 2 + 1] << 8;
        if (code) { ASSERT_LE(code + size, ShaderPack + ShaderPackSize); }
      }
    }
    FreeShaderPack();
  }
}

}  // namespace

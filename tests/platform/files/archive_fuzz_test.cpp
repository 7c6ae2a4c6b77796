// Fuzz smoke test: thousands of mutated archives and LZ blocks, from a fixed seed, run through
// the same exercise as the libFuzzer targets; under the sanitizers anything but a clean
// refusal or an in-bounds read fails the test.
#include <filesystem>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/platform/files/archive_reader.h"
#include "tests/fuzz/archive_fuzz_input.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tools/lib/archive_writer.h"
#include "tools/lib/lz_encoder.h"

namespace {

std::vector<ArchiveWriterEntry> SeedTree(int version) {
  std::vector<ArchiveWriterEntry> e(6);
  e[0].path = "a.txt", e[0].data = MakeArchiveTestData(300, 1, 1);
  e[1].path = "IMG\\A.PNG", e[1].data = MakeArchiveTestData(2000, 1, 2);
  e[2].path = "IMG\\deep\\x.bin", e[2].data = MakeArchiveTestData(700, 2, 3);
  e[3].path = "IMG\\ソ", e[3].data = MakeArchiveTestData(50, 0, 4);
  e[4].path = "empty", e[4].directory = true;
  e[5].path = "z", e[5].data = {};
  for (auto& x : e) x.compress = version >= 2 ? 1 : 0;
  e[0].compress = 0;
  return e;
}

// A mutation of the plain bytes, aimed mostly at the header and the table block where the
// offsets and counts live.
void Mutate(ArchiveBytes& plain, std::mt19937& rng) {
  const ArchiveHeader h = PlainArchiveHeader(plain);
  const size_t tableStart = std::min<size_t>(h.TableBlockOffset, plain.size());
  const uint32_t interesting[] = {0,
                                  1,
                                  8,
                                  9,
                                  0x7FFFFFFF,
                                  0x80000000u,
                                  0xFFFFFFFFu,
                                  0xFFFFFFF0u,
                                  static_cast<uint32_t>(plain.size()),
                                  static_cast<uint32_t>(plain.size() - 1)};
  int edits = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < edits; ++i) {
    size_t at;
    switch (rng() % 4) {
      case 0:
        at = rng() % std::min<size_t>(28, plain.size());
        break;
      case 1:
      case 2:
        at = tableStart + rng() % std::max<size_t>(1, plain.size() - tableStart);
        break;
      default:
        at = rng() % plain.size();
        break;
    }
    if (at >= plain.size()) at = plain.size() - 1;
    if (rng() % 2 && at + 4 <= plain.size()) {
      PutLe32(plain, at & ~size_t{3}, interesting[rng() % std::size(interesting)]);
    } else {
      plain[at] = static_cast<uint8_t>(rng());
    }
  }
  if (rng() % 16 == 0) plain.resize(rng() % plain.size());
}

TEST(ArchiveFuzzSmoke, MutatedArchivesInMemory) {
  std::mt19937 rng(0x5EED0001);
  std::vector<std::pair<ArchiveBytes, ArchiveWriterOptions>> seeds;
  for (int version : {1, 3, 4}) {
    ArchiveWriterOptions o;
    o.version = version;
    seeds.emplace_back(BuildArchiveImage(SeedTree(version), o), o);
  }
  int opened = 0;
  for (int round = 0; round < 4000; ++round) {
    const auto& [seed, options] = seeds[rng() % seeds.size()];
    ArchiveBytes image = seed;
    PatchArchivePlain(image, options, [&](ArchiveBytes& plain) { Mutate(plain, rng); });
    ArchiveRecord probe;
    ClearArchiveRecord(&probe);
    ArchiveBytes copy = image;
    if (!copy.empty() && OpenArchiveInMemory(&probe, copy.data(), copy.size(), nullptr) == 0) {
      ++opened;
      CloseArchive(&probe);
    }
    archive_fuzz::ExerciseArchiveImage(image.data(), image.size());
    ASSERT_FALSE(HasFatalFailure()) << "round " << round;
  }
  // The mutations must leave most archives openable, or the walk is never reached.
  EXPECT_GT(opened, 1000);
}

TEST(ArchiveFuzzSmoke, MutatedArchiveFiles) {
  std::mt19937 rng(0x5EED0002);
  ArchiveWriterOptions o;
  o.version = 4;
  const ArchiveBytes seed = BuildArchiveImage(SeedTree(4), o);
  TempFolder folder;
  const auto path = std::filesystem::path(folder.path()) / "fuzz.arc";
  for (int round = 0; round < 400; ++round) {
    ArchiveBytes image = seed;
    PatchArchivePlain(image, o, [&](ArchiveBytes& plain) { Mutate(plain, rng); });
    WriteFileBytes(path, image);
    ArchiveRecord record;
    ClearArchiveRecord(&record);
    if (OpenArchiveFile(&record, path.c_str(), nullptr) == 0) {
      archive_fuzz::ExerciseOpenArchive(&record);
      CloseArchive(&record);
    }
  }
}

TEST(ArchiveFuzzSmoke, MutatedLzBlocks) {
  std::mt19937 rng(0x5EED0003);
  std::vector<ArchiveBytes> seeds;
  for (int kind = 0; kind < 3; ++kind)
    seeds.push_back(EncodeLzBlock(MakeArchiveTestData(3000, kind, 7 + kind)));
  seeds.push_back(EncodeLzBlock(MakeArchiveTestData(20000, 2, 10)));
  int decoded = 0;
  for (int round = 0; round < 6000; ++round) {
    ArchiveBytes block = seeds[rng() % seeds.size()];
    int edits = 1 + static_cast<int>(rng() % 3);
    for (int i = 0; i < edits; ++i) {
      size_t at = rng() % 3 == 0 ? rng() % 9 : rng() % block.size();
      block[at] = static_cast<uint8_t>(rng() % 2 ? rng() : block[at] ^ (1u << (rng() % 8)));
    }
    if (rng() % 8 == 0) block.resize(rng() % block.size());
    std::vector<uint8_t> out(1 << 15);
    if (DecodeLzBlock(block.data(), block.size(), out.data(), out.size()) >= 0) ++decoded;
    archive_fuzz::ExerciseLzBlock(block.data(), block.size());
  }
  // Some mutations (in literals) still decode: the decoder is exercised to the end.
  EXPECT_GT(decoded, 100);
}

}  // namespace

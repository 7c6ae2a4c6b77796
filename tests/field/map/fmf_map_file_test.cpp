// The FMF reader on maps from the writer: cells read back, damaged headers refused with their
// log line from a file and from memory, and mutated maps read within their buffers.
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/platform/core/log.h"
#include "stg_src/field/map/fmf_map_file.h"
#include "tests/fuzz/fmf_map_fuzz_input.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tools/lib/fmf_map_writer.h"

namespace {

std::string AsString(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// 3 x 2 cells, two layers.
const char kSmallMap[] = R"(size 3 2
layers 2
chip 40 20
palette 1 12
cell 0 0 0 5
cell 0 2 1 raw:0x1234
cell 1 1 0 25
cell 1 2 0 raw:0xFFFE
)";

TEST(FmfMapFileTest, CellsReadBackAsWritten) {
  for (int bits : {16, 8}) {
    SCOPED_TRACE(bits);
    std::string text = std::string(kSmallMap) + "bits " + std::to_string(bits) + "\n";
    if (bits == 8) text = "size 3 2\nlayers 2\nbits 8\ncell 0 0 0 5\ncell 1 2 1 raw:200\n";
    const std::vector<uint8_t> bytes = BuildFmfMap(text);
    MapFile map;
    InitMapFile(&map);
    ASSERT_EQ(LoadMapFileFromMemory(&map, bytes.data(), bytes.size(), "small.fmf"), 1);
    EXPECT_EQ(GetMapFileWidth(&map), 3);
    EXPECT_EQ(GetMapFileHeight(&map), 2);
    EXPECT_EQ(GetMapFileLayerCount(&map), 2);
    EXPECT_EQ(map.header.dataSize, 12u * bits / 8);
    const int empty = bits == 8 ? 0xFF : 0xFFFF;
    EXPECT_EQ(GetMapFileCell(&map, 0, 0, 0), 5);
    EXPECT_EQ(GetMapFileCell(&map, 0, 1, 0), empty);
    if (bits == 16) {
      EXPECT_EQ(map.header.chipHeight, 20);
      EXPECT_EQ(GetMapFileCell(&map, 0, 2, 1), 0x1234);
      EXPECT_EQ(GetMapFileCell(&map, 1, 1, 0), 0x0201);  // chip 25 of a 12-column sheet
      EXPECT_EQ(GetMapFileCell(&map, 1, 2, 0), 0xFFFE);
    } else {
      EXPECT_EQ(GetMapFileCell(&map, 1, 2, 1), 200);
    }
    // Layer numbers are bytes for the layer pointer, whole numbers for the cells.
    EXPECT_EQ(GetMapFileLayer(&map, 256), GetMapFileLayer(&map, 0));
    EXPECT_EQ(GetMapFileLayer(&map, 2), nullptr);
    for (auto [layer, x, y] : {std::tuple{-1, 0, 0},
                               {2, 0, 0},
                               {256, 0, 0},
                               {0, -1, 0},
                               {0, 3, 0},
                               {0, 0, 2},
                               {0, 0, -2},
                               {0, 1 << 30, 0}}) {
      EXPECT_EQ(GetMapFileCell(&map, layer, x, y), -1) << layer << " " << x << " " << y;
    }
    FreeMapFile(&map);
    EXPECT_EQ(GetMapFileLayer(&map, 0), nullptr);
    EXPECT_EQ(GetMapFileCell(&map, 0, 0, 0), -1);
  }
}

TEST(FmfMapFileTest, SpareBytesAfterTheLayersAreAccepted) {
  const std::vector<uint8_t> bytes =
      BuildFmfMap(std::string(kSmallMap) + "damage size 30\ndamage extend 6\n");
  MapFile map;
  InitMapFile(&map);
  ASSERT_EQ(LoadMapFileFromMemory(&map, bytes.data(), bytes.size(), "spare.fmf"), 1);
  EXPECT_EQ(GetMapFileCell(&map, 1, 2, 0), 0xFFFE);
  DestroyMapFile(&map);
}

TEST(FmfMapFileTest, DamagedFilesAreRefusedWithTheirReason) {
  struct Case {
    const char* damage;
    const char* reason;
  } cases[] = {
      {"damage magic FMF-", "先頭が FMF_ ではありません"},
      {"damage cut 19", "ヘッダが 20 バイトに足りません"},
      {"damage cut 0", "ヘッダが 20 バイトに足りません"},
      {"damage bits 4", "セルのビット数 4 は 8 でも 16 でもありません"},
      {"damage bits 32", "セルのビット数 32 は"},
      {"damage width 0", "幅か高さが 0 です"},
      {"damage height 0", "幅か高さが 0 です"},
      {"damage size 23", "データの大きさ 23 が 2 層 3 x 2 に足りません"},
      {"damage layers 3", "データの大きさ 24 が 3 層 3 x 2 に足りません"},
      {"damage width 4294967295\ndamage height 4294967295", "4294967295 x 4294967295 に足りません"},
      {"damage width 65536\ndamage height 65536\ndamage layers 255", "に足りません"},
      {"damage cut 43", "データの大きさ 24 がファイルの残り 23 バイトを超えます"},
      {"damage size 4294967295", "データの大きさ 4294967295 がファイルの残り 24 バイトを超えます"},
  };
  const std::vector<uint8_t> good = BuildFmfMap(kSmallMap);
  TempFolder folder;
  ScopedCurrentDirectory current(folder.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.damage);
    const std::vector<uint8_t> bytes = BuildFmfMap(std::string(kSmallMap) + c.damage + "\n");
    folder.WriteFile("bad.fmf", AsString(bytes));
    LogCapture log;
    MapFile map;
    InitMapFile(&map);
    ASSERT_EQ(LoadMapFileFromMemory(&map, good.data(), good.size(), "good.fmf"), 1);
    EXPECT_EQ(LoadMapFile(&map, "bad.fmf"), 0);
    EXPECT_EQ(map.data, nullptr);
    ASSERT_EQ(LoadMapFileFromMemory(&map, good.data(), good.size(), "good.fmf"), 1);
    EXPECT_EQ(LoadMapFileFromMemory(&map, bytes.data(), bytes.size(), "memory.fmf"), 0);
    EXPECT_EQ(map.data, nullptr);
    const std::vector<std::string> lines = SplitLogLines(log.Contents());
    ASSERT_EQ(lines.size(), 2u);
    for (const char* name : {"bad.fmf", "memory.fmf"}) {
      const std::string& line = lines[name[0] == 'b' ? 0 : 1];
      EXPECT_NE(line.find(std::string("FMFマップを読み込めません：") + name), std::string::npos)
          << line;
      EXPECT_NE(line.find(c.reason), std::string::npos) << line;
    }
  }
  LogCapture log;
  MapFile map;
  InitMapFile(&map);
  EXPECT_EQ(LoadMapFile(&map, "missing.fmf"), 0);
  EXPECT_NE(log.Contents().find("missing.fmf（ファイルを開けません）"), std::string::npos);
}

TEST(FmfMapFileTest, TheWriterRefusesWhatItCannotWrite) {
  const char* bad[] = {
      "size 3 2\nlayers 1\nfrobnicate\n",
      "size 3 2\nlayers 1\ncell 0 3 0 1\n",
      "size 3 2\nlayers 1\ncell 1 0 0 1\n",
      "size 3 2\nlayers 1\nbits 8\ncell 0 0 0 16\n",
      "size 3 2\nlayers 1\ncell 0 0 0 raw:0x10000\n",
      "size 3 2\nlayers 1\ngrid 0 0\n...\n",
      "size 3 2\nlayers 1\ngrid 0 0\n.x.\nend\n",
      "size 3 2\nlayers 1\nlegend a 0=1\ngrid 1 1\naaa\nend\n",
      "cell 0 0 0 1\nsize 3 2\nlayers 1\n",
      "size 3 2\n",
      "size 3 2\nlayers 1\ncell 0 0 0 -3\n",
  };
  for (const char* text : bad) EXPECT_THROW(BuildFmfMap(text), std::invalid_argument) << text;
  // A grid writes every layer its legend names; '.' and ' ' leave a cell.
  const std::vector<uint8_t> bytes =
      BuildFmfMap("size 3 1\nlayers 2\nlegend a 0=7 1=-\nrect 1 0 0 3 1 2\ngrid 0 0\na. \nend\n");
  MapFile map;
  InitMapFile(&map);
  ASSERT_EQ(LoadMapFileFromMemory(&map, bytes.data(), bytes.size(), "grid.fmf"), 1);
  EXPECT_EQ(GetMapFileCell(&map, 0, 0, 0), 7);
  EXPECT_EQ(GetMapFileCell(&map, 1, 0, 0), 0xFFFF);
  EXPECT_EQ(GetMapFileCell(&map, 1, 1, 0), 2);
  EXPECT_EQ(GetMapFileCell(&map, 0, 2, 0), 0xFFFF);
  DestroyMapFile(&map);
}

// Mutations aimed mostly at the header, where the sizes live.
std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
  const uint32_t interesting[] = {
      0,  1,  2,          7,           8,           15,
      16, 17, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, static_cast<uint32_t>(bytes.size())};
  const int edits = 1 + static_cast<int>(rng() % 3);
  for (int i = 0; i < edits; ++i) {
    const size_t at = rng() % 2 ? rng() % 20 : rng() % bytes.size();
    if (rng() % 2 && at + 4 <= 20) {
      const uint32_t v = interesting[rng() % std::size(interesting)];
      for (int b = 0; b < 4; ++b) bytes[(at & ~size_t{3}) + b] = static_cast<uint8_t>(v >> (8 * b));
    } else {
      bytes[at] = static_cast<uint8_t>(rng());
    }
  }
  if (rng() % 8 == 0) bytes.resize(rng() % bytes.size());
  return bytes;
}

TEST(FmfMapFileTest, FuzzSmokeMutatedMapsReadInBounds) {
  struct QuietLog {
    QuietLog() { SetLogOutput(0); }
    ~QuietLog() { SetLogOutput(1); }
  } quiet;
  std::mt19937 rng(0x5EED00F1);
  const std::vector<std::vector<uint8_t>> seeds = {
      BuildFmfMap(kSmallMap),
      BuildFmfMap("size 7 5\nlayers 5\nrect 2 0 0 7 5 1\ncell 2 1 1 16\ncell 2 3 1 17\n"
                  "cell 3 2 2 144\ncell 4 2 2 3\ncell 0 4 4 200\n"),
      BuildFmfMap("size 9 4\nlayers 3\nbits 8\nrect 0 1 1 3 2 7\n"),
  };
  int loaded = 0;
  for (int round = 0; round < 5000; ++round) {
    const std::vector<uint8_t> bytes = Mutate(seeds[rng() % seeds.size()], rng);
    if (fmf_fuzz::ExerciseMapBytes(bytes.data(), bytes.size())) ++loaded;
  }
  // Enough mutations must still load, or the cell reads are never reached.
  EXPECT_GT(loaded, 500);
}

}  // namespace

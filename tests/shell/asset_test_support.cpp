#include "tests/shell/asset_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <vector>

#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/sound/sound_handles.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/sound_files.h"

namespace {

void WriteBytes(const TempFolder& folder, const std::string& path, const ByteString& bytes) {
  std::filesystem::create_directories(
      std::filesystem::path(folder.path() + "/" + path).parent_path());
  folder.WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

bool EndsWithPng(std::string path) {
  std::transform(path.begin(), path.end(), path.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
}

// Representative files of every loader; the others are missing.
struct Sheet {
  const char* path;
  int cellWidth, cellHeight, columns, rows;
};

const Sheet kSheets[] = {
    {"data/robo/jiki.bmp", 64, 64, 1, 7},
    {"data/robo/jiki0_jet.bmp", 256, 32, 1, 5},
    {"data/font.png", 20, 20, 16, 16},
    {"data/effect/bak5.bmp", 39, 39, 1, 6},
    {"data/effect/bak5_2.bmp", 39, 39, 1, 6},
    {"data/effect/bak16.png", 40, 40, 3, 2},
    {"data/effect/bak16_2.png", 52, 52, 3, 2},
    {"data/weapon/missile.png", 40, 40, 4, 2},
    {"data/weapon/vulcan_lav1.png", 76, 76, 4, 2},
    {"data/weapon/vulcan_lav2.png", 86, 86, 4, 2},
    {"data/weapon/vulcan_lav3.png", 96, 96, 4, 2},
    {"data/title/title.png", 400, 160, 1, 1},
    {"data/title/weaponback.bmp", 64, 48, 1, 1},
    {"data/map/stage4_1/map4b.bmp", 80, 80, 12, 12},
    {"data/map/stage4_1/map4b2.bmp", 80, 80, 12, 12},
    {"data/title/kelv.png", 128, 48, 1, 1},
    {"data/title/weaponback2.png", 64, 40, 1, 1},
    {"data/title/menu_bg.png", 220, 28, 1, 1},
    {"data/title/menu_bg_.png", 220, 28, 1, 1},
    {"data/title/quorvwaku.bmp", 64, 32, 1, 1},
    {"data/title/beam2.png", 640, 40, 1, 8},
    {"data/title/beam.png", 640, 80, 1, 8},
    {"data/demo/logo.bmp", 96, 64, 1, 1},
    {"data/weapon/weaponselect.bmp", 48, 32, 1, 1},
    {"data/weapon/weaponiconcursor.bmp", 64, 74, 2, 1},
    {"data/board/geji.png", 253, 20, 1, 3},
    {"data/enemy/all/enemyR1_000.bmp", 40, 40, 5, 3},
    {"data/bullet/laser02yokoku.bmp", 160, 18, 1, 2},
    {"data/bullet/laser1.bmp", 64, 32, 1, 1},
    {"data/map/stage1_1/map1b.bmp", 80, 80, 12, 12},
    {"data/map/stage1_1/map1b2.bmp", 80, 80, 12, 12},
    {"data/map/stage1_1/map1_2.bmp", 40, 40, 16, 16},
    {"data/map/stage1_1/map1_1.bmp", 40, 40, 16, 16},
    {"data/map/stage1_1/map1b_2.bmp", 640, 400, 1, 1},
    {"data/enemy/stage1/roboasi.bmp", 256, 256, 1, 1},
    {"data/enemy/stage1/boss1.bmp", 128, 128, 2, 2},
    {"data/enemy/stage1/enemyR1_12.bmp", 64, 128, 5, 1},
    {"data/map/stage3_1/map3_2.bmp", 40, 40, 16, 16},
    {"data/enemy/stage3/fire.bmp", 320, 560, 2, 1},
    {"data/enemy/stage6/roboasi.bmp", 348, 384, 1, 1},
    {"data/enemy/stage6/bossani.png", 64, 64, 2, 2},
    {"data/enemy/stage6/enemyR1_14.bmp", 160, 160, 2, 2},
    {"data/enemy/stage6/enemyR1_14_2.bmp", 80, 80, 2, 2},
};

}  // namespace

void WriteRepresentativeSheets(const TempFolder& folder) {
  for (const Sheet& s : kSheets) {
    WriteImageSheet(folder, s.path, s.cellWidth, s.cellHeight, s.columns, s.rows);
  }
}

void WriteImageSheet(const TempFolder& folder, const std::string& path, int cellWidth,
                     int cellHeight, int columns, int rows) {
  const SheetPixel flat = [](int, int) { return 0xFF3060A0u; };
  const int width = cellWidth * columns, height = cellHeight * rows;
  WriteBytes(
      folder, path,
      EndsWithPng(path) ? MakePngSheet(width, height, flat) : MakeBmpSheet(width, height, flat));
}

void WriteEffectSound(const TempFolder& folder, const std::string& path) {
  std::vector<int16_t> samples(2205);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(i % 64 * 256 - 8192);
  const Bytes wav = PcmWavFile(16, 1, 44100, Samples16ToBytes(samples));
  WriteBytes(folder, path, ByteString(wav.begin(), wav.end()));
}

void ExpectGraphs(std::span<const int32_t> entries, int width, int height,
                  const std::string& label) {
  std::set<int32_t> seen;
  for (size_t i = 0; i < entries.size(); ++i) {
    int w = 0, h = 0;
    EXPECT_EQ(GetGraphDimensions(entries[i], &w, &h), 0) << label << " entry " << i;
    EXPECT_EQ(w, width) << label << " entry " << i;
    EXPECT_EQ(h, height) << label << " entry " << i;
    EXPECT_TRUE(seen.insert(entries[i]).second) << label << " entry " << i << " repeats a handle";
  }
}

void ExpectNoGraphs(std::span<const int32_t> entries, const std::string& label) {
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_FALSE(IsGraphHandleValid(entries[i])) << label << " entry " << i;
    EXPECT_TRUE(entries[i] == 0 || entries[i] == -1)
        << label << " entry " << i << ": " << entries[i];
  }
}

bool IsLiveSound(int handle) { return IsSoundPlaying(handle) >= 0; }

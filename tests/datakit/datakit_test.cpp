// The game data kit: its files follow the game's names, sizes and rules, load through the
// runtime's image and sound loaders, and come out the same on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/platform/files/archive_reader.h"
#include "runtime/sound/sound_converter.h"
#include "tests/support/memory_data_stream.h"
#include "tests/support/temp_folder.h"
#include "tools/datakit/audio.h"
#include "tools/datakit/image_encode.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/stages/stage_kits.h"

namespace {

// ctest runs every test in a process of its own, so each builds only the part of the kit it
// looks at: the images, the sounds, or a small cross-section.
const char* const kImages = "*.[bBpP][mMnN][pPgG]";

std::map<std::string, std::vector<uint8_t>> Build(const char* pattern) {
  std::map<std::string, std::vector<uint8_t>> m;
  for (KitFile& f : BuildKitFiles(pattern, 0)) m[f.path] = std::move(f.bytes);
  return m;
}

const std::map<std::string, std::vector<uint8_t>>& Images() {
  static const std::map<std::string, std::vector<uint8_t>> images = Build(kImages);
  return images;
}

const KitImage* FindImage(const std::string& path) {
  for (const KitImageGroup& g : KitImageGroups())
    for (const KitImage& i : g.images)
      if (path == i.path) return &i;
  return nullptr;
}

struct Decoded {
  GraphImage image{};
  bool ok = false;
  explicit Decoded(const std::vector<uint8_t>& bytes) {
    ok = ReadImageToGraphImage(nullptr, bytes.data(), static_cast<int>(bytes.size()), 1, &image,
                               0) == 0;
  }
  ~Decoded() {
    if (ok) FreeGraphImage(&image);
  }
  // Visible: not the key in a BMP, not fully transparent in a PNG.
  bool Visible(int x, int y, bool bmp, uint32_t* rgb, uint32_t* rgba = nullptr) {
    int r, g, b, a;
    GetGraphImagePixel(&image, x, y, &r, &g, &b, &a);
    *rgb = static_cast<uint32_t>(r << 16 | g << 8 | b);
    if (rgba) *rgba = *rgb | static_cast<uint32_t>(bmp ? 0 : a) << 24;
    return bmp ? *rgb != 0xFF00FF : a > 0;
  }
};

TEST(DataKit, EveryFileTheGameLoadsIsThereOnceByItsExactName) {
  std::map<std::string, int> kit;
  for (const std::string& path : KitFilePaths("")) ++kit[path];
  std::set<std::string> images;
  for (const KitImageGroup& g : KitImageGroups())
    for (const KitImage& i : g.images) {
      SCOPED_TRACE(i.path);
      EXPECT_TRUE(images.insert(i.path).second) << "listed twice";
      EXPECT_EQ(kit.count(i.path), 1u);
      EXPECT_LE(i.count, i.columns * i.rows);
    }
  // Spellings whose case matters, sheets loaded by several tables, and the templated chips.
  for (const char* path : {"data/weapon/UNLOCKED.bmp", "data/bullet/stage3/flame.PNG",
                           "data/bullet/stage3/flame_zanzou.PNG", "data/enemy/stage6/bossShell.bmp",
                           "data/enemy/stage3/snakepartsTail.bmp", "data/robo/jiki0_jet2.bmp",
                           "data/map/stage7_1/map7_2.bmp", "data/map/stage2_1/map2_1.bmp",
                           "data/map/stage1_1/map1b_2.bmp"})
    EXPECT_EQ(kit.count(path), 1u) << path;
  EXPECT_EQ(kit.count("data/map/stage3_1/map3_1.bmp"), 0u);
  // Sound effect slots 0-48, 50 and 51, the stages' own, and the thirteen pieces of music.
  std::set<int> slots;
  int music = 0;
  for (const KitSound& s : KitSounds()) {
    EXPECT_EQ(kit.count(s.path), 1u) << s.path;
    if (s.kind == SoundKind::Effect)
      slots.insert(s.id);
    else
      ++music;
  }
  std::set<int> expected;
  for (int i = 0; i <= 48; ++i) expected.insert(i);
  expected.insert(50), expected.insert(51);
  for (int stage = 1; stage <= 7; ++stage)
    for (const KitSound& s : StageKitOf(stage).sounds) expected.insert(s.id);
  EXPECT_EQ(slots, expected);
  EXPECT_EQ(music, 13);
  EXPECT_EQ(kit.count("data/ed.txt"), 1u);
  EXPECT_EQ(kit.count("data/mihon.rpy"), 1u);
}

TEST(DataKit, ImagesLoadAtTheirSizesAndShowSomethingThatMovesInsideAClearMargin) {
  struct Size {
    const char* path;
    int w, h;
  } fixed[] = {
      {"data/title/weaponback.bmp", 640, 480},
      {"data/weapon/weaponselect.bmp", 640, 480},
      {"data/title/weaponback2.png", 640, 480},
      {"data/title/quorvwaku.bmp", 640, 480},
      {"data/board/board.bmp", 640, 80},
      {"data/title/kelv.png", 1280, 480},
      {"data/map/stage4_1/map4b.bmp", 960, 960},
      {"data/map/stage4_1/map4b2.bmp", 960, 960},
      {"data/font.png", 320, 320},
      {"data/map/stage1_1/map1b_2.bmp", 640, 400},
      {"data/board/geji.png", 253, 60},
  };
  for (const Size& s : fixed) {
    Decoded d(Images().at(s.path));
    ASSERT_TRUE(d.ok) << s.path;
    EXPECT_EQ(d.image.Width, s.w) << s.path;
    EXPECT_EQ(d.image.Height, s.h) << s.path;
  }
  struct AtLeast {
    const char* path;
    int w, h;
  } legs[] = {{"data/enemy/stage1/roboasi.bmp", 256, 256},
              {"data/enemy/stage6/roboasi.bmp", 348, 384}};
  for (const AtLeast& s : legs) {
    Decoded d(Images().at(s.path));
    ASSERT_TRUE(d.ok);
    EXPECT_GE(d.image.Width, s.w);
    EXPECT_GE(d.image.Height, s.h);
  }
  Decoded logo(Images().at("data/demo/logo.bmp"));
  ASSERT_TRUE(logo.ok);
  EXPECT_LE(logo.image.Width, 640);
  EXPECT_LE(logo.image.Height, 480);
  // Every sheet is exactly its grid.
  for (const auto& [path, bytes] : Images()) {
    const KitImage* row = FindImage(path);
    if (!row) continue;
    Decoded d(bytes);
    ASSERT_TRUE(d.ok) << path;
    EXPECT_EQ(d.image.Width, row->cellWidth * row->columns) << path;
    EXPECT_EQ(d.image.Height, row->cellHeight * row->rows) << path;
  }
  // Cells: not empty, not one flat colour, frames that differ, sprites with a clear margin.
  for (const auto& [path, bytes] : Images()) {
    const KitImage* row = FindImage(path);
    if (!row) continue;
    SCOPED_TRACE(path);
    const bool bmp = IsBmpPath(path.c_str());
    const Surface surface = PaintSurface(row->paint);
    Decoded d(bytes);
    ASSERT_TRUE(d.ok);
    std::vector<std::vector<uint32_t>> cells;
    for (int cell = 0; cell < row->count; ++cell) {
      // The font's cells below 33 and above 91 hold no glyph; a parallax layer's chips may be
      // open sky.
      if (row->paint == Paint::Font && (cell < 33 || cell > 91)) continue;
      if (row->paint == Paint::NearChips) continue;
      const int x0 = (cell % row->columns) * row->cellWidth,
                y0 = (cell / row->columns) * row->cellHeight;
      std::vector<uint32_t> pixels;
      std::set<uint32_t> colours;
      bool marginClear = true;
      int visible = 0;
      for (int y = 0; y < row->cellHeight; ++y)
        for (int x = 0; x < row->cellWidth; ++x) {
          uint32_t rgb, rgba;
          const bool shown = d.Visible(x0 + x, y0 + y, bmp, &rgb, &rgba);
          pixels.push_back(shown ? rgb : 0xFF000000u);
          if (!shown) continue;
          ++visible;
          colours.insert(rgba);
          // No visible pixel may be the key colour, nor a blend into it.
          EXPECT_NE(rgb, 0xFF00FFu);
          if (x == 0 || y == 0 || x == row->cellWidth - 1 || y == row->cellHeight - 1)
            marginClear = false;
        }
      EXPECT_GT(visible, 0) << "cell " << cell << " is empty";
      EXPECT_GT(colours.size(), 1u) << "cell " << cell << " is one flat colour";
      if (surface == Surface::Sprite) {
        EXPECT_TRUE(marginClear) << "cell " << cell << " touches its edge";
      }
      if (surface == Surface::Opaque) {
        EXPECT_EQ(visible, row->cellWidth * row->cellHeight) << "cell " << cell;
      }
      cells.push_back(std::move(pixels));
    }
    // Frames of one animation differ from their neighbours.
    if (surface == Surface::Sprite && row->paint != Paint::Font)
      for (size_t i = 1; i < cells.size(); ++i) {
        EXPECT_TRUE(cells[i] != cells[i - 1]) << "cells " << i - 1 << " and " << i;
      }
  }

  // BMP transparency is the exact key: no pixel comes close to it without being it (no
  // blended fringe).
  for (const auto& [path, bytes] : Images()) {
    if (!IsBmpPath(path.c_str())) continue;
    Decoded d(bytes);
    ASSERT_TRUE(d.ok) << path;
    int nearKey = 0;
    for (int y = 0; y < d.image.Height; ++y)
      for (int x = 0; x < d.image.Width; ++x) {
        int r, g, b, a;
        GetGraphImagePixel(&d.image, x, y, &r, &g, &b, &a);
        const bool key = r == 255 && g == 0 && b == 255;
        if (!key && std::abs(r - 255) + g + std::abs(b - 255) < 24) ++nearKey;
      }
    EXPECT_EQ(nearKey, 0) << path;
  }
}

// Decodes the whole sound through the runtime's converter. quietSeconds counts the whole
// seconds, the last one aside (a one-shot fades out in it), whose level stays below a faint
// hum: a track written as silence passes every length check.
int Decode(const std::vector<uint8_t>& bytes, WaveFormat* format, int* size, int* quietSeconds) {
  MemoryDataStream stream(bytes);
  SoundConverter conv;
  if (SetupSoundConverter(stream.stream(), &conv) != 0) return -1;
  GetSoundConverterFormat(&conv, format);
  *size = GetSoundConverterSize(&conv);
  const size_t second = static_cast<size_t>(format->nSamplesPerSec) * format->nChannels;
  std::vector<int16_t> samples;
  std::vector<uint8_t> buffer(65536);
  int read = 0, n;
  while ((n = ReadSoundConverter(&conv, buffer.data(), static_cast<int>(buffer.size()))) > 0) {
    read += n;
    const size_t at = samples.size();
    samples.resize(at + static_cast<size_t>(n) / 2);
    std::memcpy(samples.data() + at, buffer.data(), static_cast<size_t>(n) / 2 * 2);
  }
  TerminateSoundConverter(&conv);
  *quietSeconds = 0;
  for (size_t s = 0; second > 0 && (s + 2) * second <= samples.size(); ++s) {
    double sum = 0;
    for (size_t i = s * second; i < (s + 1) * second; ++i) sum += double(samples[i]) * samples[i];
    if (std::sqrt(sum / static_cast<double>(second)) < 1000) ++*quietSeconds;
  }
  return read;
}

TEST(DataKit, SoundsDecodeThroughTheRuntimeToTheirLengths) {
  const auto sounds = Build("*.[wo][ag][vg]");
  for (const KitSound& s : KitSounds()) {
    SCOPED_TRACE(s.path);
    WaveFormat f{};
    int size = 0, quiet = 0;
    const bool effect = s.kind == SoundKind::Effect;
    const int read = Decode(sounds.at(s.path), &f, &size, &quiet);
    ASSERT_GE(read, 0);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(read, size);
    if (effect) {
      EXPECT_EQ(f.nChannels, 1);
      const double seconds = size / 2.0 / f.nSamplesPerSec;
      EXPECT_GE(seconds, 0.05);
      // The weapon sounds restart every 3 frames.
      if (s.id <= 13) { EXPECT_LE(seconds, 0.7); }
      continue;
    }
    const MusicTrackInfo info = MusicTrack(s.id);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(static_cast<int>(f.nSamplesPerSec), kMusicRate);
    EXPECT_EQ(size, info.frames * 4);
    EXPECT_EQ(quiet, 0) << "seconds of near silence";
    const double seconds = info.frames / static_cast<double>(kMusicRate);
    if (info.loops) {
      // Cut on a bar: a whole number of bars, several seconds long.
      const double bar = 4 * 60.0 / info.bpm;
      EXPECT_NEAR(seconds / bar, info.bars, 1e-3);
      EXPECT_GE(seconds, 8.0);
    }
  }
  EXPECT_FALSE(MusicTrack(7).loops);
  EXPECT_GE(MusicTrack(7).frames, 2 * kMusicRate);
  EXPECT_LE(MusicTrack(7).frames, 4 * kMusicRate);
  for (int oneShot : {9, 10, 11}) EXPECT_FALSE(MusicTrack(oneShot).loops);
}

TEST(DataKit, EndingTextAndDemoReplayFollowTheGamesRules) {
  const auto texts = Build("data/[em]*.[rt][px][yt]");
  const std::vector<uint8_t>& text = texts.at("data/ed.txt");
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text[text.size() - 2], '\r');
  EXPECT_EQ(text.back(), '\n');
  int lines = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') {
      const uint8_t ch = text[i];
      if (ch != '\r') {
        EXPECT_TRUE((ch >= 32 && ch <= 96) || (ch >= 'a' && ch <= 'z')) << int(ch);
      }
      continue;
    }
    ASSERT_GE(i, start + 1);
    EXPECT_EQ(text[i - 1], '\r');
    const size_t length = i - 1 - start;
    EXPECT_GT(length, 0u) << "an empty line ends the text early (line " << lines + 1 << ")";
    EXPECT_LE(length, 43u);
    ++lines;
    start = i + 1;
  }
  EXPECT_LE(lines, 64);

  const std::vector<uint8_t>& demo = texts.at("data/mihon.rpy");
  ASSERT_EQ(demo.size(), 512000u);
  EXPECT_LE(demo[0], 1);
  EXPECT_LE(demo[1], 3);
  EXPECT_LE(demo[2], 3);
  EXPECT_NE(demo[1], demo[2]);
  EXPECT_LE(demo[3], 1);
  for (size_t i = 4; i < demo.size(); ++i) ASSERT_EQ(demo[i] & 0x80, 0) << i;
}

TEST(DataKit, TwoRunsWriteTheSameBytesArchiveIncluded) {
  // A cross-section of painters and sounds, built twice with different thread counts.
  for (const char* pattern : {"stage7", "data/se/jiki/*", "data/music/warning.ogg", "data/font.png",
                              "data/effect/bak0.bmp"}) {
    const std::vector<KitFile> first = BuildKitFiles(pattern, 1);
    const std::vector<KitFile> again = BuildKitFiles(pattern, 3);
    ASSERT_FALSE(first.empty()) << pattern;
    ASSERT_EQ(first.size(), again.size());
    for (size_t i = 0; i < first.size(); ++i) {
      EXPECT_EQ(first[i].path, again[i].path);
      EXPECT_TRUE(first[i].bytes == again[i].bytes) << first[i].path;
    }
    EXPECT_EQ(BuildKitArchive(first), BuildKitArchive(again)) << pattern;
  }
}

TEST(DataKit, ArchiveServesEveryFileUnderItsPath) {
  std::vector<KitFile> files = BuildKitFiles("stage7", 0);
  std::vector<uint8_t> image = BuildKitArchive(files);
  ArchiveRecord archive;
  ClearArchiveRecord(&archive);
  ASSERT_EQ(OpenArchiveInMemory(&archive, image.data(), image.size(), nullptr), 0);
  for (const KitFile& f : files) {
    int offset = 0, size = 0;
    EXPECT_EQ(FindArchiveEntry(&archive, f.path.substr(5).c_str(), &offset, &size), 0) << f.path;
    EXPECT_EQ(static_cast<size_t>(size), f.bytes.size()) << f.path;
  }
  CloseArchive(&archive);
}

TEST(DataKit, WritesTheKitThenThePlayersFoldersAndKeepsWhatThePlayerHas) {
  TempFolder folder;
  folder.MakeDirectory("Option");
  folder.WriteFile("Option/volumese.dat", "50\r\n");
  // What an interrupted earlier run left behind.
  folder.MakeDirectory("data.partial");
  folder.WriteFile("data.partial/half.bmp", "x");
  // A part of the kit stands for the whole here: writing does not look at what it writes.
  std::vector<KitFile> files = BuildKitFiles("data/ed.txt", 0);
  files.push_back(BuildKitFiles("data/font.png", 0).at(0));
  const std::string font(files[1].bytes.begin(), files[1].bytes.end());
  const std::string ending(files[0].bytes.begin(), files[0].bytes.end());
  const KitWriteResult r = WriteKitFiles(folder.path(), files, false);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(ReadKitStamp(folder.path()), kKitVersion);
  EXPECT_FALSE(folder.Exists("data.partial"));
  EXPECT_EQ(folder.ReadFile("Option/volumese.dat"), "50\r\n");
  EXPECT_EQ(folder.ReadFile("Option/volumemusic.dat"), "100\r\n");
  for (const char* d :
       {"ScreenShots", "replay/easy", "replay/normal", "replay/hard", "replay/insane"})
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() + "/" + d)) << d;
  EXPECT_EQ(folder.ReadFile("data/font.png"), font);

  // --only rewrites the chosen files in place and leaves the stamp as it was.
  folder.WriteFile("data/ed.txt", "changed");
  folder.WriteFile("kit-version", "older\n");
  const KitWriteResult only = WriteKit(folder.path(), false, "data/ed.txt", 1);
  ASSERT_TRUE(only.ok) << only.error;
  EXPECT_EQ(only.files, 1u);
  EXPECT_EQ(folder.ReadFile("data/ed.txt"), ending);
  EXPECT_EQ(ReadKitStamp(folder.path()), "older");

  // An archive kit: one file beside the player folders.
  TempFolder arc;
  ASSERT_TRUE(WriteKitFiles(arc.path(), files, true).ok);
  EXPECT_TRUE(arc.Exists("data.ARC"));
  EXPECT_FALSE(arc.Exists("data"));
  EXPECT_EQ(ReadKitStamp(arc.path()), kKitVersion);

  // Switching forms in one folder leaves only the new one: an old archive would hide a new data
  // folder from the game, and a folder beside an archive is never read.
  ASSERT_TRUE(WriteKitFiles(folder.path(), files, true).ok);
  EXPECT_TRUE(folder.Exists("data.ARC"));
  EXPECT_FALSE(folder.Exists("data"));
  ASSERT_TRUE(WriteKitFiles(folder.path(), files, false).ok);
  EXPECT_FALSE(folder.Exists("data.ARC"));
  EXPECT_EQ(folder.ReadFile("data/font.png"), font);
  EXPECT_EQ(folder.ReadFile("Option/volumese.dat"), "50\r\n");
}

TEST(DataKit, PatternsPickByGlobPartOfPathOrGroup) {
  struct Case {
    const char* pattern;
    const char* path;
    const char* group;
    bool match;
  } cases[] = {
      {"", "data/font.png", "common", true},
      {"stage3", "data/bullet/stage3/flame.PNG", "stage3", true},
      {"stage3", "data/enemy/stage1/robo.bmp", "stage3", true},
      {"stage3", "data/enemy/stage1/robo.bmp", "stage1", false},
      {"data/se/*", "data/se/jiki/m1.wav", "sounds", true},
      {"data/se/*.ogg", "data/se/jiki/m1.wav", "sounds", false},
      {"jiki0", "data/robo/jiki0_jet.bmp", "common", true},
      {"common,stage2", "data/font.png", "common", true},
      {"common,stage2", "data/map/map2_1.bmp", "stage2", true},
      {"common,stage2", "data/map/map3_1.bmp", "stage3", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KitPatternMatches(c.pattern, c.path, c.group), c.match) << c.pattern << " " << c.path;
  }
}

}  // namespace

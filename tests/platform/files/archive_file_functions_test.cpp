// The archive-aware file functions: paths served from "<dir>.ARC" beside a directory, the plain
// fallback, handles and archive reuse, finds inside archives, and the directory calls.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "port/win32.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/archive_file_functions.h"
#include "runtime/platform/files/file_functions.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tools/lib/archive_writer.h"

namespace fs = std::filesystem;

namespace {

// A game folder in a fresh temporary directory made current: the source tree src/ is packed
// into data.ARC, and a plain folder data/ sits beside it with files of its own.
class ArchiveFiles : public testing::Test {
 protected:
  TempFolder folder;
  const fs::path root = folder.path();
  ScopedCurrentDirectory cwd{folder.path()};
  std::map<std::string, ArchiveBytes> files;  // game-style Shift-JIS path under data/ -> bytes

  void SetUp() override {
    SetFileFunctionTable(&ArchiveFileFunctions);
    CloseUnusedArchives();
  }
  void TearDown() override { CloseUnusedArchives(); }

  void AddSource(const std::string& sjisPath, ArchiveBytes bytes) {
    WriteFileBytes(root / "src" / ShiftJisToUtf8(sjisPath), bytes);
    files["data/" + sjisPath] = std::move(bytes);
  }

  void MakeTree() {
    AddSource("img/a.png", MakeArchiveTestData(5000, 0, 11));
    AddSource("img/画像/ソ.bin", MakeArchiveTestData(70000, 1, 12));
    AddSource("music/stage1.ogg", MakeArchiveTestData(150000, 1, 13));
    AddSource("map/stage1/main.fmf", MakeArchiveTestData(40000, 2, 14));
    AddSource("ed.txt", MakeArchiveTestData(10, 1, 15));
    AddSource("replay/A.RPY", MakeArchiveTestData(20, 0, 16));
    AddSource("replay/A.B.RPY", MakeArchiveTestData(21, 0, 17));
    AddSource("replay/b.rpy", MakeArchiveTestData(22, 0, 18));
  }

  void Pack(int version, const char* archiveName = "data.ARC") {
    std::vector<ArchiveWriterEntry> entries = CollectArchiveFolder((root / "src").string());
    for (size_t i = 0; i < entries.size(); ++i)
      entries[i].compress = version >= 2 ? static_cast<int>(i % 2) : 0;
    ArchiveWriterOptions o;
    o.version = version;
    WriteFileBytes(root / archiveName, BuildArchiveImage(entries, o));
  }

  static ArchiveBytes ReadThrough(FileHandle f, int async, size_t chunk) {
    ArchiveBytes out;
    for (;;) {
      ArchiveBytes buf(chunk);
      size_t n = ReadStreamFile(buf.data(), 1, chunk, f);
      while (async && IdleCheckStreamFile(f) == 0) std::this_thread::yield();
      if (n == 0) break;
      out.insert(out.end(), buf.begin(), buf.begin() + n);
    }
    return out;
  }
};

std::string MixCase(std::string s, std::mt19937& rng) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c >= 0x81 && c <= 0x9F) || c >= 0xE0) {
      ++i;  // keep double-byte characters whole
    } else if (std::isalpha(c) && rng() % 2) {
      s[i] = static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
    } else if (c == '/' && rng() % 2) {
      s[i] = '\\';
    }
  }
  return s;
}

TEST_F(ArchiveFiles, TreeReadsBackThroughTheTable) {
  MakeTree();
  for (int version : {1, 4}) {
    SCOPED_TRACE("version " + std::to_string(version));
    CloseUnusedArchives();
    Pack(version);
    std::mt19937 rng(static_cast<uint32_t>(version));
    for (const auto& [path, want] : files) {
      for (int async : {0, 1}) {
        SCOPED_TRACE(path + (async ? " async" : " sync"));
        FileHandle f = OpenStreamFile(MixCase(path, rng).c_str(), 0, 1, async);
        ASSERT_NE(f, 0);
        EXPECT_EQ(ReadThrough(f, async, 1 + rng() % 9000), want);
        EXPECT_EQ(EofStreamFile(f), -1);
        // Random seeks against a model of the position.
        int pos = static_cast<int>(want.size());
        for (int step = 0; step < 60; ++step) {
          int origin = static_cast<int>(rng() % 3);
          int offset = static_cast<int>(rng() % (want.size() + 40)) - 20;
          if (origin == 2) offset = -offset;
          int64_t target = origin == 0   ? offset
                           : origin == 1 ? int64_t{pos} + offset
                                         : int64_t(want.size()) + offset;
          pos = static_cast<int>(std::clamp<int64_t>(target, 0, static_cast<int64_t>(want.size())));
          ASSERT_EQ(SeekStreamFile(f, offset, origin), 0);
          ASSERT_EQ(TellStreamFile(f), pos);
          size_t length = rng() % 3000;
          ArchiveBytes buf(length + 1);
          size_t n = ReadStreamFile(buf.data(), 1, length, f);
          while (async && IdleCheckStreamFile(f) == 0) std::this_thread::yield();
          size_t expect = std::min(length, want.size() - static_cast<size_t>(pos));
          ASSERT_EQ(n, expect);
          ASSERT_EQ(std::memcmp(buf.data(), want.data() + pos, n), 0);
          pos += static_cast<int>(n);
        }
        EXPECT_EQ(CloseStreamFile(f), 0);
      }
    }
  }
}

TEST_F(ArchiveFiles, ServingRulesHandlesAndReuse) {
  AddSource("img/a.png", MakeArchiveTestData(5000, 0, 21));
  AddSource("ten.bin", MakeArchiveTestData(10, 0, 22));
  Pack(4);
  // Plain files under data/: one the archive also holds, one it does not.
  WriteFileBytes(root / "data/img/a.png", ArchiveBytes(64, 'p'));
  WriteFileBytes(root / "data/plain_only.txt", ArchiveBytes(8, 'q'));
  WriteFileBytes(root / "other/x.txt", ArchiveBytes(5, 'x'));

  FileHandle a = OpenStreamFile("data/img/a.png", 0, 1, 0);
  EXPECT_EQ(a, static_cast<FileHandle>(0xF0000000u));
  EXPECT_EQ(ReadThrough(a, 0, 999), files["data/img/a.png"])
      << "the archive wins over the plain file";
  EXPECT_EQ(OpenStreamFile("data/plain_only.txt", 0, 1, 0), 0)
      << "under an archive, only the archive counts";
  FileHandle x = OpenStreamFile("other/x.txt", 0, 1, 0);
  EXPECT_EQ(x, static_cast<FileHandle>(0xF0000001u));
  EXPECT_EQ(ReadThrough(x, 0, 100), ArchiveBytes(5, 'x'));

  ASSERT_EQ(GetArchiveSlotCount(), 1);
  int slot = 0;
  while (GetArchiveSlot(slot) == nullptr) ++slot;
  const ArchiveSlot* s = GetArchiveSlot(slot);
  std::string archivePath = s->Path;
  EXPECT_EQ(archivePath.substr(0, 3), "Z:\\");
  EXPECT_EQ(archivePath.substr(archivePath.size() - 9), "\\DATA.ARC");
  EXPECT_EQ(s->RefCount, 1);

  // Handles: the lowest free slot is reused.
  EXPECT_EQ(CloseStreamFile(a), 0);
  EXPECT_EQ(CloseStreamFile(a), -1) << "a closed handle is refused";
  EXPECT_EQ(s->RefCount, 0);
  EXPECT_EQ(GetArchiveSlotCount(), 1) << "the archive stays open after its last file closes";
  FileHandle ten = OpenStreamFile("DATA\\TEN.BIN", 0, 1, 0);
  EXPECT_EQ(ten, static_cast<FileHandle>(0xF0000000u));
  EXPECT_EQ(GetArchiveSlot(slot), s) << "and is reused by the next open under it";
  EXPECT_EQ(s->RefCount, 1);

  // 3 elements of 4 bytes with 10 bytes left: 2 counted, all 10 consumed; then the end.
  uint8_t buf[12];
  EXPECT_EQ(ReadStreamFile(buf, 4, 3, ten), 2u);
  EXPECT_EQ(std::memcmp(buf, files["data/ten.bin"].data(), 10), 0);
  EXPECT_EQ(TellStreamFile(ten), 10);
  EXPECT_EQ(EofStreamFile(ten), 0);
  EXPECT_EQ(ReadStreamFile(buf, 4, 3, ten), 0u);
  EXPECT_EQ(EofStreamFile(ten), -1);
  EXPECT_EQ(ReadStreamFile(buf, 0, 3, ten), 0u);

  for (FileHandle bad :
       {FileHandle{0}, FileHandle{0xF0000005}, FileHandle{0xF0000200}, FileHandle{5}}) {
    EXPECT_EQ(TellStreamFile(bad), -1);
    EXPECT_EQ(CloseStreamFile(bad), -1);
    EXPECT_EQ(ReadStreamFile(buf, 1, 1, bad), 0u);
  }
  EXPECT_EQ(CloseStreamFile(ten), 0);
  EXPECT_EQ(CloseStreamFile(x), 0);
  CloseUnusedArchives();
  EXPECT_EQ(GetArchiveSlotCount(), 0);
}

TEST_F(ArchiveFiles, CandidateThatDoesNotOpenGivesWayToTheNext) {
  // pack.ARC beside pack/ is not an archive; pack/inner.ARC is, and serves pack/inner/f.txt.
  WriteFileBytes(root / "pack.ARC", ArchiveBytes(100, 0x55));
  std::vector<ArchiveWriterEntry> entries(1);
  entries[0].path = "f.txt";
  entries[0].data = MakeArchiveTestData(300, 1, 31);
  WriteFileBytes(root / "pack/inner.arc", BuildArchiveImage(entries));
  for (int round = 0; round < 2; ++round) {  // the second round takes the cached path
    FileHandle f = OpenStreamFile("pack/inner/f.txt", 0, 1, 0);
    ASSERT_NE(f, 0);
    EXPECT_EQ(ReadThrough(f, 0, 64), entries[0].data);
    EXPECT_EQ(GetArchiveSlotCount(), 1) << "the slot of the failed candidate is empty again";
    CloseStreamFile(f);
  }
}

TEST_F(ArchiveFiles, ArchivePathTooLongCountsAsNoArchive) {
  // The archive's full path passes 255 bytes: the plain file is served instead.
  std::string deep = std::string(150, 'd') + "/" + std::string(110, 'e');
  std::vector<ArchiveWriterEntry> entries(1);
  entries[0].path = "f.txt";
  entries[0].data = ArchiveBytes(7, 'a');
  WriteFileBytes(root / (deep + ".ARC"), BuildArchiveImage(entries));
  WriteFileBytes(root / deep / "f.txt", ArchiveBytes(9, 'p'));
  FileHandle f = OpenStreamFile((deep + "/f.txt").c_str(), 0, 1, 0);
  ASSERT_NE(f, 0);
  EXPECT_EQ(ReadThrough(f, 0, 64), ArchiveBytes(9, 'p'));
  CloseStreamFile(f);
  EXPECT_EQ(GetArchiveSlotCount(), 0);
}

TEST(ArchivePattern, MatchTable) {
  struct Case {
    const char* name;
    const char* pattern;
    int result;
  };
  const Case cases[] = {
      {"A.RPY", "*.RPY", 0},
      {"A.B.RPY", "*.RPY", -1},
      {"A.RPY", "?.RPY", 0},
      {"AB.RPY", "?.RPY", -1},
      {"A.RPY", "*", 0},
      {"", "*", 0},
      {"ABC", "A*C", 0},
      {"ABXC", "A*C", 0},
      {"A.RPY", "A.RPY", 0},
      {"A.RPY", "A.RP", -1},
      {"A.RP", "A.RPY", -1},
      {"A.RPY", "**.RPY", 0},
      {".", "*", 0},
      {"..", "*", 0},
      {"X", "?", 0},
      {"", "?", -1},
      {"\x83\x5C.BIN", "\x83\x5C.BIN", 0},
      {"\x83\x5D.BIN", "\x83\x5C.BIN", -1},
      {"\x83\x5C.BIN", "?\x5C.BIN", 0},  // '?' takes one byte, not a character
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchArchivePattern(c.name, c.pattern, 1), c.result) << c.name << " ~ " << c.pattern;
}

TEST_F(ArchiveFiles, FindListsArchiveEntries) {
  MakeTree();
  Pack(4);
  auto list = [](const char* pattern) {
    std::vector<std::string> names;
    FileFindInfo info;
    FindHandle h = CurrentFileFunctions.FindFirst(pattern, &info);
    if (h == -1) return names;
    do
      names.push_back(std::string(info.Name) + (info.DirFlag ? "/" : "") + ":" +
                      std::to_string(info.SizeLow));
    while (CurrentFileFunctions.FindNext(h, &info) == 0);
    EXPECT_EQ(CurrentFileFunctions.FindClose(h), 0);
    return names;
  };
  using V = std::vector<std::string>;
  // Folders come first in the packer's order; names keep their stored case.
  EXPECT_EQ(list("data/*"), (V{"./:0", "img/:0", "map/:0", "music/:0", "replay/:0", "ed.txt:10"}));
  EXPECT_EQ(list("data/img/*"), (V{"./:0", "../:0", "画像/:0", "a.png:5000"}));
  EXPECT_EQ(list("data/replay/*.rpy"), (V{"A.RPY:20", "b.rpy:22"}));
  EXPECT_EQ(list("DATA\\REPLAY\\?.RPY"), (V{"A.RPY:20", "b.rpy:22"}));
  EXPECT_EQ(list("data/img/画像/*.BIN"), (V{"ソ.bin:70000"}));
  EXPECT_EQ(list("data/replay/*.txt"), V{});
  EXPECT_EQ(list("data/nowhere/*"), V{});
  EXPECT_EQ(list(("data/" + std::string(300, 'x')).c_str()), V{})
      << "a pattern that does not fit fails";
  // Times come through the find record.
  FileFindInfo info;
  FindHandle h = CurrentFileFunctions.FindFirst("data/ed.txt", &info);
  ASSERT_NE(h, -1);
  EXPECT_GE(info.LastWriteTime.Year, 2020);
  CurrentFileFunctions.FindClose(h);
  // Every find released its archive reference.
  int slot = 0;
  while (GetArchiveSlot(slot) == nullptr) ++slot;
  EXPECT_EQ(GetArchiveSlot(slot)->RefCount, 0);
  // Outside archives the platform's find answers.
  WriteFileBytes(root / "plain/one.txt", ArchiveBytes(3, '1'));
  EXPECT_EQ(list("plain/*.txt"), V{"one.txt:3"});
}

TEST_F(ArchiveFiles, CurrentDirectoryCalls) {
  char buffer[MAX_PATH];
  ASSERT_EQ(GetCurrentDirectoryWithArchive(buffer), 0);
  char platform[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, platform);
  EXPECT_STREQ(buffer, platform);
  fs::create_directories(root / "sub");
  EXPECT_EQ(SetCurrentDirectoryWithArchive("sub"), 0);
  EXPECT_EQ(fs::current_path(), root / "sub");
  EXPECT_EQ(SetCurrentDirectoryWithArchive("no_such_directory"), -1);
  // A current directory that does not fit in 256 bytes is a failure, not an empty success.
  fs::path deep = root / std::string(200, 'd') / std::string(100, 'e');
  fs::create_directories(deep);
  ScopedCurrentDirectory inDeep(deep.string());
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(GetCurrentDirectoryWithArchive(buffer), -1);
  EXPECT_EQ(buffer[0], '\0');
}

TEST_F(ArchiveFiles, OpenFileLimit) {
  AddSource("one.bin", ArchiveBytes(4, 1));
  Pack(4);
  std::vector<FileHandle> open;
  for (int i = 0; i < ARCHIVE_FILE_MAX; ++i) {
    open.push_back(OpenStreamFile("data/one.bin", 0, 1, 0));
    ASSERT_NE(open.back(), 0) << i;
  }
  {
    LogCapture log;
    EXPECT_EQ(OpenStreamFile("data/one.bin", 0, 1, 0), 0);
    EXPECT_NE(log.Contents().find("同時に開けるファイルの数が限界を超えました\r\n"),
              std::string::npos);
  }
  CloseStreamFile(open[100]);
  {
    // The file record cannot be allocated: logged, nothing kept, the slot stays free.
    LogCapture log;
    const int blocks = GetTrackedHeapTotals().blocks;
    SetTrackedHeapFailures(1);
    EXPECT_EQ(OpenStreamFile("data/one.bin", 0, 1, 0), 0);
    SetTrackedHeapFailures(0);
    EXPECT_EQ(GetTrackedHeapTotals().blocks, blocks);
    EXPECT_NE(log.Contents().find("ファイルの情報を格納するメモリの確保に失敗しました\r\n"),
              std::string::npos);
  }
  FileHandle again = OpenStreamFile("data/one.bin", 0, 1, 0);
  EXPECT_EQ(again, static_cast<FileHandle>(0xF0000000u | 100));
  open[100] = again;
  for (FileHandle f : open) CloseStreamFile(f);
  int slot = 0;
  while (GetArchiveSlot(slot) == nullptr) ++slot;
  EXPECT_EQ(GetArchiveSlot(slot)->RefCount, 0);
}

}  // namespace

// Plain files opened directly, with the read-ahead cache and with asynchronous reads, against a
// model that reads the same file with pread.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/platform/files/data_stream.h"
#include "runtime/platform/files/win32_file.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// What every set must do, read off the file with pread: reads consume min(asked, left) bytes
// and count whole elements; a read that starts at the end sets the end flag; a seek clears it.
// Plain files refuse targets before the start and allow them past the end; memory streams
// clamp both.
struct ReadModel {
  int fd;
  long long size;
  bool clampSeeks;
  long long position = 0;
  bool end = false;

  size_t Read(std::string* out, size_t elementSize, size_t count) {
    out->clear();
    if (elementSize == 0 || count == 0) return 0;
    if (position >= size) {
      end = true;
      return 0;
    }
    size_t want = std::min<unsigned long long>(static_cast<unsigned long long>(elementSize) * count,
                                               static_cast<unsigned long long>(size - position));
    out->resize(want);
    EXPECT_EQ(pread(fd, out->data(), want, position), static_cast<ssize_t>(want));
    position += static_cast<long long>(want);
    return want / elementSize;
  }

  int Seek(int offset, int origin) {
    long long base = origin == 0 ? 0 : origin == 1 ? position : origin == 2 ? size : -1;
    if (base < 0) return -1;
    long long target = base + offset;
    if (clampSeeks) target = std::clamp(target, 0LL, size);
    if (target < 0 || target > INT_MAX) return -1;
    position = target;
    end = false;
    return 0;
  }
};

struct Op {
  enum Kind { Read, Seek, Pause } kind;
  size_t elementSize;
  size_t count;
  int offset;
  int origin;
};

// A script that keeps coming back to the start and the end of the file, so that partial
// tails, reads at the end and seeks on either side of the file are frequent.
std::vector<Op> MakeScript(unsigned seed, int length, int size, bool pauses) {
  std::mt19937 random(seed);
  const size_t kSizes[] = {1, 2, 3, 4, 5, 7, 8, 16, 100, 1000, 4096, 65536, 131075};
  const size_t kCounts[] = {0, 1, 1, 2, 3, 10, 100};
  std::vector<Op> ops;
  for (int i = 0; i < length; ++i) {
    unsigned roll = random() % 100;
    if (pauses && roll < 1) {
      ops.push_back({Op::Pause, 0, 0, 0, 0});
    } else if (roll < 70) {
      size_t elementSize = kSizes[random() % std::size(kSizes)];
      size_t count = kCounts[random() % std::size(kCounts)];
      if (elementSize * count > (2u << 20)) count = 1;
      ops.push_back({Op::Read, elementSize, count, 0, 0});
    } else {
      int origin = static_cast<int>(random() % 4);  // 3 is no origin at all
      long long target;
      switch (random() % 3) {
        case 0:
          target = static_cast<long long>(random() % 41) - 20;
          break;
        case 1:
          target = size + static_cast<long long>(random() % 41) - 20;
          break;
        default:
          target = random() % static_cast<unsigned>(size);
          break;
      }
      ops.push_back({Op::Seek, 0, 0, static_cast<int>(target), origin});
    }
  }
  return ops;
}

// Runs a script through a stream and the model side by side.
void RunScript(const DataStream& stream, ReadModel& model, const std::vector<Op>& ops, bool async,
               const char* label) {
  std::string expect;
  std::vector<char> buffer;
  for (size_t i = 0; i < ops.size(); ++i) {
    const Op& op = ops[i];
    SCOPED_TRACE(testing::Message() << label << " op " << i);
    if (op.kind == Op::Pause) {
      Sleep(150);  // time for the reader thread to fill its cache
      continue;
    }
    if (op.kind == Op::Seek) {
      // A seek that the origin mode makes relative is given relative to where the model is.
      int offset = op.origin == 1   ? static_cast<int>(op.offset - model.position)
                   : op.origin == 2 ? static_cast<int>(op.offset - model.size)
                                    : op.offset;
      int want = model.Seek(offset, op.origin);
      ASSERT_EQ(stream.Functions.Seek(stream.Handle, offset, op.origin), want);
    } else {
      buffer.assign(op.elementSize * op.count + 1, '\x55');
      size_t want = model.Read(&expect, op.elementSize, op.count);
      ASSERT_EQ(stream.Functions.Read(buffer.data(), op.elementSize, op.count, stream.Handle),
                want);
      if (async) {
        // Idle means every byte of the read has arrived.
        while (stream.Functions.IdleCheck(stream.Handle) == 0) Sleep(0);
      }
      ASSERT_EQ(std::memcmp(buffer.data(), expect.data(), expect.size()), 0);
      ASSERT_EQ(buffer[expect.size()], '\x55');  // nothing written past the bytes read
    }
    ASSERT_EQ(stream.Functions.Tell(stream.Handle), model.position);
    ASSERT_EQ(stream.Functions.Eof(stream.Handle), model.end ? -1 : 0);
  }
}

DataStream Win32Stream(FileHandle file) {
  return DataStream{{TellWin32File, SeekWin32File, ReadWin32File, EofWin32File, IdleCheckWin32File,
                     CloseWin32File},
                    file};
}

class Win32File : public testing::Test {
 protected:
  void SetUp() override {
    bytes = RandomBytes(1 << 20, 7);
    folder.WriteFile("data.bin", bytes);
    path = folder.WindowsPath() + "\\data.bin";
    fd = open((folder.path() + "/data.bin").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
  }
  void TearDown() override { close(fd); }

  TempFolder folder;
  std::string bytes;
  std::string path;
  int fd = -1;
};

TEST_F(Win32File, RandomScriptsMatchThePreadModelInEveryOpenMode) {
  struct Mode {
    const char* label;
    int cache;
    int async;
  } modes[] = {
      {"plain", 0, 0}, {"cached", 1, 0}, {"asynchronous", 0, 1}, {"cached asynchronous", 1, 1}};
  for (const Mode& mode : modes) {
    FileHandle file = OpenWin32File(path.c_str(), mode.cache, 1, mode.async);
    ASSERT_NE(file, 0) << mode.label;
    ReadModel model{fd, static_cast<long long>(bytes.size()), false};
    RunScript(Win32Stream(file), model,
              MakeScript(11, 1500, static_cast<int>(bytes.size()), mode.cache != 0),
              mode.async != 0, mode.label);
    EXPECT_EQ(CloseWin32File(file), 0);
  }
}

TEST_F(Win32File, MemoryStreamsFollowTheSameReadingRules) {
  MemoryStream* stream = OpenMemoryStream(bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_NE(stream, nullptr);
  ReadModel model{fd, static_cast<long long>(bytes.size()), true};
  RunScript(DataStream{*GetMemoryStreamFunctions(), reinterpret_cast<FileHandle>(stream)}, model,
            MakeScript(12, 3000, static_cast<int>(bytes.size()), false), false, "memory");
  EXPECT_EQ(CloseMemoryStream(reinterpret_cast<FileHandle>(stream)), 0);
}

TEST_F(Win32File, PartialTailsSeeksAndTheEndFlag) {
  for (int cache = 0; cache <= 1; ++cache) {
    SCOPED_TRACE(cache ? "cached" : "plain");
    FileHandle file = OpenWin32File(path.c_str(), cache, 1, 0);
    ASSERT_NE(file, 0);
    char buffer[16] = {};
    // Three elements of 4 bytes with 10 left: two counted, all ten consumed.
    ASSERT_EQ(SeekWin32File(file, -10, 2), 0);
    EXPECT_EQ(ReadWin32File(buffer, 4, 3, file), 2u);
    EXPECT_EQ(std::memcmp(buffer, bytes.data() + bytes.size() - 10, 10), 0);
    EXPECT_EQ(TellWin32File(file), static_cast<int>(bytes.size()));
    EXPECT_EQ(EofWin32File(file), 0);
    EXPECT_EQ(ReadWin32File(buffer, 4, 3, file), 0u);
    EXPECT_EQ(EofWin32File(file), -1);

    // Before the start: refused, nothing changes (the end flag stays too).
    EXPECT_EQ(SeekWin32File(file, -1, 0), -1);
    EXPECT_EQ(SeekWin32File(file, -static_cast<int>(bytes.size()) - 1, 1), -1);
    EXPECT_EQ(SeekWin32File(file, 0, 7), -1);
    EXPECT_EQ(TellWin32File(file), static_cast<int>(bytes.size()));
    EXPECT_EQ(EofWin32File(file), -1);

    // Past the end: accepted, clears the flag; the next read finds the end.
    EXPECT_EQ(SeekWin32File(file, 100, 2), 0);
    EXPECT_EQ(EofWin32File(file), 0);
    EXPECT_EQ(ReadWin32File(buffer, 1, 1, file), 0u);
    EXPECT_EQ(EofWin32File(file), -1);
    EXPECT_EQ(SeekWin32File(file, INT_MAX, 1), -1);  // would pass the largest position

    // Zero-sized reads read nothing.
    ASSERT_EQ(SeekWin32File(file, 0, 0), 0);
    EXPECT_EQ(ReadWin32File(buffer, 0, 5, file), 0u);
    EXPECT_EQ(ReadWin32File(buffer, 5, 0, file), 0u);
    EXPECT_EQ(TellWin32File(file), 0);
    EXPECT_EQ(CloseWin32File(file), 0);
  }
}

TEST_F(Win32File, ShortReadsReportWhatWasRead) {
  // The file shrinks behind the open handle: the reads find fewer bytes than the size taken
  // at open promised, and must say so.
  for (int cache = 0; cache <= 1; ++cache) {
    SCOPED_TRACE(cache ? "cached" : "plain");
    folder.WriteFile("shrinks.bin", bytes.substr(0, 1000));
    std::string shrinking = folder.WindowsPath() + "\\shrinks.bin";
    FileHandle file = OpenWin32File(shrinking.c_str(), cache, 1, 0);
    ASSERT_NE(file, 0);
    ASSERT_EQ(truncate((folder.path() + "/shrinks.bin").c_str(), 300), 0);
    std::vector<char> buffer(1000);
    EXPECT_EQ(ReadWin32File(buffer.data(), 100, 10, file), 3u);
    EXPECT_EQ(TellWin32File(file), 300);
    EXPECT_EQ(std::memcmp(buffer.data(), bytes.data(), 300), 0);
    EXPECT_EQ(CloseWin32File(file), 0);
  }
}

// Bytes this process has read from files so far.
long long ProcessReadBytes() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

TEST_F(Win32File, SequentialCachedReadsComeFromTheCache) {
  FileHandle file = OpenWin32File(path.c_str(), 1, 1, 0);
  ASSERT_NE(file, 0);
  std::vector<char> first(1000), second(1000);
  long long before = ProcessReadBytes();
  ASSERT_EQ(ReadWin32File(first.data(), 1, 1000, file), 1000u);
  // Wait until the idle reader thread has read its 128 KiB ahead.
  for (int i = 0; i < 300 && ProcessReadBytes() - before < 1000 + FILE_READ_CACHE_SIZE; ++i)
    Sleep(20);
  ASSERT_GE(ProcessReadBytes() - before, 1000 + FILE_READ_CACHE_SIZE);

  // Change the bytes on disk: a read served from the cache still sees the old ones.
  std::string changed(1000, '\x7F');
  int writer = open((folder.path() + "/data.bin").c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(pwrite(writer, changed.data(), 1000, 1000), 1000);
  close(writer);
  ASSERT_EQ(ReadWin32File(second.data(), 1, 1000, file), 1000u);
  EXPECT_EQ(std::memcmp(first.data(), bytes.data(), 1000), 0);
  EXPECT_EQ(std::memcmp(second.data(), bytes.data() + 1000, 1000), 0);

  // A seek restarts the cache, so the changed bytes are read from the file.
  ASSERT_EQ(SeekWin32File(file, 1000, 0), 0);
  ASSERT_EQ(ReadWin32File(second.data(), 1, 1000, file), 1000u);
  EXPECT_EQ(std::string(second.data(), 1000), changed);
  EXPECT_EQ(CloseWin32File(file), 0);
}

TEST_F(Win32File, AsynchronousReadsMoveOnAtOnce) {
  FileHandle file = OpenWin32File(path.c_str(), 0, 1, 1);
  ASSERT_NE(file, 0);
  std::vector<char> buffer(bytes.size());
  // The whole file in one read: the count and the position are there before the bytes.
  EXPECT_EQ(ReadWin32File(buffer.data(), 1024, 1024, file), 1024u);
  EXPECT_EQ(TellWin32File(file), static_cast<int>(bytes.size()));
  // A seek posted behind the read waits for it; then reading goes on from the seek target.
  EXPECT_EQ(SeekWin32File(file, 16, 0), 0);
  char small[8];
  EXPECT_EQ(ReadWin32File(small, 1, 8, file), 8u);
  while (IdleCheckWin32File(file) == 0) Sleep(0);
  EXPECT_EQ(std::memcmp(buffer.data(), bytes.data(), bytes.size()), 0);
  EXPECT_EQ(std::memcmp(small, bytes.data() + 16, 8), 0);
  EXPECT_EQ(CloseWin32File(file), 0);
}

int CountEntries(const char* directory) {
  DIR* dir = opendir(directory);
  int n = 0;
  while (struct dirent* e = readdir(dir))
    if (e->d_name[0] != '.') ++n;
  closedir(dir);
  return n;
}

TEST_F(Win32File, ThreadedOpenCloseCyclesLeaveNothingBehind) {
  int threads = CountEntries("/proc/self/task");
  int descriptors = CountEntries("/proc/self/fd");
  int handles = PortOpenHandleCount();
  const int kModes[3][2] = {{1, 0}, {0, 1}, {1, 1}};  // cache, asynchronous
  for (int i = 0; i < 1000; ++i) {
    FileHandle file = OpenWin32File(path.c_str(), kModes[i % 3][0], 1, kModes[i % 3][1]);
    ASSERT_NE(file, 0) << i;
    char c;
    ASSERT_EQ(ReadWin32File(&c, 1, 1, file), 1u);
    ASSERT_EQ(CloseWin32File(file), 0);
  }
  // A reader thread has handed over once its routine returns; the system lets the thread
  // itself go a moment later.
  for (int i = 0; i < 500 && CountEntries("/proc/self/task") > threads; ++i) Sleep(10);
  EXPECT_EQ(CountEntries("/proc/self/task"), threads);
  EXPECT_EQ(CountEntries("/proc/self/fd"), descriptors);
  EXPECT_EQ(PortOpenHandleCount(), handles);
}

TEST_F(Win32File, FailedOpensReleaseEverythingQuietly) {
  LogCapture log;
  int handles = PortOpenHandleCount();
  std::string missing = folder.WindowsPath() + "\\missing.bin";
  EXPECT_EQ(OpenWin32File(missing.c_str(), 0, 1, 0), 0);
  EXPECT_EQ(OpenWin32File(missing.c_str(), 1, 1, 1), 0);
  EXPECT_EQ(OpenWin32File(folder.WindowsPath().c_str(), 0, 1, 0), 0);  // a directory
  EXPECT_EQ(OpenWin32File(nullptr, 0, 1, 0), 0);
  // A threaded name that would not fit its record is refused before anything starts.
  std::string longName = folder.WindowsPath() + "\\" + std::string(200, 'n') + "\\..\\" +
                         std::string(100, 'm') + "\\..\\data.bin";
  EXPECT_EQ(OpenWin32File(longName.c_str(), 1, 1, 0), 0);
  FileHandle direct = OpenWin32File(longName.c_str(), 0, 1, 0);  // an unthreaded open keeps no name
  EXPECT_NE(direct, 0);
  EXPECT_EQ(CloseWin32File(direct), 0);
  EXPECT_EQ(PortOpenHandleCount(), handles);
  EXPECT_EQ(log.Contents(), "");
}

}  // namespace

// The file function table, text lines, full paths, temporary files and finding files.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/files/data_stream.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/platform/files/win32_file.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace {

// A file function table over byte strings that the test holds, by name: files without a disk.
std::map<std::string, std::string> gMemoryFiles;
std::vector<std::string> gCalls;

FileHandle OpenMemoryFile(const char* name, int cacheFlag, int blockFlag, int asyncFlag) {
  gCalls.push_back(std::string("open ") + name + " " + std::to_string(cacheFlag) +
                   std::to_string(blockFlag) + std::to_string(asyncFlag));
  auto it = gMemoryFiles.find(name);
  if (it == gMemoryFiles.end()) return 0;
  return reinterpret_cast<FileHandle>(
      OpenMemoryStream(it->second.data(), static_cast<int>(it->second.size())));
}
int NoDirectory(const char*) { return 0; }
int FixedDirectory(char* buffer) {
  std::strcpy(buffer, "Q:\\memory\\files");
  return 0;
}
FindHandle NoFindFirst(const char*, FileFindInfo*) { return -1; }
int NoFindNext(FindHandle, FileFindInfo*) { return -1; }
int NoFindClose(FindHandle) { return -1; }

const FileFunctionTable kMemoryFileFunctions = {
    OpenMemoryFile,  CloseMemoryStream,     TellMemoryStream, SeekMemoryStream, ReadMemoryStream,
    EofMemoryStream, IdleCheckMemoryStream, NoDirectory,      FixedDirectory,   NoFindFirst,
    NoFindNext,      NoFindClose,
};

// Installs a table for the life of the object and puts the default back afterwards.
class ScopedFileFunctions {
 public:
  explicit ScopedFileFunctions(const FileFunctionTable* table) {
    gCalls.clear();
    SetFileFunctionTable(table);
  }
  ~ScopedFileFunctions() {
    SetFileFunctionTable(nullptr);
    gMemoryFiles.clear();
  }
};

TEST(FileFunctionTable, CallsGoToTheInstalledTableAndNullRestoresTheDefault) {
  TempFolder folder;
  folder.WriteFile("disk.txt", "on disk");
  std::string diskPath = folder.WindowsPath() + "\\disk.txt";
  {
    ScopedFileFunctions memory(&kMemoryFileFunctions);
    gMemoryFiles["m.txt"] = "in memory";
    const StreamFunctionTable* streams = GetFileStreamFunctions();
    FileHandle file = OpenFileForRead("m.txt", 7);
    ASSERT_NE(file, 0);
    char buffer[16] = {};
    EXPECT_EQ(streams->Read(buffer, 1, sizeof buffer, file), 9u);
    EXPECT_STREQ(buffer, "in memory");
    EXPECT_EQ(streams->Eof(file), 0);
    EXPECT_EQ(ReadStreamFile(buffer, 1, 1, file), 0u);
    EXPECT_EQ(EofStreamFile(file), -1);
    EXPECT_EQ(streams->Close(file), 0);
    EXPECT_EQ(OpenStreamFile(diskPath.c_str(), 0, 1, 0), 0);  // the memory table knows no disk
    EXPECT_EQ(gCalls, (std::vector<std::string>{"open m.txt 011", "open " + diskPath + " 010"}));
  }
  // The default again: the stream table taken before forwards to it.
  FileHandle file = OpenStreamFile(diskPath.c_str(), 0, 1, 0);
  ASSERT_NE(file, 0);
  char buffer[16] = {};
  EXPECT_EQ(GetFileStreamFunctions()->Read(buffer, 1, sizeof buffer, file), 7u);
  EXPECT_STREQ(buffer, "on disk");
  EXPECT_EQ(CloseStreamFile(file), 0);
}

// Every line ReadFileLine gives for the bytes, with the buffer size given; "<end>" for -1.
std::vector<std::string> ReadAllLines(FileHandle file, int bufferSize) {
  std::vector<std::string> lines;
  std::vector<char> buffer(static_cast<size_t>(bufferSize) + 1, '\x55');
  for (int guard = 0; guard < 10000; ++guard) {
    int n = ReadFileLine(buffer.data(), bufferSize, file);
    if (n < 0) {
      lines.push_back("<end>");
      return lines;
    }
    EXPECT_EQ(buffer[static_cast<size_t>(n)], '\0');
    EXPECT_EQ(buffer[static_cast<size_t>(bufferSize)], '\x55');  // never past the buffer
    lines.push_back(std::string(buffer.data(), static_cast<size_t>(n)));
  }
  ADD_FAILURE() << "ReadFileLine does not reach the end";
  return lines;
}

struct LineCase {
  const char* label;
  std::string bytes;
  int bufferSize;
  std::vector<std::string> lines;
};

std::vector<LineCase> LineCases() {
  return {
      {"CR LF ends lines", "ab\r\ncd", 16, {"ab", "cd", "<end>"}},
      {"a line longer than the buffer", "abcd\r\n", 3, {"ab", "cd", "", "<end>"}},
      {"lone LF and CR stay", "a\nb\rc", 16, {"a\nb\rc", "<end>"}},
      {"CR LF split by the buffer edge", "abc\r\ndef", 5, {"abc", "def", "<end>"}},
      {"lone CR at the buffer edge", "abc\rdef", 5, {"abc\r", "def", "<end>"}},
      {"CR as the last byte of the file", "abc\r", 5, {"abc\r", "<end>"}},
      {"CR LF in a two-byte buffer", "\r\nx", 2, {"", "x", "<end>"}},
      {"lead byte at the buffer edge",
       "a\x82\xa0"
       "b",
       3,
       {"a", "\x82\xa0", "b", "<end>"}},
      {"second byte 0x5C", "\x83\x5C\r\n\x83\x5C", 16, {"\x83\x5C", "\x83\x5C", "<end>"}},
      {"lone lead byte ends the file", "ab\x82", 16, {"ab", "\x82", "<end>"}},
      {"empty lines", "\r\n\r\n", 16, {"", "", "<end>"}},
      {"empty file", "", 16, {"<end>"}},
  };
}

TEST(ReadFileLine, KnownCasesInEveryKindOfFile) {
  ASSERT_LE(CharSetMode, 1);  // Shift-JIS lead bytes
  TempFolder folder;
  for (const LineCase& c : LineCases()) {
    SCOPED_TRACE(c.label);
    {
      ScopedFileFunctions memory(&kMemoryFileFunctions);
      gMemoryFiles["f"] = c.bytes;
      FileHandle file = OpenFileForRead("f", 0);
      ASSERT_NE(file, 0);
      EXPECT_EQ(ReadAllLines(file, c.bufferSize), c.lines) << "memory";
      CloseStreamFile(file);
    }
    folder.WriteFile("f.txt", c.bytes);
    std::string path = folder.WindowsPath() + "\\f.txt";
    for (int async = 0; async <= 1; ++async) {
      FileHandle file = OpenFileForRead(path.c_str(), async);
      ASSERT_NE(file, 0);
      EXPECT_EQ(ReadAllLines(file, c.bufferSize), c.lines) << (async ? "asynchronous" : "plain");
      CloseStreamFile(file);
    }
  }
}

// Random text of letters, CR, LF, CR LF and double-byte characters (some with a second byte
// that looks like a backslash or a letter) read with small buffers: the lines put together are
// the text without its CR LF pairs, no line is longer than the buffer, and none splits a
// double-byte character.
TEST(ReadFileLine, RandomTextsReassemble) {
  ScopedFileFunctions memory(&kMemoryFileFunctions);
  std::mt19937 random(4242);
  const char* kPieces[] = {"a",        "b",        "\r",       "\n",       "\r\n",
                           "\x82\xa0", "\x83\x5C", "\x83\x41", "\xe0\x40", " "};
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int pieces = static_cast<int>(random() % 40);
    for (int i = 0; i < pieces; ++i) text += kPieces[random() % std::size(kPieces)];
    int bufferSize = 3 + static_cast<int>(random() % 10);
    gMemoryFiles["f"] = text;
    FileHandle file = OpenFileForRead("f", 0);
    std::vector<std::string> lines = ReadAllLines(file, bufferSize);
    CloseStreamFile(file);

    ASSERT_EQ(lines.back(), "<end>");
    lines.pop_back();
    std::string joined, expect;
    for (const std::string& line : lines) {
      ASSERT_LE(line.size(), static_cast<size_t>(bufferSize - 1));
      for (size_t i = 0; i < line.size(); ++i) {
        if (IsDoubleByteStart(&line[i], CharSetMode)) {
          ASSERT_LT(++i, line.size()) << "split character";
        }
      }
      joined += line;
    }
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      else
        expect += text[i];
    }
    ASSERT_EQ(joined, expect) << "round " << round;
  }
}

TEST(ReadFileLine, RefusesUselessBuffers) {
  ScopedFileFunctions memory(&kMemoryFileFunctions);
  gMemoryFiles["f"] = "abc";
  FileHandle file = OpenFileForRead("f", 0);
  char buffer[1] = {'x'};
  EXPECT_EQ(ReadFileLine(buffer, 1, file), -1);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(ReadFileLine(nullptr, 10, file), -1);
  EXPECT_EQ(TellStreamFile(file), 0);
  CloseStreamFile(file);
}

TEST(MakeFullPath, ResolvesAgainstTheCurrentDirectory) {
  struct Case {
    const char* current;
    const char* path;
    const char* expect;
  } cases[] = {
      {"C:\\a", "..\\..\\x", "C:\\x"},
      {"D:\\a\\b", "\\x", "D:\\x"},
      {"C:\\d", "\\\\srv\\s\\f", "\\\\srv\\s\\f"},
      {"C:\\d", "//srv/s/f", "\\\\srv\\s\\f"},
      {"C:\\d", "a\\..", "C:\\d\\a\\.."},  // a last ".." stays
      {"C:\\d", "a\\..\\b", "C:\\d\\b"},
      {"C:\\d", ".", "C:\\d\\."},
      {"C:\\d", "a\\.\\b\\", "C:\\d\\a\\b"},
      {"C:\\d", "a\\\\b//c", "C:\\d\\a\\b\\c"},  // doubled separators
      {"C:\\d", "a/b", "C:\\d\\a\\b"},
      {"C:\\d\\", "x", "C:\\d\\x"},
      {"C:\\", "x", "C:\\x"},
      {"C:\\d", "", "C:\\d"},
      {"C:\\d", "E:foo\\..\\bar", "E:\\bar"},  // drive-relative: from that drive's root
      {"C:\\d", "E:\\..\\..\\x", "E:\\x"},
      // "ソ" ends in 0x5C, which is no separator.
      {"C:\\ソ", "x", "C:\\ソ\\x"},
      {"C:\\d\\ソ", "..\\y", "C:\\d\\y"},
      {"C:\\d", "ソ\\ソ\\..\\z", "C:\\d\\ソ\\z"},
  };
  for (const Case& c : cases) {
    char out[260];
    ASSERT_EQ(MakeFullPath(c.path, out, sizeof out, c.current), 0) << c.path;
    EXPECT_STREQ(out, c.expect) << c.current << " + " << c.path;
  }
  char out[260];
  EXPECT_EQ(MakeFullPath(nullptr, out, sizeof out, "C:\\here"), 0);
  EXPECT_STREQ(out, "C:\\here");
}

TEST(MakeFullPath, WithoutADirectoryAsksTheCurrentTable) {
  ScopedFileFunctions memory(&kMemoryFileFunctions);
  char out[260];
  ASSERT_EQ(MakeFullPath("..\\x", out, sizeof out, nullptr), 0);
  EXPECT_STREQ(out, "Q:\\memory\\x");

  // A table that cannot tell its directory leaves nothing to build on.
  FileFunctionTable silent = kMemoryFileFunctions;
  silent.GetDirectory = [](char*) { return -1; };
  SetFileFunctionTable(&silent);
  EXPECT_EQ(MakeFullPath("x", out, sizeof out, nullptr), -1);
  EXPECT_EQ(MakeFullPath(nullptr, out, sizeof out, nullptr), -1);
  EXPECT_EQ(MakeFullPath("\\x", out, sizeof out, nullptr), -1);
  ASSERT_EQ(MakeFullPath("C:\\x", out, sizeof out, nullptr), 0);  // needs no directory
  EXPECT_STREQ(out, "C:\\x");
}

TEST(MakeFullPath, FailsWhenTheResultDoesNotFit) {
  char out[8];
  EXPECT_EQ(MakeFullPath("ab", out, 8, "C:\\d"), 0);  // seven bytes and the NUL
  EXPECT_STREQ(out, "C:\\d\\ab");
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(MakeFullPath("abc", out, 8, "C:\\d"), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(MakeFullPath("a", out, 0, "C:\\d"), -1);
  // A long path that shrinks again still has to fit on the way.
  std::string grows = std::string(300, 'x') + "\\..\\y";
  char big[260];
  EXPECT_EQ(MakeFullPath(grows.c_str(), big, sizeof big, "C:\\d"), -1);
}

TEST(MakeFullPath, WorksOnTheDriveViewAndReachesTheSameFile) {
  TempFolder folder;
  folder.MakeDirectory("Data/Sub");
  folder.WriteFile("Data/Sub/File.txt", "the file");
  ScopedCurrentDirectory here(folder.path());

  char full[260];
  ASSERT_EQ(MakeFullPath("data\\.\\sub\\..\\Sub\\file.TXT", full, sizeof full, nullptr), 0);
  EXPECT_EQ(std::string(full), folder.WindowsPath() + "\\data\\Sub\\file.TXT");

  // The same Linux file by every spelling: relative or full, either separator, any case.
  std::string upper = folder.WindowsPath();
  for (char& ch : upper)
    if (ch >= 'a' && ch <= 'z') ch -= 'a' - 'A';
  const std::string spellings[] = {full, "DATA/SUB/FILE.TXT", "data\\sub\\file.txt",
                                   upper + "/data/sub/file.txt",
                                   folder.path() + "/Data//Sub/./File.txt"};
  for (const std::string& spelling : spellings) {
    FileHandle file = OpenStreamFile(spelling.c_str(), 0, 1, 0);
    ASSERT_NE(file, 0) << spelling;
    char buffer[16] = {};
    EXPECT_EQ(ReadStreamFile(buffer, 1, sizeof buffer, file), 8u) << spelling;
    EXPECT_STREQ(buffer, "the file") << spelling;
    CloseStreamFile(file);
  }
}

class TempDirectory : public testing::Test {
 protected:
  TempFolder folder;
  ScopedEnvironmentVariable tmpDir{"TMPDIR", folder.path()};
};

TEST_F(TempDirectory, OpenTempFileMakesANewEmptyFileForWriting) {
  char path[260];
  HANDLE file = OpenTempFile(path);
  ASSERT_NE(file, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::string name = path;
  std::string directory = folder.WindowsPath() + "\\";
  ASSERT_EQ(name.rfind(directory + "tmp", 0), 0u) << name;
  EXPECT_EQ(folder.ReadFile(name.substr(directory.size())), "");
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "copy", 4, &written, nullptr));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(folder.ReadFile(name.substr(directory.size())), "copy");

  HANDLE second = OpenTempFile(nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(CloseHandle(second));
}

TEST_F(TempDirectory, OpenTempFileFailureGivesNullAndLeavesThePath) {
  // A temporary directory whose name is too long for the 256 bytes asked for.
  std::string deep = folder.path() + "/" + std::string(120, 'a') + "/" + std::string(120, 'b');
  folder.MakeDirectory(deep.substr(folder.path().size() + 1));
  setenv("TMPDIR", deep.c_str(), 1);
  char path[260] = "untouched";
  EXPECT_EQ(OpenTempFile(path), nullptr);
  EXPECT_STREQ(path, "untouched");
}

TEST(FindWin32File, ListsADirectoryWithSizesFlagsAndLocalTimes) {
  TempFolder folder;
  folder.WriteFile("one.rpy", std::string(123, '1'));
  folder.WriteFile("TWO.RPY", std::string(70000, '2'));
  folder.WriteFile("three.txt", "3");
  folder.MakeDirectory("dir.rpy");
  // 2010-06-15 23:30:00 UTC: in a zone nine hours ahead it is already the 16th.
  struct tm when = {};
  when.tm_year = 110;
  when.tm_mon = 5;
  when.tm_mday = 15;
  when.tm_hour = 23;
  when.tm_min = 30;
  struct timespec times[2] = {{timegm(&when), 0}, {timegm(&when), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (folder.path() + "/one.rpy").c_str(), times, 0), 0);
  std::vector<FileFindInfo> found;
  FileFindInfo info;
  std::string pattern = folder.WindowsPath() + "\\*.rpy";
  FindHandle find;
  {
    ScopedTimeZone zone("JST-9");
    find = CurrentFileFunctions.FindFirst(pattern.c_str(), &info);
    ASSERT_NE(find, -1);
    do found.push_back(info);
    while (CurrentFileFunctions.FindNext(find, &info) == 0);
    EXPECT_EQ(CurrentFileFunctions.FindClose(find), 0);
  }

  ASSERT_EQ(found.size(), 3u);
  EXPECT_STREQ(found[0].Name, "dir.rpy");
  EXPECT_EQ(found[0].DirFlag, 1);
  EXPECT_STREQ(found[1].Name, "one.rpy");
  EXPECT_EQ(found[1].DirFlag, 0);
  EXPECT_EQ(found[1].SizeLow, 123u);
  EXPECT_EQ(found[1].LastWriteTime.Year, 2010);
  EXPECT_EQ(found[1].LastWriteTime.Month, 6);
  EXPECT_EQ(found[1].LastWriteTime.Day, 16);
  EXPECT_EQ(found[1].LastWriteTime.Hour, 8);
  EXPECT_EQ(found[1].LastWriteTime.Minute, 30);
  EXPECT_EQ(found[1].LastWriteTime.Second, 0);
  EXPECT_STREQ(found[2].Name, "TWO.RPY");
  EXPECT_EQ(found[2].SizeLow, 70000u);
  EXPECT_EQ(found[2].SizeHigh, 0u);

  // A null info record is allowed; nothing matching gives -1.
  find = CurrentFileFunctions.FindFirst(pattern.c_str(), nullptr);
  ASSERT_NE(find, -1);
  EXPECT_EQ(CurrentFileFunctions.FindClose(find), 0);
  EXPECT_EQ(CurrentFileFunctions.FindFirst((folder.WindowsPath() + "\\*.none").c_str(), &info), -1);
  EXPECT_EQ(CurrentFileFunctions.FindClose(find), -1);  // already closed
}

TEST(FileDirectories, SetAndGetThroughTheTable) {
  ScopedFileFunctions win32(&Win32FileFunctions);  // the results below are the Win32 set's
  TempFolder folder;
  ScopedCurrentDirectory keep(folder.path());
  folder.MakeDirectory("inner");
  EXPECT_NE(CurrentFileFunctions.SetDirectory("INNER"), 0);
  char buffer[260];
  int length = CurrentFileFunctions.GetDirectory(buffer);
  EXPECT_EQ(std::string(buffer), folder.WindowsPath() + "\\inner");
  EXPECT_EQ(length, static_cast<int>(std::strlen(buffer)));
  EXPECT_EQ(CurrentFileFunctions.SetDirectory("missing"), 0);
}

}  // namespace

// Finding files, file times and temporary files of the port.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "port/win32.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(PortFileNames, WildcardsMatchAsWindowsDoes) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "anything.at.all", true},
      {"*.*", "noext", true},
      {"*.*", "a.b", true},
      {"*.rpy", "EASY_000123456.RPY", true},
      {"*.rpy", "a.b.rpy", true},  // the star may pass dots that are not the last
      {"*.rpy", ".rpy", true},
      {"*.rpy", "a.rpyx", false},
      {"*.rpy", "rpy", false},
      {"*.", "noext", true},  // "*." lists the names without an extension
      {"*.", "a.b", false},
      {"a.*", "a", true},
      {"a.*", "a.txt", true},
      {"a.*", "ab", false},
      {"?.rpy", "A.RPY", true},
      {"?.rpy", "AB.RPY", false},
      {"file?", "file", true},  // "?" also matches nothing at the end
      {"file?", "file1", true},
      {"file?", "file12", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"*a*b", "xaxab", true},  // needs the first star to give back
      {"*a*b", "xaxbx", false},
      {"ReadMe.TXT", "readme.txt", true},
      {"readme.txt", "readme.txt.bak", false},
      // Double-byte characters: one "?" each, compared whole. "ア" (83 41) and "ャ" (83 61)
      // differ only in a second byte that would fold as an ASCII letter.
      {"?", "ア", true},
      {"ア*", "アイ.png", true},
      {"ア", "ャ", false},
      {"ソ*", "ソ\\", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PortMatchFileName(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

class PortFind : public testing::Test {
 protected:
  void SetUp() override {
    folder.WriteFile("alpha.txt", std::string(10, 'a'));
    folder.WriteFile("Beta.TXT", "");
    folder.WriteFile("gamma.bin", std::string(3000, 'g'));
    folder.MakeDirectory("sub");
    findsBefore = PortOpenFindCount();
  }
  void TearDown() override { EXPECT_EQ(PortOpenFindCount(), findsBefore); }

  // Every name the pattern finds, in order, with its data.
  std::vector<WIN32_FIND_DATAA> FindAll(const std::string& pattern) {
    std::vector<WIN32_FIND_DATAA> found;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return found;
    do found.push_back(data);
    while (FindNextFileA(h, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_FALSE(FindNextFileA(h, &data));
    EXPECT_TRUE(FindClose(h));
    return found;
  }
  static std::vector<std::string> Names(const std::vector<WIN32_FIND_DATAA>& found) {
    std::vector<std::string> names;
    for (const auto& d : found) names.push_back(d.cFileName);
    return names;
  }

  TempFolder folder;
  int findsBefore = 0;
};

TEST_F(PortFind, ListsEveryEntryWithAttributesAndSizes) {
  auto found = FindAll(folder.WindowsPath() + "\\*");
  ASSERT_EQ(Names(found),
            (std::vector<std::string>{".", "..", "alpha.txt", "Beta.TXT", "gamma.bin", "sub"}));
  struct Expect {
    DWORD attributes;
    DWORD size;
  } expect[] = {{FILE_ATTRIBUTE_DIRECTORY, 0},  {FILE_ATTRIBUTE_DIRECTORY, 0},
                {FILE_ATTRIBUTE_ARCHIVE, 10},   {FILE_ATTRIBUTE_ARCHIVE, 0},
                {FILE_ATTRIBUTE_ARCHIVE, 3000}, {FILE_ATTRIBUTE_DIRECTORY, 0}};
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].dwFileAttributes, expect[i].attributes) << found[i].cFileName;
    EXPECT_EQ(found[i].nFileSizeLow, expect[i].size) << found[i].cFileName;
    EXPECT_EQ(found[i].nFileSizeHigh, 0u) << found[i].cFileName;
    EXPECT_STREQ(found[i].cAlternateFileName, "");
  }
}

TEST_F(PortFind, PatternsDirectoriesInAnyCaseAndSeparators) {
  std::string upper = folder.WindowsPath();
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  std::string slashes = folder.path();  // "/tmp/..." is Z:\tmp\... from the root
  EXPECT_EQ(Names(FindAll(upper + "\\*.TXT")), (std::vector<std::string>{"alpha.txt", "Beta.TXT"}));
  EXPECT_EQ(Names(FindAll(slashes + "/*.txt")),
            (std::vector<std::string>{"alpha.txt", "Beta.TXT"}));
  EXPECT_EQ(Names(FindAll(slashes + "/GAMMA.BIN")), (std::vector<std::string>{"gamma.bin"}));
  EXPECT_EQ(Names(FindAll(slashes + "/sub/*")), (std::vector<std::string>{".", ".."}));
  for (const std::string& name : Names(FindAll("Z:\\*"))) {
    EXPECT_NE(name, ".");  // a drive's root has no "." or ".."
    EXPECT_NE(name, "..");
  }

  // Relative to the current directory.
  ScopedCurrentDirectory here(folder.path());
  EXPECT_EQ(Names(FindAll("*.bin")), (std::vector<std::string>{"gamma.bin"}));
  EXPECT_EQ(Names(FindAll("sub\\..\\a*")), (std::vector<std::string>{"alpha.txt"}));
}

TEST_F(PortFind, FailuresAndBadHandles) {
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA((folder.WindowsPath() + "\\*.none").c_str(), &data),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA((folder.WindowsPath() + "\\missing\\*").c_str(), &data),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA((folder.WindowsPath() + "\\").c_str(), &data), INVALID_HANDLE_VALUE);

  HANDLE h = FindFirstFileA((folder.WindowsPath() + "\\*").c_str(), &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FindClose(h));
  EXPECT_FALSE(FindClose(h));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindNextFileA(h, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(PortFind, SizesPastFourGigabytesAndReadOnlyFiles) {
  int fd = open((folder.path() + "/huge.bin").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, (5LL << 30) + 7), 0);  // sparse: no real space is used
  close(fd);
  folder.WriteFile("locked.txt", "x");
  ASSERT_EQ(chmod((folder.path() + "/locked.txt").c_str(), 0444), 0);

  auto huge = FindAll(folder.WindowsPath() + "\\huge.bin");
  ASSERT_EQ(huge.size(), 1u);
  EXPECT_EQ(huge[0].nFileSizeHigh, 1u);
  EXPECT_EQ(huge[0].nFileSizeLow, (1u << 30) + 7);
  auto locked = FindAll(folder.WindowsPath() + "\\locked.txt");
  ASSERT_EQ(locked.size(), 1u);
  EXPECT_EQ(locked[0].dwFileAttributes, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
}

SYSTEMTIME Fields(const FILETIME& t) {
  SYSTEMTIME s;
  EXPECT_TRUE(FileTimeToSystemTime(&t, &s));
  return s;
}

TEST_F(PortFind, TimesComeFromTheFileSystem) {
  // 2001-02-03 04:05:06.789 UTC as the last write.
  struct tm when = {};
  when.tm_year = 101;
  when.tm_mon = 1;
  when.tm_mday = 3;
  when.tm_hour = 4;
  when.tm_min = 5;
  when.tm_sec = 6;
  struct timespec times[2] = {{timegm(&when), 789000000}, {timegm(&when), 789000000}};
  std::string host = folder.path() + "/alpha.txt";
  ASSERT_EQ(utimensat(AT_FDCWD, host.c_str(), times, 0), 0);

  auto found = FindAll(folder.WindowsPath() + "\\alpha.txt");
  ASSERT_EQ(found.size(), 1u);
  SYSTEMTIME write = Fields(found[0].ftLastWriteTime);
  EXPECT_EQ(write.wYear, 2001);
  EXPECT_EQ(write.wMonth, 2);
  EXPECT_EQ(write.wDay, 3);
  EXPECT_EQ(write.wHour, 4);
  EXPECT_EQ(write.wMinute, 5);
  EXPECT_EQ(write.wSecond, 6);
  EXPECT_EQ(write.wMilliseconds, 789);

  // Creation: the birth time where the file system keeps one (the file was made just now, not
  // in 2001), else the last write.
  struct statx sx;
  ASSERT_EQ(statx(AT_FDCWD, host.c_str(), 0, STATX_BTIME, &sx), 0);
  SYSTEMTIME created = Fields(found[0].ftCreationTime);
  if (sx.stx_mask & STATX_BTIME) {
    time_t now = time(nullptr);
    struct tm today;
    gmtime_r(&now, &today);
    EXPECT_GE(created.wYear, 2020);
    EXPECT_LE(created.wYear, today.tm_year + 1900);
  } else {
    EXPECT_EQ(found[0].ftCreationTime.dwLowDateTime, found[0].ftLastWriteTime.dwLowDateTime);
    EXPECT_EQ(found[0].ftCreationTime.dwHighDateTime, found[0].ftLastWriteTime.dwHighDateTime);
  }
}

FILETIME FromUnix(long long seconds) {
  unsigned long long ticks = static_cast<unsigned long long>(seconds + 11644473600LL) * 10000000ULL;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

TEST(PortFileTimes, CalendarFieldsAgreeWithTheCLibrary) {
  std::vector<long long> seconds = {
      -11644473600LL,  // 1601-01-01, the first file time
      -1,              // 1969-12-31 23:59:59
      0,
      951782400,       // 2000-02-29
      4107542400LL,    // 2100-03-01 (2100 is no leap year)
      253402300799LL,  // 9999-12-31 23:59:59
  };
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 5000; ++i)
    seconds.push_back(static_cast<long long>(random() % 900000000000ULL) -
                      11644473600LL);  // to ~30100
  for (long long s : seconds) {
    time_t t = static_cast<time_t>(s);
    struct tm expect;
    ASSERT_TRUE(gmtime_r(&t, &expect));
    FILETIME ft = FromUnix(s);
    SYSTEMTIME got;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &got)) << s;
    ASSERT_EQ(got.wYear, expect.tm_year + 1900) << s;
    ASSERT_EQ(got.wMonth, expect.tm_mon + 1) << s;
    ASSERT_EQ(got.wDay, expect.tm_mday) << s;
    ASSERT_EQ(got.wDayOfWeek, expect.tm_wday) << s;
    ASSERT_EQ(got.wHour, expect.tm_hour) << s;
    ASSERT_EQ(got.wMinute, expect.tm_min) << s;
    ASSERT_EQ(got.wSecond, expect.tm_sec) << s;
  }
  FILETIME tooLate = {0, 0x80000000u};
  SYSTEMTIME out;
  EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &out));
}

TEST(PortFileTimes, LocalTimeUsesTheZone) {
  ScopedTimeZone zone("JST-9");
  FILETIME utc = FromUnix(951782400 + 20 * 3600);  // 2000-02-29 20:00 UTC
  FILETIME local;
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
  SYSTEMTIME s = Fields(local);
  EXPECT_EQ(s.wMonth, 3);
  EXPECT_EQ(s.wDay, 1);
  EXPECT_EQ(s.wHour, 5);
}

class PortTempFiles : public testing::Test {
 protected:
  TempFolder folder;
  ScopedEnvironmentVariable tmpDir{"TMPDIR", folder.path()};
};

TEST_F(PortTempFiles, TempPathIsTheDriveViewOfTmpDir) {
  char buffer[MAX_PATH];
  std::string expect = folder.WindowsPath() + "\\";
  EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), expect.size());
  EXPECT_EQ(buffer, expect);

  char small[4] = "abc";
  EXPECT_EQ(GetTempPathA(sizeof small, small), expect.size() + 1);
  EXPECT_STREQ(small, "abc");

  setenv("TMPDIR", (folder.path() + "/missing").c_str(), 1);
  EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 7u);
  EXPECT_STREQ(buffer, "Z:\\tmp\\");
}

TEST_F(PortTempFiles, TempFileNamesAreNewAndCreated) {
  std::string dir = folder.WindowsPath();
  char first[MAX_PATH], second[MAX_PATH];
  UINT a = GetTempFileNameA(dir.c_str(), "tmpXYZ", 0, first);
  UINT b = GetTempFileNameA((dir + "\\").c_str(), "tmp", 0, second);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(std::string(first), std::string(second));
  for (const char* name : {first, second}) {
    std::string s = name;
    ASSERT_EQ(s.rfind(dir + "\\tmp", 0), 0u) << s;
    ASSERT_EQ(s.size(), dir.size() + 1 + 3 + 4 + 4) << s;
    EXPECT_EQ(s.substr(s.size() - 4), ".TMP");
    EXPECT_EQ(GetFileAttributesA(name), FILE_ATTRIBUTE_ARCHIVE) << s;  // created, empty
    EXPECT_EQ(folder.ReadFile(s.substr(dir.size() + 1)), "");
  }
  char numbered[MAX_PATH];
  EXPECT_EQ(GetTempFileNameA(dir.c_str(), "ab", 0x1234ABCD, numbered), 0x1234ABCDu);
  EXPECT_EQ(std::string(numbered), dir + "\\abABCD.TMP");
  EXPECT_EQ(GetFileAttributesA(numbered), INVALID_FILE_ATTRIBUTES);  // not created

  // Names already present are passed over: occupy the fifty numbers after the last one.
  for (unsigned n = 1; n <= 50; ++n) {
    char taken[16];
    std::snprintf(taken, sizeof taken, "tmp%04X.TMP", (b + n) & 0xFFFFu);
    folder.WriteFile(taken, "taken");
  }
  char next[MAX_PATH];
  ASSERT_NE(GetTempFileNameA(dir.c_str(), "tmp", 0, next), 0u);
  EXPECT_EQ(folder.ReadFile(std::string(next).substr(dir.size() + 1)), "");
}

TEST_F(PortTempFiles, TempFileNameFailures) {
  char out[MAX_PATH];
  EXPECT_EQ(GetTempFileNameA((folder.WindowsPath() + "\\missing").c_str(), "tmp", 0, out), 0u);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  std::string longDir = "Z:\\" + std::string(250, 'd');
  EXPECT_EQ(GetTempFileNameA(longDir.c_str(), "tmp", 0, out), 0u);
  EXPECT_EQ(GetLastError(), ERROR_BUFFER_OVERFLOW);
}

}  // namespace

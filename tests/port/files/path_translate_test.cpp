// The drive view: Windows paths in CP932 onto the Linux tree, case-insensitive per component.
#include "port/files/path_translate.h"

#include <gtest/gtest.h>

#include "port/kernel/last_error.h"
#include "tests/support/temp_folder.h"

namespace {

std::string Host(const char* windowsPath) {
  PortHostPath out;
  DWORD error = 0;
  if (!PortTranslatePath(windowsPath, &out, &error)) return "error " + std::to_string(error);
  return out.path;
}

TEST(PathTranslate, WindowsFormsMapOntoTheTree) {
  TempFolder folder;
  folder.MakeDirectory("Data/Sub");
  folder.WriteFile("Data/Sub/File.TXT", "x");
  const std::string root = folder.path();
  const std::string win = folder.WindowsPath();
  ScopedCurrentDirectory cwd(root);

  struct Case {
    std::string input;
    std::string expected;
  } cases[] = {
      {win + "\\Data\\Sub\\File.TXT", root + "/Data/Sub/File.TXT"},
      {win + "\\data\\SUB\\file.txt", root + "/Data/Sub/File.TXT"},  // case folded per component
      {"z:" + root + "/data/sub/FILE.txt", root + "/Data/Sub/File.TXT"},
      {"data\\sub\\file.txt", root + "/Data/Sub/File.TXT"},        // relative to the current folder
      {"data/./x/../Sub//file.txt", root + "/Data/Sub/File.TXT"},  // "." and ".." lexically
      {"Z:data\\sub", root + "/Data/Sub"},                         // drive-relative
      {"\\", "/"},
      {"Z:\\..\\..", "/"},                        // never above the root
      {"data\\new.txt", root + "/Data/new.txt"},  // a missing leaf keeps its name
      {"C:\\Windows", "error " + std::to_string(ERROR_PATH_NOT_FOUND)},
      {"\\\\server\\share\\f", "error " + std::to_string(ERROR_PATH_NOT_FOUND)},
      {"", "error " + std::to_string(ERROR_INVALID_NAME)},
  };
  for (const Case& c : cases) EXPECT_EQ(Host(c.input.c_str()), c.expected) << c.input;
}

TEST(PathTranslate, ExactNameWinsOverACaseVariant) {
  TempFolder folder;
  folder.WriteFile("readme", "lower");
  folder.WriteFile("README", "upper");
  EXPECT_EQ(Host((folder.WindowsPath() + "\\README").c_str()), folder.path() + "/README");
  EXPECT_EQ(Host((folder.WindowsPath() + "\\readme").c_str()), folder.path() + "/readme");
  // Neither spelling exists: the smallest match is taken, whatever the directory order.
  EXPECT_EQ(Host((folder.WindowsPath() + "\\ReadMe").c_str()), folder.path() + "/README");
}

TEST(PathTranslate, MissingParentIsReported) {
  TempFolder folder;
  PortHostPath out;
  DWORD error = 0;
  ASSERT_TRUE(PortTranslatePath((folder.WindowsPath() + "\\nodir\\f.txt").c_str(), &out, &error));
  EXPECT_FALSE(out.parentExists);
  ASSERT_TRUE(PortTranslatePath((folder.WindowsPath() + "\\f.txt").c_str(), &out, &error));
  EXPECT_TRUE(out.parentExists);
}

TEST(PathTranslate, ShiftJisTrailByte5CIsNotASeparator) {
  TempFolder folder;
  folder.MakeDirectory(
      "\xE8\xA1\xA8\xE7\xA4\xBA");  // UTF-8 of a name whose CP932 is 0x95 0x5C 0x8E 0xA6
  folder.WriteFile("\xE8\xA1\xA8\xE7\xA4\xBA/\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88.txt", "x");
  const std::string input =
      folder.WindowsPath() + "\\\x95\x5C\x8E\xA6\\\x83\x5C\x83\x74\x83\x67.TXT";
  EXPECT_EQ(Host(input.c_str()),
            folder.path() + "/\xE8\xA1\xA8\xE7\xA4\xBA/\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88.txt");
}

TEST(PathTranslate, HostPathsComeBackAsDriveZ) {
  std::string out;
  ASSERT_TRUE(PortHostToWindowsPath("/home/user/game", &out));
  EXPECT_EQ(out, "Z:\\home\\user\\game");
  ASSERT_TRUE(PortHostToWindowsPath("/", &out));
  EXPECT_EQ(out, "Z:\\");
  ASSERT_TRUE(PortHostToWindowsPath("/data/\xE8\xA1\xA8\xE7\xA4\xBA", &out));
  EXPECT_EQ(out, "Z:\\data\\\x95\x5C\x8E\xA6");
}

TEST(PathTranslate, BytesThatAreNotCp932AreRefused) {
  PortHostPath out;
  DWORD error = 0;
  EXPECT_FALSE(PortTranslatePath("\x81", &out, &error));  // a lead byte with no trail byte
  EXPECT_EQ(error, ERROR_INVALID_NAME);
}

}  // namespace

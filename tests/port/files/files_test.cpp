// The kernel's basic file functions over POSIX files.
#include <gtest/gtest.h>

#include <string>

#include "port/win32.h"
#include "tests/support/temp_folder.h"

namespace {

class PortFiles : public testing::Test {
 protected:
  std::string Path(const char* name) const { return folder.WindowsPath() + "\\" + name; }
  HANDLE Open(const char* name, DWORD access, DWORD disposition) {
    return CreateFileA(Path(name).c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  }
  TempFolder folder;
};

TEST_F(PortFiles, CreationDispositions) {
  struct Case {
    const char* name;
    DWORD disposition;
    bool exists;
    bool succeeds;
    DWORD lastError;
    const char* contentAfter;  // null: no file afterwards
  } cases[] = {
      {"new_missing", CREATE_NEW, false, true, ERROR_SUCCESS, ""},
      {"new_present", CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
      {"always_missing", CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {"always_present", CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
      {"existing_missing", OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {"existing_present", OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
      {"openalways_missing", OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
      {"openalways_present", OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
      {"truncate_missing", TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
      {"truncate_present", TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
      {"bad_disposition", 9, true, false, ERROR_INVALID_PARAMETER, "old"},
  };
  for (const Case& c : cases) {
    if (c.exists) folder.WriteFile(c.name, "old");
    SetLastError(12345);
    HANDLE h = Open(c.name, GENERIC_READ | GENERIC_WRITE, c.disposition);
    EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.succeeds) << c.name;
    EXPECT_EQ(GetLastError(), c.lastError) << c.name;
    if (h != INVALID_HANDLE_VALUE) { EXPECT_TRUE(CloseHandle(h)); }
    EXPECT_EQ(folder.Exists(c.name), c.contentAfter != nullptr) << c.name;
    if (c.contentAfter) { EXPECT_EQ(folder.ReadFile(c.name), c.contentAfter) << c.name; }
  }
}

TEST_F(PortFiles, ReadWriteAndAccessRights) {
  HANDLE w = Open("data.bin", GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(w, "hello world", 11, &n, nullptr));
  EXPECT_EQ(n, 11u);
  char buffer[32] = {};
  EXPECT_FALSE(ReadFile(w, buffer, 4, &n, nullptr));  // opened for writing only
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(CloseHandle(w));

  HANDLE r = Open("DATA.BIN", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(r, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(r, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(ReadFile(r, buffer, 5, &n, nullptr));
  EXPECT_EQ(std::string(buffer, n), "hello");
  EXPECT_TRUE(ReadFile(r, buffer, sizeof(buffer), &n, nullptr));  // short read at the end
  EXPECT_EQ(std::string(buffer, n), " world");
  EXPECT_TRUE(ReadFile(r, buffer, sizeof(buffer), &n, nullptr));  // at the end: success, 0 bytes
  EXPECT_EQ(n, 0u);
  EXPECT_TRUE(CloseHandle(r));
}

TEST_F(PortFiles, SetFilePointerMethodsAndHighWord) {
  HANDLE h = Open("seek.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n;
  ASSERT_TRUE(WriteFile(h, "0123456789", 10, &n, nullptr));
  EXPECT_EQ(SetFilePointer(h, 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(SetFilePointer(h, 3, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_END), 9u);
  char c = 0;
  ASSERT_TRUE(ReadFile(h, &c, 1, &n, nullptr));
  EXPECT_EQ(c, '9');
  // Before the start: refused, the position stays.
  EXPECT_EQ(SetFilePointer(h, -11, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 10u);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, 7), INVALID_SET_FILE_POINTER);

  // Past 4 GiB through the high word; a sparse file of 4 GiB + 6 bytes.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(h, 5, &high, FILE_BEGIN), 5u);
  EXPECT_EQ(high, 1);
  ASSERT_TRUE(WriteFile(h, "!", 1, &n, nullptr));
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(h, &sizeHigh), 6u);
  EXPECT_EQ(sizeHigh, 1u);
  high = -1;  // -1 as a 64-bit distance
  EXPECT_EQ(SetFilePointer(h, -1, &high, FILE_CURRENT), 5u);
  EXPECT_EQ(high, 1);
  // Without the high word a position past 4 GiB - 2 cannot be reported.
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  // A low word of 0xFFFFFFFF is a real position when the last error is clear.
  high = 0;
  EXPECT_EQ(SetFilePointer(h, -1, &high, FILE_BEGIN), 0xFFFFFFFFu);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(PortFiles, CloseHandleRefusesWhatItDoesNotKnow) {
  HANDLE h = Open("a", GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const int open = PortOpenHandleCount();
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(PortOpenHandleCount(), open - 1);
  HANDLE again = Open("b", GENERIC_WRITE, CREATE_ALWAYS);  // may reuse the slot
  for (HANDLE bad : {h, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, GetCurrentThread(),
                     reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x12345678))}) {
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  DWORD n;
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));  // the stale value never reaches the new file
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(CloseHandle(again));
}

TEST_F(PortFiles, DirectoriesAttributesAndDeletion) {
  ScopedCurrentDirectory cwd(folder.path());
  EXPECT_TRUE(CreateDirectoryA("Logs", nullptr));
  EXPECT_FALSE(CreateDirectoryA("logs", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryA("none\\deeper", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA("LOGS"), FILE_ATTRIBUTE_DIRECTORY);

  folder.WriteFile("Logs/f.txt", "abc");
  EXPECT_EQ(GetFileAttributesA("logs/F.TXT"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA("logs\\missing"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA("nodir\\missing"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  // A directory cannot be opened as a file, nor deleted as one.
  EXPECT_EQ(CreateFileA("Logs", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFileA("Logs"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

  EXPECT_TRUE(DeleteFileA("logs\\f.TXT"));
  EXPECT_FALSE(folder.Exists("Logs/f.txt"));
  EXPECT_FALSE(DeleteFileA("logs\\f.TXT"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// A flush reaches the disk through a handle that may write; the failure switch fails it as a
// lost disk would.
TEST_F(PortFiles, FlushFileBuffersNeedsWriteAccess) {
  HANDLE w = Open("flushed.bin", GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(w, "abc", 3, &n, nullptr));
  EXPECT_TRUE(FlushFileBuffers(w));
  PortSetFileFlushFails(true);
  EXPECT_FALSE(FlushFileBuffers(w));
  EXPECT_EQ(GetLastError(), ERROR_IO_DEVICE);
  PortSetFileFlushFails(false);
  EXPECT_TRUE(CloseHandle(w));
  EXPECT_FALSE(FlushFileBuffers(w));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  HANDLE r = Open("flushed.bin", GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(r, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FlushFileBuffers(r));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(CloseHandle(r));
  EXPECT_EQ(folder.ReadFile("flushed.bin"), "abc");
}

TEST_F(PortFiles, MoveFileExReplacesOnlyWhenAsked) {
  struct Case {
    const char* name;
    bool targetExists;
    DWORD flags;
    bool succeeds;
    DWORD lastError;
    const char* targetAfter;  // null: no target afterwards
  } cases[] = {
      {"new name", false, 0, true, 0, "new"},
      {"taken name", true, 0, false, ERROR_ALREADY_EXISTS, "old"},
      {"replaced", true, MOVEFILE_REPLACE_EXISTING, true, 0, "new"},
      {"written through", true, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, true, 0, "new"},
      {"copy allowed: not offered", false, 0x2, false, ERROR_INVALID_PARAMETER, nullptr},
  };
  ScopedCurrentDirectory cwd(folder.path());
  folder.MakeDirectory("Saves");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.WriteFile("Saves/a.tmp", "new");
    if (c.targetExists) folder.WriteFile("Saves/a.dat", "old");
    // Both names are matched without regard to case, as every path of the port is.
    EXPECT_EQ(MoveFileExA("saves\\A.TMP", "SAVES/a.dat", c.flags) != FALSE, c.succeeds);
    if (!c.succeeds) { EXPECT_EQ(GetLastError(), c.lastError); }
    EXPECT_EQ(folder.Exists("Saves/a.tmp"), !c.succeeds);
    EXPECT_EQ(folder.Exists("Saves/a.dat"), c.targetAfter != nullptr);
    if (c.targetAfter) { EXPECT_EQ(folder.ReadFile("Saves/a.dat"), c.targetAfter); }
    DeleteFileA("Saves\\a.tmp");
    DeleteFileA("Saves\\a.dat");
  }
  EXPECT_FALSE(MoveFileExA("Saves\\missing", "Saves\\b.dat", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  // A folder sync that fails comes after the move, which stays done.
  folder.WriteFile("Saves/a.tmp", "new");
  PortSetFolderSyncFails(true);
  EXPECT_FALSE(MoveFileExA("Saves\\a.tmp", "Saves\\a.dat", MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(GetLastError(), ERROR_IO_DEVICE);
  PortSetFolderSyncFails(false);
  EXPECT_EQ(folder.ReadFile("Saves/a.dat"), "new");
  EXPECT_FALSE(folder.Exists("Saves/a.tmp"));
}

TEST_F(PortFiles, CurrentDirectoryIsShownOnDriveZ) {
  folder.MakeDirectory("Game");
  ScopedCurrentDirectory cwd(folder.path());
  ASSERT_TRUE(SetCurrentDirectoryA("game"));
  const std::string expected = folder.WindowsPath() + "\\Game";
  char buffer[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof(buffer), buffer), expected.size());
  EXPECT_EQ(std::string(buffer), expected);
  // Too small: the size needed, NUL included, and the buffer untouched.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetCurrentDirectoryA(sizeof(small), small), expected.size() + 1);
  EXPECT_EQ(small[0], 'x');
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), expected.size() + 1);

  ASSERT_TRUE(SetCurrentDirectoryA(".."));
  EXPECT_FALSE(SetCurrentDirectoryA("nothere"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  folder.WriteFile("plain", "");
  EXPECT_FALSE(SetCurrentDirectoryA("plain"));
  EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
  EXPECT_EQ(GetCurrentDirectoryA(sizeof(buffer), buffer), folder.WindowsPath().size());
}

TEST_F(PortFiles, ShiftJisNamesAreStoredAsUtf8) {
  // "ログ.txt" in CP932 bytes.
  const std::string name = folder.WindowsPath() + "\\\x83\x8D\x83\x4F.txt";
  HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_TRUE(folder.Exists("\xE3\x83\xAD\xE3\x82\xB0.txt"));
}

}  // namespace

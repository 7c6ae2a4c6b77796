// Finding files by pattern, with Windows wildcards, on the drive view of path_translate.h.
#pragma once

#include "port/kernel/win32_types.h"

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;  // the birth time where the file system keeps one, else the last write
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];  // no short names here: always empty
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

// The pattern is a directory (optional) and a name that may hold "*" and "?", matched as
// Windows does without regard to ASCII case. The entries of the directory that match,
// "." and ".." first and the rest in case-blind name order, are read when the search starts.
// INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when nothing matches, ERROR_PATH_NOT_FOUND
// when the directory does not exist.
HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
// FALSE with ERROR_NO_MORE_FILES after the last match.
BOOL WINAPI FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData);
BOOL WINAPI FindClose(HANDLE findFile);

// Windows name matching (port-internal): "*" any run, "?" one character (or none before a dot
// or the end), "*." and ".*" and "*.*" as on Windows; CP932 double-byte characters whole.
bool PortMatchFileName(const char* pattern, const char* name);
// How many searches are open; tests use it to see that nothing leaks.
int PortOpenFindCount();

// Basic file functions of the kernel over POSIX files, on the drive view of path_translate.h.
#pragma once

#include "port/kernel/handles.h"
#include "port/kernel/win32_types.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u

#define FILE_SHARE_READ 0x1u
#define FILE_SHARE_WRITE 0x2u
#define FILE_SHARE_DELETE 0x4u

#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

#define FILE_ATTRIBUTE_READONLY 0x1u
#define FILE_ATTRIBUTE_HIDDEN 0x2u
#define FILE_ATTRIBUTE_SYSTEM 0x4u
#define FILE_ATTRIBUTE_DIRECTORY 0x10u
#define FILE_ATTRIBUTE_ARCHIVE 0x20u
#define FILE_ATTRIBUTE_NORMAL 0x80u
#define FILE_ATTRIBUTE_TEMPORARY 0x100u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

// Sharing modes, security attributes, flags and the template are accepted and not enforced.
// A directory cannot be opened (ERROR_ACCESS_DENIED). CREATE_ALWAYS and OPEN_ALWAYS on an
// existing file succeed with ERROR_ALREADY_EXISTS as the last error.
HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES attributes, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile);
// Synchronous only: an OVERLAPPED fails with ERROR_INVALID_PARAMETER. At the end of the file
// ReadFile succeeds with 0 bytes read.
BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED overlapped);
// Without a high word the distance is a signed 32-bit value and a new position past 4 GiB - 2
// fails. A success leaves ERROR_SUCCESS as the last error, so that a low word of 0xFFFFFFFF
// can be told from INVALID_SET_FILE_POINTER.
DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);
DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL WINAPI DeleteFileA(LPCSTR fileName);
// The length written without its NUL; when the buffer is too small, the size it needs with the
// NUL, and nothing written.
DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName);
BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES attributes);
// FILE_ATTRIBUTE_DIRECTORY or FILE_ATTRIBUTE_ARCHIVE, with FILE_ATTRIBUTE_READONLY when the
// owner may not write; INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD WINAPI GetFileAttributesA(LPCSTR fileName);

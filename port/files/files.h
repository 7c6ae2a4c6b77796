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

#define MOVEFILE_REPLACE_EXISTING 0x1u
#define MOVEFILE_WRITE_THROUGH 0x8u

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
// Returns once the file's data and size are on the disk (fsync). The handle must allow writing
// (ERROR_ACCESS_DENIED otherwise).
BOOL WINAPI FlushFileBuffers(HANDLE file);
BOOL WINAPI DeleteFileA(LPCSTR fileName);
// Renames a file within its file system (ERROR_NOT_SAME_DEVICE across them: no copy is made).
// An existing new name is replaced only with MOVEFILE_REPLACE_EXISTING (ERROR_ALREADY_EXISTS
// otherwise), in one step: the name never stands for nothing. MOVEFILE_WRITE_THROUGH returns
// once the new name is on the disk (the folder that holds it synced); a failure there comes
// after the move, which stays done. Other flags fail with ERROR_INVALID_PARAMETER.
BOOL WINAPI MoveFileExA(LPCSTR existingName, LPCSTR newName, DWORD flags);
// The length written without its NUL; when the buffer is too small, the size it needs with the
// NUL, and nothing written.
DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName);
BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES attributes);
// FILE_ATTRIBUTE_DIRECTORY or FILE_ATTRIBUTE_ARCHIVE, with FILE_ATTRIBUTE_READONLY when the
// owner may not write; INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD WINAPI GetFileAttributesA(LPCSTR fileName);

// Test switches: FlushFileBuffers, and the folder sync of MoveFileExA's write-through, fail as
// a disk that cannot be reached would (ERROR_IO_DEVICE). Off by default.
void PortSetFileFlushFails(bool fails);
void PortSetFolderSyncFails(bool fails);

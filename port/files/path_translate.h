// How Windows paths of the port map onto the Linux tree (port-internal). The tree is drive Z:,
// separators are "\" or "/", a path without a drive is relative to the process's current
// directory, and each component that does not exist under its exact name is matched without
// regard to ASCII case, as on Windows. Paths arrive as CP932 bytes and reach the file system as
// UTF-8.
#pragma once

#include <string>

#include "port/kernel/win32_types.h"

struct PortHostPath {
  std::string path;   // absolute UTF-8 path for the file system
  bool parentExists;  // the directory the last component lives in exists
};

// CP932 <-> UTF-8. False when the input holds a byte sequence the other side cannot express.
bool PortCp932ToUtf8(const char* text, std::string* out);
bool PortUtf8ToCp932(const std::string& text, std::string* out);

// Translates a Windows path. False with a Win32 error code (ERROR_PATH_NOT_FOUND for another
// drive or a network path, ERROR_INVALID_NAME for bytes that are not CP932 or an empty path).
bool PortTranslatePath(const char* windowsPath, PortHostPath* out, DWORD* error);

// A host path as the Windows side sees it: "/home/user" -> "Z:\home\user" (CP932), "/" -> "Z:\".
bool PortHostToWindowsPath(const std::string& hostPath, std::string* out);

// The Win32 error code for an errno value of a file operation.
DWORD PortErrorFromErrno(int error, bool parentExists);

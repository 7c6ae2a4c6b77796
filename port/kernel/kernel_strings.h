// The kernel's string functions that the runtime calls.
#pragma once

#include "port/kernel/win32_types.h"

// Length in bytes of a NUL-terminated string; 0 for null.
int WINAPI lstrlenA(LPCSTR text);

#define CP_ACP 0u
#define CP_UTF8 65001u

// Multi-byte text (CP932 for CP_ACP and 932, or UTF-8) to wide characters. `bytes` -1 takes
// the text and its NUL. With `outChars` 0 the count needed; else the count written, or 0
// (ERROR_INSUFFICIENT_BUFFER, ERROR_NO_UNICODE_TRANSLATION, ERROR_INVALID_PARAMETER).
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR out,
                               int outChars);

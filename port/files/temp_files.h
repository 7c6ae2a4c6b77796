// The temporary directory and unique temporary file names.
#pragma once

#include "port/kernel/last_error.h"

// $TMPDIR when it names a directory, else /tmp, as the port shows it ("Z:\tmp\"), always with
// a trailing backslash. The length written without its NUL; when the buffer is too small, the
// size it needs with the NUL, and nothing written.
DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer);

// Forms pathName\<up to three characters of prefix><four hex digits>.TMP in tempFileName (at
// least MAX_PATH bytes). With unique 0 the number is chosen so that the file does not exist
// yet, and the file is created, empty; otherwise unique's low 16 bits are used and nothing is
// created. Returns the number used, or 0 on failure (the directory is missing, or every
// number is taken: ERROR_FILE_EXISTS; the name would not fit: ERROR_BUFFER_OVERFLOW).
UINT WINAPI GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName);

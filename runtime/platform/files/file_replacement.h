// Replacing a whole file so that neither a failed write nor a power cut loses it: the bytes go
// to a temporary file beside it, which is synced to the disk before it is renamed over the old
// file, and the folder is synced after the rename.
#pragma once

#include <cstddef>

// Writes the bytes to "<path>.tmp", syncs it, renames it over `path` and syncs the folder. 0.
// When writing, syncing or renaming the temporary file fails: -1, `path` as it was, no
// temporary file left, and the log says so. When only the folder's sync fails, the new bytes
// are in place but may not outlive a power cut: -1, and the log says that. After a failure
// errno holds the system's reason for the first step that failed (0 when there is none).
int ReplaceFileContents(const char* path, const void* bytes, size_t size);

// Replays: the list of replay files of one difficulty, loading a file into the stream for
// playback, saving the stream, the bounded reads and writes of the stream, and StartPlay,
// which begins every run (normal play, replay, practice and the attract demo).
#pragma once

#include <cstdint>

#include "stg_src/shell/replay_state.h"

// Frees every node and empties the list.
void ClearReplayFileList(ReplayFileList& list);
// Appends a node with the name (cut to 99 bytes) and row at the tail.
void AddReplayFileName(ReplayFileList& list, const char* name, int32_t row);
// Fills ReplayFiles with the replay files of difficulty d (at most 1000, names of 4 to 28
// characters, folders skipped) and returns their count.
int32_t ListReplayFiles(int16_t difficulty);

// Fills the stream from the file for playback, through the runtime's file functions (so an
// archive can serve it): every position the file does not cover holds '0' (0x30). A missing or
// short file is logged with its length.
void LoadReplayFile(const char* path);
// Writes the whole stream to "replay/<difficulty>/<difficulty>_<score>.rpy", replacing a file
// of that name only once the new one is complete and on the disk (ReplaceFileContents). False
// when it could not be written, or its place on the disk not made sure of.
bool SaveReplayFile();

// The stream's byte at position, or -1 outside it.
int ReadReplayByte(int32_t position);
// False (nothing written) outside the stream.
bool WriteReplayByte(int32_t position, uint8_t value);
// The four weapon bytes of a weapon select at ReplayPosition (main, first sub, second sub,
// charge), which then moves on by 4. False, with nothing written or read and the position
// unchanged, when the four do not fit before the end of the stream.
bool WriteReplayWeaponBytes(const int16_t weapons[4]);
bool ReadReplayWeaponBytes(int16_t weapons[4]);  // as signed bytes
// Main 0..3, subs 0..5 and different, charge 0..2.
bool IsValidWeaponSet(const int16_t weapons[4]);

// Begins a run in the current play mode.
void StartPlay();
// The attract demo: "data/mihon.rpy" on hard, restoring the difficulty when it ends.
void StartAttractDemo();

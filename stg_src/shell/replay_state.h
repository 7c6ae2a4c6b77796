// The replay stream and the list of replay files: the 512,000-byte stream that a run records
// (four weapon bytes at each weapon select, one input byte per unpaused play frame) or plays
// back, its position, and the replay files of one difficulty as the title menu lists them.
// ResetReplayState puts every member back to its value at program start; DigestReplayState
// sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int32_t kReplayBufferSize = 512000;
constexpr int kReplayNameSize = 100;

// Never cleared: a run overwrites it from position 0 as far as it gets.
extern uint8_t ReplayBuffer[kReplayBufferSize];
extern int32_t ReplayPosition;  // index of the next byte; 0 at every StartPlay

struct ReplayFileNode {
  ReplayFileNode* previous;
  ReplayFileNode* next;
  char name[kReplayNameSize];  // without its folder
  int32_t row;                 // 0-based, in the order the search found the files
};

// Nodes come from the C++ heap; the list frees what it still holds at process exit.
struct ReplayFileList {
  ReplayFileNode* head = nullptr;
  ReplayFileNode* tail = nullptr;
  ~ReplayFileList();
};

extern ReplayFileList ReplayFiles;
extern int32_t ReplayFileCount;
// The list window of the title menu's replay page.
extern int32_t ReplayListTop;
extern int32_t ReplayListRows;
extern int16_t ReplayListSlide;

void ResetReplayState();
void DigestReplayState(StateDigest& digest, DigestScope scope);

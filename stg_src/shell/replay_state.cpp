#include "stg_src/shell/replay_state.h"

#include <cstring>

#include "stg_src/shell/replay_files.h"

#include "stg_src/game/deterministic.h"

uint8_t ReplayBuffer[kReplayBufferSize];
int32_t ReplayPosition;
ReplayFileList ReplayFiles;
int32_t ReplayFileCount;
int32_t ReplayListTop;
int32_t ReplayListRows;
int16_t ReplayListSlide;

ReplayFileList::~ReplayFileList() { ClearReplayFileList(*this); }

void ResetReplayState() {
  std::memset(ReplayBuffer, 0, sizeof(ReplayBuffer));
  ReplayPosition = 0;
  ClearReplayFileList(ReplayFiles);
  ReplayFileCount = 0;
  ReplayListTop = 0;
  ReplayListRows = 0;
  ReplayListSlide = 0;
}

void DigestReplayState(StateDigest& d, DigestScope scope) {
  DigestValue(d, ReplayPosition);
  if (scope == DigestScope::Run) {
    // The byte the frame recorded or played back; the earlier ones went into the earlier
    // frames' digests, and what lies beyond is not part of this run.
    DigestValue(d, ReplayPosition > 0 && ReplayPosition <= kReplayBufferSize
                       ? ReplayBuffer[ReplayPosition - 1]
                       : -1);
    return;
  }
  DigestBytes(d, ReplayBuffer, sizeof(ReplayBuffer));
  for (const ReplayFileNode* node = ReplayFiles.head; node; node = node->next) {
    DigestBytes(d, reinterpret_cast<const uint8_t*>(node->name), std::strlen(node->name));
    DigestValue(d, node->row);
  }
  DigestValue(d, ReplayFileCount);
  DigestValue(d, ReplayListTop);
  DigestValue(d, ReplayListRows);
  DigestValue(d, ReplayListSlide);
}

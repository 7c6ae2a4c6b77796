// The streaming part of a sound handle's record: a stream sound plays through one ring buffer
// (its own or another stream sound's) that the refill keeps ahead of the play cursor.
#pragma once

#include <cstdint>

#include "runtime/platform/core/handle_table.h"
#include "runtime/sound/stream_sound_source.h"

struct StreamSoundState {
  int playType;         // of the last play: 3 loops, others play once
  int bufferOwner;      // -1: the ring buffer is this handle's own; else the handle it uses
  int users;            // other handles playing through this handle's ring buffer
  int currentUser;      // kept on the owner: the handle the ring plays now, -1 none
  int deletePending;    // a delete came while users remained
  int ringSize;         // one second of sound, in whole blocks
  int writeOffset;      // where the next data goes; -800 before the first fill
  int refillThreshold;  // the cursor must pass this before the next refill writes; -1 none
  StreamSoundSource sources[kStreamSourceMax];
  uint8_t openedFlags[3];
  int sourceCount;
  int currentSource;
  int passes;
  int delivered;
  int totalFrames;
  int position;  // bytes heard so far
  int lastCursor;
  uint8_t active;  // only active stream sounds are refilled
  uint8_t draining;
  uint8_t restartPending;
  uint8_t endedOnce;
  int restartBase;
  int endOffset;
  int endCursor;
  int restartOffset;
  HandleListNode listNode;  // in the stream-sound list of the sound system
};

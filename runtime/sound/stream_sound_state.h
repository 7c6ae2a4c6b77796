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
  StreamSoundSource sources[kStreamSourceMax];  // played in order, each with its repeats
  uint8_t openedFlags[3];   // per source: the stream was opened here and is closed with the sound
  int sourceCount;          // sources added so far
  int currentSource;        // the source the next fill decodes from
  int passes;               // repeats of the current source delivered so far
  int delivered;            // bytes of the current source decoded into the ring so far
  int totalFrames;          // length of the whole sound in sample frames
  int position;             // bytes heard so far
  int lastCursor;           // play cursor at the last look, to measure what was heard since
  uint8_t active;           // only active stream sounds are refilled
  uint8_t draining;         // the data has ended; the ring plays out the closing silence
  uint8_t restartPending;   // a loop restart was written and the cursor has not reached it yet
  uint8_t endedOnce;        // the sound has played to its end at least once
  int restartBase;          // `position` to take when the cursor reaches `restartOffset`
  int endOffset;            // ring offset where the data ended and the closing silence began
  int endCursor;            // play cursor when the data ended
  int restartOffset;        // ring offset where a loop restart's data begins
  HandleListNode listNode;  // in the stream-sound list of the sound system
};

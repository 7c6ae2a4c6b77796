// Stream sounds: a sound handle that plays through a ring buffer of one second, refilled from
// up to three decoding sources while it plays. Play, stop, playing test, position, length and
// delete reach stream sounds through the sound handle operations.
#pragma once

#include "runtime/platform/files/data_stream.h"

// Adds a source read from `stream` to a sound handle (its first source makes it a stream
// sound). Type 2 reads the whole stream into memory at once (*keepsStream = 1: the caller
// may close it); type 3 decodes from the caller's stream while playing (*keepsStream = 0:
// the sound now reads it). `shareHandle` is -1, or a stream sound whose ring buffer the new
// stream sound uses. 0 or -1.
int AddSreamSound(const DataStream* stream, int repeatCount, int handle, int type, int* keepsStream,
                  int shareHandle);
// The same from a file (opened without cache, blocking) or from a file image in memory that
// the caller keeps (type 3 acts as 2). 0 or -1.
int AddStreamSoundFile(const char* fileName, int repeatCount, int handle, int type,
                       int shareHandle);
int AddStreamSoundMemory(const void* image, int size, int repeatCount, int handle, int type,
                         int shareHandle);

// The first fill of a stopped stream sound. 0, or -1 for a bad handle.
int PrimeStreamSound(int handle);
// One refill. 0, or -1 for a bad handle or when the play cursor has not yet made room.
int RefillStreamSound(int handle);

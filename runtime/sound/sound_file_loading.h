// Loading sound files into sound handles, whole or as stream sounds, by the creation type.
#pragma once

#include "runtime/platform/files/data_stream.h"

// How LoadSoundFile makes handles: 0 decodes the whole file into a normal sound (a sound of
// more than 180 seconds, or one whose buffers cannot be made, becomes a stream sound of type
// 2); 2 holds the file image in memory and decodes it while playing; 3 decodes from the open
// file while playing. 1 is stored as 0. 0, or -1 for another value (nothing changes).
int SetSoundCreateType(int type);
int GetSoundCreateType();

// A new sound handle from a file, or -1. bufferCount (at most 10; larger counts become 10) is
// the number of playback buffers of a normal sound; shareHandle (-1 or a stream sound) lends
// its ring buffer to a new stream sound.
int LoadSoundFile(const char* fileName, int bufferCount, int shareHandle);
// The same from a file image the caller keeps; -1 also for a bufferCount above 10.
int LoadSoundFromMemory(const void* image, int size, int bufferCount, int shareHandle);

// Reads a whole file (through the file functions), or a whole DataStream from its start,
// into a new tracked block. 0, or -1 with the failure logged.
int LoadWholeFile(const char* fileName, void** data, int* size);
int ReadWholeStream(const DataStream* stream, void** data, int* size);

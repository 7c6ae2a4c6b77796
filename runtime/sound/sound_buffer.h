// A playback buffer of a sound handle: a valid flag and the platform buffer. Every operation
// on a record refuses (-1, nothing done) while its valid flag is 0, so callers may walk all
// ten slots of a handle without checking them first.
#pragma once

#include "port/win32.h"

struct SoundBufferRecord {
  int valid;
  IDirectSoundBuffer* buffer;
};

// Creation fills an empty record (a valid one is refused, so a live buffer is never lost);
// both need the started device. A duplicate shares the original's sample memory.
int CreateSoundBufferObject(SoundBufferRecord* record, const DSBUFFERDESC* desc);
int DuplicateSoundBufferObject(SoundBufferRecord* record, const SoundBufferRecord* original);
// Releases the platform buffer and clears the valid flag.
int ReleaseSoundBufferObject(SoundBufferRecord* record);
// Plays from the current cursor.
int PlaySoundBufferObject(SoundBufferRecord* record, int loop);
int StopSoundBufferObject(SoundBufferRecord* record);
// The status word; bit 0 = playing.
int GetSoundBufferStatus(SoundBufferRecord* record, DWORD* status);
// Two regions: the second is empty unless the range wraps past the end of the buffer.
int LockSoundBufferObject(SoundBufferRecord* record, DWORD offset, DWORD bytes, void** region1,
                          DWORD* bytes1, void** region2, DWORD* bytes2);
int UnlockSoundBufferObject(SoundBufferRecord* record, void* region1, DWORD bytes1, void* region2,
                            DWORD bytes2);
int SetSoundBufferFrequency(SoundBufferRecord* record, DWORD frequency);
int SetSoundBufferPan(SoundBufferRecord* record, LONG pan);
// Attenuation in hundredths of a decibel, -10000..0.
int SetSoundBufferVolume(SoundBufferRecord* record, LONG volume);
// The play cursor in bytes.
int SetSoundBufferPosition(SoundBufferRecord* record, DWORD position);
int GetSoundBufferPosition(SoundBufferRecord* record, DWORD* position);

// What the files of the stream sound layer share. Everything here runs under the sound lock.
#pragma once

#include "runtime/sound/sound_handles.h"

// The ring buffer a stream sound plays through, claimed for it: its own or its owner's. A
// ring that another handle plays through is taken over (that handle is stopped) only when
// `takeOver` is set. Null when the claim fails.
SoundBufferRecord* ClaimStreamBuffer(int handle, SoundEntry* entry, bool takeOver);
// The ring's owner record (the entry itself when the ring is its own), or null.
SoundEntry* StreamRingOwner(SoundEntry* entry);

// Back at the start of the first source and inactive, as a fresh start and the end of the
// closing silence both leave a stream sound.
void RewindStreamSound(StreamSoundState& state);
// Follows the play cursor into the position of an active stream sound that holds its ring.
void UpdateStreamPlayPosition(SoundEntry* entry, SoundBufferRecord* ring);
int PrimeStreamSoundLocked(int handle);
int RefillStreamSoundLocked(int handle);
int StopStreamSoundLocked(int handle);

// Makes the sound handle operations reach this layer.
void InstallStreamSoundOperations();

// Ring arithmetic.
inline int RingDistance(int from, int to, int ringSize) {
  const int d = to - from;
  return d < 0 ? d + ringSize : d;
}
inline int RoundDownToBlocks(long long bytes, int align) {
  return static_cast<int>(bytes / align * align);
}
inline int RoundUpToBlocks(long long bytes, int align) {
  return static_cast<int>((bytes + align - 1) / align * align);
}

// Sound handles (type 2): the record behind each, its playback buffers, and what can be done
// with any sound handle. A normal sound holds its whole PCM in up to ten buffers that play in
// rotation, so one sound can overlap itself; a stream sound plays through one ring buffer
// that the stream layer keeps filled, and every operation here hands stream sounds to it.
#pragma once

#include "runtime/platform/core/handle_table.h"
#include "runtime/sound/sound_buffer.h"
#include "runtime/sound/stream_sound_state.h"
#include "runtime/sound/wave_format.h"

constexpr int kSoundBufferMax = 10;

enum SoundKind {
  SoundKindNormal = 0,
  SoundKindStream = 1,
};

// Play types: 0 plays and waits for the end, 3 loops, anything else plays once in the
// background.
enum SoundPlayType {
  SoundPlayWait = 0,
  SoundPlayBackground = 1,
  SoundPlayLoop = 3,
};

struct SoundEntry {
  int checkId;
  SoundBufferRecord buffers[kSoundBufferMax];  // a stream sound uses only the first
  WaveFormat format;
  int kind;
  StreamSoundState stream;
  int pcmSize;         // bytes of PCM a normal sound holds
  void* pcmData;       // tracked block
  int* pcmReferences;  // tracked counter of the handles sharing pcmData
  int bufferCount;     // valid buffers, 0..10
  int currentBuffer;   // the buffer the last play selected
  int volume;          // attenuation, 0 (full) .. -10000
  int pan;             // always centre here
  int frequency;       // playback rate in Hz
};

extern HandleTable SoundHandles;

// The record of a handle while sound is started; null for any other handle or when not.
SoundEntry* GetSoundEntry(int handle);

// What the stream layer does for stream sounds. Until it installs its operations, a stream
// sound can be made, listed and deleted, and every other operation on it refuses.
struct StreamSoundOperations {
  int (*play)(int handle, int playType, int fromTop);
  int (*stop)(int handle);
  int (*isPlaying)(int handle);
  int (*positionMs)(int handle);
  int (*totalSamples)(int handle);
  // The stream part of a delete, under the sound lock: stops the sound, and frees the record
  // (or only marks it while other handles still use its ring buffer).
  int (*remove)(int handle);
  int (*refill)(int handle);
};
void SetStreamSoundOperations(const StreamSoundOperations* operations);
const StreamSoundOperations* GetStreamSoundOperations();

// A new empty record (kind normal, no buffers, full volume) under the sound lock; works before
// sound is started too. -1 makes a new handle; a handle value re-creates a record in that
// handle's free slot with its check number. The handle, or -1.
int AddSoundData(int handle);
// Gives an empty handle its platform buffers. Normal kind: `count` (1..10) buffers of `bytes`
// bytes, the first made and the others duplicated from it; a failed duplicate leaves the handle
// with the buffers made so far. Stream kind: one ring buffer of one second, and the handle joins
// the stream-sound list; when that buffer cannot be made the program ends. sourceHandle must
// be -1. 0 or -1.
int CreateSoundBuffers(int sourceHandle, const WaveFormat* format, int bytes, int kind, int count,
                       int handle);

int PlaySoundHandle(int handle, int playType, int fromTop);
int StopSoundHandle(int handle);
// 1 playing, 0 not, -1 for a bad handle or when sound is not started.
int IsSoundPlaying(int handle);
// volume 0..255 (note the order of the arguments).
int SetSoundVolume(int volume, int handle);
int GetSoundPositionMs(int handle);
int GetSoundTotalSamples(int handle);
int GetSoundTotalMs(int handle);
// The second arguments are not used.
int DeleteSoundHandle(int handle, int extra = 0);
int DeleteAllSounds(int extra = 0);

// Volume 0..255 as an attenuation in hundredths of a decibel.
int SoundVolumeToAttenuation(int volume);
// frames x 1000 / rate, with a 64-bit product; -1 for a rate of 0.
int SamplesToMilliseconds(int frames, int rate);

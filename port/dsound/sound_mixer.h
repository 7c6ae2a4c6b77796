// The software mixer behind the port's DirectSound: a fixed table of voices, one per
// secondary buffer, mixed into 16-bit stereo at the output's rate. Voice state is guarded by
// the mixer's own lock, which the output's callback takes for one short mixing pass and
// nothing else; no lock of the runtime is ever taken here.
#pragma once

#include <cstdint>
#include <mutex>

#include "port/kernel/win32_types.h"

// Sample memory of a buffer, shared by the buffer and its duplicates.
struct MixerSamples {
  uint8_t* data;
  DWORD bytes;
  int references;
};

struct MixerVoice {
  bool used;
  bool playing;
  bool looping;
  bool lost;  // its device was released: it no longer plays
  int owner;  // the device that made it
  MixerSamples* samples;
  WORD channels;
  WORD bitsPerSample;
  WORD blockAlign;
  DWORD frames;      // whole frames in the buffer
  DWORD formatRate;  // the rate of the buffer's format
  DWORD frequency;   // the playback rate
  LONG volume;       // hundredths of a decibel, -10000..0
  LONG pan;          // -10000 (left only) .. 10000 (right only)
  float gainLeft;
  float gainRight;
  uint64_t position;  // play position in frames, 32.32 fixed point
};

enum { kMixerVoiceCount = 4096 };

// Every access to a voice, and to the mixer's output rate, holds this lock.
std::unique_lock<std::mutex> LockMixer();

// --- Called with the lock held ---

// A free voice made for `bytes` of new, silent sample memory (or sharing `shareFrom`'s
// memory when it is not -1), or -1 when the table or the memory is exhausted.
int MixerAllocVoice(int owner, WORD channels, WORD bitsPerSample, DWORD rate, DWORD bytes,
                    int shareFrom);
void MixerFreeVoice(int voice);
MixerVoice& MixerVoiceAt(int voice);
// Recomputes the channel gains after a volume or pan change.
void MixerUpdateGains(MixerVoice& voice);
// The play cursor and the write cursor in bytes; the write cursor runs one mixing period
// ahead of the play cursor while the voice plays.
void MixerCursors(const MixerVoice& voice, DWORD* play, DWORD* write);

// --- These take the lock themselves ---

// Stops and marks lost every voice of a device that goes away.
void MixerLoseVoices(int owner);

// The output's rate and its mixing period in device frames (0 while no output is open).
void MixerSetOutput(DWORD rate, DWORD periodFrames);
DWORD MixerOutputRate();

// Mixes `frames` stereo frames into `out` (may be null) and advances every playing voice.
void MixerMix(int16_t* out, int frames);

// The mixer's output: SDL audio, or the manual output tests advance. Counted: every
// initialised device object holds one opening.
bool OpenSoundOutput();
void CloseSoundOutput();

// Play, stop, playing test, volume, position and length of sound handles. For normal sounds
// these touch only the handle's own buffers, which the service thread never uses, so they run
// without the sound lock; stream sounds go to the stream layer, which takes it.
#include <cmath>
#include <cstdint>

#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/sound_system_internal.h"

namespace {

constexpr int kStillPlaying = -2;

const StreamSoundOperations* Streams() { return GetStreamSoundOperations(); }

// The next buffer in rotation, made ready to play: its index, kStillPlaying when it is still
// sounding and fromTop is 0 (it is left alone), or -1.
int SelectNextSoundBuffer(SoundEntry* entry, int fromTop) {
  DWORD cursor = 0;
  const int current = entry->currentBuffer;
  if (current >= 0 && current < kSoundBufferMax)
    GetSoundBufferPosition(&entry->buffers[current], &cursor);
  // Wrapping by comparison, not by remainder: a handle without buffers has a count of 0.
  int next = current + 1;
  if (next >= entry->bufferCount || next >= kSoundBufferMax) next = 0;
  entry->currentBuffer = next;
  SoundBufferRecord* buffer = &entry->buffers[next];
  DWORD status = 0;
  if (!buffer->valid || GetSoundBufferStatus(buffer, &status) != 0) return -1;
  if (status & DSBSTATUS_PLAYING) {
    if (!fromTop) return kStillPlaying;
    StopSoundBufferObject(buffer);
  }
  // With one buffer the cursor read above is its own, so it resumes where it stopped.
  SetSoundBufferPosition(buffer, fromTop ? 0 : cursor);
  SetSoundBufferVolume(buffer, entry->volume);
  SetSoundBufferPan(buffer, entry->pan);
  SetSoundBufferFrequency(buffer, static_cast<DWORD>(entry->frequency));
  return next;
}

// Play type 0: window messages keep flowing until the sound ends or the application quits.
void WaitUntilSoundEnds(int handle) {
  if (ProcessMessagesForSoundWait() != 0) return;
  while (IsSoundPlaying(handle) == 1) {
    Sleep(1);
    if (ProcessMessagesForSoundWait() != 0) return;
  }
}

}  // namespace

int SoundVolumeToAttenuation(int volume) {
  if (volume <= 0) return DSBVOLUME_MIN;
  if (volume > 255) volume = 255;
  const int attenuation = static_cast<int>(1000.0 * std::log10(volume / 255.0));
  return attenuation < DSBVOLUME_MIN ? DSBVOLUME_MIN : attenuation;
}

int SamplesToMilliseconds(int frames, int rate) {
  if (rate <= 0) return -1;
  return static_cast<int>(static_cast<int64_t>(frames) * 1000 / rate);
}

int PlaySoundHandle(int handle, int playType, int fromTop) {
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) return -1;
  if (entry->kind == SoundKindStream) {
    if (!Streams() || !Streams()->play || Streams()->play(handle, playType, fromTop) != 0)
      return -1;
  } else {
    const int selected = SelectNextSoundBuffer(entry, fromTop);
    if (selected == kStillPlaying) return 0;
    if (selected < 0) return -1;
    if (PlaySoundBufferObject(&entry->buffers[selected], playType == SoundPlayLoop) != 0) return -1;
  }
  if (playType == SoundPlayWait) WaitUntilSoundEnds(handle);
  return 0;
}

int StopSoundHandle(int handle) {
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) return -1;
  if (entry->kind == SoundKindStream)
    return Streams() && Streams()->stop ? Streams()->stop(handle) : -1;
  for (int i = 0; i < entry->bufferCount; ++i) {
    DWORD status = 0;
    if (GetSoundBufferStatus(&entry->buffers[i], &status) != 0) return -1;
    if (status & DSBSTATUS_PLAYING) StopSoundBufferObject(&entry->buffers[i]);
  }
  return 0;
}

int IsSoundPlaying(int handle) {
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) return -1;
  if (entry->kind == SoundKindStream)
    return Streams() && Streams()->isPlaying ? Streams()->isPlaying(handle) : -1;
  for (int i = 0; i < entry->bufferCount; ++i) {
    DWORD status = 0;
    if (GetSoundBufferStatus(&entry->buffers[i], &status) == 0 && (status & DSBSTATUS_PLAYING))
      return 1;
  }
  return 0;
}

int SetSoundVolume(int volume, int handle) {
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) return -1;
  const int attenuation = SoundVolumeToAttenuation(volume);
  for (SoundBufferRecord& buffer : entry->buffers) SetSoundBufferVolume(&buffer, attenuation);
  entry->volume = attenuation;
  return 0;
}

int GetSoundPositionMs(int handle) {
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) return -1;
  if (entry->kind == SoundKindStream)
    return Streams() && Streams()->positionMs ? Streams()->positionMs(handle) : -1;
  // A handle without data has no format to measure with.
  const int current = entry->currentBuffer;
  DWORD cursor = 0;
  if (entry->format.nBlockAlign == 0 || current < 0 || current >= kSoundBufferMax ||
      GetSoundBufferPosition(&entry->buffers[current], &cursor) != 0)
    return -1;
  return SamplesToMilliseconds(static_cast<int>(cursor / entry->format.nBlockAlign),
                               static_cast<int>(entry->format.nSamplesPerSec));
}

int GetSoundTotalSamples(int handle) {
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) return -1;
  if (entry->kind == SoundKindStream)
    return Streams() && Streams()->totalSamples ? Streams()->totalSamples(handle) : -1;
  if (entry->format.nBlockAlign == 0) return -1;
  return entry->pcmSize / entry->format.nBlockAlign;
}

int GetSoundTotalMs(int handle) {
  const int frames = GetSoundTotalSamples(handle);
  if (frames < 0) return -1;
  return SamplesToMilliseconds(frames,
                               static_cast<int>(GetSoundEntry(handle)->format.nSamplesPerSec));
}

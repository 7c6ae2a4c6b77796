// Playing, stopping and deleting stream sounds, the playing test and the position, and the
// rules by which handles that share one ring buffer take turns on it.
#include <algorithm>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/stream_sound.h"
#include "runtime/sound/stream_sound_internal.h"

namespace {

void ResetStreamSound(StreamSoundState& s) {
  s.endedOnce = 0;
  RewindStreamSound(s);
}

int PlayStreamSoundLocked(int handle, int playType, int fromTop) {
  SoundEntry* e = GetSoundEntry(handle);
  if (!e || e->kind != SoundKindStream) return -1;
  SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, true);
  if (!ring) return -1;
  StreamSoundState& s = e->stream;
  DWORD status = 0;
  if (GetSoundBufferStatus(ring, &status) != 0) return -1;
  if (fromTop == 0 && (status & DSBSTATUS_PLAYING)) return -1;
  StopStreamSoundLocked(handle);
  // Switching between looping and playing once after the end was reached starts afresh.
  if (playType != s.playType && ((playType ^ s.playType) & 2) && s.endedOnce) ResetStreamSound(s);
  if (fromTop == 1) {
    s.endedOnce = 0;
    if (s.position != 0) ResetStreamSound(s);
  }
  s.playType = playType;
  PrimeStreamSoundLocked(handle);
  SetSoundBufferVolume(ring, e->volume);
  SetSoundBufferPan(ring, e->pan);
  SetSoundBufferFrequency(ring, static_cast<DWORD>(e->frequency));
  // The ring always loops; the refill decides when the sound ends.
  return PlaySoundBufferObject(ring, 1);
}

int PlayStreamSound(int handle, int playType, int fromTop) {
  return WithSoundLock(PlayStreamSoundLocked, handle, playType, fromTop);
}

int StopStreamSound(int handle) { return WithSoundLock(StopStreamSoundLocked, handle); }

int IsStreamSoundPlaying(int handle) {
  EnterSoundLock();
  SoundEntry* e = GetSoundEntry(handle);
  int result = -1;
  if (e && e->kind == SoundKindStream) {
    SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, false);
    DWORD status = 0;
    result =
        ring && GetSoundBufferStatus(ring, &status) == 0 && (status & DSBSTATUS_PLAYING) ? 1 : 0;
  }
  LeaveSoundLock();
  return result;
}

int GetStreamSoundPositionMs(int handle) {
  EnterSoundLock();
  SoundEntry* e = GetSoundEntry(handle);
  int result = -1;
  if (e && e->kind == SoundKindStream) {
    SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, false);
    if (ring) UpdateStreamPlayPosition(e, ring);
    const int rate = static_cast<int>(e->format.nSamplesPerSec);
    const int heard = SamplesToMilliseconds(e->stream.position / e->format.nBlockAlign, rate);
    result = std::min(heard, SamplesToMilliseconds(e->stream.totalFrames, rate));
  }
  LeaveSoundLock();
  return result;
}

int GetStreamSoundTotalSamples(int handle) {
  EnterSoundLock();
  SoundEntry* e = GetSoundEntry(handle);
  const int result = e && e->kind == SoundKindStream ? e->stream.totalFrames : -1;
  LeaveSoundLock();
  return result;
}

void ReleaseStreamSources(SoundEntry* e) {
  StreamSoundState& s = e->stream;
  for (int i = 0; i < s.sourceCount; ++i) {
    StreamSoundSource& source = s.sources[i];
    const DataStream converterStream = source.converter.Stream;
    TerminateSoundConverter(&source.converter);
    FreeTracked(source.image);
    source.image = nullptr;
    if (s.openedFlags[i] && source.type == StreamSourceStream)
      converterStream.Functions.Close(converterStream.Handle);
    if (source.ownStream.Handle) source.ownStream.Functions.Close(source.ownStream.Handle);
    source.ownStream.Handle = 0;
  }
  s.sourceCount = 0;
}

int RemoveStreamSound(int handle) {
  SoundEntry* e = GetSoundEntry(handle);
  if (!e) return -1;
  StopStreamSoundLocked(handle);
  StreamSoundState& s = e->stream;
  if (s.bufferOwner != -1) {
    const int ownerHandle = s.bufferOwner;
    SoundEntry* owner = GetSoundEntry(ownerHandle);
    if (owner) {
      if (owner->stream.currentUser == handle) owner->stream.currentUser = -1;
      --owner->stream.users;
      if (ownerHandle != handle && owner->stream.deletePending) DeleteSoundHandle(ownerHandle);
    }
  }
  if (s.users > 0) {
    s.deletePending = 1;
    return 0;
  }
  UnlinkHandleNode(&s.listNode);
  ReleaseStreamSources(e);
  for (SoundBufferRecord& b : e->buffers) ReleaseSoundBufferObject(&b);
  e->bufferCount = 0;
  ReleaseHandle(&SoundHandles, handle);
  return 0;
}

const StreamSoundOperations kStreamSoundOperations = {
    &PlayStreamSound,
    &StopStreamSound,
    &IsStreamSoundPlaying,
    &GetStreamSoundPositionMs,
    &GetStreamSoundTotalSamples,
    &RemoveStreamSound,
    &RefillStreamSound,
};

}  // namespace

SoundEntry* StreamRingOwner(SoundEntry* e) {
  return e->stream.bufferOwner == -1 ? e : GetSoundEntry(e->stream.bufferOwner);
}

SoundBufferRecord* ClaimStreamBuffer(int handle, SoundEntry* e, bool takeOver) {
  SoundEntry* owner = StreamRingOwner(e);
  if (!owner) return nullptr;
  const int user = owner->stream.currentUser;
  if (user != -1 && user != handle) {
    if (!takeOver) return nullptr;
    StopStreamSoundLocked(user);
  }
  owner->stream.currentUser = handle;
  return &owner->buffers[0];
}

int StopStreamSoundLocked(int handle) {
  SoundEntry* e = GetSoundEntry(handle);
  if (!e || e->kind != SoundKindStream) return -1;
  SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, false);
  if (!ring) return 0;
  UpdateStreamPlayPosition(e, ring);
  if (e->stream.bufferOwner != -1) StreamRingOwner(e)->stream.currentUser = -1;
  DWORD status = 0;
  if (GetSoundBufferStatus(ring, &status) == 0 && (status & DSBSTATUS_PLAYING))
    StopSoundBufferObject(ring);
  return 0;
}

void InstallStreamSoundOperations() {
  if (GetStreamSoundOperations() != &kStreamSoundOperations)
    SetStreamSoundOperations(&kStreamSoundOperations);
}

// Refilling a stream sound's ring buffer: how much to write and when, decoding into it, the
// end of each source's data, the closing silence, and the position heard so far.
#include <algorithm>
#include <climits>
#include <cstring>

#include "runtime/sound/sound_system.h"
#include "runtime/sound/stream_sound.h"
#include "runtime/sound/stream_sound_internal.h"

namespace {

// The write offset before the first fill.
constexpr int kRingEmpty = -800;
// Fractions of a second in 256ths and 512ths, as the refill measures the lead.
constexpr int kFirstFill256 = 192;   // three quarters of a second
constexpr int kLeadTarget512 = 192;  // 0.375 seconds

// The part of the ring one refill has locked, filled from its start.
struct RingLock {
  uint8_t* region[2];
  DWORD bytes[2];
  int offset;  // ring offset of the first byte
  int done;    // bytes filled so far
  int amount;

  int Remaining() const { return amount - done; }
  int NextOffset(int ringSize) const { return (offset + done) % ringSize; }
};

// Copies up to maxBytes of decoded PCM into the lock; the count copied (fewer at the end of
// the data).
int FillFromConverter(RingLock& lock, SoundConverter* converter, int maxBytes) {
  int copied = 0;
  maxBytes = std::min(maxBytes, lock.Remaining());
  while (copied < maxBytes) {
    const int r = lock.done < static_cast<int>(lock.bytes[0]) ? 0 : 1;
    const int start = r == 0 ? lock.done : lock.done - static_cast<int>(lock.bytes[0]);
    const int room = std::min(static_cast<int>(lock.bytes[r]) - start, maxBytes - copied);
    if (room <= 0) break;
    const int got = ReadSoundConverter(converter, lock.region[r] + start, room);
    if (got <= 0) break;
    lock.done += got;
    copied += got;
    if (got < room) break;
  }
  return copied;
}

void FillSilence(RingLock& lock, int maxBytes, int silence) {
  maxBytes = std::min(maxBytes, lock.Remaining());
  while (maxBytes > 0) {
    const int r = lock.done < static_cast<int>(lock.bytes[0]) ? 0 : 1;
    const int start = r == 0 ? lock.done : lock.done - static_cast<int>(lock.bytes[0]);
    const int room = std::min(static_cast<int>(lock.bytes[r]) - start, maxBytes);
    if (room <= 0) break;
    std::memset(lock.region[r] + start, silence, static_cast<size_t>(room));
    lock.done += room;
    maxBytes -= room;
  }
}

int EighthSecond(const SoundEntry* e) {
  return RoundDownToBlocks(e->format.nAvgBytesPerSec / 8, e->format.nBlockAlign);
}
int SilenceValue(const SoundEntry* e) { return e->format.wBitsPerSample == 8 ? 128 : 0; }

// While the cursor lies between the write offset `w` and the refill threshold `t`, less than a
// quarter second lies free ahead of the write offset: too early to write.
bool InWaitZone(int w, int t, int cursor) {
  if (w < t) return w < cursor && cursor < t;
  if (w > t) return cursor > w || cursor < t;
  return false;
}

// The data of the current source ran out during a fill.
void AdvanceStreamSource(SoundEntry* e, RingLock& lock, int cursor) {
  StreamSoundState& s = e->stream;
  const int align = e->format.nBlockAlign;
  const int ringSize = s.ringSize;
  StreamSoundSource* source = &s.sources[s.currentSource];
  ++s.passes;
  if (source->repeatCount < 0) {
    // Forever: one restart point at a time, so the position can follow it.
    if (s.restartPending) return;
    s.delivered = source->loopStart * align;
    s.restartBase = s.delivered;
    s.restartPending = 1;
    s.restartOffset = lock.NextOffset(ringSize);
    SeekSoundConverter(&source->converter, source->loopStart);
    return;
  }
  if (s.passes <= source->repeatCount) {
    s.delivered = 0;
    SeekSoundConverter(&source->converter, 0);
    return;
  }
  const bool last = s.currentSource == s.sourceCount - 1;
  if (last && s.playType == SoundPlayLoop && s.restartPending) return;
  s.passes = 0;
  ++s.currentSource;
  if (s.currentSource < s.sourceCount) {
    s.delivered = 0;
    SeekSoundConverter(&s.sources[s.currentSource].converter, 0);
    return;
  }
  s.endedOnce = 1;
  if (s.playType == SoundPlayLoop) {
    s.currentSource = 0;
    s.restartBase = 0;
    s.restartPending = 1;
    s.restartOffset = lock.NextOffset(ringSize);
    s.delivered = 0;
    SeekSoundConverter(&s.sources[0].converter, 0);
    return;
  }
  s.draining = 1;
  s.endOffset = lock.NextOffset(ringSize);
  s.endCursor = cursor;
  FillSilence(lock, EighthSecond(e), SilenceValue(e));
}

// Decodes into the lock until it is full, the data end makes the sound drain, or a pass of
// the current source has delivered what it can.
void FillRingLock(SoundEntry* e, RingLock& lock, int cursor) {
  StreamSoundState& s = e->stream;
  const int align = e->format.nBlockAlign;
  while (lock.Remaining() > 0 && !s.draining) {
    const int before = s.currentSource;
    StreamSoundSource* source = &s.sources[before];
    int want = lock.Remaining();
    if (source->endFrame != -1) want = std::min(want, source->endFrame * align - s.delivered);
    const int copied = want > 0 ? FillFromConverter(lock, &source->converter, want) : 0;
    s.delivered += copied;
    if (copied == 0) AdvanceStreamSource(e, lock, cursor);
    if (s.currentSource == before &&
        (source->endFrame == -1 || s.delivered >= source->endFrame * align))
      break;
  }
}

// The end of the data has been heard once the cursor, moving on from where the last refill
// saw it, has reached the end offset in ring order: a cursor that wrapped past the ring's end
// counts, and an end offset the cursor already stands on (no data left) ends at once.
bool DrainHeard(const StreamSoundState& s, int cursor) {
  return RingDistance(s.endCursor, cursor, s.ringSize) >=
         RingDistance(s.endCursor, s.endOffset, s.ringSize);
}

void FinishDrain(SoundEntry* e, SoundBufferRecord* ring) {
  StopSoundBufferObject(ring);
  e->stream.draining = 0;
  RewindStreamSound(e->stream);
}

// After writing `written` bytes at the write offset (not the first fill).
void AdvanceWriteOffset(SoundEntry* e, int written) {
  StreamSoundState& s = e->stream;
  s.writeOffset += written;
  if (s.writeOffset >= s.ringSize) s.writeOffset -= s.ringSize;
  const int threeQuarters = RoundUpToBlocks(
      (static_cast<long long>(e->format.nAvgBytesPerSec) * 3 + 3) / 4, e->format.nBlockAlign);
  s.refillThreshold = s.writeOffset - threeQuarters;
  if (s.refillThreshold < 0) s.refillThreshold += s.ringSize;
}

bool LockRing(SoundBufferRecord* ring, int offset, int amount, RingLock* lock) {
  std::memset(lock, 0, sizeof *lock);
  lock->offset = offset;
  lock->amount = amount;
  void* r1 = nullptr;
  void* r2 = nullptr;
  if (LockSoundBufferObject(ring, static_cast<DWORD>(offset), static_cast<DWORD>(amount), &r1,
                            &lock->bytes[0], &r2, &lock->bytes[1]) != 0)
    return false;
  lock->region[0] = static_cast<uint8_t*>(r1);
  lock->region[1] = static_cast<uint8_t*>(r2);
  if (!r2) lock->bytes[1] = 0;
  return true;
}

void UnlockRing(SoundBufferRecord* ring, const RingLock& lock) {
  UnlockSoundBufferObject(ring, lock.region[0], lock.bytes[0], lock.region[1], lock.bytes[1]);
}

}  // namespace

void RewindStreamSound(StreamSoundState& s) {
  s.delivered = 0;
  s.position = 0;
  s.restartPending = 0;
  s.passes = 0;
  s.currentSource = 0;
  s.active = 0;
}

void UpdateStreamPlayPosition(SoundEntry* e, SoundBufferRecord* ring) {
  StreamSoundState& s = e->stream;
  DWORD c = 0;
  if (!s.active || GetSoundBufferPosition(ring, &c) != 0) return;
  const int cursor = static_cast<int>(c);
  const int last = s.lastCursor;
  if (cursor == last) return;
  const int r = s.restartOffset;
  // Passed the restart offset since the last look: both ends of the span count as reached.
  const bool passed = last < cursor ? (last < r && r <= cursor) : (r > last || r <= cursor);
  if (s.restartPending && passed) {
    s.position = s.restartBase + RingDistance(r, cursor, s.ringSize);
    s.restartPending = 0;
  } else {
    const int heard = RingDistance(last, cursor, s.ringSize);
    s.position = s.position > INT_MAX - heard ? INT_MAX : s.position + heard;
  }
  s.lastCursor = cursor;
}

int RefillStreamSoundLocked(int handle) {
  SoundEntry* e = GetSoundEntry(handle);
  if (!e) return -1;
  if (e->kind != SoundKindStream) return 0;
  SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, false);
  StreamSoundState& s = e->stream;
  if (!ring || !s.active || s.sourceCount == 0) return 0;

  const int align = e->format.nBlockAlign;
  const int byteRate = static_cast<int>(e->format.nAvgBytesPerSec);
  UpdateStreamPlayPosition(e, ring);
  DWORD c = 0;
  GetSoundBufferPosition(ring, &c);
  const int cursor = static_cast<int>(c);

  if (s.draining) {
    if (DrainHeard(s, cursor)) {
      FinishDrain(e, ring);
      return 0;
    }
    s.endCursor = cursor;
    if (InWaitZone(s.writeOffset, s.refillThreshold, cursor)) return 0;
    RingLock lock;
    if (!LockRing(ring, s.writeOffset, EighthSecond(e), &lock)) return 0;
    FillSilence(lock, lock.amount, SilenceValue(e));
    UnlockRing(ring, lock);
    AdvanceWriteOffset(e, lock.done);
    return 0;
  }

  DWORD status = 0;
  GetSoundBufferStatus(ring, &status);
  int amount = 0;
  int at = 0;
  const bool firstFill = !(status & DSBSTATUS_PLAYING);
  if (firstFill) {
    if (s.writeOffset != kRingEmpty) return 0;
    amount = RoundDownToBlocks(static_cast<long long>(byteRate) * kFirstFill256 / 256, align);
  } else {
    if (InWaitZone(s.writeOffset, s.refillThreshold, cursor)) return -1;
    const long long lead = RingDistance(cursor, s.writeOffset, s.ringSize);
    const long long v = lead * 512 / byteRate;
    amount = v >= kLeadTarget512 ? EighthSecond(e)
                                 : RoundDownToBlocks((kLeadTarget512 - v) * byteRate / 512, align);
    at = s.writeOffset;
  }
  if (amount <= 0) return 0;

  RingLock lock;
  if (!LockRing(ring, at, amount, &lock)) return 0;
  FillRingLock(e, lock, cursor);
  UnlockRing(ring, lock);
  if (firstFill) {
    s.writeOffset = lock.done;
    s.refillThreshold = 0;
  } else {
    AdvanceWriteOffset(e, lock.done);
  }
  return 0;
}

int RefillStreamSound(int handle) { return WithSoundLock(RefillStreamSoundLocked, handle); }

int PrimeStreamSoundLocked(int handle) {
  SoundEntry* e = GetSoundEntry(handle);
  if (!e || e->kind != SoundKindStream) return -1;
  SoundBufferRecord* ring = ClaimStreamBuffer(handle, e, false);
  if (!ring) return -1;
  StreamSoundState& s = e->stream;
  DWORD status = 0;
  if (GetSoundBufferStatus(ring, &status) != 0 || (status & DSBSTATUS_PLAYING) || s.active ||
      s.sourceCount == 0)
    return 0;
  SetSoundBufferPosition(ring, 0);
  s.writeOffset = kRingEmpty;
  s.refillThreshold = -1;
  s.lastCursor = 0;
  s.draining = 0;
  SeekSoundConverter(&s.sources[s.currentSource].converter, s.delivered / e->format.nBlockAlign);
  s.active = 1;
  RefillStreamSoundLocked(handle);
  return 0;
}

int PrimeStreamSound(int handle) { return WithSoundLock(PrimeStreamSoundLocked, handle); }

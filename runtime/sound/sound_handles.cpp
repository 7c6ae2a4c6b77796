#include "runtime/sound/sound_handles.h"

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/sound_system_internal.h"

namespace {

void* gSoundSlots[HandleCapacity(HandleTypeSound)];
const StreamSoundOperations* gStreamOperations = nullptr;

constexpr DWORD kNormalBufferFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                                     DSBCAPS_CTRLFREQUENCY | DSBCAPS_STATIC;
// For devices that refuse the first set: no frequency control and no global focus.
constexpr DWORD kNormalBufferFallbackFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_STATIC;
constexpr DWORD kStreamBufferFlags = DSBCAPS_GETCURRENTPOSITION2 | kNormalBufferFlags;

DSBUFFERDESC BufferDescription(DWORD flags, DWORD bytes, const WaveFormat* format) {
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = flags;
  desc.dwBufferBytes = bytes;
  desc.lpwfxFormat = const_cast<WaveFormat*>(format);
  return desc;
}

int CreateNormalBuffers(SoundEntry* entry, const WaveFormat* format, int bytes, int count) {
  if (count < 1 || count > kSoundBufferMax || bytes <= 0) return -1;
  DSBUFFERDESC desc = BufferDescription(kNormalBufferFlags, static_cast<DWORD>(bytes), format);
  if (CreateSoundBufferObject(&entry->buffers[0], &desc) != 0) {
    desc.dwFlags = kNormalBufferFallbackFlags;
    if (CreateSoundBufferObject(&entry->buffers[0], &desc) != 0) {
      WriteLogText("DirectSoundBuffer の作成に失敗しました\n");
      return -1;
    }
  }
  int made = 1;
  while (made < count && DuplicateSoundBufferObject(&entry->buffers[made], &entry->buffers[0]) == 0)
    ++made;
  entry->bufferCount = made;
  entry->kind = SoundKindNormal;
  // Plays rotate from the last selected buffer, so the first play takes buffer 0.
  entry->currentBuffer = made - 1;
  return 0;
}

int CreateStreamBuffer(SoundEntry* entry, const WaveFormat* format, int handle) {
  const DWORD block = format->nBlockAlign;
  const DWORD ringSize = block ? (format->nAvgBytesPerSec + block - 1) / block * block : 0;
  DSBUFFERDESC desc = BufferDescription(kStreamBufferFlags, ringSize, format);
  if (CreateSoundBufferObject(&entry->buffers[0], &desc) != 0) {
    SoundFatalError("ストリーム風サウンドバッファの作成に失敗しました");
    return -1;
  }
  entry->bufferCount = 1;
  entry->kind = SoundKindStream;
  entry->currentBuffer = 0;
  LinkHandleNode(&gSoundSystem.streamListHead, &entry->stream.listNode, handle, entry);
  return 0;
}

// Releases the buffers and the shared PCM of a record, then the record itself.
void FreeSoundEntry(SoundEntry* entry, int handle) {
  for (SoundBufferRecord& b : entry->buffers) ReleaseSoundBufferObject(&b);
  entry->bufferCount = 0;
  if (entry->pcmReferences && --*entry->pcmReferences <= 0) {
    FreeTracked(entry->pcmData);
    FreeTracked(entry->pcmReferences);
  }
  entry->pcmData = nullptr;
  entry->pcmReferences = nullptr;
  ReleaseHandle(&SoundHandles, handle);
}

}  // namespace

HandleTable SoundHandles = MakeHandleTable(HandleTypeSound, gSoundSlots);

SoundEntry* GetSoundEntry(int handle) {
  if (!gSoundSystem.device) return nullptr;
  return static_cast<SoundEntry*>(GetHandleRecord(&SoundHandles, handle));
}

void SetStreamSoundOperations(const StreamSoundOperations* operations) {
  gStreamOperations = operations;
}
const StreamSoundOperations* GetStreamSoundOperations() { return gStreamOperations; }

int AddSoundData(int handle) {
  EnterSoundLock();
  const int made =
      handle == -1 ? AllocHandle(&SoundHandles, sizeof(SoundEntry), __FILE__, __LINE__)
                   : AllocHandleAt(&SoundHandles, handle, sizeof(SoundEntry), __FILE__, __LINE__);
  LeaveSoundLock();
  return made;
}

int CreateSoundBuffers(int sourceHandle, const WaveFormat* format, int bytes, int kind, int count,
                       int handle) {
  // Only fresh buffers are made here; nothing copies another sound's buffers.
  if (sourceHandle != -1 || !format) return -1;
  EnterSoundLock();
  SoundEntry* entry = GetSoundEntry(handle);
  int result = -1;
  // A handle that has buffers keeps them: making more would lose the ones it has.
  if (entry && entry->bufferCount == 0) {
    if (kind == SoundKindStream)
      result = CreateStreamBuffer(entry, format, handle);
    else if (kind == SoundKindNormal)
      result = CreateNormalBuffers(entry, format, bytes, count);
  }
  LeaveSoundLock();
  return result;
}

int DeleteSoundHandle(int handle, int) {
  EnterSoundLock();
  SoundEntry* entry = GetSoundEntry(handle);
  if (!entry) {
    LeaveSoundLock();
    return -1;
  }
  int result = 0;
  if (entry->kind == SoundKindStream && gStreamOperations && gStreamOperations->remove) {
    result = gStreamOperations->remove(handle);
  } else {
    if (entry->kind == SoundKindStream) {
      StopSoundBufferObject(&entry->buffers[0]);
      UnlinkHandleNode(&entry->stream.listNode);
    } else if (entry->buffers[0].valid) {
      StopSoundHandle(handle);
    }
    FreeSoundEntry(entry, handle);
  }
  LeaveSoundLock();
  return result;
}

int DeleteAllSounds(int) {
  if (!gSoundSystem.device) return -1;
  EnterSoundLock();
  for (int slot = 0; slot < SoundHandles.endIndex; ++slot) {
    const int handle = HandleOfSlot(&SoundHandles, slot);
    if (handle != -1) DeleteSoundHandle(handle);
  }
  LeaveSoundLock();
  return 0;
}

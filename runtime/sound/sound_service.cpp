// The refills of stream sounds: every 30 ms on the service thread where the machine has more
// than one logical processor, otherwise once per frame from the message processing.
#include <atomic>

#include "runtime/platform/startup/system_state.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "runtime/sound/sound_system_internal.h"

namespace {

constexpr DWORD kServicePeriodMs = 30;
std::atomic<int> gThreadCreationFails{0};

// Under the sound lock.
void RefillActiveStreamSounds() {
  const StreamSoundOperations* streams = GetStreamSoundOperations();
  if (!streams || !streams->refill) return;
  for (HandleListNode* node = gSoundSystem.streamListHead.next;
       node && node != &gSoundSystem.streamListTail; node = node->next) {
    const auto* entry = static_cast<const SoundEntry*>(node->object);
    if (entry->stream.active) streams->refill(node->handle);
  }
}

DWORD WINAPI SoundServiceThread(LPVOID) {
  while (gSoundSystem.stopState.load() != SoundServiceStopRequested) {
    EnterSoundLock();
    if (gSoundSystem.device) RefillActiveStreamSounds();
    LeaveSoundLock();
    Sleep(kServicePeriodMs);
  }
  gSoundSystem.stopState.store(SoundServiceStopped);
  return 0;
}

}  // namespace

void StartSoundServiceThread() {
  gSoundSystem.serviceThread = nullptr;
  gSoundSystem.serviceThreadId = 0;
  if (gSystemState.logicalProcessorCount <= 1 || gThreadCreationFails.load()) return;
  gSoundSystem.stopState.store(SoundServiceRunning);
  // Normal priority: a raised one needs privileges here, and the ring buffers hold a second of
  // sound, many times the period.
  gSoundSystem.serviceThread =
      CreateThread(nullptr, 0, &SoundServiceThread, nullptr, 0, &gSoundSystem.serviceThreadId);
}

void StopSoundServiceThread() {
  if (!gSoundSystem.serviceThread) return;
  gSoundSystem.stopState.store(SoundServiceStopRequested);
  while (gSoundSystem.stopState.load() != SoundServiceStopped) {
    ProcessMessagesForSoundWait();
    Sleep(2);
  }
  WaitForSingleObject(gSoundSystem.serviceThread, INFINITE);
  CloseHandle(gSoundSystem.serviceThread);
  gSoundSystem.serviceThread = nullptr;
  gSoundSystem.serviceThreadId = 0;
}

int UpdateStreamSounds() {
  if (!gSoundSystem.device) return -1;
  EnterSoundLock();
  RefillActiveStreamSounds();
  LeaveSoundLock();
  return 0;
}

int RefillStreamSoundsPerFrame() {
  if (gSoundSystem.serviceThread) return 0;
  return UpdateStreamSounds();
}

void SetSoundThreadCreationFailsForTest(int fails) { gThreadCreationFails.store(fails); }

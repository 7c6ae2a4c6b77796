#include "runtime/sound/sound_buffer.h"

#include "runtime/sound/sound_system.h"

int CreateSoundBufferObject(SoundBufferRecord* record, const DSBUFFERDESC* desc) {
  if (record->valid || !gSoundSystem.device) return -1;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(gSoundSystem.device->CreateSoundBuffer(desc, &buffer, nullptr))) return -1;
  record->buffer = buffer;
  record->valid = 1;
  return 0;
}

int DuplicateSoundBufferObject(SoundBufferRecord* record, const SoundBufferRecord* original) {
  if (record->valid || !original->valid || !gSoundSystem.device) return -1;
  IDirectSoundBuffer* buffer = nullptr;
  if (FAILED(gSoundSystem.device->DuplicateSoundBuffer(original->buffer, &buffer))) return -1;
  record->buffer = buffer;
  record->valid = 1;
  return 0;
}

int ReleaseSoundBufferObject(SoundBufferRecord* record) {
  if (!record->valid) return -1;
  record->buffer->Release();
  record->buffer = nullptr;
  record->valid = 0;
  return 0;
}

int PlaySoundBufferObject(SoundBufferRecord* record, int loop) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0)) ? -1 : 0;
}

int StopSoundBufferObject(SoundBufferRecord* record) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->Stop()) ? -1 : 0;
}

int GetSoundBufferStatus(SoundBufferRecord* record, DWORD* status) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->GetStatus(status)) ? -1 : 0;
}

int LockSoundBufferObject(SoundBufferRecord* record, DWORD offset, DWORD bytes, void** region1,
                          DWORD* bytes1, void** region2, DWORD* bytes2) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->Lock(offset, bytes, region1, bytes1, region2, bytes2, 0)) ? -1 : 0;
}

int UnlockSoundBufferObject(SoundBufferRecord* record, void* region1, DWORD bytes1, void* region2,
                            DWORD bytes2) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->Unlock(region1, bytes1, region2, bytes2)) ? -1 : 0;
}

int SetSoundBufferFrequency(SoundBufferRecord* record, DWORD frequency) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->SetFrequency(frequency)) ? -1 : 0;
}

int SetSoundBufferPan(SoundBufferRecord* record, LONG pan) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->SetPan(pan)) ? -1 : 0;
}

int SetSoundBufferVolume(SoundBufferRecord* record, LONG volume) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->SetVolume(volume)) ? -1 : 0;
}

int SetSoundBufferPosition(SoundBufferRecord* record, DWORD position) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->SetCurrentPosition(position)) ? -1 : 0;
}

int GetSoundBufferPosition(SoundBufferRecord* record, DWORD* position) {
  if (!record->valid) return -1;
  return FAILED(record->buffer->GetCurrentPosition(position, nullptr)) ? -1 : 0;
}

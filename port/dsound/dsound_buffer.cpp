// IDirectSoundBuffer: the primary buffer and the secondary buffers, each a voice of the mixer.
#include <cstring>

#include "port/dsound/dsound_objects.h"
#include "port/dsound/sound_mixer.h"

namespace {

// DirectSound's own default for the primary buffer until SetFormat: 22,050 Hz, 8-bit stereo.
const WAVEFORMATEX kDefaultPrimaryFormat = {WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};

bool InsideSamples(const MixerVoice& v, const void* p, DWORD bytes) {
  const uint8_t* begin = v.samples->data;
  const uint8_t* q = static_cast<const uint8_t*>(p);
  return q >= begin && q <= begin + v.samples->bytes &&
         bytes <= static_cast<DWORD>(begin + v.samples->bytes - q);
}

}  // namespace

PortSoundBuffer* PortSoundBuffer::NewPrimary(PortDirectSound* device) {
  PortSoundBuffer* b = new PortSoundBuffer;
  b->primary_ = true;
  b->device_ = device;
  b->flags_ = DSBCAPS_PRIMARYBUFFER;
  b->format_ = kDefaultPrimaryFormat;
  return b;
}

PortSoundBuffer* PortSoundBuffer::NewSecondary(int voice, DWORD flags, const WAVEFORMATEX& format) {
  PortSoundBuffer* b = new PortSoundBuffer;
  b->voice_ = voice;
  b->flags_ = flags;
  b->format_ = format;
  b->format_.cbSize = 0;
  return b;
}

PortSoundBuffer::~PortSoundBuffer() {
  if (primary_) {
    if (device_) device_->PrimaryGone();
    return;
  }
  auto lock = LockMixer();
  MixerFreeVoice(voice_);
}

HRESULT PortSoundBuffer::QueryInterface(REFIID riid, void** object) {
  return Answer(riid == IID_IUnknown || riid == IID_IDirectSoundBuffer, object);
}

HRESULT PortSoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
  if (primary_) return DSERR_INVALIDCALL;
  if (!playCursor && !writeCursor) return DSERR_INVALIDPARAM;
  auto lock = LockMixer();
  MixerCursors(MixerVoiceAt(voice_), playCursor, writeCursor);
  return DS_OK;
}

HRESULT PortSoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated,
                                   LPDWORD sizeWritten) {
  if (!format) {
    if (!sizeWritten) return DSERR_INVALIDPARAM;
    *sizeWritten = sizeof(WAVEFORMATEX);
    return DS_OK;
  }
  if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
  *format = format_;
  if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
  return DS_OK;
}

HRESULT PortSoundBuffer::GetVolume(LONG* volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  if (primary_) return DSERR_INVALIDCALL;
  if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  auto lock = LockMixer();
  *volume = MixerVoiceAt(voice_).volume;
  return DS_OK;
}

HRESULT PortSoundBuffer::GetPan(LONG* pan) {
  if (!pan) return DSERR_INVALIDPARAM;
  if (primary_) return DSERR_INVALIDCALL;
  if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  auto lock = LockMixer();
  *pan = MixerVoiceAt(voice_).pan;
  return DS_OK;
}

HRESULT PortSoundBuffer::GetFrequency(LPDWORD frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  if (primary_) return DSERR_INVALIDCALL;
  if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  auto lock = LockMixer();
  *frequency = MixerVoiceAt(voice_).frequency;
  return DS_OK;
}

HRESULT PortSoundBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  if (primary_) {
    *status = primaryPlaying_ ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
    return DS_OK;
  }
  auto lock = LockMixer();
  const MixerVoice& v = MixerVoiceAt(voice_);
  DWORD s = 0;
  if (v.playing) s |= DSBSTATUS_PLAYING;
  if (v.playing && v.looping) s |= DSBSTATUS_LOOPING;
  if (v.lost) s |= DSBSTATUS_BUFFERLOST;
  *status = s;
  return DS_OK;
}

HRESULT PortSoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1,
                              LPVOID* audio2, LPDWORD bytes2, DWORD flags) {
  if (!audio1 || !bytes1) return DSERR_INVALIDPARAM;
  *audio1 = nullptr;
  *bytes1 = 0;
  if (audio2) *audio2 = nullptr;
  if (bytes2) *bytes2 = 0;
  // Writing to the primary buffer needs DSSCL_WRITEPRIMARY, which this mixer does not offer.
  if (primary_) return DSERR_PRIOLEVELNEEDED;
  if (DirectSoundCallFails(PortDsCall::Lock)) return DSERR_GENERIC;
  auto lock = LockMixer();
  const MixerVoice& v = MixerVoiceAt(voice_);
  const DWORD size = v.samples->bytes;
  if (flags & DSBLOCK_FROMWRITECURSOR) MixerCursors(v, nullptr, &offset);
  if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
  // A range past the end continues at the start of the buffer, as a second region; without
  // a place for that region the lock ends at the end of the buffer.
  const DWORD first = bytes < size - offset ? bytes : size - offset;
  *audio1 = v.samples->data + offset;
  *bytes1 = first;
  if (first < bytes && audio2 && bytes2) {
    *audio2 = v.samples->data;
    *bytes2 = bytes - first;
  }
  return DS_OK;
}

HRESULT PortSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (reserved != 0 || priority != 0) return DSERR_INVALIDPARAM;
  if (primary_) {
    if (!(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
    primaryPlaying_ = true;
    return DS_OK;
  }
  auto lock = LockMixer();
  MixerVoice& v = MixerVoiceAt(voice_);
  if (v.lost) return DSERR_BUFFERLOST;
  v.playing = true;
  v.looping = (flags & DSBPLAY_LOOPING) != 0;
  return DS_OK;
}

HRESULT PortSoundBuffer::SetCurrentPosition(DWORD newPosition) {
  if (primary_) return DSERR_INVALIDCALL;
  auto lock = LockMixer();
  MixerVoice& v = MixerVoiceAt(voice_);
  if (newPosition / v.blockAlign >= v.frames) return DSERR_INVALIDPARAM;
  v.position = static_cast<uint64_t>(newPosition / v.blockAlign) << 32;
  return DS_OK;
}

HRESULT PortSoundBuffer::SetFormat(LPCWAVEFORMATEX format) {
  // Only the primary buffer's format can change; a secondary buffer keeps the one it was made with.
  if (!primary_) return DSERR_INVALIDCALL;
  if (!device_) return DSERR_BUFFERLOST;
  if (device_->CooperativeLevel() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (DirectSoundCallFails(PortDsCall::SetFormat)) return DSERR_GENERIC;
  const HRESULT check = CheckPcmFormat(format);
  if (FAILED(check)) return check;
  // Recorded and reported by GetFormat. The output itself keeps the device's format: the
  // mixer resamples every buffer to it.
  format_ = *format;
  format_.nAvgBytesPerSec = format_.nBlockAlign * format_.nSamplesPerSec;
  format_.cbSize = 0;
  return DS_OK;
}

HRESULT PortSoundBuffer::SetVolume(LONG volume) {
  if (primary_) return DSERR_INVALIDCALL;
  if (!(flags_ & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  auto lock = LockMixer();
  MixerVoice& v = MixerVoiceAt(voice_);
  v.volume = volume;
  MixerUpdateGains(v);
  return DS_OK;
}

HRESULT PortSoundBuffer::SetPan(LONG pan) {
  if (primary_) return DSERR_INVALIDCALL;
  if (!(flags_ & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  auto lock = LockMixer();
  MixerVoice& v = MixerVoiceAt(voice_);
  v.pan = pan;
  MixerUpdateGains(v);
  return DS_OK;
}

HRESULT PortSoundBuffer::SetFrequency(DWORD frequency) {
  if (primary_) return DSERR_INVALIDCALL;
  if (!(flags_ & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (frequency != DSBFREQUENCY_ORIGINAL &&
      (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
    return DSERR_INVALIDPARAM;
  auto lock = LockMixer();
  MixerVoice& v = MixerVoiceAt(voice_);
  v.frequency = frequency == DSBFREQUENCY_ORIGINAL ? v.formatRate : frequency;
  return DS_OK;
}

HRESULT PortSoundBuffer::Stop() {
  if (primary_) {
    primaryPlaying_ = false;
    return DS_OK;
  }
  // The cursor stays where it is: a later Play goes on from there.
  auto lock = LockMixer();
  MixerVoiceAt(voice_).playing = false;
  return DS_OK;
}

HRESULT PortSoundBuffer::Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) {
  if (primary_) return DSERR_INVALIDCALL;
  if (DirectSoundCallFails(PortDsCall::Unlock)) return DSERR_GENERIC;
  auto lock = LockMixer();
  const MixerVoice& v = MixerVoiceAt(voice_);
  if (!audio1 || !InsideSamples(v, audio1, bytes1)) return DSERR_INVALIDPARAM;
  if (audio2 && !InsideSamples(v, audio2, bytes2)) return DSERR_INVALIDPARAM;
  return DS_OK;
}

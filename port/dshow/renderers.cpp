// The renderer base, the null renderer and the audio renderer.
#include <algorithm>
#include <cstring>

#include "port/dshow/graph_filters.h"
#include "port/dsound/dsound.h"
#include "port/dsound/sound_mixer.h"

// --- CBaseRenderer -------------------------------------------------------------------------

CBaseRenderer::CBaseRenderer(REFCLSID clsid, const wchar_t*, IUnknown*, HRESULT* result)
    : PortFilter(clsid) {
  AddPin(PINDIR_INPUT);
  if (result) *result = S_OK;
}

HRESULT CBaseRenderer::SetMediaType(const AM_MEDIA_TYPE*) { return S_OK; }

HRESULT CBaseRenderer::CheckInputType(PortPin*, const AM_MEDIA_TYPE& type) {
  return CheckMediaType(&type) == S_OK ? S_OK : S_FALSE;
}

HRESULT CBaseRenderer::CompleteConnection(PortPin*, IPin*, const AM_MEDIA_TYPE& type) {
  return SetMediaType(&type);
}

bool CBaseRenderer::WaitUntilDue(std::unique_lock<std::mutex>& lock, REFERENCE_TIME due,
                                 bool timed) {
  for (;;) {
    const FILTER_STATE s = state();
    if (s == State_Stopped) return false;
    if (s == State_Paused) {
      // Paused: the first sample is shown at once, later ones wait for the run.
      if (!cued_) return true;
      stateChanged_.wait(lock);
      continue;
    }
    if (!timed || !HasClock()) return true;
    const REFERENCE_TIME left = due - StreamTime();
    if (left <= 0) return true;
    stateChanged_.wait_for(
        lock, std::chrono::microseconds(std::min<REFERENCE_TIME>(left, 500000) / 10 + 1));
  }
}

HRESULT CBaseRenderer::ReceiveSample(PortPin*, IMediaSample* sample) {
  REFERENCE_TIME start = 0, end = 0;
  const bool timed = sample->GetTime(&start, &end) == S_OK;
  {
    std::unique_lock lock(stateMutex_);
    if (!WaitUntilDue(lock, start - RenderAhead(), timed)) return VFW_E_WRONG_STATE;
    cued_ = true;
    if (timed) lastEnd_ = end;
  }
  return DoRenderSample(sample);
}

HRESULT CBaseRenderer::ReceiveEndOfStream(PortPin*) {
  {
    std::unique_lock lock(stateMutex_);
    // The end comes when the last sample has had its time, and only while running.
    cued_ = true;
    for (;;) {
      if (!WaitUntilDue(lock, lastEnd_, true)) return S_OK;
      if (state() == State_Running) break;
    }
  }
  NotifyGraph(EC_COMPLETE);
  return S_OK;
}

void CBaseRenderer::OnStateChange(FILTER_STATE, FILTER_STATE to) {
  if (to != State_Stopped) return;
  std::lock_guard lock(stateMutex_);
  cued_ = false;
  lastEnd_ = 0;
}

// --- The null renderer ---------------------------------------------------------------------

namespace {

class NullRenderer : public CBaseRenderer {
 public:
  NullRenderer() : CBaseRenderer(CLSID_NullRenderer, L"Null Renderer", nullptr, nullptr) {}
  HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override { return type ? S_OK : E_POINTER; }
  HRESULT DoRenderSample(IMediaSample*) override { return S_OK; }
};

// --- The audio renderer: a looping mixer voice of two seconds, written ahead of the play
// position by the samples' times --------------------------------------------------------------

const CLSID kAudioRendererClass = {
    0x79376820, 0x07D0, 0x11CF, {0xA2, 0x4D, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x67}};
// The voices of movies belong to no DirectSound device.
constexpr int kMovieVoiceOwner = -2;
constexpr REFERENCE_TIME kRingTime = 20000000;    // two seconds
constexpr REFERENCE_TIME kWriteAhead = 10000000;  // never more than one second ahead

class AudioRenderer : public CBaseRenderer, public IBasicAudio {
 public:
  AudioRenderer() : CBaseRenderer(kAudioRendererClass, L"Audio Renderer", nullptr, nullptr) {}
  ~AudioRenderer() override { CloseVoice(); }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    return CBaseRenderer::QueryInterface(iid, object);
  }
  ULONG AddRef() override { return CBaseRenderer::AddRef(); }
  ULONG Release() override { return CBaseRenderer::Release(); }

  HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override {
    if (!type) return E_POINTER;
    if (type->majortype != MEDIATYPE_Audio || type->subtype != MEDIASUBTYPE_PCM ||
        type->formattype != FORMAT_WaveFormatEx || type->cbFormat < 16 || !type->pbFormat)
      return S_FALSE;
    WAVEFORMATEX f = {};
    std::memcpy(&f, type->pbFormat, 16);
    const bool ok = (f.nChannels == 1 || f.nChannels == 2) && f.wBitsPerSample == 16 &&
                    f.nBlockAlign == f.nChannels * 2 && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
                    f.nSamplesPerSec <= DSBFREQUENCY_MAX;
    return ok ? S_OK : S_FALSE;
  }

  HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override {
    std::memcpy(&format_, type->pbFormat, 16);
    format_.cbSize = 0;
    return S_OK;
  }

  HRESULT DoRenderSample(IMediaSample* sample) override {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const DWORD bytes = static_cast<DWORD>(std::max(0L, sample->GetActualDataLength()));
    // The voice may go on the main thread meanwhile: it is only looked at under the lock.
    auto lock = LockMixer();
    if (voice_ < 0 || !data) return S_OK;
    MixerVoice& v = MixerVoiceAt(voice_);
    const DWORD size = v.samples->bytes;
    // Round the ring: at most the ring's size, in two pieces where it wraps.
    DWORD left = std::min(bytes, size);
    const BYTE* from = data + (bytes - left);
    while (left > 0) {
      const DWORD n = std::min(left, size - written_);
      std::memcpy(v.samples->data + written_, from, n);
      written_ = (written_ + n) % size;
      from += n;
      left -= n;
    }
    return S_OK;
  }

  HRESULT put_Volume(long volume) override {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return E_INVALIDARG;
    auto lock = LockMixer();
    volume_ = volume;
    if (voice_ >= 0) {
      MixerVoice& v = MixerVoiceAt(voice_);
      v.volume = volume;
      MixerUpdateGains(v);
    }
    return S_OK;
  }
  HRESULT get_Volume(long* volume) override {
    if (!volume) return E_POINTER;
    auto lock = LockMixer();
    *volume = volume_;
    return S_OK;
  }

 protected:
  REFERENCE_TIME RenderAhead() override { return kWriteAhead; }

  void* FindInterface(REFIID iid) override {
    return iid == IID_IBasicAudio ? static_cast<IBasicAudio*>(this) : nullptr;
  }

  void OnStateChange(FILTER_STATE from, FILTER_STATE to) override {
    CBaseRenderer::OnStateChange(from, to);
    if (from == State_Stopped && pins()[0]->peer()) OpenVoice();
    if (to == State_Stopped) CloseVoice();
    auto lock = LockMixer();
    if (voice_ >= 0) MixerVoiceAt(voice_).playing = to == State_Running;
  }

 private:
  void OpenVoice() {
    if (!OpenSoundOutput()) return;
    outputOpen_ = true;
    const DWORD bytes = static_cast<DWORD>(kRingTime / 10000000 * format_.nAvgBytesPerSec);
    auto lock = LockMixer();
    voice_ = MixerAllocVoice(kMovieVoiceOwner, format_.nChannels, format_.wBitsPerSample,
                             format_.nSamplesPerSec, bytes, -1);
    written_ = 0;
    if (voice_ < 0) return;
    MixerVoice& v = MixerVoiceAt(voice_);
    v.looping = true;
    v.volume = volume_;
    MixerUpdateGains(v);
  }

  void CloseVoice() {
    {
      auto lock = LockMixer();
      if (voice_ >= 0) MixerFreeVoice(voice_);
      voice_ = -1;
    }
    if (outputOpen_) CloseSoundOutput();
    outputOpen_ = false;
  }

  WAVEFORMATEX format_ = {};
  bool outputOpen_ = false;
  // Under the mixer's lock.
  int voice_ = -1;
  DWORD written_ = 0;
  long volume_ = 0;
};

}  // namespace

HRESULT CreateNullRendererObject(REFIID iid, void** object) {
  auto* made = new NullRenderer;
  const HRESULT hr = made->QueryInterface(iid, object);
  made->Release();
  return hr;
}

PortFilter* MakeAudioRenderer() { return new AudioRenderer; }

bool IsAudioRenderer(IBaseFilter* filter) {
  return dynamic_cast<AudioRenderer*>(filter) != nullptr;
}

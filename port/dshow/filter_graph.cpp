// CLSID_FilterGraph: the graph's filters and connections, its state, clock and events, its
// seeking (through the decoders it holds) and its audio volume (through its audio renderers).
#include <algorithm>
#include <climits>

#include "port/com/com_object.h"
#include "port/dshow/graph_filters.h"
#include "port/kernel/monotonic_clock.h"

namespace {

// The system clock every graph starts with: the port's monotonic clock in 100 ns units.
class SystemClock : public PortComObject<IReferenceClock> {
 public:
  SystemClock() { CountFilterGraphObject(1); }
  ~SystemClock() override { CountFilterGraphObject(-1); }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    return Answer(iid == IID_IUnknown || iid == IID_IReferenceClock, object);
  }
  HRESULT GetTime(REFERENCE_TIME* time) override {
    if (!time) return E_POINTER;
    *time = PortMonotonicNanoseconds() / 100;
    return S_OK;
  }
};

PortPin* AsPortPin(IPin* pin) { return dynamic_cast<PortPin*>(pin); }

bool HasOutputPins(PortFilter* f) {
  for (PortPin* p : f->pins())
    if (p->direction() == PINDIR_OUTPUT) return true;
  return false;
}

class FilterGraph : public IGraphBuilder,
                    public IMediaControl,
                    public IMediaSeeking,
                    public IMediaEvent,
                    public IMediaEventSink,
                    public IBasicAudio,
                    public IMediaFilter {
 public:
  FilterGraph() {
    CountFilterGraphObject(1);
    clock_ = new SystemClock;
  }
  ~FilterGraph() override {
    Stop();
    for (PortFilter* f : filters_) {
      for (PortPin* p : f->pins()) p->Disconnect();
      f->JoinFilterGraph(nullptr, nullptr);
    }
    for (PortFilter* f : filters_) f->Release();
    if (clock_) clock_->Release();
    CountFilterGraphObject(-1);
  }

  // --- IUnknown ---
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IGraphBuilder || iid == IID_IFilterGraph) {
      *object = static_cast<IGraphBuilder*>(this);
    } else if (iid == IID_IMediaControl) {
      *object = static_cast<IMediaControl*>(this);
    } else if (iid == IID_IMediaSeeking) {
      *object = static_cast<IMediaSeeking*>(this);
    } else if (iid == IID_IMediaEvent) {
      *object = static_cast<IMediaEvent*>(this);
    } else if (iid == IID_IMediaEventSink) {
      *object = static_cast<IMediaEventSink*>(this);
    } else if (iid == IID_IBasicAudio) {
      *object = static_cast<IBasicAudio*>(this);
    } else if (iid == IID_IMediaFilter) {
      *object = static_cast<IMediaFilter*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // --- IFilterGraph ---
  HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override {
    PortFilter* f = dynamic_cast<PortFilter*>(filter);
    if (!f) return E_POINTER;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    if (std::find(filters_.begin(), filters_.end(), f) != filters_.end()) return E_INVALIDARG;
    f->AddRef();
    filters_.push_back(f);
    f->JoinFilterGraph(this, name);
    return S_OK;
  }
  HRESULT RemoveFilter(IBaseFilter* filter) override {
    auto it = std::find(filters_.begin(), filters_.end(), dynamic_cast<PortFilter*>(filter));
    if (it == filters_.end()) return VFW_E_NOT_FOUND;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    PortFilter* f = *it;
    filters_.erase(it);
    for (PortPin* p : f->pins()) {
      if (IPin* peer = p->peer()) peer->Disconnect();
      p->Disconnect();
    }
    f->JoinFilterGraph(nullptr, nullptr);
    f->Release();
    return S_OK;
  }
  HRESULT EnumFilters(IEnumFilters** out) override {
    if (!out) return E_POINTER;
    *out = MakeFilterEnum(std::vector<IBaseFilter*>(filters_.begin(), filters_.end()));
    return S_OK;
  }
  HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* type) override {
    if (!out || !in) return E_POINTER;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    return out->Connect(in, type);
  }
  HRESULT Disconnect(IPin* pin) override {
    if (!pin) return E_POINTER;
    return pin->Disconnect();
  }

  // --- IGraphBuilder ---
  HRESULT Connect(IPin* out, IPin* in) override {
    HRESULT hr = ConnectDirect(out, in, nullptr);
    if (SUCCEEDED(hr) || hr == VFW_E_NOT_STOPPED || hr == E_POINTER) return hr;
    // A byte stream reaches the input through a decoder.
    PortPin* o = AsPortPin(out);
    if (!o || !IsByteStream(o)) return hr;
    PortFilter* decoder = AddDecoderFor(o);
    if (!decoder) return VFW_E_CANNOT_RENDER;
    for (size_t i = 1; i < decoder->pins().size(); ++i)
      if (SUCCEEDED(ConnectDirect(decoder->pins()[i], in, nullptr))) return S_OK;
    RemoveFilter(decoder);
    return VFW_E_CANNOT_RENDER;
  }

  HRESULT Render(IPin* out) override {
    PortPin* o = AsPortPin(out);
    if (!o || o->direction() != PINDIR_OUTPUT) return E_INVALIDARG;
    if (o->peer()) return VFW_E_ALREADY_CONNECTED;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!IsByteStream(o)) return RenderOutput(o);
    PortFilter* decoder = AddDecoderFor(o);
    if (!decoder) return VFW_E_CANNOT_RENDER;
    int rendered = 0;
    const int outputs = static_cast<int>(decoder->pins().size()) - 1;
    for (int i = 1; i <= outputs; ++i)
      if (SUCCEEDED(RenderOutput(decoder->pins()[static_cast<size_t>(i)]))) ++rendered;
    if (rendered == 0) {
      RemoveFilter(decoder);
      return VFW_E_CANNOT_RENDER;
    }
    return rendered == outputs ? S_OK : VFW_S_PARTIAL_RENDER;
  }

  HRESULT RenderFile(LPCWSTR file, LPCWSTR) override {
    if (!file) return E_POINTER;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    PortFilter* source = MakeFileSource(file);
    if (!source) return VFW_E_NOT_FOUND;
    AddFilter(source, file);
    source->Release();
    const HRESULT hr = Render(source->pins()[0]);
    if (FAILED(hr)) RemoveFilter(source);
    return hr;
  }

  // --- IMediaControl and IMediaFilter ---
  HRESULT Run() override { return Run(0); }
  HRESULT Run(REFERENCE_TIME) override {
    if (state_ == State_Running) return S_OK;
    if (state_ == State_Stopped) Pause();
    REFERENCE_TIME now = 0;
    if (clock_) clock_->GetTime(&now);
    // Stream time goes on from where the pause left it.
    start_ = now - pausedAt_;
    for (PortFilter* f : Ordered()) f->Run(start_);
    {
      std::lock_guard lock(eventMutex_);
      state_ = State_Running;
      // A graph that renders nothing is complete at once.
      if (renderersLeft_ == 0) completed_ = true;
    }
    eventChanged_.notify_all();
    return S_OK;
  }
  HRESULT Pause() override {
    if (state_ == State_Paused) return S_OK;
    if (state_ == State_Stopped) {
      std::lock_guard lock(eventMutex_);
      completed_ = false;
      aborted_ = false;
      renderersLeft_ = 0;
      for (PortFilter* f : filters_) {
        f->SetSyncSource(clock_);
        if (!HasOutputPins(f) && std::any_of(f->pins().begin(), f->pins().end(),
                                             [](PortPin* p) { return p->peer() != nullptr; }))
          ++renderersLeft_;
      }
      pausedAt_ = 0;
    } else {
      pausedAt_ = ClockStreamTime();
    }
    for (PortFilter* f : Ordered()) f->Pause();
    state_ = State_Paused;
    return S_OK;
  }
  HRESULT Stop() override {
    if (state_ == State_Stopped) return S_OK;
    lastPosition_ = CurrentPosition();
    // Renderers first, so that streaming threads waiting in them come back and end.
    for (PortFilter* f : Ordered()) f->Stop();
    {
      std::lock_guard lock(eventMutex_);
      state_ = State_Stopped;
    }
    eventChanged_.notify_all();
    return S_OK;
  }
  HRESULT GetState(LONG, OAFilterState* state) override {
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
  }
  HRESULT GetState(DWORD, FILTER_STATE* state) override {
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
  }
  HRESULT SetSyncSource(IReferenceClock* clock) override {
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    if (clock) clock->AddRef();
    if (clock_) clock_->Release();
    clock_ = clock;
    return S_OK;
  }
  HRESULT GetSyncSource(IReferenceClock** clock) override {
    if (!clock) return E_POINTER;
    *clock = clock_;
    if (clock_) clock_->AddRef();
    return S_OK;
  }

  // --- IMediaEvent and IMediaEventSink ---
  HRESULT WaitForCompletion(long milliseconds, long* code) override {
    if (!code) return E_POINTER;
    *code = 0;
    std::unique_lock lock(eventMutex_);
    if (state_ != State_Running) return VFW_E_WRONG_STATE;
    auto done = [this] { return completed_ || aborted_ || state_ != State_Running; };
    if (milliseconds < 0) {
      eventChanged_.wait(lock, done);
    } else if (!eventChanged_.wait_for(lock, std::chrono::milliseconds(milliseconds), done)) {
      return E_ABORT;
    }
    if (!completed_ && !aborted_) return VFW_E_WRONG_STATE;
    *code = aborted_ ? EC_ERRORABORT : EC_COMPLETE;
    return S_OK;
  }
  HRESULT Notify(long code, LONG_PTR, LONG_PTR) override {
    {
      std::lock_guard lock(eventMutex_);
      if (code == EC_COMPLETE && renderersLeft_ > 0 && --renderersLeft_ == 0) completed_ = true;
      if (code == EC_ERRORABORT) aborted_ = true;
    }
    eventChanged_.notify_all();
    return S_OK;
  }

  // --- IMediaSeeking ---
  HRESULT GetDuration(LONGLONG* duration) override {
    if (!duration) return E_POINTER;
    *duration = 0;
    for (PortFilter* f : filters_)
      if (DecoderFilter* d = AsDecoder(f)) *duration = std::max(*duration, DecoderDuration(d));
    return S_OK;
  }
  HRESULT GetStopPosition(LONGLONG* stop) override {
    if (!stop) return E_POINTER;
    if (stop_ >= 0) {
      *stop = stop_;
      return S_OK;
    }
    return GetDuration(stop);
  }
  HRESULT GetCurrentPosition(LONGLONG* current) override {
    if (!current) return E_POINTER;
    *current = CurrentPosition();
    return S_OK;
  }
  HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                       DWORD stopFlags) override {
    if ((currentFlags & 3) != AM_SEEKING_NoPositioning) return E_NOTIMPL;
    (void)current;
    if ((stopFlags & 3) == AM_SEEKING_NoPositioning) return S_OK;
    if ((stopFlags & 3) != AM_SEEKING_AbsolutePositioning) return E_NOTIMPL;
    if (!stop) return E_POINTER;
    if (*stop < 0) return E_INVALIDARG;
    stop_ = *stop;
    for (PortFilter* f : filters_)
      if (DecoderFilter* d = AsDecoder(f)) SetDecoderStop(d, stop_);
    return S_OK;
  }

  // --- IBasicAudio ---
  HRESULT put_Volume(long volume) override {
    HRESULT hr = E_NOTIMPL;  // nothing in the graph plays sound
    for (PortFilter* f : filters_) {
      if (!IsAudioRenderer(f)) continue;
      IBasicAudio* audio = static_cast<IBasicAudio*>(f->ExtraInterface(IID_IBasicAudio));
      hr = audio->put_Volume(volume);
      audio->Release();
      if (FAILED(hr)) break;
    }
    return hr;
  }
  HRESULT get_Volume(long* volume) override {
    if (!volume) return E_POINTER;
    for (PortFilter* f : filters_) {
      if (!IsAudioRenderer(f)) continue;
      IBasicAudio* audio = static_cast<IBasicAudio*>(f->ExtraInterface(IID_IBasicAudio));
      const HRESULT hr = audio->get_Volume(volume);
      audio->Release();
      return hr;
    }
    return E_NOTIMPL;
  }

 private:
  static bool IsByteStream(PortPin* pin) {
    AM_MEDIA_TYPE type = {};
    const bool offered = pin->filter()->OfferOutputType(pin, &type);
    const bool stream = offered && type.majortype == MEDIATYPE_Stream;
    FreeMediaType(type);
    return stream;
  }

  PortFilter* AddDecoderFor(PortPin* out) {
    PortFilter* decoder = MakeDecoderFilter();
    AddFilter(decoder, L"Decoder");
    decoder->Release();
    if (FAILED(ConnectDirect(out, decoder->pins()[0], nullptr))) {
      RemoveFilter(decoder);
      return nullptr;
    }
    return decoder;
  }

  // A filter of the graph that takes the pin's output (and renders what that filter gives in
  // turn), or a default renderer for sound.
  HRESULT RenderOutput(PortPin* out) {
    const std::vector<PortFilter*> snapshot = filters_;
    for (PortFilter* f : snapshot) {
      if (f == out->filter()) continue;
      for (PortPin* in : f->pins()) {
        if (in->direction() != PINDIR_INPUT || in->peer()) continue;
        if (FAILED(ConnectDirect(out, in, nullptr))) continue;
        for (PortPin* next : f->pins())
          if (next->direction() == PINDIR_OUTPUT && !next->peer()) RenderOutput(next);
        return S_OK;
      }
    }
    AM_MEDIA_TYPE type = {};
    const bool sound =
        out->filter()->OfferOutputType(out, &type) && type.majortype == MEDIATYPE_Audio;
    FreeMediaType(type);
    if (!sound) return VFW_E_CANNOT_RENDER;
    PortFilter* renderer = MakeAudioRenderer();
    AddFilter(renderer, L"Default DirectSound Device");
    renderer->Release();
    const HRESULT hr = ConnectDirect(out, renderer->pins()[0], nullptr);
    if (FAILED(hr)) RemoveFilter(renderer);
    return hr;
  }

  // Renderers (no output pins) before the filters that feed them.
  std::vector<PortFilter*> Ordered() const {
    std::vector<PortFilter*> out;
    for (PortFilter* f : filters_)
      if (!HasOutputPins(f)) out.push_back(f);
    for (PortFilter* f : filters_)
      if (HasOutputPins(f)) out.push_back(f);
    return out;
  }

  REFERENCE_TIME ClockStreamTime() const {
    REFERENCE_TIME now = 0;
    if (!clock_) return 0;
    clock_->GetTime(&now);
    return now - start_;
  }

  REFERENCE_TIME CurrentPosition() {
    LONGLONG stop = 0;
    GetStopPosition(&stop);
    if (state_ == State_Stopped) return lastPosition_;
    if (completed_) return stop;
    REFERENCE_TIME at = 0;
    if (!clock_) {
      for (PortFilter* f : filters_)
        if (DecoderFilter* d = AsDecoder(f)) at = std::max(at, DecoderPosition(d));
    } else {
      at = state_ == State_Running ? ClockStreamTime() : pausedAt_;
    }
    return std::clamp<REFERENCE_TIME>(at, 0, stop);
  }

  std::atomic<ULONG> refs_{1};
  std::vector<PortFilter*> filters_;  // each with a reference
  IReferenceClock* clock_ = nullptr;
  std::atomic<FILTER_STATE> state_{State_Stopped};
  REFERENCE_TIME start_ = 0, pausedAt_ = 0, lastPosition_ = 0;
  LONGLONG stop_ = -1;  // -1: the duration
  std::mutex eventMutex_;
  std::condition_variable eventChanged_;
  int renderersLeft_ = 0;
  std::atomic<bool> completed_{false}, aborted_{false};
};

}  // namespace

HRESULT CreateFilterGraphObject(REFIID iid, void** object) {
  return PortMakeComObject<FilterGraph>(iid, object);
}

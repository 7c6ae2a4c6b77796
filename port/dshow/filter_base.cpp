#include "port/dshow/filter_base.h"

#include <algorithm>
#include <cstring>

#include "port/com/com_object.h"

namespace {

std::atomic<int> gLiveObjects{0};

// Answers for the pins of a filter, or the filters of a graph, as they were when it was made.
template <class Interface, class Base>
class SnapshotEnum : public PortComObject<Base> {
 public:
  explicit SnapshotEnum(std::vector<Interface*> items) : items_(std::move(items)) {
    for (Interface* i : items_) i->AddRef();
  }
  ~SnapshotEnum() override {
    for (Interface* i : items_) i->Release();
  }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    return this->Answer(iid == IID_IUnknown, object);
  }
  HRESULT Next(ULONG count, Interface** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    while (n < count && at_ < items_.size()) {
      out[n] = items_[at_++];
      out[n]->AddRef();
      ++n;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    at_ = std::min(items_.size(), at_ + count);
    return at_ < items_.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override {
    at_ = 0;
    return S_OK;
  }

 private:
  std::vector<Interface*> items_;
  size_t at_ = 0;
};

}  // namespace

void CountFilterGraphObject(int change) { gLiveObjects += change; }
int PortLiveFilterGraphObjects() { return gLiveObjects.load(); }

IEnumFilters* MakeFilterEnum(const std::vector<IBaseFilter*>& filters) {
  return new SnapshotEnum<IBaseFilter, IEnumFilters>(filters);
}

std::string WideToUtf8(LPCWSTR text) {
  std::string out;
  for (const wchar_t* p = text; p && *p; ++p) {
    const uint32_t c = static_cast<uint32_t>(*p);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// --- PortPin -------------------------------------------------------------------------------

PortPin::PortPin(PortFilter* filter, PIN_DIRECTION direction)
    : filter_(filter), direction_(direction) {}

PortPin::~PortPin() {
  if (peer_) peer_->Release();
  FreeMediaType(type_);
}

HRESULT PortPin::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPin) {
    *object = static_cast<IPin*>(this);
  } else if (iid == IID_IMemInputPin && direction_ == PINDIR_INPUT) {
    *object = static_cast<IMemInputPin*>(this);
  } else if (iid == IID_IAsyncReader && direction_ == PINDIR_OUTPUT) {
    IAsyncReader* reader = filter_->Reader(this);
    if (!reader) return E_NOINTERFACE;
    reader->AddRef();
    *object = reader;
    return S_OK;
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG PortPin::AddRef() { return filter_->AddRef(); }
ULONG PortPin::Release() { return filter_->Release(); }

HRESULT PortPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
  if (!receivePin) return E_POINTER;
  if (direction_ != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (filter_->state() != State_Stopped) return VFW_E_NOT_STOPPED;
  PIN_DIRECTION other;
  if (FAILED(receivePin->QueryDirection(&other)) || other != PINDIR_INPUT)
    return VFW_E_INVALID_DIRECTION;
  AM_MEDIA_TYPE offered = {};
  if (!filter_->OfferOutputType(this, &offered)) return VFW_E_TYPE_NOT_ACCEPTED;
  // A type given by the caller must agree with what the pin makes.
  if (type && ((type->majortype != GUID_NULL && type->majortype != offered.majortype) ||
               (type->subtype != GUID_NULL && type->subtype != offered.subtype))) {
    FreeMediaType(offered);
    return VFW_E_TYPE_NOT_ACCEPTED;
  }
  HRESULT hr = filter_->CompleteConnection(this, receivePin, offered);
  if (SUCCEEDED(hr)) hr = receivePin->ReceiveConnection(this, &offered);
  if (FAILED(hr)) {
    filter_->BreakConnection(this);
    FreeMediaType(offered);
    return hr;
  }
  peer_ = receivePin;
  peer_->AddRef();
  FreeMediaType(type_);
  type_ = offered;
  return S_OK;
}

HRESULT PortPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (!connector || !type) return E_POINTER;
  if (direction_ != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
  if (peer_) return VFW_E_ALREADY_CONNECTED;
  if (filter_->state() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (filter_->CheckInputType(this, *type) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
  AM_MEDIA_TYPE copy = {};
  if (!CopyMediaType(&copy, *type)) return E_OUTOFMEMORY;
  const HRESULT hr = filter_->CompleteConnection(this, connector, copy);
  if (FAILED(hr)) {
    FreeMediaType(copy);
    return hr;
  }
  peer_ = connector;
  peer_->AddRef();
  FreeMediaType(type_);
  type_ = copy;
  return S_OK;
}

HRESULT PortPin::Disconnect() {
  if (filter_->state() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (!peer_) return S_FALSE;
  IPin* old = peer_;
  peer_ = nullptr;
  FreeMediaType(type_);
  filter_->BreakConnection(this);
  old->Release();
  return S_OK;
}

HRESULT PortPin::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = peer_;
  if (!peer_) return VFW_E_NOT_CONNECTED;
  peer_->AddRef();
  return S_OK;
}

HRESULT PortPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  *type = AM_MEDIA_TYPE{};
  if (!peer_) return VFW_E_NOT_CONNECTED;
  return CopyMediaType(type, type_) ? S_OK : E_OUTOFMEMORY;
}

HRESULT PortPin::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = direction_;
  return S_OK;
}

HRESULT PortPin::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  if (direction_ == PINDIR_INPUT) return filter_->CheckInputType(this, *type);
  return peer_ && type->majortype == type_.majortype && type->subtype == type_.subtype ? S_OK
                                                                                       : S_FALSE;
}

HRESULT PortPin::EndOfStream() {
  if (direction_ != PINDIR_INPUT) return E_UNEXPECTED;
  return filter_->ReceiveEndOfStream(this);
}

HRESULT PortPin::Receive(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  if (!peer_) return VFW_E_NOT_CONNECTED;
  return filter_->ReceiveSample(this, sample);
}

// --- PortFilter ----------------------------------------------------------------------------

PortFilter::PortFilter(REFCLSID clsid) : clsid_(clsid) { CountFilterGraphObject(1); }

PortFilter::~PortFilter() {
  for (PortPin* p : pins_) delete p;
  if (clock_) clock_->Release();
  CountFilterGraphObject(-1);
}

HRESULT PortFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IMediaFilter || iid == IID_IBaseFilter) {
    *object = static_cast<IBaseFilter*>(this);
  } else {
    *object = FindInterface(iid);
    if (!*object) return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG PortFilter::AddRef() { return ++refs_; }

ULONG PortFilter::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

void* PortFilter::FindInterface(REFIID) { return nullptr; }

IUnknown* PortFilter::ExtraInterface(REFIID iid) {
  void* object = nullptr;
  return SUCCEEDED(QueryInterface(iid, &object)) ? static_cast<IUnknown*>(object) : nullptr;
}

HRESULT PortFilter::Stop() {
  FILTER_STATE from;
  {
    std::lock_guard lock(stateMutex_);
    from = state_;
    state_ = State_Stopped;
    pausedAt_ = 0;
  }
  stateChanged_.notify_all();
  if (from != State_Stopped) OnStateChange(from, State_Stopped);
  return S_OK;
}

HRESULT PortFilter::Pause() {
  FILTER_STATE from;
  {
    std::lock_guard lock(stateMutex_);
    from = state_;
    if (from == State_Running) pausedAt_ = StreamTime();
    state_ = State_Paused;
  }
  stateChanged_.notify_all();
  if (from != State_Paused) OnStateChange(from, State_Paused);
  return S_OK;
}

HRESULT PortFilter::Run(REFERENCE_TIME start) {
  if (state() == State_Stopped) Pause();
  {
    std::lock_guard lock(stateMutex_);
    start_ = start;
    state_ = State_Running;
  }
  stateChanged_.notify_all();
  OnStateChange(State_Paused, State_Running);
  return S_OK;
}

HRESULT PortFilter::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  *state = state_;
  return S_OK;
}

HRESULT PortFilter::SetSyncSource(IReferenceClock* clock) {
  std::lock_guard lock(stateMutex_);
  if (clock) clock->AddRef();
  if (clock_) clock_->Release();
  clock_ = clock;
  return S_OK;
}

HRESULT PortFilter::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  std::lock_guard lock(stateMutex_);
  *clock = clock_;
  if (clock_) clock_->AddRef();
  return S_OK;
}

HRESULT PortFilter::EnumPins(IEnumPins** pins) {
  if (!pins) return E_POINTER;
  std::vector<IPin*> list(pins_.begin(), pins_.end());
  *pins = new SnapshotEnum<IPin, IEnumPins>(list);
  return S_OK;
}

HRESULT PortFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR) {
  graph_ = graph;
  sink_ = nullptr;
  if (graph &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink_))))
    sink_->Release();  // the graph outlives its filters' streaming
  return S_OK;
}

HRESULT PortFilter::CheckInputType(PortPin*, const AM_MEDIA_TYPE&) { return S_FALSE; }
HRESULT PortFilter::CompleteConnection(PortPin*, IPin*, const AM_MEDIA_TYPE&) { return S_OK; }
void PortFilter::BreakConnection(PortPin*) {}
bool PortFilter::OfferOutputType(PortPin*, AM_MEDIA_TYPE*) { return false; }
HRESULT PortFilter::ReceiveSample(PortPin*, IMediaSample*) { return S_OK; }
HRESULT PortFilter::ReceiveEndOfStream(PortPin*) { return S_OK; }
IAsyncReader* PortFilter::Reader(PortPin*) { return nullptr; }
void PortFilter::OnStateChange(FILTER_STATE, FILTER_STATE) {}

PortPin* PortFilter::AddPin(PIN_DIRECTION direction) {
  pins_.push_back(new PortPin(this, direction));
  return pins_.back();
}

void PortFilter::TrimPins(size_t keep) {
  while (pins_.size() > keep) {
    delete pins_.back();
    pins_.pop_back();
  }
}

void PortFilter::NotifyGraph(long code) {
  if (sink_) sink_->Notify(code, 0, 0);
}

bool PortFilter::HasClock() { return clock_ != nullptr; }

REFERENCE_TIME PortFilter::StreamTime() {
  if (state_ == State_Running && clock_) {
    REFERENCE_TIME now = 0;
    clock_->GetTime(&now);
    return now - start_;
  }
  return pausedAt_;
}

// --- PortMediaSample -----------------------------------------------------------------------

HRESULT PortMediaSample::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != IID_IMediaSample) return E_NOINTERFACE;
  AddRef();
  *object = static_cast<IMediaSample*>(this);
  return S_OK;
}
ULONG PortMediaSample::AddRef() { return ++refs_; }
ULONG PortMediaSample::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}
HRESULT PortMediaSample::GetPointer(BYTE** buffer) {
  if (!buffer) return E_POINTER;
  *buffer = data.data();
  return S_OK;
}
long PortMediaSample::GetSize() { return static_cast<long>(data.size()); }
long PortMediaSample::GetActualDataLength() { return static_cast<long>(data.size()); }
HRESULT PortMediaSample::GetTime(REFERENCE_TIME* s, REFERENCE_TIME* e) {
  if (!timed) return VFW_E_SAMPLE_TIME_NOT_SET;
  if (s) *s = start;
  if (e) *e = end;
  return S_OK;
}

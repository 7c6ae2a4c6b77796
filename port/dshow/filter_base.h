// What every filter of the graph shares: pins that connect, carry samples and end-of-stream,
// the filter's state with its reference clock and stream time, and the reference counting
// that pins delegate to their filter. Connections change only while the graph is stopped, so
// the streaming threads read them without a lock.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "port/dshow/dshow.h"

class PortFilter;

class PortPin : public IPin, public IMemInputPin {
 public:
  PortPin(PortFilter* filter, PIN_DIRECTION direction);
  virtual ~PortPin();

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT Disconnect() override;
  HRESULT ConnectedTo(IPin** pin) override;
  HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT EndOfStream() override;
  HRESULT Receive(IMediaSample* sample) override;

  PIN_DIRECTION direction() const { return direction_; }
  PortFilter* filter() const { return filter_; }
  // The connected pin (no reference), or null.
  IPin* peer() const { return peer_; }
  const AM_MEDIA_TYPE& type() const { return type_; }

 private:
  PortFilter* filter_;
  PIN_DIRECTION direction_;
  IPin* peer_ = nullptr;  // holds a reference
  AM_MEDIA_TYPE type_ = {};
};

class PortFilter : public IBaseFilter {
 public:
  explicit PortFilter(REFCLSID clsid);
  virtual ~PortFilter();
  PortFilter(const PortFilter&) = delete;
  PortFilter& operator=(const PortFilter&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT Stop() override;
  HRESULT Pause() override;
  HRESULT Run(REFERENCE_TIME start) override;
  HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
  HRESULT SetSyncSource(IReferenceClock* clock) override;
  HRESULT GetSyncSource(IReferenceClock** clock) override;
  HRESULT EnumPins(IEnumPins** pins) override;
  HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;

  // --- What the pins ask of their filter (input pins for types and data, output pins for
  // the type they offer) ---
  virtual HRESULT CheckInputType(PortPin* pin, const AM_MEDIA_TYPE& type);
  // The connection is about to be made: the filter may refuse it still.
  virtual HRESULT CompleteConnection(PortPin* pin, IPin* peer, const AM_MEDIA_TYPE& type);
  virtual void BreakConnection(PortPin* pin);
  virtual bool OfferOutputType(PortPin* pin, AM_MEDIA_TYPE* type);
  virtual HRESULT ReceiveSample(PortPin* pin, IMediaSample* sample);
  virtual HRESULT ReceiveEndOfStream(PortPin* pin);
  // The byte stream behind an output pin of a source, or null.
  virtual IAsyncReader* Reader(PortPin* pin);

  const std::vector<PortPin*>& pins() const { return pins_; }
  FILTER_STATE state() const { return state_.load(); }
  // A reference to the interface, or null.
  IUnknown* ExtraInterface(REFIID iid);

 protected:
  PortPin* AddPin(PIN_DIRECTION direction);
  // Removes the pins after the first `keep` (they must be disconnected).
  void TrimPins(size_t keep);
  // Hooks of the state changes, called before the state is set, under no lock.
  virtual void OnStateChange(FILTER_STATE from, FILTER_STATE to);
  // Other interfaces the filter answers for (this as that interface), or null.
  virtual void* FindInterface(REFIID iid);
  // Tells the graph (EC_COMPLETE, EC_ERRORABORT).
  void NotifyGraph(long code);
  // Stream time now: clock time - start while running; the time reached when paused.
  REFERENCE_TIME StreamTime();
  bool HasClock();

  std::mutex stateMutex_;
  std::condition_variable stateChanged_;

 private:
  CLSID clsid_;
  std::atomic<ULONG> refs_{1};
  std::atomic<FILTER_STATE> state_{State_Stopped};
  std::vector<PortPin*> pins_;
  IReferenceClock* clock_ = nullptr;  // holds a reference
  REFERENCE_TIME start_ = 0;
  REFERENCE_TIME pausedAt_ = 0;
  IFilterGraph* graph_ = nullptr;  // no reference: the graph holds the filter
  // Nor here: a reference taken on a streaming thread could be the graph's last, and the
  // graph's end stops (joins) that very thread.
  IMediaEventSink* sink_ = nullptr;
};

// A sample the streaming thread fills and hands on; reused for every sample of its pin.
class PortMediaSample : public IMediaSample {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetPointer(BYTE** buffer) override;
  long GetSize() override;
  long GetActualDataLength() override;
  HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;

  std::vector<BYTE> data;
  REFERENCE_TIME start = 0, end = 0;
  bool timed = false;

 private:
  std::atomic<ULONG> refs_{1};
};

// An enumerator over the filters (each with a reference while it lives).
IEnumFilters* MakeFilterEnum(const std::vector<IBaseFilter*>& filters);

// The live count behind PortLiveFilterGraphObjects.
void CountFilterGraphObject(int change);

// Wide names of the graph (wchar_t) to UTF-8.
std::string WideToUtf8(LPCWSTR text);

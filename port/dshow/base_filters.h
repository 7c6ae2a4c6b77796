// The filter classes a program builds its own filters from, as the platform's SDK gives them:
// a renderer base (a renderer is a filter with one input pin that shows each sample as its
// time comes), a memory byte-stream source, and a sample grabber that hands every sample that
// passes through it to a callback. Objects are made with one reference, which the maker
// releases.
#pragma once

#include "port/dshow/filter_base.h"

class CBaseRenderer : public PortFilter {
 public:
  // `result` gets S_OK (nothing here can fail); `outer` must be null.
  CBaseRenderer(REFCLSID clsid, const wchar_t* name, IUnknown* outer, HRESULT* result);

  // S_OK when the renderer takes the type.
  virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) = 0;
  // The connection's type, before the first sample.
  virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type);
  // Called on the streaming thread when the sample's time has come (at once when the graph
  // has no clock; the first sample also while paused).
  virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;

  HRESULT CheckInputType(PortPin* pin, const AM_MEDIA_TYPE& type) override;
  HRESULT CompleteConnection(PortPin* pin, IPin* peer, const AM_MEDIA_TYPE& type) override;
  HRESULT ReceiveSample(PortPin* pin, IMediaSample* sample) override;
  HRESULT ReceiveEndOfStream(PortPin* pin) override;

 protected:
  void OnStateChange(FILTER_STATE from, FILTER_STATE to) override;
  // How long before its time a sample is rendered (a sound renderer writes ahead of what
  // plays).
  virtual REFERENCE_TIME RenderAhead() { return 0; }

 private:
  // Waits until a sample of stream time `due` may be rendered: false when the renderer
  // stopped meanwhile.
  bool WaitUntilDue(std::unique_lock<std::mutex>& lock, REFERENCE_TIME due, bool timed);

  bool cued_ = false;  // a sample was rendered since the renderer left the stopped state
  REFERENCE_TIME lastEnd_ = 0;
};

class CBaseVideoRenderer : public CBaseRenderer {
 public:
  using CBaseRenderer::CBaseRenderer;
};

// A byte image in memory that a CMemReader serves; the caller keeps the bytes.
class CMemStream {
 public:
  CMemStream(const BYTE* data, LONGLONG size) : data_(data), size_(size) {}
  const BYTE* data() const { return data_; }
  LONGLONG size() const { return size_; }

 private:
  const BYTE* data_;
  LONGLONG size_;
};

// A source filter with one output pin that offers the stream as bytes of the given type
// (major type MEDIATYPE_Stream) through IAsyncReader.
class CMemReader : public PortFilter, public IAsyncReader {
 public:
  CMemReader(CMemStream* stream, const AM_MEDIA_TYPE* type, HRESULT* result);
  ~CMemReader() override;
  // The output pin (no reference).
  IPin* GetPin(int index);

  HRESULT QueryInterface(REFIID iid, void** object) override {
    return PortFilter::QueryInterface(iid, object);
  }
  ULONG AddRef() override { return PortFilter::AddRef(); }
  ULONG Release() override { return PortFilter::Release(); }
  HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) override;
  HRESULT Length(LONGLONG* total, LONGLONG* available) override;

  bool OfferOutputType(PortPin* pin, AM_MEDIA_TYPE* type) override;
  IAsyncReader* Reader(PortPin* pin) override;

 private:
  CMemStream* stream_;
  AM_MEDIA_TYPE type_ = {};
};

// Called on the streaming thread with each sample that passes; the sample goes on unchanged.
typedef HRESULT (*SampleGrabberCallback)(IMediaSample* sample, REFERENCE_TIME* start,
                                         REFERENCE_TIME* stop, BOOL typeChanged, void* user);

// One input and one output pin of the same type; the input takes the types that match the
// accepted type (its major type, and its subtype and format type unless GUID_NULL).
class CSampleGrabber : public PortFilter {
 public:
  // `modifiesData` is accepted and has no effect: samples pass unchanged.
  CSampleGrabber(IUnknown* outer, HRESULT* result, BOOL modifiesData);
  ~CSampleGrabber() override;

  HRESULT SetAcceptedMediaType(const AM_MEDIA_TYPE* type);
  // The input's connection type (format block included), VFW_E_NOT_CONNECTED before it.
  HRESULT GetConnectedMediaType(AM_MEDIA_TYPE* type);
  HRESULT SetCallback(SampleGrabberCallback callback, void* user);

  HRESULT CheckInputType(PortPin* pin, const AM_MEDIA_TYPE& type) override;
  bool OfferOutputType(PortPin* pin, AM_MEDIA_TYPE* type) override;
  HRESULT ReceiveSample(PortPin* pin, IMediaSample* sample) override;
  HRESULT ReceiveEndOfStream(PortPin* pin) override;

 private:
  AM_MEDIA_TYPE accepted_ = {};
  SampleGrabberCallback callback_ = nullptr;
  void* user_ = nullptr;
};

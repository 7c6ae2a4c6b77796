// DirectShow of the port: the filter graph (CLSID_FilterGraph) with its control, seeking,
// event, audio and media-filter interfaces, the null renderer (CLSID_NullRenderer), and the
// filter and pin interfaces that filters of the runtime and of the port implement. Files are
// demultiplexed and decoded by FFmpeg on a streaming thread of the graph's.
#pragma once

#include "port/com/com.h"
#include "port/dsound/wave_format.h"
#include "port/gdi/gdi_bitmap.h"
#include "port/kernel/win32_types.h"

typedef LONGLONG REFERENCE_TIME;  // 100-nanosecond units
typedef long OAFilterState;

#define VFW_S_PARTIAL_RENDER static_cast<HRESULT>(0x00040242u)
#define VFW_E_NOT_CONNECTED static_cast<HRESULT>(0x80040209u)
#define VFW_E_ALREADY_CONNECTED static_cast<HRESULT>(0x80040204u)
#define VFW_E_TYPE_NOT_ACCEPTED static_cast<HRESULT>(0x8004022Au)
#define VFW_E_WRONG_STATE static_cast<HRESULT>(0x80040227u)
#define VFW_E_CANNOT_RENDER static_cast<HRESULT>(0x80040218u)
#define VFW_E_INVALID_DIRECTION static_cast<HRESULT>(0x80040208u)
#define VFW_E_NOT_STOPPED static_cast<HRESULT>(0x80040224u)
#define VFW_E_NOT_FOUND static_cast<HRESULT>(0x80040216u)
#define E_ABORT static_cast<HRESULT>(0x80004004u)
#define E_UNEXPECTED static_cast<HRESULT>(0x8000FFFFu)
#define VFW_E_SAMPLE_TIME_NOT_SET static_cast<HRESULT>(0x80040249u)

#define EC_COMPLETE 0x01
#define EC_ERRORABORT 0x03

#define AM_SEEKING_NoPositioning 0x0u
#define AM_SEEKING_AbsolutePositioning 0x1u

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };
enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

// The format block (pbFormat, cbFormat bytes) is task memory owned by the record.
struct AM_MEDIA_TYPE {
  GUID majortype;
  GUID subtype;
  BOOL bFixedSizeSamples;
  BOOL bTemporalCompression;
  ULONG lSampleSize;
  GUID formattype;
  IUnknown* pUnk;
  ULONG cbFormat;
  BYTE* pbFormat;
};

struct VIDEOINFOHEADER {
  RECT rcSource;
  RECT rcTarget;
  DWORD dwBitRate;
  DWORD dwBitErrorRate;
  REFERENCE_TIME AvgTimePerFrame;
  BITMAPINFOHEADER bmiHeader;
};

// Frees the format block and clears the pointer (the record itself stays).
void FreeMediaType(AM_MEDIA_TYPE& type);
// A deep copy into `to`, whose old format block is freed first. False when out of memory.
bool CopyMediaType(AM_MEDIA_TYPE* to, const AM_MEDIA_TYPE& from);

extern const CLSID CLSID_FilterGraph;
extern const CLSID CLSID_NullRenderer;
extern const IID IID_IGraphBuilder;
extern const IID IID_IFilterGraph;
extern const IID IID_IMediaControl;
extern const IID IID_IMediaSeeking;
extern const IID IID_IMediaEvent;
extern const IID IID_IMediaEventSink;
extern const IID IID_IBasicAudio;
extern const IID IID_IMediaFilter;
extern const IID IID_IBaseFilter;
extern const IID IID_IPin;
extern const IID IID_IMemInputPin;
extern const IID IID_IAsyncReader;
extern const IID IID_IMediaSample;
extern const IID IID_IReferenceClock;
extern const GUID MEDIATYPE_Video;
extern const GUID MEDIATYPE_Audio;
extern const GUID MEDIATYPE_Stream;
extern const GUID MEDIASUBTYPE_RGB24;
extern const GUID MEDIASUBTYPE_PCM;
extern const GUID MEDIASUBTYPE_MPEG1Audio;
extern const GUID MEDIASUBTYPE_None;
extern const GUID FORMAT_VideoInfo;
extern const GUID FORMAT_WaveFormatEx;
extern const GUID GUID_NULL;

struct IBaseFilter;
struct IFilterGraph;

struct IReferenceClock : IUnknown {
  virtual HRESULT GetTime(REFERENCE_TIME* time) = 0;
};

struct IMediaSample : IUnknown {
  virtual HRESULT GetPointer(BYTE** buffer) = 0;
  virtual long GetSize() = 0;
  virtual long GetActualDataLength() = 0;
  // Stream times of the sample's start and end; VFW_E_SAMPLE_TIME_NOT_SET when it has none.
  virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;
};

struct IPin : IUnknown {
  // Output pins: connect to `receivePin`, with `type` or with a type of the pin's own.
  virtual HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) = 0;
  // Input pins: accept a connection from `connector` with `type`.
  virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT Disconnect() = 0;
  virtual HRESULT ConnectedTo(IPin** pin) = 0;
  virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;
  virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT EndOfStream() = 0;
};

struct IMemInputPin : IUnknown {
  virtual HRESULT Receive(IMediaSample* sample) = 0;
};

// Random access to a byte stream, as a source filter's output pin offers it.
struct IAsyncReader : IUnknown {
  virtual HRESULT SyncRead(LONGLONG position, LONG length, BYTE* buffer) = 0;
  virtual HRESULT Length(LONGLONG* total, LONGLONG* available) = 0;
};

struct IEnumPins : IUnknown {
  virtual HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
};

struct IEnumFilters : IUnknown {
  virtual HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) = 0;
  virtual HRESULT Skip(ULONG count) = 0;
  virtual HRESULT Reset() = 0;
};

struct IMediaFilter : IUnknown {
  virtual HRESULT Stop() = 0;
  virtual HRESULT Pause() = 0;
  // Stream time 0 is `start` on the reference clock.
  virtual HRESULT Run(REFERENCE_TIME start) = 0;
  virtual HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) = 0;
  // Null: no clock, samples are rendered as soon as they come.
  virtual HRESULT SetSyncSource(IReferenceClock* clock) = 0;
  virtual HRESULT GetSyncSource(IReferenceClock** clock) = 0;
};

struct IBaseFilter : IMediaFilter {
  virtual HRESULT EnumPins(IEnumPins** pins) = 0;
  // The graph tells the filter that it joined (or left, with null) and under which name.
  virtual HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) = 0;
};

struct IFilterGraph : IUnknown {
  virtual HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) = 0;
  virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
  virtual HRESULT EnumFilters(IEnumFilters** filters) = 0;
  virtual HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT Disconnect(IPin* pin) = 0;
};

struct IGraphBuilder : IFilterGraph {
  virtual HRESULT Connect(IPin* out, IPin* in) = 0;
  // Renders an output pin: decoders for a byte stream, then the filters of the graph that take
  // what comes out, or a default renderer.
  virtual HRESULT Render(IPin* out) = 0;
  virtual HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) = 0;
};

struct IMediaControl : IUnknown {
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT GetState(LONG milliseconds, OAFilterState* state) = 0;
};

struct IMediaEvent : IUnknown {
  // S_OK with EC_COMPLETE or EC_ERRORABORT in *code, E_ABORT when the time ran out first,
  // VFW_E_WRONG_STATE when the graph does not run.
  virtual HRESULT WaitForCompletion(long milliseconds, long* code) = 0;
};

struct IMediaEventSink : IUnknown {
  virtual HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) = 0;
};

struct IMediaSeeking : IUnknown {
  virtual HRESULT GetDuration(LONGLONG* duration) = 0;
  virtual HRESULT GetStopPosition(LONGLONG* stop) = 0;
  virtual HRESULT GetCurrentPosition(LONGLONG* current) = 0;
  // Only the stop position moves here: the current one takes AM_SEEKING_NoPositioning.
  virtual HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                               DWORD stopFlags) = 0;
};

// Volume in hundredths of a decibel, -10000 (silence) to 0 (full).
struct IBasicAudio : IUnknown {
  virtual HRESULT put_Volume(long volume) = 0;
  virtual HRESULT get_Volume(long* volume) = 0;
};

// How many graphs and filters of the port are alive (tests check that none is left behind).
int PortLiveFilterGraphObjects();

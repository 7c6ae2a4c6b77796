// What the filter graph's fuzz targets do with one input, shared by the libFuzzer program and
// the fuzz smoke test: the bytes, served by a memory reader, are rendered by the graph into two
// null renderers (the picture and the sound) and decoded to the end without a clock. Every
// input either fails to render or plays to its end (or to a bounded number of waits), and the
// graph leaves no object behind.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "port/win32.h"

namespace filter_graph_fuzz {

inline void Require(bool ok) {
  if (!ok) std::abort();
}

// True when the graph rendered the input (and played it).
inline bool DecodeThroughFilterGraph(const uint8_t* data, size_t size) {
  CMemStream stream(data, static_cast<LONGLONG>(size));
  AM_MEDIA_TYPE type = {};
  type.majortype = MEDIATYPE_Stream;
  type.subtype = MEDIASUBTYPE_None;
  HRESULT hr = E_FAIL;
  auto* reader = new CMemReader(&stream, &type, &hr);
  IGraphBuilder* graph = nullptr;
  IBaseFilter* sinks[2] = {};
  Require(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IGraphBuilder, reinterpret_cast<void**>(&graph))));
  for (IBaseFilter*& sink : sinks) {
    Require(SUCCEEDED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IBaseFilter, reinterpret_cast<void**>(&sink))));
    Require(SUCCEEDED(graph->AddFilter(sink, L"Null")));
  }
  Require(SUCCEEDED(graph->AddFilter(reader, L"Memory")));
  const bool rendered = SUCCEEDED(graph->Render(reader->GetPin(0)));
  if (rendered) {
    IMediaFilter* filter = nullptr;
    IMediaControl* control = nullptr;
    IMediaEvent* event = nullptr;
    Require(SUCCEEDED(graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&filter))));
    Require(
        SUCCEEDED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))));
    Require(SUCCEEDED(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&event))));
    Require(SUCCEEDED(filter->SetSyncSource(nullptr)));
    Require(SUCCEEDED(control->Run()));
    long code = 0;
    for (int i = 0; i < 50; ++i) {
      hr = event->WaitForCompletion(100, &code);
      if (hr != E_ABORT) break;
    }
    Require(hr == S_OK || hr == E_ABORT);
    LONGLONG position = 0, duration = 0;
    IMediaSeeking* seeking = nullptr;
    Require(
        SUCCEEDED(graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking))));
    seeking->GetDuration(&duration);
    seeking->GetCurrentPosition(&position);
    Require(duration >= 0 && position >= 0);
    control->Stop();
    for (IUnknown* i : {static_cast<IUnknown*>(seeking), static_cast<IUnknown*>(event),
                        static_cast<IUnknown*>(control), static_cast<IUnknown*>(filter)})
      i->Release();
  }
  graph->Release();
  for (IBaseFilter* sink : sinks) sink->Release();
  reader->Release();
  Require(PortLiveFilterGraphObjects() == 0);
  return rendered;
}

}  // namespace filter_graph_fuzz

// MP3 through the platform's filter graph: the file image is served by a memory reader, the
// graph decodes it into a sample grabber whose callback collects all of the PCM, and a null
// renderer takes the place of the renderer the graph chose. The graph runs without a clock,
// as fast as it can, while this thread waits and keeps the window's messages moving.
#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <new>

#include "port/win32.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_decoders_internal.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_system_internal.h"

namespace {

constexpr int64_t kPcmGrowStep = 1048576;
// Sizes of converters are ints: a decode that would pass this fails.
constexpr int64_t kMaxPcmBytes = INT_MAX;
constexpr int64_t kPcmPerFileByte = 10;
constexpr long kCompletionWaitMilliseconds = 100;

// Everything one conversion makes, released together.
struct Mp3Graph {
  void* image = nullptr;
  int size = 0;
  CMemStream* memStream = nullptr;
  CMemReader* reader = nullptr;
  IBaseFilter* nullRenderer = nullptr;
  IGraphBuilder* graph = nullptr;
  CSampleGrabber* grabber = nullptr;
  IMediaFilter* mediaFilter = nullptr;
  IMediaControl* control = nullptr;
  IMediaEvent* event = nullptr;

  ~Mp3Graph() {
    // The graph stops (its thread ends) before the filters and the image go.
    if (control) control->Stop();
    for (IUnknown* i : std::initializer_list<IUnknown*>{event, control, mediaFilter, graph, grabber,
                                                        nullRenderer})
      if (i) i->Release();
    if (reader) reader->Release();
    delete memStream;
    FreeTracked(image);
  }
};

int Fail(const char* text) {
  LogPrintf("%s", text);
  return -1;
}

// The pins of a filter by direction, and whether an input is connected.
struct PinCounts {
  int inputs = 0;
  int outputs = 0;
  IPin* connectedInput = nullptr;  // with a reference
};

PinCounts CountPins(IBaseFilter* filter) {
  PinCounts c;
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) return c;
  IPin* pin = nullptr;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION d;
    pin->QueryDirection(&d);
    IPin* peer = nullptr;
    if (d == PINDIR_OUTPUT) {
      ++c.outputs;
    } else {
      ++c.inputs;
      if (SUCCEEDED(pin->ConnectedTo(&peer)) && !c.connectedInput) {
        c.connectedInput = pin;
        pin->AddRef();
      }
    }
    if (peer) peer->Release();
    pin->Release();
  }
  pins->Release();
  return c;
}

// The renderer the graph inserted (an input pin, no output pin, its input connected) gives
// its place to the null renderer.
bool SwapInNullRenderer(Mp3Graph& g) {
  IEnumFilters* filters = nullptr;
  if (FAILED(g.graph->EnumFilters(&filters))) return false;
  IPin* rendererInput = nullptr;
  IBaseFilter* f = nullptr;
  while (!rendererInput && filters->Next(1, &f, nullptr) == S_OK) {
    PinCounts c = CountPins(f);
    if (c.inputs > 0 && c.outputs == 0 && c.connectedInput) {
      rendererInput = c.connectedInput;
    } else if (c.connectedInput) {
      c.connectedInput->Release();
    }
    f->Release();
  }
  filters->Release();
  if (!rendererInput) return false;
  IPin* feeding = nullptr;
  bool swapped = false;
  if (SUCCEEDED(rendererInput->ConnectedTo(&feeding))) {
    rendererInput->Disconnect();
    feeding->Disconnect();
    IEnumPins* pins = nullptr;
    IPin* nullInput = nullptr;
    if (SUCCEEDED(g.nullRenderer->EnumPins(&pins))) {
      pins->Next(1, &nullInput, nullptr);
      pins->Release();
    }
    swapped = nullInput && SUCCEEDED(g.graph->Connect(feeding, nullInput));
    if (nullInput) nullInput->Release();
    feeding->Release();
  }
  rendererInput->Release();
  return swapped;
}

HRESULT CollectGrabbedPcm(IMediaSample* sample, REFERENCE_TIME*, REFERENCE_TIME*, BOOL,
                          void* user) {
  MemoryPcmConverterArea& a = static_cast<SoundConverter*>(user)->MemoryPcm;
  if (!a.Pcm) return S_OK;
  BYTE* data = nullptr;
  const int64_t bytes = sample->GetActualDataLength();
  if (bytes <= 0 || FAILED(sample->GetPointer(&data))) return S_OK;
  const int64_t needed = a.Size + bytes;
  if (needed > a.Capacity) {
    // Grown in whole steps, counted in 64 bits; past what a sound may hold the buffer is lost.
    const int64_t steps = (needed - a.Capacity + kPcmGrowStep - 1) / kPcmGrowStep;
    const int64_t capacity = a.Capacity + steps * kPcmGrowStep;
    auto* grown =
        capacity <= kMaxPcmBytes
            ? static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(capacity), __FILE__, __LINE__))
            : nullptr;
    if (!grown) {
      FreeTracked(a.Pcm);
      a.Pcm = nullptr;
      return S_OK;
    }
    std::memcpy(grown, a.Pcm, static_cast<size_t>(a.Size));
    FreeTracked(a.Pcm);
    a.Pcm = grown;
    a.Capacity = capacity;
  }
  std::memcpy(a.Pcm + a.Size, data, static_cast<size_t>(bytes));
  a.Size = needed;
  return S_OK;
}

// Builds and runs the graph; the PCM ends up in the converter's area.
int RunMp3Graph(SoundConverter* c, Mp3Graph& g) {
  g.memStream = new (std::nothrow) CMemStream(static_cast<const BYTE*>(g.image), g.size);
  if (!g.memStream) return Fail("MP3変換用 D_CMemStream の作成に失敗しました");
  AM_MEDIA_TYPE streamType = {};
  streamType.majortype = MEDIATYPE_Stream;
  streamType.subtype = MEDIASUBTYPE_MPEG1Audio;
  HRESULT hr = E_OUTOFMEMORY;
  g.reader = new (std::nothrow) CMemReader(g.memStream, &streamType, &hr);
  if (!g.reader || FAILED(hr)) return Fail("MP3変換用 D_CMemReader の作成に失敗しました");

  if (FAILED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              reinterpret_cast<void**>(&g.nullRenderer))))
    return Fail("MP3変換用 NullRender の作成に失敗しました");
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&g.graph))))
    return Fail("MP3変換用 IGraphBuilder の作成に失敗しました");
  hr = E_OUTOFMEMORY;
  g.grabber = new (std::nothrow) CSampleGrabber(nullptr, &hr, FALSE);
  if (!g.grabber || FAILED(hr)) return Fail("MP3変換用 D_CSampleGrabber の作成に失敗しました");
  AM_MEDIA_TYPE pcmType = {};
  pcmType.majortype = MEDIATYPE_Audio;
  pcmType.subtype = MEDIASUBTYPE_PCM;
  if (FAILED(g.grabber->SetAcceptedMediaType(&pcmType)))
    return Fail("サンプルグラバフィルタのメディアタイプの設定に失敗しました");

  if (FAILED(g.graph->AddFilter(g.grabber, L"SampleGrabber")))
    return Fail("サンプルグラバフィルタのグラフへの追加に失敗しました");
  if (FAILED(g.graph->AddFilter(g.reader, L"MemFile")))
    return Fail("メモリファイルフィルタのグラフへの追加に失敗しました");
  if (FAILED(g.graph->Render(g.reader->GetPin(0)))) return Fail("グラフの構築に失敗しました");
  if (FAILED(g.graph->AddFilter(g.nullRenderer, L"File Renderer")))
    return Fail("ヌルレンダラーフィルタのグラフへの追加に失敗しました");
  if (!SwapInNullRenderer(g))
    return Fail("既存レンダラーをNullレンダラーと交換する処理が失敗しました");

  AM_MEDIA_TYPE connected = {};
  if (FAILED(g.grabber->GetConnectedMediaType(&connected)))
    return Fail("音声が含まれていないか、オーディオフォーマットの取得に失敗しました。");
  WAVEFORMATEX format = {};
  const bool waveFormat =
      connected.formattype == FORMAT_WaveFormatEx && connected.pbFormat && connected.cbFormat >= 16;
  if (waveFormat) std::memcpy(&format, connected.pbFormat, 16);
  FreeMediaType(connected);
  if (!waveFormat) return Fail("サポート外のストリームフォーマットです。");
  if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels == 0)
    return Fail("サポート外のオーディオフォーマットです。");
  WaveFormat& out = c->OutputFormat;
  out = WaveFormat{};
  out.wFormatTag = WAVE_FORMAT_PCM;
  out.nChannels = format.nChannels;
  out.nSamplesPerSec = format.nSamplesPerSec;
  out.nBlockAlign = format.nBlockAlign;
  out.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
  out.wBitsPerSample = static_cast<WORD>(format.nBlockAlign * 8 / format.nChannels);

  if (FAILED(g.grabber->SetCallback(&CollectGrabbedPcm, c)))
    return Fail("コールバック関数を設定できません");
  // Ten bytes of PCM to each byte of the file to start with, counted in 64 bits.
  MemoryPcmConverterArea& a = c->MemoryPcm;
  a.Capacity = static_cast<int64_t>(g.size) * kPcmPerFileByte;
  a.Size = 0;
  a.Pcm =
      a.Capacity <= kMaxPcmBytes
          ? static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(a.Capacity), __FILE__, __LINE__))
          : nullptr;
  if (!a.Pcm) return Fail("PCMデータを格納するメモリ領域の確保に失敗しました");

  if (FAILED(g.graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&g.mediaFilter))) ||
      FAILED(g.mediaFilter->SetSyncSource(nullptr)))
    return Fail("IMediaFilter の取得に失敗しました");
  if (FAILED(g.graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&g.control))))
    return Fail("IMediaControl の取得に失敗しました");
  if (FAILED(g.graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&g.event))))
    return Fail("IMediaEvent の取得に失敗しました");
  g.control->Run();

  ProcessMessagesForSoundWait();
  for (;;) {
    long code = 0;
    hr = g.event->WaitForCompletion(kCompletionWaitMilliseconds, &code);
    if ((hr == S_OK && code == EC_ERRORABORT) || (FAILED(hr) && hr != E_ABORT))
      return Fail("MP3変換の途中でエラーが発生しました");
    if (hr == S_OK && code == EC_COMPLETE) break;
    if (ProcessMessagesForSoundWait() != 0) return Fail("MP3変換の途中でソフトが終了しました");
  }
  g.control->Stop();
  if (!a.Pcm) return Fail("PCMデータを格納するメモリ領域の再確保に失敗しました");
  return 0;
}

int StepMemoryPcm(SoundConverter* c) {
  MemoryPcmConverterArea& a = c->MemoryPcm;
  const int64_t left = a.Size - a.Offset;
  if (left <= 0) return -1;
  const int n = static_cast<int>(std::min<int64_t>(left, c->BlockSize));
  std::memcpy(c->Block, a.Pcm + a.Offset, static_cast<size_t>(n));
  a.Offset += n;
  c->BlockFill = n;
  return 0;
}

int MoveMemoryPcm(SoundConverter* c, int target) {
  MemoryPcmConverterArea& a = c->MemoryPcm;
  a.Offset = static_cast<int>(std::min<int64_t>(target, a.Size));
  c->BlockFill = 0;
  c->BlockOffset = 0;
  c->Position = target;
  return target <= a.Size ? 0 : -1;
}

int SizeMemoryPcm(SoundConverter* c) { return static_cast<int>(c->MemoryPcm.Size); }

void ReleaseMemoryPcm(SoundConverter* c) {
  FreeTracked(c->MemoryPcm.Pcm);
  c->MemoryPcm = MemoryPcmConverterArea{};
}

}  // namespace

const SoundConverterKindFunctions kMemoryPcmConverterFunctions = {
    &StepMemoryPcm, &MoveMemoryPcm, &SizeMemoryPcm, &ReleaseMemoryPcm};

int OpenFilterGraphMp3Decoder(SoundConverter* c) {
  Mp3Graph g;
  if (ReadWholeStream(&c->Stream, &g.image, &g.size) != 0) return -1;
  c->MemoryPcm = MemoryPcmConverterArea{};
  if (RunMp3Graph(c, g) != 0) {
    ReleaseMemoryPcm(c);
    return -1;
  }
  MemoryPcmConverterArea& a = c->MemoryPcm;
  // Whole frames only.
  a.Size -= a.Size % c->OutputFormat.nBlockAlign;
  c->Kind = SoundConverterMemoryPcm;
  c->BlockSize = static_cast<int>(c->OutputFormat.nAvgBytesPerSec);
  c->DataPosition = 0;
  c->DataSize = static_cast<int>(a.Size);
  return 0;
}

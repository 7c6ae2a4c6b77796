// The filter graph's building and state calls and their results: files that are not found,
// connections only while stopped, the events of a graph that does not run, what seeking
// accepts, and the class switches.
#include <gtest/gtest.h>

#include "port/win32.h"
#include "tests/support/encoded_media.h"

namespace {

template <class T>
T* Query(IUnknown* object, REFIID iid) {
  void* out = nullptr;
  EXPECT_EQ(object->QueryInterface(iid, &out), S_OK);
  return static_cast<T*>(out);
}

int CountFilters(IGraphBuilder* graph) {
  IEnumFilters* filters = nullptr;
  EXPECT_EQ(graph->EnumFilters(&filters), S_OK);
  int n = 0;
  IBaseFilter* f = nullptr;
  while (filters->Next(1, &f, nullptr) == S_OK) {
    ++n;
    f->Release();
  }
  filters->Release();
  return n;
}

class FilterGraphTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               reinterpret_cast<void**>(&graph_)),
              S_OK);
  }
  void TearDown() override {
    graph_->Release();
    PortResetComSwitches();
    EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
  }
  IGraphBuilder* graph_ = nullptr;
};

TEST_F(FilterGraphTest, ClassesAreRegisteredAndCanBeSwitchedOff) {
  IBaseFilter* sink = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                             reinterpret_cast<void**>(&sink)),
            S_OK);
  sink->Release();
  PortSetClassAbsent(CLSID_FilterGraph, true);
  IGraphBuilder* none = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                             reinterpret_cast<void**>(&none)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(none, nullptr);
}

TEST_F(FilterGraphTest, RenderFileOfAMissingFileLeavesTheGraphEmpty) {
  EXPECT_EQ(graph_->RenderFile(L"Z:\\no\\such\\movie.mpg", nullptr), VFW_E_NOT_FOUND);
  EXPECT_EQ(CountFilters(graph_), 0);
  EXPECT_EQ(graph_->RenderFile(nullptr, nullptr), E_POINTER);
}

TEST_F(FilterGraphTest, StateEventsAndSeekingFollowTheRules) {
  // An MP3 in memory, rendered: the graph adds a decoder and a sound renderer.
  const Bytes mp3 =
      EncodeSoundFile("mp3", "libmp3lame", std::vector<int16_t>(22050, 3000), 1, 22050, 32000);
  CMemStream stream(mp3.data(), static_cast<LONGLONG>(mp3.size()));
  AM_MEDIA_TYPE type = {};
  type.majortype = MEDIATYPE_Stream;
  type.subtype = MEDIASUBTYPE_MPEG1Audio;
  HRESULT hr = E_FAIL;
  auto* reader = new CMemReader(&stream, &type, &hr);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(graph_->AddFilter(reader, L"MemFile"), S_OK);
  EXPECT_EQ(graph_->AddFilter(reader, L"Again"), E_INVALIDARG);
  ASSERT_EQ(graph_->Render(reader->GetPin(0)), S_OK);
  EXPECT_EQ(graph_->Render(reader->GetPin(0)), VFW_E_ALREADY_CONNECTED);
  EXPECT_EQ(CountFilters(graph_), 3);

  auto* control = Query<IMediaControl>(graph_, IID_IMediaControl);
  auto* event = Query<IMediaEvent>(graph_, IID_IMediaEvent);
  auto* seeking = Query<IMediaSeeking>(graph_, IID_IMediaSeeking);
  auto* audio = Query<IBasicAudio>(graph_, IID_IBasicAudio);
  long code = -1;
  EXPECT_EQ(event->WaitForCompletion(0, &code), VFW_E_WRONG_STATE);
  EXPECT_EQ(code, 0);
  LONGLONG duration = 0;
  EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_NEAR(static_cast<double>(duration), 1e7, 0.1e7);  // one second
  LONGLONG position = 0;
  EXPECT_EQ(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                  AM_SEEKING_NoPositioning),
            E_NOTIMPL);
  EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
  EXPECT_EQ(audio->put_Volume(-500), S_OK);

  ASSERT_EQ(control->Pause(), S_OK);
  OAFilterState state = -1;
  EXPECT_EQ(control->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Paused);
  // Connections and filters change only while stopped.
  EXPECT_EQ(reader->GetPin(0)->Disconnect(), VFW_E_NOT_STOPPED);
  EXPECT_EQ(graph_->RemoveFilter(reader), VFW_E_NOT_STOPPED);
  ASSERT_EQ(control->Stop(), S_OK);
  EXPECT_EQ(graph_->RemoveFilter(reader), S_OK);
  EXPECT_EQ(graph_->RemoveFilter(reader), VFW_E_NOT_FOUND);
  IPin* peer = nullptr;
  EXPECT_EQ(reader->GetPin(0)->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(reader->GetPin(0)->Disconnect(), S_FALSE);

  for (IUnknown* i : {static_cast<IUnknown*>(control), static_cast<IUnknown*>(event),
                      static_cast<IUnknown*>(seeking), static_cast<IUnknown*>(audio)})
    i->Release();
  reader->Release();
}

}  // namespace

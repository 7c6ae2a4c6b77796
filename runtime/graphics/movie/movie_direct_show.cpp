// Movies through the platform's filter graph. The port has no filter graph class, so the graph
// cannot be made and every file that is no Theora movie is refused with the graph's own line.
#include "port/win32.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/platform/core/log.h"

namespace {

const CLSID kFilterGraphClass = {
    0xE436EBB3, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID kGraphBuilderInterface = {
    0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

}  // namespace

int OpenMovieWithDirectShow(MovieEntry* entry, const char* /*fileName*/, int* /*width*/,
                            int* /*height*/) {
  entry->frameImage = GraphImage{};
  IUnknown* graph = nullptr;
  const HRESULT hr =
      CoCreateInstance(kFilterGraphClass, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                       kGraphBuilderInterface, reinterpret_cast<void**>(&graph));
  if (FAILED(hr) || !graph) return LogPrintf("CLSID_FilterGraph の作成に失敗しました");
  // The movie renderer filter is not made on this platform, so a graph is of no use.
  graph->Release();
  return LogPrintf("Could not add renderer filter to graph!");
}

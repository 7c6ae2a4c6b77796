// MP3 through the platform's filter graph. The port provides no filter graph classes, so the
// first platform object of the conversion cannot be made and the decoder refuses with the
// conversion's own line; the chain goes on without it.
#include "port/win32.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_decoders_internal.h"
#include "runtime/sound/sound_file_loading.h"

namespace {

const CLSID kNullRendererClass = {
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const IID kBaseFilterInterface = {
    0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

}  // namespace

int OpenFilterGraphMp3Decoder(SoundConverter* c) {
  void* image = nullptr;
  int size = 0;
  if (ReadWholeStream(&c->Stream, &image, &size) != 0) return -1;

  IUnknown* nullRenderer = nullptr;
  const HRESULT hr =
      CoCreateInstance(kNullRendererClass, nullptr, CLSCTX_INPROC_SERVER, kBaseFilterInterface,
                       reinterpret_cast<void**>(&nullRenderer));
  if (FAILED(hr) || !nullRenderer) {
    LogPrintf("MP3変換用 NullRender の作成に失敗しました");
  } else {
    // A renderer alone converts nothing: without the graph there is no conversion.
    nullRenderer->Release();
    LogPrintf("MP3変換用 IGraphBuilder の作成に失敗しました");
  }
  FreeTracked(image);
  return -1;
}

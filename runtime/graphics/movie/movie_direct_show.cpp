// Movies through the platform's filter graph: the graph renders the file into a MovieRenderer,
// from a temporary copy when the file itself cannot be rendered (a file inside an archive).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "port/win32.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/movie/movie_renderer.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/file_functions.h"

namespace {

constexpr size_t kCopyChunkBytes = 1048576;
constexpr int kFileNameChars = 260;
// A graph that reports no length plays for one sixtieth of a second.
constexpr int64_t kUnknownDuration = 166666;

// The code page of the library's text: Shift-JIS unless the window start-up chose another.
UINT LibraryCodePage() { return CharSetMode >= 2 ? CP_ACP : 932; }

template <class T>
void ReleaseInterface(T*& i) {
  if (i) i->Release();
  i = nullptr;
}

bool RenderName(MovieEntry* e, const char* name, UINT codePage) {
  std::memset(e->fileName, 0, sizeof e->fileName);
  if (MultiByteToWideChar(codePage, 0, name, -1, e->fileName, kFileNameChars) == 0) return false;
  e->fileName[kFileNameChars - 1] = L'\0';
  return SUCCEEDED(e->graph->RenderFile(e->fileName, nullptr));
}

// Copies the file (through the file functions, so files inside archives are found) into a new
// temporary file whose name goes to the entry. False when no copy could be made.
bool CopyToTemporaryFile(MovieEntry* e, const char* fileName) {
  const FileHandle source = OpenStreamFile(fileName, 0, 1, 0);
  if (!source) return false;
  void* chunk = AllocTracked(kCopyChunkBytes, __FILE__, __LINE__);
  char tempName[kFileNameChars] = {};
  HANDLE target = chunk ? OpenTempFile(tempName) : nullptr;
  if (target) {
    for (;;) {
      const size_t got = ReadStreamFile(chunk, 1, kCopyChunkBytes, source);
      if (got == 0) break;
      DWORD written = 0;
      if (!WriteFile(target, chunk, static_cast<DWORD>(got), &written, nullptr) || written != got)
        break;
    }
    CloseHandle(target);
  }
  FreeTracked(chunk);
  CloseStreamFile(source);
  if (!target) return false;
  e->temporaryCopy = 1;
  CopyTextBounded(e->temporaryFileName, sizeof e->temporaryFileName, tempName);
  return true;
}

void ReleaseMovieGraph(MovieEntry* e) {
  ReleaseInterface(e->audio);
  ReleaseInterface(e->seeking);
  ReleaseInterface(e->control);
  // The graph holds the renderer, and its streaming thread ends with it.
  ReleaseInterface(e->graph);
  e->renderer = nullptr;
}

}  // namespace

int OpenMovieWithDirectShow(MovieEntry* e, const char* fileName, int* width, int* height) {
  e->frameImage = GraphImage{};
  e->frameBuffer = nullptr;
  const char* failure = nullptr;
  char notOpened[kFileNameChars + 64] = {};
  HRESULT hr =
      CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                       IID_IGraphBuilder, reinterpret_cast<void**>(&e->graph));
  if (FAILED(hr) || !e->graph) {
    e->graph = nullptr;
    failure = "CLSID_FilterGraph の作成に失敗しました";
  }
  if (!failure) {
    hr = E_OUTOFMEMORY;
    MovieRenderer* renderer = new (std::nothrow) MovieRenderer(nullptr, &hr);
    if (!renderer || FAILED(hr) || FAILED(e->graph->AddFilter(renderer, L"MovieRenderer"))) {
      failure = "Could not add renderer filter to graph!";
    } else {
      e->renderer = renderer;
    }
    // The graph holds the renderer from here on.
    if (renderer) renderer->Release();
  }
  if (!failure &&
      FAILED(e->graph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&e->audio))))
    failure = "BasicAudio インターフェースの取得に失敗しました";
  if (!failure &&
      FAILED(e->graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&e->control))))
    failure = "IID_IMediaControlインターフェイスの取得に失敗しました";
  if (!failure &&
      FAILED(e->graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&e->seeking))))
    failure = "IID_IMediaSeekingインターフェイスの取得に失敗しました";
  if (!failure && !RenderName(e, fileName, LibraryCodePage())) {
    std::snprintf(notOpened, sizeof notOpened, "ファイル:%s が開けませんでした", fileName);
    failure = notOpened;
    if (!e->temporaryCopy && CopyToTemporaryFile(e, fileName)) {
      if (RenderName(e, e->temporaryFileName, 932)) {
        failure = nullptr;
      } else {
        DeleteFileA(e->temporaryFileName);
        e->temporaryCopy = 0;
        e->temporaryFileName[0] = '\0';
      }
    }
  }
  // A file without a picture the renderer takes is no movie.
  if (!failure && e->renderer->width() == 0) {
    std::snprintf(notOpened, sizeof notOpened, "ファイル:%s が開けませんでした", fileName);
    failure = notOpened;
  }
  if (!failure) {
    const MovieRenderer* r = e->renderer;
    e->frameBuffer = static_cast<uint8_t*>(
        AllocTracked(static_cast<size_t>(r->pitch()) * r->height(), __FILE__, __LINE__));
    if (!e->frameBuffer) failure = "メモリの確保に失敗しました in OpenMovie";
  }
  if (failure) {
    if (e->temporaryCopy) DeleteFileA(e->temporaryFileName);
    e->temporaryCopy = 0;
    ReleaseMovieGraph(e);
    LogPrintf("%s", failure);
    return -1;
  }
  LONGLONG duration = 0, stop = 0;
  e->seeking->GetDuration(&duration);
  e->duration = duration == 0 ? kUnknownDuration : duration;
  e->seeking->GetStopPosition(&stop);
  e->stopPosition = stop;
  e->width = e->renderer->width();
  e->height = e->renderer->height();
  if (width) *width = e->width;
  if (height) *height = e->height;
  return 0;
}

void UpdateDirectShowMovieFrame(MovieEntry* e) {
  MovieRenderer* r = e->renderer;
  if (r && e->frameBuffer && r->TakeMovieFrame(e->frameBuffer) && e->callback) {
    GraphImage& image = e->frameImage;
    image = GraphImage{};
    SetupRGB8PixelFormat(&image.Format);
    image.Width = r->width();
    image.Height = r->height();
    image.Pitch = r->pitch();
    image.Pixels = e->frameBuffer;
    e->currentImage = &image;
    e->callback(e, e->userValue);
    e->frameUpdated = 1;
  }
  if (e->seeking && e->control) {
    LONGLONG current = 0;
    if (SUCCEEDED(e->seeking->GetCurrentPosition(&current))) {
      e->position = static_cast<int>(std::min<LONGLONG>(current / 10000, INT32_MAX));
      if (current >= e->stopPosition) {
        e->playing = 0;
        e->stopped = 1;
      }
    }
  }
}

void CloseDirectShowMovie(MovieEntry* e) {
  if (e->temporaryCopy) {
    DeleteFileA(e->temporaryFileName);
    e->temporaryCopy = 0;
    e->temporaryFileName[0] = '\0';
  }
  FreeTracked(e->frameBuffer);
  e->frameBuffer = nullptr;
  e->frameImage = GraphImage{};
  ReleaseMovieGraph(e);
}

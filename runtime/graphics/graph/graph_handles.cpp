#include "runtime/graphics/graph/graph_handles.h"

#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/platform/startup/library_startup.h"

namespace {

void* gGraphSlots[HandleCapacity(HandleTypeGraph)];

// Drops one reference of a source-file record, freeing it with the last.
void DropSourceFile(GraphSourceFile* file) {
  if (file != nullptr && --file->refCount <= 0) FreeTracked(file);
}

// Drops one reference of a texture set, releasing its objects and image with the last.
void DropTextureSet(GraphTextureSet* set) {
  if (set == nullptr || --set->refCount > 0) return;
  ReleaseGraphTargetObjects(set);
  if (set->record.TextureBacked)
    ReleaseGraphTextures(set);
  else
    ReleaseMemImg(&set->image);
  FreeTracked(set);
}

}  // namespace

HandleTable GraphHandles = MakeHandleTable(HandleTypeGraph, gGraphSlots);

int AllocGraphHandle() {
  if (GraphHandles.count >= GraphHandles.capacity)
    AbortWithLog("グラフィックの数が許容量を越えました終了します");
  InstallGraphDeviceHooks();
  const int handle = AllocHandle(&GraphHandles, sizeof(GraphEntry), __FILE__, __LINE__);
  if (handle < 0) AbortWithLog("メモリの確保に失敗しました");
  GraphEntry* entry = GetGraphEntry(handle);
  entry->handle = handle;
  entry->movieHandle = -1;
  return handle;
}

GraphEntry* GetGraphEntry(int handle) {
  return static_cast<GraphEntry*>(GetHandleRecord(&GraphHandles, handle));
}

int IsGraphHandleValid(int handle) { return GetGraphEntry(handle) != nullptr ? 1 : 0; }

int GetGraphDimensions(int handle, int* width, int* height) {
  int w, h;
  // -3 and -5 are further screen codes, measured as the back buffer.
  if (handle <= kBackBufferTarget && handle >= -5) {
    w = ScreenMode.width;
    h = ScreenMode.height;
  } else {
    const GraphEntry* entry = GetGraphEntry(handle);
    if (entry == nullptr) return -1;
    w = entry->width;
    h = entry->height;
  }
  if (width != nullptr) *width = w;
  if (height != nullptr) *height = h;
  return 0;
}

int CreateSubGraph(int x, int y, int width, int height, int source) {
  if (DrawSuppressed) return 0;
  const GraphEntry* src = GetGraphEntry(source);
  if (src == nullptr || x < 0 || y < 0 || x >= src->width || y >= src->height) return -1;
  // An empty graph would cover no tile and have no view to draw.
  if (width <= 0 || height <= 0) return -1;
  if (width > src->width - x) width = src->width - x;
  if (height > src->height - y) height = src->height - y;

  const int handle = AllocGraphHandle();
  GraphEntry* entry = GetGraphEntry(handle);
  src = GetGraphEntry(source);
  entry->textureSet = src->textureSet;
  entry->textureSet->refCount++;
  entry->sourceFile = src->sourceFile;
  if (entry->sourceFile != nullptr) entry->sourceFile->refCount++;
  entry->sourceX = src->sourceX + x;
  entry->sourceY = src->sourceY + y;
  entry->loadOption = src->loadOption;
  entry->x = src->x + x;
  entry->y = src->y + y;
  entry->width = width;
  entry->height = height;
  if (BuildGraphDrawInfo(handle) != 0) {
    // The new graph holds a reference of the set and the file record: deleting drops both.
    DeleteGraphHandle(handle);
    return -1;
  }
  return handle;
}

int DeleteGraphHandle(int handle) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr) return -1;

  // A graph made from a movie file takes its movie with it (-1 is refused there).
  CloseMovie(entry->movieHandle);
  entry->movieHandle = -1;
  GraphTextureSet* set = entry->textureSet;
  if (set != nullptr && !set->record.TextureBacked) ReleaseMemImg(&entry->image);
  DropTextureSet(set);
  entry->textureSet = nullptr;
  FreeTracked(entry->tileDraws);
  entry->tileDraws = nullptr;
  entry->tileDrawCount = 0;

  for (void*& buffer : entry->ownedBuffers) {
    FreeTracked(buffer);
    buffer = nullptr;
  }
  SetGraphSourceFile(handle, nullptr, -1);

  int* lostFlag = entry->lostFlag;
  ReleaseHandle(&GraphHandles, handle);
  if (lostFlag != nullptr) *lostFlag = 1;
  return 0;
}

int SetGraphSourceFile(int handle, const char* fileName, int shareFrom) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr) return -1;
  DropSourceFile(entry->sourceFile);
  entry->sourceFile = nullptr;

  if (fileName != nullptr) {
    // A path that cannot be made full is kept as given: the reload then tries it as it is.
    char full[1024];
    const char* path = MakeFullPath(fileName, full, sizeof full, nullptr) == 0 ? full : fileName;
    const size_t length = std::strlen(path);
    auto* file = static_cast<GraphSourceFile*>(
        AllocTracked(sizeof(GraphSourceFile) + length + 1, __FILE__, __LINE__));
    if (file == nullptr) {
      return WriteLogText(
          "転送する画像ファイルのファイル名を保存するメモリ領域の確保に失敗しました\n");
    }
    file->refCount = 1;
    file->mirrored = 0;
    file->path = reinterpret_cast<char*>(file + 1);
    std::memcpy(file->path, path, length + 1);
    entry->sourceFile = file;
    return 0;
  }
  if (shareFrom == -1) return 0;
  GraphEntry* other = GetGraphEntry(shareFrom);
  if (other == nullptr) return -1;
  entry->sourceFile = other->sourceFile;
  if (entry->sourceFile != nullptr) entry->sourceFile->refCount++;
  return 0;
}

int SetGraphSourceMirror(int handle, int mirrored) {
  const GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || entry->sourceFile == nullptr) return -1;
  entry->sourceFile->mirrored = mirrored != 0 ? 1 : 0;
  return 0;
}

const char* GetGraphSourcePath(int handle) {
  const GraphEntry* entry = GetGraphEntry(handle);
  return entry != nullptr && entry->sourceFile != nullptr ? entry->sourceFile->path : nullptr;
}

int SetGraphLostFlag(int handle, int* flag) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr) return -1;
  entry->lostFlag = flag;
  if (flag != nullptr) *flag = 0;
  return 0;
}

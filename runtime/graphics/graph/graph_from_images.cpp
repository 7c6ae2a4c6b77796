#include "runtime/graphics/graph/graph_from_images.h"

#include <climits>
#include <cstdint>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_storage.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/platform/window/message_loop.h"

namespace {

// A picture and its alpha image read for one call, freed when the call ends.
struct ReadPicture {
  GraphImage image = {};
  GraphImage alpha = {};
  int status = -1;  // ReadImageFileWithAlpha's: -1 failed, 0 with an alpha image, 1 without

  ReadPicture() = default;
  ReadPicture(const ReadPicture&) = delete;
  ReadPicture& operator=(const ReadPicture&) = delete;
  ~ReadPicture() {
    FreeGraphImage(&image);
    FreeGraphImage(&alpha);
  }
  GraphImage* Alpha() { return status == 0 ? &alpha : nullptr; }
  void Mirror() {
    MirrorGraphImage(&image);
    if (status == 0) MirrorGraphImage(&alpha);
  }
};

void ReadFile(const char* fileName, ReadPicture* picture) {
  picture->status = ReadImageFileWithAlpha(fileName, nullptr, 0, 0, nullptr, 0, 0, &picture->image,
                                           &picture->alpha, 0);
}

void ReadMemory(const void* data, int size, const void* alphaData, int alphaSize,
                ReadPicture* picture) {
  // Alpha mode 1 reads the alpha image from memory; any other mode reads none.
  picture->status =
      ReadImageFileWithAlpha(nullptr, data, size, 1, alphaData, alphaSize,
                             alphaData != nullptr ? 1 : 2, &picture->image, &picture->alpha, 0);
}

// The single load writes a space after the name, the cut load none.
int LogLoadFailure(const char* fileName) {
  return LogPrintf("右記のグラフィックファイルのロードに失敗しました：%s ", fileName);
}
int LogCutLoadFailure(const char* fileName) {
  return LogPrintf("右記のグラフィックファイルのロードに失敗しました：%s", fileName);
}

// Records the file (and its mirroring) with a graph for the reload after a device loss.
void RecordSource(int handle, const char* fileName, int mirrored) {
  SetGraphSourceFile(handle, fileName, -1);
  if (mirrored) SetGraphSourceMirror(handle, 1);
}

int CutFailed(int* handles, int made, int whole) {
  LogPrintf("グラフィックの分割に失敗しました in CreateDivGraphFromGraphImage");
  for (int i = 0; i < made; ++i) {
    DeleteGraphHandle(handles[i]);
    handles[i] = -1;
  }
  if (whole != -1) DeleteGraphHandle(whole);
  return -1;
}

// A graph showing the movie the file holds, its frames delivered by the movie into the graph.
int LoadMovieGraph(const char* fileName) {
  int width = 0, height = 0;
  const int movie = OpenMovie(fileName, &width, &height, 0);
  if (movie == -1) return LogLoadFailure(fileName);
  const int bits = GraphBitDepthOption, alphaTest = AlphaTestGraphOption,
            systemCopy = SystemMemoryCopyOption, drawTarget = DrawTargetGraphOption,
            single = SingleTextureGraphOption;
  GraphBitDepthOption = ScreenMode.bits != 0 ? ScreenMode.bits : 16;
  AlphaTestGraphOption = 0;
  SystemMemoryCopyOption = 1;
  DrawTargetGraphOption = 1;
  SingleTextureGraphOption = 1;
  const int handle = AllocGraphHandle();
  const int made = CreateGraphStorage(-1, handle, width, height, 0, 0, 0);
  GraphBitDepthOption = bits;
  AlphaTestGraphOption = alphaTest;
  SystemMemoryCopyOption = systemCopy;
  DrawTargetGraphOption = drawTarget;
  SingleTextureGraphOption = single;
  if (made != 0) {
    // Nothing else would ever close the movie, its decode thread or its sound track.
    CloseMovie(movie);
    return LogPrintf("右記のグラフィックファイルの格納用グラフィック領域の作成に失敗しました：%s",
                     fileName);
  }
  GetGraphEntry(handle)->movieHandle = movie;
  SetMovieCallback(movie, &TransferMovieFrameToGraph, handle);
  return handle;
}

bool SameSize(const GraphImage* image, const GraphEntry* entry) {
  return image->Width == entry->width && image->Height == entry->height;
}

}  // namespace

int LoadGraphFromFile(const char* fileName, int flag) {
  return LoadGraphFileWithOptions(fileName, flag == 0 ? 1 : 0, 0);
}

int LoadGraphFileWithOptions(const char* fileName, int transparencyFlag, int mirrorFlag) {
  if (!GraphicsInitialised || fileName == nullptr) return -1;
  WaitWhileInactive();
  ReadPicture picture;
  ReadFile(fileName, &picture);
  if (picture.status < 0) {
    const FileHandle file = OpenStreamFile(fileName, 0, 1, 0);
    if (file == 0) {
      LogPrintf("グラフィックファイル %s がありません", fileName);
      return -1;
    }
    CloseStreamFile(file);
    // A file that no image loader takes may be a movie.
    return LoadMovieGraph(fileName);
  }
  if (mirrorFlag == 1) picture.Mirror();
  const int handle =
      MakeGraphFromGraphImage(&picture.image, picture.Alpha(), transparencyFlag, mirrorFlag, 0);
  if (handle == -1) return LogLoadFailure(fileName);
  RecordSource(handle, fileName, mirrorFlag == 1);
  return handle;
}

int LoadGraphCellsFromFile(const char* fileName, int total, int columns, int rows, int cellWidth,
                           int cellHeight, int* handles, int flag) {
  return LoadDivGraphFile(fileName, total, columns, rows, cellWidth, cellHeight, handles,
                          flag == 0 ? 1 : 0, 0);
}

int LoadDivGraphFile(const char* fileName, int total, int columns, int rows, int cellWidth,
                     int cellHeight, int* handles, int transparencyFlag, int mirrorFlag) {
  if (!GraphicsInitialised || fileName == nullptr) return -1;
  WaitWhileInactive();
  ReadPicture picture;
  ReadFile(fileName, &picture);
  if (picture.status < 0) return LogCutLoadFailure(fileName);
  if (mirrorFlag == 1) picture.Mirror();
  if (CreateDivGraphFromGraphImage(&picture.image, picture.Alpha(), total, columns, rows, cellWidth,
                                   cellHeight, handles, transparencyFlag, mirrorFlag, 0) != 0)
    return LogCutLoadFailure(fileName);
  for (int i = 0; i < total; ++i) RecordSource(handles[i], fileName, mirrorFlag == 1);
  return 0;
}

int CreateDivGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int total, int columns,
                                 int rows, int cellWidth, int cellHeight, int* handles,
                                 int transparencyFlag, int mirrorFlag, int) {
  // Every one of the `total` entries must get a cell: a grid smaller than total would leave
  // entries the caller takes for handles unwritten.
  if (image == nullptr || handles == nullptr || total < 1 || columns < 1 || rows < 1 ||
      int64_t{columns} * rows < total)
    return CutFailed(handles, 0, -1);
  const int whole = MakeGraphFromGraphImage(image, alphaImage, transparencyFlag, mirrorFlag, 0);
  if (whole == -1) return -1;
  int made = 0;
  for (int r = 0; made < total; ++r) {
    const int64_t y = int64_t{r} * cellHeight;
    for (int c = 0; c < columns && made < total; ++c) {
      const int64_t x =
          mirrorFlag == 1 ? int64_t{cellWidth} * (columns - 1 - c) : int64_t{cellWidth} * c;
      const int cell = x > INT_MAX || y > INT_MAX
                           ? -1
                           : CreateSubGraph(static_cast<int>(x), static_cast<int>(y), cellWidth,
                                            cellHeight, whole);
      if (cell == -1) return CutFailed(handles, made, whole);
      handles[made++] = cell;
    }
  }
  // The cells keep the storage alive.
  DeleteGraphHandle(whole);
  return 0;
}

int MakeGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int, int mirrorFlag,
                            int mirrorNow) {
  if (image == nullptr) return -1;
  UpdateSpareBitsMask(&image->Format);
  if (alphaImage != nullptr) UpdateSpareBitsMask(&alphaImage->Format);
  const bool mirror = mirrorFlag == 1 && mirrorNow == 1;
  if (mirror) {
    MirrorGraphImage(image);
    if (alphaImage != nullptr) MirrorGraphImage(alphaImage);
  }
  int handle = CreateGraphForImage(image, alphaImage);
  // A picture that cannot be written (a DXT picture that does not fill whole textures of its
  // kind, a failed transfer) must not leave an empty graph behind as a success.
  if (handle != -1 && TransferImageToGraph(0, nullptr, nullptr, nullptr, 0, image, alphaImage, 0, 0,
                                           handle, 0) != 0) {
    DeleteGraphHandle(handle);
    handle = -1;
  }
  if (mirror) {
    MirrorGraphImage(image);
    if (alphaImage != nullptr) MirrorGraphImage(alphaImage);
  }
  return handle;
}

int CreateBlankGraph(int width, int height) {
  if (!GraphicsInitialised || width < 1 || height < 1) return -1;
  WaitWhileInactive();
  const int handle = AllocGraphHandle();
  if (CreateGraphStorage(-1, handle, width, height, BlankGraphAlphaOption, 0, 0) != 0) return -1;
  return handle;
}

int CreateGraphFromMemory(const void* imageData, int imageSize, const void* alphaData,
                          int alphaSize, int transparencyFlag, int mirrorFlag) {
  ReadPicture picture;
  ReadMemory(imageData, imageSize, alphaData, alphaSize, &picture);
  if (picture.status < 0) return -1;
  if (mirrorFlag == 1) picture.Mirror();
  return MakeGraphFromGraphImage(&picture.image, picture.Alpha(), transparencyFlag, mirrorFlag, 0);
}

int ReplaceGraphFromMemory(const void* imageData, int imageSize, int handle, const void* alphaData,
                           int alphaSize, int, int mirrorFlag) {
  ReadPicture picture;
  ReadMemory(imageData, imageSize, alphaData, alphaSize, &picture);
  if (picture.status < 0) return -1;
  if (mirrorFlag == 1) picture.Mirror();
  return ReplaceGraphFromImageMirrored(&picture.image, picture.Alpha(), handle, 0, 0, 0);
}

int ReplaceGraphFromImage(const GraphImage* image, int handle) {
  const GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || image == nullptr || !SameSize(image, entry)) return -1;
  return TransferImageToGraph(0, nullptr, nullptr, nullptr, 0, image, nullptr, 0, 0, handle, 0);
}

int ReplaceGraphFromImageMirrored(GraphImage* image, GraphImage* alphaImage, int handle, int,
                                  int mirrorFlag, int mirrorFlag2) {
  const GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || image == nullptr || !SameSize(image, entry) ||
      (alphaImage != nullptr && !SameSize(alphaImage, entry)))
    return -1;
  const bool mirror = mirrorFlag == 1 && mirrorFlag2 == 1;
  if (mirror) {
    MirrorGraphImage(image);
    if (alphaImage != nullptr) MirrorGraphImage(alphaImage);
  }
  const int result =
      TransferImageToGraph(0, nullptr, nullptr, nullptr, 0, image, alphaImage, 0, 0, handle, 0);
  if (mirror) {
    MirrorGraphImage(image);
    if (alphaImage != nullptr) MirrorGraphImage(alphaImage);
  }
  return result;
}

int CreateWhiteTextureGraph() {
  // An 8 x 8 run-length TGA of 32 bits, top-left first: one run of 64 opaque white pixels.
  static const uint8_t kWhiteTga[] = {0, 0, 10, 0, 0,  0,    0,    0,    0,    0,    0,   0,
                                      8, 0, 8,  0, 32, 0x28, 0xBF, 0xFF, 0xFF, 0xFF, 0xFF};
  const uint32_t key = ColorKey;
  ColorKey = 0xFF00FF;
  const int handle = CreateGraphFromMemory(kWhiteTga, sizeof kWhiteTga, nullptr, 0, 1, 0);
  ColorKey = key;
  if (HardwareRendering) BeginSceneIfNeeded();
  return handle;
}

#include "runtime/graphics/movie/theora_decoder.h"

#include <climits>
#include <cstring>
#include <new>

#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/graphics/movie/theora_decoder_internal.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr int kReadPiece = 4096;
constexpr int kIndexGrowth = 1000;

// Finds the video stream among the streams' first pages and reads its three header packets.
// False for a file without a Theora stream or with broken headers.
bool ReadTheoraHeaders(TheoraDecoder* d) {
  bool found = false;
  while (d->HeaderCount < 3) {
    if (!ReadTheoraPage(d)) return false;
    if (!found) {
      // Only a stream's first page can show what the stream is; every other stream is dropped.
      if (!ogg_page_bos(&d->Page)) continue;
      ogg_stream_state candidate;
      ogg_stream_init(&candidate, ogg_page_serialno(&d->Page));
      ogg_packet first;
      if (ogg_stream_pagein(&candidate, &d->Page) != 0 ||
          ogg_stream_packetout(&candidate, &first) != 1 ||
          th_decode_headerin(&d->Info, &d->Comment, &d->Setup, &first) <= 0) {
        ogg_stream_clear(&candidate);
        continue;
      }
      d->Stream = candidate;
      d->StreamReady = 1;
      d->HeaderCount = 1;
      found = true;
    } else if (ogg_stream_pagein(&d->Stream, &d->Page) != 0) {
      continue;  // another stream's page
    }
    while (d->HeaderCount < 3) {
      const int r = ogg_stream_packetout(&d->Stream, &d->Packet);
      if (r == 0) break;
      if (r < 0 || th_decode_headerin(&d->Info, &d->Comment, &d->Setup, &d->Packet) <= 0)
        return false;
      ++d->HeaderCount;
    }
  }
  return true;
}

template <typename T>
bool GrowTable(T** table, int* capacity, int used) {
  if (used < *capacity) return true;
  if (*capacity > INT_MAX / static_cast<int>(sizeof(T)) - kIndexGrowth) return false;
  const int grown = *capacity + kIndexGrowth;
  void* p = ReallocTracked(*table, static_cast<size_t>(grown) * sizeof(T), __FILE__, __LINE__);
  if (!p) return false;
  *table = static_cast<T*>(p);
  *capacity = grown;
  return true;
}

// One page entry for every page of the video stream on which a frame completes, and a key flag
// for every frame, until the end of the file. -1 with the line logged when a table cannot be
// made or grown.
int IndexTheoraPages(TheoraDecoder* d) {
  d->Pages = static_cast<TheoraPageEntry*>(
      AllocTracked(sizeof(TheoraPageEntry) * kIndexGrowth, __FILE__, __LINE__));
  if (!d->Pages) return WriteLogText("Theora ページ情報格納用メモリの確保に失敗しました\n");
  d->PageCapacity = kIndexGrowth;
  d->KeyFlags = static_cast<uint8_t*>(AllocTracked(kIndexGrowth, __FILE__, __LINE__));
  if (!d->KeyFlags)
    return WriteLogText("Theora キーフレーム情報格納用メモリの確保に失敗しました\n");
  d->KeyFlagCapacity = kIndexGrowth;

  int64_t offset = 0;
  int64_t pageStart = 0;
  bool pageFed = false;
  for (;;) {
    const long n = ogg_sync_pageseek(&d->Sync, &d->Page);
    if (n == 0) {
      if (ReadTheoraData(d) == 0) break;
      continue;
    }
    if (n < 0) {  // bytes skipped to the next page
      offset -= n;
      continue;
    }
    pageStart = offset;
    offset += n;
    // The file functions seek with an int: pages beyond it could never be reached.
    if (pageStart > INT_MAX) return 0;
    if (ogg_stream_pagein(&d->Stream, &d->Page) != 0) continue;
    pageFed = true;
    for (;;) {
      const int r = ogg_stream_packetout(&d->Stream, &d->Packet);
      if (r == 0) break;
      if (r < 0 || th_packet_isheader(&d->Packet)) continue;
      if (d->FrameCount >= INT_MAX) return 0;
      if (pageFed) {
        if (!GrowTable(&d->Pages, &d->PageCapacity, d->PageCount))
          return WriteLogText("Theora ページ情報格納用メモリの確保に失敗しました\n");
        d->Pages[d->PageCount++] = {static_cast<int32_t>(pageStart),
                                    static_cast<int32_t>(d->FrameCount), 0, 0};
        pageFed = false;
      }
      if (!GrowTable(&d->KeyFlags, &d->KeyFlagCapacity, static_cast<int>(d->FrameCount)))
        return WriteLogText("Theora キーフレーム情報格納用メモリの確保に失敗しました\n");
      const bool key = th_packet_iskeyframe(&d->Packet) == 1;
      d->KeyFlags[d->FrameCount] = key ? 1 : 0;
      TheoraPageEntry& last = d->Pages[d->PageCount - 1];
      if (key) last.KeyFrame = 1;
      ++last.Frames;
      ++d->FrameCount;
    }
  }
  return 0;
}

int IndexTheoraFile(TheoraDecoder* d) {
  if (IndexTheoraPages(d) != 0) return -1;
  // Restarting at the first entry reads the headers again, which the decode skips.
  if (d->PageCount > 0) d->Pages[0].Offset = 0;
  return 0;
}

}  // namespace

int ReadTheoraData(TheoraDecoder* d) {
  char* buffer = ogg_sync_buffer(&d->Sync, kReadPiece);
  if (!buffer) return 0;
  const size_t n = d->FileFunctions.Read(buffer, 1, kReadPiece, d->File);
  ogg_sync_wrote(&d->Sync, static_cast<long>(n));
  return static_cast<int>(n);
}

bool ReadTheoraPage(TheoraDecoder* d) {
  for (;;) {
    const int r = ogg_sync_pageout(&d->Sync, &d->Page);
    if (r == 1) return true;
    // A read that brings nothing is the end, whatever the end test says.
    if (r == 0 && ReadTheoraData(d) == 0) return false;
  }
}

void RestartTheoraReading(TheoraDecoder* d, int offset) {
  ogg_sync_reset(&d->Sync);
  ogg_stream_reset(&d->Stream);
  d->FileFunctions.Seek(d->File, offset, 0);
}

TheoraPlaneSizes GetTheoraPlaneSizes(const th_info* info) {
  const int xShift = !(info->pixel_fmt & 1);
  const int yShift = !(info->pixel_fmt & 2);
  const int x = static_cast<int>(info->pic_x);
  const int y = static_cast<int>(info->pic_y);
  const int w = static_cast<int>(info->pic_width);
  const int h = static_cast<int>(info->pic_height);
  TheoraPlaneSizes s;
  s.YWidth = w;
  s.YHeight = h;
  s.ChromaX = x >> xShift;
  s.ChromaY = y >> yShift;
  s.ChromaWidth = ((x + w + xShift) >> xShift) - s.ChromaX;
  s.ChromaHeight = ((y + h + yShift) >> yShift) - s.ChromaY;
  return s;
}

TheoraDecoder* OpenTheoraMovie(const FileFunctionTable* fileFunctions, FileHandle file,
                               int stockCount) {
  char magic[4];
  if (stockCount < 1 || fileFunctions->Read(magic, 1, 4, file) != 4 ||
      std::memcmp(magic, "OggS", 4) != 0)
    return nullptr;
  fileFunctions->Seek(file, 0, 0);

  void* block = AllocTracked(sizeof(TheoraDecoder), __FILE__, __LINE__);
  if (!block) {
    WriteLogText("Theora ムービーデコード処理用のメモリ確保に失敗しました\n");
    return nullptr;
  }
  TheoraDecoder* d = new (block) TheoraDecoder{};
  d->DisplayIndex = -1;
  ogg_sync_init(&d->Sync);
  th_info_init(&d->Info);
  th_comment_init(&d->Comment);
  d->FileFunctions = *fileFunctions;
  d->File = file;

  auto fail = [d]() -> TheoraDecoder* {
    CloseTheoraMovie(d);
    return nullptr;
  };
  if (!ReadTheoraHeaders(d)) return fail();
  // The size comes from the file: a frame larger than any image the loaders take is damage.
  if (!ImageSizeAllowed(d->Info.frame_width, d->Info.frame_height,
                        int64_t{4} * d->Info.frame_width))
    return fail();

  // The thread starts held and touches nothing until the first seek releases it.
  d->HoldRequest = 1;
  d->Thread = CreateThread(nullptr, 0, TheoraDecodeThread, d, 0, &d->ThreadId);
  if (!d->Thread) {
    WriteLogText("Theora ムービーデコード用スレッドの作成に失敗しました\n");
    return fail();
  }
  d->Decoder = th_decode_alloc(&d->Info, d->Setup);
  if (!d->Decoder) return fail();
  RestartTheoraReading(d, 0);

  if (IndexTheoraFile(d) != 0) return fail();
  // Headers and no frame: nothing could ever be shown, and a seek would find no page.
  if (d->FrameCount == 0) return fail();

  CreateTheoraSurface(d);
  const TheoraPlaneSizes sizes = GetTheoraPlaneSizes(&d->Info);
  if (CreateXrgbGraphImage(sizes.YWidth, sizes.YHeight, &d->RgbImage) != 0) {
    WriteLogText("Theora ムービーデコードフレームストック用画像バッファの確保に失敗しました\n");
    return fail();
  }
  void* stock =
      AllocTracked(sizeof(TheoraStockFrame) * static_cast<size_t>(stockCount), __FILE__, __LINE__);
  if (!stock) {
    WriteLogText("Theora ムービーデコードフレームストック用のメモリ確保に失敗しました\n");
    return fail();
  }
  d->Stock = static_cast<TheoraStockFrame*>(stock);
  for (int i = 0; i < stockCount; ++i) new (&d->Stock[i]) TheoraStockFrame{};
  d->StockCount = stockCount;

  SeekTheoraMovie(d, 0);
  ConvertTheoraFrame(d, 1, 1);
  return d;
}

void CloseTheoraMovie(TheoraDecoder* d) {
  if (!d) return;
  if (d->Thread) {
    d->QuitRequest = 1;
    WaitForSingleObject(d->Thread, INFINITE);
    CloseHandle(d->Thread);
  }
  for (int i = 0; i < d->StockCount; ++i) {
    FreeTracked(d->Stock[i].Y);
    FreeTracked(d->Stock[i].U);
    FreeTracked(d->Stock[i].V);
    d->Stock[i].~TheoraStockFrame();
  }
  FreeTracked(d->Stock);
  ReleaseTheoraSurface(d);
  FreeTracked(d->Pages);
  FreeTracked(d->KeyFlags);
  FreeGraphImage(&d->RgbImage);
  if (d->StreamReady) ogg_stream_clear(&d->Stream);
  if (d->Decoder) th_decode_free(d->Decoder);
  th_setup_free(d->Setup);
  th_comment_clear(&d->Comment);
  th_info_clear(&d->Info);
  ogg_sync_clear(&d->Sync);
  d->~TheoraDecoder();
  FreeTracked(d);
}

void GetTheoraInfo(const TheoraDecoder* d, TheoraMovieInfo* info) {
  info->FrameRate = d->Info.fps_denominator
                        ? static_cast<double>(d->Info.fps_numerator) / d->Info.fps_denominator
                        : 0.0;
  info->FrameCount = d->FrameCount;
  info->Width = static_cast<int>(d->Info.pic_width);
  info->Height = static_cast<int>(d->Info.pic_height);
}

int GetTheoraDisplayIndex(const TheoraDecoder* d) { return d->DisplayIndex; }

void SeekTheoraMovie(TheoraDecoder* d, int frame) {
  if (frame == d->DisplayIndex) return;
  d->RgbCurrent = 0;
  d->SurfaceCurrent = 0;
  // The display index and the target change only while the thread is held. A seek returns
  // only once the thread has left the hold, so the held state seen here is a fresh answer.
  d->HoldRequest = 1;
  while (d->ThreadState != TheoraThreadHeld) Sleep(0);
  if (frame < 0) frame = 0;
  if (frame > d->FrameCount - 1) frame = static_cast<int>(d->FrameCount - 1);
  d->DisplayIndex = frame;
  d->SeekTarget = frame;
  d->SeekRequest = 1;
  d->HoldRequest = 0;
  while (d->ThreadState == TheoraThreadHeld) Sleep(0);
}

GraphImage* GetTheoraRgbImage(TheoraDecoder* d) { return &d->RgbImage; }

IDirect3DSurface9* GetTheoraSurface(TheoraDecoder* d) { return d->Surface; }

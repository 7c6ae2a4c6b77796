// The Ogg Theora movie decoder: an index of the video stream's pages and key frames built at
// open, a decode thread that keeps a stock of decoded frames ahead of the frame to be shown,
// and the conversion of that frame into a 32-bit RGB image and, on the hardware path, a YUV
// surface of the device.
#pragma once

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <atomic>
#include <cstdint>

#include "port/win32.h"
#include "runtime/graphics/image/graph_image.h"
#include "runtime/platform/files/file_functions.h"

// What the decode thread reports.
enum TheoraThreadState {
  TheoraThreadIdle = 0,      // the stock is full
  TheoraThreadDecoding = 1,  // filling the stock
  TheoraThreadSeeking = 2,
  TheoraThreadEnded = 3,
  TheoraThreadHeld = 4,
};

// One page of the video stream on which at least one frame completes.
struct TheoraPageEntry {
  int32_t Offset;      // of the page in the file
  int32_t FirstFrame;  // the first frame completed on the page
  int32_t KeyFrame;    // 1 when a key frame completes on the page
  int32_t Frames;      // frames completed on the page
};
static_assert(sizeof(TheoraPageEntry) == 16);

// A decoded frame of the stock: the picture's planes, each row `stride` bytes apart. The
// buffers are tracked blocks that stay allocated and are reused while the sizes stay the same.
// The decode thread writes an entry only while it is not valid and publishes it by setting
// Valid last; the main thread reads the planes only after it has seen Valid set.
struct TheoraStockFrame {
  std::atomic<int> Valid;
  std::atomic<int> FrameIndex;
  uint8_t* Y;
  uint8_t* U;
  uint8_t* V;
  int YWidth;
  int YHeight;
  int YStride;
  int ChromaWidth;
  int ChromaHeight;
  int ChromaStride;
};

// The requests and the thread state are the words the two threads share; the Ogg and Theora
// state, the decoded index and the stock buffers belong to the decode thread once it has been
// released from its first hold, and everything else to the main thread.
struct TheoraDecoder {
  std::atomic<int> ThreadState;
  std::atomic<int> HoldRequest;
  std::atomic<int> QuitRequest;
  std::atomic<int> SeekRequest;
  std::atomic<int> SeekTarget;
  std::atomic<int> EndFlag;
  HANDLE Thread;
  DWORD ThreadId;
  FileFunctionTable FileFunctions;
  FileHandle File;

  ogg_sync_state Sync;
  ogg_page Page;
  ogg_stream_state Stream;  // the video stream, once found
  ogg_packet Packet;
  int StreamReady;

  th_info Info;
  th_comment Comment;
  th_setup_info* Setup;
  th_dec_ctx* Decoder;
  int HeaderCount;

  TheoraPageEntry* Pages;
  int PageCount;
  int PageCapacity;
  uint8_t* KeyFlags;  // one per frame, 1 = key frame
  int KeyFlagCapacity;
  int64_t FrameCount;

  std::atomic<int> DisplayIndex;  // the frame to be shown
  int DecodedIndex;               // the frame the Theora decoder holds now

  TheoraStockFrame* Stock;
  int StockCount;

  GraphImage RgbImage;         // X8R8G8B8, the picture's size
  IDirect3DSurface9* Surface;  // null when none
  D3DFORMAT SurfaceFormat;     // the FOURCC the surface was made with
  int RgbCurrent;              // the RGB image holds the display frame
  int SurfaceCurrent;          // the surface holds the display frame
};

struct TheoraMovieInfo {
  double FrameRate;  // frames per second
  int64_t FrameCount;
  int Width;
  int Height;
};

// Fills the fixed-point colour tables; at library start-up, before any movie opens.
void BuildYuvTables();

// A decoder for a file opened with the given file functions (a copy is kept, so movies inside
// archives work), with a stock of stockCount decoded frames, showing frame 0: the RGB image
// holds it when this returns. Null when the file is not Ogg, holds no Theora stream or no
// frame of one (silently), or a resource fails (logged). The caller keeps the file open until
// CloseTheoraMovie and closes it afterwards.
TheoraDecoder* OpenTheoraMovie(const FileFunctionTable* fileFunctions, FileHandle file,
                               int stockCount);
// Stops the decode thread and frees everything; the file stays open.
void CloseTheoraMovie(TheoraDecoder* decoder);

void GetTheoraInfo(const TheoraDecoder* decoder, TheoraMovieInfo* info);
int GetTheoraDisplayIndex(const TheoraDecoder* decoder);
// Makes `frame` (clamped to the movie) the frame to be shown; the thread restarts there.
void SeekTheoraMovie(TheoraDecoder* decoder, int frame);
// Brings the RGB image and/or the YUV surface up to the display frame. 1 when it did; 0 when
// there was nothing to do or the frame is not available (the images stay as they were).
int ConvertTheoraFrame(TheoraDecoder* decoder, int wantRgb, int wantSurface);
GraphImage* GetTheoraRgbImage(TheoraDecoder* decoder);
IDirect3DSurface9* GetTheoraSurface(TheoraDecoder* decoder);

// Writes one stock frame into a 32-bit image of its size: 4:2:0 frames (chroma planes exactly
// half the luma planes both ways) through the fixed-point tables, any other layout in floating
// point. The image's pixels are B, G, R, 255.
void ConvertTheoraStockFrame(const TheoraStockFrame* frame, GraphImage* image);

// The YUV surface. The surface belongs to the device it was made on: the graphics layer
// installs the query of its device (null while it draws in software, and then no surface is
// made), releases every movie's surface before it releases the device and makes them again
// with CreateTheoraSurface after re-creating it. Until a query is installed there is no
// device, and movies convert into the RGB image only.
void SetTheoraSurfaceDeviceQuery(IDirect3DDevice9* (*query)());
// Releases any old surface and, when there is a device, makes an off-screen plain surface of
// the picture's size in YV12, else YUY2, else UYVY. 0 with a surface, -1 without.
int CreateTheoraSurface(TheoraDecoder* decoder);
void ReleaseTheoraSurface(TheoraDecoder* decoder);

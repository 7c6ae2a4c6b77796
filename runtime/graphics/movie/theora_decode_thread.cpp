// The decode thread: restarts at the nearest key frame's page on a seek, and otherwise keeps
// the stock filled with the frames from the display index on, wrapping to the movie's start.
#include <cstring>

#include "runtime/graphics/movie/theora_decoder_internal.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

// The next frame packet of the video stream (header packets are passed over), reading pages
// as needed; false at the end of the file.
bool NextFramePacket(TheoraDecoder* d) {
  for (;;) {
    const int r = ogg_stream_packetout(&d->Stream, &d->Packet);
    if (r == 1 && !th_packet_isheader(&d->Packet)) return true;
    if (r != 0) continue;
    if (!ReadTheoraPage(d)) return false;
    ogg_stream_pagein(&d->Stream, &d->Page);
  }
}

// Moves the decoder `count` frames on. Within the batch only the frames from one before its
// last key frame on are decoded: a key frame makes the earlier ones unneeded. 1 when the last
// packet was a key frame, 0 when not, -1 when the data ended first.
int DecodeTheoraFrames(TheoraDecoder* d, int count) {
  int lastKey = -1;
  for (int i = 1; i <= count; ++i) {
    const int64_t frame = static_cast<int64_t>(d->DecodedIndex) + i;
    if (frame < d->FrameCount && d->KeyFlags[frame]) lastKey = static_cast<int>(frame);
  }
  int key = 0;
  for (int i = 0; i < count; ++i) {
    if (!NextFramePacket(d)) return -1;
    const int frame = d->DecodedIndex + 1;
    if (lastKey < 0 || frame >= lastKey - 1) th_decode_packetin(d->Decoder, &d->Packet, nullptr);
    key = th_packet_iskeyframe(&d->Packet) == 1;
    d->DecodedIndex = frame;
  }
  return key;
}

void SeekToTarget(TheoraDecoder* d) {
  const int target = d->SeekTarget;
  int found = 0;
  while (found < d->PageCount - 1 && d->Pages[found].FirstFrame + d->Pages[found].Frames <= target)
    ++found;
  // Back to the page of the nearest key frame before it, and one page more, so that a key frame
  // packet that began on the page before its own is read whole.
  int entry = found - 1;
  while (entry > 0 && !d->Pages[entry].KeyFrame) --entry;
  entry = entry > 0 ? entry - 1 : 0;

  RestartTheoraReading(d, d->Pages[entry].Offset);
  int first = d->Pages[entry].FirstFrame;
  if (entry != 0 && ReadTheoraPage(d)) {
    // The packet the page continues cannot be put together and is lost.
    if (ogg_page_continued(&d->Page)) ++first;
    ogg_stream_pagein(&d->Stream, &d->Page);
  }
  d->DecodedIndex = first - 1;
  for (int frame = first; frame <= target; ++frame)
    if (DecodeTheoraFrames(d, 1) < 0) break;

  for (int i = 0; i < d->StockCount; ++i) d->Stock[i].Valid = 0;
  d->DecodedIndex = target;
  d->EndFlag = 0;
  d->SeekRequest = 0;
}

// Frames behind the display index go, unless the window of stockCount frames from the display
// index wraps past the end and they lie in its wrapped part; frames beyond the window go too.
void DropStaleFrames(TheoraDecoder* d) {
  const int64_t display = d->DisplayIndex;
  const int64_t end = display + d->StockCount;
  for (int i = 0; i < d->StockCount; ++i) {
    TheoraStockFrame& e = d->Stock[i];
    if (!e.Valid) continue;
    const int64_t frame = e.FrameIndex;
    const bool behind = frame < display && !(end >= d->FrameCount && frame <= end - d->FrameCount);
    const bool beyond = frame > d->DecodedIndex && frame > end;
    if (behind || beyond) e.Valid = 0;
  }
}

bool FitPlane(uint8_t** buffer, int* oldBytes, int bytes) {
  if (*buffer && *oldBytes == bytes) return true;
  FreeTracked(*buffer);
  *buffer = static_cast<uint8_t*>(AllocTracked(bytes > 0 ? bytes : 1, __FILE__, __LINE__));
  *oldBytes = bytes;
  return *buffer != nullptr;
}

void CopyPlane(uint8_t* dst, int width, int height, const th_img_plane& src, int x, int y) {
  for (int row = 0; row < height; ++row)
    std::memcpy(dst + static_cast<size_t>(row) * width,
                src.data + static_cast<ptrdiff_t>(y + row) * src.stride + x, width);
}

// The decoder's picture into a free entry, published once written. False when its buffers
// cannot be made.
bool StoreFrame(TheoraDecoder* d, TheoraStockFrame* e) {
  th_ycbcr_buffer planes;
  if (th_decode_ycbcr_out(d->Decoder, planes) != 0) return false;
  const TheoraPlaneSizes s = GetTheoraPlaneSizes(&d->Info);
  int yBytes = e->YStride * e->YHeight;
  int chromaBytes = e->ChromaStride * e->ChromaHeight;
  int chromaBytesV = chromaBytes;
  if (!FitPlane(&e->Y, &yBytes, s.YWidth * s.YHeight) ||
      !FitPlane(&e->U, &chromaBytes, s.ChromaWidth * s.ChromaHeight) ||
      !FitPlane(&e->V, &chromaBytesV, s.ChromaWidth * s.ChromaHeight)) {
    e->YHeight = e->ChromaHeight = 0;  // so every buffer is made again next time
    return false;
  }
  e->YWidth = e->YStride = s.YWidth;
  e->YHeight = s.YHeight;
  e->ChromaWidth = e->ChromaStride = s.ChromaWidth;
  e->ChromaHeight = s.ChromaHeight;
  CopyPlane(e->Y, s.YWidth, s.YHeight, planes[0], static_cast<int>(d->Info.pic_x),
            static_cast<int>(d->Info.pic_y));
  CopyPlane(e->U, s.ChromaWidth, s.ChromaHeight, planes[1], s.ChromaX, s.ChromaY);
  CopyPlane(e->V, s.ChromaWidth, s.ChromaHeight, planes[2], s.ChromaX, s.ChromaY);
  e->FrameIndex = d->DecodedIndex;
  e->Valid = 1;
  return true;
}

void FillStock(TheoraDecoder* d) {
  TheoraStockFrame* free = nullptr;
  for (int i = 0; i < d->StockCount && !free; ++i)
    if (!d->Stock[i].Valid) free = &d->Stock[i];
  if (!free) {
    // A full stock waits for the display index to move, which takes a seek; sleeping rather
    // than yielding keeps an idle movie from holding a processor busy for as long as it is open.
    d->ThreadState = TheoraThreadIdle;
    Sleep(1);
    return;
  }
  d->ThreadState = TheoraThreadDecoding;
  const int display = d->DisplayIndex;
  const bool decodedStocked = FindStockFrame(d, d->DecodedIndex) != nullptr;
  // Otherwise the decoder already holds the frame to keep.
  if (decodedStocked || display > d->DecodedIndex) {
    int step = 1;
    if (!FindStockFrame(d, display) && display > d->DecodedIndex) step = display - d->DecodedIndex;
    int result;
    if (d->DecodedIndex + static_cast<int64_t>(step) < d->FrameCount) {
      result = DecodeTheoraFrames(d, step);
    } else {
      // Past the end: from the start again, up to the frame the step reaches there.
      const int wrapped =
          static_cast<int>(d->DecodedIndex + static_cast<int64_t>(step) - d->FrameCount);
      RestartTheoraReading(d, d->Pages[0].Offset);
      d->DecodedIndex = -1;
      result = DecodeTheoraFrames(d, wrapped + 1);
    }
    if (result < 0) {
      d->EndFlag = 1;
      Sleep(1);
      return;
    }
  }
  if (!StoreFrame(d, free)) {
    // Nothing more can be stored: a conversion waiting for the frame gives up.
    d->EndFlag = 1;
    Sleep(1);
    return;
  }
  Sleep(0);
}

}  // namespace

TheoraStockFrame* FindStockFrame(TheoraDecoder* d, int frame) {
  for (int i = 0; i < d->StockCount; ++i) {
    // Valid is read again after the index: an entry refilled in between shows either its new
    // publication or none, never a half-written frame.
    const TheoraStockFrame& e = d->Stock[i];
    if (e.Valid && e.FrameIndex == frame && e.Valid) return &d->Stock[i];
  }
  return nullptr;
}

DWORD WINAPI TheoraDecodeThread(LPVOID parameter) {
  TheoraDecoder* d = static_cast<TheoraDecoder*>(parameter);
  while (!d->QuitRequest) {
    if (d->HoldRequest) {
      d->ThreadState = TheoraThreadHeld;
      Sleep(1);
      continue;
    }
    if (d->SeekRequest) {
      d->ThreadState = TheoraThreadSeeking;
      SeekToTarget(d);
      continue;
    }
    if (!d->EndFlag) DropStaleFrames(d);
    FillStock(d);
  }
  d->ThreadState = TheoraThreadEnded;
  return 0;
}

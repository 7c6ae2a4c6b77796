// What the parts of the Theora decoder share among themselves: reading the file into the Ogg
// state, the decode thread, the picture's plane sizes and the surface copy.
#pragma once

#include "runtime/graphics/movie/theora_decoder.h"

// Reads the next piece of the file into the sync state; the bytes read, 0 at the end.
int ReadTheoraData(TheoraDecoder* decoder);
// The next page out of the sync state, reading as needed; false at the end of the file.
bool ReadTheoraPage(TheoraDecoder* decoder);
// Empties the sync and stream states and moves the file to `offset`.
void RestartTheoraReading(TheoraDecoder* decoder, int offset);

DWORD WINAPI TheoraDecodeThread(LPVOID parameter);
// The valid stock entry holding `frame`, or null. The main thread may ask for the display
// frame: the thread never drops that one while it is the display frame.
TheoraStockFrame* FindStockFrame(TheoraDecoder* decoder, int frame);

// The picture's planes as the stock keeps them: the luma plane is the picture, each chroma
// plane covers the samples that the picture touches.
struct TheoraPlaneSizes {
  int YWidth;
  int YHeight;
  int ChromaWidth;
  int ChromaHeight;
  int ChromaX;  // first chroma sample of the picture in the decoder's planes
  int ChromaY;
};
TheoraPlaneSizes GetTheoraPlaneSizes(const th_info* info);
// Chroma planes exactly half the luma planes in both directions: the layout the fixed-point
// path and the YUV surface take.
inline bool IsHalfChroma(int yWidth, int yHeight, int chromaWidth, int chromaHeight) {
  return chromaWidth * 2 == yWidth && chromaHeight * 2 == yHeight;
}

// Copies a 4:2:0 stock frame into the YUV surface (locking it up to three times, making it
// again after a failed lock). 1 when copied, 0 when the frame or the surface cannot take it.
int CopyTheoraFrameToSurface(TheoraDecoder* decoder, const TheoraStockFrame* frame);

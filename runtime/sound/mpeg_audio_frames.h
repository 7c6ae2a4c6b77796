// MPEG audio frames: the 4-byte frame header, and the scan of a file image that finds where
// its frames lie between an ID3v2 tag at the front and an ID3v1 tag at the back.
#pragma once

#include <cstdint>

struct MpegAudioHeader {
  int Mpeg1;         // 1 MPEG-1, 0 MPEG-2 (the lower sampling frequencies)
  int Layer;         // 0 Layer I, 1 Layer II, 2 Layer III
  int BitRate;       // kbit/s
  int SampleRate;    // Hz
  int Padding;       // 0 or 1
  int Channels;      // 1 or 2
  int FrameBytes;    // the whole frame, header included
  int FrameSamples;  // sample frames it decodes to
};

// 0 when b[0..3] is a frame header of a fixed bit rate, else -1.
int ParseMpegAudioHeader(const uint8_t* b, MpegAudioHeader* header);

struct MpegFrameScan {
  MpegAudioHeader First;  // the first frame's header
  int AudioStart;         // after the ID3v2 tag
  int AudioEnd;           // before the ID3v1 tag
  int DataStart;          // the first frame
  int DataEnd;            // the end of the last frame, clipped to AudioEnd
  int FrameCount;
  int64_t TotalSamples;  // sample frames of all frames
};

// Scans `size` bytes of a file image. 0 when frames were found, -1 when the image is refused:
// no frame, or a sync pattern that is not a valid header.
int ScanMpegAudioFrames(const uint8_t* image, int size, MpegFrameScan* scan);

// libFuzzer: any bytes as an MPEG audio image through the frame scan.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "runtime/sound/mpeg_audio_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24)) return 0;
  MpegFrameScan scan;
  if (ScanMpegAudioFrames(data, static_cast<int>(size), &scan) == 0) {
    // What the scan reports must lie inside the image.
    if (scan.DataStart < scan.AudioStart || scan.DataEnd > scan.AudioEnd ||
        scan.AudioEnd > static_cast<int>(size) || scan.DataStart >= scan.DataEnd)
      std::abort();
  }
  return 0;
}

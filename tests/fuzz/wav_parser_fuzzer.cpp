// libFuzzer: any bytes as a sound file through the decoder chain, read to the end, moved and
// decoded whole.
#include <cstddef>
#include <cstdint>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/data_stream.h"
#include "runtime/sound/sound_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (SetLogOutput(0), true);
  (void)quiet;
  if (size > (1u << 24)) return 0;
  MemoryStream* memory = OpenMemoryStream(data, static_cast<int>(size));
  if (!memory) return 0;
  DataStream stream = {*GetMemoryStreamFunctions(), reinterpret_cast<FileHandle>(memory)};
  SoundConverter conv;
  if (SetupSoundConverter(&stream, &conv) == 0) {
    uint8_t buffer[997];
    while (ReadSoundConverter(&conv, buffer, sizeof buffer) > 0) {}
    SeekSoundConverter(&conv, static_cast<int>(size % 4096));
    ReadSoundConverter(&conv, buffer, sizeof buffer);
    WaveFormat format;
    void* pcm = nullptr;
    int pcmSize = 0;
    if (DecodeWholeSound(&conv, &format, &pcm, &pcmSize) == 0) FreeTracked(pcm);
    TerminateSoundConverter(&conv);
  }
  CloseMemoryStream(reinterpret_cast<FileHandle>(memory));
  return 0;
}

// libFuzzer: any bytes as a sound file through the decoder chain with the port's compression
// manager present, so that compressed WAVs and MP3 reach libavcodec: read to the end, moved,
// decoded whole.
#include <cstddef>
#include <cstdint>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/data_stream.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/sound_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (SetLogOutput(0), LoadAcmFunctions(), true);
  (void)ready;
  if (size > (1u << 22)) return 0;
  MemoryStream* memory = OpenMemoryStream(data, static_cast<int>(size));
  if (!memory) return 0;
  DataStream stream = {*GetMemoryStreamFunctions(), reinterpret_cast<FileHandle>(memory)};
  // Only the decoders of the compression manager: the others have fuzzers of their own.
  SetSoundDecoderMask(SoundDecoderPcmWav | SoundDecoderVorbis | SoundDecoderFilterGraphMp3);
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

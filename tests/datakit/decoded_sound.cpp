#include "tests/datakit/decoded_sound.h"

#include <cstring>

#include "runtime/sound/sound_converter.h"
#include "tests/support/memory_data_stream.h"

bool DecodeSound(const std::vector<uint8_t>& bytes, DecodedSound* out) {
  MemoryDataStream stream(bytes);
  SoundConverter conv;
  if (SetupSoundConverter(stream.stream(), &conv) != 0) return false;
  WaveFormat format{};
  GetSoundConverterFormat(&conv, &format);
  out->channels = format.nChannels;
  out->rate = format.nSamplesPerSec;
  out->bits = format.wBitsPerSample;
  out->size = GetSoundConverterSize(&conv);
  out->read = 0;
  out->samples.clear();
  std::vector<uint8_t> buffer(65536);
  int n;
  while ((n = ReadSoundConverter(&conv, buffer.data(), static_cast<int>(buffer.size()))) > 0) {
    out->read += n;
    const size_t at = out->samples.size();
    out->samples.resize(at + static_cast<size_t>(n) / 2);
    std::memcpy(out->samples.data() + at, buffer.data(), static_cast<size_t>(n) / 2 * 2);
  }
  TerminateSoundConverter(&conv);
  return true;
}

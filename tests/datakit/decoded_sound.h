// A kit sound decoded whole through the runtime's sound converter, as the game loads it.
#pragma once

#include <cstdint>
#include <vector>

struct DecodedSound {
  unsigned channels = 0;
  unsigned rate = 0;
  unsigned bits = 0;
  int size = 0;                  // the bytes the converter announced
  int read = 0;                  // the bytes it gave
  std::vector<int16_t> samples;  // interleaved
};

// False when the converter refuses the file.
bool DecodeSound(const std::vector<uint8_t>& bytes, DecodedSound* out);

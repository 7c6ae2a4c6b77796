// libFuzzer target: archive images opened from memory, walked and read.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/archive_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  archive_fuzz::ExerciseArchiveImage(data, size);
  return 0;
}

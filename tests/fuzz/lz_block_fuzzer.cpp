// libFuzzer target: LZ blocks decoded against exact-size outputs.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/archive_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  archive_fuzz::ExerciseLzBlock(data, size);
  return 0;
}

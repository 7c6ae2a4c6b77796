// libFuzzer target: FMF tile maps parsed from memory and read cell by cell.
#include <cstddef>
#include <cstdint>

#include "runtime/platform/core/log.h"
#include "tests/fuzz/fmf_map_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every refusal writes a log line; the log file is not what is being fuzzed.
  static const bool quiet = (SetLogOutput(0), true);
  (void)quiet;
  fmf_fuzz::ExerciseMapBytes(data, size);
  return 0;
}

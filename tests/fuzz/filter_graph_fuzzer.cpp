// libFuzzer: any bytes as a movie or sound file through the port's filter graph, rendered into
// null renderers and decoded to the end.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/filter_graph_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 22)) return 0;
  filter_graph_fuzz::DecodeThroughFilterGraph(data, size);
  return 0;
}

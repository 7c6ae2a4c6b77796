// libFuzzer target: the whole loader chain on arbitrary bytes, as graph creation uses it.
#include "tests/fuzz/image_loader_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzImageLoader(nullptr, data, size);
}

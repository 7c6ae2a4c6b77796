// libFuzzer target: the TGA loader on arbitrary bytes.
#include "tests/fuzz/image_loader_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzImageLoader(LoadTgaImage, data, size);
}

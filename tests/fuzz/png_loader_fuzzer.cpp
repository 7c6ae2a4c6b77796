// libFuzzer target: the PNG loader on arbitrary bytes. The chunk checksums of each input are
// mended first, so that changed chunks reach the decoder instead of failing their check.
#include "tests/fuzz/image_loader_fuzz_target.h"
#include "tools/lib/image_file_fixtures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteString b(data, data + size);
  RepairPngChunkCrcs(&b);
  return FuzzImageLoader(LoadPngImage, b.data(), b.size());
}

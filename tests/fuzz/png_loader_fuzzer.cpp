// libFuzzer target: the PNG loader on arbitrary bytes. The chunk checksums of each input are
// mended first, so that changed chunks reach the decoder instead of failing their check.
#include <zlib.h>

#include <vector>

#include "tests/fuzz/image_loader_fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> b(data, data + size);
  for (size_t at = 8; at + 12 <= b.size();) {
    const uint32_t length = static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
                            static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
    if (length > b.size() - at - 12) break;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &b[at + 4], length + 4));
    for (int i = 0; i < 4; ++i) b[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
  return FuzzImageLoader(LoadPngImage, b.data(), b.size());
}

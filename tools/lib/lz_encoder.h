// LZ block encoder for fixtures and the archive packer. The runtime only decodes; this is the
// other half of runtime/platform/files/lz_block.h, in the same format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct LzEncodeOptions {
  int escape = -1;         // 0..255 forces the escape byte; -1 takes the rarest byte
  int maxChain = 64;       // match candidates tried per position
  bool useMatches = true;  // false writes literals only
};

// Encodes size bytes as one LZ block (header included). Throws std::length_error for inputs
// of 2 GiB or more.
std::vector<uint8_t> EncodeLzBlock(const uint8_t* data, size_t size,
                                   const LzEncodeOptions& options = {});
inline std::vector<uint8_t> EncodeLzBlock(const std::vector<uint8_t>& data,
                                          const LzEncodeOptions& options = {}) {
  return EncodeLzBlock(data.data(), data.size(), options);
}

#include "runtime/platform/files/lz_block.h"

#include <climits>
#include <cstring>

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Copies length bytes from distance bytes back. When the ranges overlap the source is a
// repeating pattern of period distance, which is also a pattern of period 2 x distance, so
// the copy grows in doubling blocks instead of going byte by byte.
void CopyMatch(uint8_t* dst, size_t distance, size_t length) {
  while (length > 0) {
    size_t n = length < distance ? length : distance;
    std::memcpy(dst, dst - distance, n);
    dst += n;
    length -= n;
    distance += distance;
  }
}

}  // namespace

int DecodeLzBlock(const void* block, size_t blockCapacity, void* output, size_t outputCapacity) {
  if (block == nullptr || blockCapacity < static_cast<size_t>(kLzBlockHeaderSize)) return -1;
  const uint8_t* in = static_cast<const uint8_t*>(block);
  uint32_t decodedSize = ReadLe32(in);
  uint32_t encodedSize = ReadLe32(in + 4);
  uint8_t escape = in[8];
  if (decodedSize > static_cast<uint32_t>(INT_MAX)) return -1;
  if (output == nullptr) return static_cast<int>(decodedSize);

  if (encodedSize < static_cast<uint32_t>(kLzBlockHeaderSize) || encodedSize > blockCapacity)
    return -1;
  if (decodedSize > outputCapacity) return -1;

  uint8_t* out = static_cast<uint8_t*>(output);
  const uint8_t* src = in + kLzBlockHeaderSize;
  const uint8_t* srcEnd = in + encodedSize;
  size_t produced = 0;
  const size_t limit = decodedSize;

  while (src < srcEnd) {
    uint8_t b = *src++;
    if (b != escape) {
      if (produced == limit) return -1;
      out[produced++] = b;
      continue;
    }
    if (src == srcEnd) return -1;  // a lone escape cannot end a block
    uint8_t c = *src++;
    if (c == escape) {
      if (produced == limit) return -1;
      out[produced++] = escape;
      continue;
    }
    uint32_t code = c > escape ? c - 1u : c;
    size_t length = code >> 3;
    if (code & 4) {
      if (src == srcEnd) return -1;
      length += static_cast<size_t>(*src++) * 32;
    }
    length += kLzMinMatch;
    uint32_t fieldBytes = (code & 3) + 1;
    if (fieldBytes == 4) return -1;  // size code 3 has no meaning
    if (static_cast<size_t>(srcEnd - src) < fieldBytes) return -1;
    uint32_t field = src[0];
    if (fieldBytes >= 2) field |= static_cast<uint32_t>(src[1]) << 8;
    if (fieldBytes == 3) field |= static_cast<uint32_t>(src[2]) << 16;
    src += fieldBytes;
    size_t distance = static_cast<size_t>(field) + 1;
    if (distance > produced || length > limit - produced) return -1;
    CopyMatch(out + produced, distance, length);
    produced += length;
  }
  if (produced != limit) return -1;
  return static_cast<int>(decodedSize);
}

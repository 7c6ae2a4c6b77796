// The LZ block: the one compressed form the runtime reads (compressed archive entries and
// the blocks kept inside the program).
//
// Layout, little-endian: decoded size (u32), encoded size (u32, the whole block with these
// 9 header bytes), escape byte, then tokens:
//   b                 a literal byte (any byte but the escape)
//   esc esc           one literal escape byte
//   esc c [e] d...    a match: c' = c - 1 when c > esc, else c; length = (c' >> 3) + 4,
//                     plus e * 32 when bit 2 of c' is set; c' & 3 gives the distance field
//                     size (1, 2 or 3 bytes, low 16 bits first), distance = field + 1.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int kLzBlockHeaderSize = 9;
inline constexpr int kLzMinMatch = 4;
inline constexpr int kLzMaxMatch = 4 + 31 + 255 * 32;  // 8,195
inline constexpr uint32_t kLzMaxDistance = 1u << 24;

// With a null output: returns the block's decoded size from its header (the payload is not
// read). With an output: decodes the whole payload and returns the decoded size.
// Returns -1 instead of touching memory outside either buffer: a block shorter than its
// header or than its encoded size, an encoded size below 9, a decoded size above the output's
// capacity or above INT_MAX, a token cut off by the end of the block, a match reaching before
// the output's start or past the decoded size, a distance field of size code 3, or a payload
// that ends before the decoded size is reached. The output may hold garbage after a failure.
int DecodeLzBlock(const void* block, size_t blockCapacity, void* output, size_t outputCapacity);

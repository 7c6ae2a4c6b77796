#include "tools/lib/lz_encoder.h"

#include <cstring>
#include <stdexcept>

#include "runtime/platform/files/lz_block.h"

namespace {

constexpr int kHashBits = 16;

uint32_t HashAt(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return (v * 2654435761u) >> (32 - kHashBits);
}

void PutLe32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

int DistanceFieldBytes(size_t distance) {
  size_t field = distance - 1;
  return field < 0x100 ? 1 : field < 0x10000 ? 2 : 3;
}

int MatchTokenBytes(size_t length, size_t distance) {
  return 2 + (length - kLzMinMatch >= 32 ? 1 : 0) + DistanceFieldBytes(distance);
}

void EmitMatch(std::vector<uint8_t>& out, uint8_t escape, size_t length, size_t distance) {
  uint32_t extra = static_cast<uint32_t>(length - kLzMinMatch);
  uint32_t ext = extra >> 5;
  int fieldBytes = DistanceFieldBytes(distance);
  uint32_t code = (extra & 31) << 3 | (ext ? 4u : 0u) | static_cast<uint32_t>(fieldBytes - 1);
  // No code may equal the escape: codes from the escape up are stored one higher.
  uint32_t c = code >= escape ? code + 1 : code;
  out.push_back(escape);
  out.push_back(static_cast<uint8_t>(c));
  if (ext) out.push_back(static_cast<uint8_t>(ext));
  uint32_t field = static_cast<uint32_t>(distance - 1);
  out.push_back(static_cast<uint8_t>(field));
  if (fieldBytes >= 2) out.push_back(static_cast<uint8_t>(field >> 8));
  if (fieldBytes == 3) out.push_back(static_cast<uint8_t>(field >> 16));
}

}  // namespace

std::vector<uint8_t> EncodeLzBlock(const uint8_t* data, size_t size,
                                   const LzEncodeOptions& options) {
  if (size >= 0x80000000u) throw std::length_error("EncodeLzBlock: input too large");

  uint8_t escape;
  if (options.escape >= 0) {
    escape = static_cast<uint8_t>(options.escape);
  } else {
    size_t counts[256] = {};
    for (size_t i = 0; i < size; ++i) ++counts[data[i]];
    int best = 0;
    for (int b = 1; b < 256; ++b)
      if (counts[b] < counts[best]) best = b;
    escape = static_cast<uint8_t>(best);
  }

  std::vector<uint8_t> out(kLzBlockHeaderSize);
  out.reserve(size + size / 8 + kLzBlockHeaderSize);

  std::vector<int32_t> head(size_t{1} << kHashBits, -1);
  std::vector<int32_t> prev(options.useMatches ? size : 0, -1);

  auto insert = [&](size_t pos) {
    if (pos + 4 > size) return;
    uint32_t h = HashAt(data + pos);
    prev[pos] = head[h];
    head[h] = static_cast<int32_t>(pos);
  };

  size_t pos = 0;
  while (pos < size) {
    size_t bestLength = 0, bestDistance = 0;
    if (options.useMatches && pos + kLzMinMatch <= size) {
      size_t maxLength = size - pos < static_cast<size_t>(kLzMaxMatch) ? size - pos : kLzMaxMatch;
      int32_t candidate = head[HashAt(data + pos)];
      for (int tries = 0; candidate >= 0 && tries < options.maxChain; ++tries) {
        size_t distance = pos - static_cast<size_t>(candidate);
        if (distance > kLzMaxDistance) break;
        size_t length = 0;
        while (length < maxLength && data[candidate + length] == data[pos + length]) ++length;
        if (length >= static_cast<size_t>(kLzMinMatch) && length > bestLength &&
            MatchTokenBytes(length, distance) < static_cast<int>(length)) {
          bestLength = length;
          bestDistance = distance;
          if (length == maxLength) break;
        }
        candidate = prev[candidate];
      }
    }
    if (bestLength > 0) {
      EmitMatch(out, escape, bestLength, bestDistance);
      for (size_t i = 0; i < bestLength; ++i) insert(pos + i);
      pos += bestLength;
    } else {
      out.push_back(data[pos]);
      if (data[pos] == escape) out.push_back(escape);
      if (options.useMatches) insert(pos);
      ++pos;
    }
  }

  PutLe32(out, 0, static_cast<uint32_t>(size));
  PutLe32(out, 4, static_cast<uint32_t>(out.size()));
  out[8] = escape;
  return out;
}

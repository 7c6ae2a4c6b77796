// A DataStream over bytes in memory, for tests of the loaders and decoders that read streams.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/platform/files/data_stream.h"

// A DataStream over a memory copy of the bytes, closed with the object.
class MemoryDataStream {
 public:
  explicit MemoryDataStream(const std::vector<uint8_t>& bytes);
  ~MemoryDataStream();
  MemoryDataStream(const MemoryDataStream&) = delete;
  MemoryDataStream& operator=(const MemoryDataStream&) = delete;
  const DataStream* stream() const { return &stream_; }
  DataStream* stream() { return &stream_; }

 private:
  std::vector<uint8_t> bytes_;
  DataStream stream_;
};

#include "tests/support/memory_data_stream.h"

MemoryDataStream::MemoryDataStream(const std::vector<uint8_t>& bytes) : bytes_(bytes) {
  stream_.Functions = *GetMemoryStreamFunctions();
  stream_.Handle = reinterpret_cast<FileHandle>(
      OpenMemoryStream(bytes_.data(), static_cast<int>(bytes_.size())));
}

MemoryDataStream::~MemoryDataStream() { CloseMemoryStream(stream_.Handle); }

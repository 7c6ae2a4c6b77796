#include "runtime/sound/wave_chunks.h"

#include <climits>
#include <cstring>

namespace {

struct ChunkHeader {
  char id[4];
  uint32_t size;
};

bool ReadExactly(const DataStream* s, void* buffer, int bytes) {
  return static_cast<int>(s->Functions.Read(buffer, 1, static_cast<size_t>(bytes), s->Handle)) ==
         bytes;
}

uint32_t LittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool ReadChunkHeader(const DataStream* s, ChunkHeader* h) {
  uint8_t raw[8];
  if (!ReadExactly(s, raw, 8)) return false;
  std::memcpy(h->id, raw, 4);
  h->size = LittleEndian32(raw + 4);
  return true;
}

bool IsId(const char* id, const char* want) { return std::memcmp(id, want, 4) == 0; }

// Moves the stream to an absolute offset that must fit the stream's int positions.
bool SeekTo(const DataStream* s, long long offset) {
  if (offset < 0 || offset > INT_MAX) return false;
  return s->Functions.Seek(s->Handle, static_cast<int>(offset), 0) == 0;
}

}  // namespace

int MeasureDataStream(const DataStream* s) {
  const int here = s->Functions.Tell(s->Handle);
  if (here < 0 || s->Functions.Seek(s->Handle, 0, 2) != 0) return -1;
  const int length = s->Functions.Tell(s->Handle);
  if (s->Functions.Seek(s->Handle, here, 0) != 0) return -1;
  return length;
}

int ReadWaveChunks(const DataStream* s, WaveChunkLayout* layout) {
  std::memset(layout, 0, sizeof(*layout));
  const int length = MeasureDataStream(s);
  if (length < 0) return -1;

  uint8_t riff[12];
  if (!ReadExactly(s, riff, 12)) return -1;
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return -1;

  ChunkHeader chunk;
  if (!ReadChunkHeader(s, &chunk)) return -1;
  if (IsId(chunk.id, "bext")) {
    // A broadcast extension comes before the format; it is skipped by its exact size.
    if (!SeekTo(s, static_cast<long long>(s->Functions.Tell(s->Handle)) + chunk.size)) return -1;
    if (!ReadChunkHeader(s, &chunk)) return -1;
  }
  if (!IsId(chunk.id, "fmt ")) return -1;

  const int fmtPosition = s->Functions.Tell(s->Handle);
  if (fmtPosition < 0 || chunk.size > static_cast<uint32_t>(INT_MAX)) return -1;
  layout->FmtPosition = fmtPosition;
  layout->FmtSize = static_cast<int>(chunk.size);
  const int formatBytes = chunk.size < sizeof(WaveFormat) ? static_cast<int>(chunk.size)
                                                          : static_cast<int>(sizeof(WaveFormat));
  if (!ReadExactly(s, &layout->Format, formatBytes)) return -1;
  WaveFormat& f = layout->Format;
  if (chunk.size == 16 && f.wFormatTag == WAVE_FORMAT_PCM && f.nChannels != 0) {
    // Some writers leave a wrong bits field in the short form; the block align tells.
    f.wBitsPerSample = static_cast<WORD>(f.nBlockAlign / f.nChannels * 8);
  }
  if (!SeekTo(s, static_cast<long long>(fmtPosition) + chunk.size)) return -1;

  for (;;) {
    if (!ReadChunkHeader(s, &chunk)) return -1;
    if (IsId(chunk.id, "data")) break;
    // Chunks are padded to an even size.
    const long long next =
        static_cast<long long>(s->Functions.Tell(s->Handle)) + chunk.size + (chunk.size & 1);
    if (next > length || !SeekTo(s, next)) return -1;
  }

  const int dataPosition = s->Functions.Tell(s->Handle);
  if (dataPosition < 0) return -1;
  layout->DataPosition = dataPosition;
  // A data chunk that claims more than the file holds ends at the end of the file.
  const long long available = static_cast<long long>(length) - dataPosition;
  layout->DataSize = static_cast<int>(chunk.size < available ? chunk.size : available);
  return 0;
}

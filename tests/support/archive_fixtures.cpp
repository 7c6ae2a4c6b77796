#include "tests/support/archive_fixtures.h"

#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

#include <iconv.h>

namespace fs = std::filesystem;

void WriteFileBytes(const fs::path& path, const ArchiveBytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

ArchiveBytes ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return ArchiveBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ShiftJisToUtf8(const std::string& sjis) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string out(sjis.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(sjis.data());
  size_t inLeft = sjis.size(), outLeft = out.size();
  char* dst = out.data();
  size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) throw std::runtime_error("not Shift-JIS: " + sjis);
  out.resize(out.size() - outLeft);
  return out;
}

ArchiveBytes MakeArchiveTestData(size_t size, int kind, uint32_t seed) {
  std::mt19937 rng(seed);
  ArchiveBytes v(size);
  static const char kWords[] = "the ship flies through the scrolling stage; ";
  for (size_t i = 0; i < size; ++i) {
    switch (kind) {
      case 0:
        v[i] = static_cast<uint8_t>(rng());
        break;
      case 1:
        v[i] = rng() % 16 == 0 ? static_cast<uint8_t>(rng())
                               : static_cast<uint8_t>(kWords[i % (sizeof kWords - 1)]);
        break;
      default:
        v[i] = static_cast<uint8_t>(i / 333 % 2 ? 0xAB : i / 333);
        break;
    }
  }
  return v;
}

void ArchiveKeyFor(const ArchiveWriterOptions& options, uint8_t key[kArchiveKeySize]) {
  if (options.secondKey)
    std::memcpy(key, kArchiveSecondKey, kArchiveKeySize);
  else
    BuildArchiveKey(options.keyString, key);
}

void PatchArchivePlain(ArchiveBytes& image, const ArchiveWriterOptions& options,
                       const std::function<void(ArchiveBytes& plain)>& edit) {
  uint8_t key[kArchiveKeySize];
  ArchiveKeyFor(options, key);
  ScrambleArchiveBytes(image.size(), image.data(), 0, key);
  edit(image);
  ScrambleArchiveBytes(image.size(), image.data(), 0, key);
}

uint32_t GetLe32(const ArchiveBytes& plain, size_t at) {
  return plain.at(at) | plain.at(at + 1) << 8 | plain.at(at + 2) << 16 |
         static_cast<uint32_t>(plain.at(at + 3)) << 24;
}

void PutLe32(ArchiveBytes& plain, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) plain.at(at + i) = static_cast<uint8_t>(value >> (8 * i));
}

ArchiveHeader PlainArchiveHeader(const ArchiveBytes& plain) {
  ArchiveHeader h{};
  std::memcpy(&h, plain.data(), plain.size() < sizeof h ? plain.size() : sizeof h);
  if (h.Version < 4) h.CodePage = 0;
  return h;
}

size_t PlainEntryOffset(const ArchiveBytes& plain, int index) {
  ArchiveHeader h = PlainArchiveHeader(plain);
  size_t size = h.Version >= 2 ? kArchiveEntrySizeV2 : kArchiveEntrySizeV1;
  return h.TableBlockOffset + h.FileTableOffset + size * static_cast<size_t>(index);
}

size_t PlainDirectoryOffset(const ArchiveBytes& plain, int index) {
  ArchiveHeader h = PlainArchiveHeader(plain);
  return h.TableBlockOffset + h.DirectoryTableOffset +
         kArchiveDirectoryRecordSize * static_cast<size_t>(index);
}

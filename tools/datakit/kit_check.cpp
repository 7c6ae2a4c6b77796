#include "tools/datakit/kit_check.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestName = "kit-manifest";
constexpr const char* kArchiveName = "data.ARC";
constexpr size_t kHashPiece = 1u << 20;  // a multiple of 8, as KitHasher::Add asks

struct ManifestEntry {
  std::string path;
  uint64_t size = 0;
  uint64_t hash = 0;
};

std::string ManifestLine(const std::string& path, const std::vector<uint8_t>& bytes) {
  char line[64];
  std::snprintf(line, sizeof(line), "%zu %016llx ", bytes.size(),
                static_cast<unsigned long long>(KitContentHash(bytes.data(), bytes.size())));
  return line + path + "\n";
}

// The manifest's entries; false when there is none or it is of another generator version.
bool ReadManifest(const fs::path& root, std::vector<ManifestEntry>* entries) {
  std::ifstream in(root / kManifestName);
  std::string line;
  if (!std::getline(in, line) || line != std::string("version ") + kKitVersion) return false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    ManifestEntry e;
    fields >> e.size >> std::hex >> e.hash;
    fields.get();  // the space before the path, which may hold spaces of its own
    std::getline(fields, e.path);
    if (!fields && !fields.eof()) return false;
    if (e.path.empty() || e.path.find("..") != std::string::npos || e.path[0] == '/') return false;
    entries->push_back(e);
  }
  return !entries->empty();
}

// True when the file has exactly the size and hash listed. The size is asked first, so that an
// intact kit reads each file once and a truncated one is not read at all.
bool Matches(const fs::path& file, const ManifestEntry& e) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) != e.size || ec) return false;
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return false;
  // Hashed a piece at a time through one buffer: no allocation the size of a music file.
  thread_local std::vector<uint8_t> buffer(kHashPiece);
  KitHasher hasher(e.size);
  uint64_t left = e.size;
  while (left > 0) {
    const size_t want = left < kHashPiece ? static_cast<size_t>(left) : kHashPiece;
    if (std::fread(buffer.data(), 1, want, in) != want) break;
    hasher.Add(buffer.data(), want);
    left -= want;
  }
  std::fclose(in);
  return left == 0 && hasher.Finish() == e.hash;
}

void MakeMissingPlayerFolders(const fs::path& root, KitCheckResult* result) {
  std::vector<std::string> folders = {"Option", "ScreenShots"};
  for (const char* d : kDifficultyFolders) folders.push_back(std::string("replay/") + d);
  for (const std::string& f : folders) {
    std::error_code ec;
    if (fs::is_directory(root / f, ec)) continue;
    if (fs::create_directories(root / f, ec) && !ec) result->folders.push_back(f);
  }
}

bool WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  // A new file renamed over the old one: a damaged file may be read-only or a folder.
  const fs::path partial = path.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      fs::remove(partial, ec);
      return false;
    }
  }
  if (fs::is_directory(path, ec)) fs::remove_all(path, ec);
  fs::rename(partial, path, ec);
  return !ec;
}

}  // namespace

KitHasher::KitHasher(uint64_t size) : h_(0xCBF29CE484222325ull ^ size) {}

void KitHasher::Add(const uint8_t* bytes, size_t size) {
  // FNV-1a over 64-bit words, then the tail bytes (only the last piece may have any).
  constexpr uint64_t kPrime = 0x100000001B3ull;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    h_ = (h_ ^ word) * kPrime;
  }
  for (; i < size; ++i) h_ = (h_ ^ bytes[i]) * kPrime;
}

uint64_t KitHasher::Finish() const {
  // A final mix spreads the last word over every bit.
  uint64_t h = h_ ^ (h_ >> 29);
  h *= 0xBF58476D1CE4E5B9ull;
  return h ^ (h >> 32);
}

uint64_t KitContentHash(const uint8_t* bytes, size_t size) {
  KitHasher hasher(size);
  hasher.Add(bytes, size);
  return hasher.Finish();
}

bool WriteKitManifest(const std::string& folder, const std::vector<KitFile>& files) {
  std::string text = std::string("version ") + kKitVersion + "\n";
  for (const KitFile& f : files) text += ManifestLine(f.path, f.bytes);
  std::ofstream out(fs::path(folder) / kManifestName, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

KitCheckResult CheckKit(const std::string& folder, int threads) {
  KitCheckResult result;
  const fs::path root(folder);
  std::vector<ManifestEntry> entries;
  std::error_code ec;
  if (ReadKitStamp(folder) != kKitVersion || !ReadManifest(root, &entries)) {
    const bool archive = fs::exists(root / kArchiveName, ec);
    const KitWriteResult written = WriteKit(folder, archive, "", threads);
    result.ok = written.ok;
    result.error = written.error;
    result.rewritten = true;
    return result;
  }
  std::set<std::string> damaged;
  for (const ManifestEntry& e : entries) {
    ++result.checked;
    if (!Matches(root / e.path, e)) damaged.insert(e.path);
  }
  MakeMissingPlayerFolders(root, &result);
  if (damaged.count(kArchiveName)) {
    const KitWriteResult written = WriteKit(folder, true, "", threads);
    result.ok = written.ok;
    result.error = written.error;
    result.repaired.push_back(kArchiveName);
    return result;
  }
  if (damaged.empty()) {
    result.ok = true;
    return result;
  }
  std::string pattern;
  for (const std::string& path : damaged) pattern += (pattern.empty() ? "" : ",") + path;
  for (const KitFile& f : BuildKitFiles(pattern, threads)) {
    if (!damaged.count(f.path)) continue;  // a path that merely contains a damaged one
    const ManifestEntry* listed = nullptr;
    for (const ManifestEntry& e : entries)
      if (e.path == f.path) listed = &e;
    if (KitContentHash(f.bytes.data(), f.bytes.size()) != listed->hash) {
      result.error = "the generator no longer makes the listed " + f.path;
      return result;
    }
    if (!WriteFileBytes(root / f.path, f.bytes)) {
      result.error = "cannot write " + f.path;
      return result;
    }
    result.repaired.push_back(f.path);
  }
  if (result.repaired.size() != damaged.size()) {
    result.error = "the generator makes no longer every listed file";
    return result;
  }
  result.ok = true;
  return result;
}

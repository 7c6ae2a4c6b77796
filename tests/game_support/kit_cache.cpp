#include "tests/game_support/kit_cache.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "tools/datakit/maps/stage_maps.h"

namespace fs = std::filesystem;

namespace {

constexpr char kPackMagic[] = "kelvanor game folder pack 1\n";

uint64_t Fnv1a(const std::string& text) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  return h;
}

// The program's own cache folder, one per build of the program: "<program>.kits/<size>-<time>".
// Folders of earlier builds are removed when a new one is made.
fs::path CacheFolder() {
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const uintmax_t size = fs::file_size(program, ec);
  const auto time = fs::last_write_time(program, ec).time_since_epoch().count();
  if (ec) return {};
  const fs::path root = program.string() + ".kits";
  const std::string name = std::to_string(size) + "-" + std::to_string(time);
  const fs::path folder = root / name;
  if (!fs::exists(folder, ec)) {
    for (const fs::directory_entry& old : fs::directory_iterator(root, ec))
      if (old.path().filename() != name) fs::remove_all(old.path(), ec);
    fs::create_directories(folder, ec);
  }
  return fs::is_directory(folder, ec) ? folder : fs::path();
}

void PutNumber(std::string& out, uint64_t n) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(n >> (8 * i)));
}

bool TakeNumber(const std::string& in, size_t& at, uint64_t* n) {
  if (in.size() - at < 8) return false;
  *n = 0;
  for (int i = 0; i < 8; ++i) *n |= uint64_t{static_cast<unsigned char>(in[at + i])} << (8 * i);
  at += 8;
  return true;
}

void PutFiles(std::string& out, const std::vector<KitFile>& files) {
  PutNumber(out, files.size());
  for (const KitFile& f : files) {
    PutNumber(out, f.path.size());
    out += f.path;
    PutNumber(out, f.bytes.size());
    out.append(f.bytes.begin(), f.bytes.end());
  }
}

bool TakeFiles(const std::string& in, size_t& at, std::vector<KitFile>* files) {
  uint64_t count = 0;
  if (!TakeNumber(in, at, &count)) return false;
  for (uint64_t i = 0; i < count; ++i) {
    uint64_t pathBytes = 0, bytes = 0;
    if (!TakeNumber(in, at, &pathBytes) || in.size() - at < pathBytes) return false;
    KitFile f;
    f.path = in.substr(at, pathBytes);
    at += pathBytes;
    if (!TakeNumber(in, at, &bytes) || in.size() - at < bytes) return false;
    f.bytes.assign(in.begin() + static_cast<std::ptrdiff_t>(at),
                   in.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    at += bytes;
    files->push_back(std::move(f));
  }
  return true;
}

std::string KeyOf(const char* kit) { return kit ? std::string("kit:") + kit : "no kit"; }

std::string Pack(const std::string& key, const GameFolderFiles& files) {
  std::string out = kPackMagic;
  PutNumber(out, key.size());
  out += key;
  out.push_back(files.hasKit ? 1 : 0);
  PutFiles(out, files.kit);
  PutFiles(out, files.maps);
  return out;
}

// The pack's files; false for a pack of another key or one that is not whole (it is then built
// again).
bool Unpack(const std::string& in, const std::string& key, GameFolderFiles* files) {
  const std::string magic = kPackMagic;
  if (in.compare(0, magic.size(), magic) != 0) return false;
  size_t at = magic.size();
  uint64_t keyBytes = 0;
  if (!TakeNumber(in, at, &keyBytes) || in.size() - at < keyBytes + 1) return false;
  if (in.compare(at, keyBytes, key) != 0 || keyBytes != key.size()) return false;
  at += keyBytes;
  files->hasKit = in[at++] != 0;
  return TakeFiles(in, at, &files->kit) && TakeFiles(in, at, &files->maps) && at == in.size();
}

// Holds the pack's lock file while building or reading, so that one process builds. The lock
// is closed on exec: a child test started by another thread meanwhile would otherwise share the
// lock and wait on it forever when it takes the lock itself.
class PackLock {
 public:
  explicit PackLock(const fs::path& path)
      : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~PackLock() {
    if (fd_ >= 0) close(fd_);  // closing lets the lock go
  }
  PackLock(const PackLock&) = delete;
  PackLock& operator=(const PackLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace

std::string GameFolderPackPath(const char* kit) {
  const fs::path folder = CacheFolder();
  if (folder.empty()) return "";
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.pack",
                static_cast<unsigned long long>(Fnv1a(KeyOf(kit))));
  return (folder / name).string();
}

GameFolderFiles CachedGameFolderFiles(const char* kit) {
  const std::string key = KeyOf(kit);
  const fs::path pack = GameFolderPackPath(kit);
  // Faked maps are the test's own, for no other test to read.
  if (pack.empty() || StageMapsOverriddenForTest()) return BuildGameFolderFiles(kit);
  PackLock lock(pack.string() + ".lock");
  if (!lock.held()) return BuildGameFolderFiles(kit);

  GameFolderFiles files;
  {
    std::ifstream in(pack, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.is_open() && Unpack(bytes, key, &files)) return files;
  }
  files = BuildGameFolderFiles(kit);
  // Written beside and renamed into place, so a pack is whole or absent.
  const fs::path partial = pack.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    const std::string bytes = Pack(key, files);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::error_code ec;
  fs::rename(partial, pack, ec);
  return files;
}

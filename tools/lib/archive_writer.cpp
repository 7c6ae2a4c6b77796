#include "tools/lib/archive_writer.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "runtime/platform/files/archive_format.h"
#include "tools/lib/lz_encoder.h"

namespace {

struct Node {
  std::string name;
  bool directory = false;
  const ArchiveWriterEntry* source = nullptr;
  std::vector<int> children;
};

std::vector<std::string> SplitPath(const std::string& path, int charSet) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(path[i]);
    if (IsArchiveLeadByte(charSet, b) && i + 1 < path.size()) {
      parts.back() += path.substr(i, 2);
      ++i;
    } else if (b == '\\' || b == '/') {
      parts.emplace_back();
    } else {
      parts.back() += path[i];
    }
  }
  return parts;
}

// Key form: ASCII letters upper-cased, double-byte characters as they are, NUL padded to the
// next multiple of 4 that leaves at least one NUL; the checksum adds the key bytes.
void AppendNameRecord(std::vector<uint8_t>& table, const std::string& name, int charSet) {
  std::vector<uint8_t> key;
  uint16_t sum = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(name[i]);
    if (IsArchiveLeadByte(charSet, b) && i + 1 < name.size()) {
      key.push_back(b);
      key.push_back(static_cast<uint8_t>(name[i + 1]));
      sum = static_cast<uint16_t>(sum + b + static_cast<uint8_t>(name[i + 1]));
      ++i;
    } else {
      if (b >= 'a' && b <= 'z') b = static_cast<uint8_t>(b - 'a' + 'A');
      key.push_back(b);
      sum = static_cast<uint16_t>(sum + b);
    }
  }
  if (key.size() >= static_cast<size_t>(kArchiveNameKeyMax))
    throw std::invalid_argument("archive name too long: " + name);
  key.resize((key.size() / 4 + 1) * 4, 0);
  uint16_t words = static_cast<uint16_t>(key.size() / 4);
  table.push_back(static_cast<uint8_t>(words));
  table.push_back(static_cast<uint8_t>(words >> 8));
  table.push_back(static_cast<uint8_t>(sum));
  table.push_back(static_cast<uint8_t>(sum >> 8));
  table.insert(table.end(), key.begin(), key.end());
  table.insert(table.end(), name.begin(), name.end());
  table.push_back(0);
}

template <typename T>
void AppendRecord(std::vector<uint8_t>& out, const T& record, size_t size) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&record);
  out.insert(out.end(), p, p + size);
}

FILETIME ToFileTime(uint64_t t) {
  return FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
}

std::string ConvertName(const std::string& utf8, uint32_t codePage) {
  const char* target = codePage == 932   ? "CP932"
                       : codePage == 936 ? "CP936"
                       : codePage == 949 ? "CP949"
                       : codePage == 950 ? "CP950"
                                         : nullptr;
  if (target == nullptr) return utf8;
  iconv_t cd = iconv_open(target, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("no converter for the code page");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0)
    throw std::runtime_error("name not representable in the code page: " + utf8);
  out.resize(out.size() - outLeft);
  return out;
}

uint64_t FileTimeOf(const std::filesystem::path& p) {
  // Platform file times count 100 ns steps from 1601-01-01; Unix time starts 11,644,473,600 s
  // later.
  auto t = std::filesystem::last_write_time(p);
  auto sys = std::chrono::file_clock::to_sys(t);
  auto ticks =
      std::chrono::duration_cast<std::chrono::nanoseconds>(sys.time_since_epoch()).count() / 100;
  return static_cast<uint64_t>(ticks + 116444736000000000LL);
}

void CollectInto(const std::filesystem::path& dir, const std::string& prefix, uint32_t codePage,
                 std::vector<ArchiveWriterEntry>& out) {
  std::vector<std::filesystem::directory_entry> folders, files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    (e.is_directory() ? folders : files).push_back(e);
  auto byName = [](const auto& a, const auto& b) {
    return a.path().filename().string() < b.path().filename().string();
  };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  for (const auto& f : folders) {
    ArchiveWriterEntry e;
    e.path = prefix + ConvertName(f.path().filename().string(), codePage);
    e.directory = true;
    e.creationTime = e.lastAccessTime = e.lastWriteTime = FileTimeOf(f.path());
    out.push_back(e);
    CollectInto(f.path(), e.path + "\\", codePage, out);
  }
  for (const auto& f : files) {
    ArchiveWriterEntry e;
    e.path = prefix + ConvertName(f.path().filename().string(), codePage);
    std::ifstream in(f.path(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + f.path().string());
    e.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    e.creationTime = e.lastAccessTime = e.lastWriteTime = FileTimeOf(f.path());
    out.push_back(std::move(e));
  }
}

}  // namespace

std::vector<uint8_t> BuildArchiveImage(const std::vector<ArchiveWriterEntry>& entries,
                                       const ArchiveWriterOptions& options) {
  const int version = options.version;
  if (version < 0 || version > kArchiveMaxVersion) throw std::invalid_argument("archive version");
  const int charSet = version >= 4 ? ArchiveCharSetFromCodePage(options.codePage) : 0;
  const uint32_t headerSize = version >= 4 ? kArchiveHeaderSizeV4 : kArchiveHeaderSizeV3;
  const uint32_t entrySize = version >= 2 ? kArchiveEntrySizeV2 : kArchiveEntrySizeV1;

  // The tree, in the order entries name things.
  std::vector<Node> nodes(1);
  nodes[0].directory = true;
  for (const ArchiveWriterEntry& entry : entries) {
    std::vector<std::string> parts = SplitPath(entry.path, charSet);
    int at = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
      if (parts[i].empty()) throw std::invalid_argument("empty path component: " + entry.path);
      bool last = i + 1 == parts.size();
      bool wantDirectory = !last || entry.directory;
      int found = -1;
      for (int c : nodes[at].children)
        if (nodes[c].name == parts[i] && nodes[c].directory == wantDirectory) found = c;
      if (found >= 0 && !wantDirectory)
        throw std::invalid_argument("duplicate file: " + entry.path);
      if (found < 0) {
        Node n;
        n.name = parts[i];
        n.directory = wantDirectory;
        nodes.push_back(n);
        found = static_cast<int>(nodes.size() - 1);
        nodes[at].children.push_back(found);
      }
      if (last) nodes[found].source = &entry;
      at = found;
    }
  }

  // Directories breadth first; each directory's entries follow one another in the file table.
  std::vector<int> directories{0};
  for (size_t i = 0; i < directories.size(); ++i)
    for (int c : nodes[directories[i]].children)
      if (nodes[c].directory) directories.push_back(c);
  std::map<int, uint32_t> directoryOffset, parentOf;
  for (size_t i = 0; i < directories.size(); ++i) {
    directoryOffset[directories[i]] = static_cast<uint32_t>(i * kArchiveDirectoryRecordSize);
    for (int c : nodes[directories[i]].children) parentOf[c] = directories[i];
  }

  std::vector<uint8_t> names, files, dirs, data;
  for (int d : directories) {
    const Node& dir = nodes[d];
    ArchiveDirectoryRecord rec{};
    rec.ParentOffset = d == 0 ? kArchiveNoParent : directoryOffset[parentOf[d]];
    rec.EntryCount = static_cast<uint32_t>(dir.children.size());
    rec.FirstEntryOffset = static_cast<uint32_t>(files.size());
    AppendRecord(dirs, rec, sizeof rec);
    for (int c : dir.children) {
      const Node& n = nodes[c];
      ArchiveEntry e{};
      e.NameOffset = static_cast<uint32_t>(names.size());
      AppendNameRecord(names, n.name, charSet);
      if (n.source) {
        e.CreationTime = ToFileTime(n.source->creationTime);
        e.LastAccessTime = ToFileTime(n.source->lastAccessTime);
        e.LastWriteTime = ToFileTime(n.source->lastWriteTime);
      }
      e.CompressedSize = kArchiveStored;
      if (n.directory) {
        e.Attributes = kArchiveDirectoryAttribute;
        e.DataAddress = directoryOffset[c];
      } else {
        const std::vector<uint8_t>& bytes = n.source->data;
        e.Attributes = 0x20;  // the platform's "archive" attribute, as files usually carry
        e.DataAddress = static_cast<uint32_t>(data.size());
        e.Size = static_cast<uint32_t>(bytes.size());
        int compress = n.source->compress;
        if (compress == 1 && version < 2)
          throw std::invalid_argument("no compression below version 2");
        std::vector<uint8_t> block;
        if (version >= 2 && compress != 0) block = EncodeLzBlock(bytes);
        if (version >= 2 && (compress == 1 || (compress == -1 && block.size() < bytes.size()))) {
          e.CompressedSize = static_cast<uint32_t>(block.size());
          data.insert(data.end(), block.begin(), block.end());
        } else {
          data.insert(data.end(), bytes.begin(), bytes.end());
        }
      }
      AppendRecord(files, e, entrySize);
    }
  }

  ArchiveHeader h{};
  h.Magic = kArchiveMagic;
  h.Version = static_cast<uint16_t>(version);
  h.DataStart = headerSize;
  h.TableBlockOffset = static_cast<uint32_t>(headerSize + data.size());
  h.FileTableOffset = static_cast<uint32_t>(names.size());
  h.DirectoryTableOffset = static_cast<uint32_t>(names.size() + files.size());
  h.TableBlockSize = static_cast<uint32_t>(names.size() + files.size() + dirs.size());
  h.CodePage = version >= 4 ? options.codePage : 0;

  std::vector<uint8_t> image;
  AppendRecord(image, h, headerSize);
  image.insert(image.end(), data.begin(), data.end());
  image.insert(image.end(), names.begin(), names.end());
  image.insert(image.end(), files.begin(), files.end());
  image.insert(image.end(), dirs.begin(), dirs.end());

  uint8_t key[kArchiveKeySize];
  if (options.secondKey)
    std::memcpy(key, kArchiveSecondKey, sizeof key);
  else
    BuildArchiveKey(options.keyString, key);
  ScrambleArchiveBytes(image.size(), image.data(), 0, key);
  return image;
}

std::vector<ArchiveWriterEntry> CollectArchiveFolder(const std::string& folder, uint32_t codePage) {
  std::vector<ArchiveWriterEntry> out;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    throw std::runtime_error("not a folder: " + folder);
  CollectInto(folder, "", codePage, out);
  return out;
}

bool WriteArchiveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The archive reader: keys, name keys, lookups, in-memory and file-backed reads (synchronous
// and in the background), and refusal of archives whose offsets and counts do not fit.
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/archive_reader.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tools/lib/archive_writer.h"

namespace {

// Root: a.txt (stored), z.bin (LZ), IMG/, empty/. IMG: A.PNG, 深い/. 深い: ソ.dat (its second
// byte is 0x5C). Entry indexes in the file table: 0 a.txt, 1 z.bin, 2 IMG, 3 empty, 4 A.PNG,
// 5 深い, 6 ソ.dat; directory records: 0 root, 1 IMG, 2 empty, 3 深い.
struct Fixture {
  ArchiveBytes a = MakeArchiveTestData(1000, 1, 1);
  ArchiveBytes z = MakeArchiveTestData(20000, 1, 2);
  ArchiveBytes png = MakeArchiveTestData(3000, 0, 3);
  ArchiveBytes so = MakeArchiveTestData(9000, 2, 4);

  std::vector<ArchiveWriterEntry> Entries(int version) const {
    bool lz = version >= 2;
    std::vector<ArchiveWriterEntry> e(5);
    e[0].path = "a.txt", e[0].data = a, e[0].compress = 0;
    e[1].path = "z.bin", e[1].data = z, e[1].compress = lz ? 1 : 0;
    e[2].path = "IMG\\A.PNG", e[2].data = png, e[2].compress = lz ? -1 : 0;
    e[3].path = "IMG/深い/ソ.dat", e[3].data = so, e[3].compress = lz ? 1 : 0;
    e[4].path = "empty", e[4].directory = true;
    return e;
  }
  ArchiveBytes Build(const ArchiveWriterOptions& o) const {
    return BuildArchiveImage(Entries(o.version), o);
  }
};

ArchiveWriterOptions Options(int version, const char* key = nullptr, bool second = false) {
  ArchiveWriterOptions o;
  o.version = version;
  o.keyString = key;
  o.secondKey = second;
  return o;
}

// An exact-size heap copy, so that any read past the image is caught.
struct HeapImage {
  std::unique_ptr<uint8_t[]> bytes;
  size_t size;
  explicit HeapImage(const ArchiveBytes& v) : bytes(new uint8_t[v.size()]), size(v.size()) {
    std::memcpy(bytes.get(), v.data(), v.size());
  }
  ArchiveBytes Copy() const { return ArchiveBytes(bytes.get(), bytes.get() + size); }
};

struct OpenArchive {
  ArchiveRecord record;
  OpenArchive() { ClearArchiveRecord(&record); }
  ~OpenArchive() { CloseArchive(&record); }
};

ArchiveBytes ReadAll(ArchiveEntryReader* r, size_t chunk) {
  ArchiveBytes out;
  for (;;) {
    ArchiveBytes buf(chunk);
    size_t n = ReadFileInArchive(r, buf.data(), chunk);
    while (CompleteArchivedRead(r) == 0) std::this_thread::yield();
    if (n == 0) break;
    out.insert(out.end(), buf.begin(), buf.begin() + n);
  }
  return out;
}

ArchiveBytes ReadPath(ArchiveRecord* record, const char* path, int async, size_t chunk = 777) {
  ArchiveEntryReader r;
  EXPECT_EQ(OpenFileInArchive(&r, record, path, async), 0) << path;
  ArchiveBytes out = ReadAll(&r, chunk);
  CloseFileInArchive(&r);
  return out;
}

TEST(ArchiveKey, KeyStringRules) {
  uint8_t none[12], empty[12], ab[12], abRepeated[12], longer[12], first12[12];
  BuildArchiveKey(nullptr, none);
  BuildArchiveKey("", empty);
  BuildArchiveKey("ab", ab);
  BuildArchiveKey("abababababab", abRepeated);
  BuildArchiveKey("abcdefghijklXYZ", longer);
  BuildArchiveKey("abcdefghijkl", first12);
  EXPECT_EQ(std::memcmp(none, empty, 12), 0);
  EXPECT_EQ(std::memcmp(ab, abRepeated, 12), 0);
  EXPECT_EQ(std::memcmp(longer, first12, 12), 0);
  EXPECT_NE(std::memcmp(none, ab, 12), 0);
  EXPECT_NE(std::memcmp(none, kArchiveSecondKey, 12), 0);
  // Scrambling at an offset continues the key where that offset falls.
  uint8_t whole[30] = {}, tail[20] = {};
  ScrambleArchiveBytes(30, whole, 0, none);
  ScrambleArchiveBytes(20, tail, 10, none);
  EXPECT_EQ(std::memcmp(whole + 10, tail, 20), 0);
}

TEST(ArchiveNameKey, KeyForms) {
  ArchiveRecord sjis{};
  sjis.CharSet = 1;
  struct Case {
    const char* text;
    int taken;
    std::string key;  // without the padding
    int words;
  };
  const Case cases[] = {
      {"a.png", 5, "A.PNG", 2},
      {"abcd", 4, "ABCD", 2},  // a whole word of text still gets a NUL word
      {"", 0, "", 1},
      {"ab\\cd", 2, "AB", 1},
      {"ab/cd", 2, "AB", 1},
      {"\x83\x5Cx", 3, "\x83\x5CX", 1},  // 0x5C after a lead byte is not a separator
      {"\x82\x81z", 3, "\x82\x81Z", 1},  // a full-width letter keeps its case
      {"x\x83", 2, "X\x83", 1},          // a lead byte at the end stands alone
  };
  for (const Case& c : cases) {
    ArchiveNameKey key;
    ASSERT_EQ(MakeArchiveNameKey(&key, &sjis, c.text), c.taken) << c.text;
    EXPECT_EQ(key.WordCount, c.words) << c.text;
    uint16_t sum = 0;
    for (unsigned char b : c.key) sum = static_cast<uint16_t>(sum + b);
    EXPECT_EQ(key.Checksum, sum) << c.text;
    EXPECT_EQ(std::memcmp(key.Bytes, c.key.data(), c.key.size()), 0) << c.text;
    for (size_t i = c.key.size(); i < static_cast<size_t>(key.WordCount) * 4; ++i)
      EXPECT_EQ(key.Bytes[i], 0) << c.text;
  }
  // The key holds 1,024 bytes with at least one NUL: 1,023 bytes of name at most.
  ArchiveNameKey key;
  std::string name(1023, 'q');
  EXPECT_EQ(MakeArchiveNameKey(&key, &sjis, name.c_str()), 1023);
  EXPECT_EQ(key.WordCount, 256);
  name += 'q';
  EXPECT_EQ(MakeArchiveNameKey(&key, &sjis, name.c_str()), -1);
  name = std::string(1022, 'q') + "\x83\x40";
  EXPECT_EQ(MakeArchiveNameKey(&key, &sjis, name.c_str()), -1);
}

TEST(ArchiveReader, InMemoryRoundTripEveryVersionAndKey) {
  Fixture f;
  for (int version = 0; version <= 4; ++version) {
    for (int keyKind = 0; keyKind < 3; ++keyKind) {
      SCOPED_TRACE("version " + std::to_string(version) + " key " + std::to_string(keyKind));
      const char* keyString = keyKind == 1 ? "secret" : nullptr;
      ArchiveWriterOptions o = Options(version, keyString, keyKind == 2);
      ArchiveBytes scrambled = f.Build(o);
      HeapImage image(scrambled);
      OpenArchive arc;
      ASSERT_EQ(OpenArchiveInMemory(&arc.record, image.bytes.get(), image.size, keyString), 0);
      EXPECT_EQ(arc.record.Header.Version, version);
      EXPECT_EQ(arc.record.CharSet, version == 4 ? 1 : 0);
      EXPECT_EQ(GetArchiveImage(&arc.record), image.bytes.get());
      EXPECT_EQ(ReadPath(&arc.record, "a.txt", 0), f.a);
      EXPECT_EQ(ReadPath(&arc.record, "Z.BIN", 0, 4096), f.z);
      EXPECT_EQ(ReadPath(&arc.record, "img/a.png", 1), f.png);
      EXPECT_EQ(ReadPath(&arc.record, "Img\\深い\\ソ.DAT", 0, 1), f.so);
      // A second open must not fail because a record is in use elsewhere.
      EXPECT_EQ(OpenArchiveInMemory(&arc.record, image.bytes.get(), image.size, keyString), -1);
      CloseArchive(&arc.record);
      EXPECT_EQ(image.Copy(), scrambled) << "the caller's image comes back as it was";
    }
  }
}

TEST(ArchiveReader, FileBackedSyncAndBackgroundReads) {
  Fixture f;
  TempFolder folder;
  const std::filesystem::path dir = folder.path();
  for (int version : {1, 2, 4}) {
    SCOPED_TRACE("version " + std::to_string(version));
    auto path = dir / ("v" + std::to_string(version) + ".arc");
    WriteFileBytes(path, f.Build(Options(version)));
    OpenArchive arc;
    ASSERT_EQ(OpenArchiveFile(&arc.record, path.c_str(), nullptr), 0);
    EXPECT_EQ(GetArchiveImage(&arc.record), nullptr);
    for (int async : {0, 1}) {
      EXPECT_EQ(ReadPath(&arc.record, "a.txt", async, 100), f.a);
      EXPECT_EQ(ReadPath(&arc.record, "z.bin", async), f.z);
      EXPECT_EQ(ReadPath(&arc.record, "IMG/A.PNG", async, 5000), f.png);
      EXPECT_EQ(ReadPath(&arc.record, "img/深い/ソ.dat", async, 64), f.so);
    }
    // Readers sharing the archive file, interleaved: each read seeks the file for itself.
    ArchiveEntryReader r1, r2, r3;
    ASSERT_EQ(OpenFileInArchive(&r1, &arc.record, "a.txt", 1), 0);
    ASSERT_EQ(OpenFileInArchive(&r2, &arc.record, "img/a.png", 1), 0);
    ASSERT_EQ(OpenFileInArchive(&r3, &arc.record, "img/深い/ソ.dat", 0), 0);
    ArchiveBytes o1, o2, o3;
    uint8_t b1[37], b2[53], b3[71];
    for (;;) {
      size_t n1 = ReadFileInArchive(&r1, b1, sizeof b1);
      size_t n2 = ReadFileInArchive(&r2, b2, sizeof b2);
      size_t n3 = ReadFileInArchive(&r3, b3, sizeof b3);
      while (CompleteArchivedRead(&r1) == 0 || CompleteArchivedRead(&r2) == 0)
        std::this_thread::yield();
      o1.insert(o1.end(), b1, b1 + n1);
      o2.insert(o2.end(), b2, b2 + n2);
      o3.insert(o3.end(), b3, b3 + n3);
      if (n1 + n2 + n3 == 0) break;
    }
    EXPECT_EQ(o1, f.a);
    EXPECT_EQ(o2, f.png);
    EXPECT_EQ(o3, f.so);
    CloseFileInArchive(&r1);
    CloseFileInArchive(&r2);
    CloseFileInArchive(&r3);
  }
}

TEST(ArchiveReader, KeysAndVersionsThatAreRefused) {
  Fixture f;
  TempFolder folder;
  const std::filesystem::path dir = folder.path();
  // Only the second key unscrambles this one: it is found and used for every byte.
  ArchiveBytes second = f.Build(Options(4, nullptr, true));
  WriteFileBytes(dir / "second.arc", second);
  {
    OpenArchive arc;
    ASSERT_EQ(OpenArchiveFile(&arc.record, (dir / "second.arc").c_str(), nullptr), 0);
    EXPECT_EQ(ReadPath(&arc.record, "z.bin", 1), f.z);
    EXPECT_EQ(ReadPath(&arc.record, "a.txt", 0), f.a);
  }
  // A key string the caller does not give: neither key works.
  ArchiveBytes keyed = f.Build(Options(4, "secret"));
  HeapImage keyedImage(keyed);
  OpenArchive none;
  EXPECT_EQ(OpenArchiveInMemory(&none.record, keyedImage.bytes.get(), keyedImage.size, nullptr),
            -1);
  EXPECT_EQ(keyedImage.Copy(), keyed);
  // Version 5 is refused, from memory (image untouched) and from a file.
  ArchiveBytes v5 = f.Build(Options(4));
  PatchArchivePlain(v5, Options(4), [](ArchiveBytes& p) { p[2] = 5; });
  HeapImage v5Image(v5);
  EXPECT_EQ(OpenArchiveInMemory(&none.record, v5Image.bytes.get(), v5Image.size, nullptr), -1);
  EXPECT_EQ(v5Image.Copy(), v5);
  WriteFileBytes(dir / "v5.arc", v5);
  EXPECT_EQ(OpenArchiveFile(&none.record, (dir / "v5.arc").c_str(), nullptr), -1);
  EXPECT_EQ(OpenArchiveFile(&none.record, (dir / "missing.arc").c_str(), nullptr), -1);
  EXPECT_EQ(none.record.Source, nullptr);
}

TEST(ArchiveReader, LookupsAndDirectoryWalks) {
  Fixture f;
  ArchiveBytes scrambled = f.Build(Options(4));
  HeapImage image(scrambled);
  OpenArchive arc;
  ASSERT_EQ(OpenArchiveInMemory(&arc.record, image.bytes.get(), image.size, nullptr), 0);
  ArchiveRecord* r = &arc.record;
  struct Case {
    const char* path;
    uint32_t size;  // 0: not found
  };
  const Case cases[] = {
      {"img/a.png", 3000},
      {"IMG\\A.PNG", 3000},
      {"iMg/A.pNg", 3000},
      {"\\img\\a.png", 3000},
      {"a.txt", 1000},
      {"A.TXT", 1000},
      {"img/深い/ソ.dat", 9000},
      {"IMG", 0},
      {"img/", 0},
      {"empty", 0},
      {"empty/x", 0},
      {"nope/a.png", 0},
      {"img/nope.png", 0},
      {"img/深い", 0},
      {"img/深い/ゾ.dat", 0},  // another double-byte character: no match
      {"img/../a.txt", 0},     // ".." is only a whole path, not a component
  };
  const ArchiveDirectoryRecord* root = r->CurrentDirectory;
  for (const Case& c : cases) {
    const ArchiveEntry* e = LookupArchiveFile(c.path, r);
    if (c.size == 0) {
      EXPECT_EQ(e, nullptr) << c.path;
    } else {
      ASSERT_NE(e, nullptr) << c.path;
      const uint32_t size = e->Size;  // a packed field: read it before comparing
      EXPECT_EQ(size, c.size) << c.path;
    }
    EXPECT_EQ(r->CurrentDirectory, root) << "a lookup puts the current directory back";
  }
  int offset = 0, size = 0;
  ASSERT_EQ(FindArchiveEntry(r, "a.txt", &offset, &size), 0);
  EXPECT_EQ(size, 1000);
  // a.txt is stored, so its bytes are right there in the unscrambled image.
  EXPECT_EQ(std::memcmp(image.bytes.get() + offset, f.a.data(), f.a.size()), 0);
  EXPECT_EQ(FindArchiveEntry(r, "img", &offset, &size), -1);

  EXPECT_EQ(ChangeArchiveDirectory(r, "..", 0, nullptr), -1);
  ASSERT_EQ(ChangeArchiveDirectory(r, "img", 0, nullptr), 0);
  const ArchiveDirectoryRecord* img = r->CurrentDirectory;
  EXPECT_NE(img, root);
  EXPECT_NE(LookupArchiveFile("A.PNG", r), nullptr);  // relative to the current directory
  EXPECT_EQ(ChangeArchiveDirectory(r, ".", 0, nullptr), 0);
  EXPECT_EQ(r->CurrentDirectory, img);
  EXPECT_EQ(ChangeArchiveDirectory(r, "..", 0, nullptr), 0);
  EXPECT_EQ(r->CurrentDirectory, root);
  ArchiveNameKey key;
  EXPECT_EQ(ChangeArchiveDirectory(r, "img/nope/x", 1, &key), -1);
  EXPECT_EQ(r->CurrentDirectory, root) << "restored";
  EXPECT_EQ(std::memcmp(key.Bytes, "NOPE", 4), 0);
  EXPECT_EQ(ChangeArchiveDirectory(r, "img/nope/x", 0, nullptr), -1);
  EXPECT_EQ(r->CurrentDirectory, img) << "left where the walk stopped";
  EXPECT_EQ(ChangeArchiveDirectory(r, "/", 0, nullptr), 0);
  EXPECT_EQ(r->CurrentDirectory, root);
  EXPECT_EQ(ChangeArchiveDirectory(r, "img\\深い", 0, nullptr), 0);
  EXPECT_NE(LookupArchiveFile("ソ.dat", r), nullptr);
}

TEST(ArchiveReader, SeekTellAndEnd) {
  Fixture f;
  TempFolder folder;
  const std::filesystem::path dir = folder.path();
  WriteFileBytes(dir / "x.arc", f.Build(Options(4)));
  OpenArchive arc;
  ASSERT_EQ(OpenArchiveFile(&arc.record, (dir / "x.arc").c_str(), nullptr), 0);
  for (const char* path : {"a.txt", "z.bin"}) {
    for (int async : {0, 1}) {
      SCOPED_TRACE(std::string(path) + (async ? " async" : " sync"));
      const ArchiveBytes& want = path[0] == 'a' ? f.a : f.z;
      const int size = static_cast<int>(want.size());
      ArchiveEntryReader rd;
      ASSERT_EQ(OpenFileInArchive(&rd, &arc.record, path, async), 0);
      EXPECT_EQ(SeekFileInArchive(&rd, -5, 0), 0);
      EXPECT_EQ(TellFileInArchive(&rd), 0);
      EXPECT_EQ(SeekFileInArchive(&rd, 10, 2), 0);
      EXPECT_EQ(TellFileInArchive(&rd), size);
      uint8_t buf[16];
      EXPECT_EQ(ReadFileInArchive(&rd, buf, sizeof buf), 0u);
      EXPECT_EQ(EofFileInArchive(&rd), -1);
      EXPECT_EQ(SeekFileInArchive(&rd, -6, 1), 0);
      EXPECT_EQ(EofFileInArchive(&rd), 0);
      EXPECT_EQ(ReadFileInArchive(&rd, buf, sizeof buf), 6u);
      EXPECT_EQ(TellFileInArchive(&rd), size);
      EXPECT_EQ(std::memcmp(buf, want.data() + size - 6, 6), 0);
      EXPECT_EQ(EofFileInArchive(&rd), 0) << "a read that delivers bytes does not set the end";
      EXPECT_EQ(SeekFileInArchive(&rd, 123, 0), 0);
      EXPECT_EQ(ReadFileInArchive(&rd, buf, 10), 10u);
      EXPECT_EQ(TellFileInArchive(&rd), 133);
      EXPECT_EQ(std::memcmp(buf, want.data() + 123, 10), 0);
      EXPECT_EQ(SeekFileInArchive(&rd, 0, 9), -1);
      EXPECT_EQ(TellFileInArchive(&rd), 133);
      CloseFileInArchive(&rd);
    }
  }
}

// Each patch breaks one offset or count; the archive must then be refused at open, or the
// entries that depend on the broken record must not be found, and nothing may be read outside
// the image or the table block (the images are exact-size heap copies).
TEST(ArchiveReader, OffsetsAndCountsThatDoNotFitAreRefused) {
  Fixture f;
  const ArchiveWriterOptions o = Options(4);
  struct Case {
    const char* what;
    std::function<void(ArchiveBytes&)> patch;
    bool opens;
    const char* path;  // what must then fail to open
  };
  auto hdr = [](ArchiveBytes& p) { return PlainArchiveHeader(p); };
  const Case cases[] = {
      {"table block past the end",
       [&](ArchiveBytes& p) { PutLe32(p, 12, static_cast<uint32_t>(p.size())); }, false, nullptr},
      {"table block size past the end",
       [&](ArchiveBytes& p) { PutLe32(p, 4, hdr(p).TableBlockSize + 1); }, false, nullptr},
      {"table block size wraps", [&](ArchiveBytes& p) { PutLe32(p, 4, 0xFFFFFFF0u); }, false,
       nullptr},
      {"file table past the block",
       [&](ArchiveBytes& p) { PutLe32(p, 16, hdr(p).TableBlockSize + 1); }, false, nullptr},
      {"no room for the root", [&](ArchiveBytes& p) { PutLe32(p, 20, hdr(p).TableBlockSize - 8); },
       false, nullptr},
      {"data start past the end",
       [&](ArchiveBytes& p) { PutLe32(p, 8, static_cast<uint32_t>(p.size() + 1)); }, false,
       nullptr},
      {"root entry count huge",
       [&](ArchiveBytes& p) { PutLe32(p, PlainDirectoryOffset(p, 0) + 8, 0x10000000); }, true,
       "a.txt"},
      {"root entry count wraps 32 bits",
       [&](ArchiveBytes& p) { PutLe32(p, PlainDirectoryOffset(p, 0) + 8, 0x05D1745E); }, true,
       "a.txt"},
      {"root first entry past the block",
       [&](ArchiveBytes& p) { PutLe32(p, PlainDirectoryOffset(p, 0) + 12, 0xFFFFFF00u); }, true,
       "a.txt"},
      {"name record past the block",
       [&](ArchiveBytes& p) { PutLe32(p, PlainEntryOffset(p, 0), hdr(p).TableBlockSize - 2); },
       true, "a.txt"},
      {"name word count past the block",
       [&](ArchiveBytes& p) {
         size_t name = hdr(p).TableBlockOffset + GetLe32(p, PlainEntryOffset(p, 0));
         p[name] = 0xFF, p[name + 1] = 0xFF;
       },
       true, "a.txt"},
      {"directory record past the table",
       [&](ArchiveBytes& p) { PutLe32(p, PlainEntryOffset(p, 2) + 32, 0x7FFFFFF0); }, true,
       "img/a.png"},
      {"file data past the end",
       [&](ArchiveBytes& p) {
         PutLe32(p, PlainEntryOffset(p, 0) + 32, static_cast<uint32_t>(p.size()));
       },
       true, "a.txt"},
      {"file size past the end",
       [&](ArchiveBytes& p) {
         PutLe32(p, PlainEntryOffset(p, 0) + 36, static_cast<uint32_t>(p.size()));
       },
       true, "a.txt"},
      {"file size above INT_MAX",
       [&](ArchiveBytes& p) { PutLe32(p, PlainEntryOffset(p, 1) + 36, 0x80000000u); }, true,
       "z.bin"},
      {"compressed size below a header",
       [&](ArchiveBytes& p) { PutLe32(p, PlainEntryOffset(p, 1) + 40, 8); }, true, "z.bin"},
      {"compressed size past the end",
       [&](ArchiveBytes& p) {
         PutLe32(p, PlainEntryOffset(p, 1) + 40, static_cast<uint32_t>(p.size()));
       },
       true, "z.bin"},
      {"block decodes to another size",
       [&](ArchiveBytes& p) {
         size_t e = PlainEntryOffset(p, 1);
         PutLe32(p, e + 36, GetLe32(p, e + 36) - 1);
       },
       true, "z.bin"},
      {"block claims another encoded size",
       [&](ArchiveBytes& p) {
         size_t block = hdr(p).DataStart + GetLe32(p, PlainEntryOffset(p, 1) + 32);
         PutLe32(p, block + 4, GetLe32(p, block + 4) - 1);
       },
       true, "z.bin"},
  };
  TempFolder folder;
  const std::filesystem::path dir = folder.path();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ArchiveBytes bad = f.Build(o);
    PatchArchivePlain(bad, o, c.patch);
    WriteFileBytes(dir / "bad.arc", bad);
    for (int fromFile : {0, 1}) {
      HeapImage image(bad);
      OpenArchive arc;
      int opened = fromFile
                       ? OpenArchiveFile(&arc.record, (dir / "bad.arc").c_str(), nullptr)
                       : OpenArchiveInMemory(&arc.record, image.bytes.get(), image.size, nullptr);
      if (!c.opens) {
        EXPECT_EQ(opened, -1);
        EXPECT_EQ(image.Copy(), bad);
        continue;
      }
      ASSERT_EQ(opened, 0);
      for (int async : {0, 1}) {
        ArchiveEntryReader rd;
        int r = OpenFileInArchive(&rd, &arc.record, c.path, async);
        if (fromFile && async && r == 0) {
          // A block read in the background is checked when it arrives: then nothing reads.
          EXPECT_EQ(ReadAll(&rd, 4096), ArchiveBytes{});
          EXPECT_EQ(rd.Failed, 1);
          CloseFileInArchive(&rd);
        } else {
          EXPECT_EQ(r, -1) << (fromFile ? "file" : "memory") << (async ? " async" : "");
        }
      }
      // Whatever else the damage left findable still reads without leaving its bounds.
      for (const char* other : {"a.txt", "z.bin", "img/a.png", "img/深い/ソ.dat"}) {
        ArchiveEntryReader rd;
        if (OpenFileInArchive(&rd, &arc.record, other, 0) == 0) {
          ReadAll(&rd, 4096);
          CloseFileInArchive(&rd);
        }
      }
    }
  }
}

TEST(ArchiveReader, DamagedBlockFailsCleanly) {
  // The LZ block of z.bin claims a decoded size that the entry does not have: a synchronous
  // open refuses it; a background open finds out when the block arrives and then reads nothing.
  Fixture f;
  const ArchiveWriterOptions o = Options(4);
  ArchiveBytes bad = f.Build(o);
  PatchArchivePlain(bad, o, [](ArchiveBytes& p) {
    size_t block = PlainArchiveHeader(p).DataStart + GetLe32(p, PlainEntryOffset(p, 1) + 32);
    PutLe32(p, block, GetLe32(p, block) + 1);
  });
  TempFolder folder;
  const std::filesystem::path dir = folder.path();
  WriteFileBytes(dir / "bad.arc", bad);
  OpenArchive arc;
  ASSERT_EQ(OpenArchiveFile(&arc.record, (dir / "bad.arc").c_str(), nullptr), 0);
  ArchiveEntryReader rd;
  EXPECT_EQ(OpenFileInArchive(&rd, &arc.record, "z.bin", 0), -1);
  ASSERT_EQ(OpenFileInArchive(&rd, &arc.record, "z.bin", 1), 0);
  uint8_t buf[64];
  EXPECT_EQ(ReadFileInArchive(&rd, buf, sizeof buf), 0u);
  EXPECT_EQ(EofFileInArchive(&rd), -1);
  CloseFileInArchive(&rd);
  EXPECT_EQ(ReadPath(&arc.record, "a.txt", 1), f.a) << "the archive itself stays usable";
}

TEST(ArchiveReader, FailedAllocationsKeepNothing) {
  Fixture f;
  TempFolder folder;
  const std::filesystem::path dir = folder.path();
  WriteFileBytes(dir / "x.arc", f.Build(Options(4)));
  HeapImage image(f.Build(Options(4)));
  const int blocksBefore = GetTrackedHeapTotals().blocks;
  {
    OpenArchive mem, file;
    ASSERT_EQ(OpenArchiveInMemory(&mem.record, image.bytes.get(), image.size, nullptr), 0);
    ASSERT_EQ(OpenArchiveFile(&file.record, (dir / "x.arc").c_str(), nullptr), 0);
    const int blocksOpen = GetTrackedHeapTotals().blocks;
    // The decoded buffer, the first thing an open of a compressed entry allocates, cannot be had.
    for (ArchiveRecord* record : {&mem.record, &file.record}) {
      for (int async : {0, 1}) {
        ArchiveEntryReader rd;
        SetTrackedHeapFailures(1);
        EXPECT_EQ(OpenFileInArchive(&rd, record, "z.bin", async), -1);
        SetTrackedHeapFailures(0);
        EXPECT_EQ(rd.Archive, nullptr);
        EXPECT_EQ(GetTrackedHeapTotals().blocks, blocksOpen);
      }
    }
    EXPECT_EQ(ReadPath(&file.record, "z.bin", 1), f.z) << "the archive is still usable";
    // An archive file whose open runs out of memory keeps nothing either.
    OpenArchive other;
    SetTrackedHeapFailures(1);
    EXPECT_EQ(OpenArchiveFile(&other.record, (dir / "x.arc").c_str(), nullptr), -1);
    SetTrackedHeapFailures(0);
    EXPECT_EQ(other.record.Source, nullptr);
    EXPECT_EQ(GetTrackedHeapTotals().blocks, blocksOpen);
  }
  EXPECT_EQ(GetTrackedHeapTotals().blocks, blocksBefore);
}

}  // namespace

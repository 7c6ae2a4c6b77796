// Packs a folder into an archive file that the runtime's archive layer reads.
//
//   make_archive [-v VERSION] [-k KEY | -2] [-c CODEPAGE] [-s | -z] FOLDER OUTPUT
//
//   -v  archive version 0 to 4 (default 4); below 2 every file is stored
//   -k  key string (default: none, as the runtime opens archives)
//   -2  scramble with the fixed second key
//   -c  code page of the names (default 932: names are converted from UTF-8 to Shift-JIS)
//   -s  store every file;  -z  compress every file (default: compress where it is smaller)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "tools/lib/archive_writer.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: make_archive [-v VERSION] [-k KEY | -2] [-c CODEPAGE] [-s | -z] FOLDER OUTPUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ArchiveWriterOptions options;
  int compress = -1;
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    std::string flag = argv[i];
    bool takesValue = flag == "-v" || flag == "-k" || flag == "-c";
    if (takesValue && i + 1 >= argc) return Usage();
    if (flag == "-v")
      options.version = std::atoi(argv[++i]);
    else if (flag == "-k")
      options.keyString = argv[++i];
    else if (flag == "-c")
      options.codePage = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    else if (flag == "-2")
      options.secondKey = true;
    else if (flag == "-s")
      compress = 0;
    else if (flag == "-z")
      compress = 1;
    else
      return Usage();
  }
  if (argc - i != 2) return Usage();
  if (compress == 1 && options.version < 2) {
    std::fprintf(stderr, "make_archive: version %d cannot hold compressed files\n",
                 options.version);
    return 2;
  }
  try {
    std::vector<ArchiveWriterEntry> entries = CollectArchiveFolder(argv[i], options.codePage);
    for (ArchiveWriterEntry& e : entries) e.compress = compress;
    std::vector<uint8_t> image = BuildArchiveImage(entries, options);
    if (!WriteArchiveBytes(argv[i + 1], image)) {
      std::fprintf(stderr, "make_archive: cannot write %s\n", argv[i + 1]);
      return 1;
    }
    std::printf("%s: %zu entries, %zu bytes\n", argv[i + 1], entries.size(), image.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_archive: %s\n", e.what());
    return 1;
  }
  return 0;
}

// Writes the sample image files as seed corpora for the libFuzzer targets:
//   make_image_corpus <folder>   makes <folder>/bmp, tga, dds, bgra, png, jpeg and chain.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/lib/image_file_fixtures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_image_corpus <folder>\n");
    return 2;
  }
  struct Set {
    const char* name;
    std::vector<ByteString> (*samples)();
  };
  const Set sets[] = {{"bmp", SampleBmpFiles}, {"tga", SampleTgaFiles},
                      {"dds", SampleDdsFiles}, {"bgra", SampleBgraFiles},
                      {"png", SamplePngFiles}, {"jpeg", SampleJpegFiles}};
  const std::filesystem::path root = argv[1];
  int written = 0;
  for (const Set& set : sets) {
    const std::vector<ByteString> files = set.samples();
    for (const char* folder : {set.name, "chain"}) {
      std::filesystem::create_directories(root / folder);
      for (size_t i = 0; i < files.size(); ++i) {
        const std::filesystem::path path =
            root / folder / (std::string(set.name) + "_" + std::to_string(i));
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(files[i].data()),
                  static_cast<std::streamsize>(files[i].size()));
        if (!out) {
          std::fprintf(stderr, "cannot write %s\n", path.c_str());
          return 1;
        }
        ++written;
      }
    }
  }
  std::printf("%d files written under %s\n", written, argv[1]);
  return 0;
}

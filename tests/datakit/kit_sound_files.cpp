#include "tests/datakit/kit_sound_files.h"

#include "tools/datakit/kit_build.h"

std::map<std::string, std::vector<uint8_t>> BuildKitFilesByPath(const char* pattern) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (KitFile& f : BuildKitFiles(pattern, 0)) files[f.path] = std::move(f.bytes);
  return files;
}

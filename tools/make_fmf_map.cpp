// Writes FMF tile maps from their text description (tools/lib/fmf_map_writer.h).
//
//   make_fmf_map DESCRIPTION OUTPUT   one map
//   make_fmf_map --test-stage FOLDER  the test stage's maps of stages 1-7 under FOLDER/data/map/
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/lib/fmf_map_writer.h"
#include "tools/lib/test_stage_maps.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: make_fmf_map DESCRIPTION OUTPUT\n"
                 "       make_fmf_map --test-stage FOLDER\n");
    return 2;
  }
  try {
    const std::string first = argv[1];
    if (first == "--test-stage") {
      WriteTestStageMaps(argv[2], {1, 2, 3, 4, 5, 6, 7});
      return 0;
    }
    std::ifstream in(first, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "make_fmf_map: cannot read %s\n", first.c_str());
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    WriteFmfMapFile(argv[2], BuildFmfMap(text.str()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_fmf_map: %s\n", e.what());
    return 1;
  }
  return 0;
}

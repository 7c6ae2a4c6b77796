// One file of the data kit as built in memory: its path in the game folder and its bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct KitFile {
  std::string path;  // "data/..."
  std::vector<uint8_t> bytes;
};

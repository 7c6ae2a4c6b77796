#include "tools/headless/scratch_folder.h"

#include <stdlib.h>

#include <filesystem>

ScratchFolder::ScratchFolder(const char* prefix) {
  std::error_code failed;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(failed);
  if (failed) return;
  std::string name = (temp / (std::string(prefix) + "-XXXXXX")).string();
  if (mkdtemp(name.data()) != nullptr) path_ = name;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

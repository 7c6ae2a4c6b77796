// A fresh folder below the system's temporary folder for a headless run of the tools, removed
// with everything in it when the record goes.
#pragma once

#include <string>

class ScratchFolder {
 public:
  // prefix names the folder ("<prefix>-XXXXXX"); path() is "" when none could be made.
  explicit ScratchFolder(const char* prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A fresh folder under the system's temporary directory, removed with everything in it when
// the test ends.
#pragma once

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The host path (UTF-8, "/tmp/...").
  const std::string& path() const { return path_; }
  // The same folder as the port shows it ("Z:\tmp\...", CP932).
  std::string WindowsPath() const;
  // Helpers on host paths relative to the folder.
  void MakeDirectory(const std::string& relative) const;
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  std::string ReadFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string path_;
};

// Makes a folder current for the life of the object, and restores the previous one.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& hostPath);
  ~ScopedCurrentDirectory();
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

 private:
  std::string previous_;
};

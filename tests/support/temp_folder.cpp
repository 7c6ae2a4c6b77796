#include "tests/support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/kelvanor-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::WindowsPath() const {
  std::string windows = "Z:";
  for (char c : path_) windows += (c == '/') ? '\\' : c;
  return windows;
}

void TempFolder::MakeDirectory(const std::string& relative) const {
  std::filesystem::create_directories(path_ + "/" + relative);
}

void TempFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
  std::ofstream out(path_ + "/" + relative, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + relative);
}

std::string TempFolder::ReadFile(const std::string& relative) const {
  std::ifstream in(path_ + "/" + relative, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool TempFolder::Exists(const std::string& relative) const {
  struct stat st;
  return stat((path_ + "/" + relative).c_str(), &st) == 0;
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& hostPath) {
  char* cwd = getcwd(nullptr, 0);
  previous_ = cwd ? cwd : "/";
  std::free(cwd);
  if (chdir(hostPath.c_str()) != 0) throw std::runtime_error("chdir failed");
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  if (chdir(previous_.c_str()) != 0) std::abort();
}

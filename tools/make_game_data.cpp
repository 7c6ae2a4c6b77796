// Writes the game's data kit: every picture, sound, piece of music and text the game loads,
// drawn and synthesised in code.
//
//   make_game_data [--archive] [--only PATTERN] [--contact] [-j N] FOLDER
//   make_game_data --check [-j N] FOLDER
//   make_game_data --version
//
//   FOLDER/data (or FOLDER/data.ARC with --archive), the player folders beside it, and
//   FOLDER/kit-manifest and FOLDER/kit-version once the kit is complete. --only writes just the
//   files a pattern (a glob, a part of the path, or a group name such as "stage3") selects.
//   --contact writes one labelled contact sheet per group to FOLDER/contact/ instead. --check
//   compares the kit with its manifest and rewrites what is missing or different (the whole kit
//   when it is of another version or has no manifest), never the player's files.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/datakit/kit_build.h"
#include "tools/datakit/kit_check.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: make_game_data [--archive] [--only PATTERN] [--contact] [-j N] FOLDER\n"
               "       make_game_data --check [-j N] FOLDER\n"
               "       make_game_data --version\n");
  return 2;
}

double Seconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

int Check(const std::string& folder, int threads, double start) {
  const KitCheckResult r = CheckKit(folder, threads);
  for (const std::string& f : r.folders)
    std::printf("make_game_data: made the missing folder %s/%s\n", folder.c_str(), f.c_str());
  for (const std::string& f : r.repaired)
    std::printf("make_game_data: rewrote %s/%s (missing or changed)\n", folder.c_str(), f.c_str());
  if (!r.ok) {
    std::fprintf(stderr, "make_game_data: cannot repair the kit in %s: %s\n", folder.c_str(),
                 r.error.c_str());
    return 1;
  }
  if (r.rewritten)
    std::printf("make_game_data: wrote the kit anew in %s in %.2f s\n", folder.c_str(),
                Seconds() - start);
  else if (r.repaired.empty())
    std::printf("make_game_data: kit in %s intact (%zu files checked in %.2f s)\n", folder.c_str(),
                r.checked, Seconds() - start);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool archive = false, contact = false, check = false;
  std::string only, folder;
  int threads = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--version") {
      std::printf("%s\n", kKitVersion);
      return 0;
    } else if (a == "--archive") {
      archive = true;
    } else if (a == "--contact") {
      contact = true;
    } else if (a == "--check") {
      check = true;
    } else if ((a == "--only" || a == "-j") && i + 1 < argc) {
      if (a == "-j")
        threads = std::atoi(argv[++i]);
      else
        only = argv[++i];
    } else if (!a.empty() && a[0] != '-' && folder.empty()) {
      folder = a;
    } else {
      return Usage();
    }
  }
  if (folder.empty() || (check && (archive || contact || !only.empty()))) return Usage();
  const double start = Seconds();
  try {
    if (check) return Check(folder, threads, start);
    if (contact) {
      for (const KitFile& f : BuildContactSheets(only, threads)) {
        const std::filesystem::path path = std::filesystem::path(folder) / f.path;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(f.bytes.data()),
                   static_cast<std::streamsize>(f.bytes.size()));
        std::printf("%s\n", path.c_str());
      }
      std::printf("make_game_data: contact sheets in %.2f s\n", Seconds() - start);
      return 0;
    }
    const KitWriteResult r = WriteKit(folder, archive, only, threads);
    if (!r.ok) {
      std::fprintf(stderr, "make_game_data: %s\n", r.error.c_str());
      return 1;
    }
    std::printf("make_game_data: %zu files, %zu bytes in %s in %.2f s\n", r.files, r.bytes,
                folder.c_str(), Seconds() - start);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_game_data: %s\n", e.what());
    return 1;
  }
  return 0;
}

// The kit's manifest ("kit-manifest": every written file with its size and content hash) and the
// check that compares a kit folder with it and rewrites what is missing or different, leaving
// the player's files (options, replays, screenshots) alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/datakit/kit_build.h"

// A fast 64-bit hash of file contents; the same bytes give the same value on every run.
uint64_t KitContentHash(const uint8_t* bytes, size_t size);
// The same hash taken a piece at a time, for a file of `size` bytes: every piece but the last a
// multiple of 8 bytes long.
class KitHasher {
 public:
  explicit KitHasher(uint64_t size);
  void Add(const uint8_t* bytes, size_t size);
  uint64_t Finish() const;

 private:
  uint64_t h_;
};

// Writes folder/kit-manifest for the files as a complete kit puts them in the folder: each
// "data/..." file, or the one "data.ARC". False when it cannot be written.
bool WriteKitManifest(const std::string& folder, const std::vector<KitFile>& files);

struct KitCheckResult {
  bool ok = false;
  std::string error;
  size_t checked = 0;                 // files compared with the manifest
  bool rewritten = false;             // the whole kit was written anew
  std::vector<std::string> repaired;  // files rewritten because missing or different
  std::vector<std::string> folders;   // player folders made because missing
};
// A kit of another generator version, or without a manifest, is written whole (in its form:
// folder or archive). Otherwise each listed file is compared by size, then by hash, and those
// that differ are built and written again; the missing player folders are made. threads as for
// BuildKitFiles.
KitCheckResult CheckKit(const std::string& folder, int threads);

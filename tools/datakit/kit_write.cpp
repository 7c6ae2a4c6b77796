#include <filesystem>
#include <fstream>
#include <system_error>

#include "tools/datakit/kit_build.h"
#include "tools/datakit/kit_check.h"

namespace fs = std::filesystem;

namespace {

bool WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool WriteText(const fs::path& path, const std::string& text) {
  return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// The folders the game expects and never makes, and volumes that make a first start audible;
// nothing the player already has is touched.
bool PreparePlayerFolders(const fs::path& root) {
  std::error_code ec;
  for (const char* sub : {"Option", "ScreenShots"}) fs::create_directories(root / sub, ec);
  for (const char* d : kDifficultyFolders) fs::create_directories(root / "replay" / d, ec);
  for (const char* name : {"Option/volumese.dat", "Option/volumemusic.dat"})
    if (!fs::exists(root / name) && !WriteText(root / name, "100\r\n")) return false;
  return !ec;
}

}  // namespace

std::string ReadKitStamp(const std::string& folder) {
  std::ifstream in(fs::path(folder) / "kit-version");
  std::string line;
  std::getline(in, line);
  return line;
}

KitWriteResult WriteKit(const std::string& folder, bool archive, const std::string& pattern,
                        int threads) {
  KitWriteResult result;
  const fs::path root(folder);
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) {
    result.error = "cannot make " + folder + ": " + ec.message();
    return result;
  }
  if (pattern.empty()) return WriteKitFiles(folder, BuildKitFiles(pattern, threads), archive);
  return WriteKitFilesInPlace(folder, BuildKitFiles(pattern, threads));
}

KitWriteResult WriteKitFilesInPlace(const std::string& folder, const std::vector<KitFile>& files) {
  KitWriteResult result;
  const fs::path root(folder);
  for (const KitFile& f : files) result.bytes += f.bytes.size();
  result.files = files.size();
  // Only these files, in place; the kit's stamp still names the last full run.
  for (const KitFile& f : files)
    if (!WriteBytes(root / f.path, f.bytes)) {
      result.error = "cannot write " + f.path;
      return result;
    }
  result.ok = true;
  return result;
}

KitWriteResult WriteKitFiles(const std::string& folder, const std::vector<KitFile>& files,
                             bool archive) {
  KitWriteResult result;
  const fs::path root(folder);
  std::error_code ec;
  fs::create_directories(root, ec);
  for (const KitFile& f : files) result.bytes += f.bytes.size();
  result.files = files.size();
  // The old stamp goes first: a kit interrupted from here on is never taken for complete.
  fs::remove(root / "kit-version", ec);
  fs::remove(root / "kit-manifest", ec);
  std::vector<KitFile> archiveFile;  // what the manifest lists of an archive kit
  if (archive) {
    archiveFile.push_back({"data.ARC", BuildKitArchive(files)});
    const std::vector<uint8_t>& image = archiveFile[0].bytes;
    result.bytes = image.size();
    if (!WriteBytes(root / "data.ARC.partial", image)) {
      result.error = "cannot write the archive";
      return result;
    }
    fs::rename(root / "data.ARC.partial", root / "data.ARC", ec);
    // A data folder beside the archive is never read again: it goes.
    if (!ec) fs::remove_all(root / "data", ec);
  } else {
    const fs::path partial = root / "data.partial";
    fs::remove_all(partial, ec);
    for (const KitFile& f : files)
      if (!WriteBytes(partial / f.path.substr(5), f.bytes)) {
        result.error = "cannot write " + f.path;
        return result;
      }
    fs::remove_all(root / "data", ec);
    fs::rename(partial, root / "data", ec);
    // An archive from an earlier --archive run would hide the new folder from the game, which
    // reads data/ only from data.ARC when there is one.
    if (!ec) fs::remove(root / "data.ARC", ec);
  }
  if (ec) {
    result.error = "cannot put the kit in place: " + ec.message();
    return result;
  }
  if (!PreparePlayerFolders(root)) {
    result.error = "cannot make the player folders";
    return result;
  }
  if (!WriteKitManifest(folder, archive ? archiveFile : files)) {
    result.error = "cannot write the manifest";
    return result;
  }
  if (!WriteText(root / "kit-version", std::string(kKitVersion) + "\n")) {
    result.error = "cannot write the stamp";
    return result;
  }
  result.ok = true;
  return result;
}

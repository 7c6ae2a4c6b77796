// Builds the kit's files in memory (in parallel, the same bytes every time) and writes them:
// the data folder through a temporary sibling renamed when complete, the player's folders and
// volume files, a version stamp, or one archive; contact sheets for people to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/datakit/kit_file.h"
#include "tools/datakit/kit_manifest.h"
#include "tools/datakit/raster.h"

// Changes whenever the generator would write different bytes.
extern const char* const kKitVersion;

// The kit's image of that manifest row, painted cell by cell (or whole, where its kind's painter
// paints whole sheets), by the row's own painter where it names one.
Canvas PaintKitImage(const KitImage& image, int stage);
// The samples of that effect row: its own recipe, else its slot's.
std::vector<int16_t> SynthesizeKitEffect(const KitSound& sound);
// The texts.
std::vector<uint8_t> EndingText();
std::vector<uint8_t> DemoReplay();

// True when pattern (a glob with * and ?, or a plain substring, or a group name) selects the
// path of a file in the given group. An empty pattern selects everything; patterns joined by
// commas select what any of them selects.
bool KitPatternMatches(const std::string& pattern, const std::string& path, const char* group);

// The paths of the files the pattern selects, without making them.
std::vector<std::string> KitFilePaths(const std::string& pattern);
// Every file of the kit that the pattern selects, sorted by path. threads 0: one per core.
std::vector<KitFile> BuildKitFiles(const std::string& pattern, int threads);
// One PNG per image group ("contact/<group>.png"): every image on a neutral ground, labelled.
std::vector<KitFile> BuildContactSheets(const std::string& pattern, int threads);

// The archive of the files (paths without the leading "data/"), with fixed file times.
std::vector<uint8_t> BuildKitArchive(const std::vector<KitFile>& files);

struct KitWriteResult {
  bool ok = false;
  std::string error;
  size_t files = 0, bytes = 0;
};
// folder/data (or folder/data.ARC with archive; the other form, left by an earlier run, is
// removed), the player folders ("Option/", "ScreenShots/", "replay/<difficulty>/") when
// missing, the volume files when absent, the manifest (kit_check.h), then folder/kit-version.
// With a pattern only the selected files are written, into the existing data folder, and the
// stamp is left alone.
KitWriteResult WriteKit(const std::string& folder, bool archive, const std::string& pattern,
                        int threads);
// The same for files already built (a whole kit).
KitWriteResult WriteKitFiles(const std::string& folder, const std::vector<KitFile>& files,
                             bool archive);
// Files already built (a pattern's) written into folder as they are, as WriteKit writes a
// pattern's.
KitWriteResult WriteKitFilesInPlace(const std::string& folder, const std::vector<KitFile>& files);
// The stamp a complete kit in folder carries, or "" when there is none.
std::string ReadKitStamp(const std::string& folder);

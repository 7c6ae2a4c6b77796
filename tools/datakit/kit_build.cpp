#include "tools/datakit/kit_build.h"

#include <fnmatch.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "tools/datakit/audio.h"
#include "tools/datakit/image_encode.h"
#include "tools/datakit/maps/stage_maps.h"
#include "tools/datakit/painters.h"
#include "tools/lib/archive_writer.h"
#include "tools/lib/fmf_map_writer.h"

const char* const kKitVersion = "kelvanor-datakit 22";

namespace {

uint32_t PathSeed(const std::string& path) {
  uint32_t h = 2166136261u;
  for (unsigned char ch : path) h = (h ^ ch) * 16777619u;
  return h;
}

void ClearBorder(Canvas& c) {
  for (int x = 0; x < c.w; ++x)
    for (int k = 0; k < 4; ++k) c.At(x, 0)[k] = c.At(x, c.h - 1)[k] = 0;
  for (int y = 0; y < c.h; ++y)
    for (int k = 0; k < 4; ++k) c.At(0, y)[k] = c.At(c.w - 1, y)[k] = 0;
}

struct Job {
  std::string path;
  double cost;
  std::function<std::vector<uint8_t>()> make;
};

std::vector<KitFile> RunJobs(std::vector<Job> jobs, int threads) {
  // Dearest first, so the long music does not finish last on one core.
  std::stable_sort(jobs.begin(), jobs.end(),
                   [](const Job& a, const Job& b) { return a.cost > b.cost; });
  std::vector<KitFile> files(jobs.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < jobs.size();)
      files[i] = {jobs[i].path, jobs[i].make()};
  };
  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
  std::sort(files.begin(), files.end(),
            [](const KitFile& a, const KitFile& b) { return a.path < b.path; });
  return files;
}

std::vector<Job> KitJobs(const std::string& pattern) {
  std::vector<Job> jobs;
  std::vector<std::string> seen;
  for (const KitImageGroup& group : KitImageGroups())
    for (const KitImage& image : group.images) {
      if (std::find(seen.begin(), seen.end(), image.path) != seen.end()) continue;
      seen.push_back(image.path);
      if (!KitPatternMatches(pattern, image.path, group.name)) continue;
      const int stage = StageOfPath(image.path) ? StageOfPath(image.path) : group.stage;
      const KitImage* row = &image;
      jobs.push_back(
          {image.path, image.cellWidth * image.cellHeight * image.columns * image.rows * 1e-6,
           [row, stage] {
             return EncodeImage(row->path, PaintKitImage(*row, stage), PaintSurface(row->paint));
           }});
    }
  for (const KitSound& sound : KitSounds()) {
    if (!KitPatternMatches(pattern, sound.path,
                           sound.kind == SoundKind::Music ? "music" : "sounds"))
      continue;
    const KitSound* s = &sound;
    if (sound.kind == SoundKind::Effect)
      jobs.push_back(
          {sound.path, 0.05, [s] { return EncodeWav(SynthesizeKitEffect(*s), kEffectRate); }});
    else
      jobs.push_back({sound.path, MusicTrack(sound.id).frames / 1e5, [s] {
                        return EncodeVorbis(ComposeMusic(s->id), 2, kMusicRate,
                                            0x4B454C00u + static_cast<uint32_t>(s->id));
                      }});
  }
  // A stage's own maps, the test stage's where it has none.
  for (int stage = 1; stage <= 7; ++stage)
    for (const KitMapFile& map : StageMapFiles(stage)) {
      if (!KitPatternMatches(pattern, map.path, ("stage" + std::to_string(stage)).c_str()))
        continue;
      const char* description = map.description;
      jobs.push_back({map.path, 0.01, [description] { return BuildFmfMap(description); }});
    }
  if (KitPatternMatches(pattern, "data/ed.txt", "texts"))
    jobs.push_back({"data/ed.txt", 0, [] { return EndingText(); }});
  if (KitPatternMatches(pattern, "data/mihon.rpy", "texts"))
    jobs.push_back({"data/mihon.rpy", 0.1, [] { return DemoReplay(); }});
  return jobs;
}

}  // namespace

bool KitPatternMatches(const std::string& pattern, const std::string& path, const char* group) {
  if (const size_t comma = pattern.find(','); comma != std::string::npos)
    return KitPatternMatches(pattern.substr(0, comma), path, group) ||
           KitPatternMatches(pattern.substr(comma + 1), path, group);
  if (pattern.empty() || pattern == group) return true;
  if (pattern.find_first_of("*?[") != std::string::npos)
    return fnmatch(pattern.c_str(), path.c_str(), 0) == 0;
  return path.find(pattern) != std::string::npos;
}

Canvas PaintKitImage(const KitImage& image, int stage) {
  Canvas sheet(image.cellWidth * image.columns, image.cellHeight * image.rows);
  bool whole = false;
  const PainterFunction paint = image.painter ? image.painter : PainterFor(image.paint, &whole);
  PaintCell cell{-1, image.count, image.variant, stage, PathSeed(image.path), image.path};
  if (whole || (image.columns == 1 && image.rows == 1 && image.count == 1)) {
    cell.frame = whole ? -1 : 0;
    paint(sheet, cell);
    if (PaintSurface(image.paint) == Surface::Sprite) ClearBorder(sheet);
    return sheet;
  }
  for (int r = 0; r < image.rows; ++r)
    for (int c = 0; c < image.columns; ++c) {
      Canvas one(image.cellWidth, image.cellHeight);
      cell.frame = r * image.columns + c;
      paint(one, cell);
      // Sprites keep a clear ring round every cell, so nothing bleeds into a neighbour.
      if (PaintSurface(image.paint) == Surface::Sprite) ClearBorder(one);
      Composite(sheet, one, c * image.cellWidth, r * image.cellHeight);
    }
  return sheet;
}

std::vector<int16_t> SynthesizeKitEffect(const KitSound& sound) {
  return sound.recipe ? sound.recipe() : SynthesizeEffect(sound.id);
}

std::vector<std::string> KitFilePaths(const std::string& pattern) {
  std::vector<std::string> paths;
  for (const Job& job : KitJobs(pattern)) paths.push_back(job.path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<KitFile> BuildKitFiles(const std::string& pattern, int threads) {
  return RunJobs(KitJobs(pattern), threads);
}

std::vector<uint8_t> BuildKitArchive(const std::vector<KitFile>& files) {
  // 2024-01-01 00:00:00 as a file time: the same archive bytes on every run.
  const uint64_t fixedTime = 133485408000000000ull;
  std::vector<ArchiveWriterEntry> entries;
  for (const KitFile& f : files) {
    ArchiveWriterEntry e;
    e.path = f.path.substr(f.path.find('/') + 1);
    e.data = f.bytes;
    e.creationTime = e.lastAccessTime = e.lastWriteTime = fixedTime;
    entries.push_back(std::move(e));
  }
  return BuildArchiveImage(entries);
}

std::vector<KitFile> BuildContactSheets(const std::string& pattern, int threads) {
  std::vector<Job> jobs;
  for (const KitImageGroup& group : KitImageGroups()) {
    if (!pattern.empty() && pattern != group.name) continue;
    const KitImageGroup* g = &group;
    jobs.push_back(
        {std::string("contact/") + group.name + ".png", 1.0, [g] {
           // Each picture shrunk to fit a tile (never enlarged beyond 2x), on a grey ground with
           // its file name and grid below it.
           const int sheetW = 1800, tile = 260, label = 22, pad = 10;
           struct Placed {
             const KitImage* image;
             Canvas canvas;
             int x, y, w, h;
           };
           std::vector<Placed> placed;
           int x = pad, y = pad, rowH = 0;
           for (const KitImage& image : g->images) {
             Canvas art =
                 PaintKitImage(image, StageOfPath(image.path) ? StageOfPath(image.path) : g->stage);
             const float scale =
                 std::min({2.0f, tile * 2.0f / art.w, static_cast<float>(tile) / art.h});
             const int w = std::max(8, static_cast<int>(art.w * scale)),
                       h = std::max(8, static_cast<int>(art.h * scale));
             const int boxW = std::max(w, 200);
             if (x + boxW > sheetW - pad) x = pad, y += rowH + label + pad, rowH = 0;
             placed.push_back({&image, std::move(art), x, y, w, h});
             x += boxW + pad;
             rowH = std::max(rowH, h);
           }
           Canvas sheet(sheetW, y + rowH + label + pad);
           for (int yy = 0; yy < sheet.h; ++yy)
             for (int xx = 0; xx < sheet.w; ++xx)
               BlendOver(sheet, xx, yy, ((xx / 16 + yy / 16) % 2) ? Hex(0x3A3D44) : Hex(0x34373E),
                         1);
           for (const Placed& pl : placed) {
             const Surface surface = PaintSurface(pl.image->paint);
             for (int yy = 0; yy < pl.h; ++yy)
               for (int xx = 0; xx < pl.w; ++xx) {
                 const int sx = xx * pl.canvas.w / pl.w, sy = yy * pl.canvas.h / pl.h;
                 uint8_t rgba[4];
                 ResolvePixel(pl.canvas.At(sx, sy), surface, IsBmpPath(pl.image->path), rgba);
                 BlendOver(sheet, pl.x + xx, pl.y + yy,
                           {rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f},
                           rgba[3] / 255.0f);
               }
             // Cell grid lines, faint.
             for (int c = 1; c < pl.image->columns; ++c)
               for (int yy = 0; yy < pl.h; ++yy)
                 BlendOver(sheet, pl.x + c * pl.w / pl.image->columns, pl.y + yy, Hex(0x808890),
                           0.35f);
             for (int r = 1; r < pl.image->rows; ++r)
               for (int xx = 0; xx < pl.w; ++xx)
                 BlendOver(sheet, pl.x + xx, pl.y + r * pl.h / pl.image->rows, Hex(0x808890),
                           0.35f);
             std::string name = pl.image->path;
             name = name.substr(name.find('/', 5) + 1);
             for (char& ch : name)
               if (ch == '_') ch = '-';
             DrawStrokeText(sheet, name.c_str(), static_cast<float>(pl.x),
                            static_cast<float>(pl.y + pl.h + 5), 9, 1.3f, Hex(0xE8ECF2),
                            Hex(0x101216));
           }
           return EncodePng(sheet, Surface::Opaque);
         }});
  }
  return RunJobs(std::move(jobs), threads);
}

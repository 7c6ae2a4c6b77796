#include "stg_src/shell/assets/image_loads.h"

#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "stg_src/game/file_reports.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr const char* kGoesOnWithout = "the game goes on without this picture";

bool Inside(ImageEntries table, int first, int count) {
  return first >= 0 && count >= 1 && static_cast<size_t>(first) + count <= table.size();
}

}  // namespace

bool ImageLoadFits(const ImageLoad& row) {
  if (row.count == 0) return Inside(row.table, row.first, 1);
  return row.count <= kMaxImageCells && row.count <= row.columns * row.rows &&
         Inside(row.table, row.first, row.count);
}

bool SubImageCutFits(const SubImageCut& cut) {
  return Inside(cut.table, cut.entry, 1) && Inside(cut.table, cut.source, 1);
}

bool EntryValueFits(const EntryValue& value) {
  return Inside(value.table, value.first, value.count);
}

void LoadImage(const ImageLoad& row) {
  if (!ImageLoadFits(row)) return;
  if (row.count == 0) {
    row.table[row.first] = LoadGraphFromFile(row.file, 0);
    if (row.table[row.first] == -1) ReportUnreadableFile(row.file, kGoesOnWithout);
    return;
  }
  // Cut into a buffer of our own: a failed cut leaves nothing that could pass for a handle.
  int cells[kMaxImageCells];
  const bool loaded = LoadGraphCellsFromFile(row.file, row.count, row.columns, row.rows,
                                             row.cellWidth, row.cellHeight, cells, 0) == 0;
  for (int i = 0; i < row.count; ++i) row.table[row.first + i] = loaded ? cells[i] : 0;
  if (!loaded) ReportUnreadableFile(row.file, kGoesOnWithout);
}

void LoadImageList(const ImageList& list) {
  for (const ImageLoad& row : list.loads) LoadImage(row);
  for (const SubImageCut& cut : list.cuts) {
    if (!SubImageCutFits(cut)) continue;
    cut.table[cut.entry] =
        CreateSubGraph(cut.x, cut.y, cut.width, cut.height, cut.table[cut.source]);
  }
  for (const EntryValue& value : list.values) {
    if (!EntryValueFits(value)) continue;
    for (int i = 0; i < value.count; ++i) value.table[value.first + i] = value.value;
  }
}

void ReleaseImages(ImageEntries entries) {
  for (int32_t& entry : entries) {
    if (entry != 0) DeleteGraphHandle(entry);
    entry = 0;
  }
}

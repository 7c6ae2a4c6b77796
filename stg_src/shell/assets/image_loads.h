// The asset lists' rows and the one loader that walks them: an image file into table entries,
// whole or cut into a grid of equal cells; a sub-image cut from an entry already loaded; a fixed
// value written into entries that hold no file. And the release that deletes and zeroes entries.
#pragma once

#include <cstdint>
#include <span>
#include <type_traits>

// A table's entries as the rows address them: one type's frames of a two- or three-level table,
// or the whole of a flat one.
using ImageEntries = std::span<int32_t>;

// A single handle as a table of one entry.
constexpr ImageEntries OneEntry(int32_t& entry) { return ImageEntries(&entry, 1); }

struct ImageLoad {
  const char* file;
  ImageEntries table;
  int first;  // entry of table that the first cell (or the whole file) goes to
  int count;  // cells taken, row by row from the top-left; 0 loads the whole file
  int cellWidth, cellHeight;
  int columns, rows;
};

constexpr ImageLoad Whole(const char* file, ImageEntries table, int entry) {
  return {file, table, entry, 0, 0, 0, 0, 0};
}
constexpr ImageLoad Cells(const char* file, ImageEntries table, int first, int count, int width,
                          int height, int columns, int rows) {
  return {file, table, first, count, width, height, columns, rows};
}

// A view of (x, y, width, height) of the table's source entry, as its own handle.
struct SubImageCut {
  ImageEntries table;
  int entry;
  int source;
  int x, y, width, height;
};

// Entries that the drawing reads although no file fills them.
struct EntryValue {
  ImageEntries table;
  int first, count;
  int32_t value;
};

struct ImageList {
  std::span<const ImageLoad> loads;
  std::span<const SubImageCut> cuts = {};
  std::span<const EntryValue> values = {};
};

// The most cells one load takes (a main chip sheet).
constexpr int kMaxImageCells = 256;

// True when the row's entries lie inside its table.
bool ImageLoadFits(const ImageLoad& row);
bool SubImageCutFits(const SubImageCut& cut);
bool EntryValueFits(const EntryValue& value);

// A whole file stores the handle, or -1 when it cannot be loaded; cells store their handles, or
// 0 in every entry when the file cannot be loaded or cut. No result is looked at: the next row
// loads all the same. A row that does not fit its table loads nothing.
void LoadImage(const ImageLoad& row);
// The loads in order, then the cuts, then the values.
void LoadImageList(const ImageList& list);

// Deletes the graph of every entry and sets it to 0.
void ReleaseImages(ImageEntries entries);
// Every entry of a table of types x frames (or types x bands x frames).
template <typename Row, size_t N>
requires(!std::is_arithmetic_v<Row>) void ReleaseImages(Row (&table)[N]) {
  for (Row& row : table) ReleaseImages(row);
}
// Types first..last of a table of types x frames.
template <size_t Types, size_t Frames>
void ReleaseImageTypes(int32_t (&table)[Types][Frames], int first, int last) {
  for (int t = first; t <= last && t < static_cast<int>(Types); ++t) ReleaseImages(table[t]);
}

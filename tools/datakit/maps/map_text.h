// A stage's main map description written out by code, line by line, in the form BuildFmfMap reads
// (tools/lib/fmf_map_writer.h), with the event and marker cells each written at most once.
#pragma once

#include <map>
#include <string>
#include <utility>

// One event cell: its code on layer 3 and, when `variant` is not -1, variant + 1 on layer 4.
struct MapEvent {
  int column, row, code;
  int variant = -1;
  bool hardOnly = false;  // left out of the easy map
};

class MapText {
 public:
  // Opens the description of `stage`'s main map: `columns` x `rows` cells of 40 pixels, five
  // layers (0 and 1 pictures, 2 collision, 3 event codes, 4 event variants + 1).
  MapText(int stage, int columns, int rows);

  void Line(const std::string& line);
  void Rect(int layer, int x, int y, int w, int h, int value);
  // Throws std::logic_error when an event or marker cell (layers 2 and 3) is written twice: one of
  // the two would be lost without a word.
  void Cell(int layer, int x, int y, int value);
  void Put(const MapEvent& event);
  // An event that would share a cell with another goes to the next free cell above (row 1 at the
  // highest).
  void PutNudged(MapEvent event);

  const std::string& text() const { return text_; }

 private:
  int stage_;
  std::string text_;
  std::map<std::pair<int, int>, int> taken_[2];  // layers 2 and 3
};

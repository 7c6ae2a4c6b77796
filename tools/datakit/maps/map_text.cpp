#include "tools/datakit/maps/map_text.h"

#include <stdexcept>

MapText::MapText(int stage, int columns, int rows) : stage_(stage) {
  const std::string size = std::to_string(columns) + " x " + std::to_string(rows);
  text_ += "# Stage " + std::to_string(stage) + " main map: " + size +
           " cells of 40 pixels; layers 0 and 1 pictures, 2 collision,\n";
  text_ += "# 3 event codes, 4 event variants + 1.\n";
  Line("size " + std::to_string(columns) + " " + std::to_string(rows));
  Line("layers 5");
}

void MapText::Line(const std::string& line) { text_ += line + "\n"; }

void MapText::Rect(int layer, int x, int y, int w, int h, int value) {
  Line("rect " + std::to_string(layer) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
       std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(value));
}

void MapText::Cell(int layer, int x, int y, int value) {
  if ((layer == 2 || layer == 3) &&
      !taken_[layer - 2].emplace(std::make_pair(x, y), value).second) {
    throw std::logic_error("stage " + std::to_string(stage_) + " map: layer " +
                           std::to_string(layer) + " cell (" + std::to_string(x) + ", " +
                           std::to_string(y) + ") written twice");
  }
  Line("cell " + std::to_string(layer) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
       std::to_string(value));
}

void MapText::Put(const MapEvent& event) {
  Cell(3, event.column, event.row, event.code);
  if (event.variant >= 0) Cell(4, event.column, event.row, event.variant + 1);
}

void MapText::PutNudged(MapEvent event) {
  while (taken_[1].count({event.column, event.row}) && event.row > 1) --event.row;
  Put(event);
}

#include "tests/support/graph_sheets.h"

#include <vector>

ByteString MakePngSheet(int width, int height, const SheetPixel& pixel) {
  PngFileLayout layout;
  layout.width = width;
  layout.height = height;
  layout.colourType = 6;
  std::vector<ByteString> rows;
  for (int y = 0; y < height; ++y) {
    ByteString row;
    for (int x = 0; x < width; ++x) {
      const uint32_t c = pixel(x, y);
      row.push_back(static_cast<uint8_t>(c >> 16));
      row.push_back(static_cast<uint8_t>(c >> 8));
      row.push_back(static_cast<uint8_t>(c));
      row.push_back(static_cast<uint8_t>(c >> 24));
    }
    rows.push_back(row);
  }
  return MakePngFile(layout, rows);
}

ByteString MakeBmpSheet(int width, int height, const SheetPixel& pixel) {
  std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[static_cast<size_t>(y)].push_back(pixel(x, y) & 0xFFFFFF);
  BmpFileLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bitCount = 24;
  return MakeBmpFile(layout, PackDibRows(rows, 24, false));
}

uint32_t SheetColour(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 |
         static_cast<uint32_t>((x * 7 + y * 13) & 0x7F);
}

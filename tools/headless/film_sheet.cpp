#include "tools/headless/film_sheet.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

#include "tools/datakit/image_encode.h"
#include "tools/datakit/painters.h"
#include "tools/lib/image_file_fixtures.h"

namespace {

constexpr int kGap = 4;
constexpr int kLabelHeight = 16;
constexpr int kTitleHeight = 22;
constexpr float kLabelCapHeight = 9;
constexpr float kTitleCapHeight = 12;
const Rgb kGround = Hex(0x202228);
const Rgb kLetters = Hex(0xE8ECF2);
const Rgb kLetterEdge = Hex(0x101216);

// A line of text on the sheet's ground, resolved to RGB rows.
std::vector<uint8_t> LetterStrip(const std::string& text, int width, int height, float capHeight) {
  Canvas strip(width, height);
  FillRect(strip, 0, 0, static_cast<float>(width), static_cast<float>(height), kGround);
  DrawStrokeText(strip, text.c_str(), 4, (height - capHeight) / 2, capHeight, 1.2f, kLetters,
                 kLetterEdge);
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t rgba[4];
      ResolvePixel(strip.At(x, y), Surface::Opaque, false, rgba);
      std::copy_n(rgba, 3, &rgb[(static_cast<size_t>(y) * width + x) * 3]);
    }
  return rgb;
}

// Copies a block of RGB pixels into the sheet's rows at (x, y).
void Place(std::vector<ByteString>& rows, int x, int y, const uint8_t* rgb, int width, int height) {
  for (int row = 0; row < height; ++row)
    std::copy_n(rgb + static_cast<size_t>(row) * width * 3, static_cast<size_t>(width) * 3,
                rows[y + row].begin() + static_cast<ptrdiff_t>(x) * 3);
}

}  // namespace

FilmPicture HalvePicture(const uint32_t* argb, int width, int height) {
  FilmPicture picture;
  picture.width = width / 2;
  picture.height = height / 2;
  picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t* top = argb + static_cast<size_t>(2 * y) * width + 2 * x;
      const uint32_t quad[4] = {top[0], top[1], top[width], top[width + 1]};
      uint8_t* out = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
      for (int c = 0; c < 3; ++c) {
        const int shift = 16 - 8 * c;  // red, green, blue
        int sum = 0;
        for (uint32_t p : quad) sum += (p >> shift) & 0xFF;
        out[c] = static_cast<uint8_t>((sum + 2) / 4);
      }
    }
  return picture;
}

std::vector<uint8_t> EncodeFilmSheet(const std::string& title,
                                     const std::vector<FilmPicture>& pictures) {
  const int cellW = pictures.empty() ? 320 : pictures[0].width;
  const int cellH = pictures.empty() ? 240 : pictures[0].height;
  const int count = static_cast<int>(pictures.size());
  const int sheetRows = (count + kFilmColumns - 1) / kFilmColumns;
  const int width = kFilmColumns * (cellW + kGap) + kGap;
  const int height = kTitleHeight + sheetRows * (cellH + kLabelHeight + kGap) + kGap;

  std::vector<ByteString> rows(height);
  const uint8_t ground[3] = {0x20, 0x22, 0x28};
  for (ByteString& row : rows) {
    row.resize(static_cast<size_t>(width) * 3);
    for (size_t i = 0; i < row.size(); ++i) row[i] = ground[i % 3];
  }
  const std::vector<uint8_t> heading = LetterStrip(title, width, kTitleHeight, kTitleCapHeight);
  Place(rows, 0, 0, heading.data(), width, kTitleHeight);
  for (int i = 0; i < count; ++i) {
    const FilmPicture& p = pictures[i];
    if (p.width != cellW || p.height != cellH ||
        p.rgb.size() != static_cast<size_t>(cellW) * cellH * 3)
      throw std::runtime_error("the film's pictures differ in size");
    const int x = kGap + (i % kFilmColumns) * (cellW + kGap);
    const int y = kTitleHeight + (i / kFilmColumns) * (cellH + kLabelHeight + kGap);
    Place(rows, x, y, p.rgb.data(), cellW, cellH);
    const std::vector<uint8_t> label = LetterStrip(p.label, cellW, kLabelHeight, kLabelCapHeight);
    Place(rows, x, y + cellH, label.data(), cellW, kLabelHeight);
  }

  PngFileLayout layout;
  layout.width = width;
  layout.height = height;
  layout.colourType = 2;
  return MakePngFile(layout, rows);
}

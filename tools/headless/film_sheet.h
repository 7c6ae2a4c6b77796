// The film strip's contact sheet: screens halved, four to a row under a title line, each with
// its label below it, in the kit's stroke lettering, encoded as an RGB PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kFilmColumns = 4;

struct FilmPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // width x height pixels, 3 bytes each
  std::string label;
};

// width x height ARGB pixels halved by averaging each 2 x 2 block (odd last rows and columns
// dropped).
FilmPicture HalvePicture(const uint32_t* argb, int width, int height);
// The sheet of the pictures (all of the first one's size). Throws std::runtime_error when the
// PNG cannot be made.
std::vector<uint8_t> EncodeFilmSheet(const std::string& title,
                                     const std::vector<FilmPicture>& pictures);

// Flat-colour stand-ins for the images the front-end scenes draw, at the sizes the loaders cut
// them to: every cell of every file a colour of its own (FixtureColour), so that a probed pixel
// names the image and the cell. Some keep most of each cell clear, as the real pictures do
// around what they show: see FixtureLook. And the window's picture read back after a frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

enum class FixtureLook {
  Flat,     // the cell filled with its colour
  Corner,   // clear (key colour or alpha 0) but for a 16 x 16 block at the cell's top-left
  Ring,     // clear but for a 4-pixel border
  OnBlack,  // black (nothing, drawn additively) but for the middle 8 rows, full width
};

// 0xRRGGBB of the cell, each channel in 24..119, so that two added stay below 255.
uint32_t FixtureColour(const std::string& file, int cell);

// Writes the stand-ins of the logo, title, intro, menu, weapon-select, stage-clear and ending
// images, the ship, its jets and shots, the font (its blank glyph clear) and the icons.
void WriteSceneFixtures(const TempFolder& folder);

// The 640 x 480 picture the window shows, 0xRRGGBB.
struct ShownFrame {
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[y * 640 + x] & 0xFFFFFF; }
  uint64_t Hash() const;
  // Writes it as a PNG file; the path.
  std::string SavePng(const std::string& name) const;
};
ShownFrame ReadShownFrame();

// Channel arithmetic on 0xRRGGBB colours.
uint32_t AddColours(uint32_t a, uint32_t b);
uint32_t ScaleColour(uint32_t c, int numerator, int denominator);
// Each channel within `tolerance`.
bool ColoursNear(uint32_t a, uint32_t b, int tolerance);

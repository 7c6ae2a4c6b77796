// Fixtures and checks for the asset loader tests: flat-colour image sheets at a load's grid and
// short WAV effects written into the game's folder, and checks that table entries hold live
// graphs of a size.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tests/support/temp_folder.h"

// A BMP (for ".bmp") or PNG (for ".png", any case) of columns x rows cells of the cell size, all
// one opaque colour, with its folders made.
void WriteImageSheet(const TempFolder& folder, const std::string& path, int cellWidth,
                     int cellHeight, int columns = 1, int rows = 1);
// Sheets for a few files of every loader at their grids (the ship, jets, font, effects 5 and 16,
// player shots, the scene sets, common enemies, stages 1, 3 and 6 with their chips and legs);
// the other files of the lists are missing.
void WriteRepresentativeSheets(const TempFolder& folder);
// A 16-bit mono PCM WAV of 50 ms.
void WriteEffectSound(const TempFolder& folder, const std::string& path);

// Every entry a live graph of width x height, no two the same.
void ExpectGraphs(std::span<const int32_t> entries, int width, int height,
                  const std::string& label);
// Every entry without a live graph (0 or a failed load's -1).
void ExpectNoGraphs(std::span<const int32_t> entries, const std::string& label);

// A sound handle that the sound layer knows.
bool IsLiveSound(int handle);

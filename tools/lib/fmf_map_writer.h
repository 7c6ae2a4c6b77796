// FMF map writer for fixtures, tools/make_fmf_map and the data kit: turns a small text
// description into the bytes of an FMF file, encoding each layer's values by its chip sheet's
// width, and on request writes a damaged file. It is written apart from the game's reader, so
// the two check each other.
//
// The description, one statement a line ('#' starts a comment line outside grids):
//   size W H               the map in cells (first)
//   layers N               the layer count (before any content)
//   bits 8|16              bits a cell (default 16)
//   chip W H               chip size in pixels (default 40 40)
//   palette L COLUMNS      columns of layer L's chip sheet (default 16)
//   legend C L=V [L=V ...] grid character C writes V into each layer L named
//   grid X Y               the lines up to "end" are rows from cell (X, Y) on; ' ' and '.' leave
//                          their cell unless they have a legend, any other character needs one
//   rect L X Y W H V       a rectangle of layer L
//   cell L X Y V           one cell
//   damage WHAT [N]        the file lies: "magic TEXT", "size N", "width N", "height N",
//                          "layers N", "bits N", "chipw N", "chiph N" set the header field;
//                          "cut N" ends the file after N bytes; "extend N" adds N bytes of 0
// A value V is a logical number n, written as (n / columns) x 256 + n % columns; "-" is empty
// (0xFFFF, or 0xFF at 8 bits); "raw:N" (decimal or 0x hex) is written as it stands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file's bytes. Throws std::invalid_argument naming the line for a description that cannot
// be written (unknown statement, cell outside the map, value that does not fit its cell, ...).
std::vector<uint8_t> BuildFmfMap(const std::string& description);

// Writes the bytes to a host path; throws std::runtime_error when it cannot.
void WriteFmfMapFile(const std::string& path, const std::vector<uint8_t>& bytes);

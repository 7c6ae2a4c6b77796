// Checks of graph loading that both paths run alike (the software graph tests and the device
// tests call them with their own way of reading a graph's pixels): a sheet cut into cells from
// a PNG or a BMP file, plain and mirrored, a table of image files that cannot be loaded, and the
// fuzz smoke test of graphs made from files in memory.
#pragma once

#include <cstdint>
#include <functional>

// A graph's pixel (x, y) as 0xAARRGGBB (alpha 255 for graphs without alpha).
using GraphPixelReader = std::function<uint32_t(int graph, int x, int y)>;

// A 4 x 2 sheet of 8 x 6 cells (SheetColour) as PNG and as BMP, loaded with a total of 6, plain
// and mirrored: six cells, the first row's four then two, each holding its part of the file
// (turned around and taken from the right for a mirrored load), each recording the file and
// whether it was mirrored. The whole sheet through LoadGraphFromFile likewise. Leaves no graph.
void CheckSheetCells(const GraphPixelReader& pixel);

// Image files that cannot be loaded, through LoadGraphFromFile, LoadGraphCellsFromFile and
// CreateGraphFromMemory: each gives -1 and its log line (the file loaders' lines not from memory),
// and leaves the graph count, the tracked blocks, the port's open handles and its live Direct3D
// objects as they were. onDevice adds a 100 x 100 DXT1 file, which no texture of its kind can take
// whole.
void CheckFailingImageFiles(bool onDevice);

// Fuzz smoke test: `cases` mutated image files of every format (a mutated alpha image beside a
// quarter of them, mirrored or not), fixed seed, made into graphs by CreateGraphFromMemory and
// written over one graph by ReplaceGraphFromMemory. Each gives -1 or a live graph, which is
// deleted again; the graph count and the port's live Direct3D objects end as they started.
// Returns how many became graphs.
int RunGraphFromMemorySmoke(int cases, uint32_t seed);

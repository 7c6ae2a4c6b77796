// Making graphs from pictures: an image file into a graph, a file cut into equal cells, a
// GraphImage or an image file in memory into a graph, blank graphs, and the pixels of existing
// graphs replaced from memory or from pictures. A graph loaded from a file records the file
// (and whether it was mirrored), so that it can be reloaded after a device loss.
#pragma once

#include "runtime/graphics/image/graph_image.h"

// The image file as a new graph: LoadGraphFileWithOptions(fileName, flag == 0, 0).
int LoadGraphFromFile(const char* fileName, int flag);
// The image file as a new graph, mirrored left to right first when mirrorFlag is 1. The handle,
// or -1 before the graphics start, or, with its log line, for a missing file ("グラフィック
// ファイル %s がありません") or one that cannot be made a graph ("右記のグラフィックファイル
// のロードに失敗しました：%s "). transparencyFlag does not change how the graph is stored.
int LoadGraphFileWithOptions(const char* fileName, int transparencyFlag, int mirrorFlag);

// The file cut into cells: LoadDivGraphFile(..., flag == 0, 0).
int LoadGraphCellsFromFile(const char* fileName, int total, int columns, int rows, int cellWidth,
                           int cellHeight, int* handles, int flag);
// The file cut into cells of cellWidth x cellHeight, row by row from the top-left, the first
// `total` of them written to handles. Each cell records the file. 0, or -1 (logged) when the
// file cannot be read or cut; handles then holds no live graph.
int LoadDivGraphFile(const char* fileName, int total, int columns, int rows, int cellWidth,
                     int cellHeight, int* handles, int transparencyFlag, int mirrorFlag);

// The picture (with alphaImage, of its size, or null) cut into cells: row r at y = r x
// cellHeight, its columns from x = 0 stepping right, or with mirrorFlag 1 from cellWidth x
// (columns - 1) stepping left; the first `total` cells go to handles and share one storage.
// 0, or -1 with nothing made: for a null picture or handles, total below 1 or above
// columns x rows, a picture that cannot be a graph, or a cell outside the picture (logged).
int CreateDivGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int total, int columns,
                                 int rows, int cellWidth, int cellHeight, int* handles,
                                 int transparencyFlag, int mirrorFlag, int reserved);
// The whole picture as a new graph; mirrored for the transfer (and back) when mirrorFlag and
// mirrorNow are both 1. The handle, or -1 when no graph could be made or the picture could not
// be written into it (the graph is then deleted).
int MakeGraphFromGraphImage(GraphImage* image, GraphImage* alphaImage, int transparencyFlag,
                            int mirrorFlag, int mirrorNow);
// A new graph of width x height with nothing written, with an alpha channel when
// SetBlankGraphAlphaOption asked for one. The handle, or -1 before the graphics start, for a
// size below 1, or when the storage cannot be made.
int CreateBlankGraph(int width, int height);

// An image file held in memory (with an alpha image file in memory, or null) as a new graph,
// mirrored first when mirrorFlag is 1. The handle, or -1 when it cannot be read or made.
int CreateGraphFromMemory(const void* imageData, int imageSize, const void* alphaData,
                          int alphaSize, int transparencyFlag, int mirrorFlag);
// The same pictures written over an existing graph of their size. 0 or -1.
int ReplaceGraphFromMemory(const void* imageData, int imageSize, int handle, const void* alphaData,
                           int alphaSize, int ignored, int mirrorFlag);
// The picture, of the graph's size, written over the graph. 0 or -1.
int ReplaceGraphFromImage(const GraphImage* image, int handle);
// The picture and alpha image (each of the graph's size, the alpha image may be null) written
// over the graph; mirrored for the transfer (and back) when both mirror flags are 1. 0 or -1.
int ReplaceGraphFromImageMirrored(GraphImage* image, GraphImage* alphaImage, int handle,
                                  int ignored, int mirrorFlag, int mirrorFlag2);

// The 8 x 8 opaque white graph that untextured draws in the modulate-4x blend modes sample (the
// device layer asks for it through its graph hooks). The handle or -1.
int CreateWhiteTextureGraph();

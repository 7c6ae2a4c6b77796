// Graph handles and the record behind each (GraphEntry): a graph is an image that can be drawn
// and sometimes drawn into, viewing a rectangle of a texture set that graphs cut from one image
// share. Also sub graphs, the shared record of the file a graph came from, and deletion.
#pragma once

#include <cstdint>

#include "runtime/graphics/graph/graph_storage.h"
#include "runtime/platform/core/handle_table.h"
#include "runtime/softrender/memimg.h"

// Screen codes that stand where a graph handle can: no handles.
constexpr int kBackBufferTarget = -2;
constexpr int kFrontBufferTarget = -4;

// The file a graph was loaded from, for reloading after a device loss; shared by reference
// count between the graphs of one file.
struct GraphSourceFile {
  int32_t refCount;
  int32_t mirrored;  // the picture was mirrored left to right when it was loaded
  char* path;        // the full path, NUL-terminated, in the same block
};

struct GraphEntry {
  int32_t checkNumber;
  int32_t handle;
  int* lostFlag;  // set to 1 when the graph is deleted
  GraphTextureSet* textureSet;
  int32_t movieHandle;  // -1 none
  GraphSourceFile* sourceFile;
  int32_t sourceX, sourceY;  // where the graph's pixels lie in its source picture
  int32_t loadOption;        // passed back to the image reader on a reload
  int32_t x, y;              // top-left inside the texture set's image
  int32_t width, height;
  void* ownedBuffers[2];  // freed on delete
  // Draw info, made by BuildGraphDrawInfo: the software path's view of the set's image, or the
  // hardware path's covered tiles.
  MEMIMG image;
  int32_t tileDrawCount;
  GraphTileDraw* tileDraws;
};

extern HandleTable GraphHandles;

// A new graph record (zeroed, movie handle -1). A full table or a record that cannot be had
// ends the program.
int AllocGraphHandle();
// Points the device layer's graph services (DeviceGraphHooks) at the graphs. AllocGraphHandle
// does it with the first graph: while there is none, the device layer's answers for "no graph"
// are right.
void InstallGraphDeviceHooks();
// The record of a live graph handle, or null.
GraphEntry* GetGraphEntry(int handle);
int IsGraphHandleValid(int handle);

// The size of a graph, or of the screen for the screen codes -2 to -5; null outputs are skipped. 0,
// or -1 for an invalid handle.
int GetGraphDimensions(int handle, int* width, int* height);
// A new graph viewing (x, y, width, height) of source, cut at its right and bottom edges and
// sharing its storage and source file. -1 for a bad source, a corner outside it or a size
// of 0 or less; 0 while drawing is suppressed.
int CreateSubGraph(int x, int y, int width, int height, int source);
// Frees the graph, and its storage with the last graph that shares it. 0 or -1.
int DeleteGraphHandle(int handle);

// Drops the graph's source-file record, then records fileName's full path, shares the record of
// graph shareFrom, or (null name, shareFrom -1) leaves none. 0 or -1.
int SetGraphSourceFile(int handle, const char* fileName, int shareFrom);
// Marks the graph's source file as loaded mirrored (1) or as stored (0), so that a reload
// mirrors it again. 0, or -1 for a graph without a source file.
int SetGraphSourceMirror(int handle, int mirrored);
// The full path the graph was loaded from, or null.
const char* GetGraphSourcePath(int handle);
// Keeps flag (may be null) and sets *flag to 0 now; DeleteGraphHandle sets it to 1. 0 or -1.
int SetGraphLostFlag(int handle, int* flag);

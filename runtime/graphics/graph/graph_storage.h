// The storage behind graphs: the shared texture set (power-of-two texture tiles on the hardware
// path, one memory image on the software path), each graph's list of the tiles it covers, and
// the creation, draw-info and release steps that make and free them.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/softrender/memimg.h"

// How a texture set was made, fixed at creation (11 bytes, in this order).
struct GraphCreationRecord {
  uint8_t TextureBacked;      // hardware storage
  uint8_t HasAlpha;           // an alpha channel
  uint8_t DrawTargetCapable;  // can be drawn into: render-target textures, or any software graph
  uint8_t SoftwareImage;      // 1 on the software path
  uint8_t SystemMemoryCopy;   // default-pool textures with a system-memory staging copy
  uint8_t DxtKind;            // 0 none, 1..5 DXT1..DXT5
  uint8_t MipLevels;
  uint8_t AlphaTest;  // a transparent colour tested by alpha
  uint8_t BitDepth;   // 16 or 32
  uint8_t BlendImage;
  uint8_t Paletted;
};
static_assert(sizeof(GraphCreationRecord) == 11);

struct GraphTextureTile {
  IDirect3DTexture9* texture;
  IDirect3DTexture9* stagingTexture;  // only with SystemMemoryCopy (and not a draw target)
  IDirect3DSurface9* surface;         // level 0 of texture
  IUnknown* targetObject;             // released with the set of a draw-target graph
  int32_t x, y;                       // place in the set's image
  int32_t usedWidth, usedHeight;      // the image part the tile holds
  int32_t textureWidth, textureHeight;
};

// Texture-set format codes of the software path.
enum SoftwareSetFormat : int32_t {
  SoftwareSet16 = 15,
  SoftwareSet16Alpha = 16,
  SoftwareSet32 = 17,
  SoftwareSet32Alpha = 18,
};

// One tracked block: the header, then tileCount tiles on the hardware path. Shared by every
// graph cut from the same image, by reference count.
struct GraphTextureSet {
  int32_t refCount;
  int32_t formatIndex;  // TextureFormatIndex (hardware), or a SoftwareSetFormat code
  GraphCreationRecord record;
  uint32_t colorKey;  // ColorKey (0x00RRGGBB) at creation
  int32_t width, height;
  int32_t reserved;
  // Hardware path.
  int32_t mipLevels;
  int32_t tileCount;
  GraphTextureTile* tiles;  // tileCount tiles, in the same block after the header
  // Software path.
  MEMIMG image;
  MEMIMG* secondImage;  // a separately allocated image released with the set, when set
};

struct GraphTileVertex {
  float x, y;  // relative to the graph's top-left
  float u, v;  // texel / texture size
};

// One texture tile a graph overlaps, and how the overlap is drawn.
struct GraphTileDraw {
  int32_t dstX, dstY;  // where the covered part begins inside the graph
  int32_t srcX, srcY;  // where it begins inside the tile's texture
  int32_t width, height;
  GraphTileVertex vertices[4];  // top-left, top-right, bottom-left, bottom-right
  // Per vertex, 1 when it lies on or above the graph's diagonal from bottom-left to top-right;
  // the four-corner draw splits the quad by it.
  uint8_t onDiagonal[4];
  GraphTextureTile* tile;
};

// Creates the storage of a new graph (a valid handle with no storage yet) of width x height:
// the creation record from the options and arguments, the tiles and their textures or the
// memory image, and the graph's draw info. mipLevels -1 means 1. Returns 0; on failure the
// line is logged, the handle is deleted and -1 returned.
int CreateGraphStorage(int mipLevels, int handle, int width, int height, int hasAlpha, int paletted,
                       int dxtKind);

// Cuts a length into power-of-two texture sizes (at least 8, at most MaxTextureSize), written
// to sizes when given; returns the count. single keeps it in one texture where it fits.
int SplitTextureLength(int length, int* sizes, int single);

// The TextureFormatIndex a creation record selects: DXT kind first, then draw target, alpha
// channel, alpha test, plain colour; the 16-bit member of each pair when BitDepth is 16.
int GetTextureFormatIndex(const GraphCreationRecord* record);
// The nominal pixel format of texture format indexes 0..13 (DXT indexes carry their kind);
// null for any other index.
const PixelFormat* GetPixelFormatOfTextureIndex(int index);

// Creates the textures of every tile that has none (a set without TextureBacked: 0 at once).
// 0, or -1 with its line; tiles made before a failure stay with the set.
int CreateGraphTextures(GraphTextureSet* set);
// Rebuilds the graph's draw info from its place in its set: a view of the set's memory image,
// or the list of covered tiles. 0, or -1 with its line and the graph unchanged.
int BuildGraphDrawInfo(int handle);

// Releases the Direct3D objects of a texture-backed set's tiles (clearing each pointer).
void ReleaseGraphTextures(GraphTextureSet* set);
// Releases what only draw-target sets hold: each tile's target object, or the second image.
void ReleaseGraphTargetObjects(GraphTextureSet* set);

// After pixels of a view were written other than by a transfer: the body's skip table and
// premultiplied copy no longer describe them. They are rebuilt when the view is the whole image,
// else dropped (draws then take the per-pixel path).
void NoteMemImgWritten(MEMIMG* view);

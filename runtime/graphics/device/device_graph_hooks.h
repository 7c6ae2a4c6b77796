// What the device layer asks of the graph layer, which is built on top of it (and of the 3-D
// models beside it): one pointer per service, installed by those layers. A null pointer answers
// as if no graph or model existed, so the device layer runs on its own.
#pragma once

#include "port/win32.h"

struct MEMIMG;

// What a graph offers as a blend image.
struct BlendGraphSource {
  IDirect3DTexture9* texture;  // its first texture; null when the storage is not texture-backed
  int textureWidth;            // that texture's size
  int textureHeight;
  const MEMIMG* image;  // its memory image on the software path; null when none
  int colorImage;       // 1 when that image holds colour pixels, which no blend draw can read
};

struct DeviceGraphServiceHooks {
  // The texture of the graph's first tile, or null for an invalid handle or a graph without
  // textures (record entries that hold graph handles).
  IDirect3DTexture9* (*graphTexture)(int handle);
  // -1 for an invalid handle; else 0 with the graph's blend-image view filled.
  int (*blendGraphSource)(int handle, BlendGraphSource* out);
  // The width and height of a graph; -1 for an invalid handle (draw targets).
  int (*graphSize)(int handle, int* width, int* height);
  // CreateGraphTextures for every live graph's storage, after a new device. 0.
  int (*recreateGraphTextures)();
  // Makes the 8 x 8 white graph; its handle or -1.
  int (*createWhiteTextureGraph)();
  // Releases the 3-D models' device buffers; the first step of the device's release.
  void (*releaseModelBuffers)();
};

extern DeviceGraphServiceHooks DeviceGraphHooks;

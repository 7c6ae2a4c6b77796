// Graphs on a real device: the device layer sets its device up on a 640 x 480 x 32 window once
// for each suite (this program runs on SDL's offscreen driver, Mesa's llvmpipe). Tests skip
// (saying why) only when no OpenGL context can be made at all.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "port/win32.h"
#include "runtime/platform/core/tracked_heap.h"

class HardwareGraphs : public testing::Test {
 protected:
  static void SetUpTestSuite() { MakeDevice(false); }
  static void TearDownTestSuite();
  // The device through Direct3DCreate9Ex (every texture in the default pool with a staging
  // copy), or through the plain Direct3DCreate9 (managed textures) when plain is set.
  static void MakeDevice(bool plain);
  void SetUp() override;
  void TearDown() override;

  static bool deviceMade_;
  TrackedHeapTotals heapAtStart_ = {};
};

// The same on a device made by Direct3DCreate9.
class ManagedPoolGraphs : public HardwareGraphs {
 protected:
  static void SetUpTestSuite() { MakeDevice(true); }
};

// The texels of a texture level, or of a surface, as A8R8G8B8 (alpha 255 for formats without
// alpha), row by row. Render-target surfaces are read through system memory.
std::vector<uint32_t> ReadTextureLevel(IDirect3DTexture9* texture, int level);
std::vector<uint32_t> ReadSurface(IDirect3DSurface9* surface);
// The raw bytes of a texture level (DXT levels as their blocks).
std::vector<uint8_t> ReadLevelBytes(IDirect3DTexture9* texture, int level);
// The texture that holds what a graph's tile shows to the CPU: the staging copy when there is
// one, else the texture.
IDirect3DTexture9* ReadableTexture(int graph, int tile);

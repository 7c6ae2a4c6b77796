// The graph services the device layer calls through DeviceGraphHooks: a graph's first texture,
// a graph as blend image, a graph's size as draw target, the textures of every graph again
// after a new device, and the white graph of the untextured blend modes.
#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"

namespace {

const GraphTextureTile* FirstTile(const GraphEntry* entry) {
  const GraphTextureSet* set = entry != nullptr ? entry->textureSet : nullptr;
  if (set == nullptr || !set->record.TextureBacked || set->tileCount == 0) return nullptr;
  return &set->tiles[0];
}

IDirect3DTexture9* GraphTexture(int handle) {
  const GraphTextureTile* tile = FirstTile(GetGraphEntry(handle));
  return tile != nullptr ? tile->texture : nullptr;
}

int BlendGraphSourceOf(int handle, BlendGraphSource* out) {
  const GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || entry->textureSet == nullptr) return -1;
  *out = {};
  if (const GraphTextureTile* tile = FirstTile(entry)) {
    out->texture = tile->texture;
    out->textureWidth = tile->textureWidth;
    out->textureHeight = tile->textureHeight;
  } else if (IsMemImgValid(&entry->image)) {
    out->image = &entry->image;
    const int colorType = entry->image.body->colorType;
    out->colorImage = colorType == Rgb565 || colorType == Xrgb8888 ? 1 : 0;
  }
  return 0;
}

int GraphSize(int handle, int* width, int* height) {
  if (GetGraphEntry(handle) == nullptr) return -1;
  return GetGraphDimensions(handle, width, height);
}

int RecreateGraphTextures() {
  for (int slot = 0; slot < GraphHandles.endIndex; ++slot) {
    const GraphEntry* entry = GetGraphEntry(HandleOfSlot(&GraphHandles, slot));
    if (entry != nullptr) CreateGraphTextures(entry->textureSet);
  }
  return 0;
}

}  // namespace

void InstallGraphDeviceHooks() {
  DeviceGraphHooks.graphTexture = &GraphTexture;
  DeviceGraphHooks.blendGraphSource = &BlendGraphSourceOf;
  DeviceGraphHooks.graphSize = &GraphSize;
  DeviceGraphHooks.recreateGraphTextures = &RecreateGraphTextures;
  DeviceGraphHooks.createWhiteTextureGraph = &CreateWhiteTextureGraph;
}

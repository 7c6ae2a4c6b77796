// Bringing the graphics layer up and down: the start on either path, the hardware path's start
// states, the replays that send the cached states to a new device, the shutdown, and the
// helpers kept with this layer (a new graph for a picture, a caller's texture-stage set-up).
#pragma once

#include "runtime/graphics/image/graph_image.h"

struct TextureStageSetup;

// 0 when the graphics layer runs (also when it already ran), -1 when the device set-up failed
// (what was made is released again).
int InitializeGraphics();
// Deletes every graph, buffer, shader, mask and light, releases the device and the software
// screen. 0; after the first call only the font system's end runs again.
int TerminateGraphics();

// The hardware path's start after the device exists: the vertex batch buffers, the sampler
// and fixed render states, the state caches' start values, then the draw states and an open
// scene.
void InitializeHardwareDrawState();
// Send every cached state, or the draw states, to a new device, equal to the cache or not.
void ReapplyAllDeviceStates();
void ReapplyDrawStates();

// A new graph whose storage fits the picture: its size, mip levels, alpha (the picture's or an
// alpha image's), palette and DXT kind. The pixels are not written. The handle, or -1 before
// the graphics start, for a missing picture, an alpha image of another size, or when the
// storage cannot be made.
int CreateGraphForImage(const GraphImage* image, const GraphImage* alphaImage);

// Applies a texture-stage set-up record (its texture fields read as graph handles when
// graphHandles is 1; only textures and coordinate indexes when texturesOnly is 1) and marks
// the blend state and texture for sending again with the next draw. 0.
int ApplyTextureStageSetup(const TextureStageSetup* record, int texturesOnly, int graphHandles);

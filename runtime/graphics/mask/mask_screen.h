// Mask screens: while the mask screen is in use, every draw goes into a screen-sized mask screen
// instead of the draw target, and the wrap around the draw copies its rectangle back to the
// target only where the screen's mask byte is 0. Also the mask handles (type 5) that hold mask
// images.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/core/handle_table.h"
#include "runtime/softrender/memimg.h"

// A mask image; the check number first, as every handle record.
struct MaskHandleRecord {
  int32_t checkNumber;
  uint8_t* bytes;  // tracked block, owned
  int32_t words[4];
  int32_t inUse;
};

extern HandleTable MaskHandles;

struct MaskScreenState {
  int requested;  // set by the mask creation that asks for mask drawing
  int use;        // the caller's setting
  int active;     // use and requested together: the draw calls test it
  int drawDepth;  // nesting of the draw wrap
  // One byte per screen pixel, 0 where drawing reaches the target; pitch = the screen width
  // rounded up to a multiple of 4.
  uint8_t* bytes;
  int pitch;
  // Software path: the mask screen.
  MEMIMG image;
  int imageMade;
  // Hardware path: the textures (the smallest powers of two that hold the screen), the mask
  // screen texture's level 0, and the real target while a wrapped draw runs.
  int textureWidth;
  int textureHeight;
  IDirect3DTexture9* maskImageTexture;  // the mask in its alpha channel, 0 lets drawing through
  IDirect3DTexture9* screenTexture;     // what the wrapped draws go into
  IDirect3DSurface9* screenSurface;
  IDirect3DSurface9* realTarget;
};

extern MaskScreenState MaskScreen;

// -1 for a handle that is not a live mask handle in use; else frees its bytes and the record, 0.
int DeleteMaskHandle(int handle);
// DeleteMaskHandle for every record in use. 0.
int DeleteAllMaskHandles();

// Builds what is missing of the mask screen (the byte buffer, then the memory image or the two
// textures) when requested is not 0. 0; a buffer, image or texture that cannot be made ends the
// program with its line.
int CreateMaskScreen(int requested);
// Frees the byte buffer and releases the memory image and the textures. 0.
int ReleaseMaskScreen();
// After a new device: the mask screen built again as requested, and put back in use when it
// was. 0.
int RecreateMaskScreen();
// Out of use, released, and no longer requested. 0.
int TerminateMaskScreen();

// -1 while there is no mask screen; else the setting is kept, the draw target (software) or
// the device's render target (hardware) follows it, and 0.
int SetUseMaskScreen(int flag);
int GetUseMaskScreen();

// Called by the draw calls around their drawing while the mask screen is active, with the
// rectangle the draw affects; only the outermost of nested calls acts. Begin copies the
// rectangle of the target into the mask screen; End copies it back where the mask lets it.
// 0.
int BeginMaskedDraw(const RECT* rect);
int EndMaskedDraw(const RECT* rect);

// Points the screen layer's mask steps (ScreenHooks) at the mask screen.
void InstallMaskScreenHooks();

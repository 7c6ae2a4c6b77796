// The texture formats chosen at device creation, one per role of a graph's storage, the depth
// format, and the pixel layouts of the Direct3D colour formats.
#pragma once

#include "port/win32.h"

struct PixelFormat;

// Index into TextureFormatTable: the role a graph's textures play.
enum TextureFormatIndex {
  TextureFormatColor16 = 0,           // colour of 16-bit images
  TextureFormatColor32 = 1,           // colour of 32-bit images
  TextureFormatAlpha16 = 2,           // with an alpha channel
  TextureFormatAlpha32 = 3,           //
  TextureFormatAlphaTest16 = 4,       // with a transparent colour (alpha test)
  TextureFormatAlphaTest32 = 5,       //
  TextureFormatDxt1 = 6,              // DXT1 .. DXT5: 6 + kind - 1
  TextureFormatDxt5 = 10,             //
  TextureFormatTarget16 = 11,         // draw targets
  TextureFormatTarget32 = 12,         //
  TextureFormatTargetAlpha = 13,      //
  TextureFormatTargetScreen = 14,     // draw target at the screen's depth
  TextureFormatAlphaTestScreen = 15,  // alpha test at the screen's depth
  TextureFormatCount = 16,
};

// The format of each role; D3DFMT_UNKNOWN (0) for a draw-target role the device cannot serve.
extern D3DFORMAT TextureFormatTable[TextureFormatCount];
// The depth surface's format.
extern D3DFORMAT ZBufferFormat;

// The pixel layout of a Direct3D colour format (R8G8B8, A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5,
// A1R5G5B5, A4R4G4B4, R3G3B2, A8R3G3B2, X4R4G4B4, A2B10G10R10, A8B8G8R8, X8B8G8R8,
// A2R10G10B10), built on first use; null for any other format.
const PixelFormat* GetPixelFormatOfD3DFormat(D3DFORMAT format);

// Fills TextureFormatTable by trying each role's formats against ScreenFormat on the HAL
// device, logging the choice of each; 0, or -1 (logged) when a role without fall-back finds no
// format.
int ChooseTextureFormats();
// ZBufferFormat: the first of D16, D24X8, D32 that matches ScreenFormat; 0, or -1 (logged).
int ChooseZBufferFormat();

// The Direct3D formats the port's device holds, their memory layout as a lock shows it, and
// their conversion to and from 32-bit ARGB (0xAARRGGBB, the byte order B, G, R, A that OpenGL
// takes as GL_BGRA). The device keeps colour in OpenGL textures as 8-bit-per-channel RGBA or
// the matching 16-bit internal formats, and converts at every upload and read-back.
// Port-internal.
#pragma once

#include <cstddef>
#include <cstdint>

#include <GL/glcorearb.h>

#include "port/d3d9/d3d9.h"

enum PortFormatKind {
  kPortFormatColor,
  kPortFormatDxt,
  kPortFormatYuv,
  kPortFormatDepth,
  kPortFormatIndex
};

struct PortFormatInfo {
  D3DFORMAT format;
  PortFormatKind kind;
  int bytesPerPixel;  // colour and packed YUV formats; 1 for YV12's luma plane; 0 for DXT
  int blockBytes;     // DXT: bytes of a 4 x 4 block
  bool hasAlpha;      // an alpha channel that reads back (X formats read alpha 1)
  bool renderTarget;  // can be drawn into
  GLenum glInternal;  // OpenGL internal format of a texture, renderbuffer or render target
  // Colour formats: channel masks; the colour is (value & mask) scaled to 0..255.
  uint32_t alphaMask, redMask, greenMask, blueMask;
};

// Null for a format the device does not hold.
const PortFormatInfo* PortD3DFormatInfo(D3DFORMAT format);

// The pitch a lock reports (DXT: one row of blocks; YV12: the luma plane) and the bytes of the
// whole surface, all planes included.
UINT PortD3DRowPitch(D3DFORMAT format, UINT width);
size_t PortD3DSurfaceBytes(D3DFORMAT format, UINT width, UINT height);

// Converts `rect` of a colour, DXT or YUV surface (`surface` is its first byte, `pitch` as a
// lock reports) to ARGB, `outStride` pixels a row. DXT rectangles may start anywhere: whole
// blocks are decoded and cut. YUV uses the 601 studio-range conversion in 14-bit fixed point.
void PortD3DDecodeToArgb(D3DFORMAT format, const uint8_t* surface, UINT pitch, UINT width,
                         UINT height, const RECT& rect, uint32_t* out, size_t outStride);

// Writes ARGB pixels into `rect` of a 16- or 32-bit colour surface, rounding each channel to
// the nearest value of the format.
void PortD3DEncodeFromArgb(D3DFORMAT format, const uint32_t* in, size_t inStride, const RECT& rect,
                           uint8_t* surface, UINT pitch);

// Decodes one DXT block (8 or 16 bytes) to 16 ARGB pixels, row by row.
void PortD3DDecodeDxtBlock(D3DFORMAT format, const uint8_t* block, uint32_t out[16]);

// One YUV sample to ARGB (alpha 255), with the same fixed-point tables as the movie decoder.
uint32_t PortYuvToArgb(int y, int u, int v);

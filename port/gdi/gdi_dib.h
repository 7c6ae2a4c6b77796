// The port's GDI for DIBs: memory device contexts, DIB sections, and drawing DIB pixels into
// a device context. A memory context draws into the DIB section selected into it; any other
// device context is handed to the device output registered below (the window output).
#pragma once

#include "port/gdi/gdi_bitmap.h"
#include "port/gdi/gdi_dib_convert.h"

// A memory device context, compatible with any device: it starts with no section selected
// (drawing into it then changes nothing). The argument may be null.
HDC WINAPI CreateCompatibleDC(HDC dc);
// Frees a memory context; the section selected into it stays alive. FALSE for an unknown one.
BOOL WINAPI DeleteDC(HDC dc);

// A DIB section: zeroed pixels in the layout the header gives (rows bottom-up for a positive
// height), their address stored in *bits. Accepted: BI_RGB 16, 24 or 32 bits and BI_BITFIELDS
// 16 or 32 bits with DIB_RGB_COLORS; the file-mapping arguments must be null and 0. Null (and
// *bits null) for anything else or when memory runs out.
HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                HANDLE section, DWORD offset);
// Selects a DIB section or a font (port/gdi/gdi_font.h) into a memory context and returns the
// object of that kind selected before (the context's initial stock bitmap or stock font the
// first time). A section lives in one context at a time; a font may be in several. Null for an
// unknown context or object, or a section selected elsewhere.
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
// Frees a DIB section or a font. FALSE for an unknown object or one still selected into a
// context; the stock objects are never freed (TRUE).
BOOL WINAPI DeleteObject(HGDIOBJ object);

// Draws source rows into the device context at (xDest, yDest), width x height pixels from
// (xSrc, ySrc), y counted from the bottom of the DIB. bits holds `lines` stored rows from
// `startScan` on. Returns the number of rows given, 0 on failure.
int WINAPI SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc,
                             int ySrc, UINT startScan, UINT lines, const void* bits,
                             const BITMAPINFO* info, UINT usage);
// The same with stretching by nearest pixel; only SRCCOPY. Returns the number of source rows,
// 0 on failure. Negative sizes (mirroring) are refused.
int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits,
                         const BITMAPINFO* info, UINT usage, DWORD rop);

// How a device context that is not a memory context takes a DIB: the area that owns such
// contexts registers one function; it returns false for a context it does not know. Without
// one, drawing into such a context fails.
typedef bool (*PortDibDeviceOutput)(HDC dc, const PortDibSource* source, int xSrc, int ySrc,
                                    int srcWidth, int srcHeight, int xDst, int yDst, int dstWidth,
                                    int dstHeight);
void PortSetDibDeviceOutput(PortDibDeviceOutput output);

// Test switch: the next count CreateDIBSection calls fail as if memory ran out.
void PortSetDibSectionFailures(int count);
// How many memory contexts, sections and fonts are alive; tests use it to see that nothing
// leaks.
int PortLiveGdiObjectCount();

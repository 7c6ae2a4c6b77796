// How the port's GDI areas share their objects: one lock over memory contexts, DIB sections and
// fonts, the font selected into a memory context, and the font calls the context code makes.
// Port-internal.
#pragma once

#include <mutex>

#include "port/kernel/win32_types.h"

std::mutex& PortGdiObjectLock();

// The font selected into a memory context; null for an unknown context or while it holds the
// stock font. The caller holds the lock.
HGDIOBJ PortSelectedFontLocked(HDC dc);

struct PortFont;
// The font behind a handle, or null when it is not a live font. The caller holds the lock.
PortFont* PortLiveFontLocked(HGDIOBJ object);
// Frees a live font that no context holds. The caller holds the lock.
void PortFreeFontLocked(PortFont* font);
int PortLiveFontCountLocked();

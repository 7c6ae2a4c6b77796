// The records behind the port's fonts: the logical font with its FreeType face and the pixel
// metrics worked out when it was made, and the face files that fontconfig chooses. Shared by
// the font files of port/gdi/ only.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>

#include "port/gdi/gdi_font.h"
#include "port/gdi/gdi_objects.h"

struct PortFont {
  uint32_t magic;
  FT_Face face;  // sized to ppem pixels
  int ppem;      // the em height
  int ascent;    // pixels above and below the baseline; their sum is the cell height
  int descent;
  int maxCharWidth;
  int aveCharWidth;
  int weight;
  bool embolden;  // bold asked of a face without a bold of its own: one pixel thicker
  bool italic;    // slanted by a shear
  bool fixedPitch;
  BYTE charset;
};

// The face file that stands for a logical font's face name, charset and weight.
struct PortFaceFile {
  std::string path;
  int index;
  int weight;  // the face's own, 100 to 900
};

// Finds the face file for a face name in CP932 (null or empty: none); false when not even the
// stand-in face can be found. The caller holds the GDI lock.
bool PortFindFaceFileLocked(const char* face, int charset, int weight, PortFaceFile* out);

#include "runtime/graphics/font/font_text.h"

#include "runtime/platform/core/text_helpers.h"

int ClassifyCharByte(const char* text, int position, int mode) {
  for (int i = 0; text[i] != '\0';) {
    if (IsDoubleByteStart(text + i, mode)) {
      if (text[i + 1] == '\0') break;
      if (position == i) return 1;
      if (position == i + 1) return 2;
      i += 2;
    } else {
      if (position == i) return 0;
      ++i;
    }
  }
  return -1;
}

int ReadGlyphRequest(const char* text, int length, int position, int mode, GlyphRequest* out) {
  const bool pair = position + 1 < length && IsDoubleByteStart(text + position, mode);
  out->First = static_cast<uint8_t>(text[position]);
  out->Second = pair ? static_cast<uint8_t>(text[position + 1]) : 0;
  out->Zero = 0;
  return pair ? 2 : 1;
}

unsigned GlyphOutlineCode(const GlyphRequest& request) {
  return request.Second ? request.First * 256u + request.Second : request.First;
}

int GlyphCodeIndex(const GlyphRequest& request) { return request.First | request.Second << 8; }

bool IsSpaceRequest(const GlyphRequest& request) {
  return (request.First == 0x20 && request.Second == 0) ||
         (request.First == 0x81 && request.Second == 0x40);
}

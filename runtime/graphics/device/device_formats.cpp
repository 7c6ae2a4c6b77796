#include "runtime/graphics/device/device_formats.h"

D3DFORMAT TextureFormatTable[TextureFormatCount] = {};
D3DFORMAT ZBufferFormat = D3DFMT_UNKNOWN;

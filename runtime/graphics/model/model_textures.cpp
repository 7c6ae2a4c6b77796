// The model system's textures: the embedded default images, the grey ramp, the preparation of
// a model's texture images from the kept files, and their restoring after a device loss.
#include <array>
#include <cstring>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/model/model_system.h"
#include "runtime/platform/core/geometry.h"

int DefaultWhiteTexture = -1;
int DefaultToonTexture = -1;
int DefaultGradientTexture = -1;

namespace {

constexpr uint8_t kTgaFooter[26] = {0,   0,   0,   0,   0,   0,   0,   0,   'T', 'R', 'U', 'E', 'V',
                                    'I', 'S', 'I', 'O', 'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};

// A run-length true-colour TGA header: type 10, the size, the bits and the descriptor.
constexpr void PutTgaHeader(uint8_t* out, int width, int height, int bits, int descriptor) {
  for (int i = 0; i < 18; ++i) out[i] = 0;
  out[2] = 10;
  out[12] = static_cast<uint8_t>(width);
  out[13] = static_cast<uint8_t>(width >> 8);
  out[14] = static_cast<uint8_t>(height);
  out[15] = static_cast<uint8_t>(height >> 8);
  out[16] = static_cast<uint8_t>(bits);
  out[17] = static_cast<uint8_t>(descriptor);
}

constexpr void PutFooter(uint8_t* out) {
  for (int i = 0; i < 26; ++i) out[i] = kTgaFooter[i];
}

// 8 x 8, 32 bits, alpha in 8 bits: eight runs of 8 white pixels.
constexpr std::array<uint8_t, kModelWhiteTgaBytes> MakeWhiteTga() {
  std::array<uint8_t, kModelWhiteTgaBytes> t = {};
  PutTgaHeader(t.data(), 8, 8, 32, 0x08);
  uint8_t* p = t.data() + 18;
  for (int run = 0; run < 8; ++run) {
    *p++ = 0x80 | 7;
    for (int i = 0; i < 4; ++i) *p++ = 0xFF;
  }
  PutFooter(p);
  return t;
}

// 256 x 8, 24 bits: each row four runs of 64 pixels, grey 0x00, 0x55, 0xAA and 0xFF.
constexpr std::array<uint8_t, kModelToonTgaBytes> MakeToonTga() {
  std::array<uint8_t, kModelToonTgaBytes> t = {};
  PutTgaHeader(t.data(), 256, 8, 24, 0);
  uint8_t* p = t.data() + 18;
  for (int row = 0; row < 8; ++row)
    for (int run = 0; run < 4; ++run) {
      *p++ = 0x80 | 63;
      for (int i = 0; i < 3; ++i) *p++ = static_cast<uint8_t>(0x55 * run);
    }
  PutFooter(p);
  return t;
}

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}

// The height map's red channel replaced by the normals it gives, wrapping at the right and
// bottom edges.
int MakeNormalMap(GraphImage* image, float strength) {
  const float s = strength < 0.000001f ? 0.000001f : strength;
  GraphImage normals = {};
  if (CreateXrgbGraphImage(image->Width, image->Height, &normals) != 0) return -1;
  auto red = [&](int x, int y) {
    return static_cast<float>((GetGraphImagePixelArgb(image, x, y) >> 16) & 0xFF);
  };
  for (int y = 0; y < image->Height; ++y)
    for (int x = 0; x < image->Width; ++x) {
      const float here = red(x, y);
      const float dx = (red((x + 1) % image->Width, y) - here) / 255;
      const float dy = (red(x, (y + 1) % image->Height) - here) / 255;
      Vector3 n;
      NormalizeVector3(&n, -s * dx, -s * dy, s * s);
      SetGraphImagePixel(&normals, x, y, static_cast<int>((n.x + 1) * 127.5f),
                         static_cast<int>((n.y + 1) * 127.5f), static_cast<int>((n.z + 1) * 127.5f),
                         255);
    }
  FreeGraphImage(image);
  *image = normals;
  return 0;
}

// A side of a texture image: the next power of two, at most half the device's largest side (a
// side the device does not report counts as 256).
int TextureSide(int length, DWORD deviceMax) {
  const int cap = static_cast<int>(deviceMax != 0 ? deviceMax : 256) / 2;
  const int side = PowerOfTwoAtLeast(length);
  return side > cap && cap > 0 ? cap : side;
}

int ScaleToTextureSize(GraphImage* image) {
  const int width = TextureSide(image->Width, DeviceCaps.MaxTextureWidth);
  const int height = TextureSide(image->Height, DeviceCaps.MaxTextureHeight);
  if (width == image->Width && height == image->Height) return 0;
  GraphImage scaled = {};
  if (CreateGraphImageLike(width, height, image, &scaled) != 0) return -1;
  if (ScaleGraphImageRect(0, 0, image->Width, image->Height, image, 0, 0, width, height, &scaled,
                          1) != 0) {
    FreeGraphImage(&scaled);
    return -1;
  }
  FreeGraphImage(image);
  *image = scaled;
  return 0;
}

int BringToTexture(GraphImage* image, int turn) {
  if (ScaleToTextureSize(image) != 0) return -1;
  if (turn) RotateGraphImageHalfTurn(image);
  return 0;
}

int Fail(GraphImage* colour, GraphImage* alpha) {
  FreeGraphImage(colour);
  FreeGraphImage(alpha);
  return -1;
}

// Rebuilds a texture slot's images from its kept files and writes them into its graph.
void RestoreSlot(const ModelTextureSlot& slot) {
  GraphImage colour = {}, alpha = {};
  if (PrepareModelTextureImages(&colour, &alpha, slot.colour.data, slot.colour.size,
                                slot.alpha.data, slot.alpha.size, 0, 0, 0) != 0)
    return;
  ReplaceGraphFromImageMirrored(&colour, alpha.Pixels != nullptr ? &alpha : nullptr, slot.graph, 0,
                                0, 0);
  FreeGraphImage(&colour);
  FreeGraphImage(&alpha);
}

}  // namespace

const std::array<uint8_t, kModelWhiteTgaBytes> ModelWhiteTga = MakeWhiteTga();
const std::array<uint8_t, kModelToonTgaBytes> ModelToonTga = MakeToonTga();

int PrepareModelTextureImages(GraphImage* colourImage, GraphImage* alphaImage,
                              const void* colourData, int colourSize, const void* alphaData,
                              int alphaSize, int makeNormalMap, float strength, int turn) {
  *colourImage = {};
  *alphaImage = {};
  if (colourData != nullptr &&
      ReadImageToGraphImage(nullptr, colourData, colourSize, 1, colourImage, 0) != 0)
    return Fail(colourImage, alphaImage);
  if (alphaData != nullptr &&
      ReadImageToGraphImage(nullptr, alphaData, alphaSize, 1, alphaImage, 0) != 0)
    return Fail(colourImage, alphaImage);
  if (colourData == nullptr && alphaData == nullptr) return -1;
  // Only images read from data are brought to texture sizes and turned.
  if (alphaData != nullptr && BringToTexture(alphaImage, turn) != 0)
    return Fail(colourImage, alphaImage);
  if (colourData == nullptr) {
    // Made at the alpha image's final size: the two are written into one graph together.
    if (CreateXrgbGraphImage(alphaImage->Width, alphaImage->Height, colourImage) != 0)
      return Fail(colourImage, alphaImage);
    std::memset(colourImage->Pixels, 0xFF,
                static_cast<size_t>(colourImage->Pitch) * colourImage->Height);
  }
  if (makeNormalMap && MakeNormalMap(colourImage, strength) != 0)
    return Fail(colourImage, alphaImage);
  if (colourData != nullptr && BringToTexture(colourImage, turn) != 0)
    return Fail(colourImage, alphaImage);
  return 0;
}

int CreateGradientTexture(int graph) {
  GraphImage image = {};
  if (CreateXrgbGraphImage(256, 8, &image) != 0) return -1;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 256; ++x) SetGraphImagePixel(&image, x, y, x, x, x, 255);
  ReplaceGraphFromImage(&image, graph);
  FreeGraphImage(&image);
  return graph;
}

int RestoreModelTextures() {
  const int noTransColor = NoTransColorOption;
  SetUseTransColor(0);
  ReplaceGraphFromMemory(ModelWhiteTga.data(), kModelWhiteTgaBytes, DefaultWhiteTexture, nullptr, 0,
                         0, 0);
  ReplaceGraphFromMemory(ModelToonTga.data(), kModelToonTgaBytes, DefaultToonTexture, nullptr, 0, 0,
                         0);
  CreateGradientTexture(DefaultGradientTexture);
  SetUseTransColor(noTransColor ? 0 : 1);
  for (int index = 0; index < Models.baseCount; ++index) {
    const void* record = Models.bases[index];
    if (record == nullptr || record == kModelBaseSlotTaken) continue;
    const auto* base = static_cast<const ModelBaseRecord*>(record);
    for (int i = 0; i < base->materialCount; ++i) RestoreSlot(base->materials[i]);
  }
  for (int slot = 0; slot < Models.modelEndIndex; ++slot)
    if (const ModelRecord* m = Models.models[slot])
      for (int i = 0; i < m->textureCount; ++i)
        if (m->textures[i].inUse) RestoreSlot(m->textures[i]);
  return 0;
}

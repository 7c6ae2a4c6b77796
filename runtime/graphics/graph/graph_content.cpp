#include "runtime/graphics/graph/graph_content.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/screen_mode.h"

namespace {

// The graph's own pixel value for a colour: for a paletted image the index of the nearest entry
// of its palette (as its last upload converted it), else the value in its format.
uint32_t OwnPixelValue(const MemImgBody& body, int r, int g, int b, int a) {
  if (!body.paletted) return MakePixelValue(body.format, r, g, b, a);
  uint32_t best = 0;
  int bestDistance = 0x7FFFFFFF;
  for (uint32_t i = 0; i < 256; ++i) {
    int er, eg, eb;
    if (body.colorType == Rgb565) {
      uint16_t v;
      std::memcpy(&v, body.palette + 2 * i, 2);
      SplitPixelValue(GetMemImgPixelFormat(Rgb565, 0, 0), v, &er, &eg, &eb, nullptr);
    } else {
      uint32_t v;
      std::memcpy(&v, body.palette + 4 * i, 4);
      er = static_cast<int>((v >> 16) & 0xFF);
      eg = static_cast<int>((v >> 8) & 0xFF);
      eb = static_cast<int>(v & 0xFF);
    }
    const int distance = (er - r) * (er - r) + (eg - g) * (eg - g) + (eb - b) * (eb - b);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

}  // namespace

int TransferImageToGraph(int ignored, HBITMAP bitmap, HBITMAP alphaBitmap, const char* sourceFile,
                         int fromBitmap, const GraphImage* image, const GraphImage* alphaImage,
                         int x, int y, int graph, int loadOption) {
  GraphEntry* entry = GetGraphEntry(graph);
  if (!GraphicsInitialised || entry == nullptr || entry->textureSet == nullptr) return -1;
  SetGraphSourceFile(graph, sourceFile, -1);
  entry->loadOption = loadOption;
  entry->sourceX = x;
  entry->sourceY = y;
  const RECT rect = {x, y, x + entry->width, y + entry->height};
  return UploadImageToGraph(graph, ignored, bitmap, alphaBitmap, &rect, 0, 0, fromBitmap, image,
                            alphaImage, entry->textureSet->record.BlendImage,
                            NoTransColorOption ? 0 : 1, 0);
}

int TransferImageRectToGraph(int ignored, HBITMAP bitmap, HBITMAP alphaBitmap,
                             const char* sourceFile, int fromBitmap, const GraphImage* image,
                             const GraphImage* alphaImage, const RECT* sourceRect, int dstX,
                             int dstY, int graph, int loadOption) {
  GraphEntry* entry = GetGraphEntry(graph);
  if (!GraphicsInitialised || entry == nullptr || entry->textureSet == nullptr) return -1;
  SetGraphSourceFile(graph, sourceFile, -1);
  entry->sourceX = sourceRect != nullptr ? sourceRect->left - dstX : 0;
  entry->sourceY = sourceRect != nullptr ? sourceRect->top - dstY : 0;
  entry->loadOption = loadOption;
  RECT whole = {0, 0, 0, 0};
  if (image != nullptr) whole = {0, 0, image->Width, image->Height};
  return UploadImageToGraph(graph, ignored, bitmap, alphaBitmap,
                            sourceRect != nullptr ? sourceRect : &whole, dstX, dstY, fromBitmap,
                            image, alphaImage, entry->textureSet->record.BlendImage,
                            NoTransColorOption ? 0 : 1, 0);
}

int FillGraph(int graph, int r, int g, int b, int a) {
  GraphEntry* entry = GetGraphEntry(graph);
  if (entry == nullptr || entry->textureSet == nullptr) return -1;
  r = std::clamp(r, 0, 255);
  g = std::clamp(g, 0, 255);
  b = std::clamp(b, 0, 255);
  a = std::clamp(a, 0, 255);
  GraphTextureSet* set = entry->textureSet;
  if (!set->record.TextureBacked) {
    // An exact fill, as the hardware path's ColorFill: no blend mode, brightness or draw area.
    if (!IsMemImgValid(&entry->image)) return -1;
    FillMemImgRect(&entry->image, nullptr, OwnPixelValue(*entry->image.body, r, g, b, a));
    NoteMemImgWritten(&entry->image);
    return 0;
  }
  if (Direct3DDevice == nullptr) return -1;
  if (!set->record.DrawTargetCapable) return 0;
  const D3DCOLOR colour = static_cast<D3DCOLOR>(a) << 24 | static_cast<D3DCOLOR>(r) << 16 |
                          static_cast<D3DCOLOR>(g) << 8 | static_cast<D3DCOLOR>(b);
  for (int i = 0; i < entry->tileDrawCount; ++i) {
    const GraphTileDraw& d = entry->tileDraws[i];
    const RECT rect = {d.srcX, d.srcY, d.srcX + d.width, d.srcY + d.height};
    if (d.tile->surface != nullptr) Direct3DDevice->ColorFill(d.tile->surface, &rect, colour);
  }
  return 0;
}

void TransferMovieFrameToGraph(MovieEntry* movie, int graph) {
  GraphEntry* entry = GetGraphEntry(graph);
  if (movie == nullptr || entry == nullptr || entry->textureSet == nullptr) return;
  GraphTextureSet* set = entry->textureSet;
  TheoraDecoder* decoder = movie->theora ? movie->theoraDecoder : nullptr;
  if (decoder != nullptr && set->record.TextureBacked && GetTheoraSurface(decoder) != nullptr) {
    ConvertTheoraFrame(decoder, 0, 1);
    IDirect3DSurface9* surface = GetTheoraSurface(decoder);
    if (!decoder->SurfaceCurrent || surface == nullptr || Direct3DDevice == nullptr ||
        set->tileCount == 0 || set->tiles[0].surface == nullptr)
      return;
    // The frame goes to the graph's own rectangle: stretched over the whole power-of-two
    // texture, the graph would show only a corner of it.
    const RECT frame = {0, 0, entry->width, entry->height};
    FlushVertexBatch();
    Direct3DDevice->StretchRect(surface, &frame, set->tiles[0].surface, &frame, D3DTEXF_NONE);
    return;
  }
  if (decoder != nullptr) {
    ConvertTheoraFrame(decoder, 1, 0);
    if (!decoder->RgbCurrent) return;
  }
  const GraphImage* image = movie->currentImage;
  if (image == nullptr || image->Pixels == nullptr) return;
  const RECT rect = {entry->sourceX, entry->sourceY, entry->sourceX + entry->width,
                     entry->sourceY + entry->height};
  UploadImageToGraph(graph, 0, nullptr, nullptr, &rect, 0, 0, 0, image, nullptr,
                     set->record.BlendImage, 0, 0);
}

int DeleteAllGraphs(int) {
  if (!GraphicsInitialised) return 0;
  for (int slot = 0; slot < GraphHandles.endIndex; ++slot) {
    const int handle = HandleOfSlot(&GraphHandles, slot);
    if (handle != -1) DeleteGraphHandle(handle);
  }
  return 0;
}

const PixelFormat* GetTextureSetPixelFormat(const GraphCreationRecord* record) {
  return GetPixelFormatOfTextureIndex(GetTextureFormatIndex(record));
}

// The display frame into the RGB image: fixed-point tables with 14 fraction bits for 4:2:0
// frames, floating point for every other layout.
#include "runtime/graphics/movie/theora_decoder_internal.h"

namespace {

int gLuma[256];
int gVToRed[256];
int gUToGreen[256];
int gVToGreen[256];
int gUToBlue[256];
uint8_t gClampTable[1280];  // indices -512..767
const uint8_t* const gClamp = gClampTable + 512;

inline void PutPixel(uint8_t* p, int red, int green, int blue) {
  p[0] = static_cast<uint8_t>(blue);
  p[1] = static_cast<uint8_t>(green);
  p[2] = static_cast<uint8_t>(red);
  p[3] = 255;
}

void ConvertHalfChroma(const TheoraStockFrame* f, GraphImage* image) {
  for (int cy = 0; cy < f->ChromaHeight; ++cy) {
    const uint8_t* uRow = f->U + static_cast<size_t>(cy) * f->ChromaStride;
    const uint8_t* vRow = f->V + static_cast<size_t>(cy) * f->ChromaStride;
    for (int cx = 0; cx < f->ChromaWidth; ++cx) {
      const int u = uRow[cx];
      const int v = vRow[cx];
      const int red = gVToRed[v];
      const int green = gUToGreen[u] + gVToGreen[v];
      const int blue = gUToBlue[u];
      for (int dy = 0; dy < 2; ++dy) {
        const int y = cy * 2 + dy;
        const uint8_t* luma = f->Y + static_cast<size_t>(y) * f->YStride + cx * 2;
        uint8_t* out = image->Pixels + static_cast<size_t>(y) * image->Pitch + cx * 8;
        for (int dx = 0; dx < 2; ++dx) {
          const int l = gLuma[luma[dx]];
          // The division truncates toward zero, as the tables were made for.
          PutPixel(out + dx * 4, gClamp[(l + red) / 16384], gClamp[(l + green) / 16384],
                   gClamp[(l + blue) / 16384]);
        }
      }
    }
  }
}

int ClampChannel(double value) {
  if (value < 0.0) return 0;
  if (value > 255.0) return 255;
  return static_cast<int>(value);
}

// The chroma sample of a pixel is found by the planes' own subsampling, so 4:4:4 and 4:2:2
// frames keep their colours where they are, and odd 4:2:0 sizes take the sample of their pair.
void ConvertAnyChroma(const TheoraStockFrame* f, GraphImage* image) {
  const int xShift = f->ChromaWidth < f->YWidth ? 1 : 0;
  const int yShift = f->ChromaHeight < f->YHeight ? 1 : 0;
  for (int y = 0; y < f->YHeight; ++y) {
    const uint8_t* luma = f->Y + static_cast<size_t>(y) * f->YStride;
    const size_t chromaRow = static_cast<size_t>(y >> yShift) * f->ChromaStride;
    uint8_t* out = image->Pixels + static_cast<size_t>(y) * image->Pitch;
    for (int x = 0; x < f->YWidth; ++x) {
      const double l = 1.164 * (luma[x] - 16);
      const int u = f->U[chromaRow + (x >> xShift)] - 128;
      const int v = f->V[chromaRow + (x >> xShift)] - 128;
      PutPixel(out + x * 4, ClampChannel(l + 1.596 * v), ClampChannel(l - 0.391 * u - 0.813 * v),
               ClampChannel(l + 2.018 * u));
    }
  }
}

}  // namespace

void BuildYuvTables() {
  for (int i = -512; i < 768; ++i)
    gClampTable[i + 512] = static_cast<uint8_t>(i < 0 ? 0 : i > 255 ? 255 : i);
  for (int i = 0; i < 256; ++i) {
    gLuma[i] = 19070 * (i - 16);
    gVToRed[i] = 26148 * (i - 128);
    gUToGreen[i] = -6406 * (i - 128);
    gVToGreen[i] = -13320 * (i - 128);
    gUToBlue[i] = 33062 * (i - 128);
  }
}

void ConvertTheoraStockFrame(const TheoraStockFrame* frame, GraphImage* image) {
  if (IsHalfChroma(frame->YWidth, frame->YHeight, frame->ChromaWidth, frame->ChromaHeight))
    ConvertHalfChroma(frame, image);
  else
    ConvertAnyChroma(frame, image);
}

int ConvertTheoraFrame(TheoraDecoder* d, int wantRgb, int wantSurface) {
  const bool surface = wantSurface && !d->SurfaceCurrent && d->Surface;
  const bool rgb = wantRgb && !d->RgbCurrent;
  if (!surface && !rgb) return 0;

  // A seek is over once the thread has taken the request and left its seeking state; until
  // then the stock may still hold frames from before it.
  while (d->SeekRequest || d->ThreadState == TheoraThreadSeeking) Sleep(1);
  if (d->ThreadState == TheoraThreadEnded) return 0;
  const TheoraStockFrame* frame;
  while (!(frame = FindStockFrame(d, d->DisplayIndex))) {
    if (d->EndFlag) return 0;
    Sleep(0);
  }

  if (surface && CopyTheoraFrameToSurface(d, frame)) d->SurfaceCurrent = 1;
  if (rgb) {
    ConvertTheoraStockFrame(frame, &d->RgbImage);
    d->RgbCurrent = 1;
  }
  return 1;
}

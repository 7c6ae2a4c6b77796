// PNG images through libpng, fed from a DataStream by a read callback.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "runtime/graphics/image/image_codec_glue.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

// Everything that must outlive a jump back out of libpng: kept out of the frame that sets the
// jump buffer, so nothing is left indeterminate by the jump.
struct PngDecode {
  png_structp png;
  png_infop info;
  PngReadStream io;
  uint8_t* pixels;
  png_bytep* rows;
};

// One byte per pixel of grey becomes the grey palette; grey with alpha keeps two bytes, whose
// first is read for all three colours and whose alpha byte is not used.
PixelFormat GreyWithAlphaFormat() {
  PixelFormat f{};
  f.BitsPerPixel = 16;
  f.BytesPerPixel = 2;
  f.RedWidth = f.GreenWidth = f.BlueWidth = 8;
  f.RedMask = f.GreenMask = f.BlueMask = 0xFF;
  f.SpareMask = 0xFF00;
  f.SpareShift = 8;
  f.SpareWidth = 8;
  return f;
}

int DecodePngBody(PngDecode* d, DataStream* stream, GraphImage* image) {
  png_structp png = d->png;
  png_infop info = d->info;
  SetPngReadStream(png, &d->io, stream);
  png_set_sig_bytes(png, 0);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
  if (!ImageSizeAllowed(width, height, int64_t{width} * 4)) return -1;

  png_set_strip_16(png);
  png_set_packing(png);
  png_set_packswap(png);
  bool expanded = false;
  if ((colourType == PNG_COLOR_TYPE_GRAY && bitDepth <= 8) ||
      png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_expand(png);
    expanded = true;
  }
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  const int channels = png_get_channels(png, info);
  if (!ImageSizeAllowed(width, height, static_cast<int64_t>(rowBytes))) return -1;

  d->pixels = static_cast<uint8_t*>(AllocTracked(rowBytes * height, __FILE__, __LINE__));
  d->rows = static_cast<png_bytep*>(AllocTracked(sizeof(png_bytep) * height, __FILE__, __LINE__));
  if (!d->pixels || !d->rows) return -1;
  for (png_uint_32 y = 0; y < height; ++y) d->rows[y] = d->pixels + y * rowBytes;
  png_read_image(png, d->rows);
  png_read_end(png, nullptr);

  PixelFormat format{};
  if (colourType == PNG_COLOR_TYPE_PALETTE && !expanded) {
    SetupPalettePixelFormat(&format);
    png_colorp palette = nullptr;
    int count = 0;
    // Only the entries the file has; the rest stay black.
    if (png_get_PLTE(png, info, &palette, &count) != 0)
      for (int i = 0; i < count && i < 256; ++i)
        format.Palette[i] = PaletteEntry{palette[i].blue, palette[i].green, palette[i].red, 0};
  } else if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    if (channels == 1)
      SetupGrayPalettePixelFormat(&format);
    else
      format = GreyWithAlphaFormat();
  } else if (channels == 4) {
    SetupARGB8PixelFormat(&format);
  } else {
    SetupRGB8PixelFormat(&format);
  }
  SetLoadedImage(image, format, static_cast<int>(width), static_cast<int>(height),
                 static_cast<int>(rowBytes), d->pixels);
  d->pixels = nullptr;
  return 0;
}

// Any libpng error comes back here with -1.
int DecodePng(PngDecode* d, DataStream* stream, GraphImage* image) {
  if (setjmp(png_jmpbuf(d->png))) return -1;
  return DecodePngBody(d, stream, image);
}

}  // namespace

void PngReadCallback(png_structp png, png_bytep buffer, png_size_t length) {
  auto* io = static_cast<PngReadStream*>(png_get_io_ptr(png));
  const int position = StreamTell(io->Stream);
  if (position < 0 || static_cast<int64_t>(io->DataEnd) - position < static_cast<int64_t>(length) ||
      !StreamReadExact(io->Stream, buffer, length))
    png_error(png, "Read Error");
}

void SetPngReadStream(png_structp png, PngReadStream* record, DataStream* stream) {
  record->Stream = stream;
  const int start = StreamTell(stream);
  const int length = StreamLength(stream);
  record->DataSize = start >= 0 && length >= start ? length - start : 0;
  record->DataEnd = (start >= 0 ? start : 0) + record->DataSize;
  png_set_read_fn(png, record, &PngReadCallback);
}

int LoadPngImage(DataStream* stream, GraphImage* image) {
  PngDecode d{};
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &PngQuietError, &PngQuietWarning);
  if (!d.png) return -1;
  d.info = png_create_info_struct(d.png);
  if (!d.info) {
    png_destroy_read_struct(&d.png, nullptr, nullptr);
    return -1;
  }
  const int result = DecodePng(&d, stream, image);
  FreeTracked(d.rows);
  FreeTracked(d.pixels);
  png_destroy_read_struct(&d.png, &d.info, nullptr);
  if (result != 0) std::memset(image, 0, sizeof *image);
  return result;
}

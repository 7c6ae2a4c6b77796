// JPEG images through libjpeg, fed from a DataStream by a source manager.
#include <cstring>

#include "runtime/graphics/image/image_codec_glue.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

// Everything that must outlive a jump back out of libjpeg, kept out of the frame that sets
// the jump buffer.
struct JpegDecode {
  jpeg_decompress_struct info;
  JpegErrorManager errors;
  uint8_t* pixels;
};

int DecodeJpegBody(JpegDecode* d, DataStream* stream, GraphImage* image) {
  j_decompress_ptr info = &d->info;
  jpeg_create_decompress(info);
  SetJpegSourceStream(info, stream);
  jpeg_read_header(info, TRUE);
  if (!ImageSizeAllowed(info->image_width, info->image_height, int64_t{info->image_width} * 3))
    return -1;
  jpeg_start_decompress(info);
  // Grey and colour only: four-component (CMYK) images are refused.
  const int components = info->output_components;
  if (components != 1 && components != 3) return -1;
  const int width = static_cast<int>(info->output_width);
  const int height = static_cast<int>(info->output_height);
  const size_t rowLength = static_cast<size_t>(width) * components;
  JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                              static_cast<JDIMENSION>(rowLength), 1);
  d->pixels = static_cast<uint8_t*>(AllocTracked(rowLength * height, __FILE__, __LINE__));
  if (!d->pixels) return -1;
  while (info->output_scanline < info->output_height) {
    uint8_t* out = d->pixels + rowLength * info->output_scanline;
    if (jpeg_read_scanlines(info, row, 1) != 1) return -1;
    if (components == 1) {
      std::memcpy(out, row[0], rowLength);
    } else {
      // R, G, B from the library; B, G, R in memory.
      for (int x = 0; x < width; ++x) {
        out[x * 3] = row[0][x * 3 + 2];
        out[x * 3 + 1] = row[0][x * 3 + 1];
        out[x * 3 + 2] = row[0][x * 3];
      }
    }
  }
  jpeg_finish_decompress(info);
  PixelFormat format{};
  if (components == 1)
    SetupGrayPalettePixelFormat(&format);
  else
    SetupRGB8PixelFormat(&format);
  SetLoadedImage(image, format, width, height, static_cast<int>(rowLength), d->pixels);
  d->pixels = nullptr;
  return 0;
}

// Any libjpeg error comes back here with -1.
int DecodeJpeg(JpegDecode* d, DataStream* stream, GraphImage* image) {
  if (setjmp(d->errors.Jump)) return -1;
  return DecodeJpegBody(d, stream, image);
}

}  // namespace

int LoadJpegImage(DataStream* stream, GraphImage* image) {
  JpegDecode d;
  std::memset(&d, 0, sizeof d);
  d.info.err = SetupJpegErrorManager(&d.errors);
  const int result = DecodeJpeg(&d, stream, image);
  jpeg_destroy_decompress(&d.info);
  FreeTracked(d.pixels);
  if (result != 0) std::memset(image, 0, sizeof *image);
  return result;
}

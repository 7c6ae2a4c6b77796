// The PNG writer through libpng: RGBA for images with alpha, RGB otherwise.
#include <cstring>

#include "runtime/graphics/image/image_codec_glue.h"
#include "runtime/graphics/image/image_file_output.h"
#include "runtime/graphics/image/image_writer.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

// Everything that must outlive a jump back out of libpng.
struct PngEncode {
  png_structp png;
  png_infop info;
  ImageFileOutput output;
  GraphImage view;  // a copy of the caller's record: pixels are read, never owned
  uint8_t* pixels;
  png_bytep* rows;
};

void PngWriteCallback(png_structp png, png_bytep data, png_size_t length) {
  auto* output = static_cast<ImageFileOutput*>(png_get_io_ptr(png));
  if (!WriteImageFileOutput(output, data, length)) png_error(png, "Write Error");
}

void PngFlushCallback(png_structp) {}

void EncodePngBody(PngEncode* e, int level) {
  png_structp png = e->png;
  GraphImage* image = &e->view;
  const bool alpha = image->Format.AlphaWidth != 0;
  const int channels = alpha ? 4 : 3;
  png_set_write_fn(png, &e->output, &PngWriteCallback, &PngFlushCallback);
  png_set_filter(png, 0, PNG_ALL_FILTERS);
  png_set_compression_level(png, level);
  png_set_IHDR(png, e->info, static_cast<png_uint_32>(image->Width),
               static_cast<png_uint_32>(image->Height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, e->info);

  const size_t rowLength = static_cast<size_t>(image->Width) * channels;
  e->pixels = static_cast<uint8_t*>(AllocTracked(rowLength * image->Height, __FILE__, __LINE__));
  e->rows =
      static_cast<png_bytep*>(AllocTracked(sizeof(png_bytep) * image->Height, __FILE__, __LINE__));
  if (!e->pixels || !e->rows) png_error(png, "Out of memory");
  for (int y = 0; y < image->Height; ++y) {
    uint8_t* out = e->pixels + rowLength * y;
    e->rows[y] = out;
    for (int x = 0; x < image->Width; ++x, out += channels) {
      int r = 0, g = 0, b = 0, a = 0;
      GetGraphImagePixel(image, x, y, &r, &g, &b, &a);
      out[0] = static_cast<uint8_t>(r);
      out[1] = static_cast<uint8_t>(g);
      out[2] = static_cast<uint8_t>(b);
      if (alpha) out[3] = static_cast<uint8_t>(a);
    }
  }
  png_write_image(png, e->rows);
  png_write_end(png, nullptr);
}

int EncodePng(PngEncode* e, int level) {
  if (setjmp(png_jmpbuf(e->png))) return -1;
  EncodePngBody(e, level);
  return 0;
}

}  // namespace

int WritePngFile(const wchar_t* wideName, const char* fileName, const GraphImage* image,
                 int level) {
  if (wideName || !fileName || !image || !image->Pixels || image->Width <= 0 ||
      image->Height <= 0 || image->Format.BlockCompression != 0)
    return -1;
  PngEncode e;
  std::memset(&e, 0, sizeof e);
  e.view = *image;
  if (!OpenImageFileOutput(&e.output, fileName)) return -1;
  int result = -1;
  e.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &PngQuietError, &PngQuietWarning);
  if (e.png) e.info = png_create_info_struct(e.png);
  if (e.png && e.info) result = EncodePng(&e, level);
  if (e.png) png_destroy_write_struct(&e.png, e.info ? &e.info : nullptr);
  FreeTracked(e.rows);
  FreeTracked(e.pixels);
  CloseImageFileOutput(&e.output, result == 0);
  return result;
}

int SaveGraphImageAsPng(const char* fileName, const GraphImage* image, int level) {
  return WritePngFile(nullptr, fileName, image, level);
}

// The JPEG writer through libjpeg, with a destination manager that writes through the port.
#include <jerror.h>

#include <cstring>

#include "runtime/graphics/image/image_codec_glue.h"
#include "runtime/graphics/image/image_file_output.h"
#include "runtime/graphics/image/image_writer.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr size_t kOutputBufferSize = 4096;

struct JpegDestination {
  jpeg_destination_mgr Manager;
  ImageFileOutput* Output;
  JOCTET Buffer[kOutputBufferSize];
};

// Everything that must outlive a jump back out of libjpeg.
struct JpegEncode {
  jpeg_compress_struct info;
  JpegErrorManager errors;
  JpegDestination destination;
  ImageFileOutput output;
  GraphImage view;  // a copy of the caller's record: pixels are read, never owned
  uint8_t* pixels;
  JSAMPROW* rows;
};

void JpegInitDestination(j_compress_ptr info) {
  auto* d = reinterpret_cast<JpegDestination*>(info->dest);
  d->Manager.next_output_byte = d->Buffer;
  d->Manager.free_in_buffer = kOutputBufferSize;
}

boolean JpegEmptyOutputBuffer(j_compress_ptr info) {
  auto* d = reinterpret_cast<JpegDestination*>(info->dest);
  if (!WriteImageFileOutput(d->Output, d->Buffer, kOutputBufferSize))
    ERREXIT(info, JERR_FILE_WRITE);
  d->Manager.next_output_byte = d->Buffer;
  d->Manager.free_in_buffer = kOutputBufferSize;
  return TRUE;
}

void JpegTermDestination(j_compress_ptr info) {
  auto* d = reinterpret_cast<JpegDestination*>(info->dest);
  const size_t used = kOutputBufferSize - d->Manager.free_in_buffer;
  if (used > 0 && !WriteImageFileOutput(d->Output, d->Buffer, used)) ERREXIT(info, JERR_FILE_WRITE);
}

void EncodeJpegBody(JpegEncode* e, int quality) {
  j_compress_ptr info = &e->info;
  GraphImage* image = &e->view;
  jpeg_create_compress(info);
  e->destination.Output = &e->output;
  e->destination.Manager.init_destination = &JpegInitDestination;
  e->destination.Manager.empty_output_buffer = &JpegEmptyOutputBuffer;
  e->destination.Manager.term_destination = &JpegTermDestination;
  info->dest = &e->destination.Manager;
  info->image_width = static_cast<JDIMENSION>(image->Width);
  info->image_height = static_cast<JDIMENSION>(image->Height);
  info->input_components = 3;
  info->in_color_space = JCS_RGB;
  jpeg_set_defaults(info);
  jpeg_set_quality(info, quality, TRUE);
  jpeg_start_compress(info, TRUE);

  const size_t rowLength = static_cast<size_t>(image->Width) * 3;
  e->pixels = static_cast<uint8_t*>(AllocTracked(rowLength * image->Height, __FILE__, __LINE__));
  e->rows =
      static_cast<JSAMPROW*>(AllocTracked(sizeof(JSAMPROW) * image->Height, __FILE__, __LINE__));
  if (!e->pixels || !e->rows) ERREXIT(info, JERR_OUT_OF_MEMORY);
  for (int y = 0; y < image->Height; ++y) {
    uint8_t* out = e->pixels + rowLength * y;
    e->rows[y] = out;
    for (int x = 0; x < image->Width; ++x, out += 3) {
      int r = 0, g = 0, b = 0;
      GetGraphImagePixel(image, x, y, &r, &g, &b, nullptr);
      out[0] = static_cast<uint8_t>(r);
      out[1] = static_cast<uint8_t>(g);
      out[2] = static_cast<uint8_t>(b);
    }
  }
  jpeg_write_scanlines(info, e->rows, static_cast<JDIMENSION>(image->Height));
  jpeg_finish_compress(info);
}

int EncodeJpeg(JpegEncode* e, int quality) {
  if (setjmp(e->errors.Jump)) return -1;
  EncodeJpegBody(e, quality);
  return 0;
}

}  // namespace

int WriteJpegFile(const wchar_t* wideName, const char* fileName, const GraphImage* image,
                  int quality, int) {
  if (wideName || !fileName || !image || !image->Pixels || image->Width <= 0 ||
      image->Height <= 0 || image->Format.BlockCompression != 0)
    return -1;
  auto* e = static_cast<JpegEncode*>(AllocTrackedZero(sizeof(JpegEncode), __FILE__, __LINE__));
  if (!e) return -1;
  e->view = *image;
  int result = -1;
  if (OpenImageFileOutput(&e->output, fileName)) {
    e->info.err = SetupJpegErrorManager(&e->errors);
    result = EncodeJpeg(e, quality);
    jpeg_destroy_compress(&e->info);
    CloseImageFileOutput(&e->output, result == 0);
  }
  FreeTracked(e->rows);
  FreeTracked(e->pixels);
  FreeTracked(e);
  return result;
}

int SaveGraphImageAsJpeg(const char* fileName, const GraphImage* image, int quality, int extra) {
  return WriteJpegFile(nullptr, fileName, image, quality, extra);
}

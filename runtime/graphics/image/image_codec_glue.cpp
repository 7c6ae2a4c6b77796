// Error handling shared by the PNG and JPEG readers and writers, and the JPEG source manager.
#include "runtime/graphics/image/image_codec_glue.h"

#include <jerror.h>

#include <algorithm>

#include "runtime/graphics/image/image_stream_read.h"

namespace {

constexpr int kJpegBufferSize = 4096;

struct JpegSource {
  jpeg_source_mgr Manager;
  DataStream* Stream;
  JOCTET* Buffer;
  boolean StartOfFile;
  int DataEnd;  // the stream offset where the data end
};

void JpegQuietOutput(j_common_ptr) {}

void JpegInitSource(j_decompress_ptr info) {
  reinterpret_cast<JpegSource*>(info->src)->StartOfFile = TRUE;
}

boolean JpegFillInputBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<JpegSource*>(info->src);
  const int position = StreamTell(source->Stream);
  const int left = position < 0 ? 0 : std::max(0, source->DataEnd - position);
  const size_t got =
      left > 0 ? StreamReadUpTo(source->Stream, source->Buffer, std::min(left, kJpegBufferSize))
               : 0;
  if (got > 0) {
    source->Manager.next_input_byte = source->Buffer;
    source->Manager.bytes_in_buffer = got;
    source->StartOfFile = FALSE;
    return TRUE;
  }
  if (source->StartOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
  // Data that end early are closed with an end-of-image marker and decode as far as they go.
  WARNMS(info, JWRN_JPEG_EOF);
  source->Buffer[0] = 0xFF;
  source->Buffer[1] = JPEG_EOI;
  source->Manager.next_input_byte = source->Buffer;
  source->Manager.bytes_in_buffer = 2;
  source->StartOfFile = FALSE;
  return TRUE;
}

void JpegSkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* manager = info->src;
  while (count > static_cast<long>(manager->bytes_in_buffer)) {
    count -= static_cast<long>(manager->bytes_in_buffer);
    JpegFillInputBuffer(info);
  }
  manager->next_input_byte += count;
  manager->bytes_in_buffer -= static_cast<size_t>(count);
}

void JpegTermSource(j_decompress_ptr) {}

}  // namespace

void PngQuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngQuietWarning(png_structp, png_const_charp) {}

jpeg_error_mgr* SetupJpegErrorManager(JpegErrorManager* errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors->Manager);
  manager->error_exit = &JpegErrorExit;
  manager->output_message = &JpegQuietOutput;
  return manager;
}

void JpegErrorExit(j_common_ptr info) {
  (*info->err->output_message)(info);
  longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->Jump, 1);
}

void SetJpegSourceStream(j_decompress_ptr info, DataStream* stream) {
  if (!info->src) {
    auto* source = static_cast<JpegSource*>((*info->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(JpegSource)));
    source->Buffer = static_cast<JOCTET*>((*info->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, kJpegBufferSize));
    info->src = &source->Manager;
  }
  auto* source = reinterpret_cast<JpegSource*>(info->src);
  source->Manager.init_source = &JpegInitSource;
  source->Manager.fill_input_buffer = &JpegFillInputBuffer;
  source->Manager.skip_input_data = &JpegSkipInputData;
  source->Manager.resync_to_restart = &jpeg_resync_to_restart;
  source->Manager.term_source = &JpegTermSource;
  source->Manager.bytes_in_buffer = 0;
  source->Manager.next_input_byte = nullptr;
  source->Stream = stream;
  const int start = StreamTell(stream);
  const int length = StreamLength(stream);
  source->DataEnd = start >= 0 && length >= start ? length : 0;
}

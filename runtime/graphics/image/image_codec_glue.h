// The glue between the codec libraries and the system: libpng and libjpeg read from a
// DataStream, and report their errors by a jump back into the reader or writer.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "runtime/platform/files/data_stream.h"

// libpng's io record: the stream and where its data end.
struct PngReadStream {
  DataStream* Stream;
  int DataSize;  // bytes from the position at set-up to the end of the stream
  int DataEnd;   // the stream offset of that end
};
// Measures the data and installs PngReadCallback with the record.
void SetPngReadStream(png_structp png, PngReadStream* record, DataStream* stream);
// Reads length bytes; "Read Error" through png_error when fewer are left.
void PngReadCallback(png_structp png, png_bytep buffer, png_size_t length);
// Errors jump back to the caller's jump buffer and warnings are dropped, both without a word
// on the console: the result tells the caller everything.
void PngQuietError(png_structp png, png_const_charp message);
void PngQuietWarning(png_structp png, png_const_charp message);

// libjpeg's error manager with the jump buffer kept behind it.
struct JpegErrorManager {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
};
// The standard error manager with JpegErrorExit and a silent output_message installed.
jpeg_error_mgr* SetupJpegErrorManager(JpegErrorManager* errors);
// Calls the manager's output_message, then jumps back to its jump buffer.
[[noreturn]] void JpegErrorExit(j_common_ptr info);

// Installs a source manager over the stream (from the decompressor's permanent pool, with a
// 4096-byte buffer) that completes a stream ending early with an end-of-image marker.
void SetJpegSourceStream(j_decompress_ptr info, DataStream* stream);

// What every image loader fuzz target does with one input: decode it from a memory stream and,
// when the loader took it, read the whole buffer the image claims (block data with all their
// levels, then expanded), so that the sanitizers see any buffer shorter than its description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/pixel_conversion.h"

inline int FuzzImageLoader(ImageLoaderFunction loader, const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  DataStream stream{};
  stream.Functions = *GetMemoryStreamFunctions();
  stream.Handle = reinterpret_cast<FileHandle>(OpenMemoryStream(data, static_cast<int>(size)));
  if (!stream.Handle) return 0;
  GraphImage image{};
  const int result = loader ? loader(&stream, &image) : LoadGraphImage(&stream, &image);
  stream.Functions.Close(stream.Handle);
  if (result != 0) return 0;
  volatile uint8_t sum = 0;
  if (image.Format.BlockCompression != 0) {
    const int64_t blockBytes = BlockCompressedDataBytes(image.Format.BlockCompression, image.Width,
                                                        image.Height, image.MipLevels);
    if (!image.Pixels || blockBytes <= 0) __builtin_trap();
    for (int64_t i = 0; i < blockBytes; ++i) sum = static_cast<uint8_t>(sum + image.Pixels[i]);
    if (ExpandBlockCompressedImage(&image) != 0) {
      FreeGraphImage(&image);
      return 0;
    }
  }
  const PixelFormat& f = image.Format;
  if (!image.Pixels || image.Width <= 0 || image.Height <= 0 || f.BytesPerPixel < 1 ||
      image.Pitch < image.Width * f.BytesPerPixel)
    __builtin_trap();
  const size_t bytes = static_cast<size_t>(image.Pitch) * (image.Height - 1) +
                       static_cast<size_t>(image.Width) * f.BytesPerPixel;
  for (size_t i = 0; i < bytes; ++i) sum = static_cast<uint8_t>(sum + image.Pixels[i]);
  FreeGraphImage(&image);
  return 0;
}

// The loader chain and the front ends that open a file or a memory block as a stream, mirror
// the result, describe it as a DIB or fetch its alpha companion.
#include "runtime/graphics/image/image_loader.h"

#include <cstring>

#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/tracked_heap.h"

const ImageLoaderFunction ImageLoaders[] = {
    LoadBmpImage, LoadJpegImage, LoadPngImage, LoadBgraImage, LoadTgaImage, LoadDdsImage, nullptr,
};

ImageLoaderFunction UserImageLoaders[kMaxUserImageLoaders];
int UserImageLoaderCount = 0;

namespace {

int TryLoader(ImageLoaderFunction loader, DataStream* stream, GraphImage* image) {
  if (stream->Functions.Seek(stream->Handle, 0, 0) != 0) return -1;
  std::memset(image, 0, sizeof *image);
  return loader(stream, image);
}

// Copies the pixels into a new buffer of the same pitch with every row mirrored.
int MirrorLoadedImage(GraphImage* image) {
  if (ExpandBlockCompressedImage(image) != 0) return -1;
  const size_t bytes = static_cast<size_t>(image->Pitch) * image->Height;
  auto* mirrored = static_cast<uint8_t*>(AllocTracked(bytes, __FILE__, __LINE__));
  if (!mirrored) return -1;
  const RECT all{0, 0, image->Width, image->Height};
  ConvertImagePixels(mirrored, image->Pitch, &image->Format, image->Pixels, image->Pitch,
                     &image->Format, nullptr, 0, nullptr, 0, 0, &all, 1, 0, 0, 0, 0, 0, 0, 0);
  FreeTracked(image->Pixels);
  image->Pixels = mirrored;
  // Only the top level was copied; smaller levels stored after it are not carried over.
  image->MipLevels = 0;
  return 0;
}

// Hands the image over as a DIB: its buffer passes on when the DIB reuses it.
int HandOverAsDib(GraphImage* image, BITMAPINFO** dibInfo, void** dibBits) {
  if (ExpandBlockCompressedImage(image) != 0) return -1;
  auto* info = static_cast<BITMAPINFO*>(
      AllocTrackedZero(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), __FILE__, __LINE__));
  if (!info) return -1;
  void* bits = nullptr;
  const int made = GraphImageToDib(image, info, &bits, 0, 0);
  if (made < 0) {
    FreeTracked(info);
    return -1;
  }
  if (made == 1) FreeTracked(image->Pixels);
  std::memset(image, 0, sizeof *image);
  if (dibInfo)
    *dibInfo = info;
  else
    FreeTracked(info);
  if (dibBits)
    *dibBits = bits;
  else
    FreeTracked(bits);
  return 0;
}

}  // namespace

int LoadGraphImage(DataStream* stream, GraphImage* image) {
  if (!stream || !image) return -1;
  std::memset(image, 0, sizeof *image);
  const int userCount =
      UserImageLoaderCount < kMaxUserImageLoaders ? UserImageLoaderCount : kMaxUserImageLoaders;
  for (int i = 0; i < userCount; ++i)
    if (UserImageLoaders[i] && TryLoader(UserImageLoaders[i], stream, image) == 0) return 0;
  for (const ImageLoaderFunction* loader = ImageLoaders; *loader; ++loader)
    if (TryLoader(*loader, stream, image) == 0) return 0;
  std::memset(image, 0, sizeof *image);
  return -1;
}

int ReadImageFile(const char* fileName, const void* data, int dataSize, int fromMemory, int wantDib,
                  int mirror, GraphImage* image, BITMAPINFO** dibInfo, void** dibBits) {
  if (!image) return -1;
  std::memset(image, 0, sizeof *image);
  DataStream stream{};
  if (fromMemory) {
    stream.Functions = *GetMemoryStreamFunctions();
    stream.Handle = reinterpret_cast<FileHandle>(OpenMemoryStream(data, dataSize));
  } else {
    stream.Functions = *GetFileStreamFunctions();
    stream.Handle = fileName ? OpenStreamFile(fileName, 0, 1, 0) : 0;
  }
  if (!stream.Handle) return -1;

  GraphImage decoded{};
  int result = LoadGraphImage(&stream, &decoded);
  // A memory block is let go as soon as it is decoded; a file when everything is done.
  if (fromMemory) stream.Functions.Close(stream.Handle);
  if (result == 0 && mirror == 1) result = MirrorLoadedImage(&decoded);
  if (result == 0 && wantDib) result = HandOverAsDib(&decoded, dibInfo, dibBits);
  if (result == 0)
    *image = decoded;
  else
    FreeGraphImage(&decoded);
  if (!fromMemory) stream.Functions.Close(stream.Handle);
  return result;
}

int ReadImageToGraphImage(const char* fileName, const void* data, int dataSize, int fromMemory,
                          GraphImage* image, int mirror) {
  return ReadImageFile(fileName, data, dataSize, fromMemory, 0, mirror, image, nullptr, nullptr);
}

int ReadImageFileWithAlpha(const char* fileName, const void* data, int dataSize, int fromMemory,
                           const void* alphaData, int alphaSize, int alphaMode, GraphImage* image,
                           GraphImage* alphaImage, int mirror) {
  if (ReadImageToGraphImage(fileName, data, dataSize, fromMemory, image, mirror) != 0) return -1;
  if (!alphaImage) return 1;
  std::memset(alphaImage, 0, sizeof *alphaImage);
  if (alphaMode == 0) {
    char alphaName[MAX_PATH];
    if (!fileName || MakeAlphaImageFileName(fileName, alphaName, sizeof alphaName) != 0) return 1;
    return ReadImageToGraphImage(alphaName, nullptr, 0, 0, alphaImage, mirror) == 0 ? 0 : 1;
  }
  if (alphaMode == 1)
    return ReadImageToGraphImage(nullptr, alphaData, alphaSize, 1, alphaImage, mirror) == 0 ? 0 : 1;
  return 1;
}

int MakeAlphaImageFileName(const char* fileName, char* out, size_t outSize) {
  if (!out || outSize == 0) return -1;
  out[0] = '\0';
  if (!fileName) return -1;
  // The last dot of the whole name, walking by characters so no trail byte is taken for one.
  const char* dot = nullptr;
  const char* p = fileName;
  while (*p) {
    if (*p == '.') dot = p;
    p += IsDoubleByteStart(p, CharSetMode) && p[1] ? 2 : 1;
  }
  const char* end = p;
  const size_t stem = static_cast<size_t>((dot ? dot : end) - fileName);
  const size_t rest = static_cast<size_t>(end - (dot ? dot : end));
  if (stem + 2 + rest + 1 > outSize) return -1;
  std::memcpy(out, fileName, stem);
  std::memcpy(out + stem, "_a", 2);
  std::memcpy(out + stem + 2, fileName + stem, rest);
  out[stem + 2 + rest] = '\0';
  return 0;
}

int GraphImageToDib(GraphImage* image, BITMAPINFO* info, void** bits, int forceCopy, int force24) {
  if (!image || !info || !bits || !image->Pixels || image->Width <= 0 || image->Height <= 0 ||
      image->Format.BlockCompression != 0)
    return -1;
  const PixelFormat& f = image->Format;
  const bool eightBit = f.BitsPerPixel == 8 && !force24;
  std::memset(&info->bmiHeader, 0, sizeof info->bmiHeader);
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = image->Width;
  info->bmiHeader.biHeight = -image->Height;
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = eightBit ? 8 : 24;
  info->bmiHeader.biCompression = BI_RGB;
  const int64_t rowLength = eightBit ? (int64_t{image->Width} + 3) & ~int64_t{3}
                                     : (int64_t{image->Width} * 3 + 3) & ~int64_t{3};
  if (rowLength * image->Height > 0x7FFFFFFF) return -1;
  if (eightBit) {
    // The colour table lies right behind the header, room for 256 entries.
    std::memcpy(reinterpret_cast<uint8_t*>(info) + sizeof(BITMAPINFOHEADER), f.Palette,
                sizeof f.Palette);
  }
  const bool sameLayout = eightBit || (f.BitsPerPixel == 24 && f.RedMask == 0xFF0000 &&
                                       f.GreenMask == 0xFF00 && f.BlueMask == 0xFF);
  if (sameLayout && !forceCopy && image->Pitch == rowLength) {
    *bits = image->Pixels;
    return 0;
  }
  const size_t bytes = static_cast<size_t>(rowLength * image->Height);
  auto* copy = static_cast<uint8_t*>(AllocTrackedZero(bytes, __FILE__, __LINE__));
  if (!copy) return -1;
  if (sameLayout) {
    const size_t used = static_cast<size_t>(image->Width) * (eightBit ? 1 : 3);
    for (int y = 0; y < image->Height; ++y)
      std::memcpy(copy + y * rowLength, image->Pixels + static_cast<ptrdiff_t>(y) * image->Pitch,
                  used);
  } else {
    PixelFormat rgb{};
    SetupRGB8PixelFormat(&rgb);
    const RECT all{0, 0, image->Width, image->Height};
    ConvertImagePixels(copy, static_cast<int>(rowLength), &rgb, image->Pixels, image->Pitch, &f,
                       nullptr, 0, nullptr, 0, 0, &all, 0, 0, 0, 0, 0, 0, 0, 0);
  }
  *bits = copy;
  return 1;
}

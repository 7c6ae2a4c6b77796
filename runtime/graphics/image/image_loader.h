// Image files into GraphImages: the chain of loaders a stream is offered to, the loaders of
// each format, and the front ends that open a file or a memory block as a stream.
#pragma once

#include "port/win32.h"
#include "runtime/graphics/image/graph_image.h"
#include "runtime/platform/files/data_stream.h"

// A loader decodes the stream from its current position (0) into image and returns 0, or
// returns -1 when the stream is not its format or cannot be decoded, having freed whatever it
// allocated.
typedef int (*ImageLoaderFunction)(DataStream* stream, GraphImage* image);

// The built-in chain, in the order tried, ended by a null entry.
extern const ImageLoaderFunction ImageLoaders[];
// Loaders of the caller's own, tried before the built-in chain in this order.
constexpr int kMaxUserImageLoaders = 10;
extern ImageLoaderFunction UserImageLoaders[kMaxUserImageLoaders];
extern int UserImageLoaderCount;

// Offers the stream to every user loader, then to the built-in chain, each time from position
// 0 and with the image zeroed; 0 when one took it, -1 (image zeroed) when none did.
int LoadGraphImage(DataStream* stream, GraphImage* image);

// The loaders. Each refuses an image of width or height 0 and any size beyond the limits of
// image_stream_read.h, and reads no further than the data goes.
int LoadBmpImage(DataStream* stream, GraphImage* image);
int LoadJpegImage(DataStream* stream, GraphImage* image);
int LoadPngImage(DataStream* stream, GraphImage* image);
int LoadBgraImage(DataStream* stream, GraphImage* image);
int LoadTgaImage(DataStream* stream, GraphImage* image);
int LoadDdsImage(DataStream* stream, GraphImage* image);

// Decodes the file fileName or, with fromMemory, the block (data, dataSize). mirror = 1
// mirrors every row. With wantDib the result comes as a BITMAPINFO with room for 256 colours
// and its top-down bits (both tracked-heap blocks for the caller to free) instead of in
// image, which is left zeroed. 0 or -1.
int ReadImageFile(const char* fileName, const void* data, int dataSize, int fromMemory, int wantDib,
                  int mirror, GraphImage* image, BITMAPINFO** dibInfo, void** dibBits);
int ReadImageToGraphImage(const char* fileName, const void* data, int dataSize, int fromMemory,
                          GraphImage* image, int mirror);
// The main image as ReadImageToGraphImage, then its alpha image: alphaMode 0 from the file
// MakeAlphaImageFileName gives, 1 from (alphaData, alphaSize), anything else none. -1 when the
// main image fails, 0 when both were read, 1 when only the main image was.
int ReadImageFileWithAlpha(const char* fileName, const void* data, int dataSize, int fromMemory,
                           const void* alphaData, int alphaSize, int alphaMode, GraphImage* image,
                           GraphImage* alphaImage, int mirror);

// The alpha companion's name: "_a" before the last dot of the name ("data/ship.png" gives
// "data/ship_a.png"), or at its end when there is no dot. -1 (out empty) when the name does
// not fit in outSize bytes.
int MakeAlphaImageFileName(const char* fileName, char* out, size_t outSize);

// Describes the image as a top-down DIB in info (room for 256 colours): an 8-bit image as
// 8 bits with its palette unless force24, anything else as 24 bits. *bits is the image's own
// buffer when its rows already have the DIB layout and forceCopy is 0 (result 0), else a new
// tracked-heap block (result 1). -1 when the image has no pixels or memory runs out.
int GraphImageToDib(GraphImage* image, BITMAPINFO* info, void** bits, int forceCopy, int force24);

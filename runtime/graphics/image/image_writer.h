// GraphImages into image files: BMP (8 or 24 bits), JPEG and PNG. The writers only read the
// image, which may be a view into another buffer.
#pragma once

#include "runtime/graphics/image/graph_image.h"

// An 8-bit image gives an 8-bit file with its palette, a 16- or 32-bit image a 24-bit file;
// rows bottom-up. An existing file is replaced. 0, or -1 for any other depth, an image without
// pixels, or a file that cannot be made or written (nothing is left behind).
int SaveGraphImageAsBmp(const char* fileName, const GraphImage* image);
// quality 0..100 as libjpeg takes it; extra is not used.
int SaveGraphImageAsJpeg(const char* fileName, const GraphImage* image, int quality, int extra);
// level is the deflate level 0..9. An image with alpha gives RGBA, any other RGB.
int SaveGraphImageAsPng(const char* fileName, const GraphImage* image, int level);

// The writers behind the two above. A wide name is not taken on this platform (-1); fileName
// is written instead when wideName is null. A failed write deletes the file it began.
int WriteJpegFile(const wchar_t* wideName, const char* fileName, const GraphImage* image,
                  int quality, int extra);
int WritePngFile(const wchar_t* wideName, const char* fileName, const GraphImage* image, int level);

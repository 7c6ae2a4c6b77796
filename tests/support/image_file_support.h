// Helpers for tests of the image loaders and writers: decoding bytes from a memory stream,
// reading pixels back, and the mutation driver of the fuzz smoke tests.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "runtime/graphics/image/image_loader.h"
#include "tools/lib/image_file_fixtures.h"

// Decodes the bytes with one loader, or the whole chain when loader is null.
int LoadImageBytes(ImageLoaderFunction loader, const ByteString& bytes, GraphImage* image);

// Pixel (x, y) as 0xAARRGGBB through GetGraphImagePixel.
uint32_t ImagePixel(GraphImage* image, int x, int y);
// Every pixel, row by row from the top, as above.
std::vector<uint32_t> ImagePixels(GraphImage* image);

// One to six random changes of the bytes: byte and bit changes, extreme values over the first
// 160 bytes, cut ends, inserted, removed and copied runs.
ByteString Mutate(const ByteString& original, std::mt19937& random);

// Runs `cases` mutated copies of the fixtures through the loader (fixed seed): byte and bit
// changes, inserted and removed bytes, cut ends and extreme values written over header fields.
// Every result must be -1 with the image zeroed, or 0 with an image whose whole buffer can be
// read; nothing may stay allocated. Failures are reported through gtest. repair, when given,
// mends each mutated file (checksums) before it is offered. Returns the number of cases the
// loader took.
int RunImageLoaderSmoke(ImageLoaderFunction loader, const std::vector<ByteString>& fixtures,
                        int cases, uint32_t seed, void (*repair)(ByteString*) = nullptr);

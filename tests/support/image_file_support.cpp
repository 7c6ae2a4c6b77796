#include "tests/support/image_file_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/memory_data_stream.h"

int LoadImageBytes(ImageLoaderFunction loader, const ByteString& bytes, GraphImage* image) {
  MemoryDataStream stream(bytes);
  return loader ? loader(stream.stream(), image) : LoadGraphImage(stream.stream(), image);
}

uint32_t ImagePixel(GraphImage* image, int x, int y) {
  int r = -1, g = -1, b = -1, a = -1;
  if (GetGraphImagePixel(image, x, y, &r, &g, &b, &a) != 0) return 0xDEADBEEF;
  return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 |
         static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

std::vector<uint32_t> ImagePixels(GraphImage* image) {
  std::vector<uint32_t> out;
  for (int y = 0; y < image->Height; ++y)
    for (int x = 0; x < image->Width; ++x) out.push_back(ImagePixel(image, x, y));
  return out;
}

namespace {

bool IsZero(const GraphImage& image) {
  const auto* p = reinterpret_cast<const uint8_t*>(&image);
  return std::all_of(p, p + sizeof image, [](uint8_t b) { return b == 0; });
}

// Reads every byte the image claims to hold, so that the sanitizers see a buffer too short.
uint32_t TouchAll(const uint8_t* p, size_t n) {
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += p[i];
  return sum;
}

void CheckTakenImage(GraphImage* image, const std::string& where) {
  ASSERT_NE(image->Pixels, nullptr) << where;
  ASSERT_GT(image->Width, 0) << where;
  ASSERT_GT(image->Height, 0) << where;
  const PixelFormat& f = image->Format;
  if (f.BlockCompression != 0) {
    const int64_t blockBytes =
        BlockCompressedDataBytes(f.BlockCompression, image->Width, image->Height, image->MipLevels);
    ASSERT_GT(blockBytes, 0) << where;
    TouchAll(image->Pixels, static_cast<size_t>(blockBytes));
    ASSERT_EQ(ExpandBlockCompressedImage(image), 0) << where;
  }
  ASSERT_GE(image->Format.BytesPerPixel, 1) << where;
  ASSERT_GE(image->Pitch, image->Width * image->Format.BytesPerPixel) << where;
  const size_t bytes = static_cast<size_t>(image->Pitch) * (image->Height - 1) +
                       static_cast<size_t>(image->Width) * image->Format.BytesPerPixel;
  volatile uint32_t sink = TouchAll(image->Pixels, bytes);
  (void)sink;
}

}  // namespace

ByteString Mutate(const ByteString& original, std::mt19937& random) {
  ByteString b = original;
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  const int changes = 1 + static_cast<int>(random() % 6);
  for (int c = 0; c < changes && !b.empty(); ++c) {
    switch (random() % 8) {
      case 0:
        b[pick(b.size())] = static_cast<uint8_t>(random());
        break;
      case 1:
        b[pick(b.size())] ^= static_cast<uint8_t>(1u << (random() % 8));
        break;
      case 2: {  // an extreme value over a header field
        static const uint8_t kValues[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0xFE};
        const size_t at = pick(std::min<size_t>(b.size(), 160));
        const size_t width = 1 + pick(4);
        for (size_t i = 0; i < width && at + i < b.size(); ++i)
          b[at + i] = kValues[pick(sizeof kValues)];
        break;
      }
      case 3:
        b.resize(pick(b.size() + 1));
        break;  // cut
      case 4: {
        const size_t at = pick(b.size() + 1);
        b.insert(b.begin() + static_cast<ptrdiff_t>(at), 1 + pick(16),
                 static_cast<uint8_t>(random()));
        break;
      }
      case 5: {
        const size_t at = pick(b.size());
        b.erase(b.begin() + static_cast<ptrdiff_t>(at),
                b.begin() + static_cast<ptrdiff_t>(std::min(b.size(), at + 1 + pick(16))));
        break;
      }
      case 6: {  // a copy of some bytes elsewhere
        const size_t from = pick(b.size()), to = pick(b.size());
        const size_t n = std::min({b.size() - from, b.size() - to, 1 + pick(8)});
        std::memmove(&b[to], &b[from], n);
        break;
      }
      default:
        b[pick(std::min<size_t>(b.size(), 64))] = static_cast<uint8_t>(random());
        break;
    }
  }
  return b;
}

int RunImageLoaderSmoke(ImageLoaderFunction loader, const std::vector<ByteString>& fixtures,
                        int cases, uint32_t seed, void (*repair)(ByteString*)) {
  std::mt19937 random(seed);
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  int taken = 0;
  for (int i = 0; i < cases; ++i) {
    ByteString input = Mutate(fixtures[random() % fixtures.size()], random);
    if (repair) repair(&input);
    GraphImage image;
    std::memset(&image, 0x5A, sizeof image);
    const int result = LoadImageBytes(loader, input, &image);
    const std::string where = "case " + std::to_string(i);
    if (result == 0) {
      ++taken;
      CheckTakenImage(&image, where);
      FreeGraphImage(&image);
    } else {
      EXPECT_EQ(result, -1) << where;
      // Loaders may leave the record as they found it; the chain zeroes it.
      if (!loader) { EXPECT_TRUE(IsZero(image)) << where; }
    }
    if (::testing::Test::HasFatalFailure()) break;
  }
  const TrackedHeapTotals after = GetTrackedHeapTotals();
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(after.bytes, before.bytes);
  return taken;
}

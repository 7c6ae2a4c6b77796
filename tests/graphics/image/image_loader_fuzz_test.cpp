// Fuzz smoke tests: thousands of mutated sample files per loader, with a fixed seed, under the
// sanitizers. Each must give -1 or an image whose whole buffer can be read, and leak nothing.
// The libFuzzer targets in tests/fuzz/ run the same loaders for longer.
#include <gtest/gtest.h>

#include "runtime/graphics/image/image_loader.h"
#include "tests/support/image_file_support.h"

namespace {

constexpr int kCases = 4000;

struct LoaderSamples {
  const char* name;
  ImageLoaderFunction loader;
  std::vector<ByteString> (*samples)();
  void (*repair)(ByteString*);
};

class LoaderSmoke : public ::testing::TestWithParam<LoaderSamples> {};

TEST_P(LoaderSmoke, MutatedFilesAreRefusedOrDecodedInsideTheirBuffers) {
  const LoaderSamples& p = GetParam();
  const std::vector<ByteString> samples = p.samples();
  // Every sample is taken as it stands.
  for (size_t i = 0; i < samples.size(); ++i) {
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(p.loader, samples[i], &image), 0) << "sample " << i;
    FreeGraphImage(&image);
  }
  const int taken = RunImageLoaderSmoke(p.loader, samples, kCases, 20240601u, p.repair);
  // The mutations must leave some files decodable, or the decoders were never reached.
  EXPECT_GT(taken, kCases / 50);
}

INSTANTIATE_TEST_SUITE_P(
    ImageFiles, LoaderSmoke,
    ::testing::Values(LoaderSamples{"Bmp", LoadBmpImage, SampleBmpFiles, nullptr},
                      LoaderSamples{"Tga", LoadTgaImage, SampleTgaFiles, nullptr},
                      LoaderSamples{"Dds", LoadDdsImage, SampleDdsFiles, nullptr},
                      LoaderSamples{"Bgra", LoadBgraImage, SampleBgraFiles, nullptr},
                      // Mutated chunks get their checksums mended, so the decoder sees them.
                      LoaderSamples{"Png", LoadPngImage, SamplePngFiles, RepairPngChunkCrcs},
                      LoaderSamples{"Jpeg", LoadJpegImage, SampleJpegFiles, nullptr}),
    [](const ::testing::TestParamInfo<LoaderSamples>& info) {
      return std::string(info.param.name);
    });

TEST(LoaderChainSmoke, MutatedFilesOfEveryFormatThroughTheChain) {
  std::vector<ByteString> all;
  for (auto samples : {SampleBmpFiles, SampleTgaFiles, SampleDdsFiles, SampleBgraFiles,
                       SamplePngFiles, SampleJpegFiles})
    for (ByteString& s : samples()) all.push_back(std::move(s));
  EXPECT_GT(RunImageLoaderSmoke(nullptr, all, kCases, 77u), kCases / 50);
}

}  // namespace

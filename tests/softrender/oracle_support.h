// What the tests against the slow references share: random blend ramps and palettes for their
// scenes, and the comparison of a whole destination buffer with the reference's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "tests/softrender/memimg_fixture.h"

// A random blend ramp with both ends, 0 and 255, among its entries.
inline void RandomiseBlendRamp(std::mt19937& rng) {
  for (int i = 0; i < 256; ++i) BlendImageRamp[i] = static_cast<uint8_t>(rng());
  BlendImageRamp[rng() % 256] = 0;
  BlendImageRamp[rng() % 256] = 255;
}

// Random palette entries for all 256 indices, one of the first four transparent.
inline void RandomisePalette(MemImgBody& body, bool deep, std::mt19937& rng) {
  for (int i = 0; i < 256 * (deep ? 4 : 2); ++i) body.palette[i] = static_cast<uint8_t>(rng());
  body.transparentColor = rng() % 4;
  body.colorsUsed = 256;
}

// True when the destination buffer, canaries included, is byte for byte `expected`; otherwise a
// failure names the draw (describe() gives its text) and the first byte that differs.
template <class Describe>
bool MatchesReference(const CanaryImage& dst, const std::vector<uint8_t>& expected,
                      Describe&& describe) {
  if (expected == dst.buffer) return true;
  for (size_t i = 0; i < expected.size(); ++i)
    if (expected[i] != dst.buffer[i]) {
      const ptrdiff_t off = static_cast<ptrdiff_t>(i) - CanaryImage::kMargin;
      ADD_FAILURE() << describe() << ": first difference at destination byte offset " << off
                    << " (row " << off / dst.pitch << ", byte " << off % dst.pitch << "): got "
                    << int(dst.buffer[i]) << ", reference " << int(expected[i]);
      break;
    }
  return false;
}

// A test run once for each compilation of the plain blit's leaves: the choice this processor
// makes, and each compilation forced for every leaf (skipped where the processor lacks it).
// Instantiate with kEachLeafCompilation, LeafCompilationName.
class EachLeafCompilation : public testing::TestWithParam<LeafCompilation> {
 protected:
  void SetUp() override {
    if (!PlainLeafCompilationRuns(GetParam())) GTEST_SKIP() << "this processor lacks it";
    SetPlainLeafCompilation(GetParam());
  }
  void TearDown() override { SetPlainLeafCompilation(LeafCompilation::Preferred); }
};

inline const auto kEachLeafCompilation =
    testing::Values(LeafCompilation::Preferred, LeafCompilation::Generic, LeafCompilation::Avx2,
                    LeafCompilation::Avx512);

inline std::string LeafCompilationName(const testing::TestParamInfo<LeafCompilation>& info) {
  switch (info.param) {
    case LeafCompilation::Generic:
      return "Generic";
    case LeafCompilation::Avx2:
      return "Avx2";
    case LeafCompilation::Avx512:
      return "Avx512";
    default:
      return "Preferred";
  }
}

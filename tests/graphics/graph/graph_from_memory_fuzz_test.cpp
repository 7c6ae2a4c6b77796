// Fuzz smoke test of graphs made from image files in memory on the software path (the device
// tests run the same on a real device).
#include <gtest/gtest.h>

#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/graph_load_checks.h"

namespace {

constexpr int kCases = 3000;

using GraphsFromMemorySmoke = SoftwareGraphs;

// The fixtures' tear-down checks that no graph and no tracked block is left.
TEST_F(GraphsFromMemorySmoke, MutatedFilesOnTheSoftwarePath) {
  EXPECT_GT(RunGraphFromMemorySmoke(kCases, 515u), kCases / 50);
}

}  // namespace

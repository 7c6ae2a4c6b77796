// The graph tests' set-up on the software path: a 640 x 480 x 32 screen with graphics marked
// running, the draw settings at their start values, and on tear-down every graph and soft image
// deleted and the tracked heap back where it started.
#pragma once

#include <gtest/gtest.h>

#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/graph_pictures.h"

class SoftwareGraphs : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TrackedHeapTotals heapAtStart_ = {};
};

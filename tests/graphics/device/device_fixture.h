// The device layer with a recording device in place of a real one: every call the layer makes
// is recorded and answered D3D_OK, so the state cache, the batch and the blend selection can be
// checked call by call without OpenGL.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/window/window_state.h"
#include "tests/support/recording_device.h"

// The device layer's globals back to a fresh hardware start on a 640 x 480 x 32 screen.
void ResetDeviceLayer();

class RecordedDeviceTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Queues one quad of the current kind (six vertices).
  void QueueQuad();
  // The SetRenderState value last sent for a state; for a blend-header state still at the
  // cache's start value 0, that value; else -1 when none was sent.
  int64_t LastRenderState(D3DRENDERSTATETYPE state) const;
  int64_t LastStageState(int stage, D3DTEXTURESTAGESTATETYPE type) const;

  RecordingDevice* device_ = nullptr;
};

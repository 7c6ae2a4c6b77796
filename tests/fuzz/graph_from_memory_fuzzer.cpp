// libFuzzer target: image files in memory made into graphs on the software path, plain and
// mirrored, each graph deleted again.
#include <cstddef>
#include <cstdint>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/screen_mode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  ScreenMode = {640, 480, 32, 60};
  GraphicsInitialised = 1;
  HardwareRendering = 0;
  ColorKey = 0xFF00FF;
  for (int mirror = 0; mirror < 2; ++mirror) {
    const int graph = CreateGraphFromMemory(data, static_cast<int>(size), nullptr, 0, 1, mirror);
    if (graph != -1) DeleteGraphHandle(graph);
  }
  return 0;
}

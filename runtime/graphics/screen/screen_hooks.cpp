#include "runtime/graphics/screen/screen_hooks.h"

#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/font/font_system.h"
#include "runtime/graphics/graph/soft_image.h"
#include "runtime/graphics/mask/mask_screen.h"
#include "runtime/graphics/model/model_system.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/movie/theora_decoder.h"
#include "runtime/graphics/screen/device_loss.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/platform/startup/library_hooks.h"
#include "runtime/platform/window/window_hooks.h"

ScreenServiceHooks ScreenHooks = {};

namespace {

int HasDisplayModeOfSize(int width, int height) {
  const int count = CountDisplayModes();
  for (int i = 0; i < count; ++i) {
    const DisplayModeEntry mode = GetDisplayModeEntry(i);
    if (mode.width == width && mode.height == height) return 1;
  }
  return 0;
}

// After the window was reactivated: the scene ends and one present shows whether the device
// survived.
int PresentAfterActivation() {
  EndSceneIfActive();
  return PresentBackBuffer(nullptr);
}

// The window moved: with the front buffer as target the mask screen is switched off and back
// so that the render target is chosen again, and the draw area is applied again so that the
// device's viewport and scissor follow.
void OnWindowMoved() {
  if (DrawTarget == -4 && ScreenHooks.getUseMaskScreen && ScreenHooks.setUseMaskScreen) {
    const int use = ScreenHooks.getUseMaskScreen();
    ScreenHooks.setUseMaskScreen(0);
    ScreenHooks.setUseMaskScreen(use);
  }
  SetDrawClipRect(DrawArea.left, DrawArea.top, DrawArea.right, DrawArea.bottom);
}

}  // namespace

void InstallGraphicsHooks() {
  // Installed once; a caller that put its own graphics steps in place keeps them.
  InstallFontHooks();
  if (LibraryHooks.initializeGraphics != nullptr) return;
  LibraryServiceHooks& library = LibraryHooks;
  library.buildYuvTables = &BuildYuvTables;
  library.hasDisplayModeOfSize = &HasDisplayModeOfSize;
  library.setScreenSize = [](int width, int height) {
    ScreenMode.width = width;
    ScreenMode.height = height;
  };
  library.setRestoreCallback = &SetRestoreCallback;
  library.initializeGraphics = &InitializeGraphics;
  library.setDrawTarget = &SetDrawTarget;
  library.terminateGraphics = &TerminateGraphics;
  library.deleteAllSoftImages = &DeleteAllSoftImages;
  InstallMaskScreenHooks();
  InstallModelHooks();

  WindowServiceHooks& window = WindowHooks;
  window.drawAutoMovies = [] { DrawAutoMovies(); };
  window.resumeAllMovies = [] { ResumeAllMovies(); };
  window.pauseAllMovies = [] { PauseAllMovies(); };
  window.releaseGraphicsForDisplayChange = [] { ReleaseGraphicsForDisplayChange(); };
  window.hasGraphicsDevice = [] { return Direct3DDevice != nullptr ? 1 : 0; };
  window.presentAfterActivation = &PresentAfterActivation;
  window.hasDirectDrawObject = [] { return GetDirectDrawObject() != nullptr ? 1 : 0; };
  window.hasRestoreCallback = &HasRestoreCallback;
  window.isHardwareRendering = [] { return HardwareRendering; };
  window.getScreenSize = &GetScreenSize;
  window.getScreenBitDepth = &GetScreenBitDepth;
  window.isDisplayModeAvailable = &IsDisplayModeAvailable;
  window.softwareRenderingRequested = [] { return SoftwareRenderingRequested; };
  window.setEmulate320x240 = [](int flag) { Emulate320x240 = flag; };
  window.changeScreenModeForWindowMode = [] { return ChangeScreenMode(-1, -1, -1, 1, -1); };
  window.getDrawTarget = &GetDrawTarget;
  window.presentForPaint = &PresentForPaint;
  window.onWindowMoved = &OnWindowMoved;
  window.setDeviceDialogBoxMode = [](int on) { SetDeviceDialogBoxMode(on); };
}

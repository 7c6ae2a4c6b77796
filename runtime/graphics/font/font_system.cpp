#include "runtime/graphics/font/font_system.h"

#include <cstring>

#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/text_draw.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/on_screen_log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/window/window_state.h"

DefaultFontSettingsRecord DefaultFontSettings = {};
int DefaultFontHandle = -1;

namespace {

// What a font is made from, read back from a live one.
struct FontRecipe {
  char face[kFontFaceNameBytes];
  int size, thickness, type, charset, edgeSize, italic, spacing;
};

FontRecipe RecipeOf(const FontEntry& e) {
  FontRecipe r = {};
  CopyTextBounded(r.face, sizeof(r.face), e.FaceName);
  r.size = e.Size;
  r.thickness = e.Thickness;
  r.type = e.Type;
  r.charset = e.CharsetIndex;
  r.edgeSize = e.EdgeSize;
  r.italic = e.Italic;
  r.spacing = e.Spacing;
  return r;
}

int CreateFromRecipe(const FontRecipe& r, int slot, int checkNumber) {
  return CreateFontToHandle(r.face[0] != '\0' ? r.face : nullptr, r.size, r.thickness, r.type,
                            r.charset, r.edgeSize, r.italic, slot, checkNumber);
}

int CreateDefaultFont() {
  const DefaultFontSettingsRecord& d = DefaultFontSettings;
  const int handle = CreateFontToHandle(
      d.FaceName[0] != '\0' ? d.FaceName : nullptr, d.Size, d.Thickness, d.Type, d.CharsetIndex,
      (d.Type & kFontTypeEdge) ? d.EdgeSize : -1, d.Italic, -1, -1);
  SetFontSpacing(d.Spacing, handle);
  return handle;
}

int LibraryCharsetIndex() { return CharSetMode >= 0 && CharSetMode <= 4 ? CharSetMode : 0; }

void DeleteEveryFont() {
  for (int slot = 0; slot < kMaxFontHandles; ++slot) {
    const int handle = HandleOfSlot(&FontHandles, slot);
    if (handle != -1) DeleteFontHandle(handle);
  }
}

int RememberDefaultFont(int* size, int* thickness) {
  return GetFontHandleSettings(nullptr, size, thickness, DefaultFontHandle) == 0 ? 1 : 0;
}

void RecreateDefaultFont(int size, int thickness) {
  SetDefaultFontSizeAndThickness(nullptr, size, thickness);
}

void InstallFontSteps() {
  ScreenHooks.startFontSystem = [] { StartFontSystem(); };
  ScreenHooks.endFontSystem = [] { EndFontSystem(); };
  ScreenHooks.recreateAllFonts = [] { RecreateAllFonts(); };
  ScreenHooks.rememberDefaultFont = &RememberDefaultFont;
  ScreenHooks.recreateDefaultFont = &RecreateDefaultFont;
}

int OnScreenLogGraphicsReady() {
  return GetDirectDrawObject() != nullptr && WindowState.mainWindow != nullptr ? 1 : 0;
}

int CreateOnScreenLogFont() { return CreateFontToHandle(nullptr, 16, 4, 1, -1, -1, 0, -1, -1); }

int OnScreenLogScreenHeight() {
  int height = 0;
  GetScreenSize(nullptr, &height);
  return height;
}

void DrawOnScreenLogLine(int x, int y, const char* text, int font) {
  DrawStringWithFont(x, y, text, static_cast<int>(MakeColorValue(255, 255, 255)), font,
                     static_cast<int>(MakeColorValue(0, 0, 0)), 0);
}

}  // namespace

void RefreshDefaultFont() {
  const DefaultFontSettingsRecord& d = DefaultFontSettings;
  if (const FontEntry* e = GetFontEntry(DefaultFontHandle)) {
    if (std::strcmp(e->FaceName, d.FaceName) == 0 && e->Type == d.Type && e->Size == d.Size &&
        e->Thickness == d.Thickness && e->CharsetIndex == d.CharsetIndex &&
        e->EdgeSize == d.EdgeSize && e->Italic == d.Italic)
      return;
    DeleteFontHandle(DefaultFontHandle);
  }
  DefaultFontHandle = CreateDefaultFont();
}

int SetDefaultFontSize(int size) {
  DefaultFontSettings.Size = size == -1 ? 16 : size;
  RefreshDefaultFont();
  return 0;
}

int SetDefaultFontThickness(int thickness) {
  DefaultFontSettings.Thickness = thickness == -1 ? 6 : thickness;
  RefreshDefaultFont();
  return 0;
}

int SetDefaultFontType(int type) {
  DefaultFontSettings.Type = type == -1 ? 0 : type;
  RefreshDefaultFont();
  return 0;
}

int SetDefaultFontSizeAndThickness(const char*, int size, int thickness) {
  DefaultFontSettings.Size = size;
  DefaultFontSettings.Thickness = thickness;
  RefreshDefaultFont();
  return 0;
}

int GetDefaultFontHandle() { return DefaultFontHandle; }

int StartFontSystem() {
  // Fonts made before the start (a setter called early) are not lost track of.
  DeleteEveryFont();
  FontHandles.nextCheckNumber = 0;
  DefaultFontHandle = -1;
  DefaultFontSettings = {};
  DefaultFontSettings.Size = 16;
  DefaultFontSettings.Thickness = 6;
  DefaultFontSettings.Type = 0;
  DefaultFontSettings.CharsetIndex = LibraryCharsetIndex();
  DefaultFontSettings.EdgeSize = 1;
  return ResetFontSystem();
}

int ResetFontSystem() {
  WriteLogText("フォントの初期化を行います\n");
  LogIndentIn();
  const FontEntry* live = GetFontEntry(DefaultFontHandle);
  const bool remembered = live != nullptr;
  const FontRecipe recipe = remembered ? RecipeOf(*live) : FontRecipe{};
  DeleteEveryFont();
  if (remembered) {
    DefaultFontHandle = CreateFromRecipe(recipe, -1, -1);
    SetFontSpacing(DefaultFontSettings.Spacing, DefaultFontHandle);
  } else {
    DefaultFontHandle = CreateDefaultFont();
  }
  LogIndentOut();
  WriteLogText("フォントの初期化は正常に終了しました\n");
  return 0;
}

int EndFontSystem() {
  ResetFontSystem();
  DeleteFontHandle(DefaultFontHandle);
  DefaultFontHandle = -1;
  return 0;
}

int RecreateAllFonts() {
  for (int slot = 0; slot < kMaxFontHandles; ++slot) {
    const int handle = HandleOfSlot(&FontHandles, slot);
    const FontEntry* e = GetFontEntry(handle);
    if (e == nullptr) continue;
    const FontRecipe recipe = RecipeOf(*e);
    int* lostFlag = e->LostFlag;
    // Its owner keeps the handle: the flag must not say it was lost.
    SetFontLostFlag(handle, nullptr);
    DeleteFontHandle(handle);
    if (CreateFromRecipe(recipe, slot, HandleCheckNumberOf(handle)) == handle) {
      SetFontSpacing(recipe.spacing, handle);
      SetFontLostFlag(handle, lostFlag);
    } else if (lostFlag != nullptr) {
      *lostFlag = 1;
    }
  }
  return 0;
}

void InstallFontHooks() {
  ScreenServiceHooks& screen = ScreenHooks;
  // Steps put in place before (by a test) stay, all of them: a start of one kind with an end of
  // the other would leave fonts behind.
  if (!screen.startFontSystem && !screen.endFontSystem && !screen.recreateAllFonts &&
      !screen.rememberDefaultFont && !screen.recreateDefaultFont)
    InstallFontSteps();
  OnScreenLogHooks log = {};
  log.graphicsReady = &OnScreenLogGraphicsReady;
  log.createFont = &CreateOnScreenLogFont;
  log.setFontLostFlag = [](int font, int* flag) { SetFontLostFlag(font, flag); };
  log.deleteFont = [](int font) { DeleteFontHandle(font); };
  log.screenHeight = &OnScreenLogScreenHeight;
  log.drawLine = &DrawOnScreenLogLine;
  SetOnScreenLogHooks(&log);
}

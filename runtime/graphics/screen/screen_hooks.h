// What the screen layer calls in the graphics parts built on top of it (fonts, the mask screen,
// 3-D models): one pointer per step of start-up, shutdown, device re-creation and target
// selection. A pointer stays null until its part installs it, and a null step is skipped (or
// answers as stated), so the screen runs without those parts.
#pragma once

struct IDirect3DSurface9;

struct ScreenServiceHooks {
  // Fonts.
  void (*startFontSystem)();
  void (*endFontSystem)();
  void (*recreateAllFonts)();
  // Across a screen-mode change: 1 with the size and thickness of a live default font, else 0;
  // then the default font made again with them.
  int (*rememberDefaultFont)(int* size, int* thickness);
  void (*recreateDefaultFont)(int size, int thickness);
  // The mask screen. null: never in use.
  int (*getUseMaskScreen)();
  int (*setUseMaskScreen)(int flag);
  int (*maskScreenActive)();
  IDirect3DSurface9* (*maskScreenSurface)();
  void (*releaseMaskScreen)();
  void (*recreateMaskScreen)();
  void (*terminateMaskScreen)();
  void (*deleteAllMaskHandles)();
  // Models.
  void (*restoreModelTextures)();
  void (*setupAllModelBaseBuffers)();
};

extern ScreenServiceHooks ScreenHooks;

// Installs the graphics layer's entries into the library's start-up and window hooks, unless
// graphics steps are in place already (installed before, or stand-ins of a test), and the fonts
// into these hooks (unless font steps are in place) and the on-screen log's. Library start-up
// calls it before its first step.
void InstallGraphicsHooks();

// The on-screen log: a font and an 80-line text buffer that the present step can draw over the
// screen. Its font and drawing come from the graphics layer through OnScreenLogHooks; until the
// graphics layer installs them the on-screen log cannot be activated.
#pragma once

constexpr int kOnScreenLogLines = 80;
constexpr int kOnScreenLogLineBytes = 255;

struct OnScreenLogState {
  int active;
  int enabled;  // drawn only when set; nothing in the system sets it
  int lineHeight;
  int fontHandle;  // -1 when none
  int fontLost;    // 1 when the font must be made again
  int cursorLine;
  int cursorColumn;
  char buffer[kOnScreenLogLines][kOnScreenLogLineBytes];
};

// What the graphics layer provides. Each may be null while that service does not exist.
struct OnScreenLogHooks {
  // 1 when the display object and the main window exist.
  int (*graphicsReady)();
  // CreateFontToHandle(no face, size 16, thickness 4, type 1, ...): a font handle or -1.
  int (*createFont)();
  // Registers the flag that deleting the font sets to 1.
  void (*setFontLostFlag)(int fontHandle, int* flag);
  void (*deleteFont)(int fontHandle);
  int (*screenHeight)();
  // One line in white with a black edge, horizontal.
  void (*drawLine)(int x, int y, const char* text, int fontHandle);
};

// Installs the graphics layer's hooks (copied); null removes them.
void SetOnScreenLogHooks(const OnScreenLogHooks* hooks);

// -1 without graphics; 0 when active (at once when it already was).
int InitOnScreenLog();
// Makes the font again when it was lost. 0, or -1 when inactive or no font could be made.
int RefreshOnScreenLogFont();
// Draws the buffer's lines that fit on the screen. 0, or -1 when inactive.
int DrawOnScreenLog();
int GetOnScreenLogFlag();
// Shutdown: deletes the font unless it was lost, and deactivates.
void EndOnScreenLog();
const OnScreenLogState& GetOnScreenLogState();

// The font system: the default font and its settings, the start, reset and end that the
// graphics start-up and shutdown run, the re-creation of every font after a new device, and
// the installing of the font steps into the screen layer's and the on-screen log's hooks.
#pragma once

// What the default font is made from.
struct DefaultFontSettingsRecord {
  char FaceName[256];  // empty: the default face
  int Size;
  int Thickness;
  int Type;
  int CharsetIndex;
  int EdgeSize;
  int Italic;
  int Spacing;
};

extern DefaultFontSettingsRecord DefaultFontSettings;
// The font made from DefaultFontSettings, -1 none.
extern int DefaultFontHandle;

// -1 means 16, 6 and 0; the default font is then made again when it differs. 0.
int SetDefaultFontSize(int size);
int SetDefaultFontThickness(int thickness);
int SetDefaultFontType(int type);
// Both values, then the default font made again; the face is not used. 0.
int SetDefaultFontSizeAndThickness(const char* face, int size, int thickness);
int GetDefaultFontHandle();
// Deletes the default font and makes it from the settings, unless it is live and was made from
// them already.
void RefreshDefaultFont();

// Each returns 0. Start: no fonts, the default settings, then a reset. Reset: every font
// deleted and the default font made again with what it was. End: a reset, then the default
// font deleted. RecreateAllFonts: every font deleted and made again in its slot with its check
// number, so each handle keeps its value, and with its spacing.
int StartFontSystem();
int ResetFontSystem();
int EndFontSystem();
int RecreateAllFonts();

// Puts the font steps into the screen layer's hooks (unless steps are in place there) and the
// on-screen log's (its font: no face, size 16, thickness 4, type 1; its lines white with a
// black edge).
void InstallFontHooks();

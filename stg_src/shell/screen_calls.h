// The default-font setters that SetGameScreen calls, as the font layer names them. Declared
// here only until the font layer's own header declares them; font_setters.cpp holds their
// stand-in bodies until then.
#pragma once

int SetDefaultFontSize(int size);
int SetDefaultFontThickness(int thickness);
int SetDefaultFontType(int type);

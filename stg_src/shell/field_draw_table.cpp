// The play field draws through FieldDraw; these are its defaults: the runtime's draw calls, the
// bitmap font, and the overlay of the closing stages (result_scenes.h), drawn last.
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/font_text.h"
#include "stg_src/shell/result_scenes.h"

#include "stg_src/game/deterministic.h"

const FieldDrawCalls kDefaultFieldDrawCalls = {
    SetBlendMode,    SetDrawBrightness, MakeColorValue,   SetTextureFilterMode,
    SetDrawClipRect, DrawGraphAt,       DrawGraphRotated, DrawGraphFourCorners,
    DrawRectangle,   DrawFontText,      DrawFontNumber,   DrawEndingCredits,
};

FieldDrawCalls FieldDraw = kDefaultFieldDrawCalls;

// Lettering: the stroke font behind the bitmap font sheet and every caption, the HUD board,
// the title and the logo.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/datakit/painters.h"

namespace {

constexpr float kPi = 3.14159265f;

// Glyphs on a 5 x 7 grid (x 0..4, y 0..6 downwards) for codes 32 to 91: polylines of digit
// pairs "xy", separated by spaces; a lone pair is a dot.
const char* const kGlyphs[60] = {
    "",                                  // space
    "2024 26",                           // !
    "1012 3032",                         // "
    "1115 3135 0242 0444",               // #
    "4130100102133344453616 05 2026",    // $
    "0640 01 45",                        // %
    "4613112031320405162644",            // &
    "2022",                              // '
    "30212536",                          // (
    "10313516",                          // )
    "2125 0244 0442",                    // *
    "2125 0343",                         // +
    "2516",                              // ,
    "0343",                              // -
    "26",                                // .
    "0640",                              // /
    "103041453616050110 3115",           // 0 (slashed, unlike the O and the Q)
    "11202026 1636",                     // 1
    "01103041420646",                    // 2
    "01103041423313 334445361605",       // 3
    "36300444",                          // 4
    "400002324345361605",                // 5
    "3010010516364544331304",            // 6
    "0040412426",                        // 7
    "13020110304142331304051636454433",  // 8
    "4233130201103041453616",            // 9
    "21 25",                             // :
    "21 2516",                           // ;
    "400346",                            // <
    "0242 0444",                         // =
    "004306",                            // >
    "01103041422324 26",                 // ?
    "343212144441301001051646",          // @
    "0602204246 0444",                   // A
    "06003041423303 3344453606",         // B
    "4130100105163645",                  // C
    "00304145360600",                    // D
    "40000646 0333",                     // E
    "400006 0333",                       // F
    "41301001051636454323",              // G
    "0006 4046 0343",                    // H
    "1030 2026 1636",                    // I
    "204045361605",                      // J
    "0006 4004 1346",                    // K
    "000646",                            // L
    "0600234046",                        // M
    "06004640",                          // N
    "103041453616050110",                // O
    "06003041423303",                    // P
    "103041453616050110 2446",           // Q
    "06003041423303 2346",               // R
    "413010010213334445361605",          // S
    "0040 2026",                         // T
    "000516364540",                      // U
    "0003264340",                        // V
    "0006234640",                        // W
    "0046 4006",                         // X
    "002340 2326",                       // Y
    "00400646",                          // Z
    "30101636",                          // [
};

const char* GlyphOf(unsigned char ch) {
  if (ch >= 'a' && ch <= 'z') ch = static_cast<unsigned char>(ch - 'a' + 'A');
  if (ch == '_') return "0646";
  if (ch > 91 && ch <= 96) ch = 91;
  if (ch < 32 || ch > 91) return "";
  return kGlyphs[ch - 32];
}

// Calls f(x0, y0, x1, y1) in grid units for every stroke of the glyph (a dot has x0 = x1).
template <typename F>
void ForEachStroke(const char* glyph, F f) {
  const size_t n = std::strlen(glyph);
  size_t i = 0;
  while (i < n) {
    size_t j = i;
    while (j < n && glyph[j] != ' ') ++j;
    if (j - i == 2) {
      const float x = glyph[i] - '0', y = glyph[i + 1] - '0';
      f(x, y, x, y);
    }
    for (size_t k = i; k + 3 < j; k += 2)
      f(glyph[k] - '0', glyph[k + 1] - '0', glyph[k + 2] - '0', glyph[k + 3] - '0');
    i = j + 1;
  }
}

}  // namespace

float StrokeTextWidth(const char* text, float height) { return std::strlen(text) * height * 0.8f; }

float DrawStrokeText(Canvas& c, const char* text, float x, float y, float height, float weight,
                     Rgb fill, Rgb edge, bool measureOnly) {
  const float unit = height / 6.0f;
  const float advance = height * 0.8f;
  if (measureOnly) return StrokeTextWidth(text, height);
  // Edge first, fill over it, so strokes of one letter join cleanly.
  for (int pass = 0; pass < 2; ++pass) {
    float px = x;
    for (const char* t = text; *t; ++t, px += advance) {
      ForEachStroke(GlyphOf(static_cast<unsigned char>(*t)), [&](float x0, float y0, float x1,
                                                                 float y1) {
        const float w = pass == 0 ? weight + 2 : weight;
        const float ax = px + x0 * unit * 0.82f + weight / 2, ay = y + y0 * unit;
        const float bx = px + x1 * unit * 0.82f + weight / 2, by = y + y1 * unit;
        if (pass == 0) {
          StrokeLine(c, ax, ay, bx, by, w, edge);
        } else {
          // Lighter at the top, as the light falls.
          StrokeLine(c, ax, ay, bx, by, w, Mix(fill, fill * 0.72f, ((ay + by) / 2 - y) / height));
        }
      });
    }
  }
  return advance * std::strlen(text);
}

char FontCellCharacter(int cell) {
  // The score labels are written "SCORE+": their cell is the colon's. The codes 91 to 96 all
  // draw cell 91, and of them the game's texts use only the underscore of the replay names.
  if (cell == '+') return ':';
  if (cell == 91) return '_';
  return cell >= 33 && cell < 91 ? static_cast<char>(cell) : 0;
}

void PaintFontGlyph(Canvas& c, char ch) {
  // Cap height 13.5 (y 3..17), strokes 2.2 px with a 1 px dark edge: x stays within 1..13, the
  // ink in the left 14 pixels, as the game places glyphs 14 pixels apart.
  const float height = 13.5f, weight = 2.2f;
  const float unit = height / 6.0f;
  const char* glyph = GlyphOf(static_cast<unsigned char>(ch));
  // A dot is drawn as a round spot a little heavier than a stroke, so colons and full stops
  // read at the game's size.
  for (int pass = 0; pass < 2; ++pass)
    ForEachStroke(glyph, [&](float x0, float y0, float x1, float y1) {
      const float ax = 3.0f + x0 * unit * 0.82f, ay = 3.2f + y0 * unit;
      const float bx = 3.0f + x1 * unit * 0.82f, by = 3.2f + y1 * unit;
      const bool dot = x0 == x1 && y0 == y1;
      const float w = dot ? weight + 1 : weight;
      if (pass == 0)
        StrokeLine(c, ax, ay, bx, by, w + 2, Hex(0x101018));
      else
        StrokeLine(c, ax, ay, bx, by, w,
                   Mix(Rgb{1, 1, 1}, Hex(0xB8C4D8), ((ay + by) / 2 - 3) / height));
    });
}

void PaintFont(Canvas& c, const PaintCell& p) {
  // The glyph of code c sits in cell c, but for the cells the game's texts borrow.
  if (const char ch = FontCellCharacter(p.frame)) PaintFontGlyph(c, ch);
}

namespace {

std::string CaptionText(int variant) {
  char star[32];
  switch (variant) {
    case 0:
      return "MAIN POWER UP";
    case 1:
      return "SUB POWER UP";
    case 2:
      return "CHARGE POWER UP";
    case 30:
      return "NEW WEAPON UNLOCKED";
    default:
      std::snprintf(star, sizeof star, "STAR %d/10", variant - 10);
      return std::string(star);
  }
}

Rgb CaptionColour(int variant) {
  switch (variant) {
    case 0:
      return Hex(0xFF7080);
    case 1:
      return Hex(0x70FFA0);
    case 2:
      return Hex(0xF8FF60);
    case 30:
      return Hex(0xFFE080);
    default:
      return Hex(0xFFD850);
  }
}

void CenteredCaption(Canvas& c, const char* text, Rgb colour, float height, float weight) {
  const float w = StrokeTextWidth(text, height);
  const float x = (c.w - w) / 2, y = (c.h - height) / 2;
  // A soft glow behind the letters keeps them readable over any background.
  GlowLine(c, x + 4, c.h / 2.0f, x + w - 4, c.h / 2.0f, height * 0.8f, colour * 0.12f, 0.5f);
  DrawStrokeText(c, text, x, y, height, weight, colour, Hex(0x0A0A14));
}

}  // namespace

void PaintCaption(Canvas& c, const PaintCell& p) {
  if (p.variant == 30) {
    // A banner across the screen: a dark strip with bright rules, and the words.
    for (int y = 6; y < c.h - 6; ++y)
      for (int x = 8; x < c.w - 8; ++x) {
        const float edge = std::fmin(x - 8, c.w - 9 - x) / 60.0f;
        BlendOver(c, x, y, Hex(0x101420), 0.75f * std::fmin(1.0f, edge));
      }
    GlowLine(c, 20, 7, c.w - 20, 7, 1.2f, Hex(0xFFC040), 0.8f);
    GlowLine(c, 20, c.h - 8, c.w - 20, c.h - 8, 1.2f, Hex(0xFFC040), 0.8f);
    CenteredCaption(c, CaptionText(30).c_str(), CaptionColour(30), 26, 4);
    return;
  }
  CenteredCaption(c, CaptionText(p.variant).c_str(), CaptionColour(p.variant), 14, 2.4f);
}

void PaintInfoStrip(Canvas& c, const PaintCell& p) {
  // Frame 2d: the speed bonus of difficulty d; 2d + 1: the shield bonus.
  const int d = p.frame / 2;
  const bool shield = p.frame % 2 == 1;
  char text[24];
  std::snprintf(text, sizeof text, "%d", shield ? (d + 1) * 10000 : (d + 1) * 2500);
  CenteredCaption(c, text, shield ? Hex(0x70E8FF) : Hex(0x80B0FF), 13, 2.4f);
}

void PaintBoard(Canvas& c, const PaintCell& p) {
  // The HUD strip under the play field: a dark metal plate with wells where the game draws
  // lives, speed, bonus stars, the four weapon panels and the charge gauge.
  Body b(c.w, c.h);
  BodyBox(b, c.w / 2.0f, c.h / 2.0f, c.w / 2.0f + 4, c.h / 2.0f + 4, 0,
          BodyStyle{Hex(0x2A3240), 3, 0});
  BodyGroove(b, 0, 1, c.w, 1, 1.5f, 3);
  auto well = [&](float x0, float y0, float x1, float y1) {
    BodyBox(b, (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, 3,
            BodyStyle{Hex(0x0C1018), 1.5f, -2});
  };
  well(4, 6, 68, 40);      // lives
  well(70, 6, 140, 28);    // speed pips
  well(4, 44, 138, 74);    // bonus stars
  well(145, 3, 213, 77);   // main weapon
  well(235, 3, 303, 77);   // sub 1
  well(318, 3, 386, 77);   // sub 2
  well(408, 3, 476, 77);   // charge weapon
  well(479, 30, 636, 58);  // charge gauge
  for (int i = 0; i < 8; ++i)
    BodyEllipse(b, 226 + (i % 2) * 170.0f, 10 + (i / 2) * 19.0f, 2, 2,
                BodyStyle{Hex(0x586070), 1.5f, 1});
  Material m;
  m.seed = p.seed;
  m.grain = 0.12f;
  m.grainScale = 3;
  ShadeBody(c, b, m, false);
  // The labels pale on their dark wells, clear of what the game draws there: the lives number
  // (x 13-27, y 20-40), the speed pips (y 8-24) and the bonus stars (y 47-59).
  const Rgb label = Hex(0xC8DCF8), edge = Hex(0x05070A);
  DrawStrokeText(c, "SHIP", 8, 9, 9, 1.6f, label, edge);
  DrawStrokeText(c, "SPEED", 87, 31, 9, 1.6f, label, edge);
  DrawStrokeText(c, "BONUS", 53, 63, 9, 1.6f, label, edge);
  DrawStrokeText(c, "CHARGE", 482, 14, 8, 1.4f, Hex(0xC8D060), edge);
  DrawStrokeText(c, "KELVANOR", 520, 64, 7, 1.3f, Hex(0x5A6478), edge);
}

void PaintGauge(Canvas& c, const PaintCell& p) {
  // Gauge bars: 0 the empty frame, 1 the filled bar, 2 a spare highlight.
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const bool border = x < 2 || y < 2 || x >= c.w - 2 || y >= c.h - 2;
      const float t = y / static_cast<float>(c.h - 1);
      if (p.frame == 0)
        BlendOver(c, x, y, border ? Hex(0x8090A8) : Hex(0x101622), border ? 1 : 0.8f);
      else if (p.frame == 1)
        BlendOver(c, x, y, border ? Hex(0xFFF0A0) : Mix(Hex(0xFFE860), Hex(0xE08020), t), 1);
      else
        BlendOver(c, x, y, Mix(Hex(0xFFFFFF), Hex(0x80C0FF), t), border ? 1 : 0.6f);
    }
}

void PaintMenuBar(Canvas& c, const PaintCell& p) {
  // The selected item's bar (0) glows; the other (1) is a quiet plate.
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float ex = std::fmin(x + 0.5f, c.w - x - 0.5f) / 24.0f;
      const float ey = 1 - std::fabs((y + 0.5f) - c.h / 2.0f) / (c.h / 2.0f);
      const float a = std::fmin(1.0f, ex) * std::fmin(1.0f, ey * 2.5f);
      if (p.variant == 0)
        BlendOver(c, x, y,
                  Mix(Hex(0x3A7CFF), Hex(0x0A2A80), std::fabs(y - c.h / 2.0f) / (c.h / 2.0f)),
                  0.85f * a);
      else
        BlendOver(c, x, y, Hex(0x202838), 0.6f * a);
    }
  if (p.variant == 0) {
    GlowLine(c, 12, 2, c.w - 12, 2, 1, Hex(0x9CD0FF), 0.6f);
    GlowLine(c, 12, c.h - 3, c.w - 12, c.h - 3, 1, Hex(0x9CD0FF), 0.6f);
  }
}

void PaintTitle(Canvas& c, const PaintCell& p) {
  // The name in bevelled metal letters over a blue glow, with a swept underline.
  const char* name = "KELVANOR";
  const float height = 54, weight = 9;
  const float unit = height / 6.0f;
  const float advance = height * 0.78f;
  const float width = advance * 8 - advance * 0.2f;
  const float x0 = (c.w - width) / 2, y0 = 36;
  GlowLine(c, x0 + 20, y0 + height / 2, x0 + width - 20, y0 + height / 2, height * 0.7f,
           Hex(0x1848C0) * 0.3f, 0.6f);
  Body b(c.w, c.h);
  float px = x0;
  for (const char* t = name; *t; ++t, px += advance) {
    ForEachStroke(GlyphOf(static_cast<unsigned char>(*t)),
                  [&](float ax, float ay, float bx, float by) {
                    BodyCapsule(b, px + ax * unit * 0.8f + weight / 2, y0 + ay * unit,
                                px + bx * unit * 0.8f + weight / 2, y0 + by * unit, weight / 2,
                                BodyStyle{Hex(0xC8D4E8), 4, 0});
                  });
  }
  // Colour runs from pale steel at the top to deep blue at the foot of the letters.
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      const size_t i = static_cast<size_t>(y) * b.w + x;
      if (b.cover[i] <= 0) continue;
      const float t = (y - y0) / height;
      b.base[i] = t < 0.5f ? Mix(Hex(0xF0F6FF), Hex(0x9CB8E0), t * 2)
                           : Mix(Hex(0x5A84D8), Hex(0x203C90), (t - 0.5f) * 2);
    }
  Material m;
  m.seed = p.seed;
  m.shine = 0.8f;
  m.grain = 0.02f;
  ShadeBody(c, b, m);
  GlowLine(c, x0 + 10, y0 + height + 18, x0 + width - 10, y0 + height + 18, 2.5f, Hex(0x50A0FF),
           0.9f);
  GlowDot(c, x0 + width * 0.72f, y0 + height + 18, 10, Hex(0x80C0FF), 0.8f);
  DrawStrokeText(c, "THE LONG FLIGHT", (c.w - StrokeTextWidth("THE LONG FLIGHT", 10)) / 2,
                 y0 + height + 26, 10, 1.8f, Hex(0xA8C0E8), Hex(0x04060C));
}

void PaintLogo(Canvas& c, const PaintCell& p) {
  // An abstract emblem on black: three nested arcs around a diamond, with the studio line.
  const float cx = c.w / 2.0f, cy = c.h / 2.0f - 30;
  FillRect(c, 0, 0, c.w, c.h, Rgb{0, 0, 0});
  Body b(c.w, c.h);
  for (int k = 0; k < 3; ++k) {
    const float r = 46 + k * 18.0f;
    const float a0 = -kPi * 0.85f + k * 0.5f, a1 = kPi * 0.35f + k * 0.5f;
    const int n = 40;
    for (int i = 0; i < n; ++i) {
      const float t0 = a0 + (a1 - a0) * i / n, t1 = a0 + (a1 - a0) * (i + 1) / n;
      BodyCapsule(b, cx + std::cos(t0) * r, cy + std::sin(t0) * r, cx + std::cos(t1) * r,
                  cy + std::sin(t1) * r, 5 - k,
                  BodyStyle{Mix(Hex(0x5AA0FF), Hex(0x2A3C90), k / 2.0f), 3, 0});
    }
  }
  BodyPolygon(b, {{cx, cy - 30}, {cx + 20, cy}, {cx, cy + 30}, {cx - 20, cy}},
              BodyStyle{Hex(0xE8F0FF), 8, 0});
  Material m;
  m.seed = p.seed;
  m.shine = 0.7f;
  ShadeBody(c, b, m, false);
  GlowDot(c, cx, cy, 26, Hex(0x3070FF), 0.35f);
  GlowLine(c, cx - 120, cy + 100, cx + 120, cy + 100, 1.2f, Hex(0x3A70D0), 0.6f);
}

// Backgrounds and scene pictures: the title intro's art, menu panels and frames, skies and the
// map chip sheets of every stage (which join without seams and tile sideways).
#include <cmath>
#include <cstring>

#include "tools/datakit/painters.h"

namespace {

constexpr float kPi = 3.14159265f;

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// Stars and a soft nebula over the stage's sky colours; repeats every periodX x periodY.
void SpaceField(Canvas& c, int x0, int y0, int w, int h, int periodX, int periodY,
                const Palette& pal, uint32_t seed, float brightness) {
  const float cell = 64;
  const int px = std::max(1, static_cast<int>(periodX / cell)),
            py = std::max(1, static_cast<int>(periodY / cell));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float gx = (x0 + x) / cell, gy = (y0 + y) / cell;
      const float n = TiledFbm(gx, gy, px, py, seed, 5);
      const float m = TiledFbm(gx * 2 + 3, gy * 2, px * 2, py * 2, seed + 7, 3);
      const float vertical =
          periodY > 0 ? 0.5f + 0.5f * std::cos((y0 + y) * 2 * kPi / periodY) : 0.5f;
      Rgb col = Mix(pal.skyTop, pal.skyLow, Clamp01(n * 1.3f - 0.2f) * (0.5f + 0.5f * vertical));
      col = col + pal.energy * (Clamp01(m - 0.55f) * 0.25f * brightness);
      BlendOver(c, x0 + x, y0 + y, col, 1);
    }
  // Stars on a lattice that repeats with the field.
  const int count = w * h / 700;
  for (int i = 0; i < count; ++i) {
    const uint32_t hsh = HashCoords(i, 17, seed);
    const float sx = static_cast<float>(hsh % static_cast<uint32_t>(w));
    const float sy = static_cast<float>((hsh >> 12) % static_cast<uint32_t>(h));
    const float b = 0.25f + 0.6f * ((hsh >> 24) / 255.0f);
    const float r = (hsh >> 20) % 11 == 0 ? 1.6f : 0.8f;
    GlowDot(c, x0 + sx, y0 + sy, r, Mix(Rgb{1, 1, 1}, pal.light, 0.3f), b * brightness * 0.8f);
  }
}

// The tileable surface texture of a stage's terrain, repeating every 40 pixels.
Rgb TerrainColour(const Palette& pal, int stage, float x, float y, uint32_t seed) {
  const float n = TiledFbm(x / 10, y / 10, 4, 4, seed, 3);
  const bool rocky = stage == 3 || stage == 5 || stage == 7;
  Rgb base = rocky ? Mix(pal.rock, pal.hull, 0.25f) : Mix(pal.hull, pal.rock, 0.3f);
  return base * (0.55f + 0.35f * n);
}

void TerrainChip(Canvas& c, int ox, int oy, int kind, int index, const Palette& pal, int stage,
                 uint32_t seed) {
  // kind: 0 fill, 1 top surface, 2 bottom, 3 left, 4 right, 5 outer corners, 6 slopes,
  // 7 girder, 8 pipe, 9 lights, 10 machinery.
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      float cover = 1;
      float edge = 99;
      switch (kind) {
        case 1:
          cover = y >= 10 ? 1 : 0, edge = y - 10;
          break;
        case 2:
          cover = y < 30 ? 1 : 0, edge = 29 - y;
          break;
        case 3:
          cover = x >= 10 ? 1 : 0, edge = x - 10;
          break;
        case 4:
          cover = x < 30 ? 1 : 0, edge = 29 - x;
          break;
        case 5: {
          const int corner = index % 4;
          const float cx = corner % 2 ? 0 : 40, cy = corner / 2 ? 0 : 40;
          const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
          cover = d < 30 ? 1 : 0, edge = 30 - d;
          break;
        }
        case 6: {
          const int s = index % 4;
          const float v = s == 0 ? x - y : s == 1 ? (39 - x) - y : s == 2 ? y - x : y - (39 - x);
          cover = v <= 0 ? 1 : 0, edge = -v / 1.41f;
          break;
        }
        case 7:
          cover = (y >= 12 && y < 28) ? 1 : 0, edge = std::fmin(y - 12, 27 - y);
          break;
        case 8:
          cover = (x >= 12 && x < 28) ? 1 : 0, edge = std::fmin(x - 12, 27 - x);
          break;
        default:
          break;
      }
      if (cover <= 0) continue;
      Rgb col = TerrainColour(pal, stage, static_cast<float>(x), static_cast<float>(y), seed);
      if (kind == 7 || kind == 8)
        col =
            Mix(pal.panel, pal.hull, 0.4f) * (0.8f + 0.2f * std::sin((kind == 7 ? y : x) * 0.25f));
      // Lit rim along an exposed top or left edge, shadow along bottom or right.
      if (edge < 3) {
        const bool lit = kind == 1 || kind == 3 || (kind == 5 && index % 4 >= 2) || kind == 6 ||
                         kind == 7 || kind == 8;
        col = lit ? Mix(col, pal.accent, 0.55f) + Rgb{0.1f, 0.1f, 0.1f} : col * 0.45f;
      }
      BlendOver(c, ox + x, oy + y, col, 1);
    }
  KitRandom r(seed + index * 13 + kind * 101);
  const float cx = ox + 20.0f, cy = oy + 20.0f;
  if (kind == 0 && index % 3 == 1) {  // rivets and seams, kept off the edges
    for (int i = 0; i < 4; ++i)
      FillCircle(c, ox + 8 + (i % 2) * 24.0f, oy + 8 + (i / 2) * 24.0f, 1.6f,
                 Mix(pal.panel, Rgb{1, 1, 1}, 0.2f));
  }
  if (kind == 0 && index % 3 == 2)
    StrokeLine(c, cx - 10 + r.Range(-3, 3), cy - 8, cx + 8, cy + 10, 1.2f, pal.rock * 0.4f);
  if (kind == 9) {
    FillRect(c, cx - 12, cy - 6, cx + 12, cy + 6, Hex(0x101218));
    GlowLine(c, cx - 9, cy, cx + 9, cy, 2.5f, index % 2 ? pal.light : pal.energy, 0.8f);
  }
  if (kind == 10) {
    FillRect(c, cx - 14, cy - 14, cx + 14, cy + 14, pal.panel * 0.7f);
    FillRect(c, cx - 11, cy - 11, cx + 11, cy + 11, pal.hull * 0.5f);
    FillCircle(c, cx, cy, 7 + (index % 3), pal.panel * 0.9f);
    FillCircle(c, cx, cy, 3, pal.accent);
  }
}

}  // namespace

void PaintAlphaBlack(Canvas& c, const PaintCell&) {
  for (int y = 0; y < c.h; ++y) {
    const float d = std::fabs(y + 0.5f - c.h / 2.0f) / (c.h / 2.0f);
    const float a = Clamp01(1 - d);
    for (int x = 0; x < c.w; ++x) BlendOver(c, x, y, Rgb{0, 0, 0}, a * a * (3 - 2 * a));
  }
}

void PaintTitleBoss(Canvas& c, const PaintCell& p) {
  PaintCell boss = p;
  boss.stage = 4;
  boss.frame = 0;
  boss.count = 1;
  PaintBoss(c, boss);
}

void PaintHeroShip(Canvas& c, const PaintCell& p) {
  // The ship, big, with its engine trail across the picture.
  const Palette& pal = StagePalette(0);
  const float k = 14, cx = c.w * 0.58f, cy = c.h * 0.5f;
  for (int i = 0; i < 40; ++i) {
    const float t = i / 39.0f;
    GlowDot(c, cx - 25 * k - t * 420, cy, 34 * (1 - t * 0.7f), Hex(0x4A90FF), 0.25f * (1 - t));
  }
  Body b(c.w, c.h);
  DrawShipBody(b, cx, cy, k, 0.15f, pal);
  Material m;
  m.seed = p.seed;
  m.shine = 0.6f;
  m.grainScale = 30;
  m.grain = 0.05f;
  ShadeBody(c, b, m);
  GlowDot(c, cx - 25 * k, cy, 40, Hex(0x60B0FF), 1);
}

void PaintBackdrop(Canvas& c, const PaintCell& p) {
  SpaceField(c, 0, 0, c.w, c.h, c.w, c.h, StagePalette(p.variant ? 5 : 2), p.seed, 0.9f);
  if (p.variant == 1) {
    // Weapon select: a lit grid floor (the scene writes its own heading and timer on top).
    for (int y = 300; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        const float depth = (y - 300) / 180.0f;
        const float gx = std::fabs(std::fmod((x - 320) / (0.3f + depth) + 1000, 40.0f) - 20);
        const float gy = std::fabs(std::fmod(1.0f / (depth + 0.05f) * 60, 40.0f) - 20);
        const float line = std::fmax(Clamp01(1 - gx / 1.5f), Clamp01(1 - gy / 1.5f));
        AddLight(c, x, y, Hex(0x3060C0) * (line * depth * 0.6f));
      }
  }
}

void PaintPanel(Canvas& c, const PaintCell&) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float d =
          std::fmin(std::fmin(x - 30.0f, c.w - 31.0f - x), std::fmin(y - 40.0f, c.h - 41.0f - y));
      if (d < 0) continue;
      BlendOver(c, x, y, Mix(Hex(0x101830), Hex(0x060810), y / static_cast<float>(c.h)),
                std::fmin(0.7f, d / 6));
    }
  GlowLine(c, 40, 40, c.w - 40, 40, 1.2f, Hex(0x5090FF), 0.7f);
  GlowLine(c, 40, c.h - 41, c.w - 40, c.h - 41, 1.2f, Hex(0x5090FF), 0.7f);
}

void PaintFrame(Canvas& c, const PaintCell& p) {
  // A window frame: metal border, transparent inside.
  Body b(c.w, c.h);
  const float t = 14;
  BodyBox(b, c.w / 2.0f, t / 2, c.w / 2.0f, t / 2, 0, BodyStyle{Hex(0x46526A), 5, 0});
  BodyBox(b, c.w / 2.0f, c.h - t / 2, c.w / 2.0f, t / 2, 0, BodyStyle{Hex(0x46526A), 5, 0});
  BodyBox(b, t / 2, c.h / 2.0f, t / 2, c.h / 2.0f, 0, BodyStyle{Hex(0x46526A), 5, 0});
  BodyBox(b, c.w - t / 2, c.h / 2.0f, t / 2, c.h / 2.0f, 0, BodyStyle{Hex(0x46526A), 5, 0});
  for (int i = 0; i < 4; ++i)
    BodyBox(b, i % 2 ? c.w - 20.0f : 20.0f, i / 2 ? c.h - 20.0f : 20.0f, 18, 18, 3,
            BodyStyle{Hex(0x6A7A98), 4, 3});
  Material m;
  m.seed = p.seed;
  ShadeBody(c, b, m);
}

void PaintBeamBand(Canvas& c, const PaintCell& p) {
  // A beam across the screen: it flares up over the frames and thins out at the end.
  const float t = p.frame / 7.0f;
  const float k = std::sin(Clamp01(t * 1.2f) * kPi);
  const Rgb col = p.variant ? Hex(0x60A8FF) : Hex(0xFF70C0);
  for (int y = 0; y < c.h; ++y) {
    const float d = std::fabs(y + 0.5f - c.h / 2.0f) / (c.h / 2.0f);
    const float body = std::exp(-d * d * (4 + 10 * (1 - k)));
    for (int x = 0; x < c.w; ++x) {
      const float ripple = 0.85f + 0.15f * std::sin(x * 0.05f + p.frame);
      AddLight(
          c, x, y,
          (col * body * ripple + Rgb{1, 1, 1} * (body * body * body * 0.8f)) * (0.15f + 0.85f * k));
    }
  }
}

void PaintSky(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float t = y / static_cast<float>(c.h);
      const float cloud =
          Clamp01(TiledFbm(x / 80.0f, y / 30.0f, c.w / 80, 16, p.seed, 4) * 1.6f - 0.6f);
      Rgb col = Mix(pal.skyTop, pal.skyLow * 1.4f, t);
      col = Mix(col, Mix(pal.panel, Rgb{0.8f, 0.8f, 0.85f}, 0.4f), cloud * 0.35f);
      BlendOver(c, x, y, col, 1);
    }
}

void PaintFarChips(Canvas& c, const PaintCell& p) {
  // The far background: space over the stage's colours, with a planet limb or a distant
  // structure band; it repeats across the sheet's width and down its height.
  const Palette& pal = StagePalette(p.stage);
  SpaceField(c, 0, 0, c.w, c.h, c.w, c.h, pal, p.seed, 1);
  // A band of distant haze at a few heights, joined across the width.
  for (int y = 0; y < c.h; ++y) {
    const float band = std::exp(-std::pow((std::fmod(y, 480.0f) - 330) / 60.0f, 2));
    if (band < 0.01f) continue;
    for (int x = 0; x < c.w; ++x) {
      const float n = TiledFbm(x / 60.0f, y / 40.0f, c.w / 60, c.h / 40, p.seed + 3, 4);
      AddLight(c, x, y, Mix(pal.accent, pal.energy, n) * (band * n * 0.18f));
    }
  }
}

void PaintNearChips(Canvas& c, const PaintCell& p) {
  // The near layer: silhouettes of structures on a transparent sky, repeating every 320
  // pixels across so the top 320 x 400 can scroll on its own.
  const Palette& pal = StagePalette(p.stage);
  for (int block = 0; block < c.h / 480 + 1; ++block) {
    const int y0 = block * 480;
    for (int x = 0; x < c.w; ++x) {
      const float sx = (x % 320) / 320.0f;
      const float height = 80 + 140 * TiledFbm(sx * 6, block * 3.0f, 6, 1000, p.seed, 3);
      const bool tower = TiledNoise(sx * 12, 0.5f, 12, 1, p.seed + 5) > 0.7f;
      const float top = 400 - height - (tower ? 70 : 0);
      for (int y = std::max(y0, static_cast<int>(y0 + top)); y < std::min(c.h, y0 + 400); ++y) {
        const float depth = (y - y0 - top) / height;
        Rgb col = Mix(pal.hull * 0.35f, pal.skyTop, Clamp01(depth * 0.6f));
        if (y - y0 - top < 2) col = Mix(col, pal.accent, 0.4f);
        // Windows and lights.
        const uint32_t hsh = HashCoords(x / 6, y / 8, p.seed + block);
        if (x % 6 >= 2 && y % 8 >= 3 && hsh % 23 == 0) col = col + pal.light * 0.6f;
        BlendOver(c, x, y, col, 1);
      }
    }
  }
}

void PaintMainChips(Canvas& c, const PaintCell& p) {
  // 16 x 16 chips of 40 x 40. Rows: 0-3 solid fill (plain, riveted, seamed), 4 top surfaces,
  // 5 bottom surfaces, 6 left faces, 7 right faces, 8 rounded outer corners (four turns),
  // 9 slopes (four turns), 10 girders, 11 pipes, 12 lamps, 13-15 machinery blocks. Fill and
  // edge textures repeat every 40 pixels, so chips join wherever they are placed.
  const Palette& pal = StagePalette(p.stage);
  static const int kinds[16] = {0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10};
  for (int row = 0; row < 16; ++row)
    for (int col = 0; col < 16; ++col)
      TerrainChip(c, col * 40, row * 40, kinds[row], row * 16 + col, pal, p.stage,
                  p.seed + p.variant * 977);
}

void PaintSkyline(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  SpaceField(c, 0, 0, c.w, c.h, c.w, c.h, pal, p.seed, 1);
  // A planet's limb low in the picture and broken station spars against it.
  const float pcx = c.w * 0.7f, pcy = c.h * 1.6f, pr = c.h * 1.1f;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float d = std::hypot(x - pcx, y - pcy);
      if (d < pr) {
        const float n = Fbm(x / 50.0f, y / 20.0f, p.seed, 4);
        BlendOver(
            c, x, y,
            Mix(pal.hull * 0.6f, pal.panel * 0.7f, n) * (0.4f + 0.6f * Clamp01((pr - d) / 60)), 1);
      } else if (d < pr + 14) {
        AddLight(c, x, y, pal.energy * (0.35f * (1 - (d - pr) / 14)));
      }
    }
  KitRandom r(p.seed);
  for (int i = 0; i < 6; ++i) {
    const float x = r.Range(40, c.w - 40.0f), y = r.Range(60, 250), a = r.Range(-0.6f, 0.6f),
                len = r.Range(60, 160);
    StrokeLine(c, x, y, x + std::cos(a) * len, y + std::sin(a) * len, r.Range(4, 9),
               pal.hull * 0.3f);
  }
}

// Energy: explosions, sparks, the player's shots and blasts, enemy bullets, lasers and fire.
// Everything here is light on black (for additive drawing) except smoke and missile bodies.
#include <cmath>
#include <cstring>

#include "tools/datakit/painters.h"

namespace {

constexpr float kPi = 3.14159265f;

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// White, yellow, orange, red, dark: the colour of fire by heat 1..0.
Rgb FireRamp(float heat, Rgb tint) {
  heat = Clamp01(heat);
  const Rgb white{1, 0.98f, 0.9f}, yellow{1, 0.85f, 0.35f}, red{0.75f, 0.12f, 0.04f};
  const Rgb orange = Mix(Rgb{1, 0.5f, 0.1f}, tint, 0.35f);
  if (heat > 0.75f) return Mix(yellow, white, (heat - 0.75f) / 0.25f);
  if (heat > 0.5f) return Mix(orange, yellow, (heat - 0.5f) / 0.25f);
  if (heat > 0.25f) return Mix(red, orange, (heat - 0.25f) / 0.25f);
  return red * (heat / 0.25f);
}

// A billowing ball of fire and smoke. heat 0..1 lowers as it burns out; smoke 0..1 how much
// of it has turned to smoke; stretch > 1 makes it taller.
void Fireball(Canvas& c, float cx, float cy, float radius, float heat, float smoke, uint32_t seed,
              Rgb tint, float stretch = 1, float fade = 1) {
  const float scale = std::fmax(3.0f, radius / 3.2f);
  const int x0 = std::max(0, static_cast<int>(cx - radius * 1.3f)),
            x1 = std::min(c.w, static_cast<int>(cx + radius * 1.3f) + 1);
  const int y0 = std::max(0, static_cast<int>(cy - radius * stretch * 1.3f)),
            y1 = std::min(c.h, static_cast<int>(cy + radius * stretch * 1.3f) + 1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float dx = (x + 0.5f - cx) / radius, dy = (y + 0.5f - cy) / (radius * stretch);
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d > 1.3f) continue;
      const float n = Fbm(x / scale, y / scale, seed, 4);
      const float density = Clamp01((1 - d) * 1.8f + (n - 0.5f) * 1.6f);
      if (density <= 0) continue;
      if (smoke > 0) {
        const float s = Clamp01(density * smoke * 1.4f) * fade;
        const float shade = 0.16f + 0.22f * Clamp01(0.5f - dy * 0.5f) + 0.1f * n;
        BlendOver(c, x, y, Rgb{shade, shade * 0.95f, shade * 0.92f}, s);
      }
      const float h = heat * (0.55f + 0.6f * density) * (1 - d * 0.35f);
      if (h > 0.05f) AddLight(c, x, y, FireRamp(h, tint) * (density * fade * (1 - smoke * 0.7f)));
    }
}

Rgb EnemyRim(const PaintCell& p) {
  // Enemy shots: pink, orange or cyan rims, never the player's blue-white or yellow.
  static const uint32_t rims[3] = {0xFF3C8C, 0xFF7A1E, 0x20E8FF};
  const size_t n = std::strlen(p.path);
  const char last = n > 5 ? p.path[n - 5] : '0';
  const int pick = (p.stage + last) % 3;
  return p.stage ? Mix(Hex(rims[pick]), StagePalette(p.stage).energy, 0.3f) : Hex(rims[pick]);
}

}  // namespace

void PaintExplosion(Canvas& c, const PaintCell& p) {
  // Flash, fireball, smoke, fade across the frames; variants: 0 normal, 1 small debris,
  // 2 the ship (blue-white), 3 and 4 the first and second halves of a two-sheet burst,
  // 5-7 soft puffs, 8 a big flash.
  const int n = std::max(1, p.count);
  float t = n > 1 ? p.frame / static_cast<float>(n - 1) : 0.3f;
  if (p.variant == 3) t *= 0.5f;
  if (p.variant == 4) t = 0.5f + t * 0.5f;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, R = std::fmin(c.w, c.h) * 0.46f;
  const Rgb tint = p.variant == 2 ? Hex(0x60A0FF)
                   : p.stage      ? StagePalette(p.stage).energy
                                  : Hex(0xFF8030);
  const uint32_t seed = p.seed + p.frame * 31;
  if (p.path && std::strstr(p.path, "hougeki")) {
    // Distant flak: small bursts at changing places.
    KitRandom r(seed);
    Fireball(c, cx + r.Range(-4, 4), cy + r.Range(-4, 4), R * (0.4f + 0.5f * std::sin(t * kPi)),
             1 - t * 0.6f, t > 0.6f ? (t - 0.6f) * 2 : 0, seed, tint);
    return;
  }
  if (p.variant >= 5 && p.variant <= 7) {
    const float grow = 0.4f + 0.6f * t;
    if (p.variant == 5) {
      GlowRing(c, cx, cy, R * grow * 0.9f, 2 + 4 * (1 - t), Hex(0xFFB060), 1 - t * 0.8f);
      Fireball(c, cx, cy, R * grow * 0.6f, 1 - t, 0, seed, tint, 1, 1 - t);
    } else if (p.variant == 6) {
      Fireball(c, cx, cy, R * grow, 0.3f * (1 - t), 0.8f, seed, tint, 1, 1 - t * 0.85f);
    } else {
      Fireball(c, cx, cy, R * grow * 0.8f, 1 - t * 0.7f, 0.2f, seed, tint, 1, 1 - t * 0.8f);
    }
    return;
  }
  if (p.variant == 8) {
    GlowDot(c, cx, cy, R * (0.5f + 0.5f * t), Hex(0xFFE0A0), 1.2f * (1 - t * 0.7f));
    GlowRing(c, cx, cy, R * (0.3f + 0.65f * t), 3, Hex(0xFFFFFF), 1 - t);
    return;
  }
  const float size = p.variant == 1 ? 0.8f : 1.0f;
  if (t < 0.12f) {
    GlowDot(c, cx, cy, R * (0.35f + t * 3), Mix(tint, Rgb{1, 1, 1}, 0.5f), 1.4f);
    return;
  }
  const float grow = std::fmin(1.0f, 0.45f + t * 1.1f);
  const float heat = Clamp01(1.15f - t * 1.3f);
  const float smoke = Clamp01((t - 0.3f) * 1.8f);
  const float fade = t > 0.8f ? Clamp01((1 - t) * 5 + 0.15f) : 1;
  Fireball(c, cx, cy, R * grow * size, heat, smoke, seed, tint, 1, fade);
  if (p.variant == 1 || p.variant == 2) {
    KitRandom r(p.seed);
    for (int i = 0; i < 6; ++i) {
      const float a = r.Range(0, 2 * kPi), d = R * (0.2f + t * 0.8f) * r.Range(0.6f, 1.0f);
      GlowDot(c, cx + std::cos(a) * d, cy + std::sin(a) * d, 1.8f, tint, 1 - t);
    }
  }
}

void PaintHitSpark(Canvas& c, const PaintCell& p) {
  const float t = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, R = std::fmin(c.w, c.h) * 0.45f;
  static const uint32_t tints[5] = {0xFFD060, 0xFFA040, 0x80D0FF, 0xFF70B0, 0xFFF0C0};
  const Rgb tint = Hex(tints[p.variant % 5]);
  KitRandom r(p.seed);
  const int rays = 6;
  for (int i = 0; i < rays; ++i) {
    const float a = i * 2 * kPi / rays + r.Range(-0.3f, 0.3f) + p.variant;
    const float d0 = R * t * 0.6f, d1 = R * (0.35f + t * 0.6f);
    GlowLine(c, cx + std::cos(a) * d0, cy + std::sin(a) * d0, cx + std::cos(a) * d1,
             cy + std::sin(a) * d1, 1.1f, tint, 1 - t * 0.8f);
  }
  GlowDot(c, cx, cy, R * 0.35f * (1 - t * 0.7f), tint, 1 - t * 0.6f);
}

void PaintPowerBurst(Canvas& c, const PaintCell& p) {
  static const uint32_t tints[3] = {0xFF5060, 0x50FF90, 0xF8FF50};
  const Rgb tint = Hex(tints[p.variant % 3]);
  const float t = p.frame / 3.0f;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  GlowRing(c, cx, cy, 20 + t * 36, 3 - t * 1.5f, tint, 1 - t * 0.6f);
  for (int i = 0; i < 5; ++i) {
    const float x = cx - 50 + i * 25.0f;
    const float y = cy + 30 - t * 50 - (i % 2) * 10;
    GlowLine(c, x, y + 16, x, y, 2, tint, 0.8f * (1 - t * 0.5f));
    GlowLine(c, x - 5, y + 5, x, y, 1.6f, tint, 0.8f * (1 - t * 0.5f));
    GlowLine(c, x + 5, y + 5, x, y, 1.6f, tint, 0.8f * (1 - t * 0.5f));
  }
}

void PaintBossFlash(Canvas& c, const PaintCell& p) {
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  KitRandom r(p.seed);
  for (int i = 0; i < 16; ++i) {
    const float a = i * kPi / 8 + r.Range(-0.1f, 0.1f), len = r.Range(70, 118);
    GlowLine(c, cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len, 3, Hex(0xFFC070), 0.5f);
  }
  GlowDot(c, cx, cy, 60, Hex(0xFFD090), 1.2f);
  GlowDot(c, cx, cy, 24, Rgb{1, 1, 1}, 1);
}

void PaintBossBand(Canvas& c, const PaintCell& p) {
  // A row of bursts along the whole width, each frame further along its burn.
  const float t = p.frame / 5.0f;
  KitRandom r(p.seed);
  for (int i = 0; i < 22; ++i) {
    const float x = 30 + i * 56.0f + r.Range(-14, 14), y = c.h / 2.0f + r.Range(-10, 10);
    const float local = Clamp01(t * 1.3f - r.Range(0, 0.3f));
    Fireball(c, x, y, 22 + 14 * local, 1 - local * 0.8f, local > 0.5f ? (local - 0.5f) : 0,
             p.seed + i * 17 + p.frame, Hex(0xFF8030));
  }
}

void PaintTrail(Canvas& c, const PaintCell& p) {
  static const uint32_t tints[5] = {0xFFE070, 0xFFC050, 0xFFF0A0, 0x90C8FF, 0xB0E0FF};
  const Rgb tint = Hex(tints[p.variant % 5]);
  const float t = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  if (c.w > c.h * 1.5f) {
    GlowLine(c, cx - c.w * 0.38f * (1 - t * 0.4f), cy, cx + c.w * 0.38f, cy,
             c.h * 0.16f * (1 - t * 0.5f), tint, 1 - t * 0.7f);
    return;
  }
  const float r = std::fmin(c.w, c.h) * (0.2f + 0.18f * t);
  GlowDot(c, cx, cy, r, tint, 1 - t * 0.75f);
}

void PaintSparks(Canvas& c, const PaintCell& p) {
  // 0, 1: a beam's spray; 2: sparks flying off a hit; 3: the vanish of a player's shot.
  const float t = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const Rgb tint = p.variant == 3 ? Hex(0xFFE870) : p.variant == 2 ? Hex(0xFFB050) : Hex(0x8CD0FF);
  KitRandom r(p.seed + (p.variant == 2 ? 0 : p.frame));
  const int n = p.variant == 3 ? 7 : 9;
  for (int i = 0; i < n; ++i) {
    const float a = p.variant == 3 ? r.Range(0, 2 * kPi) : r.Range(-0.7f, 0.7f) + kPi;
    const float speed = r.Range(0.5f, 1.0f);
    const float d = (0.15f + t * 0.75f) * speed;
    const float x = cx + std::cos(a) * d * c.w * 0.5f, y = cy + std::sin(a) * d * c.h * 0.5f;
    const float tail = 0.12f * speed;
    GlowLine(c, x, y, x - std::cos(a) * tail * c.w, y - std::sin(a) * tail * c.h, 1.0f, tint,
             1 - t * 0.8f);
  }
  if (t < 0.5f) GlowDot(c, cx, cy, std::fmin(c.w, c.h) * 0.2f * (1 - t), tint, 0.8f);
}

void PaintShot(Canvas& c, const PaintCell& p) {
  // Frames 0-3: muzzle flash; 4-7: flight; 8-11: vanish. Player colours: yellow and blue-white.
  const Rgb yellow = Hex(0xFFD838), blue = Hex(0x78B8FF), fire = Hex(0xFF8A2A);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const int f = p.frame;
  const float pulse = 0.85f + 0.15f * std::sin(f * 1.7f);
  const float s = std::fmin(c.w, c.h);
  if (p.variant == 4 || p.variant == 10) {  // napalm fire blobs
    Fireball(c, cx, cy, s * 0.42f, 0.95f, 0, p.seed, fire);
    return;
  }
  if (p.variant == 3) {  // napalm launcher flash
    Fireball(c, cx, cy, s * (0.2f + f * 0.07f), 1 - f * 0.15f, 0, p.seed + f, fire);
    return;
  }
  if (f < 4 && p.variant != 6 && p.variant != 7 && p.variant != 8 && p.variant != 9 &&
      p.variant != 11) {
    // Muzzle flash: a short star that opens and closes.
    const float k = 0.45f + 0.18f * f;
    const Rgb col = p.variant == 2 ? blue : yellow;
    GlowDot(c, cx, cy, s * 0.16f * (0.6f + k), col, 1);
    GlowLine(c, cx - s * 0.35f * k, cy, cx + s * 0.4f * k, cy, 1.5f, col, 0.9f);
    GlowLine(c, cx, cy - s * 0.2f * k, cx, cy + s * 0.2f * k, 1.2f, col, 0.6f);
    return;
  }
  switch (p.variant) {
    case 0:  // rapid shot: a bright bolt
      GlowLine(c, cx - s * 0.3f, cy, cx + s * 0.22f, cy, s * 0.07f * pulse, yellow, 1);
      break;
    case 1:  // spread shot: an arrowhead
      GlowLine(c, cx - s * 0.2f, cy - s * 0.12f, cx + s * 0.18f, cy, s * 0.06f * pulse, yellow,
               0.9f);
      GlowLine(c, cx - s * 0.2f, cy + s * 0.12f, cx + s * 0.18f, cy, s * 0.06f * pulse, yellow,
               0.9f);
      break;
    case 2:  // laser: a long blue-white bar as tall as the level allows
      GlowLine(c, 8, cy, c.w - 8, cy, c.h * 0.16f * pulse, blue, 1);
      break;
    case 5:  // two-way
      GlowLine(c, cx - s * 0.25f, cy, cx + s * 0.2f, cy, s * 0.08f * pulse, yellow, 1);
      GlowDot(c, cx + s * 0.2f, cy, s * 0.08f, yellow, 0.8f);
      break;
    case 6: {  // missile: a small body with a flame; 0-3 launch smoke
      if (f < 4) {
        Fireball(c, cx, cy, s * (0.2f + f * 0.06f), 0.2f, 0.8f, p.seed + f, fire, 1, 1 - f * 0.2f);
        break;
      }
      GlowLine(c, cx - s * 0.42f, cy, cx - s * 0.2f, cy, s * (0.07f + 0.03f * (f % 2)), fire, 1);
      Body b(c.w, c.h);
      BodyCapsule(b, cx - s * 0.18f, cy, cx + s * 0.2f, cy, s * 0.08f,
                  BodyStyle{Hex(0xD0D8E0), 2, 0});
      BodyPolygon(
          b,
          {{cx - s * 0.2f, cy - s * 0.16f}, {cx - s * 0.08f, cy}, {cx - s * 0.2f, cy + s * 0.16f}},
          BodyStyle{Hex(0xD04040), 1.5f, 1});
      Material m;
      m.seed = p.seed;
      ShadeBody(c, b, m);
      break;
    }
    case 7: {  // searcher: a pulsing orb with a turning ring
      const float a = f * kPi / 6;
      GlowDot(c, cx, cy, s * 0.18f * pulse, blue, 1);
      GlowLine(c, cx + std::cos(a) * s * 0.3f, cy + std::sin(a) * s * 0.3f,
               cx - std::cos(a) * s * 0.3f, cy - std::sin(a) * s * 0.3f, 1.2f, blue, 0.5f);
      break;
    }
    case 8:  // homing dart
      GlowLine(c, cx - s * 0.3f, cy, cx + s * 0.25f, cy, s * 0.06f, blue, 1);
      GlowDot(c, cx + s * 0.22f, cy, s * 0.09f * pulse, Hex(0xC0E0FF), 0.9f);
      break;
    case 9:  // rolling orb
      GlowDot(c, cx, cy, s * 0.2f * (0.8f + 0.2f * std::cos(f * kPi / 3)), blue, 1);
      break;
    case 11:  // homing bomb
      EnergyBall(c, cx, cy, s * 0.22f * (0.9f + 0.1f * std::sin(f * kPi / 2)), yellow);
      break;
    default:
      GlowDot(c, cx, cy, s * 0.2f, yellow);
  }
}

void PaintBlast(Canvas& c, const PaintCell& p) {
  const float t = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, R = std::fmin(c.w, c.h) * 0.46f;
  switch (p.variant) {
    case 0:
    case 2:  // napalm: a burst of fire
      Fireball(c, cx, cy, R * (0.55f + 0.45f * t), 1 - t * 0.55f, t > 0.6f ? (t - 0.6f) : 0,
               p.seed + p.frame * 13, Hex(0xFF7020));
      break;
    case 1:  // missile hit
      Fireball(c, cx, cy, R * (0.5f + 0.5f * t), 1 - t * 0.7f, 0, p.seed + p.frame * 13,
               Hex(0xFF9030));
      break;
    case 3:  // homing bomb blast: a yellow-white sphere with a shock ring
      GlowDot(c, cx, cy, R * (0.35f + 0.4f * t), Hex(0xFFE060), 1.2f * (1 - t * 0.6f));
      GlowRing(c, cx, cy, R * (0.4f + 0.55f * t), 3 + 3 * (1 - t), Hex(0xFFF0A0), 1 - t * 0.7f);
      break;
    case 4:  // bomb: nested rings that turn frame by frame
      for (int k = 0; k < 3; ++k)
        GlowRing(c, cx, cy, R * (0.3f + 0.3f * k) * (0.9f + 0.1f * std::sin(p.frame + k)), 3,
                 Hex(0xFFE870), 0.8f);
      GlowDot(c, cx, cy, R * 0.3f, Hex(0xFFFFC0), 1);
      break;
    default:  // shield burst
      GlowRing(c, cx, cy, R * (0.5f + 0.45f * t), 4 * (1 - t * 0.5f), Hex(0x60C8FF), 1 - t * 0.6f);
      GlowRing(c, cx, cy, R * (0.35f + 0.45f * t), 2, Hex(0xA0E0FF), 0.6f * (1 - t));
  }
}

void PaintWave(Canvas& c, const PaintCell& p) {
  // A crescent of light opening to the right; the frames swing its brightness.
  const float k = 0.7f + 0.3f * std::sin(p.frame * kPi / 4);
  const float cy = c.h / 2.0f, r = c.h * 0.62f;
  const float cx = c.w * 0.75f - r;
  for (int i = 0; i < 40; ++i) {
    const float a0 = -0.9f + 1.8f * i / 40, a1 = -0.9f + 1.8f * (i + 1) / 40;
    const float fade = 1 - std::fabs(a0) / 1.0f;
    GlowLine(c, cx + std::cos(a0) * r, cy + std::sin(a0) * r, cx + std::cos(a1) * r,
             cy + std::sin(a1) * r, c.w * 0.05f, Hex(0xFFE050), 0.7f * k * fade);
  }
}

void PaintBullet(Canvas& c, const PaintCell& p) {
  const Rgb rim = EnemyRim(p);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float s = std::fmin(c.w, c.h);
  const bool twelve = p.count == 12;
  const int f = p.frame;
  if (std::strstr(p.path, "portal") || std::strstr(p.path, "sui")) {
    GlowRing(c, cx, cy, s * (0.15f + 0.05f * f), 1, rim, 1 - f * 0.12f);
    GlowDot(c, cx, cy, s * 0.15f, rim, 0.8f);
    return;
  }
  if (twelve && f < 4) {  // muzzle flash
    GlowDot(c, cx, cy, s * (0.18f + 0.06f * f), rim, 1 - f * 0.15f);
    return;
  }
  if (twelve && f >= 8) {  // vanish: a ring opening out
    const float t = (f - 8) / 3.0f;
    GlowRing(c, cx, cy, s * (0.15f + 0.2f * t), 1.2f, rim, 1 - t * 0.7f);
    return;
  }
  const float pulse = 0.9f + 0.1f * std::sin(f * kPi / 2);
  if (c.w >= c.h * 2 || c.h >= c.w * 2) {  // needles
    const bool wide = c.w > c.h;
    const float len = (wide ? c.w : c.h) * 0.34f, th = s * 0.22f * pulse;
    if (wide)
      GlowLine(c, cx - len, cy, cx + len, cy, th, rim, 1);
    else
      GlowLine(c, cx, cy - len, cx, cy + len, th, rim, 1);
    return;
  }
  // Round: a white core with a thick coloured rim, sized to the cell.
  const float r = s * 0.25f * pulse;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
      if (d > 1.8f) continue;
      const float body = d < 1 ? 1 : std::exp(-(d - 1) * (d - 1) * 9);
      const float core = Clamp01(1.4f - d * 1.6f);
      AddLight(c, x, y, Mix(rim, Rgb{1, 1, 1}, core) * body);
    }
}

void PaintWarnLine(Canvas& c, const PaintCell& p) {
  const Rgb rim = EnemyRim(p);
  for (int x = 0; x < c.w; ++x) {
    const bool dash = ((x + p.frame * 8) / 8) % 2 == 0;
    for (int y = 0; y < c.h; ++y) {
      const float d = std::fabs(y + 0.5f - c.h / 2.0f) / (c.h / 2.0f);
      AddLight(c, x, y, rim * ((dash ? 0.9f : 0.35f) * std::exp(-d * d * 6)));
    }
  }
}

void PaintLaserEnd(Canvas& c, const PaintCell& p) {
  const Rgb rim = EnemyRim(p);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = std::fmin(c.w, c.h);
  const float k = 0.75f + 0.25f * std::sin(p.frame * kPi / 2);
  EnergyBall(c, cx, cy, s * 0.22f * k, rim);
  KitRandom r(p.seed + p.frame);
  for (int i = 0; i < 5; ++i) {
    const float a = r.Range(0, 2 * kPi), len = s * r.Range(0.2f, 0.42f);
    GlowLine(c, cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len, 1.2f, rim, 0.6f);
  }
}

void PaintLaserHit(Canvas& c, const PaintCell& p) {
  const Rgb rim = EnemyRim(p);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float k = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0.5f;
  GlowDot(c, cx, cy, std::fmin(c.w, c.h) * (0.25f + 0.1f * k), rim, 1);
  KitRandom r(p.seed + p.frame);
  for (int i = 0; i < 10; ++i) {
    const float a = r.Range(-kPi * 0.6f, kPi * 0.6f) + kPi, len = c.w * r.Range(0.2f, 0.45f);
    GlowLine(c, cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len * 0.7f, 1.2f, rim, 0.7f);
  }
}

void PaintLaserRing(Canvas& c, const PaintCell& p) {
  const Rgb rim = EnemyRim(p);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = std::fmin(c.w, c.h);
  const float t = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0.5f;
  // Energy gathering: rings closing in on a bright centre.
  GlowRing(c, cx, cy, s * (0.42f - 0.25f * t), 2, rim, 0.6f + 0.4f * t);
  GlowDot(c, cx, cy, s * (0.08f + 0.12f * t), rim, 1);
}

void PaintBeam(Canvas& c, const PaintCell& p) {
  const Rgb rim = EnemyRim(p);
  for (int y = 0; y < c.h; ++y) {
    const float d = std::fabs(y + 0.5f - c.h / 2.0f) / (c.h / 2.0f);
    const float body = std::exp(-d * d * 3);
    const float core = std::exp(-d * d * 30);
    for (int x = 0; x < c.w; ++x) {
      const float ripple = 0.9f + 0.1f * std::sin(x * 0.4f);
      AddLight(c, x, y, (rim * body * ripple + Rgb{1, 1, 1} * core) * 0.95f);
    }
  }
}

void PaintFlame(Canvas& c, const PaintCell& p) {
  const bool ghost = std::strstr(p.path, "zanzou") != nullptr;
  const float t = p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0;
  const float s = std::fmin(c.w, c.h);
  Fireball(c, c.w / 2.0f, c.h / 2.0f, s * (0.3f + 0.12f * t), (ghost ? 0.55f : 0.95f) - t * 0.3f, 0,
           p.seed + p.frame * 7, StagePalette(p.stage).energy, 1, ghost ? 0.6f : 1);
}

void PaintFire(Canvas& c, const PaintCell& p) {
  const float s = std::fmin(c.w, c.h);
  const float stretch = std::fmax(1.0f, c.h / static_cast<float>(c.w));
  const float wob = 0.92f + 0.08f * std::sin(p.frame * 2.3f);
  Fireball(c, c.w / 2.0f, c.h / 2.0f, s * 0.44f * wob, 0.95f, 0, p.seed + p.frame * 19,
           StagePalette(p.stage).energy, stretch * 0.95f);
}

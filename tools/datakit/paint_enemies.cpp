// Matter: enemy craft, turrets, hatches, walkers, rocks, cores, bosses, walls and parts, in the
// palette of their stage, shaded from the top left with a dark outline.
#include <cmath>
#include <cstring>

#include "tools/datakit/painters.h"

namespace {

constexpr float kPi = 3.14159265f;

float Phase(const PaintCell& p) { return p.count > 1 ? p.frame / static_cast<float>(p.count) : 0; }

Material MetalOf(const PaintCell& p) {
  Material m;
  m.seed = p.seed;
  m.grain = 0.1f;
  m.grainScale = 5;
  m.shine = 0.4f;
  return m;
}

bool Organic(const PaintCell& p) {
  return p.stage == 3 && (std::strstr(p.path, "shokushu") || std::strstr(p.path, "snake") ||
                          std::strstr(p.path, "boss2"));
}

void Lamp(Canvas& c, float x, float y, float r, Rgb colour, float on) {
  GlowDot(c, x, y, r, colour, 0.35f + 0.65f * on);
}

// The common enemies: a hunched drone, nose to the left, with a red eye in front, two claws
// reaching forward and an engine pod behind; nothing like the ship's long swept-back jet. The
// claws open and close and the eye pulses through the frames.
void PaintDrone(Canvas& c, const PaintCell& p, const Palette& pal) {
  KitRandom r(p.seed);
  const float ph = Phase(p);
  const float open = 0.5f + 0.5f * std::sin(ph * 2 * kPi);
  const float tilt = std::sin(ph * 2 * kPi + 1) * 0.12f;
  Body b(c.w, c.h);
  const float cx = c.w * 0.54f, cy = c.h * 0.5f;
  const float rx = c.w * 0.27f, ry = std::fmin(c.h * 0.27f, rx * 1.1f);
  const float reach = r.Range(1.25f, 1.5f);
  for (int side : {-1, 1}) {
    const float spread = ry * (0.75f + 0.3f * open) + side * tilt * ry;
    BodyPolygon(b,
                {{cx - rx * 0.1f, cy + side * ry * 0.35f},
                 {cx - rx * reach, cy + side * spread * 0.55f},
                 {cx - rx * (reach - 0.3f), cy + side * spread * 1.15f},
                 {cx + rx * 0.35f, cy + side * ry * 0.95f}},
                BodyStyle{pal.panel, 2, 0});
  }
  BodyBox(b, cx + rx * 1.05f, cy, rx * 0.32f, ry * 0.42f, 2, BodyStyle{pal.panel, 2, 0});
  BodyEllipse(b, cx, cy, rx, ry, BodyStyle{pal.hull, std::fmax(2.0f, ry * 0.7f), 0});
  // An amber band over the back, and the eye's socket.
  BodyCapsule(b, cx + rx * 0.35f, cy - ry * 0.8f, cx + rx * 0.35f, cy + ry * 0.8f,
              std::fmax(1.0f, rx * 0.1f), BodyStyle{pal.accent, 1.5f, ry * 0.7f});
  BodyEllipse(b, cx - rx * 0.5f, cy, rx * 0.3f, ry * 0.38f,
              BodyStyle{Hex(0x18100E), 1.5f, ry * 0.4f});
  BodyEllipse(b, cx - rx * 0.55f, cy, rx * 0.2f, ry * 0.26f,
              BodyStyle{pal.light, 1, ry * 0.75f, 0.8f});
  ShadeBody(c, b, MetalOf(p));
  const float pulse = 0.6f + 0.4f * std::sin(ph * 4 * kPi);
  GlowDot(c, cx - rx * 0.55f, cy, std::fmax(1.5f, ry * 0.3f) * pulse, pal.light, 0.7f);
  GlowDot(c, cx + rx * 1.4f, cy, std::fmax(1.5f, ry * 0.3f) * (1.2f - pulse * 0.4f), pal.energy,
          0.8f);
}

}  // namespace

void PaintCraft(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  if (p.stage == 0) {
    PaintDrone(c, p, pal);
    return;
  }
  KitRandom r(p.seed);
  const float ph = Phase(p);
  const float bank = std::sin(ph * 2 * kPi) * 0.25f;
  Body b(c.w, c.h);
  const float cx = c.w * 0.5f, cy = c.h * 0.5f;
  const float len = c.w * 0.78f, hh = c.h * 0.5f * (1 - std::fabs(bank) * 0.5f);
  // Fins behind the hull, swept back to the right (the craft flies left).
  BodyStyle fin{pal.panel, 2.5f, 0};
  const float fx = cx + len * r.Range(0.05f, 0.25f);
  BodyPolygon(b,
              {{fx - len * 0.2f, cy},
               {fx + len * 0.25f, cy - hh * (0.9f - bank)},
               {fx + len * 0.4f, cy - hh * (0.85f - bank)},
               {fx + len * 0.2f, cy}},
              fin);
  BodyPolygon(b,
              {{fx - len * 0.2f, cy},
               {fx + len * 0.25f, cy + hh * (0.9f + bank)},
               {fx + len * 0.4f, cy + hh * (0.85f + bank)},
               {fx + len * 0.2f, cy}},
              fin);
  DrawHull(b, cx, cy, len, hh * 1.1f, false, pal, r);
  ShadeBody(c, b, MetalOf(p));
  // Exhaust at the tail and a blinking hull light.
  const float flick = 0.7f + 0.3f * std::sin(p.frame * 2.7f);
  GlowDot(c, cx + len / 2 + 1, cy, std::fmax(2.0f, hh * 0.35f) * flick, pal.energy, 0.9f);
  Lamp(c, cx - len * 0.1f, cy + hh * 0.35f, std::fmax(1.2f, hh * 0.12f), pal.light, p.frame % 2);
}

void PaintTurret(Canvas& c, const PaintCell& p) {
  // The barrel turns through the frames, from pointing left over the top to the right.
  const Palette& pal = EnemyPalette(p.stage);
  const int n = std::max(1, p.count);
  const float a = n > 1 ? kPi + kPi * p.frame / (n - 1) : kPi * 1.2f;
  const float s = std::fmin(c.w, c.h);
  const float cx = c.w / 2.0f, cy = c.h * (c.h > c.w * 0.9f ? 0.55f : 0.62f);
  Body b(c.w, c.h);
  BodyBox(b, cx, c.h - s * 0.14f - 2, s * 0.42f, s * 0.12f, 2, BodyStyle{pal.panel, 2.5f, 0});
  const float len = s * 0.4f;
  BodyCapsule(b, cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len, s * 0.09f,
              BodyStyle{pal.hull * 0.85f, 2, s * 0.12f});
  BodyEllipse(b, cx, cy, s * 0.26f, s * 0.22f, BodyStyle{pal.hull, s * 0.16f, 0});
  BodyEllipse(b, cx - s * 0.05f, cy - s * 0.06f, s * 0.08f, s * 0.06f,
              BodyStyle{pal.light, 2, s * 0.2f, 0.7f});
  ShadeBody(c, b, MetalOf(p));
  GlowDot(c, cx + std::cos(a) * len, cy + std::sin(a) * len, s * 0.06f, pal.energy, 0.6f);
}

void PaintHatch(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const int n = std::max(1, p.count);
  const float open = n > 1 ? p.frame / static_cast<float>(n - 1) : 0;
  Body b(c.w, c.h);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float hw = c.w * 0.44f, hh = c.h * 0.42f;
  BodyBox(b, cx, cy, hw, hh, 4, BodyStyle{pal.hull, 4, 0});
  // Two doors slide apart to show the dark hold and a warning light inside.
  const float gap = hw * 0.8f * open;
  BodyBox(b, cx, cy, hw * 0.8f, hh * 0.7f, 2, BodyStyle{Hex(0x101014), 1.5f, -1});
  BodyBox(b, cx - hw * 0.4f - gap / 2, cy, hw * 0.4f - 1, hh * 0.7f, 2,
          BodyStyle{pal.panel, 2.5f, 1});
  BodyBox(b, cx + hw * 0.4f + gap / 2, cy, hw * 0.4f - 1, hh * 0.7f, 2,
          BodyStyle{pal.panel, 2.5f, 1});
  for (int i = 0; i < 4; ++i)
    BodyEllipse(b, cx + (i % 2 ? hw : -hw) * 0.85f, cy + (i / 2 ? hh : -hh) * 0.8f, 1.8f, 1.8f,
                BodyStyle{pal.accent, 1.5f, 2});
  ShadeBody(c, b, MetalOf(p));
  if (open > 0) GlowDot(c, cx, cy, hh * 0.35f * open, pal.light, 0.8f);
}

void PaintWalker(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  KitRandom r(p.seed);
  Body b(c.w, c.h);
  const float cx = c.w / 2.0f, top = c.h * 0.12f;
  const float bw = c.w * 0.7f, bh = c.h * 0.42f;
  // Legs first (behind), then the armoured body with its gun.
  const float stride = std::sin(p.frame * kPi / 2) * c.w * 0.08f;
  for (int side = -1; side <= 1; side += 2) {
    const float hipX = cx + side * bw * 0.28f, hipY = top + bh * 0.85f;
    const float kneeX = hipX + side * c.w * 0.08f + stride * side, kneeY = c.h * 0.72f;
    const float footX = hipX - side * c.w * 0.02f, footY = c.h - 8;
    BodyCapsule(b, hipX, hipY, kneeX, kneeY, c.w * 0.05f, BodyStyle{pal.panel, 3, 0});
    BodyCapsule(b, kneeX, kneeY, footX, footY, c.w * 0.045f, BodyStyle{pal.panel * 0.9f, 3, 0});
    BodyBox(b, footX, footY, c.w * 0.09f, 4, 2, BodyStyle{pal.hull, 2, 1});
  }
  BodyPolygon(b,
              {{cx - bw / 2, top + bh * 0.3f},
               {cx - bw * 0.3f, top},
               {cx + bw * 0.4f, top + 2},
               {cx + bw / 2, top + bh * 0.5f},
               {cx + bw * 0.35f, top + bh},
               {cx - bw * 0.4f, top + bh}},
              BodyStyle{pal.hull, 6, 2});
  BodyCapsule(b, cx - bw * 0.3f, top + bh * 0.5f, cx - bw * 0.62f, top + bh * 0.5f, c.h * 0.05f,
              BodyStyle{pal.hull * 0.8f, 2, 4});
  BodyEllipse(b, cx - bw * 0.18f, top + bh * 0.35f, c.w * 0.06f, c.h * 0.05f,
              BodyStyle{pal.light, 2, 8, 0.8f});
  BodyGroove(b, cx, top + 4, cx + bw * 0.1f, top + bh - 4, 1, 2);
  (void)r;
  ShadeBody(c, b, MetalOf(p));
}

void PaintLegs(Canvas& c, const PaintCell& p) {
  // A leg sheet: four upper and lower leg bars down the left, two feet in the right column;
  // the stage cuts these rectangles out of the sheet.
  const Palette& pal = EnemyPalette(p.stage);
  const float colW = p.stage == 6 ? 92.0f : 64.0f;
  const float leftW = c.w - colW, barH = c.h / 4.0f;
  Body b(c.w, c.h);
  for (int i = 0; i < 4; ++i) {
    const float y = barH * (i + 0.5f);
    BodyCapsule(b, barH * 0.45f, y, leftW - barH * 0.45f, y, barH * 0.3f,
                BodyStyle{i % 2 ? pal.panel : pal.hull, 5, 0});
    BodyEllipse(b, barH * 0.45f, y, barH * 0.22f, barH * 0.22f, BodyStyle{pal.accent, 3, 4});
    BodyGroove(b, leftW * 0.35f, y - barH * 0.25f, leftW * 0.35f, y + barH * 0.25f, 1, 2);
  }
  for (int i = 0; i < 2; ++i) {
    const float y0 = c.h / 2.0f * i;
    const float x = leftW + colW / 2;
    BodyCapsule(b, x, y0 + c.h * 0.08f, x, y0 + c.h * 0.36f, colW * 0.22f,
                BodyStyle{pal.hull, 4, 0});
    BodyPolygon(b,
                {{leftW + 4, y0 + c.h * 0.46f},
                 {leftW + colW * 0.3f, y0 + c.h * 0.34f},
                 {leftW + colW * 0.75f, y0 + c.h * 0.34f},
                 {c.w - 4.0f, y0 + c.h * 0.46f}},
                BodyStyle{pal.panel, 4, 2});
  }
  ShadeBody(c, b, MetalOf(p));
}

void PaintRock(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float rx = c.w * 0.44f, ry = c.h * 0.44f;
  std::vector<Vec2> outline;
  const int n = 22;
  const float spin = p.frame * 0.5f;
  for (int i = 0; i < n; ++i) {
    const float a = i * 2 * kPi / n + spin;
    const float k =
        0.72f + 0.28f * ValueNoise(std::cos(a) * 1.7f + 5, std::sin(a) * 1.7f + 5, p.seed);
    outline.push_back({cx + std::cos(a) * rx * k, cy + std::sin(a) * ry * k});
  }
  Body b(c.w, c.h);
  BodyPolygon(b, outline, BodyStyle{pal.rock, std::fmin(rx, ry) * 0.7f, 0});
  BodyDents(b, p.seed, std::fmin(rx, ry) * 0.4f, std::fmax(3.0f, rx / 3));
  KitRandom r(p.seed);
  for (int i = 0; i < 3; ++i) {
    const float x = cx + r.Range(-rx, rx) * 0.5f, y = cy + r.Range(-ry, ry) * 0.5f,
                rr = std::fmin(rx, ry) * r.Range(0.1f, 0.2f);
    BodyGroove(b, x - rr * 0.3f, y, x + rr * 0.3f, y, rr, rr * 0.6f);
  }
  Material m;
  m.seed = p.seed;
  m.grain = 0.25f;
  m.grainScale = 3;
  m.shine = 0.08f;
  ShadeBody(c, b, m);
}

void PaintOrb(Canvas& c, const PaintCell& p) {
  // An armoured shell holding a glowing core that pulses through the frames.
  const Palette& pal = EnemyPalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) * 0.42f;
  const float pulse = 0.75f + 0.25f * std::sin(p.frame * kPi / 2);
  const bool plain = std::strstr(p.path, "red") || std::strstr(p.path, "blue") ||
                     std::strstr(p.path, "ion") || std::strstr(p.path, "enemyR4") ||
                     std::strstr(p.path, "bossani");
  Rgb core = pal.light;
  if (std::strstr(p.path, "red")) core = Hex(0xFF4040);
  if (std::strstr(p.path, "blue")) core = Hex(0x4080FF);
  if (plain) {
    Body b(c.w, c.h);
    BodyEllipse(b, cx, cy, r * 0.8f, r * 0.8f, BodyStyle{core * 0.55f, r * 0.8f, 0});
    ShadeBody(c, b, MetalOf(p));
    GlowDot(c, cx, cy, r * 0.5f * pulse, core, 0.8f);
    return;
  }
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, r, r, BodyStyle{pal.hull, r * 0.5f, 0});
  BodyEllipse(b, cx, cy, r * 0.55f, r * 0.55f, BodyStyle{Hex(0x141418), 2, r * 0.2f});
  for (int i = 0; i < 4; ++i) {
    const float a = i * kPi / 2 + kPi / 4;
    BodyGroove(b, cx + std::cos(a) * r * 0.6f, cy + std::sin(a) * r * 0.6f, cx + std::cos(a) * r,
               cy + std::sin(a) * r, 1.2f, r * 0.2f);
  }
  ShadeBody(c, b, MetalOf(p));
  GlowDot(c, cx, cy, r * 0.42f * pulse, core, 1);
}

void PaintBoss(Canvas& c, const PaintCell& p) {
  // A large armoured hull facing left: layered plates, gun housings, a core, engine glow.
  const Palette& pal = EnemyPalette(p.stage);
  KitRandom r(p.seed);
  const bool organic = Organic(p);
  Body b(c.w, c.h);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, hw = c.w * 0.46f, hh = c.h * 0.42f;
  if (organic) {
    for (int i = 0; i < 7; ++i) {
      const float a = i * 2 * kPi / 7 + r.Range(-0.3f, 0.3f);
      BodyEllipse(b, cx + std::cos(a) * hw * 0.45f, cy + std::sin(a) * hh * 0.45f, hw * 0.45f,
                  hh * 0.4f, BodyStyle{i % 2 ? pal.hull : pal.hull * 0.8f, hh * 0.5f, 0});
    }
    BodyEllipse(b, cx - hw * 0.2f, cy, hw * 0.3f, hh * 0.3f,
                BodyStyle{pal.panel, hh * 0.2f, hh * 0.3f});
    BodyDents(b, p.seed, hh * 0.2f, 6);
    Material m = MetalOf(p);
    m.shine = 0.55f;
    m.grain = 0.18f;
    ShadeBody(c, b, m);
    GlowDot(c, cx - hw * 0.2f, cy, hh * 0.18f * (0.8f + 0.2f * std::sin(p.frame * 1.6f)), pal.light,
            1);
    return;
  }
  BodyPolygon(b,
              {{cx - hw, cy - hh * 0.15f},
               {cx - hw * 0.55f, cy - hh * 0.85f},
               {cx + hw * 0.7f, cy - hh},
               {cx + hw, cy - hh * 0.5f},
               {cx + hw, cy + hh * 0.5f},
               {cx + hw * 0.7f, cy + hh},
               {cx - hw * 0.55f, cy + hh * 0.85f},
               {cx - hw, cy + hh * 0.15f}},
              BodyStyle{pal.hull, std::fmin(hw, hh) * 0.18f, 0});
  // Armour plates and their seams.
  const int plates = 3 + r.Below(3);
  for (int i = 0; i < plates; ++i) {
    const float x = cx - hw * 0.6f + i * hw * 1.3f / plates;
    BodyBox(b, x + hw * 0.18f, cy - hh * 0.55f, hw * 0.2f, hh * 0.2f, 3,
            BodyStyle{pal.panel, 4, hh * 0.12f});
    BodyBox(b, x + hw * 0.18f, cy + hh * 0.55f, hw * 0.2f, hh * 0.2f, 3,
            BodyStyle{pal.panel, 4, hh * 0.12f});
    BodyGroove(b, x, cy - hh * 0.9f, x, cy + hh * 0.9f, 1.2f, 3);
  }
  BodyBox(b, cx - hw * 0.1f, cy, hw * 0.85f, hh * 0.08f, 2, BodyStyle{pal.accent, 2, hh * 0.1f});
  // Gun housings along the front and a core behind a ring.
  for (int i = -1; i <= 1; i += 2)
    BodyCapsule(b, cx - hw * 0.55f, cy + i * hh * 0.4f, cx - hw * 1.0f, cy + i * hh * 0.4f,
                std::fmax(2.0f, hh * 0.07f), BodyStyle{pal.hull * 0.7f, 2, hh * 0.2f});
  BodyEllipse(b, cx + hw * 0.1f, cy, hh * 0.32f, hh * 0.32f,
              BodyStyle{pal.hull * 0.75f, hh * 0.12f, hh * 0.15f});
  BodyEllipse(b, cx + hw * 0.1f, cy, hh * 0.18f, hh * 0.18f,
              BodyStyle{pal.light, 3, hh * 0.3f, 0.85f});
  ShadeBody(c, b, MetalOf(p));
  const float pulse = 0.8f + 0.2f * std::sin(p.frame * 1.6f);
  GlowDot(c, cx + hw * 0.1f, cy, hh * 0.2f * pulse, pal.light, 0.9f);
  for (int i = -1; i <= 1; i += 2)
    GlowDot(c, cx + hw * 0.98f, cy + i * hh * 0.3f, hh * 0.12f, pal.energy, 0.7f);
}

void PaintWall(Canvas& c, const PaintCell& p) {
  // Armoured blocks, gates and shutters: a bevelled slab with panels; shutters open by frame.
  const Palette& pal = EnemyPalette(p.stage);
  const bool shutter = std::strstr(p.path, "shutter") != nullptr;
  const bool rocky = std::strstr(p.path, "iwakabe") != nullptr;
  Body b(c.w, c.h);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float hw = c.w / 2.0f - 2, hh = c.h / 2.0f - 2;
  if (rocky) {
    std::vector<Vec2> pts;
    for (int i = 0; i < 24; ++i) {
      const float a = i * 2 * kPi / 24;
      const float k = 0.8f + 0.2f * ValueNoise(std::cos(a) * 2 + 3, std::sin(a) * 2 + 3, p.seed);
      pts.push_back({cx + std::cos(a) * hw * k, cy + std::sin(a) * hh * k});
    }
    BodyPolygon(b, pts, BodyStyle{pal.rock, std::fmin(hw, hh) * 0.6f, 0});
    BodyDents(b, p.seed, 10, 8);
    Material m = MetalOf(p);
    m.grain = 0.25f;
    m.shine = 0.08f;
    ShadeBody(c, b, m);
    return;
  }
  const float open = shutter && p.count > 1 ? p.frame / static_cast<float>(p.count - 1) : 0;
  const float visibleH = hh * (1 - open * 0.7f);
  BodyBox(b, cx, cy - (hh - visibleH), hw, visibleH, 3, BodyStyle{pal.hull, 4, 0});
  const int slats = std::max(1, static_cast<int>(visibleH * 2 / 20));
  for (int i = 1; i < slats; ++i) {
    const float y = cy - hh + i * (visibleH * 2) / slats;
    BodyGroove(b, cx - hw + 3, y, cx + hw - 3, y, 1.3f, 3);
  }
  if (hw > 12 && !shutter)
    BodyBox(b, cx, cy, hw * 0.55f, std::fmin(hh * 0.55f, hh - 6), 2, BodyStyle{pal.panel, 3, 3});
  ShadeBody(c, b, MetalOf(p));
  if (p.count > 1 && !shutter)
    GlowDot(c, cx, cy - hh + 10, 4, p.frame % 2 ? pal.light : pal.energy, 0.8f);
  if (p.stage == 4 || shutter) {
    // Warning stripes along the foot.
    const float y0 = cy - hh + visibleH * 2 - 8;
    for (int y = static_cast<int>(y0); y < static_cast<int>(y0 + 5); ++y)
      for (int x = static_cast<int>(cx - hw + 3); x < static_cast<int>(cx + hw - 3); ++x)
        if (((x + y) / 4) % 2 == 0) BlendOver(c, x, y, pal.accent, 0.9f);
  }
}

void PaintMissile(Canvas& c, const PaintCell& p) {
  // A shell flying left; its angle steps through the frames and its flame flickers.
  const Palette& pal = EnemyPalette(p.stage);
  const float s = std::fmin(c.w, c.h);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float a = kPi + (p.frame % 8) * (2 * kPi / 8);
  const float len = s * 0.34f;
  const float dx = std::cos(a), dy = std::sin(a);
  Body b(c.w, c.h);
  BodyCapsule(b, cx - dx * len * 0.6f, cy - dy * len * 0.6f, cx + dx * len * 0.7f,
              cy + dy * len * 0.7f, s * 0.1f, BodyStyle{pal.hull, 3, 0});
  BodyCapsule(b, cx + dx * len * 0.55f, cy + dy * len * 0.55f, cx + dx * len * 0.8f,
              cy + dy * len * 0.8f, s * 0.08f, BodyStyle{pal.accent, 2, 1});
  const float fx = cx - dx * len * 0.6f, fy = cy - dy * len * 0.6f;
  BodyPolygon(b,
              {{fx - dy * s * 0.18f, fy + dx * s * 0.18f},
               {fx + dx * s * 0.15f, fy + dy * s * 0.15f},
               {fx + dy * s * 0.18f, fy - dx * s * 0.18f}},
              BodyStyle{pal.panel, 2, 0});
  ShadeBody(c, b, MetalOf(p));
  GlowDot(c, fx - dx * s * 0.08f, fy - dy * s * 0.08f, s * 0.1f * (0.8f + 0.2f * (p.frame % 2)),
          pal.energy, 0.9f);
}

void PaintCarrier(Canvas& c, const PaintCell& p) {
  // A container craft carrying items; its lamp blinks and its side panel glows by frame.
  const Palette& pal = EnemyPalette(p.stage);
  const bool box = std::strstr(p.path, "itembox") != nullptr;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  if (box) {
    BodyBox(b, cx, cy, c.w * 0.4f, c.h * 0.36f, 5, BodyStyle{Hex(0x8A7A60), 5, 0});
    BodyBox(b, cx, cy, c.w * 0.28f, c.h * 0.22f, 2, BodyStyle{Hex(0x5A4E3C), 2, 3});
    BodyGroove(b, cx - c.w * 0.4f, cy, cx + c.w * 0.4f, cy, 1, 2);
  } else {
    KitRandom r(p.seed);
    DrawHull(b, cx, cy - c.h * 0.1f, c.w * 0.8f, c.h * 0.42f, false, pal, r);
    BodyBox(b, cx, cy + c.h * 0.22f, c.w * 0.2f, c.h * 0.14f, 3, BodyStyle{Hex(0xE8C040), 3, 2});
  }
  ShadeBody(c, b, MetalOf(p));
  Lamp(c, cx, box ? cy : cy + c.h * 0.22f, 3, p.frame % 2 ? Hex(0xFFE080) : Hex(0xFF6040),
       (p.frame % 3) / 2.0f);
}

void PaintSegment(Canvas& c, const PaintCell& p) {
  // Generic parts: an arm, strut, joint or plate fitted to the cell, metal or (stage 3) flesh
  // and bone. The frames turn it a little and blink its light.
  const Palette& pal = EnemyPalette(p.stage);
  KitRandom r(p.seed);
  const bool organic = Organic(p);
  const float ph = Phase(p);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float hw = c.w / 2.0f - 3, hh = c.h / 2.0f - 3;
  Body b(c.w, c.h);
  const Rgb main = organic ? pal.hull : (r.Below(2) ? pal.hull : pal.panel);
  if (hw > hh * 1.6f || hh > hw * 1.6f) {
    const bool wide = hw > hh;
    const float sway = std::cos(ph * 2 * kPi) * (wide ? hh : hw) * 0.15f;
    const float t = (wide ? hh : hw) * 0.7f;
    const float x0 = wide ? cx - hw + t : cx + sway, y0 = wide ? cy + sway : cy - hh + t;
    const float x1 = wide ? cx + hw - t : cx - sway, y1 = wide ? cy - sway : cy + hh - t;
    BodyCapsule(b, x0, y0, x1, y1, t * 0.85f, BodyStyle{main, t * 0.6f, 0});
    BodyEllipse(b, x0, y0, t * 0.6f, t * 0.6f,
                BodyStyle{organic ? pal.panel : pal.accent, t * 0.4f, t * 0.4f});
    if (!organic)
      for (int i = 1; i < 4; ++i) {
        const float k = i / 4.0f;
        const float gx = x0 + (x1 - x0) * k, gy = y0 + (y1 - y0) * k;
        BodyGroove(b, gx - (wide ? 0 : t * 0.7f), gy - (wide ? t * 0.7f : 0),
                   gx + (wide ? 0 : t * 0.7f), gy + (wide ? t * 0.7f : 0), 1, t * 0.2f);
      }
  } else {
    const float a = std::cos(ph * 2 * kPi) * 0.15f;
    std::vector<Vec2> pts;
    const int sides = organic ? 14 : 6 + r.Below(3) * 2;
    for (int i = 0; i < sides; ++i) {
      const float ang = i * 2 * kPi / sides + a;
      const float k =
          organic ? 0.8f + 0.2f * ValueNoise(std::cos(ang) * 2 + 9, std::sin(ang) * 2, p.seed) : 1;
      pts.push_back({cx + std::cos(ang) * hw * k, cy + std::sin(ang) * hh * k});
    }
    BodyPolygon(b, pts, BodyStyle{main, std::fmin(hw, hh) * 0.4f, 0});
    BodyEllipse(b, cx, cy, hw * 0.35f, hh * 0.35f,
                BodyStyle{organic ? pal.panel : pal.hull * 0.7f, std::fmin(hw, hh) * 0.2f,
                          std::fmin(hw, hh) * 0.25f});
  }
  if (organic) BodyDents(b, p.seed + p.frame, std::fmin(hw, hh) * 0.3f, 5);
  Material m = MetalOf(p);
  if (organic) m.shine = 0.6f, m.grain = 0.2f;
  ShadeBody(c, b, m);
  if (p.count > 1 && !organic)
    Lamp(c, cx, cy, std::fmax(1.5f, std::fmin(hw, hh) * 0.18f), pal.light, p.frame % 2);
}

void PaintPortal(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) * 0.42f;
  const float turn = Phase(p) * 2 * kPi;
  for (int arm = 0; arm < 3; ++arm)
    for (int i = 0; i < 24; ++i) {
      const float t = i / 24.0f;
      const float a = turn + arm * 2 * kPi / 3 + t * 4;
      GlowDot(c, cx + std::cos(a) * r * t, cy + std::sin(a) * r * t, 2 + 3 * t,
              Mix(pal.light, pal.energy, t), 0.35f);
    }
  GlowRing(c, cx, cy, r * 0.95f, 2, pal.energy, 0.6f);
}

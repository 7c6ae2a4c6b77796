// The ship, its flames and shield, items, HUD pips and weapon icons; the palettes by stage and
// the painter table.
#include <cmath>

#include "tools/datakit/painters.h"
#include "tools/datakit/stages/stage_kits.h"

namespace {

constexpr float kPi = 3.14159265f;

// The ship, items, common enemies and effects; each stage's is in its file.
const Palette kCommonPalette = {
    .hull = Hex(0x8A9BB0),
    .panel = Hex(0xD8DEE6),
    .accent = Hex(0x2F6FD0),
    .light = Hex(0x7FE8FF),
    .energy = Hex(0x9CCBFF),
    .rock = Hex(0x7A6A58),
    .skyTop = Hex(0x05070F),
    .skyLow = Hex(0x101830),
};

// The common enemies' side of it: warm brick and umber hulls with red eyes and amber bands,
// against the ship's steel, white and blue, so that a foe never reads as the player.
const Palette kCommonEnemyPalette = {
    .hull = Hex(0xA04832),
    .panel = Hex(0x5A463E),
    .accent = Hex(0xE8A030),
    .light = Hex(0xFF4A30),
    .energy = Hex(0xFF9A40),
    .rock = Hex(0x7A6A58),
    .skyTop = Hex(0x05070F),
    .skyLow = Hex(0x101830),
};

struct PainterRow {
  Paint paint;
  PainterFunction function;
  bool wholeSheet;
};

const PainterRow kPainterRows[] = {
    {Paint::Ship, PaintShip, false},
    {Paint::Jet, PaintJet, false},
    {Paint::ChargeOrb, PaintChargeOrb, false},
    {Paint::Shield, PaintShield, false},
    {Paint::Item, PaintItem, false},
    {Paint::InfoStrip, PaintInfoStrip, false},
    {Paint::Caption, PaintCaption, false},
    {Paint::Board, PaintBoard, true},
    {Paint::Hide, PaintHide, false},
    {Paint::SpeedPip, PaintSpeedPip, false},
    {Paint::BonusStar, PaintBonusStar, false},
    {Paint::WeaponIcon, PaintWeaponIcon, false},
    {Paint::IconCursor, PaintIconCursor, false},
    {Paint::Font, PaintFont, false},
    {Paint::AlphaBlack, PaintAlphaBlack, true},
    {Paint::Title, PaintTitle, true},
    {Paint::TitleBoss, PaintTitleBoss, true},
    {Paint::HeroShip, PaintHeroShip, true},
    {Paint::Backdrop, PaintBackdrop, true},
    {Paint::Panel, PaintPanel, true},
    {Paint::MenuBar, PaintMenuBar, true},
    {Paint::Frame, PaintFrame, true},
    {Paint::BeamBand, PaintBeamBand, false},
    {Paint::Logo, PaintLogo, true},
    {Paint::Gauge, PaintGauge, false},
    {Paint::Explosion, PaintExplosion, false},
    {Paint::HitSpark, PaintHitSpark, false},
    {Paint::PowerBurst, PaintPowerBurst, false},
    {Paint::BossFlash, PaintBossFlash, false},
    {Paint::BossBand, PaintBossBand, false},
    {Paint::Trail, PaintTrail, false},
    {Paint::Sparks, PaintSparks, false},
    {Paint::Shot, PaintShot, false},
    {Paint::Blast, PaintBlast, false},
    {Paint::Wave, PaintWave, false},
    {Paint::Bullet, PaintBullet, false},
    {Paint::WarnLine, PaintWarnLine, false},
    {Paint::LaserEnd, PaintLaserEnd, false},
    {Paint::LaserHit, PaintLaserHit, false},
    {Paint::LaserRing, PaintLaserRing, false},
    {Paint::Beam, PaintBeam, false},
    {Paint::Flame, PaintFlame, false},
    {Paint::Craft, PaintCraft, false},
    {Paint::Turret, PaintTurret, false},
    {Paint::Hatch, PaintHatch, false},
    {Paint::Walker, PaintWalker, false},
    {Paint::Legs, PaintLegs, true},
    {Paint::Rock, PaintRock, false},
    {Paint::Orb, PaintOrb, false},
    {Paint::Fire, PaintFire, false},
    {Paint::Boss, PaintBoss, false},
    {Paint::Wall, PaintWall, false},
    {Paint::Missile, PaintMissile, false},
    {Paint::Carrier, PaintCarrier, false},
    {Paint::Segment, PaintSegment, false},
    {Paint::Portal, PaintPortal, false},
    {Paint::Sky, PaintSky, true},
    {Paint::FarChips, PaintFarChips, true},
    {Paint::NearChips, PaintNearChips, true},
    {Paint::MainChips, PaintMainChips, true},
    {Paint::Skyline, PaintSkyline, true},
};

}  // namespace

const Palette& StagePalette(int stage) {
  return stage >= 1 && stage <= 7 ? StageKitOf(stage).palette : kCommonPalette;
}

const Palette& EnemyPalette(int stage) {
  return stage >= 1 && stage <= 7 ? StageKitOf(stage).palette : kCommonEnemyPalette;
}

PainterFunction PainterFor(Paint paint, bool* wholeSheet) {
  for (const PainterRow& row : kPainterRows)
    if (row.paint == paint) {
      *wholeSheet = row.wholeSheet;
      return row.function;
    }
  return nullptr;
}

void DrawHull(Body& b, float cx, float cy, float length, float height, bool noseRight,
              const Palette& pal, KitRandom& r) {
  const float s = noseRight ? 1.0f : -1.0f;
  const float half = length / 2, hh = height / 2;
  const float noseCut = r.Range(0.15f, 0.35f);
  BodyStyle hull{pal.hull, std::fmax(2.0f, hh * 0.6f), 0};
  BodyPolygon(b,
              {{cx - s * half, cy - hh * 0.8f},
               {cx + s * half * (1 - noseCut), cy - hh * 0.55f},
               {cx + s * half, cy + hh * 0.05f},
               {cx + s * half * (1 - noseCut * 0.8f), cy + hh * 0.5f},
               {cx - s * half, cy + hh * 0.8f}},
              hull);
  // A second plate along the spine, a canopy or sensor, panel seams.
  BodyStyle plate{pal.panel, std::fmax(1.5f, hh * 0.35f), hh * 0.25f};
  BodyPolygon(b,
              {{cx - s * half * 0.8f, cy - hh * 0.62f},
               {cx + s * half * 0.35f, cy - hh * 0.5f},
               {cx + s * half * 0.15f, cy - hh * 0.1f},
               {cx - s * half * 0.75f, cy - hh * 0.15f}},
              plate);
  BodyStyle eye{pal.light, std::fmax(1.0f, hh * 0.2f), hh * 0.5f, 0.8f};
  BodyEllipse(b, cx + s * half * 0.5f, cy - hh * 0.12f, std::fmax(1.5f, length * 0.08f),
              std::fmax(1.2f, hh * 0.22f), eye);
  BodyGroove(b, cx - s * half * 0.1f, cy - hh * 0.7f, cx - s * half * 0.1f, cy + hh * 0.7f, 1.0f,
             hh * 0.25f);
  BodyGroove(b, cx - s * half * 0.6f, cy + hh * 0.25f, cx + s * half * 0.6f, cy + hh * 0.25f, 0.8f,
             hh * 0.2f);
}

void EnergyBall(Canvas& c, float cx, float cy, float r, Rgb rim, float intensity) {
  GlowDot(c, cx, cy, r * 1.4f, rim * 0.7f, intensity);
  GlowDot(c, cx, cy, r * 0.7f, Mix(rim, Rgb{1, 1, 1}, 0.5f), intensity);
}

void DrawShipBody(Body& b, float cx, float cy, float k, float bank, const Palette& pal) {
  const float sq = 1 - std::fabs(bank) * 0.18f;
  BodyStyle wing{pal.hull * 0.9f, 2.5f * k, 0};
  const float up = 13 * sq * (1 - bank * 0.35f), down = 13 * sq * (1 + bank * 0.35f);
  BodyPolygon(b,
              {{cx - 16 * k, cy - 2 * k},
               {cx + 4 * k, cy - 3 * k},
               {cx - 8 * k, cy - (3 + up) * k},
               {cx - 18 * k, cy - (2 + up) * k}},
              wing);
  BodyPolygon(b,
              {{cx - 16 * k, cy + 2 * k},
               {cx + 4 * k, cy + 3 * k},
               {cx - 8 * k, cy + (3 + down) * k},
               {cx - 18 * k, cy + (2 + down) * k}},
              wing);
  BodyStyle hull{pal.panel, 4 * k, 0};
  BodyPolygon(b,
              {{cx - 22 * k, cy - 6 * sq * k},
               {cx + 8 * k, cy - 5 * sq * k},
               {cx + 27 * k, cy + k},
               {cx + 8 * k, cy + 5 * sq * k},
               {cx - 22 * k, cy + 6 * sq * k}},
              hull);
  BodyPolygon(b,
              {{cx - 20 * k, cy + k},
               {cx + 14 * k, cy + k},
               {cx + 18 * k, cy + 3 * k},
               {cx - 20 * k, cy + 4 * k}},
              BodyStyle{pal.accent, 1.5f * k, 2 * k});
  BodyEllipse(b, cx + 4 * k, cy - 3.5f * sq * k, 8 * k, 3.2f * sq * k,
              BodyStyle{pal.light, 2.5f * k, 3 * k, 0.55f});
  BodyBox(b, cx - 22 * k, cy, 3 * k, 4.5f * sq * k, 1.5f * k, BodyStyle{pal.hull * 0.7f, 2 * k, k});
  BodyGroove(b, cx - 6 * k, cy - 5 * k, cx - 6 * k, cy + 5 * k, 0.8f * k, 1.2f * k);
  for (int i = 0; i < 5; ++i)
    BodyGroove(b, cx - 20 * k + i * 8 * k, cy - 4 * k, cx - 20 * k + i * 8 * k, cy + 4 * k,
               0.5f * k, 0.8f * k);
}

void PaintShip(Canvas& c, const PaintCell& p) {
  // Frame 3 flies level; lower frames bank up, higher ones down.
  const float bank = (p.frame - 3) / 3.0f;
  Body b(c.w, c.h);
  const float cx = c.w * 0.5f, cy = c.h * 0.5f + bank * 1.5f;
  DrawShipBody(b, cx, cy, 1, bank, StagePalette(0));
  Material m;
  m.seed = p.seed;
  m.shine = 0.5f;
  ShadeBody(c, b, m);
  GlowDot(c, cx - 25, cy, 3.5f, Hex(0x5AB0FF), 0.9f);
}

void PaintJet(Canvas& c, const PaintCell& p) {
  // A thruster plume along the cell, its root at the right edge, flickering frame by frame.
  KitRandom r(p.seed + p.frame * 7);
  const Palette& pal = StagePalette(p.stage);
  const bool tall = c.h > c.w * 1.5f;
  const float len = (tall ? c.h : c.w) * (0.72f + 0.2f * std::sin(p.frame * 2.1f + 0.5f));
  const float thick = (tall ? c.w : c.h) * 0.22f;
  const Rgb core = p.stage == 0 ? Hex(0x7AC8FF) : pal.energy;
  const Rgb tip = p.stage == 0 ? Hex(0x3050FF) : pal.accent;
  const int steps = 16;
  float px = tall ? c.w / 2.0f : c.w - 2.0f, py = tall ? 2.0f : c.h / 2.0f;
  for (int i = 1; i <= steps; ++i) {
    const float t = i / static_cast<float>(steps);
    const float wob = (r.Unit() - 0.5f) * thick * 0.25f * t;
    const float x = tall ? c.w / 2.0f + wob : c.w - 2 - t * len,
                y = tall ? 2 + t * len : c.h / 2.0f + wob;
    GlowLine(c, px, py, x, y, thick * (1 - t * 0.8f), Mix(core, tip, t), 0.5f * (1 - t * 0.75f));
    px = x, py = y;
  }
}

void PaintChargeOrb(Canvas& c, const PaintCell& p) {
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = c.w * 0.3f;
  EnergyBall(c, cx, cy, r, Hex(0x6CB8FF), 0.9f);
  GlowRing(c, cx, cy, r * 1.2f, 2.2f, Hex(0x9CD8FF), 0.6f);
  KitRandom rnd(p.seed);
  for (int i = 0; i < 8; ++i) {
    const float a = i * kPi / 4 + rnd.Range(-0.2f, 0.2f);
    GlowLine(c, cx + std::cos(a) * r * 0.5f, cy + std::sin(a) * r * 0.5f,
             cx + std::cos(a) * r * 1.5f, cy + std::sin(a) * r * 1.5f, 1.5f, Hex(0x80C0FF), 0.5f);
  }
}

void PaintShield(Canvas& c, const PaintCell& p) {
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float rx = c.w * 0.42f, ry = c.h * 0.42f;
  const float phase = p.frame * kPi / 2;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d > 1.08f) continue;
      const float rim = std::exp(-(d - 1) * (d - 1) * 120.0f);
      const float inner = d < 1 ? 0.10f * d * d : 0;
      const float hex = 0.5f + 0.5f * std::sin(x * 0.7f + phase) * std::sin(y * 0.8f - phase);
      const float k = rim * 0.9f + inner * (0.6f + 0.4f * hex);
      AddLight(c, x, y, Hex(0x58C8FF) * k + Rgb{1, 1, 1} * (rim * rim * 0.35f));
    }
}

void PaintItem(Canvas& c, const PaintCell& p) {
  // Capsules with a letter or symbol; the frames turn the capsule and sweep a highlight.
  static const uint32_t colours[8] = {0xE03A3A, 0x2EC46A, 0x3A8CFF, 0x9A5AE0,
                                      0xF0C828, 0xFFD040, 0x38D8E8, 0xF0F0F0};
  static const char* const marks[8] = {"M", "S", ">", "<", "C", "*", "O", "?"};
  const int k = p.variant & 7;
  const Rgb col = Hex(colours[k]);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float turn = std::cos(p.frame * kPi / 4);
  Body b(c.w, c.h);
  if (k == 5) {
    std::vector<Vec2> star;
    for (int i = 0; i < 10; ++i) {
      const float a = -kPi / 2 + i * kPi / 5 + p.frame * 0.15f;
      const float rr = i % 2 ? 5.5f : 13.0f;
      star.push_back(
          {cx + std::cos(a) * rr * (0.75f + 0.25f * std::fabs(turn)), cy + std::sin(a) * rr});
    }
    BodyPolygon(b, star, BodyStyle{col, 4, 0});
  } else {
    BodyBox(b, cx, cy, 12 * (0.8f + 0.2f * std::fabs(turn)), 9, 6, BodyStyle{col, 4, 0});
    BodyBox(b, cx, cy, 4, 9, 1, BodyStyle{col * 0.6f, 2, 3});
  }
  Material m;
  m.seed = p.seed;
  m.shine = 0.7f;
  m.grain = 0.03f;
  ShadeBody(c, b, m);
  if (k != 5)
    DrawStrokeText(c, marks[k], cx - StrokeTextWidth(marks[k], 9) / 2, cy - 4.5f, 9, 1.8f,
                   Rgb{1, 1, 1}, Rgb{0.05f, 0.05f, 0.1f});
  // A travelling glint.
  GlowDot(c, cx - 8 + p.frame * 5.0f, cy - 5, 2.2f, Rgb{1, 1, 1}, 0.6f);
}

void PaintSpeedPip(Canvas& c, const PaintCell&) {
  Body b(c.w, c.h);
  BodyPolygon(b, {{2, 3}, {9, 3}, {14, 8}, {9, 13}, {2, 13}, {6, 8}},
              BodyStyle{Hex(0x4AA0FF), 2, 0});
  Material m;
  ShadeBody(c, b, m);
}

void PaintBonusStar(Canvas& c, const PaintCell&) {
  Body b(c.w, c.h);
  std::vector<Vec2> star;
  for (int i = 0; i < 10; ++i) {
    const float a = -kPi / 2 + i * kPi / 5;
    const float rr = i % 2 ? 2.0f : 5.0f;
    star.push_back({6 + std::cos(a) * rr, 6.3f + std::sin(a) * rr});
  }
  BodyPolygon(b, star, BodyStyle{Hex(0xFFD040), 2, 0});
  Material m;
  m.shine = 0.6f;
  ShadeBody(c, b, m);
}

void PaintHide(Canvas& c, const PaintCell&) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const bool stripe = ((x + y) / 4) % 2 == 0;
      BlendOver(c, x, y, stripe ? Hex(0x0C0E14) : Hex(0x161A24), 1);
    }
}

namespace {

void IconFrame(Canvas& c, Rgb tint, uint32_t seed) {
  Body b(c.w, c.h);
  BodyBox(b, c.w / 2.0f, c.h / 2.0f, c.w / 2.0f - 2, c.h / 2.0f - 2, 5,
          BodyStyle{tint * 0.55f, 3, 0});
  BodyBox(b, c.w / 2.0f, c.h / 2.0f, c.w / 2.0f - 6, c.h / 2.0f - 6, 3,
          BodyStyle{Hex(0x10141C), 1.5f, 0.5f});
  Material m;
  m.seed = seed;
  ShadeBody(c, b, m);
}

}  // namespace

void PaintWeaponIcon(Canvas& c, const PaintCell& p) {
  // 0-3 main weapons, 4-9 sub weapons, 12-14 charge weapons; the frame colour says which.
  const int i = p.frame;
  const Rgb tint = i < 4 ? Hex(0xC8283C) : i < 12 ? Hex(0x20D070) : Hex(0xE8F020);
  IconFrame(c, tint, p.seed);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const Rgb shot = Hex(0xFFE870), blue = Hex(0x8CC8FF);
  switch (i) {
    case 0:  // rapid shots
      for (int k = 0; k < 3; ++k)
        GlowLine(c, cx - 16 + k * 10, cy - 10 + k * 10, cx - 6 + k * 10, cy - 10 + k * 10, 2, shot);
      break;
    case 1:  // spread
      for (int k = -2; k <= 2; ++k) GlowLine(c, cx - 14, cy, cx + 14, cy + k * 8, 1.6f, shot, 0.8f);
      break;
    case 2:  // laser
      GlowLine(c, cx - 18, cy, cx + 18, cy, 3.5f, blue);
      break;
    case 3:  // napalm
      EnergyBall(c, cx + 4, cy + 4, 8, Hex(0xFF8A30));
      GlowLine(c, cx - 14, cy - 10, cx, cy, 2, Hex(0xFFB050), 0.6f);
      break;
    case 4:  // two-way
      GlowLine(c, cx - 12, cy, cx + 14, cy - 12, 2, shot);
      GlowLine(c, cx - 12, cy, cx + 14, cy + 12, 2, shot);
      break;
    case 5:  // missiles
      for (int k = -1; k <= 1; k += 2) {
        FillRect(c, cx - 12, cy + k * 8 - 2, cx + 8, cy + k * 8 + 2, Hex(0xC8D0D8));
        FillPolygon(c, {{cx + 8, cy + k * 8 - 2}, {cx + 14, cy + k * 8}, {cx + 8, cy + k * 8 + 2}},
                    Hex(0xE04040));
        GlowDot(c, cx - 14, cy + k * 8, 3, Hex(0xFF9A40), 0.8f);
      }
      break;
    case 6:  // searchers
      GlowRing(c, cx, cy, 12, 1.5f, Hex(0x60FF90), 0.7f);
      GlowDot(c, cx + 8, cy - 8, 4, Hex(0x60FF90));
      break;
    case 7:  // homing
      for (int k = 0; k < 12; ++k) {
        const float t = k / 11.0f;
        GlowDot(c, cx - 16 + t * 30, cy + 10 - std::sin(t * kPi) * 22, 1.8f + t * 1.5f,
                Hex(0xA0FF80), 0.5f);
      }
      break;
    case 8:  // orbiting orbs
      GlowRing(c, cx, cy, 13, 0.8f, Hex(0x80FFA0), 0.4f);
      for (int k = 0; k < 3; ++k)
        GlowDot(c, cx + std::cos(k * 2.1f) * 13, cy + std::sin(k * 2.1f) * 13, 3.5f, Hex(0x80FFA0));
      break;
    case 9:  // thrown fire
      EnergyBall(c, cx - 6, cy + 8, 5, Hex(0xFF8A30));
      EnergyBall(c, cx + 8, cy - 8, 5, Hex(0xFF8A30));
      break;
    case 12:  // homing bomb
      EnergyBall(c, cx, cy, 10, Hex(0xFFE040));
      break;
    case 13:  // wave
      for (int k = 0; k < 3; ++k) GlowRing(c, cx - 24 + k * 8, cy, 20, 1.4f, Hex(0xFFF060), 0.6f);
      break;
    case 14:  // bomb
      GlowRing(c, cx, cy, 14, 3, Hex(0xFFE040));
      GlowDot(c, cx, cy, 6, Hex(0xFFFFA0));
      break;
    default:  // spare slots
      DrawStrokeText(c, "?", cx - 6, cy - 10, 20, 3, Mix(Hex(0x808890), tint, (i % 4) / 4.0f),
                     Hex(0x0A0A10));
      break;
  }
}

void PaintIconCursor(Canvas& c, const PaintCell& p) {
  const Rgb col = p.frame == 0 ? Hex(0xFFF080) : Hex(0xFFB040);
  const float inset = p.frame == 0 ? 1.5f : 3.5f;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float d = std::fmin(std::fmin(x + 0.5f - inset, c.w - inset - x - 0.5f),
                                std::fmin(y + 0.5f - inset, c.h - inset - y - 0.5f));
      if (d < -1 || d > 4) continue;
      const bool corner = (x < 16 || x >= c.w - 16) && (y < 16 || y >= c.h - 16);
      const float k = std::exp(-d * d * 0.6f) * (corner ? 1.0f : 0.45f);
      AddLight(c, x, y, col * k);
    }
}

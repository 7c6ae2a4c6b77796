// The data kit's pictures in floating point: premultiplied RGBA canvases on which light adds (a
// pixel with colour and no alpha is glow), soft-edged shapes, glows, height-field bodies shaded
// from one top-left light, and value noise from fixed seeds.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

struct Rgb {
  float r = 0, g = 0, b = 0;
};
inline Rgb operator*(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
inline Rgb Hex(uint32_t v) {
  return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f};
}

struct Vec2 {
  float x = 0, y = 0;
};

struct Canvas {
  int w = 0, h = 0;
  std::vector<float> px;  // r, g, b, a per pixel, colour premultiplied by alpha
  Canvas() = default;
  Canvas(int width, int height)
      : w(width), h(height), px(static_cast<size_t>(width) * height * 4) {}
  float* At(int x, int y) { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
  const float* At(int x, int y) const { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

// Straight colour c at coverage a over what is there.
void BlendOver(Canvas& c, int x, int y, Rgb colour, float a);
// Burns patches of soot into what is already painted (a damaged or wrecked state's frame).
void ScorchPainted(Canvas& c, uint32_t seed);
// Light that adds to what is there (energy: shots, flames, glows).
void AddLight(Canvas& c, int x, int y, Rgb colour);
// Copies src over dst at (x, y), premultiplied over.
void Composite(Canvas& dst, const Canvas& src, int x, int y);

void FillRect(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour, float a = 1);
void VerticalGradient(Canvas& c, int x0, int y0, int x1, int y1, Rgb top, Rgb bottom);
// Soft-edged (one pixel) filled shapes.
void FillPolygon(Canvas& c, const std::vector<Vec2>& points, Rgb colour, float a = 1);
void FillCircle(Canvas& c, float cx, float cy, float r, Rgb colour, float a = 1);
void StrokeLine(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgb colour,
                float a = 1);
// Additive glows: a bright core fading out over radius; lines glow across their width.
void GlowDot(Canvas& c, float cx, float cy, float radius, Rgb colour, float intensity = 1);
void GlowLine(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgb colour,
              float intensity = 1);
void GlowRing(Canvas& c, float cx, float cy, float radius, float width, Rgb colour,
              float intensity = 1);
// A one-pixel ring of the dark colour around every pixel at least half covered.
void OutlineSolid(Canvas& c, Rgb dark);
// Multiplies the whole canvas (colour and alpha) by k: a fade.
void ScaleCanvas(Canvas& c, float k);

// Fixed-seed generator for the painters (never the C library's).
struct KitRandom {
  uint32_t state;
  explicit KitRandom(uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {}
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }
  float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
};

uint32_t HashCoords(int x, int y, uint32_t seed);
// Value noise 0..1 on a lattice of unit cells; the tiled forms repeat every period cells.
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);
float TiledNoise(float x, float y, int periodX, int periodY, uint32_t seed);
float TiledFbm(float x, float y, int periodX, int periodY, uint32_t seed, int octaves);

// Signed distances (negative inside) for the shapes the painters build bodies from.
float DistanceEllipse(float x, float y, float cx, float cy, float rx, float ry);
float DistanceBox(float x, float y, float cx, float cy, float hw, float hh, float round);
float DistanceSegment(float x, float y, float x0, float y0, float x1, float y1);
float DistancePolygon(float x, float y, const std::vector<Vec2>& points);

// A height field with a base colour per pixel: shapes raise it with bevelled edges, grooves
// cut panel lines, and ShadeBody lights it from the top left.
struct Body {
  int w, h;
  std::vector<float> cover, height;
  std::vector<Rgb> base;
  std::vector<float> glow;  // emissive share of the base colour (lights, cores)
  Body(int width, int height_)
      : w(width),
        h(height_),
        cover(static_cast<size_t>(width) * height_),
        height(static_cast<size_t>(width) * height_),
        base(static_cast<size_t>(width) * height_),
        glow(static_cast<size_t>(width) * height_) {}
};

struct BodyStyle {
  Rgb colour;
  float bevel = 4;     // width of the rounded edge
  float lift = 0;      // height of the flat top above the ground
  float emissive = 0;  // 1: the colour shines by itself
};

// Raises the body where distance(x, y) is negative, within the box [x0, x1) x [y0, y1).
template <typename Distance>
void RaiseBody(Body& b, int x0, int y0, int x1, int y1, const BodyStyle& s, Distance distance) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > b.w) x1 = b.w;
  if (y1 > b.h) y1 = b.h;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float d = distance(x + 0.5f, y + 0.5f);
      const float cov = d < -0.5f ? 1.0f : d > 0.5f ? 0.0f : 0.5f - d;
      if (cov <= 0) continue;
      const float t = std::fmin(-d / s.bevel, 1.0f);
      const float profile = t <= 0 ? 0 : std::sqrt(1 - (1 - t) * (1 - t));
      const float hh = s.lift + s.bevel * profile;
      const size_t i = static_cast<size_t>(y) * b.w + x;
      if (b.cover[i] < 0.5f || hh >= b.height[i]) {
        b.base[i] = s.colour;
        b.glow[i] = s.emissive;
        b.height[i] = hh;
      }
      if (cov > b.cover[i]) b.cover[i] = cov;
    }
}

void BodyEllipse(Body& b, float cx, float cy, float rx, float ry, const BodyStyle& s);
void BodyBox(Body& b, float cx, float cy, float hw, float hh, float round, const BodyStyle& s);
void BodyCapsule(Body& b, float x0, float y0, float x1, float y1, float r, const BodyStyle& s);
void BodyPolygon(Body& b, const std::vector<Vec2>& points, const BodyStyle& s);
// Lowers the height along a segment: a panel line or a seam.
void BodyGroove(Body& b, float x0, float y0, float x1, float y1, float width, float depth);
// Adds rivet-sized bumps or surface grain.
void BodyDents(Body& b, uint32_t seed, float amount, float scale);

struct Material {
  float grain = 0.08f;  // value-noise variation of the colour
  float grainScale = 6;
  float shine = 0.35f;  // specular strength
  uint32_t seed = 1;
};
// Lights the body and draws it over the canvas, with a one-pixel dark outline when outline.
void ShadeBody(Canvas& c, const Body& b, const Material& m, bool outline = true);

// Rotates a point about a centre by angle (radians).
inline Vec2 Rotate(Vec2 p, Vec2 centre, float angle) {
  const float s = std::sin(angle), co = std::cos(angle);
  const float dx = p.x - centre.x, dy = p.y - centre.y;
  return {centre.x + dx * co - dy * s, centre.y + dx * s + dy * co};
}

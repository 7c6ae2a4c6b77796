#include "tools/datakit/raster.h"

#include <algorithm>

namespace {

float Clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

float Smooth(float t) { return t * t * (3 - 2 * t); }

int Floor(float v) { return static_cast<int>(std::floor(v)); }

float Lattice(int x, int y, uint32_t seed) {
  return (HashCoords(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float Mod(int v, int period) { return static_cast<float>(((v % period) + period) % period); }

}  // namespace

void BlendOver(Canvas& c, int x, int y, Rgb colour, float a) {
  if (!c.Inside(x, y) || a <= 0) return;
  a = Clamp01(a);
  float* p = c.At(x, y);
  const float keep = 1 - a;
  p[0] = colour.r * a + p[0] * keep;
  p[1] = colour.g * a + p[1] * keep;
  p[2] = colour.b * a + p[2] * keep;
  p[3] = a + p[3] * keep;
}

void AddLight(Canvas& c, int x, int y, Rgb colour) {
  if (!c.Inside(x, y)) return;
  float* p = c.At(x, y);
  p[0] += colour.r;
  p[1] += colour.g;
  p[2] += colour.b;
}

void Composite(Canvas& dst, const Canvas& src, int x, int y) {
  for (int sy = 0; sy < src.h; ++sy)
    for (int sx = 0; sx < src.w; ++sx) {
      if (!dst.Inside(x + sx, y + sy)) continue;
      const float* s = src.At(sx, sy);
      float* d = dst.At(x + sx, y + sy);
      const float keep = 1 - Clamp01(s[3]);
      for (int k = 0; k < 4; ++k) d[k] = s[k] + d[k] * keep;
    }
}

void FillRect(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour, float a) {
  for (int y = std::max(0, Floor(y0)); y < std::min(c.h, Floor(y1 + 0.999f)); ++y)
    for (int x = std::max(0, Floor(x0)); x < std::min(c.w, Floor(x1 + 0.999f)); ++x) {
      const float cx = Clamp01(std::fmin(x + 1.0f, x1) - std::fmax(static_cast<float>(x), x0));
      const float cy = Clamp01(std::fmin(y + 1.0f, y1) - std::fmax(static_cast<float>(y), y0));
      BlendOver(c, x, y, colour, a * cx * cy);
    }
}

void VerticalGradient(Canvas& c, int x0, int y0, int x1, int y1, Rgb top, Rgb bottom) {
  for (int y = std::max(0, y0); y < std::min(c.h, y1); ++y) {
    const Rgb k = Mix(top, bottom, y1 - y0 > 1 ? (y - y0) / static_cast<float>(y1 - y0 - 1) : 0);
    for (int x = std::max(0, x0); x < std::min(c.w, x1); ++x) BlendOver(c, x, y, k, 1);
  }
}

template <typename Distance>
void FillShape(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour, float a,
               Distance distance) {
  for (int y = std::max(0, Floor(y0) - 1); y < std::min(c.h, Floor(y1) + 2); ++y)
    for (int x = std::max(0, Floor(x0) - 1); x < std::min(c.w, Floor(x1) + 2); ++x) {
      const float d = distance(x + 0.5f, y + 0.5f);
      BlendOver(c, x, y, colour, a * Clamp01(0.5f - d));
    }
}

void FillPolygon(Canvas& c, const std::vector<Vec2>& points, Rgb colour, float a) {
  if (points.size() < 3) return;
  float x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  for (const Vec2& p : points) {
    x0 = std::fmin(x0, p.x), x1 = std::fmax(x1, p.x);
    y0 = std::fmin(y0, p.y), y1 = std::fmax(y1, p.y);
  }
  FillShape(c, x0, y0, x1, y1, colour, a,
            [&](float x, float y) { return DistancePolygon(x, y, points); });
}

void FillCircle(Canvas& c, float cx, float cy, float r, Rgb colour, float a) {
  FillShape(c, cx - r, cy - r, cx + r, cy + r, colour, a,
            [&](float x, float y) { return std::hypot(x - cx, y - cy) - r; });
}

void StrokeLine(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgb colour,
                float a) {
  const float r = width / 2;
  FillShape(c, std::fmin(x0, x1) - r, std::fmin(y0, y1) - r, std::fmax(x0, x1) + r,
            std::fmax(y0, y1) + r, colour, a,
            [&](float x, float y) { return DistanceSegment(x, y, x0, y0, x1, y1) - r; });
}

void GlowDot(Canvas& c, float cx, float cy, float radius, Rgb colour, float intensity) {
  const int r = static_cast<int>(radius * 1.6f) + 2;
  for (int y = Floor(cy) - r; y <= Floor(cy) + r; ++y)
    for (int x = Floor(cx) - r; x <= Floor(cx) + r; ++x) {
      const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
      if (d >= 1.6f) continue;
      const float fall = std::exp(-d * d * 3.2f) * (1 - d / 1.6f);
      const float core = std::exp(-d * d * 22.0f);
      AddLight(c, x, y, (colour * fall + Rgb{1, 1, 1} * core * 0.8f) * intensity);
    }
}

void GlowLine(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgb colour,
              float intensity) {
  const int r = static_cast<int>(width * 1.6f) + 2;
  for (int y = std::max(0, Floor(std::fmin(y0, y1)) - r);
       y <= std::min(c.h - 1, Floor(std::fmax(y0, y1)) + r); ++y)
    for (int x = std::max(0, Floor(std::fmin(x0, x1)) - r);
         x <= std::min(c.w - 1, Floor(std::fmax(x0, x1)) + r); ++x) {
      const float d = DistanceSegment(x + 0.5f, y + 0.5f, x0, y0, x1, y1) / width;
      if (d >= 1.6f) continue;
      const float fall = std::exp(-d * d * 3.2f) * (1 - d / 1.6f);
      const float core = std::exp(-d * d * 18.0f);
      AddLight(c, x, y, (colour * fall + Rgb{1, 1, 1} * core * 0.7f) * intensity);
    }
}

void GlowRing(Canvas& c, float cx, float cy, float radius, float width, Rgb colour,
              float intensity) {
  const int r = static_cast<int>(radius + width * 1.6f) + 2;
  for (int y = std::max(0, Floor(cy) - r); y <= std::min(c.h - 1, Floor(cy) + r); ++y)
    for (int x = std::max(0, Floor(cx) - r); x <= std::min(c.w - 1, Floor(cx) + r); ++x) {
      const float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius) / width;
      if (d >= 1.6f) continue;
      const float fall = std::exp(-d * d * 3.2f) * (1 - d / 1.6f);
      const float core = std::exp(-d * d * 18.0f);
      AddLight(c, x, y, (colour * fall + Rgb{1, 1, 1} * core * 0.5f) * intensity);
    }
}

void OutlineSolid(Canvas& c, Rgb dark) {
  std::vector<uint8_t> solid(static_cast<size_t>(c.w) * c.h);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) solid[static_cast<size_t>(y) * c.w + x] = c.At(x, y)[3] >= 0.5f;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      if (solid[static_cast<size_t>(y) * c.w + x]) continue;
      bool edge = false;
      for (int dy = -1; dy <= 1 && !edge; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < c.w && ny < c.h &&
              solid[static_cast<size_t>(ny) * c.w + nx]) {
            edge = true;
            break;
          }
        }
      if (edge) BlendOver(c, x, y, dark, 1);
    }
}

void ScaleCanvas(Canvas& c, float k) {
  for (float& v : c.px) v *= k;
}

uint32_t HashCoords(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x27D4EB2Du ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
               static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

float ValueNoise(float x, float y, uint32_t seed) {
  const int ix = Floor(x), iy = Floor(y);
  const float fx = Smooth(x - ix), fy = Smooth(y - iy);
  const float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  const float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += ValueNoise(x, y, seed + i * 101) * amp;
    norm += amp;
    x *= 2, y *= 2, amp *= 0.5f;
  }
  return sum / norm;
}

float TiledNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
  const int ix = Floor(x), iy = Floor(y);
  const float fx = Smooth(x - ix), fy = Smooth(y - iy);
  auto at = [&](int lx, int ly) {
    return Lattice(static_cast<int>(Mod(lx, periodX)), static_cast<int>(Mod(ly, periodY)), seed);
  };
  const float a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

float TiledFbm(float x, float y, int periodX, int periodY, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += TiledNoise(x, y, periodX, periodY, seed + i * 101) * amp;
    norm += amp;
    x *= 2, y *= 2, periodX *= 2, periodY *= 2, amp *= 0.5f;
  }
  return sum / norm;
}

float DistanceEllipse(float x, float y, float cx, float cy, float rx, float ry) {
  const float nx = (x - cx) / rx, ny = (y - cy) / ry;
  const float k = std::sqrt(nx * nx + ny * ny);
  return (k - 1) * std::fmin(rx, ry);
}

float DistanceBox(float x, float y, float cx, float cy, float hw, float hh, float round) {
  const float qx = std::fabs(x - cx) - hw + round, qy = std::fabs(y - cy) - hh + round;
  const float outside = std::hypot(std::fmax(qx, 0.0f), std::fmax(qy, 0.0f));
  return outside + std::fmin(std::fmax(qx, qy), 0.0f) - round;
}

float DistanceSegment(float x, float y, float x0, float y0, float x1, float y1) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float len = dx * dx + dy * dy;
  float t = len > 0 ? ((x - x0) * dx + (y - y0) * dy) / len : 0;
  t = Clamp01(t);
  return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}

float DistancePolygon(float x, float y, const std::vector<Vec2>& p) {
  float best = 1e9f;
  bool inside = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    best = std::fmin(best, DistanceSegment(x, y, p[j].x, p[j].y, p[i].x, p[i].y));
    if ((p[i].y > y) != (p[j].y > y) &&
        x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
      inside = !inside;
  }
  return inside ? -best : best;
}

void BodyEllipse(Body& b, float cx, float cy, float rx, float ry, const BodyStyle& s) {
  RaiseBody(b, Floor(cx - rx) - 1, Floor(cy - ry) - 1, Floor(cx + rx) + 2, Floor(cy + ry) + 2, s,
            [&](float x, float y) { return DistanceEllipse(x, y, cx, cy, rx, ry); });
}

void BodyBox(Body& b, float cx, float cy, float hw, float hh, float round, const BodyStyle& s) {
  RaiseBody(b, Floor(cx - hw) - 1, Floor(cy - hh) - 1, Floor(cx + hw) + 2, Floor(cy + hh) + 2, s,
            [&](float x, float y) { return DistanceBox(x, y, cx, cy, hw, hh, round); });
}

void BodyCapsule(Body& b, float x0, float y0, float x1, float y1, float r, const BodyStyle& s) {
  RaiseBody(b, Floor(std::fmin(x0, x1) - r) - 1, Floor(std::fmin(y0, y1) - r) - 1,
            Floor(std::fmax(x0, x1) + r) + 2, Floor(std::fmax(y0, y1) + r) + 2, s,
            [&](float x, float y) { return DistanceSegment(x, y, x0, y0, x1, y1) - r; });
}

void BodyPolygon(Body& b, const std::vector<Vec2>& points, const BodyStyle& s) {
  if (points.size() < 3) return;
  float x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
  for (const Vec2& p : points) {
    x0 = std::fmin(x0, p.x), x1 = std::fmax(x1, p.x);
    y0 = std::fmin(y0, p.y), y1 = std::fmax(y1, p.y);
  }
  RaiseBody(b, Floor(x0) - 1, Floor(y0) - 1, Floor(x1) + 2, Floor(y1) + 2, s,
            [&](float x, float y) { return DistancePolygon(x, y, points); });
}

void BodyGroove(Body& b, float x0, float y0, float x1, float y1, float width, float depth) {
  const int r = static_cast<int>(width) + 2;
  for (int y = std::max(0, Floor(std::fmin(y0, y1)) - r);
       y < std::min(b.h, Floor(std::fmax(y0, y1)) + r); ++y)
    for (int x = std::max(0, Floor(std::fmin(x0, x1)) - r);
         x < std::min(b.w, Floor(std::fmax(x0, x1)) + r); ++x) {
      const float d = DistanceSegment(x + 0.5f, y + 0.5f, x0, y0, x1, y1);
      if (d >= width) continue;
      const size_t i = static_cast<size_t>(y) * b.w + x;
      if (b.cover[i] <= 0) continue;
      b.height[i] -= depth * (1 - d / width);
    }
}

void BodyDents(Body& b, uint32_t seed, float amount, float scale) {
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      const size_t i = static_cast<size_t>(y) * b.w + x;
      if (b.cover[i] > 0) b.height[i] += amount * (Fbm(x / scale, y / scale, seed, 3) - 0.5f);
    }
}

void ShadeBody(Canvas& c, const Body& b, const Material& m, bool outline) {
  // Light from the top left and a little in front: lit faces look up and left.
  const float lx = -0.55f, ly = -0.62f, lz = 0.56f;
  const float hx = lx, hy = ly, hz = lz + 1;
  const float hn = std::sqrt(hx * hx + hy * hy + hz * hz);
  auto heightAt = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= b.w || y >= b.h) return 0.0f;
    const size_t i = static_cast<size_t>(y) * b.w + x;
    return b.cover[i] > 0 ? b.height[i] : 0.0f;
  };
  Canvas layer(b.w, b.h);
  for (int y = 0; y < b.h; ++y)
    for (int x = 0; x < b.w; ++x) {
      const size_t i = static_cast<size_t>(y) * b.w + x;
      if (b.cover[i] <= 0) continue;
      const float gx = (heightAt(x + 1, y) - heightAt(x - 1, y)) * 0.5f;
      const float gy = (heightAt(x, y + 1) - heightAt(x, y - 1)) * 0.5f;
      float nx = -gx, ny = -gy, nz = 1;
      const float n = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= n, ny /= n, nz /= n;
      const float diffuse = std::fmax(0.0f, nx * lx + ny * ly + nz * lz);
      const float highlight = std::pow(std::fmax(0.0f, (nx * hx + ny * hy + nz * hz) / hn), 24.0f);
      const float grain =
          1 + m.grain * (Fbm(x / m.grainScale, y / m.grainScale, m.seed, 3) - 0.5f) * 2;
      const float light = 0.28f + 0.95f * diffuse;
      Rgb col = b.base[i] * (light * grain) + Rgb{1, 1, 1} * (highlight * m.shine);
      col = Mix(col, b.base[i] * 1.15f + Rgb{0.15f, 0.15f, 0.15f} * highlight, b.glow[i]);
      BlendOver(layer, x, y, col, b.cover[i]);
    }
  if (outline) {
    // The outline takes the darkest neighbour's own colour, so it reads as the shape's edge.
    for (int y = 0; y < b.h; ++y)
      for (int x = 0; x < b.w; ++x) {
        const size_t i = static_cast<size_t>(y) * b.w + x;
        if (b.cover[i] >= 0.5f) continue;
        Rgb dark{};
        bool edge = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= b.w || ny >= b.h) continue;
            const size_t j = static_cast<size_t>(ny) * b.w + nx;
            if (b.cover[j] >= 0.5f) {
              dark = b.base[j] * 0.22f;
              edge = true;
            }
          }
        if (edge) {
          float* p = layer.At(x, y);
          p[0] = dark.r, p[1] = dark.g, p[2] = dark.b, p[3] = 1;
        }
      }
  }
  Composite(c, layer, 0, 0);
}

void ScorchPainted(Canvas& c, uint32_t seed) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const float a = c.At(x, y)[3];
      if (a <= 0) continue;
      const float burn = Fbm(x * 0.09f, y * 0.09f, seed + 7, 3);
      if (burn > 0.52f) BlendOver(c, x, y, Hex(0x141010), std::fmin(1.0f, (burn - 0.52f) * 4) * a);
    }
}

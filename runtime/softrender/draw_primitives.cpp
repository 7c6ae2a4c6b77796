// The frames of the primitives: argument checks, clipping, the flat colour's preparation and
// the choice of one leaf per draw. The pixel work is in the leaves, the geometry in
// triangle_geometry and line_geometry.
#include "runtime/softrender/draw_primitives.h"

#include <cstddef>
#include <cstdint>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/line_geometry.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"
#include "runtime/softrender/primitive_leaves.h"
#include "runtime/softrender/rect_clip.h"
#include "runtime/softrender/triangle_geometry.h"

namespace {

// A destination the primitives draw into: a live 16- or 32-bit image without palette or alpha.
bool Drawable(const MEMIMG* dst) {
  if (dst == nullptr || dst->body == nullptr || dst->pixels == nullptr) return false;
  const MemImgBody& b = *dst->body;
  return !b.paletted && !b.hasAlpha && (b.colorType == Rgb565 || b.colorType == Xrgb8888);
}

ClipBox ImageArea(const MEMIMG& image) { return {0, 0, image.width, image.height}; }

// DrawArea within the destination: the area is not trusted to lie inside it.
ClipBox TargetArea(const MEMIMG& dst) { return ClipBoxTo(ClipBoxOf(DrawArea), ImageArea(dst)); }

bool IsDrawTarget(const MEMIMG& dst) {
  return SoftDrawTarget != nullptr && SoftDrawTarget->body == dst.body &&
         SoftDrawTarget->pixels == dst.pixels && SoftDrawTarget->width == dst.width &&
         SoftDrawTarget->height == dst.height;
}

// The rule of the blend mode in force, or false when the mode draws nothing at this parameter.
bool ChooseRule(RuleKind* kind, uint32_t* param) {
  const int32_t p = BlendParam < 0 ? 0 : BlendParam > 255 ? 255 : BlendParam;
  *param = static_cast<uint32_t>(p);
  switch (CurrentBlendMode) {
    case 0:
      *kind = RuleKind::Copy;
      return true;
    case 1:
      *kind = p == 255 ? RuleKind::Copy : RuleKind::Alpha;
      return p != 0;
    case 2:
      *kind = RuleKind::Add;
      return p != 0;
    case 3:
      *kind = RuleKind::Subtract;
      return p != 0;  // every source kind, paletted too
    case 4:
      *kind = RuleKind::Multiply;
      return true;
    case 10:
      *kind = RuleKind::InvertedAlpha;
      return true;
    case 11:
      *kind = RuleKind::MultiplyAlpha;
      return true;
    default:
      return false;
  }
}

bool BrightnessActive() { return (DrawBright & 0xFFFFFF) != 0xFFFFFF; }

RuleParams Params(uint32_t param) {
  RuleParams p{};
  p.param = param;
  p.brightBlue = DrawBright & 0xFF;
  p.brightGreen = (DrawBright >> 8) & 0xFF;
  p.brightRed = (DrawBright >> 16) & 0xFF;
  p.ramp = BlendImageRamp;
  return p;
}

// A 16-bit colour is the low 16 bits of the value: anything above would index past the tables.
uint32_t FlatColour(int32_t colour, bool deep) {
  return deep ? static_cast<uint32_t>(colour) : static_cast<uint32_t>(colour) & 0xFFFF;
}

// Boxes and lines scale each channel by (value * bright) >> 8, only while brightness is on.
uint32_t ShiftBrightened(uint32_t c, bool deep) {
  if (!BrightnessActive()) return c;
  const uint32_t b = DrawBright & 0xFF, g = (DrawBright >> 8) & 0xFF, r = (DrawBright >> 16) & 0xFF;
  if (deep)
    return (c & 0xFF000000u) | (((c >> 16) & 0xFF) * r >> 8) << 16 |
           (((c >> 8) & 0xFF) * g >> 8) << 8 | ((c & 0xFF) * b >> 8);
  return ((c >> 11) * r >> 8) << 11 | (((c >> 5) & 63) * g >> 8) << 5 | ((c & 31) * b >> 8);
}

// Flat triangles always scale through BlendScaleTable (row 255 is the identity).
uint32_t TableBrightened(uint32_t c, bool deep) {
  const uint32_t b = DrawBright & 0xFF, g = (DrawBright >> 8) & 0xFF, r = (DrawBright >> 16) & 0xFF;
  const auto t = [](uint32_t row, uint32_t v) {
    return static_cast<uint32_t>(BlendScaleTable[row][v]);
  };
  if (deep)
    return (c & 0xFF000000u) | (t(r, (c >> 16) & 0xFF) & 0xFF) << 16 |
           (t(g, (c >> 8) & 0xFF) & 0xFF) << 8 | (t(b, c & 0xFF) & 0xFF);
  return (t(r, c >> 11) & 31) << 11 | (t(g, (c >> 5) & 63) & 63) << 5 | (t(b, c & 31) & 31);
}

uint8_t* PixelAt(const MEMIMG& image, int64_t x, int64_t y, int bytes) {
  return image.pixels + static_cast<ptrdiff_t>(y) * image.body->pitch +
         static_cast<ptrdiff_t>(x) * bytes;
}

}  // namespace

void DrawMemImgTriangle(MEMIMG* dst, const MEMIMG* src, const int32_t vertices[12], int transparent,
                        const MEMIMG* blendImage, int32_t colour) {
  if (vertices == nullptr || !Drawable(dst)) return;
  const MemImgBody& db = *dst->body;
  if (src != nullptr) {
    if (src->body == nullptr || src->pixels == nullptr || src->body->colorType != db.colorType)
      return;
    if (src->body->paletted && src->body->palette == nullptr) return;
  }
  TriangleSetup setup;
  if (!SetUpTriangle(vertices, &setup)) return;
  RuleKind kind;
  uint32_t param;
  if (!ChooseRule(&kind, &param)) return;
  const ClipBox area = TargetArea(*dst);
  if (area.Empty()) return;

  const bool deep = db.colorType == Xrgb8888;
  const int bytes = deep ? 4 : 2;
  RuleParams params = Params(param);

  if (src == nullptr) {
    const FlatRowFn row = PickFlatRow(deep, kind);
    if (row == nullptr) return;
    const uint32_t c = TableBrightened(FlatColour(colour, deep), deep);
    WalkTriangle(setup, area, [&](const TriangleSpan& span) {
      row(PixelAt(*dst, span.column, span.row, bytes), span.count, c, params);
    });
    return;
  }

  // The blend image is read at the source's texels: it has to cover the whole source.
  const MemImgBody& sb = *src->body;
  if (blendImage != nullptr) {
    if (blendImage->body == nullptr || blendImage->pixels == nullptr ||
        blendImage->body->colorType != Single8 || blendImage->width < src->width ||
        blendImage->height < src->height)
      return;
  }
  const bool alphaSource = sb.hasAlpha && !sb.paletted;
  PixelSelect select;
  if (alphaSource)
    select = transparent != 0 ? PixelSelect::Class : PixelSelect::Partial;
  else
    select = transparent != 0 ? PixelSelect::Key : PixelSelect::Opaque;
  const TexelSpanFn leaf =
      PickTexelSpan(SourceKindOf(sb), kind, BrightnessActive(), blendImage != nullptr, select);
  if (leaf == nullptr) return;
  params.transparent = sb.transparentColor;
  params.palette = sb.palette;
  const TexelFrame frame = {
      src->pixels,
      sb.pitch,
      blendImage ? blendImage->pixels : nullptr,
      blendImage ? blendImage->body->pitch : 0,
      PickPlainSpan(SourceKindOf(sb), kind, BrightnessActive(), blendImage != nullptr, select, 0),
      TexelsMayOverlapTarget(*dst, area, *src, blendImage)};
  if (frame.rowLeaf == nullptr) return;
  WalkTriangle(setup, area, [&](const TriangleSpan& span) {
    int64_t first, count, u, v;
    ClipSpanToSource(span, setup.dudx, setup.dvdx, src->width, src->height, &first, &count, &u, &v);
    if (count > 0)
      leaf(PixelAt(*dst, span.column + first, span.row, bytes), count, u, v, setup.dudx, setup.dvdx,
           frame, params);
  });
}

void DrawMemImgQuad(MEMIMG* dst, const MEMIMG* src, const int32_t corners[8], int transparent,
                    const MEMIMG* blendImage) {
  if (corners == nullptr || src == nullptr || !Drawable(dst)) return;
  int64_t minX = corners[0], maxX = corners[0], minY = corners[1], maxY = corners[1];
  for (int i = 1; i < 4; ++i) {
    const int64_t x = corners[2 * i], y = corners[2 * i + 1];
    if (x < minX) minX = x;
    if (x > maxX) maxX = x;
    if (y < minY) minY = y;
    if (y > maxY) maxY = y;
  }
  // Two pixels of margin on the left and top, four on the right and bottom.
  const ClipBox box = ClipBoxTo({minX - 2, minY - 2, maxX + 4, maxY + 4}, TargetArea(*dst));
  if (box.left == box.right || box.top == box.bottom) return;

  const int32_t w = src->width, h = src->height;
  const int32_t first[12] = {corners[0], corners[1], 0,          0,          corners[2], corners[3],
                             w,          0,          corners[4], corners[5], 0,          h};
  const int32_t second[12] = {corners[2], corners[3], w,          0, corners[4], corners[5], 0,
                              h,          corners[6], corners[7], w, h};
  DrawMemImgTriangle(dst, src, first, transparent, blendImage, 0);
  DrawMemImgTriangle(dst, src, second, transparent, blendImage, 0);
}

void FillMemImgBox(MEMIMG* dst, const RECT* rect, int32_t colour) {
  if (!Drawable(dst)) return;
  ClipBox box = ImageArea(*dst);
  if (rect != nullptr) {
    box.left = rect->left < rect->right ? rect->left : rect->right;
    box.right = rect->left < rect->right ? rect->right : rect->left;
    box.top = rect->top < rect->bottom ? rect->top : rect->bottom;
    box.bottom = rect->top < rect->bottom ? rect->bottom : rect->top;
  }
  // DrawArea is in the draw target's pixels; another image is clipped to itself only.
  const ClipBox clip = IsDrawTarget(*dst) ? TargetArea(*dst) : ImageArea(*dst);
  box = ClipBoxTo(box, clip);
  if (box.Empty()) return;
  RuleKind kind;
  uint32_t param;
  if (!ChooseRule(&kind, &param)) return;
  const bool deep = dst->body->colorType == Xrgb8888;
  const FlatRowFn row = PickFlatRow(deep, kind);
  if (row == nullptr) return;
  const RuleParams params = Params(param);
  const uint32_t c = ShiftBrightened(FlatColour(colour, deep), deep);
  const int bytes = deep ? 4 : 2;
  for (int64_t y = box.top; y < box.bottom; ++y)
    row(PixelAt(*dst, box.left, y, bytes), box.right - box.left, c, params);
}

void DrawMemImgLine(MEMIMG* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour) {
  if (!Drawable(dst)) return;
  LineWalk walk;
  if (!SetUpLine(x1, y1, x2, y2, TargetArea(*dst), &walk)) return;
  RuleKind kind;
  uint32_t param;
  if (!ChooseRule(&kind, &param)) return;
  const bool deep = dst->body->colorType == Xrgb8888;
  const FlatLineFn line = PickFlatLine(deep, kind);
  if (line == nullptr) return;
  const uint32_t c = ShiftBrightened(FlatColour(colour, deep), deep);
  line(walk, PixelAt(*dst, walk.x, walk.y, deep ? 4 : 2), dst->body->pitch, c, Params(param));
}

void DrawMemImgLines(MEMIMG* dst, const MemImgLine* lines, int count) {
  if (lines == nullptr) return;
  for (int i = 0; i < count; ++i)
    DrawMemImgLine(dst, lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2, lines[i].colour);
}

void MakeBoxOutlineLines(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour,
                         int32_t param, MemImgLine lines[4]) {
  // The last column and row are x2 - 1 and y2 - 1 (the smallest int has no predecessor).
  const auto less = [](int32_t v) { return v == INT32_MIN ? v : v - 1; };
  const int32_t xr = less(x2), yb = less(y2);
  lines[0] = {x1, y1, xr, y1, colour, param};
  lines[1] = {xr, y1, xr, yb, colour, param};
  lines[2] = {xr, yb, x1, yb, colour, param};
  lines[3] = {x1, yb, x1, y1, colour, param};
}

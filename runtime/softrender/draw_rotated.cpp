// The rotated and scaled blit: every destination pixel of the turned image's box is mapped
// back into the source (nearest texel) and drawn by one of the primitives' textured leaves.
// The mirrored ("turned") case is drawn as a four-corner quad instead.
#include <cstddef>
#include <cstdint>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/primitive_leaves.h"
#include "runtime/softrender/rect_clip.h"
#include "runtime/softrender/rotated_geometry.h"

namespace {

// The rule of the blend mode in force, or false when the mode draws nothing at this parameter.
bool ChooseRule(RuleKind* kind, uint32_t param) {
  switch (CurrentBlendMode) {
    case 0:
      *kind = RuleKind::Copy;
      return true;
    case 1:
      *kind = param == 255 ? RuleKind::Copy : RuleKind::Alpha;
      return param != 0;
    case 2:
      *kind = RuleKind::Add;
      return param != 0;
    case 3:
      *kind = RuleKind::Subtract;
      return param != 0;  // every source kind, paletted too
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

// The turned case: the source's top-left texel goes to the top-right corner, so the quad shows
// the image mirrored left to right inside the turned frame.
void DrawTurned(MEMIMG* dst, const MEMIMG* src, const RotatedSetup& setup, int transparent,
                const MEMIMG* blendImage) {
  static const int kOrder[4] = {3, 0, 2, 1};  // top-right, top-left, bottom-right, bottom-left
  int32_t corners[8];
  for (int i = 0; i < 4; ++i) {
    for (int axis = 0; axis < 2; ++axis) {
      const int64_t whole = RotatedWholePixel(setup.corners[kOrder[i]][axis]);
      // A corner beyond the quad's 32-bit pixels cannot be handed over.
      if (whole < INT32_MIN || whole > INT32_MAX) return;
      corners[2 * i + axis] = static_cast<int32_t>(whole);
    }
  }
  DrawMemImgQuad(dst, src, corners, transparent, blendImage);
}

}  // namespace

void DrawMemImgRotated(MEMIMG* dst, const MEMIMG* src, int centreX, int centreY, float angle,
                       float scale, int transparent, int turn, const MEMIMG* blendImage) {
  if (dst == nullptr || src == nullptr || dst->body == nullptr || src->body == nullptr ||
      dst->pixels == nullptr || src->pixels == nullptr)
    return;
  const MemImgBody& db = *dst->body;
  const MemImgBody& sb = *src->body;
  if (sb.colorType != db.colorType || db.paletted || db.hasAlpha) return;

  RotatedSetup setup;
  if (!SetUpRotation(src->width, src->height, centreX, centreY, angle, scale, &setup)) return;
  if (turn != 0) {
    DrawTurned(dst, src, setup, transparent, blendImage);
    return;
  }

  // DrawArea within the destination: the area is not trusted to lie inside it.
  const ClipBox area = ClipBoxTo(ClipBoxOf(DrawArea), {0, 0, dst->width, dst->height});
  const ClipBox box = ClipBoxTo(RotatedBounds(setup), area);
  if (box.Empty()) return;
  if (sb.colorType != Rgb565 && sb.colorType != Xrgb8888) return;
  if (sb.paletted && sb.palette == nullptr) return;
  // Any texel may be read, and the blend image is read at the texel: it covers the source.
  if (blendImage != nullptr && (blendImage->body == nullptr || blendImage->pixels == nullptr ||
                                blendImage->body->colorType != Single8 ||
                                blendImage->width < src->width || blendImage->height < src->height))
    return;

  const uint32_t param = BlendParam < 0     ? 0
                         : BlendParam > 255 ? 255
                                            : static_cast<uint32_t>(BlendParam);
  RuleKind kind;
  if (!ChooseRule(&kind, param)) return;
  const bool bright = (DrawBright & 0xFFFFFF) != 0xFFFFFF;
  const bool alphaSource = sb.hasAlpha && !sb.paletted;
  PixelSelect select;
  if (alphaSource)
    select = transparent != 0 ? PixelSelect::Class : PixelSelect::Partial;
  else
    select = transparent != 0 ? PixelSelect::Key : PixelSelect::Opaque;
  const TexelSpanFn leaf =
      PickTexelSpan(SourceKindOf(sb), kind, bright, blendImage != nullptr, select);
  if (leaf == nullptr) return;

  RotatedWalk walk;
  if (!StartRotatedWalk(setup, box, &walk)) return;
  const RuleParams params = {param,
                             DrawBright & 0xFF,
                             (DrawBright >> 8) & 0xFF,
                             (DrawBright >> 16) & 0xFF,
                             sb.transparentColor,
                             sb.palette,
                             BlendImageRamp};
  const int bytes = MemImgBytesPerPixel(dst);
  const int64_t width = box.Width(), height = box.Height();
  // Rows are addressed from the pitch at each texel: no table limits the source's height.
  const TexelFrame frame = {
      src->pixels,
      sb.pitch,
      blendImage ? blendImage->pixels : nullptr,
      blendImage ? blendImage->body->pitch : 0,
      PickPlainSpan(SourceKindOf(sb), kind, bright, blendImage != nullptr, select, 0),
      TexelsMayOverlapTarget(*dst, box, *src, blendImage)};
  if (frame.rowLeaf == nullptr) return;
  uint8_t* rowStart = dst->pixels + static_cast<ptrdiff_t>(box.top) * db.pitch +
                      static_cast<ptrdiff_t>(box.left) * bytes;
  RotatedRows rows;
  StartRotatedRows(setup, walk, width, height, &rows);
  // The runs of a batch of rows first, then their spans.
  constexpr int kBatch = 32;
  RotatedRun runs[kBatch];
  for (int64_t row = 0; row < height; row += kBatch) {
    const int batch = static_cast<int>(height - row < kBatch ? height - row : kBatch);
    NextRotatedRuns(&rows, batch, runs);
    for (int i = 0; i < batch; ++i, rowStart += db.pitch) {
      const RotatedRun& run = runs[i];
      if (run.count > 0)
        leaf(rowStart + static_cast<ptrdiff_t>(run.first) * bytes, run.count, run.u, run.v,
             walk.duColumn, walk.dvColumn, frame, params);
    }
  }
}

// The stretched blit: a whole source memory image scaled (and mirrored where its corners come
// in reverse order) into a destination rectangle. Each destination pixel takes one source
// pixel, chosen by 16.16 error counters. The pixel arithmetic is the plain blit's, in its
// general forms: each destination row gathers the source pixels it samples into a row buffer
// and hands it to one of the plain blit's leaves.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "runtime/softrender/rect_clip.h"

namespace {

constexpr int64_t kOne = 65536;  // one destination pixel in 16.16

// Walks one axis: which source index each destination position of the clipped span samples.
// The counters are 64-bit, so neither a long clip distance nor a wide rectangle overflows, and
// the source extent bounds the total number of steps of a walk.
struct AxisWalk {
  int64_t step;   // destination pixels per source pixel, 16.16
  int64_t index;  // source index (before mirroring) of the current position
  int64_t error;  // what is left of the current source pixel, 16.16
  bool copyStepping;
  bool mirrored;
  int64_t extent;  // source width or height

  // Sets the walk at the clipped start, offset destination pixels from the unclipped edge.
  void Start(int64_t offset) {
    const int64_t scaled = offset * kOne;
    index = scaled / step;
    error = step - scaled % step;
    // The copy leaves sample one earlier where a shrinking walk lands exactly on a source
    // edge; starting there keeps a clipped draw equal to the unclipped one.
    if (copyStepping && step < kOne && offset >= 1 && error == step) {
      --index;
      error = 0;
    }
  }

  // The source index to read for the current position (clamped for sources too large for the
  // 16.16 step to end inside them).
  int64_t Sample() const {
    const int64_t i = index < extent ? index : extent - 1;
    return mirrored ? extent - 1 - i : i;
  }

  void Advance() {
    error -= kOne;
    if (copyStepping) {
      // One step when the error is used up, more only while it is below zero.
      if (error <= 0) {
        error += step;
        ++index;
        while (error < 0) error += step, ++index;
      }
    } else {
      while (error <= 0) error += step, ++index;
    }
  }
};

// Columns handled per pass: the column table and the gathered row stay on the stack.
constexpr int kStrip = 512;

template <int kBytes>
void GatherRow(uint8_t* out, const uint8_t* row, const int32_t* columns, int n) {
  for (int i = 0; i < n; ++i)
    std::memcpy(out + i * kBytes, row + static_cast<ptrdiff_t>(columns[i]) * kBytes, kBytes);
}

void Gather(uint8_t* out, const uint8_t* row, const int32_t* columns, int n, int bytes) {
  switch (bytes) {
    case 1:
      GatherRow<1>(out, row, columns, n);
      break;
    case 2:
      GatherRow<2>(out, row, columns, n);
      break;
    default:
      GatherRow<4>(out, row, columns, n);
      break;
  }
}

}  // namespace

int DrawMemImgStretched(MEMIMG* dst, const MEMIMG* src, const RECT* rect, int transparent,
                        const MEMIMG* blendImage) {
  if (dst == nullptr || src == nullptr || rect == nullptr || dst->body == nullptr ||
      src->body == nullptr)
    return 0;
  const MemImgBody& dstBody = *dst->body;
  const MemImgBody& srcBody = *src->body;
  // A 32-bit source would overrun a 16-bit destination: refuse what the plain blit refuses.
  if (srcBody.colorType != dstBody.colorType || dstBody.paletted || dstBody.hasAlpha) return 0;
  if (srcBody.colorType != Rgb565 && srcBody.colorType != Xrgb8888) return 0;
  if (srcBody.paletted && srcBody.palette == nullptr) return 0;
  if (src->width < 1 || src->height < 1) return 0;

  const bool mirrorX = rect->left > rect->right, mirrorY = rect->top > rect->bottom;
  const int64_t left = mirrorX ? rect->right : rect->left,
                right = mirrorX ? rect->left : rect->right;
  const int64_t top = mirrorY ? rect->bottom : rect->top,
                bottom = mirrorY ? rect->top : rect->bottom;
  const int64_t width = right - left, height = bottom - top;
  if (width == 0 || height == 0) return 0;

  // The same size unmirrored is the plain blit, which clips by itself.
  if (width == src->width && height == src->height && !mirrorX && !mirrorY)
    return DrawMemImgPlain(dst, src, static_cast<int>(left), static_cast<int>(top), transparent,
                           blendImage);

  // A step of 0 would never leave the first source pixel: the source is more than 65536 times
  // the rectangle's extent.
  const int64_t xStep = width * kOne / src->width, yStep = height * kOne / src->height;
  if (xStep == 0 || yStep == 0) return 0;

  const ClipBox target = ClipBoxTo(ClipBoxOf(DrawArea), {0, 0, dst->width, dst->height});
  const ClipBox drawn = ClipBoxTo({left, top, right, bottom}, target);
  if (drawn.Empty()) return 0;

  // The blend image lies over the source, so it has to cover all of it.
  if (blendImage != nullptr) {
    const MemImgBody* blendBody = blendImage->body;
    if (blendBody == nullptr || blendBody->colorType != Single8 || blendImage->width < src->width ||
        blendImage->height < src->height)
      return 0;
  }

  const uint32_t param = BlendParam < 0     ? 0
                         : BlendParam > 255 ? 255
                                            : static_cast<uint32_t>(BlendParam);
  const bool bright = (DrawBright & 0xFFFFFF) != 0xFFFFFF;
  const bool blend = blendImage != nullptr;
  const bool alphaSource = srcBody.hasAlpha && !srcBody.paletted;

  // The general form of every rule: none of the plain blit's per-pixel special forms.
  uint32_t mode = static_cast<uint32_t>(CurrentBlendMode);
  if (mode == 1 && param == 255) mode = 0;
  RuleKind kind;
  switch (mode) {
    case 0:
      kind = RuleKind::Copy;
      break;
    case 1:
      kind = RuleKind::Alpha;
      break;
    case 2:
      kind = RuleKind::Add;
      break;
    case 3:
      kind = RuleKind::Subtract;
      break;
    case 4:
      kind = RuleKind::Multiply;
      break;
    case 10:
      kind = RuleKind::InvertedAlpha;
      break;
    case 11:
      kind = RuleKind::MultiplyAlpha;
      break;
    default:
      return 0;
  }
  if (param == 0 && mode >= 1 && mode <= 3) return 0;

  PixelSelect select;
  if (alphaSource)
    select = transparent != 0 ? PixelSelect::Class : PixelSelect::Partial;
  else
    select = transparent != 0 ? PixelSelect::Key : PixelSelect::Opaque;
  const RowsFn rows = PickPlainRows(SourceKindOf(srcBody), kind, bright, blend, select,
                                    static_cast<int>(drawn.right - drawn.left));
  if (rows == nullptr) return 0;

  // The copy leaves (and the subtract at full strength, which shares their loop) step the
  // source in their own way when shrinking.
  const bool copyStepping =
      !alphaSource && !bright && !blend &&
      (kind == RuleKind::Copy || (kind == RuleKind::Subtract && param == 255));

  const RuleParams params = {param,
                             DrawBright & 0xFF,
                             (DrawBright >> 8) & 0xFF,
                             (DrawBright >> 16) & 0xFF,
                             srcBody.transparentColor,
                             srcBody.palette,
                             BlendImageRamp};
  const int srcBytes = MemImgBytesPerPixel(src), dstBytes = MemImgBytesPerPixel(dst);
  const ptrdiff_t srcPitch = srcBody.pitch, dstPitch = dstBody.pitch;
  const ptrdiff_t blendPitch = blend ? blendImage->body->pitch : 0;

  AxisWalk across = {xStep, 0, 0, copyStepping, mirrorX, src->width};
  across.Start(drawn.left - left);

  int32_t columns[kStrip];
  uint8_t row[kStrip * 4];
  uint8_t blendBytes[kStrip];
  for (int64_t stripLeft = drawn.left; stripLeft < drawn.right; stripLeft += kStrip) {
    const int n =
        static_cast<int>(drawn.right - stripLeft < kStrip ? drawn.right - stripLeft : kStrip);
    for (int i = 0; i < n; ++i, across.Advance())
      columns[i] = static_cast<int32_t>(across.Sample());

    AxisWalk down = {yStep, 0, 0, copyStepping, mirrorY, src->height};
    down.Start(drawn.top - top);
    uint8_t* out = dst->pixels + static_cast<ptrdiff_t>(drawn.top) * dstPitch +
                   static_cast<ptrdiff_t>(stripLeft) * dstBytes;
    // Rows that repeat a source row reuse what was gathered for it, drawn in one call.
    int64_t gatheredRow = -1;
    uint8_t* runOut = out;
    int runRows = 0;
    const auto drawRun = [&] {
      if (runRows > 0)
        rows(runOut, dstPitch, row, 0, blend ? blendBytes : nullptr, 0, n, runRows, params);
    };
    for (int64_t y = drawn.top; y < drawn.bottom; ++y, down.Advance(), out += dstPitch) {
      const int64_t sourceRow = down.Sample();
      if (sourceRow != gatheredRow) {
        drawRun();
        Gather(row, src->pixels + sourceRow * srcPitch, columns, n, srcBytes);
        if (blend) Gather(blendBytes, blendImage->pixels + sourceRow * blendPitch, columns, n, 1);
        gatheredRow = sourceRow;
        runOut = out;
        runRows = 0;
      }
      ++runRows;
    }
    drawRun();
  }
  return 1;
}

// The plain blit: a source memory image drawn at its own size under the draw state. One frame
// of checks and set-up picks one leaf for the whole draw; the leaf then draws row by row,
// either every pixel (per-pixel path) or the runs of the source's skip table (run-length path).
#include <cstddef>
#include <cstdint>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "runtime/softrender/rect_clip.h"

namespace {

struct PlainFrame {
  uint8_t* dst;
  const uint8_t* src;
  const uint8_t* blend;  // null without a blend image
  int width, height;
  ptrdiff_t dstPitch, srcPitch, blendPitch;
  int dstBytes, srcBytes;
};

void DrawPerPixel(const PlainFrame& f, RowsFn rows, const RuleParams& params) {
  rows(f.dst, f.dstPitch, f.src, f.srcPitch, f.blend, f.blendPitch, f.width, f.height, params);
}

// Run lengths at which a call of its own pays: a transparent run this long is stepped over,
// an opaque run this long is drawn in the opaque form.
constexpr int kSteppedOverRun = 16;
constexpr int kOpaqueAloneRun = 32;
// Below this width a row costs less to draw whole than its table costs to walk.
constexpr int kRunTableWidth = 64;
// Pixels a leaf draws in one register at most (AVX2, 32-bit pixels).
constexpr int kRegisterPixels = 8;

// Walks the skip table in step with the rows. A run never reaches past the row's width and
// the walk never reads past the table, whatever the table holds. Runs shorter than the above
// go together, with the transparent runs between them, to the leaf that classes each pixel
// itself (the test the table was built with), so that short runs cost no call each.
void DrawRuns(const PlainFrame& f, const uint8_t* table, const uint8_t* tableEnd, SpanFn opaque,
              SpanFn each, const RuleParams& params) {
  uint8_t* dst = f.dst;
  const uint8_t* src = f.src;
  const uint8_t* blend = f.blend;
  const auto draw = [&](SpanFn span, int x, int n) {
    span(dst + x * f.dstBytes, src + x * f.srcBytes, blend ? blend + x : nullptr, n, params);
  };
  for (int row = 0; row < f.height; ++row) {
    int x = 0;
    int from = 0, to = 0;  // the pixels gathered for the classing leaf
    int low = 0;           // the end of the last run drawn in the opaque form
    // Draws what was gathered, widened to whole registers over pixels the leaf leaves alone
    // (none drawn by another call: below high and from low on), as the leaves draw odd pixels
    // one by one.
    const auto flush = [&](int high) {
      if (to > from) {
        const int whole = (to - from + kRegisterPixels - 1) / kRegisterPixels * kRegisterPixels;
        to = from + whole < high ? from + whole : high;
        from = to - whole > low ? to - whole : low;
        draw(each, from, to - from);
      }
      from = to = 0;
    };
    while (table < tableEnd) {
      const uint8_t code = *table++;
      const int kind = code >> 6;
      if (kind == RowEndRun) break;
      int n = (code & 0x3F) + 1;
      if (n > f.width - x) n = f.width - x;
      if (n <= 0) continue;
      if (kind == SkipRun) {
        if (n >= kSteppedOverRun) flush(x + n);
      } else if (kind == OpaqueRun && n >= kOpaqueAloneRun) {
        flush(x);
        draw(opaque, x, n);
        low = x + n;
      } else {
        if (to == from) from = x;
        to = x + n;
      }
      x += n;
    }
    flush(f.width);
    dst += f.dstPitch;
    src += f.srcPitch;
    if (blend) blend += f.blendPitch;
  }
}

bool SkipTableServes(const MEMIMG& src) {
  const MemImgBody& body = *src.body;
  return body.skipTableValid == 1 && body.skipTable != nullptr &&
         body.skipTableView == src.pixels && body.skipTableWidth == src.width &&
         body.skipTableHeight == src.height;
}

}  // namespace

SourceKind SourceKindOf(const MemImgBody& body) {
  const bool deep = body.colorType == Xrgb8888;
  if (body.paletted) return deep ? SourceKind::Paletted8888 : SourceKind::Paletted565;
  if (body.hasAlpha) return deep ? SourceKind::Alpha8888 : SourceKind::Alpha565;
  return deep ? SourceKind::Direct8888 : SourceKind::Direct565;
}

int DrawMemImgPlain(MEMIMG* dst, const MEMIMG* src, int x, int y, int transparent,
                    const MEMIMG* blendImage) {
  if (dst == nullptr || src == nullptr || dst->body == nullptr || src->body == nullptr) return 0;
  const MemImgBody& dstBody = *dst->body;
  const MemImgBody& srcBody = *src->body;
  if (srcBody.colorType != dstBody.colorType || dstBody.paletted || dstBody.hasAlpha) return 0;
  if (srcBody.colorType != Rgb565 && srcBody.colorType != Xrgb8888) return 0;
  if (srcBody.paletted && srcBody.palette == nullptr) return 0;

  // Clip to the draw area and to the destination itself: the area is not trusted to lie inside.
  const ClipBox target = ClipBoxTo(ClipBoxOf(DrawArea), {0, 0, dst->width, dst->height});
  const ClipBox drawn =
      ClipBoxTo({x, y, int64_t{x} + src->width, int64_t{y} + src->height}, target);
  if (drawn.Empty()) return 0;
  const int w = static_cast<int>(drawn.Width()), h = static_cast<int>(drawn.Height());
  const int offX = static_cast<int>(drawn.left - x), offY = static_cast<int>(drawn.top - y);

  // The blend image lies over the source and must cover the part that is read.
  if (blendImage != nullptr) {
    const MemImgBody* blendBody = blendImage->body;
    if (blendBody == nullptr || blendBody->colorType != Single8 || blendImage->width < offX + w ||
        blendImage->height < offY + h)
      return 0;
  }

  const uint32_t param = BlendParam < 0     ? 0
                         : BlendParam > 255 ? 255
                                            : static_cast<uint32_t>(BlendParam);
  const bool bright = (DrawBright & 0xFFFFFF) != 0xFFFFFF;
  const bool blend = blendImage != nullptr;
  const bool alphaSource = srcBody.hasAlpha && !srcBody.paletted;
  const bool deep = srcBody.colorType == Xrgb8888;
  // Where the skip table serves, the rule is the run-length path's; narrow draws still go pixel
  // by pixel, the leaf classing each pixel by the test the table was built with.
  const bool tableServes =
      transparent == 1 && w == src->width && h == src->height && SkipTableServes(*src);
  const bool runLength = tableServes && w >= kRunTableWidth;
  // The special forms of the per-pixel path: plain sources without brightness or blend image.
  const bool special = !tableServes && !bright && !blend && !alphaSource;

  uint32_t mode = static_cast<uint32_t>(CurrentBlendMode);
  if (mode == 1 && param == 255) mode = 0;
  RuleKind kind;
  switch (mode) {
    case 0:
      kind = RuleKind::Copy;
      break;
    case 1:
      if (param == 0) return 0;
      kind = !special       ? RuleKind::Alpha
             : param == 128 ? RuleKind::HalfMix
             : deep         ? RuleKind::Alpha
                            : RuleKind::Scale6Mix;
      break;
    case 2:
      if (param == 0) return 0;
      kind = special && param == 255 ? RuleKind::AddNoLowBits : RuleKind::Add;
      break;
    case 3:
      if (param == 0) return 0;
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

  const RuleParams params = {param,
                             DrawBright & 0xFF,
                             (DrawBright >> 8) & 0xFF,
                             (DrawBright >> 16) & 0xFF,
                             srcBody.transparentColor,
                             srcBody.palette,
                             BlendImageRamp};
  const SourceKind source = SourceKindOf(srcBody);

  PlainFrame f;
  f.dstBytes = MemImgBytesPerPixel(dst);
  f.srcBytes = MemImgBytesPerPixel(src);
  f.width = w;
  f.height = h;
  f.dstPitch = dstBody.pitch;
  f.srcPitch = srcBody.pitch;
  f.dst = dst->pixels + static_cast<ptrdiff_t>(drawn.top) * f.dstPitch +
          static_cast<ptrdiff_t>(drawn.left) * f.dstBytes;
  f.src = src->pixels + static_cast<ptrdiff_t>(offY) * f.srcPitch +
          static_cast<ptrdiff_t>(offX) * f.srcBytes;
  f.blend = nullptr;
  f.blendPitch = 0;
  if (blend) {
    f.blendPitch = blendImage->body->pitch;
    f.blend = blendImage->pixels + static_cast<ptrdiff_t>(offY) * f.blendPitch + offX;
  }

  if (runLength) {
    // The runs and the stretches gathered between them vary in length.
    const SpanFn opaque = PickPlainSpan(source, kind, bright, blend, PixelSelect::Opaque, 0);
    const SpanFn each = PickPlainSpan(source, kind, bright, blend,
                                      alphaSource ? PixelSelect::Class : PixelSelect::Key, 0);
    if (opaque == nullptr || each == nullptr) return 0;
    const uint8_t* table = srcBody.skipTable;
    const uint8_t* tableEnd = table + (static_cast<ptrdiff_t>(srcBody.width) + 5) *
                                          static_cast<ptrdiff_t>(srcBody.height);
    DrawRuns(f, table, tableEnd, opaque, each, params);
    return 1;
  }

  PixelSelect select;
  if (alphaSource) {
    if (transparent != 0) {
      select = PixelSelect::Class;
    } else if (kind == RuleKind::Copy && !bright && !blend) {
      kind = RuleKind::RawCopy;  // the alpha is ignored: the colour word is copied as it is
      select = PixelSelect::Opaque;
    } else {
      select = PixelSelect::Partial;
    }
  } else {
    select = transparent != 0 ? PixelSelect::Key : PixelSelect::Opaque;
  }
  const RowsFn rows = PickPlainRows(source, kind, bright, blend, select, w);
  if (rows == nullptr) return 0;
  DrawPerPixel(f, rows, params);
  return 1;
}

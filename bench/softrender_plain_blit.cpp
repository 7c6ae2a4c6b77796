// 640 x 480 plain blits at both depths for the leaves the game uses most, each timed against a
// memcpy of the destination's bytes in the same loop; and, beside them, pixman's compositing of
// the same alpha-source pixels onto the same destination as a peer.
//
// Counters: mpixel_per_s is the blit's rate; vs_memcpy is the memcpy time divided by the blit
// time (1.0 = as fast as memcpy; the goals are 0.4 for a 32-bit blended leaf, 0.3 with
// brightness, 0.25 with a blend image, 0.2 for every 16-bit leaf). The peers (pixman/...) also
// give pixman_vs_memcpy, and leaf_speedup: pixman's time over the leaf's (above 1 = the leaf is
// faster).
#include <benchmark/benchmark.h>
#if KELVANOR_BENCH_PIXMAN
#include <pixman.h>
#endif

#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_baseline.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

enum class Source { Direct, Alpha, Paletted };

struct Leaf {
  const char* name;
  Source source;
  int mode, param, transparent;
};

const Leaf kLeaves[] = {
    {"copy", Source::Direct, 0, 255, 0},
    {"key_copy", Source::Direct, 0, 255, 1},
    {"alpha_source", Source::Alpha, 0, 255, 1},
    {"alpha_mode1", Source::Alpha, 1, 160, 1},
    {"alpha_mode2", Source::Alpha, 2, 255, 1},
    {"alpha_mode4", Source::Alpha, 4, 255, 1},
    {"mode1_p100", Source::Direct, 1, 100, 1},
    {"mode2", Source::Direct, 2, 200, 1},
    {"mode3", Source::Direct, 3, 200, 1},
    {"mode4", Source::Direct, 4, 255, 1},
    {"paletted_copy", Source::Paletted, 0, 255, 1},
};

uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 214013u + 2531011u;
  return seed >> 8;
}

// A source, a destination and a blend image of random pixels; about a quarter of the source's
// pixels are transparent (key, index or alpha 0), and a quarter of an alpha image's are partial.
struct Scene {
  MEMIMG src{}, dst{}, blendImage{};

  Scene(int colorType, Source source) {
    BuildMemImgTables();
    BuildBlendImageRamp(100, 60);
    const bool deep = colorType == Xrgb8888;
    CreateMemImg(&src, kWidth, kHeight, -1, 0, colorType, source == Source::Paletted,
                 source == Source::Alpha, 0, nullptr);
    CreateMemImg(&dst, kWidth, kHeight, -1, 0, colorType, 0, 0, 0, nullptr);
    CreateMemImg(&blendImage, kWidth, kHeight, -1, 0, Single8, 0, 0, 0, nullptr);

    uint32_t seed = 12345;
    MemImgBody& body = *src.body;
    const int srcBytes = MemImgBytesPerPixel(&src);
    body.transparentColor = source == Source::Paletted ? 7 : deep ? 0x00FF00FF : 0xF81F;
    if (body.palette) {
      for (int i = 0; i < 1024; ++i) body.palette[i] = static_cast<uint8_t>(NextRandom(seed));
      body.colorsUsed = 256;
    }
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* row = src.pixels + y * body.pitch;
      for (int x = 0; x < kWidth; ++x) {
        uint8_t* px = row + x * srcBytes;
        const uint32_t r = NextRandom(seed);
        for (int b = 0; b < srcBytes; ++b) px[b] = static_cast<uint8_t>(r >> (b * 5));
        const bool clear = (r & 3) == 0;
        if (source == Source::Alpha) {
          uint8_t& alpha = px[deep ? 3 : 2];
          alpha = clear ? 0 : (r & 3) == 1 ? static_cast<uint8_t>(r >> 12) : 255;
          if (!deep) px[3] = 0;
        } else if (clear) {
          std::memcpy(px, &body.transparentColor, srcBytes);
        }
      }
      for (int x = 0; x < kWidth; ++x)
        blendImage.pixels[y * blendImage.body->pitch + x] = static_cast<uint8_t>(NextRandom(seed));
    }
    DrawArea = {0, 0, kWidth, kHeight};
  }
  ~Scene() {
    ReleaseMemImg(&src);
    ReleaseMemImg(&dst);
    ReleaseMemImg(&blendImage);
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  size_t DestinationBytes() const { return static_cast<size_t>(dst.body->pitch) * kHeight; }

  void SetState(const Leaf& leaf, bool bright) {
    CurrentBlendMode = leaf.mode;
    BlendParam = leaf.param;
    DrawBright = bright ? 0xC0A080 : 0xFFFFFF;
  }
  void Draw(const Leaf& leaf, bool blend) {
    const int drawn =
        DrawMemImgPlain(&dst, &src, 0, 0, leaf.transparent, blend ? &blendImage : nullptr);
    benchmark::DoNotOptimize(drawn);
  }
};

void PlainBlit(benchmark::State& state, int colorType, Leaf leaf, bool bright, bool blend) {
  Scene scene(colorType, leaf.source);
  scene.SetState(leaf, bright);
  const BenchTimes times =
      RunAgainstMemcpy(state, scene.DestinationBytes(), [&] { scene.Draw(leaf, blend); });
  const double pixels = static_cast<double>(state.iterations()) * kWidth * kHeight;
  state.counters["mpixel_per_s"] = times.work > 0 ? pixels / times.work / 1e6 : 0.0;
  state.counters["vs_memcpy"] = times.BaselineOverWork();
}

// --- pixman as a peer -----------------------------------------------------------------------

#if KELVANOR_BENCH_PIXMAN
using PeerOp = pixman_op_t;
#else
using PeerOp = int;
#define PIXMAN_OP_OVER 0
#define PIXMAN_OP_ADD 0
#define PIXMAN_OP_MULTIPLY 0
#endif

struct Peer {
  const char* name;
  PeerOp op;
  Leaf leaf;  // the project's leaf that does the same job on the same pixels
};

// Alpha-source pixels drawn with the transparent flag: alpha 0 skipped, 255 opaque, the rest
// weighted. pixman takes the same colours premultiplied by their alpha.
const Peer kPeers[] = {
    {"over", PIXMAN_OP_OVER, {"alpha_source", Source::Alpha, 0, 255, 1}},
    {"add", PIXMAN_OP_ADD, {"alpha_mode2", Source::Alpha, 2, 255, 1}},
    {"multiply", PIXMAN_OP_MULTIPLY, {"alpha_mode4", Source::Alpha, 4, 255, 1}},
};

#if !KELVANOR_BENCH_PIXMAN
void PixmanPeer(benchmark::State& state, Peer) {
  state.SkipWithError(
      "skipped: pixman-1 was not found when the build was configured "
      "(scripts/install-deps.sh installs libpixman-1-dev; configure again)");
  for (auto _ : state) {}
}
#else
void PixmanPeer(benchmark::State& state, Peer peer) {
  Scene scene(Xrgb8888, Source::Alpha);
  scene.SetState(peer.leaf, false);
  const int srcPitch = scene.src.body->pitch, dstPitch = scene.dst.body->pitch;
  std::vector<uint32_t> premultiplied(static_cast<size_t>(srcPitch / 4) * kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint32_t px;
      std::memcpy(&px, scene.src.pixels + y * srcPitch + 4 * x, 4);
      const uint32_t a = px >> 24;
      uint32_t out = a << 24;
      for (int shift = 0; shift < 24; shift += 8)
        out |= ((((px >> shift) & 0xFF) * a + 127) / 255) << shift;
      premultiplied[static_cast<size_t>(y) * (srcPitch / 4) + x] = out;
    }
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, premultiplied.data(), srcPitch);
  pixman_image_t* dst = pixman_image_create_bits(
      PIXMAN_x8r8g8b8, kWidth, kHeight, reinterpret_cast<uint32_t*>(scene.dst.pixels), dstPitch);

  std::vector<uint8_t> copyFrom(scene.DestinationBytes(), 0x5A), copyTo(scene.DestinationBytes());
  double leafTime = 0, pixmanTime = 0, copyTime = 0;
  for (auto _ : state) {
    const double t0 = BenchNowSeconds();
    scene.Draw(peer.leaf, false);
    benchmark::ClobberMemory();
    const double t1 = BenchNowSeconds();
    pixman_image_composite32(peer.op, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
    const double t2 = BenchNowSeconds();
    std::memcpy(copyTo.data(), copyFrom.data(), copyFrom.size());
    benchmark::ClobberMemory();
    const double t3 = BenchNowSeconds();
    leafTime += t1 - t0;
    pixmanTime += t2 - t1;
    copyTime += t3 - t2;
  }
  pixman_image_unref(src);
  pixman_image_unref(dst);
  state.counters["vs_memcpy"] = leafTime > 0 ? copyTime / leafTime : 0.0;
  state.counters["pixman_vs_memcpy"] = pixmanTime > 0 ? copyTime / pixmanTime : 0.0;
  state.counters["leaf_speedup"] = leafTime > 0 ? pixmanTime / leafTime : 0.0;
}
#endif

int RegisterAll() {
  for (int colorType : {Xrgb8888, Rgb565}) {
    for (const Leaf& leaf : kLeaves) {
      for (int variant = 0; variant < 4; ++variant) {
        const bool bright = variant & 1, blend = variant & 2;
        std::string name = std::string(colorType == Xrgb8888 ? "32bit/" : "16bit/") + leaf.name;
        if (bright) name += "/bright";
        if (blend) name += "/blend";
        benchmark::RegisterBenchmark(name.c_str(), PlainBlit, colorType, leaf, bright, blend)
            ->Unit(benchmark::kMicrosecond);
      }
    }
  }
  for (const Peer& peer : kPeers)
    benchmark::RegisterBenchmark((std::string("32bit/pixman/") + peer.name).c_str(), PixmanPeer,
                                 peer)
        ->Unit(benchmark::kMicrosecond);
  return 0;
}

const int registered = RegisterAll();

}  // namespace

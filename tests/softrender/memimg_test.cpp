#include "runtime/softrender/memimg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

struct CreateCase {
  int width, colorType, hasAlpha, paletted, pitch;
  int bytes, wantPitch, wantShift, bits;
  uint32_t red, green, blue, alpha;
};

TEST(MemImg, CreateGivesTheExpectedLayoutForEachCase) {
  const CreateCase cases[] = {
      // width, type, alpha, pal, pitch -> bytes, pitch, shift, bits, masks
      {100, Xrgb8888, 0, 0, -1, 4, 400, -1, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {128, Xrgb8888, 0, 0, -1, 4, 512, 9, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {3, Xrgb8888, 0, 0, -1, 4, 16, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {2, Xrgb8888, 0, 0, -1, 4, 16, -1, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {3, Xrgb8888, 1, 0, -1, 4, 16, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
      {100, Rgb565, 0, 0, -1, 2, 208, -1, 16, 0xF800, 0x07E0, 0x1F, 0},
      {8, Rgb565, 0, 0, -1, 2, 16, 4, 16, 0xF800, 0x07E0, 0x1F, 0},
      {3, Rgb565, 1, 0, -1, 4, 16, 4, 32, 0xF800, 0x07E0, 0x1F, 0xFF0000},
      {10, Xrgb8888, 0, 1, -1, 1, 16, 4, 8, 0xFF0000, 0xFF00, 0xFF, 0},
      {10, Xrgb8888, 1, 1, -1, 1, 16, 4, 8, 0xFF0000, 0xFF00, 0xFF, 0},  // palette wins over alpha
      {10, Rgb565, 0, 1, -1, 1, 16, 4, 8, 0xF800, 0x07E0, 0x1F, 0},
      {5, Single8, 1, 1, -1, 1, 16, -1, 8, 0xFF, 0xFF, 0xFF, 0xFF},  // flags ignored
      {4, Single16, 0, 0, -1, 2, 16, -1, 16, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
      {10, Xrgb8888, 0, 0, 64, 4, 64, 6, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {10, Xrgb8888, 0, 0, 50, 4, 50, -1, 32, 0xFF0000, 0xFF00, 0xFF, 0},
      {16, Rgb565, 0, 0, 1024, 2, 1024, 10, 16, 0xF800, 0x07E0, 0x1F, 0},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "width " << c.width << " type " << c.colorType << " alpha " << c.hasAlpha
                 << " paletted " << c.paletted << " pitch " << c.pitch);
    MEMIMG image{};
    ASSERT_EQ(CreateMemImg(&image, c.width, 3, c.pitch, 0, c.colorType, c.paletted, c.hasAlpha, 0,
                           nullptr),
              0);
    const MemImgBody& body = *image.body;
    EXPECT_EQ(MemImgBytesPerPixel(&image), c.bytes);
    EXPECT_EQ(body.format->BitsPerPixel, c.bits);
    EXPECT_EQ(body.pitch, c.wantPitch);
    EXPECT_EQ(body.pitchShift, c.wantShift);
    EXPECT_EQ(body.format->RedMask, c.red);
    EXPECT_EQ(body.format->GreenMask, c.green);
    EXPECT_EQ(body.format->BlueMask, c.blue);
    EXPECT_EQ(body.format->AlphaMask, c.alpha);
    EXPECT_EQ(body.format, GetMemImgPixelFormat(c.colorType, body.hasAlpha, body.paletted));
    const bool single = c.colorType == Single8 || c.colorType == Single16;
    EXPECT_EQ(body.paletted, single ? 0 : c.paletted);
    EXPECT_EQ(body.hasAlpha, single || c.paletted ? 0 : c.hasAlpha);
    EXPECT_EQ(body.refCount, 1);
    EXPECT_EQ(image.magic, MemImgMagic);
    EXPECT_EQ(image.pixels, body.pixels);
    EXPECT_EQ(IsMemImgValid(&image), 1);
    // New buffers are zeroed, the palette block included.
    EXPECT_TRUE(
        std::all_of(body.pixels, body.pixels + body.pitch * 3, [](uint8_t b) { return b == 0; }));
    if (body.paletted) {
      EXPECT_EQ(body.paletteCopy, body.palette + 1024);
      EXPECT_TRUE(std::all_of(body.palette, body.palette + 2048, [](uint8_t b) { return b == 0; }));
    } else {
      EXPECT_EQ(body.palette, nullptr);
    }
    ReleaseMemImg(&image);
  }
}

TEST(MemImg, CreateRefusesBadSizesAndPitchesAndLiveRecords) {
  struct Bad {
    int width, height, pitch, colorType;
  } const bad[] = {
      {10, 3, 39, Xrgb8888},             // pitch below width x 4
      {10, 3, 19, Rgb565},               // pitch below width x 2
      {10, 3, -2, Xrgb8888},             // negative pitch other than -1
      {0, 3, -1, Xrgb8888},              // empty
      {10, -1, -1, Xrgb8888},            // negative height
      {-5, 3, -1, Rgb565},               // negative width
      {10, 3, -1, 4},                    // no such colour type
      {1 << 20, 1 << 20, -1, Xrgb8888},  // pitch x height beyond 32 bits
      {INT_MAX, 1, -1, Xrgb8888},        // width x 4 beyond 32 bits
  };
  for (const Bad& b : bad) {
    MEMIMG image{};
    EXPECT_EQ(CreateMemImg(&image, b.width, b.height, b.pitch, 0, b.colorType, 0, 0, 0, nullptr),
              -1)
        << b.width << " x " << b.height << " pitch " << b.pitch << " type " << b.colorType;
    EXPECT_EQ(IsMemImgValid(&image), 0);
    EXPECT_EQ(image.body, nullptr);
  }

  MEMIMG live{};
  ASSERT_EQ(CreateMemImg(&live, 4, 4, -1, 0, Xrgb8888, 0, 0, 0, nullptr), 0);
  const MEMIMG before = live;
  EXPECT_EQ(CreateMemImg(&live, 8, 8, -1, 0, Rgb565, 0, 0, 0, nullptr), -1);
  EXPECT_EQ(std::memcmp(&before, &live, sizeof(live)), 0);
  ReleaseMemImg(&live);
}

TEST(MemImg, CreateNeverTrustsABodyLeftInARecordThatIsNotLive) {
  MEMIMG image{};
  // Garbage where a body pointer would be: touching it would fault under the sanitizers.
  image.body = reinterpret_cast<MemImgBody*>(uintptr_t{0x1000});
  ASSERT_EQ(CreateMemImg(&image, 4, 4, -1, 0, Xrgb8888, 0, 0, 1, nullptr), 0);
  EXPECT_NE(image.body, reinterpret_cast<MemImgBody*>(uintptr_t{0x1000}));
  EXPECT_NE(image.body->skipTable, nullptr);
  ReleaseMemImg(&image);
}

// Each later buffer of a creation can fail (here by asking for more than the heap hands out):
// what the call already took is given back and the record stays not live.
TEST(MemImg, AFailedCreationGivesBackWhatItTook) {
  static uint8_t unused;  // a caller buffer the failing calls never touch
  struct Case {
    const char* what;
    int width, pitch, colorType, paletted, hasAlpha, workBuffers;
    void* caller;
  } const cases[] = {
      {"the body itself", 4, -1, Xrgb8888, 0, 0, 0, nullptr},
      {"the pixels after the palette", 1, 0x7FFFFFFF, Xrgb8888, 1, 0, 0, nullptr},
      {"the premultiplied copy", 0x1FFFFFFF, 0x7FFFFFFC, Xrgb8888, 0, 1, 1, &unused},
      {"the skip table after the palette", 0x7FFFFFF0, -1, Rgb565, 1, 0, 1, &unused},
  };
  for (const Case& c : cases) {
    const TrackedHeapTotals before = GetTrackedHeapTotals();
    if (c.width == 4) SetTrackedHeapFailures(1);
    MEMIMG image{};
    EXPECT_EQ(CreateMemImg(&image, c.width, 1, c.pitch, 0, c.colorType, c.paletted, c.hasAlpha,
                           c.workBuffers, c.caller),
              -1)
        << c.what;
    SetTrackedHeapFailures(0);
    EXPECT_EQ(IsMemImgValid(&image), 0) << c.what;
    EXPECT_EQ(image.body, nullptr) << c.what;
    EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks) << c.what;
    EXPECT_EQ(GetTrackedHeapTotals().bytes, before.bytes) << c.what;
  }
}

TEST(MemImg, WorkBuffersFollowTheFlagsAndType) {
  struct Case {
    int colorType, hasAlpha;
    bool premultiplied, skipTable;
  } const cases[] = {
      {Xrgb8888, 0, false, true}, {Xrgb8888, 1, true, true},  {Rgb565, 1, true, true},
      {Single8, 0, false, false}, {Single16, 0, false, true},
  };
  for (const Case& c : cases) {
    MEMIMG image{};
    ASSERT_EQ(CreateMemImg(&image, 6, 2, -1, 0, c.colorType, 0, c.hasAlpha, 1, nullptr), 0);
    EXPECT_EQ(image.body->premultipliedPixels != nullptr, c.premultiplied) << c.colorType;
    EXPECT_EQ(image.premultipliedPixels, image.body->premultipliedPixels);
    EXPECT_EQ(image.body->skipTable != nullptr, c.skipTable) << c.colorType;
    EXPECT_EQ(image.body->skipTableValid, 0);
    ReleaseMemImg(&image);
  }
}

TEST(MemImg, ScreenImageFollowsTheScreenDepthAndReleasesALiveRecord) {
  const ScreenModeRecord saved = ScreenMode;
  struct Case {
    int bits, colorType, want;
  } const cases[] = {
      {0, -1, Rgb565}, {16, -1, Rgb565}, {32, -1, Xrgb8888}, {16, Xrgb8888, Xrgb8888}};
  MEMIMG screen{};
  for (const Case& c : cases) {
    ScreenMode.bits = c.bits;
    // The record stays live from the previous case: it is released, not leaked.
    ASSERT_EQ(CreateScreenMemImg(&screen, 64, 48, c.colorType), 0);
    EXPECT_EQ(screen.body->colorType, c.want);
    EXPECT_EQ(screen.body->transparentColor, 0u);
    EXPECT_EQ(screen.body->skipTable, nullptr);
    EXPECT_EQ(screen.body->paletted, 0);
    EXPECT_EQ(screen.body->hasAlpha, 0);
  }
  ReleaseMemImg(&screen);
  ScreenMode = saved;
}

TEST(MemImg, FormatDescriptorsAreSharedAndUnknownTypesHaveNone) {
  EXPECT_EQ(GetMemImgPixelFormat(Xrgb8888, 1, 0), GetMemImgPixelFormat(Xrgb8888, 1, 0));
  EXPECT_NE(GetMemImgPixelFormat(Xrgb8888, 1, 0), GetMemImgPixelFormat(Xrgb8888, 0, 0));
  EXPECT_EQ(GetMemImgPixelFormat(Single8, 0, 0), GetMemImgPixelFormat(Single8, 1, 1));
  EXPECT_EQ(GetMemImgPixelFormat(4, 0, 0), nullptr);
  EXPECT_EQ(GetMemImgPixelFormat(-1, 0, 0), nullptr);
  const PixelFormat* single16 = GetMemImgPixelFormat(Single16, 0, 0);
  EXPECT_EQ(single16->BytesPerPixel, 2);
  EXPECT_EQ(single16->AlphaWidth, 16);
  EXPECT_EQ(single16->SpareMask, 0u);
}

// Three views (a view of a view among them) released in every order: the body lives until the
// last one goes, and the views left keep working.
TEST(MemImg, ViewsShareTheBodyAndReleaseInEveryOrder) {
  std::array<int, 3> order = {0, 1, 2};
  do {
    MEMIMG views[3] = {};
    ASSERT_EQ(CreateMemImg(&views[0], 10, 8, -1, 0, Xrgb8888, 0, 0, 0, nullptr), 0);
    DeriveMemImg(&views[1], &views[0], 2, 1, 6, 5);
    DeriveMemImg(&views[2], &views[1], 1, 2, 3, 3);
    MemImgBody* body = views[0].body;
    ASSERT_EQ(body->refCount, 3);
    EXPECT_EQ(views[1].pixels, views[0].pixels + 1 * body->pitch + 2 * 4);
    EXPECT_EQ(views[2].pixels, views[0].pixels + 3 * body->pitch + 3 * 4);
    EXPECT_EQ(views[2].body, body);

    int alive = 3;
    for (int i : order) {
      ReleaseMemImg(&views[i]);
      EXPECT_EQ(views[i].magic, 0u);
      EXPECT_EQ(views[i].body, nullptr);
      ReleaseMemImg(&views[i]);  // a second release does nothing
      if (--alive > 0) {
        EXPECT_EQ(body->refCount, alive);
        for (const MEMIMG& v : views)
          if (IsMemImgValid(&v)) FillMemImgRect(const_cast<MEMIMG*>(&v), nullptr, 0x01020304);
      }
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(MemImg, CallerBufferSurvivesTheLastRelease) {
  std::vector<uint8_t> pixels(16 * 4, 0x5A);
  MEMIMG image{}, view{};
  ASSERT_EQ(CreateMemImg(&image, 4, 4, 16, 0, Xrgb8888, 0, 0, 1, pixels.data()), 0);
  EXPECT_EQ(image.body->callerOwnsPixels, 1);
  EXPECT_EQ(image.pixels, pixels.data());
  DeriveMemImg(&view, &image, 1, 1, 2, 2);
  ReleaseMemImg(&image);
  ReleaseMemImg(&view);
  EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](uint8_t b) { return b == 0x5A; }));
}

TEST(MemImg, DeriveHoldsItsBounds) {
  MEMIMG source{};
  ASSERT_EQ(CreateMemImg(&source, 10, 6, -1, 0, Rgb565, 0, 0, 0, nullptr), 0);
  struct Case {
    int x, y, w, h;
    bool accepted;
  } const cases[] = {
      {4, 0, 6, 6, true},          // right edge exactly at the source width
      {0, 5, 10, 1, true},         // bottom edge exactly at the source height
      {5, 0, 6, 6, false},         // one past the right edge
      {0, 1, 10, 6, false},        // one past the bottom edge
      {-1, 0, 2, 2, false},        // negative position
      {2, 2, -3, 2, false},        // negative width
      {2, 2, 2, -1, false},        // negative height
      {2, 2, 0, 2, false},         // empty
      {INT_MAX, 0, 10, 1, false},  // x + width overflows 32 bits
      {0, 3, 2, INT_MAX, false},   // y + height overflows 32 bits
  };
  for (const Case& c : cases) {
    MEMIMG view{};
    view.width = 77;  // recognisable: an untouched record keeps it
    DeriveMemImg(&view, &source, c.x, c.y, c.w, c.h);
    EXPECT_EQ(IsMemImgValid(&view), c.accepted ? 1 : 0)
        << c.x << "," << c.y << " " << c.w << "x" << c.h;
    if (c.accepted) {
      EXPECT_EQ(view.pixels, source.pixels + c.y * source.body->pitch + c.x * 2);
      EXPECT_EQ(view.width, c.w);
      ReleaseMemImg(&view);
    } else {
      EXPECT_EQ(view.width, 77);
    }
  }
  EXPECT_EQ(source.body->refCount, 1);

  MEMIMG released{}, view{};
  ASSERT_EQ(CreateMemImg(&released, 4, 4, -1, 0, Rgb565, 0, 0, 0, nullptr), 0);
  ReleaseMemImg(&released);
  DeriveMemImg(&view, &released, 0, 0, 1, 1);  // a released source gives nothing
  EXPECT_EQ(IsMemImgValid(&view), 0);
  ReleaseMemImg(&source);
}

TEST(MemImg, DeriveReleasesALiveDestinationFirst) {
  MEMIMG a{}, b{};
  ASSERT_EQ(CreateMemImg(&a, 8, 8, -1, 0, Xrgb8888, 0, 0, 0, nullptr), 0);
  ASSERT_EQ(CreateMemImg(&b, 8, 8, -1, 0, Xrgb8888, 0, 0, 1, nullptr), 0);
  DeriveMemImg(&b, &a, 1, 1, 4, 4);  // b's own body goes (the leak check sees it otherwise)
  EXPECT_EQ(b.body, a.body);
  EXPECT_EQ(a.body->refCount, 2);

  DeriveMemImg(&a, &a, 2, 2, 3, 3);  // a view of itself: the body must survive the swap
  ASSERT_EQ(IsMemImgValid(&a), 1);
  EXPECT_EQ(a.body->refCount, 2);
  EXPECT_EQ(a.width, 3);
  FillMemImgRect(&a, nullptr, 0xFFFFFFFF);
  ReleaseMemImg(&a);
  ReleaseMemImg(&b);
}

TEST(MemImg, FillClipsToTheViewAndStoresThePixelSize) {
  struct Case {
    int colorType, paletted, hasAlpha;
    uint32_t value, stored;
  } const cases[] = {
      {Xrgb8888, 0, 0, 0x11223344, 0x11223344},
      {Rgb565, 0, 0, 0xABCD1234, 0x1234},
      {Rgb565, 0, 1, 0x00FF1234, 0x00FF1234},
      {Xrgb8888, 1, 0, 0x1FF, 0xFF},
      {Single8, 0, 0, 0x80, 0x80},
      {Single16, 0, 0, 0x12345, 0x2345},
  };
  for (const Case& c : cases) {
    CanaryImage img(6, 4, c.colorType, c.paletted, c.hasAlpha);
    const RECT overhang = {4, 1, 9, 3};  // hangs over the right edge
    FillMemImgRect(&img.image, &overhang, c.value);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x)
        EXPECT_EQ(img.Get(x, y), x >= 4 && y >= 1 && y < 3 ? c.stored : 0u) << x << "," << y;
    EXPECT_TRUE(img.CanariesIntact());

    const RECT outside = {-9, -9, -1, 2}, inverted = {5, 3, 1, 0};
    FillMemImgRect(&img.image, &outside, 0x77777777);
    FillMemImgRect(&img.image, &inverted, 0x77777777);
    EXPECT_EQ(img.Get(0, 0), 0u);
    FillMemImgRect(&img.image, nullptr, c.value);
    EXPECT_EQ(img.Get(0, 0), c.stored);
    EXPECT_EQ(img.Get(5, 3), c.stored);
    EXPECT_TRUE(img.CanariesIntact());
  }
}

TEST(MemImg, TransparentIndexIsTheFirstMatchOrOneThatNeverMatches) {
  MEMIMG deep{}, shallow{};
  ASSERT_EQ(CreateMemImg(&deep, 4, 1, -1, 0, Xrgb8888, 1, 0, 0, nullptr), 0);
  ASSERT_EQ(CreateMemImg(&shallow, 4, 1, -1, 0, Rgb565, 1, 0, 0, nullptr), 0);
  const uint32_t magenta = 0x00FF00FF;
  std::memcpy(deep.body->palette + 4 * 7, &magenta, 4);
  const uint32_t magentaWithTopByte = 0xAAFF00FF;  // only the low 24 bits are compared
  std::memcpy(deep.body->palette + 4 * 9, &magentaWithTopByte, 4);
  SetMemImgTransparentIndex(&deep, 0xFFFF00FF);
  EXPECT_EQ(deep.body->transparentColor, 7u);
  SetMemImgTransparentIndex(&deep, 0x00123456);
  EXPECT_EQ(deep.body->transparentColor, NoTransparentIndex);

  const uint16_t key565 = 0xF81F;
  std::memcpy(shallow.body->palette + 2 * 200, &key565, 2);
  SetMemImgTransparentIndex(&shallow, 0xF81F);
  EXPECT_EQ(shallow.body->transparentColor, 200u);
  SetMemImgTransparentIndex(&shallow, 0x1234);
  EXPECT_EQ(shallow.body->transparentColor, NoTransparentIndex);
  ReleaseMemImg(&deep);
  ReleaseMemImg(&shallow);
}

}  // namespace

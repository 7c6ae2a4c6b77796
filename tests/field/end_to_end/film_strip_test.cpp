// The film of a stage (tools/headless/film_strip.h): a short stretch of the test stage from
// checkpoint 1, with the kit's pictures for it, gives a sheet of its filmed frames, four to a
// row under the title, each one moved on from the last and labelled; what cannot be filmed is
// refused with a reason.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/image/graph_image.h"
#include "stg_src/shell/shell_state.h"
#include "tests/support/image_file_support.h"
#include "tools/headless/film_strip.h"

namespace {

// The sheet's layout: 320 x 240 pictures with a 16-pixel label below, 4-pixel gaps, a 22-pixel
// title line.
constexpr int kCellW = 320, kCellH = 240, kLabelH = 16, kGap = 4, kTitleH = 22;

FilmOptions ShortStretch() {
  FilmOptions options;
  options.start = {0, 1, 2, 1};
  options.every = 30;
  options.frames = 120;
  options.kit = "common,weapons,stage2";
  return options;
}

int CellX(int i) { return kGap + (i % 4) * (kCellW + kGap); }
int CellY(int i) { return kTitleH + (i / 4) * (kCellH + kLabelH + kGap); }

TEST(FilmStrip, AShortStretchMakesASheetOfItsFramesEachMovedOnAndLabelled) {
  const FilmResult film = FilmStage(ShortStretch());
  ASSERT_EQ(film.error, "");
  EXPECT_EQ(film.played, 120);
  EXPECT_EQ(film.ending, "the frames asked for were played");
  ASSERT_EQ(film.frames.size(), 4u);
  for (size_t i = 0; i < film.frames.size(); ++i) {
    EXPECT_EQ(film.frames[i].frame, static_cast<long>(30 * i));
    EXPECT_EQ(film.frames[i].stage, 2);
    EXPECT_EQ(film.frames[i].scene, kScenePlay);
  }

  GraphImage sheet = {};
  ASSERT_EQ(LoadImageBytes(LoadPngImage, film.png, &sheet), 0);
  EXPECT_EQ(sheet.Width, 4 * (kCellW + kGap) + kGap);
  EXPECT_EQ(sheet.Height, kTitleH + kCellH + kLabelH + kGap + kGap);
  // Each picture differs from the one before over a good share of its pixels (the first play
  // frame shows the field black; then the view scrolls 60 pixels from one to the next), and its
  // label has lettering on it.
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(testing::Message() << "picture " << i);
    if (i > 0) {
      int changed = 0;
      for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < kCellW; ++x)
          changed += ImagePixel(&sheet, CellX(i) + x, CellY(i) + y) !=
                     ImagePixel(&sheet, CellX(i - 1) + x, CellY(i - 1) + y);
      EXPECT_GT(changed, kCellW * kCellH / 10);
    }
    int lettering = 0;
    for (int y = 0; y < kLabelH; ++y)
      for (int x = 0; x < kCellW; ++x)
        lettering += (ImagePixel(&sheet, CellX(i) + x, CellY(i) + kCellH + y) & 0xFF) > 0xC0;
    EXPECT_GT(lettering, 20);
  }
  FreeGraphImage(&sheet);
}

TEST(FilmStrip, RefusesWhatItCannotFilm) {
  struct Case {
    const char* what;
    void (*change)(FilmOptions&);
    std::string error;
  };
  const Case cases[] = {
      {"a replay that cannot be read", [](FilmOptions& o) { o.replay = "/nonexistent/film.rpy"; },
       "cannot read /nonexistent/film.rpy"},
      {"a folder for a replay", [](FilmOptions& o) { o.replay = "/"; }, "cannot read /"},
      {"no frames between filmed frames", [](FilmOptions& o) { o.every = 0; },
       "the frames between filmed frames must be 1 or more"},
      {"a checkpoint the map does not have", [](FilmOptions& o) { o.start.checkpoint = 3; },
       "stage 2 has no checkpoint 3 (it has 0 to 2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FilmOptions options = ShortStretch();
    c.change(options);
    const FilmResult film = FilmStage(options);
    EXPECT_EQ(film.error, c.error);
    EXPECT_TRUE(film.png.empty());
  }
}

}  // namespace

// The stages' own parts of the kit: each stage's file holds its own group, and a row's own
// painter or recipe takes the place of its kind's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/datakit/audio.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/painters.h"
#include "tools/datakit/stages/stage_kits.h"

namespace {

TEST(DataKitStages, EachStagesFileHoldsItsOwnGroupAfterTheCommonOnes) {
  const std::vector<KitImageGroup>& groups = KitImageGroups();
  ASSERT_GE(groups.size(), 7u);
  const size_t first = groups.size() - 7;
  for (int stage = 1; stage <= 7; ++stage) {
    const KitImageGroup& group = groups[first + stage - 1];
    SCOPED_TRACE(group.name);
    EXPECT_EQ(group.name, "stage" + std::to_string(stage));
    EXPECT_EQ(group.stage, stage);
    EXPECT_FALSE(group.images.empty());
    for (const KitImage& image : group.images)
      EXPECT_EQ(StageOfPath(image.path), stage) << image.path;
    // A stage's sounds go into its own effect slots; their files may be another stage's too.
    for (const KitSound& sound : StageKitOf(stage).sounds) {
      EXPECT_EQ(sound.kind, SoundKind::Effect) << sound.path;
      EXPECT_GE(sound.id, 49) << sound.path;
      EXPECT_LE(sound.id, 54) << sound.path;
    }
  }
  for (size_t g = 0; g < first; ++g) EXPECT_EQ(groups[g].stage, 0) << groups[g].name;
}

// Each cell filled with a colour from its frame and stage, edge to edge.
void PaintFrameColour(Canvas& canvas, const PaintCell& cell) {
  for (int y = 0; y < canvas.h; ++y)
    for (int x = 0; x < canvas.w; ++x) {
      float* px = canvas.At(x, y);
      px[0] = cell.frame / 4.0f, px[1] = cell.stage / 8.0f, px[2] = 0.5f, px[3] = 1;
    }
}

std::vector<int16_t> ThreeSamples() { return {1, -2, 3}; }

TEST(DataKitStages, ARowsOwnPainterAndRecipeTakeThePlaceOfItsKinds) {
  // A sprite kind: its own painter is called per cell, and each cell still gets the clear
  // ring the kind's sprites have.
  const KitImage row{"data/enemy/stage3/own.bmp", 3, 8, 6, 3, 1, Paint::Craft, 0, PaintFrameColour};
  Canvas sheet = PaintKitImage(row, 3);
  ASSERT_EQ(sheet.w, 24);
  ASSERT_EQ(sheet.h, 6);
  for (int frame = 0; frame < 3; ++frame) {
    const float* inside = sheet.At(frame * 8 + 4, 3);
    EXPECT_FLOAT_EQ(inside[0], frame / 4.0f) << frame;
    EXPECT_FLOAT_EQ(inside[1], 3 / 8.0f) << frame;
    EXPECT_FLOAT_EQ(sheet.At(frame * 8, 3)[3], 0) << frame;
  }
  // Without one, the kind's painter draws a craft, not the flat fill.
  KitImage plain = row;
  plain.painter = nullptr;
  EXPECT_NE(PaintKitImage(plain, 3).px, sheet.px);

  KitSound own{"data/se/stage3/own.wav", SoundKind::Effect, 49, ThreeSamples};
  EXPECT_EQ(SynthesizeKitEffect(own), ThreeSamples());
  own.recipe = nullptr;
  own.id = 24;
  EXPECT_EQ(SynthesizeKitEffect(own), SynthesizeEffect(24));
}

}  // namespace

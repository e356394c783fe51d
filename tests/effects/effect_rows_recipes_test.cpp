// The recipes through the dispatcher: what each does to a simple layer, and the
// alpha each keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using RecipeRows = test::CanvasTest;

int32_t run(const char* name, std::array<int32_t, 4> S, int32_t option = 0, int32_t f1 = 0) {
  return CVL_IPLImageProcess(0, name, 0, S[0], S[1], S[2], S[3], 500, 500, option, 0, f1, 0, 0, 0, 0, 0, 0, 0, 0,
                             "");
}

// An opaque layer, dark grey on the left half and light grey on the right.
void paint_halves(Engine& e) {
  Layer& layer = e.slot(2);
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = test::pixel_at(layer, x, y);
      const uint16_t v = x < layer.width / 2 ? 0x3000 : 0xD000;
      p[0] = p[1] = p[2] = v, p[3] = 0xFF00;
    }
}

// An opaque layer of colour ramps: red across, green down, blue in 5-pixel bands,
// refreshed into the source as a host leaves it before an effect.
void paint_colours(Engine& e) {
  Layer& layer = e.slot(2);
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = test::pixel_at(layer, x, y);
      p[0] = uint16_t((x * 6) << 8), p[1] = uint16_t((y * 8) << 8), p[2] = uint16_t((x / 5 % 2 ? 220 : 30) << 8);
      p[3] = 0xFF00;
    }
  CVL_IPLUpdateSrcBuffer32();
}

class Recipes : public RecipeRows {
 protected:
  void SetUp() override {
    make_canvas(40, 30, 32);
    test::give_slot_pixels(2, 0, 0, 0, 0xFF00);
    CVL_SetLayer(2);
    ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  }
  uint16_t at(int x, int y, int c) { return test::read_pixel(e().slot(2), x, y)[c]; }
};

TEST_F(Recipes, ContrastMasksLiftTheDarkAndLowerTheLightBothWays) {
  for (int32_t option : {0, 1}) {
    paint_halves(e());
    run("Contrast Mask", {200, 0, 0, 0}, option);
    EXPECT_GT(at(3, 15, 0), 0x3000 + 0x400) << "option " << option;
    EXPECT_LT(at(36, 15, 0), 0xD000 - 0x400) << "option " << option;
    EXPECT_GE(at(3, 15, 3), 0xFF00) << "option " << option;
  }
}

TEST_F(Recipes, EveryRecipeChangesTheLayerAndKeepsItOpaque) {
  const struct {
    const char* name;
    std::array<int32_t, 4> S;
    int32_t option;
  } cases[] = {
      {"Radiant 2", {800, 0, 0, 0}, 0},          {"Photo Pop", {600, 800, 0, 0}, 0},
      {"Photo Detailer", {300, 600, 800, 500}, 0}, {"Photo Detailer", {300, 600, 800, 500}, 1},
  };
  for (const auto& c : cases) {
    paint_halves(e());
    run(c.name, c.S, c.option);
    bool changed = false;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const test::Pixel p = test::read_pixel(e().slot(2), x, y);
        changed |= p[0] != (x < 20 ? 0x3000 : 0xD000);
        ASSERT_GE(p[3], 0xFF00) << c.name;
      }
    EXPECT_TRUE(changed) << c.name;
  }
}

// A white square on a clear layer: the shadow lands down and to the right, dark
// and soft, the square stays as it was, and the other side stays clear.
TEST_F(Recipes, DropShadowFallsWhereTheOffsetsPointUnderTheLayer) {
  test::give_slot_pixels(2, 0, 0, 0, 0);
  Layer& layer = e().slot(2);
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 20; ++x) {
      uint16_t* p = test::pixel_at(layer, x, y);
      p[0] = p[1] = p[2] = 0xFF00, p[3] = 0xFF00;
    }
  run("Drop Shadow", {600, 600, 20, 1000});  // 8 and 6 pixels right and down
  EXPECT_GT(at(25, 22, 3), 0x8000);
  EXPECT_LT(at(25, 22, 0), 0x1000);
  EXPECT_EQ(at(15, 15, 0) >> 8, 0xFF);
  EXPECT_GE(at(15, 15, 3), 0xFF00);
  EXPECT_EQ(at(5, 5, 3), 0);
}

// Each pencil and crayon recipe changes a colourful picture, keeps it opaque,
// and answers its own sliders: the contrast of S1 (which the saturation step
// must not throw away), the softening of S3, the grain of s4, the depth of s1.
TEST_F(Recipes, PencilAndCrayonRecipesAnswerEverySliderTheyRead) {
  const struct {
    const char* name;
    std::array<int32_t, 4> S, other;  // `other` differs from S only in the slider under test
  } cases[] = {
      {"Color Pencil", {200, 600, 0, 0}, {900, 600, 0, 0}},
      {"Color Pencil", {600, 500, 0, 0}, {600, 0, 0, 0}},
      {"Crayon", {600, 600, 0, 0}, {600, 600, 900, 0}},
      {"Pointillism", {600, 600, 300, 0}, {600, 600, 300, 400}},
      {"Color Pencil 2", {100, 0, 0, 0}, {900, 0, 0, 0}},
      {"Emboss3", {100, 300, 0, 0}, {900, 300, 0, 0}},
      {"Emboss3", {600, 100, 0, 0}, {600, 600, 0, 0}},
  };
  for (const auto& c : cases) {
    std::vector<uint16_t> results[2];
    for (int k = 0; k < 2; ++k) {
      paint_colours(e());
      const std::vector<uint16_t> before = test::layer_words(e().slot(2));
      run(c.name, k == 0 ? c.S : c.other);
      results[k] = test::layer_words(e().slot(2));
      EXPECT_NE(results[k], before) << c.name;
      for (size_t i = 3; i < results[k].size(); i += 4) ASSERT_GE(results[k][i], 0xFF00) << c.name << " " << i / 4;
    }
    EXPECT_NE(results[0], results[1]) << c.name << " slider " << c.S[0] << "," << c.S[1] << "," << c.S[2] << ","
                                      << c.S[3];
  }
}

// With the light straight above, "Color Pencil 2" leaves flat areas (nearly) white and
// draws the step between the halves as a darker line.
TEST_F(Recipes, ColorPencil2DrawsEdgesDarkOnWhite) {
  paint_halves(e());
  CVL_IPLUpdateSrcBuffer32();
  run("Color Pencil 2", {800, 0, 0, 0});
  EXPECT_GE(at(5, 15, 0), 0xFD00);
  EXPECT_GE(at(30, 15, 0), 0xFD00);
  const uint16_t edge = std::min(at(19, 15, 0), at(20, 15, 0));
  EXPECT_LT(edge, 0xF000);
}

// The grain is drawn from the engine's generator: the same seed gives the same
// picture, another seed another one.
TEST_F(Recipes, PointillismRepeatsForTheSameSeedOnly) {
  std::vector<uint16_t> out[3];
  const uint32_t seeds[3] = {7, 7, 8};
  for (int k = 0; k < 3; ++k) {
    paint_colours(e());
    CVL_SetRandomSeed(seeds[k]);
    run("Pointillism", {600, 600, 200, 300});
    out[k] = test::layer_words(e().slot(2));
  }
  EXPECT_EQ(out[0], out[1]);
  EXPECT_NE(out[0], out[2]);
}

}  // namespace
}  // namespace cvl

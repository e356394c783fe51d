// The blur family's recipes through the dispatcher: what each does to a simple
// layer, and the alpha each keeps.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace cvl

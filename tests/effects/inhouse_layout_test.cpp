#include <gtest/gtest.h>

#include "brush/tool_setters.h"
#include "effects/inhouse_fixture.h"

namespace cvl {
namespace {

using test::Px;

class InhouseLayout : public test::InhouseTest {
 protected:
  // Every pixel distinct: (10x, 10y, 7, a).
  void numbered(int w, int h, int a = 255) {
    canvas(w, h);
    std::vector<Px> px;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) px.push_back({10 * x, 10 * y, 7, a});
    source(px);
  }
};

TEST_F(InhouseLayout, BorderizePaintsEachRingFromItsSamplePoint) {
  struct Case {
    int at, share;
    Px ring0, ring1;
    int rings;
  } cases[] = {
      {0, 1000, {0, 0, 7, 255}, {0, 10, 7, 255}, 2},      // top edge at x = 0, row k
      {375, 1000, {40, 20, 7, 255}, {30, 20, 7, 255}, 2}, // right edge at y = 2
      {375, 500, {40, 20, 7, 255}, {}, 1},
      // The bottom and left edges begin one past the canvas; the sample stays on its corner.
      {500, 1000, {40, 40, 7, 255}, {40, 30, 7, 255}, 2},
      {750, 1000, {0, 40, 7, 255}, {10, 40, 7, 255}, 2},
  };
  for (const Case& c : cases) {
    numbered(5, 5);
    ASSERT_EQ(run("Borderize", {c.at, c.share}), 1);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        const int ring = std::min(std::min(x, y), std::min(4 - x, 4 - y));
        const Px want = ring >= c.rings ? src(x, y) : (ring == 0 ? c.ring0 : c.ring1);
        EXPECT_EQ(dst(x, y), want) << c.at << " " << x << "," << y;
      }
  }
}

TEST_F(InhouseLayout, ReflectionMirrorsRowsAboveTheHorizonWithFadingAlpha) {
  // 16 rows: the fade is P2 * P3 per row. Horizon f - 1 = 6 with f2 set.
  numbered(1, 16, 200);
  ASSERT_EQ(run("Reflection", {500, 1000, 100, 250}, {0, 1}), 1);
  for (int y = 0; y < 6; ++y) EXPECT_EQ(dst(0, y), src(0, y)) << y;
  const int alpha[6] = {200, 180, 160, 140, 120, 100};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dst(0, 6 + i), (Px{0, 10 * (5 - i), 7, alpha[i]})) << i;
  for (int y = 12; y < 16; ++y) EXPECT_EQ(dst(0, y), (Px{0, 0, 0, 0})) << "above the image: " << y;
}

TEST_F(InhouseLayout, ReflectionFindsTheHorizonFromTheAlpha) {
  struct Case {
    std::initializer_list<int> flags;
    int horizon;
  } cases[] = {{{0, 0}, 9}, {{1, 0}, 3}};
  for (const Case& c : cases) {
    numbered(1, 16, 0);
    for (int y = 0; y <= 9; ++y) set_source(0, y, {0, 10 * y, 7, y <= 3 ? 255 : 200});
    ASSERT_EQ(run("Reflection", {500, 1000, 0, 250}, c.flags), 1);
    for (int y = 0; y < c.horizon; ++y) EXPECT_EQ(dst(0, y), src(0, y));
    EXPECT_EQ(dst(0, c.horizon), src(0, c.horizon - 1)) << c.horizon;
    EXPECT_EQ(dst(0, c.horizon + 1), src(0, c.horizon - 2)) << c.horizon;
  }
}

TEST_F(InhouseLayout, VignetteColoursTheOutsideAndKeepsTheInside) {
  // 16 x 16, an ellipse of radius 4 round (8, 8), no blur, full strength.
  struct Case {
    std::initializer_list<int> flags;
    Px centre, corner;
  } cases[] = {
      {{1}, {50, 100, 150, 200}, {255, 127, 0, 255}},  // tint: the inside keeps its colour
      {{0}, {255, 127, 0, 200}, {255, 127, 0, 255}},   // fill: colour everywhere, alpha kept inside
      {{1, 1}, {50, 100, 150, 200}, {255, 127, 0, 0}}, // f2 clears the outside's alpha
  };
  for (const Case& c : cases) {
    canvas(16, 16);
    fill_source({50, 100, 150, 200});
    ASSERT_EQ(run("Vignette", {1000, 500, 0, 0, 250, 1000}, c.flags), 1);
    EXPECT_EQ(dst(8, 8), c.centre);
    EXPECT_EQ(dst(0, 0), c.corner);
  }
  // f6 takes the brush colour.
  set_colour(tool(), 10, 20, 30);
  fill_source({50, 100, 150, 200});
  ASSERT_EQ(run("Vignette", {1000, 500, 0, 0, 250, 1000}, {0, 0, 0, 0, 0, 1}), 1);
  EXPECT_EQ(dst(0, 0), (Px{10, 20, 30, 255}));
}

TEST_F(InhouseLayout, PhotoPopNeedsTheSourceBufferForItsSaturationStep) {
  canvas(8, 8);
  test::give_slot_pixels(2, 100 << 8, 50 << 8, 25 << 8, 65280);
  ipl_update_src32(engine());  // the contrast step reads the source as the caller left it
  EXPECT_NE(CVL_IPLPhotoPop(0, 50, 0), 0);
  const test::Pixel p = test::read_pixel(e().slot(2), 4, 4);
  EXPECT_GT(p[0], p[1]);  // a flat colour stays ordered, only its contrast moved
  EXPECT_GT(p[1], p[2]);
  CVL_IPLPhotoPop(0, 0, 1);  // factor -2: toward the complement
  ipl_free(engine(), IplBuffer::Src32);
  EXPECT_EQ(CVL_IPLPhotoPop(0, 50, 0), 0);
}

}  // namespace
}  // namespace cvl

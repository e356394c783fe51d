#include "ipl/drawing_shapes.h"

#include <gtest/gtest.h>

#include <vector>

#include "ipl/overlay_composite.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class DrawingShapes : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas_on_clear_layer(32, 20);
  }
  uint16_t alpha(int x, int y) { return test::read_pixel(e().slot(2), x, y)[3]; }
  // The columns and rows holding any ink.
  void inked_span(int& left, int& right, int& top, int& bottom) {
    left = top = 1 << 30;
    right = bottom = -1;
    for (int y = 0; y < e().canvas_height; ++y)
      for (int x = 0; x < e().canvas_width; ++x)
        if (alpha(x, y)) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
  }
};

TEST_F(DrawingShapes, RectangleLeavesOutTheColumnOfTheSecondPoint) {
  struct Case {
    int x0, y0, x1, y1, left, right, top, bottom;
  } cases[] = {
      {10, 3, 20, 6, 10, 19, 3, 6},
      {20, 6, 10, 3, 11, 20, 3, 6},
      {0, 0, 1, 0, 0, 0, 0, 0},
      {-5, 15, 40, 30, 0, 31, 15, 19},  // clipped to the canvas
  };
  for (const Case& c : cases) {
    SetUp();
    CVL_IPLRectangle(200, 100, 50, c.x0, c.y0, c.x1, c.y1, 100);
    int left, right, top, bottom;
    inked_span(left, right, top, bottom);
    EXPECT_EQ(left, c.left) << c.x0 << "," << c.x1;
    EXPECT_EQ(right, c.right) << c.x0 << "," << c.x1;
    EXPECT_EQ(top, c.top);
    EXPECT_EQ(bottom, c.bottom);
    const test::Pixel p = test::read_pixel(e().slot(2), c.left, c.top);
    EXPECT_EQ(p[0] >> 8, 200);
    EXPECT_EQ(p[1] >> 8, 100);
    EXPECT_EQ(p[2] >> 8, 50);
  }
  SetUp();
  CVL_IPLRectangle(200, 100, 50, 7, 2, 7, 9, 100);  // no columns between equal x
  int left, right, top, bottom;
  inked_span(left, right, top, bottom);
  EXPECT_EQ(right, -1);
}

TEST_F(DrawingShapes, OpacityPercentTruncatesTimes2559) {
  const int cases[][2] = {{100, 255}, {50, 127}, {40, 102}, {1, 2}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(opacity_level(c[0]), c[1]) << c[0];
  // Over a transparent layer the compositor scales alpha by (level + 1) / 256.
  CVL_IPLRectangle(255, 255, 255, 0, 0, 32, 20, 50);
  EXPECT_EQ(alpha(5, 5), (128 * 65280) >> 8);
}

TEST_F(DrawingShapes, TinyEllipseStillDrawsWithRadiusTwo) {
  CVL_IPLEllipse(0, 0, 255, 10, 5, 11, 5, 100);  // a one-pixel box
  // Radii 2 put the centre at (12, 7).
  EXPECT_EQ(alpha(12, 7), 65280);
  EXPECT_GT(alpha(10, 7), 0);
  EXPECT_LT(alpha(10, 7), 65280);
  EXPECT_EQ(alpha(9, 7), 0);
  EXPECT_EQ(alpha(12, 4), 0);
  int left, right, top, bottom;
  inked_span(left, right, top, bottom);
  EXPECT_EQ(left, 10);
  EXPECT_EQ(right, 14);
  EXPECT_EQ(top, 5);
  EXPECT_EQ(bottom, 9);
}

TEST_F(DrawingShapes, EllipseEdgeIsSmoothAndSymmetric) {
  CVL_IPLEllipse(255, 0, 0, 2, 1, 29, 18, 100);  // rx 13, ry 8 about (15, 9)
  int partial = 0;
  for (int y = 0; y < 20; ++y)
    for (int dx = 0; dx <= 15; ++dx) {
      ASSERT_EQ(alpha(15 - dx, y), alpha(15 + dx, y)) << dx << "," << y;
      const uint16_t a = alpha(15 + dx, y);
      if (a > 0 && a < 65280) ++partial;
    }
  EXPECT_GT(partial, 10);
  EXPECT_EQ(alpha(15, 9), 65280);
  EXPECT_EQ(alpha(2, 1), 0);  // box corners stay clear
  EXPECT_EQ(alpha(29, 18), 0);
}

TEST_F(DrawingShapes, ProtectedMaskKeepsTheLayer) {
  std::vector<uint16_t> mask(e().canvas_pixels(), 65535);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 16; ++x) mask[y * 32 + x] = 0;
  CVL_SetMaskData16(mask.data());
  CVL_EnableMask(1);
  CVL_IPLRectangle(9, 9, 9, 0, 0, 32, 20, 100);
  EXPECT_EQ(alpha(15, 10), 0);
  EXPECT_EQ(alpha(16, 10), 65280);
}

}  // namespace
}  // namespace cvl

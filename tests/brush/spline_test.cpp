#include "brush/spline.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

TEST(Spline, HasNoPointsBeforeTheFirstCurveThenAHundredWithTheLastRepeated) {
  EXPECT_EQ(CVL_GetSplinePointCount(), 0);
  EXPECT_EQ(CVL_GetSplinePointX(5), 0.0);
  EXPECT_EQ(CVL_CalcSpline3(10, 20, 50, 80, 90, 20, 0), 1);
  EXPECT_EQ(CVL_GetSplinePointCount(), 100);
  EXPECT_EQ(CVL_GetSplinePointX(0), 10.0);
  EXPECT_EQ(CVL_GetSplinePointY(0), 20.0);
  EXPECT_EQ(CVL_GetSplinePointX(99), 90.0);
  EXPECT_EQ(CVL_GetSplinePointX(1000), CVL_GetSplinePointX(99));
  EXPECT_EQ(CVL_GetSplinePointY(-1), CVL_GetSplinePointY(99));
  // The middle control point lies on the curve, halfway between samples 49 and 50.
  const double mx = (CVL_GetSplinePointX(49) + CVL_GetSplinePointX(50)) / 2;
  const double my = (CVL_GetSplinePointY(49) + CVL_GetSplinePointY(50)) / 2;
  EXPECT_NEAR(mx, 50, 0.01);
  EXPECT_NEAR(my, 80, 0.01);
  // Coordinates are read unsigned.
  CVL_CalcSpline3(-1, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(CVL_GetSplinePointX(0), 4294967295.0);
}

using Warp = test::CanvasTest;

TEST_F(Warp, DoesNothingWithoutBothBuffers) {
  test::give_slot_pixels(2, 1, 2, 3, 65280);
  CVL_SetLayer(2);
  CVL_IPLAllocSrcBuffer32();
  CVL_WarpPointToPoint(2, 2, 8, 8);
  EXPECT_EQ(test::read_pixel(e().slot(2), 8, 8), (test::Pixel{1, 2, 3, 65280}));
}

TEST_F(Warp, PushesADotTowardTheTarget) {
  make_canvas(64, 64, 32);
  test::give_slot_pixels(2, 65280, 65280, 65280, 65280);
  for (int y = 18; y <= 22; ++y)
    for (int x = 18; x <= 22; ++x) {
      uint16_t* p = test::pixel_at(e().slot(2), x, y);
      p[0] = p[1] = p[2] = 0;
    }
  CVL_SetLayer(2);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  CVL_WarpPointToPoint(20, 20, 30, 20);
  EXPECT_LT(test::read_pixel(e().slot(2), 30, 20)[0], 10000) << "the dark dot arrived";
  EXPECT_GT(test::read_pixel(e().slot(2), 20, 20)[0], 30000) << "and left its old place";
  EXPECT_EQ(test::read_pixel(e().slot(2), 60, 60)[0], 65280) << "far pixels stay";
}

}  // namespace
}  // namespace cvl

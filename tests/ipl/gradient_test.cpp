#include "ipl/gradient.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class Gradient : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas_on_clear_layer(21, 21);
  }
  test::Pixel at(int x, int y) { return test::read_pixel(e().slot(2), x, y); }
  void expect_colour(int x, int y, int r, int g, int b) {
    const test::Pixel p = at(x, y);
    EXPECT_LE(std::abs((p[0] >> 8) - r), 1) << x << "," << y;
    EXPECT_LE(std::abs((p[1] >> 8) - g), 1) << x << "," << y;
    EXPECT_LE(std::abs((p[2] >> 8) - b), 1) << x << "," << y;
    EXPECT_EQ(p[3], 65280) << x << "," << y;
  }
  void gradient(int count, int x0, int y0, int x1, int y1, const char* type) {
    CVL_IPLGradient(255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, count, x0, y0, x1, y1, type);
  }
};

TEST_F(Gradient, StopsHitTheirColoursAtTheirPositions) {
  gradient(3, 0, 10, 20, 10, "Linear");
  expect_colour(0, 3, 255, 0, 0);
  expect_colour(10, 3, 0, 255, 0);
  expect_colour(20, 3, 0, 0, 255);
  expect_colour(5, 3, 128, 128, 0);
  SetUp();
  gradient(2, 0, 10, 20, 10, "Linear");
  expect_colour(10, 0, 128, 128, 0);
}

TEST_F(Gradient, MoreThanFourColoursAreTakenAsFour) {
  gradient(9, 0, 0, 20, 0, "Linear");  // stops at 0, 33, 66, 99
  expect_colour(0, 0, 255, 0, 0);
  expect_colour(20, 0, 255, 255, 255);
}

TEST_F(Gradient, CountZeroFadesTheFirstColourInAndOneFadesItOut) {
  gradient(0, 0, 0, 20, 0, "Linear");
  EXPECT_EQ(at(0, 5)[3], 0);
  EXPECT_EQ(at(20, 5)[3], 65280);
  EXPECT_EQ(at(20, 5)[0] >> 8, 255);
  for (int x = 1; x <= 20; ++x) EXPECT_GT(at(x, 5)[3], at(x - 1, 5)[3]) << x;
  SetUp();
  gradient(1, 0, 0, 20, 0, "Linear");
  EXPECT_EQ(at(0, 5)[3], 65280);
  EXPECT_EQ(at(20, 5)[3], 0);
  EXPECT_GT(at(5, 5)[3], at(15, 5)[3]);
}

TEST_F(Gradient, AnyTypeButLinearIsRadial) {
  struct Case {
    const char* type;
    bool radial;
  } cases[] = {{"Linear", false}, {"linear", true}, {"Radial", true}, {"", true}, {nullptr, true}};
  for (const Case& c : cases) {
    SetUp();
    gradient(2, 10, 10, 16, 18, c.type);  // radius 10
    expect_colour(10, 10, 255, 0, 0);
    // Ten pixels left of the centre: the end colour when radial, before the start when linear.
    if (c.radial)
      expect_colour(0, 10, 0, 255, 0);
    else
      expect_colour(0, 10, 255, 0, 0);
  }
}

TEST_F(Gradient, ZeroLengthLeavesTheLayerUnchanged) {
  for (const char* type : {"Linear", "Radial"}) {
    gradient(2, 4, 4, 4, 4, type);
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x) ASSERT_EQ(at(x, y)[3], 0) << type;
  }
  EXPECT_FALSE(e().ipl.dst32);
}

}  // namespace
}  // namespace cvl

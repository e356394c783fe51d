#include "draw/shapes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace cvl::imaging {
namespace {

struct Picture {
  int w, h, ch;
  std::vector<uint8_t> px;
  Picture(int w_, int h_, int ch_, uint8_t fill = 0) : w(w_), h(h_), ch(ch_), px(size_t(w_) * h_ * ch_, fill) {}
  ImageView view() { return {px.data(), w, h, ch, w * ch}; }
  const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * ch]; }
};

// Inside test for the ellipse, straight from its definition.
bool in_ellipse(int x, int y, int cx, int cy, int rx, int ry) {
  const double dx = x - cx, dy = y - cy;
  if (ry == 0) return dy == 0 && std::abs(dx) <= rx;
  if (rx == 0) return dx == 0 && std::abs(dy) <= ry;
  return int64_t(dx * dx) * ry * ry + int64_t(dy * dy) * rx * rx <= int64_t(rx) * rx * ry * ry;
}

TEST(Shapes, RectangleIsInclusiveAndClippedOnEveryPixelSize) {
  const Colour colour{10, 20, 30, 40};
  struct Case {
    Rect rect;
    int first_x, last_x, first_y, last_y;  // expected painted box, or first_x > last_x for none
  } cases[] = {
      {{2, 1, 4, 3}, 2, 4, 1, 3},
      {{3, 2, 3, 2}, 3, 3, 2, 2},          // one pixel
      {{-5, -5, 1, 0}, 0, 1, 0, 0},        // clipped at the top left
      {{6, 4, 40, 40}, 6, 7, 4, 5},        // clipped at the bottom right
      {{9, 0, 20, 5}, 1, 0, 0, 0},         // wholly outside
      {{4, 3, 2, 1}, 1, 0, 0, 0},          // reversed: empty
  };
  for (int ch : {1, 3, 4}) {
    for (const Case& c : cases) {
      Picture p(8, 6, ch, 200);
      ASSERT_TRUE(fill_rect(p.view(), c.rect, colour));
      for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
          const bool inside = x >= c.first_x && x <= c.last_x && y >= c.first_y && y <= c.last_y;
          for (int k = 0; k < ch; ++k)
            ASSERT_EQ(p.at(x, y)[k], inside ? colour[k] : 200) << ch << " ch at " << x << "," << y;
        }
    }
  }
}

TEST(Shapes, OpacityMixesTowardsTheColourAndBadImagesFail) {
  Picture p(4, 4, 3, 100);
  ASSERT_TRUE(fill_rect(p.view(), {0, 0, 0, 0}, {200, 0, 255, 0}, 0.5));
  EXPECT_EQ(p.at(0, 0)[0], 150);  // (200 * 128 + 100 * 127 + 127) / 255
  EXPECT_EQ(p.at(0, 0)[1], 50);
  EXPECT_EQ(p.at(0, 0)[2], 178);
  ASSERT_TRUE(fill_rect(p.view(), {1, 1, 1, 1}, {0, 0, 0, 0}, 0.0));
  EXPECT_EQ(p.at(1, 1)[0], 100);
  ASSERT_TRUE(fill_rect(p.view(), {2, 2, 2, 2}, {7, 7, 7, 0}, 100.0));  // above 1 is full
  EXPECT_EQ(p.at(2, 2)[0], 7);

  Picture two(4, 4, 2);
  EXPECT_FALSE(fill_rect(two.view(), {0, 0, 1, 1}, {1, 1, 1, 1}));
  EXPECT_FALSE(fill_ellipse(two.view(), 1, 1, 1, 1, {1, 1, 1, 1}));
  EXPECT_FALSE(fill_ellipse(p.view(), 1, 1, -1, 1, {1, 1, 1, 1}));
  EXPECT_FALSE(fill_rect(ImageView{}, {0, 0, 1, 1}, {1, 1, 1, 1}));
}

TEST(Shapes, EllipseCoversExactlyThePixelsInsideItsEquation) {
  struct Case {
    int cx, cy, rx, ry;
  } cases[] = {{10, 8, 2, 2}, {10, 8, 7, 3}, {10, 8, 3, 7}, {10, 8, 0, 4}, {10, 8, 5, 0},
               {1, 1, 6, 5},  {19, 14, 9, 9}, {-3, 8, 6, 2}, {10, 30, 4, 4}, {10, 8, 40, 30}};
  for (int ch : {1, 4}) {
    for (const Case& c : cases) {
      Picture p(21, 16, ch);
      ASSERT_TRUE(fill_ellipse(p.view(), c.cx, c.cy, c.rx, c.ry, {255, 255, 255, 255}));
      for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
          ASSERT_EQ(p.at(x, y)[0] == 255, in_ellipse(x, y, c.cx, c.cy, c.rx, c.ry))
              << c.rx << "x" << c.ry << " at " << x << "," << y;
    }
  }
  // Radius 2 is the 13-pixel disc.
  Picture p(5, 5, 1);
  fill_ellipse(p.view(), 2, 2, 2, 2, {1, 0, 0, 0});
  int n = 0;
  for (uint8_t v : p.px) n += v;
  EXPECT_EQ(n, 13);
}

TEST(Shapes, HugeEllipseSeenThroughTheImageFillsItWithoutOverflow) {
  Picture p(6, 4, 4);
  ASSERT_TRUE(fill_ellipse(p.view(), 3, 2, 2000000000, 2000000000, {9, 9, 9, 9}));
  for (uint8_t v : p.px) ASSERT_EQ(v, 9);
}

}  // namespace
}  // namespace cvl::imaging

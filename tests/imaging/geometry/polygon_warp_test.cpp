#include "imaging/geometry/polygon_warp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace cvl::imaging {
namespace {

constexpr int32_t kW = 24, kH = 18;
const Colour kFill{1, 2, 3, 0};

std::vector<uint8_t> coordinate_picture() {
  std::vector<uint8_t> px(size_t(kW) * kH * 4);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      uint8_t* p = &px[(size_t(y) * kW + x) * 4];
      p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x * y), p[3] = 255;
    }
  return px;
}
ImageView view_of(std::vector<uint8_t>& px) { return {px.data(), kW, kH, 4, kW * 4}; }
const uint8_t* at(const std::vector<uint8_t>& px, int x, int y) { return &px[(size_t(y) * kW + x) * 4]; }
bool is_fill(const uint8_t* p) { return p[0] == kFill[0] && p[1] == kFill[1] && p[2] == kFill[2] && p[3] == 0; }

const Quad kWhole{{{0, 0}, {kW - 1, 0}, {kW - 1, kH - 1}, {0, kH - 1}}};

TEST(PolygonWarp, IdenticalQuadsCopyInsideAndFillOutside) {
  const Quad quads[] = {
      kWhole,
      {{{3, 2}, {20, 4}, {18, 15}, {1, 12}}},    // a perspective quad
      {{{5.5, 1.25}, {9, 1}, {9, 7}, {5, 6}}},  // off the pixel grid
  };
  std::vector<uint8_t> src = coordinate_picture();
  for (const Quad& q : quads) {
    std::vector<uint8_t> dst(src.size(), 0xAA);
    ASSERT_TRUE(polygon_warp(view_of(src), view_of(dst), q, q, kFill));
    int inside = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = at(dst, x, y);
        if (is_fill(p)) continue;
        ++inside;
        EXPECT_EQ(0, std::memcmp(p, at(src, x, y), 4)) << x << "," << y;
      }
    EXPECT_GT(inside, 10);
  }
  std::vector<uint8_t> dst(src.size());
  ASSERT_TRUE(polygon_warp(view_of(src), view_of(dst), kWhole, kWhole, kFill));
  EXPECT_EQ(dst, src);
}

TEST(PolygonWarp, CornersLandOnTheTargetCornersAndTheRestIsFill) {
  std::vector<uint8_t> src = coordinate_picture(), dst(src.size());
  const Quad to{{{4, 2}, {kW - 3, 3}, {kW - 5, kH - 2}, {2, kH - 4}}};
  ASSERT_TRUE(polygon_warp(view_of(src), view_of(dst), kWhole, to, kFill));
  for (int k = 0; k < 4; ++k) {
    const uint8_t* p = at(dst, int(to[k].x), int(to[k].y));
    EXPECT_EQ(p[0], kWhole[k].x) << k;
    EXPECT_EQ(p[1], kWhole[k].y) << k;
  }
  EXPECT_TRUE(is_fill(at(dst, 0, 0)));
  EXPECT_TRUE(is_fill(at(dst, kW - 1, kH - 1)));
  EXPECT_TRUE(is_fill(at(dst, 3, 1)));
}

TEST(PolygonWarp, ShiftsAndMirrorsAreExact) {
  std::vector<uint8_t> src = coordinate_picture(), dst(src.size());
  Quad shifted = kWhole;
  for (Point& p : shifted) p.x += 3, p.y += 2;
  ASSERT_TRUE(polygon_warp(view_of(src), view_of(dst), kWhole, shifted, kFill));
  EXPECT_EQ(at(dst, 3, 2)[0], 0);
  EXPECT_EQ(at(dst, 10, 9)[0], 7);
  EXPECT_EQ(at(dst, 10, 9)[1], 7);
  EXPECT_TRUE(is_fill(at(dst, 2, 5)));

  const Quad mirrored{{kWhole[1], kWhole[0], kWhole[3], kWhole[2]}};
  ASSERT_TRUE(polygon_warp(view_of(src), view_of(dst), kWhole, mirrored, kFill));
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(0, std::memcmp(at(dst, x, y), at(src, kW - 1 - x, y), 4)) << x;
}

TEST(PolygonWarp, DegenerateQuadsAreRefused) {
  std::vector<uint8_t> src = coordinate_picture(), dst(src.size(), 0xAA);
  const Quad line{{{0, 0}, {5, 5}, {10, 10}, {2, 2}}};
  const Quad point{{{4, 4}, {4, 4}, {4, 4}, {4, 4}}};
  EXPECT_FALSE(polygon_warp(view_of(src), view_of(dst), kWhole, line, kFill));
  EXPECT_FALSE(polygon_warp(view_of(src), view_of(dst), point, kWhole, kFill));
  EXPECT_EQ(dst, std::vector<uint8_t>(src.size(), 0xAA));
}

TEST(PolygonWarp, ProjectiveMapRoundTrips) {
  Projective m;
  ASSERT_TRUE(m.fit({{{3, 2}, {20, 4}, {18, 15}, {1, 12}}}));
  const Point c = m.forward(1, 1);
  EXPECT_NEAR(c.x, 18, 1e-9);
  EXPECT_NEAR(c.y, 15, 1e-9);
  const Point p = m.forward(0.3, 0.7);
  double u, v;
  ASSERT_TRUE(m.inverse(p.x, p.y, &u, &v));
  EXPECT_NEAR(u, 0.3, 1e-9);
  EXPECT_NEAR(v, 0.7, 1e-9);
}

}  // namespace
}  // namespace cvl::imaging

#include "imaging/geometry/inverse_map.h"

#include <gtest/gtest.h>

#include <cmath>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

// Bilinear in 1/256 steps, one channel at a time, with the fill off the picture.
uint8_t reference(const test::Picture& p, float sx, float sy, int c, const Colour& fill) {
  const int32_t fx = int32_t(std::lrint(sx * 256)), fy = int32_t(std::lrint(sy * 256));
  const int32_t x0 = fx >> 8, y0 = fy >> 8, wx = fx & 255, wy = fy & 255;
  auto tap = [&](int x, int y) -> int32_t {
    return x < 0 || y < 0 || x >= p.w || y >= p.h ? fill[c] : p.at(x, y)[c];
  };
  const int32_t top = tap(x0, y0) * (256 - wx) + tap(x0 + 1, y0) * wx;
  const int32_t bottom = tap(x0, y0 + 1) * (256 - wx) + tap(x0 + 1, y0 + 1) * wx;
  return uint8_t((top * (256 - wy) + bottom * wy + 32768) >> 16);
}

TEST(InverseMap, BilinearMatchesTheChannelFormulaEverywhereIncludingTheEdges) {
  test::Picture src = test::noise(17, 11, 4), dst = test::flat(17, 11, 4, 0);
  const Colour fill{200, 10, 90, 0};
  Lcg15 rng(3);
  // Points scattered over and a little past the picture.
  std::vector<float> xs, ys;
  for (int i = 0; i < 17 * 11; ++i) xs.push_back(rng.unit() * 19 - 1.5f), ys.push_back(rng.unit() * 13 - 1.5f);
  ASSERT_TRUE(inverse_map<Sampling::Bilinear>(src.view(), dst.view(), fill, [&](int32_t x, int32_t y, float& sx, float& sy) {
    sx = xs[size_t(y) * 17 + x], sy = ys[size_t(y) * 17 + x];
    return true;
  }));
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 17; ++x) {
      const float sx = xs[size_t(y) * 17 + x], sy = ys[size_t(y) * 17 + x];
      const bool off = !(sx > -2 && sx < 18 && sy > -2 && sy < 12);
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(dst.at(x, y)[c], off ? fill[c] : reference(src, sx, sy, c, fill)) << x << "," << y << " " << c;
    }
}

TEST(InverseMap, MapsThatDeclineAndWildPointsGiveTheFill) {
  test::Picture src = test::noise(6, 5, 4), dst = test::flat(6, 5, 4, 0);
  const Colour fill{1, 2, 3, 4};
  ASSERT_TRUE(inverse_map<Sampling::Nearest>(src.view(), dst.view(), fill, [](int32_t x, int32_t, float& sx, float&) {
    if (x == 1) sx = NAN;
    if (x == 2) sx = 1e30f;
    return x != 3;
  }));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      for (int c = 0; c < 4; ++c)
        ASSERT_EQ(dst.at(x, y)[c], x >= 1 && x <= 3 ? fill[c] : src.at(x, y)[c]) << x << "," << y;
}

}  // namespace
}  // namespace cvl::imaging

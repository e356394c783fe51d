#include "imaging/artistic/mosaic.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

TEST(Mosaic, GivesFlatCellsOfTheSizeWithTheirMeans) {
  for (const int32_t ch : {1, 3, 4})
    for (const int32_t cell : {1, 3, 5, 8}) {
      test::Picture p = test::noise(19, 13, ch), before = p;
      ASSERT_TRUE(mosaic_image(p.view(), cell));
      for (int y = 0; y < p.h; ++y) {
        for (int x = 0; x < p.w; ++x) {
          const int cx = x / cell * cell, cy = y / cell * cell;
          ASSERT_EQ(0, std::memcmp(p.at(x, y), p.at(cx, cy), size_t(ch))) << ch << " " << cell << " " << x << "," << y;
        }
      }
      // Each tile holds the rounded mean of what it covered, the cut-off ones too.
      for (int cy = 0; cy < p.h; cy += cell)
        for (int cx = 0; cx < p.w; cx += cell) {
          for (int c = 0; c < ch; ++c) {
            uint32_t sum = 0, n = 0;
            for (int y = cy; y < std::min(p.h, cy + cell); ++y)
              for (int x = cx; x < std::min(p.w, cx + cell); ++x) sum += before.at(x, y)[c], ++n;
            ASSERT_EQ(p.at(cx, cy)[c], (sum + n / 2) / n);
          }
        }
      if (cell == 1) {
        EXPECT_EQ(p.px, before.px);
      }
    }
}

TEST(Mosaic, RefusesAnEmptyCell) {
  test::Picture p = test::noise(4, 4, 3);
  EXPECT_FALSE(mosaic_image(p.view(), 0));
}

}  // namespace
}  // namespace cvl::imaging

#include "imaging/geometry/seam_carve.h"

#include <gtest/gtest.h>

#include <vector>

namespace cvl::imaging {
namespace {

// A flat grey picture, w x h, with a band of high-detail columns [band, band + 4).
std::vector<uint8_t> banded(int32_t w, int32_t h, int32_t band) {
  std::vector<uint8_t> px(size_t(w) * h * 4, 128);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = &px[(size_t(y) * w + x) * 4];
      p[3] = 255;
      if (x >= band && x < band + 4) p[0] = p[1] = p[2] = uint8_t(((x + y) & 1) ? 255 : 0);
    }
  return px;
}

bool has_checker_column(const std::vector<uint8_t>& px, int32_t w, int32_t h) {
  int32_t columns = 0;
  for (int32_t x = 0; x < w; ++x) {
    bool all = true;
    for (int32_t y = 0; y < h && all; ++y) {
      const uint8_t v = px[(size_t(y) * w + x) * 4];
      all = v == 0 || v == 255;
    }
    columns += all;
  }
  return columns == 4;
}

TEST(SeamCarve, RemovesFlatColumnsAndKeepsTheDetailedBand) {
  const int32_t w = 24, h = 10;
  std::vector<uint8_t> src = banded(w, h, 9);
  for (int32_t nw : {20, 12, 5}) {
    std::vector<uint8_t> dst(size_t(nw) * h * 4);
    ASSERT_TRUE(seam_carve_width({src.data(), w, h, 4, w * 4}, {}, {dst.data(), nw, h, 4, nw * 4}));
    EXPECT_TRUE(has_checker_column(dst, nw, h)) << nw;
  }
}

TEST(SeamCarve, ProtectedColumnsStayWhileFreeOnesRemain) {
  // The detail band is free and everything else is protected: the seams have
  // to go through the band, however visible that is.
  const int32_t w = 16, h = 6;
  std::vector<uint8_t> src = banded(w, h, 6);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) src[(size_t(y) * w + x) * 4 + 2] = uint8_t(x);  // marks the column
  std::vector<uint16_t> protect(size_t(w) * h, 65535);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 6; x < 10; ++x) protect[size_t(y) * w + x] = 0;
  const int32_t nw = 13;
  std::vector<uint8_t> dst(size_t(nw) * h * 4);
  ASSERT_TRUE(seam_carve_width({src.data(), w, h, 4, w * 4}, {protect.data(), w}, {dst.data(), nw, h, 4, nw * 4}));
  for (int32_t y = 0; y < h; ++y) {
    int32_t band_left = 0;
    for (int32_t x = 0; x < nw; ++x) {
      const uint8_t column = dst[(size_t(y) * nw + x) * 4 + 2];
      if (column >= 6 && column < 10) ++band_left;
      // Protected columns all survive, in order.
      if (x < 6) {
        ASSERT_EQ(column, x);
      }
    }
    EXPECT_EQ(band_left, 1) << y;
  }
}

TEST(SeamCarve, WideningDuplicatesTheCheapestSeamsOnce) {
  const int32_t w = 12, h = 5;
  std::vector<uint8_t> src = banded(w, h, 4);
  for (int32_t nw : {16, 30}) {
    std::vector<uint8_t> dst(size_t(nw) * h * 4);
    ASSERT_TRUE(seam_carve_width({src.data(), w, h, 4, w * 4}, {}, {dst.data(), nw, h, 4, nw * 4}));
    EXPECT_TRUE(has_checker_column(dst, nw, h) || nw == 30) << nw;
    for (size_t i = 3; i < dst.size(); i += 4) ASSERT_EQ(dst[i], 255);
  }
}

}  // namespace
}  // namespace cvl::imaging

// The fast oil paint against the plain reference: the same bytes for every
// brush, level count and key, on pictures chosen to stress the mode (ties
// between bins, few values, noise, edges), at every thread count.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/artistic/oil_paint.h"
#include "imaging/parallel_bands.h"
#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

constexpr uint32_t kAllFlags[] = {0, kOilRound, kOilPerChannel, kOilRound | kOilPerChannel};

// Noise, a posterised ramp (long ties between neighbouring bins), and
// near-flat grain (one or two bins dominating).
std::vector<test::Picture> pictures(int32_t w, int32_t h) {
  std::vector<test::Picture> all;
  all.push_back(test::noise(w, h, 3, uint32_t(w * 31 + h)));
  test::Picture ramp = test::flat(w, h, 3, 0), grain = test::noise(w, h, 3, 9);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = ramp.at(x, y);
      p[0] = uint8_t((x * 255 / std::max(w - 1, 1)) & 0xE0), p[1] = uint8_t(((x + y) * 40) & 0xC0),
      p[2] = uint8_t(y * 7);
      for (int c = 0; c < 3; ++c) grain.at(x, y)[c] = uint8_t(120 + (grain.at(x, y)[c] & 3));
    }
  all.push_back(ramp);
  all.push_back(grain);
  return all;
}

TEST(OilPaintDifferential, MatchesTheReferenceByteForByte) {
  struct Size {
    int32_t w, h;
  };
  for (const Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{17, 11}, Size{40, 33}})
    for (test::Picture& src : pictures(size.w, size.h))
      for (const uint32_t flags : kAllFlags)
        for (const int32_t levels : {-3, 1, 2, 7, 127, 255, 256, 999})
          for (const int32_t radius : {-1, 0, 1, 2, 7, 12, 40}) {
            test::Picture fast = test::flat(size.w, size.h, 3, 1), slow = test::flat(size.w, size.h, 3, 2);
            ASSERT_TRUE(oil_paint(src.view(), fast.view(), radius, levels, flags));
            ASSERT_TRUE(oil_paint_reference(src.view(), slow.view(), radius, levels, flags));
            ASSERT_EQ(fast.px, slow.px) << size.w << "x" << size.h << " flags " << flags << " levels " << levels
                                        << " radius " << radius;
          }
}

// Bands of rows at 1, 2 and 3 threads, on a picture big enough to be split,
// with rows padded so a band that read by the packed width would show.
TEST(OilPaintDifferential, EveryThreadCountGivesTheReferenceBytes) {
  const int32_t w = 301, h = 157, stride = w * 3 + 5;
  test::Picture noise = test::noise(stride / 3 + 1, h, 3, 77);
  const ImageView src{noise.px.data(), w, h, 3, stride};
  for (const uint32_t flags : kAllFlags) {
    std::vector<uint8_t> want(size_t(stride) * h, 0);
    ASSERT_TRUE(oil_paint_reference(src, {want.data(), w, h, 3, stride}, 6, 60, flags));
    for (const int threads : {1, 2, 3}) {
      set_thread_count(threads);
      std::vector<uint8_t> got(size_t(stride) * h, 0);
      ASSERT_TRUE(oil_paint(src, {got.data(), w, h, 3, stride}, 6, 60, flags));
      EXPECT_EQ(got, want) << "flags " << flags << " threads " << threads;
    }
    set_thread_count(0);
  }
}

}  // namespace
}  // namespace cvl::imaging

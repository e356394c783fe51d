// The window extremes searched directly in bands (small radii) against their
// plain twins (running extremes on one thread): the same bytes for every shape,
// channel count, radius, stride and thread count, in place or not.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/min_max_filter.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

TEST(MinMaxFilterDifferential, DirectWindowsGiveThePlainTwinsBytes) {
  using Filter = bool (*)(const ImageView&, const ImageView&, int32_t);
  const struct {
    Filter fast, plain;
  } filters[] = {{maximum_filter, maximum_filter_reference}, {minimum_filter, minimum_filter_reference}};
  struct Shape {
    int32_t w, h, pad;
  };
  const Shape shapes[] = {{1, 1, 0}, {2, 3, 0}, {3, 2, 4}, {17, 13, 0}, {131, 70, 3}};
  set_band_work_floor(64);
  for (const auto& f : filters)
    for (const Shape s : shapes)
      for (int32_t ch : {1, 3, 4})
        for (int32_t radius : {0, 1, 2, 5, 12, 13, 40}) {
          const int32_t stride = s.w * ch + s.pad;
          std::vector<uint8_t> src(size_t(stride) * s.h, 0xEE);
          for (int32_t y = 0; y < s.h; ++y)
            for (int32_t x = 0; x < s.w * ch; ++x) {
              uint32_t v = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u;
              v ^= v >> 15, v *= 0x2C1B3C6Du, v ^= v >> 13;
              src[size_t(y) * stride + x] = uint8_t(v >> 24);
            }
          const ImageView sv{src.data(), s.w, s.h, ch, stride};
          std::vector<uint8_t> want(src.size(), 1);
          ASSERT_TRUE(f.plain(sv, {want.data(), s.w, s.h, ch, stride}, radius));
          for (int threads : {1, 2, 3}) {
            set_thread_count(threads);
            std::vector<uint8_t> got(src.size(), 1), same = src;
            ASSERT_TRUE(f.fast(sv, {got.data(), s.w, s.h, ch, stride}, radius));
            ASSERT_EQ(got, want) << s.w << " x " << s.h << " x " << ch << ", radius " << radius << ", " << threads
                                 << " threads";
            const ImageView both{same.data(), s.w, s.h, ch, stride};
            ASSERT_TRUE(f.fast(both, both, radius));
            // In place the padding keeps the source's bytes, which the twin's
            // separate destination does not have, so compare pixels only.
            for (int32_t y = 0; y < s.h; ++y)
              for (int32_t x = 0; x < s.w * ch; ++x)
                ASSERT_EQ(same[size_t(y) * stride + x], want[size_t(y) * stride + x])
                    << "in place at " << x << "," << y;
          }
        }
  set_thread_count(0);
  set_band_work_floor(65536);
}

}  // namespace
}  // namespace cvl::imaging
